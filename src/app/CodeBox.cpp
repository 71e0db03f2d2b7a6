#include "app/CodeBox.h"

#include "app/CodeBoxText.h"
#include "model/AreaList.h"
#include "model/Codec.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTextDocument>

#include <memory>

namespace korvane {

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(QChar::ParagraphSeparator);
}

// Calls `visit` with every line of the code and the line end after it (empty
// for the last line), splitting at every kind of line end as the box does.
template <typename Visit> void forEachLine(QStringView code, Visit visit)
{
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < code.size() && !isLineEnd(code[end]))
            ++end;
        if (end == code.size()) {
            visit(code.sliced(start), QStringView());
            return;
        }
        const bool crLf = code[end] == QLatin1Char('\r') && end + 1 < code.size() && code[end + 1] == QLatin1Char('\n');
        visit(code.sliced(start, end - start), code.sliced(end, crLf ? 2 : 1));
        start = end + (crLf ? 2 : 1);
    }
}

} // namespace

CodeBox::CodeBox(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &CodeBox::textEdited);
}

bool CodeBox::setCode(const QString& code)
{
    bool longLine = false;
    bool onlyCrLf = true;
    qsizetype lines = 0;
    forEachLine(code, [&](QStringView line, QStringView end) {
        longLine = longLine || line.size() > kShownLineLimit;
        onlyCrLf = onlyCrLf && (end.isEmpty() || end == kCrLf);
        ++lines;
    });
    const bool cut = longLine || lines > kShownLineCount;
    m_setting = true;
    bool changed = true;
    if (!cut) {
        m_wholeCode.clear();
        // Text the user typed, and the box's history once it holds any, stay
        // within reach of the box's own undo: the new code is one more step.
        const QTextDocument& text = *document();
        const bool typed = !m_shownKnown && !text.isEmpty();
        const bool undoable = typed || text.isUndoAvailable() || text.isRedoAvailable();
        if (m_shownKnown)
            changed = replaceChangedPart(*this, m_shown, code, undoable);
        else if (undoable)
            replaceUndoably(*this, code);
        else
            setPlainText(code);
    } else {
        // Shown cut; kept whole as the box would hand it out, lines ended by CR LF.
        QString shown;
        QString whole;
        qsizetype shownLines = 0;
        forEachLine(code, [&](QStringView line, QStringView end) {
            if (shownLines++ < kShownLineCount) {
                shown += shownLine(line);
                if (!end.isEmpty())
                    shown += QLatin1Char('\n');
            }
            if (onlyCrLf)
                return;
            whole += line;
            if (!end.isEmpty())
                whole += kCrLf;
        });
        if (lines > kShownLineCount)
            shown += QStringLiteral("… (%1 weitere Zeilen)").arg(lines - kShownLineCount);
        m_wholeCode = onlyCrLf ? code : whole;
        setPlainText(shown);
    }
    m_setting = false;
    m_cut = cut;
    m_shown = cut ? QString() : code;
    m_shownKnown = !cut;
    setReadOnly(m_cut);
    return changed;
}

// The raw text keeps every character as it is (toPlainText() would turn a
// non-breaking space into a blank); its paragraph breaks become CR LF.
QString CodeBox::code() const
{
    if (m_cut)
        return m_wholeCode;
    return document()->toRawText().replace(QChar(QChar::ParagraphSeparator), kCrLf);
}

// Text put in by other means than setCode() (typed, pasted) is the code from
// now on.
void CodeBox::textEdited()
{
    if (m_setting)
        return;
    m_shownKnown = false;
    if (!m_cut)
        return;
    m_cut = false;
    m_wholeCode.clear();
    setReadOnly(false);
}

void CodeBox::addMenuActions(const QList<QAction*>& actions)
{
    // Each group of entries gets a line of its own.
    if (!m_menuActions.isEmpty()) {
        auto* line = new QAction(this);
        line->setSeparator(true);
        m_menuActions.append(line);
    }
    m_menuActions += actions;
}

void CodeBox::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    menu->setObjectName(QStringLiteral("txtMapMenu"));
    emit menuOpening();
    if (!m_menuActions.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_menuActions);
    }
    menu->exec(event->globalPos());
}

} // namespace korvane
