// The catalogue's actions on the areas as a whole: deleting (key, double
// click, basket, clear), copying, the clipboard (also text from other
// programs), aligning, undo and redo, the attribute editor, the code box,
// the area table, Refresh and "board".
#include "session/Catalogue.h"
#include "session/Helpers.h"

#include "app/MainWindow.h"
#include "app/commands/AreaClipboard.h"
#include "windows/AreaTableWindow.h"
#include "canvas/Canvas.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/MapCode.h"

#include <QAction>
#include <QSet>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace korvane::session {

namespace {

int at(const QList<int>& p, int i)
{
    return i < p.size() ? p[i] : 0;
}

int wrap(int value, int count)
{
    return count <= 0 ? 0 : ((value % count) + count) % count;
}

QStringList observed(Session& s)
{
    return s.w().areas().lines().toStringList();
}

QList<int> noParams(Session&, QRandomGenerator&)
{
    return {};
}

QList<int> numbers(QRandomGenerator& g, std::initializer_list<int> ranges)
{
    QList<int> p;
    for (int n : ranges)
        p << int(g.bounded(n));
    return p;
}

// The pointer away from the canvas, so that Delete means the area, not a point.
// The pointer over the list: off every handle. The canvas is told that it
// left, as the window system tells it; the offscreen platform does not when
// a menu of the bar had the pointer last or the canvas is scrolled.
void pointerAway(Session& s)
{
    QWidget* list = s.w().ui.List1->viewport();
    QTest::mouseMove(list, QPoint(list->width() / 2, list->height() - 3));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(s.w().ui.Picture1, &leave);
}

QStringList without(const QStringList& lines, QList<int> rows)
{
    QStringList rest = lines;
    std::sort(rows.begin(), rows.end());
    for (qsizetype i = rows.size() - 1; i >= 0; --i)
        rest.removeAt(rows[i]);
    return rest;
}

// Answers the next menu with the entry whose text starts with `start`, and a
// submenu's entry after it; a disabled entry closes the menu.
void chooseFromMenu(Session& s, const QString& start, const QString& subEntry = {})
{
    s.modals().expect([start, subEntry](QWidget* widget) {
        auto* menu = qobject_cast<QMenu*>(widget);
        QAction* chosen = nullptr;
        for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
            if (!a->isSeparator() && a->text().startsWith(start) && a->isEnabled())
                chosen = a;
        }
        if (!chosen) {
            widget->close();
            return;
        }
        menu->setActiveAction(chosen);
        QTest::keyClick(menu, chosen->menu() ? Qt::Key_Right : Qt::Key_Return);
    });
    if (subEntry.isEmpty())
        return;
    s.modals().expect([subEntry](QWidget* widget) {
        auto* menu = qobject_cast<QMenu*>(widget);
        for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
            if (a->text() == subEntry && a->isEnabled()) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        widget->close();
    });
}

// The area list's context menu, as a right click on the list opens it.
void listMenu(Session& s)
{
    QWidget* viewport = s.w().ui.List1->viewport();
    const QPoint where(viewport->width() / 2, viewport->height() - 4);
    QContextMenuEvent request(QContextMenuEvent::Mouse, where, viewport->mapToGlobal(where));
    QApplication::sendEvent(viewport, &request);
}

// --- deleting ---

void runDeleteKey(Session& s, const QList<int>& p)
{
    const Reply reply = replyFor(at(p, 0));
    const bool onList = at(p, 1) % 2 == 1;
    const QList<int> rows = selectedRows(s);
    const int current = currentRow(s);
    pointerAway(s);
    s.platform().replyTo = [reply](const ShownBox&) { return reply; };
    if (onList) {
        s.activate();
        s.w().ui.List1->setFocus(Qt::OtherFocusReason);
        s.key(s.w().ui.List1, Qt::Key_Delete);
    } else {
        s.focusCanvas();
        s.key(s.w().ui.Picture1, Qt::Key_Delete);
    }
    const bool several = rows.size() > 1;
    const QString question = several ? QStringLiteral("Sollen die %1 ausgewählten Areale wirklich gelöscht werden?")
                                           .arg(rows.size())
                                     : QStringLiteral("Soll dieser Eintag wirklich gelöscht werden?");
    if (s.platform().boxes.size() != 1 || s.platform().boxes.front().text != question) {
        s.fail(QStringLiteral("delete-question"),
               QStringLiteral("expected one question \"%1\", got %2").arg(question).arg(s.platform().boxes.size()));
        return;
    }
    const QStringList expected =
        reply == Reply::Yes ? without(s.model().lines(), several ? rows : QList<int>{current}) : s.model().lines();
    if (s.expectLines(QStringLiteral("delete"), expected))
        s.model().change(expected);
}

void runDoubleClickRow(Session& s, const QList<int>& p)
{
    const int row = wrap(at(p, 0), s.w().areas().count());
    const Reply reply = replyFor(at(p, 1));
    s.platform().replyTo = [reply](const ShownBox&) { return reply; };
    QListView* list = s.w().ui.List1;
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint where = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, where);
    if (s.platform().countStartingWith(QStringLiteral("Soll dieser Eintag wirklich gelöscht werden?")) != 1) {
        s.fail(QStringLiteral("delete-question"), QStringLiteral("a double click asked %1 times")
                                                      .arg(s.platform().boxes.size()));
        return;
    }
    const QStringList expected = reply == Reply::Yes ? without(s.model().lines(), {row}) : s.model().lines();
    if (s.expectLines(QStringLiteral("double-click"), expected))
        s.model().change(expected);
}

void runDropOnTrash(Session& s, const QList<int>& p)
{
    const int row = wrap(at(p, 0), s.w().areas().count());
    s.clickRow(row);
    QWidget* basket = s.w().ui.Picture2;
    std::unique_ptr<QMimeData> data(s.w().areas().mimeData({s.w().areas().index(row)}));
    const QPoint where = basket->rect().center();
    QDragEnterEvent enter(where, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(basket, &enter);
    QDropEvent drop(where, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(basket, &drop);
    const QStringList expected = without(s.model().lines(), {row});
    if (s.expectLines(QStringLiteral("basket"), expected))
        s.model().change(expected);
}

void runCopyButton(Session& s, const QList<int>&)
{
    const QList<int> rows = selectedRows(s);
    const int current = currentRow(s);
    QStringList expected = s.model().lines();
    if (rows.size() > 1) {
        for (int row : rows)
            expected << s.model().lines()[row];
    } else if (current >= 0) {
        expected << s.model().lines()[current];
    }
    s.press(s.w().ui.Command10);
    if (s.expectLines(QStringLiteral("copy"), expected))
        s.model().change(expected);
}

void runClear(Session& s, const QList<int>& p)
{
    const Reply reply = replyFor(at(p, 0));
    s.platform().replyTo = [reply](const ShownBox&) { return reply; };
    s.press(s.w().ui.Command3);
    if (s.platform().countStartingWith(QStringLiteral("Möchten Sie jetzt wirklich alle eingezeichneten Areale löschen?")) !=
        1) {
        s.fail(QStringLiteral("clear-question"), QStringLiteral("\"clear\" did not ask once"));
        return;
    }
    const QStringList expected = reply == Reply::Yes ? QStringList() : s.model().lines();
    if (s.expectLines(QStringLiteral("clear"), expected))
        s.model().change(expected);
}

// --- the clipboard ---

void clipboardKey(Session& s, int key, bool onList)
{
    if (onList) {
        s.activate();
        s.w().ui.List1->setFocus(Qt::OtherFocusReason);
        s.key(s.w().ui.List1, key, Qt::ControlModifier);
    } else {
        s.focusCanvas();
        s.key(s.w().ui.Picture1, key, Qt::ControlModifier);
    }
}

QStringList clipboardLines()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(AreaClipboard::kMimeType))
        return {};
    return QString::fromUtf8(data->data(AreaClipboard::kMimeType)).split(QStringLiteral("\r\n"));
}

void runCopyKeys(Session& s, const QList<int>& p)
{
    const QList<int> rows = selectedRows(s);
    QStringList chosen;
    for (int row : rows)
        chosen << s.model().lines()[row];
    const bool cut = at(p, 0) % 2 == 1;
    clipboardKey(s, cut ? Qt::Key_X : Qt::Key_C, at(p, 1) % 2 == 1);
    if (!s.expectEqual(QStringLiteral("clipboard"), clipboardLines().join(QStringLiteral("\n")),
                       chosen.join(QStringLiteral("\n"))))
        return;
    const QString code = map_daten(AreaLines(chosen), s.w().document().imagePath(), s.w().document().mapName(),
                                   s.pictureSize());
    if (!s.expectEqual(QStringLiteral("clipboard-text"), QGuiApplication::clipboard()->text(), code))
        return;
    const QStringList expected = cut ? without(s.model().lines(), rows) : s.model().lines();
    if (s.expectLines(cut ? QStringLiteral("cut") : QStringLiteral("copy-keys"), expected))
        s.model().change(expected);
}

// Each pasted line is one of the clipboard's, moved at most, and lies on
// the picture; nothing else changed.
void expectPasted(Session& s, const QStringList& before, const QStringList& given)
{
    QStringList valid;
    for (const QString& line : given) {
        if (line.split(QLatin1Char('|')).size() >= 8)
            valid << line;
    }
    const QStringList after = observed(s);
    if (after.mid(0, before.size()) != before || after.size() != before.size() + valid.size()) {
        s.fail(QStringLiteral("paste"), QStringLiteral("%1 lines before, %2 pasted, %3 after")
                                            .arg(before.size())
                                            .arg(valid.size())
                                            .arg(after.size()));
        return;
    }
    const QRect picture(QPoint(0, 0), s.pictureSize());
    for (qsizetype i = 0; i < valid.size(); ++i) {
        const QString& line = after[before.size() + i];
        const std::optional<QRect> extent = extentOf(line);
        const bool sameArea = shapeOf(line) == shapeOf(valid[i]) && fieldsOf(line).mid(2) == fieldsOf(valid[i]).mid(2);
        const bool onPicture = !extent || (extent->right() >= extent->left() && extent->bottom() >= extent->top() &&
                                           extent->intersects(picture.adjusted(0, 0, 1, 1)));
        if (!sameArea || !onPicture) {
            s.fail(QStringLiteral("paste"), QStringLiteral("pasted\n  %1\nas\n  %2").arg(valid[i], line));
            return;
        }
    }
    s.model().change(after);
}

void runPasteKeys(Session& s, const QList<int>& p)
{
    const QStringList given = clipboardLines();
    const QStringList before = s.model().lines();
    clipboardKey(s, Qt::Key_V, at(p, 0) % 2 == 1);
    if (given.isEmpty())
        s.expectLines(QStringLiteral("paste-nothing"), before);
    else
        expectPasted(s, before, given);
}

// What other programs (or a hostile one) put on the clipboard.
QStringList foreignLines(int kind)
{
    const QString pad = QString(20, QLatin1Char(' ')) + QLatin1Char('|');
    switch (kind) {
    case 1:
        return {QLatin1Char(' ') + QStringLiteral("rect") + pad +
                QStringLiteral("-2147483648,-2147483648,2147483647,2147483647|gross.html|Groß|*|*|*|*")};
    case 2:
        return {QLatin1Char(' ') + QStringLiteral("rect") + pad + QStringLiteral("99999999999,5,99999999999,50|a|b|*|*|*|*"),
                QLatin1Char(' ') + QStringLiteral("circle") + pad + QStringLiteral("-99999999999,20,5|c|d|*|*|*|*")};
    case 3:
        return {QLatin1Char(' ') + QStringLiteral("rect") + pad +
                QStringLiteral("10,10,60,60|gut.html|Gut|*|*|*|*|href=\"boese.html\" alt=\"x\" coords=\"1,2,3,4\" "
                               "shape=\"circle\" title=\"t\"")};
    case 4:
        return {QStringLiteral("kein Areal"), QStringLiteral("|||")};
    case 6: // a link of 300,000 characters
        return {QLatin1Char(' ') + QStringLiteral("rect") + pad + QStringLiteral("20,20,80,60|") +
                QString(300'000, QLatin1Char('x')) + QStringLiteral(".html|Lang|*|*|*|*")};
    case 5: {
        QStringList many;
        for (int i = 0; i < 40; ++i)
            many << QLatin1Char(' ') + QStringLiteral("rect") + pad +
                        QStringLiteral("%1,%2,%3,%4|v%5.html|V %5|*|*|*|*")
                            .arg(i % 300)
                            .arg(i % 200)
                            .arg(i % 300 + 20)
                            .arg(i % 200 + 15)
                            .arg(i);
        return many;
    }
    case 8: { // a star of 600 points: its point handles are painted, not widgets
        QStringList points;
        for (int i = 0; i < 600; ++i) {
            const double angle = 2 * M_PI * i / 600, radius = i % 2 == 0 ? 90 : 60;
            points << QString::number(qRound(150 + radius * std::cos(angle))) + QLatin1Char(',') +
                          QString::number(qRound(110 + radius * std::sin(angle)));
        }
        return {QLatin1Char(' ') + QStringLiteral("poly") + QString(20, QLatin1Char(' ')) + QLatin1Char('|') +
                points.join(QLatin1Char(',')) + QStringLiteral("|stern.html|Stern|*|*|*|*")};
    }
    default:
        return {};
    }
}

// Each attribute at most once in every area element of the code.
bool attributesOnce(Session& s, const QString& code)
{
    for (const QString& element : code.split(QStringLiteral("<area"))) {
        for (const char* name : {" href=", " alt=", " coords=", " shape="}) {
            if (element.section(QLatin1Char('>'), 0, 0).count(QLatin1String(name)) > 1) {
                s.fail(QStringLiteral("paste-attributes"),
                       QStringLiteral("an area element names%1 twice:\n  <area%2").arg(QLatin1String(name), element));
                return false;
            }
        }
    }
    return true;
}

void runForeignPaste(Session& s, const QList<int>& p)
{
    const int kind = wrap(at(p, 0), 9);
    auto* data = new QMimeData;
    const QStringList lines = foreignLines(kind);
    if (kind == 0)
        data->setText(s.codeShown().isEmpty() ? QStringLiteral("<map name=\"x\"></map>") : s.codeShown());
    else if (kind == 7) // five megabytes of text from an editor
        data->setText(QString(5'000'000, QLatin1Char('<')));
    else
        data->setData(AreaClipboard::kMimeType, lines.join(QStringLiteral("\r\n")).toUtf8());
    QGuiApplication::clipboard()->setMimeData(data);
    const QStringList before = s.model().lines();
    clipboardKey(s, Qt::Key_V, at(p, 1) % 2 == 1);
    if (kind == 0 || kind == 4 || kind == 7) {
        s.expectLines(QStringLiteral("paste-nothing"), before);
        return;
    }
    expectPasted(s, before, lines);
    if (!s.failed() && kind == 3)
        attributesOnce(s, s.codeShown());
}

// --- aligning ---

const char* const kAlignments[] = {"Links",           "Rechts",         "Oben",          "Unten",
                                   "Horizontal zentriert", "Vertikal zentriert", "Gleiche Breite", "Gleiche Höhe",
                                   "Horizontal verteilen", "Vertikal verteilen"};

void runAlign(Session& s, const QList<int>& p)
{
    const int how = wrap(at(p, 0), 10);
    const QList<int> rows = selectedRows(s);
    const QStringList before = s.model().lines();
    if (s.route() == Session::Route::MenuBar) {
        s.chooseInMenuBar(menuPicks(QStringLiteral("mnuBearbeiten"),
                                    {QStringLiteral("Ausrichten"), QString::fromUtf8(kAlignments[how])}));
    } else {
        chooseFromMenu(s, QStringLiteral("Ausrichten"), QString::fromUtf8(kAlignments[how]));
        listMenu(s);
    }
    const QStringList after = observed(s);
    if (expectReshaped(s, QStringLiteral("align"), before, after, rows, false))
        s.model().change(after);
}

// --- history ---

void runUndo(Session& s, const QList<int>& p)
{
    const int via = wrap(at(p, 0), 2);
    if (via == 0) {
        s.windowKey(Qt::Key_Z, Qt::ControlModifier);
    } else {
        chooseFromMenu(s, QStringLiteral("Rückgängig"));
        listMenu(s);
    }
    s.model().undo();
    s.expectLines(QStringLiteral("undo"), s.model().lines());
}

void runRedo(Session& s, const QList<int>& p)
{
    const int via = wrap(at(p, 0), 3);
    if (via == 0) {
        s.windowKey(Qt::Key_Y, Qt::ControlModifier);
    } else if (via == 1) {
        s.windowKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
        chooseFromMenu(s, QStringLiteral("Wiederherstellen"));
        listMenu(s);
    }
    s.model().redo();
    s.expectLines(QStringLiteral("redo"), s.model().lines());
}

// Every step back to the lines the map started with, and forward to the last.
void runHistoryWalk(Session& s, const QList<int>&)
{
    Model& m = s.model();
    const int back = m.stepsBack();
    for (int i = 0; i < back && !s.failed(); ++i) {
        const QStringList before = observed(s);
        s.windowKey(Qt::Key_Z, Qt::ControlModifier);
        m.undo();
        if (observed(s) == before)
            s.fail(QStringLiteral("history"), QStringLiteral("undo step %1 of %2 changes nothing").arg(i + 1).arg(back));
        else
            s.expectLines(QStringLiteral("history"), m.lines());
    }
    if (s.failed())
        return;
    s.windowKey(Qt::Key_Z, Qt::ControlModifier);
    if (!s.expectLines(QStringLiteral("history-start"), m.lines()))
        return;
    const int forward = m.stepsForward();
    for (int i = 0; i < forward && !s.failed(); ++i) {
        s.windowKey(Qt::Key_Y, Qt::ControlModifier);
        m.redo();
        s.expectLines(QStringLiteral("history"), m.lines());
    }
    if (s.failed())
        return;
    s.windowKey(Qt::Key_Y, Qt::ControlModifier);
    s.expectLines(QStringLiteral("history-end"), m.lines());
}

// --- the attribute editor ---

void expectEdited(Session& s, int row, const AttributeInput& input, DialogEnd end)
{
    QStringList expected = s.model().lines();
    if (end == DialogEnd::Accept && row >= 0) {
        QStringList fields = fieldsOf(expected[row]);
        const QStringList stored = storedAttributes(input, false);
        for (int i = 0; i < 6; ++i) {
            if (fields.size() <= 2 + i)
                fields << QString();
            fields[2 + i] = stored[i];
        }
        expected[row] = fields.join(QLatin1Char('|'));
    }
    if (s.expectLines(QStringLiteral("attributes"), expected))
        s.model().change(expected);
}

void runEditAttributes(Session& s, const QList<int>& p)
{
    const AttributeInput& input = attributeInput(at(p, 0));
    const DialogEnd end = DialogEnd(wrap(at(p, 1), 3));
    const int row = currentRow(s);
    if (row < 0)
        return;
    s.platform().replyTo = [](const ShownBox&) { return Reply::Yes; }; // Escape: the input may go
    answerAttributeDialog(s, input, end);
    s.press(s.w().ui.Command9);
    if (!s.modals().shown.contains(QStringLiteral("frmEdit"))) {
        s.fail(QStringLiteral("attribute-editor"), QStringLiteral("\"edit\" opened no attribute editor"));
        return;
    }
    expectEdited(s, row, input, end);
}

// --- the code box ---

const char* const kTyped[] = {"<!-- Notiz -->", "x", "\xc3\x84 \xc3\xb6", "\n<p>Absatz</p>"};

void runTypeCode(Session& s, const QList<int>& p)
{
    QPlainTextEdit* box = s.w().ui.txtMap;
    s.activate();
    box->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(box, at(p, 0) % 2 == 0 ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
    typeText(box, QString::fromUtf8(kTyped[wrap(at(p, 1), 4)]));
    s.model().setHandCode(s.codeShown());
}

void runClearCode(Session& s, const QList<int>&)
{
    QPlainTextEdit* box = s.w().ui.txtMap;
    s.activate();
    box->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    if (!s.expectEqual(QStringLiteral("clear-code"), s.codeShown(), QString()))
        return;
    s.model().setHandCode(QString());
}

void runCodeUndo(Session& s, const QList<int>&)
{
    QPlainTextEdit* box = s.w().ui.txtMap;
    s.activate();
    box->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    s.expectLines(QStringLiteral("code-undo"), s.model().lines());
    if (s.codeShown() == s.codeOfLines())
        s.model().dropHandCode();
    else
        s.model().setHandCode(s.codeShown());
}

// --- the area table ---

const char* const kFilters[] = {"", "rect", "ziel", "\xc3\xa4", "10", "poly"};

void runTable(Session& s, const QList<int>& p)
{
    const int op = wrap(at(p, 0), 6);
    AreaTableWindow* table = s.areaTable();
    const bool shown = table && table->isVisible();
    if (op == 0 || !shown) {
        s.windowKey(Qt::Key_T, Qt::ControlModifier);
        if (!s.areaTable() || !s.areaTable()->isVisible())
            s.fail(QStringLiteral("table"), QStringLiteral("Ctrl+T showed no table"));
        return;
    }
    AreaTableView* view = table->view();
    switch (op) {
    case 1:
        table->close();
        break;
    case 2:
        typeInto(table->filterField(), QString::fromUtf8(kFilters[wrap(at(p, 1), 6)]));
        break;
    case 3: {
        QHeaderView* header = view->horizontalHeader();
        const int column = wrap(at(p, 1), 5);
        const QPoint where(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, where);
        break;
    }
    case 4: {
        const int rows = view->model()->rowCount();
        if (rows == 0)
            return;
        const int r = wrap(at(p, 1), rows);
        const QModelIndex index = view->model()->index(r, 1);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        const int line = view->model()->headerData(r, Qt::Vertical).toInt() - 1;
        if (currentRow(s) != line)
            s.fail(QStringLiteral("table-choice"), QStringLiteral("row of line %1 chosen, line %2 selected")
                                                       .arg(line)
                                                       .arg(currentRow(s)));
        break;
    }
    default: {
        const QModelIndex current = view->currentIndex();
        if (!current.isValid())
            return;
        const int line = view->model()->headerData(current.row(), Qt::Vertical).toInt() - 1;
        const AttributeInput& input = attributeInput(at(p, 1));
        const DialogEnd end = at(p, 2) % 2 == 0 ? DialogEnd::Accept : DialogEnd::Cancel;
        answerAttributeDialog(s, input, end);
        view->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(view, Qt::Key_Return);
        expectEdited(s, line, input, end);
        return;
    }
    }
    s.expectLines(QStringLiteral("table"), s.model().lines());
}

// --- the other windows and outputs ---

// The style of the responsive form shows the highlight chosen: the keyboard's
// focus always in its colour, the pointer's area unless "Keine", filled
// translucently with "Umriss und Fläche".
void expectHighlight(Session& s, const QString& style)
{
    const Session::Highlight& h = s.highlight();
    const QString stroke = QStringLiteral("stroke:#%1;").arg(h.colour & 0xffffff, 6, 16, QLatin1Char('0'));
    const QString fill = QStringLiteral("fill:rgba(%1,%2,%3,0.25)").arg(qRed(h.colour)).arg(qGreen(h.colour)).arg(qBlue(h.colour));
    const bool hover = style.contains(QLatin1String("@media (hover:hover){.korvane-flaechen a[href]:hover *{") + stroke);
    const bool focus = style.contains(QLatin1String(".korvane-verweise a:focus-visible *{") + stroke);
    if (!focus || hover != (h.kind != 0) || style.contains(fill) != (h.kind == 2))
        s.fail(QStringLiteral("highlight"), QStringLiteral("highlight %1 in %2 drawn as:\n  %3")
                                                .arg(h.kind)
                                                .arg(stroke, style.left(600)));
}

void runResponsiveCopy(Session& s, const QList<int>&)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    s.windowKey(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.contains(QLatin1String("class=\"korvane-map\"")) || !text.contains(QLatin1String("<svg")))
        s.fail(QStringLiteral("responsive-copy"), QStringLiteral("the clipboard holds no responsive code"));
    // The pointer's layer holds a shape for every area a browser can click;
    // areas that share their link, text and target may share one link, so
    // there are at least as many links as such kinds and at most one an area.
    qsizetype clickable = 0;
    QSet<QString> kinds;
    for (const QString& line : s.model().lines()) {
        if (browser::areaShape(entry::shapeOf(line), entry::coordsOf(line)).empty)
            continue;
        ++clickable;
        kinds.insert(line.section(QLatin1Char('|'), 2));
    }
    const QString layer = text.section(QStringLiteral("<g class=\"korvane-flaechen\""), 1)
                              .section(QStringLiteral("<g class=\"korvane-verweise\""), 0, 0);
    qsizetype shapes = 0;
    for (const char* element : {"<rect ", "<circle ", "<polygon "})
        shapes += layer.count(QLatin1String(element));
    const qsizetype links = layer.count(QLatin1String("<a"));
    if (shapes != clickable || links > clickable || links < kinds.size()) {
        s.fail(QStringLiteral("responsive-copy"),
               QStringLiteral("%1 shapes in %2 links for %3 areas a browser clicks, of %4 kinds")
                   .arg(shapes)
                   .arg(links)
                   .arg(clickable)
                   .arg(kinds.size()));
        return;
    }
    expectHighlight(s, text.section(QStringLiteral("<style>"), 1).section(QStringLiteral("</style>"), 0, 0));
}

// Opens the map check, or closes it when it is open.
void runMapCheck(Session& s, const QList<int>&)
{
    QWidget* check = s.w().findChild<QWidget*>(QStringLiteral("frmMapCheck"));
    if (check && check->isVisible()) {
        check->close();
        s.activate();
        return;
    }
    s.windowKey(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    check = s.w().findChild<QWidget*>(QStringLiteral("frmMapCheck"));
    if (!check || !check->isVisible())
        s.fail(QStringLiteral("map-check"), QStringLiteral("Ctrl+Shift+P showed no map check"));
    s.activate();
}

void runHelp(Session& s, const QList<int>&)
{
    s.press(s.w().ui.Command13);
    if (s.platform().opened.size() != 1)
        s.fail(QStringLiteral("help"), QStringLiteral("\"Help\" opened %1 documents").arg(s.platform().opened.size()));
}

// The magnifier opened and closed again: its ticks would slow every later step.
void runMagnifier(Session& s, const QList<int>&)
{
    s.press(s.w().ui.Command4);
    QWidget* lupe = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->parentWidget() == &s.w() && top->inherits("korvane::Magnifier"))
            lupe = top;
    }
    if (!lupe) {
        s.fail(QStringLiteral("magnifier"), QStringLiteral("the magnifier did not open"));
        return;
    }
    QTest::qWait(30);
    lupe->close();
    s.activate();
}

// --- buttons ---

void runRefresh(Session& s, const QList<int>&)
{
    s.press(s.w().ui.Command6);
    s.expectLines(QStringLiteral("refresh"), s.model().lines());
}

void runBoard(Session& s, const QList<int>&)
{
    s.press(s.w().ui.cmdClipboard);
    s.expectEqual(QStringLiteral("board"), QGuiApplication::clipboard()->text(), s.codeShown());
}

} // namespace

void addEditingActions(std::vector<Action>& actions)
{
    const auto hasAreas = [](Session& s) { return !s.w().areas().isEmpty(); };
    const auto chosen = [](Session& s) { return currentRow(s) >= 0; };
    const auto several = [](Session& s) { return s.editMode() && selectedRows(s).size() >= 2; };
    const auto picture = [](Session& s) { return s.hasPicture(); };
    const auto codeEditable = [](Session& s) { return !s.w().ui.txtMap->isReadOnly(); };
    actions.push_back({"deleteKey", 6, chosen, [](Session&, QRandomGenerator& g) { return numbers(g, {3, 2}); },
                       runDeleteKey});
    actions.push_back({"doubleClickRow", 3, hasAreas,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {50, 3}); }, runDoubleClickRow});
    actions.push_back({"dropOnTrash", 2, hasAreas, [](Session&, QRandomGenerator& g) { return numbers(g, {50}); },
                       runDropOnTrash});
    actions.push_back({"copyButton", 4, [](Session& s) { return s.w().ui.Command10->isEnabled() && currentRow(s) >= 0; },
                       noParams, runCopyButton});
    actions.push_back({"clear", 2, hasAreas, [](Session&, QRandomGenerator& g) { return numbers(g, {3}); }, runClear});
    actions.push_back({"copyKeys", 4, chosen, [](Session&, QRandomGenerator& g) { return numbers(g, {2, 2}); },
                       runCopyKeys});
    actions.push_back({"pasteKeys", 4, picture, [](Session&, QRandomGenerator& g) { return numbers(g, {2}); },
                       runPasteKeys});
    actions.push_back({"foreignPaste", 3, picture,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {9, 2}); },
                       runForeignPaste});
    actions.push_back({"align", 4, several, [](Session&, QRandomGenerator& g) { return numbers(g, {10}); }, runAlign});
    actions.push_back({"undo", 10, picture, [](Session&, QRandomGenerator& g) { return numbers(g, {2}); }, runUndo});
    actions.push_back({"redo", 6, picture, [](Session&, QRandomGenerator& g) { return numbers(g, {3}); }, runRedo});
    actions.push_back({"historyWalk", 2, picture, noParams, runHistoryWalk});
    actions.push_back({"editAttributes", 4, [](Session& s) { return s.w().ui.Command9->isEnabled() && currentRow(s) >= 0; },
                       [](Session&, QRandomGenerator& g) { return numbers(g, {attributeInputCount(), 3}); },
                       runEditAttributes});
    actions.push_back({"typeCode", 3, codeEditable, [](Session&, QRandomGenerator& g) { return numbers(g, {2, 4}); },
                       runTypeCode});
    actions.push_back({"clearCode", 2,
                       codeEditable,
                       noParams, runClearCode});
    actions.push_back({"codeUndo", 2,
                       codeEditable,
                       noParams, runCodeUndo});
    actions.push_back({"table", 4, picture,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {6, 10, 2}); }, runTable});
    actions.push_back({"responsiveCopy", 1, hasAreas, noParams, runResponsiveCopy});
    actions.push_back({"mapCheck", 1, [](Session&) { return true; }, noParams, runMapCheck});
    actions.push_back({"help", 1, [](Session&) { return true; }, noParams, runHelp});
    actions.push_back({"magnifier", 1, [](Session&) { return true; }, noParams, runMagnifier});
    actions.push_back({"refresh", 1, picture, noParams, runRefresh});
    actions.push_back({"board", 1, [](Session& s) { return s.w().ui.cmdClipboard->isEnabled(); }, noParams, runBoard});
}

} // namespace korvane::session
