#include "support/ScriptedPlatform.h"

#include <QTest>

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

std::optional<QColor> ScriptedPlatform::colourDialog(QWidget*, const QString& title, const QColor& initial)
{
    colourDialogs << title + QLatin1Char('|') + initial.name();
    return colourAnswers.isEmpty() ? std::nullopt : std::optional(colourAnswers.dequeue());
}

void expectBox(const ShownBox& box, const QString& title, const QString& text, MessageIcon icon)
{
    QCOMPARE(box.title, title);
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, icon);
}

QStringList ScriptedPlatform::texts() const
{
    QStringList shown;
    for (const ShownBox& box : boxes)
        shown << box.text;
    return shown;
}

char* toString(const ShownBox& box)
{
    QStringList buttons;
    for (MessageButton b : box.buttons)
        buttons << QString::number(int(b));
    const QString text = QStringLiteral("{\"%1\", \"%2\", icon %3, buttons %4, default %5}")
                             .arg(box.title, box.text)
                             .arg(int(box.icon))
                             .arg(buttons.join(QLatin1Char(',')))
                             .arg(int(box.defaultButton));
    return QTest::toString(text);
}

QStringList textsOf(const FileDialogRequest& request)
{
    const bool open = request.mode == FileDialogRequest::Mode::Open;
    return {open ? QStringLiteral("Open") : QStringLiteral("Save"),
            request.title,
            request.folder,
            request.presetName,
            request.filter,
            request.defaultExtension};
}

ScriptedPlatform& installScriptedPlatform()
{
    auto scripted = std::make_unique<ScriptedPlatform>();
    ScriptedPlatform& ref = *scripted;
    setPlatform(std::move(scripted));
    return ref;
}

} // namespace korvane::test
