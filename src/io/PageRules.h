#pragma once

#include "io/HtmlImport.h"
#include "io/HtmlTags.h"
#include "model/MapCheck.h"

#include <QStringView>

#include <functional>

// The rules of the map check that look at a page's tags rather than at the
// areas' lines: what an area without a link may not carry, a map's id and
// name, a map several pictures use. The Nu HTML checker calls the first two
// errors.
namespace korvane::check {

// The attributes a browser reads only from a link.
bool isLinkOnlyAttribute(QStringView name);

// The rules of one area tag a browser reads as HTML, on line `line`.
void areaTagRules(const html::Tag& area, int line, Findings& out);
// The rules of a map's name and id; its start tag is on line `line`.
void mapNameRules(const import::MapElement& map, int line, Findings& out);
// Maps that several pictures use; `candidateLine` gives the line of a
// picture (an index into read.candidates).
void usedTwiceRules(const import::PageMaps& read, const std::function<int(qsizetype)>& candidateLine, Findings& out);

// The findings of these rules for a page read before, in this order: each
// map's name and area tags, then the maps several pictures use; `lineAt` gives the
// line of a position in the text.
Findings pageRules(QStringView text, const import::PageMaps& read, const std::function<int(qsizetype)>& lineAt);

} // namespace korvane::check
