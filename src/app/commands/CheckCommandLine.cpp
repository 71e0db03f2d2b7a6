#include "app/commands/CheckCommandLine.h"

#include "io/PageCheck.h"

#include <QTextStream>

#include <new>

namespace korvane {

namespace {

const QString kCheck = QStringLiteral("--check");
const QString kWidth = QStringLiteral("--display-width");
const QString kUsage = QStringLiteral("Aufruf: korvane --check [--display-width BREITE] DATEI...\n");

} // namespace

QString outOfMemory(const QString& file)
{
    return QStringLiteral("Für die Datei \"") + file + QStringLiteral("\" reicht der Arbeitsspeicher nicht.");
}

std::optional<CheckCommandLine> CheckCommandLine::parse(const QStringList& arguments)
{
    const QStringList given = arguments.mid(1);
    if (!given.contains(kCheck))
        return std::nullopt;
    CheckCommandLine command;
    for (qsizetype i = 0; i < given.size(); ++i) {
        const QString& argument = given[i];
        if (argument == kCheck)
            continue;
        if (argument == kWidth || argument.startsWith(kWidth + QLatin1Char('='))) {
            const QString value = argument == kWidth ? given.value(++i) : argument.mid(kWidth.size() + 1);
            bool ok = false;
            command.m_displayWidth = value.toInt(&ok);
            if (!ok || command.m_displayWidth <= 0)
                command.m_problem = QStringLiteral("die Anzeigebreite \"") + value +
                                    QStringLiteral("\" ist keine ganze Zahl größer 0");
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            command.m_problem = QStringLiteral("unbekannte Option \"") + argument + QLatin1Char('"');
        } else {
            command.m_files << argument;
        }
    }
    if (command.m_problem.isEmpty() && command.m_files.isEmpty())
        command.m_problem = QStringLiteral("keine Datei zum Prüfen angegeben");
    return command;
}

int CheckCommandLine::run(QTextStream& out, QTextStream& err) const
{
    if (!m_problem.isEmpty()) {
        err << "korvane: " << m_problem << "\n\n" << kUsage;
        return 2;
    }
    bool error = false;
    bool unchecked = false;
    for (const QString& file : m_files) {
        // Each finding is printed as it is found, never all held at once.
        const check::FindingSink print = [&](const check::Finding& finding) {
            out << check::findingLine(file, finding) << '\n';
            error = error || finding.severity == check::Severity::Error;
        };
        QString problem;
        try {
            problem = check::checkFile(file, m_displayWidth, print);
        } catch (const std::bad_alloc&) {
            problem = outOfMemory(file) + QStringLiteral(" Sie wurde nicht ganz geprüft.");
        }
        if (!problem.isEmpty()) {
            out.flush();
            err << "korvane: " << problem << '\n';
            unchecked = true;
        }
    }
    out.flush();
    err.flush();
    return unchecked ? 2 : error ? 1 : 0;
}

} // namespace korvane
