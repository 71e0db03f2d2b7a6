// The map's other forms, reached from the code box's menu (by the menu bar's
// route from its Map menu): the MediaWiki block on the clipboard, the JSON
// file, and how the responsive form highlights an area (checked where the
// responsive code is copied). The files they give are read back by the
// "ownFormImport" action.
#include "session/Catalogue.h"
#include "session/Helpers.h"

#include "app/MainWindow.h"
#include "model/BrowserRules.h"
#include "model/AreaEntry.h"
#include "support/FileSizeLimit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

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

const QString kEntryWiki = QStringLiteral("MediaWiki-Code kopieren");
const QString kEntryJson = QStringLiteral("JSON speichern...");
const QString kEntryHighlight = QStringLiteral("Hervorhebung der responsiven Flächen");
const char* const kKinds[] = {"Keine", "Umriss", "Umriss und Fläche"};
const QString kEntryColour = QStringLiteral("Farbe...");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the menu shown next with the entry `path[level]` (its text, "&"
// left out), a submenu by the arrow key and the one after it; a missing or
// disabled entry closes the menu.
void answerMenuPath(Session& s, QStringList path, int level)
{
    s.modals().expect([&s, path, level](QWidget* shown) {
        auto* menu = qobject_cast<QMenu*>(shown);
        QAction* chosen = nullptr;
        for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
            if (!a->isSeparator() && QString(a->text()).remove(QLatin1Char('&')) == path[level])
                chosen = a;
        }
        if (!chosen || !chosen->isEnabled()) {
            shown->close();
            return;
        }
        menu->setActiveAction(chosen);
        if (level + 1 < path.size()) {
            answerMenuPath(s, path, level + 1);
            QTest::keyClick(menu, Qt::Key_Right);
        } else {
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
}

// Chooses an entry of the code box's own menu, opened by a right click into
// it; by the menu bar's route the same entry of its Map menu.
void chooseFormEntry(Session& s, const QStringList& path)
{
    if (s.route() == Session::Route::MenuBar) {
        s.chooseInMenuBar(menuPicks(QStringLiteral("mnuMap"), path));
        return;
    }
    answerMenuPath(s, path, 0);
    QWidget* viewport = s.w().ui.txtMap->viewport();
    const QPoint where(viewport->width() / 2, viewport->height() / 2);
    QContextMenuEvent request(QContextMenuEvent::Mouse, where, viewport->mapToGlobal(where));
    QApplication::sendEvent(viewport, &request);
    s.activate();
}

bool hasAreas(Session& s)
{
    return !s.model().lines().isEmpty();
}

// --- the MediaWiki block ---

// The block names the picture, shows it at its own width and has one line
// for every area in list order: its shape and link, or a comment for one
// the wiki cannot take, which a box then names. Written into a wiki text
// beside the picture, it is read back by the Html import.
void runWikiCopy(Session& s, const QList<int>&)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    chooseFormEntry(s, {kEntryWiki});
    s.expectLines(QStringLiteral("wiki"), s.model().lines());
    const QString text = QGuiApplication::clipboard()->text();
    QStringList rows = text.split(QLatin1Char('\n'));
    const QStringList lines = s.model().lines();
    const QString head = QStringLiteral("File:%1|%2px")
                             .arg(QFileInfo(s.w().document().imagePath()).fileName())
                             .arg(s.pictureSize().width());
    const bool framed = rows.size() == lines.size() + 5 && rows.value(0) == QLatin1String("<imagemap>") &&
                        rows.value(1) == head && rows.value(rows.size() - 3) == QLatin1String("desc none") &&
                        rows.value(rows.size() - 2) == QLatin1String("</imagemap>") && rows.back().isEmpty();
    if (!framed) {
        s.fail(QStringLiteral("wiki"), QStringLiteral("%1 areas, %2 picture, the clipboard holds:\n  %3")
                                           .arg(lines.size())
                                           .arg(head, text.left(2000)));
        return;
    }
    QStringList taken;
    bool commented = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& row = rows[i + 2];
        const QString keyword = row.section(QLatin1Char(' '), 0, 0);
        if (row.startsWith(QLatin1String("# "))) {
            commented = true;
            continue;
        }
        const browser::AreaShape shape = browser::areaShape(entry::shapeOf(lines[i]), entry::coordsOf(lines[i]));
        if (shape.empty || keyword != browser::shapeName(shape.kind)) {
            s.fail(QStringLiteral("wiki"), QStringLiteral("line %1\n  %2\nbecame\n  %3").arg(i).arg(lines[i], row));
            return;
        }
        taken << lines[i];
    }
    const int told = s.platform().countStartingWith(QStringLiteral("Der MediaWiki-Code ist in der Zwischenablage."));
    const bool named = told == 1 && s.platform().boxes.back().text.contains(QLatin1String("nur als Kommentar"));
    if (commented && !named) {
        s.fail(QStringLiteral("wiki"), QStringLiteral("areas left as comments, and no box said so"));
        return;
    }
    const QString wikiText = QFileInfo(s.w().document().imagePath()).absolutePath() + QStringLiteral("/wiki.html");
    QFile out(wikiText);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text.toUtf8()) == text.toUtf8().size())
        s.wroteOwnForm(wikiText, taken);
}

// --- the JSON file ---

// Each area a browser clicks, as its shape and numbers (`left`: those it does not).
QJsonArray expectedAreas(const QStringList& lines, QList<int>* left)
{
    QJsonArray areas;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const browser::AreaShape shape = browser::areaShape(entry::shapeOf(lines[i]), entry::coordsOf(lines[i]));
        if (shape.empty) {
            *left << int(i + 1);
            continue;
        }
        QJsonArray coords;
        for (double c : shape.c)
            coords << c;
        areas << QJsonObject{{QStringLiteral("shape"), browser::shapeName(shape.kind)},
                             {QStringLiteral("coords"), coords}};
    }
    return areas;
}

// "JSON speichern...": written where the dialog says (a folder that is
// there, a full disk, a folder that is not, or cancelled); a file that could
// not be written leaves the one before as it was and says so. The map's
// saved state stays: the JSON is no save of the map.
void runJsonSave(Session& s, const QList<int>& p)
{
    const int where = wrap(at(p, 0), 6); // 0-2: written, 3: cancelled, 4: full disk, 5: no such folder
    const QString file = s.path(where == 5 ? QStringLiteral("fehlt/karte.json") : QStringLiteral("ablage/karte.json"));
    const QByteArray before = "{\"vorher\": true}\n";
    if (where != 5) {
        s.write(QStringLiteral("ablage/karte.json"), before);
        s.forgetOwnForm(file);
    }
    s.platform().chooseFile = [file, where](const FileDialogRequest& r) {
        return r.mode == FileDialogRequest::Mode::Save && where != 3 ? file : QString();
    };
    const QStringList lines = s.model().lines();
    if (where == 4)
        test::onFullDisk(8, [&s] { chooseFormEntry(s, {kEntryJson}); });
    else
        chooseFormEntry(s, {kEntryJson});
    s.expectLines(QStringLiteral("json"), lines);
    if (s.failed())
        return;
    const bool asked = s.platform().dialogs.size() == 1 &&
                       s.platform().dialogs.front().title == QStringLiteral("JSON speichern unter...");
    if (!asked) {
        s.fail(QStringLiteral("json"), QStringLiteral("no save dialog for the JSON"));
        return;
    }
    if (where == 3) {
        s.expectEqual(QStringLiteral("json-cancelled"), QString::fromUtf8(readAll(file)), QString::fromUtf8(before));
        return;
    }
    if (where >= 4) {
        const QString warning = QStringLiteral("Die JSON-Datei konnte nicht gespeichert werden: Die Datei \"%1\" ließ sich "
                                               "nicht schreiben.\r\n\r\nEine bereits vorhandene Datei dieses Namens ist "
                                               "unverändert geblieben.")
                                    .arg(file);
        if (s.expectEqual(QStringLiteral("json-failed"), s.platform().boxes.value(0).text, warning) && where == 4)
            s.expectEqual(QStringLiteral("json-failed"), QString::fromUtf8(readAll(file)), QString::fromUtf8(before));
        return;
    }
    QJsonParseError error{};
    const QJsonObject json = QJsonDocument::fromJson(readAll(file), &error).object();
    QList<int> left;
    const QJsonArray expected = expectedAreas(lines, &left);
    QJsonArray areas;
    for (const QJsonValue area : json.value(QStringLiteral("areas")).toArray())
        areas << QJsonObject{{QStringLiteral("shape"), area[QStringLiteral("shape")]},
                             {QStringLiteral("coords"), area[QStringLiteral("coords")]}};
    const QJsonObject picture = json.value(QStringLiteral("picture")).toObject();
    if (error.error != QJsonParseError::NoError || json.value(QStringLiteral("format")) != QStringLiteral("korvane-imagemap") ||
        json.value(QStringLiteral("version")) != 1 || picture.value(QStringLiteral("width")) != s.pictureSize().width() ||
        picture.value(QStringLiteral("height")) != s.pictureSize().height() || areas != expected) {
        s.fail(QStringLiteral("json"), QStringLiteral("%1 areas a browser clicks, the file holds:\n  %2")
                                           .arg(expected.size())
                                           .arg(QString::fromUtf8(readAll(file).left(2000))));
        return;
    }
    // What could not go in is named; everything else is said by no box.
    const int told = s.platform().countStartingWith(QStringLiteral("Die JSON-Datei wurde unter \"%1\" gespeichert.").arg(file));
    if (told != (left.isEmpty() ? 0 : 1)) {
        s.fail(QStringLiteral("json"), QStringLiteral("%1 areas left out, %2 boxes said so").arg(left.size()).arg(told));
        return;
    }
    s.wroteOwnForm(file, lines);
}

// --- the highlight of the responsive form ---

// The colours a user picks in the colour dialog.
const QRgb kColours[] = {0xc80000, 0x00ff7f, 0x000000, 0xfafafa, 0x123456};

// One of the kinds, or "Farbe..." answered with a colour or cancelled. The
// choice shows in the responsive code copied later and outlives the window
// once it closed.
void runHighlight(Session& s, const QList<int>& p)
{
    const int what = wrap(at(p, 0), 4);
    Session::Highlight& h = s.highlight();
    if (what < 3) {
        chooseFormEntry(s, {kEntryHighlight, QString::fromUtf8(kKinds[what])});
        h.kind = what;
        return;
    }
    const bool cancel = at(p, 2) % 3 == 2;
    const QRgb colour = kColours[wrap(at(p, 1), int(std::size(kColours)))];
    s.platform().chooseColour = [cancel, colour](const QString&, const QColor&) -> std::optional<QColor> {
        if (cancel)
            return std::nullopt;
        return QColor(colour);
    };
    const QString shownBefore =
        QStringLiteral("Farbe der Hervorhebung|") + QColor(QRgb(h.colour)).name();
    chooseFormEntry(s, {kEntryHighlight, kEntryColour});
    if (!s.expectEqual(QStringLiteral("highlight-colour"), s.platform().colourDialogs.join(QLatin1Char(';')), shownBefore))
        return;
    if (!cancel)
        h.colour = colour;
}

} // namespace

void addFormActions(std::vector<Action>& actions)
{
    actions.push_back({"wikiCopy", 2, hasAreas, [](Session&, QRandomGenerator&) { return QList<int>{}; }, runWikiCopy});
    actions.push_back({"jsonSave", 2, hasAreas,
                       [](Session&, QRandomGenerator& g) { return QList<int>{int(g.bounded(6))}; }, runJsonSave});
    actions.push_back({"highlight", 2, [](Session&) { return true; },
                       [](Session&, QRandomGenerator& g) {
                           return QList<int>{int(g.bounded(4)), int(g.bounded(5)), int(g.bounded(3))};
                       },
                       runHighlight});
}

} // namespace korvane::session
