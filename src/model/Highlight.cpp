#include "model/Highlight.h"

#include <QList>

#include <cmath>

namespace korvane {

namespace {

struct KindName {
    HighlightKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {{HighlightKind::None, "keine"},
                                   {HighlightKind::Outline, "umriss"},
                                   {HighlightKind::OutlineFill, "umriss-flaeche"}};

double channel(quint32 rgb, int shift)
{
    const double c = double((rgb >> shift) & 0xff) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The relative luminance of WCAG's contrast ratio.
double luminance(quint32 rgb)
{
    return 0.2126 * channel(rgb, 16) + 0.7152 * channel(rgb, 8) + 0.0722 * channel(rgb, 0);
}

// The halo around the outline: white around a dark colour, black around a
// light one, whichever stands out more from it. With it the outline reads on
// light and dark parts of a picture alike.
QString haloFor(quint32 rgb)
{
    const double l = luminance(rgb);
    const double onWhite = 1.05 / (l + 0.05);
    const double onBlack = (l + 0.05) / 0.05;
    return onWhite >= onBlack ? QStringLiteral("#fff") : QStringLiteral("#000");
}

QString declarations(const Highlight& highlight, bool fill)
{
    QString out = QStringLiteral("stroke:") + colourName(highlight.colour) +
                  QStringLiteral(";stroke-width:3px;vector-effect:non-scaling-stroke;filter:drop-shadow(0 0 1px ") +
                  haloFor(highlight.colour) + QLatin1Char(')');
    if (fill)
        out += QStringLiteral(";fill:rgba(%1,%2,%3,0.25)")
                   .arg((highlight.colour >> 16) & 0xff)
                   .arg((highlight.colour >> 8) & 0xff)
                   .arg(highlight.colour & 0xff);
    return out;
}

} // namespace

QString highlightKindName(HighlightKind kind)
{
    for (const KindName& k : kKindNames) {
        if (k.kind == kind)
            return QString::fromLatin1(k.name);
    }
    return {};
}

std::optional<HighlightKind> highlightKindNamed(QStringView name)
{
    for (const KindName& k : kKindNames) {
        if (name.trimmed().compare(QLatin1StringView(k.name), Qt::CaseInsensitive) == 0)
            return k.kind;
    }
    return std::nullopt;
}

QString colourName(quint32 rgb)
{
    return QStringLiteral("#%1").arg(rgb & 0xffffff, 6, 16, QLatin1Char('0'));
}

std::optional<quint32> colourNamed(QStringView name)
{
    const QStringView text = name.trimmed();
    if (!text.startsWith(u'#') || (text.size() != 7 && text.size() != 4))
        return std::nullopt;
    const bool shortForm = text.size() == 4;
    quint32 rgb = 0;
    for (const QChar c : text.sliced(1)) {
        const char16_t u = c.toLower().unicode();
        const int digit = u >= u'0' && u <= u'9' ? u - u'0' : u >= u'a' && u <= u'f' ? u - u'a' + 10 : -1;
        if (digit < 0)
            return std::nullopt;
        rgb = shortForm ? (rgb << 8) | quint32(digit * 17) : (rgb << 4) | quint32(digit);
    }
    return rgb;
}

QString highlightRules(const Highlight& highlight, const QList<int>& split)
{
    // The keyboard's focus always shows, "keine" or not: keyboard users have no other way to see it.
    QString out = QStringLiteral(".korvane-verweise a:focus-visible *{") +
                  declarations(highlight, highlight.kind == HighlightKind::OutlineFill) + QLatin1Char('}');
    if (highlight.kind == HighlightKind::None)
        return out;
    const QString hover = QLatin1Char('{') + declarations(highlight, highlight.kind == HighlightKind::OutlineFill) +
                          QLatin1Char('}');
    out += QStringLiteral("@media (hover:hover){.korvane-flaechen a[href]:hover *") + hover;
    for (const int group : split) {
        const QString name = QStringLiteral(".korvane-g%1").arg(group);
        out += QStringLiteral(".korvane-flaechen:has(") + name + QStringLiteral(":hover) ") + name +
               QStringLiteral(" *") + hover;
    }
    return out + QLatin1Char('}');
}

} // namespace korvane
