#include "session/Runner.h"

#include <QElapsedTimer>

namespace korvane::session {

namespace {

// The last word of every sequence: the whole history walked back and forth,
// the canvas against a full redraw, the recovery file.
void finalChecks(Session& s, RunResult& result)
{
    if (s.failed())
        return;
    const Action* walk = findAction(QStringLiteral("historyWalk"));
    s.beginStep(int(result.steps.size()), QStringLiteral("final historyWalk"));
    walk->run(s, {});
    s.endStep();
    s.checkCostly();
    ++result.actions;
}

void runStep(Session& s, const Action& action, const Step& step, int index, RunResult& result, const StepLog& log)
{
    if (log)
        log(index, step);
    s.beginStep(index, step.text());
    action.run(s, step.params);
    s.endStep();
    // KORVANE_SESSION_TRACE=1 shows every step as it ran.
    static const bool trace = qEnvironmentVariableIsSet("KORVANE_SESSION_TRACE");
    if (trace)
        qInfo("%4d %-40s %3d areas%s", index, qPrintable(step.text()), int(s.model().lines().size()),
              s.failed() ? qPrintable(QStringLiteral("  FAILED ") + describe(*s.failure())) : "");
    result.steps << step;
    ++result.actions;
}

const Action& weightedChoice(const std::vector<const Action*>& candidates, QRandomGenerator& random)
{
    int total = 0;
    for (const Action* a : candidates)
        total += a->weight;
    int pick = int(random.bounded(total));
    for (const Action* a : candidates) {
        if (pick < a->weight)
            return *a;
        pick -= a->weight;
    }
    return *candidates.back();
}

} // namespace

bool RunResult::knownFailure() const
{
    const KnownFault* known = failure ? knownFault(failure->fault) : nullptr;
    return known && !known->mended;
}

RunResult generateAndRun(quint64 seed, int length, const Session::Options& options, const StepLog& log)
{
    QElapsedTimer clock;
    clock.start();
    RunResult result;
    QRandomGenerator random(seed);
    {
        Session::Options steering = options;
        steering.steerClear = true;
        Session s(steering);
        for (int i = 0; i < length && !s.failed(); ++i) {
            std::vector<const Action*> candidates;
            for (const Action& a : catalogue()) {
                if (a.applies(s))
                    candidates.push_back(&a);
            }
            const Action& action = weightedChoice(candidates, random);
            const Step step{QString::fromLatin1(action.name), action.generate(s, random)};
            runStep(s, action, step, i, result, log);
        }
        finalChecks(s, result);
        result.failure = s.failure();
    }
    result.elapsedMs = clock.elapsed();
    return result;
}

RunResult replay(const Sequence& steps, const Session::Options& options, const StepLog& log)
{
    QElapsedTimer clock;
    clock.start();
    RunResult result;
    {
        Session s(options);
        for (const Step& step : steps) {
            if (s.failed())
                break;
            const Action* action = findAction(step.action);
            if (action && action->applies(s))
                runStep(s, *action, step, int(result.steps.size()), result, log);
        }
        finalChecks(s, result);
        result.failure = s.failure();
    }
    result.elapsedMs = clock.elapsed();
    return result;
}

bool sameFailure(const Failure& a, const Failure& b)
{
    return a.check == b.check && a.fault == b.fault;
}

Sequence shrink(const Sequence& steps, const Failure& failure, int runs, int seconds, const Trial& stillFails)
{
    QElapsedTimer clock;
    clock.start();
    // Whatever follows the failing step plays no part.
    Sequence best = failure.step >= 0 && failure.step < steps.size() ? steps.mid(0, failure.step + 1) : steps;
    const auto fails = [&](const Sequence& candidate) {
        if (runs-- <= 0 || clock.elapsed() > seconds * 1000LL) {
            runs = 0;
            return false;
        }
        const std::optional<Failure> found = stillFails(candidate);
        return found && sameFailure(*found, failure);
    };
    // Leave out chunks, halving them while nothing can go.
    for (qsizetype chunk = std::max<qsizetype>(best.size() / 2, 1); chunk >= 1 && runs > 0;) {
        bool removed = false;
        for (qsizetype from = 0; from < best.size() && runs > 0;) {
            Sequence candidate = best;
            candidate.remove(from, std::min(chunk, candidate.size() - from));
            if (!candidate.isEmpty() && fails(candidate)) {
                best = candidate;
                removed = true;
            } else {
                from += chunk;
            }
        }
        if (!removed)
            chunk /= 2;
    }
    // Small numbers read more easily: 0 first, then half.
    for (qsizetype i = 0; i < best.size() && runs > 0; ++i) {
        for (qsizetype j = 0; j < best[i].params.size() && runs > 0; ++j) {
            for (int value : {0, best[i].params[j] / 2}) {
                if (value == best[i].params[j])
                    continue;
                Sequence candidate = best;
                candidate[i].params[j] = value;
                if (fails(candidate)) {
                    best = candidate;
                    break;
                }
            }
        }
    }
    return best;
}

QString describe(const Failure& f)
{
    QString text = QStringLiteral("%1 at step %2 (%3)").arg(f.check).arg(f.step).arg(f.action);
    if (const KnownFault* known = knownFault(f.fault))
        text += QStringLiteral(" [fault %1 of the trust issue%2]")
                    .arg(f.fault)
                    .arg(known->mended ? QString() : QStringLiteral(", not yet mended: ") + QLatin1String(known->branch));
    return text + QStringLiteral(": ") + f.detail;
}

} // namespace korvane::session
