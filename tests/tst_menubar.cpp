// The menu bar and the keys: every entry does what its button, its context
// menu entry or its key does, on the same editor, and is enabled when that
// is; every key is bound once; a click on a line of the area list hands the
// keyboard to an open area table.
#include "app/MainWindow.h"
#include "app/ZoomControls.h"
#include "windows/AreaTableWindow.h"
#include "canvas/Canvas.h"
#include "support/BlankPicture.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

using namespace korvane;
using korvane::test::row;

namespace {

const QString kPad = QStringLiteral("                    |");

QString area(const QString& shape, const QString& coords)
{
    return " " + shape + kPad + coords + "|ziel.html|Ziel|*|*|*|*";
}

// How each row's editor is prepared before the entry or its key.
enum class Setup {
    Blank,       // the white picture, nothing drawn
    Drawn,       // a rectangle drawn with the mouse (one undo step)
    DrawnUndone, // ... and taken back
    Editing,     // two areas, edit mode, the first selected
    Copied,      // ... and the selection copied
    CodeChosen,  // ... and some of the code selected in the code box
    Zoomed,      // the blank picture at 200 %
};

} // namespace

Q_DECLARE_METATYPE(Setup)

namespace {

struct Editor : korvane::test::BlankEditor {
    explicit Editor(Setup setup)
    {
        QGuiApplication::clipboard()->clear();
        switch (setup) {
        case Setup::Blank:
            break;
        case Setup::Drawn:
        case Setup::DrawnUndone:
            w.ui.Option1[1]->click();
            drag(canvas(), QPoint(20, 30), QPoint(120, 90));
            if (setup == Setup::DrawnUndone)
                w.document().undo();
            break;
        case Setup::Editing:
        case Setup::Copied:
        case Setup::CodeChosen:
            // As an import leaves the editor.
            w.areas().setLines({area("rect", "10,20,110,70"), area("circle", "200,150,40")});
            w.refresh();
            w.enablePictureTools(EditorView::ToolsFor::Import);
            w.ui.Option1[3]->click();
            clickRow(0);
            if (setup == Setup::Copied) {
                canvas()->setFocus();
                QTest::keyClick(canvas(), Qt::Key_C, Qt::ControlModifier);
            }
            if (setup == Setup::CodeChosen) {
                QTextCursor chosen = w.ui.txtMap->textCursor();
                chosen.setPosition(5);
                chosen.setPosition(40, QTextCursor::KeepAnchor);
                w.ui.txtMap->setTextCursor(chosen);
            }
            break;
        case Setup::Zoomed:
            w.zoom().zoomTo(200, QPoint());
            break;
        }
    }

    QAction* entry(const QString& name)
    {
        QAction* found = w.menuBar()->findChild<QAction*>(name);
        return found ? found : w.findChild<QAction*>(name);
    }
    // As the user opens the menus that hold the entry: their states are brought up to date.
    void openMenusOf(QAction* action)
    {
        for (QObject* holder : action->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(holder))
                emit menu->aboutToShow();
        }
    }

    // Everything a command may change that a user can see.
    QStringList state()
    {
        QStringList dialogs, windows;
        for (const FileDialogRequest& dialog : platform.dialogs)
            dialogs << dialog.title;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top != &w && !qobject_cast<QMenu*>(top))
                windows << top->objectName();
        }
        windows.sort();
        const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
        QStringList selected;
        for (int row : w.document().selectedRows())
            selected << QString::number(row);
        return {"boxes: " + platform.texts().join(" / "),
                "dialogs: " + dialogs.join(" / "),
                "opened: " + platform.opened.join(" / "),
                "lines: " + w.areas().lines().toStringList().join(" / "),
                "selected: " + selected.join(","),
                "history: " + QString::number(w.document().history().index()),
                QStringLiteral("option %1, editing %2")
                    .arg(int(w.session().chosenOption()))
                    .arg(w.session().editor().editMode),
                "clipboard: " + (clip ? clip->text() + " " + clip->formats().join(",") : QString()),
                "windows: " + windows.join(","),
                QStringLiteral("zoom %1, snapping %2").arg(canvas()->zoomFactor()).arg(w.state().snapOn),
                "code: " + w.ui.txtMap->toPlainText(),
                "code chosen: " + w.ui.txtMap->textCursor().selectedText(),
                QStringLiteral("shown %1").arg(w.isVisible())};
    }
};

// The buttons' commands ask questions and open dialogs: these close them.
void answerModalsInTurn()
{
    korvane::test::whenModalOpens(
        [](QWidget* dialog) {
            if (auto* cancel = dialog->findChild<QAbstractButton*>("Command3"))
                cancel->click();
            else
                dialog->close();
        },
        2000);
}

} // namespace

class TestMenuBar : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void entriesPressTheirButtons_data();
    void entriesPressTheirButtons();
    void entriesDoWhatTheirKeysDo_data();
    void entriesDoWhatTheirKeysDo();
    void areaEntriesEnabledAsTheKeysAct_data();
    void areaEntriesEnabledAsTheKeysAct();
    void everyKeyBoundOnce();
    void toolTipsNameTheirKeys_data();
    void toolTipsNameTheirKeys();
    void menusInTheDesktopsOrder();
    void chosenWithTheMouse();
    void keysFollowAClickToTheTable_data();
    void keysFollowAClickToTheTable();

private:
    korvane::test::SettingsFolder m_settings; // nothing of these runs reaches the build's own file
};

void TestMenuBar::initTestCase()
{
    QVERIFY(m_settings.dir.isValid());
}

void TestMenuBar::entriesPressTheirButtons_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Setup>("setup");
    row("open", QString("actBildOeffnen"), QString("Command1"), Setup::Blank);
    row("map import", QString("actMapImportieren"), QString("Command8"), Setup::Editing);
    row("html import", QString("actHtmlImportieren"), QString("Command11"), Setup::Blank);
    row("save", QString("actSpeichern"), QString("Command7"), Setup::Editing);
    row("export", QString("actExportieren"), QString("Command12"), Setup::Editing);
    row("code to the clipboard", QString("actCodeKopieren"), QString("cmdClipboard"), Setup::Editing);
    row("refresh", QString("actNeuZeichnen"), QString("Command6"), Setup::Editing);
    row("help", QString("actHilfe"), QString("Command13"), Setup::Blank);
    row("duplicate", QString("actDuplizieren"), QString("Command10"), Setup::Editing);
    row("clear", QString("actAlleLoeschen"), QString("Command3"), Setup::Editing);
    row("attributes", QString("actEigenschaften"), QString("Command9"), Setup::Editing);
    row("magnifier", QString("actLupe"), QString("Command4"), Setup::Blank);
    row("rectangle tool", QString("actRechteck"), QString("Option1_1"), Setup::Blank);
    row("circle tool", QString("actKreis"), QString("Option1_2"), Setup::Editing);
    row("polygon tool", QString("actPolygon"), QString("Option1_0"), Setup::Editing);
    row("edit mode", QString("actEditMode"), QString("Option1_3"), Setup::Drawn);
}

// The entry on one editor, the button on another prepared alike: the same
// state afterwards; the entry is enabled exactly while its button is, and a
// disabled one presses nothing.
void TestMenuBar::entriesPressTheirButtons()
{
    QFETCH(QString, entry);
    QFETCH(QString, button);
    QFETCH(Setup, setup);
    QStringList byButton;
    {
        Editor e(setup);
        auto* pressed = e.w.findChild<QAbstractButton*>(button);
        QVERIFY(pressed);
        answerModalsInTurn();
        pressed->click();
        byButton = e.state();
    }
    Editor e(setup);
    auto* pressed = e.w.findChild<QAbstractButton*>(button);
    QAction* action = e.entry(entry);
    QVERIFY(action);
    QCOMPARE(action->statusTip(), pressed->toolTip());
    QSignalSpy clicks(pressed, &QAbstractButton::clicked);
    const bool enabled = pressed->isEnabled();
    QVERIFY(enabled);
    pressed->setEnabled(false);
    QVERIFY(!action->isEnabled());
    action->trigger();
    QCOMPARE(clicks.count(), 0);
    pressed->setEnabled(true);
    QVERIFY(action->isEnabled());
    answerModalsInTurn();
    action->trigger();
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(e.state(), byButton);
}

void TestMenuBar::entriesDoWhatTheirKeysDo_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Setup>("setup");
    const auto keys = [](QKeyCombination k) { return QKeySequence(k); };
    row("undo, canvas", QString("actRueckgaengig"), keys(Qt::CTRL | Qt::Key_Z), QString("Picture1"), Setup::Drawn);
    row("undo, list", QString("actRueckgaengig"), keys(Qt::CTRL | Qt::Key_Z), QString("List1"), Setup::Drawn);
    row("redo, canvas", QString("actWiederherstellen"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QString("Picture1"),
        Setup::DrawnUndone);
    row("redo by Ctrl+Y, list", QString("actWiederherstellen"), keys(Qt::CTRL | Qt::Key_Y), QString("List1"),
        Setup::DrawnUndone);
    row("copy, canvas", QString("actKopieren"), keys(Qt::CTRL | Qt::Key_C), QString("Picture1"), Setup::Editing);
    row("copy, list", QString("actKopieren"), keys(Qt::CTRL | Qt::Key_C), QString("List1"), Setup::Editing);
    row("cut, canvas", QString("actAusschneiden"), keys(Qt::CTRL | Qt::Key_X), QString("Picture1"), Setup::Editing);
    row("paste, list", QString("actEinfuegen"), keys(Qt::CTRL | Qt::Key_V), QString("List1"), Setup::Copied);
    row("paste, canvas", QString("actEinfuegen"), keys(Qt::CTRL | Qt::Key_V), QString("Picture1"), Setup::Copied);
    row("delete, list", QString("actLoeschen"), keys(Qt::Key_Delete), QString("List1"), Setup::Editing);
    row("delete, canvas", QString("actLoeschen"), keys(Qt::Key_Delete), QString("Picture1"), Setup::Editing);
    row("select all, canvas", QString("actAllesAuswaehlen"), keys(Qt::CTRL | Qt::Key_A), QString("Picture1"),
        Setup::Editing);
    row("copy, code box", QString("actKopieren"), keys(Qt::CTRL | Qt::Key_C), QString("txtMap"), Setup::CodeChosen);
    row("cut, code box", QString("actAusschneiden"), keys(Qt::CTRL | Qt::Key_X), QString("txtMap"), Setup::CodeChosen);
    row("paste, code box", QString("actEinfuegen"), keys(Qt::CTRL | Qt::Key_V), QString("txtMap"), Setup::Copied);
    row("delete, code box", QString("actLoeschen"), keys(Qt::Key_Delete), QString("txtMap"), Setup::CodeChosen);
    row("select all, code box", QString("actAllesAuswaehlen"), keys(Qt::CTRL | Qt::Key_A), QString("txtMap"),
        Setup::Editing);
    row("zoom in", QString("actVergroessern"), keys(Qt::CTRL | Qt::Key_Plus), QString("Picture1"), Setup::Blank);
    row("zoom out, list", QString("actVerkleinern"), keys(Qt::CTRL | Qt::Key_Minus), QString("List1"), Setup::Zoomed);
    row("100 %, code box", QString("actOriginalgroesse"), keys(Qt::CTRL | Qt::Key_0), QString("txtMap"), Setup::Zoomed);
    row("fit", QString("actEinpassen"), keys(Qt::CTRL | Qt::Key_9), QString("Picture1"), Setup::Zoomed);
    row("area table", QString("actArealtabelle"), keys(Qt::CTRL | Qt::Key_T), QString("List1"), Setup::Editing);
    row("snapping", QString("snapToggle"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_E), QString("Picture1"), Setup::Blank);
    row("map check", QString("actMapPruefen"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_P), QString("txtMap"),
        Setup::Editing);
    row("responsive code", QString("mnuResponsivKopieren"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_C), QString("Picture1"),
        Setup::Editing);
    row("responsive page", QString("mnuResponsivSpeichern"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QString("List1"),
        Setup::Editing);
    row("open, code box", QString("actBildOeffnen"), keys(Qt::CTRL | Qt::Key_O), QString("txtMap"), Setup::Blank);
    row("save, canvas", QString("actSpeichern"), keys(Qt::CTRL | Qt::Key_S), QString("Picture1"), Setup::Editing);
    row("help, list", QString("actHilfe"), keys(Qt::Key_F1), QString("List1"), Setup::Blank);
    row("quit", QString("actBeenden"), keys(Qt::CTRL | Qt::Key_Q), QString("Picture1"), Setup::Blank);
}

// The key with the focus in the canvas, the list or the code box, and the
// entry on another editor with the same focus: the same state afterwards
// (in the code box the keys and entries act on its text).
void TestMenuBar::entriesDoWhatTheirKeysDo()
{
    QFETCH(QString, entry);
    QFETCH(QKeySequence, key);
    QFETCH(QString, focus);
    QFETCH(Setup, setup);
    QStringList byKey, unchanged;
    {
        Editor e(setup);
        auto* target = e.w.findChild<QWidget*>(focus);
        target->setFocus();
        unchanged = e.state();
        answerModalsInTurn();
        QTest::keySequence(target, key);
        byKey = e.state();
    }
    QVERIFY2(byKey != unchanged, "the key did something");
    Editor e(setup);
    e.w.findChild<QWidget*>(focus)->setFocus();
    QAction* action = e.entry(entry);
    QVERIFY(action);
    QVERIFY(action->shortcuts().contains(key));
    e.openMenusOf(action);
    QVERIFY(action->isEnabled());
    answerModalsInTurn();
    action->trigger();
    QCOMPARE(e.state(), byKey);
}

void TestMenuBar::areaEntriesEnabledAsTheKeysAct_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QStringList>("enabled"); // of cut, copy, paste, delete, select all, order, align
    row("drawing, nothing selected", Setup::Drawn, QString("Picture1"), QStringList{});
    row("edit mode, one selected", Setup::Editing, QString("Picture1"),
        QStringList{"actAusschneiden", "actKopieren", "actLoeschen", "actAllesAuswaehlen", "mnuReihenfolge"});
    row("areas on the clipboard", Setup::Copied, QString("List1"),
        QStringList{"actAusschneiden", "actKopieren", "actEinfuegen", "actLoeschen", "actAllesAuswaehlen",
                    "mnuReihenfolge"});
    row("code box, nothing chosen", Setup::Editing, QString("txtMap"),
        QStringList{"actAllesAuswaehlen", "mnuReihenfolge"});
    row("code box, text chosen", Setup::CodeChosen, QString("txtMap"),
        QStringList{"actAusschneiden", "actKopieren", "actLoeschen", "actAllesAuswaehlen", "mnuReihenfolge"});
}

// The Bearbeiten menu as it opens: what is enabled.
void TestMenuBar::areaEntriesEnabledAsTheKeysAct()
{
    QFETCH(Setup, setup);
    QFETCH(QString, focus);
    QFETCH(QStringList, enabled);
    Editor e(setup);
    e.w.findChild<QWidget*>(focus)->setFocus();
    auto* edit = e.w.menuBar()->findChild<QMenu*>("mnuBearbeiten");
    QVERIFY(edit);
    emit edit->aboutToShow();
    QStringList found;
    for (const char* name : {"actAusschneiden", "actKopieren", "actEinfuegen", "actLoeschen", "actAllesAuswaehlen"})
        if (e.entry(name)->isEnabled())
            found << name;
    auto* order = e.w.menuBar()->findChild<QMenu*>("mnuReihenfolge");
    if (order->menuAction()->isEnabled())
        found << "mnuReihenfolge";
    QCOMPARE(found, enabled);
}

// A key bound twice does nothing at all: each works once, from one place.
void TestMenuBar::everyKeyBoundOnce()
{
    korvane::test::BlankEditor e;
    QMap<QString, QStringList> bound;
    for (const QAction* action : e.w.findChildren<QAction*>()) {
        if (action->shortcutContext() == Qt::WidgetShortcut)
            continue;
        for (const QKeySequence& key : action->shortcuts())
            bound[key.toString()] << action->objectName();
    }
    for (const QShortcut* shortcut : e.w.findChildren<QShortcut*>()) {
        for (const QKeySequence& key : shortcut->keys())
            bound[key.toString()] << QStringLiteral("shortcut");
    }
    QStringList twice;
    for (auto it = bound.cbegin(); it != bound.cend(); ++it)
        if (it->size() > 1)
            twice << it.key() + ": " + it->join(",");
    QVERIFY2(twice.isEmpty(), qPrintable(twice.join("; ")));
    for (const char* key :
         {"Ctrl+O", "Ctrl+S", "Ctrl+Q", "F1", "Ctrl+Z", "Ctrl+Shift+Z", "Ctrl+Y", "Ctrl++", "Ctrl+=", "Ctrl+-",
          "Ctrl+0", "Ctrl+9", "Ctrl+T", "Ctrl+Shift+E", "Ctrl+Shift+P", "Ctrl+Shift+C", "Ctrl+Shift+S"})
        QVERIFY2(bound.contains(key), key);
}

// The menus and their entries in order, each entry named for the icon
// theme (its place there) and for tests.
void TestMenuBar::menusInTheDesktopsOrder()
{
    korvane::test::BlankEditor e;
    QStringList titles;
    for (QAction* menu : e.w.menuBar()->actions())
        titles << menu->text();
    QCOMPARE(titles, QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&Werkzeuge", "&Map", "&Hilfe"}));
    const auto entries = [&e](const char* menu) {
        QStringList texts;
        for (QAction* a : e.w.menuBar()->findChild<QMenu*>(menu)->actions()) {
            if (a->isSeparator())
                continue;
            texts << a->text();
            if (a->objectName().isEmpty() && !a->menu())
                texts << "(no name)";
            if (!a->property("korvaneIconName").isValid())
                texts << "(no icon place)";
        }
        return texts;
    };
    QCOMPARE(
        entries("mnuDatei"),
        QStringList({"Bild &öffnen...", "&MAP-Datei importieren...", "&HTML-Seite importieren...", "&Zuletzt geöffnet",
                     "&Speichern...", "In HTML-Seite &exportieren...", "Responsive Seite speichern...", "&Beenden"}));
    QCOMPARE(entries("mnuBearbeiten"),
             QStringList({"Rückgängig", "Wiederherstellen", "&Ausschneiden", "&Kopieren", "&Einfügen", "&Löschen",
                          "Alles aus&wählen", "E&igenschaften...", "Areal &duplizieren", "Alle Areale lö&schen",
                          "Ausrichten", "&Reihenfolge", "Einrasten", "Rastergröße..."}));
    QCOMPARE(entries("mnuAnsicht"),
             QStringList({"Ver&größern", "Ver&kleinern", "&Originalgröße (100 %)", "In Fenster &einpassen",
                          "Arealtabelle...", "&Lupe", "&Neu zeichnen"}));
    QCOMPARE(entries("mnuWerkzeuge"),
             QStringList({"&Polygon", "&Rechteck", "&Kreis", "&Umriss", "Areale &bearbeiten (EditMode)"}));
    QCOMPARE(entries("mnuMap"), QStringList({"Map prüfen...", "&Code kopieren", "Responsiven Code kopieren",
                                             "MediaWiki-Code kopieren", "JSON speichern...",
                                             "Bildpfad relativ zur Seite", "Einpassung der responsiven Grafik",
                                             "Hervorhebung der responsiven Flächen"}));
    QCOMPARE(entries("mnuHilfe"), QStringList({"&Hilfe", "&Tastenkürzel", "Ü&ber Korvane"}));
}

// Through the menu bar as a user goes: the Hilfe menu opened with the mouse,
// "Über Korvane" chosen with the keys.
void TestMenuBar::chosenWithTheMouse()
{
    korvane::test::BlankEditor e;
    QMenuBar* bar = e.w.menuBar();
    QAction* help = bar->actions().last();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(help).center());
    QMenu* shown = nullptr;
    QTRY_VERIFY((shown = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
    QCOMPARE(shown->objectName(), QStringLiteral("mnuHilfe"));
    QTest::keyClick(shown, Qt::Key_Down);
    QTest::keyClick(shown, Qt::Key_Down);
    QTest::keyClick(shown, Qt::Key_Down);
    QCOMPARE(shown->activeAction()->objectName(), QStringLiteral("actUeber"));
    QTest::keyClick(shown, Qt::Key_Return);
    QTRY_COMPARE(e.platform.boxes.size(), 1);
    // Alt and the underlined letter open a menu too.
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QTest::keyClick(&e.w, Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("mnuBearbeiten"));
    QApplication::activePopupWidget()->close();
    QCOMPARE(e.platform.boxes[0].title, QStringLiteral("Über Korvane"));
    QVERIFY(e.platform.boxes[0].text.startsWith(QStringLiteral("Korvane 1.0\n\nEin Editor für HTML-Imagemaps")));
    // The key overview lists the keys of the entries.
    e.w.menuBar()->findChild<QAction*>("actTastenkuerzel")->trigger();
    auto* keys = e.w.findChild<QWidget*>("frmTastenkuerzel");
    QVERIFY(keys && keys->isVisible());
    const auto* table = keys->findChild<QTableWidget*>("tblTasten");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 0)->text() + " = " + table->item(r, 1)->text();
    for (const char* expected :
         {"Ctrl+O = Bild öffnen", "Ctrl+Q = Beenden", "Ctrl+9 = In Fenster einpassen", "Ctrl+T = Arealtabelle",
          "Tab, Umschalt+Tab = Bild, Edit-Modus: nächstes und "
          "voriges Areal wählen"})
        QVERIFY2(rows.contains(expected), expected);
}

void TestMenuBar::keysFollowAClickToTheTable_data()
{
    QTest::addColumn<bool>("tableOpen");
    QTest::addColumn<bool>("onLine"); // the click on a line of the list, else on the canvas
    row("table open, click on a line", true, true);
    row("table open, click on the picture", true, false);
    row("no table, click on a line", false, true);
}

// With the table open, a click on a line of the list makes the table
// active: Down moves its row (and so the selection), Delete and Ctrl+Z do
// nothing there. A click elsewhere keeps the keyboard in the main window.
void TestMenuBar::keysFollowAClickToTheTable()
{
    QFETCH(bool, tableOpen);
    QFETCH(bool, onLine);
    Editor e(Setup::Editing);
    if (tableOpen) {
        e.w.findChild<QAction*>("actArealtabelle")->trigger();
        QTRY_VERIFY(e.w.findChild<AreaTableWindow*>()->isActiveWindow());
        e.w.activateWindow();
        QTRY_VERIFY(e.w.isActiveWindow());
    }
    if (onLine) {
        e.w.ui.List1->setFocus(); // as the click gives it
        e.clickRow(0);
    } else
        QTest::mouseClick(e.canvas(), Qt::LeftButton, {}, QPoint(300, 250));
    const int steps = e.w.document().history().index();
    if (tableOpen && onLine) {
        auto* table = e.w.findChild<AreaTableWindow*>();
        QTRY_VERIFY(table->isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(table->view()));
        QTest::keyClick(table->view(), Qt::Key_Down);
        QCOMPARE(e.w.selectedIndex(), 1);
        QTest::keyClick(table->view(), Qt::Key_Delete);
        QTest::keyClick(table->view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.w.areas().count(), 2);
        QCOMPARE(e.w.document().history().index(), steps);
        QVERIFY(e.platform.boxes.isEmpty());
        return;
    }
    QTest::qWait(50); // a table that would take the keyboard does so at once
    QVERIFY(e.w.isActiveWindow());
    // The key stays in the main window: Delete there asks for the area.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(e.platform.boxes.size(), 1);
}

void TestMenuBar::toolTipsNameTheirKeys_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("toolTip"); // %1: the key as the desktop writes it
    QTest::addColumn<QKeySequence>("key"); // empty: the button has no key of its own
    // A tool tip the window always had stays exactly as it was.
    row("Open", QString("Command1"), QString("Grafikdatei auswählen."), QKeySequence(Qt::CTRL | Qt::Key_O));
    row("Save", QString("Command7"),
        QString("Speichert die MAP-Daten in einer Textdatei und erzeugt zusätzlich eine HTML-Testseite."),
        QKeySequence(Qt::CTRL | Qt::Key_S));
    row("Help", QString("Command13"), QString("Öffnet eine Hilfe Datei"), QKeySequence(Qt::Key_F1));
    row("magnifier", QString("Command4"), QString("Öffnet eine \"Lupe\" :-)"), QKeySequence());
    // The tools had none: theirs names the tool and its key.
    row("polygon", QString("Option1_0"), QString("Polygon (%1)"), QKeySequence(Qt::CTRL | Qt::Key_1));
    row("rectangle", QString("Option1_1"), QString("Rechteck (%1)"), QKeySequence(Qt::CTRL | Qt::Key_2));
    row("circle", QString("Option1_2"), QString("Kreis (%1)"), QKeySequence(Qt::CTRL | Qt::Key_3));
    row("edit mode", QString("Option1_3"), QString("Areale bearbeiten (EditMode) (%1)"),
        QKeySequence(Qt::CTRL | Qt::Key_4));
}

// The key pressed in the window chooses as a click on the button does.
void TestMenuBar::toolTipsNameTheirKeys()
{
    QFETCH(QString, button);
    QFETCH(QString, toolTip);
    QFETCH(QKeySequence, key);
    korvane::test::BlankEditor e;
    e.w.areas().setLines({area("rect", "10,20,110,70")});
    e.w.refresh();
    e.w.enablePictureTools(EditorView::ToolsFor::Import);
    auto* pressed = e.w.findChild<QAbstractButton*>(button);
    QVERIFY(pressed);
    QCOMPARE(pressed->toolTip(), toolTip.contains("%1") ? toolTip.arg(key.toString(QKeySequence::NativeText)) : toolTip);
    auto* option = qobject_cast<QRadioButton*>(pressed);
    if (!option)
        return;
    QVERIFY(!option->isChecked() || button == "Option1_0");
    QTest::keySequence(&e.w, key);
    QVERIFY(option->isChecked());
    QCOMPARE(e.w.editorState().shapeKind,
             button == "Option1_1" ? QString("rect") : button == "Option1_2" ? QString("circle") : QString("poly"));
    // A disabled tool is not chosen by its key either.
    e.w.ui.Option1[0]->click();
    option->setEnabled(false);
    QTest::keySequence(&e.w, key);
    QCOMPARE(option->isChecked(), button == "Option1_0");
}

QTEST_MAIN(TestMenuBar)
#include "tst_menubar.moc"
