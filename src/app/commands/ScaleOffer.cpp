#include "app/commands/ScaleOffer.h"

#include "document/MapDocument.h"
#include "platform/Platform.h"

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
    const QString question = QStringLiteral("Die Seite zeigt das Bild mit ") + sizeText(shown) +
                             QStringLiteral(" Pixeln, das Bild selbst ist ") + sizeText(picture) +
                             QStringLiteral(" Pixel groß. Sollen die eingelesenen Areale auf die Größe des Bildes "
                                            "umgerechnet werden?");
    if (!askYesNo(m_parent, kQuestionTitle, question))
        return false;
    const int before = m_document.history().index();
    m_document.scaleAreas(firstRow, double(picture.width()) / shown.width(),
                          double(picture.height()) / shown.height());
    return m_document.history().index() != before;
}

} // namespace korvane
