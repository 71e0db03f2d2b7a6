#include "app/CodeBoxMenu.h"

#include "app/CodeBox.h"
#include "app/commands/ResponsiveCommands.h"
#include "document/MapDocument.h"
#include "model/ProgramState.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace korvane {

namespace {

const std::pair<FitMode, const char*> kFits[] = {
    {FitMode::Fill, QT_TRANSLATE_NOOP("korvane::CodeBoxMenu", "Verzerrt füllen (fill)")},
    {FitMode::Contain, QT_TRANSLATE_NOOP("korvane::CodeBoxMenu", "Ganz zeigen (contain)")},
    {FitMode::Cover, QT_TRANSLATE_NOOP("korvane::CodeBoxMenu", "Ausschnitt füllen (cover)")}};

} // namespace

CodeBoxMenu::CodeBoxMenu(CodeBox& box, QWidget& window, const MapDocument& document, ProgramState& state,
                         std::function<QSize()> pictureSize)
    : QObject(&window), m_window(window), m_document(document), m_state(state), m_pictureSize(std::move(pictureSize))
{
    QAction* copy = entry("mnuResponsivKopieren", tr("Responsiven Code kopieren"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(copy, &QAction::triggered, this,
            [this] { CopyResponsiveCode({m_document, m_pictureSize}, m_state).run(); });
    QAction* save = entry("mnuResponsivSpeichern", tr("Responsive Seite speichern..."));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(save, &QAction::triggered, this,
            [this] { SaveResponsivePage({m_document, m_pictureSize}, m_state, &m_window).run(); });
    // The keys act in the whole window, not only in the code box.
    m_window.addActions({copy, save});
    // Like Save, they wait for areas.
    const auto followAreas = [this, copy, save] {
        copy->setEnabled(!m_document.areas().isEmpty());
        save->setEnabled(!m_document.areas().isEmpty());
    };
    const AreaList* areas = &m_document.areas();
    connect(areas, &AreaList::rowsInserted, this, followAreas);
    connect(areas, &AreaList::rowsRemoved, this, followAreas);
    connect(areas, &AreaList::modelReset, this, followAreas);
    followAreas();

    auto* fitMenu = new QMenu(tr("Einpassung der responsiven Grafik"), &m_window);
    fitMenu->setObjectName(QStringLiteral("mnuEinpassung"));
    auto* fitGroup = new QActionGroup(this);
    for (const auto& [mode, text] : kFits) {
        QAction* fit = entry(qPrintable(QStringLiteral("mnuEinpassung_") + fitModeName(mode)), tr(text));
        fit->setCheckable(true);
        fitGroup->addAction(fit);
        fitMenu->addAction(fit);
        m_fits << fit;
        connect(fit, &QAction::triggered, this, [this, mode = mode] { choose([this, mode] { m_state.responsiveFit = mode; }); });
    }
    m_relative = entry("mnuBildpfadRelativ", tr("Bildpfad relativ zur Seite"));
    m_relative->setCheckable(true);
    connect(m_relative, &QAction::toggled, this,
            [this](bool on) { choose([this, on] { m_state.relativeImagePath = on; }); });
    m_entries = {copy, save, fitMenu->menuAction(), m_relative};
    box.addMenuActions(m_entries);
    connect(&box, &CodeBox::menuOpening, this, &CodeBoxMenu::showChoices);
    showChoices();
}

QAction* CodeBoxMenu::entry(const char* name, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

void CodeBoxMenu::choose(const std::function<void()>& change)
{
    change();
    m_state.codeChoicesMade = true;
}

void CodeBoxMenu::showChoices()
{
    const QSignalBlocker quiet(m_relative);
    m_relative->setChecked(m_state.relativeImagePath);
    for (qsizetype i = 0; i < m_fits.size(); ++i)
        m_fits[i]->setChecked(kFits[i].first == m_state.responsiveFit);
}

} // namespace korvane
