#include "session/Catalogue.h"

#include <QRegularExpression>

namespace korvane::session {

QString Step::text() const
{
    QStringList parts{action};
    for (int p : params)
        parts << QString::number(p);
    return parts.join(QLatin1Char(' '));
}

std::optional<Step> Step::parse(const QString& text)
{
    const QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty() || !findAction(parts.front()))
        return std::nullopt;
    Step step{parts.front(), {}};
    for (qsizetype i = 1; i < parts.size(); ++i) {
        bool ok = false;
        step.params << parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return step;
}

QString sequenceText(const Sequence& steps)
{
    QStringList texts;
    for (const Step& step : steps)
        texts << step.text();
    return texts.join(QStringLiteral("; "));
}

std::optional<Sequence> parseSequence(const QString& text)
{
    Sequence steps;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (part.trimmed().isEmpty())
            continue;
        const std::optional<Step> step = Step::parse(part);
        if (!step)
            return std::nullopt;
        steps << *step;
    }
    return steps;
}

const std::vector<Action>& catalogue()
{
    static const std::vector<Action> actions = [] {
        std::vector<Action> all;
        addDrawingActions(all);
        addEditingActions(all);
        addFileActions(all);
        addFormActions(all);
        addTraceActions(all);
        addMenuActions(all);
        return all;
    }();
    return actions;
}

const Action* findAction(const QString& name)
{
    for (const Action& action : catalogue()) {
        if (name == QLatin1String(action.name))
            return &action;
    }
    return nullptr;
}

} // namespace korvane::session
