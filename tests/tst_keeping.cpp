// What the editor keeps from one run to the next beside the specified
// settings: the recently opened files and the window's place.
#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "app/RecentFiles.h"
#include "app/WindowGeometry.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <sys/stat.h>

using namespace korvane;
using korvane::test::readFile;
using korvane::test::row;
using korvane::test::writeFile;

namespace {

const QString kUnsaved = QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll der "
                                        "Code jetzt gespeichert werden?");

ino_t inodeOf(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// One editor with a scripted desktop and a folder for its settings and files.
struct Editor : korvane::test::SettingsFolder {
    korvane::test::ScriptedPlatform& desktop = korvane::test::installScriptedPlatform();
    MainWindow w;

    void press(QPushButton* button, const QString& file)
    {
        desktop.fileAnswers.enqueue(file);
        button->click();
    }
    // The Datei menu's list as it opens.
    QMenu* recentMenu()
    {
        auto* menu = w.menuBar()->findChild<QMenu*>("mnuZuletzt");
        emit menu->aboutToShow();
        return menu;
    }
    QStringList recentEntries()
    {
        QStringList texts;
        for (QAction* entry : recentMenu()->actions())
            if (!entry->isSeparator())
                texts << entry->text() + (entry->isEnabled() ? "" : " (aus)");
        return texts;
    }
    void chooseRecent(int number)
    {
        recentMenu()->findChild<QAction*>(QStringLiteral("actZuletzt_%1").arg(number))->trigger();
    }
    QByteArray ini() const { return readFile(path("Korvane.ini")); }
};

QByteArray quoted(const QString& path)
{
    return "\"" + path.toUtf8() + "\"";
}

} // namespace

class TestKeeping : public QObject {
    Q_OBJECT
private slots:
    void recentFilesStored_data();
    void recentFilesStored();
    void recentAfterOpenImportAndMissing();
    void recentWrittenAfterTheOpen_data();
    void recentWrittenAfterTheOpen();
    void recentOpensAsFromOutside();
    void placedWithin_data();
    void placedWithin();
    void geometryKeptAcrossRestart_data();
    void geometryKeptAcrossRestart();
    void savedPlaceBroughtOnScreen_data();
    void savedPlaceBroughtOnScreen();
};

void TestKeeping::recentFilesStored_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("after");
    const QString longPath = "/bilder/" + QString(300, QLatin1Char('a')) + ".png"; // 312 characters
    row("one file", QByteArray(), QStringList{"/home/anna/plan.png"},
        QByteArray("[Zuletzt_geoeffnet]\r\nDatei1=\"/home/anna/plan.png\"\r\n"));
    row("blanks at the ends kept", QByteArray(), QStringList{"/home/anna/ plan.png "},
        QByteArray("[Zuletzt_geoeffnet]\r\nDatei1=\"/home/anna/ plan.png \"\r\n"));
    row("a long path goes on", QByteArray(), QStringList{longPath},
        "[Zuletzt_geoeffnet]\r\nDatei1=" + quoted(longPath.left(253)) + "\r\nDatei1_2=" + quoted(longPath.mid(253)) +
            "\r\n");
    // A character outside the basic plane is never split between two values.
    row("split before a pair", QByteArray(),
        QStringList{QString(252, 'b') + QString::fromUtf8("\xF0\x9F\x97\xBA") + "c"},
        "[Zuletzt_geoeffnet]\r\nDatei1=" + quoted(QString(252, 'b')) +
            "\r\nDatei1_2=\"\xF0\x9F\x97\xBA"
            "c\"\r\n");
    row("fewer than stored", QByteArray("[Zuletzt_geoeffnet]\r\nDatei1=\"/a.png\"\r\nDatei2=\"/b.map\"\r\n"),
        QStringList{"/b.map"}, QByteArray("[Zuletzt_geoeffnet]\r\nDatei1=\"/b.map\"\r\nDatei2=\r\n"));
    row("shorter than stored",
        "[Zuletzt_geoeffnet]\r\nDatei1=" + quoted(longPath.left(253)) + "\r\nDatei1_2=" + quoted(longPath.mid(253)) +
            "\r\n",
        QStringList{"/kurz.png"}, QByteArray("[Zuletzt_geoeffnet]\r\nDatei1=\"/kurz.png\"\r\nDatei1_2=\r\n"));
    row("a line break cannot be kept", QByteArray(), QStringList{"/a\nb.png", "/c.png"},
        QByteArray("[Zuletzt_geoeffnet]\r\nDatei1=\"/c.png\"\r\n"));
    row("other sections stay", QByteArray("[color]\r\nZeichenfarbe=255\r\n"), QStringList{"/c.png"},
        QByteArray("[color]\r\nZeichenfarbe=255\r\n[Zuletzt_geoeffnet]\r\nDatei1=\"/c.png\"\r\n"));
}

// The exact bytes of the file, and the list read back from them.
void TestKeeping::recentFilesStored()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, files);
    QFETCH(QByteArray, after);
    const QString contents = QString::fromUtf8(before);
    const QString written = iniReplaceAll(contents, recentFileSettings(files, IniContents(contents)));
    QCOMPARE(written.toUtf8(), after);
    QStringList kept = files;
    kept.removeIf([](const QString& path) { return path.contains('\n'); });
    QCOMPARE(recentFilesIn(IniContents(written)), kept);
}

// A picture opened, a .map and a page imported: each comes first in the menu
// and in the file. A file gone since is offered for removal.
void TestKeeping::recentAfterOpenImportAndMissing()
{
    Editor e;
    QCOMPARE(e.recentEntries(), QStringList({"Keine zuletzt geöffneten Dateien (aus)", "Liste leeren (aus)"}));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(e.path("plan.png"), "PNG"));
    QVERIFY(writeFile(e.path("plan.map"), "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n"
                                          "<img src=\"plan.png\" usemap=\"#plan\">\r\n<map name=\"plan\">\r\n"
                                          "<area shape=\"rect\" coords=\"1,2,30,20\" href=\"a.html\" alt=\"A\">\r\n"
                                          "</map>\r\n"));
    QVERIFY(writeFile(e.path("seite.html"), "<html><body><img src=\"plan.png\" usemap=\"#plan\">\n<map name=\"plan\">"
                                            "<area shape=\"rect\" coords=\"5,5,9,9\" href=\"b.html\" alt=\"B\">"
                                            "</map></body></html>"));
    const QString folder = e.dir.path();
    e.press(e.w.ui.Command1, e.path("plan.png"));
    QCOMPARE(e.recentEntries(), QStringList({"&1 plan.png   (" + folder + ")", "Liste leeren"}));
    e.press(e.w.ui.Command8, e.path("plan.map"));
    e.desktop.answers.enqueue(MessageButton::No); // the code of the map goes
    e.press(e.w.ui.Command11, e.path("seite.html"));
    QCOMPARE(e.w.areas().count(), 1);
    QCOMPARE(e.recentEntries(), QStringList({"&1 seite.html   (" + folder + ")", "&2 plan.map   (" + folder + ")",
                                             "&3 plan.png   (" + folder + ")", "Liste leeren"}));
    const QByteArray section = "[Zuletzt_geoeffnet]\r\nDatei1=" + quoted(e.path("seite.html")) +
                               "\r\nDatei2=" + quoted(e.path("plan.map")) + "\r\nDatei3=" + quoted(e.path("plan.png")) +
                               "\r\n";
    QTRY_COMPARE(e.ini(), section); // written in the next turn of the event loop
    // Gone: "Nein" keeps it in the list, "Ja" takes it out; no error either way.
    QVERIFY(QFile::remove(e.path("plan.map")));
    const QString question = "Die Datei \"" + e.path("plan.map") +
                             "\" gibt es nicht mehr. Soll sie aus der Liste der zuletzt geöffneten Dateien entfernt "
                             "werden?";
    e.desktop.boxes.clear();
    e.desktop.answers.enqueue(MessageButton::No);
    e.chooseRecent(2);
    QCOMPARE(e.desktop.texts(), QStringList{question});
    QCOMPARE(e.desktop.boxes[0].title, QStringLiteral("Korvane Kontrollabfrage"));
    QCOMPARE(e.desktop.boxes[0].buttons, QList<MessageButton>({MessageButton::Yes, MessageButton::No}));
    QCOMPARE(e.ini(), section);
    e.desktop.answers.enqueue(MessageButton::Yes);
    e.chooseRecent(2);
    QCOMPARE(e.recentEntries(),
             QStringList({"&1 seite.html   (" + folder + ")", "&2 plan.png   (" + folder + ")", "Liste leeren"}));
    QTRY_COMPARE(e.ini(), "[Zuletzt_geoeffnet]\r\nDatei1=" + quoted(e.path("seite.html")) +
                          "\r\nDatei2=" + quoted(e.path("plan.png")) + "\r\nDatei3=\r\n");
    QCOMPARE(e.w.areas().count(), 1); // nothing was opened
    // The same file again first: the file is not written again.
    const ino_t stored = inodeOf(e.path("Korvane.ini"));
    e.desktop.answers.enqueue(MessageButton::No);
    e.press(e.w.ui.Command11, e.path("seite.html"));
    QTest::qWait(1);
    QCOMPARE(inodeOf(e.path("Korvane.ini")), stored);
    // "Liste leeren" empties it.
    e.recentMenu()->findChild<QAction*>("actZuletztLeeren")->trigger();
    QCOMPARE(e.recentEntries(), QStringList({"Keine zuletzt geöffneten Dateien (aus)", "Liste leeren (aus)"}));
    QTRY_COMPARE(e.ini(), QByteArray("[Zuletzt_geoeffnet]\r\nDatei1=\r\nDatei2=\r\nDatei3=\r\n"));
}

void TestKeeping::recentWrittenAfterTheOpen_data()
{
    QTest::addColumn<QString>("then");
    QTest::newRow("the event loop runs") << "events";
    QTest::newRow("the window goes at once") << "gone";
    QTest::newRow("another editor wrote meanwhile") << "other";
    QTest::newRow("the disk full at first") << "full";
}

// The open does not wait for the settings file: the list shows the file at
// once, the file follows in the next turn of the event loop, or when the
// window goes before that, merged with what another editor wrote.
void TestKeeping::recentWrittenAfterTheOpen()
{
    QFETCH(QString, then);
    korvane::test::SettingsFolder folder;
    korvane::test::ScriptedPlatform& desktop = korvane::test::installScriptedPlatform();
    auto w = std::make_unique<MainWindow>();
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QString file = folder.path("plan.png");
    QVERIFY(picture.save(file, "PNG"));
    const auto ini = [&folder] { return readFile(folder.path("Korvane.ini")); };
    desktop.fileAnswers.enqueue(file);
    w->ui.Command1->click();
    QCOMPARE(w->findChild<RecentFiles*>()->files(), QStringList{file});
    QVERIFY(!QFile::exists(folder.path("Korvane.ini"))); // not on the way to the first paint
    QByteArray expected = "[Zuletzt_geoeffnet]\r\nDatei1=" + quoted(file) + "\r\n";
    if (then == "other") {
        QVERIFY(writeFile(folder.path("Korvane.ini"), "[Zuletzt_geoeffnet]\r\nDatei1=\"/anderswo/b.map\"\r\n"));
        expected += "Datei2=\"/anderswo/b.map\"\r\n";
    }
    if (then == "full") {
        // The write fails (one box); the next change writes this file too.
        QVERIFY(korvane::test::onFullDisk(10, [] { QTest::qWait(20); }));
        QCOMPARE(desktop.boxes.size(), 1);
        QVERIFY(!QFile::exists(folder.path("Korvane.ini")));
        const QString second = folder.path("zwei.png");
        QVERIFY(picture.save(second, "PNG"));
        desktop.fileAnswers.enqueue(second);
        w->ui.Command1->click();
        expected = "[Zuletzt_geoeffnet]\r\nDatei1=" + quoted(second) + "\r\nDatei2=" + quoted(file) + "\r\n";
        QTRY_COMPARE(ini(), expected);
        QCOMPARE(desktop.boxes.size(), 1);
        return;
    }
    if (then == "gone") {
        w.reset();
        QCOMPARE(ini(), expected);
        QVERIFY(desktop.boxes.isEmpty());
        return;
    }
    QTRY_COMPARE(ini(), expected);
    QCOMPARE(w->findChild<RecentFiles*>()->files(), QStringList({file, "/anderswo/b.map"}).mid(0, then == "other" ? 2 : 1));
}

// A recent file goes the way of a file from outside: the unsaved code's
// question first ("Abbrechen" leaves everything), then its command.
void TestKeeping::recentOpensAsFromOutside()
{
    Editor e;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(e.path("plan.png"), "PNG"));
    QVERIFY(picture.save(e.path("zwei.png"), "PNG"));
    e.press(e.w.ui.Command1, e.path("plan.png"));
    e.press(e.w.ui.Command1, e.path("zwei.png"));
    e.w.areas().append(" rect                    |1,1,9,9|a.html|A|*|*|*|*");
    e.w.refresh();
    e.desktop.boxes.clear();
    e.desktop.answers.enqueue(MessageButton::Cancel);
    e.chooseRecent(2);
    QCOMPARE(e.desktop.texts(), QStringList{kUnsaved});
    QCOMPARE(e.w.document().imagePath(), e.path("zwei.png"));
    QCOMPARE(e.w.areas().count(), 1);
    e.desktop.answers.enqueue(MessageButton::No);
    e.chooseRecent(2);
    QCOMPARE(e.w.document().imagePath(), e.path("plan.png"));
    QCOMPARE(e.w.areas().count(), 0);
    QVERIFY(e.desktop.dialogs.size() == 2); // the two Opens; the recent file needs no dialog
    QCOMPARE(e.recentEntries().first(), "&1 plan.png   (" + e.dir.path() + ")");
}

void TestKeeping::placedWithin_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("placed");
    const QRect screen(0, 30, 1000, 670);
    row("inside: as it was", QRect(100, 100, 500, 400), QRect(100, 100, 500, 400));
    row("off the right", QRect(800, 100, 500, 400), QRect(500, 100, 500, 400));
    row("above the top", QRect(100, -200, 500, 400), QRect(100, 30, 500, 400));
    row("off every side", QRect(5000, 5000, 500, 400), QRect(500, 300, 500, 400));
    row("bigger than the screen", QRect(-50, 0, 1200, 800), QRect(0, 30, 1000, 670));
}

void TestKeeping::placedWithin()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, placed);
    QCOMPARE(korvane::placedWithin(frame, QRect(0, 30, 1000, 670)), placed);
}

void TestKeeping::geometryKeptAcrossRestart_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<bool>("maximised");
    row("a place of its own", QRect(60, 50, 640, 480), false);
    row("maximised", QRect(40, 30, 600, 450), true);
}

// Closed at a place and size (or maximised), the next start shows it there
// again; the file holds exactly what was kept.
void TestKeeping::geometryKeptAcrossRestart()
{
    QFETCH(QRect, area);
    QFETCH(bool, maximised);
    korvane::test::SettingsFolder settings;
    korvane::test::installScriptedPlatform();
    const QString screen = QGuiApplication::primaryScreen()->name();
    {
        MainWindow first;
        new WindowGeometry(first, [] { return QSize(); });
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        first.setGeometry(area);
        if (maximised)
            first.showMaximized();
        QTRY_COMPARE(first.isMaximized(), maximised);
        first.close();
    }
    const QByteArray stored = readFile(settings.path("Korvane.ini"));
    QVERIFY2(stored.contains(QStringLiteral("[Fenster]\r\nLinks=%1\r\nOben=%2\r\nBreite=%3\r\nHoehe=%4\r\n"
                                            "Maximiert=%5\r\nBildschirm=%6\r\n")
                                 .arg(area.x())
                                 .arg(area.y())
                                 .arg(area.width())
                                 .arg(area.height())
                                 .arg(maximised ? "-1" : "0", screen)
                                 .toUtf8()),
             stored.constData());
    MainWindow second;
    new WindowGeometry(second, [] { return QSize(); });
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QCOMPARE(second.isMaximized(), maximised);
    QCOMPARE(maximised ? second.normalGeometry() : second.geometry(), area);
}

void TestKeeping::savedPlaceBroughtOnScreen_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QRect>("expected"); // null: as the window always starts
    QTest::addColumn<bool>("exactly");   // else only the size, the place moved onto the screen
    const QString name = QGuiApplication::primaryScreen()->name();
    row("on its screen",
        QString("[Fenster]\r\nLinks=20\r\nOben=40\r\nBreite=500\r\nHoehe=400\r\nMaximiert=0\r\n"
                "Bildschirm=%1\r\n")
            .arg(name)
            .toUtf8(),
        QRect(20, 40, 500, 400), true);
    row("off every screen", QByteArray("[Fenster]\r\nLinks=5000\r\nOben=4000\r\nBreite=500\r\nHoehe=400\r\n"),
        QRect(0, 0, 500, 400), false);
    row("its screen removed",
        QByteArray("[Fenster]\r\nLinks=-1900\r\nOben=-50\r\nBreite=500\r\nHoehe=400\r\nBildschirm=HDMI-9\r\n"),
        QRect(0, 0, 500, 400), false);
    row("bigger than the screen", QByteArray("[Fenster]\r\nLinks=0\r\nOben=0\r\nBreite=9000\r\nHoehe=7000\r\n"),
        QRect(), false);
    row("nothing kept", QByteArray("[color]\r\nZeichenfarbe=255\r\n"), QRect(), true);
    row("no number", QByteArray("[Fenster]\r\nLinks=x\r\nOben=0\r\nBreite=500\r\nHoehe=400\r\n"), QRect(), true);
}

// Wherever the place was kept, the whole window shows on a screen; without
// one it starts as it always did.
void TestKeeping::savedPlaceBroughtOnScreen()
{
    QFETCH(QByteArray, stored);
    QFETCH(QRect, expected);
    QFETCH(bool, exactly);
    korvane::test::SettingsFolder settings;
    korvane::test::installScriptedPlatform();
    MainWindow plain;
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QVERIFY(writeFile(settings.path("Korvane.ini"), stored));
    MainWindow w;
    new WindowGeometry(w, [&w] { return w.frameAround(); });
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(20); // the window fits itself to the real frame once shown
    const QRect free = w.screen()->availableGeometry();
    QVERIFY2(free.contains(w.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                              .arg(w.frameGeometry().x())
                                                              .arg(w.frameGeometry().y())
                                                              .arg(w.frameGeometry().width())
                                                              .arg(w.frameGeometry().height())));
    if (expected.isNull() && exactly)
        QCOMPARE(w.geometry(), plain.geometry());
    else if (exactly)
        QCOMPARE(w.geometry(), expected);
    else if (!expected.isNull())
        QCOMPARE(w.size(), expected.size());
    else
        QVERIFY(w.width() > free.width() - 100 && w.height() > free.height() - 150); // as big as the screen lets it
}

QTEST_MAIN(TestKeeping)
#include "tst_keeping.moc"
