#include "dialogs/AttributeRules.h"

#include "model/AreaEntry.h"

namespace korvane::attributes {

QString cleanedHref(const QString& typed)
{
    QString href = typed;
    href.remove(QStringLiteral("href="), Qt::CaseInsensitive);
    href.remove(QLatin1Char('"'));
    return href;
}

QString optionalValue(const QString& typed)
{
    return blanksTrimmed(typed).isEmpty() ? entry::kAbsent : typed;
}

} // namespace korvane::attributes
