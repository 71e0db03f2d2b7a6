#include "app/RecentFiles.h"

#include "app/OpenFromOutside.h"
#include "app/commands/EditorView.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include <utility>

namespace korvane {

namespace {

// The quotes take two of a value's 255 characters.
constexpr int kPieceLength = kIniValueLimit - 2;
// A continued path ends here at the latest (some 16,000 characters).
constexpr int kMaxPieces = 64;
// A folder longer than this is shown shortened in the menu.
constexpr int kShownFolder = 60;

QString keyOf(int number, int piece)
{
    return piece == 1 ? QStringLiteral("Datei%1").arg(number) : QStringLiteral("Datei%1_%2").arg(number).arg(piece);
}

QString unquoted(const QString& value)
{
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

// Pieces of a value's length, never between the two halves of a character
// outside the basic plane.
QStringList piecesOf(const QString& path)
{
    QStringList pieces;
    for (qsizetype from = 0; from < path.size();) {
        qsizetype length = std::min<qsizetype>(kPieceLength, path.size() - from);
        if (from + length < path.size() && path.at(from + length - 1).isHighSurrogate())
            --length;
        pieces << path.mid(from, length);
        from += length;
    }
    return pieces;
}

IniContents storedContents()
{
    QString contents;
    iniReadContents(settingsFilePath(), contents);
    return IniContents(contents);
}

} // namespace

QStringList recentFilesIn(const IniContents& stored)
{
    QStringList files;
    for (int number = 1; number <= RecentFiles::kMaxFiles; ++number) {
        QString path = unquoted(stored.value(kRecentSection, keyOf(number, 1)));
        for (int piece = 2; !path.isEmpty() && piece <= kMaxPieces; ++piece) {
            const QString more = stored.value(kRecentSection, keyOf(number, piece));
            if (more.isEmpty())
                break;
            path += unquoted(more);
        }
        if (!path.isEmpty() && !files.contains(path))
            files << path;
    }
    return files;
}

QList<IniSetting> recentFileSettings(const QStringList& files, const IniContents& stored)
{
    QStringList kept;
    for (const QString& path : files) {
        if (!path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r')))
            kept << path;
    }
    QList<IniSetting> settings;
    const auto storedHas = [&stored](int number, int piece) {
        return !stored.value(kRecentSection, keyOf(number, piece)).isEmpty();
    };
    for (int number = 1; number <= RecentFiles::kMaxFiles; ++number) {
        const QStringList pieces = piecesOf(kept.value(number - 1));
        for (qsizetype i = 0; i < pieces.size(); ++i)
            settings.append(
                {kRecentSection, keyOf(number, int(i) + 1), QLatin1Char('"') + pieces[i] + QLatin1Char('"')});
        // The reading stops at the first empty key: one ends what was stored longer.
        const int end = int(pieces.size()) + 1;
        if (storedHas(number, end))
            settings.append({kRecentSection, keyOf(number, end), QString()});
    }
    return settings;
}

QString recentEntryText(int number, const QString& path)
{
    const QFileInfo file(path);
    QString folder = QDir::toNativeSeparators(file.path());
    if (folder.size() > kShownFolder)
        folder = folder.left(kShownFolder / 2 - 1) + QChar(0x2026) + folder.right(kShownFolder / 2);
    QString name = file.fileName();
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    folder.replace(QLatin1Char('&'), QLatin1String("&&"));
    const QString mnemonic = number < 10 ? QStringLiteral("&%1").arg(number) : QStringLiteral("1&0");
    return QStringLiteral("%1 %2   (%3)").arg(mnemonic, name, folder);
}

RecentFiles::RecentFiles(EditorSession& session, EditorView& view, QObject* parent)
    : QObject(parent), m_session(session), m_view(view), m_writeSoon(new QTimer(this))
{
    m_writeSoon->setSingleShot(true);
    m_writeSoon->setInterval(0);
    connect(m_writeSoon, &QTimer::timeout, this, [this] { writeChanges(); });
}

// The window goes (its view with it): no box, but nothing opened is forgotten.
RecentFiles::~RecentFiles()
{
    writeChanges(false);
}

const QStringList& RecentFiles::files()
{
    if (!m_read) {
        m_files = recentFilesIn(storedContents());
        m_read = true;
    }
    return m_files;
}

void RecentFiles::add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    change([absolute](QStringList& files) {
        files.removeAll(absolute);
        files.prepend(absolute);
    });
}

void RecentFiles::remove(const QString& path)
{
    change([path](QStringList& files) { files.removeAll(path); });
}

void RecentFiles::clear()
{
    change([](QStringList& files) { files.clear(); });
}

// The list shown changes at once; the file follows (writeChanges()).
void RecentFiles::change(const Edit& edit)
{
    QStringList files = this->files();
    edit(files);
    while (files.size() > kMaxFiles)
        files.removeLast();
    m_files = files;
    m_unwritten.push_back(edit);
    m_writeSoon->start();
}

// The list as stored now (another editor may have changed it), with the
// changes made here since, written only when they changed it. Changes that
// could not be written (a full disk) are kept for the next write, which
// would otherwise start from the file without them.
void RecentFiles::writeChanges(bool tellUser)
{
    m_writeSoon->stop();
    if (m_unwritten.empty())
        return;
    const IniContents stored = storedContents();
    const QStringList before = recentFilesIn(stored);
    QStringList files = before;
    for (const Edit& edit : m_unwritten) {
        edit(files);
        while (files.size() > kMaxFiles)
            files.removeLast();
    }
    m_files = files;
    m_read = true;
    IniError error;
    if (files == before || iniWriteSettings(recentFileSettings(files, stored), settingsFilePath(), &error)) {
        m_unwritten.clear();
        return;
    }
    if (tellUser && !std::exchange(m_failureShown, true))
        warn(m_view.owner(), QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
             QStringLiteral("INIWriteSetting"));
}

void RecentFiles::open(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        if (askYesNo(m_view.owner(), kQuestionTitle,
                     tr("Die Datei \"%1\" gibt es nicht mehr. Soll sie aus der Liste der zuletzt geöffneten "
                        "Dateien entfernt werden?")
                         .arg(QDir::toNativeSeparators(path))))
            remove(path);
        return;
    }
    openFromOutside(m_session, m_view, path);
}

void RecentFiles::fillMenu(QMenu& menu)
{
    menu.clear();
    const QStringList shown = files();
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QAction* entry = menu.addAction(recentEntryText(int(i) + 1, shown[i]));
        entry->setObjectName(QStringLiteral("actZuletzt_%1").arg(i + 1));
        entry->setStatusTip(QDir::toNativeSeparators(shown[i]));
        connect(entry, &QAction::triggered, this, [this, path = shown[i]] { open(path); });
    }
    if (shown.isEmpty())
        menu.addAction(tr("Keine zuletzt geöffneten Dateien"))->setEnabled(false);
    menu.addSeparator();
    QAction* forget = menu.addAction(tr("Liste leeren"));
    forget->setObjectName(QStringLiteral("actZuletztLeeren"));
    forget->setEnabled(!shown.isEmpty());
    connect(forget, &QAction::triggered, this, &RecentFiles::clear);
}

} // namespace korvane
