#pragma once

#include <QColor>
#include <QList>
#include <QStringList>
#include <QString>

#include <optional>

// Our own reader and writer of INI files in the private-profile format:
// "[section]" lines open a section, "key=value" lines hold values. Section
// and key names match without regard to letter case. The file is written in
// UTF-8, the system's code page; one that is not valid UTF-8 (written by an
// older version) is read as Windows-1252. Every call opens and closes the
// file, nothing is cached.
// These functions never show a window: failures come back as an IniError.
namespace korvane {

struct IniError {
    int number = 0;      // 0: no error
    QString description; // the system's description of the failure
    bool failed() const { return number != 0; }
};

struct IniSetting {
    QString section;
    QString key;
    QString value;
};

// Values are read as at most this many characters.
inline constexpr int kIniValueLimit = 255;

// The stored value, or empty text when the file, the section or the key is missing.
QString iniGetSettingString(const QString& section, const QString& key, const QString& file, IniError* error = nullptr);
// Creates the file, the section and the key as needed and replaces an existing
// value; the rest of the file stays as it was. True on success.
bool iniWriteSetting(const QString& section, const QString& key, const QString& value, const QString& file,
                     IniError* error = nullptr);
// The same for several values, in order, with one reading and one writing of
// the file (a big file takes as long as a small one would for each value).
bool iniWriteSettings(const QList<IniSetting>& settings, const QString& file, IniError* error = nullptr);

// The file's contents, empty when it does not exist; false when it cannot be read.
bool iniReadContents(const QString& file, QString& contents, IniError* error = nullptr);
// A file's contents read once for several values.
class IniContents {
public:
    explicit IniContents(const QString& contents);
    QString value(const QString& section, const QString& key) const;

private:
    QStringList m_lines;
};

// The file's bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252.
QString decodeSettings(const QByteArray& bytes);
// The pure text parts of the two calls, for the file's decoded contents.
QString iniLookup(const QString& contents, const QString& section, const QString& key);
QString iniReplace(const QString& contents, const QString& section, const QString& key, const QString& value);
QString iniReplaceAll(const QString& contents, const QList<IniSetting>& settings);

// Conversions of stored values. Numbers may carry blanks around them, "&H"
// hexadecimal or a fraction (rounded half to even); anything else gives nothing,
// which leaves the setting as it was.
// A colour stored as red + 256 * green + 65536 * blue (0 to 16777215).
std::optional<QColor> settingColour(const QString& text);
qint64 settingNumberOf(const QColor& colour);
// A 16-bit whole number.
std::optional<int> settingShort(const QString& text);
// "-1" (or any other non-zero number, or "True") is true; "0" or "False" false.
std::optional<bool> settingFlag(const QString& text);

// The program's settings file "Korvane.ini": in the program's folder when that
// folder is writable, else in the user's configuration folder (created when
// needed). A non-empty override (tests) replaces both.
QString settingsFilePath();
void setSettingsFileOverride(const QString& path);

} // namespace korvane
