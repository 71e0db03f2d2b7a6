#include "platform/QtPlatform.h"

#include "platform/FileDialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace korvane {

namespace {

QMessageBox::StandardButton toStandard(MessageButton b)
{
    switch (b) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageButton QtPlatform::messageBox(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                                     const QList<MessageButton>& buttons, MessageButton defaultButton)
{
    QMessageBox box(toIcon(icon), title, text, QMessageBox::NoButton, owner);
    for (MessageButton b : buttons)
        box.addButton(toStandard(b));
    box.setDefaultButton(toStandard(defaultButton));
    // Escape and the title bar's close button leave everything as it was
    // where the box offers that; else they answer No.
    if (buttons.contains(MessageButton::Cancel))
        box.setEscapeButton(toStandard(MessageButton::Cancel));
    const int result = box.exec();
    for (MessageButton b : buttons) {
        if (result == toStandard(b))
            return b;
    }
    if (buttons.contains(MessageButton::Cancel))
        return MessageButton::Cancel;
    return buttons.contains(MessageButton::No) ? MessageButton::No : buttons.value(0, MessageButton::Ok);
}

QString QtPlatform::fileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(request.owner, request.title, request.folder);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The descriptions already name their patterns; the dialog shows them as
    // they stand instead of adding the patterns a second time.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFiltersOf(request.filter));
    dialog.setDefaultSuffix(defaultSuffixOf(request.defaultExtension));
    if (!request.presetName.isEmpty())
        dialog.selectFile(request.presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool QtPlatform::openWithAssociatedProgram(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtPlatform::openInTextViewer(const QString& path)
{
    // A plain-text editor of the desktop when one is installed; the path is one
    // argument, never passed through a shell.
    const char* viewers[] = {"gnome-text-editor", "gedit",  "kate", "kwrite", "mousepad", "xed", "pluma",
                             "featherpad",        "leafpad"};
    for (const char* viewer : viewers) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(viewer));
        if (!program.isEmpty() && QProcess::startDetached(program, {path}))
            return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<QColor> QtPlatform::colourDialog(QWidget* owner, const QString& title, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, owner, title);
    return chosen.isValid() ? std::optional(chosen) : std::nullopt;
}

} // namespace korvane
