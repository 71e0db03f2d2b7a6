#pragma once

#include "io/ImportFile.h"

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace korvane {

// The progress dialog of a long import: shown for a big file only, from the
// start, so that the window never freezes without a word; its "Abbrechen"
// stops the reading before anything of the map is changed.
class ImportProgress {
public:
    // Files from this size on take long enough to be shown.
    static constexpr qint64 kShownFrom = 8 * 1024 * 1024;
    // The steps' labels.
    static inline const QString kReadingFile = QStringLiteral("Die Datei wird gelesen ...");
    static inline const QString kReadingMaps = QStringLiteral("Die ImageMaps werden gesucht ...");
    static inline const QString kReadingAreas = QStringLiteral("Die Areale werden gelesen ...");

    ImportProgress(QWidget* window, const QString& path);
    ~ImportProgress();
    ImportProgress(const ImportProgress&) = delete;
    ImportProgress& operator=(const ImportProgress&) = delete;

    // The reporter of one step, which the dialog names with `label`.
    import::Progress step(const QString& label);
    bool cancelled() const { return m_cancelled; }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

} // namespace korvane
