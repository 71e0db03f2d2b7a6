#pragma once

#include "model/LinkAttributes.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

// The form shared by the link properties dialog (frmVerweis) and the
// attribute editor (frmEdit). Both edit the six link attributes of an area;
// they differ in a few captions, in how they are prefilled and in what
// accepting stores. The caller decides what to do with the accepted values.
class AttributeForm : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Link, Edit };

    // The controls, named as the objectNames they carry.
    struct Controls {
        QLabel* Label1 = nullptr;
        QLineEdit* Text1 = nullptr;
        QPushButton* Command4 = nullptr; // choose a local file
        QPushButton* Command7 = nullptr; // help: link target
        QLabel* Label2 = nullptr;
        QLineEdit* text2 = nullptr;
        QLabel* Label3 = nullptr;
        QComboBox* Combo1 = nullptr;
        QPushButton* Command1 = nullptr; // help: target
        QLabel* Label5 = nullptr;
        QLabel* Label4[3] = {};
        QLineEdit* txtMouseOver = nullptr;
        QLineEdit* txtMouseOut = nullptr;
        QLineEdit* txtOnClick = nullptr;
        QPushButton* Command6 = nullptr; // help: event handlers
        QPushButton* Command5 = nullptr; // decoration
        QLabel* Label6 = nullptr;        // hint; only in the link dialog
        QPushButton* Command2 = nullptr; // accept
        QPushButton* Command3 = nullptr; // cancel
        QFrame* Shape_text1 = nullptr;
        QFrame* shape_text2 = nullptr;
        QFrame* Shape1 = nullptr;
        QFrame* Shape2 = nullptr;
        QFrame* Shape3 = nullptr;
        QLineEdit* txtZeile = nullptr; // hidden; only in the attribute editor
    } ui;

    // linkFolder is the folder the local-file chooser opens in; a chosen
    // file's folder is written back to it. It must outlive the dialog.
    AttributeForm(Kind kind, QString& linkFolder, QWidget* owner);

    Kind kind() const { return m_kind; }
    // The six values as accepting stores them ("*" for an absent target or
    // handler, "|" written as "&#124;"). Valid while the dialog exists.
    LinkAttributes enteredAttributes() const;
    // True once the user accepted; false after cancelling or closing.
    bool wasAccepted() const { return m_accepted; }

    // Help texts of the three "?" buttons.
    static QString linkTargetHelp();
    static QString targetHelp();
    static QString eventHandlerHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createFrames();
    void layoutControls();
    void connectButtons();
    void chooseLocalFile();
    void placeFrame(QWidget* box);
    QString closeQuestion() const;

    Kind m_kind;
    QString& m_linkFolder;
    bool m_accepted = false;
};

// frmVerweis: asks for the attributes of a newly drawn area, prefilled with
// the attributes accepted last.
class frmVerweis : public AttributeForm {
    Q_OBJECT
public:
    frmVerweis(const LinkAttributes& previous, QString& linkFolder, QWidget* owner);
};

// frmEdit: edits the attributes of an existing area line. The shape, the
// coordinates and any fields after the eighth are carried through.
class frmEdit : public AttributeForm {
    Q_OBJECT
public:
    frmEdit(const QString& line, QString& linkFolder, QWidget* owner);
    // The line with the accepted attributes in place of the old ones.
    QString editedLine() const;

private:
    QString m_line; // the whole line, also beyond what a line edit holds
};

} // namespace korvane
