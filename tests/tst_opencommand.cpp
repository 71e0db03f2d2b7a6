#include "ImageSamples.h"
#include "support/ScriptedPlatform.h"

#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

class TestOpenCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opensImage_data();
    void opensImage();
    void failedLoadWarns_data();
    void failedLoadWarns();
    void cancelKeepsPicture();
    void saveQuestion_data();
    void saveQuestion();
    void dialogPresetAndStartFolder();
    void editModeGoesBackToPolygon();
    void scrollBarsFollowImage_data();
    void scrollBarsFollowImage();
    void helpOpensDocument();
    void dialogFolderHandBack_data();
    void dialogFolderHandBack();

private:
    QString write(const QString& name, const QByteArray& bytes);
    QTemporaryDir m_dir;
    QString m_startDir;
    ScriptedPlatform* m_platform = nullptr;
};

void TestOpenCommand::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_startDir = QDir::currentPath();
}

void TestOpenCommand::init()
{
    m_platform = &installScriptedPlatform();
    setSettingsFileOverride(m_dir.filePath(QStringLiteral("keine.ini"))); // never created: nothing applied
}

void TestOpenCommand::cleanup()
{
    setSettingsFileOverride(QString());
    QDir::setCurrent(m_startDir);
}

QString TestOpenCommand::write(const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(m_dir.filePath(name)).path());
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

void TestOpenCommand::opensImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::newRow("plan.gif") << "bilder/plan.gif" << makeGif(50, 40, Qt::red) << QSize(50, 40);
    QTest::newRow("png") << "a b/plan.png" << makeRaster("png", 33, 44, Qt::green) << QSize(33, 44);
    QTest::newRow("PLAN.JPEG") << "PLAN.JPEG" << makeRaster("jpeg", 64, 32, Qt::red) << QSize(64, 32);
    QTest::newRow("wmf") << "zeichnung.wmf" << makeWmf(100, 50, Qt::yellow) << QSize(100, 50);
}

void TestOpenCommand::opensImage()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    const QString path = write(name, bytes);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    window.document().setMapName(QStringLiteral("importiert"));
    m_platform->fileAnswers.enqueue(path);
    QVERIFY(!window.ui.Frame1->isEnabled() && !window.ui.Frame2->isEnabled() && !window.ui.chkGefuellt->isEnabled());
    window.ui.Command1->click();

    QCOMPARE(m_platform->dialogs.size(), 1);
    const FileDialogRequest& request = m_platform->dialogs[0];
    QCOMPARE(request.mode, FileDialogRequest::Mode::Open);
    QCOMPARE(request.owner, &window);
    QCOMPARE(request.title, QStringLiteral("PNG,  JPG, JPEG, GIF, BMP (Bilddateien)"));
    QCOMPARE(request.filter,
             QStringLiteral("Bilddateien (*.png,*.jpg,*.gif,*.bmp) |*.bmp;*.jpg;*.jpeg;*.gif;*.png|"
                            "Alle Bilddateien (*.bmp,*.dib,*.rle,*.ico,*.cur,*.emf,*.wmf,*.gif,*.png,*.tif,*.tiff,"
                            "*.jpg,*.jpeg,*.jpe,*.jfif,*.webp,*.svg,*.svgz) |*.bmp;*.dib;*.rle;*.ico;*.cur;*.emf;"
                            "*.wmf;*.gif;*.png;*.tif;*.tiff;*.jpg;*.jpeg;*.jpe;*.jfif;*.webp;*.svg;*.svgz"));
    QCOMPARE(request.defaultExtension, QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif;*.png"));
    QCOMPARE(request.presetName, QString());

    const QString fileName = fileNameOf(path);
    QCOMPARE(window.windowTitle(), QStringLiteral("Korvane [ Map für: ") + fileName + QStringLiteral(" ]"));
    QCOMPARE(window.document().imageFileName(), fileName);
    QCOMPARE(window.document().imagePath(), path);
    QCOMPARE(window.state().lastImageFolder, folderOf(path));
    QVERIFY(window.state().lastImageFolder.endsWith(QLatin1Char('/')));
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), folderOf(path));
    QCOMPARE(window.document().mapName(), QString());
    QCOMPARE(window.ui.Picture1->picture().size(), size);
    QCOMPARE(window.ui.Label3->text(), QStringLiteral("Zeichen-Modus"));
    for (int i = 0; i < 3; ++i)
        QVERIFY(window.ui.Option1[i]->isEnabled());
    QVERIFY(window.ui.Frame1->isEnabled() && window.ui.Frame2->isEnabled() && window.ui.chkGefuellt->isEnabled());
    QVERIFY(!window.ui.txtHelp->isHidden());
    QCOMPARE(window.state().settingsLoadCount, 1);
    QVERIFY(m_platform->boxes.isEmpty());

    // The next dialog starts in the folder of this image.
    window.ui.Command1->click();
    QCOMPARE(m_platform->dialogs[1].folder, folderOf(path));
}

void TestOpenCommand::failedLoadWarns_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("pcx") << "bild.pcx" << QByteArray(100, 'p') << "Bildformat wird nicht unterstützt";
    QTest::newRow("broken svg") << "kaputt.svg" << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect")
                                << "Laden des Bildes scheitert (Loadpicture)";
    QTest::newRow("garbage jpeg") << "kaputt.jpeg" << QByteArray(100, 'p')
                                  << "Bitmap kann nicht aus Bild-Datei erstellt werden\r\nunbekanntes Bildformat";
}

// A refused file is told and changes nothing: the picture, its name and the
// title stay those of the picture opened before.
void TestOpenCommand::failedLoadWarns()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString good = write(QStringLiteral("gut.png"), makeRaster("png", 30, 20, Qt::red));
    const QString path = write(name, bytes);
    MainWindow window;
    m_platform->fileAnswers << good << path;
    window.ui.Command1->click();
    const QImage before = window.ui.Picture1->picture();
    window.ui.Command1->click();
    QCOMPARE(m_platform->boxes.size(), 1);
    QCOMPARE(m_platform->boxes[0].text, text);
    QCOMPARE(m_platform->boxes[0].title, programName());
    QCOMPARE(m_platform->boxes[0].icon, MessageIcon::Warning);
    QCOMPARE(m_platform->boxes[0].buttons, QList<MessageButton>{MessageButton::Ok});
    QCOMPARE(window.ui.Picture1->picture(), before);
    QCOMPARE(window.ui.Picture1->image().pixelColor(29, 19), QColor(Qt::red));
    QCOMPARE(window.windowTitle(), QStringLiteral("Korvane [ Map für: gut.png ]"));
    QCOMPARE(window.document().imageFileName(), QStringLiteral("gut.png"));
    QCOMPARE(window.document().imagePath(), good);
}

// Cancelling changes nothing, not even the name of the picture shown.
void TestOpenCommand::cancelKeepsPicture()
{
    const QString path = write(QStringLiteral("bleibt.png"), makeRaster("png", 30, 20, Qt::red));
    MainWindow window;
    m_platform->fileAnswers.enqueue(path);
    window.ui.Command1->click();
    const QImage before = window.ui.Picture1->picture();
    QCOMPARE(before.size(), QSize(30, 20));
    m_platform->fileAnswers.enqueue(QString()); // cancel
    window.ui.Command1->click();
    QCOMPARE(window.ui.Picture1->picture(), before);
    QCOMPARE(window.document().imageFileName(), QStringLiteral("bleibt.png"));
    QCOMPARE(window.ui.Label3->text(), QStringLiteral("Zeichen-Modus"));
    QCOMPARE(window.document().imagePath(), path);
    QCOMPARE(window.state().lastImageFolder, folderOf(path));
}

void TestOpenCommand::saveQuestion_data()
{
    QTest::addColumn<bool>("answerYes");
    QTest::newRow("yes saves and opens nothing") << true;
    QTest::newRow("no opens") << false;
}

void TestOpenCommand::saveQuestion()
{
    QFETCH(bool, answerYes);
    MainWindow window;
    window.setMapCode(QStringLiteral("<img src=\"x\">"));
    QVERIFY(!window.document().mapSaved());
    QSignalSpy save(window.ui.Command7, &QPushButton::clicked);
    m_platform->answers.enqueue(answerYes ? MessageButton::Yes : MessageButton::No);
    window.ui.Command1->click();
    QCOMPARE(m_platform->boxes.size(), 1);
    const ShownBox& box = m_platform->boxes[0];
    QCOMPARE(box.title, QStringLiteral("Korvane Kontrollabfrage"));
    QCOMPARE(box.text, QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. "
                                      "Soll der Code jetzt gespeichert werden?"));
    QCOMPARE(box.icon, MessageIcon::Question);
    QCOMPARE(box.buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}));
    QCOMPARE(save.count(), answerYes ? 1 : 0);
    // Yes shows the save dialog instead of the open dialog.
    QCOMPARE(m_platform->dialogs.size(), 1);
    QCOMPARE(m_platform->dialogs[0].mode, answerYes ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open);
    // The dialog was cancelled: the code stays until a picture is opened.
    QCOMPARE(window.mapCode(), QStringLiteral("<img src=\"x\">"));
}

void TestOpenCommand::dialogPresetAndStartFolder()
{
    MainWindow window;
    QDir::setCurrent(m_dir.path());
    window.state().openPresetName = QStringLiteral("plan.gif");
    window.ui.Command1->click();
    window.state().lastImageFolder = QStringLiteral("/gibt/es/nicht/");
    window.ui.Command1->click();
    QCOMPARE(m_platform->dialogs.size(), 2);
    // The preset name is offered once; without a remembered folder the dialog starts in the current one.
    QCOMPARE(m_platform->dialogs[0].presetName, QStringLiteral("plan.gif"));
    QCOMPARE(m_platform->dialogs[1].presetName, QString());
    QCOMPARE(m_platform->dialogs[0].folder, QDir::currentPath());
    QCOMPARE(m_platform->dialogs[1].folder, QStringLiteral("/gibt/es/nicht/"));
}

void TestOpenCommand::editModeGoesBackToPolygon()
{
    const QString path = write(QStringLiteral("modus.png"), makeRaster("png", 10, 10, Qt::red));
    MainWindow window;
    for (int i = 0; i < 4; ++i)
        window.ui.Option1[i]->setEnabled(true);
    window.ui.Option1[3]->setChecked(true);
    QSignalSpy polygon(window.ui.Option1[0], &QRadioButton::clicked);
    m_platform->fileAnswers.enqueue(path);
    window.ui.Command1->click();
    QVERIFY(window.ui.Option1[0]->isChecked());
    QVERIFY(!window.ui.Option1[3]->isChecked());
    QCOMPARE(polygon.count(), 1);
}

void TestOpenCommand::scrollBarsFollowImage_data()
{
    // How far the image reaches beyond the viewport (negative: it is smaller),
    // and the scroll bar's large and small steps; halves round to even.
    QTest::addColumn<int>("excess");
    QTest::addColumn<int>("largeStep");
    QTest::addColumn<int>("smallStep");
    QTest::newRow("smaller: centred, no bars") << -40 << 0 << 0;
    QTest::newRow("same size: no bars") << 0 << 0 << 0;
    QTest::newRow("3000 twips more") << 200 << 20 << 8;
    QTest::newRow("steps 2.5 and 1") << 25 << 2 << 1;
    QTest::newRow("steps 3.5 and 1.4") << 35 << 4 << 1;
    QTest::newRow("steps 12.5 and 5") << 125 << 12 << 5;
    QTest::newRow("steps 6.5 and 2.6") << 65 << 6 << 3;
}

void TestOpenCommand::scrollBarsFollowImage()
{
    QFETCH(int, excess);
    QFETCH(int, largeStep);
    QFETCH(int, smallStep);
    MainWindow window;
    window.resize(1000, 720);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize view = window.ui.picContainer->size();
    const QString path = write(QStringLiteral("gross%1.png").arg(excess),
                               makeRaster("png", view.width() + excess, view.height() + excess, Qt::red));
    m_platform->fileAnswers.enqueue(path);
    window.ui.Command1->click();
    // A picture bigger than the view opens fitted into it; Ctrl+0 shows it at 100 %.
    QCOMPARE(window.ui.Picture1->zoomPercent(), excess > 0 ? 0 : 100);
    QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(window.ui.Picture1->size(), view + QSize(excess, excess));
    for (QScrollBar* bar : {window.ui.VScroll1, window.ui.HScroll1}) {
        QCOMPARE(bar->isVisible(), excess > 0);
        QCOMPARE(bar->isEnabled(), excess > 0);
        if (excess > 0) {
            QCOMPARE(bar->maximum(), excess);
            QCOMPARE(bar->pageStep(), largeStep);
            QCOMPARE(bar->singleStep(), smallStep);
        }
    }
    const int offset = excess < 0 ? -excess / 2 : 0;
    // Ctrl+0 kept the middle in view; scrolled back, the top-left corner shows.
    window.ui.HScroll1->setValue(0);
    window.ui.VScroll1->setValue(0);
    QCOMPARE(window.ui.Picture1->pos(), QPoint(offset, offset));
}

void TestOpenCommand::helpOpensDocument()
{
    MainWindow window;
    window.setCursor(Qt::WaitCursor);
    window.ui.Command13->click();
    QCOMPARE(m_platform->opened, QStringList{programFolder() + QStringLiteral("korvane-hilfe.html")});
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(m_platform->boxes.isEmpty());
}

void TestOpenCommand::dialogFolderHandBack_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("open") << false << false;
    QTest::newRow("save") << true << false;
    QTest::newRow("open cancelled") << false << true;
    QTest::newRow("save cancelled") << true << true;
}

void TestOpenCommand::dialogFolderHandBack()
{
    QFETCH(bool, save);
    QFETCH(bool, cancel);
    const QString web = m_dir.filePath(QStringLiteral("web"));
    QVERIFY(QDir().mkpath(web));
    m_platform->fileAnswers.enqueue(cancel ? QString() : web + QStringLiteral("/a.html"));
    QString folder = QStringLiteral("/start/");
    const QString before = QDir::currentPath();
    const QString name = save ? showSaveDialog(nullptr, QStringLiteral("T"), folder, QStringLiteral("p.html"),
                                               QStringLiteral("A|*.a|B|*.b"), QStringLiteral("*.html"))
                              : showOpenDialog(nullptr, QStringLiteral("T"), folder, QStringLiteral("p.html"),
                                               QStringLiteral("A|*.a|B|*.b"), QStringLiteral("*.html"));
    QCOMPARE(m_platform->dialogs.size(), 1);
    QCOMPARE(m_platform->dialogs[0].mode, save ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open);
    QCOMPARE(m_platform->dialogs[0].folder, QStringLiteral("/start/"));
    QCOMPARE(m_platform->dialogs[0].presetName, QStringLiteral("p.html"));
    QCOMPARE(name, cancel ? QString() : QStringLiteral("a.html"));
    QCOMPARE(folder, cancel ? QStringLiteral("/start/") : web + QLatin1Char('/'));
    QCOMPARE(QDir::currentPath(), cancel ? before : web);
    QCOMPARE(nameFiltersOf(QStringLiteral("A|*.a|B|*.b")),
             (QStringList{QStringLiteral("A (*.a)"), QStringLiteral("B (*.b)")}));
}

QTEST_MAIN(TestOpenCommand)
#include "tst_opencommand.moc"
