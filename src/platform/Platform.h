#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

// The one seam between the editor and the desktop: message boxes, file
// dialogs and launching other programs. Tests install a scripted double.
namespace korvane {

enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButton { Ok, Yes, No, Cancel };

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QWidget* owner = nullptr;
    QString title;
    QString folder;     // start folder
    QString presetName; // file name shown at the start
    QString filter;     // bar convention: "Description|*.a;*.b|Other|*.c"
    QString defaultExtension;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual MessageButton messageBox(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                                     const QList<MessageButton>& buttons, MessageButton defaultButton) = 0;
    // Shows the dialog; returns the chosen full path, or empty text when cancelled.
    // The save dialog asks itself before replacing an existing file.
    virtual QString fileDialog(const FileDialogRequest& request) = 0;
    // Opens a file with the program the desktop associates with it; false
    // when no program could be started for it.
    virtual bool openWithAssociatedProgram(const QString& path) = 0;
    // Opens a text file in the desktop's text viewer.
    virtual void openInTextViewer(const QString& path) = 0;
    // The colour dialog, starting at `initial`; nothing when cancelled. A
    // desktop that offers none (a double that does not script it) cancels.
    virtual std::optional<QColor> colourDialog(QWidget* owner, const QString& title, const QColor& initial)
    {
        Q_UNUSED(owner);
        Q_UNUSED(title);
        Q_UNUSED(initial);
        return std::nullopt;
    }
};

Platform& platform();
// Replaces the platform in use (tests install their double here).
void setPlatform(std::unique_ptr<Platform> platform);

// The program's executable name without extension: the title of information boxes.
QString programName();
inline const QString kQuestionTitle = QStringLiteral("Korvane Kontrollabfrage");
inline const QString kQuestionTitleDash = QStringLiteral("Korvane - Kontrollabfrage");

// A question with Yes and No and a question icon; true for Yes.
bool askYesNo(QWidget* owner, const QString& title, const QString& text,
              MessageButton defaultButton = MessageButton::Yes);
// A question whose No throws work away: Yes, No and Cancel ("Abbrechen") with
// a question icon. Escape and the box's close button answer Cancel, which
// the caller takes as "leave everything as it was".
MessageButton askYesNoCancel(QWidget* owner, const QString& title, const QString& text,
                             MessageButton defaultButton = MessageButton::Yes);
// An information box with an OK button.
void inform(QWidget* owner, const QString& text, const QString& title = programName());
// A failure the user must know about (an OK button and a warning icon).
void warn(QWidget* owner, const QString& text, const QString& title = programName());

} // namespace korvane
