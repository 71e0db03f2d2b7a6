#pragma once

#include "io/PageText.h"
#include "io/TextBoxEdit.h"

#include <QMainWindow>

#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace korvane {

// frmExport: an existing HTML page as editable text. The user sets the caret
// where the map belongs and presses "Einfügen", which pastes the map code from
// the clipboard there and selects it; "undo" takes it out again and "Speichern"
// writes the page back in its own encoding and line ends. Modeless; the main
// window owns it and reuses it for the next export.
class ExportWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ExportWindow(QWidget* owner);
    ~ExportWindow() override;

    struct Controls {
        QWidget* Picture1 = nullptr; // top bar: buttons and instruction
        QWidget* Picture2 = nullptr; // bottom bar: file line
        QLabel* Label1 = nullptr;
        QLabel* Label2 = nullptr;
        QPushButton* Command1 = nullptr; // "Einfügen"
        QPushButton* Command3 = nullptr; // "undo"
        QPushButton* Command2 = nullptr; // "Speichern"
        QPlainTextEdit* Text1 = nullptr;
        QMenu* mnuEditTop = nullptr;
        QAction* mnuEdit[6] = {};
    } ui;

    // Reads the page (the window's Tag is its path). A file that cannot be read
    // leaves the text empty and tells the user; returns whether it was read.
    bool loadFile(const QString& path);
    // The page of `path` with edits not yet saved, as kept for recovery: it
    // counts as edited, so closing and the next export ask about saving it.
    void loadUnsaved(const QString& path, const QByteArray& bytes);
    QString tag() const { return m_tag; }
    int corsorPos() const { return m_corsorPos; }
    bool isSaved() const { return m_gespeichert; }
    // The text as "Speichern" writes it (line ends restored, before encoding).
    QString pageText() const;
    qsizetype pageLength() const;
    const PageText& page() const { return m_page; }
    // The text box as it stands, and whether it was edited since the page was
    // loaded or saved: what a recovery file keeps.
    QString rawText() const;
    bool textModified() const;
    cTextBoxEdit& textBoxEdit() { return m_edit; }

    void einfuegen(); // Command1
    void undoPaste(); // Command3
    bool speichern(); // Command2; true when the page was written
    // Before another page replaces this one, edits the user made are offered
    // for saving. False when the user chose to save and the page was not
    // written, or chose "Abbrechen": the page stays.
    bool offerToSaveEdits();
    void updateEditMenu();

    // "#,000": thousands grouped by the locale's separator, at least three digits.
    static QString formatCount(qsizetype count, const QLocale& locale);

protected:
    void closeEvent(QCloseEvent* event) override;

signals:
    // The text box changed (typed, pasted, loaded).
    void textChanged();

private:
    void createControls();
    void createEditMenu();
    void onTextChanged();
    void onContentsChange(int position, int removed, int added);
    void countAllBlocks(QStringView text, QChar separator);
    void arrange();
    int pixels(int twips) const;
    void discardText();
    void showPage(const QString& path, const QByteArray& bytes);

    QString m_tag;
    int m_corsorPos = 0;
    bool m_gespeichert = false;
    cTextBoxEdit m_edit;
    PageText m_page;
    // Pages with line-end markers: each paragraph's share of pageLength(),
    // kept up to date paragraph by paragraph so a key press does not count
    // the whole page again.
    std::vector<qsizetype> m_blockLengths;
    qsizetype m_markedLength = 0;
    bool m_filling = false; // setPlainText() at work; loadFile() counts once afterwards

    friend class ExportPanel;
};

} // namespace korvane
