#include "app/CodeBox.h"

#include "app/CodeBoxText.h"
#include "model/AreaList.h"
#include "model/Codec.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QTextDocument>

#include <algorithm>
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

// Every line end as CR LF, every other character as it is.
QString withCrLfOnly(QStringView code)
{
    QString whole;
    whole.reserve(code.size());
    forEachLine(code, [&](QStringView line, QStringView end) {
        whole += line;
        if (!end.isEmpty())
            whole += kCrLf;
    });
    return whole;
}

// The text the box shows of cut code, fed the code in parts that each end
// with a line end: at most kShownLineCount lines, each shown cut when long,
// then how many more there are.
class CutView {
public:
    void add(QStringView part, bool last)
    {
        forEachLine(part, [&](QStringView line, QStringView end) {
            if (end.isEmpty() && line.isEmpty() && !last)
                return; // nothing follows the part's own last line end
            m_onlyCrLf = m_onlyCrLf && (end.isEmpty() || end == kCrLf);
            if (m_lines++ < CodeBox::kShownLineCount) {
                m_shown += shownLine(line);
                if (!end.isEmpty())
                    m_shown += QLatin1Char('\n');
            }
        });
    }
    // One line ended by CR LF, of which `line` holds the start and its length.
    void addLine(const ShownPart& line)
    {
        if (m_lines++ < CodeBox::kShownLineCount)
            m_shown += shownLine(line.start(), line.length() - kCrLf.size()) + QLatin1Char('\n');
    }
    // A line without a line end inside, past the shown ones.
    bool full() const { return m_lines >= CodeBox::kShownLineCount; }
    void countLine() { ++m_lines; }
    bool onlyCrLf() const { return m_onlyCrLf; }
    QString shown() const
    {
        if (m_lines <= CodeBox::kShownLineCount)
            return m_shown;
        return m_shown + QCoreApplication::translate("korvane::CodeBox", "… (%1 weitere Zeilen)").arg(m_lines - CodeBox::kShownLineCount);
    }

private:
    QString m_shown;
    qsizetype m_lines = 0;
    bool m_onlyCrLf = true;
};

// The line of an element is longer than the box shows a line: the code is
// shown cut, and the element need not be made whole for it.
bool isLongLine(const MapCodeSource& source, qsizetype i)
{
    return source.lineSize(i) > kShownLineLimit && !source.lineHasLineEnd(i);
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
    if (!cut) {
        m_setting = true;
        bool changed = true;
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
        m_wholeSource = MapCodeSource();
        m_setting = false;
        m_cut = false;
        m_shown = code;
        m_shownKnown = true;
        setReadOnly(false);
        return changed;
    }
    // Shown cut; kept whole as the box would hand it out, lines ended by CR LF.
    CutView view;
    view.add(code, true);
    m_wholeCode = onlyCrLf ? code : withCrLfOnly(code);
    m_wholeSource = MapCodeSource();
    showCut(view.shown());
    return true;
}

bool CodeBox::setCode(const MapCodeSource& source)
{
    // Few elements, none of them long: small code, made whole and set as text.
    bool longLine = false;
    for (qsizetype i = 0; i < source.elementCount() && source.elementCount() <= kShownLineCount && !longLine; ++i)
        longLine = isLongLine(source, i);
    if (source.elementCount() <= kShownLineCount && !longLine)
        return setCode(source.text());
    // More lines than shown: only the shown ones are made. A line whose
    // element is past them is one line of code when the line holds no line
    // end itself (the element's other characters hold none).
    CutView view;
    view.add(source.head(), false);
    QString element;
    for (qsizetype i = 0; i < source.elementCount(); ++i) {
        if (view.full() && !source.lineHasLineEnd(i)) {
            view.countLine();
            continue;
        }
        if (isLongLine(source, i)) {
            view.addLine(source.shownElement(i, kShownLineLimit));
            continue;
        }
        element.clear();
        source.appendElement(element, i);
        view.add(element, false);
    }
    view.add(source.tail(), true);
    m_wholeCode.clear();
    m_wholeSource = source;
    m_sourceOnlyCrLf = view.onlyCrLf();
    showCut(view.shown());
    return true;
}

void CodeBox::showCut(const QString& shown)
{
    m_setting = true;
    setPlainText(shown);
    m_setting = false;
    m_cut = true;
    m_shown.clear();
    m_shownKnown = false;
    setReadOnly(true);
}

// The raw text keeps every character as it is (toPlainText() would turn a
// non-breaking space into a blank); its paragraph breaks become CR LF.
QString CodeBox::code() const
{
    if (m_cut && !m_wholeSource.isEmpty())
        return m_sourceOnlyCrLf ? m_wholeSource.text() : withCrLfOnly(m_wholeSource.text());
    if (m_cut)
        return m_wholeCode;
    return document()->toRawText().replace(QChar(QChar::ParagraphSeparator), kCrLf);
}

QByteArray CodeBox::codeFingerprint() const
{
    if (m_cut && !m_wholeSource.isEmpty())
        return m_wholeSource.fingerprint();
    return korvane::codeFingerprint(code());
}

std::optional<QString> CodeBox::handText() const
{
    if (m_cut || m_shownKnown)
        return std::nullopt;
    QString text = code();
    // Typing undone in the box leaves the code as it was set.
    if (text == withCrLfOnly(m_shown))
        return std::nullopt;
    return text;
}

void CodeBox::restoreHandText(const QString& text)
{
    replaceUndoably(*this, text);
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
    m_wholeSource = MapCodeSource();
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
