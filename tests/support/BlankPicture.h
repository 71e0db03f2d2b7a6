#pragma once

#include "app/MainWindow.h"
#include "canvas/Canvas.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

namespace korvane::test {

// The editor as after opening the white 400 x 300 picture "/bilder/plan.png":
// the drawing tools and the drawing attributes are enabled.
inline void openBlankPicture(MainWindow& w)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    w.document().setImagePath(QStringLiteral("/bilder/plan.png"));
    w.ui.Picture1->setPicture(image);
    w.layoutCanvas();
    for (int i = 0; i < 3; ++i)
        w.ui.Option1[i]->setEnabled(true);
    w.ui.Frame1->setEnabled(true);
    w.ui.Frame2->setEnabled(true);
    w.ui.chkGefuellt->setEnabled(true);
}

} // namespace korvane::test
