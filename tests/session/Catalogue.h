#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace korvane::session {

class Session;

// One step of a sequence: an action of the catalogue by name and the whole
// numbers it was generated with. Written "name 1 2 3"; a sequence is steps
// joined by "; ", which is also how a regression row keeps it.
struct Step {
    QString action;
    QList<int> params;

    QString text() const;
    static std::optional<Step> parse(const QString& text);
    bool operator==(const Step&) const = default;
};
using Sequence = QList<Step>;
QString sequenceText(const Sequence& steps);
std::optional<Sequence> parseSequence(const QString& text);

// One thing the user can do. `applies` says whether the window lets the user
// do it now (a generated step whose action no longer applies after shrinking
// is left out); `generate` draws its numbers; `run` does it on the real
// widgets, tells the model what changed and checks what the action itself
// promises. Numbers are read modulo what they choose from, so that a step
// still means something once the steps before it were shrunk away.
struct Action {
    const char* name;
    int weight; // how often it is drawn among those that apply
    std::function<bool(Session&)> applies;
    std::function<QList<int>(Session&, QRandomGenerator&)> generate;
    std::function<void(Session&, const QList<int>&)> run;
};

// Every action, in one table. Adding a user action to the editor means adding
// its row here (see tst_session.cpp).
const std::vector<Action>& catalogue();
const Action* findAction(const QString& name);

// The groups the catalogue is made of (one file each).
void addDrawingActions(std::vector<Action>& actions);
void addEditingActions(std::vector<Action>& actions);
void addFileActions(std::vector<Action>& actions);
void addFormActions(std::vector<Action>& actions);
void addTraceActions(std::vector<Action>& actions);
void addMenuActions(std::vector<Action>& actions);

} // namespace korvane::session
