// Opening the attribute editor on one area line and taking the accepted line
// back, for polygons of growing size: the form must stay quick even for
// imported polygons with thousands of points.
#include "dialogs/AttributeForm.h"
#include "model/AreaEntry.h"

#include <QApplication>

#include "GuiBenchmarkMain.h"

#include <benchmark/benchmark.h>

using namespace korvane;

namespace {

QString polygonLine(int points)
{
    QList<int> coords;
    for (int i = 0; i < points; ++i)
        coords << i % 800 << (i * 7) % 600;
    return entry::makeLine(QStringLiteral(" "), QStringLiteral("poly"), entry::coordinateText(coords),
                           {QStringLiteral("a.html"), QStringLiteral("A"), QStringLiteral("*"), QStringLiteral("*"),
                            QStringLiteral("*"), QStringLiteral("*")});
}

void BM_EditLine(benchmark::State& state)
{
    const QString line = polygonLine(static_cast<int>(state.range(0)));
    QString folder;
    for (auto _ : state) {
        frmEdit dialog(line, folder, nullptr);
        benchmark::DoNotOptimize(dialog.editedLine());
    }
    state.SetLabel(std::to_string(line.size()) + " characters");
}
BENCHMARK(BM_EditLine)->Arg(4)->Arg(1000)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_LinkDialog(benchmark::State& state)
{
    QString folder;
    const LinkAttributes previous{QStringLiteral("seite.html"), QStringLiteral("Seite"), QStringLiteral("_blank"),
                                  QStringLiteral("*"),          QStringLiteral("*"),     QStringLiteral("*")};
    for (auto _ : state) {
        frmVerweis dialog(previous, folder, nullptr);
        benchmark::DoNotOptimize(dialog.enteredAttributes());
    }
}
BENCHMARK(BM_LinkDialog)->Unit(benchmark::kMicrosecond);

} // namespace

KORVANE_GUI_BENCHMARK_MAIN()
