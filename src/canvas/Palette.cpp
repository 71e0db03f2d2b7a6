#include "canvas/Palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace korvane {

ColorPalette::ColorPalette(int twipsPerPixel, QWidget* parent) : QWidget(parent), m_tpp(std::max(1, twipsPerPixel))
{
    setObjectName(QStringLiteral("picColor"));
    setAccessibleName(tr("Farbpalette"));
    const QRect last = swatchRect(15);
    setFixedSize(last.right() + 4, last.bottom() + 4);
    setFocusPolicy(Qt::StrongFocus);
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
    if (!hasFocus())
        return;
    // A frame in both black and white shows on every swatch.
    const QRect swatch = swatchRect(m_current);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(swatch.adjusted(1, 1, -2, -2));
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(swatch.adjusted(1, 1, -2, -2));
}

void ColorPalette::mousePressEvent(QMouseEvent* event)
{
    emit colorPicked(colorAt(event->position().toPoint()));
}

void ColorPalette::keyPressEvent(QKeyEvent* event)
{
    const int row = m_current / 8, column = m_current % 8;
    switch (event->key()) {
    case Qt::Key_Left:
        m_current = row * 8 + std::max(0, column - 1);
        break;
    case Qt::Key_Right:
        m_current = row * 8 + std::min(7, column + 1);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_current = (event->key() == Qt::Key_Up ? 0 : 8) + column;
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit colorPicked(QColor(kPaletteColors[m_current]));
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
}

} // namespace korvane
