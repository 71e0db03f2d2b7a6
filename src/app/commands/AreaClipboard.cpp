#include "app/commands/AreaClipboard.h"

#include "canvas/AreaArrangement.h"
#include "canvas/AreaGeometry.h"
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/MapCode.h"

#include <QCoreApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>

#include <algorithm>

namespace korvane {

namespace {

// A pasted copy that would lie exactly on its original moves this far.
constexpr int kPasteOffset = 10;

// The move that brings `extent` onto the picture, as far as it fits.
int intoRange(int low, int high, int size)
{
    if (low < 0)
        return -low;
    if (high > size)
        return std::max(size - high, -low);
    return 0;
}

} // namespace

const QString AreaClipboard::kMimeType = QStringLiteral("application/x-korvane-areas");

AreaClipboard::AreaClipboard(MapDocument& document, View view, QObject* parent)
    : QObject(parent), m_document(document), m_view(std::move(view))
{
}

QStringList AreaClipboard::selectedLines() const
{
    QStringList lines;
    for (int row : m_document.selectedRows())
        lines << m_document.areas().line(row);
    return lines;
}

bool AreaClipboard::copy() const
{
    const QStringList lines = selectedLines();
    if (lines.isEmpty())
        return false;
    auto* data = new QMimeData;
    data->setData(kMimeType, lines.join(QStringLiteral("\r\n")).toUtf8());
    data->setText(map_daten(lines, m_document.imagePath(), m_document.mapName(), m_view.pictureSize()));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

bool AreaClipboard::cut()
{
    if (!copy())
        return false;
    const QList<int> rows = m_document.selectedRows();
    AreaLines after = m_document.areas().lines();
    for (qsizetype i = rows.size() - 1; i >= 0; --i)
        after.removeAt(rows[i]);
    m_document.changeLines(m_document.areas().lines(), after, QCoreApplication::translate("korvane::AreaClipboard", "Areale ausschneiden"));
    m_view.show({}, -1);
    return true;
}

// Text from another program may hold any numbers: the moves work on
// coordinates held within the pixel range, and what cannot be moved onto the
// picture whole (an area bigger than it) is cut to its edges.
QString AreaClipboard::placed(QString line, const QSet<QString>& present) const
{
    if (present.contains(line))
        line = movedLine(line, kPasteOffset, kPasteOffset);
    const AreaGeometry shape = parseArea(line);
    if (!shape.drawable())
        return line;
    const QSize picture = m_view.pictureSize();
    const QRect e = shape.bounds;
    line = movedLine(line, intoRange(e.left(), e.right(), picture.width()),
                     intoRange(e.top(), e.bottom(), picture.height()));
    return fittedLine(line, picture);
}

bool AreaClipboard::canPaste()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(kMimeType);
}

bool AreaClipboard::paste()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(kMimeType))
        return false;
    const QStringList given = QString::fromUtf8(data->data(kMimeType)).split(QStringLiteral("\r\n"));
    const AreaLines before = m_document.areas().lines();
    // Looked up once each: a search of the list for every pasted line grew
    // with the square of the map.
    QSet<QString> present;
    present.reserve(before.size());
    for (const QString& line : before)
        present.insert(line);
    AreaLines after = before;
    QList<int> rows;
    for (const QString& line : given) {
        if (line.count(QLatin1Char('|')) < entry::FieldCount - 1)
            continue; // not an area line
        rows << int(after.size());
        after << placed(line, present);
    }
    if (rows.isEmpty())
        return false;
    m_document.changeLines(before, after, QCoreApplication::translate("korvane::AreaClipboard", "Areale einfügen"), rows.first());
    m_view.show(rows, rows.first());
    return true;
}

} // namespace korvane
