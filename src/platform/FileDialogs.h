#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The two file-dialog wrappers every command uses. On success the folder
// argument is replaced by the chosen file's folder (with a trailing
// separator) and that folder becomes the current working folder.
namespace korvane {

QString showOpenDialog(QWidget* owner, const QString& title, QString& folder, const QString& presetName,
                       const QString& filter, const QString& defaultExtension);
QString showSaveDialog(QWidget* owner, const QString& title, QString& folder, const QString& presetName,
                       const QString& filter, const QString& defaultExtension);

// A file chosen before any dialog opened (given on the command line or
// dropped on the window), taken as the answer of an open dialog: the folder
// hand-back and the change of the current folder are those of a real choice.
QString acceptChosenFile(const QString& path, QString& folder);

// "A|*.a|B|*.b;*.c" becomes the name filters "A (*.a)" and "B (*.b *.c)".
QStringList nameFiltersOf(const QString& barFilter);
// The suffix a typed name without extension gets: "*.html" gives "html".
QString defaultSuffixOf(const QString& defaultExtension);

} // namespace korvane
