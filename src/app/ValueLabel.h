#pragma once

#include <QLabel>

namespace korvane {

// A label that shows a value: the zoom, the pointer's position, the mode.
// A screen reader reads its caption together with the value it shows
// ("Zoom: 150 %"); an accessible name of the caption alone would hide the value.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    ValueLabel(const QString& caption, QWidget* parent);
    const QString& caption() const { return m_caption; }
    // The caption and the value shown, or the caption alone while nothing is shown.
    QString spokenText() const;

private:
    QString m_caption;
};

} // namespace korvane
