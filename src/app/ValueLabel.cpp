#include "app/ValueLabel.h"

#include <QAccessibleWidget>

namespace korvane {

namespace {

class ValueLabelAccessible : public QAccessibleWidget {
public:
    explicit ValueLabelAccessible(ValueLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<const ValueLabel*>(widget())->spokenText();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* valueLabelAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(ValueLabel::staticMetaObject.className()) && object && object->isWidgetType())
        return new ValueLabelAccessible(static_cast<ValueLabel*>(object));
    return nullptr;
}

} // namespace

ValueLabel::ValueLabel(const QString& caption, QWidget* parent) : QLabel(parent), m_caption(caption)
{
    static const bool installed = (QAccessible::installFactory(valueLabelAccessible), true);
    Q_UNUSED(installed);
    // The accessible name stays empty: with it the label reports each new
    // text to the screen reader.
}

QString ValueLabel::spokenText() const
{
    return text().isEmpty() ? m_caption : m_caption + QStringLiteral(": ") + text();
}

} // namespace korvane
