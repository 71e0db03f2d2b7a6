#include "session/SessionPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>

namespace korvane::session {

namespace {

MessageButton resolve(Reply reply, const ShownBox& box)
{
    const auto offered = [&box](MessageButton b) { return box.buttons.contains(b); };
    switch (reply) {
    case Reply::Yes:
        return offered(MessageButton::Yes) ? MessageButton::Yes : box.defaultButton;
    case Reply::No:
        return offered(MessageButton::No) ? MessageButton::No : box.defaultButton;
    case Reply::Cancel:
        return offered(MessageButton::Cancel) ? MessageButton::Cancel : box.defaultButton;
    case Reply::Escape:
        if (offered(MessageButton::Cancel))
            return MessageButton::Cancel;
        if (offered(MessageButton::No))
            return MessageButton::No;
        return box.buttons.size() == 1 ? box.buttons.front() : box.defaultButton;
    case Reply::Default:
        break;
    }
    return box.defaultButton;
}

QString nameOf(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

} // namespace

// What the simulated user answers where the step has no answer of its own:
// closing an attribute dialog by Escape lets its input go (else the dialog
// stays), and saved files need not be shown.
Reply standardReply(const ShownBox& box)
{
    if (box.text.startsWith(QStringLiteral("Die Daten wurden noch nicht übernommen.")))
        return Reply::Yes;
    if (box.text.contains(QStringLiteral("jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?")))
        return Reply::No;
    return Reply::Default;
}

MessageButton SessionPlatform::messageBox(QWidget*, const QString& title, const QString& text, MessageIcon icon,
                                          const QList<MessageButton>& buttons, MessageButton defaultButton)
{
    boxes.append({title, text, icon, buttons, defaultButton});
    Reply reply = replyTo ? replyTo(boxes.back()) : Reply::Default;
    if (reply == Reply::Default)
        reply = standardReply(boxes.back());
    return resolve(reply, boxes.back());
}

QString SessionPlatform::fileDialog(const FileDialogRequest& request)
{
    dialogs.append(request);
    return chooseFile ? chooseFile(request) : QString();
}

int SessionPlatform::countStartingWith(const QString& start) const
{
    int count = 0;
    for (const ShownBox& box : boxes)
        count += box.text.startsWith(start) ? 1 : 0;
    return count;
}

std::optional<QColor> SessionPlatform::colourDialog(QWidget*, const QString& title, const QColor& initial)
{
    colourDialogs << title + QLatin1Char('|') + initial.name();
    return chooseColour ? chooseColour(title, initial) : std::nullopt;
}

void SessionPlatform::clear()
{
    boxes.clear();
    dialogs.clear();
    opened.clear();
    viewed.clear();
    colourDialogs.clear();
}

SessionPlatform& installSessionPlatform()
{
    auto platform = std::make_unique<SessionPlatform>();
    SessionPlatform& ref = *platform;
    setPlatform(std::move(platform));
    return ref;
}

ModalAnswers::ModalAnswers()
{
    qApp->installEventFilter(this);
}

ModalAnswers::~ModalAnswers()
{
    qApp->removeEventFilter(this);
}

// A modal dialog or a menu shows just before its own event loop starts; the
// answer runs in that loop, at once.
bool ModalAnswers::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    const bool menu = qobject_cast<QMenu*>(widget) != nullptr;
    if (!widget->isWindow() || !(menu || widget->isModal()))
        return false;
    shown << nameOf(widget);
    QTimer::singleShot(0, this, [this, w = QPointer<QWidget>(widget)] { answer(w); });
    return false;
}

void ModalAnswers::answer(QPointer<QWidget> widget)
{
    if (!widget || !widget->isVisible())
        return;
    if (m_answers.isEmpty()) {
        unexpected << nameOf(widget);
        if (auto* dialog = qobject_cast<QDialog*>(widget.data()))
            dialog->done(QDialog::Rejected);
        else
            widget->close();
        return;
    }
    m_answers.takeFirst()(widget);
}

} // namespace korvane::session
