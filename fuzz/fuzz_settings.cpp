// Feeds arbitrary bytes to the settings reader and writer: they must end and
// stay in bounds on any file, and a value written must read back.
#include "app/IniFile.h"

#include <cstdint>
#include <cstdlib>

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString contents = decodeSettings(bytes);
    const QString keys[][2] = {{QStringLiteral("color"), QStringLiteral("Zeichenfarbe")},
                               {QStringLiteral("Path"), QStringLiteral("Letzter_Grafik_Ordner")},
                               {QStringLiteral("Lupe"), QStringLiteral("lupe_visible")}};
    for (const auto& [section, key] : keys) {
        const QString before = iniLookup(contents, section, key);
        if (before.size() > kIniValueLimit)
            std::abort();
        settingColour(before);
        settingShort(before);
        settingFlag(before);
        const QString value = QStringLiteral("C:\\Bilder\\neu");
        if (iniLookup(iniReplace(contents, section, key, value), section, key) != value)
            std::abort();
    }
    return 0;
}
