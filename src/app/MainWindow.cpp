#include "app/MainWindow.h"

#include "canvas/Canvas.h"
#include "model/MapCode.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace korvane {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& toolTip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(toolTip);
    return b;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMapEdit"));
    setWindowTitle(QStringLiteral("Korvane"));
    createControls();
    connectCommands();
    resize(1000, 720);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    ui.picOben = new QWidget(central);
    ui.picOben->setObjectName(QStringLiteral("picOben"));
    ui.Picture4 = new QWidget(central);
    ui.Picture4->setObjectName(QStringLiteral("Picture4"));
    ui.picUnten = new QWidget(central);
    ui.picUnten->setObjectName(QStringLiteral("picUnten"));
    ui.picContainer = new QWidget(central);
    ui.picContainer->setObjectName(QStringLiteral("picContainer"));
    ui.Picture1 = new Canvas(ui.picContainer);
    ui.VScroll1 = new QScrollBar(Qt::Vertical, central);
    ui.VScroll1->setObjectName(QStringLiteral("VScroll1"));
    ui.HScroll1 = new QScrollBar(Qt::Horizontal, central);
    ui.HScroll1->setObjectName(QStringLiteral("HScroll1"));

    QWidget* top = ui.picOben;
    ui.Command1 = button(top, "Command1", QStringLiteral("Open"), QStringLiteral("Grafikdatei auswählen."));
    ui.Command7 = button(top, "Command7", QStringLiteral("Save"),
                         QStringLiteral("Speichert die MAP-Daten in einer Textdatei und erzeugt zusätzlich eine "
                                        "HTML-Testseite."));
    ui.Command8 = button(top, "Command8", QStringLiteral("Map"),
                         QStringLiteral("Importiert MAP-Daten aus einer bereits existierenden MAP-Datei."));
    ui.Command11 = button(top, "Command11", QStringLiteral("Html"),
                          QStringLiteral("Importiert die MAP-Daten aus einer bereits existierenden Html-Datei."));
    ui.Command12 = button(top, "Command12", QStringLiteral("Export"),
                          QStringLiteral("Export der erzeugten MAP-Daten in eine existierende HTML-Datei."));
    ui.cmdClipboard = button(top, "cmdClipboard", QStringLiteral("board"),
                             QStringLiteral("Kopiert die eigentlichen MAP-Daten in die Zwischenablage"));
    ui.Command4 = button(top, "Command4", QString(), QStringLiteral("Öffnet eine \"Lupe\" :-)"));
    ui.Command4->setAccessibleName(QStringLiteral("Lupe"));
    const char* optionNames[] = {"Option1_0", "Option1_1", "Option1_2", "Option1_3"};
    const QString optionCaptions[] = {QStringLiteral("Polygon"), QStringLiteral("Rechteck"),
                                      QStringLiteral("Kreis"), QStringLiteral("EditMode")};
    for (int i = 0; i < 4; ++i) {
        ui.Option1[i] = new QRadioButton(optionCaptions[i], top);
        ui.Option1[i]->setObjectName(QLatin1String(optionNames[i]));
        ui.Option1[i]->setEnabled(false);
    }
    ui.Option1[0]->setChecked(true);
    ui.txtHelp = new QPlainTextEdit(top);
    ui.txtHelp->setObjectName(QStringLiteral("txtHelp"));
    ui.txtHelp->setReadOnly(true);
    ui.txtHelp->setVisible(false);
    ui.Frame3 = new QGroupBox(top);
    ui.Frame3->setObjectName(QStringLiteral("Frame3"));
    ui.Command6 = button(ui.Frame3, "Command6", QStringLiteral("Refresh"),
                         QStringLiteral("Zeichnet alle in der Arealliste aufgeführten Elemente neu."));
    ui.Command13 = button(ui.Frame3, "Command13", QStringLiteral("Help"), QStringLiteral("Öffnet eine Hilfe Datei"));

    QWidget* side = ui.Picture4;
    ui.Label1 = new QLabel(QStringLiteral("Arealliste:"), side);
    ui.Label1->setObjectName(QStringLiteral("Label1"));
    ui.List1 = new QListView(side);
    ui.List1->setObjectName(QStringLiteral("List1"));
    ui.List1->setModel(&m_areas);
    ui.Command10 = button(side, "Command10", QStringLiteral("copy"),
                          QStringLiteral("Erzeugt eine Kopie des ausgewählten Areals."));
    ui.Command10->setEnabled(false);
    ui.Command3 = button(side, "Command3", QStringLiteral("clear"),
                         QStringLiteral("Alle eingezeichneten Areale löschen."));
    ui.Command9 = button(side, "Command9", QStringLiteral("edit"), QStringLiteral("Öffnet den Eigenschafteninspektor"));
    ui.Command9->setEnabled(false);
    ui.Picture2 = new QLabel(side);
    ui.Picture2->setObjectName(QStringLiteral("Picture2"));
    ui.Frame1 = new QGroupBox(QStringLiteral("Farben wählen"), side);
    ui.Frame1->setObjectName(QStringLiteral("Frame1"));
    const char* targetNames[] = {"Option2_0", "Option2_1", "Option2_2"};
    const QString targetCaptions[] = {QStringLiteral("Zeichenfarbe"), QStringLiteral("Füllfarbe"),
                                      QStringLiteral("Ziehpunkte")};
    for (int i = 0; i < 3; ++i) {
        ui.Option2[i] = new QRadioButton(targetCaptions[i], ui.Frame1);
        ui.Option2[i]->setObjectName(QLatin1String(targetNames[i]));
    }
    ui.Option2[0]->setChecked(true);
    ui.picColor = new QWidget(ui.Frame1);
    ui.picColor->setObjectName(QStringLiteral("picColor"));
    ui.lblColor = new QLabel(ui.Frame1);
    ui.lblColor->setObjectName(QStringLiteral("lblColor"));
    ui.lblFuellfarbe = new QLabel(ui.Frame1);
    ui.lblFuellfarbe->setObjectName(QStringLiteral("lblFuellfarbe"));
    ui.lblZiehpunkt = new QLabel(ui.Frame1);
    ui.lblZiehpunkt->setObjectName(QStringLiteral("lblZiehpunkt"));
    ui.Frame2 = new QGroupBox(QStringLiteral("Liniendicke"), side);
    ui.Frame2->setObjectName(QStringLiteral("Frame2"));
    const char* widthNames[] = {"Image1_0", "Image1_1", "Image1_2"};
    for (int i = 0; i < 3; ++i) {
        ui.Image1[i] = new QLabel(ui.Frame2);
        ui.Image1[i]->setObjectName(QLatin1String(widthNames[i]));
    }
    ui.chkGefuellt = new QCheckBox(QStringLiteral("Areale gefült zeichnen"), side);
    ui.chkGefuellt->setObjectName(QStringLiteral("chkGefuellt"));
    ui.lblPos = new QLabel(side);
    ui.lblPos->setObjectName(QStringLiteral("lblPos"));
    ui.Label3 = new QLabel(side);
    ui.Label3->setObjectName(QStringLiteral("Label3"));
    ui.Timer1 = new QTimer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui.Timer1->setInterval(2000);

    ui.txtMap = new QPlainTextEdit(ui.picUnten);
    ui.txtMap->setObjectName(QStringLiteral("txtMap"));
    ui.cmdClipboard->setEnabled(false);
    ui.Command7->setEnabled(false);
}

void MainWindow::connectCommands()
{
    connect(ui.Command1, &QPushButton::clicked, this, &MainWindow::openCommand);
    connect(ui.Command7, &QPushButton::clicked, this, &MainWindow::saveCommand);
    connect(ui.Command8, &QPushButton::clicked, this, &MainWindow::mapImportCommand);
    connect(ui.Command11, &QPushButton::clicked, this, &MainWindow::htmlImportCommand);
    connect(ui.Command12, &QPushButton::clicked, this, &MainWindow::exportCommand);
    connect(ui.Command13, &QPushButton::clicked, this, &MainWindow::helpCommand);
    connect(ui.Command4, &QPushButton::clicked, this, &MainWindow::magnifierCommand);
    connect(ui.cmdClipboard, &QPushButton::clicked, this, &MainWindow::clipboardCommand);
    connect(ui.Command6, &QPushButton::clicked, this, [this] {
        m_editor.polygonOpen = false;
        m_editor.drawState = 1;
        neu_zeichnen(-1, true);
    });
    // Every change of the code marks it unsaved and enables the commands that need code.
    connect(ui.txtMap, &QPlainTextEdit::textChanged, this, [this] {
        m_state.mapSaved = false;
        const bool hasCode = !ui.txtMap->document()->isEmpty();
        ui.cmdClipboard->setEnabled(hasCode);
        ui.Command7->setEnabled(hasCode);
    });
}

int MainWindow::selectedIndex() const
{
    const QModelIndex current = ui.List1->currentIndex();
    return current.isValid() && ui.List1->selectionModel()->isSelected(current) ? current.row() : -1;
}

void MainWindow::setSelectedIndex(int index)
{
    if (index < 0)
        ui.List1->clearSelection();
    else
        ui.List1->setCurrentIndex(m_areas.index(index));
}

void MainWindow::refresh() { ui.Command6->click(); }

QString MainWindow::mapCode() const { return ui.txtMap->toPlainText(); }

void MainWindow::map_daten()
{
    m_editor.polyCoordText.clear();
    setMapCode(korvane::map_daten(m_areas.lines(), m_state.imagePath, m_state.mapName, ui.Picture1->size()));
}

// Setting the same empty text is no change; any other assignment is, as for a
// text box whose contents are rewritten.
void MainWindow::setMapCode(const QString& text)
{
    if (text.isEmpty() && ui.txtMap->document()->isEmpty())
        return;
    ui.txtMap->setPlainText(text);
}

void MainWindow::neu_zeichnen(int, bool regenerate)
{
    if (regenerate)
        map_daten();
}

void MainWindow::reset_zustand()
{
    m_areas.clear();
    refresh();
    m_state.mapSaved = true;
    setMapCode(QString());
    m_editor.polygonOpen = false;
    m_editor.drawState = 1;
}

void MainWindow::layoutCanvas() {}

void MainWindow::setDrawColor(const QColor&) {}
void MainWindow::setFillColor(const QColor&) {}
void MainWindow::setHandleColor(const QColor&) {}
void MainWindow::setLineWidth(int) {}
void MainWindow::setFillStyle(int) {}

void MainWindow::clipboardCommand() {}

void MainWindow::closeEvent(QCloseEvent* event) { event->accept(); }

} // namespace korvane
