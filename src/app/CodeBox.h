#pragma once

#include <QPlainTextEdit>

namespace korvane {

// txtMap: the map code. A line too long to lay out quickly (an imported href
// of megabytes) is shown cut; the box then keeps the whole code itself and is
// read-only, so that nothing it shows can stand in for the real code. Setting
// code without such a line makes it an ordinary editable box again.
class CodeBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CodeBox(QWidget* parent = nullptr);

    void setCode(const QString& code);
    // The code, every line ended by CR LF; every other character exactly as
    // the box holds it.
    QString code() const;
    bool showsCutLines() const { return m_cut; }

private:
    void textEdited();

    QString m_wholeCode; // while lines are cut
    bool m_cut = false;
    bool m_setting = false;
};

} // namespace korvane
