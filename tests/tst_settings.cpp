#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/ScriptedPlatform.h"

#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "model/Paths.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace korvane;
using namespace korvane::test;

namespace {

// Tells whether a file was replaced; 0 when it is missing.
ino_t inodeOf(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lookup_data();
    void lookup();
    void replace_data();
    void replace();
    void conversions_data();
    void conversions();
    void writesUtf8Safely();
    void folderEncoding_data();
    void folderEncoding();
    void fullDiskKeepsOldFile();
    void brokenFilesNeverCrash_data();
    void brokenFilesNeverCrash();
    void folderLengths_data();
    void folderLengths();
    void readAppliesValues_data();
    void readAppliesValues();
    void readAppliesDrawing_data();
    void readAppliesDrawing();
    void closingWritesFile_data();
    void closingWritesFile();
    void magnifierOpensAtFirstOpenOnly();
    void codeBoxChoices_data();
    void codeBoxChoices();
    void highlightChoice_data();
    void highlightChoice();
    void unusableFileReportsOnce_data();
    void unusableFileReportsOnce();
    void locationIsProgramFolder();

private:
    QTemporaryDir m_dir;
    QString m_ini;
    ScriptedPlatform* m_platform = nullptr;
};

void TestSettings::init()
{
    m_platform = &installScriptedPlatform();
    m_ini = m_dir.filePath(QStringLiteral("Korvane.ini"));
    QFile::remove(m_ini);
    setSettingsFileOverride(m_ini);
}

void TestSettings::cleanup()
{
    setSettingsFileOverride(QString());
}

void TestSettings::lookup_data()
{
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const auto row = [](const char* name, const QString& contents, const char* section, const char* key,
                        const QString& value) {
        QTest::newRow(name) << contents << QString(section) << QString(key) << value;
    };
    const QString file = "[color]\r\nZeichenfarbe=255\r\n[Path]\r\nLetzter_Grafik_Ordner=C:\\bilder\\\r\n";
    row("plain", file, "color", "Zeichenfarbe", "255");
    row("case of section and key", file, "COLOR", "zeichenFARBE", "255");
    row("other section", file, "Path", "Letzter_Grafik_Ordner", "C:\\bilder\\");
    row("key in wrong section", file, "Path", "Zeichenfarbe", "");
    row("missing section", file, "Lupe", "lupe_visible", "");
    row("empty file", "", "color", "Zeichenfarbe", "");
    row("LF only", "[Lupe]\nLupe_visible=-1\n", "lupe", "lupe_visible", "-1");
    row("blanks around", "  [ Lupe ]  \r\n  Lupe_visible =  0  \r\n", "Lupe", "lupe_visible", "0");
    row("equals in value", "[a]\r\nk=x=y\r\n", "a", "k", "x=y");
    row("first of two", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "1");
    row("first section counts", "[a]\r\n[b]\r\nk=2\r\n[a]\r\nk=1\r\n", "a", "k", "");
    row("comment", "[a]\r\n;k=1\r\nk=2\r\n", "a", "k", "2");
    row("missing bracket", "[a\r\nk=1\r\n", "a", "k", "");
    row("after missing bracket", "[a]\r\n[b\r\nk=1\r\n", "a", "k", "1");
    row("no line end", "[a]\r\nk=7", "a", "k", "7");
    row("key without value", "[a]\r\nk=\r\n", "a", "k", "");
    row("line without equals", "[a]\r\nk\r\nk=3\r\n", "a", "k", "3");
    row("NUL inside", QString::fromLatin1("[a]\r\nk=1\0002\r\n", 11), "a", "k", QString::fromLatin1("1\0002", 3));
    row("cut to 255", "[a]\r\nk=" + QString(300, 'z') + "\r\n", "a", "k", QString(255, 'z'));
}

void TestSettings::lookup()
{
    QFETCH(QString, contents);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QCOMPARE(iniLookup(contents, section, key), value);
}

void TestSettings::replace_data()
{
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("result");
    const auto row = [](const char* name, const char* contents, const char* section, const char* key, const char* value,
                        const char* result) {
        QTest::newRow(name) << QString(contents) << QString(section) << QString(key) << QString(value)
                            << QString(result);
    };
    row("new file", "", "color", "Zeichenfarbe", "255", "[color]\r\nZeichenfarbe=255\r\n");
    row("new section at end", "[a]\r\nk=1\r\n", "b", "x", "2", "[a]\r\nk=1\r\n[b]\r\nx=2\r\n");
    row("unterminated last line", "[a]\r\nk=1", "b", "x", "2", "[a]\r\nk=1\r\n[b]\r\nx=2\r\n");
    row("replace keeps rest", "; mine\r\n[a]\r\nK=1\r\nm=5\r\n[b]\r\nk=9\r\n", "A", "k", "22",
        "; mine\r\n[a]\r\nK=22\r\nm=5\r\n[b]\r\nk=9\r\n");
    row("new key after last line of section", "[a]\r\nk=1\r\n\r\n[b]\r\nx=2\r\n", "a", "n", "3",
        "[a]\r\nk=1\r\nn=3\r\n\r\n[b]\r\nx=2\r\n");
    row("new key in last section", "[a]\r\nk=1", "a", "n", "3", "[a]\r\nk=1\r\nn=3\r\n");
    row("empty section", "[a]\r\n[b]\r\n", "a", "n", "3", "[a]\r\nn=3\r\n[b]\r\n");
    row("LF file keeps LF", "[a]\nk=1\n", "a", "k", "2", "[a]\nk=2\n");
    row("line break in value", "", "a", "k", "x\r\ny", "[a]\r\nk=x  y\r\n");
    row("empty value", "[a]\r\nk=1\r\n", "a", "k", "", "[a]\r\nk=\r\n");
}

void TestSettings::replace()
{
    QFETCH(QString, contents);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, result);
    QCOMPARE(iniReplace(contents, section, key, value), result);
}

void TestSettings::conversions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour"); // invalid: none
    QTest::addColumn<int>("number");    // -99999: none
    QTest::addColumn<int>("flag");      // -1 none, 0 false, 1 true
    QTest::newRow("red") << "255" << QColor(255, 0, 0) << 255 << 1;
    QTest::newRow("cyan") << "16776960" << QColor(0, 255, 255) << -99999 << 1;
    QTest::newRow("blue") << "16711680" << QColor(0, 0, 255) << -99999 << 1;
    QTest::newRow("mixed") << "1193046" << QColor(0x56, 0x34, 0x12) << -99999 << 1;
    QTest::newRow("blanks") << "  7 " << QColor(7, 0, 0) << 7 << 1;
    QTest::newRow("hex") << "&HFF00" << QColor(0, 255, 0) << -99999 << 1;
    QTest::newRow("fraction to even") << "2.5" << QColor(2, 0, 0) << 2 << 1;
    QTest::newRow("minus one") << "-1" << QColor() << -1 << 1;
    QTest::newRow("zero") << "0" << QColor(0, 0, 0) << 0 << 0;
    QTest::newRow("too large colour") << "16777216" << QColor() << -99999 << 1;
    QTest::newRow("text") << "rot" << QColor() << -99999 << -1;
    QTest::newRow("empty") << "" << QColor() << -99999 << -1;
    QTest::newRow("true") << "True" << QColor() << -99999 << 1;
    QTest::newRow("false") << "false" << QColor() << -99999 << 0;
    QTest::newRow("16-bit limit") << "32767" << QColor(255, 127, 0) << 32767 << 1;
    QTest::newRow("beyond 16 bits") << "32768" << QColor(0, 128, 0) << -99999 << 1;
}

void TestSettings::conversions()
{
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QFETCH(int, number);
    QFETCH(int, flag);
    const auto c = settingColour(text);
    QCOMPARE(c.has_value(), colour.isValid());
    if (c)
        QCOMPARE(*c, colour);
    const auto n = settingShort(text);
    QCOMPARE(n.value_or(-99999), number);
    const auto f = settingFlag(text);
    QCOMPARE(f ? int(*f) : -1, flag);
    // Written back, a colour gives the plain number it was read from.
    if (colour.isValid() && !text.contains('&') && !text.contains('.'))
        QCOMPARE(settingNumberOf(colour), text.trimmed().toLongLong());
}

// The file is written in UTF-8, the system's code page here.
void TestSettings::writesUtf8Safely()
{
    QVERIFY(writeFile(m_ini, "; von Hand\r\n[Path]\r\nLetzter_Export_Ordner=D:\\alt\\\r\n"));
    QVERIFY(iniWriteSetting(QStringLiteral("Path"), QStringLiteral("Letzter_Grafik_Ordner"),
                            QStringLiteral("C:\\Bilder\\Grüße\\"), m_ini));
    QCOMPARE(readFile(m_ini), QByteArray("; von Hand\r\n[Path]\r\nLetzter_Export_Ordner=D:\\alt\\\r\n"
                                         "Letzter_Grafik_Ordner=C:\\Bilder\\Gr\xC3\xBC\xC3\x9F"
                                         "e\\\r\n"));
    QCOMPARE(iniGetSettingString(QStringLiteral("path"), QStringLiteral("LETZTER_GRAFIK_ORDNER"), m_ini),
             QStringLiteral("C:\\Bilder\\Grüße\\"));
    QCOMPARE(iniGetSettingString(QStringLiteral("Path"), QStringLiteral("x"), m_dir.filePath("fehlt.ini")), QString());
    // No temporary file stays behind.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Korvane.ini")});
}

void TestSettings::folderEncoding_data()
{
    QTest::addColumn<QByteArray>("stored"); // the folder's bytes in the file
    QTest::addColumn<QString>("folder");
    QTest::newRow("outside Windows-1252") << QByteArray("/home/\xC5\x82ukasz/") << QStringLiteral("/home/łukasz/");
    QTest::newRow("written before in Windows-1252") << QByteArray("C:\\Gr\xFC\xDF"
                                                                  "e\\")
                                                    << QStringLiteral("C:\\Grüße\\");
}

// Read as stored, written back in UTF-8 and read again unchanged.
void TestSettings::folderEncoding()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, folder);
    QVERIFY(writeFile(m_ini, "[Path]\r\nLetzter_Grafik_Ordner=" + stored + "\r\n"));
    MainWindow window;
    window.ini_read();
    QCOMPARE(window.state().lastImageFolder, folder);
    window.state().settingsLoadCount = 1;
    window.ini_write();
    QVERIFY(readFile(m_ini).startsWith("[Path]\r\nLetzter_Grafik_Ordner=" + folder.toUtf8() + "\r\n"));
    MainWindow again;
    again.ini_read();
    QCOMPARE(again.state().lastImageFolder, folder);
    QVERIFY(m_platform->boxes.isEmpty());
}

// The disk fills up while the settings are written: one German warning, and
// the old file stays as it was.
void TestSettings::fullDiskKeepsOldFile()
{
    const QByteArray old = "; von Hand\r\n[Path]\r\nLetzter_Grafik_Ordner=/home/anna/bilder/\r\n" +
                           QByteArray("; ").append(QByteArray(300, '-')) + "\r\n";
    QVERIFY(writeFile(m_ini, old));
    MainWindow window;
    QVERIFY(onFullDisk(200, [&] { window.ini_write(); }));
    QCOMPARE(m_platform->boxes, QList<ShownBox>{warningBox("Error: 2. Die Einstellungsdatei \"" + m_ini +
                                                               "\" ließ sich nicht schreiben; die bisherige Datei "
                                                               "ist unverändert geblieben.",
                                                           "INIWriteSetting")});
    QCOMPARE(readFile(m_ini), old);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Korvane.ini"});
}

void TestSettings::brokenFilesNeverCrash_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QRandomGenerator random(1234);
    QByteArray noise;
    for (int i = 0; i < 5000; ++i)
        noise.append(char(random.bounded(256)));
    QTest::newRow("random bytes") << noise;
    QTest::newRow("NULs") << QByteArray(3000, '\0');
    QTest::newRow("long line") << QByteArray("[color]\r\nZeichenfarbe=") + QByteArray(1 << 20, '9');
    QTest::newRow("brackets only") << QByteArray("[[[[]]]]\r\n]\r\n[\r\n=\r\n==\r\n[color\r\n");
    QTest::newRow("CR only") << QByteArray("[color]\rZeichenfarbe=255\r");
}

void TestSettings::brokenFilesNeverCrash()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(writeFile(m_ini, bytes));
    MainWindow window;
    window.ini_read();
    QVERIFY(iniWriteSetting(QStringLiteral("color"), QStringLiteral("Zeichenfarbe"), QStringLiteral("4711"), m_ini));
    QCOMPARE(iniGetSettingString(QStringLiteral("color"), QStringLiteral("Zeichenfarbe"), m_ini),
             QStringLiteral("4711"));
    window.ini_write();
    QCOMPARE(iniGetSettingString(QStringLiteral("Lupe"), QStringLiteral("lupe_visible"), m_ini), QStringLiteral("0"));
    QVERIFY(m_platform->boxes.isEmpty());
}

void TestSettings::folderLengths_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("readBack");
    QTest::newRow("254") << 254 << 254;
    QTest::newRow("255") << 255 << 255;
    QTest::newRow("256") << 256 << 255;
    QTest::newRow("1000") << 1000 << 255;
}

void TestSettings::folderLengths()
{
    QFETCH(int, length);
    QFETCH(int, readBack);
    QString folder = QStringLiteral("C:\\");
    while (folder.size() < length)
        folder += QLatin1Char('a' + folder.size() % 26);
    QVERIFY(writeFile(m_ini, "[Path]\r\nLetzter_Grafik_Ordner=" + folder.toLatin1() + "\r\n"));
    MainWindow window;
    window.ini_read();
    QCOMPARE(window.state().lastImageFolder, folder.left(readBack));
}

void TestSettings::readAppliesValues_data()
{
    QTest::addColumn<QByteArray>("ini"); // null: no settings file
    QTest::addColumn<bool>("checkedBefore");
    QTest::addColumn<bool>("checkedAfter");
    QTest::addColumn<QStringList>("folders"); // image, map, export
    const QStringList none{"", "", ""};
    QTest::newRow("no file applies nothing") << QByteArray() << true << true << QStringList{"vorher", "", ""};
    QTest::newRow("fill style 7 checks") << QByteArray("[FillStyle]\r\nFillStyle1=7\r\n") << false << true << none;
    QTest::newRow("fill style 1 unchecks") << QByteArray("[fillstyle]\r\nfillstyle1=1\r\n") << true << false << none;
    QTest::newRow("bad fill style keeps") << QByteArray("[FillStyle]\r\nFillStyle1=x\r\n") << true << true << none;
    QTest::newRow("fill style out of range keeps")
        << QByteArray("[FillStyle]\r\nFillStyle1=9\r\n") << false << false << none;
    QTest::newRow("folders") << QByteArray("[Path]\r\nLetzter_Grafik_Ordner=/b/\r\nLetzter_Speicherort_MAP=/m/\r\n"
                                           "Letzter_Export_Ordner=/e/\r\n")
                             << false << false << QStringList{"/b/", "/m/", "/e/"};
    QTest::newRow("folders of a full file")
        << QByteArray("[color]\r\nZeichenfarbe=rot\r\nFuellfarbe=16776960\r\n[DrawWidth]\r\nDrawWidth1=2\r\n"
                      "[Path]\r\nLetzter_Grafik_Ordner=C:\\bilder\\\r\n[Lupe]\r\nLupe_visible=0\r\n")
        << false << false << QStringList{"C:\\bilder\\", "", ""};
}

void TestSettings::readAppliesValues()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, checkedBefore);
    QFETCH(bool, checkedAfter);
    QFETCH(QStringList, folders);
    if (!ini.isNull())
        QVERIFY(writeFile(m_ini, ini));
    MainWindow window;
    window.state().lastImageFolder = QStringLiteral("vorher");
    window.ui.chkGefuellt->setChecked(checkedBefore);
    QSignalSpy magnifier(window.ui.Command4, &QPushButton::clicked);
    window.ini_read();
    QCOMPARE(window.ui.chkGefuellt->isChecked(), checkedAfter);
    const ProgramState& state = window.state();
    QCOMPARE((QStringList{state.lastImageFolder, state.lastMapFolder, state.lastExportFolder}), folders);
    QCOMPARE(magnifier.count(), 0);
    QVERIFY(m_platform->boxes.isEmpty());
    QCOMPARE(QFile::exists(m_ini), !ini.isNull()); // reading never creates the file
}

void TestSettings::readAppliesDrawing_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QColor>("drawColour");
    QTest::addColumn<QColor>("fillColour");
    QTest::addColumn<int>("framed"); // index of the framed line-width picture
    const QColor red(255, 0, 0);
    const QColor cyan(0, 255, 255);
    QTest::newRow("start values stay") << QByteArray("[x]\r\n") << red << cyan << 0;
    QTest::newRow("green drawing colour")
        << QByteArray("[color]\r\nZeichenfarbe=65280\r\n") << QColor(0, 255, 0) << cyan << 0;
    QTest::newRow("non-numeric keeps swatch")
        << QByteArray("[color]\r\nZeichenfarbe=rot\r\nFuellfarbe=255\r\n") << red << red << 0;
    QTest::newRow("width 2 frames the second") << QByteArray("[DrawWidth]\r\nDrawWidth1=2\r\n") << red << cyan << 1;
    QTest::newRow("width 0 ignored") << QByteArray("[DrawWidth]\r\nDrawWidth1=0\r\n") << red << cyan << 0;
}

void TestSettings::readAppliesDrawing()
{
    QFETCH(QByteArray, ini);
    QFETCH(QColor, drawColour);
    QFETCH(QColor, fillColour);
    QFETCH(int, framed);
    QVERIFY(writeFile(m_ini, ini));
    MainWindow window;
    window.ini_read();
    QCOMPARE(window.ui.lblColor->palette().color(QPalette::Window), drawColour);
    QCOMPARE(window.ui.Picture1->surface().penColor(), drawColour);
    QCOMPARE(window.ui.lblFuellfarbe->palette().color(QPalette::Window), fillColour);
    QCOMPARE(window.ui.Picture1->surface().fillColor(), fillColour);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(window.ui.Image1[i]->frameShape() != QFrame::NoFrame, i == framed);
    QCOMPARE(window.ui.Picture1->surface().lineWidth(), framed + 1);
}

void TestSettings::closingWritesFile_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file yet
    QTest::addColumn<int>("imagesOpened");
    QTest::addColumn<QByteArray>("after");
    const QByteArray drawing("Zeichenfarbe=255\r\nFuellfarbe=16776960\r\nZiehpunktfarbe=16711680\r\n[DrawWidth]\r\n"
                             "DrawWidth1=2\r\n[FillStyle]\r\nFillStyle1=7\r\n");
    QTest::newRow("creates the file") << QByteArray() << 1
                                      << "[color]\r\n" + drawing +
                                             "[Path]\r\nLetzter_Grafik_Ordner=/home/anna/bilder/\r\n"
                                             "Letzter_Speicherort_MAP=\r\nLetzter_Export_Ordner=\r\n[Lupe]\r\n"
                                             "Lupe_visible=-1\r\n";
    // Folders are only known once an image was opened; until then the old ones stay.
    QTest::newRow("path keys kept when nothing was opened")
        << QByteArray("[Path]\r\nLetzter_Grafik_Ordner=C:\\alt\\\r\n[color]\r\nZeichenfarbe=1\r\n") << 0
        << "[Path]\r\nLetzter_Grafik_Ordner=C:\\alt\\\r\n[color]\r\n" + drawing + "[Lupe]\r\nLupe_visible=-1\r\n";
    // Nothing to change: the file is not written again (a big one took seconds).
    const QByteArray same = "[color]\r\n" + drawing + "[Lupe]\r\nLupe_visible=-1\r\n";
    QTest::newRow("nothing changed") << same << 0 << same;
}

void TestSettings::closingWritesFile()
{
    QFETCH(QByteArray, before);
    QFETCH(int, imagesOpened);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        QVERIFY(writeFile(m_ini, before));
    const ino_t oldFile = inodeOf(m_ini);
    MainWindow window;
    // Chosen as a user does: the palette target, a swatch press, a line width, the check box.
    window.setDrawColor(QColor(255, 0, 0));
    window.setFillColor(QColor(0, 255, 255));
    window.setHandleColor(QColor(0, 0, 255));
    window.setLineWidth(2);
    window.ui.chkGefuellt->setEnabled(true); // as the first Open enables it
    window.ui.chkGefuellt->click();
    window.state().settingsLoadCount = imagesOpened;
    window.state().lastImageFolder = QStringLiteral("/home/anna/bilder/");
    window.state().magnifierOpen = true;
    window.ini_write();
    QCOMPARE(readFile(m_ini), after);
    QCOMPARE(inodeOf(m_ini) == oldFile, before == after); // replaced only when it changed
    QVERIFY(m_platform->boxes.isEmpty());
}

void TestSettings::codeBoxChoices_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("chooseFirst"); // in the menu, before the file is read
    QTest::addColumn<bool>("relative");    // in effect after reading
    QTest::addColumn<QString>("fit");
    QTest::addColumn<QByteArray>("after");
    const QByteArray drawing("[color]\r\nZeichenfarbe=255\r\nFuellfarbe=16776960\r\nZiehpunktfarbe=16711680\r\n"
                             "[DrawWidth]\r\nDrawWidth1=1\r\n[FillStyle]\r\nFillStyle1=1\r\n");
    const QByteArray folders("[Path]\r\nLetzter_Grafik_Ordner=\r\nLetzter_Speicherort_MAP=\r\nLetzter_Export_Ordner=\r\n");
    const QByteArray lupe("[Lupe]\r\nLupe_visible=0\r\n");
    QTest::newRow("stored choices are read and stay") << QByteArray("[Code]\r\nBildpfad_relativ=-1\r\n"
                                                                    "Responsiv_Einpassung=contain\r\n")
                                                      << false << true << "contain"
                                                      << "[Code]\r\nBildpfad_relativ=-1\r\nResponsiv_Einpassung="
                                                         "contain\r\n" +
                                                             drawing + folders + lupe;
    QTest::newRow("nothing stored, nothing chosen: no key written")
        << QByteArray() << false << false << "fill" << drawing + folders + lupe;
    QTest::newRow("chosen before the file was read wins")
        << QByteArray("[Code]\r\nBildpfad_relativ=0\r\nResponsiv_Einpassung=contain\r\n") << true << true << "cover"
        << "[Code]\r\nBildpfad_relativ=-1\r\nResponsiv_Einpassung=cover\r\n" + drawing + folders + lupe;
    QTest::newRow("unknown values keep the defaults")
        << QByteArray("[Code]\r\nBildpfad_relativ=ja\r\nResponsiv_Einpassung=rund\r\n") << false << false << "fill"
        << "[Code]\r\nBildpfad_relativ=ja\r\nResponsiv_Einpassung=rund\r\n" + drawing + folders + lupe;
}

void TestSettings::codeBoxChoices()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, chooseFirst);
    QFETCH(bool, relative);
    QFETCH(QString, fit);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        QVERIFY(writeFile(m_ini, before));
    MainWindow window;
    QAction* relativeEntry = window.findChild<QAction*>(QStringLiteral("mnuBildpfadRelativ"));
    if (chooseFirst) {
        relativeEntry->trigger();
        window.findChild<QAction*>(QStringLiteral("mnuEinpassung_cover"))->trigger();
    }
    window.ui.Command1->click(); // reads the settings; the open dialog is cancelled
    QCOMPARE(window.state().relativeImagePath, relative);
    QCOMPARE(fitModeName(window.state().responsiveFit), fit);
    emit window.ui.txtMap->menuOpening();
    QCOMPARE(relativeEntry->isChecked(), relative);
    QVERIFY(window.findChild<QAction*>("mnuEinpassung_" + fit)->isChecked());
    window.ini_write();
    QCOMPARE(readFile(m_ini), after);
}

void TestSettings::highlightChoice_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("choose");  // the entry chosen in the menu after the file was read; empty: none
    QTest::addColumn<QString>("colour");  // the colour dialog's answer; empty: cancelled, none: not opened
    QTest::addColumn<QString>("kind");    // in effect at the end
    QTest::addColumn<QString>("rgb");
    QTest::addColumn<QByteArray>("after");
    const QByteArray drawing("[color]\r\nZeichenfarbe=255\r\nFuellfarbe=16776960\r\nZiehpunktfarbe=16711680\r\n"
                             "[DrawWidth]\r\nDrawWidth1=1\r\n[FillStyle]\r\nFillStyle1=1\r\n");
    const QByteArray folders("[Path]\r\nLetzter_Grafik_Ordner=\r\nLetzter_Speicherort_MAP=\r\nLetzter_Export_Ordner=\r\n");
    const QByteArray lupe("[Lupe]\r\nLupe_visible=0\r\n");
    const QByteArray stored("[Code]\r\nHervorhebung=umriss\r\nHervorhebung_Farbe=#FFD700\r\n");
    QTest::newRow("stored choice read, nothing written") << stored << "" << "none" << "umriss" << "#ffd700"
                                                         << stored + drawing + folders + lupe;
    QTest::newRow("nothing stored, nothing chosen: no key written")
        << QByteArray() << "" << "none" << "umriss-flaeche" << "#005ac8" << drawing + folders + lupe;
    // Only the highlight's keys: the other choices of the code box stay unwritten.
    QTest::newRow("chosen in the menu") << QByteArray() << "keine" << "#123456" << "keine" << "#123456"
                                        << drawing + folders + lupe +
                                               "[Code]\r\nHervorhebung=keine\r\nHervorhebung_Farbe=#123456\r\n";
    QTest::newRow("colour dialog cancelled") << stored << "" << "" << "umriss" << "#ffd700"
                                             << stored + drawing + folders + lupe;
    // The kind chosen, the colour not: the stored colour stays as it was written.
    QTest::newRow("unknown values keep the defaults")
        << QByteArray("[Code]\r\nHervorhebung=blinkend\r\nHervorhebung_Farbe=rot\r\n") << "umriss" << "none"
        << "umriss" << "#005ac8"
        << "[Code]\r\nHervorhebung=umriss\r\nHervorhebung_Farbe=rot\r\n" + drawing + folders + lupe;
    QTest::newRow("kind chosen, the stored colour stays")
        << stored << "keine" << "none" << "keine" << "#ffd700"
        << "[Code]\r\nHervorhebung=keine\r\nHervorhebung_Farbe=#FFD700\r\n" + drawing + folders + lupe;
}

void TestSettings::highlightChoice()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, choose);
    QFETCH(QString, colour);
    QFETCH(QString, kind);
    QFETCH(QString, rgb);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        QVERIFY(writeFile(m_ini, before));
    MainWindow window;
    window.ui.Command1->click(); // reads the settings; the open dialog is cancelled
    if (!choose.isEmpty())
        window.findChild<QAction*>("mnuHervorhebung_" + choose)->trigger();
    if (colour != "none") {
        if (!colour.isEmpty())
            m_platform->colourAnswers.enqueue(QColor(colour));
        const QString shownBefore = colourName(window.state().highlight.colour);
        window.findChild<QAction*>("mnuHervorhebungFarbe")->trigger();
        QCOMPARE(m_platform->colourDialogs, QStringList{"Farbe der Hervorhebung|" + shownBefore});
    }
    QCOMPARE(highlightKindName(window.state().highlight.kind), kind);
    QCOMPARE(colourName(window.state().highlight.colour), rgb);
    emit window.ui.txtMap->menuOpening();
    QVERIFY(window.findChild<QAction*>("mnuHervorhebung_" + kind)->isChecked());
    window.ini_write();
    QCOMPARE(readFile(m_ini), after);
}

void TestSettings::magnifierOpensAtFirstOpenOnly()
{
    QVERIFY(writeFile(m_ini, "[Lupe]\r\nLupe_visible=-1\r\n"));
    MainWindow window;
    QSignalSpy magnifier(window.ui.Command4, &QPushButton::clicked);
    QCOMPARE(magnifier.count(), 0); // not at start-up
    window.ui.Command1->click();    // the open dialog is cancelled by the scripted platform
    QCOMPARE(magnifier.count(), 1);
    QCOMPARE(window.state().settingsLoadCount, 1);
    window.ui.Command1->click();
    QCOMPARE(magnifier.count(), 1);
    QCOMPARE(window.state().settingsLoadCount, 2);
    QCOMPARE(m_platform->dialogs.size(), 2);
}

void TestSettings::unusableFileReportsOnce_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<QString>("title");
    QTest::newRow("folder missing on writing") << true << "INIWriteSetting";
    QTest::newRow("unreadable on reading") << false << "INIGetSettingString";
}

void TestSettings::unusableFileReportsOnce()
{
    QFETCH(bool, writing);
    QFETCH(QString, title);
    if (writing) {
        setSettingsFileOverride(m_dir.filePath(QStringLiteral("fehlt/ordner/Korvane.ini")));
    } else {
        QVERIFY(writeFile(m_ini, "[color]\r\nZeichenfarbe=255\r\n"));
        QVERIFY(QFile::setPermissions(m_ini, QFileDevice::WriteOwner));
        if (QFile(m_ini).open(QIODevice::ReadOnly))
            QSKIP("This user reads files without read permission (root).");
    }
    MainWindow window;
    window.state().settingsLoadCount = writing ? 1 : 0;
    if (writing)
        window.ini_write();
    else
        window.ini_read();
    QCOMPARE(m_platform->boxes.size(), 1);
    QCOMPARE(m_platform->boxes[0].title, title);
    QVERIFY2(m_platform->boxes[0].text.startsWith(QStringLiteral("Error: ")), qPrintable(m_platform->boxes[0].text));
    QCOMPARE(m_platform->boxes[0].buttons, QList<MessageButton>{MessageButton::Ok});
}

void TestSettings::locationIsProgramFolder()
{
    setSettingsFileOverride(QString());
    // The test program's folder is the build folder, which is writable.
    QCOMPARE(settingsFilePath(), programFolder() + QStringLiteral("Korvane.ini"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
