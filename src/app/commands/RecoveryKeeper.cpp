#include "app/commands/RecoveryKeeper.h"

#include "document/MapDocument.h"
#include "io/ExportWindow.h"
#include "platform/Platform.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QWidget>

#include <unistd.h>

namespace korvane {

namespace {

QString question(const recovery::Snapshot& s)
{
    const QDateTime local = s.changed.toLocalTime();
    const QString when = QStringLiteral("am ") + local.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" um ") +
                         local.toString(QStringLiteral("HH:mm")) + QStringLiteral(" Uhr");
    const QString what = s.imagePath.isEmpty() ? QStringLiteral("Es gibt ungespeicherte Areale")
                                               : QStringLiteral("Zur Grafikdatei \"") + s.imagePath +
                                                     QStringLiteral("\" gibt es ungespeicherte Areale");
    return QStringLiteral("Korvane wurde nicht ordnungsgemäß beendet. ") + what +
           QStringLiteral(", zuletzt geändert ") + when +
           QStringLiteral(". Sollen diese Areale jetzt wiederhergestellt werden?");
}

QString problemText(recovery::Problem problem, const QString& original, const QString& aside)
{
    const QString file = QStringLiteral("Die Wiederherstellungsdatei \"") + original + QStringLiteral("\" ");
    QString why;
    switch (problem) {
    case recovery::Problem::Truncated:
        why = QStringLiteral("ist unvollständig");
        break;
    case recovery::Problem::NewerVersion:
        why = QStringLiteral("stammt von einer neueren Version von Korvane");
        break;
    default:
        why = QStringLiteral("konnte nicht gelesen werden");
        break;
    }
    return file + why +
           QStringLiteral("; die Areale darin lassen sich nicht wiederherstellen. Die Datei wurde unter \"") + aside +
           QStringLiteral("\" beiseitegelegt und wird beim nächsten Start gelöscht.");
}

// Moves `from` to `to`, replacing what is there.
bool moveFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    return QFile::rename(from, to);
}

} // namespace

RecoveryKeeper::RecoveryKeeper(MapDocument& document, QWidget* window, RecoveryView view)
    : QObject(window), m_document(document), m_window(window), m_view(std::move(view)),
      m_path(recovery::filePath(::getpid()))
{
    m_worker.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::check);
    const AreaList& areas = document.areas();
    connect(&areas, &AreaList::rowsInserted, this, &RecoveryKeeper::changed);
    connect(&areas, &AreaList::rowsRemoved, this, &RecoveryKeeper::changed);
    connect(&areas, &AreaList::rowsMoved, this, &RecoveryKeeper::changed);
    connect(&areas, &AreaList::dataChanged, this, &RecoveryKeeper::changed);
    connect(&areas, &AreaList::modelReset, this, &RecoveryKeeper::changed);
    connect(&document.history(), &QUndoStack::indexChanged, this, &RecoveryKeeper::changed);
    connect(&document.selection(), &QItemSelectionModel::currentChanged, this, &RecoveryKeeper::changed);
    // Ctrl+click takes the chosen area out of the selection (or puts it back)
    // without moving the current line: the file's selected line changes all the same.
    connect(&document.selection(), &QItemSelectionModel::selectionChanged, this, &RecoveryKeeper::changed);
    connect(&document, &MapDocument::savedMarked, this, [this] {
        m_timer.stop();
        check();
    });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &RecoveryKeeper::finish);
    window->installEventFilter(this);
}

RecoveryKeeper::~RecoveryKeeper()
{
    finish();
}

void RecoveryKeeper::changed()
{
    if (m_finished || m_restoring)
        return;
    m_lastChange = QDateTime::currentDateTimeUtc();
    if (!m_timer.isActive())
        m_timer.start(kDelayMs);
}

void RecoveryKeeper::check()
{
    if (m_finished)
        return;
    if (m_view.dragging && m_view.dragging()) {
        m_timer.start(kDragRetryMs);
        return;
    }
    const QString path = m_path;
    // The lines are shared with the list, not copied; the worker builds the text.
    recovery::Snapshot s = m_document.mapSaved() ? recovery::Snapshot() : snapshot();
    // Code typed into an empty map leaves no areas to bring back.
    if (s.lines.isEmpty() && !s.hasPage) {
        if (m_written)
            m_worker.start([path] { QFile::remove(path); });
        m_written = false;
        return;
    }
    m_worker.start([path, s = std::move(s)] { recovery::writeFile(path, s); });
    m_written = true;
}

recovery::Snapshot RecoveryKeeper::snapshot() const
{
    recovery::Snapshot s;
    s.imagePath = m_document.imagePath();
    s.mapName = m_document.mapName();
    s.lines = m_document.areas().lines();
    s.selectedRow = m_document.selectedRow();
    s.changed = m_lastChange.isValid() ? m_lastChange : QDateTime::currentDateTimeUtc();
    const auto* page = m_window ? m_window->findChild<ExportWindow*>() : nullptr;
    if (page && page->isVisible() && !page->isSaved() && page->textModified()) {
        s.hasPage = true;
        s.pagePath = page->tag();
        s.pageBytes = page->page().save(page->rawText());
    }
    return s;
}

void RecoveryKeeper::flush()
{
    if (m_timer.isActive()) {
        m_timer.stop();
        check();
    }
    m_worker.waitForDone();
}

void RecoveryKeeper::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    if (m_written) {
        const QString path = m_path;
        m_worker.start([path] { QFile::remove(path); });
    }
    m_worker.waitForDone();
}

bool RecoveryKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close) {
        // Only a close that went through ends the editor's file.
        QTimer::singleShot(0, this, [this] {
            if (m_window && !m_window->isVisible())
                finish();
        });
    } else if (watched == m_window && event->type() == QEvent::ChildPolished) {
        watchExportWindow(static_cast<QChildEvent*>(event)->child());
    }
    return QObject::eventFilter(watched, event);
}

// The export window comes when the user first exports; its edits are changes
// that the file keeps too.
void RecoveryKeeper::watchExportWindow(QObject* child)
{
    auto* page = qobject_cast<ExportWindow*>(child);
    if (!page || m_watchedPage == page)
        return;
    m_watchedPage = page;
    connect(page, &ExportWindow::textChanged, this, &RecoveryKeeper::changed);
}

void RecoveryKeeper::offerRecovery()
{
    // Files put aside at the last start have had their one more start.
    for (const QString& aside : recovery::asideFilesInFolder())
        QFile::remove(aside);
    for (const QString& file : recovery::filesInFolder()) {
        const qint64 pid = recovery::pidOfFile(file);
        if (pid < 0 || (pid != ::getpid() && recovery::editorRunning(pid)))
            continue;
        if (offer(file))
            break; // one map at a time; the others wait for the next start
    }
}

bool RecoveryKeeper::offer(const QString& file)
{
    // Taken over under this editor's name first, so that an editor starting at
    // the same moment cannot take it as well.
    if (file != m_path && !QFile::rename(file, m_path))
        return false;
    const recovery::ReadResult read = recovery::readFile(m_path);
    if (read.problem != recovery::Problem::None) {
        putAside(m_path, file, read.problem);
        return false;
    }
    if (!askYesNo(m_window, kQuestionTitle, question(read.snapshot))) {
        moveFile(m_path, recovery::asidePath(recovery::pidOfFile(file)));
        return false;
    }
    m_written = true; // the file stays until the restored map is written over it
    m_restoring = true;
    m_view.restore(read.snapshot);
    restorePage(read.snapshot);
    m_restoring = false;
    m_lastChange = read.snapshot.changed;
    m_timer.stop();
    check();
    return true;
}

void RecoveryKeeper::restorePage(const recovery::Snapshot& snapshot)
{
    if (!snapshot.hasPage || !m_window)
        return;
    auto* page = m_window->findChild<ExportWindow*>();
    if (!page)
        page = new ExportWindow(m_window);
    page->loadUnsaved(snapshot.pagePath, snapshot.pageBytes);
    page->show();
}

void RecoveryKeeper::putAside(const QString& claimed, const QString& original, recovery::Problem problem)
{
    const QString aside = recovery::asidePath(recovery::pidOfFile(original));
    moveFile(claimed, aside);
    warn(m_window, problemText(problem, original, aside));
}

} // namespace korvane
