#include "app/commands/ScaleOffer.h"

#include "document/MapDocument.h"
#include "platform/Platform.h"

#include <QCoreApplication>

namespace korvane {

namespace {

QString sizeText(QSize size)
{
    return QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
}

} // namespace

bool ScaleOffer::offer(int firstRow, QSize shown, QSize picture)
{
    if (shown.isEmpty() || picture.isEmpty() || shown == picture || firstRow >= m_document.areas().count())
        return false;
    const QString question = QCoreApplication::translate("korvane::ScaleOffer", "Die Seite zeigt das Bild mit %1 Pixeln, das Bild selbst ist "
                                                                     "%2 Pixel groß. Sollen die eingelesenen Areale "
                                                                     "auf die Größe des Bildes umgerechnet werden?")
                                 .arg(sizeText(shown), sizeText(picture));
    if (!askYesNo(m_parent, kQuestionTitle, question))
        return false;
    const int before = m_document.history().index();
    m_document.scaleAreas(firstRow, double(picture.width()) / shown.width(),
                          double(picture.height()) / shown.height());
    return m_document.history().index() != before;
}

} // namespace korvane
