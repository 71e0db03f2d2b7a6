#pragma once

#include "io/HtmlTags.h"
#include "model/AreaLines.h"
#include "model/ExtraAttributes.h"
#include "model/LinkAttributes.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringMatcher>
#include <QStringView>

#include <array>
#include <functional>
#include <vector>

// What both importers share: fixed-text search without regard to letter case,
// and reading area, img and map tags as a browser does (see io/HtmlTags.h).
// Positions count from 0; -1 means "not found". Nothing here shows a window
// or touches the disk.
namespace korvane::import {

// Told how far a long step has come (`done` of `total`); false asks it to stop.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Asks a Progress now and then while a text is walked from its start.
class ProgressTicks {
public:
    ProgressTicks(const Progress& progress, qsizetype total) : m_progress(progress), m_total(total) {}
    // False once the step was asked to stop.
    bool at(qsizetype position)
    {
        if (!m_progress || position < m_next)
            return !m_stopped;
        m_next = position + kEvery;
        m_stopped = !m_progress(position, m_total);
        return !m_stopped;
    }

private:
    static constexpr qsizetype kEvery = 256 * 1024;
    const Progress& m_progress;
    qsizetype m_total;
    qsizetype m_next = 0;
    bool m_stopped = false;
};

// A fixed text searched for without regard to letter case, in one pass over
// the text: nothing is lower-cased or copied.
class Needle {
public:
    explicit Needle(const QString& pattern);
    // The first occurrence at or after `from`, or -1.
    qsizetype in(QStringView text, qsizetype from = 0) const;
    qsizetype size() const { return m_pattern.size(); }

private:
    QString m_pattern;
    QStringMatcher m_matcher;
    // The first character has no letter case: scanning for it with the
    // vectorised character search and comparing the rest is much faster.
    bool m_caselessLead = false;
    std::array<QChar, 2> m_second{}; // the second character in lower and upper case
};

// Removes blanks (only " ") at both ends, as the values are trimmed.
QString trimBlanks(QStringView text);

// The values of one area element.
struct ElementValues {
    QString shape;
    QString coords;
    LinkAttributes attributes; // href, alt, target and the three handlers
    // The attributes the fields have no place for, and "nohref" when the
    // area has no link (no href, or nohref).
    extra::Attributes kept;
};

// An area's values: shape (a missing one is "rect", as a browser reads it),
// coords, href and alt (empty when missing), target and the handlers ("*"
// when missing). The text is one area tag; a tag cut off by the end of the
// text is read up to there.
ElementValues readElement(QStringView element);

// The first img tag that carries a usemap (else the first img tag) of the
// text; false when the text holds no img tag.
bool firstImageTag(QStringView text, html::Tag& img);
// The map name of a usemap value: what follows its "#" (the whole value when
// it has none), blanks trimmed.
QString mapNameOf(QStringView usemap);
// The map name of the first img tag with a usemap; empty when there is none.
// (A text of one img tag gives that tag's values.)
QString usemapName(QStringView text);
// The src value (as written) of that img tag.
QString srcValue(QStringView text);

// A width or height attribute as a browser reads it: its leading digits; 0
// when it is missing, a percentage or holds no digits.
int pixelDimension(const html::Tag& img, QLatin1StringView name);
// The size a browser shows a picture of size `picture` at for an img tag's
// width and height (0: not given; one alone keeps the proportions).
QSize shownSize(int width, int height, QSize picture);

enum class PathStyle { Windows, Unix };
PathStyle nativePathStyle();
// The local path an img source names, an absolute one lower-cased (a relative
// one keeps the page's spelling). Character references and percent escapes
// are decoded, as a browser does before it opens the file. Windows style (and
// drive paths on any platform): "file:///" removed, "/" to "\", "|" to ":".
// Unix style: "file://" removed so the path keeps its leading "/"; a "\" is
// a "/", as a browser reads it, and "%5C" a "\" of a file name.
QString imagePathFromSrc(const QString& rawValue, PathStyle style = nativePathStyle());

// How an importer writes the lines it finds.
enum class AreaDialect {
    MapFile, // two blanks before the shape, shapes as found
    HtmlPage // one blank, "polygon" becomes "poly"
};

// Content a browser does not read as HTML elements: template (whose content
// is inert), noscript (text while scripts run), and SVG and MathML, whose
// "template", "map" or "area" are elements of their own. An img, p, div and
// the like there end the foreign content, as in a browser; foreignObject,
// desc and title (SVG), mi, mo, mn, ms, mtext and an HTML annotation-xml
// (MathML) hold HTML again. Fed every tag in order, it tells which of them a
// browser does not take as HTML.
class HiddenContent {
public:
    // Whether the tag is hidden; the template and noscript tags themselves
    // are, and so is every SVG or MathML tag.
    bool hides(const html::Tag& tag);

private:
    bool inForeign() const { return !m_frames.empty() && m_frames.back().kind != Frame::Html; }
    bool hidesInHtml(const html::Tag& tag);
    bool hidesInForeign(const html::Tag& tag);
    void leaveForeign();

    struct Frame {
        enum Kind : quint8 { Svg, Math, Html } kind;
        QString name; // of the element that opened it, lower case
    };
    std::vector<Frame> m_frames; // open svg and math elements and the HTML inside them
    int m_templates = 0;
    bool m_noscript = false;
};

struct AreaScan {
    AreaLines lines;
    QList<qsizetype> starts; // where the tag of each line starts in a page (not kept for a .map file)
    bool anyRead = false; // at least one element was read (the default area counts)
    // The values of the last element read the general way; lastValues()
    // gives those of the last element read.
    ElementValues last;
    // The line of the last element when it was read the quick way, which
    // leaves `last` alone; -1: none.
    qsizetype lastLine = -1;
};

// How area tags are read. Quick: the common tag (the fields' attributes,
// an href, Latin-1 values without "|") is written straight into the line
// store, anything else as in General, which makes every value as a string
// first. Both give the same lines and values; General is there to check
// that.
enum class AreaReading { Quick, General };

// Reads every area tag of `text` into list lines. A default area without a
// link is skipped (the code writes its own), one with a link is kept; in a
// page, areas in template or noscript content are no areas; a "|" in a value is stored as "&#124;". A tag cut off by the end
// of the file is not read. A .map file's area search starts at its second
// character.
// `progress` (when given) can stop it early.
AreaScan scanAreas(QStringView text, AreaDialect dialect, const Progress& progress = {},
                   AreaReading reading = AreaReading::Quick);
// The start of an area tag's value that a reading in pieces kept apart
// (see OpenValue): `attribute`'s value begins with it. Latin-1, or wide once
// a character beyond Latin-1 came.
struct TakenValue {
    const html::Attribute* attribute = nullptr;
    QLatin1StringView latin1;
    QStringView wide;
};

// Adds the line of one area tag as scanAreas() does; `start`: where the tag
// starts in the whole text.
void addArea(AreaScan& scan, const html::Tag& area, AreaDialect dialect, qsizetype start,
             AreaReading reading = AreaReading::Quick, const TakenValue& taken = {});

// A text read in pieces is held until its tags are whole. The value of an
// area tag that runs on for megabytes (an imported link of hundreds of MB)
// is taken out of that text while it grows and kept apart one byte a
// character, half what the text holds it in; addArea() gets it back with the
// whole tag.
class OpenValue {
public:
    explicit OpenValue(qsizetype from = 1024 * 1024) : m_from(from) {}
    // `text` ends inside the tag that starts at `tagStart`: when that is an
    // area tag whose value runs to the end of the text and is at least
    // `from` characters long, takes the value so far but its last character
    // out of the text. Gives the line ends among what it took.
    qint64 take(QString& text, qsizetype tagStart);
    // Where in the text the value goes on; -1 while nothing is kept apart.
    qsizetype at() const { return m_at; }
    // How many characters are kept apart.
    qsizetype size() const { return m_wide.isEmpty() ? m_latin1.size() : m_wide.size(); }
    // The text lost `count` characters at its front.
    void dropped(qsizetype count) { m_at = m_at < 0 ? m_at : m_at - count; }
    // What addArea() takes for `tag`, read from `text`: its value that goes on at at().
    TakenValue takenBy(const html::Tag& tag, QStringView text) const;
    // The tag that holds the place at() was read.
    void clear();

private:
    qsizetype m_from;
    qsizetype m_at = -1;
    QByteArray m_latin1;
    QString m_wide; // once a character beyond Latin-1 came: all of it
};
// The values of the last element read; from its line when it was read the
// quick way.
ElementValues lastValues(const AreaScan& scan);
// Its three event handlers alone (the rest empty), taken from its line
// without making its other values: the link of an imported area may be
// hundreds of megabytes long.
LinkAttributes lastHandlers(const AreaScan& scan);

} // namespace korvane::import
