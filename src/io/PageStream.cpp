#include "io/PageStream.h"

#include <algorithm>
#include <climits>

namespace korvane::import {

void PageStream::take(QStringView piece)
{
    m_taken += piece.size();
    if (m_restHidden)
        return;
    m_unread += piece;
    if (m_unread.size() >= m_readFrom)
        read(false);
}

StreamedPage PageStream::finish()
{
    if (!m_restHidden)
        read(true);
    for (const OpenMap& open : m_openMaps)
        m_page.maps[open.index].end = m_taken;
    m_openMaps.clear();
    return std::move(m_page);
}

PageMaps StreamedPage::pageMaps() const
{
    PageMaps whole = read;
    whole.maps.reserve(maps.size());
    for (const StreamedMap& map : maps)
        whole.maps.push_back({map.start, map.end, map.name, map.id});
    return whole;
}

void PageStream::read(bool last)
{
    html::TagReader reader(m_unread, !last);
    html::Tag tag;
    while (reader.next(tag)) {
        visit(tag);
        // The value kept apart is back in place: places after it are the whole text's again.
        if (m_open.at() >= 0 && tag.start < m_open.at() && m_open.at() <= tag.end) {
            m_unreadStart += m_open.size();
            m_open.clear();
        }
    }
    const qsizetype resume = last ? m_unread.size() : reader.resumeAt();
    if (resume < 0) {
        m_restHidden = true;
        m_unread.clear();
        m_fillers.clear();
        m_counted = 0;
        m_open.clear();
        return;
    }
    lineAt(resume);
    const html::TagReader::Gap gap = reader.gap();
    if (gap.length > 0)
        replaceGap(gap);
    dropRead(resume);
    if (!last) {
        // The line ends of a value kept apart count where it goes on.
        if (const qint64 lineEnds = m_open.take(m_unread, 0); lineEnds > 0)
            m_fillers.push_back({m_open.at(), lineEnds});
    }
    // What is left waits for at least as much again, so that text read anew
    // (a tag or comment running on) is read a few times at most.
    m_readFrom = std::max(m_readSize, 2 * m_unread.size());
}

// As readMapAreas() reads each open map's element and readPageMaps() the page.
void PageStream::visit(const html::Tag& tag)
{
    const bool area = !tag.isEndTag && tag.is(QLatin1StringView("area"));
    for (OpenMap& open : m_openMaps) {
        if (open.hidden.hides(tag) || !area)
            continue;
        StreamedMap& map = m_page.maps[open.index];
        const qsizetype before = map.areas.lines.size();
        const TakenValue taken = m_open.takenBy(tag, m_unread);
        addArea(map.areas, tag, AreaDialect::HtmlPage, m_unreadStart + tag.start, AreaReading::Quick, taken);
        if (map.areas.lines.size() > before) // not the default area the code writes itself
            map.areaLines.append(lineAt(tag.start));
        if (m_areaTags)
            m_areaTags(open.index, tag, taken, lineAt(tag.start));
    }
    if (!m_hidden.hides(tag))
        visitPage(tag);
}

void PageStream::visitPage(const html::Tag& tag)
{
    PageMaps& read = m_page.read;
    const bool img = !tag.isEndTag && tag.is(QLatin1StringView("img"));
    const html::Attribute* usemap = img ? tag.attribute(QLatin1StringView("usemap")) : nullptr;
    if (usemap) {
        read.writtenTags.append(QStringView(m_unread).sliced(tag.start, tag.end - tag.start).toString());
        read.candidates.append(read.writtenTags.back().toLower());
        read.usemapNames.append(mapNameOf(usemap->value));
        read.usemapValues.append(usemap->value.toString());
        read.candidateStarts.push_back(m_unreadStart + tag.start);
        m_page.candidateLines.append(lineAt(tag.start));
    } else if (tag.is(QLatin1StringView("map"))) {
        if (tag.isEndTag && !m_openMaps.empty()) {
            m_page.maps[m_openMaps.back().index].end = m_unreadStart + tag.end;
            m_openMaps.pop_back();
        } else if (!tag.isEndTag) {
            const html::Attribute* name = tag.attribute(QLatin1StringView("name"));
            const html::Attribute* id = tag.attribute(QLatin1StringView("id"));
            // An attribute without a value is there all the same: empty, not null.
            const auto value = [](const html::Attribute* a) {
                return !a ? QString() : a->value.isEmpty() ? QStringLiteral("") : a->value.toString();
            };
            m_page.maps.push_back({value(name), value(id), lineAt(tag.start), m_unreadStart + tag.start, 0, {}, {}});
            m_openMaps.push_back({m_page.maps.size() - 1, {}});
            m_openMaps.back().hidden.hides(tag); // its own start tag begins its element
        }
    } else if (read.baseHref.isNull() && !tag.isEndTag && tag.is(QLatin1StringView("base"))) {
        if (const html::Attribute* href = tag.attribute(QLatin1StringView("href")))
            read.baseHref = href->value.isEmpty() ? QStringLiteral("") : href->value.toString();
    }
}

int PageStream::lineAt(qsizetype position)
{
    if (position > m_counted) {
        m_line += QStringView(m_unread).sliced(m_counted, position - m_counted).count(u'\n');
        for (const Filler& filler : m_fillers) {
            if (filler.at >= m_counted && filler.at < position)
                m_line += filler.lineEnds;
        }
        m_counted = position;
    }
    return int(std::min<qint64>(m_line, INT_MAX));
}

// The inside of a comment or script still open is left out; a filler keeps
// the count of its line ends, so that the lines after it stay right.
void PageStream::replaceGap(const html::TagReader::Gap& gap)
{
    const qsizetype end = gap.from + gap.length;
    qint64 lineEnds = QStringView(m_unread).sliced(gap.from, gap.length).count(u'\n');
    std::erase_if(m_fillers, [&](const Filler& filler) {
        const bool inside = filler.at >= gap.from && filler.at < end;
        lineEnds += inside ? filler.lineEnds : 0;
        return inside;
    });
    const QStringView text = html::TagReader::kGapFiller;
    m_unread.replace(gap.from, gap.length, text.data(), text.size());
    for (Filler& filler : m_fillers) {
        if (filler.at >= end)
            filler.at += text.size() - gap.length;
    }
    m_fillers.push_back({gap.from, lineEnds});
    // Places after it stay those of the whole text.
    m_unreadStart += gap.length - text.size();
}

void PageStream::dropRead(qsizetype count)
{
    m_unreadStart += count;
    m_unread.remove(0, count);
    m_open.dropped(count);
    std::erase_if(m_fillers, [count](const Filler& filler) { return filler.at < count; });
    for (Filler& filler : m_fillers)
        filler.at -= count;
    m_counted -= count;
}

} // namespace korvane::import
