#include "app/MenuBar.h"

#include "app/RecentFiles.h"
#include "app/ZoomControls.h"
#include "platform/Platform.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

// The freedesktop icon name of an entry; the icon itself is looked up when
// its menu first opens, so that the window's start never waits for the theme.
const char* const kIconName = "korvaneIconName";

// Keys an entry only shows: they are bound where they always were (the
// window's shortcuts, the canvas's and the list's own keys), and a key bound
// twice would do nothing at all.
void showKeysOnly(QAction* action, const QList<QKeySequence>& keys)
{
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
}

// The desktop's own keys for a command, or Korvane's where it names none.
QList<QKeySequence> standardKeys(QKeySequence::StandardKey standard, const QKeySequence& fallback)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    return keys.isEmpty() ? QList<QKeySequence>{fallback} : keys;
}

// The text field that has the keyboard in the window, if one does: there the
// Bearbeiten entries act on its text, as their keys do.
QWidget* focusedText(QMainWindow& window)
{
    QWidget* focus = window.focusWidget();
    return qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QLineEdit*>(focus) ? focus : nullptr;
}

bool textEntryEnabled(QWidget* text, AreaEdit edit)
{
    bool selected = false, readOnly = false, canPaste = false;
    if (auto* box = qobject_cast<QPlainTextEdit*>(text)) {
        selected = box->textCursor().hasSelection();
        readOnly = box->isReadOnly();
        canPaste = box->canPaste();
    } else if (auto* line = qobject_cast<QLineEdit*>(text)) {
        selected = line->hasSelectedText();
        readOnly = line->isReadOnly();
        canPaste = !readOnly;
    }
    switch (edit) {
    case AreaEdit::Cut:
    case AreaEdit::Delete:
        return selected && !readOnly;
    case AreaEdit::Copy:
        return selected;
    case AreaEdit::Paste:
        return canPaste && !readOnly;
    case AreaEdit::SelectAll:
        return true;
    }
    return false;
}

void runTextEntry(QWidget* text, AreaEdit edit)
{
    switch (edit) {
    case AreaEdit::Cut:
        QMetaObject::invokeMethod(text, "cut");
        return;
    case AreaEdit::Copy:
        QMetaObject::invokeMethod(text, "copy");
        return;
    case AreaEdit::Paste:
        QMetaObject::invokeMethod(text, "paste");
        return;
    case AreaEdit::SelectAll:
        QMetaObject::invokeMethod(text, "selectAll");
        return;
    case AreaEdit::Delete:
        break;
    }
    if (auto* box = qobject_cast<QPlainTextEdit*>(text)) {
        if (!box->isReadOnly())
            box->textCursor().removeSelectedText();
    } else if (auto* line = qobject_cast<QLineEdit*>(text)) {
        if (line->hasSelectedText())
            line->del();
    }
}

QString plainText(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text.replace(QLatin1String("&&"), QLatin1String("&"));
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    return text;
}

} // namespace

MenuBar::MenuBar(QMainWindow& window, const Buttons& buttons, const Entries& entries, ZoomControls& zoom,
                 RecentFiles& recent)
    : QObject(&window), m_window(window), m_buttons(buttons), m_entries(entries), m_zoom(zoom), m_recent(recent)
{
    m_window.menuBar()->setObjectName(QStringLiteral("menuBar"));
    createFileMenu();
    createEditMenu();
    createViewMenu();
    createToolsMenu();
    createMapMenu();
    createHelpMenu();
    // Every entry has its place for an icon, empty where none is named yet.
    std::function<void(const QMenu*)> giveSlots = [&giveSlots](const QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && !action->property(kIconName).isValid())
                action->setProperty(kIconName, QString());
            if (action->menu())
                giveSlots(action->menu());
        }
    };
    for (const QMenu* menu : m_menus)
        giveSlots(menu);
}

QMenu* MenuBar::addMenu(const char* name, const QString& title)
{
    QMenu* menu = m_window.menuBar()->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { showIcons(menu); });
    m_menus << menu;
    return menu;
}

QAction* MenuBar::addEntry(QMenu* menu, const char* name, const QString& text, const char* icon)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setProperty(kIconName, icon ? QString::fromLatin1(icon) : QString());
    return action;
}

// The entry presses the button, so it runs exactly the button's command, and
// follows the button's enabled state as it changes (its key with it).
QAction* MenuBar::addButtonEntry(QMenu* menu, QAbstractButton* button, const char* name, const QString& text,
                                 const char* icon)
{
    QAction* action = addEntry(menu, name, text, icon);
    action->setStatusTip(button->toolTip());
    action->setEnabled(button->isEnabled());
    connect(action, &QAction::triggered, button, &QAbstractButton::click);
    button->installEventFilter(this);
    m_buttonEntries.insert(button, action);
    return action;
}

void MenuBar::addExisting(QMenu* menu, QAction* action, const char* icon)
{
    if (icon && !action->property(kIconName).isValid())
        action->setProperty(kIconName, QLatin1String(icon));
    menu->addAction(action);
}

bool MenuBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (QAction* entry = m_buttonEntries.value(watched))
            entry->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
    }
    return QObject::eventFilter(watched, event);
}

void MenuBar::showIcons(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        const QString name = action->property(kIconName).toString();
        if (!name.isEmpty() && action->icon().isNull())
            action->setIcon(QIcon::fromTheme(name));
    }
}

void MenuBar::createFileMenu()
{
    QMenu* file = addMenu("mnuDatei", tr("&Datei"));
    addButtonEntry(file, m_buttons.open, "actBildOeffnen", tr("Bild &öffnen..."), "document-open")
        ->setShortcuts(standardKeys(QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)));
    addButtonEntry(file, m_buttons.mapImport, "actMapImportieren", tr("&MAP-Datei importieren..."), "document-import");
    addButtonEntry(file, m_buttons.htmlImport, "actHtmlImportieren", tr("&HTML-Seite importieren..."),
                   "document-import");
    QMenu* recent = file->addMenu(tr("&Zuletzt geöffnet"));
    recent->setObjectName(QStringLiteral("mnuZuletzt"));
    recent->menuAction()->setProperty(kIconName, QLatin1String("document-open-recent"));
    // The list is read from the settings file only when the user opens it.
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { m_recent.fillMenu(*recent); });
    file->addSeparator();
    addButtonEntry(file, m_buttons.save, "actSpeichern", tr("&Speichern..."), "document-save")
        ->setShortcuts(standardKeys(QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S)));
    addButtonEntry(file, m_buttons.exportPage, "actExportieren", tr("In HTML-Seite &exportieren..."),
                   "document-export");
    addExisting(file, m_entries.saveResponsive, "document-save-as");
    file->addSeparator();
    QAction* quit = addEntry(file, "actBeenden", tr("&Beenden"), "application-exit");
    quit->setShortcuts(standardKeys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
    quit->setMenuRole(QAction::QuitRole);
    // Closing asks what closing the window asks.
    connect(quit, &QAction::triggered, &m_window, &QWidget::close);
}

void MenuBar::createEditMenu()
{
    m_edit = addMenu("mnuBearbeiten", tr("&Bearbeiten"));
    addExisting(m_edit, m_entries.undo, "edit-undo");
    addExisting(m_edit, m_entries.redo, "edit-redo");
    m_edit->addSeparator();
    const struct {
        AreaEdit edit;
        const char* name;
        QString text;
        const char* icon;
        QList<QKeySequence> keys;
    } edits[] = {
        {AreaEdit::Cut, "actAusschneiden", tr("&Ausschneiden"), "edit-cut",
         QKeySequence::keyBindings(QKeySequence::Cut)},
        {AreaEdit::Copy, "actKopieren", tr("&Kopieren"), "edit-copy", QKeySequence::keyBindings(QKeySequence::Copy)},
        {AreaEdit::Paste, "actEinfuegen", tr("&Einfügen"), "edit-paste",
         QKeySequence::keyBindings(QKeySequence::Paste)},
        {AreaEdit::Delete, "actLoeschen", tr("&Löschen"), "edit-delete", {QKeySequence(Qt::Key_Delete)}},
        {AreaEdit::SelectAll, "actAllesAuswaehlen", tr("Alles aus&wählen"), "edit-select-all",
         QKeySequence::keyBindings(QKeySequence::SelectAll)},
    };
    for (const auto& e : edits) {
        QAction* action = addEntry(m_edit, e.name, e.text, e.icon);
        showKeysOnly(action, e.keys);
        connect(action, &QAction::triggered, this, [this, edit = e.edit] { runEdit(edit); });
        m_editEntries.append({e.edit, action});
    }
    m_edit->addSeparator();
    addButtonEntry(m_edit, m_buttons.attributes, "actEigenschaften", tr("E&igenschaften..."), "document-properties");
    addButtonEntry(m_edit, m_buttons.duplicate, "actDuplizieren", tr("Areal &duplizieren"));
    addButtonEntry(m_edit, m_buttons.clearAll, "actAlleLoeschen", tr("Alle Areale lö&schen"), "edit-clear");
    m_edit->addSeparator();
    m_edit->addMenu(m_entries.align);
    m_order = m_edit->addMenu(tr("&Reihenfolge"));
    m_order->setObjectName(QStringLiteral("mnuReihenfolge"));
    m_order->addActions(m_entries.stacking);
    m_edit->addSeparator();
    for (QAction* snapping : m_entries.snapping)
        addExisting(m_edit, snapping);
    connect(m_edit, &QMenu::aboutToShow, this, &MenuBar::showEditStates);
}

// The states as the context menus and keys see them now.
void MenuBar::showEditStates()
{
    QWidget* text = focusedText(m_window);
    for (const auto& [edit, action] : m_editEntries)
        action->setEnabled(text ? textEntryEnabled(text, edit) : m_entries.canEdit(edit));
    const bool areaEntries = m_entries.showAreaEntries();
    m_order->menuAction()->setEnabled(areaEntries);
    if (!areaEntries)
        m_entries.align->menuAction()->setEnabled(false);
    m_entries.showSnapping();
}

void MenuBar::runEdit(AreaEdit edit)
{
    if (QWidget* text = focusedText(m_window))
        runTextEntry(text, edit);
    else if (m_entries.canEdit(edit))
        m_entries.edit(edit);
}

void MenuBar::createViewMenu()
{
    QMenu* view = addMenu("mnuAnsicht", tr("&Ansicht"));
    QList<QKeySequence> in = QKeySequence::keyBindings(QKeySequence::ZoomIn);
    if (!in.contains(QKeySequence(Qt::CTRL | Qt::Key_Equal)))
        in << QKeySequence(Qt::CTRL | Qt::Key_Equal);
    const struct {
        const char* name;
        QString text;
        const char* icon;
        QList<QKeySequence> keys;
        void (ZoomControls::*run)();
    } zooms[] = {
        {"actVergroessern", tr("Ver&größern"), "zoom-in", in, &ZoomControls::zoomIn},
        {"actVerkleinern", tr("Ver&kleinern"), "zoom-out", QKeySequence::keyBindings(QKeySequence::ZoomOut),
         &ZoomControls::zoomOut},
        {"actOriginalgroesse",
         tr("&Originalgröße (100 %)"),
         "zoom-original",
         {QKeySequence(Qt::CTRL | Qt::Key_0)},
         &ZoomControls::zoomToOriginal},
        {"actEinpassen",
         tr("In Fenster &einpassen"),
         "zoom-fit-best",
         {QKeySequence(Qt::CTRL | Qt::Key_9)},
         &ZoomControls::fitToView},
    };
    for (const auto& z : zooms) {
        QAction* action = addEntry(view, z.name, z.text, z.icon);
        showKeysOnly(action, z.keys);
        connect(action, &QAction::triggered, &m_zoom, z.run);
        m_zoomEntries << action;
    }
    connect(view, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : m_zoomEntries)
            action->setEnabled(m_zoom.canZoom());
    });
    view->addSeparator();
    addExisting(view, m_entries.areaTable);
    addButtonEntry(view, m_buttons.magnifier, "actLupe", tr("&Lupe"));
    addButtonEntry(view, m_buttons.refresh, "actNeuZeichnen", tr("&Neu zeichnen"), "view-refresh");
}

void MenuBar::createToolsMenu()
{
    QMenu* tools = addMenu("mnuWerkzeuge", tr("&Werkzeuge"));
    auto* group = new QActionGroup(this);
    const char* names[] = {"actPolygon", "actRechteck", "actKreis", "actEditMode"};
    const QString texts[] = {tr("&Polygon"), tr("&Rechteck"), tr("&Kreis"), tr("Areale &bearbeiten (EditMode)")};
    const char* icons[] = {"draw-polygon", "draw-rectangle", "draw-circle", "edit-select"};
    for (int i = 0; i < 4; ++i) {
        QRadioButton* option = m_buttons.tools[size_t(i)];
        QAction* action = addButtonEntry(tools, option, names[i], texts[i], icons[i]);
        action->setCheckable(true);
        action->setChecked(option->isChecked());
        // Ctrl and a digit: letters alone would be typed into the code box.
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        group->addAction(action);
        connect(option, &QAbstractButton::toggled, action, &QAction::setChecked);
        m_toolEntries << action;
    }
    nameKeysInToolTips(m_toolEntries);
    // After the drawing tools, before edit mode.
    tools->insertAction(m_toolEntries.value(3), m_entries.trace);
    group->addAction(m_entries.trace);
    // The option is checked from code too, now and then without a signal.
    connect(tools, &QMenu::aboutToShow, this, [this] {
        for (size_t i = 0; i < 4; ++i)
            m_toolEntries[qsizetype(i)]->setChecked(m_buttons.tools[i]->isChecked());
    });
}

void MenuBar::createMapMenu()
{
    QMenu* map = addMenu("mnuMap", tr("&Map"));
    addExisting(map, m_entries.mapCheck);
    addButtonEntry(map, m_buttons.copyCode, "actCodeKopieren", tr("&Code kopieren"), "edit-copy");
    addExisting(map, m_entries.copyResponsive);
    for (QAction* form : m_entries.forms.mid(0, 2))
        addExisting(map, form);
    map->addSeparator();
    addExisting(map, m_entries.relativePath);
    addExisting(map, m_entries.responsiveFit);
    for (QAction* choice : m_entries.forms.mid(2))
        addExisting(map, choice);
    connect(map, &QMenu::aboutToShow, this, [this] { m_entries.showCodeChoices(); });
}

void MenuBar::createHelpMenu()
{
    QMenu* help = addMenu("mnuHilfe", tr("&Hilfe"));
    addButtonEntry(help, m_buttons.help, "actHilfe", tr("&Hilfe"), "help-contents")
        ->setShortcuts(standardKeys(QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)));
    connect(addEntry(help, "actTastenkuerzel", tr("&Tastenkürzel"), "preferences-desktop-keyboard-shortcuts"),
            &QAction::triggered, this, &MenuBar::showKeys);
    QAction* about = addEntry(help, "actUeber", tr("Ü&ber Korvane"), "help-about");
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &MenuBar::showAbout);
}

// A button without a tool tip of its own gets one that names it and its key
// as the desktop writes keys ("Rechteck (Strg+2)"); a tool tip it has stays
// exactly as it is.
void MenuBar::nameKeysInToolTips(const QList<QAction*>& entries)
{
    for (QAction* entry : entries) {
        auto* button = qobject_cast<QAbstractButton*>(m_buttonEntries.key(entry));
        if (!button || !button->toolTip().isEmpty() || entry->shortcut().isEmpty())
            continue;
        button->setToolTip(
            tr("%1 (%2)").arg(plainText(entry->text()), entry->shortcut().toString(QKeySequence::NativeText)));
        entry->setStatusTip(button->toolTip());
    }
}

QList<QAction*> MenuBar::entriesWithKeys() const
{
    QList<QAction*> found;
    std::function<void(const QMenu*)> walk = [&](const QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->menu())
                walk(action->menu());
            else if (!action->shortcuts().isEmpty() && !found.contains(action))
                found << action;
        }
    };
    for (const QMenu* menu : m_menus)
        walk(menu);
    return found;
}

// The keys of the menu entries, and those that work without one.
void MenuBar::showKeys()
{
    if (m_keysShown) {
        m_keysShown->raise();
        m_keysShown->activateWindow();
        return;
    }
    auto* dialog = new QDialog(&m_window);
    dialog->setObjectName(QStringLiteral("frmTastenkuerzel"));
    dialog->setWindowTitle(tr("Tastenkürzel"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QList<std::pair<QString, QString>> rows;
    for (const QAction* action : entriesWithKeys()) {
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts())
            keys << key.toString(QKeySequence::NativeText);
        rows.append({keys.join(QStringLiteral(", ")), plainText(action->text())});
    }
    rows.append({{tr("Pfeiltasten (Umschalt: zehn Pixel)"), tr("Bild, Edit-Modus: ausgewählte Areale verschieben")},
                 {tr("Tab, Umschalt+Tab"), tr("Bild, Edit-Modus: nächstes und voriges Areal wählen")},
                 {tr("Bild auf, Bild ab, Pos1, Ende"), tr("Bild, Edit-Modus: Reihenfolge der Areale")},
                 {tr("Alt gedrückt"), tr("Bild: Einrasten aussetzen")},
                 {tr("+, -"), tr("Bild, Umriss: Toleranz erhöhen und verringern")},
                 {tr("Umschalt+Mausrad"), tr("Bild, Umriss: Toleranz ändern")},
                 {tr("Strg+Mausrad"), tr("Bild: um den Mauszeiger vergrößern und verkleinern")},
                 {tr("Strg+Tab"), tr("Code: ein Tabulatorzeichen schreiben")}});
    auto* table = new QTableWidget(int(rows.size()), 2, dialog);
    table->setObjectName(QStringLiteral("tblTasten"));
    table->setHorizontalHeaderLabels({tr("Tasten"), tr("Befehl")});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        table->setItem(int(i), 0, new QTableWidgetItem(rows[i].first));
        table->setItem(int(i), 1, new QTableWidgetItem(rows[i].second));
    }
    table->resizeColumnToContents(0);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(table);
    dialog->resize(560, 520);
    m_keysShown = dialog;
    dialog->show();
}

void MenuBar::showAbout()
{
    inform(&m_window,
           tr("Korvane %1.%2\n\nEin Editor für HTML-Imagemaps: Areale auf einem Bild zeichnen, mit Verweisen "
              "versehen und als Map-Code mitnehmen.\n\nQt %3")
               .arg(KORVANE_VERSION_MAJOR)
               .arg(KORVANE_VERSION_MINOR)
               .arg(QString::fromLatin1(qVersion())),
           tr("Über Korvane"));
}

} // namespace korvane
