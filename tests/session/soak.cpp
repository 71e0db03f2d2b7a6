// korvane_session_soak: fresh seeds of the random session test for as long as
// asked (./korvane.sh soak [MINUTES] builds it with ASan and UBSan).
//
// The sessions run in child processes, so that a crash, a sanitizer report or
// a hang ends only the child: the parent reads which step the child was in
// from its step log, and shrinks that sequence by replaying candidates in
// further children. A failed check the child shrinks itself. At the end the
// parent prints the actions run, actions per second and every failure with
// its shrunk sequence, ready to be a row of tst_session's regressions.
//
//   korvane_session_soak [--minutes M] [--seed S] [--length L]   the supervisor
//   korvane_session_soak --child --seed S --count N --length L --log FILE
//   korvane_session_soak --replay FILE                           exit 0 passed, 10 failed
#include "session/Runner.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>

using namespace korvane::session;

namespace {

constexpr int kSeedsPerChild = 8;
// A replay whose checks failed; any other exit but 0 is a crash (a sanitizer
// aborts, so its report ends the child with a signal).
constexpr int kCheckFailed = 10;

Session::Options soakOptions()
{
    Session::Options options;
    options.costlyEvery = 10;
#ifdef KORVANE_SANITIZED
    options.stepBoundMs = 30000; // the sanitizers make every step several times slower
#else
    options.stepBoundMs = 8000;
#endif
    return options;
}

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

// --- the child ---

int runChild(quint64 firstSeed, int count, int length, const QString& logPath)
{
    QFile log(logPath);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 3;
    QMap<int, bool> knownSaid;
    for (quint64 seed = firstSeed; seed < firstSeed + quint64(count); ++seed) {
        log.write(QStringLiteral("seed %1\n").arg(seed).toUtf8());
        log.flush();
        const RunResult result = generateAndRun(seed, length, soakOptions(), [&log](int, const Step& step) {
            log.write((step.text() + QLatin1Char('\n')).toUtf8());
            log.flush();
        });
        say(QStringLiteral("RAN %1 %2 %3").arg(seed).arg(result.actions).arg(result.elapsedMs));
        if (result.passed())
            continue;
        if (result.knownFailure()) {
            if (!knownSaid.value(result.failure->fault))
                say(QStringLiteral("KNOWN %1 %2").arg(result.failure->fault).arg(describe(*result.failure)));
            knownSaid[result.failure->fault] = true;
            continue;
        }
        Session::Options everyStep = soakOptions();
        everyStep.costlyEvery = 1;
        // Each step of a candidate is a sign of life for the supervisor, which
        // takes a log that stops growing for a hang. Lines that are no step
        // of the catalogue are passed over when the log is read.
        const StepLog alive = [&log](int, const Step&) {
            log.write("shrinking\n");
            log.flush();
        };
        const Sequence shrunk = shrink(result.steps, *result.failure, 400, 300, [&everyStep, &alive](const Sequence& c) {
            return replay(c, everyStep, alive).failure;
        });
        say(QStringLiteral("FAIL seed %1: %2").arg(seed).arg(describe(*result.failure)).replace(QLatin1Char('\n'),
                                                                                              QStringLiteral("\n  ")));
        say(QStringLiteral("SHRUNK %1").arg(sequenceText(shrunk)));
    }
    return 0;
}

int runReplay(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return 3;
    const std::optional<Sequence> steps = parseSequence(QString::fromUtf8(in.readAll()));
    if (!steps)
        return 3;
    Session::Options everyStep = soakOptions();
    everyStep.costlyEvery = 1;
    const RunResult result = replay(*steps, everyStep);
    if (result.passed())
        return 0;
    say(QStringLiteral("FAIL %1").arg(describe(*result.failure)));
    return kCheckFailed;
}

// --- the supervisor ---

struct Tally {
    qint64 actions = 0;
    qint64 sessionMs = 0;
    QMap<int, int> known; // fault -> seeds that ran into it
    QStringList failures; // each with its shrunk sequence
};

// One line of a child: counted, or passed on.
void take(const QString& line, Tally& tally)
{
    if (line.startsWith(QLatin1String("RAN "))) {
        const QStringList parts = line.split(QLatin1Char(' '));
        tally.actions += parts.value(2).toLongLong();
        tally.sessionMs += parts.value(3).toLongLong();
    } else if (line.startsWith(QLatin1String("KNOWN "))) {
        const int fault = line.section(QLatin1Char(' '), 1, 1).toInt();
        if (tally.known[fault]++ == 0)
            say(line);
    } else if (!line.isEmpty()) {
        say(line);
        if (line.startsWith(QLatin1String("FAIL ")) || line.startsWith(QLatin1String("SHRUNK ")))
            tally.failures << line;
    }
}

struct Outcome {
    bool crashed = false; // died, a sanitizer stopped it, or it hung
    QString why;          // the exit, and the sanitizer's first lines
};

// Waits for the child while its log grows; one that writes no step for
// `hangSeconds` hangs and is killed.
Outcome supervise(QProcess& child, const QString& logPath, int hangSeconds, Tally& tally)
{
    QElapsedTimer quiet;
    quiet.start();
    qint64 logSize = -1;
    const auto readLines = [&] {
        while (child.canReadLine())
            take(QString::fromUtf8(child.readLine()).trimmed(), tally);
    };
    while (!child.waitForFinished(500)) {
        readLines();
        const qint64 size = QFileInfo(logPath).size();
        if (size != logSize) {
            logSize = size;
            quiet.restart();
        } else if (quiet.elapsed() > hangSeconds * 1000LL) {
            child.kill();
            child.waitForFinished();
            return {true, QStringLiteral("hang: no step finished for %1 s").arg(hangSeconds)};
        }
    }
    readLines();
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        return {};
    QStringList report;
    for (const QString& line : QString::fromUtf8(child.readAllStandardError()).split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("ERROR:")) || line.contains(QLatin1String("runtime error")) ||
            line.contains(QLatin1String("SUMMARY:")) || (line.startsWith(QLatin1String("    #")) && report.size() < 14))
            report << line;
    }
    const QString exit = child.exitStatus() == QProcess::CrashExit ? QStringLiteral("crashed")
                                                                   : QStringLiteral("exit %1").arg(child.exitCode());
    return {true, exit + (report.isEmpty() ? QString() : QStringLiteral("\n") + report.join(QLatin1Char('\n')))};
}

// The steps the child had begun in its last seed: the crash happened in the last one.
std::pair<quint64, Sequence> lastSeedSteps(const QString& logPath)
{
    QFile log(logPath);
    quint64 seed = 0;
    Sequence steps;
    if (!log.open(QIODevice::ReadOnly))
        return {seed, steps};
    for (const QString& line : QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("seed "))) {
            seed = line.mid(5).toULongLong();
            steps.clear();
        } else if (const std::optional<Step> step = Step::parse(line)) {
            steps << *step;
        }
    }
    return {seed, steps};
}

// A candidate replayed in a child of its own: a crash or a hang counts.
std::optional<Failure> crashesAlone(const Sequence& candidate, const QString& file, int hangSeconds)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return std::nullopt;
    out.write(sequenceText(candidate).toUtf8());
    out.close();
    QProcess trial;
    trial.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--replay"), file});
    bool died = !trial.waitForFinished(hangSeconds * 1000);
    if (died) {
        trial.kill();
        trial.waitForFinished();
    } else {
        died = trial.exitStatus() == QProcess::CrashExit ||
               (trial.exitCode() != 0 && trial.exitCode() != kCheckFailed);
    }
    return died ? std::optional<Failure>(Failure{QStringLiteral("crash"), {}, 0, -1, {}}) : std::nullopt;
}

int runSupervisor(int minutes, quint64 firstSeed, int length)
{
    QTemporaryDir work;
    const QString self = QCoreApplication::applicationFilePath();
    const QString logPath = work.filePath(QStringLiteral("steps.log"));
    const int hangSeconds = std::max(120, soakOptions().stepBoundMs / 1000 * 4);
    QElapsedTimer clock;
    clock.start();
    Tally tally;
    int crashes = 0;
    quint64 seed = firstSeed;
    say(QStringLiteral("Soak of the random sessions for %1 minutes from seed %2, %3 steps a seed")
            .arg(minutes)
            .arg(firstSeed)
            .arg(length));
    while (clock.elapsed() < minutes * 60'000LL) {
        QProcess child;
        child.start(self, {QStringLiteral("--child"), QStringLiteral("--seed"), QString::number(seed),
                           QStringLiteral("--count"), QString::number(kSeedsPerChild), QStringLiteral("--length"),
                           QString::number(length), QStringLiteral("--log"), logPath});
        const Outcome outcome = supervise(child, logPath, hangSeconds, tally);
        say(QStringLiteral("... %1 actions, %2 actions per second of session")
                .arg(tally.actions)
                .arg(tally.actions * 1000.0 / std::max<qint64>(tally.sessionMs, 1), 0, 'f', 1));
        if (!outcome.crashed) {
            seed += kSeedsPerChild;
            continue;
        }
        ++crashes;
        const auto [lastSeed, steps] = lastSeedSteps(logPath);
        const QString crashLine =
            QStringLiteral("CRASH seed %1 at step %2: %3").arg(lastSeed).arg(steps.size() - 1).arg(outcome.why);
        say(crashLine);
        const Failure crash{QStringLiteral("crash"), outcome.why, 0, int(steps.size()) - 1, QString()};
        const QString candidateFile = work.filePath(QStringLiteral("candidate.txt"));
        const Sequence shrunk = shrink(steps, crash, 200, 900, [&](const Sequence& candidate) {
            return crashesAlone(candidate, candidateFile, hangSeconds);
        });
        say(QStringLiteral("SHRUNK %1").arg(sequenceText(shrunk)));
        tally.failures << crashLine << QStringLiteral("SHRUNK ") + sequenceText(shrunk);
        seed = lastSeed + 1;
    }
    const double seconds = clock.elapsed() / 1000.0;
    say(QString());
    say(QStringLiteral("Soak over after %1 s: %2 actions, %3 actions per second of session, seeds %4 to %5")
            .arg(seconds, 0, 'f', 0)
            .arg(tally.actions)
            .arg(tally.actions * 1000.0 / std::max<qint64>(tally.sessionMs, 1), 0, 'f', 1)
            .arg(firstSeed)
            .arg(seed - 1));
    for (auto it = tally.known.cbegin(); it != tally.known.cend(); ++it)
        say(QStringLiteral("known fault %1 (not yet mended): %2 seeds").arg(it.key()).arg(it.value()));
    say(tally.failures.isEmpty() ? QStringLiteral("No failure.")
                                 : QStringLiteral("Failures (%1 crashes):\n").arg(crashes) +
                                       tally.failures.join(QLatin1Char('\n')));
    return tally.failures.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The children take these unless the caller chose others: every report
    // ends the child with a signal, so that the supervisor sees it.
    if (qEnvironmentVariableIsEmpty("ASAN_OPTIONS"))
        qputenv("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
    if (qEnvironmentVariableIsEmpty("UBSAN_OPTIONS"))
        qputenv("UBSAN_OPTIONS", "halt_on_error=1:abort_on_error=1:print_stacktrace=1:suppressions=" KORVANE_UBSAN_SUPPRESSIONS);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption minutes(QStringLiteral("minutes"), QStringLiteral("how long"), QStringLiteral("M"),
                                     QStringLiteral("10"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("first seed"), QStringLiteral("S"));
    const QCommandLineOption length(QStringLiteral("length"), QStringLiteral("steps a seed"), QStringLiteral("L"),
                                    QStringLiteral("150"));
    const QCommandLineOption child(QStringLiteral("child"), QStringLiteral("run seeds"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("seeds"), QStringLiteral("N"),
                                   QString::number(kSeedsPerChild));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("step log"), QStringLiteral("FILE"));
    const QCommandLineOption replayFile(QStringLiteral("replay"), QStringLiteral("replay a sequence"),
                                        QStringLiteral("FILE"));
    parser.addOptions({minutes, seed, length, child, count, log, replayFile});
    parser.process(app);
    if (parser.isSet(replayFile))
        return runReplay(parser.value(replayFile));
    const quint64 first = parser.isSet(seed) ? parser.value(seed).toULongLong()
                                             : QRandomGenerator::system()->bounded(1'000'000'000u) + 1000u;
    if (parser.isSet(child))
        return runChild(first, parser.value(count).toInt(), parser.value(length).toInt(), parser.value(log));
    return runSupervisor(parser.value(minutes).toInt(), first, parser.value(length).toInt());
}
