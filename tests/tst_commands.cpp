// The commands as the window's buttons run them: which controls each leaves
// enabled, and how the mode label follows the ways out of edit mode.
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "model/AreaEntry.h"
#include "support/BlankPicture.h"
#include "support/Drops.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace korvane;

namespace {

const QString kPage = QStringLiteral("<html><body><img src=\"%1\" usemap=\"#plan\"><map name=\"plan\">"
                                     "<area shape=\"rect\" coords=\"1,1,5,5\" href=\"a.html\"></map></body></html>");
const QString kMap = QStringLiteral("<img src=\"plan.png\" usemap=\"#plan\">\r\n<map name=\"plan\">\r\n"
                                    "<area shape=\"rect\" coords=\"1,1,5,5\" href=\"a.html\">\r\n</map>\r\n");

// The controls a command may enable, by objectName, and the help box.
QStringList enabledControls(MainWindow& w)
{
    QStringList enabled;
    const auto& ui = w.ui;
    const QList<QWidget*> controls{ui.Option1[0],  ui.Option1[1], ui.Option1[2],   ui.Option1[3], ui.Frame1,  ui.Frame2,
                                   ui.chkGefuellt, ui.Command7,   ui.cmdClipboard, ui.Command10,  ui.Command9};
    for (QWidget* control : controls)
        if (control->isEnabled())
            enabled << control->objectName();
    if (!ui.txtHelp->isHidden())
        enabled << ui.txtHelp->objectName();
    return enabled;
}

enum class Press { Open, CancelledOpen, MapImport, HtmlImport, HtmlImportMissingPicture };

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void enabledAfterCommand_data();
    void enabledAfterCommand();
    void modeLabelAfterLeavingEditMode_data();
    void modeLabelAfterLeavingEditMode();
};

void TestCommands::enabledAfterCommand_data()
{
    QTest::addColumn<int>("press");
    QTest::addColumn<QStringList>("enabled");
    const QStringList tools{"Option1_0", "Option1_1", "Option1_2", "Frame1", "Frame2", "chkGefuellt"};
    const QStringList imported{"Option1_0",   "Option1_1", "Option1_2",    "Option1_3", "Frame1", "Frame2",
                               "chkGefuellt", "Command7",  "cmdClipboard", "Command10", "txtHelp"};
    QTest::newRow("open") << int(Press::Open) << tools + QStringList{"txtHelp"};
    QTest::newRow("cancelled open") << int(Press::CancelledOpen) << QStringList();
    QTest::newRow("map import") << int(Press::MapImport) << imported;
    QTest::newRow("html import") << int(Press::HtmlImport) << imported;
    QTest::newRow("html import, picture missing") << int(Press::HtmlImportMissingPicture) << imported;
}

void TestCommands::enabledAfterCommand()
{
    QFETCH(int, press);
    QFETCH(QStringList, enabled);
    test::SettingsFolder folder;
    test::ScriptedPlatform& desktop = test::installScriptedPlatform();
    MainWindow w;
    // The file's path; an empty one (not written) cancels the dialog, and the comparison fails.
    const auto write = [&](const QString& name, const QString& text) -> QString {
        QFile file(folder.path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size())
            return {};
        return file.fileName();
    };
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(folder.path(QStringLiteral("plan.png")), "PNG"));

    switch (Press(press)) {
    case Press::Open:
        desktop.fileAnswers << folder.path(QStringLiteral("plan.png"));
        w.ui.Command1->click();
        break;
    case Press::CancelledOpen:
        desktop.fileAnswers << QString();
        w.ui.Command1->click();
        break;
    case Press::MapImport:
        desktop.fileAnswers << write(QStringLiteral("plan.map"), kMap);
        w.ui.Command8->click();
        break;
    case Press::HtmlImport:
        desktop.fileAnswers << write(QStringLiteral("seite.html"), kPage.arg(QStringLiteral("plan.png")));
        w.ui.Command11->click();
        break;
    case Press::HtmlImportMissingPicture:
        // The user is asked to open the picture and cancels the open dialog.
        desktop.fileAnswers << write(QStringLiteral("seite.html"), kPage.arg(QStringLiteral("fehlt.png")));
        w.ui.Command11->click();
        QCOMPARE(desktop.texts(), QStringList{QStringLiteral("Die MAP-Daten beziehen sich auf die Grafikdatei "
                                                             "\"fehlt.png\". Bitte diese Grafikdatei öffnen.")});
        QCOMPARE(desktop.dialogs.size(), 2);
        break;
    }
    QCOMPARE(enabledControls(w), enabled);
    QCOMPARE(w.areas().count(), enabled.contains(QStringLiteral("Command10")) ? 1 : 0);
}

enum class Leave { Clear, UndoLastArea, LastAreaOnBasket, NewPicture };

void TestCommands::modeLabelAfterLeavingEditMode_data()
{
    QTest::addColumn<int>("leave");
    QTest::addColumn<QString>("checked");  // the option checked afterwards
    QTest::addColumn<bool>("editEnabled"); // the basket leaves the edit option as it was
    // "clear" leaves the edit option checked while not editing.
    QTest::newRow("clear") << int(Leave::Clear) << "Option1_3" << false;
    QTest::newRow("undo of the last area") << int(Leave::UndoLastArea) << "Option1_1" << false;
    QTest::newRow("last area on the basket") << int(Leave::LastAreaOnBasket) << "Option1_1" << true;
    QTest::newRow("new picture") << int(Leave::NewPicture) << "Option1_0" << false;
}

void TestCommands::modeLabelAfterLeavingEditMode()
{
    QFETCH(int, leave);
    QFETCH(QString, checked);
    QFETCH(bool, editEnabled);
    test::SettingsFolder folder;
    test::BlankEditor e;
    // One rectangle drawn with the real tool, then edit mode.
    e.w.ui.Option1[1]->click();
    e.drag(e.canvas(), {20, 20}, {80, 60});
    QCOMPARE(e.w.areas().count(), 1);
    e.w.ui.Option1[3]->click();
    QCOMPARE(e.w.ui.Label3->text(), QStringLiteral("Edit-Modus"));
    QVERIFY(e.w.ui.Timer1->isActive());
    e.w.ui.Label3->setFont([&] { // as the blinking leaves it half of the time
        QFont font = e.w.ui.Label3->font();
        font.setUnderline(true);
        return font;
    }());

    switch (Leave(leave)) {
    case Leave::Clear:
        e.platform.answers << MessageButton::Yes;
        e.w.ui.Command3->click();
        break;
    case Leave::UndoLastArea:
        QTest::keyClick(e.w.ui.List1, Qt::Key_Z, Qt::ControlModifier);
        break;
    case Leave::LastAreaOnBasket: {
        QMimeData anything;
        test::dropOn(e.w.ui.Picture2, &anything, Qt::CopyAction);
        break;
    }
    case Leave::NewPicture: {
        QImage picture(50, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QVERIFY(picture.save(folder.path(QStringLiteral("neu.png")), "PNG"));
        e.platform.answers << MessageButton::No; // the unsaved code is given up
        e.platform.fileAnswers << folder.path(QStringLiteral("neu.png"));
        e.w.ui.Command1->click();
        break;
    }
    }
    QCOMPARE(e.w.areas().count(), 0);
    QCOMPARE(e.w.ui.Label3->text(), QStringLiteral("Zeichen-Modus"));
    QVERIFY(!e.w.ui.Label3->font().underline());
    QVERIFY(!e.w.ui.Timer1->isActive());
    QVERIFY(!e.w.editorState().editMode);
    QStringList checkedOptions;
    for (QRadioButton* option : e.w.ui.Option1)
        if (option->isChecked())
            checkedOptions << option->objectName();
    QCOMPARE(checkedOptions, QStringList{checked});
    QCOMPARE(e.w.ui.Option1[3]->isEnabled(), editEnabled);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
