#include "canvas/AreaRenderer.h"

#include "canvas/HitTest.h"
#include "canvas/ImageSurface.h"
#include "model/AreaList.h"
#include "model/PageFaults.h"
#include "model/SecondThread.h"

#include <thread>

namespace korvane {

namespace {

// The pages of [begin, begin + bytes) faulted in at once, half on a second
// thread.
void faultInOnTwoThreads(char* begin, size_t bytes)
{
    std::thread second = onSecondThread([begin, bytes] { faultInPages(begin + bytes / 2, bytes - bytes / 2); });
    faultInPages(begin, bytes / 2);
    if (second.joinable())
        second.join();
}

// Past this many changed areas the next complete redraw starts from scratch
// (an import of thousands of lines): gathering them costs more than it saves.
constexpr int kPendingAreaLimit = 20'000;

// The complete redraw after opening a million areas: nothing but the drawing in the loop.
void drawEvery(DrawingSurface& surface, const QVector<AreaGeometry>& shapes, const QBitArray& hidden, int skip,
               const QColor& circleColor)
{
    const int count = int(shapes.size());
    for (int i = 0; i < count; ++i) {
        if (i != skip && !(i < hidden.size() && hidden.testBit(i)))
            drawArea(surface, shapes[i], circleColor);
    }
}

} // namespace

AreaRenderer::AreaRenderer(const AreaList& areas, ImageSurface& surface, QObject* parent)
    : QObject(parent), m_areas(areas), m_surface(surface)
{
    rebuild();
    connect(&areas, &AreaList::dataChanged, this, [this](const QModelIndex& top, const QModelIndex& bottom) {
        // A combined change names its rows: the others in its range stay.
        if (!m_areas.changedRows().isEmpty()) {
            for (int row : m_areas.changedRows())
                reparse(row);
            return;
        }
        for (int row = top.row(); row <= bottom.row(); ++row)
            reparse(row);
    });
    connect(&areas, &AreaList::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        forgetHidden();
        if (first == m_shapes.size()) { // an import appends a million at once
            appendParsed(first, last);
            return;
        }
        QString room;
        for (int row = first; row <= last; ++row) {
            AreaGeometry shape = m_areas.lines().withLine(row, room, [](auto line) { return parseArea(line); });
            if (row == m_shapes.size())
                m_shapes.append(std::move(shape));
            else
                m_shapes.insert(row, std::move(shape));
            addPending(m_shapes.at(row));
        }
    });
    connect(&areas, &AreaList::rowsRemoved, this, [this](const QModelIndex&, int first, int last) {
        forgetHidden();
        for (int row = last; row >= first && row < m_shapes.size(); --row) {
            addPending(m_shapes[row]);
            m_shapes.removeAt(row);
        }
    });
    connect(&areas, &AreaList::modelReset, this, &AreaRenderer::rebuild);
    connect(&areas, &AreaList::layoutChanged, this, &AreaRenderer::rebuild);
    m_surface.setAreaPainter([this](DrawingSurface& target, int skip, int only, const QColor& circleColor,
                                    const QRectF& visible) { paintAreas(target, skip, only, circleColor, visible); });
}

// Many lines are parsed on two threads, each into its own half of the room
// made for them: the lines are only read meanwhile.
void AreaRenderer::appendParsed(int first, int last)
{
    constexpr int kTwoThreadsFrom = 50'000;
    const int count = last - first + 1;
    const bool twoThreads = count >= kTwoThreadsFrom;
    m_shapes.reserve(m_shapes.size() + count);
    if (twoThreads) // the fresh pages are faulted in on both threads, not one by one as they are filled
        faultInOnTwoThreads(reinterpret_cast<char*>(m_shapes.data() + m_shapes.size()), count * sizeof(AreaGeometry));
    m_shapes.resize(m_shapes.size() + count);
    AreaGeometry* const out = m_shapes.data() + first;
    const AreaLines& lines = m_areas.lines();
    const auto parseRows = [&lines, out, first](int from, int to) {
        QString room;
        for (int row = from; row < to; ++row)
            out[row - first] = lines.withLine(row, room, [](auto line) { return parseArea(line); });
    };
    const int split = twoThreads ? first + count / 2 : last + 1;
    std::thread second;
    if (split <= last)
        second = onSecondThread([&parseRows, split, last] { parseRows(split, last + 1); });
    parseRows(first, split);
    if (second.joinable())
        second.join();
    for (int row = first; row <= last; ++row)
        addPending(m_shapes.at(row));
}

AreaRenderer::~AreaRenderer()
{
    m_surface.setAreaPainter({});
}

int AreaRenderer::areaAt(QPointF point) const
{
    return korvane::areaAt(m_shapes, point);
}

void AreaRenderer::setHidden(const QList<int>& rows)
{
    for (int row : std::as_const(m_hiddenRows))
        addPending(geometry(row));
    m_hiddenRows.clear();
    m_hidden.clear();
    for (int row : rows) {
        if (row < 0 || row >= m_shapes.size())
            continue;
        if (m_hidden.isEmpty())
            m_hidden.resize(m_shapes.size());
        m_hidden.setBit(row);
        m_hiddenRows << row;
        addPending(m_shapes[row]);
    }
}

void AreaRenderer::showPreview(int row, const QString& line)
{
    if (row < 0 || row >= m_shapes.size())
        return;
    if (m_previewRow != row)
        endPreview();
    m_previewRow = row;
    addPending(m_shapes[row]);
    m_shapes[row] = parseArea(line);
    addPending(m_shapes[row]);
}

void AreaRenderer::endPreview()
{
    if (m_previewRow >= 0)
        reparse(std::exchange(m_previewRow, -1));
}

// Rows came or went: the hidden ones are no longer known by their numbers,
// so all are shown again and the next redraw starts from scratch.
void AreaRenderer::forgetHidden()
{
    if (m_hiddenRows.isEmpty())
        return;
    m_hiddenRows.clear();
    m_hidden.clear();
    m_needFull = true;
}

void AreaRenderer::rebuild()
{
    m_hiddenRows.clear();
    m_hidden.clear();
    m_shapes.clear();
    m_shapes.reserve(m_areas.count());
    QString room;
    for (int row = 0; row < m_areas.count(); ++row)
        m_shapes.append(m_areas.lines().withLine(row, room, [](auto line) { return parseArea(line); }));
    m_needFull = true;
    m_pending.clear();
    m_pendingAreas = 0;
}

void AreaRenderer::reparse(int row)
{
    if (row < 0 || row >= m_shapes.size())
        return;
    addPending(m_shapes[row]);
    m_shapes[row] = parseArea(m_areas.line(row));
    addPending(m_shapes[row]);
}

const AreaGeometry& AreaRenderer::geometry(int row) const
{
    static const AreaGeometry none;
    return row >= 0 && row < m_shapes.size() ? m_shapes[row] : none;
}

AreaRenderer::Style AreaRenderer::currentStyle() const
{
    return {m_surface.penColor(), m_circleColor, m_surface.fillColor(), static_cast<int>(m_surface.fillStyle()),
            m_surface.lineWidth()};
}

void AreaRenderer::addPending(const AreaGeometry& area)
{
    if (m_needFull)
        return;
    m_pending.add(damageOf(area));
    if (++m_pendingAreas > kPendingAreaLimit) {
        m_needFull = true;
        m_pending.clear();
        m_pendingAreas = 0;
    }
}

QRect AreaRenderer::damageOf(const AreaGeometry& area) const
{
    if (!area.drawable())
        return {};
    // A sharp corner's mitre reaches up to twice the line width past its point.
    const int margin = 2 * m_surface.lineWidth() + 2;
    return area.bounds.adjusted(-margin, -margin, margin, margin) & QRect(QPoint(0, 0), m_surface.size());
}

void AreaRenderer::redraw(int skip)
{
    const DrawMode mode = m_surface.drawMode();
    m_surface.setDrawMode(DrawMode::Copy);
    if (skip >= 0) {
        drawAllExcept(skip);
    } else {
        Damage damage = m_surface.dirty();
        damage.add(m_pending);
        const qint64 damagedArea = damage.area();
        const qint64 imageArea = qint64(m_surface.size().width()) * m_surface.size().height();
        // Past half the picture a redraw from scratch is as quick.
        // A buffer not made yet is owed the whole drawing again: nothing to mend.
        const bool partial = m_incremental && !m_needFull && m_surface.isClean() && currentStyle() == m_cleanStyle &&
                             damagedArea * 2 < imageArea && !m_surface.owesBuffer();
        if (partial)
            redrawDamaged(damage);
        else
            redrawAll();
        m_lastPartial = partial;
    }
    m_surface.setDrawMode(mode);
}

void AreaRenderer::redrawAll()
{
    m_surface.clear();
    m_surface.setQuiet(true);
    // A buffer not made yet gets the areas as they are now once it is made.
    m_surface.drawWhenMade([shapes = m_shapes, hidden = m_hidden, circle = m_circleColor](ImageSurface& surface) {
        drawEvery(surface, shapes, hidden, -1, circle);
    });
    m_surface.setQuiet(false);
    m_surface.markClean();
    logAllAreas();
    m_surface.notify(QRect(QPoint(0, 0), m_surface.size()));
    m_cleanStyle = currentStyle();
    m_needFull = false;
    m_pending.clear();
    m_pendingAreas = 0;
}

// Copies the picture back where something changed and draws, clipped to
// those parts, every area that reaches into them, in list order.
void AreaRenderer::redrawDamaged(const Damage& damage)
{
    m_pending.clear();
    m_pendingAreas = 0;
    logAllAreas();
    if (damage.isEmpty()) {
        m_surface.markClean();
        return;
    }
    m_surface.setQuiet(true);
    m_surface.restoreRegion(damage.region());
    drawOthers(-1, damage);
    m_surface.clearClip();
    m_surface.setQuiet(false);
    m_surface.markClean();
    m_surface.notify(damage.boundingRect());
}

// The other areas are painted over the canvas as it is. Over a clean canvas
// this changes nothing outside the skipped area, which is marked dirty.
void AreaRenderer::drawAllExcept(int skip)
{
    m_surface.setQuiet(true);
    if (m_incremental && !m_needFull && m_surface.isClean() && currentStyle() == m_cleanStyle)
        drawOthersWhereChanged(skip);
    else
        drawOthers(skip, Damage());
    m_surface.setQuiet(false);
    if (!(currentStyle() == m_cleanStyle))
        m_needFull = true;
    m_surface.addDirty(damageOf(geometry(skip)));
    m_surface.log().addAreas(skip, m_surface.style(m_surface.penColor()), m_circleColor);
    m_surface.notify(QRect(QPoint(0, 0), m_surface.size()));
}

// The buffer now shows the picture and every area, nothing else.
void AreaRenderer::logAllAreas()
{
    m_surface.log().resetToAreas(m_surface.style(m_surface.penColor()), m_circleColor);
}

// A canvas that shows all areas except in known places (drawn over since,
// lines changed since, the skipped area) can differ after painting the other
// areas over it only in those places: painting there alone gives the same picture.
void AreaRenderer::drawOthersWhereChanged(int skip)
{
    Damage places = m_surface.dirty();
    places.add(m_pending);
    places.add(damageOf(geometry(skip)));
    if (places.isEmpty())
        return;
    m_surface.flush(); // a painter that drew unclipped does not always take a clip
    m_surface.setClip(places.region());
    drawOthers(skip, places);
    m_surface.clearClip();
}

// Every area but `skip` (-1: none) in list order; with `only` set, just those
// reaching into it.
void AreaRenderer::drawOthers(int skip, const Damage& only)
{
    // Drawing through a clip of many rectangles is slow: then each area is
    // drawn once for every one of them it reaches, clipped to that one.
    if (only.isEmpty()) {
        drawEvery(m_surface, m_shapes, m_hidden, skip, m_circleColor);
        return;
    }
    const bool byParts = only.tiled();
    for (int i = 0; i < m_shapes.size(); ++i) {
        if (i == skip || hidden(i))
            continue;
        const QRect extent = damageOf(m_shapes[i]);
        if (!only.intersects(extent))
            continue;
        if (!byParts) {
            drawArea(m_surface, m_shapes[i], m_circleColor);
            continue;
        }
        for (const QRect& part : only.partsMeeting(extent)) {
            m_surface.setClip(QRegion(part));
            drawArea(m_surface, m_shapes[i], m_circleColor);
        }
    }
}

// The zoomed canvas draws the areas again at its scale; only those that
// reach into the visible part cost anything.
void AreaRenderer::paintAreas(DrawingSurface& target, int skip, int only, const QColor& circleColor,
                              const QRectF& visible) const
{
    if (only >= 0) {
        drawArea(target, geometry(only), circleColor);
        return;
    }
    const QRect box = visible.toAlignedRect();
    for (int i = 0; i < m_shapes.size(); ++i) {
        if (i != skip && !hidden(i) && m_shapes[i].bounds.intersects(box))
            drawArea(target, m_shapes[i], circleColor);
    }
}

} // namespace korvane
