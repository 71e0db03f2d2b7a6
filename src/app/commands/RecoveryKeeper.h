#pragma once

#include "io/RecoveryFile.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <functional>

class QWidget;

namespace korvane {

class MapDocument;

// What the keeper needs of the window beyond the document.
struct RecoveryView {
    // A drag is moving an area: its line is not yet a change of its own.
    std::function<bool()> dragging;
    // Puts the map of a recovery file in place of the open one.
    std::function<void(const recovery::Snapshot&)> restore;
};

// Keeps the open map's unsaved changes in this editor's recovery file: about a
// second after a change, never while a drag moves an area (the file is written
// on a worker thread from a copy taken when the change is over). The file
// goes when nothing is left unsaved and when the window closes normally. At
// start it offers the maps that editors which ended without closing left.
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();
    void check();
    void finish();
    void watchExportWindow(QObject* child);
    // True when the user chose to restore the map of `file`.
    bool offer(const QString& file);
    void restorePage(const recovery::Snapshot& snapshot);
    void putAside(const QString& claimed, const QString& original, recovery::Problem problem);

    MapDocument& m_document;
    QPointer<QWidget> m_window;
    RecoveryView m_view;
    QString m_path;
    QTimer m_timer;
    QThreadPool m_worker; // one thread: the writes and removals keep their order
    QDateTime m_lastChange;
    bool m_written = false; // the file is there (or about to be)
    bool m_restoring = false;
    bool m_finished = false;
    QPointer<QObject> m_watchedPage;
};

} // namespace korvane
