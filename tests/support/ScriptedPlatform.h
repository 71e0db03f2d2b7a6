#pragma once

#include "platform/Platform.h"

#include <QQueue>
#include <QStringList>

namespace korvane::test {

struct ShownBox {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    QList<MessageButton> buttons;
    MessageButton defaultButton = MessageButton::Ok;

    bool operator==(const ShownBox&) const = default;
};

// Lets QCOMPARE print a box that differs.
char* toString(const ShownBox& box);

// Compares what a box said; its buttons are left to the caller.
void expectBox(const ShownBox& box, const QString& title, const QString& text, MessageIcon icon);

// The box warn() shows: a warning icon and an OK button.
inline ShownBox warningBox(const QString& text, const QString& title = QStringLiteral("korvane"))
{
    return {title, text, MessageIcon::Warning, {MessageButton::Ok}, MessageButton::Ok};
}

// A dialog request as {mode, title, folder, preset name, filter, default extension}, so one
// comparison pins all its texts.
QStringList textsOf(const FileDialogRequest& request);

// Records every box and dialog and answers from queues. An empty answer queue
// gives the box's default button and a cancelled file dialog.
class ScriptedPlatform : public Platform {
public:
    MessageButton messageBox(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                             const QList<MessageButton>& buttons, MessageButton defaultButton) override;
    QString fileDialog(const FileDialogRequest& request) override;
    bool openWithAssociatedProgram(const QString& path) override
    {
        opened << path;
        return programStarts;
    }
    void openInTextViewer(const QString& path) override { viewed << path; }
    std::optional<QColor> colourDialog(QWidget* owner, const QString& title, const QColor& initial) override;
    // The texts of the boxes shown, in order.
    QStringList texts() const;

    QList<ShownBox> boxes;
    QQueue<MessageButton> answers;
    QList<FileDialogRequest> dialogs;
    QQueue<QString> fileAnswers; // full paths; "" cancels
    QStringList opened;
    bool programStarts = true; // false: no program can be started for a file
    QStringList viewed;
    // The colour dialogs asked for ("title|#initial") and their answers; an empty queue cancels.
    QStringList colourDialogs;
    QQueue<QColor> colourAnswers;
};

// Installs a fresh scripted platform and returns it (owned by the platform seam).
ScriptedPlatform& installScriptedPlatform();

} // namespace korvane::test
