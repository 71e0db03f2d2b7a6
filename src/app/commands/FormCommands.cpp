#include "app/commands/FormCommands.h"

#include "app/commands/SettingsCommands.h"

#include "document/MapDocument.h"
#include "io/FileReplace.h"
#include "model/Codec.h"
#include "model/JsonMap.h"
#include "model/MapCode.h"
#include "model/Paths.h"
#include "model/ProgramState.h"
#include "model/WikiMap.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>

namespace korvane {

namespace {

// What a form could not take, as one box; none when it took everything.
void tellWhatIsLeft(QWidget* parent, const QString& done, const QStringList& left)
{
    if (!left.isEmpty())
        inform(parent, done + kCrLf + kCrLf + left.join(kCrLf + kCrLf));
}

} // namespace

void CopyWikiCode::run() const
{
    if (m_map.isEmpty())
        return;
    const MapDocument& document = m_map.document;
    const wiki::WikiText text = wiki::wikiImagemap(document.areas().lines(), fileNameOf(document.imagePath()),
                                                   m_map.pictureSize().width(), QString());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text.text);
    tellWhatIsLeft(
        m_parent, QCoreApplication::translate("korvane::FormCommands", "Der MediaWiki-Code ist in der Zwischenablage."),
        text.left);
}

void SaveJsonFile::run()
{
    if (m_map.isEmpty())
        return;
    const MapDocument& document = m_map.document;
    QString folder = m_state.lastMapFolder.isEmpty() ? QDir::currentPath() : m_state.lastMapFolder;
    const QString name = showSaveDialog(
        m_parent, QCoreApplication::translate("korvane::FormCommands", "JSON speichern unter..."), folder,
        baseNameOf(document.imagePath()) + QStringLiteral(".json"),
        QCoreApplication::translate("korvane::FormCommands", "JSON-Datei (*.json)|*.json"), QStringLiteral("*.json"));
    if (name.isEmpty())
        return;
    folder = withTrailingSeparator(folder);
    m_state.lastMapFolder = folder;
    const QString path = folder + name;
    const json::JsonText text =
        json::mapJson(document.areas().lines(), relativePath(document.imagePath(), folder), m_map.pictureSize(),
                      mapNameFor(document.imagePath(), document.mapName()));
    if (!replaceFiles({{path, text.text}}).isEmpty()) {
        warn(m_parent, QCoreApplication::translate("korvane::FormCommands",
                                                   "Die JSON-Datei konnte nicht gespeichert werden: Die Datei \"%1\" "
                                                   "ließ sich nicht schreiben.")
                               .arg(path) +
                           kCrLf + kCrLf +
                           QCoreApplication::translate("korvane::FormCommands",
                                                       "Eine bereits vorhandene Datei dieses Namens ist unverändert "
                                                       "geblieben."));
        return;
    }
    tellWhatIsLeft(
        m_parent,
        QCoreApplication::translate("korvane::FormCommands", "Die JSON-Datei wurde unter \"%1\" gespeichert.")
            .arg(path),
        text.left);
}

void ChooseHighlightColour::run()
{
    readStoredHighlight(m_state);
    const quint32 rgb = m_state.highlight.colour;
    const std::optional<QColor> chosen = platform().colourDialog(
        m_parent, QCoreApplication::translate("korvane::FormCommands", "Farbe der Hervorhebung"),
        QColor(int(rgb >> 16), int((rgb >> 8) & 0xff), int(rgb & 0xff)));
    if (!chosen)
        return;
    m_state.highlight.colour = quint32(chosen->rgb() & 0xffffff);
    m_state.highlightColourChosen = true;
}

} // namespace korvane
