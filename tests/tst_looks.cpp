// Korvane on today's desktops: its own colours readable on a dark Fusion
// palette as on the light one, and a chequerboard behind the transparent
// parts of a picture that leaves the picture and the drawing on it as they were.
#include "app/Looks.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "support/BlankPicture.h"
#include "support/DarkPalette.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

using namespace korvane;
using korvane::test::row;

namespace {

// How many pixels of `area` in `image` have exactly `colour`.
int pixelsOf(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += (image.pixel(x, y) | 0xff000000u) == (colour | 0xff000000u);
    return count;
}

// How many of `image`'s opaque pixels stand out from `background` by `ratio`,
// leaving out those of the colour `fill` (the inside of a drawn shape).
int standingOut(const QImage& image, const QColor& background, double ratio, const QColor& fill = QColor())
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.alpha() == 255 && c != fill && looks::contrast(c, background) >= ratio;
        }
    return count;
}

// A picture of 64 x 32: its left half transparent, its right half opaque
// red, and column 20 blue at half transparency; or the same on white.
QString transparentPicture(const QTemporaryDir& dir, bool withAlpha)
{
    QImage image(64, 32, QImage::Format_ARGB32);
    image.fill(withAlpha ? Qt::transparent : Qt::white);
    QPainter p(&image);
    p.fillRect(QRect(32, 0, 32, 32), Qt::red);
    // Without alpha: the very pixels the editor makes of it on white.
    p.fillRect(QRect(20, 0, 1, 32), withAlpha ? QColor(0, 0, 255, 128) : QColor(127, 127, 255));
    p.end();
    const QString path = dir.filePath(withAlpha ? "durchsichtig.png" : "deckend.png");
    (withAlpha ? image : image.convertToFormat(QImage::Format_RGB32)).save(path);
    return path;
}

} // namespace

class LooksTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setStyle(QStyleFactory::create("Fusion")); }
    void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

    void contrastAsWcagMeasures_data();
    void contrastAsWcagMeasures();
    void titleScreenReadable_data();
    void titleScreenReadable();
    void ownIconsStandOut_data();
    void ownIconsStandOut();
    void windowsFollowThePalette_data();
    void windowsFollowThePalette();
    void menuEntriesTakeTheIconTheme_data();
    void menuEntriesTakeTheIconTheme();
    void chequerboardBehindTransparency_data();
    void chequerboardBehindTransparency();
    void drawingOverTransparencyUnchanged();
};

void LooksTest::contrastAsWcagMeasures_data()
{
    QTest::addColumn<QColor>("a");
    QTest::addColumn<QColor>("b");
    QTest::addColumn<double>("ratio");
    row("black on white", QColor(Qt::black), QColor(Qt::white), 21.0);
    row("a colour with itself", QColor(0x80, 0x80, 0x00), QColor(0x80, 0x80, 0x00), 1.0);
    row("grey 118 on white, the least for text", QColor(118, 118, 118), QColor(Qt::white), 4.54);
}

void LooksTest::contrastAsWcagMeasures()
{
    QFETCH(QColor, a);
    QFETCH(QColor, b);
    QFETCH(double, ratio);
    QVERIFY2(qAbs(looks::contrast(a, b) - ratio) < 0.01, qPrintable(QString::number(looks::contrast(a, b))));
    QCOMPARE(looks::contrast(a, b), looks::contrast(b, a));
}

void LooksTest::titleScreenReadable_data()
{
    QTest::addColumn<bool>("dark");
    row("light palette: the title as it always was", false);
    row("dark Fusion palette: the title readable", true);
}

// The name and the lines below it on the canvas before a picture is opened.
void LooksTest::titleScreenReadable()
{
    QFETCH(bool, dark);
    QApplication::setPalette(dark ? test::darkFusion() : QApplication::style()->standardPalette());
    test::installScriptedPlatform();
    MainWindow w;
    const QImage& shown = w.ui.Picture1->image();
    const QColor background = w.ui.Picture1->palette().color(QPalette::Button);
    QCOMPARE(shown.pixelColor(5, 5), background);
    const QRect name(35, 95, 420, 100);
    const QRect lines(20, 240, 560, 30);
    if (!dark) {
        // The olive of the specified title screen, untouched.
        QVERIFY(pixelsOf(shown, name, qRgb(0x80, 0x80, 0x00)) > 300);
        QVERIFY(pixelsOf(shown, lines, qRgb(0x80, 0x80, 0x00)) > 30);
        return;
    }
    QCOMPARE(pixelsOf(shown, name, qRgb(0x80, 0x80, 0x00)), 0);
    QVERIFY(standingOut(shown.copy(name), background, 4.5) > 300);
    QVERIFY(standingOut(shown.copy(lines), background, 4.5) > 30);
}

void LooksTest::ownIconsStandOut_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QColor>("fill"); // the light inside, which stands out anyway
    row("magnifier, light", false, QString("Command4"), QColor(200, 230, 255));
    row("magnifier, dark", true, QString("Command4"), QColor(200, 230, 255));
    row("waste-paper basket, light", false, QString("Picture2"), QColor(190, 190, 190));
    row("waste-paper basket, dark", true, QString("Picture2"), QColor(190, 190, 190));
}

// The outlines of the icons Korvane draws itself stand out from what is
// around them as graphics must (3 : 1).
void LooksTest::ownIconsStandOut()
{
    QFETCH(bool, dark);
    QFETCH(QString, widget);
    QFETCH(QColor, fill);
    QApplication::setPalette(dark ? test::darkFusion() : QApplication::style()->standardPalette());
    test::installScriptedPlatform();
    MainWindow w;
    QImage icon;
    QColor around;
    if (auto* button = w.findChild<QPushButton*>(widget)) {
        icon = button->icon().pixmap(20, 20).toImage();
        around = button->palette().color(QPalette::Button);
    } else {
        auto* label = w.findChild<QLabel*>(widget);
        QVERIFY(label);
        icon = label->pixmap().toImage();
        around = label->palette().color(QPalette::Window);
    }
    QVERIFY(!icon.isNull());
    const int outline = standingOut(icon, around, 3.0, fill);
    QVERIFY2(outline >= 50, qPrintable(QString::number(outline)));
}

void LooksTest::windowsFollowThePalette_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("foreground"); // QPalette::ColorRole
    QTest::addColumn<int>("background");
    row("area list caption", QString("Label1"), int(QPalette::WindowText), int(QPalette::Window));
    row("area list", QString("List1"), int(QPalette::Text), int(QPalette::Base));
    row("help box", QString("txtHelp"), int(QPalette::Text), int(QPalette::Base));
    row("code box", QString("txtMap"), int(QPalette::Text), int(QPalette::Base));
    row("mode label", QString("Label3"), int(QPalette::WindowText), int(QPalette::Window));
    row("position label", QString("lblPos"), int(QPalette::WindowText), int(QPalette::Window));
    row("status line", QString("statusLine"), int(QPalette::WindowText), int(QPalette::Window));
    row("area table", QString("tblAreale"), int(QPalette::Text), int(QPalette::Base));
    row("area table's filter", QString("txtFilter"), int(QPalette::Text), int(QPalette::Base));
    row("map check findings", QString("lstBefunde"), int(QPalette::Text), int(QPalette::Base));
    row("map check summary", QString("lblBefunde"), int(QPalette::WindowText), int(QPalette::Window));
    row("a tool", QString("Option1_1"), int(QPalette::WindowText), int(QPalette::Window));
    row("a button", QString("Command1"), int(QPalette::ButtonText), int(QPalette::Button));
}

// The window, the area table and the map check take the dark palette: no
// colour of their own stands in its way.
void LooksTest::windowsFollowThePalette()
{
    QFETCH(QString, widget);
    QFETCH(int, foreground);
    QFETCH(int, background);
    QApplication::setPalette(test::darkFusion());
    test::SettingsFolder settings;
    test::BlankEditor e;
    e.w.findChild<QAction*>("actArealtabelle")->trigger();
    e.w.findChild<QAction*>("actMapPruefen")->trigger();
    QWidget* shown = e.w.findChild<QWidget*>(widget);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!shown && top->objectName() == widget)
            shown = top;
    }
    QVERIFY2(shown, qPrintable(widget));
    const QPalette& p = shown->palette();
    const QColor text = p.color(QPalette::Active, QPalette::ColorRole(foreground));
    const QColor ground = p.color(QPalette::Active, QPalette::ColorRole(background));
    QCOMPARE(ground.lightness() < 128, true);
    QVERIFY2(looks::contrast(text, ground) >= 4.5, qPrintable(text.name() + " on " + ground.name()));
}

void LooksTest::menuEntriesTakeTheIconTheme_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("iconName"); // as the freedesktop icon naming names it
    row("open", QString("mnuDatei"), QString("actBildOeffnen"), QString("document-open"));
    row("save", QString("mnuDatei"), QString("actSpeichern"), QString("document-save"));
    row("quit", QString("mnuDatei"), QString("actBeenden"), QString("application-exit"));
    row("undo", QString("mnuBearbeiten"), QString("actRueckgaengig"), QString("edit-undo"));
    row("copy", QString("mnuBearbeiten"), QString("actKopieren"), QString("edit-copy"));
    row("zoom in", QString("mnuAnsicht"), QString("actVergroessern"), QString("zoom-in"));
    row("fit to window", QString("mnuAnsicht"), QString("actEinpassen"), QString("zoom-fit-best"));
    row("rectangle", QString("mnuWerkzeuge"), QString("actRechteck"), QString("draw-rectangle"));
    row("help", QString("mnuHilfe"), QString("actHilfe"), QString("help-contents"));
}

// The entries show the icons of the desktop's icon theme, found by their
// freedesktop names: a theme of its own here, one colour per icon.
void LooksTest::menuEntriesTakeTheIconTheme()
{
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QString, iconName);
    QTemporaryDir themes;
    QDir(themes.path()).mkpath("probe/16x16/actions");
    QFile index(themes.filePath("probe/index.theme"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=probe\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
    index.close();
    const QColor colour = QColor::fromHsv(int(qHash(iconName) % 360), 200, 200).toRgb();
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(colour);
    QVERIFY(icon.save(themes.filePath("probe/16x16/actions/" + iconName + ".png")));
    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName("probe");
    test::SettingsFolder settings;
    test::BlankEditor e;
    auto* shown = e.w.findChild<QMenu*>(menu);
    shown->popup(e.w.mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    const QImage seen = e.w.findChild<QAction*>(entry)->icon().pixmap(16, 16).toImage();
    shown->close();
    QIcon::setThemeName(theme);
    QIcon::setThemeSearchPaths(paths);
    QVERIFY2(!seen.isNull(), qPrintable(iconName));
    QCOMPARE(QColor(seen.pixel(8, 8)).name(), colour.name());
}

void LooksTest::chequerboardBehindTransparency_data()
{
    QTest::addColumn<bool>("withAlpha");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("screen");   // a point on the canvas
    QTest::addColumn<QColor>("shown");    // its colour there
    QTest::addColumn<QColor>("picture");  // the picture's pixel below it, as the areas are drawn on it
    const QColor white(Qt::white), light(Qt::white), dark(204, 204, 204), red(Qt::red);
    const QColor halfBlue(127, 127, 255);
    row("transparent, a light square", true, 100, QPoint(2, 2), light, white);
    row("transparent, a dark square", true, 100, QPoint(10, 2), dark, white);
    row("transparent, dark again below", true, 100, QPoint(2, 10), dark, white);
    row("opaque part unchanged", true, 100, QPoint(40, 5), red, red);
    row("half transparent on a light square", true, 100, QPoint(20, 2), halfBlue, halfBlue);
    row("half transparent on a dark square", true, 100, QPoint(20, 10), QColor(102, 102, 230), halfBlue);
    row("zoomed, squares as big on the screen", true, 200, QPoint(10, 2), dark, white);
    row("zoomed, a light square", true, 200, QPoint(18, 2), light, white);
    row("an opaque picture has no chequerboard", false, 100, QPoint(10, 2), white, white);
}

// The chequerboard is only shown: the picture keeps its transparent parts
// white, so the outline tracer, the colours read and the XOR drawing are those
// of before.
void LooksTest::chequerboardBehindTransparency()
{
    QFETCH(bool, withAlpha);
    QFETCH(int, zoom);
    QFETCH(QPoint, screen);
    QFETCH(QColor, shown);
    QFETCH(QColor, picture);
    QTemporaryDir dir;
    test::SettingsFolder settings;
    test::installScriptedPlatform();
    MainWindow w;
    w.show();
    QVERIFY(w.bild_laden(transparentPicture(dir, withAlpha)));
    Canvas* canvas = w.ui.Picture1;
    QCOMPARE(canvas->transparency().isNull(), !withAlpha);
    canvas->setZoomPercent(zoom);
    const QPoint pixel = canvas->toPicture(screen).toPoint();
    QCOMPARE(canvas->picture().pixelColor(pixel), picture);
    QCOMPARE(canvas->image().pixelColor(pixel), picture);
    const QImage grabbed = canvas->grab().toImage();
    const QColor seen = grabbed.pixelColor(screen * grabbed.devicePixelRatio());
    QVERIFY2(qAbs(seen.red() - shown.red()) <= 1 && qAbs(seen.green() - shown.green()) <= 1 &&
                 qAbs(seen.blue() - shown.blue()) <= 1,
             qPrintable(seen.name() + " instead of " + shown.name()));
}

// A rectangle drawn over the transparent part: its outline is shown as the
// buffer holds it, the squares around it stay, and the buffer is exactly the
// one an opaque white picture gives.
void LooksTest::drawingOverTransparencyUnchanged()
{
    QTemporaryDir dir;
    test::SettingsFolder settings;
    QImage buffers[2];
    QImage grabs[2];
    for (bool withAlpha : {false, true}) {
        test::BlankEditor e;
        QVERIFY(e.w.bild_laden(transparentPicture(dir, withAlpha)));
        e.w.setDrawColor(Qt::red);
        e.w.ui.Option1[1]->setEnabled(true);
        e.w.ui.Option1[1]->click();
        e.drag(e.canvas(), QPoint(4, 4), QPoint(28, 28));
        QCOMPARE(e.w.areas().count(), 1);
        buffers[withAlpha] = e.canvas()->image().convertToFormat(QImage::Format_RGB32);
        grabs[withAlpha] = e.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QCOMPARE(buffers[true], buffers[false]);
    // The outline at x = 4 crosses the dark square at y = 10: shown as drawn.
    QCOMPARE(grabs[true].pixelColor(4, 10), buffers[true].pixelColor(4, 10));
    QCOMPARE(grabs[true].pixelColor(4, 10), grabs[false].pixelColor(4, 10));
    // Inside it the squares go on.
    QCOMPARE(grabs[true].pixelColor(10, 10), QColor(Qt::white));
    QCOMPARE(grabs[true].pixelColor(10, 17), QColor(204, 204, 204));
    QCOMPARE(grabs[false].pixelColor(10, 17), QColor(Qt::white));
}

QTEST_MAIN(LooksTest)
#include "tst_looks.moc"
