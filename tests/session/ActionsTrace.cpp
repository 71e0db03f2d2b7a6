// "Umriss": a click into a region of the picture makes its outline a polygon
// (the link dialog asked as for any shape), every region of a colour in one
// step from the canvas's menu, the tolerance by its keys. The pictures are
// stripes 20 pixels wide, full height, of a tint on white: with a tolerance
// below the tint's difference from white a region is one stripe, above it
// the whole picture.
#include "session/Catalogue.h"
#include "session/Helpers.h"

#include "app/MainWindow.h"
#include "app/TraceControls.h"
#include "canvas/Canvas.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "tools/TraceTool.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPolygonF>
#include <QTest>

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

TraceControls* traceControls(Session& s)
{
    return s.w().findChild<TraceControls*>();
}

bool canTrace(Session& s)
{
    const QAction* entry = s.w().findChild<QAction*>(QStringLiteral("actUmriss"));
    return s.hasPicture() && entry && entry->isEnabled() && traceControls(s);
}

// The tool chosen as its key chooses it.
void chooseTrace(Session& s)
{
    if (s.w().session().chosenOption() != ChosenOption::Trace)
        s.windowKey(Qt::Key_5, Qt::ControlModifier);
}

// The middle of stripe `column` (even: the tint, odd: white), at height `y`.
QPoint stripePoint(Session& s, int column, int y)
{
    const QSize size = s.pictureSize();
    const int columns = std::max(1, size.width() / 20);
    return QPoint(wrap(column, columns) * 20 + 10, wrap(y, std::max(1, size.height())));
}

// The region a click at `point` takes on the first picture (400 x 300)
// while the tolerance keeps the stripes apart: its stripe, full height; the
// whole picture once it takes the tint and white together. Nothing where
// it cannot be told (the second picture's transparent parts, a tolerance
// near the difference).
std::optional<QRect> expectedRegion(Session& s, QPoint point, int tolerance)
{
    if (s.pictureSize() != QSize(400, 300))
        return std::nullopt;
    constexpr int kTintDifference = 85; // the first picture's tint (170, 200, 255) against white
    if (tolerance >= kTintDifference + 8)
        return QRect(QPoint(0, 0), s.pictureSize());
    if (tolerance >= kTintDifference - 8)
        return std::nullopt;
    return QRect(point.x() / 20 * 20, 0, 20, s.pictureSize().height());
}

// A traced polygon: its extent holds the clicked point and is the region's (within
// a pixel, where the region is known).
bool tracedRight(const QString& line, std::optional<QPoint> clicked, const std::optional<QRect>& region, QString* why)
{
    const browser::AreaShape shape = browser::areaShape(entry::shapeOf(line), entry::coordsOf(line));
    if (shape.kind != browser::Shape::Poly || shape.empty) {
        *why = QStringLiteral("no polygon");
        return false;
    }
    QPolygonF polygon;
    for (qsizetype i = 0; i + 1 < shape.c.size(); i += 2)
        polygon << QPointF(shape.c[i], shape.c[i + 1]);
    // The outline runs through the region's outer pixels: a click there lies on its edge.
    if (clicked && !polygon.boundingRect().adjusted(-0.5, -0.5, 0.5, 0.5).contains(QPointF(*clicked))) {
        *why = QStringLiteral("the clicked point (%1, %2) is outside").arg(clicked->x()).arg(clicked->y());
        return false;
    }
    if (!region)
        return true;
    const QRectF box = polygon.boundingRect();
    const QRectF want(*region);
    const bool near = std::abs(box.left() - want.left()) <= 1 && std::abs(box.top() - want.top()) <= 1 &&
                      std::abs(box.right() - want.right()) <= 1 && std::abs(box.bottom() - want.bottom()) <= 1;
    if (!near)
        *why = QStringLiteral("its extent (%1, %2)-(%3, %4) is not the region's (%5, %6)-(%7, %8)")
                   .arg(box.left())
                   .arg(box.top())
                   .arg(box.right())
                   .arg(box.bottom())
                   .arg(want.left())
                   .arg(want.top())
                   .arg(want.right())
                   .arg(want.bottom());
    return near;
}

// A click into a stripe: its outline, as the link dialog leaves it.
void runTrace(Session& s, const QList<int>& p)
{
    chooseTrace(s);
    TraceControls* controls = traceControls(s);
    if (s.w().session().chosenOption() != ChosenOption::Trace) {
        s.fail(QStringLiteral("trace"), QStringLiteral("Ctrl+5 did not choose Umriss"));
        return;
    }
    const QPoint point = stripePoint(s, at(p, 0), at(p, 1));
    const AttributeInput& input = attributeInput(at(p, 2));
    const DialogEnd end = DialogEnd(wrap(at(p, 3), 3));
    const int tolerance = controls->tool().tolerance();
    // Snapping may take the click to a target nearby, in another stripe.
    const bool snapping = s.w().state().snapOn;
    const QStringList before = s.model().lines();
    const std::optional<QRect> region = snapping ? std::nullopt : expectedRegion(s, point, tolerance);
    const bool whole = region && region->size() == s.pictureSize();
    if (!whole)
        answerAttributeDialog(s, input, end);
    Canvas* canvas = s.w().ui.Picture1;
    const QPoint where = s.onCanvas(point) + QPoint(1, 1) * int(canvas->zoomFactor() / 2);
    QTest::mouseMove(canvas, where);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, where);
    if (!s.modals().shown.contains(QStringLiteral("frmVerweis"))) {
        // A region that is the whole picture makes no area, and says so.
        s.modals().clear();
        const QString told = QStringLiteral("Die Fläche bei x=%1, y=%2 nimmt das ganze Bild ein und ergibt kein Areal. "
                                            "Eine geringere Toleranz grenzt sie enger ab.")
                                 .arg(point.x())
                                 .arg(point.y());
        if (region && !whole)
            s.fail(QStringLiteral("trace"), QStringLiteral("no link dialog for the outline at (%1, %2)").arg(point.x()).arg(point.y()));
        else if (s.expectEqual(QStringLiteral("trace-whole"), s.platform().boxes.value(0).text.left(region ? -1 : 20),
                               told.left(region ? -1 : 20)))
            s.expectLines(QStringLiteral("trace-whole"), before);
        return;
    }
    if (whole) {
        s.fail(QStringLiteral("trace"), QStringLiteral("the whole picture made an area"));
        return;
    }
    const QStringList after = observed(s);
    if (end != DialogEnd::Accept) {
        s.expectLines(QStringLiteral("trace-cancelled"), before);
        return;
    }
    QString why;
    if (after.size() != before.size() + 1 || after.mid(0, before.size()) != before ||
        !sameButCoords(after.back(), drawnLine(QStringLiteral("poly"), coordsOf(after.back()), storedAttributes(input, true))) ||
        !tracedRight(after.back(), snapping ? std::nullopt : std::optional<QPoint>(point), region, &why)) {
        s.fail(QStringLiteral("trace"), QStringLiteral("a click at (%1, %2), tolerance %3, made:\n  %4\n%5")
                                            .arg(point.x())
                                            .arg(point.y())
                                            .arg(tolerance)
                                            .arg(after.mid(before.size()).join(QStringLiteral("\n  ")).left(600), why));
        return;
    }
    s.model().change(after);
}

// "Alle Regionen dieser Farbe" from the canvas's menu at a stripe: every
// stripe of that colour, one polygon each, in one step (one link dialog).
void runTraceColour(Session& s, const QList<int>& p)
{
    chooseTrace(s);
    TraceControls* controls = traceControls(s);
    if (s.w().session().chosenOption() != ChosenOption::Trace)
        return;
    const QPoint point = stripePoint(s, at(p, 0), at(p, 1));
    const AttributeInput& input = attributeInput(at(p, 2));
    const DialogEnd end = DialogEnd(wrap(at(p, 3), 3));
    const int tolerance = controls->tool().tolerance();
    const QStringList before = s.model().lines();
    s.modals().expect([](QWidget* shown) {
        auto* menu = qobject_cast<QMenu*>(shown);
        for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
            if (a->objectName() == QLatin1String("actAlleRegionen") && a->isEnabled()) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        shown->close();
    });
    const std::optional<QRect> region = expectedRegion(s, point, tolerance);
    const bool whole = region && region->size() == s.pictureSize();
    if (!whole)
        answerAttributeDialog(s, input, end);
    Canvas* canvas = s.w().ui.Picture1;
    const QPoint where = s.onCanvas(point) + QPoint(1, 1) * int(canvas->zoomFactor() / 2);
    // A right click, as the window system gives it: the press, the menu, the release.
    QTest::mouseMove(canvas, where);
    QTest::mousePress(canvas, Qt::RightButton, {}, where);
    QContextMenuEvent request(QContextMenuEvent::Mouse, where, canvas->mapToGlobal(where));
    QApplication::sendEvent(canvas, &request);
    QTest::mouseRelease(canvas, Qt::RightButton, {}, where);
    s.activate();
    const QStringList after = observed(s);
    if (!s.modals().shown.contains(QStringLiteral("frmVerweis"))) {
        // No region of the colour makes an area: the whole picture is one.
        s.modals().clear();
        if (region && !whole)
            s.fail(QStringLiteral("trace-colour"), QStringLiteral("no link dialog for the regions"));
        else if (whole)
            s.expectEqual(QStringLiteral("trace-colour-whole"), s.platform().boxes.value(0).text,
                          QStringLiteral("Keine Fläche in der Farbe bei x=%1, y=%2 ergibt ein Areal: jede ist zu klein "
                                         "oder nimmt das ganze Bild ein.")
                              .arg(point.x())
                              .arg(point.y()));
        s.expectLines(QStringLiteral("trace-colour-whole"), before);
        return;
    }
    if (end != DialogEnd::Accept) {
        s.expectLines(QStringLiteral("trace-colour-cancelled"), before);
        return;
    }
    const QStringList made = after.mid(before.size());
    // On the first picture: ten stripes of each colour, or the whole picture.
    const qsizetype expected = !region ? -1 : 10;
    bool right = after.mid(0, before.size()) == before && !made.isEmpty() && (expected < 0 || made.size() == expected);
    QString why;
    for (const QString& line : made) {
        if (!right)
            break;
        const QPoint middle = extentOf(line).value_or(QRect()).center();
        const QPoint inStripe(middle.x() / 20 * 20 + 10, middle.y());
        right = sameButCoords(line, drawnLine(QStringLiteral("poly"), coordsOf(line), storedAttributes(input, true))) &&
                tracedRight(line, region && region->width() == 20 ? inStripe : middle,
                            region ? expectedRegion(s, inStripe, tolerance) : std::nullopt, &why);
    }
    if (!right) {
        s.fail(QStringLiteral("trace-colour"), QStringLiteral("every region of the colour at (%1, %2), tolerance %3: "
                                                              "%4 areas, %5 expected\n  %6\n%7")
                                                   .arg(point.x())
                                                   .arg(point.y())
                                                   .arg(tolerance)
                                                   .arg(made.size())
                                                   .arg(expected)
                                                   .arg(made.join(QStringLiteral("\n  ")).left(600), why));
        return;
    }
    s.model().change(after);
}

// "+" and "-" over the canvas step the tolerance by 4, within 0 to 255.
void runTraceTolerance(Session& s, const QList<int>& p)
{
    chooseTrace(s);
    TraceControls* controls = traceControls(s);
    if (s.w().session().chosenOption() != ChosenOption::Trace)
        return;
    const bool more = at(p, 0) % 2 == 0;
    const int times = 1 + wrap(at(p, 1), 8);
    const int before = controls->tool().tolerance();
    s.focusCanvas();
    Canvas* canvas = s.w().ui.Picture1;
    QTest::mouseMove(canvas, s.onCanvas(stripePoint(s, 0, 10)));
    for (int i = 0; i < times; ++i)
        QTest::keyClick(canvas, more ? Qt::Key_Plus : Qt::Key_Minus);
    const int expected = std::clamp(before + (more ? 1 : -1) * times * TraceTool::kToleranceStep,
                                    TraceTool::kSmallestTolerance, TraceTool::kLargestTolerance);
    if (controls->tool().tolerance() != expected)
        s.fail(QStringLiteral("trace-tolerance"), QStringLiteral("tolerance %1 after %2 times %3: %4, not %5")
                                                      .arg(before)
                                                      .arg(times)
                                                      .arg(more ? QStringLiteral("+") : QStringLiteral("-"))
                                                      .arg(controls->tool().tolerance())
                                                      .arg(expected));
    s.expectLines(QStringLiteral("trace-tolerance"), s.model().lines());
}

QList<int> generateTrace(Session&, QRandomGenerator& g)
{
    return {int(g.bounded(20)), int(g.bounded(300)), int(g.bounded(attributeInputCount())), g.bounded(4) == 0 ? 0 : 1};
}

} // namespace

void addTraceActions(std::vector<Action>& actions)
{
    actions.push_back({"trace", 4, canTrace, generateTrace, runTrace});
    actions.push_back({"traceColour", 1, canTrace, generateTrace, runTraceColour});
    actions.push_back({"traceTolerance", 1, canTrace,
                       [](Session&, QRandomGenerator& g) { return QList<int>{int(g.bounded(2)), int(g.bounded(8))}; },
                       runTraceTolerance});
}

} // namespace korvane::session
