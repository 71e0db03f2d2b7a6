// The window's language: German as written, English where the desktop speaks
// English or Korvane.ini asks for it, on a sample of windows, menus and
// messages; the German texts stay exactly as they were.
#include "app/Language.h"
#include "app/MainWindow.h"
#include "dialogs/AttributeForm.h"
#include "model/LinkAttributes.h"
#include "model/Paths.h"
#include "support/BlankPicture.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

using namespace korvane;
using korvane::test::row;

Q_DECLARE_METATYPE(korvane::Language)

namespace {

const QString kArea = QStringLiteral(" rect                |10,20,110,70|ziel.html|Ziel|*|*|*|*");

QStringList menuTitles(MainWindow& w)
{
    QStringList titles;
    for (QAction* action : w.menuBar()->actions())
        titles << action->text();
    return titles;
}

QStringList entryTexts(MainWindow& w, const char* menu)
{
    QStringList texts;
    for (QAction* action : w.menuBar()->findChild<QMenu*>(QLatin1String(menu))->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    return texts;
}

// What the user reads on the main window: captions, tool tips, labels.
QStringList windowTexts(MainWindow& w)
{
    return {w.ui.Option1[0]->text(), w.ui.Option1[1]->text(),     w.ui.Option1[2]->text(),
            w.ui.Option1[3]->text(), w.ui.Command1->toolTip(),    w.ui.Command9->toolTip(),
            w.ui.Label1->text(),     w.ui.Frame1->title(),        w.ui.Frame2->title(),
            w.ui.chkGefuellt->text(), w.ui.txtHelp->toPlainText()};
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { installLanguage(Language::German); }

    void choice_data();
    void choice();
    void settingChoosesAtStart_data();
    void settingChoosesAtStart();
    void englishWindow();
    void germanStaysAsItWas();
    void helpInTheWindowsLanguage_data();
    void helpInTheWindowsLanguage();
};

void LanguageTest::choice_data()
{
    QTest::addColumn<QStringList>("desktop");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<Language>("expected");
    const QString none;
    row("German desktop", QStringList{"de-DE"}, none, Language::German);
    row("English desktop", QStringList{"en-US"}, none, Language::English);
    row("English without country", QStringList{"en"}, none, Language::English);
    row("English in the POSIX spelling", QStringList{"en_GB"}, none, Language::English);
    row("French first, English second", QStringList{"fr-FR", "en-US"}, none, Language::German);
    row("a language that starts like English", QStringList{"eo"}, none, Language::German);
    row("the C locale", QStringList{"C"}, none, Language::German);
    row("no language at all", QStringList{}, none, Language::German);
    row("English desktop, German forced", QStringList{"en-US"}, QString("[Sprache]\nSprache=Deutsch\n"),
        Language::German);
    row("German desktop, English forced", QStringList{"de-DE"}, QString("[Sprache]\nSprache=English\n"),
        Language::English);
    row("any letter case, blanks around", QStringList{"de"}, QString("[SPRACHE]\nsprache= english \n"),
        Language::English);
    row("the short codes", QStringList{"de"}, QString("[Sprache]\nSprache=en\n"), Language::English);
    row("an unknown value leaves it to the desktop", QStringList{"en"}, QString("[Sprache]\nSprache=Klingonisch\n"),
        Language::English);
    row("an empty value leaves it to the desktop", QStringList{"de"}, QString("[Sprache]\nSprache=\n"),
        Language::German);
    row("the key in another section", QStringList{"de"}, QString("[Code]\nSprache=English\n"), Language::German);
}

void LanguageTest::choice()
{
    QFETCH(QStringList, desktop);
    QFETCH(QString, settings);
    QFETCH(Language, expected);
    QCOMPARE(chosenLanguage(IniContents(settings), desktop), expected);
}

void LanguageTest::settingChoosesAtStart_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<Language>("expected");
    QTest::addColumn<QString>("rectangle");
    // The tests run in the C locale: the desktop's choice is German.
    row("no settings file", QByteArray(), Language::German, QString("Rechteck"));
    row("English forced", QByteArray("[color]\r\nZeichenfarbe=255\r\n[Sprache]\r\nSprache=English\r\n"),
        Language::English, QString("Rectangle"));
    row("German forced", QByteArray("[Sprache]\r\nSprache=Deutsch\r\n"), Language::German, QString("Rechteck"));
}

void LanguageTest::settingChoosesAtStart()
{
    QFETCH(QByteArray, settings);
    QFETCH(Language, expected);
    QFETCH(QString, rectangle);
    test::SettingsFolder folder;
    if (!settings.isEmpty()) {
        QFile file(folder.path("Korvane.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    installChosenLanguage();
    QCOMPARE(installedLanguage(), expected);
    test::installScriptedPlatform();
    MainWindow w;
    QCOMPARE(w.ui.Option1[1]->text(), rectangle);
    // Reading the language writes nothing.
    QCOMPARE(QFile::exists(folder.path("Korvane.ini")), !settings.isEmpty());
}

void LanguageTest::englishWindow()
{
    QVERIFY(installLanguage(Language::English));
    QCOMPARE(installedLanguage(), Language::English);
    test::SettingsFolder folder;
    test::BlankEditor e;
    MainWindow& w = e.w;
    QCOMPARE(windowTexts(w),
             (QStringList{"Polygon", "Rectangle", "Circle", "EditMode", "Choose a picture file.",
                          "Opens the attribute editor", "Area list:", "Choose colours", "Line width",
                          "Draw areas filled",
                          "Drawing polygons: a left click draws each point of the polygon and the line to it. At "
                          "the end a right click closes the polygon (the last point is joined to the first)."}));
    QCOMPARE(menuTitles(w), (QStringList{"&File", "&Edit", "&View", "&Tools", "&Map", "&Help"}));
    QCOMPARE(entryTexts(w, "mnuDatei"),
             (QStringList{"&Open picture...", "Import &map file...", "Import &HTML page...", "Open &recent",
                          "&Save...", "&Export into HTML page...", "Save responsive page...", "&Quit"}));
    QCOMPARE(entryTexts(w, "mnuHilfe"), (QStringList{"&Help", "&Keyboard shortcuts", "&About Korvane"}));

    // A question through the message box seam, with its title.
    w.areas().setLines({kArea});
    w.refresh();
    e.platform.answers.enqueue(MessageButton::No);
    w.ui.Command3->click();
    QCOMPARE(e.platform.boxes.size(), 1);
    test::expectBox(e.platform.boxes.last(), "Korvane - question", "Do you really want to delete all areas drawn now?",
                    MessageIcon::Question);
    QCOMPARE(w.areas().count(), 1);

    // The undo entry names the step in English too.
    w.ui.Option1[1]->click();
    e.drag(e.canvas(), QPoint(20, 30), QPoint(120, 90));
    QCOMPARE(w.findChild<QAction*>("actRueckgaengig")->text(), QString("Undo: Draw rectangle"));

    // A dialog of its own.
    QString linkFolder;
    frmVerweis dialog(LinkAttributes{}, linkFolder, &w);
    QCOMPARE(dialog.windowTitle(), QString("Properties, link targets..."));
    QCOMPARE(dialog.findChild<QPushButton*>("Command2")->text(), QString("Apply"));
    QCOMPARE(dialog.findChild<QPushButton*>("Command3")->text(), QString("Cancel"));
    QCOMPARE(dialog.findChild<QPushButton*>("Command3")->toolTip(), QString("The area just drawn is deleted."));

    // Closing with unsaved code asks in English; Cancel keeps the window.
    e.platform.answers.enqueue(MessageButton::Cancel);
    QVERIFY(!w.close());
    test::expectBox(e.platform.boxes.last(), "Korvane question",
                    "The HTML code of the image map has not been saved yet. Save the code now?", MessageIcon::Question);
}

// English first, then German again: every text is back byte for byte.
void LanguageTest::germanStaysAsItWas()
{
    QStringList english;
    {
        QVERIFY(installLanguage(Language::English));
        test::BlankEditor e;
        english = windowTexts(e.w);
    }
    QVERIFY(installLanguage(Language::German));
    test::BlankEditor e;
    QCOMPARE(windowTexts(e.w),
             (QStringList{"Polygon", "Rechteck", "Kreis", "EditMode", "Grafikdatei auswählen.",
                          "Öffnet den Eigenschafteninspektor", "Arealliste:", "Farben wählen", "Liniendicke",
                          "Areale gefült zeichnen",
                          "Zeichnen von Polygonen: Linker MausClick Zeichnet die Polygonpunkte und erzeugt die "
                          "Verbindungslinie. Zuletzt schliesst ein rechter MausClick das Polygon (der letzte Punkt "
                          "wird mit dem ersten verbunden)."}));
    QVERIFY(english != windowTexts(e.w));
    QCOMPARE(menuTitles(e.w), (QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "&Werkzeuge", "&Map", "&Hilfe"}));
    e.w.areas().setLines({kArea});
    e.w.refresh();
    e.platform.answers.enqueue(MessageButton::No);
    e.w.ui.Command3->click();
    test::expectBox(e.platform.boxes.last(), "Korvane - Kontrollabfrage",
                    "Möchten Sie jetzt wirklich alle eingezeichneten Areale löschen?", MessageIcon::Question);
}

void LanguageTest::helpInTheWindowsLanguage_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<bool>("browserStarts");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("message"); // %1: the document's path
    row("German", Language::German, true, QString("korvane-hilfe.html"), QString());
    row("English", Language::English, true, QString("korvane-help.html"), QString());
    row("German, no browser", Language::German, false, QString("korvane-hilfe.html"),
        QString("Die Hilfe \"%1\" kann nicht geöffnet werden: Es lässt sich kein Browser starten, der sie zeigt."));
    row("English, no browser", Language::English, false, QString("korvane-help.html"),
        QString("The help \"%1\" cannot be opened: no browser can be started to show it."));
}

// Help opens the document of the window's language, and says so when no
// browser takes it, rather than leaving the user waiting.
void LanguageTest::helpInTheWindowsLanguage()
{
    QFETCH(Language, language);
    QFETCH(bool, browserStarts);
    QFETCH(QString, document);
    QFETCH(QString, message);
    QVERIFY(installLanguage(language));
    test::BlankEditor e;
    e.platform.programStarts = browserStarts;
    e.w.ui.Command13->click();
    const QString path = programFolder() + document;
    QVERIFY(QFile::exists(path));
    QCOMPARE(e.platform.opened, QStringList{path});
    if (message.isEmpty())
        QVERIFY(e.platform.boxes.isEmpty());
    else
        QCOMPARE(e.platform.boxes, QList<test::ShownBox>{test::warningBox(message.arg(path))});
}

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
