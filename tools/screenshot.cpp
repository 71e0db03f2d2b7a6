// Draws the README's picture of the window: the editor on the plan of a flat
// with four areas, one of them held in edit mode, on the light palette and on
// a dark one, side by side. Run by scripts/screenshot.sh on the offscreen
// platform, so it needs no display and gives the same picture everywhere.
//   korvane_screenshot OUT.png
#include "app/Language.h"
#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "canvas/Canvas.h"
#include "support/DarkPalette.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace korvane;

namespace {

// An L-shaped flat of four rooms on a transparent ground, which the editor
// shows on its chequerboard.
QImage flatPlan()
{
    QImage plan(520, 360, QImage::Format_ARGB32);
    plan.fill(Qt::transparent);
    QPainter p(&plan);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygon outline({{20, 20}, {500, 20}, {500, 340}, {260, 340}, {260, 220}, {20, 220}});
    p.setPen(QPen(QColor(60, 60, 60), 6));
    p.setBrush(QColor(245, 235, 215));
    p.drawPolygon(outline);
    p.setPen(QPen(QColor(60, 60, 60), 4));
    p.drawLine(180, 20, 180, 220);
    p.drawLine(340, 20, 340, 150);
    p.drawLine(260, 150, 500, 150);
    p.setBrush(QColor(170, 205, 150));
    p.setPen(QPen(QColor(90, 120, 80), 3));
    p.drawEllipse(QPoint(400, 250), 50, 50);
    QFont font = p.font();
    font.setPixelSize(18);
    p.setFont(font);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(20, 20, 160, 200), Qt::AlignCenter, QStringLiteral("Küche"));
    p.drawText(QRect(180, 20, 160, 130), Qt::AlignCenter, QStringLiteral("Bad"));
    p.drawText(QRect(340, 20, 160, 130), Qt::AlignCenter, QStringLiteral("Flur"));
    p.drawText(QRect(180, 150, 80, 70), Qt::AlignCenter, QStringLiteral("Diele"));
    p.drawText(QRect(260, 160, 120, 40), Qt::AlignCenter, QStringLiteral("Wohnen"));
    return plan;
}

// The flat's map as a .map file beside the plan, Windows-1252 and CR LF as
// the editor writes them.
bool writeMap(const QString& file)
{
    const QString code =
        QStringLiteral("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: wohnung.png\r\n-->\r\n\r\n"
                       "<img src=\"wohnung.png\" width=\"520\" height=\"360\" alt=\"\" usemap=\"#wohnung\" />\r\n"
                       "<map id=\"wohnung\" name=\"wohnung\">\r\n"
                       "<area shape=\"rect\" alt=\"Küche\" coords=\"23,23,178,218\" href=\"kueche.html\" />\r\n"
                       "<area shape=\"rect\" alt=\"Bad\" coords=\"182,23,338,148\" href=\"bad.html\" />\r\n"
                       "<area shape=\"poly\" alt=\"Wohnzimmer\" coords=\"262,152,497,152,497,337,262,337\" "
                       "href=\"wohnen.html\" />\r\n"
                       "<area shape=\"circle\" alt=\"Wintergarten\" coords=\"400,250,50\" "
                       "href=\"https://example.com/garten\" />\r\n"
                       "</map>\r\n");
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(code.toLatin1()) == code.toLatin1().size();
}

// The window as a user leaves it after drawing: the areas listed, the
// living room held in edit mode, the pointer over the kitchen.
QImage windowPicture(const QString& mapFile)
{
    MainWindow w;
    w.resize(1100, 760);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return {};
    // Opened as from the command line: the picture, the areas and the code.
    openFromOutside(w, mapFile);
    if (w.areas().count() != 4)
        return {};
    w.ui.Option1[3]->click();
    w.setSelectedIndex(2);
    QTest::mouseMove(w.ui.Picture1, QPoint(100, 120));
    // The status line shows the pointer a moment later.
    QTest::qWait(300);
    return w.grab().toImage();
}

// One window in a process of its own, so that the two share no state.
QImage windowOnPalette(const QString& kind, const QString& folder)
{
    const QString shot = folder + QStringLiteral("/") + kind + QStringLiteral(".png");
    const int exitCode =
        QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--window"), kind, folder, shot});
    return exitCode == 0 ? QImage(shot) : QImage();
}

int oneWindow(const QString& kind, const QString& folder, const QString& out)
{
    QApplication::setPalette(kind == QLatin1String("dark") ? test::darkFusion() : QApplication::style()->standardPalette());
    const QImage shot = windowPicture(folder + QStringLiteral("/wohnung.map"));
    return !shot.isNull() && shot.save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    // The README shows the German window, whatever the desktop speaks.
    installLanguage(Language::German);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 5 && arguments[1] == QLatin1String("--window"))
        return oneWindow(arguments[2], arguments[3], arguments[4]);
    if (arguments.size() != 2) {
        std::fputs("usage: korvane_screenshot OUT.png\n", stderr);
        return 2;
    }
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/Wohnung-XXXXXX"));
    if (!folder.isValid() || !flatPlan().save(folder.filePath(QStringLiteral("wohnung.png"))) ||
        !writeMap(folder.filePath(QStringLiteral("wohnung.map")))) {
        std::fputs("korvane_screenshot: the sample files cannot be written\n", stderr);
        return 1;
    }
    const QImage light = windowOnPalette(QStringLiteral("light"), folder.path());
    const QImage dark = windowOnPalette(QStringLiteral("dark"), folder.path());
    if (light.isNull() || dark.isNull()) {
        std::fputs("korvane_screenshot: the sample map does not open\n", stderr);
        return 1;
    }
    const int gap = 24;
    QImage both(light.width() + gap + dark.width(), qMax(light.height(), dark.height()), QImage::Format_ARGB32);
    both.fill(Qt::transparent);
    QPainter p(&both);
    p.drawImage(0, 0, light);
    p.drawImage(light.width() + gap, 0, dark);
    p.end();
    if (!both.save(arguments[1])) {
        std::fprintf(stderr, "korvane_screenshot: %s cannot be written\n", qPrintable(arguments[1]));
        return 1;
    }
    return 0;
}
