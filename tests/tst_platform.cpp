#include "platform/FileDialogs.h"
#include "platform/QtPlatform.h"
#include "support/Modal.h"
#include "support/ScriptedPlatform.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace korvane;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void nameFilters_data();
    void nameFilters();
    void defaultSuffix_data();
    void defaultSuffix();
    void chosenFileHandsBackFolder();
    void cancelLeavesFolderAndCurrentDirectory();
    void messageHelpersRecordBoxes();
    void realBoxAnswers_data();
    void realBoxAnswers();
};

// The real dialog shows each description as it stands (the patterns are
// not added a second time) and lists the files of the first pattern list.
void TestPlatform::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("patterns"); // of the preselected first pair
    QTest::newRow("two pairs") << "A|*.a|B|*.b" << QStringList{"A", "B"} << QStringList{"*.a"};
    QTest::newRow("images") << "Bilddateien (*.png,*.jpg,*.gif,*.bmp) |*.bmp;*.jpg;*.jpeg;*.gif;*.png"
                            << QStringList{"Bilddateien (*.png,*.jpg,*.gif,*.bmp)"}
                            << QStringList{"*.bmp", "*.jpg", "*.jpeg", "*.gif", "*.png"};
    QTest::newRow("dangling description") << "A|*.a|B" << QStringList{"A"} << QStringList{"*.a"};
}

void TestPlatform::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, patterns);
    QTemporaryDir dir;
    setPlatform(std::make_unique<QtPlatform>());
    QStringList items, applied;
    test::whenModalOpens([&](QWidget* modal) {
        if (auto* combo = modal->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            applied = modal->findChild<QFileSystemModel*>()->nameFilters();
        }
        modal->close();
    });
    QString folder = dir.path();
    QCOMPARE(showOpenDialog(nullptr, "Titel", folder, QString(), filter, "*.x"), QString());
    QCOMPARE(items, shown);
    QCOMPARE(applied, patterns);
}

void TestPlatform::defaultSuffix_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("html") << "*.html"
                          << "html";
    QTest::newRow("list") << "*.html;*.htm;*.php;*.asp"
                          << "html";
    QTest::newRow("any") << "*.*"
                         << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestPlatform::defaultSuffix()
{
    QFETCH(QString, extension);
    QFETCH(QString, suffix);
    QCOMPARE(defaultSuffixOf(extension), suffix);
}

void TestPlatform::chosenFileHandsBackFolder()
{
    QTemporaryDir dir;
    auto& scripted = test::installScriptedPlatform();
    const QString chosen = dir.path() + QStringLiteral("/a.html");
    scripted.fileAnswers.enqueue(chosen);
    QString folder = QStringLiteral("/start");
    const QString name = showSaveDialog(nullptr, "Titel", folder, "x.html", "HTML-Datei (*.html)|*.html", "*.html");
    QCOMPARE(name, QStringLiteral("a.html"));
    QCOMPARE(folder, dir.path() + QLatin1Char('/'));
    QCOMPARE(QDir::current().absolutePath(), QDir(dir.path()).absolutePath());
    QCOMPARE(scripted.dialogs.size(), qsizetype(1));
    const FileDialogRequest& request = scripted.dialogs.first();
    QCOMPARE(request.mode, FileDialogRequest::Mode::Save);
    QCOMPARE(request.title, QStringLiteral("Titel"));
    QCOMPARE(request.folder, QStringLiteral("/start"));
    QCOMPARE(request.presetName, QStringLiteral("x.html"));
}

void TestPlatform::cancelLeavesFolderAndCurrentDirectory()
{
    auto& scripted = test::installScriptedPlatform();
    const QString before = QDir::currentPath();
    QString folder = QStringLiteral("/start/");
    QCOMPARE(showOpenDialog(nullptr, "T", folder, QString(), "A|*.a", "*.a"), QString());
    QCOMPARE(folder, QStringLiteral("/start/"));
    QCOMPARE(QDir::currentPath(), before);
    QCOMPARE(scripted.dialogs.first().mode, FileDialogRequest::Mode::Open);
}

void TestPlatform::messageHelpersRecordBoxes()
{
    auto& scripted = test::installScriptedPlatform();
    scripted.answers.enqueue(MessageButton::No);
    QVERIFY(!askYesNo(nullptr, kQuestionTitle, "Frage?", MessageButton::No));
    inform(nullptr, "Hinweis");
    QCOMPARE(scripted.boxes.size(), qsizetype(2));
    QCOMPARE(scripted.boxes[0].title, QStringLiteral("Korvane Kontrollabfrage"));
    QCOMPARE(scripted.boxes[0].icon, MessageIcon::Question);
    QCOMPARE(scripted.boxes[0].defaultButton, MessageButton::No);
    QCOMPARE(scripted.boxes[0].buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
    QCOMPARE(scripted.boxes[1].title, QStringLiteral("korvane"));
    QCOMPARE(scripted.boxes[1].text, QStringLiteral("Hinweis"));
    QCOMPARE(scripted.boxes[1].icon, MessageIcon::Information);
}

void TestPlatform::realBoxAnswers_data()
{
    QTest::addColumn<bool>("cancelOffered");
    QTest::addColumn<QString>("action"); // what the user does to the box
    QTest::addColumn<MessageButton>("answer");
    QTest::newRow("Abbrechen clicked") << true << "Abbrechen" << MessageButton::Cancel;
    QTest::newRow("Escape: Abbrechen") << true << "Escape" << MessageButton::Cancel;
    QTest::newRow("close button: Abbrechen") << true << "close" << MessageButton::Cancel;
    QTest::newRow("Nein clicked") << true << "Nein" << MessageButton::No;
    QTest::newRow("Ja clicked") << true << "Ja" << MessageButton::Yes;
    QTest::newRow("Escape without Abbrechen: Nein") << false << "Escape" << MessageButton::No;
    QTest::newRow("close button without Abbrechen: Nein") << false << "close" << MessageButton::No;
}

// The real message box, in German as the program shows it: a question whose
// No would throw work away has "Abbrechen" beside "Ja" and "Nein", and Escape
// and the title bar's close button answer it.
void TestPlatform::realBoxAnswers()
{
    QFETCH(bool, cancelOffered);
    QFETCH(QString, action);
    QFETCH(MessageButton, answer);
    QTranslator german;
    QVERIFY(german.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&german);
    setPlatform(std::make_unique<QtPlatform>());
    QStringList captions;
    test::whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        for (QAbstractButton* button : box->buttons())
            captions << button->text().remove(QLatin1Char('&'));
        if (action == QLatin1String("Escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (action == QLatin1String("close"))
            box->close();
        else
            for (QAbstractButton* button : box->buttons())
                if (button->text().remove(QLatin1Char('&')) == action)
                    button->click();
    });
    const MessageButton given =
        cancelOffered
            ? askYesNoCancel(nullptr, kQuestionTitle, QStringLiteral("Frage?"))
            : (askYesNo(nullptr, kQuestionTitle, QStringLiteral("Frage?")) ? MessageButton::Yes : MessageButton::No);
    QCoreApplication::removeTranslator(&german);
    captions.sort();
    QCOMPARE(captions, cancelOffered ? QStringList({"Abbrechen", "Ja", "Nein"}) : QStringList({"Ja", "Nein"}));
    QCOMPARE(given, answer);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
