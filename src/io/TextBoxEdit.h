#pragma once

#include <QString>

class QPlainTextEdit;

namespace korvane {

// The usual edit commands of one multi-line text box and the queries that tell
// whether each is possible now. Acts on the widget's own undo and the system
// clipboard; keeps no text of its own and does not own the widget.
class cTextBoxEdit {
public:
    void setTextBox(QPlainTextEdit* textBox) { m_txtThis = textBox; }
    QPlainTextEdit* textBox() const { return m_txtThis; }

    void Cut();
    void Copy();
    void Paste();
    // Acts only when something can be undone.
    void Undo();
    bool CanCut() const;
    bool CanCopy() const;
    bool CanPaste() const;
    bool CanUndo() const;
    // Replaces a selection (nothing happens without one). Without undo the
    // change cannot be undone and the undo history ends there.
    void ReplaceSelection(const QString& text, bool allowUndo);
    void Delete(bool allowUndo);

private:
    bool hasSelection() const;

    QPlainTextEdit* m_txtThis = nullptr;
};

} // namespace korvane
