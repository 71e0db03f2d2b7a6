#include "app/IniFile.h"

#include "io/FileReplace.h"
#include "model/Codec.h"

#include <QCoreApplication>
#include <QColor>
#include <QFile>
#include <QStringList>

#include <cmath>

namespace korvane {

namespace {

const QString kCr = QStringLiteral("\r");

// A line without its CR (lines are split at LF, so CR LF files keep a CR).
QString bodyOf(const QString& line)
{
    return line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line;
}

// The name of a "[section]" line, or a null string for any other line. A line
// without the closing bracket is no section header.
QString sectionNameOf(const QString& line)
{
    const QString body = bodyOf(line).trimmed();
    if (!body.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = body.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return body.mid(1, close - 1).trimmed();
}

bool isComment(const QString& body)
{
    return body.startsWith(QLatin1Char(';'));
}

bool keyMatches(const QString& line, const QString& key)
{
    const QString body = bodyOf(line).trimmed();
    const qsizetype eq = body.indexOf(QLatin1Char('='));
    return eq >= 0 && !isComment(body) && body.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

qsizetype findSection(const QStringList& lines, const QString& section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionNameOf(lines[i]);
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

// One past the last line that belongs to the section opened at line `start`.
qsizetype sectionEnd(const QStringList& lines, qsizetype start)
{
    qsizetype i = start + 1;
    while (i < lines.size() && sectionNameOf(lines[i]).isNull())
        ++i;
    return i;
}

// A CR or LF inside a name or value would split the line and break the file.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// A whole number as the settings file stores it: decimal, blanks around it
// allowed, "&H" hexadecimal, a fraction rounded half to even. Nothing for any
// other text, which leaves the setting as it was.
std::optional<qint64> wholeNumber(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const qint64 value = t.mid(2).toLongLong(&ok, 16);
        return ok ? std::optional<qint64>(value) : std::nullopt;
    }
    const qint64 value = t.toLongLong(&ok);
    if (ok)
        return value;
    const double real = t.toDouble(&ok);
    if (!ok || !std::isfinite(real) || std::fabs(real) > 9e15)
        return std::nullopt;
    return static_cast<qint64>(std::nearbyint(real));
}

} // namespace

// "red + 256 × green + 65536 × blue"; only the 24-bit colour range is a colour.
std::optional<QColor> settingColour(const QString& text)
{
    const auto value = wholeNumber(text);
    if (!value || *value < 0 || *value > 0xFFFFFF)
        return std::nullopt;
    return QColor(int(*value & 0xFF), int((*value >> 8) & 0xFF), int((*value >> 16) & 0xFF));
}

qint64 settingNumberOf(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

std::optional<int> settingShort(const QString& text)
{
    const auto value = wholeNumber(text);
    if (!value || *value < -32768 || *value > 32767)
        return std::nullopt;
    return int(*value);
}

// "-1" and any other non-zero number are true, "0" false; "True"/"False" too.
std::optional<bool> settingFlag(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    const auto value = wholeNumber(t);
    return value ? std::optional<bool>(*value != 0) : std::nullopt;
}

IniContents::IniContents(const QString& contents) : m_lines(contents.split(QLatin1Char('\n'))) {}

QString IniContents::value(const QString& section, const QString& key) const
{
    const qsizetype start = findSection(m_lines, section);
    if (start < 0)
        return {};
    const qsizetype end = sectionEnd(m_lines, start);
    for (qsizetype i = start + 1; i < end; ++i) {
        if (!keyMatches(m_lines[i], key))
            continue;
        const QString body = bodyOf(m_lines[i]);
        return body.mid(body.indexOf(QLatin1Char('=')) + 1).trimmed().left(kIniValueLimit);
    }
    return {};
}

QString iniLookup(const QString& contents, const QString& section, const QString& key)
{
    return IniContents(contents).value(section, key);
}

namespace {

// Sets one value in the file's lines (split at LF, so CR LF lines keep their CR).
void replaceInLines(QStringList& lines, const QString& section, const QString& key, const QString& value)
{
    const QString cleanSection = oneLine(section);
    const QString cleanKey = oneLine(key);
    const QString cleanValue = oneLine(value);
    const qsizetype start = findSection(lines, cleanSection);
    if (start < 0) {
        // The last line ends first; an empty last line is the end of the one before.
        if (lines.back().isEmpty())
            lines.removeLast();
        else
            lines.back() += kCr;
        lines << QLatin1Char('[') + cleanSection + QLatin1Char(']') + kCr
              << cleanKey + QLatin1Char('=') + cleanValue + kCr << QString();
        return;
    }
    const qsizetype end = sectionEnd(lines, start);
    qsizetype lastContent = start;
    for (qsizetype i = start + 1; i < end; ++i) {
        if (keyMatches(lines[i], cleanKey)) {
            // Keep the key's stored spelling and the line's own ending.
            const QString body = bodyOf(lines[i]);
            const QString storedKey = body.left(body.indexOf(QLatin1Char('=')));
            lines[i] =
                storedKey + QLatin1Char('=') + cleanValue + (lines[i].endsWith(QLatin1Char('\r')) ? kCr : QString());
            return;
        }
        if (!bodyOf(lines[i]).trimmed().isEmpty())
            lastContent = i;
    }
    // The new key goes after the section's last line with content. When that is
    // the file's unterminated last line, end it first.
    if (lastContent == lines.size() - 1) {
        if (!lines[lastContent].endsWith(QLatin1Char('\r')))
            lines[lastContent] += kCr;
        lines.append(QString());
    }
    lines.insert(lastContent + 1, cleanKey + QLatin1Char('=') + cleanValue + kCr);
}

} // namespace

QString iniReplace(const QString& contents, const QString& section, const QString& key, const QString& value)
{
    return iniReplaceAll(contents, {{section, key, value}});
}

QString iniReplaceAll(const QString& contents, const QList<IniSetting>& settings)
{
    QStringList lines = contents.split(QLatin1Char('\n'));
    for (const IniSetting& setting : settings)
        replaceInLines(lines, setting.section, setting.key, setting.value);
    return lines.join(QLatin1Char('\n'));
}

namespace {

void report(IniError* error, const QFileDevice& file)
{
    if (error)
        *error = {static_cast<int>(file.error()), file.errorString()};
}

} // namespace

bool iniReadContents(const QString& path, QString& contents, IniError* error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        report(error, file);
        return false;
    }
    contents = decodeSettings(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        report(error, file);
        return false;
    }
    return true;
}

QString iniGetSettingString(const QString& section, const QString& key, const QString& file, IniError* error)
{
    if (error)
        *error = {};
    QString contents;
    if (!iniReadContents(file, contents, error))
        return {};
    return iniLookup(contents, section, key);
}

bool iniWriteSetting(const QString& section, const QString& key, const QString& value, const QString& file,
                     IniError* error)
{
    return iniWriteSettings({{section, key, value}}, file, error);
}

bool iniWriteSettings(const QList<IniSetting>& settings, const QString& file, IniError* error)
{
    if (error)
        *error = {};
    QString contents;
    if (!iniReadContents(file, contents, error))
        return false;
    // A file that already holds every value is left alone: closing the
    // editor rewrites nothing when nothing changed.
    const QString updated = iniReplaceAll(contents, settings);
    if (updated == contents && QFile::exists(file))
        return true;
    // Written beside the old file and renamed into place, so a failed write
    // never leaves a half-written settings file.
    if (replaceFiles({{file, updated.toUtf8()}}).isEmpty())
        return true;
    if (error) {
        *error = {QFileDevice::WriteError,
                  QCoreApplication::translate("korvane::IniFile",
                                              "Die Einstellungsdatei \"%1\" ließ sich nicht schreiben; die "
                                              "bisherige Datei ist unverändert geblieben.")
                      .arg(file)};
    }
    return false;
}

// A UTF-8 mark that an editor put at the start is no part of the settings.
QString decodeSettings(const QByteArray& bytes)
{
    const TextEncoding encoding = detectEncoding(bytes);
    const bool mark = encoding == TextEncoding::Utf8 && bytes.startsWith("\xEF\xBB\xBF");
    return decodeText(mark ? bytes.mid(3) : bytes, encoding);
}

} // namespace korvane
