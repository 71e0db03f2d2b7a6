#include "app/ImportProgress.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>

namespace korvane {

namespace {

constexpr int kSteps = 1000;

} // namespace

ImportProgress::ImportProgress(QWidget* window, const QString& path)
{
    if (QFileInfo(path).size() < kShownFrom)
        return;
    m_dialog = std::make_unique<QProgressDialog>(QString(), tr("Abbrechen"), 0, kSteps, window);
    m_dialog->setWindowTitle(programName());
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(0);
}

ImportProgress::~ImportProgress() = default;

import::Progress ImportProgress::step(const char* label)
{
    if (!m_dialog)
        return {};
    m_dialog->setLabelText(tr(label));
    m_dialog->setValue(0);
    return [this](qint64 done, qint64 total) {
        // The events are handled here, a press of "Abbrechen" among them;
        // the modal dialog keeps them from the window.
        const int value = total > 0 ? int(std::min<qint64>(done, total) * kSteps / total) : 0;
        if (value == m_dialog->value())
            QCoreApplication::processEvents();
        else
            m_dialog->setValue(value); // handles them itself

        m_cancelled = m_cancelled || m_dialog->wasCanceled();
        return !m_cancelled;
    };
}

} // namespace korvane
