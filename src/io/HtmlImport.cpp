#include "io/HtmlImport.h"

#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/ExtraAttributes.h"
#include "model/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace korvane::import {

PageMaps readPageMaps(QStringView page, const Progress& progress)
{
    ProgressTicks ticks(progress, page.size());
    PageMaps read;
    html::TagReader reader(page);
    html::Tag tag;
    HiddenContent hidden;
    std::vector<std::size_t> open; // the maps whose end tag has not come yet, innermost last
    while (reader.next(tag) && ticks.at(tag.start)) {
        if (hidden.hides(tag))
            continue;
        // Only img tags are asked for a usemap: a page may have a million area tags.
        const bool img = !tag.isEndTag && tag.is(QLatin1StringView("img"));
        const html::Attribute* usemap = img ? tag.attribute(QLatin1StringView("usemap")) : nullptr;
        if (usemap) {
            read.writtenTags.append(page.sliced(tag.start, tag.end - tag.start).toString());
            read.candidates.append(read.writtenTags.back().toLower());
            read.usemapNames.append(mapNameOf(usemap->value));
            read.usemapValues.append(usemap->value.toString());
            read.candidateStarts.push_back(tag.start);
        } else if (tag.is(QLatin1StringView("map"))) {
            if (tag.isEndTag && !open.empty()) {
                read.maps[open.back()].end = tag.end;
                open.pop_back();
            } else if (!tag.isEndTag) {
                const html::Attribute* name = tag.attribute(QLatin1StringView("name"));
                const html::Attribute* id = tag.attribute(QLatin1StringView("id"));
                open.push_back(read.maps.size());
                read.maps.push_back({tag.start, page.size(), name ? name->value : QStringView(),
                                     id ? id->value : QStringView()});
            }
        } else if (read.baseHref.isNull() && !tag.isEndTag && tag.is(QLatin1StringView("base"))) {
            if (const html::Attribute* href = tag.attribute(QLatin1StringView("href")))
                read.baseHref = href->value.isEmpty() ? QStringLiteral("") : href->value.toString();
        }
    }
    return read;
}

QStringList imgCandidates(QStringView page)
{
    return readPageMaps(page).candidates;
}

QString candidateLine(const QString& tag, PathStyle style)
{
    const ChosenImage chosen = readChosenTag(tag, style);
    const QChar quote = QLatin1Char('"');
    return QCoreApplication::translate("korvane::HtmlImport", "Grafik: %1,  MapName: %2")
        .arg(quote + fileNameOf(chosen.imagePath) + quote, quote + chosen.mapName + quote);
}

ChosenImage readChosenTag(const QString& tag, PathStyle style)
{
    ChosenImage chosen{usemapName(tag).toLower(), imagePathFromSrc(srcValue(tag), style)};
    html::Tag img;
    if (firstImageTag(tag, img)) {
        chosen.width = pixelDimension(img, QLatin1StringView("width"));
        chosen.height = pixelDimension(img, QLatin1StringView("height"));
    }
    return chosen;
}

namespace {

// The maps' names and ids as a browser reads them, one pass over the maps.
struct MapNames {
    explicit MapNames(const PageMaps& read)
    {
        for (const MapElement& m : read.maps)
            names.push_back({m.name.isNull() ? QString() : browser::decodeReferences(m.name),
                             m.id.isNull() ? QString() : browser::decodeReferences(m.id)});
    }
    // The first map named `name` (by name or id); -1 when none is.
    int find(const QString& name, bool oldPages) const
    {
        const auto equal = [&](const QString& given) {
            if (given.isNull())
                return false;
            if (!oldPages)
                return given == name;
            const QStringView bare = QStringView(given).startsWith(u'#') ? QStringView(given).sliced(1) : given;
            return bare.compare(name, Qt::CaseInsensitive) == 0;
        };
        for (std::size_t m = 0; m < names.size(); ++m) {
            if (equal(names[m].first) || equal(names[m].second))
                return int(m);
        }
        return -1;
    }
    std::vector<std::pair<QString, QString>> names; // name, id
};

// The name a usemap points at as a browser reads it; nothing when it points at none.
std::optional<QString> browserName(QStringView usemap)
{
    return browser::hashName(browser::decodeReferences(usemap));
}

} // namespace

FoundMap findMap(QStringView page, QStringView usemap)
{
    return findMap(page, readPageMaps(page), usemap);
}

FoundMap findMap(QStringView page, const PageMaps& read, QStringView usemap)
{
    if (read.maps.empty())
        return {MapLookup::NoMapElement, {}, true, {}};
    const MapNames names(read);
    const auto found = [&](int m, bool byBrowser) {
        const MapElement& map = read.maps[std::size_t(m)];
        const auto& [name, id] = names.names[std::size_t(m)];
        return FoundMap{MapLookup::Found, page.sliced(map.start, map.end - map.start), byBrowser,
                        name.isNull() ? id : name};
    };
    const std::optional<QString> name = browserName(usemap);
    if (name) {
        if (const int m = names.find(*name, false); m >= 0)
            return found(m, true);
    }
    // Old pages: the name without the "#" (the whole value when it has none).
    const QString bare = browser::decodeReferences(mapNameOf(usemap));
    if (!bare.isEmpty()) {
        if (const int m = names.find(bare, true); m >= 0)
            return found(m, false);
    }
    return {MapLookup::NotFound, {}, true, {}};
}

int browserMap(const PageMaps& read, qsizetype candidate)
{
    const std::optional<QString> name = browserName(read.usemapValues.value(candidate));
    return name ? MapNames(read).find(*name, false) : -1;
}

namespace {

// The address the base element makes relative ones start from; empty when
// there is none or it changes nothing.
QUrl baseUrl(const QString& baseHref, const QString& pageFolder)
{
    if (baseHref.isNull())
        return {};
    const QUrl page = QUrl::fromLocalFile(withTrailingSeparator(QDir(pageFolder).absolutePath()));
    const QUrl base = page.resolved(QUrl(browser::decodeReferences(baseHref).trimmed()));
    return base == page ? QUrl() : base;
}

// A local address as a page in `folder` names it: its path relative to the
// folder (a folder's keeps its "/"), then its query and fragment.
QString relativeTo(const QUrl& url, const QString& folder)
{
    const QString local = url.toLocalFile();
    QString path = QDir(folder).relativeFilePath(local);
    if (local.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    QUrl relative;
    relative.setPath(path == QLatin1String("./") ? QString() : path);
    QString written = relative.path(QUrl::FullyEncoded);
    if (url.hasQuery())
        written += QLatin1Char('?') + url.query(QUrl::FullyEncoded);
    if (url.hasFragment())
        written += QLatin1Char('#') + url.fragment(QUrl::FullyEncoded);
    return written;
}

} // namespace

QString baseFolder(const QString& baseHref, const QString& pageFolder)
{
    const QUrl base = baseUrl(baseHref, pageFolder);
    if (!base.isLocalFile())
        return pageFolder;
    const QString path = base.toLocalFile();
    return path.endsWith(QLatin1Char('/')) ? path : QFileInfo(path).path();
}

void resolveLinks(AreaLines& lines, const QString& baseHref, const QString& pageFolder, const QString& linkFolder)
{
    const QString to = linkFolder.isNull() ? pageFolder : linkFolder;
    QUrl base = baseUrl(baseHref, pageFolder);
    if (base.isEmpty()) {
        if (QDir::cleanPath(QDir(to).absolutePath()) == QDir::cleanPath(QDir(pageFolder).absolutePath()))
            return;
        base = QUrl::fromLocalFile(withTrailingSeparator(QDir(pageFolder).absolutePath()));
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i);
        if (extra::isNoLink(line))
            continue;
        QStringList fields = entry::split(line);
        const QUrl link(browser::decodeReferences(fields.value(entry::Href)).trimmed());
        if (!link.isRelative() || fields.size() <= entry::Href)
            continue;
        const QUrl target = base.resolved(link);
        QString written = target.isLocalFile() ? relativeTo(target, to) : target.toString();
        // The line holds values as a page writes them.
        fields[entry::Href] = entry::escapeBar(written.replace(QLatin1Char('&'), QStringLiteral("&amp;")));
        lines.replace(i, entry::join(fields));
    }
}

AreaScan readMapAreas(QStringView mapText, const Progress& progress)
{
    return scanAreas(mapText, AreaDialect::HtmlPage, progress);
}

} // namespace korvane::import
