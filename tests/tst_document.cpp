// The open map as a document: every edit one step, undone and redone through
// the main window's keys and context menus.
#include "support/Menus.h"
#include "support/Modal.h"
#include "support/BlankPicture.h"
#include "support/Drops.h"
#include "support/Files.h"
#include "support/ScriptedPlatform.h"

#include "app/CodeBoxText.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "document/AreaCommands.h"
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/MapCode.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace korvane;
using korvane::test::menuShownBy;

namespace {

const QString kPad = QStringLiteral("                    |");
const QString kRect = " rect" + kPad + "10,20,110,70|a.html|A|*|*|*|*";
const QString kPoly = " poly" + kPad + "300,20,380,40,340,90|c.html|C|*|*|*|*";

struct Editor : test::BlankEditor {
    void drawRect() { w.ui.Option1[1]->click(), drag(canvas(), {10, 20}, {110, 70}); }
    void keys(QWidget* on, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        // A closed dialog gives the activation back through the window system.
        if (!w.isActiveWindow()) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
        }
        on->setFocus();
        QTest::keyClick(on, key, modifiers);
    }
    QStringList state() { return w.areas().lines().toStringList() << w.mapCode(); }
};

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void runsOfMovesMerge();
    void keepsManySteps();
    void undoAndRedoEveryUserStep();
    void keysFollowTheFocus();
    void contextMenus_data();
    void contextMenus();
    void unsavedQuestionFollowsHistory();
    void savedStateFollowsTheCode();
    void savedStateOfCodeFromLines();
    void newMapEmptiesHistory_data();
    void newMapEmptiesHistory();
    void codeBoxRewritesOnlyChanges();
};

// Moves by the keys come one by one: a run of them on one area is one step,
// and a run that ends where it began is none.
void TestDocument::runsOfMovesMerge()
{
    using Merge = ChangeAreaCommand::Merge;
    MapDocument document;
    document.areas().setLines({kRect});
    const QString moved = " rect" + kPad + "11,20,111,70|a.html|A|*|*|*|*";
    QUndoStack stack;
    const auto move = [&](const QString& from, const QString& to, Merge merge = Merge::WithSameKind) {
        stack.push(new ChangeAreaCommand(document, 0, from, to, QStringLiteral("Areal verschieben"), merge));
    };
    move(kRect, moved);
    move(moved, kRect + "x");
    move(kRect + "x", moved, Merge::Never); // a drag stays a step of its own
    QCOMPARE(stack.count(), 2);
    stack.undo();
    stack.undo();
    QCOMPARE(document.areas().lines(), QStringList{kRect});
    stack.clear();
    move(kRect, moved);
    move(moved, kRect);
    QCOMPARE(stack.count(), 0);
}

// A long session keeps its steps: 600 drawn areas are all taken back.
void TestDocument::keepsManySteps()
{
    MapDocument document;
    for (int i = 0; i < 600; ++i)
        document.drawArea(kRect);
    for (int i = 0; i < 600; ++i)
        document.undo();
    QVERIFY(document.areas().isEmpty());
}

// Every kind of step done with the real controls, then Ctrl+Z back to the
// start and Ctrl+Y forward to the end, each time with the same lines and code
// and the touched area selected.
void TestDocument::undoAndRedoEveryUserStep()
{
    Editor e;
    QList<QStringList> states{e.state()};
    QList<int> undoneRows, redoneRows;
    const auto stepDone = [&](const QString& text, int undoneRow, int redoneRow) {
        QCOMPARE(e.w.document().history().undoText(), text);
        QCOMPARE(e.w.document().history().count(), states.size());
        states << e.state();
        undoneRows << undoneRow;
        redoneRows << redoneRow;
    };
    const auto handle = [&](int i) { return e.w.handles().handle(i); };
    e.drawRect();
    stepDone("Rechteck zeichnen", -1, 0);
    e.w.ui.Option1[2]->click();
    e.drag(e.canvas(), {200, 100}, {230, 100});
    stepDone("Kreis zeichnen", -1, 1);
    e.w.ui.Option1[0]->click();
    for (QPoint p : {QPoint(300, 20), QPoint(380, 40), QPoint(340, 90)})
        QTest::mouseClick(e.canvas(), Qt::LeftButton, {}, p);
    QTest::mouseClick(e.canvas(), Qt::RightButton, {}, QPoint(200, 200));
    stepDone("Polygon zeichnen", -1, 2);
    e.w.ui.Option1[3]->click();                   // selects the rectangle
    QTest::mouseClick(handle(0), Qt::LeftButton); // a drag that ends where it began
    QCOMPARE(e.w.document().history().count(), 3);
    e.drag(handle(0), {0, 0}, handle(0)->pos() + QPoint(5, 5));
    stepDone("Areal verschieben", 0, 0);
    e.clickRow(2);
    e.drag(handle(1), {0, 0}, handle(1)->pos() + QPoint(4, 3));
    stepDone("Form ändern", 2, 2);
    QTest::mouseClick(e.canvas(), Qt::RightButton, {}, QPoint(320, 80));
    stepDone("Punkt hinzufügen", 2, 2);
    e.w.ui.Command10->click();
    stepDone("Areal kopieren", 2, 3);
    korvane::test::whenModalOpens([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("text2"))->setText(QStringLiteral("Kopie"));
        dialog->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    e.w.ui.Command9->click();
    QCOMPARE(entry::attributesOf(e.w.areas().line(3)).alt, QStringLiteral("Kopie"));
    stepDone("Attribute ändern", 3, 3);
    e.platform.answers << MessageButton::Yes << MessageButton::Yes << MessageButton::Yes;
    e.clickRow(3);
    QTest::mouseDClick(e.w.ui.List1->viewport(), Qt::LeftButton, {}, e.rowCentre(3));
    QTest::mouseRelease(e.w.ui.List1->viewport(), Qt::LeftButton, {}, e.rowCentre(3));
    stepDone("Areal löschen", 3, -1);
    e.clickRow(0);
    QMimeData anything;
    test::dropOn(e.w.ui.Picture2, &anything, Qt::CopyAction);
    stepDone("Areal löschen", 0, -1);
    e.clickRow(0);
    e.keys(e.canvas(), Qt::Key_Delete, Qt::NoModifier);
    stepDone("Areal löschen", 0, -1);
    e.w.ui.Command3->click();
    stepDone("Alle Areale löschen", -1, -1);
    QCOMPARE(e.platform.boxes.size(), 3); // each deletion asked, the drop aside
    QCOMPARE(e.platform.boxes[1].text, QStringLiteral("Soll dieser Eintag wirklich gelöscht werden?"));

    for (int i = states.size() - 1; i > 0; --i) {
        e.keys(e.w.ui.List1, Qt::Key_Z);
        QCOMPARE(e.state(), states[i - 1]);
        QCOMPARE(e.w.selectedIndex(), undoneRows[i - 1]);
    }
    QVERIFY(!e.w.ui.Option1[3]->isEnabled());
    QVERIFY(!e.w.ui.Command10->isEnabled());
    for (int i = 1; i < states.size(); ++i) {
        e.keys(e.w.ui.List1, Qt::Key_Y);
        QCOMPARE(e.state(), states[i]);
        QCOMPARE(e.w.selectedIndex(), redoneRows[i - 1]);
        QCOMPARE(e.w.ui.Option1[3]->isEnabled(), !e.w.areas().isEmpty());
    }
    QCOMPARE(e.platform.boxes.size(), 3);
}

void TestDocument::keysFollowTheFocus()
{
    Editor e;
    e.drawRect();
    const QString code = e.w.mapCode();
    QPlainTextEdit* box = e.w.ui.txtMap;
    box->moveCursor(QTextCursor::End);
    e.keys(box, Qt::Key_X, Qt::NoModifier);
    e.keys(box, Qt::Key_Z);
    QCOMPARE(e.w.mapCode(), code); // the box's own undo
    // Where the box's keys leave Ctrl+Y to the window, the window hands it on.
    for (QShortcut* key : e.w.findChildren<QShortcut*>()) {
        if (key->key() == QKeySequence(Qt::CTRL | Qt::Key_Y))
            emit key->activated();
    }
    QCOMPARE(e.w.mapCode(), code + "x");
    QCOMPARE(e.w.areas().count(), 1);
    e.keys(e.w.ui.List1, Qt::Key_Z);
    QVERIFY(e.w.areas().isEmpty());
    e.keys(e.w.ui.List1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.w.areas().count(), 1);
    QCOMPARE(e.w.mapCode(), code); // the typed letter went with the rewrite
    // Delete in the list asks first; No keeps the area.
    e.clickRow(0);
    e.platform.answers << MessageButton::No;
    e.keys(e.w.ui.List1, Qt::Key_Delete, Qt::NoModifier);
    QCOMPARE(e.platform.boxes.size(), 1);
    QCOMPARE(e.w.areas().count(), 1);
    // While a polygon is being clicked the history waits.
    e.w.ui.Option1[0]->click();
    QTest::mouseClick(e.canvas(), Qt::LeftButton, {}, QPoint(300, 20));
    e.keys(e.w.ui.List1, Qt::Key_Z);
    QCOMPARE(e.w.areas().count(), 1);
    QVERIFY(e.w.editorState().polygonOpen);
}

void TestDocument::contextMenus_data()
{
    QTest::addColumn<bool>("onCanvas");
    QTest::addColumn<QString>("line");        // there before the rectangle is drawn
    QTest::addColumn<int>("undos");           // chosen in the list's menu
    QTest::addColumn<int>("tool");            // option chosen before the right click
    QTest::addColumn<QStringList>("entries"); // none: the click does something else
    const QStringList done{"Rückgängig: Rechteck zeichnen", "Wiederherstellen (aus)"};
    const QStringList undone{"Rückgängig (aus)", "Wiederherstellen: Rechteck zeichnen"};
    // The list's menu also opens the table of areas, after a separator.
    const QStringList table{"", "Arealtabelle..."};
    QTest::newRow("list") << false << kPoly << 0 << 1 << done + table;
    QTest::newRow("list, undone") << false << kPoly << 1 << 1 << undone + table;
    // The canvas's menu ends with snapping, after a separator.
    const QStringList snapping{"", "Einrasten", "Rastergröße..."};
    QTest::newRow("canvas, polygon tool") << true << kPoly << 0 << 0 << done + snapping;
    // Edit mode adds the order of the areas and the alignment, here with nothing to move.
    const QStringList editing = QStringList(undone)
                                << "" << "Nach vorne (aus)" << "Nach hinten (aus)" << "Ganz nach vorne (aus)"
                                << "Ganz nach hinten (aus)" << "Ausrichten (aus)" << snapping;
    QTest::newRow("canvas, edit mode on a rectangle") << true << kRect << 1 << 3 << editing;
    QTest::newRow("canvas, edit mode on a polygon adds a point") << true << kPoly << 1 << 3 << QStringList();
    QTest::newRow("canvas, rectangle tool starts a drag") << true << kPoly << 0 << 1 << QStringList();
}

void TestDocument::contextMenus()
{
    QFETCH(bool, onCanvas);
    QFETCH(QString, line);
    QFETCH(int, undos);
    QFETCH(int, tool);
    QFETCH(QStringList, entries);
    Editor e;
    e.w.areas().setLines({line}); // not a step
    e.drawRect();
    QWidget* target = onCanvas ? static_cast<QWidget*>(e.canvas()) : e.w.ui.List1->viewport();
    const QPoint at(50, 45);
    const auto rightClick = [&](QWidget* on) {
        QTest::mousePress(on, Qt::RightButton, {}, at);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, on->mapToGlobal(at));
        QApplication::sendEvent(on, &click);
        QTest::mouseRelease(on, Qt::RightButton, {}, at);
    };
    for (int i = 0; i < undos; ++i)
        menuShownBy([&] { rightClick(e.w.ui.List1->viewport()); }, 0);
    QCOMPARE(e.w.areas().count(), 2 - undos);
    e.w.ui.Option1[tool]->click();
    QCOMPARE(menuShownBy([&] { rightClick(target); }), entries);
    // The menu key opens it whatever a click would do.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, at, target->mapToGlobal(at));
    QCOMPARE(menuShownBy([&] { QApplication::sendEvent(target, &key); }).size(), (onCanvas ? 5 : 4) + (tool == 3 ? 6 : 0));
}

void TestDocument::unsavedQuestionFollowsHistory()
{
    Editor e;
    QTemporaryDir folder;
    e.drawRect();
    e.platform.fileAnswers << folder.filePath("plan.html");
    e.platform.answers << MessageButton::No; // no need to view the files
    e.w.ui.Command7->click();
    QVERIFY(e.w.document().mapSaved());
    e.w.ui.Option1[2]->click();
    e.drag(e.canvas(), {200, 100}, {230, 100});
    QList<bool> saved;
    for (Qt::Key key : {Qt::Key_Z, Qt::Key_Z, Qt::Key_Y, Qt::Key_Y, Qt::Key_Z}) {
        e.keys(e.w.ui.List1, key);
        saved << e.w.document().mapSaved();
    }
    // Back at the saved lines, and with nothing left (nothing to lose), saved.
    QCOMPARE(saved, (QList<bool>{true, true, true, false, true}));
    const int boxes = e.platform.boxes.size();
    QVERIFY(e.w.close()); // back at the saved code: nothing to ask
    QCOMPARE(e.platform.boxes.size(), boxes);
}

// Saved is the code and the areas last written, or nothing at all: text of
// the same length is not mistaken for it.
void TestDocument::savedStateFollowsTheCode()
{
    MapDocument document;
    QString code;
    document.setCodeSource([&code] { return codeFingerprint(code); });
    QVERIFY(document.mapSaved()); // nothing drawn yet
    code = QStringLiteral("<map>a</map>");
    QVERIFY(!document.mapSaved());
    document.markSaved();
    QVERIFY(document.mapSaved());
    code = QStringLiteral("<map>b</map>");
    QVERIFY(!document.mapSaved());
    code = QStringLiteral("<map>a</map>");
    QVERIFY(document.mapSaved());
    code.clear(); // nothing left to lose
    QVERIFY(document.mapSaved());
    // Areas never written are work to lose, whatever the code shows.
    document.areas().setLines({kRect});
    QVERIFY(!document.mapSaved());
    code = QStringLiteral("<map>a</map>");
    QVERIFY(!document.mapSaved());
    document.markSaved();
    QVERIFY(document.mapSaved());
    document.areas().setLines({kPoly}); // the code as written, the areas not
    QVERIFY(!document.mapSaved());
    document.areas().setLines({kRect});
    code.clear(); // the box no longer shows what was written
    QVERIFY(!document.mapSaved());
}

// The code of a big map stands as its lines: lines that come back to the
// saved ones count as saved however the store holds them; any other line,
// picture or name does not.
void TestDocument::savedStateOfCodeFromLines()
{
    const auto area = [](const char* shape, const char* coords) {
        return " " + QString::fromLatin1(shape) + kPad + QString::fromLatin1(coords) + "|a.html|A|*|*|*|*";
    };
    AreaLines lines{area("rect", "1,1,9,9"), area("circle", "5,5,3")};
    const QSize size(100, 80);
    const QByteArray saved = MapCodeSource(lines, QStringLiteral("/b/plan.png"), QStringLiteral("plan"), size).fingerprint();
    lines.replace(0, area("rect", "2,2,9,9"));
    QVERIFY(MapCodeSource(lines, QStringLiteral("/b/plan.png"), QStringLiteral("plan"), size).fingerprint() != saved);
    lines.replace(0, area("rect", "1,1,9,9")); // back, the store holding the old bytes unused
    QCOMPARE(MapCodeSource(lines, QStringLiteral("/b/plan.png"), QStringLiteral("plan"), size).fingerprint(), saved);
    QCOMPARE(MapCodeSource(AreaLines(lines.toStringList()), QStringLiteral("/b/plan.png"), QStringLiteral("plan"), size).fingerprint(), saved);
    QVERIFY(MapCodeSource(lines, QStringLiteral("/b/plan2.png"), QStringLiteral("plan"), size).fingerprint() != saved);
    QVERIFY(MapCodeSource(lines, QStringLiteral("/b/plan.png"), QStringLiteral("plan2"), size).fingerprint() != saved);
    QVERIFY(MapCodeSource(lines, QStringLiteral("/b/plan.png"), QStringLiteral("plan"), QSize(100, 81)).fingerprint() != saved);
    QVERIFY(MapCodeSource(AreaLines(), QStringLiteral("/b/plan.png"), QStringLiteral("plan"), size).fingerprint().isEmpty());
}

void TestDocument::newMapEmptiesHistory_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("imported"); // none: a picture, which starts an empty map
    const QString area = "rect" + kPad + "1,1,9,9|n.html|N|*|*|*|*";
    QTest::newRow("picture") << "neu.png" << QString();
    QTest::newRow("map file") << "neu.map"
                              << "  " + area; // two blanks in front, as the MAP import reads
    QTest::newRow("page") << "neu.html"
                          << " " + area;
}

// A new picture starts an empty map; an import keeps the areas drawn before
// and adds its own. Either way the map starts anew on the file's picture: nothing to undo.
void TestDocument::newMapEmptiesHistory()
{
    QFETCH(QString, file);
    QFETCH(QString, imported);
    Editor e;
    QTemporaryDir folder;
    QVERIFY(QImage(40, 30, QImage::Format_RGB32).save(folder.filePath("neu.png")));
    if (!imported.isEmpty())
        QVERIFY(test::writeFile(folder.filePath(file), "<!-- -->\r\n<img src=\"neu.png\" usemap=\"#neu\">\r\n"
                                                       "<map name=\"neu\"><area shape=\"rect\" coords=\"1,1,9,9\" "
                                                       "href=\"n.html\" alt=\"N\" /></map>"));
    e.drawRect();
    const QStringList lines =
        imported.isEmpty() ? QStringList() : e.w.areas().lines().toStringList() + QStringList{imported};
    e.w.document().markSaved(); // saved: no question before the picture or the page
    const bool mapFile = file.endsWith(".map");
    if (mapFile)
        e.platform.answers << MessageButton::Yes; // keep the areas
    e.platform.fileAnswers << folder.filePath(file);
    (imported.isEmpty() ? e.w.ui.Command1 : mapFile ? e.w.ui.Command8 : e.w.ui.Command11)->click();

    QCOMPARE(e.w.areas().lines(), lines);
    QCOMPARE(e.w.document().imagePath(), folder.filePath("neu.png"));
    QCOMPARE(e.w.document().mapName(), imported.isEmpty() ? QString() : QStringLiteral("neu"));
    QVERIFY(!e.w.document().history().canUndo());
    e.keys(e.w.ui.List1, Qt::Key_Z);
    QCOMPARE(e.w.areas().lines(), lines);
}

// The box must end up holding what setting the whole text gives, also where
// a change splits or joins a "\r\n".
void TestDocument::codeBoxRewritesOnlyChanges()
{
    const QString separator(QChar::ParagraphSeparator);
    const QList<std::pair<QString, QString>> changes{{"a\r\nb\r\nc\r\n", "a\r\nB\r\nc\r\n"},
                                                     {"a\r\nb\r\n", "a\r\nb\r\nc\r\n"},
                                                     {"a\r\nb\r\nc\r\n", "a\r\nc\r\n"},
                                                     {"a\r\nb", "a\rb"},
                                                     {"a\r\rb", "a\r\nb"},
                                                     {"x\ny\rz", "x\r\ny\r\nz"},
                                                     {"a\r\nb", ""},
                                                     {"a" + separator + "b", "a\r\nc"}};
    for (const auto& [before, after] : changes) {
        QPlainTextEdit box, whole;
        box.setPlainText(before);
        QVERIFY(replaceChangedPart(box, before, after));
        whole.setPlainText(after);
        QCOMPARE(box.toPlainText(), whole.toPlainText());
        QCOMPARE(box.document()->blockCount(), whole.document()->blockCount());
        QVERIFY(!box.document()->isUndoAvailable());
        QVERIFY(!replaceChangedPart(box, after, after));
    }
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
