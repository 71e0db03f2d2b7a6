#include "session/Session.h"

#include "app/MainWindow.h"
#include "app/RecentFiles.h"
#include "app/StartUp.h"
#include "app/StatusLine.h"
#include "windows/AreaTableWindow.h"
#include "app/commands/RecoveryKeeper.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "io/ExportWindow.h"
#include "io/RecoveryFile.h"
#include "model/AreaList.h"
#include "model/MapCode.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <cerrno>

namespace korvane::session {

namespace {

const KnownFault kKnownFaults[] = {
    {1, "trust-window", true},    {2, "trust-window", true},    {3, "trust-recovery", true},
    {4, "trust-files", true},     {5, "trust-canvas", true},    {6, "trust-window", true},
    {9, "trust-canvas", true},    {10, "trust-canvas", true},   {11, "trust-canvas", true},
    {12, "trust-recovery", true}, {15, "trust-window", true},
    // A polygon's highlight was drawn line by line, its area as one closed
    // stroke: once another area was chosen, a few yellow pixels stayed at its
    // corners and along its edges where the two strokes fell on other pixels.
    {101, "main", true},
};

// A picture with something on it everywhere, so that a stale or missing
// stroke shows against it.
// The second picture is transparent from kClearFrom on (half so from
// kHalfClearFrom): the canvas shows a chequerboard there.
constexpr int kClearFrom = 240;
constexpr int kHalfClearFrom = 280;

QByteArray pictureBytes(int width, int height, QColor tint, bool transparent = false)
{
    QImage image(width, height, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int x = 0; x < width; x += 40)
        p.fillRect(QRect(x, 0, 20, height), tint);
    if (transparent) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(kClearFrom, 0, width - kClearFrom, height), Qt::transparent);
        p.fillRect(QRect(kHalfClearFrom, 0, width - kHalfClearFrom, height / 2), QColor(0, 0, 255, 128));
    }
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A process id that no process has: the name of an editor that ended.
qint64 endedPid(qint64 from = 4'000'000)
{
    for (qint64 pid = from; pid > 1000; pid -= 7919) {
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            return pid;
    }
    return 999'999;
}

// A report stays readable: a line of megabytes shows its start and length.
QString abbreviated(const QString& text)
{
    return text.size() <= 300 ? text : text.left(200) + QStringLiteral("… (%1 characters)").arg(text.size());
}

QString shown(const QStringList& lines)
{
    QStringList parts;
    for (const QString& line : lines)
        parts << abbreviated(line);
    return lines.isEmpty() ? QStringLiteral("(none)") : parts.join(QStringLiteral("\n  "));
}

} // namespace

const KnownFault* knownFault(int number)
{
    for (const KnownFault& f : kKnownFaults) {
        if (f.number == number)
            return &f;
    }
    return nullptr;
}

bool unmended(int fault)
{
    const KnownFault* known = knownFault(fault);
    return known && !known->mended;
}

Session::Session(Options options) : m_options(options)
{
    m_oldStateHome = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", path(QStringLiteral("state")).toUtf8());
    m_platform = &installSessionPlatform();
    QGuiApplication::clipboard()->clear();
    makeFixtures();
    startWindow();
    m_watchdog.setInterval(1000);
    QObject::connect(&m_watchdog, &QTimer::timeout, [this] { watch(); });
    m_watchdog.start();
}

void Session::watch()
{
    QWidget* open = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                      : QApplication::activeModalWidget();
    if (!open || open != m_openSince) {
        m_openSince = open;
        m_openTicks = 0;
        return;
    }
    if (++m_openTicks < 5)
        return;
    fail(QStringLiteral("hang"), QStringLiteral("%1 stayed open, nothing closed it").arg(open->objectName().isEmpty()
                                                                                              ? open->metaObject()->className()
                                                                                              : open->objectName()));
    if (auto* dialog = qobject_cast<QDialog*>(open))
        dialog->done(QDialog::Rejected);
    open->hide();
}

Session::~Session()
{
    m_modals.clear();
    m_window.reset();
    if (m_oldStateHome.isNull())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", m_oldStateHome);
}

void Session::makeFixtures()
{
    QDir().mkpath(path(QStringLiteral("bilder")));
    QDir().mkpath(path(QStringLiteral("karten")));
    QDir().mkpath(path(QStringLiteral("seiten")));
    QDir().mkpath(path(QStringLiteral("ablage")));
    write(QStringLiteral("bilder/plan.png"), pictureBytes(400, 300, QColor(170, 200, 255)));
    write(QStringLiteral("bilder/zweites.png"), pictureBytes(320, 240, QColor(255, 200, 160), true));
    // Big enough to open fitted, its canvas buffer made only when first needed.
    write(QStringLiteral("bilder/gross.png"), pictureBytes(1600, 1400, QColor(200, 230, 170)));
    write(QStringLiteral("bilder/kaputt.png"), "Das ist kein Bild.\n");
}

QString Session::path(const QString& relative) const
{
    return m_dir.filePath(relative);
}

QString Session::picture(int which) const
{
    if (which == 2)
        return path(QStringLiteral("bilder/gross.png"));
    return path(which == 0 ? QStringLiteral("bilder/plan.png") : QStringLiteral("bilder/zweites.png"));
}

QString Session::write(const QString& relative, const QByteArray& bytes) const
{
    const QString file = path(relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(bytes);
    return file;
}

void Session::startWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    m_keeper = attachRecovery(*m_window);
    activate();
}

void Session::restart()
{
    // The window wrote its settings as it closed.
    m_highlightStored = m_highlight;
    m_modals.clear();
    m_window.reset();
    startWindow();
    m_keeper->offerRecovery();
    m_model = Model();
}

void Session::crashAndRestart(const QStringList& files)
{
    // Gone without writing its settings: the next window reads those before.
    m_highlight = m_highlightStored;
    m_keeper->flush();
    m_orphan.clear();
    const QString own = m_keeper->filePath();
    if (QFile::exists(own)) {
        m_orphan = recovery::filePath(endedPid());
        QFile::remove(m_orphan);
        QFile::copy(own, m_orphan);
    }
    // No close event, no question: the window is just gone. Its keeper takes
    // its own file along, as the next start would find it taken over.
    m_modals.clear();
    m_window.reset();
    m_model = Model();
    if (files.isEmpty()) {
        startWindow();
        return;
    }
    m_window = startEditor(files);
    m_keeper = m_window->findChild<RecoveryKeeper*>();
    activate();
    // The start offers the recovery and opens the files once the window is laid out.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QString Session::placeStrangeRecoveryFile(int kind)
{
    if (kind != 1 && kind != 2)
        return {};
    // Named as the file of another editor that ended.
    const QString file = recovery::filePath(endedPid(3'000'000));
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile::remove(file);
    const bool made = kind == 1 ? QFile::link(QStringLiteral("/dev/zero"), file)
                                : ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0;
    return made ? file : QString();
}

// --- failures ---

void Session::fail(const QString& check, const QString& detail, int fault)
{
    if (m_failure)
        return;
    Failure f;
    f.check = check;
    f.detail = detail;
    f.fault = fault ? fault : m_faultHint;
    f.step = m_step;
    f.action = m_action;
    m_failure = f;
}

bool Session::expectEqual(const QString& check, const QString& actual, const QString& expected, int fault)
{
    if (actual == expected)
        return true;
    fail(check, QStringLiteral("got\n  %1\nexpected\n  %2").arg(abbreviated(actual), abbreviated(expected)), fault);
    return false;
}

bool Session::expectLines(const QString& check, const QStringList& expected, int fault)
{
    const QStringList actual = w().areas().lines().toStringList();
    if (actual == expected)
        return true;
    fail(check, QStringLiteral("lines\n  %1\nexpected\n  %2").arg(shown(actual), shown(expected)), fault);
    return false;
}

// --- steps ---

void Session::beginStep(int index, const QString& action)
{
    m_step = index;
    m_action = action;
    m_faultHint = 0;
    m_platform->clear();
    m_platform->replyTo = nullptr;
    m_platform->chooseFile = nullptr;
    m_platform->chooseColour = nullptr;
    m_modals.unexpected.clear();
    m_modals.shown.clear();
    m_stepClock.start();
}

void Session::endStep()
{
    const qint64 took = m_stepClock.elapsed();
    if (!failed() && took > m_options.stepBoundMs)
        fail(QStringLiteral("slow-step"), QStringLiteral("%1 ms, bound %2 ms").arg(took).arg(m_options.stepBoundMs));
    if (!failed())
        checkCheap();
    ++m_stepsDone;
    if (!failed() && m_options.costlyEvery > 0 && m_stepsDone % m_options.costlyEvery == 0)
        checkCostly();
    m_modals.clear();
}

void Session::checkCheap()
{
    if (!m_modals.unexpected.isEmpty())
        fail(QStringLiteral("unexpected-dialog"), m_modals.unexpected.join(QStringLiteral(", ")));
    checkIdle();
    checkLines();
    checkCode();
    checkTable();
    checkStatusLine(false);
}

void Session::checkCostly()
{
    if (failed())
        return;
    checkPixels();
    checkRecoveryFile();
    checkRecentFiles();
    checkStatusLine(true);
}

// Between steps nothing is half done: no shape open, no drag, no dialog.
void Session::checkIdle()
{
    if (failed())
        return;
    const EditorState& e = w().editorState();
    if (e.polygonOpen || e.drawState() == 2 || w().handles().isDragging())
        fail(QStringLiteral("left-in-progress"), QStringLiteral("a shape or a drag is still under way"));
    else if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        fail(QStringLiteral("left-open"), QStringLiteral("a dialog or menu is still open"));
}

// One truth: the document and the list show the model's lines.
void Session::checkLines()
{
    if (failed() || !expectLines(QStringLiteral("lines"), m_model.lines()))
        return;
    const QAbstractItemModel* list = w().ui.List1->model();
    if (list->rowCount() != m_model.lines().size()) {
        fail(QStringLiteral("list"), QStringLiteral("%1 rows for %2 lines").arg(list->rowCount()).arg(
                                         m_model.lines().size()));
        return;
    }
    // A line of megabytes shows cut, with its length.
    for (int row = 0; row < list->rowCount(); ++row) {
        if (!expectEqual(QStringLiteral("list"), list->index(row, 0).data().toString(), shownLine(m_model.lines()[row])))
            return;
    }
}

QString Session::codeShown() const
{
    return m_window->mapCode();
}

QString Session::codeOfLines() const
{
    MainWindow& window = *m_window;
    return map_daten(AreaLines(m_model.lines()), window.document().imagePath(), window.document().mapName(),
                     window.ui.Picture1->pictureSize());
}

// The code box shows the code of the lines, or what the user typed there
// until a change writes it over; nothing counts as saved that was not written.
void Session::checkCode()
{
    if (failed())
        return;
    const QString code = codeShown();
    QString generated = codeOfLines();
    if (!m_staleCode.isNull()) {
        if (code == generated)
            m_staleCode.clear();
        else if (code == m_staleCode)
            generated = m_staleCode;
    }
    if (m_model.handCode() && code == generated && *m_model.handCode() != generated)
        m_model.dropHandCode(); // written over by the code of the lines, as a regeneration does
    const QString expected = m_model.handCode() ? *m_model.handCode() : generated;
    if (!expectEqual(QStringLiteral("code"), code, expected))
        return;
    const bool saved = m_model.saved(code);
    if (w().document().mapSaved() != saved)
        fail(QStringLiteral("saved-state"),
             QStringLiteral("the window counts the map as %1, the test as %2 (%3 areas, code box %4)")
                 .arg(saved ? QStringLiteral("unsaved") : QStringLiteral("saved"),
                      saved ? QStringLiteral("saved") : QStringLiteral("unsaved"))
                 .arg(m_model.lines().size())
                 .arg(code.isEmpty() ? QStringLiteral("empty") : QStringLiteral("filled")),
             0);
}

// The table, when shown, has a row per line with the line's fields, only
// the rows its filter lets through, and the document's selected row.
void Session::checkTable()
{
    AreaTableWindow* table = areaTable();
    if (failed() || !table || !table->isVisible())
        return;
    const QAbstractItemModel* rows = table->view()->model();
    const QString filter = table->filterField()->text();
    int expectedRows = 0;
    for (int i = 0; i < m_model.lines().size(); ++i) {
        QStringList fields = m_model.lines()[i].split(QLatin1Char('|'));
        while (fields.size() < 5)
            fields << QString();
        QStringList cells{fields[0].trimmed(), fields[1], fields[2], fields[3],
                          fields[4] == QLatin1String("*") ? QString() : fields[4]};
        bool shownRow = filter.isEmpty();
        for (const QString& cell : cells)
            shownRow = shownRow || cell.contains(filter, Qt::CaseInsensitive);
        expectedRows += shownRow ? 1 : 0;
    }
    if (!rows || rows->rowCount() != expectedRows) {
        fail(QStringLiteral("table"), QStringLiteral("%1 rows shown, %2 expected (filter \"%3\")")
                                          .arg(rows ? rows->rowCount() : -1)
                                          .arg(expectedRows)
                                          .arg(filter));
        return;
    }
    for (int r = 0; r < rows->rowCount(); ++r) {
        const int line = rows->headerData(r, Qt::Vertical).toInt() - 1;
        if (line < 0 || line >= m_model.lines().size()) {
            fail(QStringLiteral("table"), QStringLiteral("row %1 numbered %2").arg(r).arg(line + 1));
            return;
        }
        const QStringList fields = m_model.lines()[line].split(QLatin1Char('|'));
        if (!expectEqual(QStringLiteral("table"), rows->index(r, 1).data(Qt::EditRole).toString(), fields.value(1)) ||
            !expectEqual(QStringLiteral("table"), rows->index(r, 3).data(Qt::EditRole).toString(), fields.value(3)))
            return;
    }
    const int selected = w().selectedIndex();
    const QModelIndex current = table->view()->currentIndex();
    const bool selectionShown = table->view()->selectionModel()->isSelected(current);
    const int shownLine = current.isValid() && selectionShown
                              ? rows->headerData(current.row(), Qt::Vertical).toInt() - 1
                              : -1;
    bool selectedVisible = false;
    for (int r = 0; r < rows->rowCount() && selected >= 0; ++r)
        selectedVisible = selectedVisible || rows->headerData(r, Qt::Vertical).toInt() - 1 == selected;
    if (shownLine != (selectedVisible ? selected : -1))
        fail(QStringLiteral("table-selection"),
             QStringLiteral("the table shows line %1, the list has %2 selected").arg(shownLine).arg(selected));
}

// The status line names as many areas as the model has and the zoom shown,
// at once; the selected area as its line reads (or how many are selected)
// a moment later after a move, so that one is looked at with the costly
// checks, given that moment (`whole`).
void Session::checkStatusLine(bool whole)
{
    if (failed())
        return;
    QStatusBar* line = w().statusBar();
    const auto text = [line](const char* name) {
        const QLabel* label = line->findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("(no %1)").arg(QLatin1String(name));
    };
    const auto expected = [this, whole] {
        const int count = int(w().document().selectedRows().size());
        const int row = w().selectedIndex();
        QString chosen;
        if (count > 1)
            chosen = StatusLine::severalText(count);
        else if (row >= 0 && row < m_model.lines().size())
            chosen = StatusLine::areaText(m_model.lines()[row]);
        return QStringList{StatusLine::countText(int(m_model.lines().size())), whole ? chosen : QString(),
                           StatusLine::zoomText(w().ui.Picture1->zoomFactor())};
    };
    const auto shown = [&text, whole] {
        return QStringList{text("lblStatusAreale"), whole ? text("lblStatusAuswahl") : QString(), text("lblStatusZoom")};
    };
    for (int wait = 0; whole && wait < 10 && shown() != expected(); ++wait)
        QTest::qWait(20);
    expectEqual(QStringLiteral("status-line"), shown().join(QStringLiteral(" | ")),
                expected().join(QStringLiteral(" | ")));
}

// Datei > Zuletzt geöffnet lists the files opened, newest first, also after a restart.
void Session::checkRecentFiles()
{
    if (failed())
        return;
    RecentFiles* recent = w().findChild<RecentFiles*>();
    if (!recent) {
        fail(QStringLiteral("recent-files"), QStringLiteral("the window keeps no recently opened files"));
        return;
    }
    expectEqual(QStringLiteral("recent-files"), recent->files().join(QStringLiteral("\n  ")),
                m_recent.join(QStringLiteral("\n  ")));
}

void Session::opened(const QString& path)
{
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > RecentFiles::kMaxFiles)
        m_recent.removeLast();
}

// The canvas against a fresh full redraw of the model's lines: only the
// selected areas, drawn with their highlight, may differ.
void Session::checkPixels()
{
    if (failed() || !hasPicture())
        return;
    MainWindow& window = w();
    Canvas* canvas = window.ui.Picture1;
    // The canvas's own pen: it stays the title screen's olive until a
    // drawing colour is set, and the areas are drawn with it.
    const ImageSurface& shown = canvas->surface();
    ImageSurface fresh;
    fresh.setPicture(canvas->picture());
    fresh.setPenColor(shown.penColor());
    fresh.setFillColor(shown.fillColor());
    fresh.setLineWidth(shown.lineWidth());
    fresh.setFillStyle(shown.fillStyle());
    fresh.setDrawMode(DrawMode::Copy);
    AreaList lines;
    lines.setLines(AreaLines(m_model.lines()));
    AreaRenderer renderer(lines, fresh);
    renderer.setCircleColor(window.renderer().circleColor());
    renderer.setIncremental(false);
    renderer.redraw(-1);
    fresh.flush();
    const QImage expected = fresh.image().convertToFormat(QImage::Format_RGB32);
    const QImage actual = canvas->image().convertToFormat(QImage::Format_RGB32);
    if (expected.size() != actual.size()) {
        fail(QStringLiteral("canvas-pixels"), QStringLiteral("canvas %1 x %2, picture %3 x %4")
                                                  .arg(actual.width())
                                                  .arg(actual.height())
                                                  .arg(expected.width())
                                                  .arg(expected.height()));
        return;
    }
    QRegion highlighted;
    const int grow = window.lineWidth() + 3;
    for (int row : window.document().selectedRows())
        highlighted += renderer.geometry(row).bounds.adjusted(-grow, -grow, grow, grow);
    // Looking past fault 101: the yellow left beside a polygon's stroke.
    QList<QLineF> edges;
    for (int row = 0; row < lines.count(); ++row) {
        const AreaGeometry& shape = renderer.geometry(row);
        for (qsizetype i = 0; shape.kind == AreaGeometry::Kind::Poly && i < shape.points.size(); ++i)
            edges << QLineF(shape.points[i], shape.points[(i + 1) % shape.points.size()]);
    }
    const auto cornerLeftover = [&edges, &window](QPoint at, QRgb colour) {
        if (colour != qRgb(255, 255, 0))
            return false;
        for (const QLineF& edge : edges) {
            const QPointF d = edge.p2() - edge.p1();
            const double length2 = QPointF::dotProduct(d, d);
            const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(QPointF(at) - edge.p1(), d) / length2, 0.0, 1.0)
                                         : 0.0;
            if (QLineF(QPointF(at), edge.p1() + t * d).length() <= window.lineWidth() + 1)
                return true;
        }
        return false;
    };
    // Which pixels carry a stroke or a fill, not their colour: the pen may
    // have changed since the last redraw (choosing a tool sets it, and the
    // title screen's olive stays until a colour is set), the strokes may not.
    const QImage picture = canvas->picture().convertToFormat(QImage::Format_RGB32);
    int differing = 0, leftovers = 0;
    QPoint first;
    for (int y = 0; y < actual.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        const auto* p = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            if ((a[x] == p[x]) == (e[x] == p[x]) || highlighted.contains(QPoint(x, y)))
                continue;
            const bool leftover = cornerLeftover(QPoint(x, y), a[x]);
            leftovers += leftover ? 1 : 0;
            if (leftover && tolerates(101))
                continue;
            if (differing++ == 0)
                first = QPoint(x, y);
        }
    }
    // KORVANE_SESSION_DUMP=FOLDER keeps the first differing canvas and its redraw there.
    const QString dump = qEnvironmentVariable("KORVANE_SESSION_DUMP");
    if (differing > 0 && !dump.isEmpty() && !QFile::exists(dump + QStringLiteral("/canvas.png"))) {
        actual.save(dump + QStringLiteral("/canvas.png"));
        expected.save(dump + QStringLiteral("/redrawn.png"));
        const QRect near(first - QPoint(20, 20), QSize(40, 40));
        actual.copy(near).scaled(320, 320).save(dump + QStringLiteral("/canvas-near.png"));
        expected.copy(near).scaled(320, 320).save(dump + QStringLiteral("/redrawn-near.png"));
    }
    if (differing > 0) {
        fail(QStringLiteral("canvas-pixels"),
             QStringLiteral("%1 pixels differ from a full redraw, the first at (%2, %3)")
                 .arg(differing)
                 .arg(first.x())
                 .arg(first.y()),
             differing == leftovers ? 101 : 0);
        return;
    }
    checkChequerboard(highlighted);
}

// The second picture's transparent part shows on a chequerboard of 8-pixel
// squares (white and light grey) where nothing is drawn, the drawing as it
// is where it is; the first picture has none. Looked at on the canvas as it
// paints itself at 100 %, the handles and the pointer's mark left out.
void Session::checkChequerboard(const QRegion& highlighted)
{
    Canvas* canvas = w().ui.Picture1;
    // The picture shown, known by its size (the map may name another, missing one).
    const bool second = pictureSize() == QSize(320, 240);
    if (canvas->transparency().isNull() == second) {
        fail(QStringLiteral("chequerboard"), QStringLiteral("the picture shown %1 transparent parts")
                                                 .arg(second ? QStringLiteral("lost its") : QStringLiteral("got")));
        return;
    }
    if (!second || canvas->zoomPercent() != 100 || w().state().snapOn || canvas->size() != canvas->image().size())
        return;
    QImage shot(canvas->size(), QImage::Format_RGB32);
    canvas->render(&shot, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QImage buffer = canvas->image().convertToFormat(QImage::Format_RGB32);
    const QImage picture = canvas->picture().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = kClearFrom; x < kHalfClearFrom; ++x) {
            if (highlighted.contains(QPoint(x, y)))
                continue;
            const bool drawn = buffer.pixel(x, y) != picture.pixel(x, y);
            const int shade = (x / 8 + y / 8) % 2 ? 204 : 255;
            const QRgb expected = drawn ? buffer.pixel(x, y) : qRgb(shade, shade, shade);
            if (shot.pixel(x, y) != expected) {
                fail(QStringLiteral("chequerboard"), QStringLiteral("(%1, %2) shows #%3, not #%4")
                                                         .arg(x)
                                                         .arg(y)
                                                         .arg(shot.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'))
                                                         .arg(expected & 0xffffff, 6, 16, QLatin1Char('0')));
                return;
            }
        }
    }
}

// Once flushed, the recovery file holds the unsaved map: its lines, its
// selected line and the code box's text typed by hand; a saved map leaves none.
void Session::checkRecoveryFile()
{
    if (failed())
        return;
    m_keeper->flush();
    const QString file = m_keeper->filePath();
    const bool pageEdited = exportWindow() && exportWindow()->isVisible() && !exportWindow()->isSaved() &&
                            exportWindow()->textModified();
    const bool saved = m_model.saved(codeShown());
    const std::optional<QString>& typed = m_model.handCode();
    if (saved || (m_model.lines().isEmpty() && !typed && !pageEdited)) {
        // Nothing that a crash could lose: the code of no areas is made anew.
        if (QFile::exists(file))
            fail(QStringLiteral("recovery-file"), saved ? QStringLiteral("a saved map left its recovery file")
                                                        : QStringLiteral("a recovery file for nothing to recover"));
        return;
    }
    const recovery::ReadResult read = recovery::readFile(file);
    if (read.problem != recovery::Problem::None) {
        fail(QStringLiteral("recovery-file"), QStringLiteral("no readable recovery file for unsaved work"));
        return;
    }
    if (read.snapshot.lines.toStringList() != m_model.lines())
        fail(QStringLiteral("recovery-file"), QStringLiteral("the file keeps\n  %1\nexpected\n  %2")
                                                  .arg(shown(read.snapshot.lines.toStringList()),
                                                       shown(m_model.lines())));
    else if (read.snapshot.selectedRow != w().selectedIndex())
        fail(QStringLiteral("recovery-file"), QStringLiteral("the file keeps line %1 selected, the window %2")
                                                  .arg(read.snapshot.selectedRow)
                                                  .arg(w().selectedIndex()));
    else if (read.snapshot.hasPage != pageEdited)
        fail(QStringLiteral("recovery-file"), QStringLiteral("the export window's page kept: %1, edited: %2")
                                                  .arg(read.snapshot.hasPage)
                                                  .arg(pageEdited));
    else if (read.snapshot.code != typed)
        fail(QStringLiteral("recovery-file"),
             QStringLiteral("the file keeps the code box as %1, typed: %2")
                 .arg(read.snapshot.code ? abbreviated(*read.snapshot.code) : QStringLiteral("(none)"),
                      typed ? abbreviated(*typed) : QStringLiteral("(none)")));
}

// --- the window as the user reaches it ---

void Session::activate()
{
    MainWindow& window = w();
    for (int i = 0; i < 50 && QApplication::activeWindow() != &window; ++i) {
        window.activateWindow();
        QCoreApplication::processEvents();
    }
}

void Session::focusCanvas()
{
    activate();
    w().ui.Picture1->setFocus(Qt::OtherFocusReason);
}

QPoint Session::onCanvas(QPointF picturePoint) const
{
    const double zoom = m_window->ui.Picture1->zoomFactor();
    const QPoint p(qRound(picturePoint.x() * zoom), qRound(picturePoint.y() * zoom));
    // QTest takes the point (0, 0) for "the widget's centre"; the pixel beside it is meant.
    return p.isNull() ? QPoint(1, 0) : p;
}

bool Session::visibleOnCanvas(QPointF picturePoint) const
{
    const QWidget* viewport = m_window->ui.picContainer;
    const QPoint inViewport = m_window->ui.Picture1->mapTo(viewport, onCanvas(picturePoint));
    return viewport->rect().adjusted(4, 4, -4, -4).contains(inViewport);
}

QSize Session::pictureSize() const
{
    return m_window->ui.Picture1->pictureSize();
}

bool Session::hasPicture() const
{
    return m_window->ui.Picture1->hasPicture();
}

bool Session::editMode() const
{
    return m_window->editorState().editMode;
}

void Session::clickOption(int option)
{
    QRadioButton* button = w().ui.Option1[option];
    if (QAction* entry = m_route == Route::MenuBar ? menuEntryFor(button) : nullptr)
        chooseInMenuBar(entry);
    else
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void Session::key(QWidget* on, int key, Qt::KeyboardModifiers modifiers)
{
    if (m_route == Route::MenuBar) {
        if (QAction* entry = menuEntryFor(QKeySequence(QKeyCombination(modifiers, Qt::Key(key))))) {
            chooseInMenuBar(entry);
            return;
        }
    }
    QTest::keyClick(on, Qt::Key(key), modifiers);
}

void Session::windowKey(int key, Qt::KeyboardModifiers modifiers)
{
    focusCanvas();
    this->key(w().ui.Picture1, key, modifiers);
}

void Session::press(QAbstractButton* button)
{
    QAction* entry = m_route == Route::MenuBar ? menuEntryFor(button) : nullptr;
    if (entry)
        chooseInMenuBar(entry);
    else
        QTest::mouseClick(button, Qt::LeftButton);
}

void Session::closeWindow(bool byKey)
{
    QAction* quit = w().menuBar()->findChild<QAction*>(QStringLiteral("actBeenden"));
    if (m_route == Route::MenuBar && quit)
        chooseInMenuBar(quit);
    else if (byKey)
        windowKey(Qt::Key_Q, Qt::ControlModifier);
    else
        w().close();
}

// --- the menu bar ---

namespace {

void closeMenus()
{
    for (int i = 0; i < 10 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
}

// The actions from the bar down to `entry`: the menu's title, submenus, the entry.
bool pathTo(const QList<QAction*>& actions, QAction* entry, QList<QAction*>& path)
{
    for (QAction* action : actions) {
        path << action;
        if (action == entry || (action->menu() && pathTo(action->menu()->actions(), entry, path)))
            return true;
        path.removeLast();
    }
    return false;
}

// Answers the menu shown at `level` of the picks, and the submenus after it.
void answerMenu(ModalAnswers& modals, QList<Session::Pick> picks, int level, QWidget* shown,
                std::shared_ptr<bool> chosen, std::shared_ptr<bool> done)
{
    auto* menu = qobject_cast<QMenu*>(shown);
    QAction* next = menu ? picks[level](menu->actions()) : nullptr;
    const bool last = level + 1 == picks.size();
    if (!next || !next->isEnabled() || (!last && !next->menu())) {
        closeMenus();
        *done = true;
        return;
    }
    menu->setActiveAction(next);
    if (!last) {
        modals.expectFirst([&modals, picks, level, chosen, done](QWidget* submenu) {
            answerMenu(modals, picks, level + 1, submenu, chosen, done);
        });
        QTest::keyClick(menu, Qt::Key_Right);
        return;
    }
    *chosen = true;
    *done = true;
    QTest::keyClick(menu, Qt::Key_Return);
}

} // namespace

bool Session::chooseInMenuBar(const QList<Pick>& picks)
{
    QMenuBar* bar = w().menuBar();
    QAction* title = picks.size() >= 2 ? picks.front()(bar->actions()) : nullptr;
    if (!title || !title->menu() || !title->isEnabled())
        return false;
    auto chosen = std::make_shared<bool>(false), done = std::make_shared<bool>(false);
    m_modals.expectFirst([this, picks, chosen, done](QWidget* shown) {
        answerMenu(m_modals, picks, 1, shown, chosen, done);
    });
    activate();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    // The bar's menus are no modal loops of their own: they are answered as
    // their events come.
    QElapsedTimer clock;
    clock.start();
    while (!*done && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!*done) {
        closeMenus();
        fail(QStringLiteral("menu-bar"), QStringLiteral("the menu \"%1\" did not open").arg(title->text()));
    }
    activate();
    return *chosen;
}

bool Session::chooseInMenuBar(QAction* entry)
{
    QList<QAction*> path;
    if (!pathTo(w().menuBar()->actions(), entry, path))
        return false;
    QList<Pick> picks;
    for (QAction* action : path)
        picks << [action](const QList<QAction*>& shown) { return shown.contains(action) ? action : nullptr; };
    return chooseInMenuBar(picks);
}

QAction* Session::menuEntryFor(const QAbstractButton* button) const
{
    // The buttons that have an entry of their own in the bar.
    static const QHash<QString, QString> entries{
        {QStringLiteral("Command1"), QStringLiteral("actBildOeffnen")},
        {QStringLiteral("Command8"), QStringLiteral("actMapImportieren")},
        {QStringLiteral("Command11"), QStringLiteral("actHtmlImportieren")},
        {QStringLiteral("Command7"), QStringLiteral("actSpeichern")},
        {QStringLiteral("Command12"), QStringLiteral("actExportieren")},
        {QStringLiteral("cmdClipboard"), QStringLiteral("actCodeKopieren")},
        {QStringLiteral("Command4"), QStringLiteral("actLupe")},
        {QStringLiteral("Command6"), QStringLiteral("actNeuZeichnen")},
        {QStringLiteral("Command13"), QStringLiteral("actHilfe")},
        {QStringLiteral("Command10"), QStringLiteral("actDuplizieren")},
        {QStringLiteral("Command3"), QStringLiteral("actAlleLoeschen")},
        {QStringLiteral("Command9"), QStringLiteral("actEigenschaften")},
        {QStringLiteral("Option1_0"), QStringLiteral("actPolygon")},
        {QStringLiteral("Option1_1"), QStringLiteral("actRechteck")},
        {QStringLiteral("Option1_2"), QStringLiteral("actKreis")},
        {QStringLiteral("Option1_3"), QStringLiteral("actEditMode")},
    };
    const QString name = entries.value(button->objectName());
    return name.isEmpty() ? nullptr : m_window->menuBar()->findChild<QAction*>(name);
}

QAction* Session::menuEntryFor(const QKeySequence& keys) const
{
    std::function<QAction*(const QList<QAction*>&)> find = [&](const QList<QAction*>& actions) -> QAction* {
        for (QAction* action : actions) {
            if (action->menu()) {
                if (QAction* found = find(action->menu()->actions()))
                    return found;
            } else if (action->shortcuts().contains(keys)) {
                return action;
            }
        }
        return nullptr;
    };
    return find(m_window->menuBar()->actions());
}

void Session::drag(QWidget* on, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers)
{
    // QTest takes (0, 0) for the widget's centre.
    const auto exact = [](QPoint p) { return p.isNull() ? QPoint(1, 0) : p; };
    QTest::mousePress(on, Qt::LeftButton, modifiers, exact(from));
    QTest::mouseMove(on, exact((from + to) / 2));
    QTest::mouseMove(on, exact(to));
    QTest::mouseRelease(on, Qt::LeftButton, modifiers, exact(to));
}

void Session::clickRow(int row, Qt::KeyboardModifiers modifiers)
{
    QListView* list = w().ui.List1;
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualRect(index).center());
}

AreaTableWindow* Session::areaTable() const
{
    return m_window->findChild<AreaTableWindow*>();
}

ExportWindow* Session::exportWindow() const
{
    return m_window->findChild<ExportWindow*>();
}

} // namespace korvane::session
