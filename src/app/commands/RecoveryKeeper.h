#pragma once

#include "io/RecoveryFile.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <optional>

class QWidget;

namespace korvane {

class MapDocument;

// What the keeper needs of the window beyond the document.
struct RecoveryView {
    // A drag is moving an area: its line is not yet a change of its own.
    std::function<bool()> dragging;
    // Puts the map of a recovery file in place of the open one, with the
    // code box's hand-edited text when it has one.
    std::function<void(const recovery::Snapshot&)> restore;
    // The code box's text when the user typed or pasted over the generated
    // code (Snapshot::code); none when it shows the areas' code.
    std::function<std::optional<QString>()> handCode;
};

// Keeps the open map's unsaved changes in this editor's recovery file: about a
// second after a change, never while a drag moves an area (the file is written
// on a worker thread from a copy taken when the change is over). The file
// goes when nothing is left unsaved and when the window closes normally. At
// start it offers the maps that editors which ended without closing left.
// When the file cannot be written, the user is told once, as soon as no drag
// or dialog is under way: the unsaved work is not protected then.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 1000;
    static constexpr int kDragRetryMs = 200;

    RecoveryKeeper(MapDocument& document, QWidget* window, RecoveryView view);
    ~RecoveryKeeper() override;

    // At start: asks about the recovery files of editors no longer running.
    void offerRecovery();
    // This editor's file.
    const QString& filePath() const { return m_path; }
    // Writes what is due now and waits until the worker is done.
    void flush();
    // The map as the file would hold it now: all the GUI thread does for a write.
    recovery::Snapshot snapshot() const;
    // Something the file keeps has changed (the code box's text, say).
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void check();
    // On the GUI thread, once the worker has written (or failed to).
    void written(recovery::WriteProblem problem);
    void warnWhenIdle();
    void finish();
    void watchExportWindow(QObject* child);
    // True when the user chose to restore the map of `file`.
    bool offer(const QString& file);
    // Where `file` is read: taken over under this editor's name, or where it
    // is when the folder takes no renaming; empty when another editor took it.
    QString claim(const QString& file);
    void restorePage(const recovery::Snapshot& snapshot);
    void putAside(const QString& claimed, const QString& original, recovery::Problem problem);

    MapDocument& m_document;
    QPointer<QWidget> m_window;
    RecoveryView m_view;
    QString m_path;
    QTimer m_timer;
    QTimer m_warnTimer;   // the word about a file that cannot be written, once the user is idle
    QThreadPool m_worker; // one thread: the writes and removals keep their order
    QDateTime m_lastChange;
    bool m_written = false; // the file is there (or about to be)
    bool m_restoring = false;
    bool m_finished = false;
    // Why the file could not be written, until the user has been told (once).
    recovery::WriteProblem m_unsaid = recovery::WriteProblem::None;
    bool m_told = false;
    QPointer<QObject> m_watchedPage;
};

} // namespace korvane
