// The other forms of a map: the highlight of the responsive form, the
// MediaWiki block and the JSON, written and read back.
#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"
#include "model/Highlight.h"
#include "model/JsonMap.h"
#include "model/WikiMap.h"
#include "support/JsonSchema.h"

#include <QFile>
#include <QTest>

using namespace korvane;

namespace {

QString line(const QString& shape, const QString& coords, const QString& href, const QString& alt,
             const QString& rest = QStringLiteral("*|*|*|*"))
{
    return QLatin1Char(' ') + shape + entry::kShapePadding + coords + QLatin1Char('|') + href + QLatin1Char('|') + alt +
           QLatin1Char('|') + rest;
}

test::JsonSchema schema()
{
    QFile file(QStringLiteral(KORVANE_SCHEMA));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the schema is missing");
    return test::JsonSchema(QJsonDocument::fromJson(file.readAll()).object());
}

const QString kHalo = QStringLiteral("stroke:%1;stroke-width:3px;vector-effect:non-scaling-stroke;"
                                     "filter:drop-shadow(0 0 1px %2)");

} // namespace

class TestForms : public QObject {
    Q_OBJECT
private slots:
    void highlightNames_data();
    void highlightNames();
    void highlightRules_data();
    void highlightRules();
    void wikiRoundTrip_data();
    void wikiRoundTrip();
    void wikiBlock();
    void wikiReading_data();
    void wikiReading();
    void jsonRoundTrip_data();
    void jsonRoundTrip();
    void jsonText();
    void jsonReading_data();
    void jsonReading();
    void schemaCatchesWhatBreaksIt_data();
    void schemaCatchesWhatBreaksIt();
};

void TestForms::highlightNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind"); // -1: none
    QTest::addColumn<QString>("colour");
    QTest::addColumn<qint64>("rgb"); // -1: none
    QTest::newRow("keine") << "keine" << int(HighlightKind::None) << "#005AC8" << qint64(0x005ac8);
    QTest::newRow("umriss") << "Umriss" << int(HighlightKind::Outline) << "#fd0" << qint64(0xffdd00);
    QTest::newRow("umriss-flaeche") << " umriss-flaeche " << int(HighlightKind::OutlineFill) << " #000000 "
                                    << qint64(0);
    QTest::newRow("unknown words") << "rund" << -1 << "blau" << qint64(-1);
    QTest::newRow("no hex digits") << "" << -1 << "#12345g" << qint64(-1);
    QTest::newRow("wrong lengths") << "umriss-" << -1 << "#12345" << qint64(-1);
}

void TestForms::highlightNames()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QString, colour);
    QFETCH(qint64, rgb);
    const std::optional<HighlightKind> read = highlightKindNamed(text);
    QCOMPARE(read ? int(*read) : -1, kind);
    if (read)
        QCOMPARE(highlightKindNamed(highlightKindName(*read)), read);
    const std::optional<quint32> value = colourNamed(colour);
    QCOMPARE(value ? qint64(*value) : -1, rgb);
    if (value)
        QCOMPARE(colourNamed(colourName(*value)), value);
}

void TestForms::highlightRules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("rgb");
    QTest::addColumn<QList<int>>("split");
    QTest::addColumn<QString>("expected");
    const QString focus = QStringLiteral(".korvane-verweise a:focus-visible *{");
    const QString hover = QStringLiteral("@media (hover:hover){.korvane-flaechen a[href]:hover *{");
    const QString blue = kHalo.arg("#005ac8", "#fff");
    const QString fill = QStringLiteral(";fill:rgba(0,90,200,0.25)");
    // Nothing under the pointer; the keyboard's focus keeps its outline.
    QTest::newRow("none") << int(HighlightKind::None) << qint64(0x005ac8) << QList<int>{3}
                          << focus + blue + QStringLiteral("}");
    QTest::newRow("outline") << int(HighlightKind::Outline) << qint64(0x005ac8) << QList<int>()
                             << focus + blue + QStringLiteral("}") + hover + blue + QStringLiteral("}}");
    QTest::newRow("outline and fill") << int(HighlightKind::OutlineFill) << qint64(0x005ac8) << QList<int>()
                                      << focus + blue + fill + QStringLiteral("}") + hover + blue + fill +
                                             QStringLiteral("}}");
    // A light colour gets a dark halo.
    const QString gold = kHalo.arg("#ffd700", "#000");
    QTest::newRow("light colour") << int(HighlightKind::Outline) << qint64(0xffd700) << QList<int>()
                                  << focus + gold + QStringLiteral("}") + hover + gold + QStringLiteral("}}");
    // The parts of groups the pointer's layer splits light up together.
    QTest::newRow("split groups") << int(HighlightKind::Outline) << qint64(0x005ac8) << QList<int>{1, 12}
                                  << focus + blue + QStringLiteral("}") + hover + blue + QStringLiteral("}") +
                                         QStringLiteral(".korvane-flaechen:has(.korvane-g1:hover) .korvane-g1 *{") +
                                         blue + QStringLiteral("}") +
                                         QStringLiteral(".korvane-flaechen:has(.korvane-g12:hover) .korvane-g12 *{") +
                                         blue + QStringLiteral("}}");
}

void TestForms::highlightRules()
{
    QFETCH(int, kind);
    QFETCH(qint64, rgb);
    QFETCH(QList<int>, split);
    QFETCH(QString, expected);
    QCOMPARE(korvane::highlightRules({HighlightKind(kind), quint32(rgb)}, split), expected);
}

void TestForms::wikiRoundTrip_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("written"); // the area's line in the block
    QTest::addColumn<QString>("back");    // the line read back
    const QString same;
    const QString start = line("rect", "10,20,110,80", "Startseite", "Zur Startseite");
    QTest::newRow("rect, a page") << start << "rect 10 20 110 80 [[Startseite|Zur Startseite]]" << start;
    const QString kitchen = line("poly", "230,110,390,60,300,190", "Küche und Bad", "Küche");
    QTest::newRow("poly, umlauts and blanks") << kitchen << "poly 230 110 390 60 300 190 [[Küche und Bad|Küche]]"
                                               << kitchen;
    QTest::newRow("circle, an address with a blank")
        << line("circle", "200,150,40", "https://example.com/a b", "Garten")
        << "circle 200 150 40 [https://example.com/a%20b Garten]"
        << line("circle", "200,150,40", "https://example.com/a%20b", "Garten");
    // A "|" stays "&#124;" in the line; the address takes its percent escape, the text its reference.
    QTest::newRow("bars") << line("rect", "1,2,3,4", "https://example.com/?a=1&#124;2", "A &#124; B")
                          << "rect 1 2 3 4 [https://example.com/?a=1%7C2 A &#124; B]"
                          << line("rect", "1,2,3,4", "https://example.com/?a=1%7C2", "A &#124; B");
    QTest::newRow("brackets") << line("rect", "1,2,3,4", "https://example.com/x]y", "Text ] mit [Klammern]")
                              << "rect 1 2 3 4 [https://example.com/x%5Dy Text &#93; mit &#91;Klammern&#93;]"
                              << line("rect", "1,2,3,4", "https://example.com/x%5Dy", "Text ] mit [Klammern]");
    const QString brackets = line("rect", "1,2,3,4", "Seite", "a ]] b {{c}} <neu>");
    QTest::newRow("brackets in a page's text")
        << brackets << "rect 1 2 3 4 [[Seite|a &#93;&#93; b &#123;&#123;c&#125;&#125; &lt;neu&gt;]]" << brackets;
    const QString fallback = line("default", "", "Hauptseite", "Zur Hauptseite");
    QTest::newRow("default area") << fallback << "default [[Hauptseite|Zur Hauptseite]]" << fallback;
    // The shape as a browser reads it: corners ordered, fractions kept, the keyword normalised.
    QTest::newRow("reversed corners, fractions") << line("RECTANGLE", "110,80,10.5,20", "A", "")
                                                 << "rect 10.5 20 110 80 [[A]]"
                                                 << line("rect", "10.5,20,110,80", "A", "");
    const QString mail = line("circ", "5;5;5", "mailto:info@example.com", "Schreiben");
    QTest::newRow("mail address") << mail << "circle 5 5 5 [mailto:info@example.com Schreiben]"
                                  << line("circle", "5,5,5", "mailto:info@example.com", "Schreiben");
    const QString help = line("rect", "0,0,9,9", "Hilfe:Inhalt#Karten", "Hilfe");
    QTest::newRow("namespace and section") << help << "rect 0 0 9 9 [[Hilfe:Inhalt#Karten|Hilfe]]" << help;
    // A line break would end the block's line (fuzz finding): an address takes its escape, a text its reference.
    QTest::newRow("line breaks in values") << line("rect", "1,2,3,4", "https://example.com/a\nb", "Zwei\r\nZeilen")
                                           << "rect 1 2 3 4 [https://example.com/a%0Ab Zwei&#13;&#10;Zeilen]"
                                           << line("rect", "1,2,3,4", "https://example.com/a%0Ab", "Zwei&#13;&#10;Zeilen");
    QTest::newRow("protocol-relative") << line("rect", "0,0,9,9", "//example.com/x", "")
                                       << "rect 0 0 9 9 [//example.com/x]" << line("rect", "0,0,9,9", "//example.com/x", "");
}

void TestForms::wikiRoundTrip()
{
    QFETCH(QString, area);
    QFETCH(QString, written);
    QFETCH(QString, back);
    const wiki::WikiText text = wiki::wikiImagemap(AreaLines(QStringList{area}), "Plan.png", 400, QString());
    QCOMPARE(text.text, "<imagemap>\nFile:Plan.png|400px\n" + written + "\ndesc none\n</imagemap>\n");
    QCOMPARE(text.left, QStringList());
    const std::optional<wiki::WikiMap> read = wiki::readImagemap(text.text);
    QVERIFY(read);
    QCOMPARE(read->picture, "Plan.png");
    QCOMPARE(read->width, 400);
    QCOMPARE(read->lines.toStringList(), QStringList{back});
    QCOMPARE(read->starts, QList<qsizetype>{qsizetype(text.text.indexOf(written))});
}

void TestForms::wikiBlock()
{
    const QStringList lines{
        line("rect", "10,20,110,80", "Startseite", "Start"),
        line("rect", "0,0,5,5", "", "Leer", "*|*|*|*|nohref=\"nohref\""),
        line("rect", "1,2,3", "Kaputt", "Zu wenig"),
        line("circle", "200,150,40", "Kontakt", "Kontakt", "_blank|*|*|*"),
        line("rect", "0,0,9,9", "Seite [alt]", "Alt"),
        line("default", "", "Hauptseite", ""),
        line("default", "", "Zweite", ""),
    };
    const wiki::WikiText text =
        wiki::wikiImagemap(AreaLines(lines), "Plan Haus.png", 0, "Erdgeschoss | Plan [1]");
    QCOMPARE(text.text, QStringLiteral("<imagemap>\n"
                                       "File:Plan Haus.png|Erdgeschoss &#124; Plan &#91;1&#93;\n"
                                       "rect 10 20 110 80 [[Startseite|Start]]\n"
                                       "# rect 0,0,5,5 \n"
                                       "# rect 1,2,3 Kaputt\n"
                                       "circle 200 150 40 [[Kontakt|Kontakt]]\n"
                                       "# rect 0,0,9,9 Seite [alt]\n"
                                       "default [[Hauptseite]]\n"
                                       "# default  Zweite\n"
                                       "desc none\n"
                                       "</imagemap>\n"));
    QCOMPARE(text.left, (QStringList{"Die Areale in Zeile 2, 3, 5, 7 der Arealliste haben keinen Verweis, den "
                                     "MediaWiki kennt, keine Form oder sind ein zweites Standardareal; sie stehen nur "
                                     "als Kommentar im Text.",
                                     "Target, JavaScript-Handler und weitere Attribute der Areale kennt MediaWiki "
                                     "nicht; sie fehlen im Text."}));
    // The comments are the wiki's too: read back, only the areas it shows come.
    const std::optional<wiki::WikiMap> read = wiki::readImagemap(text.text);
    QVERIFY(read);
    QCOMPARE(read->caption, "Erdgeschoss &#124; Plan &#91;1&#93;");
    QCOMPARE(read->width, 0);
    QCOMPARE(read->lines.toStringList(),
             (QStringList{lines[0], line("circle", "200,150,40", "Kontakt", "Kontakt"), lines[5]}));
}

void TestForms::wikiReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("lineNumbers"); // of the areas, from 1
    QTest::newRow("German wiki, options, comments, a link trail, line ends CR LF")
        << "Text davor\r\n<imagemap>\r\nDatei:Plan.png|mini|links|300x200px|Unser Haus\r\n\r\n# Räume\r\n"
           "rect 0 0 50 50 [[Küche]]n\r\n\tcircle  60 60 10   [http://example.com/ Beispiel]\r\ndesc bottom-left\r\n"
           "</imagemap>\r\nText danach"
        << "Plan.png" << 300 << "Unser Haus"
        << QStringList{line("rect", "0,0,50,50", "Küche", ""), line("circle", "60,60,10", "http://example.com/", "Beispiel")}
        << QList<int>{6, 7};
    // As a page shows wiki text (an edit box, a pre): references stand for the markup.
    QTest::newRow("shown in a page")
        << "<html><body><textarea>&lt;IMAGEMAP&gt;\nImage:Karte.svg|200px\n"
           "poly 1 1 9 1 5 9 [[A &amp; B|Text &lt;neu&gt;]]\n&lt;/imagemap&gt;</textarea></body></html>"
        << "Karte.svg" << 200 << ""
        << QStringList{line("poly", "1,1,9,1,5,9", "A & B", "Text <neu>")} << QList<int>{3};
    // The wiki refuses these lines; they are left out, the others stay.
    QTest::newRow("lines the wiki refuses")
        << "<imagemap>\nFile:P.png\nellipse 1 2 3 [[A]]\nrect 1 zwei 3 4 [[B]]\nrect 1 2 3 4 ohne Verweis\n"
           "rect 1 2 3 4 [[]]\ncircle 5 5 5 [[C]]"
        << "P.png" << 0 << "" << QStringList{line("circle", "5,5,5", "C", "")} << QList<int>{7};
    QTest::newRow("no block") << "<p>imagemap</p>" << "" << -1 << "" << QStringList() << QList<int>();
    QTest::newRow("block without a picture") << "<imagemap>\n\n# nur Kommentar\n</imagemap>" << "" << -1 << ""
                                             << QStringList() << QList<int>();
}

void TestForms::wikiReading()
{
    QFETCH(QString, text);
    QFETCH(QString, picture);
    QFETCH(int, width);
    QFETCH(QString, caption);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, lineNumbers);
    const std::optional<wiki::WikiMap> read = wiki::readImagemap(text);
    QCOMPARE(bool(read), width >= 0);
    if (!read)
        return;
    QCOMPARE(read->picture, picture);
    QCOMPARE(read->width, width);
    QCOMPARE(read->caption, caption);
    QCOMPARE(read->lines.toStringList(), lines);
    QList<int> numbers;
    for (const qsizetype start : read->starts)
        numbers << int(text.first(start).count(u'\n')) + 1;
    QCOMPARE(numbers, lineNumbers);
}

void TestForms::jsonRoundTrip_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("written"); // the area's object
    QTest::addColumn<QString>("back");    // the line read back
    const QString start = line("rect", "10,20,110,80", "start.html", "Startseite");
    QTest::newRow("rect") << start
                          << R"({"shape": "rect", "coords": [10, 20, 110, 80], "percent": [2.5, 6.6667, 27.5, 26.6667], )"
                             R"("href": "start.html", "alt": "Startseite"})"
                          << start;
    const QString circle = line("circle", "200,150,40", "https://example.com/a b?x=1&y=2", "Sag \"Hallo\"",
                                "_blank|over()|*|alert('a\\b')");
    QTest::newRow("circle, target, handlers, odd values")
        << circle
        << R"({"shape": "circle", "coords": [200, 150, 40], "percent": [50, 50, 10], )"
           R"("href": "https://example.com/a b?x=1&y=2", "alt": "Sag \"Hallo\"", "target": "_blank", )"
           R"j("onmouseover": "over()", "onclick": "alert('a\\b')"})j"
        << circle;
    const QString poly = line("poly", "0,0,400,0,200,300,7", "Küche|Bad", "Küche");
    QTest::newRow("poly, umlauts, a bar, an odd number")
        << line("poly", "0,0,400,0,200,300,7", "Küche&#124;Bad", "Küche")
        << R"({"shape": "poly", "coords": [0, 0, 400, 0, 200, 300], "percent": [0, 0, 100, 0, 50, 100], )"
           R"("href": "Küche|Bad", "alt": "Küche"})"
        << line("poly", "0,0,400,0,200,300", "Küche&#124;Bad", "Küche");
    // References as a browser reads them; an "&" that would start one again is written "&amp;".
    // ("&copy=2" in an address is no reference to a browser, so it comes back as it was.)
    QTest::newRow("references") << line("rect", "1,2,3,4", "a.html?x=1&amp;copy=2", "&COPY 2024 &amp; mehr ]")
                                << R"({"shape": "rect", "coords": [1, 2, 3, 4], "percent": [0.25, 0.6667, 0.75, 1.3333], )"
                                   R"("href": "a.html?x=1&copy=2", "alt": "© 2024 & mehr ]"})"
                                << line("rect", "1,2,3,4", "a.html?x=1&copy=2", "© 2024 & mehr ]");
    const QString kept = extra::withAttributes(line("rect", "0,0,9,9", "", "Leer"),
                                               {{"title", "Ein &quot;Titel&quot;"}, {"data-nr", "1"}, {extra::kNoHref, extra::kNoHref}});
    // Kept attributes come back in the alphabetical order of JSON objects as Qt reads them.
    QTest::newRow("no link, kept attributes")
        << kept
        << R"({"shape": "rect", "coords": [0, 0, 9, 9], "percent": [0, 0, 2.25, 3], "href": null, "alt": "Leer", )"
           R"("attributes": {"title": "Ein \"Titel\"", "data-nr": "1"}})"
        << extra::withAttributes(line("rect", "0,0,9,9", "", "Leer"),
                                 {{"data-nr", "1"}, {"title", "Ein &quot;Titel&quot;"}, {extra::kNoHref, extra::kNoHref}});
    const QString fallback = line("default", "", "index.html", "Übersicht");
    QTest::newRow("default area") << fallback
                                  << R"({"shape": "default", "coords": [], "percent": [], "href": "index.html", )"
                                     R"("alt": "Übersicht"})"
                                  << fallback;
}

void TestForms::jsonRoundTrip()
{
    QFETCH(QString, area);
    QFETCH(QString, written);
    QFETCH(QString, back);
    const json::JsonText text = json::mapJson(AreaLines(QStringList{area}), "Plan Haus.png", QSize(400, 300), "plan");
    const QString expected = "{\n  \"format\": \"korvane-imagemap\",\n  \"version\": 1,\n  \"name\": \"plan\",\n"
                             "  \"picture\": {\"file\": \"Plan Haus.png\", \"width\": 400, \"height\": 300},\n"
                             "  \"areas\": [\n    " + written + "\n  ]\n}\n";
    QCOMPARE(QString::fromUtf8(text.text), expected);
    QCOMPARE(schema().problems(QJsonDocument::fromJson(text.text).object()), QStringList());
    QString problem;
    const std::optional<json::JsonMap> read = json::readMapJson(QString::fromUtf8(text.text), &problem);
    QVERIFY2(read, qPrintable(problem));
    QCOMPARE(read->lines.toStringList(), QStringList{back});
    QCOMPARE(read->picture, "Plan Haus.png");
    QCOMPARE(read->size, QSize(400, 300));
    QCOMPARE(read->mapName, "plan");
    QCOMPARE(read->starts, QList<qsizetype>{qsizetype(expected.indexOf(written))});
}

void TestForms::jsonText()
{
    // No areas, one a browser cannot click: the array stays, the user hears which is missing.
    const json::JsonText empty = json::mapJson(AreaLines(QStringList{line("rect", "1,2,3", "a.html", "A")}), "p.png",
                                               QSize(10, 10), "p");
    QCOMPARE(empty.text, QByteArray("{\n  \"format\": \"korvane-imagemap\",\n  \"version\": 1,\n  \"name\": \"p\",\n"
                                    "  \"picture\": {\"file\": \"p.png\", \"width\": 10, \"height\": 10},\n"
                                    "  \"areas\": []\n}\n"));
    QCOMPARE(empty.left, QStringList{"Die Areale in Zeile 1 der Arealliste haben keine Form, die ein Browser anklickt; "
                                     "sie fehlen im JSON."});
    QCOMPARE(schema().problems(QJsonDocument::fromJson(empty.text).object()), QStringList());
    // Without the picture's size there are no percentages.
    const json::JsonText unsized =
        json::mapJson(AreaLines(QStringList{line("rect", "1,2,3,4", "a.html", "A\tB\x01")}), "", QSize(), "");
    QVERIFY(unsized.text.contains(R"({"shape": "rect", "coords": [1, 2, 3, 4], "href": "a.html", "alt": "A\tB\u0001"})"));
    QCOMPARE(schema().problems(QJsonDocument::fromJson(unsized.text).object()), QStringList());
}

void TestForms::jsonReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("members in any order, unknown shapes left out")
        << R"({"areas": [{"alt": "A", "href": "a.html", "coords": [1, 2, 3, 4], "shape": "rect"},
                         {"shape": "ellipse", "coords": [1, 2], "href": "b.html", "alt": "B"},
                         {"shape": "circle", "coords": [5, "x", 1], "href": "c.html", "alt": "C"}],
              "format": "korvane-imagemap", "version": 1, "picture": {"file": "p.png", "width": 9, "height": 9}})"
        << true << "" << QStringList{line("rect", "1,2,3,4", "a.html", "A")};
    QTest::newRow("a newer version")
        << R"({"format": "korvane-imagemap", "version": 2, "areas": []})" << false
        << "Die ImageMap stammt von einem neueren Korvane (Version 2 des JSON-Formats)." << QStringList();
    QTest::newRow("broken") << R"({"format": "korvane-imagemap", "version": 1, "areas": [)" << false
                            << "Der JSON-Text ist fehlerhaft: unterminated array." << QStringList();
    QTest::newRow("another JSON") << R"({"format": "geojson", "korvane-imagemap": 1})" << false << "" << QStringList();
    QTest::newRow("no JSON") << "<html>korvane-imagemap</html>" << false << "" << QStringList();
}

void TestForms::jsonReading()
{
    QFETCH(QString, text);
    QFETCH(bool, read);
    QFETCH(QString, problem);
    QFETCH(QStringList, lines);
    QString why;
    const std::optional<json::JsonMap> map = json::readMapJson(text, &why);
    QCOMPARE(bool(map), read);
    QCOMPARE(why, problem);
    if (map)
        QCOMPARE(map->lines.toStringList(), lines);
}

void TestForms::schemaCatchesWhatBreaksIt_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QStringList>("problems");
    const QString head = R"({"format": "korvane-imagemap", "version": 1, "name": "p",
                             "picture": {"file": "p.png", "width": 9, "height": 9}, "areas": [%1]})";
    QTest::newRow("valid") << head.arg(R"({"shape": "rect", "coords": [1, 2, 3, 4], "href": null, "alt": ""})")
                           << QStringList();
    QTest::newRow("rect of three numbers")
        << head.arg(R"({"shape": "rect", "coords": [1, 2, 3], "percent": [1, 2, 3, 4, 5], "href": "a", "alt": ""})")
        << QStringList{"/areas/0/coords: 3 items, minItems 4", "/areas/0/percent: 5 items, maxItems 4"};
    QTest::newRow("circle, poly, default")
        << head.arg(R"({"shape": "circle", "coords": [1, 2], "href": "a", "alt": ""},
                       {"shape": "poly", "coords": [1, 2, 3, 4], "href": "a", "alt": ""},
                       {"shape": "default", "coords": [1], "href": "a", "alt": ""})")
        << QStringList{"/areas/0/coords: 2 items, minItems 3", "/areas/1/coords: 4 items, minItems 6",
                       "/areas/2/coords: 1 items, maxItems 0"};
    QTest::newRow("types, members, shapes")
        << head.arg(R"({"shape": "oval", "coords": ["1"], "href": 5, "alt": "", "size": 1, "attributes": {"x": 1}})")
        << QStringList{"/areas/0: has size", "/areas/0/attributes/x: not of type {\"t\":\"string\"}",
                       "/areas/0/coords/0: not of type {\"t\":\"number\"}",
                       "/areas/0/href: not of type {\"t\":[\"string\",\"null\"]}", "/areas/0/shape: not in the enumeration"};
    QTest::newRow("head") << R"({"format": "x", "version": 1.5, "picture": {"file": "p", "width": -1, "height": 2.5}})"
                          << QStringList{"/format: not the constant", "/picture/height: not of type {\"t\":\"integer\"}",
                                         "/picture/width: below the minimum", "/version: not the constant",
                                         "/: lacks name", "/: lacks areas"};
}

void TestForms::schemaCatchesWhatBreaksIt()
{
    QFETCH(QString, json);
    QFETCH(QStringList, problems);
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    QVERIFY(document.isObject());
    QCOMPARE(schema().problems(document.object()), problems);
}

QTEST_GUILESS_MAIN(TestForms)
#include "tst_forms.moc"
