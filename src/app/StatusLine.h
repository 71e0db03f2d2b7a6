#pragma once

#include <QObject>
#include <QPointF>
#include <QString>
#include <QTimer>

#include <optional>

class QLabel;
class QMainWindow;

namespace korvane {

class Canvas;
class EditorSession;
struct AreaGeometry;

// The line at the foot of the window: a short hint for the tool in use, the
// picture pixel under the pointer, the selected area's place and size (the
// radius of a circle, the points of a polygon), the number of areas and the
// zoom. It follows the canvas and the document by itself; the window tells it
// when the tool or mode changed (showTool()).
class StatusLine : public QObject {
    Q_OBJECT
public:
    StatusLine(QMainWindow& window, Canvas& canvas, EditorSession& session);

    void showTool();

    // The texts, as the line shows them.
    static QString pointerText(QPoint picturePixel);
    static QString areaText(const QString& line);
    static QString severalText(int count);
    static QString countText(int count);
    static QString zoomText(double factor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addLabel(const char* name, bool permanent);
    void followSoon();
    void showMoves();
    void showSelection();
    void showCount();
    void showZoom();
    QString toolHint() const;

    Canvas& m_canvas;
    EditorSession& m_session;
    QLabel* m_hint = nullptr;
    QLabel* m_pointer = nullptr;
    QLabel* m_selection = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_zoom = nullptr;
    QTimer m_later; // the pointer and a moved area, shown a little later
    std::optional<QPoint> m_pointerAt;
    bool m_selectionMoved = false;
};

} // namespace korvane
