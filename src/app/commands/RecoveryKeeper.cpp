#include "app/commands/RecoveryKeeper.h"

#include "document/MapDocument.h"
#include "io/ExportWindow.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QApplication>
#include <QChildEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {

QString question(const recovery::Snapshot& s)
{
    const QDateTime local = s.changed.toLocalTime();
    const QString when = QCoreApplication::translate("korvane::RecoveryKeeper", "am %1 um %2 Uhr")
                             .arg(local.toString(QStringLiteral("dd.MM.yyyy")), local.toString(QStringLiteral("HH:mm")));
    // Code typed by hand where no area is drawn is the work to bring back.
    const bool onlyCode = s.lines.isEmpty() && s.code;
    const QString work = onlyCode ? QCoreApplication::translate("korvane::RecoveryKeeper", "ungespeicherten HTML-Code") : QCoreApplication::translate("korvane::RecoveryKeeper", "ungespeicherte Areale");
    const QString what = s.imagePath.isEmpty() ? QCoreApplication::translate("korvane::RecoveryKeeper", "Es gibt %1").arg(work)
                                               : QCoreApplication::translate("korvane::RecoveryKeeper", "Zur Grafikdatei \"%1\" gibt es %2").arg(s.imagePath, work);
    return (onlyCode ? QCoreApplication::translate("korvane::RecoveryKeeper", "Korvane wurde nicht ordnungsgemäß beendet. %1, zuletzt geändert %2. Soll dieser Code jetzt "
                          "wiederhergestellt werden?")
                     : QCoreApplication::translate("korvane::RecoveryKeeper", "Korvane wurde nicht ordnungsgemäß beendet. %1, zuletzt geändert %2. Sollen diese Areale "
                          "jetzt wiederhergestellt werden?"))
        .arg(what, when);
}

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + 1024 * 1024 - 1) / (1024 * 1024)) + QStringLiteral(" MB");
}

// An entry that is no recovery file to read: kept aside for the user, never removed.
QString refusedText(recovery::Problem problem, const QString& original, const QString& aside, bool moved)
{
    QString why = QCoreApplication::translate("korvane::RecoveryKeeper", "ist keine gewöhnliche Datei");
    if (problem == recovery::Problem::TooBig) {
        struct stat status {};
        const qint64 size =
            ::stat(QFile::encodeName(moved ? aside : original).constData(), &status) == 0 ? status.st_size : 0;
        why = QCoreApplication::translate("korvane::RecoveryKeeper", "ist mit %1 größer als jede Map, die Korvane sichert (höchstens %2)")
                  .arg(megabytes(size), megabytes(recovery::kMaxFileBytes));
    }
    const QString where = moved ? QCoreApplication::translate("korvane::RecoveryKeeper", "Sie wurde unter \"%1\" beiseitegelegt und bleibt dort erhalten.").arg(aside)
                                : QCoreApplication::translate("korvane::RecoveryKeeper", "Sie ließ sich nicht beiseitelegen und wird beim nächsten Start wieder gemeldet.");
    return QCoreApplication::translate("korvane::RecoveryKeeper", "Die Wiederherstellungsdatei \"%1\" %2; sie wird nicht gelesen.").arg(original, why) + QLatin1Char(' ') +
           where;
}

// Why unsaved work has no recovery file, as the end of a sentence.
QString unwritableReason(recovery::WriteProblem problem)
{
    // A missing folder is kept from being made by the first part of its path that is there.
    const QString folder = QStringLiteral("\"") + recovery::folderInTheWay() + QStringLiteral("\"");
    switch (problem) {
    case recovery::WriteProblem::NotAFolder:
        return QCoreApplication::translate("korvane::RecoveryKeeper", "%1 kein Ordner ist").arg(folder);
    case recovery::WriteProblem::NotOurs:
        return QCoreApplication::translate("korvane::RecoveryKeeper", "der Ordner %1 einem anderen Benutzer gehört").arg(folder);
    case recovery::WriteProblem::ReadOnly:
        return QCoreApplication::translate("korvane::RecoveryKeeper", "der Ordner %1 schreibgeschützt ist").arg(folder);
    case recovery::WriteProblem::Full:
        return QCoreApplication::translate("korvane::RecoveryKeeper", "der Datenträger voll ist");
    case recovery::WriteProblem::TooBig:
        return QCoreApplication::translate("korvane::RecoveryKeeper", "die Map größer als %1 ist").arg(megabytes(recovery::kMaxFileBytes));
    default:
        return QCoreApplication::translate("korvane::RecoveryKeeper", "das System es nicht zulässt");
    }
}

QString unprotectedText(recovery::WriteProblem problem, const QString& path)
{
    return QCoreApplication::translate("korvane::RecoveryKeeper", "Die Wiederherstellungsdatei \"%1\" kann nicht geschrieben werden, weil %2. Ungespeicherte Änderungen "
              "sind deshalb nicht vor einem Absturz geschützt; bitte die Map speichern.")
        .arg(path, unwritableReason(problem));
}

QString problemText(recovery::Problem problem, const QString& original, const QString& aside, bool moved)
{
    if (problem == recovery::Problem::NotAFile || problem == recovery::Problem::TooBig)
        return refusedText(problem, original, aside, moved);
    QString why;
    switch (problem) {
    case recovery::Problem::Truncated:
        why = QCoreApplication::translate("korvane::RecoveryKeeper", "ist unvollständig");
        break;
    case recovery::Problem::NewerVersion:
        why = QCoreApplication::translate("korvane::RecoveryKeeper", "stammt von einer neueren Version von Korvane");
        break;
    default:
        why = QCoreApplication::translate("korvane::RecoveryKeeper", "konnte nicht gelesen werden");
        break;
    }
    const QString where =
        moved ? QCoreApplication::translate("korvane::RecoveryKeeper", "Die Datei wurde unter \"%1\" beiseitegelegt und wird beim nächsten Start gelöscht.").arg(aside)
              : QCoreApplication::translate("korvane::RecoveryKeeper", "Die Datei ließ sich nicht beiseitelegen und wird beim nächsten Start wieder gemeldet.");
    return QCoreApplication::translate("korvane::RecoveryKeeper", "Die Wiederherstellungsdatei \"%1\" %2; die Areale darin lassen sich nicht wiederherstellen.")
               .arg(original, why) +
           QLatin1Char(' ') + where;
}

// Moves `from` to `to` in one step, replacing what is there; never a copy
// (a pipe or a device would be read).
bool moveFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Another window or a drag has the mouse: a message now would take it away.
bool userBusy(const std::function<bool()>& dragging)
{
    return (dragging && dragging()) || QGuiApplication::mouseButtons() != Qt::NoButton ||
           QApplication::activeModalWidget() || QApplication::activePopupWidget();
}

} // namespace

RecoveryKeeper::RecoveryKeeper(MapDocument& document, QWidget* window, RecoveryView view)
    : QObject(window), m_document(document), m_window(window), m_view(std::move(view)),
      m_path(recovery::filePath(::getpid()))
{
    m_worker.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::check);
    m_warnTimer.setSingleShot(true);
    connect(&m_warnTimer, &QTimer::timeout, this, &RecoveryKeeper::warnWhenIdle);
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
    if (s.lines.isEmpty() && !s.hasPage && !s.code) {
        if (m_written)
            m_worker.start([path] { QFile::remove(path); });
        m_written = false;
        return;
    }
    // The keeper outlives the worker's tasks (finish() waits for them).
    m_worker.start([this, path, s = std::move(s)] {
        recovery::WriteProblem problem = recovery::WriteProblem::None;
        recovery::writeFile(path, s, &problem);
        QMetaObject::invokeMethod(
            this, [this, problem] { written(problem); }, Qt::QueuedConnection);
    });
    m_written = true;
}

void RecoveryKeeper::written(recovery::WriteProblem problem)
{
    if (problem == recovery::WriteProblem::None || m_told)
        return;
    m_unsaid = problem;
    warnWhenIdle();
}

// Said once: a box after every change would keep the user from working.
void RecoveryKeeper::warnWhenIdle()
{
    if (m_told || m_finished || m_unsaid == recovery::WriteProblem::None)
        return;
    if (userBusy(m_view.dragging)) {
        m_warnTimer.start(kDragRetryMs);
        return;
    }
    m_told = true;
    warn(m_window, unprotectedText(m_unsaid, m_path));
}

recovery::Snapshot RecoveryKeeper::snapshot() const
{
    recovery::Snapshot s;
    s.imagePath = m_document.imagePath();
    s.mapName = m_document.mapName();
    s.lines = m_document.areas().lines();
    s.selectedRow = m_document.selectedRow();
    s.changed = m_lastChange.isValid() ? m_lastChange : QDateTime::currentDateTimeUtc();
    if (m_view.handCode)
        s.code = m_view.handCode();
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
    // What the worker reports, now rather than at the next turn of the event loop.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void RecoveryKeeper::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    m_warnTimer.stop();
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
    // Files put aside at the last start have had their one more start; in
    // another user's folder nothing is removed or moved.
    if (recovery::folderIsOurs()) {
        for (const QString& aside : recovery::asideFilesInFolder())
            QFile::remove(aside);
        recovery::removeStaleTemporaries();
    }
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
    // A link, a pipe or a device is never taken over, let alone read.
    struct stat status {};
    if (::lstat(QFile::encodeName(file).constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        putAside(file, file, recovery::Problem::NotAFile);
        return false;
    }
    const QString at = claim(file);
    if (at.isEmpty())
        return false;
    const recovery::ReadResult read = recovery::readFile(at);
    if (read.problem != recovery::Problem::None) {
        putAside(at, file, read.problem);
        return false;
    }
    if (!askYesNo(m_window, kQuestionTitle, question(read.snapshot))) {
        if (recovery::folderIsOurs())
            moveFile(at, recovery::asidePath(recovery::pidOfFile(file)));
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

QString RecoveryKeeper::claim(const QString& file)
{
    // Another user's folder: its files are read where they are, never moved.
    if (file == m_path || !recovery::folderIsOurs())
        return file;
    // Taken over under this editor's name first, so that an editor starting at
    // the same moment cannot take it as well; a file of this name (left by an
    // earlier process of the same id) is not replaced.
    const QByteArray from = QFile::encodeName(file);
    const QByteArray to = QFile::encodeName(m_path);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return m_path;
    // A file system without that kind of renaming (FAT, say).
    if (errno == EINVAL) {
        struct stat status {};
        if (::lstat(to.constData(), &status) == 0)
            return {};
        if (std::rename(from.constData(), to.constData()) == 0)
            return m_path;
    }
    // Gone: another editor took it. Still there: the folder takes no renaming
    // (read-only), and what it holds is offered all the same.
    return errno == ENOENT || errno == EEXIST ? QString() : file;
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
    // What cannot be read as a map may still be the user's: kept, not removed at the next start.
    const bool keep = problem == recovery::Problem::NotAFile || problem == recovery::Problem::TooBig;
    const qint64 pid = recovery::pidOfFile(original);
    const QString aside = keep ? recovery::refusedPath(pid) : recovery::asidePath(pid);
    const bool moved = recovery::folderIsOurs() && moveFile(claimed, aside);
    warn(m_window, problemText(problem, original, aside, moved));
}

} // namespace korvane
