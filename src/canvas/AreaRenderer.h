#pragma once

#include "canvas/AreaGeometry.h"
#include "canvas/Damage.h"

#include <QBitArray>
#include <QObject>
#include <QRegion>
#include <QVector>

namespace korvane {

class AreaList;
class ImageSurface;

// Draws the areas of the list onto the canvas buffer. It keeps the parsed
// shape of every line, follows the list's signals, and on a complete redraw
// repaints only the parts that changed since the last one when it can; the
// result is the same picture a redraw from scratch gives.
class AreaRenderer : public QObject {
    Q_OBJECT
public:
    AreaRenderer(const AreaList& areas, ImageSurface& surface, QObject* parent = nullptr);
    ~AreaRenderer() override;

    // The colour of circles (the drawing colour swatch).
    void setCircleColor(const QColor& color) { m_circleColor = color; }
    QColor circleColor() const { return m_circleColor; }
    // Off: every complete redraw starts from scratch (used to check the fast path).
    void setIncremental(bool on) { m_incremental = on; }

    // skip < 0: clear and draw every area; skip >= 0: draw every other area
    // over the canvas as it is. Draws by plain copying.
    void redraw(int skip);
    const AreaGeometry& geometry(int row) const;
    // The parsed shape of every line, in list order.
    const QVector<AreaGeometry>& shapes() const { return m_shapes; }
    // The area a browser follows at the point (picture pixels), -1 when none.
    int areaAt(QPointF point) const;
    // These rows are left out of every drawing from now on (areas shown on the
    // canvas's overlay while they are dragged); none again with an empty list.
    // The next redraw updates their places.
    void setHidden(const QList<int>& rows);
    // Row `row` drawn as `line` instead of its own line (a drag's preview);
    // the next redraw shows it. endPreview(): drawn from the list again.
    void showPreview(int row, const QString& line);
    void endPreview();
    // How the last complete redraw was done (for tests and measurements).
    bool lastRedrawWasPartial() const { return m_lastPartial; }

private:
    struct Style {
        QColor pen, circle, fill;
        int fillStyle = 0;
        int width = 0;
        bool operator==(const Style&) const = default;
    };
    Style currentStyle() const;
    QRect damageOf(const AreaGeometry& area) const;
    void addPending(const AreaGeometry& area);
    void appendParsed(int first, int last);
    void reparse(int row);
    void forgetHidden();
    bool hidden(int row) const { return row < m_hidden.size() && m_hidden.testBit(row); }
    void rebuild();
    void redrawAll();
    void redrawDamaged(const Damage& damage);
    void drawAllExcept(int skip);
    void drawOthersWhereChanged(int skip);
    void drawOthers(int skip, const Damage& only);
    void logAllAreas();
    void paintAreas(DrawingSurface& target, int skip, int only, const QColor& circleColor, const QRectF& visible) const;

    const AreaList& m_areas;
    ImageSurface& m_surface;
    QVector<AreaGeometry> m_shapes;
    Damage m_pending; // where areas changed since the last complete redraw
    int m_pendingAreas = 0;
    int m_previewRow = -1;
    QList<int> m_hiddenRows;
    QBitArray m_hidden; // empty while none is hidden
    bool m_needFull = true;
    bool m_incremental = true;
    bool m_lastPartial = false;
    Style m_cleanStyle;
    QColor m_circleColor = Qt::red;
};

} // namespace korvane
