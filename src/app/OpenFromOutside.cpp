#include "app/OpenFromOutside.h"

#include "picture/ImageLoader.h"
#include "picture/PicturePrefetch.h"
#include "app/commands/EditorView.h"
#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/PageReadAhead.h"
#include "model/Paths.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <optional>

namespace korvane {

namespace {

// Enough of the start of a file to tell its kind; markup sits near the top.
constexpr qint64 kHeadSize = 64 * 1024;

OutsideFileKind kindByExtension(const QString& fileName)
{
    if (hasPictureExtension(fileName))
        return OutsideFileKind::Picture;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("map"))
        return OutsideFileKind::MapData;
    // The Html command's dialog offers .php and .asp pages as well.
    for (const char* page : {"html", "htm", "xhtml", "php", "asp"})
        if (suffix == QLatin1String(page))
            return OutsideFileKind::Page;
    return OutsideFileKind::Unknown;
}

OutsideFileKind kindByContent(const QByteArray& head)
{
    if (looksLikePicture(head))
        return OutsideFileKind::Picture;
    // The markers are ASCII; a page in UTF-16 says so by its byte-order mark.
    const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(head);
    const QString text = (bom ? QString(QStringDecoder(*bom).decode(head)) : QString::fromLatin1(head)).toLower();
    for (const char* marker : {"<html", "<!doctype html", "<body"})
        if (text.contains(QLatin1String(marker)))
            return OutsideFileKind::Page;
    // Korvane's own forms of a map go to the Html command too: a MediaWiki
    // block (as written, or shown in a page) and the JSON form, which names
    // its format first.
    for (const char* marker : {"<imagemap", "&lt;imagemap&gt;", "\"korvane-imagemap\""})
        if (text.contains(QLatin1String(marker)))
            return OutsideFileKind::Page;
    return text.contains(QLatin1String("<map")) ? OutsideFileKind::MapData : OutsideFileKind::Unknown;
}

QString quoted(const QString& path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// The start of the file, or nothing when it cannot be read; the user is told why.
std::optional<QByteArray> readHead(QWidget* owner, const QString& path)
{
    const QFileInfo info(path);
    // A name that is not valid UTF-8 reaches the editor with its bad bytes
    // replaced, and under that name no file can be opened.
    if (!info.exists() && path.contains(QChar::ReplacementCharacter)) {
        warn(owner, QCoreApplication::translate("korvane::OpenFromOutside", "Der Name der Datei %1 lässt sich nicht lesen: Er ist kein "
                                                          "gültiger UTF-8-Text. Bitte die Datei umbenennen.")
                        .arg(quoted(path)));
        return std::nullopt;
    }
    if (!info.exists()) {
        warn(owner, QCoreApplication::translate("korvane::OpenFromOutside", "Die Datei %1 ist nicht vorhanden.").arg(quoted(path)));
        return std::nullopt;
    }
    if (info.isDir()) {
        warn(owner, QCoreApplication::translate("korvane::OpenFromOutside", "%1 ist ein Ordner und keine Datei.").arg(quoted(path)));
        return std::nullopt;
    }
    // Only regular files: reading a pipe or a device could block the editor.
    QFile file(path);
    std::optional<QByteArray> head;
    if (info.isFile() && file.open(QIODevice::ReadOnly))
        head = file.read(kHeadSize);
    if (!head || (head->isEmpty() && file.error() != QFileDevice::NoError)) {
        warn(owner, QCoreApplication::translate("korvane::OpenFromOutside", "Die Datei %1 kann nicht gelesen werden.").arg(quoted(path)));
        return std::nullopt;
    }
    return head;
}

std::optional<EditorView::Button> commandFor(OutsideFileKind kind)
{
    switch (kind) {
    case OutsideFileKind::Picture:
        return EditorView::Button::Open;
    case OutsideFileKind::MapData:
        return EditorView::Button::MapImport;
    case OutsideFileKind::Page:
        return EditorView::Button::HtmlImport;
    case OutsideFileKind::Unknown:
        break;
    }
    return std::nullopt;
}

// Hands the file to the session for the command's press: its open dialog
// answers with it, and a picture is decoded by its content. Nothing of it
// stays for later commands.
class HandOver {
public:
    HandOver(EditorSession& session, const QString& path, bool byContent) : m_session(session)
    {
        session.presetOpenChoice(path);
        if (byContent)
            session.setDecodeByContentPath(path);
    }
    ~HandOver()
    {
        m_session.takePresetOpenChoice();
        m_session.setDecodeByContentPath(QString());
    }
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;

private:
    EditorSession& m_session;
};

// The first local file of a drag, if it carries any.
QString firstLocalFile(const QMimeData* data, int& others)
{
    QStringList files;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
    }
    others = files.isEmpty() ? 0 : int(files.size()) - 1;
    return files.value(0);
}

// The picture the Html command takes from `page` without asking: the one
// picture with a map, found as the command finds it. Runs on the decode's
// thread, so it uses the pure readers alone.
QString pagePicture(const QString& page, const import::PageRead& read)
{
    const import::PageMaps& maps = read.maps;
    if (maps.candidates.size() != 1)
        return {}; // the user chooses one
    const import::ChosenImage image = import::readChosenTag(maps.writtenTags.value(0));
    if (image.imagePath.isEmpty())
        return {};
    const QString folder = withTrailingSeparator(QFileInfo(page).absolutePath());
    return findFileIgnoringCase(image.imagePath, withTrailingSeparator(import::baseFolder(maps.baseHref, folder)));
}

} // namespace

void decodeEarly(PicturePrefetch& prefetch, import::PageReadAhead& page, const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    const QString absolute = info.absoluteFilePath();
    QFile file(absolute);
    if (!file.open(QIODevice::ReadOnly))
        return;
    switch (outsideFileKind(absolute, file.read(kHeadSize))) {
    case OutsideFileKind::Picture:
        prefetch.start(absolute, true); // as HandOver has the command decode it
        return;
    case OutsideFileKind::Page:
        prefetch.startFinding(page.readOnThread(absolute, pagePicture), false);
        return;
    case OutsideFileKind::MapData:
    case OutsideFileKind::Unknown:
        return;
    }
}

OutsideFileKind outsideFileKind(const QString& fileName, const QByteArray& head)
{
    const OutsideFileKind byName = kindByExtension(fileName);
    const OutsideFileKind byContent = kindByContent(head);
    if (byContent == OutsideFileKind::Unknown)
        return byName;
    if (byName == OutsideFileKind::Unknown || byName == OutsideFileKind::Picture ||
        byContent == OutsideFileKind::Picture)
        return byContent;
    return byName;
}

void openFromOutside(EditorSession& session, EditorView& view, const QString& path, int othersLeftOut)
{
    QWidget* owner = view.owner();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (othersLeftOut > 0)
        inform(owner, QCoreApplication::translate("korvane::OpenFromOutside", "Es kann nur eine Datei auf einmal geöffnet werden. Geöffnet "
                                                            "wird %1.")
                          .arg(quoted(absolute)));
    const std::optional<QByteArray> head = readHead(owner, absolute);
    if (!head)
        return;
    const OutsideFileKind kind = outsideFileKind(absolute, *head);
    const std::optional<EditorView::Button> command = commandFor(kind);
    if (!command) {
        warn(owner, QCoreApplication::translate("korvane::OpenFromOutside", "Die Datei %1 ist weder eine Grafikdatei noch eine MAP- oder "
                                                          "HTML-Datei.")
                        .arg(quoted(absolute)));
        return;
    }
    // The loader goes by the extension; a picture under another name goes by its content.
    const HandOver handOver(session, absolute, kind == OutsideFileKind::Picture);
    view.press(*command);
}

FileDrops::FileDrops(EditorSession& session, EditorView& view) : QObject(view.owner()), m_session(session), m_view(view)
{
    QWidget* window = view.owner();
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    // Widgets that take drops themselves (the code box would paste the file's
    // name, the basket would delete a line) see dropped files here first.
    for (QWidget* child : window->findChildren<QWidget*>())
        if (child->acceptDrops())
            child->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    int others = 0;
    const QString file = firstLocalFile(drop->mimeData(), others);
    if (file.isEmpty())
        return false;
    // A copy: a file manager must never take a move as leave to delete the file.
    if (!(drop->possibleActions() & Qt::CopyAction)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // The file manager waits until the drop returns; the commands ask questions.
        QTimer::singleShot(0, m_view.owner(),
                           [this, file, others] { openFromOutside(m_session, m_view, file, others); });
    }
    return true;
}

} // namespace korvane
