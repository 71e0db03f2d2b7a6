#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <array>

namespace korvane {

// The classic 16 colours, swatch k in row k / 8 and column k % 8.
inline constexpr std::array<QRgb, 16> kPaletteColors = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                                        0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                                        0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// picColor: the swatches drawn once into a persistent image; a press picks
// the colour of the pixel under the pointer, background included. With the
// focus, the arrow keys walk the swatches and Space or Enter picks one.
class ColorPalette : public QWidget {
    Q_OBJECT
public:
    ColorPalette(int twipsPerPixel, QWidget* parent = nullptr);
    // Swatch k in pixels: 200 x 160 twips each.
    QRect swatchRect(int k) const;
    QColor colorAt(QPoint point) const;
    const QImage& image() const { return m_image; }
    int currentSwatch() const { return m_current; } // the one the keys pick

signals:
    void colorPicked(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void drawSwatches();
    int m_tpp;
    QImage m_image;
    int m_current = 0;
};

} // namespace korvane
