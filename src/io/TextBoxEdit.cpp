#include "io/TextBoxEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace korvane {

// Every operation tolerates an unbound box, so a call before binding is harmless.

void cTextBoxEdit::Cut()
{
    if (m_txtThis)
        m_txtThis->cut();
}

void cTextBoxEdit::Copy()
{
    if (m_txtThis)
        m_txtThis->copy();
}

void cTextBoxEdit::Paste()
{
    if (m_txtThis)
        m_txtThis->paste();
}

void cTextBoxEdit::Undo()
{
    if (CanUndo())
        m_txtThis->undo();
}

bool cTextBoxEdit::hasSelection() const
{
    return m_txtThis && m_txtThis->textCursor().hasSelection();
}

bool cTextBoxEdit::CanCut() const
{
    return hasSelection() && !m_txtThis->isReadOnly();
}

bool cTextBoxEdit::CanCopy() const
{
    return hasSelection();
}

bool cTextBoxEdit::CanPaste() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

bool cTextBoxEdit::CanUndo() const
{
    return m_txtThis && m_txtThis->document()->isUndoAvailable();
}

void cTextBoxEdit::ReplaceSelection(const QString& text, bool allowUndo)
{
    if (!hasSelection())
        return;
    QTextDocument* document = m_txtThis->document();
    // A change that may not be undone also ends the undo history, as the text
    // before it no longer matches what the history would restore.
    if (!allowUndo)
        document->setUndoRedoEnabled(false);
    QTextCursor cursor = m_txtThis->textCursor();
    cursor.insertText(text);
    m_txtThis->setTextCursor(cursor);
    if (!allowUndo)
        document->setUndoRedoEnabled(true);
}

void cTextBoxEdit::Delete(bool allowUndo)
{
    ReplaceSelection(QString(), allowUndo);
}

} // namespace korvane
