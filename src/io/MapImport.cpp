#include "io/MapImport.h"

namespace korvane::import {

namespace {

// What the map's img tag says: its map name, picture and shown size.
void takeImageTag(MapFileData& data, const html::Tag& img, PathStyle style)
{
    const html::Attribute* usemap = img.attribute(QLatin1StringView("usemap"));
    const html::Attribute* src = img.attribute(QLatin1StringView("src"));
    data.hasUsemap = usemap != nullptr;
    data.mapName = usemap ? mapNameOf(usemap->value) : QString();
    data.imagePath = imagePathFromSrc(src ? src->value.toString() : QString(), style);
    data.width = pixelDimension(img, QLatin1StringView("width"));
    data.height = pixelDimension(img, QLatin1StringView("height"));
}

} // namespace

MapFileData readMapFile(QStringView text, PathStyle style, const Progress& progress)
{
    MapFileData data;
    html::Tag img;
    if (firstImageTag(text, img)) {
        takeImageTag(data, img, style);
    }
    html::TagReader reader(text);
    html::Tag tag;
    while (!data.hasMap && reader.next(tag))
        data.hasMap = !tag.isEndTag && tag.is(QLatin1StringView("map"));
    if (data.hasMap)
        data.areas = scanAreas(text, AreaDialect::MapFile, progress);
    else
        data.imagePath.clear();
    return data;
}

void MapFileStream::take(QStringView piece)
{
    if (m_restHidden)
        return;
    m_unread += piece;
    if (m_unread.size() >= m_readFrom)
        read(false);
}

MapFileData MapFileStream::finish()
{
    if (!m_restHidden)
        read(true);
    MapFileData data = std::move(m_data);
    if (!data.hasMap) {
        data.imagePath.clear();
        data.areas = AreaScan();
    }
    return data;
}

void MapFileStream::read(bool last)
{
    html::TagReader reader(m_unread, !last);
    html::Tag tag;
    while (reader.next(tag)) {
        visit(tag, m_unreadStart + tag.start);
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
        m_open.clear();
        return;
    }
    // The inside of a comment or script still open is not kept: replaced by
    // a filler, so a file whose comment never closes is read in pieces too.
    // Places after it stay exact; the comment's own is no area's.
    const html::TagReader::Gap gap = reader.gap();
    if (gap.length > 0) {
        const QStringView filler = html::TagReader::kGapFiller;
        m_unread.replace(gap.from, gap.length, filler.data(), filler.size());
        m_unreadStart += gap.length - html::TagReader::kGapFiller.size();
    }
    m_unreadStart += resume;
    m_unread.remove(0, resume);
    m_open.dropped(resume);
    if (!last)
        m_open.take(m_unread, 0);
    // What is left waits for at least as much again: text read anew (a
    // comment or script running on) is read a few times at most.
    m_readFrom = std::max(m_readSize, 2 * m_unread.size());
}

// The three readings of readMapFile() in one: the img tag, the map tag and
// the areas.
void MapFileStream::visit(const html::Tag& tag, qsizetype start)
{
    if (tag.isEndTag)
        return;
    if (tag.is(QLatin1StringView("img"))) {
        const html::Attribute* usemap = tag.attribute(QLatin1StringView("usemap"));
        if (m_usemapImage || (m_anyImage && !usemap))
            return;
        m_anyImage = true;
        m_usemapImage = usemap != nullptr;
        takeImageTag(m_data, tag, m_style);
    } else if (tag.is(QLatin1StringView("map"))) {
        m_data.hasMap = true;
    } else if (tag.is(QLatin1StringView("area")) && start > 0) { // searched from the second character
        addArea(m_data.areas, tag, AreaDialect::MapFile, start, AreaReading::Quick, m_open.takenBy(tag, m_unread));
    }
}

} // namespace korvane::import
