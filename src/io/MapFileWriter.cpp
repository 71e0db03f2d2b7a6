#include "io/MapFileWriter.h"

#include "model/Codec.h"
#include "model/Paths.h"

namespace korvane {

namespace {

const QString kBodyEnd = QStringLiteral("</body>");

QString pageWithoutBlock(const QString& mapCode)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>") + kCrLf +
           QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                          "\"DTD/xhtml1-strict.dtd\">") +
           kCrLf + QStringLiteral("<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">") + kCrLf +
           QStringLiteral("<head>") + kCrLf + QStringLiteral("<title>Imagemap</title>") + kCrLf +
           QStringLiteral("</head>") + kCrLf + QStringLiteral("<body bgcolor='#000000' color='#999999'>") + kCrLf +
           QStringLiteral("<div>") + kCrLf + mapCode + QStringLiteral("</div>") + kCrLf + QStringLiteral("<div>") +
           kCrLf + kBodyEnd + kCrLf + QStringLiteral("</html>") + kCrLf;
}

} // namespace

QString escapeMapCode(const QString& mapCode)
{
    QString escaped = mapCode;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    escaped.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    escaped.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return escaped;
}

QString explanatoryBlock(const QString& mapCode)
{
    return QStringLiteral("<p style='font-family:arial,tahoma;font-size:11px;color:#999;'>") + kCrLf +
           QStringLiteral("Der folgende Code beschreibt die MAP. Er kann so in Ihre Webseite eingef&uuml;gt werden "
                          "(copy&amp;paste). Die Verweisziele und der MAP-Name müssen eventuell noch angepasst "
                          "werden.</p>") +
           kCrLf + QStringLiteral("<div style='background-color:#999'><pre>") + escapeMapCode(mapCode) +
           QStringLiteral("</pre></div>") + kCrLf + QStringLiteral("</div>") + kCrLf;
}

QString testPageText(const QString& mapCode)
{
    // Code that itself holds "</body>" gets a copy of the block there too.
    return pageWithoutBlock(mapCode).replace(kBodyEnd, explanatoryBlock(mapCode) + kBodyEnd);
}

QByteArray testPageBytes(const QString& mapCode)
{
    return testPageText(mapCode).toUtf8();
}

QByteArray mapDataFileBytes(const QString& mapCode, const QString& imageFileName)
{
    return toWindows1252Html(QStringLiteral("<!--") + kCrLf + QStringLiteral("IMAGEMAP FUER GRAFIKDATEI: ") +
                             imageFileName + kCrLf + QStringLiteral("-->") + kCrLf + kCrLf + mapCode);
}

SavePair savePairFor(const QString& folder, const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString map = QStringLiteral(".map");
    if (dot < 0)
        return {folder + name + QStringLiteral(".html"), folder + name + map, false};
    // A name of the data file itself: the page must not take its place.
    if (QStringView(name).sliced(dot).compare(map, Qt::CaseInsensitive) == 0)
        return {folder + base + QStringLiteral(".html"), folder + name, true};
    return {folder + name, folder + base + map, false};
}

QString withCrLfLineEnds(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n') && (i == 0 || text[i - 1] != QLatin1Char('\r')))
            result += QLatin1Char('\r');
        result += text[i];
    }
    return result;
}

QByteArray toWindows1252Html(const QString& text)
{
    QByteArray bytes = toWindows1252(text);
    if (!bytes.contains('?'))
        return bytes;
    // Only characters that came out as "?" without being one need a reference.
    QByteArray result;
    result.reserve(bytes.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (bytes[i] != '?' || text[i] == QLatin1Char('?')) {
            result += bytes[i];
            continue;
        }
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        result += "&#" + QByteArray::number(static_cast<quint32>(code)) + ';';
    }
    return result;
}

} // namespace korvane
