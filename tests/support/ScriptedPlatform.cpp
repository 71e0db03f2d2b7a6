#include "support/ScriptedPlatform.h"

namespace korvane::test {

MessageButton ScriptedPlatform::messageBox(QWidget*, const QString& title, const QString& text, MessageIcon icon,
                                           const QList<MessageButton>& buttons, MessageButton defaultButton)
{
    boxes.append({title, text, icon, buttons, defaultButton});
    return answers.isEmpty() ? defaultButton : answers.dequeue();
}

QString ScriptedPlatform::fileDialog(const FileDialogRequest& request)
{
    dialogs.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

ScriptedPlatform& installScriptedPlatform()
{
    auto scripted = std::make_unique<ScriptedPlatform>();
    ScriptedPlatform& ref = *scripted;
    setPlatform(std::move(scripted));
    return ref;
}

} // namespace korvane::test
