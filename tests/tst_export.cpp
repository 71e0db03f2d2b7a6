#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "io/ExportWindow.h"
#include "io/TextBoxEdit.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace korvane;
using namespace korvane::test;

namespace {

QClipboard* clipboard()
{
    return QGuiApplication::clipboard();
}

void fillAreas(MainWindow& window)
{
    window.document().setImagePath(QStringLiteral("C:\\web\\plan.png"));
    window.ui.Picture1->setPicture(QImage(40, 30, QImage::Format_RGB32));
    window.areas().append(QStringLiteral(" rect                    |1,2,3,4|a.html|Tür|*|*|*|*"));
    window.map_daten();
}

const QString kExpectedCode =
    QStringLiteral("<!-- HTML-Code fuer den Image-Tag   -->\r\n"
                   "<img src=\"file:///C:/web/plan.png\" width=\"40\" height=\"30\" alt=\"\" usemap=\"#plan\" "
                   "style=\"border-style:none\" />\r\n"
                   "<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
                   "<map id=\"plan\" name=\"plan\">\r\n"
                   "<area shape=\"rect\" alt=\"Tür\" coords=\"1,2,3,4\" href=\"a.html\" title=\"Tür\"  />\r\n"
                   "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n"
                   "</map>\r\n");

// Puts the caret where a user clicks at the document position.
void clickAt(QPlainTextEdit* edit, int position, Qt::KeyboardModifiers modifiers = {})
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(position);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, modifiers, edit->cursorRect(cursor).center());
    QCOMPARE(edit->textCursor().position(), position);
}

int positionOf(ExportWindow* window, const QString& landmark)
{
    return int(window->ui.Text1->document()->toRawText().indexOf(landmark));
}

// The warning of a "Speichern" that could not write `path`.
ShownBox speichernFailedBox(const QString& path)
{
    return warningBox("Der HTML-Code konnte nicht gespeichert werden: Die Datei \"" + path +
                      "\" ließ sich nicht schreiben.\r\n\r\nEine bereits vorhandene Datei dieses Namens ist "
                      "unverändert geblieben.");
}

using Selection = std::pair<int, int>; // start, end

Selection selectionOf(QPlainTextEdit* edit)
{
    return {edit->textCursor().selectionStart(), edit->textCursor().selectionEnd()};
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void textBoxEditQueries_data();
    void textBoxEditQueries();
    void textBoxEditCommands_data();
    void textBoxEditCommands();
    void exportLoadsPageIntoWindow();
    void emptyMapCodeDoesNothing();
    void einfuegenAndUndo_data();
    void einfuegenAndUndo();
    void einfuegenReplacesSelection();
    void selectLimit_data();
    void selectLimit();
    void editMenu_data();
    void editMenu();
    void speichernWritesExactBytes_data();
    void speichernWritesExactBytes();
    void removedLineEndStaysRemoved();
    void lineEndsAroundTheCaretStay_data();
    void lineEndsAroundTheCaretStay();
    void speichernFailureKeepsOldFile();
    void speichernOnFullDiskKeepsOldFile();
    void exportAgainOffersToSaveEdits_data();
    void exportAgainOffersToSaveEdits();
    void closeQuestion_data();
    void closeQuestion();
    void sizeCount_data();
    void sizeCount();
    void relativePicturePathIntoThePage();
    void resizeRule();

private:
    ExportWindow* exportPage(const QByteArray& bytes); // as "seite.html", through the real button

    ScriptedPlatform* m_platform = nullptr;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestExport::init()
{
    m_platform = &installScriptedPlatform();
    m_main = std::make_unique<MainWindow>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestExport::cleanup()
{
    m_main.reset();
    m_dir.reset();
}

ExportWindow* TestExport::exportPage(const QByteArray& bytes)
{
    fillAreas(*m_main);
    const QString path = m_dir->filePath(QStringLiteral("seite.html"));
    if (!writeFile(path, bytes))
        return nullptr;
    m_platform->fileAnswers.enqueue(path);
    QTest::mouseClick(m_main->ui.Command12, Qt::LeftButton);
    auto* window = m_main->findChild<ExportWindow*>();
    if (window && !QTest::qWaitForWindowExposed(window))
        return nullptr;
    return window;
}

void TestExport::textBoxEditQueries_data()
{
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionEnd");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("clipboardKind");
    QTest::addColumn<bool>("canCut");
    QTest::addColumn<bool>("canCopy");
    QTest::addColumn<bool>("canPaste");
    QTest::newRow("no selection") << 3 << 3 << false << "text" << false << false << true;
    QTest::newRow("selection") << 0 << 5 << false << "text" << true << true << true;
    QTest::newRow("backward selection") << 5 << 1 << false << "text" << true << true << true;
    QTest::newRow("locked with selection") << 0 << 5 << true << "text" << false << true << true;
    QTest::newRow("clipboard holds an image") << 0 << 5 << false << "image" << true << true << false;
    QTest::newRow("clipboard empty") << 0 << 0 << false << "empty" << false << false << false;
}

void TestExport::textBoxEditQueries()
{
    QFETCH(int, selectionStart);
    QFETCH(int, selectionEnd);
    QFETCH(bool, readOnly);
    QFETCH(QString, clipboardKind);
    QFETCH(bool, canCut);
    QFETCH(bool, canCopy);
    QFETCH(bool, canPaste);

    if (clipboardKind == QLatin1String("text"))
        clipboard()->setText(QStringLiteral("x"));
    else if (clipboardKind == QLatin1String("image"))
        clipboard()->setImage(QImage(2, 2, QImage::Format_RGB32));
    else
        clipboard()->clear();
    QPlainTextEdit edit;
    edit.setPlainText(QStringLiteral("Hallo Welt"));
    edit.setReadOnly(readOnly);
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(selectionStart);
    cursor.setPosition(selectionEnd, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    cTextBoxEdit box;
    QVERIFY(!box.CanCut() && !box.CanCopy() && !box.CanUndo());
    box.Undo(); // unbound: harmless
    box.setTextBox(&edit);
    QCOMPARE(box.CanCut(), canCut);
    QCOMPARE(box.CanCopy(), canCopy);
    QCOMPARE(box.CanPaste(), canPaste);
    QCOMPARE(box.CanUndo(), false);
    if (!canCopy) {
        box.Delete(true);
        box.ReplaceSelection(QStringLiteral("neu"), true);
        box.Cut();
        QCOMPARE(edit.toPlainText(), QStringLiteral("Hallo Welt"));
    }
}

void TestExport::textBoxEditCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::addColumn<bool>("canUndo");
    QTest::addColumn<QString>("afterUndo");
    const auto row = [](const char* name, const char* command, const char* after, const char* clipboardAfter,
                        bool canUndo, const char* afterUndo) {
        QTest::newRow(name) << QString(command) << QString(after) << QString(clipboardAfter) << canUndo
                            << QString(afterUndo);
    };
    // Each starts with "Hallo" selected in "Hallo Welt!" and "Tschüss" on the clipboard.
    row("paste", "Paste", "Tschüss Welt!", "Tschüss", true, "Hallo Welt!");
    row("cut", "Cut", " Welt!", "Hallo", true, "Hallo Welt!");
    row("copy", "Copy", "Hallo Welt!", "Hallo", true, "Hallo Welt");
    row("delete with undo", "Delete1", " Welt!", "Tschüss", true, "Hallo Welt!");
    row("delete without undo", "Delete0", " Welt!", "Tschüss", false, " Welt!");
    row("replace with undo", "Replace1", "Guten Tag Welt!", "Tschüss", true, "Hallo Welt!");
    row("replace without undo", "Replace0", "Guten Tag Welt!", "Tschüss", false, "Guten Tag Welt!");
}

void TestExport::textBoxEditCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, after);
    QFETCH(QString, clipboardAfter);
    QFETCH(bool, canUndo);
    QFETCH(QString, afterUndo);

    QPlainTextEdit edit;
    edit.setPlainText(QStringLiteral("Hallo Welt"));
    QTextCursor cursor = edit.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("!")); // an earlier change that can be undone
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    clipboard()->setText(QStringLiteral("Tschüss"));
    cTextBoxEdit box;
    box.setTextBox(&edit);

    if (command == QLatin1String("Paste"))
        box.Paste();
    else if (command == QLatin1String("Cut"))
        box.Cut();
    else if (command == QLatin1String("Copy"))
        box.Copy();
    else if (command.startsWith(QLatin1String("Delete")))
        box.Delete(command.endsWith(QLatin1Char('1')));
    else
        box.ReplaceSelection(QStringLiteral("Guten Tag"), command.endsWith(QLatin1Char('1')));

    QCOMPARE(edit.toPlainText(), after);
    QCOMPARE(clipboard()->text(), clipboardAfter);
    QCOMPARE(box.CanUndo(), canUndo);
    box.Undo();
    QCOMPARE(edit.toPlainText(), afterUndo);
}

void TestExport::exportLoadsPageIntoWindow()
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    ExportWindow* window = exportPage("<html>\r\n<body>\r\n</body>\r\n</html>\r\n");
    QDir::setCurrent(before);
    QVERIFY(window);
    const QString folder = m_dir->path() + QLatin1Char('/');

    QCOMPARE(m_platform->dialogs.size(), 1);
    QCOMPARE(m_platform->dialogs[0].owner, m_main.get());
    QCOMPARE(textsOf(m_platform->dialogs[0]),
             (QStringList{"Open", "HTML-Datei öffnen", m_dir->path(), "",
                          "Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp", "*.html;*.htm;*.php;*.asp"}));
    QCOMPARE(m_main->state().lastExportFolder, folder);

    QCOMPARE(window->objectName(), QStringLiteral("frmExport"));
    QCOMPARE(window->windowTitle(), QStringLiteral("MAP-Daten in eine bereits existierende HTML-Datei einfügen"));
    QCOMPARE(window->parentWidget(), m_main.get());
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QCOMPARE(window->ui.Label1->text(),
             QStringLiteral("Positionieren Sie den Maus-Cursor mit einem Maus-Klick an die gewünschte Stelle des "
                            "Quelltextes und klicken Sie danach auf den Button \"Einfügen\"."));
    QCOMPARE(window->ui.Command1->text(), QStringLiteral("Einfügen"));
    QCOMPARE(window->ui.Command3->text(), QStringLiteral("undo"));
    QCOMPARE(window->ui.Command2->text(), QStringLiteral("Speichern"));
    QCOMPARE(window->ui.Label2->text(), QStringLiteral("File= seite.html  Size: 034 Byte"));
    QCOMPARE(window->tag(), folder + QStringLiteral("seite.html"));
    QCOMPARE(window->ui.Text1->toPlainText(), QStringLiteral("<html>\n<body>\n</body>\n</html>\n"));
    QCOMPARE(clipboard()->text(), kExpectedCode);
    QVERIFY(!window->isSaved());
    QVERIFY(m_platform->boxes.isEmpty());

    // A second export reuses the window; the pasted code is an edit, so it asks first.
    clickAt(window->ui.Text1, 3);
    window->ui.Command1->click();
    QVERIFY(writeFile(m_dir->filePath("zwei.htm"), "<p>zwei</p>"));
    m_platform->fileAnswers.enqueue(m_dir->filePath("zwei.htm"));
    m_platform->answers.enqueue(MessageButton::No);
    m_main->ui.Command12->click();
    QCOMPARE(m_platform->boxes.size(), qsizetype(1));
    QCOMPARE(m_platform->boxes.takeFirst().text,
             QStringLiteral("Der HTML-Code wurde noch nicht gespeichert. Soll der Code jetzt gespeichert werden?"));
    QCOMPARE(m_main->findChildren<ExportWindow*>().size(), 1);
    QCOMPARE(m_main->findChild<ExportWindow*>(), window);
    QCOMPARE(m_platform->dialogs.last().folder, folder);
    QCOMPARE(window->pageText(), QStringLiteral("<p>zwei</p>"));
    QCOMPARE(window->ui.Label2->text(), QStringLiteral("File= zwei.htm  Size: 011 Byte"));
    QCOMPARE(window->corsorPos(), 0);
    QVERIFY(m_platform->boxes.isEmpty());
}

void TestExport::exportAgainOffersToSaveEdits_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QString>("answer");     // "", "No", "Yes" (save), "Yes, cancel" (save dialog cancelled)
    QTest::addColumn<QString>("shownAfter"); // the page the window holds afterwards
    QTest::addColumn<QByteArray>("eins");    // eins.html on disk afterwards
    QTest::newRow("untouched page: replaced without a question") << false << ""
                                                                 << "<p>zwei</p>" << QByteArray("<p>eins</p>");
    QTest::newRow("edited, No: replaced") << true << "No"
                                          << "<p>zwei</p>" << QByteArray("<p>eins</p>");
    QTest::newRow("edited, Yes: saved, then replaced") << true << "Yes"
                                                       << "<p>zwei</p>" << QByteArray("X<p>eins</p>");
    QTest::newRow("edited, Yes, save cancelled: kept") << true << "Yes, cancel"
                                                       << "X<p>eins</p>" << QByteArray("<p>eins</p>");
}

void TestExport::exportAgainOffersToSaveEdits()
{
    QFETCH(bool, edit);
    QFETCH(QString, answer);
    QFETCH(QString, shownAfter);
    QFETCH(QByteArray, eins);
    fillAreas(*m_main);
    const QString first = m_dir->filePath("eins.html");
    const QString second = m_dir->filePath("zwei.htm");
    QVERIFY(writeFile(first, "<p>eins</p>") && writeFile(second, "<p>zwei</p>"));
    m_platform->fileAnswers.enqueue(first);
    m_main->ui.Command12->click();
    auto* window = m_main->findChild<ExportWindow*>();
    QVERIFY(window && QTest::qWaitForWindowExposed(window));
    if (edit) {
        clickAt(window->ui.Text1, 0);
        QTest::keyClicks(window->ui.Text1, QStringLiteral("X"));
    }
    m_platform->fileAnswers.enqueue(second);
    if (!answer.isEmpty())
        m_platform->answers.enqueue(answer == "No" ? MessageButton::No : MessageButton::Yes);
    if (answer == "Yes")
        m_platform->fileAnswers.enqueue(first);
    else if (answer == "Yes, cancel")
        m_platform->fileAnswers.enqueue(QString());
    m_main->ui.Command12->click();
    QCOMPARE(m_platform->boxes.size(), qsizetype(answer.isEmpty() ? 0 : 1));
    QCOMPARE(window->pageText(), shownAfter);
    QCOMPARE(readFile(first), eins);
}

void TestExport::emptyMapCodeDoesNothing()
{
    clipboard()->setText(QStringLiteral("vorher"));
    m_main->ui.Command12->click();
    QVERIFY(m_platform->dialogs.isEmpty());
    QCOMPARE(clipboard()->text(), QStringLiteral("vorher"));
    QVERIFY(!m_main->findChild<ExportWindow*>());
}

void TestExport::einfuegenAndUndo_data()
{
    QTest::addColumn<QString>("landmark");
    QTest::newRow("before </body>") << "</body>";
    QTest::newRow("at the start") << "<html>";
    QTest::newRow("in the middle of a line") << "ody>\n</html>";
}

void TestExport::einfuegenAndUndo()
{
    QFETCH(QString, landmark);
    const QString page = QStringLiteral("<html>\r\n<body>\r\n</body>\r\n</html>\r\n");
    ExportWindow* window = exportPage(page.toUtf8());
    QVERIFY(window);
    QPlainTextEdit* text = window->ui.Text1;
    const int position = positionOf(window, QString(landmark).replace(QLatin1Char('\n'), QChar(0x2029)));
    const qsizetype offset = page.indexOf(QString(landmark).replace(QLatin1String("\n"), QLatin1String("\r\n")));
    const QString withCode = QString(page).insert(offset, kExpectedCode);
    const int codeLength = int(kExpectedCode.size() - kExpectedCode.count(QLatin1String("\r\n")));

    clickAt(text, position);
    QTest::mouseClick(window->ui.Command1, Qt::LeftButton);
    QCOMPARE(window->pageText(), withCode);
    QCOMPARE(window->corsorPos(), position);
    QCOMPARE(selectionOf(text), (Selection{position, position + codeLength}));
    QVERIFY(text->hasFocus());

    QTest::mouseClick(window->ui.Command3, Qt::LeftButton);
    QCOMPARE(window->pageText(), page);
    QCOMPARE(selectionOf(text), (Selection{position, position}));
    QVERIFY(text->hasFocus());

    // Pressing twice right away replaces the selected code: still one copy.
    clickAt(text, position);
    QTest::mouseClick(window->ui.Command1, Qt::LeftButton);
    QTest::mouseClick(window->ui.Command1, Qt::LeftButton);
    QCOMPARE(window->pageText(), withCode);

    // After the caret moved elsewhere a further press adds a second copy.
    clickAt(text, 0);
    window->ui.Command1->click();
    QCOMPARE(window->pageText(), kExpectedCode + withCode);
}

void TestExport::einfuegenReplacesSelection()
{
    ExportWindow* window = exportPage("<html><body>ALT</body></html>");
    QVERIFY(window);
    const int start = positionOf(window, QStringLiteral("ALT"));
    clickAt(window->ui.Text1, start);
    clickAt(window->ui.Text1, start + 3, Qt::ShiftModifier);
    QCOMPARE(selectionOf(window->ui.Text1), (Selection{start, start + 3}));
    window->ui.Command1->click();
    // A page without line breaks has no line-end style: the code keeps its CR LF.
    QCOMPARE(window->pageText(), QStringLiteral("<html><body>") + kExpectedCode + QStringLiteral("</body></html>"));
    QCOMPARE(window->corsorPos(), start);
}

void TestExport::selectLimit_data()
{
    QTest::addColumn<int>("pageLength");
    QTest::addColumn<bool>("selected");
    // Five pasted characters: the text after pasting plus the clipboard text
    // must stay below 65,536 characters.
    QTest::newRow("65,535 in all") << 65525 << true;
    QTest::newRow("65,536 in all") << 65526 << false;
}

void TestExport::selectLimit()
{
    QFETCH(int, pageLength);
    QFETCH(bool, selected);
    ExportWindow* window = exportPage(QByteArray(pageLength, 'x'));
    QVERIFY(window);
    clipboard()->setText(QStringLiteral("ABCDE"));
    clickAt(window->ui.Text1, 0);
    window->setFocus();
    window->ui.Command1->click();
    QCOMPARE(window->pageText().left(6), QStringLiteral("ABCDEx"));
    QCOMPARE(window->pageLength(), pageLength + 5);
    QCOMPARE(selectionOf(window->ui.Text1), (Selection{0, selected ? 5 : 0}));
}

void TestExport::editMenu_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QList<bool>>("enabled"); // Undo, Cut, Copy, Paste, Delete
    QTest::newRow("just loaded") << "loaded" << QList<bool>{false, false, false, true, false};
    QTest::newRow("after Einfügen") << "inserted" << QList<bool>{true, true, true, true, true};
    QTest::newRow("locked with selection") << "locked" << QList<bool>{true, false, true, true, false};
    QTest::newRow("clipboard holds an image") << "image" << QList<bool>{true, true, true, false, true};
}

void TestExport::editMenu()
{
    QFETCH(QString, situation);
    QFETCH(QList<bool>, enabled);
    ExportWindow* window = exportPage("<p>eins</p>\r\n<p>zwei</p>\r\n");
    QVERIFY(window);
    if (situation != QLatin1String("loaded")) {
        clickAt(window->ui.Text1, 3);
        window->ui.Command1->click();
    }
    if (situation == QLatin1String("locked"))
        window->ui.Text1->setReadOnly(true);
    if (situation == QLatin1String("image"))
        clipboard()->setImage(QImage(2, 2, QImage::Format_RGB32));

    QMenu* menu = window->ui.mnuEditTop;
    QCOMPARE(menu->title(), QStringLiteral("&Edit"));
    QCOMPARE(menu->objectName(), QStringLiteral("mnuEditTop"));
    menu->popup(window->mapToGlobal(QPoint(10, 10)));
    QList<bool> shown;
    for (int i : {0, 2, 3, 4, 5})
        shown << window->ui.mnuEdit[i]->isEnabled();
    menu->hide();
    QCOMPARE(shown, enabled);

    const QStringList captions = {"&Undo", "", "Cu&t", "&Copy", "&Paste", "&Delete"};
    const QStringList keys = {"Ctrl+Z", "", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Del"};
    for (int i = 0; i < 6; ++i) {
        QAction* item = window->ui.mnuEdit[i];
        QCOMPARE(item->objectName(), QStringLiteral("mnuEdit_%1").arg(i));
        QCOMPARE(item->text(), captions[i]);
        QCOMPARE(item->shortcut().toString(), keys[i]);
        QCOMPARE(item->isSeparator(), i == 1);
    }

    if (situation == QLatin1String("inserted")) {
        // Copy takes the selected code, Delete removes it, Undo brings it back,
        // Cut and Paste move it.
        const QString page = QStringLiteral("<p>eins</p>\r\n<p>zwei</p>\r\n");
        const QString withCode = window->pageText();
        const Selection code = selectionOf(window->ui.Text1);
        window->ui.mnuEdit[3]->trigger();
        QCOMPARE(clipboard()->text(), QString(kExpectedCode).replace("\r\n", "\n"));
        window->ui.mnuEdit[5]->trigger();
        QCOMPARE(window->pageText(), page);
        window->ui.mnuEdit[0]->trigger();
        QCOMPARE(window->pageText(), withCode);
        clickAt(window->ui.Text1, code.first);
        clickAt(window->ui.Text1, code.second, Qt::ShiftModifier);
        window->ui.mnuEdit[2]->trigger();
        QCOMPARE(window->pageText(), page);
        clickAt(window->ui.Text1, 0);
        window->ui.mnuEdit[4]->trigger();
        QCOMPARE(window->pageText(), kExpectedCode + page);
    }
}

void TestExport::speichernWritesExactBytes_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("withCode");
    // The code pasted before "</body>": "<map title=\"Bü→\">" CR LF "</map>" CR LF. In a single-byte page
    // the arrow, which Windows-1252 lacks, becomes a character reference.
    QTest::newRow("Windows-1252, CR LF") << QByteArray("<p>Gr\xFC\xDF"
                                                       "e\xA0\x80</p>\r\n</body>\r\n")
                                         << QByteArray("<p>Gr\xFC\xDF"
                                                       "e\xA0\x80</p>\r\n<map title=\"B\xFC&#8594;\">\r\n</map>\r\n"
                                                       "</body>\r\n");
    QTest::newRow("UTF-8 with umlauts, LF")
        << QByteArray("<p>Gr\xC3\xBC\xC3\x9F"
                      "e</p>\n</body>\n")
        << QByteArray("<p>Gr\xC3\xBC\xC3\x9F"
                      "e</p>\n<map title=\"B\xC3\xBC\xE2\x86\x92\">\n</map>\n</body>\n");
    // Pages without any line break: the code keeps its own CR LF.
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF<p>\xE2\x82\xAC</p></body>")
        << QByteArray("\xEF\xBB\xBF<p>\xE2\x82\xAC</p><map title=\"B\xC3\xBC\xE2\x86\x92\">\r\n</map>\r\n</body>");
    QTest::newRow("CR only, ASCII naming no charset")
        << QByteArray("<p>a</p>\r</body>\r") << QByteArray("<p>a</p>\r<map title=\"B\xFC&#8594;\">\r</map>\r</body>\r");
    QTest::newRow("mixed line ends keep their places")
        << QByteArray("a\r\nb\nc\rd\r\n</body>\n")
        << QByteArray("a\r\nb\nc\rd\r\n<map title=\"B\xFC&#8594;\">\r\n</map>\r\n</body>\n");
    QTest::newRow("ASCII that declares Latin-1")
        << QByteArray("<meta charset=\"ISO-8859-1\"></body>")
        << QByteArray("<meta charset=\"ISO-8859-1\"><map title=\"B\xFC&#8594;\">\r\n</map>\r\n</body>");
    QTest::newRow("ASCII that declares UTF-8")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"></body>")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
                      "<map title=\"B\xC3\xBC\xE2\x86\x92\">\r\n</map>\r\n</body>");
    QTest::newRow("ASCII XML naming no encoding")
        << QByteArray("<?xml version=\"1.0\"?>\n</body>\n")
        << QByteArray("<?xml version=\"1.0\"?>\n<map title=\"B\xC3\xBC\xE2\x86\x92\">\n</map>\n</body>\n");
    // Written back as UTF-16 with its mark: single bytes in between would break the page.
    for (const auto& [name, encoding, mark] : {std::tuple("UTF-16 little-endian", QStringEncoder::Utf16LE, "\xFF\xFE"),
                                               std::tuple("UTF-16 big-endian", QStringEncoder::Utf16BE, "\xFE\xFF")}) {
        auto bytes = [&](const QString& text) { return QByteArray(mark) + QStringEncoder(encoding).encode(text); };
        QTest::newRow(name) << bytes("<p>Grüße</p>\r\n</body>\r\n")
                            << bytes("<p>Grüße</p>\r\n<map title=\"Bü→\">\r\n</map>\r\n</body>\r\n");
    }
    QTest::newRow("NUL, no-break space and no final line end")
        << QByteArray("a\0\xA0\r\nx</body>", 13)
        << QByteArray("a\0\xA0\r\nx<map title=\"B\xFC&#8594;\">\r\n</map>\r\n</body>", 46);
}

void TestExport::speichernWritesExactBytes()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, withCode);
    ExportWindow* window = exportPage(page);
    QVERIFY(window);
    const QString path = window->tag();

    // Untouched, the page is written back byte for byte.
    m_platform->fileAnswers.enqueue(path);
    QTest::mouseClick(window->ui.Command2, Qt::LeftButton);
    QCOMPARE(m_platform->dialogs.size(), 2);
    QCOMPARE(m_platform->dialogs[1].owner, window);
    QCOMPARE(textsOf(m_platform->dialogs[1]), (QStringList{"Save", "HTML-Datei speichern unter...", m_dir->path() + "/",
                                                           path, "HTML-Datei (*.html)|*.html", "*.html"}));
    QCOMPARE(readFile(path), page);
    QVERIFY(window->isSaved());

    clipboard()->setText(QStringLiteral("<map title=\"Bü→\">\r\n</map>\r\n"));
    clickAt(window->ui.Text1, positionOf(window, QStringLiteral("</body>")));
    window->ui.Command1->click();
    QVERIFY(!window->isSaved());
    m_platform->fileAnswers.enqueue(m_dir->filePath("neu.html"));
    window->ui.Command2->click();
    QCOMPARE(readFile(m_dir->filePath("neu.html")), withCode);
    QCOMPARE(readFile(path), page);
    QVERIFY(window->isSaved());
    QVERIFY(m_platform->boxes.isEmpty());
}

void TestExport::removedLineEndStaysRemoved()
{
    // LF is the odd line end here; its invisible marker must not leak or revive.
    ExportWindow* window = exportPage("a\r\nb\nc\r\nd\r\n");
    QVERIFY(window);
    QPlainTextEdit* text = window->ui.Text1;
    text->selectAll();
    window->textBoxEdit().Copy();
    QCOMPARE(clipboard()->text(), QStringLiteral("a\nb\nc\nd\n"));
    QCOMPARE(window->ui.Label2->text(), QStringLiteral("File= seite.html  Size: 011 Byte"));

    text->setFocus();
    clickAt(text, 0);
    QTest::keyClick(text, Qt::Key_Down);
    QTest::keyClick(text, Qt::Key_End);
    QTest::keyClick(text, Qt::Key_Delete); // joins "b" and "c"
    QTest::keyClick(text, Qt::Key_Down);
    QTest::keyClick(text, Qt::Key_End);
    QTest::keyClick(text, Qt::Key_Return); // a new line takes the usual line end
    QTest::keyClicks(text, QStringLiteral("e"));
    QCOMPARE(text->toPlainText().remove(QChar(0x2063)), QStringLiteral("a\nbc\nd\ne\n"));
    QCOMPARE(window->pageText(), QStringLiteral("a\r\nbc\r\nd\r\ne\r\n"));
    QCOMPARE(window->ui.Label2->text(), QStringLiteral("File= seite.html  Size: 013 Byte"));
}

void TestExport::lineEndsAroundTheCaretStay_data()
{
    QTest::addColumn<QByteArray>("before"); // the bytes of the page up to the caret
    QTest::addColumn<QString>("keys");      // typed after the code was inserted, at its end
    // The page has mostly CR LF, one line of each other kind; the caret at the
    // end of a line (in front of its line end) or at the start of the next.
    QTest::newRow("end of a lone CR line") << QByteArray("a\r\nb") << QString();
    QTest::newRow("start of the line after a lone CR") << QByteArray("a\r\nb\r") << QString();
    QTest::newRow("end of a CR LF line") << QByteArray("a\r\nb\rc\nd") << QString();
    QTest::newRow("end of the page") << QByteArray("a\r\nb\rc\nd\r\ne\r\n") << QString();
    QTest::newRow("typing at the end of a lone CR line") << QByteArray("a\r\nb") << QString("xy");
}

// Every byte outside the inserted code stays as it was.
void TestExport::lineEndsAroundTheCaretStay()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, keys);
    const QByteArray page("a\r\nb\rc\nd\r\ne\r\n");
    ExportWindow* window = exportPage(page);
    QVERIFY(window);
    const QString code = QStringLiteral("<map>\r\n</map>\r\n");
    clipboard()->setText(code);
    // The caret goes where the user puts it: on the line, then End for its end.
    QPlainTextEdit* text = window->ui.Text1;
    const int line = int(QString::fromLatin1(before).split(QRegularExpression("\r\n|\r|\n")).size() - 1);
    clickAt(text, text->document()->findBlockByNumber(line).position());
    if (!before.endsWith('\n') && !before.endsWith('\r'))
        QTest::keyClick(text, Qt::Key_End);
    window->ui.Command1->click();
    QTest::keyClick(text, Qt::Key_Right); // from the selected code to its end
    QTest::keyClicks(text, keys);
    m_platform->fileAnswers.enqueue(m_dir->filePath("neu.html"));
    window->ui.Command2->click();
    QCOMPARE(readFile(m_dir->filePath("neu.html")), QByteArray(page).insert(before.size(), (code + keys).toLatin1()));
}

void TestExport::speichernFailureKeepsOldFile()
{
    ExportWindow* window = exportPage("<p>alt</p>");
    QVERIFY(window);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("ordner.html")));
    const QString target = m_dir->filePath("ordner.html");
    m_platform->fileAnswers.enqueue(QString()); // cancelled
    m_platform->fileAnswers.enqueue(target);
    window->ui.Command2->click();
    QVERIFY(m_platform->boxes.isEmpty());
    window->ui.Command2->click();

    QCOMPARE(m_platform->boxes, QList<ShownBox>{speichernFailedBox(target)});
    QVERIFY(!window->isSaved());
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(readFile(window->tag()), QByteArray("<p>alt</p>"));
}

// The disk fills up while the page is written over itself: a warning, and
// the page on disk stays as it was.
void TestExport::speichernOnFullDiskKeepsOldFile()
{
    const QByteArray page = QByteArray("<p>Zeile</p>\r\n").repeated(200) + "</body>\r\n";
    ExportWindow* window = exportPage(page);
    QVERIFY(window);
    QTextCursor caret = window->ui.Text1->textCursor();
    caret.setPosition(positionOf(window, QStringLiteral("</body>")));
    window->ui.Text1->setTextCursor(caret);
    window->ui.Command1->click();
    const QString path = window->tag();
    m_platform->fileAnswers.enqueue(path);
    QVERIFY(onFullDisk(1000, [&] { window->ui.Command2->click(); }));
    QCOMPARE(m_platform->boxes, QList<ShownBox>{speichernFailedBox(path)});
    QVERIFY(!window->isSaved());
    QCOMPARE(readFile(path), page);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"seite.html"});
}

void TestExport::closeQuestion_data()
{
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<bool>("closeMain"); // closing the main window asks for the page too
    QTest::newRow("Yes saves and stays open") << MessageButton::Yes << false;
    QTest::newRow("No closes") << MessageButton::No << false;
    QTest::newRow("Abbrechen stays open") << MessageButton::Cancel << false;
    QTest::newRow("main window: Yes keeps both open") << MessageButton::Yes << true;
    QTest::newRow("main window: No closes both") << MessageButton::No << true;
    QTest::newRow("main window: Abbrechen keeps both open") << MessageButton::Cancel << true;
}

void TestExport::closeQuestion()
{
    QFETCH(MessageButton, answer);
    QFETCH(bool, closeMain);
    const bool answerYes = answer == MessageButton::Yes;
    ExportWindow* window = exportPage("<p>seite</p>");
    QVERIFY(window);
    const QString page = window->pageText();
    m_main->document().markSaved(); // only the page is unsaved
    m_platform->answers.enqueue(answer);
    m_platform->fileAnswers.enqueue(window->tag());
    QCOMPARE(closeMain ? m_main->close() : window->close(), answer == MessageButton::No);

    const ShownBox question{"Korvane Kontrollabfrage",
                            "Der HTML-Code wurde noch nicht gespeichert. Soll der Code jetzt gespeichert werden?",
                            MessageIcon::Question,
                            {MessageButton::Yes, MessageButton::No, MessageButton::Cancel},
                            MessageButton::Yes};
    QCOMPARE(m_platform->boxes, QList<ShownBox>{question});
    QCOMPARE(window->isVisible(), answer != MessageButton::No);
    QCOMPARE(m_platform->dialogs.size(), answerYes ? 2 : 1);
    if (answer == MessageButton::Cancel) {
        QCOMPARE(window->pageText(), page); // untouched, still unsaved
        QVERIFY(!window->isSaved());
        return;
    }
    if (answerYes) {
        QVERIFY(window->isSaved());
        QVERIFY(window->close()); // saved now: no second question
        QCOMPARE(m_platform->boxes.size(), 1);
    }
    QVERIFY(!window->isVisible());
    QVERIFY(window->ui.Text1->document()->isEmpty());
}

void TestExport::sizeCount_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* name, qint64 count, const char* locale, const char* shown) {
        QTest::newRow(name) << count << QString(locale) << QString(shown);
    };
    row("zero", 0, "C", "000");
    row("five", 5, "C", "005");
    row("three digits", 999, "C", "999");
    row("thousand", 1000, "C", "1,000");
    row("limit", 65536, "C", "65,536");
    row("millions", 1234567, "C", "1,234,567");
    row("German separator", 1234567, "de_DE", "1.234.567");
}

void TestExport::sizeCount()
{
    QFETCH(qint64, count);
    QFETCH(QString, locale);
    QFETCH(QString, shown);
    QCOMPARE(ExportWindow::formatCount(count, QLocale(locale)), shown);
}

void TestExport::resizeRule()
{
    ExportWindow* window = exportPage("<p>x</p>");
    QVERIFY(window);
    window->resize(800, 600);
    QTRY_COMPARE(window->ui.Text1->width(), window->frameGeometry().width() - 20);
    const int bars = window->ui.Picture1->height() + window->ui.Picture2->height();
    QCOMPARE(window->ui.Text1->height(), window->frameGeometry().height() - bars - 67);
    QCOMPARE(window->ui.Text1->y(), window->ui.Picture1->geometry().bottom() + 1);
    // A height that would be negative is not applied; the width still follows.
    const int heightBefore = window->ui.Text1->height();
    window->resize(300, 150);
    QTRY_COMPARE(window->ui.Text1->width(), window->frameGeometry().width() - 20);
    QVERIFY(window->frameGeometry().height() - bars - 67 < 0);
    QCOMPARE(window->ui.Text1->height(), heightBefore);
}

// With the setting on, the code names the picture relative to the page it goes into.
void TestExport::relativePicturePathIntoThePage()
{
    const QString picture = m_dir->filePath("Bilder/Plan Haus.png");
    QVERIFY(QDir().mkpath(m_dir->filePath("Bilder")) && writeFile(picture, "png"));
    m_main->findChild<QAction*>(QStringLiteral("mnuBildpfadRelativ"))->trigger();
    QVERIFY(m_main->state().relativeImagePath);
    const QString page = QStringLiteral("<html>\r\n<body>\r\n</body>\r\n</html>\r\n");
    ExportWindow* window = exportPage(page.toUtf8());
    QVERIFY(window);
    m_main->document().setImagePath(picture);
    m_main->map_daten();
    // Again, now that the map names a picture this system reaches.
    m_platform->fileAnswers.enqueue(window->tag());
    m_main->ui.Command12->click();
    const QString code = QString(kExpectedCode)
                             .replace("file:///C:/web/plan.png", "Bilder/Plan%20Haus.png")
                             .replace("#plan", "#plan_haus")
                             .replace("\"plan\"", "\"plan_haus\"");
    QCOMPARE(clipboard()->text(), code);
    QCOMPARE(m_main->mapCode(), QString(code).replace("Bilder/Plan%20Haus.png", "file://" + m_dir->path() +
                                                                                  "/Bilder/Plan Haus.png"));

    clickAt(window->ui.Text1, positionOf(window, QStringLiteral("</body>")));
    window->ui.Command1->click();
    m_platform->fileAnswers.enqueue(m_dir->filePath("neu.html"));
    window->ui.Command2->click();
    // The page came as single bytes and goes back so.
    QCOMPARE(readFile(m_dir->filePath("neu.html")), QString(page).insert(page.indexOf("</body>"), code).toLatin1());
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
