#pragma once

// The big work the widget benchmarks share: a 4000 x 3000 picture with 5,000
// mixed areas (or fewer), in edit mode with a polygon of 12 points selected in
// the middle of the list, in the visible corner. Mouse events go to the widgets as real events.
#include "app/MainWindow.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRadioButton>

#include <benchmark/benchmark.h>

#include <ctime>
#include <random>

namespace korvane::bench {

// The process's CPU time: the machine is shared, so it says more than the wall clock.
inline double processCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// CPU and wall time per move, for `moves` moves an iteration.
inline void reportPerMove(benchmark::State& state, double cpu, int moves)
{
    state.counters["cpu_ms_per_move"] = cpu / double(state.iterations()) / moves;
    state.counters["ms_per_move"] =
        benchmark::Counter(moves / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// `count` areas; the first ones are the same for every count.
inline QStringList bigAreaList(int count = 5000)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(50, 3900), y(50, 2900), size(10, 90), points(8, 20);
    const QString pad = QStringLiteral("                    |");
    QStringList lines;
    for (int i = 0; i < count; ++i) {
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
    int selectedRow;
    // `areas`: the first that many of the list.
    explicit Scene(bool partial = true, int areas = 5000) : selectedRow(areas / 2)
    {
        QImage picture(4000, 3000, QImage::Format_RGB32);
        picture.fill(Qt::white);
        window.ui.Picture1->setPicture(picture);
        window.layoutCanvas();
        window.setDrawColor(Qt::red);
        window.renderer().setIncremental(partial);
        window.show();
        QStringList lines = bigAreaList(areas);
        // The dragged area: a polygon of 12 points in the visible corner.
        lines[selectedRow] = QStringLiteral(" poly                    |100,100,160,90,220,110,260,160,270,220,240,280,"
                                            "180,300,120,290,80,250,60,190,70,140,90,110|a|b|*|*|*|*");
        window.areas().setLines(lines);
        window.ui.Option1[3]->setEnabled(true);
        window.ui.Option1[3]->click();
        window.setSelectedIndex(selectedRow);
        QApplication::processEvents();
    }
    void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
};

} // namespace korvane::bench
