#pragma once

#include "model/AreaLines.h"

#include <QStringList>
#include <QUndoCommand>

namespace korvane {

class MapDocument;

// The steps of the undo history. Each keeps only the lines it needs (shared,
// not copied) and tells the document which row it touched, so that the row
// can be selected again after an undo or redo.
class AreaCommand : public QUndoCommand {
protected:
    AreaCommand(MapDocument& document, const QString& text) : QUndoCommand(text), m_document(document) {}
    MapDocument& m_document;
};

// A new line at `row`: a drawn area or a copy.
class AddAreaCommand : public AreaCommand {
public:
    AddAreaCommand(MapDocument& document, int row, const QString& line, int selectedBefore, const QString& text);
    void redo() override;
    void undo() override;

private:
    int m_row;
    QString m_line;
    int m_selectedBefore;
};

class RemoveAreaCommand : public AreaCommand {
public:
    RemoveAreaCommand(MapDocument& document, int row, const QString& text);
    void redo() override;
    void undo() override;

private:
    int m_row;
    QString m_line;
};

class ClearAreasCommand : public AreaCommand {
public:
    ClearAreasCommand(MapDocument& document, int selectedBefore, const QString& text);
    void redo() override;
    void undo() override;

private:
    AreaLines m_lines;
    int m_selectedBefore;
};

// A line taken from `from` and put in at `to`: which area lies on top.
class MoveAreaCommand : public AreaCommand {
public:
    MoveAreaCommand(MapDocument& document, int from, int to, const QString& text);
    void redo() override;
    void undo() override;

private:
    void move(int from, int to);
    int m_from;
    int m_to;
};

// Several lines rewritten at once (the areas of an import scaled to the
// picture; several areas moved, aligned, deleted or pasted). `current`: the
// line chosen again afterwards, -1 for none. Where the count stays the views
// follow the changed lines as one change (AreaList::setLines()).
class ChangeLinesCommand : public AreaCommand {
public:
    ChangeLinesCommand(MapDocument& document, const AreaLines& before, const AreaLines& after, const QString& text,
                       int current = -1);
    void redo() override;
    void undo() override;

private:
    AreaLines m_before;
    AreaLines m_after;
    int m_current;
};

// One line rewritten: attributes, a move, a new shape, an added point.
// Mergeable changes of the same row and kind that follow each other become
// one step (a run of small moves); a run that ends where it began vanishes.
class ChangeAreaCommand : public AreaCommand {
public:
    enum class Merge { Never, WithSameKind };
    ChangeAreaCommand(MapDocument& document, int row, const QString& before, const QString& after, const QString& text,
                      Merge merge = Merge::Never);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    int m_row;
    QString m_before;
    QString m_after;
    Merge m_merge;
};

} // namespace korvane
