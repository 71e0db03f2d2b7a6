#pragma once

#include "canvas/DrawingTools.h"

namespace korvane {

class MainWindow;

// Lends the drawing tools what they need from the main window.
class MainToolHost : public ToolHost {
public:
    explicit MainToolHost(MainWindow& window) : m_window(window) {}
    DrawingSurface& surface() override;
    EditorState& editor() override;
    QColor drawColor() const override;
    QColor buttonFaceColor() const override;
    bool commitShape(const QString& shape, const QString& coords) override;
    void pressRefresh() override;

private:
    MainWindow& m_window;
};

} // namespace korvane
