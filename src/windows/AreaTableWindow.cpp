#include "windows/AreaTableWindow.h"

#include "app/IniFile.h"
#include "windows/AreaTableModel.h"
#include "document/MapDocument.h"

#include <QCoreApplication>
#include <QAbstractProxyModel>
#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace korvane {

namespace {

const QString kSection = QStringLiteral("Arealtabelle");
const QString kWidthKey = QStringLiteral("Breite");
const QString kHeightKey = QStringLiteral("Hoehe");

// The size the window had when it was last hidden; the default where none
// was kept or the kept one is no size.
QSize keptSize()
{
    const QString file = settingsFilePath();
    const auto width = settingShort(iniGetSettingString(kSection, kWidthKey, file));
    const auto height = settingShort(iniGetSettingString(kSection, kHeightKey, file));
    if (!width || !height || *width <= 0 || *height <= 0)
        return {AreaTableWindow::kDefaultWidth, AreaTableWindow::kDefaultHeight};
    return {*width, *height};
}

// The row headers number the areas by their place in the list. Their width
// follows from the number of areas alone: the toolkit's own measure lays out
// two thousand of the numbers' texts after every change.
class RowNumberHeader : public QHeaderView {
public:
    explicit RowNumberHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

    QSize sizeHint() const override
    {
        const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model());
        const QAbstractItemModel* rows = proxy && proxy->sourceModel() ? proxy->sourceModel() : model();
        const qsizetype digits = QString::number(std::max(rows ? rows->rowCount() : 0, 1)).size();
        const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
        return {fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('8'))) + 4 * margin, defaultSectionSize()};
    }
};

} // namespace

AreaTableView::AreaTableView(QWidget* parent) : QTableView(parent)
{
    setVerticalHeader(new RowNumberHeader(this));
    setObjectName(QStringLiteral("tblAreale"));
    setAccessibleName(QCoreApplication::translate("korvane::AreaTableWindow", "Arealtabelle"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false); // Tab leaves the table for the filter
    horizontalHeader()->setSortIndicatorClearable(true);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    horizontalHeader()->setStretchLastSection(true);
    // Fixed rows: tens of thousands of them cost nothing to lay out.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(this, &QAbstractItemView::doubleClicked, this, &AreaTableView::openRequested);
}

void AreaTableView::mousePressEvent(QMouseEvent* event)
{
    m_userMoving = true;
    QTableView::mousePressEvent(event);
    m_userMoving = false;
}

void AreaTableView::mouseMoveEvent(QMouseEvent* event)
{
    m_userMoving = true;
    QTableView::mouseMoveEvent(event);
    m_userMoving = false;
}

void AreaTableView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit openRequested(currentIndex());
        return;
    }
    m_userMoving = true;
    QTableView::keyPressEvent(event);
    m_userMoving = false;
}

AreaTableWindow::AreaTableWindow(MapDocument& document, std::function<void(int)> openEditor, QWidget* owner)
    : QWidget(owner, Qt::Window), m_document(document), m_openEditor(std::move(openEditor))
{
    setObjectName(QStringLiteral("frmArealtabelle"));
    setWindowTitle(QCoreApplication::translate("korvane::AreaTableWindow", "Arealtabelle"));
    auto* label = new QLabel(QCoreApplication::translate("korvane::AreaTableWindow", "&Filter:"), this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("txtFilter"));
    m_filter->setAccessibleName(QCoreApplication::translate("korvane::AreaTableWindow", "Filter"));
    m_filter->setToolTip(QCoreApplication::translate("korvane::AreaTableWindow", "Zeigt nur die Areale, die diesen Text enthalten."));
    m_filter->setClearButtonEnabled(true);
    label->setBuddy(m_filter);
    m_view = new AreaTableView(this);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(label);
    filterRow->addWidget(m_filter, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(filterRow);
    column->addWidget(m_view, 1);
    setTabOrder(m_filter, m_view);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_proxy)
            m_proxy->setFilterText(text);
        showDocumentSelection();
    });
    connect(m_view, &AreaTableView::openRequested, this, &AreaTableWindow::openChosen);
    // A click on the row that is current already (the view makes the first
    // row current when it gets the focus, with nothing selected) changes no
    // current row, yet chooses the area.
    connect(m_view, &QAbstractItemView::pressed, this, &AreaTableWindow::rowChosen);
    QItemSelectionModel* shared = &m_document.selection();
    connect(shared, &QItemSelectionModel::currentChanged, this, &AreaTableWindow::showDocumentSelection);
    connect(shared, &QItemSelectionModel::selectionChanged, this, &AreaTableWindow::showDocumentSelection);
    resize(keptSize());
}

AreaTableWindow::~AreaTableWindow()
{
    m_view->setModel(nullptr);
}

void AreaTableWindow::saveSize() const
{
    iniWriteSettings(
        {{kSection, kWidthKey, QString::number(width())}, {kSection, kHeightKey, QString::number(height())}},
        settingsFilePath());
}

void AreaTableWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    attach();
}

void AreaTableWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    saveSize();
    detach();
}

// The table reads the areas afresh and follows them from now on.
void AreaTableWindow::attach()
{
    if (m_model)
        return;
    m_model = std::make_unique<AreaTableModel>(m_document.areas());
    m_proxy = std::make_unique<AreaTableProxy>(*m_model);
    m_proxy->setFilterText(m_filter->text());
    const int sortColumn = m_view->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = m_view->horizontalHeader()->sortIndicatorOrder();
    m_view->setModel(m_proxy.get());
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(sortColumn, order);
    for (const auto& [column, width] :
         {std::pair{AreaTableModel::ShapeColumn, 70}, std::pair{AreaTableModel::CoordsColumn, 190},
          std::pair{AreaTableModel::HrefColumn, 150}, std::pair{AreaTableModel::AltColumn, 150}})
        m_view->setColumnWidth(column, width);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &AreaTableWindow::rowChosen);
    // Rows that come back (the filter, an undo) or move (sorting) show the
    // document's selection again.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_proxy.get(), signal, this, &AreaTableWindow::showDocumentSelection);
    connect(m_proxy.get(), &QAbstractItemModel::layoutChanged, this, &AreaTableWindow::showDocumentSelection);
    connect(m_proxy.get(), &QAbstractItemModel::modelReset, this, &AreaTableWindow::showDocumentSelection);
    // The document's selection changes in the middle of a change of the rows
    // (a line removed beneath it), when it cannot be shown yet: shown at the end.
    connect(m_model.get(), &AreaTableModel::settled, this, &AreaTableWindow::showDocumentSelection);
    showDocumentSelection();
}

// While hidden nothing is held or followed; the sort column stays with the header.
void AreaTableWindow::detach()
{
    if (!m_model)
        return;
    const int sortColumn = m_view->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = m_view->horizontalHeader()->sortIndicatorOrder();
    m_view->setSortingEnabled(false);
    m_view->setModel(nullptr);
    m_view->horizontalHeader()->setSortIndicator(sortColumn, order);
    m_proxy.reset();
    m_model.reset();
}

int AreaTableWindow::listRow(const QModelIndex& index) const
{
    return m_proxy && index.isValid() ? m_proxy->mapToSource(index).row() : -1;
}

// The document's selected line, as the current row; none while it is hidden
// by the filter. Skipped halfway through a change of the rows: the change's
// end shows it.
void AreaTableWindow::showDocumentSelection()
{
    if (!m_model || m_model->changing() || m_model->rowCount() != m_document.areas().count())
        return;
    const int row = m_document.selectedRow();
    const QModelIndex shown = row >= 0 ? m_proxy->mapFromSource(m_model->index(row, 0)) : QModelIndex();
    QItemSelectionModel* selection = m_view->selectionModel();
    m_showingSelection = true;
    if (!shown.isValid()) {
        selection->clear();
    } else if (selection->currentIndex().row() != shown.row() || !selection->isRowSelected(shown.row())) {
        selection->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(shown);
    }
    m_showingSelection = false;
}

// Only the user's own choice of a row selects the area; rows that move
// beneath the cursor leave the document's selection alone.
void AreaTableWindow::rowChosen(const QModelIndex& current)
{
    if (m_showingSelection || !m_view->userMoving())
        return;
    const int row = listRow(current);
    if (row != m_document.selectedRow())
        m_document.select(row);
}

void AreaTableWindow::openChosen(const QModelIndex& index)
{
    const int row = listRow(index);
    if (row < 0)
        return;
    if (row != m_document.selectedRow())
        m_document.select(row);
    if (m_openEditor)
        m_openEditor(row);
}

AreaTableCommand::AreaTableCommand(MapDocument& document, std::function<void(int)> openEditor, QWidget* owner)
    : QObject(owner), m_document(document), m_openEditor(std::move(openEditor)), m_owner(owner),
      m_action(new QAction(QCoreApplication::translate("korvane::AreaTableWindow", "Arealtabelle..."), owner))
{
    m_action->setObjectName(QStringLiteral("actArealtabelle"));
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    m_action->setShortcutContext(Qt::WindowShortcut);
    owner->addAction(m_action);
    owner->installEventFilter(this);
    connect(m_action, &QAction::triggered, this, &AreaTableCommand::open);
}

void AreaTableCommand::open()
{
    if (!m_window)
        m_window = new AreaTableWindow(m_document, m_openEditor, m_owner);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void AreaTableCommand::followClicksOn(QAbstractItemView& list)
{
    m_list = &list;
    m_listViewport = list.viewport();
    list.viewport()->installEventFilter(this);
}

// The program may end with the table open: its size is kept then too.
bool AreaTableCommand::eventFilter(QObject* watched, QEvent* event)
{
    if (m_list && watched == m_listViewport && event->type() == QEvent::MouseButtonRelease) {
        const auto* click = static_cast<QMouseEvent*>(event);
        const bool onLine = click->button() == Qt::LeftButton && m_list->indexAt(click->position().toPoint()).isValid();
        // Once the list has taken the click (a double click still reaches it).
        if (onLine && m_window && m_window->isVisible() && !m_window->isMinimized())
            QTimer::singleShot(0, m_window, [window = m_window] {
                window->activateWindow();
                window->raise();
                window->view()->setFocus(Qt::MouseFocusReason);
            });
    }
    if (watched == m_owner && event->type() == QEvent::Close && m_window && m_window->isVisible())
        m_window->saveSize();
    return QObject::eventFilter(watched, event);
}

} // namespace korvane
