#pragma once

#include "session/Catalogue.h"
#include "session/Session.h"

#include <functional>
#include <optional>

namespace korvane::session {

struct RunResult {
    Sequence steps;       // the steps that ran (generated, or those of a replay that applied)
    int actions = 0;      // steps run, the final history walk included
    qint64 elapsedMs = 0;
    std::optional<Failure> failure;

    bool passed() const { return !failure; }
    // The failure is one of the known faults not yet mended.
    bool knownFailure() const;
};

// Called before each step with its number and text, so that a supervising
// process can tell which step a crash happened in.
using StepLog = std::function<void(int index, const Step& step)>;

// A fresh session through `length` steps drawn from `seed`, each among the
// actions that apply at that moment, then the final checks.
RunResult generateAndRun(quint64 seed, int length, const Session::Options& options, const StepLog& log = {});
// A fresh session through exactly these steps (one that does not apply is
// left out), then the final checks.
RunResult replay(const Sequence& steps, const Session::Options& options, const StepLog& log = {});

// Whether two failures are the same fault: the same invariant broken, the
// same known fault.
bool sameFailure(const Failure& a, const Failure& b);

// The shortest sequence found that still fails as `failure` does: steps left
// out in halves, quarters, ... down to single steps, then their numbers made
// small. At most `runs` replays and about `seconds` of them. `stillFails`
// decides for a candidate (a replay in this process, or in another one).
using Trial = std::function<std::optional<Failure>(const Sequence&)>;
Sequence shrink(const Sequence& steps, const Failure& failure, int runs, int seconds, const Trial& stillFails);

// How a failure reads in a report: the invariant, the step, what was seen.
QString describe(const Failure& failure);

} // namespace korvane::session
