#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// How the responsive form shows the area under the pointer and the link
// that has the keyboard's focus, without a script: browsers draw nothing
// around an image map's area, so every page used to add a script for it.
namespace korvane {

enum class HighlightKind : quint8 {
    None,       // nothing under the pointer; the keyboard's focus keeps its outline
    Outline,    // an outline
    OutlineFill // an outline and a translucent fill
};

struct Highlight {
    HighlightKind kind = HighlightKind::OutlineFill;
    quint32 colour = 0x005ac8; // 0xRRGGBB: dark enough for light pictures, with a light halo for dark ones
    bool operator==(const Highlight&) const = default;
};

// "keine", "umriss", "umriss-flaeche", as Korvane.ini keeps them.
QString highlightKindName(HighlightKind kind);
std::optional<HighlightKind> highlightKindNamed(QStringView name);
// "#rrggbb" in lower case.
QString colourName(quint32 rgb);
// "#rrggbb" or "#rgb", any letter case; nothing for anything else.
std::optional<quint32> colourNamed(QStringView name);

// The style rules of the highlight for the SVG of the responsive form: under
// the pointer only where the device has one that hovers (a tap on a phone
// follows the link at once), the keyboard's focus always. `split` numbers
// the groups of areas (class "korvane-gN", see model/LinkGroups.h) whose
// parts the pointer's layer holds in several links: their parts light up
// together as well.
QString highlightRules(const Highlight& highlight, const QList<int>& split);

} // namespace korvane
