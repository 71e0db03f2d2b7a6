#pragma once

// What the catalogue's actions share: the line format as the test writes
// it, the attribute inputs a user types, answering the attribute dialogs,
// and the checks of moved and reshaped lines.
#include "session/Session.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QStringList>

#include <optional>

class QLineEdit;
class QWidget;

namespace korvane::session {

// The six values a user types into an attribute dialog, and what the line
// keeps of them (a "|" as "&#124;", blank target and handlers as "*"; the
// link dialog drops "href=" and double quotes from the link).
struct AttributeInput {
    QString href, alt, target, over, out, click;
};
int attributeInputCount();
const AttributeInput& attributeInput(int index);
// Fields 2 to 7 as a line keeps them.
QStringList storedAttributes(const AttributeInput& input, bool linkDialog);

// How the user leaves an attribute dialog.
enum class DialogEnd { Cancel = 0, Accept = 1, Escape = 2 };
// Fills the next attribute dialog (frmVerweis or frmEdit) and ends it so.
void answerAttributeDialog(Session& s, const AttributeInput& input, DialogEnd end);

// A line as a drawing tool writes it.
QString drawnLine(const QString& shape, const QList<int>& coords, const QStringList& attributes);
QStringList fieldsOf(const QString& line);
QString shapeOf(const QString& line);
QList<int> coordsOf(const QString& line);
QString withCoords(const QString& line, const QList<int>& coords);
// The line's extent in picture pixels (a circle's centre +- radius).
std::optional<QRect> extentOf(const QString& line);
// The move that turns `before` into `after` when that is all that changed.
std::optional<QPoint> translation(const QString& before, const QString& after);
// Everything but the coordinates stayed.
bool sameButCoords(const QString& before, const QString& after);

// Types the text key by key into the widget.
void typeText(QWidget* on, const QString& text);
// Types into a line edit as a user does: all selected, then the text (an
// empty text deletes what was there).
void typeInto(QLineEdit* edit, const QString& text);

// The rows (of `before`) that differ in `after`; both of one length.
QList<int> changedRows(const QStringList& before, const QStringList& after);

// Checks that `after` is `before` with only `rows` changed, each of them at
// most reshaped (or, with `moveOnly`, moved as a whole). False after a failure.
bool expectReshaped(Session& s, const QString& check, const QStringList& before, const QStringList& after,
                    const QList<int>& rows, bool moveOnly);

// The reply a number chooses: 0 Yes, 1 No, 2 Escape.
Reply replyFor(int choice);

// Selected rows and the current one, as the window shows them.
QList<int> selectedRows(Session& s);
int currentRow(Session& s);
// A picture point inside the area of line `row` where a click chooses it
// (no earlier line covers it, no handle lies on it), if there is one.
std::optional<QPointF> pointOnArea(Session& s, int row);
// The picks to an entry of the bar's menu `menu` (its object name) by the
// texts of the entries on the way (their starts, "&" left out).
QList<Session::Pick> menuPicks(const QString& menu, const QStringList& entries);

// A picture point in no area and on no handle.
std::optional<QPointF> pointOffAreas(Session& s, QPointF wish);
// A handle (a widget shown or a painted one) lies at this point of the canvas.
bool onHandle(Session& s, QPoint canvasPoint);

} // namespace korvane::session
