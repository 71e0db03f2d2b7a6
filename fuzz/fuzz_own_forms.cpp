// Feeds arbitrary bytes to the readers of Korvane's own forms (the JSON form,
// the responsive page, a MediaWiki block): they must end on any input, give
// well-formed area lines, name starts within the text, and what they read
// must go round the MediaWiki and JSON writers to as many areas as those keep.
#include "AreaLines.h"
#include "io/OwnForms.h"
#include "io/PageRules.h"
#include "io/HtmlImport.h"
#include "model/BrowserRules.h"
#include "model/Codec.h"
#include "model/JsonMap.h"
#include "model/WikiMap.h"

#include <cstdint>
#include <cstdlib>

using namespace korvane;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Areas a browser can click, and a default area: those the writers keep.
qsizetype kept(const AreaLines& lines)
{
    qsizetype n = 0;
    for (const QString& line : lines) {
        const browser::AreaShape shape = browser::areaShape(entry::shapeOf(line), entry::coordsOf(line));
        n += !shape.empty || shape.kind == browser::Shape::Default;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = decodeText(bytes, detectEncoding(bytes));
    QString problem;
    const std::optional<import::OwnMap> own = import::readOwnForm(text, &problem);
    if (!own)
        return 0;
    require(own->starts.size() == own->lines.size());
    for (const qsizetype start : own->starts)
        require(start >= 0 && start <= text.size());
    for (const QString& line : own->lines)
        fuzz::checkAreaLine(line);
    // Through JSON: every area a browser clicks comes back.
    const json::JsonText json = json::mapJson(own->lines, own->imagePath, own->size, own->mapName);
    const std::optional<json::JsonMap> again = json::readMapJson(QString::fromUtf8(json.text));
    require(again && again->lines.size() == kept(own->lines));
    // Through MediaWiki: never more areas than went in.
    const wiki::WikiText block = wiki::wikiImagemap(own->lines, QStringLiteral("bild.png"), 400, own->mapName);
    const std::optional<wiki::WikiMap> read = wiki::readImagemap(block.text);
    require(read && read->lines.size() <= own->lines.size());
    // The page's own rules end too.
    (void)check::pageRules(text, import::readPageMaps(text), [](qsizetype) { return 1; });
    return 0;
}
