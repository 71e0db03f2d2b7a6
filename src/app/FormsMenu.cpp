#include "app/FormsMenu.h"

#include "app/CodeBox.h"
#include "app/commands/FormCommands.h"
#include "app/commands/SettingsCommands.h"
#include "document/MapDocument.h"
#include "model/ProgramState.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace korvane {

namespace {

const std::pair<HighlightKind, const char*> kKinds[] = {
    {HighlightKind::None, QT_TRANSLATE_NOOP("korvane::FormsMenu", "Keine")},
    {HighlightKind::Outline, QT_TRANSLATE_NOOP("korvane::FormsMenu", "Umriss")},
    {HighlightKind::OutlineFill, QT_TRANSLATE_NOOP("korvane::FormsMenu", "Umriss und Fläche")}};

} // namespace

FormsMenu::FormsMenu(CodeBox& box, QWidget& window, const MapDocument& document, ProgramState& state,
                     std::function<QSize()> pictureSize)
    : QObject(&window), m_window(window), m_document(document), m_state(state), m_pictureSize(std::move(pictureSize))
{
    QAction* wiki = entry(QStringLiteral("mnuWikiKopieren"), tr("MediaWiki-Code kopieren"));
    connect(wiki, &QAction::triggered, this, [this] { CopyWikiCode({m_document, m_pictureSize}, &m_window).run(); });
    QAction* json = entry(QStringLiteral("mnuJsonSpeichern"), tr("JSON speichern..."));
    connect(json, &QAction::triggered, this,
            [this] { SaveJsonFile({m_document, m_pictureSize}, m_state, &m_window).run(); });
    // Like Save, they wait for areas.
    const auto followAreas = [this, wiki, json] {
        wiki->setEnabled(!m_document.areas().isEmpty());
        json->setEnabled(!m_document.areas().isEmpty());
    };
    const AreaList* areas = &m_document.areas();
    connect(areas, &AreaList::rowsInserted, this, followAreas);
    connect(areas, &AreaList::rowsRemoved, this, followAreas);
    connect(areas, &AreaList::modelReset, this, followAreas);
    followAreas();

    auto* highlightMenu = new QMenu(tr("Hervorhebung der responsiven Flächen"), &m_window);
    highlightMenu->setObjectName(QStringLiteral("mnuHervorhebung"));
    auto* group = new QActionGroup(this);
    for (const auto& [kind, text] : kKinds) {
        QAction* choice = entry(QStringLiteral("mnuHervorhebung_") + highlightKindName(kind), tr(text));
        choice->setCheckable(true);
        group->addAction(choice);
        highlightMenu->addAction(choice);
        m_kinds << choice;
        connect(choice, &QAction::triggered, this, [this, kind = kind] {
            m_state.highlight.kind = kind;
            m_state.highlightKindChosen = true;
        });
    }
    highlightMenu->addSeparator();
    QAction* colour = entry(QStringLiteral("mnuHervorhebungFarbe"), tr("Farbe..."));
    highlightMenu->addAction(colour);
    connect(colour, &QAction::triggered, this, [this] { ChooseHighlightColour(m_state, &m_window).run(); });
    m_entries = {wiki, json, highlightMenu->menuAction()};
    box.addMenuActions(m_entries);
    connect(&box, &CodeBox::menuOpening, this, &FormsMenu::showChoices);
    showChoices();
}

QAction* FormsMenu::entry(const QString& name, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    return action;
}

void FormsMenu::showChoices()
{
    readStoredHighlight(m_state);
    for (qsizetype i = 0; i < m_kinds.size(); ++i)
        m_kinds[i]->setChecked(kKinds[i].first == m_state.highlight.kind);
}

} // namespace korvane
