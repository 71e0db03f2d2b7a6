#include "app/ImageLoader.h"
#include "app/MainWindow.h"
#include "app/StageClock.h"

#include "canvas/Canvas.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace korvane {

namespace {

const QString kOpenTitle = QStringLiteral("PNG,  JPG, JPEG, GIF, BMP (Bilddateien)");
const QString kOpenFilter = QStringLiteral("Bilddateien (*.png,*.jpg,*.gif,*.bmp) |*.bmp;*.jpg;*.jpeg;*.gif;*.png");
const QString kOpenExtension = QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif;*.png");

// The filter above first, then one entry with every kind the loader reads
// (TIFF, icons, metafiles, WebP, SVG), which the first one hides.
QString openFilter()
{
    QStringList patterns;
    for (const QString& extension : pictureExtensions())
        patterns << QLatin1Char('*') + extension;
    return kOpenFilter + QStringLiteral("|Alle Bilddateien (") + patterns.join(QLatin1Char(',')) +
           QStringLiteral(") |") + patterns.join(QLatin1Char(';'));
}

} // namespace

void MainWindow::openCommand()
{
    if (m_state.settingsLoadCount == 0)
        ini_read();
    ++m_state.settingsLoadCount;
    if (askAboutUnsavedCode() == UnsavedCode::Save)
        return;

    // The map stays as it is until a picture was chosen and loaded: a
    // cancelled dialog or a refused file changes nothing.
    QString folder = m_state.lastImageFolder.isEmpty() ? QDir::currentPath() : m_state.lastImageFolder;
    const QString preset = m_state.openPresetName;
    const QString chosen = showOpenDialog(this, kOpenTitle, folder, preset, openFilter(), kOpenExtension);
    m_state.openPresetName.clear();
    folder = withTrailingSeparator(folder);
    if (chosen.isEmpty() || !bild_laden(folder + chosen))
        return;

    m_editor.polyCoordText.clear();
    reset_zustand();
    ui.txtHelp->setVisible(true);
    ui.Frame1->setEnabled(true);
    ui.Frame2->setEnabled(true);
    ui.chkGefuellt->setEnabled(true);
    m_document.setImagePath(folder + chosen);
    for (int i = 0; i < 3; ++i)
        ui.Option1[i]->setEnabled(true);
    m_document.setMapName(QString());
}

bool MainWindow::bild_laden(const QString& path)
{
    m_state.lastImageFolder = folderOf(path);
    QString error;
    QImage picture = decodeInPlace(path, &error);
    if (!error.isEmpty()) {
        // An empty surface alone would leave the user guessing why.
        warn(this, error);
        return false;
    }
    stages::Clock converting(stages::Stage::Converting);
    ui.Picture1->setPicture(std::move(picture));
    converting.stop();
    m_document.setImageFileName(fileNameOf(path));
    setWindowTitle(QStringLiteral("Korvane [ Map für: ") + m_document.imageFileName() + QStringLiteral(" ]"));
    layoutCanvas();
    ui.Label3->setText(QStringLiteral("Zeichen-Modus"));
    if (ui.Option1[3]->isChecked()) {
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
    // Up to this size the picture stays in memory (a shallow copy: only its
    // drawing buffer goes); a bigger one would raise the peak of the decode.
    constexpr qsizetype kKeptUpTo = 8 * 1024 * 1024;
    const QImage& shown = ui.Picture1->picture();
    const bool readAgain = shown.sizeInBytes() > kKeptUpTo && !m_pictureFile.isEmpty();
    m_pictureAside = PictureAside{readAgain ? QImage() : shown, readAgain ? m_pictureFile : QString(),
                                  ui.Picture1->zoomPercent(), QPoint(ui.HScroll1->value(), ui.VScroll1->value())};
    ui.Picture1->releasePicture();
}

QImage MainWindow::decodeInPlace(const QString& path, QString* error)
{
    putPictureAside();
    QImage picture = loadPictureFile(path, error);
    std::optional<PictureAside> aside = std::exchange(m_pictureAside, std::nullopt);
    if (error->isEmpty())
        m_pictureFile = path;
    if (!aside || error->isEmpty())
        return picture;
    // Refused: the old picture and everything drawn on it come back as they were.
    picture = QImage();
    ui.Picture1->setPicture(aside->file.isEmpty() ? std::move(aside->picture) : loadPictureFile(aside->file));
    ui.Picture1->setZoomPercent(aside->zoomPercent);
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
