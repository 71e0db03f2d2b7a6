#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

namespace korvane {

// frmImgSuche: lets the user pick one of a page's images that carry an image
// map. List1 holds the img tags themselves, List2 one readable line per tag;
// a click on a line of List2 chooses that tag and closes the window.
class ImgSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImgSearchDialog(QWidget* parent = nullptr);

    struct Controls {
        QLabel* Label1 = nullptr;
        QListWidget* List2 = nullptr;
        QListWidget* List1 = nullptr;
        QPushButton* Command1 = nullptr; // fills List2 from List1; kept out of sight
    } ui;

    // Puts the candidate tags into List1, in page order.
    void setCandidates(const QStringList& tags);
    // Presses the hidden Command1, which fills List2 from List1.
    void showCandidates();

signals:
    // The img tag of the line the user chose.
    void tagChosen(const QString& tag);

private:
    void fillList();
    void choose(int row);
};

} // namespace korvane
