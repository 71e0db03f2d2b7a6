#pragma once

#include "app/IniFile.h"

#include <QTemporaryDir>

namespace korvane::test {

// A temporary folder that holds the settings file while it lives.
struct SettingsFolder {
    QTemporaryDir dir;

    SettingsFolder() { setSettingsFileOverride(dir.filePath(QStringLiteral("Korvane.ini"))); }
    ~SettingsFolder() { setSettingsFileOverride(QString()); }
    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace korvane::test
