// Replays a handle drag on big work: a 4000 x 3000 picture with 5,000 areas.
// Every move goes to the handle as a real mouse event, so it takes the path
// of the user's drag: handle movement, write-back of the line, redraw and the
// repaint of the visible part.
#include "app/MainWindow.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRadioButton>

#include "GuiBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace korvane;

namespace {

constexpr int kMoves = 200;

QStringList bigAreaList()
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(50, 3900), y(50, 2900), size(10, 90), points(8, 20);
    const QString pad = QStringLiteral("                    |");
    QStringList lines;
    for (int i = 0; i < 5000; ++i) {
        const int cx = x(random), cy = y(random);
        QString shape, coords;
        if (i % 3 == 0) {
            shape = QStringLiteral("rect");
            coords = QStringLiteral("%1,%2,%3,%4").arg(cx).arg(cy).arg(cx + size(random)).arg(cy + size(random));
        } else if (i % 3 == 1) {
            shape = QStringLiteral("circle");
            coords = QStringLiteral("%1,%2,%3").arg(cx).arg(cy).arg(size(random) / 2);
        } else {
            shape = QStringLiteral("poly");
            QStringList values;
            const int n = points(random);
            for (int j = 0; j < n; ++j)
                values << QString::number(cx + size(random)) << QString::number(cy + size(random));
            coords = values.join(QLatin1Char(','));
        }
        lines << QStringLiteral(" ") + shape + pad + coords + QStringLiteral("|seite.html|Seite|*|*|*|*");
    }
    return lines;
}

struct Scene {
    MainWindow window;
    Scene(bool partial)
    {
        QImage picture(4000, 3000, QImage::Format_RGB32);
        picture.fill(Qt::white);
        window.ui.Picture1->setPicture(picture);
        window.layoutCanvas();
        window.setDrawColor(Qt::red);
        window.renderer().setIncremental(partial);
        window.show();
        QStringList lines = bigAreaList();
        // The dragged area: a polygon of 12 points in the visible corner.
        lines[2500] = QStringLiteral(" poly                    |100,100,160,90,220,110,260,160,270,220,240,280,"
                                     "180,300,120,290,80,250,60,190,70,140,90,110|a|b|*|*|*|*");
        window.areas().setLines(lines);
        window.ui.Option1[3]->setEnabled(true);
        window.ui.Option1[3]->click();
        window.setSelectedIndex(2500);
        QApplication::processEvents();
    }
    void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
};

void dragAnchor(benchmark::State& state, bool partial)
{
    Scene scene(partial);
    HandleWidget* anchor = scene.window.handles().anchor();
    for (auto _ : state) {
        scene.send(anchor, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
        for (int i = 0; i < kMoves; ++i) {
            const int step = i < kMoves / 2 ? 3 : -3; // out and back, staying on the picture
            scene.send(anchor, QEvent::MouseMove, QPoint(step, step / 3 * 2), Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents(); // the repaint a real move is followed by
        }
        scene.send(anchor, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    }
    // Seconds per (moves / 1000): milliseconds per move (printed with an "s").
    state.counters["ms_per_move"] = benchmark::Counter(kMoves / 1000.0, benchmark::Counter::kIsIterationInvariantRate |
                                                                            benchmark::Counter::kInvert);
}

void BM_HandleDrag(benchmark::State& state)
{
    dragAnchor(state, true);
}
void BM_HandleDragFullRedraw(benchmark::State& state)
{
    dragAnchor(state, false);
}

} // namespace

BENCHMARK(BM_HandleDrag)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_HandleDragFullRedraw)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

KORVANE_GUI_BENCHMARK_MAIN()
