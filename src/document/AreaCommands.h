#pragma once

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
    QStringList m_lines;
    int m_selectedBefore;
};

// Several lines rewritten at once (the areas of an import scaled to the picture).
class ChangeLinesCommand : public AreaCommand {
public:
    ChangeLinesCommand(MapDocument& document, const QStringList& after, const QString& text);
    void redo() override;
    void undo() override;

private:
    QStringList m_before;
    QStringList m_after;
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
