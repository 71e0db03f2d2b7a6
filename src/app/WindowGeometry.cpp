#include "app/WindowGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace korvane {

namespace {

const QString kSection = QStringLiteral("Fenster");
const QString kLeft = QStringLiteral("Links");
const QString kTop = QStringLiteral("Oben");
const QString kWidth = QStringLiteral("Breite");
const QString kHeight = QStringLiteral("Hoehe");
const QString kMaximised = QStringLiteral("Maximiert");
const QString kScreen = QStringLiteral("Bildschirm");

QScreen* screenNamed(const QString& name)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto found =
        std::find_if(screens.begin(), screens.end(), [&name](const QScreen* s) { return s->name() == name; });
    return found == screens.end() ? nullptr : *found;
}

} // namespace

std::optional<SavedGeometry> savedGeometryIn(const IniContents& stored)
{
    const auto read = [&stored](const QString& key) { return settingShort(stored.value(kSection, key)); };
    const auto left = read(kLeft), top = read(kTop), width = read(kWidth), height = read(kHeight);
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    SavedGeometry geometry{QRect(*left, *top, *width, *height), false, stored.value(kSection, kScreen)};
    geometry.maximised = settingFlag(stored.value(kSection, kMaximised)).value_or(false);
    return geometry;
}

QList<IniSetting> geometrySettings(const SavedGeometry& geometry)
{
    const QRect& area = geometry.area;
    return {{kSection, kLeft, QString::number(area.x())},
            {kSection, kTop, QString::number(area.y())},
            {kSection, kWidth, QString::number(area.width())},
            {kSection, kHeight, QString::number(area.height())},
            {kSection, kMaximised, geometry.maximised ? QStringLiteral("-1") : QStringLiteral("0")},
            {kSection, kScreen, geometry.screen}};
}

QRect placedWithin(const QRect& frame, const QRect& available)
{
    const QSize size = frame.size().boundedTo(available.size());
    const int x = std::clamp(frame.x(), available.left(), available.left() + available.width() - size.width());
    const int y = std::clamp(frame.y(), available.top(), available.top() + available.height() - size.height());
    return {QPoint(x, y), size};
}

WindowGeometry::WindowGeometry(QWidget& window, std::function<QSize()> frame)
    : QObject(&window), m_window(window), m_frame(std::move(frame))
{
    restore();
    window.installEventFilter(this);
}

void WindowGeometry::restore()
{
    QString contents;
    iniReadContents(settingsFilePath(), contents);
    const std::optional<SavedGeometry> saved = savedGeometryIn(IniContents(contents));
    if (!saved)
        return;
    QScreen* screen = screenNamed(saved->screen);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is only known once the window is shown: its guess is spread
    // as a title bar above and equal borders on the other sides.
    const QSize frame = m_frame ? m_frame() : QSize();
    const QMargins margins(frame.width() / 2, frame.height() - frame.width() / 2, frame.width() / 2, frame.width() / 2);
    const QRect placed = placedWithin(saved->area + margins, screen->availableGeometry()) - margins;
    m_window.setGeometry(placed);
    if (saved->maximised)
        m_window.setWindowState(m_window.windowState() | Qt::WindowMaximized);
}

void WindowGeometry::store()
{
    const QScreen* screen = m_window.screen();
    const SavedGeometry geometry{m_window.isMaximized() ? m_window.normalGeometry() : m_window.geometry(),
                                 m_window.isMaximized(), screen ? screen->name() : QString()};
    // Written only when it changed (the writer leaves an unchanged file alone).
    iniWriteSettings(geometrySettings(geometry), settingsFilePath());
}

// Closed (hidden by the program, not minimised by the desktop): the place as it was last.
bool WindowGeometry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Hide && !event->spontaneous())
        store();
    return QObject::eventFilter(watched, event);
}

} // namespace korvane
