#include "app/MainWindow.h"
#include "app/CanvasContext.h"
#include "app/Looks.h"

#include "app/CodeBoxMenu.h"
#include "app/FormsMenu.h"
#include "app/MainToolHost.h"
#include "app/OpenFromOutside.h"
#include "app/RecoveryStart.h"
#include "model/StageClock.h"
#include "app/TraceControls.h"
#include "app/UndoControls.h"
#include "app/ValueLabel.h"
#include "app/ZoomControls.h"
#include "windows/AreaTableWindow.h"
#include "windows/MapCheckWindow.h"
#include "tools/PolygonPoints.h"
#include "app/commands/SeveralAreas.h"
#include "app/commands/Snapping.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/DrawingTools.h"
#include "canvas/EditHandles.h"
#include "canvas/Palette.h"
#include "tools/EditTool.h"
#include "io/ExportWindow.h"
#include "model/MapCode.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& toolTip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(toolTip);
    return b;
}

QLabel* swatch(QWidget* parent, const char* name, const QString& accessibleName)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(accessibleName);
    label->setAutoFillBackground(true);
    label->setFrameShape(QFrame::Box);
    label->setFixedSize(22, 14);
    return label;
}

// The line-width images show a line of their width.
QPixmap widthPixmap(int width)
{
    QPixmap pixmap(34, 12);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.fillRect(QRect(3, 6 - width / 2, 28, width), Qt::black);
    return pixmap;
}

// The icons' outlines stand out from the buttons on a dark palette too.
QPixmap magnifierPixmap(const QColor& button)
{
    const QColor outline = looks::ownColour(QColor(40, 40, 40), button, 3.0);
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(outline, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 12.5), QPointF(18, 18));
    p.setPen(QPen(outline, 2));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QPointF(8, 8), 6, 6);
    return pixmap;
}

QPixmap trashPixmap(const QColor& background)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(looks::ownColour(QColor(60, 60, 60), background, 3.0), 1.5));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(6, 8, 20, 21));    // the can
    p.drawRect(QRectF(4, 5, 24, 3));     // the lid
    p.drawRect(QRectF(13, 2.5, 6, 2.5)); // the handle
    for (int x : {11, 16, 21})
        p.drawLine(QPointF(x, 11), QPointF(x, 26));
    return pixmap;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMapEdit"));
    setWindowTitle(QStringLiteral("Korvane"));
    linkDialog = [this] { return runLinkDialog(); };
    createControls();
    m_renderer = std::make_unique<AreaRenderer>(m_areas, ui.Picture1->surface());
    m_canvasContext = std::make_unique<CanvasContext>(m_session, *this, static_cast<CanvasWindow&>(*this), *ui.Picture1, *m_renderer, *ui.List1);
    m_editTool = std::make_unique<EditTool>(*m_canvasContext);
    m_handles = std::make_unique<EditHandles>(ui.Picture1, m_areas, ui.Picture1->surface(), *m_canvasContext,
                                              *m_editTool);
    m_canvasContext->setHandles(m_handles.get());
    connect(&m_document, &MapDocument::aboutToChange, this, [this] {
        // A handle's drag hands its line over before the change (it ends the
        // handles' pointer too); several areas stop where they were.
        m_handles->endDrag();
        m_editTool->documentAboutToChange();
    });
    m_toolHost = std::make_unique<MainToolHost>(m_session, *this, *m_canvasContext, *ui.Picture1, *ui.picContainer);
    m_canvasContext->setToolHost(m_toolHost.get());
    m_tools[0] = std::make_unique<PolygonTool>(*m_toolHost);
    m_tools[1] = std::make_unique<RectangleTool>(*m_toolHost);
    m_tools[2] = std::make_unique<CircleTool>(*m_toolHost);
    m_undoControls = new UndoControls(m_document, this, [this] { return shapeInProgress(); });
    createShapeCommands();
    m_zoomControls = new ZoomControls({this, ui.Picture1, ui.picContainer, ui.HScroll1, ui.VScroll1, ui.lblZoom},
                                      [this](QPoint scroll) { layoutCanvas(scroll); });
    m_mapCheck = new MapCheckCommand(
        m_document, [this] { return ui.Picture1->pictureSize(); }, this);
    ui.txtMap->addMenuActions({m_mapCheck->action()});
    m_formsMenu = new FormsMenu(*ui.txtMap, *this, m_document, m_session.state(),
                                [this] { return ui.Picture1->pictureSize(); });
    m_codeBoxMenu = new CodeBoxMenu(*ui.txtMap, *this, m_document, m_session.state(),
                                    [this] { return ui.Picture1->pictureSize(); });
    connectCommands();
    connectCanvas();
    createMenus();

    // Start-up: drawing colours, the title screen; the empty code needs no saving.
    ui.lblPos->clear();
    setDrawColor(Qt::red);
    setFillColor(Qt::cyan);
    setHandleColor(Qt::blue);
    setLineWidth(1);
    ui.Picture1->surface().setPenColor(Qt::black);
    drawTitleScreen();
    ui.Label3->clear();
    m_document.setCodeSource([this] { return ui.txtMap->codeFingerprint(); });
    resize(1000, 720);
    fitIntoScreen();
    new FileDrops(m_session, *this); // files dropped from the desktop; owned by the window
}

MainWindow::~MainWindow()
{
    // The tracing tool's filter on the canvas asks the session, which goes
    // before the canvas hides and goes with the window's children.
    if (m_trace)
        ui.Picture1->removeEventFilter(m_trace);
    // The handles and tools refer to widgets and the list; they go first.
    m_tools = {};
    m_handles.reset();
    m_editTool.reset();
    m_canvasContext.reset();
    m_renderer.reset();
}

// The link dialog beside the new shape, or the answer a test put in.
bool MainWindow::askLink(const QRect& shapeOnScreen)
{
    m_newShapeOnScreen = shapeOnScreen;
    return linkDialog && linkDialog();
}

void MainWindow::drawTitleScreen()
{
    DrawingSurface& s = ui.Picture1->surface();
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(45);
    // On a dark palette the canvas is dark: the name and its lines are made
    // light enough to read (the shadow stays black, a shadow).
    const QColor background = ui.Picture1->palette().color(QPalette::Button);
    s.setPenColor(Qt::black);
    s.drawText(QPoint(43, 103), QStringLiteral("Korvane"), font);
    s.setPenColor(looks::ownColour(QColor(0x80, 0x80, 0x00), background, 4.5));
    s.drawText(QPoint(40, 100), QStringLiteral("Korvane"), font);
    font.setPointSize(12);
    s.drawText(QPoint(20, 260), QStringLiteral("Version: %1.%2").arg(KORVANE_VERSION_MAJOR).arg(KORVANE_VERSION_MINOR),
               font);
    s.drawText(QPoint(420, 260), QStringLiteral("- ulvamo - 2001"), font);
}

void MainWindow::createControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMapEditClient"));
    setCentralWidget(central);
    central->installEventFilter(this);
    central->setMouseTracking(true);

    ui.picOben = new QWidget(central);
    ui.picOben->setObjectName(QStringLiteral("picOben"));
    ui.Picture4 = new QWidget(central);
    ui.Picture4->setObjectName(QStringLiteral("Picture4"));
    ui.picUnten = new QWidget(central);
    ui.picUnten->setObjectName(QStringLiteral("picUnten"));
    ui.picContainer = new QWidget(central);
    ui.picContainer->setObjectName(QStringLiteral("picContainer"));
    ui.picContainer->setAccessibleName(tr("Bildbereich"));
    ui.Picture1 = new Canvas(ui.picContainer);
    ui.Picture1->installEventFilter(this);
    ui.VScroll1 = new QScrollBar(Qt::Vertical, central);
    ui.VScroll1->setObjectName(QStringLiteral("VScroll1"));
    ui.VScroll1->setAccessibleName(tr("Bild senkrecht verschieben"));
    ui.HScroll1 = new QScrollBar(Qt::Horizontal, central);
    ui.HScroll1->setObjectName(QStringLiteral("HScroll1"));
    ui.HScroll1->setAccessibleName(tr("Bild waagerecht verschieben"));
    for (QWidget* w : {ui.picOben, ui.picContainer}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    ui.picContainer->setAutoFillBackground(true);
    ui.picContainer->setBackgroundRole(QPalette::Dark);

    createToolBar();
    createSidePanel();

    ui.txtMap = new CodeBox(ui.picUnten);
    ui.txtMap->setObjectName(QStringLiteral("txtMap"));
    ui.txtMap->setAccessibleName(tr("HTML-Code der ImageMap"));
    ui.txtMap->setLineWrapMode(QPlainTextEdit::NoWrap);
    ui.cmdClipboard->setEnabled(false);
    ui.Command7->setEnabled(false);
    // The drawing attributes wait for the first picture (Open or an import):
    // before it there is nothing to draw, and a click would wipe the title screen.
    ui.Frame1->setEnabled(false);
    ui.Frame2->setEnabled(false);
    ui.chkGefuellt->setEnabled(false);
    setUpKeyboard();
}

void MainWindow::createToolBar()
{
    QWidget* top = ui.picOben;
    ui.Command1 = button(top, "Command1", tr("Open"), tr("Grafikdatei auswählen."));
    ui.Command7 = button(top, "Command7", QStringLiteral("Save"),
                         tr("Speichert die MAP-Daten in einer Textdatei und erzeugt zusätzlich eine "
                                        "HTML-Testseite."));
    ui.Command8 = button(top, "Command8", QStringLiteral("Map"),
                         tr("Importiert MAP-Daten aus einer bereits existierenden MAP-Datei."));
    ui.Command11 = button(top, "Command11", QStringLiteral("Html"),
                          tr("Importiert die MAP-Daten aus einer bereits existierenden Html-Datei."));
    ui.Command12 = button(top, "Command12", QStringLiteral("Export"),
                          tr("Export der erzeugten MAP-Daten in eine existierende HTML-Datei."));
    ui.cmdClipboard = button(top, "cmdClipboard", QStringLiteral("board"),
                             tr("Kopiert die eigentlichen MAP-Daten in die Zwischenablage"));
    ui.Command4 = button(top, "Command4", QString(), tr("Öffnet eine \"Lupe\" :-)"));
    ui.Command4->setAccessibleName(tr("Lupe"));
    ui.Command4->setIcon(QIcon(magnifierPixmap(palette().color(QPalette::Button))));
    const char* optionNames[] = {"Option1_0", "Option1_1", "Option1_2", "Option1_3"};
    const QString optionCaptions[] = {tr("Polygon"), tr("Rechteck"), tr("Kreis"),
                                      tr("EditMode")};
    auto* options = new QGridLayout;
    options->setHorizontalSpacing(6);
    options->setVerticalSpacing(0);
    for (int i = 0; i < 4; ++i) {
        ui.Option1[i] = new QRadioButton(optionCaptions[i], top);
        ui.Option1[i]->setObjectName(QLatin1String(optionNames[i]));
        ui.Option1[i]->setEnabled(false);
        options->addWidget(ui.Option1[i], i / 2, i % 2);
    }
    ui.Option1[0]->setChecked(true);
    ui.txtHelp = new QPlainTextEdit(top);
    ui.txtHelp->setObjectName(QStringLiteral("txtHelp"));
    ui.txtHelp->setAccessibleName(tr("Hilfetext"));
    ui.txtHelp->setReadOnly(true);
    ui.txtHelp->setVisible(false);
    showHelpText(0); // the polygon tool is checked from the start
    ui.Frame3 = new QGroupBox(top);
    ui.Frame3->setObjectName(QStringLiteral("Frame3"));
    ui.Command6 = button(ui.Frame3, "Command6", QStringLiteral("Refresh"),
                         tr("Zeichnet alle in der Arealliste aufgeführten Elemente neu."));
    ui.Command13 = button(ui.Frame3, "Command13", tr("Help"), tr("Öffnet eine Hilfe Datei"));
    auto* frameRow = new QHBoxLayout(ui.Frame3);
    frameRow->setContentsMargins(4, 2, 4, 2);
    frameRow->addWidget(ui.Command6);
    frameRow->addWidget(ui.Command13);
    ui.Frame3->adjustSize();

    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(6, 4, ui.Frame3->width() + 20, 4);
    for (QPushButton* b :
         {ui.Command1, ui.Command7, ui.Command8, ui.Command11, ui.Command12, ui.cmdClipboard, ui.Command4}) {
        // Narrow windows squeeze the buttons a little before anything overlaps.
        b->setMinimumWidth(b == ui.Command4 ? 34 : 46);
        b->setMaximumWidth(b == ui.Command4 ? 34 : 58);
        row->addWidget(b);
    }
    row->addSpacing(8);
    row->addLayout(options);
    // In a narrow window the help box gives way first, so that the option
    // captions stay whole; while it is hidden the options keep to the left.
    ui.txtHelp->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(ui.txtHelp, 1);
    row->addStretch();
}

void MainWindow::createSidePanel()
{
    QWidget* side = ui.Picture4;
    ui.Label1 = new QLabel(tr("Arealliste:"), side);
    ui.Label1->setObjectName(QStringLiteral("Label1"));
    ui.List1 = new QListView(side);
    ui.List1->setObjectName(QStringLiteral("List1"));
    ui.List1->setAccessibleName(tr("Arealliste"));
    ui.List1->setToolTip(tr("Click->Auswahl eines Elements, DoppelClick oder Drag&Drop auf das "
                                        "Papiekorbsymbol löscht ein Element."));
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    ui.List1->setFont(fixed);
    ui.List1->setModel(&m_areas);
    // The document owns the selection; the list shows it.
    QItemSelectionModel* ownSelection = ui.List1->selectionModel();
    ui.List1->setSelectionModel(&m_document.selection());
    delete ownSelection;
    ui.List1->setContextMenuPolicy(Qt::CustomContextMenu);
    ui.List1->installEventFilter(this);
    ui.List1->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.List1->setDragEnabled(true);
    ui.List1->setDragDropMode(QAbstractItemView::DragOnly);
    ui.List1->setDefaultDropAction(Qt::MoveAction);
    ui.List1->setUniformItemSizes(true);
    ui.Label1->setBuddy(ui.List1);
    ui.Command10 = button(side, "Command10", QStringLiteral("copy"),
                          tr("Erzeugt eine Kopie des ausgewählten Areals."));
    ui.Command10->setEnabled(false);
    ui.Command3 =
        button(side, "Command3", tr("clear"), tr("Alle eingezeichneten Areale löschen."));
    ui.Command9 = button(side, "Command9", tr("edit"), tr("Öffnet den Eigenschafteninspektor"));
    ui.Command9->setEnabled(false);
    ui.Picture2 = new QLabel(side);
    ui.Picture2->setObjectName(QStringLiteral("Picture2"));
    ui.Picture2->setAccessibleName(tr("Papierkorb"));
    ui.Picture2->setToolTip(tr("Papierkorb. Zum löschen eines Areals den ausgewählten Eintrag auf den "
                                           "Papierkorb ziehen."));
    ui.Picture2->setPixmap(trashPixmap(palette().color(QPalette::Window)));
    ui.Picture2->setFixedSize(34, 34);
    ui.Picture2->setAcceptDrops(true);
    ui.Picture2->installEventFilter(this);

    createColorFrame();

    ui.Frame2 = new QGroupBox(tr("Liniendicke"), side);
    ui.Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* widths = new QHBoxLayout(ui.Frame2);
    widths->setContentsMargins(4, 2, 4, 4);
    const char* widthNames[] = {"Image1_0", "Image1_1", "Image1_2"};
    for (int i = 0; i < 3; ++i) {
        ui.Image1[i] = new QLabel(ui.Frame2);
        ui.Image1[i]->setObjectName(QLatin1String(widthNames[i]));
        ui.Image1[i]->setAccessibleName(tr("Liniendicke %1 Pixel").arg(i + 1));
        ui.Image1[i]->setPixmap(widthPixmap(i + 1));
        ui.Image1[i]->setFixedSize(40, 18);
        ui.Image1[i]->setAlignment(Qt::AlignCenter);
        ui.Image1[i]->installEventFilter(this);
        widths->addWidget(ui.Image1[i]);
    }
    ui.chkGefuellt = new QCheckBox(tr("Areale gefült zeichnen"), side);
    ui.chkGefuellt->setObjectName(QStringLiteral("chkGefuellt"));
    ui.lblPos = new ValueLabel(tr("Mausposition"), side);
    ui.lblPos->setObjectName(QStringLiteral("lblPos"));
    ui.lblZoom = new ValueLabel(tr("Zoom"), side);
    ui.lblZoom->setObjectName(QStringLiteral("lblZoom"));
    ui.lblZoom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = ui.lblZoom->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    ui.lblZoom->setFont(small);
    ui.Label3 = new ValueLabel(tr("Modus"), side);
    ui.Label3->setObjectName(QStringLiteral("Label3"));
    ui.Timer1 = new QTimer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui.Timer1->setInterval(2000);

    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(3);
    column->addWidget(ui.Label1);
    column->addWidget(ui.List1, 1);
    auto* listButtons = new QHBoxLayout;
    for (QWidget* w : {ui.Command10, ui.Command3, ui.Command9}) {
        w->setMinimumWidth(10);
        listButtons->addWidget(w);
    }
    column->addLayout(listButtons);
    auto* trashRow = new QHBoxLayout;
    trashRow->addWidget(ui.Picture2);
    auto* labels = new QVBoxLayout;
    // The zoom shares the mode label's place, at its right end above the
    // position: both labels keep their whole width, and the longest mode text
    // leaves room for it.
    auto* modeRow = new QGridLayout;
    modeRow->addWidget(ui.Label3, 0, 0);
    modeRow->addWidget(ui.lblZoom, 0, 0, Qt::AlignRight);
    labels->addLayout(modeRow);
    labels->addWidget(ui.lblPos);
    trashRow->addLayout(labels, 1);
    column->addLayout(trashRow);
    column->addWidget(ui.Frame1);
    column->addWidget(ui.Frame2);
    column->addWidget(ui.chkGefuellt);
}

void MainWindow::createColorFrame()
{
    ui.Frame1 = new QGroupBox(tr("Farben wählen"), ui.Picture4);
    ui.Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(ui.Frame1);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setVerticalSpacing(0);
    const char* targetNames[] = {"Option2_0", "Option2_1", "Option2_2"};
    const QString targetCaptions[] = {tr("Zeichenfarbe"), tr("Füllfarbe"),
                                      tr("Ziehpunkte")};
    ui.lblColor = swatch(ui.Frame1, "lblColor", tr("Zeichenfarbe"));
    ui.lblFuellfarbe = swatch(ui.Frame1, "lblFuellfarbe", tr("Füllfarbe"));
    ui.lblZiehpunkt = swatch(ui.Frame1, "lblZiehpunkt", tr("Farbe der Ziehpunkte"));
    QLabel* swatches[] = {ui.lblColor, ui.lblFuellfarbe, ui.lblZiehpunkt};
    for (int i = 0; i < 3; ++i) {
        ui.Option2[i] = new QRadioButton(targetCaptions[i], ui.Frame1);
        ui.Option2[i]->setObjectName(QLatin1String(targetNames[i]));
        grid->addWidget(ui.Option2[i], i, 0);
        grid->addWidget(swatches[i], i, 1);
    }
    ui.Option2[0]->setChecked(true);
    ui.picColor = new ColorPalette(twipsPerPixel(), ui.Frame1);
    grid->addWidget(ui.picColor, 3, 0, 1, 2);
}

void MainWindow::connectCommands()
{
    connect(ui.Command1, &QPushButton::clicked, this, [this] { m_fileCommands.open(); });
    connect(ui.Command7, &QPushButton::clicked, this, [this] { m_fileCommands.save(); });
    connect(ui.Command8, &QPushButton::clicked, this, [this] { m_importCommands.mapImport(); });
    connect(ui.Command11, &QPushButton::clicked, this, [this] { m_importCommands.htmlImport(); });
    connect(ui.Command12, &QPushButton::clicked, this, [this] { m_fileCommands.exportCode(); });
    connect(ui.Command13, &QPushButton::clicked, this, [this] { m_fileCommands.help(); });
    connect(ui.Command4, &QPushButton::clicked, this, [this] { m_dialogCommands.magnifier(); });
    connect(ui.cmdClipboard, &QPushButton::clicked, this, [this] { m_fileCommands.copyToClipboard(); });
    connect(ui.Command6, &QPushButton::clicked, this, [this] { m_refreshCommand.run(); });
    connect(ui.Command10, &QPushButton::clicked, this, [this] {
        if (m_several->several())
            m_several->copy();
        else
            m_listCommands.copy();
    });
    connect(ui.Command3, &QPushButton::clicked, this, [this] { m_listCommands.clear(); });
    connect(ui.Command9, &QPushButton::clicked, this, [this] { m_listCommands.edit(); });
    for (int i = 0; i < 4; ++i) {
        connect(ui.Option1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                modeSwitch(i);
        });
    }
    connect(&m_session.tools(), &ToolManager::enabledChanged, this, &MainWindow::showToolStates);
    connect(ui.Timer1, &QTimer::timeout, this, &MainWindow::blinkModeLabel);
    connect(ui.chkGefuellt, &QCheckBox::toggled, this, [this](bool checked) {
        setFillStyle(checked ? static_cast<int>(FillStyle::DiagonalCross) : static_cast<int>(FillStyle::Transparent));
        refresh();
    });
    connect(static_cast<ColorPalette*>(ui.picColor), &ColorPalette::colorPicked, this, [this](const QColor& c) {
        if (ui.Option2[0]->isChecked())
            setDrawColor(c);
        else if (ui.Option2[1]->isChecked())
            setFillColor(c);
        else if (ui.Option2[2]->isChecked())
            setHandleColor(c);
        refresh();
    });
    connect(ui.List1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_session.selectionQuiet())
            listSelected();
    });
    connect(ui.List1, &QListView::doubleClicked, this, [this] { m_listCommands.deleteWithQuestion(); });
    // The table's double click opens the attribute editor, once no shape is half drawn.
    m_areaTable = new AreaTableCommand(
        m_document,
        [this](int row) {
            if (!shapeInProgress())
                runAttributeEditor(row);
        },
        this);
    m_areaTable->followClicksOn(*ui.List1);
    connect(ui.List1, &QListView::customContextMenuRequested, this, [this](QPoint at) {
        m_undoControls->showMenu(ui.List1->viewport()->mapToGlobal(at), areaMenuEntries() << m_areaTable->action());
    });
    connect(&m_document, &MapDocument::restored, this, &MainWindow::showRestoredState);
    connect(ui.HScroll1, &QScrollBar::valueChanged, this,
            [this](int value) { ui.Picture1->move(-value, ui.Picture1->y()); });
    connect(ui.VScroll1, &QScrollBar::valueChanged, this,
            [this](int value) { ui.Picture1->move(ui.Picture1->x(), -value); });
    // Every change of the code enables or disables the commands that need code.
    connect(ui.txtMap, &QPlainTextEdit::textChanged, this, &MainWindow::codeTextChanged);
}

void MainWindow::codeTextChanged()
{
    const bool hasCode = !ui.txtMap->document()->isEmpty();
    ui.cmdClipboard->setEnabled(hasCode);
    ui.Command7->setEnabled(hasCode);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (keyboardUse(watched, event))
        return true;
    if (watched == ui.List1)
        return keyDuringDrag(event, false) || keyWaitsForShape(event, false) || deletePointKey(event) || deleteKey(event) || selectAllKey(event) ||
               clipboardKey(event);
    if (watched == ui.Picture1)
        return keyDuringDrag(event, true) || keyWaitsForShape(event, true) || deletePointKey(event) || deleteKey(event) || selectAllKey(event) ||
               clipboardKey(event) || canvasKey(event) || canvasContextMenu(event);
    if (ui.List1 && watched == ui.List1->viewport())
        return controlClickInList(event);
    if (watched == ui.Picture2) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        case QEvent::Drop:
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            m_listCommands.dropOnTrash();
            return true;
        default:
            return false;
        }
    }
    // The filter sees presses on a disabled label too; those do nothing.
    for (int i = 0; i < 3; ++i) {
        if (watched == ui.Image1[i] && event->type() == QEvent::MouseButtonPress && ui.Image1[i]->isEnabled()) {
            setLineWidth(i + 1);
            refresh();
            return true;
        }
    }
    if (event->type() == QEvent::MouseMove && ui.lblPos->isVisible())
        ui.lblPos->hide(); // the pointer left the canvas
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        layoutWindow();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        layoutWindow();
}

int MainWindow::selectedIndex() const
{
    return m_document.selectedRow();
}

void MainWindow::setSelectedIndex(int index)
{
    m_document.select(index);
}

// A press of a disabled button does nothing, as a click on it would.
void MainWindow::press(Button button)
{
    QPushButton* pressed = nullptr;
    switch (button) {
    case Button::Open:
        pressed = ui.Command1;
        break;
    case Button::Save:
        pressed = ui.Command7;
        break;
    case Button::MapImport:
        pressed = ui.Command8;
        break;
    case Button::HtmlImport:
        pressed = ui.Command11;
        break;
    case Button::Magnifier:
        pressed = ui.Command4;
        break;
    }
    pressed->click();
}

void MainWindow::enablePictureTools(ToolsFor reason)
{
    ui.Frame1->setEnabled(true);
    ui.Frame2->setEnabled(true);
    ui.chkGefuellt->setEnabled(true);
    m_session.tools().enableDrawing(true);
    if (reason != ToolsFor::Import)
        return;
    m_session.tools().enableEdit(true);
    ui.Command7->setEnabled(true);
    ui.Command10->setEnabled(!m_areas.isEmpty());
}

void MainWindow::showHelpBox()
{
    ui.txtHelp->setVisible(true);
}

QSize MainWindow::pictureSize() const
{
    return ui.Picture1->pictureSize();
}

// The code's lines end with CR LF, as the generator wrote them and as typed
// lines do.
QString MainWindow::mapCode() const
{
    return ui.txtMap->code();
}

void MainWindow::map_daten()
{
    m_editor.polyCoordText.clear();
    const stages::Clock clock(stages::Stage::CodeBox);
    // The box makes the code of a big map only as far as it shows it.
    const MapCodeSource code(m_areas.lines(), m_document.imagePath(), m_document.mapName(),
                             ui.Picture1->pictureSize());
    if (code.isEmpty())
        setMapCode(QString());
    else if (!ui.txtMap->setCode(code))
        codeTextChanged();
}

// Setting the same empty text is no change; any other assignment is, as for a
// text box whose contents are rewritten. Only the part that differs from the
// code set last is rewritten, which keeps big maps quick.
void MainWindow::setMapCode(const QString& text)
{
    // A box emptied by hand still learns that the code is empty now: text its
    // undo brings back afterwards is then typed text, kept for recovery.
    if (text.isEmpty() && ui.txtMap->document()->isEmpty() && ui.txtMap->shows(text))
        return;
    // The same code again still counts as a change of the box.
    if (!ui.txtMap->setCode(text))
        codeTextChanged();
}

EditorView::UnsavedCode MainWindow::askAboutUnsavedCode()
{
    if (m_document.mapSaved())
        return UnsavedCode::None;
    const MessageButton answer = askYesNoCancel(
        this, kQuestionTitle,
        tr("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll der Code jetzt "
                       "gespeichert werden?"));
    if (answer == MessageButton::No)
        return UnsavedCode::Discard;
    if (answer != MessageButton::Yes)
        return UnsavedCode::Cancel;
    // Save writes the code box: emptied by hand, it shows the areas' code again.
    if (ui.txtMap->document()->isEmpty() && !m_areas.isEmpty())
        map_daten();
    press(Button::Save);
    return UnsavedCode::Save;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!goesOn(askAboutUnsavedCode())) {
        event->ignore();
        return;
    }
    // The export window may hold a page the user has not saved; it asks its own
    // question, and answering Yes keeps both windows open.
    if (auto* exportWindow = findChild<ExportWindow*>();
        exportWindow && exportWindow->isVisible() && !exportWindow->close()) {
        event->ignore();
        return;
    }
    event->accept();
    ini_write();
}

void openFromOutside(MainWindow& window, const QString& path, int othersLeftOut)
{
    openFromOutside(window.session(), window, path, othersLeftOut);
}

RecoveryKeeper* attachRecovery(MainWindow& window)
{
    return attachRecovery(window.session(), window, *window.ui.txtMap,
                          [&window] { return window.handles().isDragging(); });
}

} // namespace korvane
