// The catalogue's way through the menu bar: another action of the catalogue
// run with its command given by the bar's entry instead of its button or key
// (Session::press, key, windowKey, clickOption and closeWindow follow the
// route), so the entry is checked against everything that action checks.
#include "session/Catalogue.h"
#include "session/Session.h"

#include <iterator>

namespace korvane::session {

namespace {

// The actions whose command the menu bar also runs. A step keeps its action
// by its place here: new ones go at the end.
const char* const kThroughMenuBar[] = {
    "open",      "mapImport",      "htmlImport",     "save",       "export",  "copyButton", "clear",
    "editAttributes", "undo",      "redo",           "copyKeys",   "pasteKeys", "foreignPaste", "deleteKey",
    "selectAll", "zoom",           "table",          "mapCheck",   "responsiveCopy", "responsiveSave", "help",
    "magnifier", "refresh",        "board",          "mode",       "snap",    "orderKey",   "align",
    "grid",      "close",          "wikiCopy",       "jsonSave",   "highlight", "ownFormImport",
    "trace",
};

const Action* routed(int index)
{
    const int count = int(std::size(kThroughMenuBar));
    return findAction(QLatin1String(kThroughMenuBar[((index % count) + count) % count]));
}

QList<const Action*> applicable(Session& s)
{
    QList<const Action*> found;
    for (int i = 0; i < int(std::size(kThroughMenuBar)); ++i) {
        if (const Action* action = routed(i); action && action->applies(s))
            found << action;
    }
    return found;
}

bool anyApplies(Session& s)
{
    return !applicable(s).isEmpty();
}

QList<int> generate(Session& s, QRandomGenerator& g)
{
    const QList<const Action*> candidates = applicable(s);
    const Action* chosen = candidates[int(g.bounded(int(candidates.size())))];
    int index = 0;
    while (routed(index) != chosen)
        ++index;
    return QList<int>{index} + chosen->generate(s, g);
}

// The action runs as it would on its own, its command given by the bar.
void run(Session& s, const QList<int>& p)
{
    const Action* action = routed(p.value(0));
    if (!action || !action->applies(s))
        return;
    s.setRoute(Session::Route::MenuBar);
    action->run(s, p.mid(1));
    s.setRoute(Session::Route::Direct);
}

} // namespace

void addMenuActions(std::vector<Action>& actions)
{
    actions.push_back({"menu", 8, anyApplies, generate, run});
}

} // namespace korvane::session
