#pragma once

#include <QString>

namespace korvane {

// The six link attributes of an area as the link dialog left them. The last
// four hold "*" when the attribute is absent.
struct LinkAttributes {
    QString href;
    QString alt;
    QString target = QStringLiteral("*");
    QString onmouseover = QStringLiteral("*");
    QString onmouseout = QStringLiteral("*");
    QString onclick = QStringLiteral("*");

    bool operator==(const LinkAttributes&) const = default;
};

} // namespace korvane
