#pragma once

#include <QObject>
#include <QString>

namespace korvane {

// The line an interaction shows in the place of one area while the document
// keeps its own (a drag before its release). Whatever shows the selected
// area follows it: the canvas and the status line.
class AreaPreview : public QObject {
    Q_OBJECT
public:
    int row() const { return m_row; }
    // `documentLine` unless row `row` is shown otherwise now.
    const QString& lineOf(int row, const QString& documentLine) const
    {
        return row == m_row && m_row >= 0 ? m_line : documentLine;
    }
    void show(int row, const QString& line)
    {
        m_row = row;
        m_line = line;
        emit changed(row);
    }
    void end()
    {
        if (m_row < 0)
            return;
        const int row = std::exchange(m_row, -1);
        m_line.clear();
        emit changed(row);
    }

signals:
    void changed(int row);

private:
    int m_row = -1;
    QString m_line;
};

} // namespace korvane
