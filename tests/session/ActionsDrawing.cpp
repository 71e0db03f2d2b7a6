// The catalogue's actions on the canvas: drawing each shape, choosing areas
// (list, canvas, band, keys), dragging handles, bodies and several areas,
// the arrow and stacking-order keys, polygon points, and the view (mode,
// zoom, snapping, drawing attributes).
#include "session/Catalogue.h"
#include "session/Helpers.h"

#include "app/MainWindow.h"
#include "app/commands/SeveralAreas.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

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

int rounded(double v)
{
    return int(std::nearbyint(v)); // halves to the even neighbour, as the tools round
}

// Where the tools receive a picture point the user points at: the canvas
// pixel under it, read back at the zoom shown.
QPointF received(Session& s, QPoint picturePoint)
{
    return s.w().ui.Picture1->toPicture(s.onCanvas(picturePoint));
}

// The tool chosen as a click on its option does it.
void chooseTool(Session& s, int tool)
{
    if (static_cast<int>(s.w().session().chosenOption()) != tool || s.editMode())
        s.clickOption(tool);
}

bool canDraw(Session& s)
{
    return s.hasPicture() && s.w().ui.Option1[0]->isEnabled();
}

bool editingOne(Session& s)
{
    return s.editMode() && currentRow(s) >= 0 && selectedRows(s).size() == 1;
}

QList<int> polygonRows(Session& s)
{
    QList<int> rows;
    for (int row = 0; row < s.w().areas().count(); ++row) {
        if (shapeOf(s.w().areas().line(row)) == QLatin1String("poly"))
            rows << row;
    }
    return rows;
}

bool editingPolygon(Session& s)
{
    return s.editMode() && !polygonRows(s).isEmpty();
}

// The polygon worked on: the one chosen, else one of them clicked in the list.
int choosePolygon(Session& s, int which)
{
    const int row = currentRow(s);
    if (selectedRows(s).size() == 1 && shapeOf(s.w().areas().line(row)) == QLatin1String("poly"))
        return row;
    const QList<int> rows = polygonRows(s);
    const int chosen = rows[wrap(which, int(rows.size()))];
    s.clickRow(chosen);
    return currentRow(s) == chosen ? chosen : -1;
}

QPoint randomPoint(Session& s, QRandomGenerator& g, int beyond = 0)
{
    const QSize size = s.pictureSize();
    return QPoint(int(g.bounded(size.width() + 2 * beyond)) - beyond,
                  int(g.bounded(size.height() + 2 * beyond)) - beyond);
}

QStringList observed(Session& s)
{
    return s.w().areas().lines().toStringList();
}

// A new shape: the link dialog shown where one is due, the line added only
// when it was accepted, exactly as typed unless snapping moved its points.
void expectDrawn(Session& s, const QStringList& before, const QString& shape, const QList<int>& coords,
                 const AttributeInput& input, DialogEnd end, bool shapeDue)
{
    const bool asked = s.modals().shown.contains(QStringLiteral("frmVerweis"));
    if (asked != shapeDue) {
        s.fail(QStringLiteral("link-dialog"), shapeDue ? QStringLiteral("no link dialog for a new shape")
                                                       : QStringLiteral("a link dialog without a shape"));
        return;
    }
    if (!shapeDue || end != DialogEnd::Accept) {
        s.expectLines(QStringLiteral("drawn-cancelled"), before);
        return;
    }
    const QStringList after = observed(s);
    const QString expected = drawnLine(shape, coords, storedAttributes(input, true));
    if (after.size() != before.size() + 1 || after.mid(0, before.size()) != before) {
        s.expectLines(QStringLiteral("drawn"), before + QStringList{expected});
        return;
    }
    const QString line = after.back();
    if (s.w().state().snapOn) {
        // Snapping takes each point to a target within its catch distance.
        const double reach = 6 / s.w().ui.Picture1->zoomFactor() + 2;
        const QList<int> got = coordsOf(line);
        bool near = sameButCoords(line, expected) && got.size() == coords.size();
        for (qsizetype i = 0; near && i < got.size(); ++i)
            near = std::abs(got[i] - coords[i]) <= reach + (shape == QLatin1String("circle") && i == 2 ? reach : 0);
        if (!near)
            s.expectEqual(QStringLiteral("drawn-snapped"), line, expected);
    } else if (!s.expectEqual(QStringLiteral("drawn"), line, expected)) {
        return;
    }
    s.model().change(after);
}

DialogEnd dialogEnd(int value)
{
    return DialogEnd(wrap(value, 3));
}

// --- drawing ---

QList<int> generateRect(Session& s, QRandomGenerator& g)
{
    const QPoint a = randomPoint(s, g);
    const QPoint b = a + QPoint(int(g.bounded(4, 160)) * (g.bounded(2) ? 1 : -1),
                                int(g.bounded(4, 120)) * (g.bounded(2) ? 1 : -1));
    return {a.x(), a.y(), b.x(), b.y(), int(g.bounded(attributeInputCount())), int(g.bounded(5)) % 3 == 0 ? 0 : 1};
}

void runRect(Session& s, const QList<int>& p)
{
    chooseTool(s, 1);
    const QPoint a(at(p, 0), at(p, 1)), b(at(p, 2), at(p, 3));
    const QPointF from = received(s, a), to = received(s, b);
    const bool due = std::abs(to.x() - from.x()) > 1 && std::abs(to.y() - from.y()) > 1;
    const AttributeInput& input = attributeInput(at(p, 4));
    const DialogEnd end = dialogEnd(at(p, 5));
    // Snapping may take a point near the other: the shape is due when the dialog asks.
    const bool snapping = s.w().state().snapOn;
    if (due || snapping)
        answerAttributeDialog(s, input, end);
    const QStringList before = s.model().lines();
    s.drag(s.w().ui.Picture1, s.onCanvas(a), s.onCanvas(b));
    const int left = rounded(from.x()), top = rounded(from.y()), right = rounded(to.x()), bottom = rounded(to.y());
    expectDrawn(s, before, QStringLiteral("rect"),
                {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)}, input,
                end, snapping ? s.modals().shown.contains(QStringLiteral("frmVerweis")) : due);
}

QList<int> generateCircle(Session& s, QRandomGenerator& g)
{
    const QPoint c = randomPoint(s, g);
    return {c.x(), c.y(), int(g.bounded(3, 90)), int(g.bounded(attributeInputCount())), g.bounded(4) == 0 ? 0 : 1};
}

void runCircle(Session& s, const QList<int>& p)
{
    chooseTool(s, 2);
    const QPoint c(at(p, 0), at(p, 1)), edge = c + QPoint(at(p, 2), 0);
    const QPointF centre = received(s, c), reached = received(s, edge);
    const bool due = std::abs(reached.x() - centre.x()) > 1;
    const AttributeInput& input = attributeInput(at(p, 3));
    const DialogEnd end = dialogEnd(at(p, 4));
    const bool snapping = s.w().state().snapOn;
    if (due || snapping)
        answerAttributeDialog(s, input, end);
    const QStringList before = s.model().lines();
    s.drag(s.w().ui.Picture1, s.onCanvas(c), s.onCanvas(edge));
    expectDrawn(s, before, QStringLiteral("circle"),
                {rounded(centre.x()), rounded(centre.y()), rounded(std::abs(reached.x() - centre.x()))}, input, end,
                snapping ? s.modals().shown.contains(QStringLiteral("frmVerweis")) : due);
}

QList<int> generatePolygon(Session& s, QRandomGenerator& g)
{
    const int n = int(g.bounded(3, 7));
    QList<int> p{n};
    const QPoint centre = randomPoint(s, g);
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * M_PI * i / n;
        const int radius = int(g.bounded(10, 80));
        p << centre.x() + int(radius * std::cos(angle)) << centre.y() + int(radius * std::sin(angle));
    }
    return p << int(g.bounded(attributeInputCount())) << (g.bounded(4) == 0 ? 0 : 1);
}

void runPolygon(Session& s, const QList<int>& p)
{
    const int n = std::clamp(at(p, 0), 1, 12);
    chooseTool(s, 0);
    const AttributeInput& input = attributeInput(at(p, 1 + 2 * n));
    const DialogEnd end = dialogEnd(at(p, 2 + 2 * n));
    answerAttributeDialog(s, input, end);
    const QStringList before = s.model().lines();
    QList<int> coords;
    QPoint last;
    for (int i = 0; i < n; ++i) {
        last = QPoint(at(p, 1 + 2 * i), at(p, 2 + 2 * i));
        const QPointF point = received(s, last);
        coords << rounded(point.x()) << rounded(point.y());
        QTest::mouseClick(s.w().ui.Picture1, Qt::LeftButton, {}, s.onCanvas(last));
    }
    QTest::mouseClick(s.w().ui.Picture1, Qt::RightButton, {}, s.onCanvas(last));
    expectDrawn(s, before, QStringLiteral("poly"), coords, input, end, true);
}

// --- choosing areas ---

void runSelectRow(Session& s, const QList<int>& p)
{
    const int row = wrap(at(p, 0), s.w().areas().count());
    s.clickRow(row);
    s.expectLines(QStringLiteral("select-row"), s.model().lines());
    if (selectedRows(s) != QList<int>{row} || currentRow(s) != row)
        s.fail(QStringLiteral("select-row"), QStringLiteral("a click on line %1 left %2 selected")
                                                 .arg(row)
                                                 .arg(currentRow(s)));
}

void runControlClickRow(Session& s, const QList<int>& p)
{
    const int row = wrap(at(p, 0), s.w().areas().count());
    QList<int> expected = selectedRows(s);
    if (expected.contains(row))
        expected.removeAll(row);
    else
        expected << row;
    std::sort(expected.begin(), expected.end());
    s.clickRow(row, Qt::ControlModifier);
    if (selectedRows(s) != expected)
        s.fail(QStringLiteral("toggle-row"), QStringLiteral("Ctrl+click on line %1").arg(row));
}

void runClickArea(Session& s, const QList<int>& p)
{
    const int row = wrap(at(p, 0), s.w().areas().count());
    const std::optional<QPointF> point = pointOnArea(s, row);
    if (!point)
        return;
    const bool control = at(p, 1) % 2 == 1;
    const int current = currentRow(s);
    QList<int> expected{row};
    if (control) {
        expected = selectedRows(s);
        if (expected.contains(row))
            expected.removeAll(row);
        else
            expected << row;
        std::sort(expected.begin(), expected.end());
    }
    const QStringList before = s.model().lines();
    QTest::mouseClick(s.w().ui.Picture1, Qt::LeftButton, control ? Qt::ControlModifier : Qt::NoModifier,
                      s.onCanvas(point->toPoint()));
    const QStringList after = observed(s);
    if (control && after != before) {
        // Ctrl+click near an edge of the chosen polygon puts a point there.
        if (expectReshaped(s, QStringLiteral("click-area"), before, after, {current}, false) &&
            coordsOf(after[current]).size() == coordsOf(before[current]).size() + 2)
            s.model().change(after);
        else if (!s.failed())
            s.fail(QStringLiteral("click-area"), QStringLiteral("Ctrl+click gave\n  %1").arg(after[current]));
        return;
    }
    if (s.expectLines(QStringLiteral("click-area"), before) && selectedRows(s) != expected)
        s.fail(QStringLiteral("click-area"), QStringLiteral("a click on area %1 at (%3, %4) left %2 chosen")
                                                 .arg(row)
                                                 .arg(currentRow(s))
                                                 .arg(point->x())
                                                 .arg(point->y()));
}

// --- keys during a drag ---

// The keys a user may press halfway through a drag (none first). While a
// drag is under way no key changes the areas or the selection; Escape
// cancels the drag, and the release after it does nothing.
struct DragKey {
    int key;
    Qt::KeyboardModifiers modifiers;
};
const DragKey kDragKeys[] = {{0, {}},
                             {Qt::Key_Right, {}},
                             {Qt::Key_PageUp, {}},
                             {Qt::Key_Home, {}},
                             {Qt::Key_Delete, {}},
                             {Qt::Key_Z, Qt::ControlModifier},
                             {Qt::Key_End, {}},
                             {Qt::Key_Escape, {}},
                             {Qt::Key_A, Qt::ControlModifier},
                             {Qt::Key_Tab, {}}};

const DragKey& dragKey(int choice)
{
    return kDragKeys[wrap(choice, int(std::size(kDragKeys)))];
}

// The key goes where the user's keys go while the pointer drags: the canvas
// has the focus.
void pressDuringDrag(Session& s, const DragKey& key)
{
    if (key.key != 0)
        QTest::keyClick(s.w().ui.Picture1, Qt::Key(key.key), key.modifiers);
}

// Presses on `on` at `from`, moves through the middle (where `key` is
// pressed) to `to` and lets go (points of `on`).
void dragPressing(Session& s, QWidget* on, QPoint from, QPoint to, const DragKey& key)
{
    const auto exact = [](QPoint p) { return p.isNull() ? QPoint(1, 0) : p; };
    QTest::mousePress(on, Qt::LeftButton, {}, exact(from));
    QTest::mouseMove(on, exact((from + to) / 2));
    pressDuringDrag(s, key);
    QTest::mouseMove(on, exact(to));
    QTest::mouseRelease(on, Qt::LeftButton, {}, exact(to));
}

QList<int> generateBand(Session& s, QRandomGenerator& g)
{
    const QPoint a = randomPoint(s, g), b = randomPoint(s, g);
    const int key = g.bounded(2) == 0 ? 0 : int(g.bounded(int(std::size(kDragKeys))));
    return {a.x(), a.y(), b.x(), b.y(), key};
}

void runBand(Session& s, const QList<int>& p)
{
    const std::optional<QPointF> start = pointOffAreas(s, QPointF(at(p, 0), at(p, 1)));
    if (!start)
        return;
    const QPoint a = start->toPoint(), b(at(p, 2), at(p, 3));
    const QList<int> before = selectedRows(s);
    const DragKey& key = dragKey(at(p, 4));
    s.focusCanvas();
    dragPressing(s, s.w().ui.Picture1, s.onCanvas(a), s.onCanvas(b), key);
    s.expectLines(QStringLiteral("band"), s.model().lines());
    const QList<int> after = selectedRows(s);
    if (s.failed() || after == before)
        return;
    // A band cancelled by Escape chooses nothing.
    for (int row : after) {
        if (key.key == Qt::Key_Escape && !before.contains(row)) {
            s.fail(QStringLiteral("band-escape"), QStringLiteral("a band cancelled by Escape chose area %1").arg(row));
            return;
        }
    }
    const QRect band = QRect(a, b).normalized().adjusted(-2, -2, 2, 2);
    for (int row : after) {
        const std::optional<QRect> extent = extentOf(s.w().areas().line(row));
        if (extent && !band.contains(*extent)) {
            s.fail(QStringLiteral("band"), QStringLiteral("area %1 chosen by a band it does not lie in").arg(row));
            return;
        }
    }
}

void runSelectAll(Session& s, const QList<int>&)
{
    s.focusCanvas();
    s.key(s.w().ui.Picture1, Qt::Key_A, Qt::ControlModifier);
    if (selectedRows(s).size() != s.w().areas().count())
        s.fail(QStringLiteral("select-all"),
               QStringLiteral("%1 of %2 chosen").arg(selectedRows(s).size()).arg(s.w().areas().count()));
}

void runTab(Session& s, const QList<int>& p)
{
    const bool back = at(p, 0) % 2 == 1;
    const int before = currentRow(s), count = s.w().areas().count();
    s.focusCanvas();
    s.key(s.w().ui.Picture1, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
    const int next = before < 0 ? (back ? count - 1 : 0) : before + (back ? -1 : 1);
    if (next >= 0 && next < count && currentRow(s) != next)
        s.fail(QStringLiteral("tab"), QStringLiteral("Tab from line %1 chose %2").arg(before).arg(currentRow(s)));
}

// --- dragging ---

QList<int> generateMove(Session&, QRandomGenerator& g)
{
    // The key: none in half of the drags.
    const int key = g.bounded(2) == 0 ? 0 : int(g.bounded(int(std::size(kDragKeys))));
    return {int(g.bounded(12)), int(g.bounded(-60, 61)), int(g.bounded(-60, 61)), key};
}

// Presses handle `index`, moves it by `by` picture pixels and lets go. A
// polygon of many points has its point handles painted on the canvas: those
// are pressed on the canvas where they are painted.
void dragHandle(Session& s, int index, QPoint by, const DragKey& key = kDragKeys[0])
{
    Canvas* canvas = s.w().ui.Picture1;
    const QPoint grip(2, 2);
    HandleWidget* handle = s.w().handles().handle(index);
    if (!handle) {
        const QPoint start = canvas->handlePosition(s.w().handles().placeOf(index), 0) + grip;
        dragPressing(s, canvas, start, start + s.onCanvas(by), key);
        return;
    }
    const QPoint start = handle->mapTo(canvas, grip);
    const QPoint end = start + s.onCanvas(by);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, handle->mapFrom(canvas, (start + end) / 2));
    pressDuringDrag(s, key);
    QTest::mouseMove(handle, handle->mapFrom(canvas, end));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFrom(canvas, end));
}

// The handles a user sees: the widgets shown and the painted ones.
QList<int> shownHandles(Session& s)
{
    EditHandles& handles = s.w().handles();
    QList<int> shown;
    for (int i = 0; i < handles.count(); ++i) {
        const HandleWidget* widget = handles.handle(i);
        if (widget ? widget->isVisible() : handles.paintsPoints())
            shown << i;
    }
    return shown;
}

// After a drag with `key` pressed halfway: Escape left the lines as they
// were; any other key was let alone and the drag went on.
bool expectCancelled(Session& s, const QString& check, const DragKey& key, const QStringList& before)
{
    if (key.key != Qt::Key_Escape)
        return false;
    s.expectLines(check, before);
    return true;
}

void runDragHandle(Session& s, const QList<int>& p)
{
    const QList<int> shown = shownHandles(s);
    if (shown.isEmpty())
        return;
    const int index = shown[wrap(at(p, 0), int(shown.size()))];
    const DragKey& key = dragKey(at(p, 3));
    const int row = currentRow(s);
    const QStringList before = s.model().lines();
    s.focusCanvas();
    dragHandle(s, index, QPoint(at(p, 1), at(p, 2)), key);
    if (expectCancelled(s, QStringLiteral("drag-handle-escape"), key, before))
        return;
    const QStringList after = observed(s);
    if (expectReshaped(s, QStringLiteral("drag-handle"), before, after, {row}, index == 0))
        s.model().change(after);
}

void runDragBody(Session& s, const QList<int>& p)
{
    const int row = currentRow(s);
    const std::optional<QPointF> point = pointOnArea(s, row);
    if (!point)
        return;
    const QStringList before = s.model().lines();
    const QPoint from = s.onCanvas(point->toPoint());
    const DragKey& key = dragKey(at(p, 3));
    s.focusCanvas();
    dragPressing(s, s.w().ui.Picture1, from, from + s.onCanvas(QPoint(at(p, 1), at(p, 2))), key);
    if (expectCancelled(s, QStringLiteral("drag-body-escape"), key, before))
        return;
    const QStringList after = observed(s);
    if (expectReshaped(s, QStringLiteral("drag-body"), before, after, {row}, true))
        s.model().change(after);
}

void runDragSeveral(Session& s, const QList<int>& p)
{
    const QList<int> rows = selectedRows(s);
    const int held = rows[wrap(at(p, 0), int(rows.size()))];
    const std::optional<QPointF> point = pointOnArea(s, held);
    if (!point)
        return;
    const DragKey& key = dragKey(at(p, 3));
    const QStringList before = s.model().lines();
    const QPoint from = s.onCanvas(point->toPoint());
    const QPoint to = from + s.onCanvas(QPoint(at(p, 1), at(p, 2)));
    s.platform().replyTo = [](const ShownBox&) { return Reply::No; };
    s.focusCanvas();
    dragPressing(s, s.w().ui.Picture1, from, to, key);
    if (expectCancelled(s, QStringLiteral("drag-several-escape"), key, before))
        return;
    const QStringList after = observed(s);
    if (!expectReshaped(s, QStringLiteral("drag-several"), before, after, rows, true))
        return;
    std::optional<QPoint> by;
    for (int row : changedRows(before, after)) {
        const QPoint moved = *translation(before[row], after[row]);
        if (by && *by != moved) {
            s.fail(QStringLiteral("drag-several"), QStringLiteral("the dragged areas moved apart"));
            return;
        }
        by = moved;
    }
    s.model().change(after);
}

// --- keys ---

void runArrow(Session& s, const QList<int>& p)
{
    static const int kKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
    const int direction = wrap(at(p, 0), 4);
    const bool shift = at(p, 1) % 2 == 1;
    const QList<int> rows = selectedRows(s);
    const int row = currentRow(s);
    const QStringList before = s.model().lines();
    s.focusCanvas();
    s.key(s.w().ui.Picture1, kKeys[direction], shift ? Qt::ShiftModifier : Qt::NoModifier);
    const QStringList after = observed(s);
    if (!expectReshaped(s, QStringLiteral("arrow"), before, after, rows, true))
        return;
    const int step = shift ? 10 : 1;
    for (int changed : changedRows(before, after)) {
        const QPoint by = *translation(before[changed], after[changed]);
        const int along = direction < 2 ? by.x() : by.y(), across = direction < 2 ? by.y() : by.x();
        const int sign = direction % 2 == 0 ? -1 : 1;
        const bool ok = across == 0 && along * sign > 0 && (s.w().state().snapOn || along * sign <= step);
        if (!ok) {
            s.fail(QStringLiteral("arrow"), QStringLiteral("an arrow key moved line %1 by (%2, %3)")
                                                .arg(changed)
                                                .arg(by.x())
                                                .arg(by.y()));
            return;
        }
    }
    if (rows.size() == 1)
        s.model().keyMove(row, after);
    else
        s.model().change(after);
}

void runOrderKey(Session& s, const QList<int>& p)
{
    static const int kKeys[] = {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    const int which = wrap(at(p, 0), 4);
    const int row = currentRow(s), last = s.w().areas().count() - 1;
    const int target = which == 0 ? std::max(row - 1, 0) : which == 1 ? std::min(row + 1, last) : which == 2 ? 0 : last;
    QStringList expected = s.model().lines();
    expected.move(row, target);
    s.focusCanvas();
    s.key(s.w().ui.Picture1, kKeys[which]);
    if (!s.expectLines(QStringLiteral("order"), expected))
        return;
    s.model().change(expected);
    if (currentRow(s) != target)
        s.fail(QStringLiteral("order"), QStringLiteral("the moved area is line %1, line %2 is chosen")
                                            .arg(target)
                                            .arg(currentRow(s)));
}

// --- polygon points ---

void runInsertPoint(Session& s, const QList<int>& p)
{
    const int row = choosePolygon(s, at(p, 2));
    if (row < 0)
        return;
    const QList<int> c = coordsOf(s.w().areas().line(row));
    const int n = int(c.size() / 2);
    if (n < 2)
        return;
    const int edge = wrap(at(p, 0), n);
    const double t = 0.2 + 0.6 * wrap(at(p, 1), 100) / 100.0;
    const QPointF a(c[2 * edge], c[2 * edge + 1]), b(c[2 * ((edge + 1) % n)], c[2 * ((edge + 1) % n) + 1]);
    const QPointF point = a + t * (b - a);
    const QStringList before = s.model().lines();
    QTest::mouseClick(s.w().ui.Picture1, Qt::LeftButton, Qt::ControlModifier, s.onCanvas(point.toPoint()));
    const QStringList after = observed(s);
    if (after == before)
        return;
    if (!expectReshaped(s, QStringLiteral("insert-point"), before, after, {row}, false))
        return;
    const QList<int> got = coordsOf(after[row]);
    bool kept = got.size() == c.size() + 2;
    for (qsizetype skip = 0; kept && skip < got.size(); skip += 2) {
        QList<int> without = got;
        without.remove(skip, 2);
        if (without == c)
            break;
        kept = skip + 2 < got.size();
    }
    if (!kept)
        s.fail(QStringLiteral("insert-point"), QStringLiteral("the points did not stay\n  %1").arg(after[row]));
    else
        s.model().change(after);
}

// Answers the next menu: the entry of that text when it is enabled, else it closes.
void chooseFromMenu(Session& s, const QString& entry, bool orClose = true)
{
    s.modals().expect([entry, orClose](QWidget* widget) {
        auto* menu = qobject_cast<QMenu*>(widget);
        QAction* chosen = nullptr;
        for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
            if (a->text() == entry && a->isEnabled())
                chosen = a;
        }
        if (!chosen || !orClose) {
            widget->close();
            return;
        }
        menu->setActiveAction(chosen);
        QTest::keyClick(menu, chosen->menu() ? Qt::Key_Right : Qt::Key_Return);
    });
}

void runRemovePoint(Session& s, const QList<int>& p)
{
    const int row = choosePolygon(s, at(p, 2));
    if (row < 0)
        return;
    const QList<int> c = coordsOf(s.w().areas().line(row));
    const int n = int(c.size() / 2);
    const int vertex = wrap(at(p, 0), n);
    EditHandles& handles = s.w().handles();
    if (vertex + 1 >= handles.count())
        return;
    HandleWidget* handle = handles.handle(vertex + 1);
    if (handle ? !handle->isVisible() : !handles.paintsPoints())
        return;
    const bool byKey = at(p, 1) % 2 == 1;
    const QPoint grip(2, 2);
    Canvas* canvas = s.w().ui.Picture1;
    // A painted handle is found where the pointer is on the canvas; the one
    // painted last lies on top.
    const QPoint painted = handle ? QPoint() : canvas->handlePosition(handles.placeOf(vertex + 1), 0) + grip;
    const auto paintedOnTop = [&] {
        for (int i = handles.count() - 1; i > vertex + 1; --i) {
            if (QRect(canvas->handlePosition(handles.placeOf(i), 0), QSize(EditHandles::kSize, EditHandles::kSize)).contains(painted))
                return false;
        }
        return true;
    };
    if (byKey) {
        if (!s.visibleOnCanvas(QPointF(c[2 * vertex], c[2 * vertex + 1])))
            return;
        s.focusCanvas();
        if (handle)
            QTest::mouseMove(handle, grip);
        else
            QTest::mouseMove(canvas, painted);
        // Where handles lie on one another (a polygon of one or two points),
        // the pointer rests on the one on top: Delete then means the area.
        if (handle ? !handle->underMouse() : !paintedOnTop())
            return;
        s.key(canvas, Qt::Key_Delete);
    } else if (handle) {
        chooseFromMenu(s, QStringLiteral("Punkt entfernen"));
        QTest::mousePress(handle, Qt::RightButton, {}, grip);
        QContextMenuEvent request(QContextMenuEvent::Mouse, grip, handle->mapToGlobal(grip));
        QApplication::sendEvent(handle, &request);
        QTest::mouseRelease(handle, Qt::RightButton, {}, grip);
    } else {
        if (!paintedOnTop())
            return;
        chooseFromMenu(s, QStringLiteral("Punkt entfernen"));
        QTest::mousePress(canvas, Qt::RightButton, {}, painted);
        QContextMenuEvent request(QContextMenuEvent::Mouse, painted, canvas->mapToGlobal(painted));
        QApplication::sendEvent(canvas, &request);
        QTest::mouseRelease(canvas, Qt::RightButton, {}, painted);
    }
    QStringList expected = s.model().lines();
    if (n > 3) {
        QList<int> fewer = c;
        fewer.remove(2 * vertex, 2);
        expected[row] = withCoords(expected[row], fewer);
    }
    if (s.expectLines(QStringLiteral("remove-point"), expected))
        s.model().change(expected);
    if (!s.failed() && !s.platform().boxes.isEmpty())
        s.fail(QStringLiteral("remove-point"), QStringLiteral("a point's removal asked: ") +
                                                   s.platform().boxes.front().text);
}

void runAddPointRight(Session& s, const QList<int>& p)
{
    const int row = choosePolygon(s, at(p, 2));
    if (row < 0)
        return;
    const QPoint point(wrap(at(p, 0), s.pictureSize().width()), wrap(at(p, 1), s.pictureSize().height()));
    const QStringList before = s.model().lines();
    QTest::mouseClick(s.w().ui.Picture1, Qt::RightButton, {}, s.onCanvas(point));
    const QStringList after = observed(s);
    if (!expectReshaped(s, QStringLiteral("add-point"), before, after, {row}, false) || after == before)
        return;
    if (coordsOf(after[row]).size() != coordsOf(before[row]).size() + 2)
        s.fail(QStringLiteral("add-point"), QStringLiteral("a right click gave\n  %1").arg(after[row]));
    else
        s.model().change(after);
}

// --- the view ---

void runMode(Session& s, const QList<int>& p)
{
    // The four options, and "Umriss" (no option of its own: Ctrl+5 or its entry).
    const int option = wrap(at(p, 0), 5);
    QAction* trace = s.w().findChild<QAction*>(QStringLiteral("actUmriss"));
    if (option < 4 ? !s.w().ui.Option1[option]->isEnabled() : !trace || !trace->isEnabled())
        return;
    // Clicked, or by its key: Ctrl+1 to Ctrl+5 in the order of the menu.
    static const int kKeys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5};
    if (option == 4 || at(p, 1) % 2 == 1)
        s.windowKey(kKeys[option], Qt::ControlModifier);
    else
        s.clickOption(option);
    const bool traceChosen = s.w().session().chosenOption() == ChosenOption::Trace;
    if (traceChosen != (option == 4)) {
        s.fail(QStringLiteral("mode"), QStringLiteral("Umriss chosen: %1, asked for: %2").arg(traceChosen).arg(option == 4));
        return;
    }
    // The bar's Werkzeuge menu, opened, shows the tool chosen.
    auto shown = std::make_shared<QStringList>();
    s.chooseInMenuBar({menuPicks(QStringLiteral("mnuWerkzeuge"), {}).front(), [shown](const QList<QAction*>& entries) {
                           for (QAction* entry : entries)
                               *shown << entry->objectName() + (entry->isChecked() ? QStringLiteral("*") : QString());
                           return static_cast<QAction*>(nullptr); // closes the menu
                       }});
    const auto mark = [](bool checked) { return checked ? QStringLiteral("*") : QString(); };
    QStringList expected;
    for (const auto& [name, i] : {std::pair{"actPolygon", 0}, std::pair{"actRechteck", 1}, std::pair{"actKreis", 2}})
        expected << QLatin1String(name) + mark(s.w().ui.Option1[i]->isChecked());
    expected << QStringLiteral("actUmriss") + mark(traceChosen)
             << QStringLiteral("actEditMode") + mark(s.w().ui.Option1[3]->isChecked());
    s.expectEqual(QStringLiteral("mode-menu"), shown->join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    if (option == 3 && !s.editMode() && !s.w().areas().isEmpty())
        s.fail(QStringLiteral("mode"), QStringLiteral("EditMode chosen, the window does not edit"));
    else if (option != 3 && s.editMode())
        s.fail(QStringLiteral("mode"), QStringLiteral("a drawing tool chosen, the window still edits"));
}

void runZoom(Session& s, const QList<int>& p)
{
    static const int kKeys[] = {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_0, Qt::Key_9};
    const int which = wrap(at(p, 0), 4);
    Canvas* canvas = s.w().ui.Picture1;
    // Factors, not steps: a fitted picture is shown between the steps.
    const double before = canvas->zoomFactor();
    s.windowKey(kKeys[which], Qt::ControlModifier);
    const double after = canvas->zoomFactor();
    if (which == 3) {
        // Fitted: the whole picture in view, filling it in one direction
        // (unless the closest view stops it first).
        const QSize shown = canvas->size(), view = canvas->parentWidget()->size();
        const bool inView = shown.width() <= view.width() && shown.height() <= view.height();
        const bool fills = shown.width() >= view.width() - 2 || shown.height() >= view.height() - 2 || after >= 8.0;
        if (!inView || !fills)
            s.fail(QStringLiteral("zoom-fit"), QStringLiteral("fitted at %1: %2 x %3 in a view of %4 x %5")
                                                   .arg(after)
                                                   .arg(shown.width())
                                                   .arg(shown.height())
                                                   .arg(view.width())
                                                   .arg(view.height()));
        return;
    }
    const bool ok = which == 2 ? after == 1.0 : which == 0 ? after > before || before >= 8.0 : after < before || before <= 0.25;
    if (!ok)
        s.fail(QStringLiteral("zoom"), QStringLiteral("zoom %1 became %2").arg(before).arg(after));
}

void runSnap(Session& s, const QList<int>&)
{
    const bool before = s.w().state().snapOn;
    s.windowKey(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    if (s.w().state().snapOn == before)
        s.fail(QStringLiteral("snap"), QStringLiteral("Ctrl+Shift+E left snapping as it was"));
}

void runGrid(Session& s, const QList<int>& p)
{
    const int size = 1 + wrap(at(p, 0), 60);
    const bool accept = at(p, 1) % 2 == 0;
    const int before = s.w().state().snapGrid;
    const bool byBar = s.route() == Session::Route::MenuBar;
    if (!byBar)
        chooseFromMenu(s, QStringLiteral("Rastergröße..."));
    s.modals().expect([size, accept](QWidget* dialog) {
        auto* spin = dialog->findChild<QSpinBox*>();
        if (spin) {
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(size));
        }
        QTest::keyClick(dialog, accept ? Qt::Key_Return : Qt::Key_Escape);
    });
    if (byBar) {
        s.chooseInMenuBar(menuPicks(QStringLiteral("mnuBearbeiten"), {QStringLiteral("Rastergröße...")}));
    } else {
        s.focusCanvas();
        const QPoint where(5, 5);
        QContextMenuEvent request(QContextMenuEvent::Keyboard, where, s.w().ui.Picture1->mapToGlobal(where));
        QApplication::sendEvent(s.w().ui.Picture1, &request);
    }
    const int expected = accept ? size : before;
    if (s.w().state().snapGrid != expected)
        s.fail(QStringLiteral("grid"), QStringLiteral("grid %1, expected %2").arg(s.w().state().snapGrid).arg(expected));
}

void runLineWidth(Session& s, const QList<int>& p)
{
    const int width = wrap(at(p, 0), 3);
    QTest::mouseClick(s.w().ui.Image1[width], Qt::LeftButton);
    if (s.w().lineWidth() != width + 1)
        s.fail(QStringLiteral("line-width"), QStringLiteral("width %1 chosen, %2 set").arg(width + 1).arg(s.w().lineWidth()));
}

void runFill(Session& s, const QList<int>&)
{
    const bool before = s.w().ui.chkGefuellt->isChecked();
    QTest::mouseClick(s.w().ui.chkGefuellt, Qt::LeftButton, {}, QPoint(6, s.w().ui.chkGefuellt->height() / 2));
    if (s.w().ui.chkGefuellt->isChecked() == before)
        s.fail(QStringLiteral("fill"), QStringLiteral("the check box did not change"));
}

void runColour(Session& s, const QList<int>& p)
{
    const int target = wrap(at(p, 0), 3);
    QRadioButton* option = s.w().ui.Option2[target];
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    QWidget* palette = s.w().ui.picColor;
    QTest::mouseClick(palette, Qt::LeftButton, {},
                      QPoint(wrap(at(p, 1), palette->width()), wrap(at(p, 2), palette->height())));
}

QList<int> noParams(Session&, QRandomGenerator&)
{
    return {};
}

QList<int> oneOf(QRandomGenerator& g, int n)
{
    return {int(g.bounded(n))};
}

} // namespace

void addDrawingActions(std::vector<Action>& actions)
{
    const auto always = [](Session&) { return true; };
    const auto hasAreas = [](Session& s) { return !s.w().areas().isEmpty(); };
    const auto editing = [](Session& s) { return s.editMode() && !s.w().areas().isEmpty(); };
    const auto several = [](Session& s) { return s.editMode() && selectedRows(s).size() >= 2; };
    const auto selected = [](Session& s) { return s.editMode() && currentRow(s) >= 0; };
    actions.push_back({"drawRect", 14, canDraw, generateRect, runRect});
    actions.push_back({"drawCircle", 8, canDraw, generateCircle, runCircle});
    actions.push_back({"drawPolygon", 8, canDraw, generatePolygon, runPolygon});
    actions.push_back({"selectRow", 8, hasAreas,
                       [](Session&, QRandomGenerator& g) { return oneOf(g, 50); }, runSelectRow});
    actions.push_back({"controlClickRow", 5, editing,
                       [](Session&, QRandomGenerator& g) { return oneOf(g, 50); }, runControlClickRow});
    actions.push_back({"clickArea", 8, editing,
                       [](Session&, QRandomGenerator& g) { return QList<int>{int(g.bounded(50)), int(g.bounded(3))}; },
                       runClickArea});
    actions.push_back({"band", 4, selected, generateBand, runBand});
    actions.push_back({"selectAll", 3, editing, noParams, runSelectAll});
    actions.push_back({"tab", 3, editing, [](Session&, QRandomGenerator& g) { return oneOf(g, 2); }, runTab});
    actions.push_back({"dragHandle", 8, editingOne, generateMove, runDragHandle});
    actions.push_back({"dragBody", 6, editingOne, generateMove, runDragBody});
    actions.push_back({"dragSeveral", 6, several, generateMove, runDragSeveral});
    actions.push_back({"arrow", 8, selected,
                       [](Session&, QRandomGenerator& g) { return QList<int>{int(g.bounded(4)), int(g.bounded(2))}; },
                       runArrow});
    actions.push_back({"orderKey", 4, selected, [](Session&, QRandomGenerator& g) { return oneOf(g, 4); }, runOrderKey});
    actions.push_back({"insertPoint", 3, editingPolygon,
                       [](Session&, QRandomGenerator& g) {
                           return QList<int>{int(g.bounded(12)), int(g.bounded(100)), int(g.bounded(20))};
                       },
                       runInsertPoint});
    actions.push_back({"removePoint", 3, editingPolygon,
                       [](Session&, QRandomGenerator& g) {
                           return QList<int>{int(g.bounded(12)), int(g.bounded(2)), int(g.bounded(20))};
                       },
                       runRemovePoint});
    actions.push_back({"addPointRight", 2, editingPolygon,
                       [](Session& s, QRandomGenerator& g) {
                           const QPoint p = randomPoint(s, g);
                           return QList<int>{p.x(), p.y(), int(g.bounded(20))};
                       },
                       runAddPointRight});
    actions.push_back({"mode", 6, [](Session& s) { return s.hasPicture(); },
                       [](Session&, QRandomGenerator& g) { return QList<int>{int(g.bounded(5)), int(g.bounded(2))}; }, runMode});
    actions.push_back({"zoom", 3, [](Session& s) { return s.hasPicture(); },
                       [](Session&, QRandomGenerator& g) { return oneOf(g, 4); }, runZoom});
    actions.push_back({"snap", 2, always, noParams, runSnap});
    actions.push_back({"grid", 1, [](Session& s) { return s.hasPicture(); },
                       [](Session&, QRandomGenerator& g) { return QList<int>{int(g.bounded(60)), int(g.bounded(2))}; },
                       runGrid});
    actions.push_back({"lineWidth", 1, [](Session& s) { return s.w().ui.Frame2->isEnabled(); },
                       [](Session&, QRandomGenerator& g) { return oneOf(g, 3); }, runLineWidth});
    actions.push_back({"fill", 1, [](Session& s) { return s.w().ui.chkGefuellt->isEnabled(); }, noParams, runFill});
    actions.push_back({"colour", 1, [](Session& s) { return s.w().ui.Frame1->isEnabled(); },
                       [](Session&, QRandomGenerator& g) {
                           return QList<int>{int(g.bounded(3)), int(g.bounded(200)), int(g.bounded(200))};
                       },
                       runColour});
}

} // namespace korvane::session
