// The window's language: German as written, English where the desktop speaks
// English or Korvane.ini asks for it, on a sample of windows, menus and
// messages; the German texts stay exactly as they were.
#include "app/Language.h"
#include "app/MainWindow.h"
#include "dialogs/AttributeForm.h"
#include "model/LinkAttributes.h"
#include "model/Paths.h"
#include "support/BlankPicture.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>

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

// The anchors of a help document's sections, in their order.
QStringList sectionIds(const QString& html)
{
    QStringList ids;
    for (const QRegularExpressionMatch& m : QRegularExpression("<h2 id=\"([^\"]+)\"").globalMatch(html))
        ids << m.captured(1);
    return ids;
}

// The names of the menu bar's entries, menus and submenus, in menu order,
// without their "&" and a closing "...", each followed by its key.
QStringList menuEntries(MainWindow& w)
{
    QStringList entries;
    std::function<void(const QMenu*)> walk = [&](const QMenu* menu) {
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            QString name = action->text().remove(QRegularExpression("&(?!&)")).replace("&&", "&");
            if (name.endsWith("..."))
                name.chop(3);
            entries << name;
            if (!action->shortcut().isEmpty())
                entries << action->shortcut().toString(QKeySequence::NativeText);
            if (action->menu())
                walk(action->menu());
        }
    };
    for (const QAction* menu : w.menuBar()->actions()) {
        entries << menu->text().remove('&');
        walk(menu->menu());
    }
    return entries;
}

// The texts a user reads on a window the editor opens, in English: `kind`
// names the window; the editor holds one rectangle without alternative text,
// chosen.
QStringList openedWindowTexts(const QString& kind, test::BlankEditor& e, const QTemporaryDir& dir)
{
    MainWindow& w = e.w;
    QStringList texts;
    if (kind == "area table") {
        w.findChild<QAction*>("actArealtabelle")->trigger();
        auto* table = w.window()->findChild<QTableView*>("tblAreale");
        for (QWidget* top : QApplication::topLevelWidgets())
            table = table ? table : top->findChild<QTableView*>("tblAreale");
        texts << table->window()->windowTitle();
        for (int column = 0; column < table->model()->columnCount(); ++column)
            texts << table->model()->headerData(column, Qt::Horizontal).toString();
        texts << table->window()->findChild<QLineEdit*>("txtFilter")->toolTip();
    } else if (kind == "map check") {
        w.findChild<QAction*>("actMapPruefen")->trigger();
        QWidget* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            window = top->objectName() == "frmMapCheck" && top->isVisible() ? top : window;
        auto* list = window->findChild<QTreeWidget*>("lstBefunde");
        texts << window->windowTitle();
        for (int column = 0; column < list->columnCount(); ++column)
            texts << list->headerItem()->text(column);
        for (int column = 0; column < list->columnCount(); ++column)
            texts << list->topLevelItem(0)->text(column);
        texts << window->findChild<QLabel*>("lblBefunde")->text();
        texts << window->findChild<QSpinBox*>("spnAnzeigebreite")->specialValueText();
    } else if (kind == "export window") {
        const QString page = dir.filePath("seite.html");
        QFile file(page);
        file.open(QIODevice::WriteOnly);
        file.write("<html><body></body></html>");
        file.close();
        e.platform.fileAnswers.enqueue(page);
        w.ui.Command12->click();
        const FileDialogRequest& asked = e.platform.dialogs.last();
        texts << asked.title << asked.filter;
        auto* window = w.findChild<QMainWindow*>("frmExport");
        texts << window->windowTitle() << window->findChild<QPushButton*>("Command1")->text()
              << window->findChild<QMenu*>("mnuEditTop")->title();
    } else if (kind == "keys") {
        w.findChild<QAction*>("actTastenkuerzel")->trigger();
        auto* dialog = w.findChild<QDialog*>("frmTastenkuerzel");
        auto* table = dialog->findChild<QTableWidget*>("tblTasten");
        texts << dialog->windowTitle() << table->horizontalHeaderItem(0)->text()
              << table->horizontalHeaderItem(1)->text() << table->item(0, 0)->text() << table->item(0, 1)->text();
    } else if (kind == "attribute editor") {
        w.ui.Option1[3]->click();
        w.setSelectedIndex(0);
        test::whenModalOpens([&texts](QWidget* dialog) {
            texts << dialog->windowTitle() << dialog->findChild<QPushButton*>("Command2")->text()
                  << dialog->findChild<QPushButton*>("Command3")->text();
            dialog->findChild<QPushButton*>("Command3")->click();
        });
        w.ui.Command9->click();
    } else if (kind == "status line") {
        w.setSelectedIndex(0);
        for (QLabel* label : w.findChild<QStatusBar*>("statusLine")->findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                texts << label->text();
        }
    } else if (kind == "magnifier") {
        w.ui.Command4->click();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top != &w && top->windowTitle().startsWith("Magnifier"))
                texts << top->windowTitle();
        }
        w.ui.Command4->click();
    } else if (kind == "about") {
        w.findChild<QAction*>("actUeber")->trigger();
        texts << e.platform.boxes.last().title << e.platform.boxes.last().text.section('\n', 2, 2);
    } else if (kind == "accessible names") {
        for (const char* name : {"picContainer", "List1", "picColor", "txtMap"})
            texts << w.findChild<QWidget*>(name)->accessibleName();
    } else if (kind == "align menu") {
        for (QAction* action : w.findChild<QMenu*>("alignMenu")->actions())
            texts << action->text();
    } else if (kind == "recent files") {
        auto* recent = w.findChild<QMenu*>("mnuZuletzt");
        emit recent->aboutToShow();
        for (QAction* action : recent->actions()) {
            if (!action->isSeparator())
                texts << action->text();
        }
    }
    return texts;
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
    void englishWindows_data();
    void englishWindows();
    void germanStaysAsItWas();
    void englishForms();
    void helpInTheWindowsLanguage_data();
    void helpInTheWindowsLanguage();
    void helpNamesEveryEntryAndKey_data();
    void helpNamesEveryEntryAndKey();
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

void LanguageTest::englishWindows_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("texts");
    row("area table", QString("area table"),
        QStringList{"Area table", "Shape", "Coordinates", "Link target", "Alternative text", "Target",
                    "Shows only the areas that contain this text."});
    row("map check", QString("map check"),
        QStringList{"Check map", "Line", "Kind", "Rule", "Message", "1", "Error", "area-alt",
                    "The area has a link but no alternative text.", "1 error, 0 warnings", "Picture width"});
    row("export window with its file dialog", QString("export window"),
        QStringList{"Open HTML file", "HTML files (html, htm, php, asp) |*.html;*.htm;*.php;*.asp",
                    "Insert the map data into an existing HTML file", "Insert", "&Edit"});
    row("keys", QString("keys"),
        QStringList{"Keyboard shortcuts", "Keys", "Command", "Ctrl+O", "Open picture"});
    row("attribute editor", QString("attribute editor"),
        QStringList{"Korvane , edit attributes...", "Apply", "Cancel"});
    row("status line", QString("status line"),
        QStringList{"Rectangle: drag from corner to corner with the button held down.",
                    "Rectangle: x 10, y 20, 100 × 50", "1 area", "Zoom 100 %"});
    row("magnifier", QString("magnifier"), QStringList{"Magnifier"});
    row("about box", QString("about"),
        QStringList{"About Korvane", "An editor for HTML image maps: draw areas on a picture, give them links "
                                     "and take them along as map code."});
    row("recent files", QString("recent files"), QStringList{"No recently opened files", "Clear list"});
    row("names for screen readers", QString("accessible names"),
        QStringList{"Picture area", "Area list", "Colour palette", "HTML code of the image map"});
    row("align menu", QString("align menu"),
        QStringList{"Left", "Right", "Top", "Bottom", "Centred horizontally", "Centred vertically", "Same width",
                    "Same height", "Distribute horizontally", "Distribute vertically"});
}

// A sample of the windows, dialogs and messages the editor shows beside its
// main window, each in English.
void LanguageTest::englishWindows()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, texts);
    QVERIFY(installLanguage(Language::English));
    QTemporaryDir dir;
    test::SettingsFolder folder;
    test::BlankEditor e;
    // A rectangle drawn as a user draws it: a link, no alternative text.
    e.w.ui.Option1[1]->click();
    e.drag(e.canvas(), QPoint(10, 20), QPoint(110, 70));
    QCOMPARE(e.w.areas().count(), 1);
    QCOMPARE(openedWindowTexts(kind, e, dir), texts);
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

// The map's other forms, the highlight and the check's rules speak English too.
void LanguageTest::englishForms()
{
    QVERIFY(installLanguage(Language::English));
    test::SettingsFolder folder;
    test::BlankEditor e;
    MainWindow& w = e.w;
    w.areas().setLines({" rect                |10,20,110,70|ziel.html|Ziel|_blank|*|*|*",
                        " rect                |0,0,5,5||Leer|*|*|*|*|nohref=\"nohref\""});
    w.refresh();
    QCOMPARE(entryTexts(w, "mnuMap"),
             (QStringList{"Check map...", "&Copy code", "Copy responsive code", "Copy MediaWiki code", "Save JSON...",
                          "Picture path relative to the page", "Fit of the responsive picture",
                          "Highlight of the responsive areas"}));
    auto* highlight = w.findChild<QMenu*>("mnuHervorhebung");
    QVERIFY(highlight);
    QStringList choices;
    for (QAction* choice : highlight->actions())
        choices << choice->text();
    QCOMPARE(choices, (QStringList{"None", "Outline", "Outline and fill", "", "Colour..."}));

    w.findChild<QAction*>("mnuWikiKopieren")->trigger();
    QCOMPARE(e.platform.texts(),
             QStringList{"The MediaWiki code is on the clipboard.\r\n\r\nThe areas in line 2 of the area list have no "
                         "link MediaWiki knows, no shape, or are a second default area; they stand in the text as "
                         "comments only.\r\n\r\nMediaWiki knows no targets, JavaScript handlers or further "
                         "attributes of areas; they are left out of the text."});
    w.findChild<QAction*>("mnuHervorhebungFarbe")->trigger();
    QCOMPARE(e.platform.colourDialogs, QStringList{"Highlight colour|#005ac8"});

    QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    auto* findings = w.findChild<QTreeWidget*>("lstBefunde");
    QVERIFY(findings);
    QStringList hrefMissing;
    for (int i = 0; i < findings->topLevelItemCount(); ++i) {
        if (findings->topLevelItem(i)->text(2) == "area-href-missing")
            hrefMissing << findings->topLevelItem(i)->text(0) + "|" + findings->topLevelItem(i)->text(3);
    }
    QCOMPARE(hrefMissing,
             QStringList{"2|The area has no link (href), but the attribute alt; without a link it is not allowed."});
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

void LanguageTest::helpNamesEveryEntryAndKey_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("document");
    row("German", Language::German, QString("korvane-hilfe.html"));
    row("English", Language::English, QString("korvane-help.html"));
}

// The help document of a language describes every entry of the menu bar by
// the name the menu gives it, and names each entry's key as the desktop
// writes it ("Strg+Umschalt+P"), so a new entry or key is not done until the
// help tells of it. An entry whose English name is its German one (a word of
// both languages, or a text not translated yet) is left to the German row.
void LanguageTest::helpNamesEveryEntryAndKey()
{
    QFETCH(Language, language);
    QFETCH(QString, document);
    QStringList german;
    {
        QVERIFY(installLanguage(Language::German));
        test::BlankEditor e;
        german = menuEntries(e.w);
    }
    QVERIFY(installLanguage(language));
    QFile file(programFolder() + document);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // As a browser shows it: a line break is a blank.
    const QString help =
        QString::fromUtf8(file.readAll()).replace(QLatin1String("&amp;"), QLatin1String("&")).simplified();
    test::BlankEditor e;
    const QStringList entries = menuEntries(e.w);
    QCOMPARE(entries.size(), german.size());
    QStringList missing;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const bool leftToGerman = language == Language::English && entries[i] == german[i];
        if (!leftToGerman && !help.contains(entries[i]) && !missing.contains(entries[i]))
            missing << entries[i];
    }
    QVERIFY2(missing.isEmpty(), qPrintable("not in the help: " + missing.join(" | ")));
    QVERIFY(help.contains(language == Language::English ? "<html lang=\"en\">" : "<html lang=\"de\">"));
    // Section by section as the German document, which grows first.
    QFile germanHelp(programFolder() + "korvane-hilfe.html");
    QVERIFY(germanHelp.open(QIODevice::ReadOnly));
    QCOMPARE(sectionIds(help), sectionIds(QString::fromUtf8(germanHelp.readAll())));
}

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
