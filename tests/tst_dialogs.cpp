#include "app/MainWindow.h"
#include "dialogs/AttributeForm.h"
#include "model/AreaEntry.h"
#include "support/Modal.h"
#include "support/ScriptedPlatform.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

const QString kLinkQuestion =
    QStringLiteral("Die Daten wurden noch nicht übernommen. Daten verwerfen und Areal löschen?");
const QString kEditQuestion =
    QStringLiteral("Die Daten wurden noch nicht übernommen. Daten verwerfen und die ursprünglichen Werte verwenden?");

// A line with the shape column of a drawn area and all attributes absent.
const QString kPlainLine = QStringLiteral(" rect                    |10,20,110,80|start.html|Startseite|*|*|*|*");

template <typename T> T* child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QLatin1String(name));
}

QLineEdit* edit(QWidget* dialog, const QString& name)
{
    if (name == QLatin1String("Combo1"))
        return child<QComboBox>(dialog, "Combo1")->lineEdit();
    return dialog->findChild<QLineEdit*>(name);
}

void click(QWidget* dialog, const char* name)
{
    QTest::mouseClick(child<QPushButton>(dialog, name), Qt::LeftButton);
}

// What a dialog showed when it opened: the six boxes (Text1, text2, Combo1, the three handlers), and
// whether the link target and the alternative text came selected, ready to be overtyped.
struct Shown {
    QStringList texts;
    bool selected = false;
};

Shown readShown(QWidget* d)
{
    Shown s;
    for (const char* box : {"Text1", "text2", "Combo1", "txtMouseOver", "txtMouseOut", "txtOnClick"})
        s.texts << edit(d, box)->text();
    // Focus arrives with the window's activation, which a loaded machine may deliver late.
    (void)QTest::qWaitFor([&] { return edit(d, "Text1")->hasFocus(); }, 2000);
    s.selected = edit(d, "Text1")->hasFocus() && edit(d, "Text1")->selectedText() == s.texts[0];
    // The alternative text is next in the tab order.
    QTest::keyClick(edit(d, "Text1"), Qt::Key_Tab);
    s.selected = s.selected && edit(d, "text2")->hasFocus() && edit(d, "text2")->selectedText() == s.texts[1];
    return s;
}

std::unique_ptr<AttributeForm> makeDialog(bool link, QString& folder)
{
    if (link)
        return std::make_unique<frmVerweis>(LinkAttributes{}, folder, nullptr);
    return std::make_unique<frmEdit>(kPlainLine, folder, nullptr);
}

// Types into the named boxes as a user would. The link target and the
// alternative text open fully selected, so typing replaces them; the other
// boxes are emptied by select-all first.
void typeInto(QWidget* d, const QStringList& boxesAndTexts)
{
    for (qsizetype i = 0; i + 1 < boxesAndTexts.size(); i += 2) {
        QLineEdit* box = edit(d, boxesAndTexts[i]);
        box->setFocus();
        box->selectAll();
        if (boxesAndTexts[i + 1].isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        else
            QTest::keyClicks(box, boxesAndTexts[i + 1]);
    }
}

struct Fixture {
    ScriptedPlatform& platform = installScriptedPlatform();
    MainWindow window;
};

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void controlsAndCaptions_data();
    void controlsAndCaptions();
    void linkAcceptRules_data();
    void linkAcceptRules();
    void linkPrefill_data();
    void linkPrefill();
    void closingWays_data();
    void closingWays();
    void handlerQuoteRule_data();
    void handlerQuoteRule();
    void fileChooser_data();
    void fileChooser();
    void chooserFolderSharedBetweenDialogs();
    void helpButtons_data();
    void helpButtons();
    void decorationButtonDoesNothing();
    void editorPrefill_data();
    void editorPrefill();
    void editorWritesBack_data();
    void editorWritesBack();
    void editorWithoutLineOpensNothing();
    void framesSurroundBoxes();
};

void TestDialogs::controlsAndCaptions_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<QString>("accept");
    QTest::addColumn<QString>("cancelTip");
    QTest::newRow("frmVerweis") << true << "Eigenschaften, Verweisziele..."
                                << "Alternativer Text. Dieser Text erscheint beim Überfahren der Areale mit der Maus:"
                                << "Übernehmen"
                                << "Das eben gezeichnete Areal wird gelöscht.";
    QTest::newRow("frmEdit") << false << "Korvane , Attribute bearbeiten..."
                             << "Alternativer Text. Dieser Text erscheint beim Überfahren mit der Maus:"
                             << "Uebernehmen"
                             << "";
}

void TestDialogs::controlsAndCaptions()
{
    QFETCH(bool, link);
    QFETCH(QString, title);
    QFETCH(QString, label2);
    QFETCH(QString, accept);
    QFETCH(QString, cancelTip);
    QString folder;
    const std::unique_ptr<AttributeForm> d = makeDialog(link, folder);

    QCOMPARE(d->objectName(), link ? QStringLiteral("frmVerweis") : QStringLiteral("frmEdit"));
    QCOMPARE(d->windowTitle(), title);
    QVERIFY(d->isModal());
    QVERIFY(child<QLabel>(d.get(), "Label1")->text().startsWith(QStringLiteral("Verweisziel (z.B:  ")));
    QVERIFY(child<QLabel>(d.get(), "Label1")->text().endsWith(QStringLiteral("), oder eine lokale Datei auswählen")));
    QCOMPARE(child<QLabel>(d.get(), "Label2")->text(), label2);
    QCOMPARE(child<QLabel>(d.get(), "Label3")->text(), QStringLiteral("Target Attribut:"));
    QCOMPARE(child<QLabel>(d.get(), "Label5")->text(), QStringLiteral("JavaScript EventHandler:"));
    QCOMPARE(child<QLabel>(d.get(), "Label4_0")->text(), QStringLiteral("OnMouseOver"));
    QCOMPARE(child<QLabel>(d.get(), "Label4_1")->text(), QStringLiteral("OnMouseOut"));
    QCOMPARE(child<QLabel>(d.get(), "Label4_2")->text(), QStringLiteral("OnClick"));
    QCOMPARE(child<QPushButton>(d.get(), "Command4")->toolTip(),
             QStringLiteral("Lokale Datei auswälen und einen relativen URL- Verweis erstellen."));
    for (const char* help : {"Command7", "Command1", "Command6"})
        QCOMPARE(child<QPushButton>(d.get(), help)->text(), QStringLiteral("?"));
    QCOMPARE(child<QPushButton>(d.get(), "Command5")->toolTip(), QStringLiteral("JavaScript EventHandler"));
    QCOMPARE(child<QPushButton>(d.get(), "Command2")->text(), accept);
    QCOMPARE(child<QPushButton>(d.get(), "Command3")->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(child<QPushButton>(d.get(), "Command3")->toolTip(), cancelTip);

    auto* combo = child<QComboBox>(d.get(), "Combo1");
    QVERIFY(combo->isEditable());
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items, QStringList({"", "_blank", "_self", "_parent", "_top"}));
    for (const char* frame : {"Shape_text1", "shape_text2", "Shape1", "Shape2", "Shape3"})
        QVERIFY2(d->findChild<QWidget*>(QLatin1String(frame)), frame);

    auto* hint = child<QLabel>(d.get(), "Label6");
    auto* line = child<QLineEdit>(d.get(), "txtZeile");
    if (link) {
        QCOMPARE(hint->text(), QStringLiteral("Hinweis: Hier kann auch zunächst auf \"Übernehmen\" geklickt werden. "
                                              "Die richtigen Werte können dann später im Edit-Modus eingetragen "
                                              "werden."));
        QVERIFY(!line);
    } else {
        QVERIFY(!hint);
        QVERIFY(line);
        QVERIFY(line->isHidden());
        QCOMPARE(line->text(), kPlainLine);
    }
}

void TestDialogs::linkAcceptRules_data()
{
    QTest::addColumn<QStringList>("typing"); // box, text, box, text ...
    QTest::addColumn<QStringList>("stored"); // href, alt, target, over, out, click
    QTest::newRow("untouched defaults") << QStringList{} << QStringList{"#", "over", "*", "*", "*", "*"};
    QTest::newRow("plain values") << QStringList{"Text1", "seite.html", "text2", "Seite", "Combo1", "_blank"}
                                  << QStringList{"seite.html", "Seite", "_blank", "*", "*", "*"};
    QTest::newRow("href prefix in capitals and quotes")
        << QStringList{"Text1", "HREF=\"kontakt.html\""} << QStringList{"kontakt.html", "over", "*", "*", "*", "*"};
    QTest::newRow("href prefix in mixed case, twice")
        << QStringList{"Text1", "hReF=a.html href=b"} << QStringList{"a.html b", "over", "*", "*", "*", "*"};
    QTest::newRow("href keeps blanks") << QStringList{"Text1", " a b.html "}
                                       << QStringList{" a b.html ", "over", "*", "*", "*", "*"};
    QTest::newRow("alt keeps quotes") << QStringList{"text2", "\"Haus\""}
                                      << QStringList{"#", "\"Haus\"", "*", "*", "*", "*"};
    QTest::newRow("target of blanks is absent")
        << QStringList{"Combo1", "   "} << QStringList{"#", "over", "*", "*", "*", "*"};
    QTest::newRow("target keeps leading blank")
        << QStringList{"Combo1", " _top"} << QStringList{"#", "over", " _top", "*", "*", "*"};
    QTest::newRow("frame name") << QStringList{"Combo1", "links"} << QStringList{"#", "over", "links", "*", "*", "*"};
    // Only blanks count as empty: a no-break space (AltGr+Space) is a value.
    QTest::newRow("target and handler of a no-break space") << QStringList{"Combo1", "\u00A0", "txtOnClick", " \u00A0 "}
                                                            << QStringList{"#", "over", "\u00A0", "*", "*", " \u00A0 "};
    QTest::newRow("handlers") << QStringList{"txtMouseOver", "an()", "txtMouseOut", " ", "txtOnClick", " alert(1)"}
                              << QStringList{"#", "over", "*", "an()", "*", " alert(1)"};
    QTest::newRow("empty href and alt") << QStringList{"Text1", "", "text2", ""}
                                        << QStringList{"", "", "*", "*", "*", "*"};
    QTest::newRow("bar in every field") << QStringList{"Text1",       "a|b", "text2",        "x|y",
                                                       "Combo1",      "|",   "txtMouseOver", "f(1|2)",
                                                       "txtMouseOut", "||",  "txtOnClick",   "a|"}
                                        << QStringList{"a&#124;b",    "x&#124;y",     "&#124;",
                                                       "f(1&#124;2)", "&#124;&#124;", "a&#124;"};
}

void TestDialogs::linkAcceptRules()
{
    QFETCH(QStringList, typing);
    QFETCH(QStringList, stored);
    Fixture f;
    whenModalOpens([&](QWidget* d) {
        typeInto(d, typing);
        click(d, "Command2");
    });
    QVERIFY(f.window.runLinkDialog());
    const LinkAttributes& a = f.window.state().link;
    QCOMPARE((QStringList{a.href, a.alt, a.target, a.onmouseover, a.onmouseout, a.onclick}), stored);
    QVERIFY(!f.window.state().linkDialogCancelled);
    QVERIFY(f.platform.boxes.isEmpty());

    // The stored values always make a line of exactly eight fields.
    const QString line = entry::makeLine(" ", "rect", "1,2,3,4", a);
    QCOMPARE(entry::split(line).size(), 8);
}

void TestDialogs::linkPrefill_data()
{
    QTest::addColumn<QStringList>("previous"); // href, alt, target, over, out, click
    QTest::addColumn<QStringList>("shown");    // Text1, text2, Combo1, over, out, click
    QTest::newRow("accepted page and target") << QStringList{"seite.html", "Seite", "_blank", "*", "*", "*"}
                                              << QStringList{"seite.html", "Seite", "_blank", "", "", ""};
    QTest::newRow("empty href and alt keep the defaults")
        << QStringList{"", "", "*", "*", "*", "*"} << QStringList{"#", "over", "", "", "", ""};
    QTest::newRow("empty target and handlers (never accepted)")
        << QStringList{"", "", "", "", "", ""} << QStringList{"#", "over", "", "", "", ""};
    QTest::newRow("handlers left by an import") << QStringList{"#", "over", "*", "an()", " ", "alert('x')"}
                                                << QStringList{"#", "over", "", "an()", " ", "alert('x')"};
    QTest::newRow("free frame name") << QStringList{"a.html", "A", "rechts", "*", "*", "*"}
                                     << QStringList{"a.html", "A", "rechts", "", "", ""};
}

void TestDialogs::linkPrefill()
{
    QFETCH(QStringList, previous);
    QFETCH(QStringList, shown);
    Fixture f;
    f.window.state().link = {previous[0], previous[1], previous[2], previous[3], previous[4], previous[5]};
    Shown s;
    whenModalOpens([&](QWidget* d) {
        s = readShown(d);
        click(d, "Command3");
    });
    QVERIFY(!f.window.runLinkDialog());
    QCOMPARE(s.texts, shown);
    QVERIFY(s.selected);
}

void TestDialogs::closingWays_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("way");
    QTest::addColumn<QList<int>>("answers"); // MessageButton values for the questions
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("accepted");
    const QList<int> yes{int(MessageButton::Yes)};
    for (bool link : {true, false}) {
        const char* kind = link ? "frmVerweis" : "frmEdit";
        QTest::addRow("%s accept button", kind) << link << "Command2" << QList<int>{} << 0 << true;
        QTest::addRow("%s cancel button", kind) << link << "Command3" << QList<int>{} << 0 << false;
        QTest::addRow("%s return key", kind) << link << "return" << QList<int>{} << 0 << true;
        QTest::addRow("%s return key on focused cancel button", kind)
            << link << "return on Command3" << QList<int>{} << 0 << false;
        QTest::addRow("%s close box, yes", kind) << link << "close" << yes << 1 << false;
        QTest::addRow("%s escape key, yes", kind) << link << "escape" << yes << 1 << false;
        // No keeps the dialog open with what was typed, ready to be accepted.
        QTest::addRow("%s close box, no, then accept", kind)
            << link << "close" << QList<int>{int(MessageButton::No)} << 1 << true;
    }
}

void TestDialogs::closingWays()
{
    QFETCH(bool, link);
    QFETCH(QString, way);
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(bool, accepted);
    Fixture f;
    for (int a : answers)
        f.platform.answers.enqueue(MessageButton(a));
    f.window.areas().append(kPlainLine);
    f.window.state().link = {"alt.html", "Alt", "*", "*", "*", "*"};
    f.window.state().linkDialogCancelled = !accepted; // the run must set it either way

    bool keptAfterNo = false;
    whenModalOpens([&](QWidget* d) {
        typeInto(d, {"Text1", "neu.html"});
        if (way == QLatin1String("close") && accepted) {
            d->close();
            keptAfterNo = d->isVisible() && edit(d, "Text1")->text() == QLatin1String("neu.html");
            click(d, "Command2");
        } else if (way == QLatin1String("return"))
            QTest::keyClick(edit(d, "Text1"), Qt::Key_Return);
        else if (way == QLatin1String("return on Command3"))
            QTest::keyClick(child<QPushButton>(d, "Command3"), Qt::Key_Return);
        else if (way == QLatin1String("escape"))
            QTest::keyClick(edit(d, "Text1"), Qt::Key_Escape);
        else if (way == QLatin1String("close"))
            d->close(); // what the title bar's close box does
        else
            click(d, way.toLatin1().constData());
    });
    if (link) {
        QCOMPARE(f.window.runLinkDialog(), accepted);
        QCOMPARE(f.window.state().linkDialogCancelled, !accepted);
        QCOMPARE(f.window.state().link.href, accepted ? QStringLiteral("neu.html") : QStringLiteral("alt.html"));
    } else {
        f.window.runAttributeEditor(0);
        QCOMPARE(f.window.areas().line(0),
                 accepted ? QString(kPlainLine).replace("start.html", "neu.html") : kPlainLine);
        // Refreshed when accepted: the code is made from the changed line.
        QCOMPARE(f.window.mapCode().contains(QStringLiteral("href=\"neu.html\"")), accepted);
        QCOMPARE(f.window.state().link.href, QStringLiteral("alt.html"));
    }
    QCOMPARE(keptAfterNo, way == QLatin1String("close") && accepted);
    const ShownBox question{"Korvane Kontrollabfrage",
                            link ? kLinkQuestion : kEditQuestion,
                            MessageIcon::Question,
                            {MessageButton::Yes, MessageButton::No},
                            MessageButton::No};
    QCOMPARE(f.platform.boxes, QList<ShownBox>(questions, question));
}

void TestDialogs::handlerQuoteRule_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    for (bool link : {true, false}) {
        const auto row = [link](const char* box, const char* typed, const char* shown) {
            QTest::addRow("%s %s", link ? "frmVerweis" : "frmEdit", box)
                << link << QString(box) << QString(typed) << QString(shown);
        };
        // Handlers go inside a double-quoted attribute, so double quotes turn into single ones as typed.
        row("txtMouseOver", "alert(\"x\")", "alert('x')");
        row("txtMouseOut", "\"\"", "''");
        row("txtOnClick", "a(\"b\",1)", "a('b',1)");
        row("Text1", "\"x\"", "\"x\"");
        row("text2", "\"x\"", "\"x\"");
        row("Combo1", "\"x\"", "\"x\"");
    }
}

void TestDialogs::handlerQuoteRule()
{
    QFETCH(bool, link);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QString folder;
    const std::unique_ptr<AttributeForm> d = makeDialog(link, folder);
    d->show();
    QLineEdit* target = edit(d.get(), box);
    target->selectAll();
    QTest::keyClicks(target, typed);
    QCOMPARE(target->text(), shown);
    // The apostrophe is an ordinary edit: one undo step removes it again.
    if (shown != typed) {
        const qsizetype before = target->text().size();
        target->undo();
        QVERIFY(target->text().size() < before);
    }
}

void TestDialogs::fileChooser_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("lastFolder");
    QTest::addColumn<QString>("answer"); // full path the chooser returns, "" = cancelled
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("folderAfter");
    for (bool link : {true, false}) {
        const auto row = [link](const char* name, const char* lastFolder, const char* answer, const char* text1,
                                const char* folderAfter) {
            QTest::addRow("%s %s", link ? "frmVerweis" : "frmEdit", name)
                << link << QString(lastFolder) << QString(answer) << QString(text1) << QString(folderAfter);
        };
        const char* before = link ? "#" : "start.html";
        row("chosen in a Windows folder", "", "C:\\web\\seiten\\kontakt.htm", "kontakt.htm", "C:\\web\\seiten\\");
        row("chosen in a Unix folder", "/srv/alt/", "/srv/www/a b.html", "a b.html", "/srv/www/");
        row("cancelled", "/srv/alt/", "", before, "/srv/alt/");
        row("cancelled, no folder yet", "", "", before, "");
    }
}

void TestDialogs::fileChooser()
{
    QFETCH(bool, link);
    QFETCH(QString, lastFolder);
    QFETCH(QString, answer);
    QFETCH(QString, text1);
    QFETCH(QString, folderAfter);
    Fixture f;
    const QString workingFolder = QDir::currentPath();
    f.window.state().lastLinkFolder = lastFolder;
    f.window.areas().append(kPlainLine);
    f.platform.fileAnswers.enqueue(answer);
    QString shownText;
    QWidget* dialog = nullptr;
    whenModalOpens([&](QWidget* d) {
        dialog = d;
        click(d, "Command4");
        shownText = edit(d, "Text1")->text();
        click(d, "Command3");
    });
    if (link)
        f.window.runLinkDialog();
    else
        f.window.runAttributeEditor(0);
    QDir::setCurrent(workingFolder);

    QCOMPARE(shownText, text1);
    QCOMPARE(f.window.state().lastLinkFolder, folderAfter);
    QCOMPARE(f.platform.dialogs.size(), 1);
    QCOMPARE(f.platform.dialogs[0].owner, dialog);
    const QString startFolder =
        lastFolder.isEmpty() ? QDir::toNativeSeparators(workingFolder) + QDir::separator() : lastFolder;
    QCOMPARE(textsOf(f.platform.dialogs[0]),
             (QStringList{"Open", "HTML, HTM, PHP, ASP-Dateien", startFolder, "",
                          "HTML, HTM, PHP, ASP-Dateien (*.html,*.htm,*.php,*.asp) |*.html;*.htm;*.php;*.asp",
                          "*.html;*.htm;*.php;*.asp"}));
}

void TestDialogs::chooserFolderSharedBetweenDialogs()
{
    Fixture f;
    const QString workingFolder = QDir::currentPath();
    f.window.areas().append(kPlainLine);
    f.platform.fileAnswers << "C:\\web\\seiten\\kontakt.htm"
                           << "";
    whenModalOpens([](QWidget* d) {
        click(d, "Command4");
        click(d, "Command2");
    });
    QVERIFY(f.window.runLinkDialog());
    QCOMPARE(f.window.state().link.href, QStringLiteral("kontakt.htm"));

    whenModalOpens([](QWidget* d) {
        click(d, "Command4");
        click(d, "Command3");
    });
    f.window.runAttributeEditor(0);
    QDir::setCurrent(workingFolder);
    QCOMPARE(f.platform.dialogs.size(), 2);
    QCOMPARE(f.platform.dialogs[1].folder, QStringLiteral("C:\\web\\seiten\\"));
}

void TestDialogs::helpButtons_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enterKey"); // pressed with Enter while focused instead of the mouse
    const QString target =
        "\"_blank\" - das Dokument wird in ein neues, zusätzliches Browserfenster geladen, die alte Seite "
        "bleibt "
        "erhalten \r\n\r\n"
        "\"_self\" - das Dokument wird in das gerade aktive Fenster geladen.\r\n\r\n"
        "\"_parent\" - bei geschachtelten Frames wird das Dokument in das Fenster geladen, das sich eine "
        "Verschachtelungsebene höher befindet\r\n\r\n"
        "\"_top\" - das Dokument wird in das Browserfenster geladen, löscht also die Framedarstellung "
        "\r\n\r\n"
        "In die ComboBox können auch Namen von Frames per Hand eingetragen werden (z.B. links, "
        "rechts).\r\n\r\n"
        "Bleibt die ComboBox leer, wird das Target-Attribut nicht verwendet und der Verweis wird im gleichen "
        "Fenster geöffnet.";
    const QString handlers =
        "Die 3 Eingabefelder im unteren Teil sollten nur User mit JavaScript Kentnissen verwenden.\r\n"
        "In diese Felder kann JavaScript Code eingetragen werden oder es können vorher \r\n"
        "definierte JavaScript Functionen aufgerufen werden.\r\n\r\n"
        "Beispiel: Öffnen eines Fensters \r\n"
        "window.open('','','toolbar=no,status=no,menubar=no,height=150,width=100')\r\n"
        "Innerhalb des Codes nur einfache Beistriche (') verwenden.\r\n\r\n"
        "Beispiel: Aufruf einer vorher definierten Funktion\r\n"
        "IhreFunktion()\r\n"
        "Der Code muss nicht in Beistriche (\") eingeschlossen werden.\r\n\r\n"
        "Im HTML-Quellcode steht dann später: onclick=\"IhreFunktion()\"\r\n\r\n"
        "Falls sie über keine JavaScript Kentnisse verfügen, sollten Sie diese Felder leer lassen.";
    const QString linkTarget =
        "Als Verweisziel kann auch JavaScript Code eingetragen werden (z.B: javascript:alert('Meldung').";
    for (bool link : {true, false}) {
        const auto row = [link](const char* name, const char* button, const char* title, const QString& text,
                                bool enterKey) {
            QTest::addRow("%s %s", link ? "frmVerweis" : "frmEdit", name)
                << link << QString(button) << QString(title) << text << enterKey;
        };
        row("link target", "Command7", "korvane- Verweisziel", linkTarget, false);
        row("link target by Enter", "Command7", "korvane- Verweisziel", linkTarget, true);
        row("target", "Command1", "korvane - Target Attribut", target, false);
        row("event handlers", "Command6", "korvane - JavaScript EventHandler", handlers, false);
    }
}

void TestDialogs::helpButtons()
{
    QFETCH(bool, link);
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, enterKey);
    Fixture f;
    f.window.areas().append(kPlainLine);
    bool stillOpen = false;
    whenModalOpens([&](QWidget* d) {
        if (enterKey)
            QTest::keyClick(child<QPushButton>(d, button.toLatin1().constData()), Qt::Key_Return);
        else
            click(d, button.toLatin1().constData());
        stillOpen = d->isVisible();
        click(d, "Command3");
    });
    if (link)
        f.window.runLinkDialog();
    else
        f.window.runAttributeEditor(0);
    QVERIFY(stillOpen);
    const ShownBox help{title, text, MessageIcon::Information, {MessageButton::Ok}, MessageButton::Ok};
    QCOMPARE(f.platform.boxes, QList<ShownBox>{help});
}

void TestDialogs::decorationButtonDoesNothing()
{
    Fixture f;
    bool stillOpen = false;
    QString text1;
    whenModalOpens([&](QWidget* d) {
        click(d, "Command5");
        stillOpen = d->isVisible();
        text1 = edit(d, "Text1")->text();
        click(d, "Command2");
    });
    QVERIFY(f.window.runLinkDialog());
    QVERIFY(stillOpen);
    QCOMPARE(text1, QStringLiteral("#"));
    QVERIFY(f.platform.boxes.isEmpty());
    QVERIFY(f.platform.dialogs.isEmpty());
}

void TestDialogs::editorPrefill_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("shown"); // Text1, text2, Combo1, over, out, click
    QTest::newRow("absent target and handlers")
        << kPlainLine << QStringList{"start.html", "Startseite", "", "", "", ""};
    QTest::newRow("empty href and alt replace the defaults")
        << " circle                    |5,5,3||||||" << QStringList{"", "", "", "", "", ""};
    QTest::newRow("href and alt trimmed, the rest not")
        << "  poly                    |1,2|  a.html | Alt |_top | o()| *|x"
        << QStringList{"a.html", "Alt", "_top ", " o()", " *", "x"};
    QTest::newRow("only blanks trimmed, tabs stay") << " rect                    |1,2| \ta.html\t | \tAlt\n |*|*|*|*"
                                                    << QStringList{"\ta.html\t", "\tAlt\n", "", "", "", ""};
    QTest::newRow("all attributes") << " rect                    |0,0,1,1|k.html|Kontakt|_blank|an()|aus()|klick()"
                                    << QStringList{"k.html", "Kontakt", "_blank", "an()", "aus()", "klick()"};
    QTest::newRow("short imported line") << " rect                    |0,0,1,1|k.html"
                                         << QStringList{"k.html", "", "", "", "", ""};
}

void TestDialogs::editorPrefill()
{
    QFETCH(QString, line);
    QFETCH(QStringList, shown);
    Fixture f;
    f.window.areas().append(line);
    Shown s;
    whenModalOpens([&](QWidget* d) {
        s = readShown(d);
        click(d, "Command3");
    });
    f.window.runAttributeEditor(0);
    QCOMPARE(s.texts, shown);
    QVERIFY(s.selected);
    QCOMPARE(f.window.areas().line(0), line);
}

void TestDialogs::editorWritesBack_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("typing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unchanged writes the placeholders back") << kPlainLine << QStringList{} << kPlainLine;
    QTest::newRow("two-blank prefix and ninth field survive")
        << "  circle                    |200,150,40|alt.html|Alt|*|*|*|*|extra"
        << QStringList{"Text1", "neu.html", "Combo1", "_blank"}
        << "  circle                    |200,150,40|neu.html|Alt|_blank|*|*|*|extra";
    QTest::newRow("handler of one blank is absent, leading blank kept")
        << kPlainLine << QStringList{"txtOnClick", " alert(1)", "txtMouseOver", " "}
        << " rect                    |10,20,110,80|start.html|Startseite|*|*|*| alert(1)";
    QTest::newRow("href stored exactly as typed")
        << kPlainLine << QStringList{"Text1", "href=\"x.html\""}
        << " rect                    |10,20,110,80|href=\"x.html\"|Startseite|*|*|*|*";
    QTest::newRow("emptied target and handlers become absent")
        << " rect                    |1,2,3,4|a|b|_top|o()|p()|q()"
        << QStringList{"Combo1", "", "txtMouseOver", "", "txtMouseOut", "   ", "txtOnClick", ""}
        << " rect                    |1,2,3,4|a|b|*|*|*|*";
    QTest::newRow("empty alt stays empty") << " poly                    |1,2,3,4,5,6|a||*|*|*|*" << QStringList{}
                                           << " poly                    |1,2,3,4,5,6|a||*|*|*|*";
    QTest::newRow("bar is stored escaped")
        << kPlainLine << QStringList{"text2", "Start|Seite", "txtMouseOut", "a|b"}
        << " rect                    |10,20,110,80|start.html|Start&#124;Seite|*|*|a&#124;b|*";
    const QString longHandler = "f('" + QString(40000, 'x') + "')";
    QTest::newRow("long imported handler kept whole")
        << " rect                    |0,0,1,1|k.html|K|*|*|*|" + longHandler << QStringList{"text2", "L"}
        << " rect                    |0,0,1,1|k.html|L|*|*|*|" + longHandler;
    QTest::newRow("short imported line gets all eight fields")
        << " rect                    |0,0,1,1|k.html" << QStringList{"text2", "K"}
        << " rect                    |0,0,1,1|k.html|K|*|*|*|*";
}

void TestDialogs::editorWritesBack()
{
    QFETCH(QString, line);
    QFETCH(QStringList, typing);
    QFETCH(QString, expected);
    Fixture f;
    const QString before = QStringLiteral(" rect                    |0,0,5,5|a.html|A|*|*|*|*");
    const QString after = QStringLiteral(" circle                    |9,9,2|c.html|C|*|*|*|*");
    f.window.areas().setLines({before, line, after});
    f.window.setSelectedIndex(1);
    whenModalOpens([&](QWidget* d) {
        typeInto(d, typing);
        click(d, "Command2");
    });
    f.window.runAttributeEditor(1);
    QCOMPARE(f.window.areas().lines(), (QStringList{before, expected, after}));
    QCOMPARE(f.window.selectedIndex(), 1);
    QVERIFY(f.window.mapCode().contains(QStringLiteral("href=\"c.html\"")));
    // The editor refreshed: a Refresh now changes nothing in the code.
    const QString shown = f.window.mapCode();
    f.window.refresh();
    QCOMPARE(f.window.mapCode(), shown);
    QCOMPARE(f.window.state().link, LinkAttributes{});
}

void TestDialogs::editorWithoutLineOpensNothing()
{
    Fixture f;
    f.window.areas().append(kPlainLine);
    bool opened = false;
    // Clicks away a dialog that should not be there, so a fault fails
    // instead of hanging the run.
    QTimer::singleShot(0, [&] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            opened = true;
            click(d, "Command3");
        }
    });
    f.window.runAttributeEditor(-1);
    f.window.runAttributeEditor(1);
    QCoreApplication::processEvents();
    QVERIFY(!opened);
    QCOMPARE(f.window.areas().lines(), QStringList{kPlainLine});
}

void TestDialogs::framesSurroundBoxes()
{
    QString folder;
    frmVerweis d(LinkAttributes{}, folder, nullptr);
    d.resize(700, 500);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const std::pair<const char*, const char*> pairs[] = {{"Shape_text1", "Text1"},
                                                         {"shape_text2", "text2"},
                                                         {"Shape1", "txtMouseOver"},
                                                         {"Shape2", "txtMouseOut"},
                                                         {"Shape3", "txtOnClick"}};
    for (const auto& [frame, box] : pairs) {
        const QRect boxRect = d.findChild<QWidget*>(QLatin1String(box))->geometry();
        QCOMPARE(d.findChild<QWidget*>(QLatin1String(frame))->geometry(), boxRect.adjusted(-1, -1, 1, 1));
    }
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
