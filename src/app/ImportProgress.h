#pragma once

#include "io/ImportFile.h"

#include <QCoreApplication>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace korvane {

// The progress dialog of a long import: shown for a big file only, from the
// start, so that the window never freezes without a word; its "Abbrechen"
// stops the reading before anything of the map is changed.
class ImportProgress {
    Q_DECLARE_TR_FUNCTIONS(korvane::ImportProgress)
public:
    // Files from this size on take long enough to be shown.
    static constexpr qint64 kShownFrom = 8 * 1024 * 1024;
    // The steps' labels, shown in the window's language.
    static constexpr const char* kReadingFile = QT_TRANSLATE_NOOP("korvane::ImportProgress", "Die Datei wird gelesen ...");
    static constexpr const char* kReadingMaps =
        QT_TRANSLATE_NOOP("korvane::ImportProgress", "Die ImageMaps werden gesucht ...");
    static constexpr const char* kReadingAreas =
        QT_TRANSLATE_NOOP("korvane::ImportProgress", "Die Areale werden gelesen ...");

    ImportProgress(QWidget* window, const QString& path);
    ~ImportProgress();
    ImportProgress(const ImportProgress&) = delete;
    ImportProgress& operator=(const ImportProgress&) = delete;

    // The reporter of one step, which the dialog names with `label`.
    import::Progress step(const char* label);
    bool cancelled() const { return m_cancelled; }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

} // namespace korvane
