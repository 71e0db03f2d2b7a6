// The map check: each rule on a map made to break it, nothing on a clean map,
// the command line on a page, and the window opened from the code box.
#include "app/CodeBox.h"
#include "app/commands/CheckCommandLine.h"
#include "windows/MapCheckWindow.h"
#include "io/PageCheck.h"
#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"
#include "model/MapCheck.h"
#include "support/BlankPicture.h"
#include "support/Files.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <algorithm>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPainterPath>
#include <QProcess>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QRegularExpression>
#include <QHash>

using namespace korvane;
using korvane::test::pad;
using korvane::test::row;

namespace {

QString area(const QString& shape, const QString& coords, const QString& href, const QString& alt)
{
    return pad(" ", shape) + coords + "|" + href + "|" + alt + "|*|*|*|*";
}

// Each finding as "LINE: severity: rule".
QStringList brief(const check::Findings& findings)
{
    QStringList out;
    for (const check::Finding& f : findings)
        out << QString::number(f.line) + ": " + check::severityName(f.severity) + ": " + f.rule;
    return out;
}

} // namespace

class TestMapCheck : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void farCoordinates_data();
    void farCoordinates();
    void messages();
    void pixelGridAgreesWithEveryPixel();
    void commandLine_data();
    void commandLine();
    void programPrintsFindings();
    void windowFromTheCodeBox();
    void agreesWithTheNuChecker_data();
    void agreesWithTheNuChecker();
};

void TestMapCheck::rules_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("displayWidth"); // the picture is 400 x 300, "plan.png"
    QTest::addColumn<QStringList>("expected");
    row("clean map",
        QStringList{area("rect", "10,10,110,80", "a.html", "Start"), area("circle", "200,150,40", "b.html", "Kontakt"),
                    area("poly", "300,10,390,60,300,110", "c.html", "Info"),
                    area("rect", "0,0,400,300", "d.html", "Rest")},
        0, QStringList{});
    row("no alternative text, or only blanks",
        QStringList{area("rect", "0,0,50,50", "a.html", ""), area("rect", "50,0,100,50", "b.html", "   ")}, 0,
        QStringList{"1: error: area-alt", "2: error: area-alt"});
    row("no link needs no text",
        QStringList{extra::withAttributes(area("rect", "0,0,50,50", "", ""), {{"nohref", "nohref"}})}, 0,
        QStringList{});
    row("alternative text is the link",
        QStringList{area("rect", "0,0,50,50", "seiten/kontakt.html?x=1", "kontakt.html"),
                    area("rect", "50,0,100,50", "https://a.de/", "https://a.de/")},
        0, QStringList{"1: warning: alt-is-link", "2: warning: alt-is-link"});
    row("alternative text is a file name",
        QStringList{area("rect", "0,0,50,50", "a.html", "PLAN.PNG"), area("rect", "50,0,100,50", "b.html", "IMG_0042.jpg"),
                    area("rect", "100,0,150,50", "c.html", "Plan vom Garten.png ansehen")},
        0, QStringList{"1: warning: alt-is-filename", "2: warning: alt-is-filename"});
    row("one text for two links",
        QStringList{area("rect", "0,0,50,50", "a.html", "Mehr"), area("rect", "50,0,100,50", "a.html", "Mehr"),
                    area("rect", "100,0,150,50", "b.html", " mehr ")},
        0, QStringList{"3: warning: duplicate-alt"});
    row("shapes that cannot be clicked",
        QStringList{area("rect", "10,10,10,50", "a.html", "A"), area("circle", "50,50,0", "b.html", "B"),
                    area("poly", "1,1,60,60", "c.html", "C"), area("poly", "0,0,50,50,100,100", "d.html", "D"),
                    area("rect", "1,2,3", "e.html", "E"), area("circle", "5,x,9", "f.html", "F")},
        0,
        QStringList{"1: error: degenerate-shape", "2: error: degenerate-shape", "3: error: degenerate-shape",
                    "4: error: degenerate-shape", "5: error: degenerate-shape", "6: error: invalid-coords",
                    "6: warning: outside-picture", "6: warning: small-target"});
    // The coordinates and keywords as a browser reads them: these areas are clicked in a browser, though a validator
    // refuses how they are written.
    row("numbers and keywords a browser reads",
        QStringList{area("rect", "2 2 100 100", "a.html", "A"), area("circle", "300px,150px,40px", "b.html", "B"),
                    area("POLYGON", "200;200;300;200;250;290", "c.html", "C"), area("Rectangle", "0,200,100,,300,", "d.html", "D")},
        0, QStringList{"1: error: invalid-coords", "2: error: invalid-coords", "3: error: invalid-shape",
                       "4: error: invalid-shape"});
    // As HTML wants them: a keyword in any letter case, integers (a radius of 0 is a validator's, not a browser's).
    row("coordinates and keywords a validator takes",
        QStringList{area("RECT", "0,0,50,50", "a.html", "A"), area("Circle", "100,100,30", "b.html", "B"),
                    area("poly", "-10,200,60,200,30,290", "c.html", "C"), area("rect", "0100,0,0150,50", "d.html", "D")},
        0, QStringList{"3: warning: outside-picture"});
    row("coordinates a validator refuses",
        QStringList{area("rect", "100,100,50,150", "a.html", "A"), area("rect", "200,150,250,100", "b.html", "B"),
                    area("circle", "100,100,-30", "c.html", "C"), area("poly", "0,0,50,0,50,50,7", "d.html", "D"),
                    area("rect", "0,200,40,240,50", "e.html", "E"), area("rect", "+1,250,40,290", "f.html", "F"),
                    area("rect", "300,0,350.5,50", "g.html", "G"), pad(" ", "default") + "1,2|h.html|H|*|*|*|*",
                    area("", "320,100,380,150", "i.html", "I")},
        0,
        QStringList{"1: error: invalid-coords", "2: error: invalid-coords", "3: error: degenerate-shape",
                    "4: error: invalid-coords", "5: error: invalid-coords", "6: error: invalid-coords",
                    "7: error: invalid-coords", "8: error: invalid-coords", "9: error: invalid-shape"});
    row("covered by areas of other keywords",
        QStringList{area("CIRC", "200,150,100", "a.html", "A"), area("rect", "180,130,220,170", "b.html", "B"),
                    area("RECT", "0 0 50 50", "c.html", "C"), area("Dreieck", "10,10,20,20", "d.html", "D")},
        0, QStringList{"1: error: invalid-shape", "2: error: unreachable-area", "3: error: invalid-coords",
                       "4: error: invalid-shape", "4: error: unreachable-area", "4: warning: small-target"});
    // The address itself, or its file name with the extension; a page's name as its address gives it is fine.
    row("alternative text names the page as its address does",
        QStringList{area("rect", "0,0,50,50", "/impressum/", "Impressum"), area("rect", "50,0,100,50", "/kontakt", "kontakt"),
                    area("rect", "100,0,150,50", "https://a.de", "a.de"),
                    area("rect", "150,0,200,50", "seite.html#oben", "SEITE.HTML"),
                    area("rect", "200,0,250,50", "&#107;arte.html", "karte.html")},
        0, QStringList{"4: warning: alt-is-link", "5: warning: alt-is-link"});
    row("covered by an earlier area, by two together, partly, a concave notch",
        QStringList{area("rect", "0,0,200,100", "a.html", "A"), area("rect", "20,20,60,60", "b.html", "B"),
                    area("rect", "200,0,300,100", "c.html", "C"), area("rect", "150,30,250,70", "d.html", "D"),
                    area("rect", "250,50,350,150", "e.html", "E"),
                    area("poly", "0,150,100,150,100,290,70,290,70,200,30,200,30,290,0,290", "u.html", "U"),
                    area("rect", "35,210,65,280", "n.html", "N")},
        0, QStringList{"2: error: unreachable-area", "4: error: unreachable-area"});
    row("listed below an area above, an empty band between",
        QStringList{area("rect", "0,100,100,200", "a.html", "A"), area("rect", "0,0,100,50", "b.html", "B"),
                    area("rect", "10,110,90,190", "c.html", "C"), area("rect", "0,240,60,299", "d.html", "D")},
        0, QStringList{"3: error: unreachable-area"});
    row("a circle covers a rectangle inside it",
        QStringList{area("circle", "200,150,100", "a.html", "A"), area("rect", "180,130,220,170", "b.html", "B")}, 0,
        QStringList{"2: error: unreachable-area"});
    row("outside the picture, partly and wholly",
        QStringList{area("rect", "380,280,420,320", "a.html", "A"), area("circle", "500,100,30", "b.html", "B"),
                    area("poly", "-10,0,40,0,40,40", "c.html", "C")},
        0, QStringList{"1: warning: outside-picture", "2: warning: outside-picture", "3: warning: outside-picture"});
    row("small at the picture's own width",
        QStringList{area("rect", "0,0,23,100", "a.html", "A"), area("circle", "100,100,11", "b.html", "B"),
                    area("rect", "200,0,224,24", "c.html", "C")},
        0, QStringList{"1: warning: small-target", "2: warning: small-target"});
    row("small when shown at half the width", QStringList{area("rect", "0,0,40,40", "a.html", "A")}, 200,
        QStringList{"1: warning: small-target"});
    row("large enough when shown at twice the width", QStringList{area("rect", "0,0,20,20", "a.html", "A")}, 800,
        QStringList{});
    // What only a link may carry, on an area without one; an empty alternative text is what the code writes there.
    row("no link but what only a link carries",
        QStringList{extra::withAttributes(area("rect", "0,0,50,50", "", "Text"), {{"nohref", "nohref"}}),
                    extra::withAttributes(pad(" ", "rect") + "50,0,100,50|||_blank|*|*|*",
                                          {{"rel", "next"}, {"ping", "p.php"}, {"nohref", "nohref"}}),
                    extra::withAttributes(area("rect", "100,0,150,50", "", ""),
                                          {{"download", ""}, {"hreflang", "de"}, {"type", "text/html"}, {"nohref", "nohref"}}),
                    extra::withAttributes(area("rect", "150,0,200,50", "", ""), {{"title", "T"}, {"nohref", "nohref"}}),
                    extra::withAttributes(pad(" ", "default") + "||||*|*|*|*", {{"nohref", "nohref"}})},
        0,
        QStringList{"1: error: area-href-missing", "2: error: area-href-missing", "3: error: area-href-missing",
                    "5: warning: default-without-href"});
    row("default area with a link and no text",
        QStringList{pad(" ", "default") + "|rest.html||*|*|*|*", area("rect", "0,0,50,50", "a.html", "A")}, 0,
        QStringList{"1: error: area-alt"});
}

void TestMapCheck::rules()
{
    QFETCH(QStringList, lines);
    QFETCH(int, displayWidth);
    QFETCH(QStringList, expected);
    const check::MapFacts facts{QSize(400, 300), QStringLiteral("plan.png"), displayWidth, {}};
    QCOMPARE(brief(check::checkAreas(lines, facts)), expected);
}

// Coordinates far beyond every picture (and beyond int) are no error: the
// area reaches that far, and covers what lies under it.
void TestMapCheck::farCoordinates_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QStringList>("expected");
    // (Numbers with an exponent are no integers to a validator.)
    QTest::newRow("with the picture") << QSize(400, 300)
                                      << QStringList{"1: error: invalid-coords", "1: warning: outside-picture",
                                                     "2: error: unreachable-area", "3: error: invalid-coords",
                                                     "3: warning: outside-picture", "4: error: unreachable-area"};
    QTest::newRow("without a picture") << QSize()
                                       << QStringList{"1: error: invalid-coords", "2: error: unreachable-area",
                                                      "3: error: invalid-coords", "4: error: unreachable-area"};
    // A page may show the picture at any size: the check still ends at once.
    QTest::newRow("shown at a huge size") << QSize(999'999'999, 999'999'999)
                                          << QStringList{"1: error: invalid-coords", "1: warning: outside-picture",
                                                         "2: error: unreachable-area", "3: error: invalid-coords",
                                                         "3: warning: outside-picture", "4: error: unreachable-area"};
}

void TestMapCheck::farCoordinates()
{
    QFETCH(QSize, picture);
    QFETCH(QStringList, expected);
    const QStringList lines{area("rect", "-1e78,0,5e77,100", "a.html", "A"), area("rect", "10,20,60,80", "b.html", "B"),
                            area("circle", "200,5e12,1e300", "c.html", "C"), area("rect", "10,200,60,280", "d.html", "D")};
    const check::MapFacts facts{picture, QStringLiteral("plan.png"), 0, {}};
    QCOMPARE(brief(check::checkAreas(lines, facts)), expected);
}

void TestMapCheck::messages()
{
    const QStringList lines{area("rect", "0,0,100,100", "a.html", "Mehr"), area("rect", "10,10,50,50", "b.html", "Mehr"),
                            area("circle", "380,150,30", "c.html", "c.html"), area("rect", "5,5,5,9", "d.html", "")};
    const check::MapFacts facts{QSize(400, 300), QStringLiteral("plan.png"), 200, {7, 8, 9, 12}};
    QStringList out;
    for (const check::Finding& f : check::checkAreas(lines, facts))
        out << check::findingLine("plan.map", f);
    QCOMPARE(out, QStringList({
        "plan.map:8: warning: duplicate-alt: Der Alternativtext \"Mehr\" steht auch in Zeile 7, deren Verweis "
        "woanders hinführt.",
        "plan.map:8: error: unreachable-area: Frühere Areale verdecken das Areal ganz; ein Browser nimmt dort "
        "immer das erste, so kann es nie angeklickt werden.",
        "plan.map:8: warning: small-target: Das Areal ist bei einer Anzeigebreite von 200 Pixeln nur 20 × 20 Pixel "
        "groß, kleiner als 24 × 24.",
        "plan.map:9: warning: alt-is-link: Der Alternativtext \"c.html\" ist der Verweis selbst; er sollte sagen, "
        "wohin der Verweis führt.",
        "plan.map:9: warning: outside-picture: Das Areal ragt über den Rand des Bildes (400 × 300 Pixel) hinaus.",
        "plan.map:12: error: area-alt: Das Areal hat einen Verweis, aber keinen Alternativtext.",
        "plan.map:12: error: degenerate-shape: Das Rechteck \"5,5,5,9\" hat keine Breite oder keine Höhe. Es kann "
        "nie angeklickt werden.",
    }));
    // Shown at half the width, 40 pixels are 20.
    const check::Findings small = check::checkAreas({area("rect", "0,0,40,60", "a.html", "A")}, facts);
    QCOMPARE(small.size(), std::size_t(1));
    QCOMPARE(small[0].message, QStringLiteral("Das Areal ist bei einer Anzeigebreite von 200 Pixeln nur 20 × 30 Pixel "
                                              "groß, kleiner als 24 × 24."));
}

// The sweep over rows must give what testing every pixel's centre gives.
void TestMapCheck::pixelGridAgreesWithEveryPixel()
{
    QRandomGenerator random(21);
    const QSize picture(90, 70);
    for (int round = 0; round < 40; ++round) {
        QStringList lines;
        QList<QPainterPath> paths;
        for (int i = 0; i < 12; ++i) {
            const int x = random.bounded(-10, 90), y = random.bounded(-10, 70);
            QPainterPath path;
            path.setFillRule(Qt::OddEvenFill);
            QList<int> c;
            switch (random.bounded(3)) {
            case 0:
                c = {x, y, x + random.bounded(1, 50), y + random.bounded(1, 40)};
                path.addRect(QRectF(QPointF(c[0], c[1]), QPointF(c[2], c[3])));
                lines << area("rect", entry::coordinateText(c), "r", QString::number(i));
                break;
            case 1:
                c = {x, y, random.bounded(1, 25)};
                path.addEllipse(QPointF(c[0], c[1]), c[2], c[2]);
                lines << area("circle", entry::coordinateText(c), "c", QString::number(i));
                break;
            default:
                for (int p = 0; p < 5; ++p)
                    c << x + random.bounded(-30, 30) << y + random.bounded(-30, 30);
                path.moveTo(c[0], c[1]);
                for (int p = 2; p < c.size(); p += 2)
                    path.lineTo(c[p], c[p + 1]);
                path.closeSubpath();
                lines << area("poly", entry::coordinateText(c), "p", QString::number(i));
            }
            paths << path;
        }
        // The first area at each pixel's centre; an area that holds some pixel only near its edge is left out.
        QList<int> hits(paths.size(), 0);
        QList<bool> inside(paths.size(), false);
        QList<bool> unsure(paths.size(), false);
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QPointF centre(x + 0.5, y + 0.5);
                for (qsizetype i = 0; i < paths.size(); ++i) {
                    const bool near = paths[i].contains(centre + QPointF(0.01, 0.01)) !=
                                      paths[i].contains(centre - QPointF(0.01, 0.01));
                    unsure[i] = unsure[i] || near;
                    inside[i] = inside[i] || paths[i].contains(centre);
                }
                for (qsizetype i = 0; i < paths.size(); ++i) {
                    if (paths[i].contains(centre)) {
                        ++hits[i];
                        break;
                    }
                }
            }
        }
        QStringList expected;
        QStringList seen;
        const check::Findings findings = check::checkAreas(lines, {picture, {}, 0, {}});
        for (qsizetype i = 0; i < paths.size(); ++i) {
            if (unsure[i])
                continue;
            const bool degenerate = std::any_of(findings.begin(), findings.end(), [&](const check::Finding& f) {
                return f.area == i && f.rule == QLatin1String("degenerate-shape");
            });
            if (hits[i] == 0 && inside[i] && !degenerate)
                expected << QString::number(i + 1);
            if (std::any_of(findings.begin(), findings.end(), [&](const check::Finding& f) {
                    return f.area == i && f.rule == QLatin1String("unreachable-area");
                }))
                seen << QString::number(i + 1);
        }
        QCOMPARE(seen, expected);
    }
}

namespace {

// A rectangle's numbers and three million characters more.
QString longCoords()
{
    return QStringLiteral("0,0,100,100") + QStringLiteral(",7").repeated(1'500'000);
}

} // namespace

void TestMapCheck::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // {} stands for the page's path
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString page = QStringLiteral("{page}");
    row("every finding", QStringList{"--check", page}, 1,
        QStringLiteral("{page}:3: error: usemap-without-map: Die Grafik nennt die Map \"fehlt\", aber keine Map der "
                       "Seite trägt diesen Namen.\n"
                       "{page}:5: error: area-alt: Das Areal hat einen Verweis, aber keinen Alternativtext.\n"
                       "{page}:6: warning: alt-is-link: Der Alternativtext \"b.html\" ist der Verweis selbst; er "
                       "sollte sagen, wohin der Verweis führt.\n"
                       "{page}:7: warning: alt-is-filename: Der Alternativtext \"plan.png\" ist ein Dateiname; er "
                       "sollte sagen, wohin der Verweis führt.\n"
                       "{page}:9: warning: duplicate-alt: Der Alternativtext \"Haus\" steht auch in Zeile 8, deren "
                       "Verweis woanders hinführt.\n"
                       "{page}:9: error: degenerate-shape: Der Kreis \"50,50,0\" hat keinen Radius. Es kann nie "
                       "angeklickt werden.\n"
                       "{page}:11: error: unreachable-area: Frühere Areale verdecken das Areal ganz; ein Browser "
                       "nimmt dort immer das erste, so kann es nie angeklickt werden.\n"
                       "{page}:12: warning: outside-picture: Das Areal ragt über den Rand des Bildes (200 × 150 "
                       "Pixel) hinaus.\n"
                       "{page}:13: warning: small-target: Das Areal ist bei einer Anzeigebreite von 200 Pixeln nur "
                       "10 × 10 Pixel groß, kleiner als 24 × 24.\n"
                       "{page}:14: warning: duplicate-map-name: Eine Map mit dem Namen \"plan\" steht schon in Zeile "
                       "4; welche eine Grafik bekommt, hängt vom Browser ab.\n"),
        QString());
    row("a display width", QStringList{"--check", "--display-width", "100", "{clean}"}, 0,
        QStringLiteral("{clean}:7: warning: small-target: Das Areal ist bei einer Anzeigebreite von 100 Pixeln nur "
                       "20 × 20 Pixel groß, kleiner als 24 × 24.\n"),
        QString());
    row("clean map", QStringList{"--check", "{clean}"}, 0, QString(), QString());
    // Maps found by id and by decoded names, a usemap without "#", a picture shown at twice its size
    // (its areas in those pixels), keywords and numbers as a browser reads them.
    // (A validator wants the map's name, integers separated by commas only and the keyword "circle".)
    row("read as a browser reads", QStringList{"--check", "{browser}"}, 1,
        QStringLiteral("{browser}:3: error: map-name-invalid: Die Map hat keinen Namen (name).\n"
                       "{browser}:4: error: invalid-coords: Die Koordinaten \"0 0 200 200\" sind kein gültiges HTML: "
                       "die Zahlen werden nur durch Kommas getrennt, ohne Leerzeichen.\n"
                       "{browser}:5: error: invalid-shape: Die Form \"circ\" ist kein gültiges HTML; gültig sind rect, "
                       "circle, poly und default.\n"
                       "{browser}:6: error: unreachable-area: Frühere Areale verdecken das Areal ganz; ein Browser "
                       "nimmt dort immer das erste, so kann es nie angeklickt werden.\n"
                       "{browser}:7: error: usemap-without-map: Der usemap-Wert \"plan\" nennt nach einem \"#\" "
                       "keinen Namen; ein Browser verbindet die Grafik mit keiner Map.\n"
                       "{browser}:9: error: usemap-without-map: Die Grafik nennt die Map \"Klein\", aber keine Map "
                       "der Seite trägt diesen Namen. Die Map \"klein\" unterscheidet sich nur in der Groß- und "
                       "Kleinschreibung; ein Browser nimmt sie nicht.\n"),
        QString());
    // The tags' own rules: as the Nu HTML checker, but for the closing area of Korvane's own code (see "clean map").
    row("what the validators call errors", QStringList{"--check", "{nu}"}, 1,
        QStringLiteral("{nu}:3: error: map-id-mismatch: Die Map heißt \"plan\", ihre id ist aber \"karte\"; beide "
                       "müssen gleich sein.\n"
                       "{nu}:4: error: area-href-missing: Das Areal hat keinen Verweis (href), aber die Attribute alt, "
                       "target; ohne Verweis sind sie nicht erlaubt.\n"
                       "{nu}:5: error: area-href-missing: Das Areal hat keinen Verweis (href), aber die Attribute rel, "
                       "download, hreflang, type, ping; ohne Verweis sind sie nicht erlaubt.\n"
                       "{nu}:6: error: area-href-missing: Das Areal hat keinen Verweis (href), aber das Attribut alt; "
                       "ohne Verweis sind sie nicht erlaubt.\n"
                       "{nu}:6: warning: default-without-href: Das Standardareal hat keinen Verweis; es führt "
                       "nirgendwohin und kann entfallen.\n"
                       "{nu}:7: warning: default-without-href: Das Standardareal hat keinen Verweis; es führt "
                       "nirgendwohin und kann entfallen.\n"
                       "{nu}:10: warning: map-used-twice: Die Map \"plan\" gehört schon zur Grafik in Zeile 2; mit "
                       "der Tastatur erreicht man ihre Areale nur einmal, dort, wo die Map steht.\n"),
        QString());
    // Coordinates of megabytes, whose start the reading in pieces keeps apart: the tag's rule reads them whole.
    row("a value kept apart while read", QStringList{"--check", "{long}"}, 1,
        "{long}:2: error: invalid-coords: Die Koordinaten \"" + longCoords() +
            "\" sind kein gültiges HTML: ein Rechteck braucht vier durch Kommas getrennte ganze Zahlen.\n",
        QString());
    row("missing file", QStringList{"--check", "{clean}", "{folder}/fehlt.html"}, 2, QString(),
        QStringLiteral("korvane: Die Datei \"{folder}/fehlt.html\" kann nicht gelesen werden.\n"));
    row("no map in the file", QStringList{"--check", "{folder}/plan.png"}, 2, QString(),
        QStringLiteral("korvane: In der Datei \"{folder}/plan.png\" wurde keine ImageMap gefunden.\n"));
    row("no file", QStringList{"--check"}, 2, QString(),
        QStringLiteral("korvane: keine Datei zum Prüfen angegeben\n\nAufruf: korvane --check [--display-width "
                       "BREITE] DATEI...\n"));
    row("bad width", QStringList{"--check", "--display-width=breit", "{clean}"}, 2, QString(),
        QStringLiteral("korvane: die Anzeigebreite \"breit\" ist keine ganze Zahl größer 0\n\nAufruf: korvane "
                       "--check [--display-width BREITE] DATEI...\n"));
}

namespace {

// A page made to have every finding, and a clean .map file, beside a 200 x 150 picture.
struct CheckFolder {
    QTemporaryDir dir;
    CheckFolder()
    {
        QImage picture(200, 150, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.save(dir.filePath("plan.png"), "PNG");
        test::writeFile(dir.filePath("seite.html"),
                        "<html><body>\n"
                        "<img src=\"plan.png\" usemap=\"#Plan\" alt=\"Plan\">\n"
                        "<img src=\"plan.png\" usemap=\"#fehlt\" alt=\"\"><img src=\"plan.png\" usemap=\"#Plan2\" "
                        "alt=\"\">\n"
                        "<map name=\"Plan\">\n"
                        "<area shape=\"rect\" coords=\"0,0,40,40\" href=\"a.html\">\n"
                        "<area shape=\"rect\" coords=\"40,0,80,40\" href=\"b.html\" alt=\"b.html\">\n"
                        "<area shape=\"rect\" coords=\"80,0,120,40\" href=\"c.html\" alt=\"plan.png\">\n"
                        "<area shape=\"rect\" coords=\"120,0,160,40\" href=\"d.html\" alt=\"Haus\">\n"
                        "<area shape=\"circle\" coords=\"50,50,0\" href=\"e.html\" alt=\"Haus\"></map>\n"
                        "<map name=\"Plan2\"><area shape=\"rect\" coords=\"0,0,100,100\" href=\"f.html\" alt=\"F\">\n"
                        "<area shape=\"rect\" coords=\"10,10,90,90\" href=\"g.html\" alt=\"G\">\n"
                        "<area shape=\"rect\" coords=\"180,100,210,140\" href=\"h.html\" alt=\"H\">\n"
                        "<area shape=\"rect\" coords=\"100,100,110,110\" href=\"i.html\" alt=\"I\"></map>\n"
                        "<map name=\"plan\"></map>\n"
                        "</body></html>\n");
        test::writeFile(dir.filePath("lesen.html"),
                        "<html><body>\n"
                        "<img src=\"plan.png\" usemap=\"#karte\" width=\"400\" height=\"300\">\n"
                        "<map id=\"karte\">\n"
                        "<area shape=\"RECT\" coords=\"0 0 200 200\" href=\"a.html\" alt=\"A\">\n"
                        "<area shape=\"circ\" coords=\"300px,150px,40px\" href=\"b.html\" alt=\"B\">\n"
                        "<area shape=\"rect\" coords=\"20,20,60,60\" href=\"c.html\" alt=\"C\"></map>\n"
                        "<img src=\"plan.png\" usemap=\"plan\"><img src=\"plan.png\" usemap=\"#Stra&szlig;e\">\n"
                        "<map name=\"Stra&#223;e\"><area shape=\"rect\" coords=\"0,0,100,100\" href=\"/impressum/\" "
                        "alt=\"Impressum\"></map>\n"
                        "<img src=\"plan.png\" usemap=\"#Klein\"><map name=\"klein\"><area shape=\"rect\" "
                        "coords=\"0,0,50,50\" href=\"k.html\" alt=\"K\"></map>\n"
                        "</body></html>\n");
        test::writeFile(dir.filePath("nu.html"),
                        "<!DOCTYPE html><html lang=\"de\"><head><title>t</title></head><body>\n"
                        "<img src=\"plan.png\" usemap=\"#plan\" alt=\"Plan\">\n"
                        "<map name=\"plan\" id=\"karte\">\n"
                        "<area shape=\"rect\" coords=\"0,0,50,50\" alt=\"A\" target=\"_blank\">\n"
                        "<area shape=\"rect\" coords=\"50,0,100,50\" rel=\"next\" download hreflang=\"de\" "
                        "type=\"text/html\" ping=\"p.php\" nohref>\n"
                        "<area shape=\"default\" nohref alt=\"\" title=\"Rest\">\n"
                        "<area shape=\"default\">\n"
                        "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\n"
                        "<area shape=\"rect\" coords=\"0,50,50,100\" href=\"b.html\" alt=\"B\" target=\"_top\"></map>\n"
                        "<img src=\"plan.png\" usemap=\"#plan\" alt=\"Noch einmal\">\n"
                        "<map name=\"gleich\" id=\"gleich\"></map><map name=\"&#97;\" id=\"a\"></map>\n"
                        "</body></html>\n");
        test::writeFile(dir.filePath("lang.html"), "<map name=\"lang\">\n<area shape=\"rect\" coords=\"" +
                                                       longCoords().toLatin1() +
                                                       "\" href=\"l.html\" alt=\"Lang\"></map>\n");
        test::writeFile(dir.filePath("sauber.map"),
                        "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n"
                        "<img src=\"plan.png\" width=\"200\" height=\"150\" alt=\"\" usemap=\"#plan\" />\r\n"
                        "<map id=\"plan\" name=\"plan\">\r\n"
                        "<area shape=\"rect\" alt=\"Haus\" coords=\"10,10,50,50\" href=\"haus.html\" title=\"Haus\"  />\r\n"
                        "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n</map>\r\n");
    }
    QString fill(QString text) const
    {
        return text.replace("{page}", dir.filePath("seite.html"))
            .replace("{clean}", dir.filePath("sauber.map"))
            .replace("{browser}", dir.filePath("lesen.html"))
            .replace("{nu}", dir.filePath("nu.html"))
            .replace("{long}", dir.filePath("lang.html"))
            .replace("{folder}", dir.path());
    }
};

} // namespace

void TestMapCheck::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const CheckFolder folder;
    QStringList given{"korvane"};
    for (const QString& a : arguments)
        given << folder.fill(a);
    const std::optional<CheckCommandLine> command = CheckCommandLine::parse(given);
    QVERIFY(command);
    QString printed;
    QString problems;
    QTextStream outStream(&printed);
    QTextStream errStream(&problems);
    QCOMPARE(command->run(outStream, errStream), exitCode);
    QCOMPARE(printed.split('\n'), folder.fill(out).split('\n'));
    QCOMPARE(problems, folder.fill(err));
    QVERIFY(!CheckCommandLine::parse({"korvane", folder.dir.filePath("seite.html")}));
}

// The program itself, without a display.
void TestMapCheck::programPrintsFindings()
{
    const CheckFolder folder;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    program.setProcessEnvironment(environment);
    program.start(KORVANE_PROGRAM, {"--check", folder.dir.filePath("seite.html"), folder.dir.filePath("sauber.map")});
    QVERIFY(program.waitForFinished());
    QCOMPARE(program.exitCode(), 1);
    const QStringList lines = QString::fromUtf8(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.first(), folder.dir.filePath("seite.html") +
                                ":3: error: usemap-without-map: Die Grafik nennt die Map \"fehlt\", aber keine Map "
                                "der Seite trägt diesen Namen.");
    QCOMPARE(program.readAllStandardError(), QByteArray());
}

void TestMapCheck::windowFromTheCodeBox()
{
    test::SettingsFolder settings;
    test::installScriptedPlatform();
    MainWindow w;
    w.show();
    test::openBlankPicture(w);
    w.areas().append({area("rect", "0,0,100,100", "a.html", "A"), area("rect", "10,10,50,50", "b.html", ""),
                      area("rect", "200,200,300,290", "c.html", "C")});
    w.refresh();

    // The first entry below the edit commands of the code box's context menu.
    QString entries;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        const QList<QAction*> actions = menu->actions();
        const auto firstOwn = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
            return a->text().startsWith("Map");
        });
        QVERIFY(firstOwn != actions.end() && firstOwn != actions.begin() && (*(firstOwn - 1))->isSeparator());
        entries = (*firstOwn)->text() + "|" + (*firstOwn)->shortcut().toString();
        menu->close();
        (*firstOwn)->trigger();
    });
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(5, 5));
    QApplication::sendEvent(w.ui.txtMap->viewport(), &request);
    QCOMPARE(entries, QStringLiteral("Map prüfen...|Ctrl+Shift+P"));

    auto* window = w.findChild<MapCheckWindow*>("frmMapCheck");
    QVERIFY(window);
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Map prüfen"));
    auto* list = window->findChild<QTreeWidget*>("lstBefunde");
    auto* summary = window->findChild<QLabel*>("lblBefunde");
    QCOMPARE(list->topLevelItemCount(), 2);
    const QTreeWidgetItem* first = list->topLevelItem(0);
    QCOMPARE(QStringList({first->text(0), first->text(1), first->text(2), first->text(3)}),
             QStringList({"2", "Fehler", "area-alt", "Das Areal hat einen Verweis, aber keinen Alternativtext."}));
    QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("unreachable-area"));
    QCOMPARE(summary->text(), QStringLiteral("2 Fehler, 0 Warnungen"));

    // A double click selects the area.
    QVERIFY(w.selectedIndex() != 1);
    const QRect cell = list->visualItemRect(list->topLevelItem(0));
    // As a mouse sends it: a click, then the second press of the double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w.selectedIndex(), 1);

    // At a display width of 100 of the 400 pixels, the last area is 25 × 22.
    window->findChild<QSpinBox*>("spnAnzeigebreite")->setValue(100);
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(summary->text(), QStringLiteral("2 Fehler, 2 Warnungen"));

    // The list follows the areas: deleting the covering area ends both errors.
    w.document().deleteArea(0);
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("area-alt"));
    QCOMPARE(list->topLevelItemCount(), 3);
    window->close();

    // The shortcut opens it again.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY(window->isVisible());
}

QTEST_MAIN(TestMapCheck)
#include "tst_mapcheck.moc"

namespace {

// Pages of area and map errors, each line of a body an element or two; the
// same verdict is wanted from the map check and from the W3C's Nu checker.
struct NuCase {
    const char* name;
    const char* body;
};
const NuCase kNuCases[] = {
    {"no link but what only a link carries",
     "<img src=\"plan.png\" alt=\"\" usemap=\"#m\"><map name=\"m\">\n"
     "<area shape=\"rect\" coords=\"0,0,40,40\" alt=\"A\">\n"
     "<area shape=\"rect\" coords=\"40,0,80,40\" target=\"_top\" rel=\"next\">\n"
     "<area shape=\"rect\" coords=\"80,0,120,40\" download hreflang=\"de\" type=\"text/html\" ping=\"p\">\n"
     "<area shape=\"rect\" coords=\"120,0,160,40\" title=\"Nur Titel\">\n"
     "<area shape=\"default\">\n"
     "<area shape=\"rect\" coords=\"0,40,40,80\" href=\"a.html\" alt=\"Mit Verweis\" target=\"_top\"></map>"},
    {"names of maps",
     "<img src=\"plan.png\" alt=\"\" usemap=\"#a\"><map name=\"a\" id=\"b\"></map>\n"
     "<map name=\"c\" id=\"c\"></map><map name=\"&#100;\" id=\"d\"></map>\n"
     "<map name=\"\"></map>\n"
     "<map name=\"e f\"></map>\n"
     "<map id=\"g\"></map>"},
    {"usemap", "<img src=\"plan.png\" alt=\"\" usemap=\"m\"><map name=\"m\"></map>\n"
               "<img src=\"plan.png\" alt=\"\" usemap=\"#fehlt\">\n"
               "<img src=\"plan.png\" alt=\"\" usemap=\"#m\">"},
    {"coordinates",
     "<img src=\"plan.png\" alt=\"\" usemap=\"#m\"><map name=\"m\">\n"
     "<area shape=\"rect\" coords=\"0,0,30\" href=\"a.html\" alt=\"A\">\n"
     "<area shape=\"rect\" coords=\"80,0,40,40\" href=\"b.html\" alt=\"B\">\n"
     "<area shape=\"circle\" coords=\"100,100,-20\" href=\"c.html\" alt=\"C\">\n"
     "<area shape=\"poly\" coords=\"0,100,50,100,20,150,9\" href=\"d.html\" alt=\"D\">\n"
     "<area shape=\"poly\" coords=\"1,1,2,2\" href=\"e.html\" alt=\"E\">\n"
     "<area shape=\"rect\" coords=\"200, 0, 230, 30\" href=\"f.html\" alt=\"F\">\n"
     "<area shape=\"rect\" coords=\"240px,0,270,30\" href=\"g.html\" alt=\"G\">\n"
     "<area shape=\"rect\" coords=\"280.5,0,310,30\" href=\"h.html\" alt=\"H\">\n"
     "<area shape=\"rect\" coords=\"+320,0,350,30\" href=\"i.html\" alt=\"I\">\n"
     "<area shape=\"default\" coords=\"1,2,3,4\" href=\"j.html\" alt=\"J\">\n"
     "<area shape=\"rect\" href=\"k.html\" alt=\"K\">\n"
     "<area shape=\"rect\" coords=\"360,0,0390,30\" href=\"l.html\" alt=\"L\">\n"
     "<area shape=\"poly\" coords=\"0,200,-50,200,20,250\" href=\"m.html\" alt=\"M\"></map>"},
    {"shapes",
     "<img src=\"plan.png\" alt=\"\" usemap=\"#m\"><map name=\"m\">\n"
     "<area shape=\"RECT\" coords=\"0,0,30,30\" href=\"a.html\" alt=\"A\">\n"
     "<area shape=\"circ\" coords=\"60,60,20\" href=\"b.html\" alt=\"B\">\n"
     "<area shape=\"polygon\" coords=\"100,0,150,0,120,40\" href=\"c.html\" alt=\"C\">\n"
     "<area shape=\"\" coords=\"160,0,190,30\" href=\"d.html\" alt=\"D\">\n"
     "<area coords=\"200,0,230,30\" href=\"e.html\" alt=\"E\">\n"
     "<area shape=\"Circle\" coords=\"260,60,20\" href=\"f.html\" alt=\"F\"></map>"},
    {"target and alt",
     "<img src=\"plan.png\" alt=\"\" usemap=\"#m\"><map name=\"m\">\n"
     "<area shape=\"rect\" coords=\"0,0,30,30\" href=\"a.html\" alt=\"A\" target=\"\">\n"
     "<area shape=\"rect\" coords=\"40,0,70,30\" href=\"b.html\">\n"
     "<area shape=\"rect\" coords=\"80,0,110,30\" href=\"c.html\" alt=\"C\" target=\"_blank\"></map>"},
    {"a clean map",
     "<img src=\"plan.png\" alt=\"Plan\" usemap=\"#plan\">\n<map name=\"plan\" id=\"plan\">\n"
     "<area shape=\"rect\" coords=\"0,0,100,100\" href=\"a.html\" alt=\"Erdgeschoss\">\n"
     "<area shape=\"circle\" coords=\"150,50,40\" href=\"b.html\" alt=\"Garten\" target=\"_blank\">\n"
     "<area shape=\"poly\" coords=\"0,120,60,120,30,149\" href=\"c.html\" alt=\"Keller\">\n"
     "<area shape=\"default\" href=\"d.html\" alt=\"Rest\"></map>"},
};

QString nuPage(const char* body)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\"><title>t</title></head><body>\n") +
           QString::fromUtf8(body) + QStringLiteral("\n</body></html>\n");
}

// The lines on which the Nu checker finds an error in an area, a map or a usemap, per file.
QHash<QString, QList<int>> nuErrors(const QStringList& files, QString* problem)
{
    QHash<QString, QList<int>> out;
    QProcess nu;
    // java ends normally when the jar is missing too: the pages would then seem clean.
    const bool there = QFileInfo::exists(QStringLiteral(KORVANE_VNU_JAR));
    if (there)
        nu.start(QStringLiteral("java"), QStringList{"-jar", KORVANE_VNU_JAR, "--format", "json", "--stdout"} + files);
    if (!there || !nu.waitForFinished(120000) || nu.exitStatus() != QProcess::NormalExit) {
        *problem = QStringLiteral("the Nu checker does not run: java (Debian package default-jre-headless) and "
                                  "vnu-jar (scripts/bootstrap.sh --tests installs it into "
                                  "tests/browser/node_modules) are needed");
        return out;
    }
    const QJsonArray messages = QJsonDocument::fromJson(nu.readAllStandardOutput()).object().value("messages").toArray();
    static const QRegularExpression about(QStringLiteral("“(area|map)”|usemap|hash-name"));
    for (const QJsonValue m : messages) {
        const QJsonObject message = m.toObject();
        if (message.value("type").toString() == "error" && about.match(message.value("message").toString()).hasMatch())
            out[QUrl(message.value("url").toString()).toLocalFile()] << message.value("lastLine").toInt();
    }
    return out;
}

} // namespace

void TestMapCheck::agreesWithTheNuChecker_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kNuCases)); ++i)
        QTest::newRow(kNuCases[i].name) << i;
}

void TestMapCheck::agreesWithTheNuChecker()
{
    QFETCH(int, index);
    // One run of the checker for all pages: it starts slowly.
    static QTemporaryDir dir;
    static QString problem;
    static const QHash<QString, QList<int>> nu = [] {
        QStringList files;
        for (const NuCase& c : kNuCases) {
            files << dir.filePath(QString::fromUtf8(c.name).replace(' ', '-') + ".html");
            test::writeFile(files.back(), nuPage(c.body).toUtf8());
        }
        return nuErrors(files, &problem);
    }();
    if (!problem.isEmpty())
        QFAIL(qPrintable(problem));
    const QString path = dir.filePath(QString::fromUtf8(kNuCases[index].name).replace(' ', '-') + ".html");
    QList<int> expected = nu.value(path);
    const check::FileCheck checked = check::checkFile(path);
    QCOMPARE(checked.problem, QString());
    QList<int> found;
    for (const check::Finding& f : checked.findings) {
        if (f.severity == check::Severity::Error)
            found << f.line;
    }
    for (QList<int>* lines : {&expected, &found}) {
        std::sort(lines->begin(), lines->end());
        lines->erase(std::unique(lines->begin(), lines->end()), lines->end());
    }
    // The checker looked: every page but the clean one holds its errors on several lines.
    QCOMPARE(expected.size() > 1, QString::fromUtf8(kNuCases[index].name) != "a clean map");
    QCOMPARE(found, expected);
}
