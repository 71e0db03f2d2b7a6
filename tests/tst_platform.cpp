#include "platform/FileDialogs.h"
#include "support/ScriptedPlatform.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

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
};

void TestPlatform::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two pairs") << "A|*.a|B|*.b" << QStringList{"A (*.a)", "B (*.b)"};
    QTest::newRow("images") << "Bilddateien (*.png,*.jpg,*.gif,*.bmp) |*.bmp;*.jpg;*.jpeg;*.gif;*.png"
                            << QStringList{"Bilddateien (*.png,*.jpg,*.gif,*.bmp) (*.bmp *.jpg *.jpeg *.gif *.png)"};
    QTest::newRow("dangling description") << "A|*.a|B" << QStringList{"A (*.a)"};
}

void TestPlatform::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(nameFiltersOf(filter), expected);
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

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
