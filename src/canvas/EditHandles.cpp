#include "canvas/EditHandles.h"

#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/DrawingSurface.h"
#include "canvas/MouseGrab.h"
#include "model/AreaEntry.h"
#include "model/AreaList.h"

#include <QCoreApplication>
#include <QLabel>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace korvane {

namespace {

const QColor kAnchorGreen(0, 255, 0);

// The handles' own pointer: an arrow whose hot spot is its tip in the
// top-left corner, so the pixel under the tip is the one that moves.
QCursor arrowCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    const QPoint arrow[] = {{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
    p.drawPolygon(arrow, 7);
    p.end();
    return QCursor(pixmap, 0, 0);
}

// The coordinates of a line as whole numbers; a missing one is nullopt.
struct Coords {
    QList<double> values;
    std::optional<int> at(int i) const
    {
        if (i < 0 || i >= values.size())
            return std::nullopt;
        return roundHalfEven(std::clamp(values[i], -10'000'000.0, 10'000'000.0));
    }
};

Coords coordsOfLine(const QString& line)
{
    const QString text = entry::coordsOf(line);
    if (text.trimmed().isEmpty())
        return {};
    return {entry::coordinateValues(text)};
}

} // namespace

HandleWidget::HandleWidget(int index, Canvas* canvas) : QWidget(canvas), m_canvas(canvas), m_index(index)
{
    setObjectName(QStringLiteral("lblPoint_%1").arg(index));
    setAccessibleName(index == 0 ? QCoreApplication::translate("korvane::EditHandles", "Ankerpunkt") : QCoreApplication::translate("korvane::EditHandles", "Ziehpunkt %1").arg(index));
    resize(EditHandles::kSize, EditHandles::kSize);
}

void HandleWidget::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void HandleWidget::setPlace(QPoint place)
{
    m_place = place;
    move(m_canvas->handlePosition(place, m_align));
}

void HandleWidget::setAlign(int align)
{
    m_align = align;
    setPlace(m_place);
}

void HandleWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
}

void HandleWidget::mousePressEvent(QMouseEvent* event)
{
    emit pressed(m_index, event->button(), exactPosition(this, event));
}

void HandleWidget::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(m_index, event->buttons(), exactPosition(this, event));
}

void HandleWidget::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(m_index, event->button(), exactPosition(this, event));
}

void HandleWidget::contextMenuEvent(QContextMenuEvent* event)
{
    if (menu && menu(event->globalPos()))
        event->accept();
    else
        event->ignore();
}

EditHandles::EditHandles(Canvas* canvas, AreaList& areas, DrawingSurface& surface, Host host, QObject* parent)
    : QObject(parent), m_canvas(canvas), m_areas(areas), m_surface(surface), m_host(std::move(host)),
      m_arrow(arrowCursor())
{
    // Label2 holds the handles' pointer; every new handle copies it from there.
    auto* holder = new QLabel(QStringLiteral("Label2-MousePointer"), canvas);
    holder->setObjectName(QStringLiteral("Label2"));
    holder->setCursor(m_arrow);
    holder->hide();
    m_pointerHolder = holder;
    HandleWidget* anchor = createHandle(0);
    anchor->setColor(kAnchorGreen);
    anchor->setCursor(Qt::SizeAllCursor);
    anchor->setPlace(-500, 0); // parked out of sight until an area is edited
    anchor->hide();
    connect(canvas, &Canvas::zoomChanged, this, [this] {
        for (HandleWidget* h : std::as_const(m_handles))
            h->followZoom();
    });
    canvas->setHandlePainter([this](QPainter& painter, const QRect& exposed) { paintPoints(painter, exposed); });
    // Lines added, removed or replaced all at once from outside the history
    // (a new map) leave the drag's row behind: it stops there, unrecorded.
    connect(&areas, &QAbstractItemModel::rowsAboutToBeInserted, this, &EditHandles::dropDrag);
    connect(&areas, &QAbstractItemModel::rowsAboutToBeRemoved, this, &EditHandles::dropDrag);
    connect(&areas, &QAbstractItemModel::rowsAboutToBeMoved, this, &EditHandles::dropDrag);
    connect(&areas, &QAbstractItemModel::modelAboutToBeReset, this, &EditHandles::dropDrag);
    connect(&areas, &QAbstractItemModel::layoutAboutToBeChanged, this, &EditHandles::dropDrag);
}

EditHandles::~EditHandles()
{
    m_canvas->setHandlePainter({});
}

// `align`: how far the handle's corner lies before the point it marks: 5 for
// the handle outside a rectangle's first corner, 2 for a centred one.
HandleWidget* EditHandles::createHandle(int align)
{
    const int index = count();
    auto* h = new HandleWidget(index, m_canvas);
    if (index > 0) {
        h->setAlign(align);
        h->setPlace(anchor()->place());
        h->setColor(m_handleColor);
        h->setCursor(m_pointerHolder->cursor());
    }
    connect(h, &HandleWidget::pressed, this, [this](int i, Qt::MouseButton b, QPointF) { onPressed(i, b); });
    // Only the button that began the drag ends it.
    connect(h, &HandleWidget::released, this, [this](int i, Qt::MouseButton b, QPointF) {
        if (b == m_dragButton)
            onReleased(i);
    });
    connect(h, &HandleWidget::moved, this, &EditHandles::onMoved);
    h->menu = [this, index](QPoint globalPos) { return m_host.handleMenu && m_host.handleMenu(index, globalPos); };
    m_handles.append(h);
    h->show();
    return h;
}

HandleWidget* EditHandles::handle(int index) const
{
    return index >= 0 && index < m_handles.size() ? m_handles[index] : nullptr;
}

QPoint EditHandles::placeOf(int index) const
{
    if (const HandleWidget* h = handle(index))
        return h->place();
    return index >= 1 && index <= m_painted.size() ? m_painted[index - 1] : QPoint();
}

void EditHandles::setPlaceOf(int index, QPoint place)
{
    if (HandleWidget* h = handle(index)) {
        h->setPlace(place);
    } else if (index >= 1 && index <= m_painted.size()) {
        m_canvas->update(paintedRect(m_painted[index - 1]));
        m_painted[index - 1] = place;
        m_canvas->update(paintedRect(place));
    }
}

int EditHandles::alignOf(int index) const
{
    const HandleWidget* h = handle(index);
    return h ? h->align() : 0;
}

// Every point handle (not the anchor) moved by `by`.
void EditHandles::translatePoints(QPoint by)
{
    for (int i = 1; i < m_handles.size(); ++i)
        m_handles[i]->setPlace(m_handles[i]->place() + by);
    if (paintsPoints() && !by.isNull()) {
        updatePainted();
        m_painted.translate(by);
        updatePainted();
    }
}

// A painted handle lies where a widget of it would: its corner at the place,
// at every zoom as big as at 100 %.
QRect EditHandles::paintedRect(QPoint place) const
{
    return QRect(m_canvas->handlePosition(place, 0), QSize(kSize, kSize));
}

void EditHandles::updatePainted()
{
    if (!paintsPoints())
        return;
    const QRect places = m_painted.boundingRect();
    m_canvas->update(paintedRect(places.topLeft()).united(paintedRect(places.bottomRight())));
}

void EditHandles::paintPoints(QPainter& painter, const QRect& exposed) const
{
    for (const QPoint& place : m_painted) {
        const QRect square = paintedRect(place);
        if (square.intersects(exposed))
            painter.fillRect(square, m_handleColor);
    }
}

// The last one lies on top, as the widget made last does.
int EditHandles::paintedHandleAt() const
{
    const std::optional<QPointF> pointer = m_canvas->pointerPosition();
    if (!paintsPoints() || !pointer)
        return -1;
    const QPoint at(int(std::floor(pointer->x())), int(std::floor(pointer->y())));
    for (qsizetype i = m_painted.size() - 1; i >= 0; --i) {
        if (paintedRect(m_painted[i]).contains(at))
            return int(i) + 1;
    }
    return -1;
}

void EditHandles::setHandleColor(const QColor& color)
{
    m_handleColor = color;
    for (int i = 1; i < m_handles.size(); ++i) {
        if (m_handles[i]->isVisible())
            m_handles[i]->setColor(color);
    }
    updatePainted();
}

void EditHandles::removeHandles()
{
    endDrag(); // the pressed handle's release would never come
    updatePainted();
    m_painted.clear();
    while (m_handles.size() > 1) {
        HandleWidget* h = m_handles.takeLast();
        releasePointer(h);
        h->hide();
        h->setObjectName(QString()); // its name belongs to the next handle of that number
        h->deleteLater();
    }
}

int EditHandles::vertexUnderPointer() const
{
    if (selectedShape() != QLatin1String("poly"))
        return -1;
    if (paintsPoints()) {
        const int index = paintedHandleAt();
        return index >= 1 ? index - 1 : -1;
    }
    for (int j = 1; j < count(); ++j) {
        if (m_handles[j]->isVisible() && m_handles[j]->underMouse())
            return j - 1;
    }
    return -1;
}

void EditHandles::hideAnchor()
{
    anchor()->hide();
}

void EditHandles::edit_zeichnen(int index)
{
    const DrawMode mode = m_surface.drawMode();
    m_surface.setDrawMode(DrawMode::Copy);
    hideAnchor();
    const QString line = m_areas.line(index);
    const QString shape = entry::shapeName(line);
    const Coords c = coordsOfLine(line);
    const int w = kSize;
    const int h = kSize;
    if (shape == QLatin1String("rect")) {
        if (c.at(3))
            m_surface.drawRectangle(QPoint(*c.at(0), *c.at(1)), QPoint(*c.at(2), *c.at(3)));
        removeHandles();
        for (int i = 1; i <= 4; ++i)
            createHandle(i == 1 ? w : 0);
        m_handles[2]->hide();
        m_handles[3]->hide();
        if (c.at(1))
            m_handles[1]->setPlace(*c.at(0) - w, *c.at(1) - h);
        anchor()->setAlign(w / 2);
        if (c.at(3)) {
            m_handles[4]->setPlace(*c.at(2), *c.at(3));
            const int x1 = *c.at(0), y1 = *c.at(1), x2 = *c.at(2), y2 = *c.at(3);
            anchor()->setPlace((x1 + (x2 - x1) / 2) - w / 2, (y1 + (y2 - y1) / 2) - h / 2);
        }
        anchor()->show();
    } else if (shape == QLatin1String("circle")) {
        removeHandles();
        createHandle(w / 2);
        createHandle(w / 2);
        m_handles[1]->setColor(kAnchorGreen);
        if (c.at(1))
            m_handles[1]->setPlace(*c.at(0) - w / 2, *c.at(1) - h / 2);
        if (c.at(2)) {
            m_handles[2]->setPlace((*c.at(0) + *c.at(2)) - w / 2, *c.at(1) - h / 2);
            m_surface.drawCircle(QPoint(*c.at(0), *c.at(1)), std::abs(*c.at(2)), m_surface.penColor());
        }
    } else if (shape == QLatin1String("poly")) {
        const int n = static_cast<int>(c.values.size()) / 2;
        QPolygon outline;
        for (int j = 0; j < n; ++j)
            outline << QPoint(*c.at(2 * j), *c.at(2 * j + 1));
        for (int j = 0; j + 1 < n; ++j)
            m_surface.drawLine(outline[j], outline[j + 1], m_surface.penColor());
        if (n > 0)
            m_surface.drawLine(outline.last(), outline.first(), m_surface.penColor());
        removeHandles();
        if (n > kMostHandleWidgets) {
            m_painted = outline;
            updatePainted();
        }
        int minX = 100000, minY = 100000, maxX = -100000, maxY = -100000;
        for (const QPoint& place : std::as_const(outline)) {
            if (!paintsPoints())
                createHandle(0)->setPlace(place);
            minX = std::min(minX, place.x());
            maxX = std::max(maxX, place.x());
            minY = std::min(minY, place.y());
            maxY = std::max(maxY, place.y());
        }
        // Without vertices the box is inverted and the middle comes out at (0, 0).
        anchor()->setAlign(0);
        anchor()->setPlace(minX + (maxX - minX) / 2, minY + (maxY - minY) / 2);
        anchor()->show();
    }
    anchor()->raise();
    m_surface.setDrawMode(mode);
    if (m_host.regenerate)
        m_host.regenerate();
}

void EditHandles::neue_koordinaten_to_listbox(int index)
{
    const QString line = m_areas.line(index);
    if (line.isEmpty())
        return;
    const QString shape = entry::shapeName(line);
    // The canvas is not cleared here: every caller redraws it completely
    // right after, which removes the old outline just the same.
    QList<int> values;
    if (shape == QLatin1String("poly")) {
        values.reserve(2 * (count() - 1));
        for (int j = 1; j < count(); ++j)
            values << placeOf(j).x() << placeOf(j).y();
    } else if (shape == QLatin1String("rect")) {
        if (m_handles.size() < 5)
            return;
        int l1 = m_handles[1]->place().x(), t1 = m_handles[1]->place().y();
        int l4 = m_handles[4]->place().x(), t4 = m_handles[4]->place().y();
        if (l1 > l4)
            SWAP(l1, l4);
        if (t1 > t4)
            SWAP(t1, t4);
        values << l1 + kSize << t1 + kSize << l4 << t4;
    } else if (shape == QLatin1String("circle")) {
        if (m_handles.size() < 3)
            return;
        const int l1 = m_handles[1]->place().x(), t1 = m_handles[1]->place().y();
        const int r = m_handles[2]->place().x() - l1;
        values << l1 + kSize / 2 << t1 + kSize / 2 << (r > 0 ? r : 1);
    } else {
        return;
    }
    m_areas.replace(index, entry::withCoords(line, entry::coordinateText(values)));
}

void EditHandles::addPolygonVertex(QPointF canvasPoint)
{
    const int index = m_host.selectedIndex();
    if (entry::shapeName(m_areas.line(index)) != QLatin1String("poly"))
        return;
    const QPoint place(roundHalfEven(canvasPoint.x()), roundHalfEven(canvasPoint.y()));
    if (paintsPoints()) {
        m_painted << place;
        m_canvas->update(paintedRect(place));
    } else {
        createHandle(0)->setPlace(place);
    }
    neue_koordinaten_to_listbox(index);
    m_host.redraw(-1, true);
}

void EditHandles::moveHandle(HandleWidget* handle, QPoint target)
{
    handle->raise();
    handle->setPlace(keptOnPicture(target));
}

QPoint EditHandles::keptOnPicture(QPoint target) const
{
    int left = target.x();
    int top = target.y();
    const QSize picture = m_canvas->pictureSize();
    if (left <= 0)
        left = 0;
    if (top <= 0)
        top = 0;
    if (top >= picture.height())
        top = picture.height() - kSize;
    if (left >= picture.width())
        left = picture.width() - kSize;
    return QPoint(left, top);
}

void EditHandles::moveHandleHorizontally(HandleWidget* handle, QPoint target)
{
    handle->setPlace(target.x(), handle->place().y());
    handle->raise();
}

// The list would repaint its rewritten line on every move; it is held still
// for the drag, and the pressed handle keeps the pointer until release.
void EditHandles::onPressed(int index, Qt::MouseButton button)
{
    // A second button pressed while one is held starts nothing: the drag's
    // line before it would be lost to the history.
    if (m_dragging)
        return;
    m_dragButton = button;
    startDrag(index);
    m_pressedHandle = index;
    if (HandleWidget* h = handle(index))
        grabPointer(h);
}

void EditHandles::startDrag(int index)
{
    m_dragging = true;
    m_dragRow = m_host.selectedIndex();
    m_lineBeforeDrag = m_areas.line(m_dragRow);
    m_dragStartPlace = placeOf(index);
    // The anchor and a circle's centre carry the whole area along.
    m_dragMovesWholeArea = index == 0 || (index == 1 && selectedShape() == QLatin1String("circle"));
    if (m_host.suspendListUpdates)
        m_host.suspendListUpdates(true);
}

void EditHandles::onReleased(int index)
{
    if (HandleWidget* h = handle(index))
        releasePointer(h);
    m_pressedHandle = -1;
    finishDrag();
}

void EditHandles::endDrag()
{
    if (!m_dragging)
        return;
    if (m_bodyHandle >= 0) {
        releaseBody();
        return;
    }
    onReleased(m_pressedHandle);
}

int EditHandles::cancelDrag()
{
    if (!m_dragging)
        return -1;
    const int row = m_dragRow;
    dropDrag();
    if (row >= 0 && row < m_areas.count() && m_areas.line(row) != m_lineBeforeDrag) {
        m_areas.replace(row, m_lineBeforeDrag);
        m_host.redraw(-1, true);
    }
    return row;
}

void EditHandles::dropDrag()
{
    if (!m_dragging)
        return;
    if (HandleWidget* h = handle(m_pressedHandle))
        releasePointer(h);
    m_pressedHandle = -1;
    m_bodyHandle = -1;
    m_dragging = false;
    if (m_host.suspendListUpdates)
        m_host.suspendListUpdates(false);
}

void EditHandles::finishDrag()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (m_host.suspendListUpdates)
        m_host.suspendListUpdates(false);
    m_host.redraw(-1, true);
    if (m_host.dragFinished)
        m_host.dragFinished(m_dragRow, m_lineBeforeDrag, m_dragMovesWholeArea);
}

QString EditHandles::selectedShape() const
{
    return entry::shapeName(m_areas.line(m_host.selectedIndex()));
}

// The handle's top-left corner follows the pointer's picture pixel; at 100 %
// a fraction of a pixel truncates toward the handle.
void EditHandles::onMoved(int index, Qt::MouseButtons buttons, QPointF position)
{
    HandleWidget* h = handle(index);
    if (buttons != Qt::LeftButton || !h || !m_dragging)
        return;
    const QPointF pointer = m_canvas->toPicture(QPointF(h->pos()) + position);
    const QPoint place = h->place();
    const QPoint target =
        place + QPoint(int(std::trunc(pointer.x() - place.x())), int(std::trunc(pointer.y() - place.y())));
    dragTo(index, snapped(index, target));
}

// A handle that carries the whole area snaps by the area's points; another
// one by the point it marks (a circle's radius handle along its line only).
QPoint EditHandles::snapped(int index, QPoint target) const
{
    if (m_dragMovesWholeArea) {
        if (!m_host.snapMove)
            return target;
        return m_dragStartPlace + m_host.snapMove(m_dragRow, m_lineBeforeDrag, target - m_dragStartPlace);
    }
    if (!m_host.snapPoint)
        return target;
    const QPoint align(alignOf(index), alignOf(index));
    const bool alongRadius = index == 2 && selectedShape() == QLatin1String("circle");
    const QPoint marked = alongRadius ? QPoint(target.x(), placeOf(index).y()) + align : target + align;
    // A handle stays on the picture (moveHandle()); the radius handle does not.
    const QRect reach = alongRadius ? QRect(QPoint(INT_MIN / 2, INT_MIN / 2), QPoint(INT_MAX / 2, INT_MAX / 2))
                                    : QRect(align, QSize(m_canvas->pictureSize()));
    const QPoint to = m_host.snapPoint(m_dragRow, marked, reach) - align;
    return alongRadius ? QPoint(to.x(), target.y()) : to;
}

void EditHandles::dragTo(int index, QPoint target)
{
    const QString shape = selectedShape();
    if (shape == QLatin1String("circle"))
        dragCircle(index, target);
    else if (shape == QLatin1String("rect"))
        dragRect(index, target);
    else if (shape == QLatin1String("poly"))
        dragPoly(index, target);
    m_host.redraw(-1, false);
}

void EditHandles::dragCircle(int index, QPoint target)
{
    if (m_handles.size() < 3)
        return;
    HandleWidget* centre = m_handles[1];
    HandleWidget* radius = m_handles[2];
    if (index == 1) {
        const int d = radius->place().x() - centre->place().x();
        moveHandle(centre, target);
        radius->setPlace(centre->place().x() + d, centre->place().y());
    } else if (index == 2) {
        moveHandleHorizontally(radius, target);
    } else {
        return;
    }
    neue_koordinaten_to_listbox(m_host.selectedIndex());
}

void EditHandles::recentreRectAnchor()
{
    const QPoint p1 = m_handles[1]->place(), p4 = m_handles[4]->place();
    anchor()->setPlace(p4.x() - (p4.x() - p1.x()) / 2 - kSize / 2, p4.y() - (p4.y() - p1.y()) / 2 - kSize / 2);
}

void EditHandles::dragRect(int index, QPoint target)
{
    if (m_handles.size() < 5)
        return;
    HandleWidget* a = anchor();
    HandleWidget* h1 = m_handles[1];
    HandleWidget* h4 = m_handles[4];
    if (index == 1 || index == 4) {
        moveHandle(m_handles[index], target);
        recentreRectAnchor();
    } else if (index == 0) {
        const QPoint before = a->place();
        const QPoint d1 = before - h1->place(), d4 = h4->place() - before;
        moveHandle(a, target);
        h1->setPlace(a->place() - d1);
        h4->setPlace(a->place() + d4);
    } else {
        return;
    }
    neue_koordinaten_to_listbox(m_host.selectedIndex());
}

// The anchor carries every point along by its own move.
void EditHandles::dragPoly(int index, QPoint target)
{
    if (index >= count())
        return;
    if (index >= 1 && paintsPoints()) {
        setPlaceOf(index, keptOnPicture(target));
    } else if (index >= 1) {
        moveHandle(m_handles[index], target);
    } else {
        HandleWidget* a = anchor();
        const QPoint before = a->place();
        moveHandle(a, target);
        translatePoints(a->place() - before);
    }
    neue_koordinaten_to_listbox(m_host.selectedIndex());
}

// The handle that carries the whole area: the anchor, a circle's centre.
int EditHandles::wholeAreaHandle() const
{
    const QString shape = selectedShape();
    if (shape == QLatin1String("circle"))
        return m_handles.size() >= 3 ? 1 : -1;
    if (shape == QLatin1String("rect"))
        return m_handles.size() >= 5 ? 0 : -1;
    return shape == QLatin1String("poly") ? 0 : -1;
}

void EditHandles::pressBody(QPointF picturePoint)
{
    m_bodyHandle = wholeAreaHandle();
    if (m_bodyHandle < 0)
        return;
    m_bodyStartPlace = m_handles[m_bodyHandle]->place();
    m_bodyStartPoint = picturePoint;
    m_bodyMoved = false;
    startDrag(m_bodyHandle);
}

// The area keeps its distance to the pointer instead of jumping under it.
void EditHandles::dragBody(Qt::MouseButtons buttons, QPointF picturePoint)
{
    if (m_bodyHandle < 0 || !m_dragging || buttons != Qt::LeftButton)
        return;
    const QPointF moved = picturePoint - m_bodyStartPoint;
    const QPoint target = m_bodyStartPlace + QPoint(int(std::trunc(moved.x())), int(std::trunc(moved.y())));
    if (!m_bodyMoved && target == m_bodyStartPlace)
        return; // a click's tremor within one picture pixel
    m_bodyMoved = true;
    dragTo(m_bodyHandle, snapped(m_bodyHandle, target));
}

void EditHandles::releaseBody()
{
    if (m_bodyHandle < 0)
        return;
    m_bodyHandle = -1;
    if (m_bodyMoved) {
        finishDrag();
        return;
    }
    // A click that did not move only chose the area: its highlight stays.
    m_dragging = false;
    if (m_host.suspendListUpdates)
        m_host.suspendListUpdates(false);
}

bool EditHandles::pressPainted(Qt::MouseButton button)
{
    const int index = paintedHandleAt();
    if (index < 0)
        return false;
    if (button == Qt::LeftButton && !m_dragging) {
        startDrag(index);
        m_pressedHandle = index;
    }
    return true;
}

void EditHandles::dragPainted(Qt::MouseButtons buttons, QPointF picturePoint)
{
    if (!paintsPoints() || m_pressedHandle < 1 || !m_dragging || buttons != Qt::LeftButton)
        return;
    const QPoint place = placeOf(m_pressedHandle);
    const QPoint target = place + QPoint(int(std::trunc(picturePoint.x() - place.x())),
                                         int(std::trunc(picturePoint.y() - place.y())));
    dragTo(m_pressedHandle, snapped(m_pressedHandle, target));
}

void EditHandles::releasePainted()
{
    if (paintsPoints() && m_pressedHandle >= 1 && m_dragging)
        onReleased(m_pressedHandle);
}

QString EditHandles::moveArea(int dx, int dy)
{
    const int row = m_host.selectedIndex();
    const QString line = m_areas.line(row);
    const AreaGeometry shape = parseArea(line);
    if (!shape.drawable() || m_dragging)
        return {};
    // A key never takes the area further out than it already is.
    const QRect extent = shape.bounds;
    const QSize picture = m_canvas->pictureSize();
    dx = std::clamp(dx, std::min(0, -extent.left()), std::max(0, picture.width() - extent.right()));
    dy = std::clamp(dy, std::min(0, -extent.top()), std::max(0, picture.height() - extent.bottom()));
    if (dx == 0 && dy == 0)
        return {};
    const Coords c = coordsOfLine(line);
    // The coordinates the shape is made of; a circle's radius stays.
    const qsizetype moving = shape.kind == AreaGeometry::Kind::Circle ? 2
                             : shape.kind == AreaGeometry::Kind::Rect ? 4
                                                                      : 2 * shape.points.size();
    QList<int> values;
    for (qsizetype i = 0; i < c.values.size(); ++i)
        values << *c.at(int(i)) + (i >= moving ? 0 : i % 2 == 0 ? dx : dy);
    anchor()->setPlace(anchor()->place() + QPoint(dx, dy));
    translatePoints(QPoint(dx, dy));
    m_areas.replace(row, entry::withCoords(line, entry::coordinateText(values)));
    return line;
}

} // namespace korvane
