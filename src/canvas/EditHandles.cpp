#include "canvas/EditHandles.h"

#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/DrawingSurface.h"
#include "canvas/MouseGrab.h"
#include "tools/EditTool.h"
#include "tools/ToolContext.h"
#include "document/MapDocument.h"
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

EditHandles::EditHandles(Canvas* canvas, AreaList& areas, DrawingSurface& surface, ToolContext& context, EditTool& tool,
                         QObject* parent)
    : QObject(parent), m_canvas(canvas), m_areas(areas), m_surface(surface), m_context(context), m_tool(tool),
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
    h->menu = [this, index](QPoint globalPos) { return m_context.pointMenu(index, globalPos); };
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
    const handles::Layout layout = handles::layoutOf(line);
    const handles::Coords c = handles::coordsOfLine(line);
    if (layout.shape == handles::Shape::Rect && c.at(3))
        m_surface.drawRectangle(QPoint(*c.at(0), *c.at(1)), QPoint(*c.at(2), *c.at(3)));
    if (layout.shape == handles::Shape::Poly)
        drawPolygonOutline(layout);
    if (layout.shape != handles::Shape::Other) {
        removeHandles();
        createHandles(layout);
    }
    if (layout.shape == handles::Shape::Circle && c.at(2))
        m_surface.drawCircle(QPoint(*c.at(0), *c.at(1)), std::abs(*c.at(2)), m_surface.penColor());
    anchor()->raise();
    m_surface.setDrawMode(mode);
    m_context.regenerate();
}

// Stroked as the redraw strokes the polygon, so that painting the area over
// it later leaves none of this outline behind (separate lines' caps reached
// past the corners).
void EditHandles::drawPolygonOutline(const handles::Layout& layout)
{
    QPolygon outline;
    for (qsizetype j = 1; j < layout.places.size(); ++j) {
        if (layout.places[j])
            outline << *layout.places[j];
    }
    if (outline.isEmpty())
        return;
    const FillStyle fill = m_surface.fillStyle();
    m_surface.setFillStyle(FillStyle::Transparent);
    m_surface.drawPolygon(outline);
    m_surface.setFillStyle(fill);
}

// A handle the line gives no place stays where the anchor is.
void EditHandles::createHandles(const handles::Layout& layout)
{
    const qsizetype n = layout.places.size() - 1;
    const bool painted = layout.shape == handles::Shape::Poly && n > kMostHandleWidgets;
    if (painted) {
        m_painted.clear();
        m_painted.reserve(n);
        for (qsizetype j = 1; j <= n; ++j)
            m_painted << *layout.places[j];
        updatePainted();
    }
    for (qsizetype j = 1; j <= n && !painted; ++j) {
        HandleWidget* h = createHandle(layout.aligns[j]);
        if (layout.places[j])
            h->setPlace(*layout.places[j]);
    }
    if (layout.shape == handles::Shape::Rect) {
        m_handles[2]->hide();
        m_handles[3]->hide();
    }
    if (layout.shape == handles::Shape::Circle)
        m_handles[1]->setColor(kAnchorGreen);
    if (!layout.anchorShown)
        return;
    anchor()->setAlign(layout.aligns[0]);
    if (layout.places[0])
        anchor()->setPlace(*layout.places[0]);
    anchor()->show();
}

QList<QPoint> EditHandles::places() const
{
    QList<QPoint> all;
    all.reserve(count());
    for (int i = 0; i < count(); ++i)
        all << placeOf(i);
    return all;
}

QList<int> EditHandles::aligns() const
{
    QList<int> all;
    all.reserve(count());
    for (int i = 0; i < count(); ++i)
        all << alignOf(i);
    return all;
}

// The handles go where a drag put them; the one held comes to the front.
void EditHandles::showPlaces(const QList<QPoint>& places, int held)
{
    for (qsizetype i = 0; i < m_handles.size() && i < places.size(); ++i) {
        if (m_handles[i]->place() != places[i])
            m_handles[i]->setPlace(places[i]);
    }
    if (paintsPoints() && places.size() == m_painted.size() + 1) {
        qsizetype changed = 0, last = -1;
        for (qsizetype j = 0; j < m_painted.size(); ++j) {
            if (m_painted[j] != places[j + 1]) {
                ++changed;
                last = j;
            }
        }
        if (changed == 1) {
            setPlaceOf(int(last) + 1, places[last + 1]);
        } else if (changed > 1) {
            updatePainted();
            std::copy(places.begin() + 1, places.end(), m_painted.begin());
            updatePainted();
        }
    }
    if (HandleWidget* h = handle(held))
        h->raise();
}

void EditHandles::neue_koordinaten_to_listbox(int index)
{
    const QString line = m_areas.line(index);
    if (line.isEmpty())
        return;
    // The canvas is not cleared here: every caller redraws it completely
    // right after, which removes the old outline just the same.
    const std::optional<QList<int>> values = handles::coordinatesOf(handles::shapeOf(line), places());
    if (values)
        m_areas.replace(index, entry::withCoords(line, entry::coordinateText(*values)));
}

void EditHandles::addPointHandle(QPoint place)
{
    if (paintsPoints()) {
        m_painted << place;
        m_canvas->update(paintedRect(place));
    } else {
        createHandle(0)->setPlace(place);
    }
}

// The list would repaint its rewritten line on every move; it is held still
// for the drag, and the pressed handle keeps the pointer until release.
void EditHandles::onPressed(int index, Qt::MouseButton button)
{
    // A second button pressed while one is held starts nothing: the drag's
    // line before it would be lost to the history.
    if (m_tool.handleHeld())
        return;
    m_dragButton = button;
    m_tool.pressHandle(index);
    m_pressedHandle = index;
    if (HandleWidget* h = handle(index))
        grabPointer(h);
}

void EditHandles::onReleased(int index)
{
    if (HandleWidget* h = handle(index))
        releasePointer(h);
    m_pressedHandle = -1;
    m_tool.finishHandle();
}

bool EditHandles::isDragging() const
{
    return m_tool.handleHeld();
}

void EditHandles::endDrag()
{
    if (!m_tool.handleHeld())
        return;
    letGo();
    m_tool.finishHandle();
}

void EditHandles::letGo()
{
    if (HandleWidget* h = handle(m_pressedHandle))
        releasePointer(h);
    m_pressedHandle = -1;
}

// Nothing recorded: the area is shown from its line again.
void EditHandles::dropDrag()
{
    if (!m_tool.handleHeld())
        return;
    letGo();
    m_tool.dropHandle();
}

// The handle's top-left corner follows the pointer's picture pixel; at 100 %
// a fraction of a pixel truncates toward the handle.
void EditHandles::onMoved(int index, Qt::MouseButtons buttons, QPointF position)
{
    HandleWidget* h = handle(index);
    if (buttons != Qt::LeftButton || !h || !m_tool.handleHeld())
        return;
    const QPointF pointer = m_canvas->toPicture(QPointF(h->pos()) + position);
    const QPoint place = h->place();
    m_tool.dragHandle(index, place + QPoint(int(std::trunc(pointer.x() - place.x())),
                                            int(std::trunc(pointer.y() - place.y()))));
}

QString EditHandles::selectedShape() const
{
    return entry::shapeName(m_areas.line(m_context.document().selectedRow()));
}

QString EditHandles::moveArea(int dx, int dy)
{
    const int row = m_context.document().selectedRow();
    const QString line = m_areas.line(row);
    const AreaGeometry shape = parseArea(line);
    if (!shape.drawable() || m_tool.handleHeld())
        return {};
    // A key never takes the area further out than it already is.
    const QRect extent = shape.bounds;
    const QSize picture = m_canvas->pictureSize();
    dx = std::clamp(dx, std::min(0, -extent.left()), std::max(0, picture.width() - extent.right()));
    dy = std::clamp(dy, std::min(0, -extent.top()), std::max(0, picture.height() - extent.bottom()));
    if (dx == 0 && dy == 0)
        return {};
    const handles::Coords c = handles::coordsOfLine(line);
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
