// The catalogue's actions on files and the program: Open, Save, Map and Html
// import with every answer, the export window, closing, and a crash with the
// recovery of what was not saved.
#include "session/Catalogue.h"
#include "session/Helpers.h"

#include "app/MainWindow.h"
#include "app/Language.h"
#include "app/IniFile.h"
#include "app/commands/RecoveryKeeper.h"
#include "canvas/Canvas.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/Codec.h"
#include "io/ExportWindow.h"
#include "io/RecoveryFile.h"
#include "io/MapFileWriter.h"

#include "support/Drops.h"
#include "support/FileSizeLimit.h"

#include <QAction>
#include <QClipboard>
#include <QRegularExpression>
#include <QTextDocument>
#include <QStatusBar>
#include <QMenuBar>
#include <QLabel>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace korvane::session {

namespace {

int at(const QList<int>& p, int i)
{
    return i < p.size() ? p[i] : 0;
}

int wrap(int value, int count)
{
    return count <= 0 ? 0 : ((value % count) + count) % count;
}

QStringList observed(Session& s)
{
    return s.w().areas().lines().toStringList();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kUnsavedQuestion = QStringLiteral(
    "Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll der Code jetzt gespeichert werden?");
const QString kKeepQuestion = QStringLiteral("Sollen die schon eingezeichneten Areale erhalten bleiben?");
const QString kRecoveryQuestionStart = QStringLiteral("Korvane wurde nicht ordnungsgemäß beendet.");
const QString kShowFilesStart = QStringLiteral("Die HTML-Datei wurde unter");
const QString kExportUnsaved =
    QStringLiteral("Der HTML-Code wurde noch nicht gespeichert. Soll der Code jetzt gespeichert werden?");

// The pictures a file dialog may give: the two good ones, one that is no
// picture, or none (cancelled).
QString pictureChoice(Session& s, int choice)
{
    switch (wrap(choice, 5)) {
    case 0:
        return s.picture(0);
    case 1:
        return s.picture(1);
    case 2:
        return s.path(QStringLiteral("bilder/kaputt.png"));
    case 4:
        return s.picture(2);
    default:
        return QString();
    }
}

// The choice that names a picture of the fixtures again.
int choiceOf(Session& s, const QString& picture)
{
    return picture == s.picture(0) ? 0 : picture == s.picture(1) ? 1 : 4;
}

QSize sizeOf(Session& s, const QString& picture)
{
    if (picture == s.picture(0))
        return {400, 300};
    if (picture == s.picture(1))
        return {320, 240};
    if (picture == s.picture(2))
        return {1600, 1400};
    return {};
}

QString url(const QString& path)
{
    return QStringLiteral("file://") + path;
}

// --- the files an import reads ---

struct MapFixture {
    const char* picture; // under bilder/, "" for none
    int width, height;   // as the img tag gives them, 0: not given
    bool hasMap;
    QStringList areas;  // area tags
    QStringList lines;  // the lines an import makes of them
};

QString mapLine(const QString& prefix, const QString& shape, const QString& rest)
{
    return prefix + shape + QString(20, QLatin1Char(' ')) + QLatin1Char('|') + rest;
}

const QList<MapFixture>& mapFixtures()
{
    static const QList<MapFixture> fixtures = {
        {"plan.png", 400, 300, true,
         {QStringLiteral("<area shape=\"rect\" coords=\"10,20,110,70\" href=\"ziel.html\" alt=\"Ziel\">"),
          QStringLiteral("<area shape=\"circle\" coords=\"200,150,30\" href=\"kreis.html\" alt=\"Kreis\" "
                         "target=\"_blank\">")},
         {mapLine(QStringLiteral("  "), QStringLiteral("rect"), QStringLiteral("10,20,110,70|ziel.html|Ziel|*|*|*|*")),
          mapLine(QStringLiteral("  "), QStringLiteral("circle"),
                  QStringLiteral("200,150,30|kreis.html|Kreis|_blank|*|*|*"))}},
        {"zweites.png", 0, 0, true,
         {QStringLiteral("<area shape=\"poly\" coords=\"5,5,60,5,30,50\" href=\"drei.html\" alt=\"Drei\">")},
         {mapLine(QStringLiteral("  "), QStringLiteral("poly"), QStringLiteral("5,5,60,5,30,50|drei.html|Drei|*|*|*|*"))}},
        {"fehlt.png", 0, 0, true,
         {QStringLiteral("<area shape=\"rect\" coords=\"30,30,90,90\" href=\"fehlt.html\" alt=\"Fehlt\">")},
         {mapLine(QStringLiteral("  "), QStringLiteral("rect"),
                  QStringLiteral("30,30,90,90|fehlt.html|Fehlt|*|*|*|*"))}},
        {"kaputt.png", 0, 0, true,
         {QStringLiteral("<area shape=\"rect\" coords=\"1,1,9,9\" href=\"k.html\" alt=\"K\">")},
         {}},
        {"plan.png", 0, 0, false, {}, {}},
        {"plan.png", 200, 150, true,
         {QStringLiteral("<area shape=\"rect\" coords=\"10,10,50,40\" href=\"halb.html\" alt=\"Halb\">")},
         {mapLine(QStringLiteral("  "), QStringLiteral("rect"), QStringLiteral("10,10,50,40|halb.html|Halb|*|*|*|*"))}},
        {"plan.png", 0, 0, true, {}, {}},
    };
    return fixtures;
}

QString writeMapFile(Session& s, int kind)
{
    const MapFixture& f = mapFixtures()[kind];
    const QString picture = s.path(QStringLiteral("bilder/") + QLatin1String(f.picture));
    QString text = QStringLiteral("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: %1\r\n-->\r\n\r\n").arg(QLatin1String(f.picture));
    QString img = QStringLiteral("<img src=\"%1\" usemap=\"#karte\"").arg(url(picture));
    if (f.width > 0)
        img += QStringLiteral(" width=\"%1\" height=\"%2\"").arg(f.width).arg(f.height);
    text += img + QStringLiteral(" />\r\n");
    if (f.hasMap)
        text += QStringLiteral("<map name=\"karte\">\r\n") + f.areas.join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\n</map>\r\n");
    return s.write(QStringLiteral("karten/k%1.map").arg(kind), text.toUtf8());
}

struct PageFixture {
    QString body; // with %1 for the pictures' folder as a URL
    QStringList lines;
};

const QList<PageFixture>& pageFixtures()
{
    static const QList<PageFixture> fixtures = {
        {QStringLiteral("<img src=\"%1/plan.png\" usemap=\"#seite\">\r\n<map name=\"seite\">\r\n"
                        "<area shape=\"rect\" coords=\"50,50,150,120\" href=\"a.html\" alt=\"A\">\r\n"
                        "<area shape=\"poly\" coords=\"200,20,260,20,230,80\" href=\"b.html\" alt=\"B\" "
                        "onclick=\"los()\">\r\n</map>"),
         {mapLine(QStringLiteral(" "), QStringLiteral("rect"), QStringLiteral("50,50,150,120|a.html|A|*|*|*|*")),
          mapLine(QStringLiteral(" "), QStringLiteral("poly"),
                  QStringLiteral("200,20,260,20,230,80|b.html|B|*|*|*|los()"))}},
        {QStringLiteral("<img src=\"%1/plan.png\" usemap=\"#eins\">\r\n<img src=\"%1/zweites.png\" usemap=\"#zwei\">\r\n"
                        "<map name=\"eins\"><area shape=\"rect\" coords=\"1,2,30,40\" href=\"e.html\" alt=\"E\"></map>\r\n"
                        "<map name=\"zwei\"><area shape=\"circle\" coords=\"100,100,20\" href=\"z.html\" alt=\"Z\"></map>"),
         {}},
        {QStringLiteral("<p>Keine Karte hier.</p><img src=\"%1/plan.png\">"), {}},
        {QStringLiteral("<img src=\"%1/fehlt.png\" usemap=\"#weg\">\r\n<map name=\"weg\">"
                        "<area shape=\"rect\" coords=\"5,5,25,25\" href=\"w.html\" alt=\"W\"></map>"),
         {mapLine(QStringLiteral(" "), QStringLiteral("rect"), QStringLiteral("5,5,25,25|w.html|W|*|*|*|*"))}},
        {QStringLiteral("<img src=\"%1/plan.png\" usemap=\"#nirgends\">\r\n<map name=\"anders\">"
                        "<area shape=\"rect\" coords=\"5,5,25,25\" href=\"n.html\" alt=\"N\"></map>"),
         {}},
    };
    return fixtures;
}

QString writePage(Session& s, int kind)
{
    const QString body = pageFixtures()[kind].body.arg(url(s.path(QStringLiteral("bilder"))));
    return s.write(QStringLiteral("seiten/p%1.html").arg(kind),
                   (QStringLiteral("<html>\r\n<body>\r\n") + body + QStringLiteral("\r\n</body>\r\n</html>\r\n")).toUtf8());
}

// The lines of the chosen map of page 1: the first or the second picture's.
QStringList chooserLines(int choice)
{
    if (choice == 0)
        return {mapLine(QStringLiteral(" "), QStringLiteral("rect"), QStringLiteral("1,2,30,40|e.html|E|*|*|*|*"))};
    return {mapLine(QStringLiteral(" "), QStringLiteral("circle"), QStringLiteral("100,100,20|z.html|Z|*|*|*|*"))};
}

// --- the questions before unsaved work goes ---

// Whether the unsaved question came when it was due, once at most. False after a failure.
bool expectUnsavedQuestion(Session& s, bool due, const QString& what)
{
    const int asked = s.platform().countStartingWith(kUnsavedQuestion);
    if (asked == (due ? 1 : 0))
        return true;
    s.fail(QStringLiteral("unsaved-question"),
           QStringLiteral("%1: the question came %2 times; unsaved work: %3").arg(what).arg(asked).arg(due));
    return false;
}

// Saves as "Save" does when the unsaved question is answered Yes.
QString savedPath(Session& s)
{
    return s.path(QStringLiteral("ablage/karte.html"));
}

// The replies of a command that may ask about unsaved code: `reply` there,
// No to showing saved files; the save dialog gets the usual page.
void replyToUnsaved(Session& s, Reply reply, std::function<Reply(const ShownBox&)> others = {})
{
    s.platform().replyTo = [reply, others](const ShownBox& box) {
        if (box.text == kUnsavedQuestion)
            return reply;
        if (box.text.startsWith(kShowFilesStart))
            return Reply::No;
        if (box.text.startsWith(QStringLiteral("Die MAP-Datei")))
            return Reply::Yes; // the map of another save before may go
        return others ? others(box) : Reply::Default;
    };
}

// After a Yes to the question: the save ran and the command stopped there.
void expectSavedInstead(Session& s, const QString& code)
{
    if (s.platform().countStartingWith(kShowFilesStart) != 1) {
        s.fail(QStringLiteral("save-on-question"), QStringLiteral("Yes to the question saved nothing"));
        return;
    }
    // A code box emptied by hand shows the areas' code again, and that is written.
    const QString written = code.isEmpty() && !s.model().lines().isEmpty() ? s.codeOfLines() : code;
    if (s.expectLines(QStringLiteral("save-on-question"), s.model().lines()) &&
        s.expectEqual(QStringLiteral("save-on-question"), s.codeShown(), written))
        s.model().written(written);
}

// --- Open ---

// A file dropped from the file manager onto the window, as the window system
// hands it over.
void dropFile(Session& s, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    test::dropOn(s.w().ui.picContainer, &data);
    // The window opens it once the drop has returned to the file manager.
    QCoreApplication::processEvents();
}

// How a command is given: its button, or a file of its kind dropped on the window.
using Trigger = std::function<void(Session&)>;

void runOpenBy(Session& s, const QList<int>& p, const Trigger& trigger)
{
    const QString chosen = pictureChoice(s, at(p, 0));
    const Reply reply = replyFor(at(p, 1));
    const QString code = s.codeShown();
    const bool due = !s.model().saved(code);
    const QSize sizeBefore = s.pictureSize();
    const bool pictureBefore = s.hasPicture();
    replyToUnsaved(s, reply);
    s.platform().chooseFile = [&s, chosen](const FileDialogRequest& r) {
        return r.mode == FileDialogRequest::Mode::Save ? savedPath(s) : chosen;
    };
    trigger(s);
    if (!expectUnsavedQuestion(s, due, QStringLiteral("Open")))
        return;
    if (due && reply == Reply::Yes) {
        expectSavedInstead(s, code);
        return;
    }
    if (due && reply == Reply::Escape) {
        s.expectLines(QStringLiteral("open-escaped"), s.model().lines());
        return;
    }
    const QSize size = sizeOf(s, chosen);
    if (!size.isValid()) {
        // Cancelled or refused: the map stays as it was.
        if (s.expectLines(QStringLiteral("open-refused"), s.model().lines()) &&
            (s.pictureSize() != sizeBefore || s.hasPicture() != pictureBefore))
            s.fail(QStringLiteral("open-refused"), QStringLiteral("the picture changed"));
        return;
    }
    if (!s.expectLines(QStringLiteral("open"), {}))
        return;
    if (s.pictureSize() != size)
        s.fail(QStringLiteral("open"), QStringLiteral("the picture shown is not the one opened"));
    s.model().startNew({});
    s.opened(chosen);
}

void runOpen(Session& s, const QList<int>& p)
{
    runOpenBy(s, p, [](Session& s) { s.press(s.w().ui.Command1); });
}

// --- Save ---

// Plain, odd, the .map itself, a missing folder, cancelled, another
// extension, and a full disk (the first name again, the disk full after 300 bytes).
const char* const kSaveNames[] = {"ablage/karte.html", "ablage/Plan \xc3\x9c #1.html", "ablage/karte.map",
                                  "fehlt/karte.html", "", "ablage/punkt.neu.htm", "ablage/karte.html"};

QString expectedMapBytes(Session& s, const QString& code)
{
    QByteArray text = "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: ";
    text += s.w().document().imageFileName().toLatin1() + "\r\n-->\r\n\r\n";
    return QString::fromLatin1(text) + code;
}

void runSave(Session& s, const QList<int>& p)
{
    const int which = wrap(at(p, 0), int(std::size(kSaveNames)));
    const QString name = QString::fromUtf8(kSaveNames[which]);
    const QString page = name.isEmpty() ? QString() : s.path(name);
    const Reply replaceReply = replyFor(at(p, 1));
    const QString code = s.codeShown();
    // The files beside the one named that are there already (another map's
    // .map, the page of a name given as the .map's) are replaced on Yes only.
    const auto replaces = [](const ShownBox& box) {
        return box.text.startsWith(QStringLiteral("Die MAP-Datei")) ||
               (box.text.startsWith(QStringLiteral("Die HTML-Datei")) && box.text.endsWith(QStringLiteral(" gibt es bereits. Soll sie ersetzt werden?")));
    };
    s.platform().replyTo = [replaceReply, replaces](const ShownBox& box) {
        if (box.text.startsWith(kShowFilesStart))
            return Reply::No;
        return replaces(box) ? replaceReply : Reply::Default;
    };
    s.platform().chooseFile = [page](const FileDialogRequest&) { return page; };
    const QString base = page.left(page.lastIndexOf(QLatin1Char('.')) > page.lastIndexOf(QLatin1Char('/'))
                                       ? page.lastIndexOf(QLatin1Char('.'))
                                       : page.size());
    const QString dataFile = base + QStringLiteral(".map");
    const QString pageFile = which == 2 ? base + QStringLiteral(".html") : page;
    const QByteArray dataBefore = readAll(dataFile);
    const QByteArray pageBefore = readAll(pageFile);
    const bool fullDisk = which == 6;
    if (fullDisk)
        test::onFullDisk(300, [&s] { s.press(s.w().ui.Command7); });
    else
        s.press(s.w().ui.Command7);
    if (!s.expectLines(QStringLiteral("save"), s.model().lines()))
        return;
    if (page.isEmpty())
        return;
    const bool warned = !s.platform().boxes.isEmpty() && s.platform().boxes.back().icon == MessageIcon::Warning;
    const bool declined = std::any_of(s.platform().boxes.begin(), s.platform().boxes.end(), replaces) &&
                          replaceReply != Reply::Yes;
    // The test page alone is more than the full disk takes.
    if (which == 3 || declined || (which == 2 && warned) || fullDisk) {
        // Refused or failed: nothing written over, nothing counted as saved.
        if (readAll(dataFile) != dataBefore || readAll(pageFile) != pageBefore)
            s.fail(QStringLiteral("save-refused"), QStringLiteral("a save that did not go ahead wrote ") + dataFile);
        else if ((which == 3 || fullDisk) && !declined && !warned)
            s.fail(QStringLiteral("save-failed"), QStringLiteral("a save that failed reported no failure"));
        return;
    }
    const QByteArray data = readAll(dataFile);
    const QByteArray html = readAll(pageFile);
    const QString expected = expectedMapBytes(s, code);
    // Written in Windows-1252 unless the code needs UTF-8 (a hand-typed
    // ellipsis is 0x85 there).
    if (fromWindows1252(data) != expected && data != expected.toUtf8()) {
        s.fail(QStringLiteral("save-files"), QStringLiteral("%1 holds\n%2").arg(dataFile, QString::fromUtf8(data.left(300))),
               which == 2 ? 4 : 0);
        return;
    }
    if (!html.startsWith("<?xml") || !html.contains(code.toUtf8())) {
        s.fail(QStringLiteral("save-files"), QStringLiteral("%1 is no test page").arg(pageFile), which == 2 ? 4 : 0);
        return;
    }
    s.model().written(code);
}

void runResponsiveSave(Session& s, const QList<int>& p)
{
    const bool missingFolder = at(p, 0) % 3 == 2;
    const QString page = s.path(missingFolder ? QStringLiteral("fehlt/r.html") : QStringLiteral("ablage/responsiv.html"));
    s.platform().chooseFile = [page](const FileDialogRequest&) { return page; };
    s.platform().replyTo = [](const ShownBox&) { return Reply::No; };
    QFile::remove(page);
    s.forgetOwnForm(page);
    s.windowKey(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    const QByteArray written = readAll(page);
    if (missingFolder) {
        if (s.platform().boxes.isEmpty() || s.platform().boxes.front().icon != MessageIcon::Warning)
            s.fail(QStringLiteral("responsive-save"), QStringLiteral("a page that could not be written was not reported"));
    } else if (!written.contains("korvane-map") || !written.contains("<svg")) {
        s.fail(QStringLiteral("responsive-save"), QStringLiteral("%1 is no responsive page").arg(page));
    } else {
        s.wroteOwnForm(page, s.model().lines());
    }
    // The code box and its saved state stay as they were.
    s.expectLines(QStringLiteral("responsive-save"), s.model().lines());
}

// --- Map import ---

void runMapImportBy(Session& s, const QList<int>& p, const std::function<void(Session&, const QString&)>& trigger)
{
    const int kind = wrap(at(p, 0), int(mapFixtures().size()));
    const bool cancel = at(p, 1) % 5 == 4;
    const Reply keepReply = replyFor(at(p, 2));
    const QString opened = pictureChoice(s, at(p, 3));
    const Reply scaleReply = at(p, 4) % 2 == 0 ? Reply::Yes : Reply::No;
    const Reply unsavedReply = at(p, 5) % 2 == 0 ? Reply::No : Reply::Yes;
    const MapFixture& f = mapFixtures()[kind];
    const QString file = cancel ? QString() : writeMapFile(s, kind);
    const QStringList old = s.model().lines();
    const bool asksKeep = !old.isEmpty();
    const bool keep = !asksKeep || keepReply == Reply::Yes;
    const bool stopped = asksKeep && keepReply == Reply::Escape; // "Abbrechen": the import does not begin
    const QSize sizeBefore = s.pictureSize();
    // A save halfway through (Yes to the question of the Open that looks for
    // the picture) writes what the window holds at that moment.
    auto savedHalfway = std::make_shared<std::pair<QStringList, QString>>();
    s.platform().replyTo = [&s, keepReply, scaleReply, unsavedReply, savedHalfway](const ShownBox& box) {
        if (box.text == kKeepQuestion)
            return keepReply;
        if (box.text.startsWith(QStringLiteral("Die Seite zeigt das Bild mit")))
            return scaleReply;
        if (box.text == kUnsavedQuestion) {
            *savedHalfway = {observed(s), s.codeShown()};
            return unsavedReply;
        }
        if (box.text.startsWith(kShowFilesStart))
            return Reply::No;
        return Reply::Default;
    };
    s.platform().chooseFile = [&s, file, opened](const FileDialogRequest& r) {
        if (r.mode == FileDialogRequest::Mode::Save)
            return savedPath(s);
        return r.title == QStringLiteral("MapDatei öffnen") ? file : opened;
    };
    const bool editing = s.w().session().editChosen();
    const QString codeBefore = s.codeShown();
    trigger(s, file);
    if (!f.hasMap && !stopped)
        s.allowStaleCode(codeBefore); // the file's map name taken, the code not made again
    if (s.platform().countStartingWith(kKeepQuestion) != (asksKeep ? 1 : 0)) {
        s.fail(QStringLiteral("keep-question"), QStringLiteral("asked %1 times with %2 areas")
                                                    .arg(s.platform().countStartingWith(kKeepQuestion))
                                                    .arg(old.size()));
        return;
    }
    if (stopped || cancel || !f.hasMap || kind == 3) {
        // Cancelled, no map in the file, a picture that is refused: nothing changes.
        if (s.expectLines(QStringLiteral("import-refused"), old) && kind == 3 && s.pictureSize() != sizeBefore)
            s.fail(QStringLiteral("import-refused"), QStringLiteral("a refused picture replaced the one shown"));
        return;
    }
    const QStringList expected = (keep ? old : QStringList()) + f.lines;
    const bool savedByTheOpen = s.platform().countStartingWith(kUnsavedQuestion) == 1 && unsavedReply == Reply::Yes;
    const bool scaled = s.platform().countStartingWith(QStringLiteral("Die Seite zeigt das Bild mit")) == 1 &&
                        scaleReply == Reply::Yes;
    const QStringList after = observed(s);
    if (scaled) {
        // One step of its own: the imported lines scaled to the picture.
        QList<int> imported;
        for (int row = keep ? int(old.size()) : 0; row < expected.size(); ++row)
            imported << row;
        if (!expectReshaped(s, QStringLiteral("map-import-scaled"), expected, after, imported, false))
            return;
    } else if (!s.expectLines(QStringLiteral("map-import"), expected)) {
        return;
    }
    s.model().startNew(expected, expected == old);
    // The Open that looked for a missing picture opened the one chosen there.
    if (kind == 2 && sizeOf(s, opened).isValid())
        s.opened(opened);
    s.opened(file);
    if (savedByTheOpen)
        s.model().written(savedHalfway->first, savedHalfway->second);
    if (scaled)
        s.model().change(after);
    if (editing && !s.w().areas().isEmpty() && !s.editMode())
        s.fail(QStringLiteral("map-import"), QStringLiteral("an import begun in edit mode left it"));
}

// --- Html import ---

void runMapImport(Session& s, const QList<int>& p)
{
    runMapImportBy(s, p, [](Session& s, const QString&) { s.press(s.w().ui.Command8); });
}

void runHtmlImportBy(Session& s, const QList<int>& p, const std::function<void(Session&, const QString&)>& trigger)
{
    const int kind = wrap(at(p, 0), int(pageFixtures().size()));
    const bool cancel = at(p, 1) % 5 == 4;
    const Reply reply = replyFor(at(p, 2));
    const int chooser = wrap(at(p, 3), 3);
    const QString opened = pictureChoice(s, at(p, 4));
    const QString file = cancel ? QString() : writePage(s, kind);
    const QStringList old = s.model().lines();
    const QString code = s.codeShown();
    const bool due = !s.model().saved(code);
    replyToUnsaved(s, reply, [](const ShownBox& box) {
        return box.text.startsWith(QStringLiteral("Die Seite zeigt das Bild mit")) ? Reply::No : Reply::Default;
    });
    s.platform().chooseFile = [&s, file, opened](const FileDialogRequest& r) {
        if (r.mode == FileDialogRequest::Mode::Save)
            return savedPath(s);
        return r.title == QStringLiteral("HTML-Datei öffnen") ? file : opened;
    };
    if (kind == 1 && !cancel) {
        s.modals().expect([chooser](QWidget* dialog) {
            auto* list = dialog->findChild<QListWidget*>(QStringLiteral("List2"));
            if (chooser < 2 && list && list->count() > chooser)
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(chooser)).center());
            else
                dialog->close();
        });
    }
    trigger(s, file);
    if (!expectUnsavedQuestion(s, due, QStringLiteral("Html")))
        return;
    if (due && reply == Reply::Yes) {
        expectSavedInstead(s, code);
        return;
    }
    if (due && reply == Reply::Escape) {
        s.expectLines(QStringLiteral("html-escaped"), old);
        return;
    }
    const bool discard = due; // answered No
    QStringList imported = pageFixtures()[kind].lines;
    if (kind == 1)
        imported = chooser < 2 ? chooserLines(chooser) : QStringList();
    if (cancel || kind == 2 || (kind == 1 && chooser == 2)) {
        s.expectLines(QStringLiteral("html-refused"), old);
        return;
    }
    if (kind == 4) {
        // The picture is loaded before the map is missed: the map discarded
        // goes, one kept stays with its history, shown on the new picture.
        if (s.expectLines(QStringLiteral("html-no-map"), discard ? QStringList() : old) && discard)
            s.model().startNew({});
        return;
    }
    const QStringList expected = (discard ? QStringList() : old) + imported;
    if (!s.expectLines(QStringLiteral("html-import"), expected))
        return;
    s.model().startNew(expected, expected == old);
    // The Open that looked for a missing picture opened the one chosen there.
    if (kind == 3 && sizeOf(s, opened).isValid())
        s.opened(opened);
    s.opened(file);
}

void runHtmlImport(Session& s, const QList<int>& p)
{
    runHtmlImportBy(s, p, [](Session& s, const QString&) { s.press(s.w().ui.Command11); });
}

// --- Korvane's own forms read back ---

// What a browser makes of a line: its shape and numbers; the key the forms
// keep an area by. Nothing for a line a browser does not click. A rectangle
// over the whole picture counts as the default area: the responsive page
// draws both alike, and one at the bottom of its pointer layer is read back
// as the default area, which a browser clicks alike.
std::optional<QString> browserShape(const QString& line, QSize picture)
{
    browser::AreaShape shape = browser::areaShape(entry::shapeOf(line), entry::coordsOf(line));
    if (shape.empty)
        return std::nullopt;
    if (shape.kind == browser::Shape::Rect && shape.c.size() == 4 &&
        std::min(shape.c[0], shape.c[2]) <= 0 && std::min(shape.c[1], shape.c[3]) <= 0 &&
        std::max(shape.c[0], shape.c[2]) >= picture.width() && std::max(shape.c[1], shape.c[3]) >= picture.height())
        shape = browser::areaShape(QStringLiteral("default"), QString());
    QStringList numbers;
    for (double c : shape.c)
        numbers << QString::number(c, 'g', 12);
    return QString::number(int(shape.kind)) + QLatin1Char(':') + numbers.join(QLatin1Char(','));
}

QStringList browserShapes(const QStringList& lines, QSize picture)
{
    QStringList shapes;
    for (const QString& line : lines) {
        if (const std::optional<QString> shape = browserShape(line, picture))
            shapes << *shape;
    }
    shapes.sort();
    return shapes;
}

// A page, JSON file or wiki text the window wrote, opened by the Html
// import: every area a browser clicks comes back with its shape (the parts
// of one link together, so the order may differ), after the areas kept.
void runOwnFormImportBy(Session& s, const QString& file, int answer, const Trigger& trigger)
{
    const QStringList written = s.ownForms().value(file);
    const Reply reply = replyFor(answer);
    const QStringList old = s.model().lines();
    const QString code = s.codeShown();
    const bool due = !s.model().saved(code);
    replyToUnsaved(s, reply, [](const ShownBox& box) {
        return box.text.startsWith(QStringLiteral("Die Seite zeigt das Bild mit")) ? Reply::No : Reply::Default;
    });
    s.platform().chooseFile = [&s, file](const FileDialogRequest& r) {
        if (r.mode == FileDialogRequest::Mode::Save)
            return savedPath(s);
        return r.title == QStringLiteral("HTML-Datei öffnen") ? file : QString();
    };
    trigger(s);
    if (!expectUnsavedQuestion(s, due, QStringLiteral("own form")))
        return;
    if (due && reply == Reply::Yes) {
        expectSavedInstead(s, code);
        return;
    }
    if (due && reply == Reply::Escape) {
        s.expectLines(QStringLiteral("own-form-escaped"), old);
        return;
    }
    const QStringList kept = due ? QStringList() : old;
    const QStringList after = observed(s);
    // The picture the page was written for, which the one shown now need not be.
    QSize picture = s.pictureSize();
    static const QRegularExpression img(QStringLiteral("<img [^>]*width=\"(\\d+)\" height=\"(\\d+)\""));
    if (const QRegularExpressionMatch m = img.match(QString::fromUtf8(readAll(file).left(1 << 20))); m.hasMatch())
        picture = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    if (after.mid(0, kept.size()) != kept ||
        browserShapes(after.mid(kept.size()), picture) != browserShapes(written, picture)) {
        s.fail(QStringLiteral("own-form-import"),
               QStringLiteral("%1 with %2 areas a browser clicks, kept %3, read back as %4 lines:\n  %5")
                   .arg(file)
                   .arg(browserShapes(written, picture).size())
                   .arg(kept.size())
                   .arg(after.size() - kept.size())
                   .arg(after.mid(kept.size()).join(QStringLiteral("\n  ")).left(2000)));
        return;
    }
    s.model().startNew(after, after == old);
    s.opened(file);
}

// A file that holds no map the importers know (a file of the recent ones
// that was written over meanwhile): after the question the import says so,
// and nothing changes.
void runNoMapImportBy(Session& s, const QString& file, int answer, const Trigger& trigger)
{
    const Reply reply = replyFor(answer);
    const QStringList old = s.model().lines();
    const QString code = s.codeShown();
    const bool due = !s.model().saved(code);
    replyToUnsaved(s, reply);
    s.platform().chooseFile = [&s, file](const FileDialogRequest& r) {
        return r.mode == FileDialogRequest::Mode::Save ? savedPath(s) : file;
    };
    // A file from outside goes to the Html command by its name or by what it
    // holds; any other is named as none the editor opens, and nothing asks.
    const QByteArray head = readAll(file).left(4096).toLower();
    const bool page = file.endsWith(QLatin1String(".html")) || head.contains("<html") || head.contains("<imagemap") ||
                      head.contains("\"korvane-imagemap\"");
    trigger(s);
    if (!page) {
        s.expectEqual(QStringLiteral("no-map"), s.platform().boxes.value(0).text,
                      QStringLiteral("Die Datei \"%1\" ist weder eine Grafikdatei noch eine MAP- oder HTML-Datei.").arg(file));
        s.expectLines(QStringLiteral("no-map"), old);
        return;
    }
    if (!expectUnsavedQuestion(s, due, QStringLiteral("no map")))
        return;
    if (due && reply == Reply::Yes) {
        expectSavedInstead(s, code);
        return;
    }
    s.expectLines(QStringLiteral("no-map"), old);
}

void runOwnFormImport(Session& s, const QList<int>& p)
{
    const QStringList files = s.ownForms().keys();
    runOwnFormImportBy(s, files[wrap(at(p, 0), int(files.size()))], at(p, 1),
                       [](Session& s) { s.press(s.w().ui.Command11); });
}

// A picture, a .map file or a page dropped on the window: the command of its
// kind as if its dialog had chosen the file.
void runDropFile(Session& s, const QList<int>& p)
{
    const auto dropped = [](Session& s, const QString& file) { dropFile(s, file); };
    switch (wrap(at(p, 0), 3)) {
    case 0: {
        const QList<int> open{wrap(at(p, 1), 3), at(p, 2)}; // a picture: a dialog's "none" cannot be dropped
        runOpenBy(s, open, [open](Session& s) { dropFile(s, pictureChoice(s, open[0])); });
        break;
    }
    case 1:
        runMapImportBy(s, {at(p, 1), 0, at(p, 2), at(p, 3), at(p, 4), at(p, 5)}, dropped);
        break;
    default:
        runHtmlImportBy(s, {at(p, 1), 0, at(p, 2), at(p, 3), at(p, 4)}, dropped);
        break;
    }
}

// --- Datei > Zuletzt geöffnet ---

// The picks to an entry of Datei > Zuletzt geöffnet (by its object name);
// the files the menu lists go to `shown`.
QList<Session::Pick> recentPicks(const QString& entry, std::shared_ptr<QStringList> shown)
{
    const auto byMenu = [](const char* name) {
        return [name](const QList<QAction*>& actions) -> QAction* {
            for (QAction* a : actions) {
                if (a->menu() && a->menu()->objectName() == QLatin1String(name))
                    return a;
            }
            return nullptr;
        };
    };
    return {byMenu("mnuDatei"), byMenu("mnuZuletzt"), [entry, shown](const QList<QAction*>& actions) -> QAction* {
                QAction* found = nullptr;
                for (QAction* a : actions) {
                    if (a->objectName().startsWith(QLatin1String("actZuletzt_")))
                        *shown << QDir::fromNativeSeparators(a->statusTip());
                    if (a->objectName() == entry)
                        found = a;
                }
                return found;
            }};
}

// A file chosen from the recently opened ones opens as a file from outside,
// with every question of its command; one that is gone is offered for
// removal from the list; "Liste leeren" forgets them all.
void runRecentFile(Session& s, const QList<int>& p)
{
    const int what = wrap(at(p, 0), 6); // 0-3: open it, 4: its file gone, 5: forget the list
    const QStringList files = s.recentFiles();
    const QString file = files.isEmpty() ? QString() : files[wrap(at(p, 1), int(files.size()))];
    const QString entry = what == 5 || file.isEmpty() ? QStringLiteral("actZuletztLeeren")
                                                      : QStringLiteral("actZuletzt_%1").arg(files.indexOf(file) + 1);
    auto shown = std::make_shared<QStringList>();
    const auto choose = [entry, shown](Session& s) {
        shown->clear();
        s.chooseInMenuBar(recentPicks(entry, shown));
    };
    const auto listed = [&s, shown, files] {
        return s.expectEqual(QStringLiteral("recent-files"), shown->join(QStringLiteral("\n  ")),
                             files.join(QStringLiteral("\n  ")));
    };
    if (what == 5 || file.isEmpty()) {
        choose(s); // "Liste leeren", which is off while the list is empty
        if (listed())
            s.clearRecent();
        s.expectLines(QStringLiteral("recent-files"), s.model().lines());
        return;
    }
    const QString name = QFileInfo(file).fileName();
    // The test's own fixtures are written again before each use; other files
    // (Korvane's own forms) are what they were last written as, or gone.
    const bool fixture = QRegularExpression(QStringLiteral("^(p\\d+\\.html|k\\d+\\.map|.*\\.png)$")).match(name).hasMatch();
    if (what == 4 || (!fixture && !QFileInfo::exists(file))) {
        const Reply reply = at(p, 2) % 2 == 0 ? Reply::Yes : Reply::No;
        QFile::remove(file);
        s.forgetOwnForm(file);
        s.platform().replyTo = [reply](const ShownBox&) { return reply; };
        choose(s);
        s.restoreFixtures();
        const QString question = QStringLiteral("Die Datei \"%1\" gibt es nicht mehr. Soll sie aus der Liste der "
                                                "zuletzt geöffneten Dateien entfernt werden?")
                                     .arg(QDir::toNativeSeparators(file));
        if (!listed() ||
            !s.expectEqual(QStringLiteral("recent-gone"), s.platform().boxes.value(0).text, question) ||
            !s.expectLines(QStringLiteral("recent-gone"), s.model().lines()))
            return;
        if (reply == Reply::Yes)
            s.forgetRecent(file);
        return;
    }
    const int kind = QStringView(name).mid(1).toString().section(QLatin1Char('.'), 0, 0).toInt();
    const auto chosen = [choose](Session& s, const QString&) { choose(s); };
    if (s.ownForms().contains(file))
        runOwnFormImportBy(s, file, at(p, 2), [choose](Session& s) { choose(s); });
    else if (!fixture)
        runNoMapImportBy(s, file, at(p, 2), [choose](Session& s) { choose(s); });
    else if (name.endsWith(QLatin1String(".png")))
        runOpenBy(s, {choiceOf(s, file), at(p, 2)}, [choose](Session& s) { choose(s); });
    else if (name.endsWith(QLatin1String(".map")))
        runMapImportBy(s, {kind, 0, at(p, 2), at(p, 3), at(p, 4), at(p, 5)}, chosen);
    else
        runHtmlImportBy(s, {kind, 0, at(p, 2), at(p, 3), at(p, 4)}, chosen);
    if (!s.failed())
        listed();
}

// --- the export window ---

// Whether the export window's question came when it was due; false after a failure.
bool expectPageQuestion(Session& s, bool due, const QString& what)
{
    const int asked = s.platform().countStartingWith(kExportUnsaved);
    if (asked == (due ? 1 : 0))
        return true;
    s.fail(QStringLiteral("export-question"),
           QStringLiteral("%1: the export window asked %2 times; its page unsaved: %3").arg(what).arg(asked).arg(due));
    return false;
}

// The export window's own save dialog is answered with the page's file.
bool pageSaveDialog(const FileDialogRequest& r)
{
    return r.mode == FileDialogRequest::Mode::Save && qobject_cast<ExportWindow*>(r.owner);
}

// The page's text as the export window writes it: in UTF-8 (a mark before
// it or not), or in Windows-1252 for a page read so, with references for
// what that has no byte for.
bool writtenAs(const QByteArray& bytes, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return bytes == utf8 || bytes == QByteArray("\xEF\xBB\xBF") + utf8 || bytes == toWindows1252Html(text);
}

// After Yes to the export window's question: its page is written to `file`
// as it showed it.
void expectPageWritten(Session& s, const QString& file, const QString& text)
{
    if (!writtenAs(readAll(file), text))
        s.fail(QStringLiteral("export-save"),
               QStringLiteral("Yes to the export window's question did not write %1").arg(file));
}

void runExport(Session& s, const QList<int>& p)
{
    const int op = wrap(at(p, 0), 4);
    ExportWindow* page = s.exportWindow();
    const bool shown = page && page->isVisible();
    const Reply pageReply = replyFor(at(p, 2));
    s.platform().replyTo = [pageReply](const ShownBox& box) {
        return box.text == kExportUnsaved ? pageReply : Reply::Default;
    };
    if (op == 0 || !shown) {
        if (s.codeShown().isEmpty())
            return;
        const int which = wrap(at(p, 1), 3);
        const QString file = which == 0 ? s.write(QStringLiteral("seiten/export.html"),
                                                  "<html>\r\n<body>\r\n<p>Seite</p>\r\n</body>\r\n</html>\r\n")
                             : which == 1 ? s.path(QStringLiteral("seiten/gibtsnicht.html"))
                                          : QString();
        // The page shown before, with edits not saved, is asked for once a file was chosen.
        const bool asks = shown && which != 2 && !page->isSaved() && page->textModified();
        const QString before = asks ? page->pageText() : QString();
        const QString tag = asks ? page->tag() : QString();
        s.platform().chooseFile = [file, tag](const FileDialogRequest& r) { return pageSaveDialog(r) ? tag : file; };
        QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
        s.press(s.w().ui.Command12);
        if (!expectPageQuestion(s, asks, QStringLiteral("export")))
            return;
        if (asks && pageReply == Reply::Yes)
            expectPageWritten(s, tag, before);
        if (asks && pageReply == Reply::Escape) {
            // "Abbrechen": the page stays as it was, nothing else happens.
            if (page->pageText() != before || QGuiApplication::clipboard()->text() != QStringLiteral("vorher"))
                s.fail(QStringLiteral("export"), QStringLiteral("\"Abbrechen\" to the export window's question went on"));
            s.activate();
            return;
        }
        if (which == 0 && !s.failed() && !(s.exportWindow() && s.exportWindow()->isVisible()))
            s.fail(QStringLiteral("export"), QStringLiteral("no export window for a page that is there"));
        if (which != 2 && !s.failed() &&
            !s.expectEqual(QStringLiteral("export-clipboard"), QGuiApplication::clipboard()->text(), s.codeShown()))
            return;
        s.activate();
        return;
    }
    if (op == 1) {
        page->ui.Text1->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(page->ui.Text1, at(p, 1) % 2 == 0 ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
        QTest::mouseClick(page->ui.Command1, Qt::LeftButton);
    } else if (op == 2) {
        // Saved under its own name, or the dialog cancelled.
        const QString text = page->pageText();
        const QString tag = page->tag();
        const bool cancel = at(p, 1) % 3 == 2;
        s.platform().replyTo = [](const ShownBox&) { return Reply::No; };
        s.platform().chooseFile = [tag, cancel](const FileDialogRequest& r) {
            return pageSaveDialog(r) && !cancel ? tag : QString();
        };
        const bool wasSaved = page->isSaved();
        QTest::mouseClick(page->ui.Command2, Qt::LeftButton);
        if (page->isSaved() != (wasSaved || !cancel))
            s.fail(QStringLiteral("export-save"), QStringLiteral("the page counts as saved: %1, the dialog cancelled: %2")
                                                      .arg(page->isSaved())
                                                      .arg(cancel));
        else if (!cancel && !writtenAs(readAll(tag), text))
            s.fail(QStringLiteral("export-save"), QStringLiteral("%1 holds another text than the window").arg(tag));
    } else {
        // Closing asks while the window holds a page not saved: Yes saves it
        // and stays, "Abbrechen" stays, No lets the page go.
        const bool asks = !page->ui.Text1->document()->isEmpty() && !page->isSaved();
        const QString text = page->pageText();
        const QString tag = page->tag();
        s.platform().chooseFile = [tag](const FileDialogRequest& r) { return pageSaveDialog(r) ? tag : QString(); };
        page->close();
        if (!expectPageQuestion(s, asks, QStringLiteral("closing the export window")))
            return;
        if (asks && pageReply == Reply::Yes)
            expectPageWritten(s, tag, text);
        if (page->isVisible() != (asks && pageReply != Reply::No))
            s.fail(QStringLiteral("export"), QStringLiteral("the export window is %1 after the answer")
                                                 .arg(page->isVisible() ? QStringLiteral("open") : QStringLiteral("closed")));
    }
    s.activate();
    s.expectLines(QStringLiteral("export"), s.model().lines());
}

// --- the program ---

// After a start with the second picture on the command line: the map
// recovered before it (`recovered`, unsaved) was given up for it, or kept
// with its picture when the Open was answered "Abbrechen" (`kept`).
void expectOpenedFromOutside(Session& s, const QStringList& recovered, const std::optional<QString>& typed, bool kept)
{
    const bool asked = s.platform().countStartingWith(kUnsavedQuestion) == 1;
    if (asked != (!recovered.isEmpty() || typed.has_value())) {
        s.fail(QStringLiteral("recovery-then-file"), QStringLiteral("the file's Open asked %1, %2 areas recovered")
                                                         .arg(asked)
                                                         .arg(recovered.size()));
        return;
    }
    if (kept) {
        if (!s.expectLines(QStringLiteral("recovery-then-file"), recovered))
            return;
        s.model().startNew(recovered);
        if (typed && s.expectEqual(QStringLiteral("recovery-then-file"), s.codeShown(), *typed))
            s.model().setHandCode(*typed);
        return;
    }
    if (!s.expectLines(QStringLiteral("recovery-then-file"), {}))
        return;
    if (s.pictureSize() != QSize(320, 240))
        s.fail(QStringLiteral("recovery-then-file"), QStringLiteral("the picture from the command line is not shown"));
    s.opened(s.picture(1));
}

// The entry that is no file to read, after the start: put aside with one
// word, unless a map was recovered before the start came to it (one map at a
// time; the rest waits for the next start, and the user removes it here).
bool expectStrangeAside(Session& s, const QString& strange, const QString& aside, bool recovered)
{
    const QString told = QStringLiteral("Die Wiederherstellungsdatei \"%1\" ist keine gewöhnliche Datei; sie wird "
                                        "nicht gelesen. Sie wurde unter \"%2\" beiseitegelegt und bleibt dort erhalten.")
                             .arg(strange, aside);
    const auto there = [](const QString& path) { return QFileInfo(path).isSymLink() || QFileInfo::exists(path); };
    const bool right = recovered ? there(strange) && !there(aside) && s.platform().countStartingWith(told) == 0
                                 : there(aside) && !there(strange) && s.platform().countStartingWith(told) == 1;
    if (!right) {
        QStringList shown;
        for (const ShownBox& box : s.platform().boxes)
            shown << box.text;
        s.fail(QStringLiteral("recovery-strange"), QStringLiteral("a map recovered: %1; expected %2\n  %3\nthe boxes:\n  %4")
                                                       .arg(recovered)
                                                       .arg(recovered ? QStringLiteral("left alone") : QStringLiteral("put aside with"))
                                                       .arg(told, shown.join(QStringLiteral("\n  "))));
        return false;
    }
    QFile::remove(recovered ? strange : aside);
    s.platform().boxes.removeIf([&told](const ShownBox& box) { return box.text == told; });
    return true;
}

void runCrash(Session& s, const QList<int>& p)
{
    const Reply reply = at(p, 0) % 3 == 2 ? Reply::No : Reply::Yes;
    const QStringList lines = s.model().lines();
    const std::optional<QString> typed = s.model().handCode();
    const QString code = s.codeShown();
    const int selected = currentRow(s);
    const QString picture = s.w().document().imagePath();
    const ExportWindow* page = s.exportWindow();
    const bool pageEdited = page && page->isVisible() && !page->isSaved() && page->textModified();
    // Unsaved areas, an edited page or code typed by hand are offered.
    const bool due = !s.model().saved(code) && (!lines.isEmpty() || pageEdited || typed);
    // The new editor may be started with a picture on its command line:
    // that opens once the recovery question is answered, as after any Open
    // ("Nein" or "Abbrechen" to its question about the recovered map).
    const bool fromOutside = at(p, 1) % 3 == 1;
    const Reply openReply = at(p, 2) % 2 == 0 ? Reply::No : Reply::Escape;
    s.platform().replyTo = [reply, openReply](const ShownBox& box) {
        if (box.text == kUnsavedQuestion)
            return openReply;
        return box.text.startsWith(kRecoveryQuestionStart) ? reply : Reply::Default;
    };
    s.platform().chooseFile = nullptr;
    // Beside it may lie what another editor left that is no file to read:
    // the start puts it aside with a word and goes on at once.
    const QString strange = s.placeStrangeRecoveryFile(wrap(at(p, 3), 6) < 4 ? 0 : wrap(at(p, 3), 6) - 3);
    const QString strangeAside = strange.isEmpty() ? QString() : recovery::refusedPath(recovery::pidOfFile(strange));
    if (fromOutside) {
        s.crashAndRestart({s.picture(1)});
    } else {
        s.crashAndRestart();
        s.keeper().offerRecovery();
    }
    const int asked = s.platform().countStartingWith(kRecoveryQuestionStart);
    if (asked != (due ? 1 : 0) || (asked == 1 && !s.platform().boxes.front().text.startsWith(kRecoveryQuestionStart))) {
        s.fail(QStringLiteral("recovery-offer"), QStringLiteral("asked %1 times, unsaved work: %2; the first box: %3")
                                                     .arg(asked)
                                                     .arg(due)
                                                     .arg(s.platform().boxes.value(0).text));
        return;
    }
    const bool recovered = asked == 1 && reply != Reply::No;
    if (!strange.isEmpty() && !expectStrangeAside(s, strange, strangeAside, recovered))
        return;
    if (fromOutside) {
        expectOpenedFromOutside(s, recovered ? lines : QStringList(), recovered ? typed : std::nullopt,
                                recovered && openReply == Reply::Escape);
        return;
    }
    if (!recovered) {
        s.expectLines(QStringLiteral("recovery-declined"), {});
        return;
    }
    if (!s.expectLines(QStringLiteral("recovery"), lines))
        return;
    s.model().startNew(lines);
    if (s.w().document().imagePath() != picture) {
        s.fail(QStringLiteral("recovery"), QStringLiteral("the picture came back as %1, not %2")
                                               .arg(s.w().document().imagePath(), picture));
        return;
    }
    if (currentRow(s) != selected) {
        s.fail(QStringLiteral("recovery"), QStringLiteral("line %1 selected again, %2 was").arg(currentRow(s)).arg(selected));
        return;
    }
    if (typed) {
        if (!s.expectEqual(QStringLiteral("recovery-code"), s.codeShown(), *typed))
            return;
        s.model().setHandCode(*typed);
    }
    if (s.w().document().mapSaved())
        s.fail(QStringLiteral("recovery"), QStringLiteral("the recovered map counts as saved"));
}

void runClose(Session& s, const QList<int>& p)
{
    const Reply reply = replyFor(at(p, 0));
    const Reply pageReply = replyFor(at(p, 2));
    const QString code = s.codeShown();
    const bool due = !s.model().saved(code);
    ExportWindow* page = s.exportWindow();
    const bool pageAsks = page && page->isVisible() && !page->ui.Text1->document()->isEmpty() && !page->isSaved();
    const QString pageText = pageAsks ? page->pageText() : QString();
    const QString pageFile = pageAsks ? page->tag() : QString();
    replyToUnsaved(s, reply, [pageReply](const ShownBox& box) {
        return box.text == kExportUnsaved ? pageReply : Reply::Default;
    });
    s.platform().chooseFile = [&s, pageFile](const FileDialogRequest& r) {
        if (pageSaveDialog(r))
            return pageFile;
        return r.mode == FileDialogRequest::Mode::Save ? savedPath(s) : QString();
    };
    s.closeWindow(at(p, 1) % 2 == 1);
    if (!expectUnsavedQuestion(s, due, QStringLiteral("closing")))
        return;
    // The export window asks next, once the map's question let the closing go on.
    const bool goesOn = !due || reply == Reply::No;
    if (!expectPageQuestion(s, goesOn && pageAsks, QStringLiteral("closing")))
        return;
    const bool stays = !goesOn || (pageAsks && pageReply != Reply::No);
    if (s.w().isVisible() != stays) {
        s.fail(QStringLiteral("close"), stays ? QStringLiteral("the window closed over unsaved work")
                                              : QStringLiteral("the window stayed open"));
        return;
    }
    if (due && reply == Reply::Yes) {
        expectSavedInstead(s, code);
        return;
    }
    if (goesOn && pageAsks && pageReply == Reply::Yes)
        expectPageWritten(s, pageFile, pageText);
    if (stays) {
        s.expectLines(QStringLiteral("close"), s.model().lines());
        return;
    }
    s.platform().clear();
    s.restart();
    if (s.platform().countStartingWith(kRecoveryQuestionStart) != 0)
        s.fail(QStringLiteral("close"), QStringLiteral("a closed editor left a map to recover"));
}

QList<int> numbers(QRandomGenerator& g, std::initializer_list<int> ranges)
{
    QList<int> p;
    for (int n : ranges)
        p << int(g.bounded(n));
    return p;
}

} // namespace

// --- the language ---

// Nothing the closing would ask about: the map as last written, the export
// window holding no page that is not saved.
bool closesQuietly(Session& s)
{
    const ExportWindow* page = s.exportWindow();
    const bool pageAsks = page && page->isVisible() && !page->ui.Text1->document()->isEmpty() && !page->isSaved();
    return s.model().saved(s.codeShown()) && !pageAsks;
}

// Korvane.ini's language set to English, the editor closed and started
// again: it speaks English; then back to German the same way, and every
// text is German again (the later steps find the window by its German texts).
void runLanguage(Session& s, const QList<int>&)
{
    for (const Language language : {Language::English, Language::German}) {
        iniWriteSettings({{kLanguageSection, kLanguageKey, languageSettingValue(language)}}, settingsFilePath());
        s.closeWindow();
        if (s.w().isVisible() || !s.platform().boxes.isEmpty()) {
            s.fail(QStringLiteral("language"), QStringLiteral("closing a saved map asked: %1").arg(s.platform().boxes.value(0).text));
            return;
        }
        installChosenLanguage();
        s.restart();
        const bool english = language == Language::English;
        const QList<QAction*> titles = s.w().menuBar()->actions();
        const QString first = titles.isEmpty() ? QString() : titles.front()->text();
        const QLabel* count = s.w().statusBar()->findChild<QLabel*>(QStringLiteral("lblStatusAreale"));
        const QString shown = first + QStringLiteral(" | ") + (count ? count->text() : QString());
        if (!s.expectEqual(QStringLiteral("language"), shown,
                           english ? QStringLiteral("&File | No areas") : QStringLiteral("&Datei | Keine Areale")))
            return;
    }
}

void addFileActions(std::vector<Action>& actions)
{
    const auto always = [](Session&) { return true; };
    const auto picture = [](Session& s) { return s.hasPicture(); };
    actions.push_back({"open", 4, always, [](Session&, QRandomGenerator& g) { return numbers(g, {5, 3}); }, runOpen});
    actions.push_back({"save", 3, [](Session& s) { return s.w().ui.Command7->isEnabled(); },
                       [](Session&, QRandomGenerator& g) { return numbers(g, {7, 3}); }, runSave});
    actions.push_back({"mapImport", 3, always,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {7, 5, 3, 4, 2, 2}); }, runMapImport});
    actions.push_back({"htmlImport", 3, always,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {5, 5, 3, 3, 4}); }, runHtmlImport});
    actions.push_back({"dropFile", 2, always,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {3, 7, 3, 3, 4, 2}); }, runDropFile});
    actions.push_back({"recentFile", 2, always,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {6, 10, 3, 4, 2, 2}); }, runRecentFile});
    actions.push_back({"ownFormImport", 2, [](Session& s) { return !s.ownForms().isEmpty(); },
                       [](Session&, QRandomGenerator& g) { return numbers(g, {10, 3}); }, runOwnFormImport});
    actions.push_back({"responsiveSave", 1, [](Session& s) { return !s.w().areas().isEmpty(); },
                       [](Session&, QRandomGenerator& g) { return numbers(g, {3}); }, runResponsiveSave});
    actions.push_back({"export", 2, picture, [](Session&, QRandomGenerator& g) { return numbers(g, {4, 3, 3}); },
                       runExport});
    actions.push_back({"crash", 2, picture, [](Session&, QRandomGenerator& g) { return numbers(g, {3, 3, 2, 6}); }, runCrash});
    actions.push_back({"language", 1, closesQuietly, [](Session&, QRandomGenerator&) { return QList<int>{}; },
                       runLanguage});
    actions.push_back({"close", 1, always,
                       [](Session&, QRandomGenerator& g) { return numbers(g, {3, 2, 3}); }, runClose});
}

} // namespace korvane::session
