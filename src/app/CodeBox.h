#pragma once

#include <QPlainTextEdit>

namespace korvane {

// txtMap: the map code. New code rewrites only the part that differs from the
// code set last, which keeps big maps quick. A line too long to lay out
// quickly (an imported href of megabytes) is shown cut; the box then keeps
// the whole code itself and is read-only, so that nothing it shows can stand
// in for the real code. Setting code without such a line makes it an
// ordinary editable box again.
class CodeBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CodeBox(QWidget* parent = nullptr);

    // False when the box held exactly this code already (nothing changed).
    bool setCode(const QString& code);
    // The code, every line ended by CR LF; every other character exactly as
    // the box holds it.
    QString code() const;
    bool showsCutLines() const { return m_cut; }
    // Commands offered below the edit commands of the box's context menu.
    void addMenuAction(QAction* action) { m_menuActions.append(action); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void textEdited();

    QString m_wholeCode; // while lines are cut
    bool m_cut = false;
    bool m_setting = false;
    // The code as last set, while the box still shows it whole and unchanged.
    QString m_shown;
    bool m_shownKnown = false;
    QList<QAction*> m_menuActions;
};

} // namespace korvane
