// Loading a picture onto the canvas: the one shown is put aside while the
// next one is decoded, and comes back when that one is refused.
#include "picture/ImageLoader.h"
#include "app/MainWindow.h"
#include "model/StageClock.h"
#include "app/TraceControls.h"
#include "app/ZoomControls.h"

#include "canvas/Canvas.h"
#include "model/Paths.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QRadioButton>
#include <QScrollBar>

namespace korvane {

bool MainWindow::bild_laden(const QString& path)
{
    m_state.lastImageFolder = folderOf(path);
    QString error;
    QImage transparency;
    QImage picture = decodeInPlace(path, &error, &transparency);
    if (!error.isEmpty()) {
        // An empty surface alone would leave the user guessing why.
        warn(this, error);
        return false;
    }
    stages::Clock converting(stages::Stage::Converting);
    ui.Picture1->setPicture(std::move(picture), std::move(transparency));
    converting.stop();
    m_document.setImageFileName(fileNameOf(path));
    setWindowTitle(tr("Korvane [ Map für: %1 ]").arg(m_document.imageFileName()));
    layoutCanvas();
    m_zoomControls->fitBigPicture();
    showMode(false);
    if (m_session.editChosen()) {
        // A click, so that the mode switch runs as if the user had chosen it.
        if (ui.Option1[0]->isEnabled())
            ui.Option1[0]->click();
        else
            ui.Option1[0]->setChecked(true);
    }
    return true;
}

void MainWindow::putPictureAside()
{
    if (m_pictureAside || !ui.Picture1->hasPicture())
        return;
    m_trace->releasePicture();
    // Up to this size the picture stays in memory (a shallow copy: only its
    // drawing buffer goes); a bigger one would raise the peak of the decode.
    constexpr qsizetype kKeptUpTo = 8 * 1024 * 1024;
    const QImage& shown = ui.Picture1->picture();
    const bool readAgain = shown.sizeInBytes() > kKeptUpTo && !m_pictureFile.isEmpty();
    m_pictureAside = PictureAside{readAgain ? QImage() : shown,
                                  readAgain ? QImage() : ui.Picture1->transparency(),
                                  readAgain ? m_pictureFile : QString(),
                                  ui.Picture1->zoomFactor(), QPoint(ui.HScroll1->value(), ui.VScroll1->value())};
    ui.Picture1->releasePicture();
}

QImage MainWindow::decodeInPlace(const QString& path, QString* error, QImage* transparency)
{
    putPictureAside();
    QImage picture;
    if (std::optional<PicturePrefetch::Picture> early = m_session.prefetch().take(path)) {
        picture = std::move(early->image);
        *error = early->error;
        *transparency = std::move(early->transparency);
    } else {
        picture = loadPictureFile(path, error, m_session.decodesByContent(path), transparency);
    }
    std::optional<PictureAside> aside = std::exchange(m_pictureAside, std::nullopt);
    if (error->isEmpty())
        m_pictureFile = path;
    if (!aside || error->isEmpty())
        return picture;
    // Refused: the old picture and everything drawn on it come back as they were.
    picture = QImage();
    *transparency = QImage();
    if (aside->file.isEmpty())
        ui.Picture1->setPicture(std::move(aside->picture), std::move(aside->transparency));
    else {
        QImage again =
            loadPictureFile(aside->file, nullptr, m_session.decodesByContent(aside->file), &aside->transparency);
        ui.Picture1->setPicture(std::move(again), std::move(aside->transparency));
    }
    ui.Picture1->setZoomFactor(aside->zoom);
    layoutCanvas(aside->scroll);
    redrawAsShown();
    return picture;
}

// The areas drawn afresh over the picture, the selected one highlighted (with
// its handles in edit mode) as before.
void MainWindow::redrawAsShown()
{
    neu_zeichnen(-1, false);
    if (selectedIndex() >= 0)
        listSelected();
}

} // namespace korvane
