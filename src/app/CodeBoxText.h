#pragma once

class QPlainTextEdit;
class QString;

namespace korvane {

// Turns the text of a box that holds `shown` (exactly as it was last set)
// into `text` by rewriting only the part between what the two share at the
// start and at the end: the code of a big map with one changed area is
// updated at once. The box's own undo history is emptied, as by setting the
// whole text. Returns false, leaving the box alone, when the texts are equal.
bool replaceChangedPart(QPlainTextEdit& box, const QString& shown, const QString& text);

} // namespace korvane
