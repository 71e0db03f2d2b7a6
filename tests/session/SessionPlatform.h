#pragma once

#include "support/ScriptedPlatform.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QWidget;

namespace korvane::session {

using test::ShownBox;

// How the simulated user answers a message box: a button by its role, or
// Escape, which a real box gives to its Cancel button when it has one and
// else to No (the toolkit's rule for a box of Yes and No).
enum class Reply { Yes, No, Cancel, Escape, Default };

// The answer where a step gives none: Yes to letting an attribute dialog's
// input go, No to showing saved files; else the box's default.
Reply standardReply(const ShownBox& box);

// The platform double of the random sessions: every box and file dialog is
// recorded and answered by the step that runs, never from a queue prepared
// ahead, so a step can answer by what it is asked.
class SessionPlatform : public Platform {
public:
    MessageButton messageBox(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                             const QList<MessageButton>& buttons, MessageButton defaultButton) override;
    QString fileDialog(const FileDialogRequest& request) override;
    bool openWithAssociatedProgram(const QString& path) override
    {
        opened << path;
        return true;
    }
    void openInTextViewer(const QString& path) override { viewed << path; }
    std::optional<QColor> colourDialog(QWidget* owner, const QString& title, const QColor& initial) override;

    // The answer to a box; unset or Default: standardReply().
    std::function<Reply(const ShownBox&)> replyTo;
    // The answer to a file dialog: a full path, or "" to cancel; unset: cancel.
    std::function<QString(const FileDialogRequest&)> chooseFile;
    // The answer to the colour dialog (its title and the colour it starts
    // at); unset or nothing: cancelled.
    std::function<std::optional<QColor>(const QString& title, const QColor& initial)> chooseColour;

    // What the current step was shown; the session clears them before each step.
    QList<ShownBox> boxes;
    QList<FileDialogRequest> dialogs;
    QStringList opened;
    QStringList viewed;
    QStringList colourDialogs; // "title|#initial"

    // The boxes whose text starts with `start`.
    int countStartingWith(const QString& start) const;
    void clear();
};

// Installs a fresh one (owned by the platform seam).
SessionPlatform& installSessionPlatform();

// Answers the modal dialogs and popup menus the window opens, as soon as they
// show: the step hands in what to do with the next one. A dialog nobody
// expected is recorded and closed, so that no sequence can hang on it.
class ModalAnswers : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget*)>;

    ModalAnswers();
    ~ModalAnswers() override;

    // The answers for the next modal dialogs or menus, in the order they open.
    void expect(Answer answer) { m_answers << std::move(answer); }
    // An answer for the very next one, before those expected already (a menu
    // opened on the way to a dialog that is expected).
    void expectFirst(Answer answer) { m_answers.prepend(std::move(answer)); }
    bool pending() const { return !m_answers.isEmpty(); }
    void clear() { m_answers.clear(); }
    // The objectNames (else class names) of dialogs no answer was ready for.
    QStringList unexpected;
    // Every modal window shown, by objectName or class name.
    QStringList shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answer(QPointer<QWidget> widget);

    QList<Answer> m_answers;
};

} // namespace korvane::session
