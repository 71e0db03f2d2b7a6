#pragma once

#include <QImage>
#include <QWidget>

namespace korvane {

// Picture1: the drawing surface that shows the image and everything drawn on it.
class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    // Shows the image unscaled from the top-left corner; the canvas takes its size.
    // A null image leaves the surface empty.
    void setPicture(const QImage& image);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

} // namespace korvane
