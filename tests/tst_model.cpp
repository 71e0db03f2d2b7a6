#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"
#include "model/AreaList.h"
#include "model/Codec.h"
#include "model/MapCode.h"
#include "model/PageFaults.h"
#include "model/Paths.h"
#include "model/SecondThread.h"
#include "model/ResponsiveCode.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvane;

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void noThreadLeft(); // first: no stack of an ended thread is kept for reuse yet
    void pathHelpers_data();
    void pathHelpers();
    void mapName_data();
    void mapName();
    void workedExample();
    void imageLine_data();
    void imageLine();
    void relativeImageSource_data();
    void relativeImageSource();
    void responsiveWorkedExample();
    void responsiveCutsAndShapes_data();
    void responsiveCutsAndShapes();
    void shownElementOfLongLines_data();
    void shownElementOfLongLines();
    void areaSpacing_data();
    void areaSpacing();
    void emptyListGivesNoCode();
    void quoteInValueIsEscaped();
    void valueEscaping_data();
    void valueEscaping();
    void entryKeepsBlanksAndExtraFields();
    void defaultAreaWithLinkIsTheMapsDefault();
    void scaledLines_data();
    void scaledLines();
    void shortLinesNeverCrash_data();
    void shortLinesNeverCrash();
    void coordinateValues();
    void barIsEscaped();
    void roundingIsHalfToEven_data();
    void roundingIsHalfToEven();
    void areaListSignals();
    void areaLinesKeepEveryLine_data();
    void areaLinesKeepEveryLine();
    void bigLinesStayExactWhileFilled();
    void pagesAheadOfTheWriter_data();
    void pagesAheadOfTheWriter();
    void codecRoundTripsEveryByte();
    void codecMapsKnownCharacters_data();
    void codecMapsKnownCharacters();
    void encodingDetection_data();
    void encodingDetection();
};

void TestModel::pathHelpers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << "C:\\Bilder\\haus.gif"
                           << "haus.gif"
                           << "haus"
                           << "C:\\Bilder\\";
    QTest::newRow("two dots") << "C:\\Bilder\\haus.tar.gz"
                              << "haus.tar.gz"
                              << "haus.tar"
                              << "C:\\Bilder\\";
    QTest::newRow("dot in folder") << "C:\\Bilder.alt\\haus"
                                   << "haus"
                                   << "C:\\Bilder.alt\\haus"
                                   << "C:\\Bilder.alt\\";
    QTest::newRow("no folder") << "haus.gif"
                               << "haus.gif"
                               << "haus"
                               << "";
    QTest::newRow("bare name") << "haus"
                               << "haus"
                               << "haus"
                               << "";
    QTest::newRow("leading dot") << "C:\\Bilder\\.gif"
                                 << ".gif"
                                 << ""
                                 << "C:\\Bilder\\";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("unix") << "/home/anna/bilder/plan.png"
                          << "plan.png"
                          << "plan"
                          << "/home/anna/bilder/";
    QTest::newRow("mixed") << "C:\\web/bilder\\x.y/z"
                           << "z"
                           << "C:\\web/bilder\\x.y/z"
                           << "C:\\web/bilder\\x.y/";
    QTest::newRow("root") << "/x.png"
                          << "x.png"
                          << "x"
                          << "/";
}

void TestModel::pathHelpers()
{
    QFETCH(QString, path);
    QFETCH(QString, fileName);
    QFETCH(QString, baseName);
    QFETCH(QString, folder);
    QCOMPARE(fileNameOf(path), fileName);
    QCOMPARE(baseNameOf(path), baseName);
    QCOMPARE(folderOf(path), folder);
    QCOMPARE(folderOf(path) + fileNameOf(path), path);
}

void TestModel::mapName_data()
{
    QTest::addColumn<QString>("imagePath");
    QTest::addColumn<QString>("mapName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("worked example") << "C:\\Web Bilder\\3D Häuser.jpg"
                                    << ""
                                    << "m3d_haeuser";
    QTest::newRow("other characters") << "C:\\x\\Grün & Blau (2).png"
                                      << ""
                                      << "gruen___blau__2_";
    QTest::newRow("leading digit keeps dot") << "1.Stock.gif"
                                             << ""
                                             << "m1.stock";
    QTest::newRow("accent") << "/tmp/Café.png"
                            << ""
                            << "caf_";
    QTest::newRow("sharp s and umlauts") << "Größe Übersicht.bmp"
                                         << ""
                                         << "groesse_uebersicht";
    QTest::newRow("imported name as is") << "C:\\x\\plan.gif"
                                         << "Mein Plan"
                                         << "Mein Plan";
    QTest::newRow("no image") << ""
                              << ""
                              << "";
    QTest::newRow("allowed punctuation") << "a-b_c:d,e.f.png"
                                         << ""
                                         << "a-b_c:d,e.f";
}

void TestModel::mapName()
{
    QFETCH(QString, imagePath);
    QFETCH(QString, mapName);
    QFETCH(QString, expected);
    QCOMPARE(mapNameFor(imagePath, mapName), expected);
}

void TestModel::workedExample()
{
    const QStringList lines = {
        " rect                    |10,20,110,80|start.html|Startseite|*|*|*|*",
        " circle                    |200,150,40|kontakt.html|Kontakt|_blank|*|*|*",
        " poly                    |300,10,390,60,300,110|info.html|Info|*|*|*|alert('Info')",
    };
    const QString expected = QStringLiteral(
        "<!-- HTML-Code fuer den Image-Tag   -->\r\n"
        "<img src=\"file:///C:/Web%20Bilder/3D Häuser.jpg\" width=\"400\" height=\"300\" alt=\"\" "
        "usemap=\"#m3d_haeuser\" style=\"border-style:none\" />\r\n"
        "<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
        "<map id=\"m3d_haeuser\" name=\"m3d_haeuser\">\r\n"
        "<area shape=\"rect\" alt=\"Startseite\" coords=\"10,20,110,80\" href=\"start.html\" title=\"Startseite\"  />\r\n"
        "<area shape=\"circle\" alt=\"Kontakt\" coords=\"200,150,40\" href=\"kontakt.html\" title=\"Kontakt\" "
        "target=\"_blank\" />\r\n"
        "<area shape=\"poly\" alt=\"Info\" coords=\"300,10,390,60,300,110\" href=\"info.html\" title=\"Info\"  "
        "onClick=\"alert('Info')\" />\r\n"
        "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n"
        "</map>\r\n");
    QCOMPARE(map_daten(lines, QStringLiteral("C:\\Web Bilder\\3D Häuser.jpg"), QString(), QSize(400, 300)), expected);
}

void TestModel::imageLine_data()
{
    QTest::addColumn<QString>("imagePath");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unix path") << "/home/anna/Web Bilder/plan 1.png"
                               << "<img src=\"file:///home/anna/Web%20Bilder/plan 1.png\" width=\"40\" height=\"30\" "
                                  "alt=\"\" usemap=\"#plan_1\" style=\"border-style:none\" />\r\n";
    QTest::newRow("no folder") << "plan.png"
                               << "<img src=\"plan.png\" width=\"40\" height=\"30\" alt=\"\" usemap=\"#plan\" "
                                  "style=\"border-style:none\" />\r\n";
    // "#", "?" and "%41" would be read as fragment, query and escape; "&" is an attribute's.
    QTest::newRow("url characters in the name")
        << "/srv/Plan #2/Haus?v=1 & 100% %41.png"
        << "<img src=\"file:///srv/Plan%20%232/Haus%3Fv=1 &amp; 100% %2541.png\" width=\"40\" height=\"30\" "
           "alt=\"\" usemap=\"#haus_v_1___100___41\" style=\"border-style:none\" />\r\n";
    QTest::newRow("no image") << ""
                              << "<img src=\"\" width=\"40\" height=\"30\" alt=\"\" usemap=\"#\" "
                                 "style=\"border-style:none\" />\r\n";
}

void TestModel::imageLine()
{
    QFETCH(QString, imagePath);
    QFETCH(QString, expected);
    QCOMPARE(img_zeile_ermitteln(imagePath, QString(), QSize(40, 30)), expected);
}

void TestModel::relativeImageSource_data()
{
    QTest::addColumn<QString>("imagePath");
    QTest::addColumn<QString>("pageFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("beside the page") << "/srv/web/plan.png" << "/srv/web/" << "plan.png";
    QTest::newRow("below, blanks in every part")
        << "/srv/web/Web Bilder/3D Häuser.jpg" << "/srv/web" << "Web%20Bilder/3D%20Häuser.jpg";
    QTest::newRow("above") << "/srv/bilder/plan.png" << "/srv/web/seiten/" << "../../bilder/plan.png";
    QTest::newRow("url characters")
        << "/srv/Plan #2/Haus?v=1 & 100% %41.png" << "/srv"
        << "Plan%20%232/Haus%3Fv=1%20&amp;%20100%%20%2541.png";
    QTest::newRow("already relative") << "bilder/plan 1.png" << "/srv/web/" << "bilder/plan%201.png";
    // A "\\" is a character of a file name on this system: an address escapes it.
    QTest::newRow("backslash in a name") << "/srv/web/bilder/alt\\plan.png" << "/srv/web/" << "bilder/alt%5Cplan.png";
    QTest::newRow("drive path stays an address")
        << "C:\\Web Bilder\\plan.png" << "/srv/web/" << "file:///C:/Web%20Bilder/plan.png";
    QTest::newRow("no image") << "" << "/srv/web/" << "";
    // {links}: a folder holding web/bilder/plan.png, web-link -> web, and bilder/verweis.png -> ../../fern/x.png.
    // Resolved alike for page and picture, the path stays within the folder that moves to a server.
    QTest::newRow("page folder through a link") << "{links}/web/bilder/plan.png" << "{links}/web-link" << "bilder/plan.png";
    QTest::newRow("picture through a link") << "{links}/web-link/bilder/plan.png" << "{links}/web/" << "bilder/plan.png";
    QTest::newRow("a linked picture keeps its own name")
        << "{links}/web-link/bilder/verweis.png" << "{links}/web" << "bilder/verweis.png";
    QTest::newRow("a page not written yet") << "{links}/web/bilder/plan.png" << "{links}/web-link/neu/seiten"
                                            << "../../bilder/plan.png";
}

void TestModel::relativeImageSource()
{
    QFETCH(QString, imagePath);
    QFETCH(QString, pageFolder);
    QFETCH(QString, expected);
    if (QDir::separator() != u'/' && (imagePath.startsWith(u'/') || imagePath.startsWith(u'{')))
        QSKIP("Unix paths");
    QTemporaryDir links;
    if (imagePath.startsWith(QLatin1String("{links}"))) {
        QVERIFY(QDir(links.path()).mkpath("web/bilder") && QDir(links.path()).mkpath("fern"));
        QVERIFY(test::writeFile(links.filePath("web/bilder/plan.png"), "png") &&
                test::writeFile(links.filePath("fern/x.png"), "png"));
        QVERIFY(QFile::link(links.filePath("web"), links.filePath("web-link")));
        QVERIFY(QFile::link("../../fern/x.png", links.filePath("web/bilder/verweis.png")));
        imagePath.replace("{links}", links.path());
        pageFolder.replace("{links}", links.path());
    }
    QCOMPARE(relativeImageSourceValue(imagePath, pageFolder), expected);

    // In the code, only the source the generator wrote is replaced.
    const QStringList lines{" rect                    |1,2,3,4|a.html|A|*|*|*|*"};
    const QString code = map_daten(lines, imagePath, QString(), QSize(40, 30));
    const QString changed = withImageSource(code, imagePath, expected);
    QCOMPARE(changed, QString(code).replace(img_zeile_ermitteln(imagePath, QString(), QSize(40, 30)),
                                            "<img src=\"" + expected + "\" width=\"40\" height=\"30\" alt=\"\" usemap=\"#" +
                                                mapNameFor(imagePath, QString()) +
                                                "\" style=\"border-style:none\" />\r\n"));
    const QString typed = QString(code).replace("<img src=\"", "<img  src=\"");
    QCOMPARE(withImageSource(typed, imagePath, expected), typed);
}

void TestModel::responsiveWorkedExample()
{
    // The lines of the classic worked example, the third area overlapping the
    // second, and values that need escaping.
    const QStringList lines = {
        " rect                    |110,80,10,20|start.html|Startseite|*|*|*|*",
        " circle                    |200,150,40|kontakt.html?a=1&b=2|Sag \"Hallo\"|_blank|*|*|*",
        " poly                    |230,110,390,60,300,190|info.html|Info <neu>|*|over()|out()|alert('Info')",
        " rect                    |0,0,5,5|leer.html||*|*|*|*",
    };
    ResponsiveMap map{lines, QStringLiteral("Web%20Bilder/3D%20H%C3%A4user.jpg"), QStringLiteral("3d Häuser"),
                      QSize(400, 300), FitMode::Contain};
    // The pointer's layer: every area, the last first, so that the first lies on top and wins
    // where they overlap; the keyboard's: the links in list order, named by their alt texts.
    const QString expected = QStringLiteral(
        "<!-- Responsiver HTML-Code der ImageMap (ohne Script) -->\r\n"
        "<div class=\"korvane-map\">\r\n"
        "<span style=\"position:relative;display:inline-block;vertical-align:top;max-width:100%\">\r\n"
        "<img src=\"Web%20Bilder/3D%20H%C3%A4user.jpg\" width=\"400\" height=\"300\" alt=\"\" "
        "style=\"display:block;object-fit:contain\" />\r\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 300\" preserveAspectRatio=\"xMidYMid meet\" "
        "style=\"position:absolute;left:0;top:0;width:100%;height:100%;pointer-events:none\">\r\n"
        "<style>:where(.korvane-map) img{width:100000px;max-width:100%;height:auto}"
        ".korvane-map svg a *{fill:transparent}.korvane-map polygon{fill-rule:evenodd}"
        ".korvane-flaechen *{pointer-events:fill}.korvane-map a:focus-visible{outline:none}"
        ".korvane-verweise a:focus-visible *{stroke:#005ac8;stroke-width:3px;vector-effect:non-scaling-stroke;"
        "filter:drop-shadow(0 0 1px #fff);fill:rgba(0,90,200,0.25)}"
        "@media (hover:hover){.korvane-flaechen a[href]:hover *{stroke:#005ac8;stroke-width:3px;"
        "vector-effect:non-scaling-stroke;filter:drop-shadow(0 0 1px #fff);fill:rgba(0,90,200,0.25)}}</style>\r\n"
        "<g class=\"korvane-flaechen\" aria-hidden=\"true\">\r\n"
        "<a href=\"leer.html\" tabindex=\"-1\"><rect x=\"0\" y=\"0\" width=\"5\" height=\"5\" /></a>\r\n"
        "<a href=\"info.html\" tabindex=\"-1\" onmouseover=\"over()\" onmouseout=\"out()\" onclick=\"alert('Info')\">"
        "<title>Info &lt;neu&gt;</title><polygon points=\"230,110 390,60 300,190\" /></a>\r\n"
        "<a href=\"kontakt.html?a=1&amp;b=2\" tabindex=\"-1\" target=\"_blank\"><title>Sag \"Hallo\"</title>"
        "<circle cx=\"200\" cy=\"150\" r=\"40\" /></a>\r\n"
        "<a href=\"start.html\" tabindex=\"-1\"><title>Startseite</title>"
        "<rect x=\"10\" y=\"20\" width=\"100\" height=\"60\" /></a>\r\n"
        "</g>\r\n"
        "<g class=\"korvane-verweise\">\r\n"
        "<a href=\"start.html\" aria-label=\"Startseite\"><title>Startseite</title>"
        "<rect x=\"10\" y=\"20\" width=\"100\" height=\"60\" /></a>\r\n"
        "<a href=\"kontakt.html?a=1&amp;b=2\" aria-label=\"Sag &quot;Hallo&quot;\" target=\"_blank\">"
        "<title>Sag \"Hallo\"</title><circle cx=\"200\" cy=\"150\" r=\"40\" /></a>\r\n"
        "<a href=\"info.html\" aria-label=\"Info &lt;neu>\" onmouseover=\"over()\" onmouseout=\"out()\" "
        "onclick=\"alert('Info')\"><title>Info &lt;neu&gt;</title><polygon points=\"230,110 390,60 300,190\" /></a>\r\n"
        "<a href=\"leer.html\"><rect x=\"0\" y=\"0\" width=\"5\" height=\"5\" /></a>\r\n"
        "</g>\r\n"
        "</svg>\r\n"
        "</span>\r\n"
        "</div>\r\n");
    QCOMPARE(responsiveCode(map), expected);
    const QString page = responsivePage(map);
    QVERIFY(page.startsWith("<!DOCTYPE html>\r\n<html lang=\"de\">\r\n<head>\r\n<meta charset=\"utf-8\" />\r\n"));
    QVERIFY(page.endsWith("<body>\r\n" + expected + "</body>\r\n</html>\r\n"));

    for (const auto& [mode, ratio] : {std::pair{FitMode::Fill, "none"}, std::pair{FitMode::Cover, "xMidYMid slice"}}) {
        map.fit = mode;
        const QString code = responsiveCode(map);
        QVERIFY(code.contains("object-fit:" + fitModeName(mode) + "\""));
        QVERIFY(code.contains(QStringLiteral("preserveAspectRatio=\"%1\"").arg(ratio)));
        QCOMPARE(fitModeNamed(fitModeName(mode)), std::optional<FitMode>(mode));
    }
    QCOMPARE(fitModeNamed(u"COVER"), std::optional<FitMode>(FitMode::Cover));
    QCOMPARE(fitModeNamed(u"scale-down"), std::nullopt);
}

// The links between the clip-path definitions and the shapes; `expected` lists
// the lines between <svg ...> and </svg> after the style.
// The two layers of the SVG; `expected` lists the lines between <svg ...> and </svg> after the style.
void TestModel::responsiveCutsAndShapes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");
    const QString a = QStringLiteral("<a href=\"x.html\">");
    const QString p = QStringLiteral("<a href=\"x.html\" tabindex=\"-1\">");
    const QString pointer = QStringLiteral("<g class=\"korvane-flaechen\" aria-hidden=\"true\">");
    const QString keyboard = QStringLiteral("<g class=\"korvane-verweise\">");
    // Areas of one link are one link with several shapes: the pointer's holds them last first, the keyboard's in
    // list order.
    QTest::newRow("apart")
        << QStringList{" rect                    |0,0,10,10|x.html||*|*|*|*",
                       " circle                    |50,50,5|x.html||*|*|*|*"}
        << QStringList{pointer, p + "<circle cx=\"50\" cy=\"50\" r=\"5\" /><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "</g>", keyboard,
                       a + "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /><circle cx=\"50\" cy=\"50\" r=\"5\" /></a>",
                       "</g>"};
    // The third area lies wholly under the first two: nobody can click it, so it is no Tab stop and no part.
    QTest::newRow("touching and twice covered")
        << QStringList{" rect                    |0,0,10,10|x.html||*|*|*|*",
                       " poly                    |10,0,20,0,20,10,10,10,99|x.html||*|*|*|*",
                       " rect                    |5,5,15,8|x.html||*|*|*|*"}
        << QStringList{pointer, p + "<rect x=\"5\" y=\"5\" width=\"10\" height=\"3\" /></a>",
                       p + "<polygon points=\"10,0 20,0 20,10 10,10\" /><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "</g>", keyboard,
                       a + "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /><polygon points=\"10,0 20,0 20,10 10,10\" /></a>",
                       "</g>"};
    // The default areas lie under all others, the first of them on top, and join no group; Tab keeps the list order.
    QTest::newRow("default area, unknown shape, fractions")
        << QStringList{" default                    ||x.html||*|*|*|*",
                       " Rechteck                    |1.5,2.25,3,4|x.html||*|*|*|*",
                       " circ                    |20 20 4|x.html||*|*|*|*",
                       " DEFAULT                    |9|y.html||*|*|*|*"}
        << QStringList{pointer, "<a href=\"y.html\" tabindex=\"-1\"><rect x=\"0\" y=\"0\" width=\"100\" height=\"80\" /></a>",
                       p + "<rect x=\"0\" y=\"0\" width=\"100\" height=\"80\" /></a>",
                       p + "<circle cx=\"20\" cy=\"20\" r=\"4\" /><rect x=\"1.5\" y=\"2.25\" width=\"1.5\" height=\"1.75\" /></a>",
                       "</g>", keyboard, a + "<rect x=\"0\" y=\"0\" width=\"100\" height=\"80\" /></a>",
                       a + "<rect x=\"1.5\" y=\"2.25\" width=\"1.5\" height=\"1.75\" /><circle cx=\"20\" cy=\"20\" r=\"4\" /></a>",
                       "<a href=\"y.html\"><rect x=\"0\" y=\"0\" width=\"100\" height=\"80\" /></a>", "</g>"};
    // A part that an area between would lose to if it rose to the first part's place gets a link of its own; the
    // group's class lights the parts up together. The fourth area meets nothing between and joins the first.
    const QString x = QStringLiteral("<a href=\"x.html\" tabindex=\"-1\"><title>X</title><g class=\"korvane-g1\">");
    QTest::newRow("one link split by an area between")
        << QStringList{" rect                    |0,0,10,10|x.html|X|*|*|*|*",
                       " rect                    |5,5,60,8|y.html|Y|*|*|*|*",
                       " rect                    |50,0,60,10|x.html|X|*|*|*|*",
                       " circle                    |30,50,5|x.html|X|*|*|*|*"}
        << QStringList{pointer,
                       x + "<circle cx=\"30\" cy=\"50\" r=\"5\" /><rect x=\"50\" y=\"0\" width=\"10\" height=\"10\" /></g></a>",
                       "<a href=\"y.html\" tabindex=\"-1\"><title>Y</title><rect x=\"5\" y=\"5\" width=\"55\" height=\"3\" /></a>",
                       x + "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></g></a>", "</g>", keyboard,
                       "<a href=\"x.html\" aria-label=\"X\"><title>X</title><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" />"
                       "<rect x=\"50\" y=\"0\" width=\"10\" height=\"10\" /><circle cx=\"30\" cy=\"50\" r=\"5\" /></a>",
                       "<a href=\"y.html\" aria-label=\"Y\"><title>Y</title><rect x=\"5\" y=\"5\" width=\"55\" height=\"3\" /></a>",
                       "</g>"};
    // An area between that meets the first part only: the later part may rise above it.
    QTest::newRow("one link over an area between that it does not meet")
        << QStringList{" rect                    |0,0,10,10|x.html|X|*|*|*|*",
                       " rect                    |5,5,20,8|y.html|Y|*|*|*|*",
                       " rect                    |50,0,60,10|x.html|X|*|*|*|*"}
        << QStringList{pointer,
                       "<a href=\"y.html\" tabindex=\"-1\"><title>Y</title><rect x=\"5\" y=\"5\" width=\"15\" height=\"3\" /></a>",
                       "<a href=\"x.html\" tabindex=\"-1\"><title>X</title><rect x=\"50\" y=\"0\" width=\"10\" height=\"10\" />"
                       "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "</g>", keyboard,
                       "<a href=\"x.html\" aria-label=\"X\"><title>X</title><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" />"
                       "<rect x=\"50\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"y.html\" aria-label=\"Y\"><title>Y</title><rect x=\"5\" y=\"5\" width=\"15\" height=\"3\" /></a>",
                       "</g>"};
    // Another alternative text, target, handler or kept attribute makes another link; an area without a link joins none.
    QTest::newRow("what keeps areas apart")
        << QStringList{" rect                    |0,0,10,10|x.html|X|*|*|*|*",
                       " rect                    |20,0,30,10|x.html|Anders|*|*|*|*",
                       " rect                    |40,0,50,10|x.html|X|_top|*|*|*",
                       " rect                    |60,0,70,10|x.html|X|*|*|*|f()",
                       extra::withAttributes(" rect                    |80,0,90,10|x.html|X|*|*|*|*", {{"class", "k"}}),
                       " rect                    |0,20,10,30||X|*|*|*|*|nohref=\"nohref\"",
                       " rect                    |20,20,30,30||X|*|*|*|*|nohref=\"nohref\""}
        << QStringList{pointer, "<a><title>X</title><rect x=\"20\" y=\"20\" width=\"10\" height=\"10\" /></a>",
                       "<a><title>X</title><rect x=\"0\" y=\"20\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" tabindex=\"-1\" class=\"k\"><title>X</title><rect x=\"80\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" tabindex=\"-1\" onclick=\"f()\"><title>X</title><rect x=\"60\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" tabindex=\"-1\" target=\"_top\"><title>X</title><rect x=\"40\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" tabindex=\"-1\"><title>Anders</title><rect x=\"20\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" tabindex=\"-1\"><title>X</title><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "</g>", keyboard,
                       "<a href=\"x.html\" aria-label=\"X\"><title>X</title><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" aria-label=\"Anders\"><title>Anders</title><rect x=\"20\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" aria-label=\"X\" target=\"_top\"><title>X</title><rect x=\"40\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" aria-label=\"X\" onclick=\"f()\"><title>X</title><rect x=\"60\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" aria-label=\"X\" class=\"k\"><title>X</title><rect x=\"80\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "</g>"};
    // An area the page gave no link stays no link, yet still takes the pointer from later areas.
    QTest::newRow("no link")
        << QStringList{" rect                    |0,0,10,10||Leer|*|*|*|*|nohref=\"nohref\"",
                       " rect                    |20,0,30,10|x.html||*|*|*|*"}
        << QStringList{pointer, p + "<rect x=\"20\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a><title>Leer</title><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>", "</g>",
                       keyboard, a + "<rect x=\"20\" y=\"0\" width=\"10\" height=\"10\" /></a>", "</g>"};
    // Too few numbers give no shape, as in a browser; one outside the picture is cut to it.
    QTest::newRow("unusable shapes, beyond the picture")
        << QStringList{" rect                    |1,2,3|x.html||*|*|*|*",
                       " circle                    |5,5,-1|x.html||*|*|*|*",
                       " poly                    |1,1,2,2|x.html||*|*|*|*",
                       " circle                    |95,40,10|x.html||*|*|*|*"}
        << QStringList{"<defs><clipPath id=\"korvane-m-bild\"><rect width=\"100\" height=\"80\" /></clipPath></defs>",
                       "<g class=\"korvane-flaechen\" aria-hidden=\"true\" clip-path=\"url(#korvane-m-bild)\">",
                       p + "<circle cx=\"95\" cy=\"40\" r=\"10\" /></a>", "</g>",
                       "<g class=\"korvane-verweise\" clip-path=\"url(#korvane-m-bild)\">",
                       a + "<circle cx=\"95\" cy=\"40\" r=\"10\" /></a>", "</g>"};
    // What the page gave an area goes with its link; the alt text names it, else its title;
    // references as a browser reads them, an empty target left out.
    QTest::newRow("kept attributes, names and titles")
        << QStringList{extra::withAttributes(" rect                    |0,0,10,10|x.html||*|*|*|*",
                                             {{"title", "Mehr &amp; mehr"}, {"id", "a1"}, {"aria-describedby", "h"},
                                              {"rel", "next"}, {"data-nr", "1"}, {"onfocus", "f()"}}),
                       " rect                    |20,0,30,10|x.html|&COPY 2024 &amp; &lt;b&gt;||*|*|*",
                       extra::withAttributes(" rect                    |0,0,10,10|x.html|Unter|*|*|*|*", {{"id", "u"}})}
        << QStringList{pointer, "<a href=\"x.html\" tabindex=\"-1\" id=\"u\"><title>Unter</title>"
                                "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       p + "<title>© 2024 &amp; &lt;b&gt;</title><rect x=\"20\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" tabindex=\"-1\" rel=\"next\" data-nr=\"1\" onfocus=\"f()\">"
                       "<title>Mehr &amp; mehr</title><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "</g>", keyboard,
                       "<a href=\"x.html\" aria-label=\"Mehr &amp; mehr\" id=\"a1\" aria-describedby=\"h\" rel=\"next\" "
                       "data-nr=\"1\" onfocus=\"f()\"><title>Mehr &amp; mehr</title>"
                       "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "<a href=\"x.html\" aria-label=\"&#169; 2024 &amp; &lt;b&gt;\"><title>© 2024 &amp; &lt;b&gt;</title>"
                       "<rect x=\"20\" y=\"0\" width=\"10\" height=\"10\" /></a>",
                       "</g>"};
    // Enough areas for the search of overlaps to go by cells: a big area
    // that spreads over all of them covers the small ones that lie in one
    // and a second big one; the default area under them covers nothing.
    const QString whole = QStringLiteral("<rect x=\"0\" y=\"0\" width=\"100\" height=\"80\" /></a>");
    QStringList many{" default                    ||x.html||*|*|*|*",
                     " rect                    |0,0,100,80|x.html||*|*|*|*"};
    QStringList pointerLinks;
    for (int y = 1; y < 80; y += 10) {
        for (int x = 1; x < 100; x += 10) {
            many << QStringLiteral(" rect                    |%1,%2,%3,%4|x.html||*|*|*|*")
                        .arg(x)
                        .arg(y)
                        .arg(x + 2)
                        .arg(y + 2);
            pointerLinks.prepend(p + QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"2\" height=\"2\" /></a>")
                                         .arg(x)
                                         .arg(y));
        }
    }
    many << " rect                    |0,0,100,80|x.html||*|*|*|*";
    QTest::newRow("many areas") << many
                                << QStringList{pointer, p + whole, p + whole} + pointerLinks +
                                       QStringList{p + whole, "</g>", keyboard, a + whole, a + whole, "</g>"};
}

void TestModel::responsiveCutsAndShapes()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    const QString code = responsiveCode({lines, QStringLiteral("m.png"), QStringLiteral("m"), QSize(100, 80)});
    QStringList inner = code.split("\r\n");
    const qsizetype style = inner.indexOf(QRegularExpression("^<style>.*"));
    QVERIFY(style > 0);
    inner = inner.mid(style + 1, inner.indexOf("</svg>") - style - 1);
    QCOMPARE(inner, expected);
}

void TestModel::shownElementOfLongLines_data()
{
    QTest::addColumn<QString>("line");
    const QString href = QString(30'000, u'a');
    QTest::newRow("Latin-1, escaped on both sides of the cut") << " rect                    |1,2,3,4|" +
                                                                      QString(9'990, u'x') + "\"&amp;&x<" + href +
                                                                      "|A & \"B\"|_top|*|*|f()";
    QTest::newRow("wide, a character of two units at the cut")
        << " rect                    |1,2,3,4|" + QString(9'942, u'x') + QString::fromUtf8("\xF0\x9F\x97\xBA") + href +
               QString::fromUtf8("|Stra\xC3\x9F"
                                 "e \xE2\x82\xAC|*|*|*|*");
    QTest::newRow("a long kept attribute")
        << " rect                    |1,2,3,4|a.html|A|*|*|*|*|data-x=\"" + href + "\"";
    QTest::newRow("short") << QStringLiteral(" circle                    |5,5,5|b.html|B|*|*|*|*");
}

// The code box shows a long element from its start and length, made without
// the element: the same as the element made whole, whether the line is kept
// one byte a character or two.
void TestModel::shownElementOfLongLines()
{
    QFETCH(QString, line);
    const MapCodeSource source(AreaLines{line}, QStringLiteral("/b/plan.png"), QString(), QSize(40, 30));
    const QString element = areaElement(line);
    const ShownPart shown = source.shownElement(0, kShownLineLimit);
    if (QTest::currentDataTag() == QByteArray("wide, a character of two units at the cut"))
        QVERIFY(element[kShownLineLimit - 1].isHighSurrogate());
    QCOMPARE(shown.length(), element.size());
    QCOMPARE(shown.start(), element.left(kShownLineLimit));
    QCOMPARE(shownLine(shown.start(), shown.length() - 2), shownLine(QStringView(element).chopped(2)));
}

void TestModel::areaSpacing_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("handlers without target")
        << " rect                    |1,2,3,4|a.html|A|*|over()|out()|*"
        << "<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" href=\"a.html\" title=\"A\"  onMouseOver=\"over()\" "
           "onMouseOut=\"out()\" />\r\n";
    // An empty target is none to a browser, and not a valid one.
    QTest::newRow("empty target is left out") << " rect |1,2,3,4|||||*|*"
                                              << "<area shape=\"rect\" alt=\"\" coords=\"1,2,3,4\" href=\"\" title=\"\"  "
                                                 "onMouseOver=\"\" />\r\n";
    QTest::newRow("blank star is a value") << "  poly |5,6| | * | *|*|*|*"
                                           << "<area shape=\"poly\" alt=\" * \" coords=\"5,6\" href=\" \" "
                                              "title=\" * \" target=\" *\" />\r\n";
    QTest::newRow("unknown keyword passes") << " Dreieck  |x|h|a|*|*|*|*"
                                            << "<area shape=\"Dreieck\" alt=\"a\" coords=\"x\" href=\"h\" "
                                               "title=\"a\"  />\r\n";
    // Coordinates are not valid on a default area (the whole picture).
    QTest::newRow("default area has no coords") << " DEFAULT  |x|h|a|*|*|*|*"
                                                << "<area shape=\"DEFAULT\" alt=\"a\" href=\"h\" title=\"a\"  />\r\n";
    QTest::newRow("kept attributes after the handlers")
        << " rect |1,2,3,4|a.html|A|_top|*|*|go()|id=\"x\" aria-label=\"Zur &quot;A&quot; & B\""
        << "<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" href=\"a.html\" title=\"A\" target=\"_top\" "
           "onClick=\"go()\" id=\"x\" aria-label=\"Zur &quot;A&quot; &amp; B\" />\r\n";
    QTest::newRow("a kept title stands for the alt text")
        << " rect |1,2,3,4|a.html|Kurz|*|*|*|*|title=\"Lang\" role=\"link\""
        << "<area shape=\"rect\" alt=\"Kurz\" coords=\"1,2,3,4\" href=\"a.html\" title=\"Lang\"  role=\"link\" />\r\n";
    QTest::newRow("kept attributes never repeat a field's")
        << " rect |1,2,3,4|a.html|A|*|*|*|*|HREF=\"b.html\" alt=\"B\" coords=\"9\" shape=\"circle\" "
           "target=\"_top\" onclick=\"x()\" onMouseOver=\"y()\" onmouseout=\"z()\" data-a=\"1\""
        << "<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" href=\"a.html\" title=\"A\"  data-a=\"1\" />\r\n";
    QTest::newRow("a kept name twice: the first")
        << " rect |1,2,3,4|a.html|A|*|*|*|*|id=\"x\" ID=\"y\" title=\"T\" title=\"U\""
        << "<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" href=\"a.html\" title=\"T\"  id=\"x\" />\r\n";
    QTest::newRow("no link is written without href")
        << " rect |1,2,3,4||A|*|*|*|*|nohref=\"nohref\""
        << "<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" title=\"A\"  nohref=\"nohref\" />\r\n";
    QTest::newRow("a link typed in wins over no link")
        << " rect |1,2,3,4|neu.html|A|*|*|*|*|nohref=\"nohref\""
        << "<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" href=\"neu.html\" title=\"A\"  nohref=\"nohref\" />\r\n";
}

void TestModel::areaSpacing()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(areaElement(line), expected);
}

void TestModel::emptyListGivesNoCode()
{
    QCOMPARE(map_daten({}, QStringLiteral("C:\\a\\b.png"), QString(), QSize(10, 10)), QString());
}

void TestModel::quoteInValueIsEscaped()
{
    const QString line = QStringLiteral(" rect |1,2,3,4|a.html?q=\"x\"|Sag \"Hallo\" & <b>|*|*|*|alert(\"1\")");
    QCOMPARE(areaElement(line),
             QStringLiteral("<area shape=\"rect\" alt=\"Sag &quot;Hallo&quot; &amp; &lt;b>\" coords=\"1,2,3,4\" "
                            "href=\"a.html?q=&quot;x&quot;\" title=\"Sag &quot;Hallo&quot; &amp; &lt;b>\"  "
                            "onClick=\"alert(&quot;1&quot;)\" />\r\n"));
    QVERIFY(map_daten({line}, QString(), QStringLiteral("My \"Map\""), QSize(1, 1))
                .contains(QStringLiteral("<map id=\"My &quot;Map&quot;\" name=\"My &quot;Map&quot;\">")));
}

void TestModel::valueEscaping_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("ampersand in a link") << "suche.html?q=a&lang=de"
                                         << "suche.html?q=a&amp;lang=de";
    QTest::newRow("references stay") << "Caf&eacute; &amp; &#228;&#x1F;&hellip;"
                                     << "Caf&eacute; &amp; &#228;&#x1F;&hellip;";
    // What a browser reads from them, written so that an XML reader reads the same.
    QTest::newRow("references a browser reads otherwise")
        << "&#X1f;&#12a;&amp&COPY 2024&#128;&NotEqualTilde;&#0;"
        << "&#31;&#12;a;&#38;&#169; 2024&#8364;&#8770;&#824;&#65533;";
    QTest::newRow("no references") << "&#;&#x;&;&1a;& b&copy=3&notit;"
                                   << "&amp;#;&amp;#x;&amp;;&amp;1a;&amp; b&amp;copy=3&amp;notit;";
    QTest::newRow("quote and less-than") << "a \"b\" <c>"
                                         << "a &quot;b&quot; &lt;c>";
}

void TestModel::valueEscaping()
{
    QFETCH(QString, value);
    QFETCH(QString, written);
    QCOMPARE(attributeValue(value), written);
    // Written again, the value stays as it is: an import and a save change nothing.
    QCOMPARE(attributeValue(written), written);
}

void TestModel::defaultAreaWithLinkIsTheMapsDefault()
{
    const QString code = map_daten({" rect |1,2,3,4|a.html|A|*|*|*|*", " default |  |rest.html|Rest|*|*|*|*"},
                                   "/b/plan.png", "plan", QSize(10, 10));
    QVERIFY(code.endsWith("<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" href=\"a.html\" title=\"A\"  />\r\n"
                          "<area shape=\"default\" alt=\"Rest\" href=\"rest.html\" title=\"Rest\"  />\r\n"
                          "</map>\r\n"));
    QVERIFY(!code.contains("nohref"));
}

void TestModel::scaledLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::addColumn<QString>("scaled");
    QTest::newRow("rect doubled, kept attributes stay")
        << " rect |10,20,30,41|a|A|*|*|*|*|id=\"x\"" << 2.0 << 2.0 << " rect |20,40,60,82|a|A|*|*|*|*|id=\"x\"";
    QTest::newRow("halves to even") << " poly |1,3,5,7,2,2|a|A|*|*|*|*" << 0.5 << 0.5
                                    << " poly |0,2,2,4,1,1|a|A|*|*|*|*";
    QTest::newRow("circle radius by the smaller factor") << " circle |100,50,20|a|A|*|*|*|*" << 2.0 << 0.5
                                                         << " circle |200,25,10|a|A|*|*|*|*";
    // The numbers and keyword a browser reads, written plainly.
    QTest::newRow("not a number reads 0") << " rect |1,x,3,4|a|A|*|*|*|*" << 2.0 << 2.0 << " rect |2,0,6,8|a|A|*|*|*|*";
    QTest::newRow("keyword in capitals, blanks") << " RECT |2 2 10 10|a|A|*|*|*|*" << 2.0 << 0.5
                                                 << " RECT |4,1,20,5|a|A|*|*|*|*";
    QTest::newRow("circ with units") << " circ |120px,150px,20px|a|A|*|*|*|*" << 0.5 << 2.0
                                     << " circ |60,300,10|a|A|*|*|*|*";
    QTest::newRow("default stays") << " default ||a|A|*|*|*|*" << 2.0 << 2.0 << " default ||a|A|*|*|*|*";
}

void TestModel::scaledLines()
{
    QFETCH(QString, line);
    QFETCH(double, sx);
    QFETCH(double, sy);
    QFETCH(QString, scaled);
    QCOMPARE(entry::scaledLine(line, sx, sy), scaled);
}

void TestModel::entryKeepsBlanksAndExtraFields()
{
    const QString line = QStringLiteral("  rect                    |1,2,3,4|h|a|*|*|*|*|extra|more");
    QCOMPARE(entry::shapeOf(line), QStringLiteral("rect"));
    QCOMPARE(entry::join(entry::split(line)), line);
    const QString moved = entry::withCoords(line, QStringLiteral("5,6,7,8"));
    QCOMPARE(moved, QStringLiteral("  rect                    |5,6,7,8|h|a|*|*|*|*|extra|more"));
    LinkAttributes a{"x.html", "X", "_top", "o()", "*", "c()"};
    QCOMPARE(entry::withAttributes(line, a),
             QStringLiteral("  rect                    |1,2,3,4|x.html|X|_top|o()|*|c()|extra|more"));
    QCOMPARE(entry::makeLine(" ", "circle", "1,2,3", a),
             QStringLiteral(" circle                    |1,2,3|x.html|X|_top|o()|*|c()"));
    QCOMPARE(entry::attributesOf(entry::makeLine(" ", "poly", "1,2", a)), a);
}

void TestModel::shortLinesNeverCrash_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << "";
    QTest::newRow("shape only") << " rect";
    QTest::newRow("no attributes") << " rect |1,2";
    QTest::newRow("bars only") << "|||";
}

void TestModel::shortLinesNeverCrash()
{
    QFETCH(QString, line);
    const QString element = areaElement(line);
    QVERIFY(element.startsWith(QStringLiteral("<area shape=\"")));
    QVERIFY(element.endsWith(QStringLiteral("/>\r\n")));
    QVERIFY(!entry::withCoords(line, "1,2").isEmpty());
    QCOMPARE(entry::split(entry::withAttributes(line, {})).size(), qsizetype(8));
}

void TestModel::coordinateValues()
{
    bool ok = false;
    QCOMPARE(entry::coordinateValues("10,-20,3.5", &ok), (QList<double>{10, -20, 3.5}));
    QVERIFY(ok);
    // As a browser reads them: separators run together, garbage is skipped, an item that is no number is 0.
    QCOMPARE(entry::coordinateValues("1,x,", &ok), (QList<double>{1, 0}));
    QVERIFY(!ok);
    const QList<double> values = entry::coordinateValues(" +7,-0,007, 12 ,9999999999999999,1e3", &ok);
    QCOMPARE(values, (QList<double>{7, 0, 7, 12, 1e16, 1000}));
    QVERIFY(!std::signbit(values[1])); // never -0
    QVERIFY(!ok);                      // "+7" is no plain number
    for (const char* notNumber : {"+", "-", "\u0663", "."}) {
        QCOMPARE(entry::coordinateValues(QString::fromUtf8(notNumber), &ok), QList<double>{0});
        QVERIFY(!ok);
    }
    QCOMPARE(entry::coordinateValues("12a", &ok), QList<double>{12});
    QCOMPARE(entry::coordinateValues("+-1", &ok), QList<double>{-1}); // "+" is garbage before "-1"
    QCOMPARE(entry::coordinateValues("1 2", &ok), (QList<double>{1, 2}));
    QVERIFY(ok);
    QCOMPARE(entry::coordinateText({10, -5, 0}), QStringLiteral("10,-5,0"));
}

void TestModel::barIsEscaped()
{
    QCOMPARE(entry::escapeBar("a|b||c"), QStringLiteral("a&#124;b&#124;&#124;c"));
    QCOMPARE(entry::escapeBar("plain"), QStringLiteral("plain"));
}

void TestModel::roundingIsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("2.6") << 2.6 << 3;
}

void TestModel::roundingIsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(roundHalfEven(value), expected);
}

void TestModel::areaListSignals()
{
    AreaList list;
    QSignalSpy changed(&list, &AreaList::dataChanged);
    QSignalSpy inserted(&list, &AreaList::rowsInserted);
    list.append("a");
    list.append("b");
    list.replace(1, "c");
    list.replace(1, "c"); // unchanged: no signal
    list.replace(5, "x"); // out of range: ignored
    list.remove(7);
    QCOMPARE(list.lines(), (QStringList{"a", "c"}));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(list.line(-1), QString());
    list.remove(0);
    QCOMPARE(list.lines(), QStringList{"c"});
    list.clear();
    QVERIFY(list.isEmpty());
}

void TestModel::areaLinesKeepEveryLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("ASCII") << QStringLiteral(" rect |1,2,3,4|a.html|A|*|*|*|*");
    QTest::newRow("Latin-1") << QStringLiteral(" rect |1,2,3,4|ä.html|Größe ÿ|*|*|*|*");
    QTest::newRow("euro") << QStringLiteral(" rect |1,2,3,4|a.html|5 €|*|*|*|*");
    QTest::newRow("surrogate pair") << (QStringLiteral(" rect |1,2,3,4||") + QChar(0xD83D) + QChar(0xDE00));
    QTest::newRow("lone surrogate") << (QStringLiteral(" circle |1,2,3|") + QChar(0xDC00) + QStringLiteral("|x"));
    QTest::newRow("empty") << QString();
    QTest::newRow("CR LF inside") << QStringLiteral(" rect |1,2,3,4||a\r\nb|*|*|*|*");
    QTest::newRow("paragraph separator") << (QStringLiteral(" rect |1,2,3,4||a") + QChar(QChar::ParagraphSeparator));
    QTest::newRow("long") << QString(70'000, QChar(0x151)); // its old bytes soon make the buffer be written anew
}

// Past 8 MB the buffer's fresh pages are made ready on a second thread while
// lines are added: a copy, a move and a line of another kind in the middle
// of it leave every line exact.
void TestModel::bigLinesStayExactWhileFilled()
{
    AreaLines lines;
    QStringList expected;
    AreaLines copy;
    QStringList copied;
    for (int i = 0; i < 300'000; ++i) {
        const QString line = i == 250'000 ? QStringLiteral(" rect |1,2,3,4||5 €|*|*|*|*")
                                          : QStringLiteral(" rect |%1,0,9,9|seite%1.html|Feld %1|*|*|*|*").arg(i);
        lines.append(line);
        expected << line;
        if (i == 150'000) {
            copy = lines;
            copied = expected;
        } else if (i == 200'000) {
            AreaLines moved = std::move(lines);
            lines = std::move(moved);
        }
    }
    QCOMPARE(lines.toStringList(), expected);
    QCOMPARE(copy.toStringList(), copied);
}

// A system that gives no more threads (here: no room for a thread's stack)
// makes the work slower, never a crash or a writer waiting for good.
void TestModel::noThreadLeft()
{
    std::vector<char> block(16 * 1024 * 1024, 'x');
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlimit limit{rlim_t(pages) * 4096 + 2 * 1024 * 1024, RLIM_INFINITY};
        bool fine = pages > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
        // Stacks of ended threads kept for reuse are taken first.
        std::atomic<bool> release = false;
        std::vector<std::thread> holders;
        try {
            while (holders.size() < 100)
                holders.emplace_back([&release] { release.wait(false); });
        } catch (const std::system_error&) {
        }
        int ran = 0;
        std::thread second = onSecondThread([&ran] { ++ran; });
        fine = fine && holders.size() < 100 && !second.joinable() && ran == 1;
        fine = fine && resultOnSecondThread([] { return 42; }).get() == 42;
        PagesAhead ahead;
        ahead.before(block.data(), 100, block.size());
        ahead.before(block.data(), 200, block.size());
        release = true;
        release.notify_all();
        for (std::thread& holder : holders)
            holder.join();
        _exit(fine ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

void TestModel::pagesAheadOfTheWriter_data()
{
    QTest::addColumn<int>("longestWrite");
    QTest::addColumn<bool>("stoppedHalfway");
    QTest::newRow("lines") << 120 << false;
    QTest::newRow("writes longer than its lead") << 9 * 1024 * 1024 << false;
    QTest::newRow("stopped halfway") << 120 << true;
}

// The second thread never changes a byte and never keeps the writer waiting for good,
// however the writer goes on.
void TestModel::pagesAheadOfTheWriter()
{
    QFETCH(int, longestWrite);
    QFETCH(bool, stoppedHalfway);
    const size_t room = (size_t(24) << 20) + 123;
    std::vector<char> block(room, 'x');
    QRandomGenerator random(7);
    PagesAhead ahead;
    size_t end = 1000;
    while (true) {
        const size_t length = 1 + random.bounded(longestWrite);
        if (end + length + 1 >= room || (stoppedHalfway && end > room / 2))
            break;
        ahead.before(block.data(), end + length + 1, room);
        for (size_t i = end; i <= end + length; ++i)
            block[i] = char('a' + i % 26);
        end += length;
    }
    ahead.stop();
    for (size_t i = 0; i < room; ++i) {
        const char expected = i < 1000 || i > end ? 'x' : char('a' + i % 26);
        if (block[i] != expected)
            QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(i)));
    }
}

// Every edit of a list of lines, made on the store and on a QStringList, gives the same lines;
// a copy keeps what it had.
void TestModel::areaLinesKeepEveryLine()
{
    QFETCH(QString, line);
    const QString other = QStringLiteral(" rect |0,0,9,9|b.html|B|*|*|*|*");
    QStringList expected{other, line, QStringLiteral("ö"), line};
    AreaLines lines(expected);
    QCOMPARE(lines, expected);
    const AreaLines copy = lines;
    QString read = QStringLiteral("room to spare for a line");
    lines.read(1, read);
    QCOMPARE(read, line);
    QCOMPARE(lines.lineSize(1), line.size());
    QCOMPARE(lines.hasLineEnd(1), line.contains(QLatin1Char('\n')) || line.contains(QChar(QChar::ParagraphSeparator)));
    QVERIFY(!lines.hasLineEnd(0));
    QVERIFY(lines.contains(line));
    QVERIFY(!lines.contains(line + QLatin1Char('x')));

    lines.replace(0, line);
    expected[0] = line;
    lines.insert(1, other);
    expected.insert(1, other);
    lines.replace(2, other + line);
    expected[2] = other + line;
    lines.removeAt(3);
    expected.removeAt(3);
    lines.replace(3, QStringLiteral("€"));
    expected[3] = QStringLiteral("€");
    lines << line;
    expected << line;
    for (int k = 0; k < 8; ++k) { // a long line's old bytes make the buffer be written anew
        lines.replace(0, line + QString::number(k));
        expected[0] = line + QString::number(k);
    }
    QCOMPARE(lines.toStringList(), expected);
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QCOMPARE(lines.at(i), expected.at(i));
    QCOMPARE(copy, (QStringList{other, line, QStringLiteral("ö"), line}));
    QVERIFY(lines != copy);
    QCOMPARE(AreaLines(lines.toStringList()), lines);

    AreaLines joined = copy;
    joined.append(lines);
    QCOMPARE(joined, QStringList(copy.toStringList() + expected));
    joined.clear();
    QVERIFY(joined.isEmpty());
    QCOMPARE(joined, AreaLines());
}

void TestModel::codecRoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = fromWindows1252(all);
    QCOMPARE(text.size(), qsizetype(256));
    QCOMPARE(toWindows1252(text), all);
    QCOMPARE(encodeText(decodeText(all, TextEncoding::Windows1252), TextEncoding::Windows1252), all);
}

void TestModel::codecMapsKnownCharacters_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("byte");
    QTest::newRow("euro") << QStringLiteral("€") << 0x80;
    QTest::newRow("a umlaut") << QStringLiteral("ä") << 0xE4;
    QTest::newRow("sharp s") << QStringLiteral("ß") << 0xDF;
    QTest::newRow("left double quote") << QStringLiteral("“") << 0x93;
    QTest::newRow("z caron") << QStringLiteral("ž") << 0x9E;
    QTest::newRow("not in code page") << QStringLiteral("ł") << int('?');
}

void TestModel::codecMapsKnownCharacters()
{
    QFETCH(QString, character);
    QFETCH(int, byte);
    QCOMPARE(toWindows1252(character), QByteArray(1, static_cast<char>(byte)));
    if (byte != '?')
        QCOMPARE(fromWindows1252(QByteArray(1, static_cast<char>(byte))), character);
}

void TestModel::encodingDetection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("<html>") << false << QStringLiteral("<html>");
    QTest::newRow("utf8 umlaut") << QByteArray("Gr\xc3\xbc\xc3\x9f") << true << QStringLiteral("Grüß");
    QTest::newRow("latin umlaut") << QByteArray("Gr\xfc\xdf") << false << QStringLiteral("Grüß");
    QTest::newRow("truncated utf8") << QByteArray("a\xc3") << false << QStringLiteral("aÃ");
    // Big texts take another way through the decoder. A UTF-8 mark stays a
    // character in both (the readers drop the one that starts a file).
    const QByteArray line("Gr\xc3\xbc\xc3\x9f\xe2\x82\xac <area>\r\n");
    QTest::newRow("utf8 with its mark") << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f") << true
                                        << QString(QChar(0xFEFF)) + QStringLiteral("Grüß");
    QTest::newRow("big utf8 with its mark") << "\xef\xbb\xbf" + line.repeated(200'000) << true
                                           << QChar(0xFEFF) + QStringLiteral("Grüß€ <area>\r\n").repeated(200'000);
    QTest::newRow("big, one byte not utf8") << line.repeated(200'000) + "\xfc" << false
                                           << QStringLiteral("GrÃ¼ÃŸâ‚¬ <area>\r\n").repeated(200'000) + "ü";
}

void TestModel::encodingDetection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QFETCH(QString, text);
    const TextEncoding encoding = detectEncoding(bytes);
    QCOMPARE(encoding == TextEncoding::Utf8, utf8);
    QCOMPARE(decodeText(bytes, encoding), text);
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
