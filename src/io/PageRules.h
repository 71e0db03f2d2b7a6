#pragma once

#include "io/HtmlImport.h"
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

// The findings of these rules for a page read before; `lineAt` gives the
// line of a position in the text.
Findings pageRules(QStringView text, const import::PageMaps& read, const std::function<int(qsizetype)>& lineAt);

} // namespace korvane::check
