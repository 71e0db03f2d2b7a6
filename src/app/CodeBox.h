#pragma once

#include "model/MapCode.h"

#include <QPlainTextEdit>

#include <optional>

namespace korvane {

// txtMap: the map code. New code rewrites only the part that differs from the
// code set last, which keeps big maps quick. A line too long to lay out
// quickly (an imported href of megabytes) is shown cut, and code of more
// than kShownLineCount lines (a map of a million areas) only up to there; the
// box then keeps the whole code itself and is read-only, so that nothing it shows can stand
// in for the real code. Setting code without such a line makes it an
// ordinary editable box again. Code set over text the user typed is a step
// of the box's own undo history, so Ctrl+Z in the box brings the text back.
class CodeBox : public QPlainTextEdit {
    Q_OBJECT
public:
    // A text box lays out a million lines in seconds and holds hundreds of
    // megabytes for them; nobody reads that far in a box.
    static constexpr qsizetype kShownLineCount = 20'000;

    explicit CodeBox(QWidget* parent = nullptr);

    // False when the box held exactly this code already (nothing changed).
    bool setCode(const QString& code);
    // The same for generated code. Code of more elements than the box shows
    // is not made whole: only its shown lines are, and code() makes it anew
    // from the source when it is asked for.
    bool setCode(const MapCodeSource& source);
    // The code, every line ended by CR LF; every other character exactly as
    // the box holds it.
    QString code() const;
    bool showsCutLines() const { return m_cut; }
    // Stands for code() (see codeFingerprint()); code made from a source is
    // not made for it.
    QByteArray codeFingerprint() const;
    // The text typed or pasted over the code set last, when it is not that
    // code (lines ended by CR LF, as code() gives them); none while the box
    // shows the code as it was set.
    std::optional<QString> handText() const;
    // The box shows `code` as it was set last, whole and not typed over.
    bool shows(const QString& code) const { return m_shownKnown && !m_cut && m_shown == code; }
    // Puts back text that was typed over the code, as typing would: the box's
    // own undo takes it back to the code.
    void restoreHandText(const QString& text);
    // Entries shown below the text box's own in its context menu.
    void addMenuActions(const QList<QAction*>& actions);

signals:
    // Just before the context menu opens, so its entries can show the state of now.
    void menuOpening();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void textEdited();

    void showCut(const QString& shown);

    QString m_wholeCode; // while lines are cut, unless the code has a source
    MapCodeSource m_wholeSource;
    bool m_sourceOnlyCrLf = true; // the source's code has no other line ends
    bool m_cut = false;
    bool m_setting = false;
    // The code as last set, while the box still shows it whole and unchanged.
    QString m_shown;
    bool m_shownKnown = false;
    QList<QAction*> m_menuActions;
};

} // namespace korvane
