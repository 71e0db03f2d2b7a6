#include "app/CodeBoxText.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace korvane {

namespace {

// The box counts "\r\n" as one line break, every other character as one place.
qsizetype placeOf(const QString& text, qsizetype index)
{
    qsizetype pairs = 0;
    for (qsizetype i = 1; i < index; ++i)
        pairs += text.at(i) == QLatin1Char('\n') && text.at(i - 1) == QLatin1Char('\r');
    return index - pairs;
}

} // namespace

bool replaceChangedPart(QPlainTextEdit& box, const QString& shown, const QString& text, bool undoable)
{
    const qsizetype shared = std::min(shown.size(), text.size());
    qsizetype head = std::mismatch(shown.cbegin(), shown.cbegin() + shared, text.cbegin()).first - shown.cbegin();
    if (head == shown.size() && head == text.size())
        return false;
    // Neither cut may fall inside a "\r\n", which would read as two breaks.
    if (head > 0 && shown.at(head - 1) == QLatin1Char('\r'))
        --head;
    qsizetype tail = 0;
    while (tail < shared - head && shown.at(shown.size() - 1 - tail) == text.at(text.size() - 1 - tail))
        ++tail;
    if (tail > 0 && shown.at(shown.size() - tail) == QLatin1Char('\n'))
        --tail;

    QTextDocument* document = box.document();
    QTextCursor cursor(document);
    cursor.setPosition(int(placeOf(shown, head)));
    cursor.setPosition(int(placeOf(shown, shown.size() - tail)), QTextCursor::KeepAnchor);
    const QString middle = text.mid(head, text.size() - tail - head);
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(undo && undoable);
    cursor.beginEditBlock();
    if (middle.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(middle);
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    if (!undoable)
        document->clearUndoRedoStacks();
    return true;
}

void replaceUndoably(QPlainTextEdit& box, const QString& text)
{
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    if (text.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(text);
    cursor.endEditBlock();
}

} // namespace korvane
