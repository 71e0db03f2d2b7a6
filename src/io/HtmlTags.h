#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <vector>

// Reads the tags of a page as a browser's tokenizer does: attributes in any
// order and letter case, with double, single or no quotes, separated by any
// white space; a tag ends at its ">" outside quotes. Comments (one never
// closed runs to the end of the text), declarations
// and the text of elements such as script and textarea hold no tags. Values
// are views into the page, exactly as written. Nothing here allocates per
// character, so a page of many megabytes is read in one quick pass.
namespace korvane::html {

struct Attribute {
    QStringView name;  // as written
    QStringView value; // as written, without its quotes; empty when it has none
};

struct Tag {
    QStringView name; // as written
    bool isEndTag = false;
    bool selfClosing = false; // ended by "/>"
    qsizetype start = 0; // the "<"
    qsizetype end = 0;   // just after the ">"
    // In page order; a repeated name keeps its first value, as in a browser.
    std::vector<Attribute> attributes;

    bool is(QLatin1StringView lowerName) const;
    // The attribute of that name (letter case ignored), or nullptr.
    const Attribute* attribute(QLatin1StringView lowerName) const;
};

// Tag and attribute names match without regard to the letter case of A to Z.
bool sameName(QStringView name, QLatin1StringView lowerName);

// Reads the tag whose "<" is at `at` (followed by a letter, or by "/" and a
// letter). False when the text ends before the tag does; the tag then holds
// what was read up to there.
bool readTag(QStringView text, qsizetype at, Tag& tag);

// Walks the start and end tags of a text in order.
class TagReader {
public:
    // `more`: the text is the start of a longer one whose rest comes later.
    // The reading then stops before anything that needs the rest to be read
    // (a tag, comment or script cut off by the end), and resumeAt() tells
    // where to read on once it is there.
    explicit TagReader(QStringView text, bool more = false) : m_text(text), m_more(more) {}
    // The next tag; false at the end of the text. A tag cut off by the end of
    // the text is no tag, and nothing after it is read.
    bool next(Tag& tag);
    // After next() gave false with more to come: where the reading goes on
    // once the rest follows; -1 when nothing that follows can hold a tag.
    qsizetype resumeAt() const { return m_resume; }
    // Then also: a stretch after resumeAt() that can hold no tag and no end
    // of what is still open (the inside of a comment, or of an element's
    // text, whose end has not come yet). Reading on gives the same tags when
    // it is replaced by kGapFiller, so a comment never closed is not held
    // whole. Empty when there is none.
    struct Gap {
        qsizetype from = 0;
        qsizetype length = 0;
    };
    Gap gap() const { return m_gap; }
    static constexpr QStringView kGapFiller = u"xx";

private:
    bool needMore(qsizetype at);
    void setGap(qsizetype from, qsizetype to);
    qsizetype afterMarkup(qsizetype lt);
    qsizetype afterRawText(const Tag& tag);

    QStringView m_text;
    bool m_more = false;
    qsizetype m_resume = 0;
    qsizetype m_pos = 0;
    Gap m_gap;
    bool m_hidesRest = false; // a comment never closed, or plaintext
    // From here on no ">" follows; -1: not known.
    qsizetype m_noGreaterFrom = -1;
};

// The text a browser reads from an attribute value: character references
// ("&amp;", "&#228;", "&auml;", "&COPY") decoded by the HTML5 rules (see
// model/BrowserRules.h).
QString decodeReferences(QStringView value);

} // namespace korvane::html
