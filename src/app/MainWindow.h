#pragma once

#include <QMainWindow>

namespace korvane {

// frmMapEdit: the editor's one main window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace korvane
