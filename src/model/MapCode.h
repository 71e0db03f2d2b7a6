#pragma once

#include "model/AreaLines.h"
#include "model/Codec.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>

// Turns the area lines into the map code: the img tag and the map element.
namespace korvane {

// The map name: mapName when set, else derived from the image's base name.
QString mapNameFor(const QString& imagePath, const QString& mapName);
// The img tag line, ended by CR LF.
QString img_zeile_ermitteln(const QString& imagePath, const QString& mapName, QSize canvasSize);
// One area element line (ended by CR LF) of an area line.
QString areaElement(const QString& line);
// The whole map code; empty for an empty list.
QString map_daten(const AreaLines& lines, const QString& imagePath, const QString& mapName, QSize canvasSize);
// The map code of a list of lines, kept as what it is made of: the code of a
// big map (hundreds of MB for a million areas) is made when it is asked for,
// whole or a part at a time, instead of being held. The lines are an
// implicitly shared copy, so keeping a source costs no copy of them.
// The start of a text and its whole length, for a text too long to be made
// whole: what is appended to it beyond `keep` characters is only counted.
class ShownPart {
public:
    explicit ShownPart(qsizetype keep) : m_keep(keep) {}
    ShownPart& operator+=(QStringView part) { return add(part); }
    ShownPart& operator+=(QLatin1StringView part) { return add(part); }
    ShownPart& operator+=(QChar c) { return add(QStringView(&c, 1)); }
    const QString& start() const { return m_start; }
    qsizetype length() const { return m_length; }

private:
    template <typename View> ShownPart& add(View part)
    {
        if (m_start.size() < m_keep)
            m_start += part.first(std::min(part.size(), m_keep - m_start.size()));
        m_length += part.size();
        return *this;
    }
    QString m_start;
    qsizetype m_length = 0;
    qsizetype m_keep;
};

class MapCodeSource {
public:
    MapCodeSource() = default;
    MapCodeSource(const AreaLines& lines, const QString& imagePath, const QString& mapName, QSize canvasSize);

    bool isEmpty() const { return m_lines.isEmpty(); }
    // The whole code, as map_daten() gives it.
    QString text() const;
    // The code in parts, each ended by CR LF: the head (up to the map start
    // tag), the element of each line and the tail.
    QString head() const;
    qsizetype elementCount() const { return m_lines.size(); }
    QString line(qsizetype i) const { return m_lines.at(i); }
    bool lineHasLineEnd(qsizetype i) const { return m_lines.hasLineEnd(i); }
    void appendElement(QString& out, qsizetype i) const;
    // The first `keep` characters of the element and its length, without
    // making it or its line whole (an imported link of hundreds of MB).
    ShownPart shownElement(qsizetype i, qsizetype keep) const;
    qsizetype lineSize(qsizetype i) const { return m_lines.lineSize(i); }
    QString tail() const;
    // Stands for the code text(): equal fingerprints mean equal code. Made
    // from the lines without making the code (a tenth of the time for a
    // million areas, no memory); different ones may still give equal code.
    // Empty when the code is.
    QByteArray fingerprint() const;

private:
    AreaLines m_lines;
    QString m_imagePath;
    QString m_mapName;
    QSize m_canvasSize;
};

// The code's length and two hashes of it under different seeds: equal
// fingerprints mean equal code (a chance match of 128 bits is out of reach),
// at a fraction of the code's memory. Empty for empty code.
QByteArray codeFingerprint(QStringView code);

// The img source of the specified code: a "file:///" address, escaped for the attribute.
QString imageSourceValue(const QString& imagePath);
// The img source of the test page: the specified address with the blanks of
// the file name escaped too, a valid address (a relative path, a picture not
// found, stays relative).
QString pageImageSourceValue(const QString& imagePath);
// The picture's address relative to a page in `pageFolder`, for a web server:
// "/" between the parts, each part URL-safe (blanks as "%20", a "\\" of a
// file name as "%5C"), escaped for the attribute; symbolic links resolved
// alike for the page and the picture (see relativePath()). A path that is no absolute path of this system is taken as
// already relative; a drive path keeps the "file:///" address.
QString relativeImageSourceValue(const QString& imagePath, const QString& pageFolder);
// The code with every img source the generator wrote for `imagePath`
// replaced by `source`; a source the user typed in stays as it is.
QString withImageSource(const QString& code, const QString& imagePath, const QString& source);
// The code for a page in `pageFolder`: its img source relative to that page.
QString withPageRelativeSource(const QString& code, const QString& imagePath, const QString& pageFolder);
// The line is a default area (shape "default" in any letter case): the rest
// of the picture.
bool isDefaultArea(QStringView line);
// A value as written into an attribute: a double quote as "&quot;", "<" as
// "&lt;", an "&" that starts no character reference as "&amp;", and a
// reference an XML reader would take otherwise than a browser ("&COPY",
// "&#128;") as the numbers of the characters a browser reads from it.
QString attributeValue(const QString& value);
// The same handed to `write` a part at a time, for a value too long to copy.
void writeAttributeValue(QStringView value, const std::function<void(QStringView)>& write);
void writeAttributeValue(QLatin1StringView value, const std::function<void(QStringView)>& write);

} // namespace korvane
