#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Files that come from outside the editor: named on the command line or
// dropped on the window from the file manager.
namespace korvane {

class EditorSession;
class EditorView;
class PicturePrefetch;
namespace import {
class PageReadAhead;
}

// Which command a file from outside belongs to.
enum class OutsideFileKind { Unknown, Picture, MapData, Page };

// The kind of a file from its name and its first bytes. The content decides
// where the extension is missing or contradicts it (a PNG named .dat is a
// picture, markup named .png is map data or a page); between map data and a
// page, which both importers read, the extension decides.
OutsideFileKind outsideFileKind(const QString& fileName, const QByteArray& head);

// Opens `path` with the command of its kind (Open, Map or Html) as if the user
// had pressed the button and chosen the file in its dialog, so every question
// and message of the command appears as it would. A file that is missing,
// unreadable or of no known kind gets a German message naming it instead.
// `othersLeftOut` more files were given; the user is told that only this one opens.
void openFromOutside(EditorSession& session, EditorView& view, const QString& path, int othersLeftOut = 0);

// Starts decoding the picture that openFromOutside(path) will show, where it
// is known without asking: the file itself when it is a picture, the one
// picture with a map when it is a page. The program starts it before the
// window is built, so that the decode runs while the window is made; the
// command takes the picture from `prefetch` as from an import's. A page is
// read there once: the Html command takes that reading from `page`. Anything
// else (a missing file, a .map file) starts nothing; a page with several
// pictures is read but decodes nothing, the user chooses.
void decodeEarly(PicturePrefetch& prefetch, import::PageReadAhead& page, const QString& path);

// Files dropped on the window (the canvas, the list, the code box, anywhere):
// the first one opens as with openFromOutside() once the drop is over. Drags
// without local files, such as a line of the area list on its way to the
// waste-paper basket, pass untouched.
class FileDrops : public QObject {
public:
    FileDrops(EditorSession& session, EditorView& view); // owned by the view's window

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditorSession& m_session;
    EditorView& m_view;
};

} // namespace korvane
