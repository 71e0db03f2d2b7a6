#pragma once

class QPlainTextEdit;
class QString;

namespace korvane {

// Turns the text of a box that holds `shown` (exactly as it was last set)
// into `text` by rewriting only the part between what the two share at the
// start and at the end: the code of a big map with one changed area is
// updated at once. The box's own undo history is emptied, as by setting the
// whole text, unless `undoable`: then the change is one more step of it.
// Returns false, leaving the box alone, when the texts are equal.
bool replaceChangedPart(QPlainTextEdit& box, const QString& shown, const QString& text, bool undoable = false);
// Replaces the box's whole text by `text` as one step of its undo history.
void replaceUndoably(QPlainTextEdit& box, const QString& text);

} // namespace korvane
