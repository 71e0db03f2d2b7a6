#pragma once

#include <QStringList>

#include <optional>

class QTextStream;

namespace korvane {

// korvane --check [--display-width N] FILE...: the map check without a window,
// one line per finding ("FILE:LINE: error|warning: RULE: message") on standard
// output. Exit status 1 when a finding is an error, else 0; 2 when the command
// line is wrong or a file holds no map to check (said on standard error).
class CheckCommandLine {
public:
    // Nothing when the arguments (program name first) ask for no check.
    static std::optional<CheckCommandLine> parse(const QStringList& arguments);
    int run(QTextStream& out, QTextStream& err) const;

private:
    QStringList m_files;
    int m_displayWidth = 0;
    QString m_problem;
};

// The message of a command that ran out of memory on `file` (German).
QString outOfMemory(const QString& file);

} // namespace korvane
