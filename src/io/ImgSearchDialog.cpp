#include "io/ImgSearchDialog.h"

#include "io/HtmlImport.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace korvane {

ImgSearchDialog::ImgSearchDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmImgSuche"));
    setWindowTitle(tr("Grafikdateien mit zugeordneten ImageMaps"));
    setFixedSize(520, 300);

    ui.Label1 = new QLabel(tr("In der ausgewählten HTML-Datei befinden sich folgende Grafikdateien mit "
                                          "zugeordneten ImageMaps. Bitte die Zeile mit der  gewünschten "
                                          "Grafikdatei auswählen:"),
                           this);
    ui.Label1->setObjectName(QStringLiteral("Label1"));
    ui.Label1->setWordWrap(true);
    ui.Label1->setGeometry(10, 8, 500, 48);

    ui.List2 = new QListWidget(this);
    ui.List2->setObjectName(QStringLiteral("List2"));
    ui.List2->setGeometry(10, 62, 500, 228);

    ui.List1 = new QListWidget(this);
    ui.List1->setObjectName(QStringLiteral("List1"));
    ui.List1->setGeometry(10, 62, 40, 20);
    ui.List1->setVisible(false);

    // The button only serves to fill the list from code; -1000 twips puts it out of sight.
    ui.Command1 = new QPushButton(this);
    ui.Command1->setObjectName(QStringLiteral("Command1"));
    const int twipsLeft = -1000;
    ui.Command1->setGeometry(twipsLeft * logicalDpiX() / 1440, 8, 60, 24);

    connect(ui.Command1, &QPushButton::clicked, this, &ImgSearchDialog::fillList);
    connect(ui.List2, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { choose(ui.List2->row(item)); });
    // Enter on a line chooses it too, for those who work with the keyboard.
    connect(ui.List2, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { choose(ui.List2->row(item)); });
}

void ImgSearchDialog::showCandidates()
{
    ui.Command1->click();
}

void ImgSearchDialog::setCandidates(const QStringList& tags)
{
    ui.List1->clear();
    ui.List1->addItems(tags);
}

void ImgSearchDialog::fillList()
{
    for (int i = 0; i < ui.List1->count(); ++i)
        ui.List2->addItem(import::candidateLine(ui.List1->item(i)->text()));
}

void ImgSearchDialog::choose(int row)
{
    if (row < 0 || row >= ui.List1->count())
        return;
    ui.List1->setCurrentRow(row);
    emit tagChosen(ui.List1->item(row)->text());
    accept();
}

} // namespace korvane
