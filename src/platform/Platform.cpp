#include "platform/Platform.h"

#include "platform/QtPlatform.h"

#include <QCoreApplication>

namespace korvane {

namespace {
std::unique_ptr<Platform>& current()
{
    static std::unique_ptr<Platform> instance;
    return instance;
}

// The two question titles are constants that callers name; they are put into
// the window's language here, where every question passes.
QString shownTitle(const QString& title)
{
    if (title == kQuestionTitle)
        return QCoreApplication::translate("korvane::Platform", "Korvane Kontrollabfrage");
    if (title == kQuestionTitleDash)
        return QCoreApplication::translate("korvane::Platform", "Korvane - Kontrollabfrage");
    return title;
}
} // namespace

Platform& platform()
{
    if (!current())
        current() = std::make_unique<QtPlatform>();
    return *current();
}

void setPlatform(std::unique_ptr<Platform> platform)
{
    current() = std::move(platform);
}

QString programName()
{
    return QStringLiteral("korvane");
}

bool askYesNo(QWidget* owner, const QString& title, const QString& text, MessageButton defaultButton)
{
    return platform().messageBox(owner, shownTitle(title), text, MessageIcon::Question,
                                 {MessageButton::Yes, MessageButton::No},
                                 defaultButton) == MessageButton::Yes;
}

MessageButton askYesNoCancel(QWidget* owner, const QString& title, const QString& text, MessageButton defaultButton)
{
    return platform().messageBox(owner, shownTitle(title), text, MessageIcon::Question,
                                 {MessageButton::Yes, MessageButton::No, MessageButton::Cancel}, defaultButton);
}

void inform(QWidget* owner, const QString& text, const QString& title)
{
    platform().messageBox(owner, title, text, MessageIcon::Information, {MessageButton::Ok}, MessageButton::Ok);
}

void warn(QWidget* owner, const QString& text, const QString& title)
{
    platform().messageBox(owner, title, text, MessageIcon::Warning, {MessageButton::Ok}, MessageButton::Ok);
}

} // namespace korvane
