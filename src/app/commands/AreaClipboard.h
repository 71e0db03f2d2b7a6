#pragma once

#include <QObject>
#include <QSize>
#include "model/AreaLines.h"

#include <QSet>
#include <QStringList>

#include <functional>

namespace korvane {

class MapDocument;

// Areas on the clipboard: the selected lines under a type of our own, so
// that another running editor takes them as areas, and their map code as
// plain text for any other program.
class AreaClipboard : public QObject {
    Q_OBJECT
public:
    static const QString kMimeType;

    struct View {
        std::function<QSize()> pictureSize;
        // Selects exactly `rows` (`current` chosen last) and shows them.
        std::function<void(const QList<int>& rows, int current)> show;
    };
    AreaClipboard(MapDocument& document, View view, QObject* parent = nullptr);

    // False when no area is selected.
    bool copy() const;
    bool cut();
    // Appends the areas on the clipboard, moved onto the picture where they
    // lie outside it and offset by 10 pixels where a copy would cover its
    // original exactly; false when the clipboard holds no areas.
    bool paste();
    // The clipboard holds areas (of this or another running editor).
    static bool canPaste();

private:
    QStringList selectedLines() const;
    QString placed(QString line, const QSet<QString>& present) const;

    MapDocument& m_document;
    View m_view;
};

} // namespace korvane
