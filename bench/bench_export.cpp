// How long a 5 MB page takes to open in the export window, to take the map
// code at the caret, to follow one typed character, and to be saved.
#include "io/ExportWindow.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include "GuiBenchmarkMain.h"

#include <benchmark/benchmark.h>

using namespace korvane;

namespace {

// Answers every save dialog with one path and every question with its default.
class FixedAnswers : public Platform {
public:
    explicit FixedAnswers(QString path) : m_path(std::move(path)) {}
    MessageButton messageBox(QWidget*, const QString&, const QString&, MessageIcon, const QList<MessageButton>&,
                             MessageButton defaultButton) override
    {
        return defaultButton;
    }
    QString fileDialog(const FileDialogRequest&) override { return m_path; }
    bool openWithAssociatedProgram(const QString&) override { return true; }
    void openInTextViewer(const QString&) override {}

private:
    QString m_path;
};

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// About 5 MB of HTML lines with umlauts; `mixed` makes every tenth line end a lone LF.
QString writePage(bool mixed)
{
    const QString path = folder().filePath(mixed ? QStringLiteral("mixed.html") : QStringLiteral("page.html"));
    if (QFile::exists(path))
        return path;
    QByteArray bytes;
    bytes.reserve(5 * 1024 * 1024 + 100);
    int line = 0;
    while (bytes.size() < 5 * 1024 * 1024) {
        bytes += "<p class=\"absatz\">Gr\xFC\xDF"
                 "e aus dem Haus Nummer " +
                 QByteArray::number(line) + "</p>";
        bytes += mixed && line % 10 == 0 ? "\n" : "\r\n";
        ++line;
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

const QString kCode = QStringLiteral("<map id=\"plan\" name=\"plan\">\r\n<area shape=\"rect\" alt=\"Tür\" "
                                     "coords=\"1,2,3,4\" href=\"a.html\" title=\"Tür\"  />\r\n</map>\r\n");

void caretToMiddle(ExportWindow& window)
{
    QTextCursor cursor = window.ui.Text1->textCursor();
    cursor.setPosition(window.ui.Text1->document()->characterCount() / 2);
    window.ui.Text1->setTextCursor(cursor);
}

void BM_OpenPage(benchmark::State& state)
{
    const QString path = writePage(state.range(0) != 0);
    ExportWindow window(nullptr);
    for (auto _ : state) {
        window.loadFile(path);
        benchmark::DoNotOptimize(window.pageLength());
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(BM_OpenPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Einfuegen(benchmark::State& state)
{
    ExportWindow window(nullptr);
    window.loadFile(writePage(state.range(0) != 0));
    QGuiApplication::clipboard()->setText(kCode);
    for (auto _ : state) {
        caretToMiddle(window);
        window.einfuegen();
        state.PauseTiming();
        window.undoPaste();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Einfuegen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TypeCharacter(benchmark::State& state)
{
    ExportWindow window(nullptr);
    window.loadFile(writePage(state.range(0) != 0));
    caretToMiddle(window);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(window.ui.Text1, &press);
    }
}
BENCHMARK(BM_TypeCharacter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Speichern(benchmark::State& state)
{
    const QString target = folder().filePath(QStringLiteral("saved.html"));
    setPlatform(std::make_unique<FixedAnswers>(target));
    ExportWindow window(nullptr);
    window.loadFile(writePage(state.range(0) != 0));
    QGuiApplication::clipboard()->setText(kCode);
    caretToMiddle(window);
    window.einfuegen();
    for (auto _ : state)
        benchmark::DoNotOptimize(window.speichern());
    state.SetBytesProcessed(state.iterations() * QFileInfo(target).size());
}
BENCHMARK(BM_Speichern)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

KORVANE_GUI_BENCHMARK_MAIN()
