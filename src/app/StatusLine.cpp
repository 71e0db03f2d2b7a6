#include "app/StatusLine.h"

#include "app/EditorSession.h"
#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/Zoom.h"
#include "model/AreaEntry.h"

#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <cmath>
#include <utility>

namespace korvane {

namespace {

// How long the line may lag behind the pointer: less than the eye notices.
constexpr int kFollowMs = 40;

} // namespace

StatusLine::StatusLine(QMainWindow& window, Canvas& canvas, EditorSession& session)
    : QObject(&window), m_canvas(canvas), m_session(session)
{
    QStatusBar* line = window.statusBar();
    line->setObjectName(QStringLiteral("statusLine"));
    m_hint = addLabel("lblStatusHinweis", false);
    m_pointer = addLabel("lblStatusPosition", true);
    m_selection = addLabel("lblStatusAuswahl", true);
    m_count = addLabel("lblStatusAreale", true);
    m_zoom = addLabel("lblStatusZoom", true);
    // The pointer and a drag change the line at every move: it follows them a
    // few times a second (a repaint of the line at each move made a drag
    // twice as costly).
    m_later.setSingleShot(true);
    m_later.setInterval(kFollowMs);
    connect(&m_later, &QTimer::timeout, this, &StatusLine::showMoves);
    connect(&canvas, &Canvas::mouseMoved, this, [this](QPointF at) {
        m_pointerAt = QPoint(roundHalfEven(at.x()), roundHalfEven(at.y()));
        followSoon();
    });
    // A new picture resets the zoom too; the hint then has a picture to draw on.
    connect(&canvas, &Canvas::zoomChanged, this, [this] {
        showZoom();
        showTool();
    });
    canvas.installEventFilter(this);
    connect(&session.tools(), &ToolManager::changed, this, &StatusLine::showTool);
    MapDocument& document = session.document();
    const AreaList* areas = &document.areas();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(areas, signal, this, [this] {
            showCount();
            showSelection();
        });
    connect(areas, &QAbstractItemModel::modelReset, this, [this] {
        showCount();
        showSelection();
    });
    connect(areas, &QAbstractItemModel::layoutChanged, this, &StatusLine::showSelection);
    // Only a change of the selected line is shown again (a drag rewrites it at every move).
    connect(areas, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& top, const QModelIndex& bottom) {
        const int row = m_session.document().selectedRow();
        if (row >= top.row() && row <= bottom.row()) {
            m_selectionMoved = true;
            followSoon();
        }
    });
    // A drag shows the area moved before the document takes it.
    connect(&session.preview(), &AreaPreview::changed, this, [this](int row) {
        if (row == m_session.document().selectedRow()) {
            m_selectionMoved = true;
            followSoon();
        }
    });
    QItemSelectionModel* selection = &document.selection();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &StatusLine::showSelection);
    connect(selection, &QItemSelectionModel::currentChanged, this, &StatusLine::showSelection);
    showTool();
    showCount();
    showZoom();
}

QLabel* StatusLine::addLabel(const char* name, bool permanent)
{
    auto* parent = static_cast<QMainWindow*>(this->parent());
    auto* label = new QLabel(parent->statusBar());
    label->setObjectName(QLatin1String(name));
    label->setContentsMargins(6, 0, 6, 0);
    if (permanent)
        parent->statusBar()->addPermanentWidget(label);
    else
        parent->statusBar()->addWidget(label, 1);
    return label;
}

QString StatusLine::pointerText(QPoint picturePixel)
{
    return tr("x %1, y %2").arg(picturePixel.x()).arg(picturePixel.y());
}

QString StatusLine::areaText(const QString& line)
{
    const AreaGeometry area = parseArea(line);
    const QRect& box = area.bounds;
    switch (area.kind) {
    case AreaGeometry::Kind::Rect:
        return tr("Rechteck: x %1, y %2, %3 × %4")
            .arg(std::min(area.corner1.x(), area.corner2.x()))
            .arg(std::min(area.corner1.y(), area.corner2.y()))
            .arg(std::abs(area.corner2.x() - area.corner1.x()))
            .arg(std::abs(area.corner2.y() - area.corner1.y()));
    case AreaGeometry::Kind::Circle:
        return tr("Kreis: Mitte x %1, y %2, Radius %3").arg(area.centre.x()).arg(area.centre.y()).arg(area.radius);
    case AreaGeometry::Kind::Poly:
        return tr("Polygon: %1 Punkte, x %2, y %3, %4 × %5")
            .arg(area.points.size())
            .arg(box.x())
            .arg(box.y())
            .arg(box.width() - 1)
            .arg(box.height() - 1);
    case AreaGeometry::Kind::None:
        break;
    }
    return tr("%1: keine gültige Form").arg(entry::shapeOf(line).trimmed());
}

QString StatusLine::severalText(int count)
{
    return tr("%1 Areale ausgewählt").arg(count);
}

QString StatusLine::countText(int count)
{
    if (count == 0)
        return tr("Keine Areale");
    return count == 1 ? tr("1 Areal") : tr("%1 Areale").arg(count);
}

QString StatusLine::zoomText(double factor)
{
    return tr("Zoom %1").arg(zoom::labelTextOf(factor));
}

void StatusLine::followSoon()
{
    if (!m_later.isActive())
        m_later.start();
}

void StatusLine::showMoves()
{
    if (m_pointerAt)
        m_pointer->setText(pointerText(*m_pointerAt));
    if (std::exchange(m_selectionMoved, false))
        showSelection();
}

void StatusLine::showTool()
{
    m_hint->setText(toolHint());
}

QString StatusLine::toolHint() const
{
    if (!m_canvas.hasPicture())
        return tr("Zuerst ein Bild öffnen: Datei > Bild öffnen... (Strg+O).");
    if (m_session.editor().editMode)
        return tr("Areal anklicken und ziehen; die Ziehpunkte ändern seine Form, Strg+Klick wählt mehrere.");
    switch (m_session.chosenOption()) {
    case ChosenOption::Polygon:
        return tr("Polygon: Punkte nacheinander anklicken, ein Rechtsklick schließt es.");
    case ChosenOption::Rectangle:
        return tr("Rechteck: mit gedrückter Maustaste von Ecke zu Ecke ziehen.");
    case ChosenOption::Circle:
        return tr("Kreis: von der Mitte aus mit gedrückter Maustaste nach rechts ziehen.");
    case ChosenOption::Trace:
        return tr("Umriss: in eine Fläche klicken, ihr Umriss wird ein Polygon; + und - ändern die Toleranz.");
    case ChosenOption::Edit:
        break;
    }
    return tr("Areale bearbeiten: zuerst ein Areal in der Arealliste wählen.");
}

void StatusLine::showSelection()
{
    MapDocument& document = m_session.document();
    const QItemSelection chosen = document.selection().selection();
    qsizetype count = 0;
    for (const QItemSelectionRange& range : chosen)
        count += range.height();
    const int row = document.selectedRow();
    if (count > 1)
        m_selection->setText(severalText(int(count)));
    else if (row >= 0 && row < document.areas().count())
        m_selection->setText(areaText(m_session.preview().lineOf(row, document.areas().line(row))));
    else
        m_selection->clear();
}

void StatusLine::showCount()
{
    m_count->setText(countText(m_session.document().areas().count()));
}

void StatusLine::showZoom()
{
    m_zoom->setText(zoomText(m_canvas.zoomFactor()));
}

// The pointer gone from the picture, no position is shown.
bool StatusLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_canvas && event->type() == QEvent::Leave) {
        m_pointerAt.reset();
        m_pointer->clear();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvane
