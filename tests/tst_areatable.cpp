#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "windows/AreaTableWindow.h"
#include "canvas/EditHandles.h"
#include "support/BlankPicture.h"
#include "support/Menus.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace korvane;
using korvane::test::row;

namespace {

const QString kPad = QStringLiteral("                    |");

QString line(const QString& shape, const QString& coords, const QString& href, const QString& alt,
             const QString& target = QStringLiteral("*"))
{
    return " " + shape + kPad + coords + "|" + href + "|" + alt + "|" + target + "|*|*|*";
}

const QStringList kThree{line("rect", "10,20,110,70", "start.html", "Startseite"),
                         line("circle", "200,150,40", "kontakt.html", "Kontakt", "_blank"),
                         line("poly", "300,10,390,60,300,110", "info.html", "Info")};

// What the table shows, row by row in its order: the list position, then the five cells.
QStringList shownRows(const QTableView* view)
{
    const QAbstractItemModel* model = view->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells{model->headerData(r, Qt::Vertical).toString()};
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The editor with three areas in edit mode and the table opened by its shortcut.
struct TableEditor : korvane::test::BlankEditor {
    korvane::test::SettingsFolder settings;
    AreaTableWindow* table = nullptr;

    explicit TableEditor(const QStringList& lines = kThree)
    {
        w.areas().setLines(lines);
        w.refresh();
        w.ui.Option1[3]->setEnabled(true);
        w.ui.Option1[3]->click();
        QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
        table = w.findChild<AreaTableWindow*>(QStringLiteral("frmArealtabelle"));
        QVERIFY(table);
        QVERIFY(QTest::qWaitForWindowExposed(table));
        activateEditor();
    }
    void activateEditor()
    {
        w.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &w);
    }
    QTableView* view() { return table->view(); }
    QPoint cellCentre(int row, int column = 1)
    {
        return view()->visualRect(view()->model()->index(row, column)).center();
    }
    void clickCell(int row) { QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellCentre(row)); }
    int tableCurrentRow() { return view()->selectionModel()->currentIndex().row(); }
};

enum class Change { Draw, MoveByKey, Delete, UndoDraw, UndoDelete, UndoClear, Attributes };

} // namespace

Q_DECLARE_METATYPE(Change)

class TestAreaTable : public QObject {
    Q_OBJECT
private slots:
    void opensAndKeepsItsSize_data();
    void opensAndKeepsItsSize();
    void followsEveryChange_data();
    void followsEveryChange();
    void selectionIsShared();
    void filtersAndSortsWithoutChangingTheCode_data();
    void filtersAndSortsWithoutChangingTheCode();
    void doubleClickOpensAttributeEditor();
};

void TestAreaTable::opensAndKeepsItsSize_data()
{
    QTest::addColumn<bool>("byMenu");
    row("shortcut Ctrl+T", false);
    row("list's context menu", true);
}

void TestAreaTable::opensAndKeepsItsSize()
{
    QFETCH(bool, byMenu);
    korvane::test::SettingsFolder settings;
    {
        korvane::test::BlankEditor e;
        e.w.areas().setLines(kThree);
        if (byMenu) {
            const QStringList entries = korvane::test::menuShownBy(
                [&] {
                    QContextMenuEvent event(QContextMenuEvent::Mouse, e.rowCentre(0),
                                            e.w.ui.List1->viewport()->mapToGlobal(e.rowCentre(0)));
                    QApplication::sendEvent(e.w.ui.List1->viewport(), &event);
                },
                3);
            QCOMPARE(entries, QStringList({"Rückgängig (aus)", "Wiederherstellen (aus)", "", "Arealtabelle..."}));
        } else {
            QTest::keyClick(&e.w, Qt::Key_T, Qt::ControlModifier);
        }
        auto* table = e.w.findChild<AreaTableWindow*>(QStringLiteral("frmArealtabelle"));
        QVERIFY(table);
        QTRY_VERIFY(table->isVisible());
        QCOMPARE(table->windowTitle(), QStringLiteral("Arealtabelle"));
        QVERIFY(table->isWindow());
        QVERIFY(!table->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(table->size(), QSize(640, 360));
        const QAbstractItemModel* model = table->view()->model();
        QStringList titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"Form", "Koordinaten", "Verweisziel", "Alternativer Text", "Target"}));
        QCOMPARE(shownRows(table->view()), QStringList({"1|rect|10,20,110,70|start.html|Startseite|",
                                                        "2|circle|200,150,40|kontakt.html|Kontakt|_blank",
                                                        "3|poly|300,10,390,60,300,110|info.html|Info|"}));
        // The map is untouched by opening its table.
        QCOMPARE(e.w.areas().lines(), kThree);
        table->resize(520, 310);
        table->close();
    }
    const QString file = settingsFilePath();
    QCOMPARE(iniGetSettingString("Arealtabelle", "Breite", file), QStringLiteral("520"));
    QCOMPARE(iniGetSettingString("Arealtabelle", "Hoehe", file), QStringLiteral("310"));
    // The next run opens it at that size.
    korvane::test::BlankEditor again;
    QTest::keyClick(&again.w, Qt::Key_T, Qt::ControlModifier);
    auto* table = again.w.findChild<AreaTableWindow*>(QStringLiteral("frmArealtabelle"));
    QVERIFY(table);
    QCOMPARE(table->size(), QSize(520, 310));
    QVERIFY(table->view()->model()->rowCount() == 0);
}

void TestAreaTable::followsEveryChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("rows");
    const QString first = "1|rect|10,20,110,70|start.html|Startseite|";
    const QString second = "2|circle|200,150,40|kontakt.html|Kontakt|_blank";
    const QString third = "3|poly|300,10,390,60,300,110|info.html|Info|";
    row("drawing a rectangle", Change::Draw, QStringList{first, second, third, "4|rect|40,200,120,260|neu.html|Neu|"});
    row("moving by a key", Change::MoveByKey,
        QStringList{first, "2|circle|201,150,40|kontakt.html|Kontakt|_blank", third});
    row("deleting", Change::Delete, QStringList{first, "2|poly|300,10,390,60,300,110|info.html|Info|"});
    row("undoing a drawing", Change::UndoDraw, QStringList{first, second, third});
    row("undoing a deletion", Change::UndoDelete, QStringList{first, second, third});
    row("undoing clear", Change::UndoClear, QStringList{first, second, third});
    row("new attributes", Change::Attributes,
        QStringList{first, "2|circle|200,150,40|kontakt.html|Anfahrt|_blank", third});
}

void TestAreaTable::followsEveryChange()
{
    QFETCH(Change, change);
    QFETCH(QStringList, rows);
    TableEditor e;
    e.w.setSelectedIndex(1);
    // Ctrl+Z with the image focused, as after a click on it.
    const auto undo = [&] {
        // Back from the table (or a closed dialog) to the editor's window.
        e.activateEditor();
        e.canvas()->setFocus();
        QTest::keyClick(e.canvas(), Qt::Key_Z, Qt::ControlModifier);
    };
    const auto drawRectangle = [&] {
        e.w.linkDialog = [&] { return e.w.runLinkDialog(); };
        korvane::test::whenModalOpens([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("Text1")->setText("neu.html");
            dialog->findChild<QLineEdit*>("text2")->setText("Neu");
            dialog->findChild<QPushButton*>("Command2")->click();
        });
        e.w.ui.Option1[1]->click();
        e.drag(e.canvas(), QPoint(40, 200), QPoint(120, 260));
    };
    const auto deleteSecond = [&] {
        e.platform.answers.enqueue(MessageButton::Yes);
        QTest::keyClick(e.canvas(), Qt::Key_Delete);
    };
    switch (change) {
    case Change::Draw:
        drawRectangle();
        break;
    case Change::MoveByKey:
        QTest::keyClick(e.canvas(), Qt::Key_Right);
        break;
    case Change::Delete:
        deleteSecond();
        break;
    case Change::UndoDraw:
        drawRectangle();
        QCOMPARE(e.view()->model()->rowCount(), 4);
        undo();
        break;
    case Change::UndoDelete:
        deleteSecond();
        QCOMPARE(e.view()->model()->rowCount(), 2);
        undo();
        break;
    case Change::UndoClear:
        e.platform.answers.enqueue(MessageButton::Yes);
        e.w.ui.Command3->click();
        QCOMPARE(e.view()->model()->rowCount(), 0);
        undo();
        break;
    case Change::Attributes:
        korvane::test::whenModalOpens([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("text2")->setText("Anfahrt");
            dialog->findChild<QPushButton*>("Command2")->click();
        });
        e.w.ui.Command9->click();
        break;
    }
    QCOMPARE(shownRows(e.view()), rows);
    // The table shows the list's selection after every change.
    const int selected = e.w.selectedIndex();
    QCOMPARE(e.tableCurrentRow(), selected);
    if (selected >= 0)
        QVERIFY(e.view()->selectionModel()->isRowSelected(selected));
}

void TestAreaTable::selectionIsShared()
{
    TableEditor e;
    // From the table to the list, the canvas's handles and the code.
    e.clickCell(2);
    QCOMPARE(e.w.selectedIndex(), 2);
    QCOMPARE(e.w.ui.List1->currentIndex().row(), 2);
    QCOMPARE(e.w.handles().count(), 4); // the anchor and the polygon's three points
    // From the list to the table.
    e.clickRow(0);
    QCOMPARE(e.tableCurrentRow(), 0);
    // Sorted by the link: the rows move, the selection goes with its area.
    e.view()->sortByColumn(2, Qt::AscendingOrder);
    QStringList numbers;
    for (const QString& r : shownRows(e.view()))
        numbers << r.section('|', 0, 0);
    QCOMPARE(numbers, QStringList({"3", "2", "1"}));
    QCOMPARE(e.tableCurrentRow(), 2);
    QCOMPARE(e.w.selectedIndex(), 0);
    // A click on the sorted table's first row ("info.html") selects list row 2,
    // on its last ("start.html") list row 0.
    e.clickCell(0);
    QCOMPARE(e.w.selectedIndex(), 2);
    e.clickCell(2);
    QCOMPARE(e.w.selectedIndex(), 0);
    e.clickCell(0);
    // Keys in the table choose too.
    QTest::keyClick(e.view(), Qt::Key_Down);
    QCOMPARE(e.w.selectedIndex(), 1);
    // The filter hiding the selected area leaves the list's selection alone.
    QTest::keyClicks(e.table->filterField(), "info");
    QCOMPARE(e.view()->model()->rowCount(), 1);
    QCOMPARE(e.tableCurrentRow(), -1);
    QCOMPARE(e.w.selectedIndex(), 1);
    e.table->filterField()->clear();
    QCOMPARE(e.view()->model()->rowCount(), 3);
    QCOMPARE(e.view()->model()->headerData(e.tableCurrentRow(), Qt::Vertical).toString(), QStringLiteral("2"));
}

void TestAreaTable::filtersAndSortsWithoutChangingTheCode_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("numbers"); // the list positions shown, in the table's order
    QTest::addColumn<QString>("fourth");      // the coordinates of the fourth area
    const QString usual = QStringLiteral("9,9,30,30");
    row("no filter, list order", QString(), -1, Qt::AscendingOrder, QStringList{"1", "2", "3", "4"}, usual);
    row("by shape", QString(), 0, Qt::AscendingOrder, QStringList{"2", "3", "1", "4"}, usual);
    row("by coordinates, numbers by value", QString(), 1, Qt::AscendingOrder, QStringList{"4", "1", "2", "3"}, usual);
    row("by coordinates, descending", QString(), 1, Qt::DescendingOrder, QStringList{"3", "2", "1", "4"}, usual);
    row("by link", QString(), 2, Qt::AscendingOrder, QStringList{"3", "2", "1", "4"}, usual);
    row("by target, empty first, equals in list order", QString(), 4, Qt::AscendingOrder,
        QStringList{"1", "3", "4", "2"}, usual);
    row("filter on a link, any case", "KONTAKT", -1, Qt::AscendingOrder, QStringList{"2"}, usual);
    row("filter on coordinates", "110", -1, Qt::AscendingOrder, QStringList{"1", "3"}, usual);
    row("filter on the shape, sorted by link", "rect", 2, Qt::AscendingOrder, QStringList{"1", "4"}, usual);
    row("filter on the target", "_blank", -1, Qt::AscendingOrder, QStringList{"2"}, usual);
    row("filter matching nothing", "xyz", 0, Qt::AscendingOrder, QStringList{}, usual);
    // The numbers a browser reads: 99.9e1 is 999, after 110.
    row("by coordinates as a browser reads them", QString(), 1, Qt::AscendingOrder, QStringList{"1", "4", "2", "3"},
        QString("10,20,99.9e1,0"));
}

void TestAreaTable::filtersAndSortsWithoutChangingTheCode()
{
    QFETCH(QString, filter);
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, numbers);
    QFETCH(QString, fourth);
    TableEditor e(kThree + QStringList{line("rect", fourth, "ueber.html", "Über uns")});
    const QString code = e.w.mapCode();
    QTest::keyClicks(e.table->filterField(), filter);
    if (column >= 0) {
        // Clicking the header sorts ascending, a second click descending.
        QHeaderView* header = e.view()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        if (order == Qt::DescendingOrder)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList shown;
    for (const QString& r : shownRows(e.view()))
        shown << r.section('|', 0, 0);
    QCOMPARE(shown, numbers);
    QCOMPARE(e.w.areas().lines(), kThree + QStringList{line("rect", fourth, "ueber.html", "Über uns")});
    QCOMPARE(e.w.mapCode(), code);
    // A new area joins the sorted, filtered table at its place.
    e.w.linkDialog = [] { return true; };
    e.w.state().link = {"ueber.html", "Zweite", "*", "*", "*", "*"};
    e.w.ui.Option1[1]->click();
    e.drag(e.canvas(), QPoint(5, 250), QPoint(60, 290));
    QCOMPARE(e.w.areas().count(), 5);
    const bool shows = filter.isEmpty() || filter == "rect";
    QCOMPARE(e.view()->model()->rowCount(), int(numbers.size()) + (shows ? 1 : 0));
}

void TestAreaTable::doubleClickOpensAttributeEditor()
{
    TableEditor e;
    QString title;
    korvane::test::whenModalOpens([&](QWidget* dialog) {
        title = dialog->windowTitle();
        dialog->findChild<QLineEdit*>("Text1")->setText("impressum.html");
        dialog->findChild<QPushButton*>("Command2")->click();
    });
    // A double click as the window system delivers it: press, release, double click, release.
    QWidget* viewport = e.view()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, e.cellCentre(1));
    QMouseEvent twice(QEvent::MouseButtonDblClick, e.cellCentre(1), viewport->mapToGlobal(e.cellCentre(1)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &twice);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, e.cellCentre(1));
    QCOMPARE(title, QStringLiteral("Korvane , Attribute bearbeiten..."));
    QCOMPARE(e.w.areas().line(1), line("circle", "200,150,40", "impressum.html", "Kontakt", "_blank"));
    QCOMPARE(shownRows(e.view()).at(1), QStringLiteral("2|circle|200,150,40|impressum.html|Kontakt|_blank"));
    QVERIFY(e.w.mapCode().contains("href=\"impressum.html\""));
    // Enter on the current row opens it as well; cancelling changes nothing.
    korvane::test::whenModalOpens([&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("Text1")->setText("weg.html");
        dialog->findChild<QPushButton*>("Command3")->click();
    });
    QTest::keyClick(e.view(), Qt::Key_Return);
    QCOMPARE(e.w.areas().line(1), line("circle", "200,150,40", "impressum.html", "Kontakt", "_blank"));
}

QTEST_MAIN(TestAreaTable)
#include "tst_areatable.moc"
