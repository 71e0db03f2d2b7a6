#include "app/commands/ResponsiveCommands.h"

#include "document/MapDocument.h"
#include "io/FileReplace.h"
#include "model/Codec.h"
#include "model/Paths.h"
#include "model/ProgramState.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>

namespace korvane {

namespace {

QString failedMessage(const QString& path)
{
    return QCoreApplication::translate("korvane::ResponsiveCommands", "Die responsive Seite konnte nicht gespeichert werden: Die Datei "
                                                               "\"%1\" ließ sich nicht schreiben.")
               .arg(path) +
           kCrLf + kCrLf +
           QCoreApplication::translate("korvane::ResponsiveCommands", "Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.");
}

QString savedQuestion(const QString& path)
{
    return QCoreApplication::translate("korvane::ResponsiveCommands", "Die responsive Seite wurde unter \"%1\" gespeichert.").arg(path) + kCrLf +
           kCrLf + QCoreApplication::translate("korvane::ResponsiveCommands", "Soll sie jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?");
}

} // namespace

bool OpenMap::isEmpty() const
{
    return document.areas().isEmpty();
}

ResponsiveMap OpenMap::responsive(FitMode fit, const QString& pageFolder) const
{
    return responsiveMapFor(document.areas().lines(), document.imagePath(), document.mapName(), pictureSize(), fit,
                            pageFolder);
}

void CopyResponsiveCode::run() const
{
    if (m_map.isEmpty())
        return;
    const QString beside = folderOf(m_map.document.imagePath());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    ResponsiveMap map = m_map.responsive(m_state.responsiveFit, beside);
    map.highlight = m_state.highlight;
    clipboard->setText(responsiveCode(map));
}

void SaveResponsivePage::run()
{
    if (m_map.isEmpty())
        return;
    QString folder = m_state.lastMapFolder.isEmpty() ? QDir::currentPath() : m_state.lastMapFolder;
    const QString name = showSaveDialog(m_parent, QCoreApplication::translate("korvane::ResponsiveCommands", "Responsive Seite speichern unter..."), folder,
                                        baseNameOf(m_map.document.imagePath()) + QStringLiteral("-responsiv.html"),
                                        QCoreApplication::translate("korvane::ResponsiveCommands", "HTML-Datei (*.html)|*.html"), QStringLiteral("*.html"));
    if (name.isEmpty())
        return;
    folder = withTrailingSeparator(folder);
    m_state.lastMapFolder = folder;
    const QString path = folder + name;
    ResponsiveMap map = m_map.responsive(m_state.responsiveFit, folder);
    map.highlight = m_state.highlight;
    const QString page = responsivePage(map);
    if (!replaceFiles({{path, page.toUtf8()}}).isEmpty()) {
        warn(m_parent, failedMessage(path));
        return;
    }
    if (askYesNo(m_parent, programName(), savedQuestion(path)))
        platform().openWithAssociatedProgram(path);
}

} // namespace korvane
