#pragma once

#include "platform/Platform.h"

namespace korvane {

// The real desktop: QMessageBox, QFileDialog, QColorDialog, QDesktopServices, QProcess.
class QtPlatform : public Platform {
public:
    MessageButton messageBox(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                             const QList<MessageButton>& buttons, MessageButton defaultButton) override;
    QString fileDialog(const FileDialogRequest& request) override;
    bool openWithAssociatedProgram(const QString& path) override;
    void openInTextViewer(const QString& path) override;
    std::optional<QColor> colourDialog(QWidget* owner, const QString& title, const QColor& initial) override;
};

} // namespace korvane
