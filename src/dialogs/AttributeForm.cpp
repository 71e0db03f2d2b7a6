#include "dialogs/AttributeForm.h"

#include "dialogs/AttributeRules.h"
#include "model/AreaEntry.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <limits>

namespace korvane {

namespace {

const QString kChooserExtension = QStringLiteral("*.html;*.htm;*.php;*.asp");

QString lines(const QStringList& parts)
{
    return parts.join(QStringLiteral("\r\n"));
}

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* helpButton(QWidget* parent, const char* name)
{
    auto* button = named(new QPushButton(QStringLiteral("?"), parent), name);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("??")) + 16);
    return button;
}

} // namespace

AttributeForm::AttributeForm(Kind kind, QString& linkFolder, QWidget* owner)
    : QDialog(owner), m_kind(kind), m_linkFolder(linkFolder)
{
    setObjectName(kind == Kind::Link ? QStringLiteral("frmVerweis") : QStringLiteral("frmEdit"));
    setWindowTitle(kind == Kind::Link ? tr("Eigenschaften, Verweisziele...")
                                      : tr("Korvane , Attribute bearbeiten..."));
    setModal(true);
    createControls();
    layoutControls();
    createFrames();
    connectButtons();
    ui.Text1->setFocus();
}

void AttributeForm::createControls()
{
    const bool link = m_kind == Kind::Link;
    ui.Label1 = named(new QLabel(tr("Verweisziel (z.B:  http://www.beispiel.de/index.html), oder "
                                                "eine lokale Datei auswählen"),
                                 this),
                      "Label1");
    ui.Text1 = named(new QLineEdit(QStringLiteral("#"), this), "Text1");
    ui.Command4 = named(new QPushButton(this), "Command4");
    ui.Command4->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui.Command4->setToolTip(tr("Lokale Datei auswälen und einen relativen URL- Verweis erstellen."));
    ui.Command7 = helpButton(this, "Command7");

    ui.Label2 = named(new QLabel(link ? tr("Alternativer Text. Dieser Text erscheint beim Überfahren "
                                                       "der Areale mit der Maus:")
                                      : tr("Alternativer Text. Dieser Text erscheint beim Überfahren "
                                                       "mit der Maus:"),
                                 this),
                      "Label2");
    ui.text2 = named(new QLineEdit(QStringLiteral("over"), this), "text2");

    ui.Label3 = named(new QLabel(tr("Target Attribut:"), this), "Label3");
    ui.Combo1 = named(new QComboBox(this), "Combo1");
    ui.Combo1->setEditable(true);
    ui.Combo1->setInsertPolicy(QComboBox::NoInsert);
    ui.Combo1->addItems({QString(), QStringLiteral("_blank"), QStringLiteral("_self"), QStringLiteral("_parent"),
                         QStringLiteral("_top")});
    ui.Combo1->setEditText(QString());
    ui.Command1 = helpButton(this, "Command1");

    ui.Label5 = named(new QLabel(tr("JavaScript EventHandler:"), this), "Label5");
    const char* handlerNames[3] = {"Label4_0", "Label4_1", "Label4_2"};
    const QString handlerCaptions[3] = {QStringLiteral("OnMouseOver"), QStringLiteral("OnMouseOut"),
                                        QStringLiteral("OnClick")};
    for (int i = 0; i < 3; ++i)
        ui.Label4[i] = named(new QLabel(handlerCaptions[i], this), handlerNames[i]);
    ui.txtMouseOver = named(new QLineEdit(this), "txtMouseOver");
    ui.txtMouseOut = named(new QLineEdit(this), "txtMouseOut");
    ui.txtOnClick = named(new QLineEdit(this), "txtOnClick");
    ui.Command6 = helpButton(this, "Command6");
    // A picture that only decorates the handler group; it is not connected.
    ui.Command5 = named(new QPushButton(this), "Command5");
    ui.Command5->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
    ui.Command5->setToolTip(tr("JavaScript EventHandler"));
    ui.Command5->setFlat(true);
    ui.Command5->setAutoDefault(false);
    ui.Command5->setFocusPolicy(Qt::NoFocus);

    if (link) {
        ui.Label6 = named(new QLabel(tr("Hinweis: Hier kann auch zunächst auf \"Übernehmen\" geklickt "
                                                    "werden. Die richtigen Werte können dann später im Edit-Modus "
                                                    "eingetragen werden."),
                                     this),
                          "Label6");
        ui.Label6->setWordWrap(true);
    }
    ui.Command2 =
        named(new QPushButton(link ? tr("Übernehmen") : tr("Uebernehmen"), this), "Command2");
    ui.Command2->setDefault(true);
    // Enter in a box accepts; on a focused button it presses that button, so
    // Enter on "Abbrechen" never keeps the area by mistake.
    ui.Command3 = named(new QPushButton(tr("Abbrechen"), this), "Command3");
    if (link)
        ui.Command3->setToolTip(tr("Das eben gezeichnete Areal wird gelöscht."));
    else {
        ui.txtZeile = named(new QLineEdit(QStringLiteral("Text3"), this), "txtZeile");
        ui.txtZeile->setVisible(false);
    }
    // Values read from an imported page can be long; a box must never cut
    // them short when the dialog is accepted.
    for (QLineEdit* box : {ui.Text1, ui.text2, ui.Combo1->lineEdit(), ui.txtMouseOver, ui.txtMouseOut, ui.txtOnClick})
        box->setMaxLength(std::numeric_limits<int>::max());
}

void AttributeForm::layoutControls()
{
    auto* grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(ui.Label1, row++, 0, 1, 4);
    grid->addWidget(ui.Text1, row, 0, 1, 2);
    grid->addWidget(ui.Command4, row, 2);
    grid->addWidget(ui.Command7, row++, 3);
    grid->addWidget(ui.Label2, row++, 0, 1, 4);
    grid->addWidget(ui.text2, row++, 0, 1, 3);
    grid->addWidget(ui.Label3, row++, 0, 1, 4);
    grid->addWidget(ui.Combo1, row, 0, 1, 2);
    grid->addWidget(ui.Command1, row++, 3);
    grid->addWidget(ui.Label5, row, 0, 1, 2);
    grid->addWidget(ui.Command5, row, 2);
    grid->addWidget(ui.Command6, row++, 3);
    QLineEdit* handlers[3] = {ui.txtMouseOver, ui.txtMouseOut, ui.txtOnClick};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(ui.Label4[i], row, 0);
        grid->addWidget(handlers[i], row++, 1, 1, 2);
    }
    if (ui.Label6)
        grid->addWidget(ui.Label6, row++, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ui.Command2);
    buttons->addWidget(ui.Command3);
    grid->addLayout(buttons, row++, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(6);
    setMinimumWidth(520);
    setTabOrder(ui.Text1, ui.text2);
    setTabOrder(ui.text2, ui.Combo1);
    setTabOrder(ui.Combo1, ui.txtMouseOver);
    setTabOrder(ui.txtMouseOver, ui.txtMouseOut);
    setTabOrder(ui.txtMouseOut, ui.txtOnClick);
    setTabOrder(ui.txtOnClick, ui.Command2);
    setTabOrder(ui.Command2, ui.Command3);
}

// Thin outlines one pixel outside the text boxes; they follow the boxes
// wherever the layout puts them.
void AttributeForm::createFrames()
{
    const std::pair<QFrame**, QWidget*> frames[] = {{&ui.Shape_text1, ui.Text1},
                                                    {&ui.shape_text2, ui.text2},
                                                    {&ui.Shape1, ui.txtMouseOver},
                                                    {&ui.Shape2, ui.txtMouseOut},
                                                    {&ui.Shape3, ui.txtOnClick}};
    const char* names[] = {"Shape_text1", "shape_text2", "Shape1", "Shape2", "Shape3"};
    int i = 0;
    for (const auto& [frame, box] : frames) {
        *frame = named(new QFrame(this), names[i++]);
        (*frame)->setFrameStyle(QFrame::Box | QFrame::Plain);
        (*frame)->setLineWidth(1);
        (*frame)->setAttribute(Qt::WA_TransparentForMouseEvents);
        (*frame)->lower();
        box->setProperty("korvaneFrame", QVariant::fromValue<QObject*>(*frame));
        box->installEventFilter(this);
        placeFrame(box);
    }
}

void AttributeForm::placeFrame(QWidget* box)
{
    if (auto* frame = qobject_cast<QFrame*>(box->property("korvaneFrame").value<QObject*>()))
        frame->setGeometry(box->geometry().adjusted(-1, -1, 1, 1));
}

void AttributeForm::connectButtons()
{
    connect(ui.Command2, &QPushButton::clicked, this, [this] {
        m_accepted = true;
        done(Accepted);
    });
    connect(ui.Command3, &QPushButton::clicked, this, [this] { done(Rejected); });
    connect(ui.Command4, &QPushButton::clicked, this, &AttributeForm::chooseLocalFile);
    connect(ui.Command7, &QPushButton::clicked, this,
            [this] { inform(this, linkTargetHelp(), programName() + tr("- Verweisziel")); });
    connect(ui.Command1, &QPushButton::clicked, this,
            [this] { inform(this, targetHelp(), programName() + tr(" - Target Attribut")); });
    connect(ui.Command6, &QPushButton::clicked, this,
            [this] { inform(this, eventHandlerHelp(), programName() + tr(" - JavaScript EventHandler")); });
}

bool AttributeForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        placeFrame(box);
    } else if (event->type() == QEvent::KeyPress &&
               (box == ui.txtMouseOver || box == ui.txtMouseOut || box == ui.txtOnClick)) {
        // The handler code goes into a double-quoted HTML attribute, so a
        // typed double quote becomes an apostrophe.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (attributes::isDoubleQuote(key->text())) {
            box->insert(QStringLiteral("'"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AttributeForm::chooseLocalFile()
{
    QString folder =
        m_linkFolder.isEmpty() ? withTrailingSeparator(QDir::toNativeSeparators(QDir::currentPath())) : m_linkFolder;
    const QString name = showOpenDialog(this, tr("HTML, HTM, PHP, ASP-Dateien"), folder, QString(),
                                        tr("HTML, HTM, PHP, ASP-Dateien (*.html,*.htm,*.php,*.asp) |*.html;*.htm;*.php;*.asp"),
                                        kChooserExtension);
    if (name.isEmpty())
        return;
    // The bare file name is the relative link; it holds when the page with
    // the map lies in the same folder as the chosen file.
    ui.Text1->setText(name);
    m_linkFolder = withTrailingSeparator(folder);
}

LinkAttributes AttributeForm::enteredAttributes() const
{
    const QString href = m_kind == Kind::Link ? attributes::cleanedHref(ui.Text1->text()) : ui.Text1->text();
    // A "|" would split the area line; "&#124;" means the same in HTML.
    return {entry::escapeBar(href),
            entry::escapeBar(ui.text2->text()),
            entry::escapeBar(attributes::optionalValue(ui.Combo1->currentText())),
            entry::escapeBar(attributes::optionalValue(ui.txtMouseOver->text())),
            entry::escapeBar(attributes::optionalValue(ui.txtMouseOut->text())),
            entry::escapeBar(attributes::optionalValue(ui.txtOnClick->text()))};
}

QString AttributeForm::closeQuestion() const
{
    return m_kind == Kind::Link
               ? tr("Die Daten wurden noch nicht übernommen. Daten verwerfen und Areal löschen?")
               : tr("Die Daten wurden noch nicht übernommen. Daten verwerfen und die ursprünglichen "
                                "Werte verwenden?");
}

// Closing through the title bar (or Escape) would lose the input, so it asks
// first; Yes acts as "Abbrechen".
void AttributeForm::closeEvent(QCloseEvent* event)
{
    if (askYesNo(this, kQuestionTitle, closeQuestion(), MessageButton::No)) {
        done(Rejected);
        event->accept();
    } else {
        event->ignore();
    }
}

void AttributeForm::reject()
{
    close();
}

QString AttributeForm::linkTargetHelp()
{
    return tr("Als Verweisziel kann auch JavaScript Code eingetragen werden (z.B: "
                          "javascript:alert('Meldung').");
}

QString AttributeForm::targetHelp()
{
    return lines({tr("\"_blank\" - das Dokument wird in ein neues, zusätzliches Browserfenster geladen, "
                                 "die alte Seite bleibt erhalten "),
                  QString(), tr("\"_self\" - das Dokument wird in das gerade aktive Fenster geladen."),
                  QString(),
                  tr("\"_parent\" - bei geschachtelten Frames wird das Dokument in das Fenster geladen, "
                                 "das sich eine Verschachtelungsebene höher befindet"),
                  QString(),
                  tr("\"_top\" - das Dokument wird in das Browserfenster geladen, löscht also die "
                                 "Framedarstellung "),
                  QString(),
                  tr("In die ComboBox können auch Namen von Frames per Hand eingetragen werden (z.B. "
                                 "links, rechts)."),
                  QString(),
                  tr("Bleibt die ComboBox leer, wird das Target-Attribut nicht verwendet und der Verweis "
                                 "wird im gleichen Fenster geöffnet.")});
}

QString AttributeForm::eventHandlerHelp()
{
    return lines(
        {tr("Die 3 Eingabefelder im unteren Teil sollten nur User mit JavaScript Kentnissen verwenden."),
         tr("In diese Felder kann JavaScript Code eingetragen werden oder es können vorher "),
         tr("definierte JavaScript Functionen aufgerufen werden."), QString(),
         tr("Beispiel: Öffnen eines Fensters "),
         QStringLiteral("window.open('','','toolbar=no,status=no,menubar=no,height=150,width=100')"),
         tr("Innerhalb des Codes nur einfache Beistriche (') verwenden."), QString(),
         tr("Beispiel: Aufruf einer vorher definierten Funktion"), QStringLiteral("IhreFunktion()"),
         tr("Der Code muss nicht in Beistriche (\") eingeschlossen werden."), QString(),
         tr("Im HTML-Quellcode steht dann später: onclick=\"IhreFunktion()\""), QString(),
         tr("Falls sie über keine JavaScript Kentnisse verfügen, sollten Sie diese Felder leer lassen.")});
}

// The link dialog starts with the attributes accepted last; an empty link
// target or alternative text keeps the form's "#" and "over".
frmVerweis::frmVerweis(const LinkAttributes& previous, QString& linkFolder, QWidget* owner)
    : AttributeForm(Kind::Link, linkFolder, owner)
{
    if (!previous.href.isEmpty())
        ui.Text1->setText(previous.href);
    ui.Text1->selectAll();
    if (!previous.alt.isEmpty())
        ui.text2->setText(previous.alt);
    ui.text2->selectAll();
    if (previous.target != entry::kAbsent)
        ui.Combo1->setEditText(previous.target);
    const std::pair<QLineEdit*, QString> handlers[] = {{ui.txtMouseOver, previous.onmouseover},
                                                       {ui.txtMouseOut, previous.onmouseout},
                                                       {ui.txtOnClick, previous.onclick}};
    for (const auto& [box, value] : handlers) {
        if (value != entry::kAbsent) {
            box->setText(value);
            box->selectAll();
        }
    }
}

frmEdit::frmEdit(const QString& line, QString& linkFolder, QWidget* owner)
    : AttributeForm(Kind::Edit, linkFolder, owner)
{
    m_line = line;
    ui.txtZeile->setMaxLength(std::numeric_limits<int>::max());
    ui.txtZeile->setText(line);
    const LinkAttributes a = entry::attributesOf(line);
    ui.Text1->setText(blanksTrimmed(a.href));
    ui.Text1->selectAll();
    ui.text2->setText(blanksTrimmed(a.alt));
    ui.text2->selectAll();
    const auto shown = [](const QString& value) { return value == entry::kAbsent ? QString() : value; };
    ui.Combo1->setEditText(shown(a.target));
    ui.txtMouseOver->setText(shown(a.onmouseover));
    ui.txtMouseOut->setText(shown(a.onmouseout));
    ui.txtOnClick->setText(shown(a.onclick));
}

QString frmEdit::editedLine() const
{
    return entry::withAttributes(m_line, enteredAttributes());
}

} // namespace korvane
