#include "canvas/Palette.h"

#include <QMouseEvent>
#include <QPainter>

namespace korvane {

ColorPalette::ColorPalette(int twipsPerPixel, QWidget* parent) : QWidget(parent), m_tpp(std::max(1, twipsPerPixel))
{
    setObjectName(QStringLiteral("picColor"));
    setAccessibleName(QStringLiteral("Farbpalette"));
    const QRect last = swatchRect(15);
    setFixedSize(last.right() + 4, last.bottom() + 4);
    drawSwatches();
}

QRect ColorPalette::swatchRect(int k) const
{
    const int row = k / 8, column = k % 8;
    const int left = column * 200 / m_tpp, top = row * 160 / m_tpp;
    const int right = (column + 1) * 200 / m_tpp, bottom = (row + 1) * 160 / m_tpp;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void ColorPalette::drawSwatches()
{
    m_image = QImage(size(), QImage::Format_RGB32);
    m_image.fill(palette().color(QPalette::Button));
    QPainter p(&m_image);
    for (int k = 0; k < 16; ++k)
        p.fillRect(swatchRect(k), QColor(kPaletteColors[k]));
}

QColor ColorPalette::colorAt(QPoint point) const
{
    return m_image.rect().contains(point) ? QColor(m_image.pixel(point)) : palette().color(QPalette::Button);
}

void ColorPalette::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void ColorPalette::mousePressEvent(QMouseEvent* event) { emit colorPicked(colorAt(event->position().toPoint())); }

} // namespace korvane
