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

namespace korvane {

namespace {

const QString kUnsavedQuestion = QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht "
                                                "gespeichert. Soll der Code jetzt gespeichert werden?");
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

    if (!ui.txtMap->document()->isEmpty() && !m_document.mapSaved() &&
        askYesNo(this, kQuestionTitle, kUnsavedQuestion)) {
        ui.Command7->click();
        return;
    }
    m_editor.polyCoordText.clear();
    reset_zustand();
    ui.txtHelp->setVisible(true);
    ui.Frame1->setEnabled(true);
    ui.Frame2->setEnabled(true);
    ui.chkGefuellt->setEnabled(true);

    QString folder = m_state.lastImageFolder.isEmpty() ? QDir::currentPath() : m_state.lastImageFolder;
    const QString preset = m_state.openPresetName;
    const QString chosen = showOpenDialog(this, kOpenTitle, folder, preset, openFilter(), kOpenExtension);
    m_state.openPresetName.clear();
    folder = withTrailingSeparator(folder);

    if (chosen.isEmpty()) {
        // The picture on the surface stays; only the name of the map's image goes.
        ui.Label3->clear();
        m_document.setImageFileName(QString());
        return;
    }
    m_document.setImagePath(folder + chosen);
    bild_laden(m_document.imagePath());
    for (int i = 0; i < 3; ++i)
        ui.Option1[i]->setEnabled(true);
    m_document.setMapName(QString());
}

void MainWindow::bild_laden(const QString& path)
{
    m_state.lastImageFolder = folderOf(path);
    QString error;
    // The old picture goes first, so that two big pictures never meet in memory.
    ui.Picture1->releasePicture();
    QImage picture = loadPictureFile(path, &error);
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
    // An empty surface alone would leave the user guessing why.
    if (!error.isEmpty())
        warn(this, error);
}

} // namespace korvane
