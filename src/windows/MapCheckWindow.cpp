#include "windows/MapCheckWindow.h"

#include "document/MapDocument.h"
#include "model/Paths.h"

#include <QCoreApplication>
#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kAreaRole = Qt::UserRole;

QString severityText(check::Severity severity)
{
    return severity == check::Severity::Error ? QCoreApplication::translate("korvane::MapCheckWindow", "Fehler") : QCoreApplication::translate("korvane::MapCheckWindow", "Warnung");
}

QString summaryOf(const check::Findings& findings)
{
    if (findings.empty())
        return QCoreApplication::translate("korvane::MapCheckWindow", "Keine Befunde.");
    const auto errors = std::count_if(findings.begin(), findings.end(),
                                      [](const check::Finding& f) { return f.severity == check::Severity::Error; });
    const int warnings = int(findings.size()) - int(errors);
    // Each count with its own word, so that a language of other plurals can
    // follow the number ("1 error"); "Fehler" is both in German.
    const QString errorCount =
        QCoreApplication::translate("korvane::MapCheckWindow", "%n Fehler", nullptr, int(errors));
    const QString warningCount =
        warnings == 1 ? QCoreApplication::translate("korvane::MapCheckWindow", "1 Warnung")
                      : QCoreApplication::translate("korvane::MapCheckWindow", "%n Warnungen", nullptr, warnings);
    return QCoreApplication::translate("korvane::MapCheckWindow", "%1, %2").arg(errorCount, warningCount);
}

} // namespace

MapCheckWindow::MapCheckWindow(MapDocument& document, std::function<QSize()> pictureSize, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_document(document), m_pictureSize(std::move(pictureSize))
{
    setObjectName(QStringLiteral("frmMapCheck"));
    setWindowTitle(QCoreApplication::translate("korvane::MapCheckWindow", "Map prüfen"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstBefunde"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QCoreApplication::translate("korvane::MapCheckWindow", "Zeile"), QCoreApplication::translate("korvane::MapCheckWindow", "Art"), QCoreApplication::translate("korvane::MapCheckWindow", "Regel"),
                             QCoreApplication::translate("korvane::MapCheckWindow", "Meldung")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_width = new QSpinBox(this);
    m_width->setObjectName(QStringLiteral("spnAnzeigebreite"));
    m_width->setRange(0, 100'000);
    m_width->setSpecialValueText(QCoreApplication::translate("korvane::MapCheckWindow", "Bildbreite"));
    m_width->setSuffix(QCoreApplication::translate("korvane::MapCheckWindow", " Pixel"));
    m_width->setToolTip(QCoreApplication::translate("korvane::MapCheckWindow", "Die Breite, in der die Seite das Bild zeigt: danach richtet sich die "
                                       "Mindestgröße der Areale."));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblBefunde"));
    auto* widthRow = new QHBoxLayout;
    auto* widthLabel = new QLabel(QCoreApplication::translate("korvane::MapCheckWindow", "Anzeigebreite:"), this);
    widthLabel->setBuddy(m_width);
    widthRow->addWidget(widthLabel);
    widthRow->addWidget(m_width);
    widthRow->addStretch();
    widthRow->addWidget(m_summary);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(widthRow);
    layout->addWidget(m_list);
    resize(640, 280);

    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &MapCheckWindow::chosen);
    connect(m_width, &QSpinBox::valueChanged, this, &MapCheckWindow::recheck);
    const AreaList& areas = m_document.areas();
    for (auto signal : {&AreaList::rowsInserted, &AreaList::rowsRemoved})
        connect(&areas, signal, this, &MapCheckWindow::recheck);
    connect(&areas, &AreaList::rowsMoved, this, &MapCheckWindow::recheck);
    connect(&areas, &AreaList::dataChanged, this, &MapCheckWindow::recheck);
    connect(&areas, &AreaList::modelReset, this, &MapCheckWindow::recheck);
}

void MapCheckWindow::recheck()
{
    if (!isVisible())
        return;
    check::MapFacts facts;
    facts.picture = m_pictureSize();
    facts.pictureFileName = fileNameOf(m_document.imagePath());
    facts.displayWidth = m_width->value();
    m_findings = check::checkAreas(m_document.areas().lines(), facts);
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const check::Finding& f : m_findings) {
        auto* item = new QTreeWidgetItem({QString::number(f.line), severityText(f.severity), f.rule, f.message});
        item->setData(0, kAreaRole, f.area);
        item->setToolTip(3, f.message);
        items << item;
    }
    m_list->addTopLevelItems(items);
    m_summary->setText(summaryOf(m_findings));
}

void MapCheckWindow::chosen(QTreeWidgetItem* item)
{
    const int area = item->data(0, kAreaRole).toInt();
    if (area >= 0 && area < m_document.areas().count())
        m_document.select(area);
}

MapCheckCommand::MapCheckCommand(MapDocument& document, std::function<QSize()> pictureSize, QWidget* parent)
    : QObject(parent), m_document(document), m_pictureSize(std::move(pictureSize)), m_parent(parent),
      m_action(new QAction(QCoreApplication::translate("korvane::MapCheckWindow", "Map prüfen..."), parent))
{
    m_action->setObjectName(QStringLiteral("actMapPruefen"));
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    m_action->setShortcutContext(Qt::WindowShortcut);
    parent->addAction(m_action);
    connect(m_action, &QAction::triggered, this, &MapCheckCommand::open);
}

void MapCheckCommand::open()
{
    if (!m_window)
        m_window = new MapCheckWindow(m_document, m_pictureSize, m_parent);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->recheck();
}

} // namespace korvane
