#include "io/HtmlImport.h"
#include "io/HtmlTags.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/MapImport.h"
#include "io/PageStream.h"
#include "model/AreaEntry.h"
#include "model/MapCode.h"
#include "support/Files.h"
#include "support/Rows.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace korvane;
using namespace korvane::import;
using korvane::test::pad;
using korvane::test::row;

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void attributeRules_data();
    void attributeRules();
    void mapNameFromUsemap_data();
    void mapNameFromUsemap();
    void imagePathFromSource_data();
    void imagePathFromSource();
    void mapFileAreas_data();
    void mapFileAreas();
    void mapFileHeaderValues();
    void htmlAreas_data();
    void htmlAreas();
    void quickAreaReading_data();
    void quickAreaReading();
    void candidates_data();
    void candidates();
    void candidateLines_data();
    void candidateLines();
    void mapSearch_data();
    void mapSearch();
    void caseInsensitiveLookup_data();
    void caseInsensitiveLookup();
    void fileEncoding_data();
    void fileEncoding();
    void bigFileText_data();
    void bigFileText();
    void fileShrinksWhileRead();
    void fileChangesWhileStreamed_data();
    void fileChangesWhileStreamed();
    void pageInPieces_data();
    void pageInPieces();
    void needleFindsEveryCase();
    void tagAttributes_data();
    void tagAttributes();
    void tagsOfAPage_data();
    void tagsOfAPage();
    void shownSizeOfThePicture_data();
    void shownSizeOfThePicture();
    void imageSourceRoundTrip_data();
    void imageSourceRoundTrip();
};

// Values are read as written, blanks trimmed; a missing coords, alt or href
// reads as empty, a missing shape as "rect", a missing target or handler as
// "*". An element cut off by the end of the text is read up to there.
void TestImport::attributeRules_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    row("A: quote and blank end it", R"(<area shape="rect" alt="Start Seite" coords="1,2")", "alt=", "Start Seite");
    row("A: last value ends at quote", R"(<area shape="rect" href="x.html")", "href=", "x.html");
    row("A: upper-case key", R"(<AREA SHAPE="RECT" HREF="A.HTML" )", "href=", "A.HTML");
    row("A: empty alt", R"(<area shape="rect" alt="" coords="1,2")", "alt=", "");
    row("A: missing alt", R"(<area shape="rect" coords="1,2")", "alt=", "");
    row("A: blanks trimmed", R"(<area shape="  circle  " coords="1")", "shape=", "circle");
    row("A: no closing quote runs to the end", R"(<area shape="rect" href="abc)", "href=", "abc");
    row("A: key at the very end", R"(<area shape=)", "shape=", "");
    row("A: first occurrence counts", R"(<area shape="rect" href="a" href="b" )", "href=", "a");
    row("B: missing target", R"(<area shape="rect" href="a" )", "target=", "*");
    row("B: empty target", R"(<area shape="rect" target="" href="a" )", "target=", "");
    row("B: target", R"(<area target="_blank" )", "target=", "_blank");
    row("B: handler with blanks", R"(<area onClick="alert('a b'); return x" )", "onclick=", "alert('a b'); return x");
    row("B: mixed-case key", R"x(<area ONMOUSEOUT="b()")x", "onmouseout=", "b()");
    row("B: no closing quote", R"(<area onclick="go()  )", "onclick=", "go()");
    row("B: key at the end", R"(<area target=)", "target=", "");
}

void TestImport::attributeRules()
{
    QFETCH(QString, element);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const ElementValues v = readElement(element);
    const LinkAttributes& a = v.attributes;
    const QStringList keys = {
        "shape=", "coords=", "href=", "alt=", "target=", "onmouseover=", "onmouseout=", "onclick="};
    const QStringList values = {v.shape, v.coords, a.href, a.alt, a.target, a.onmouseover, a.onmouseout, a.onclick};
    QVERIFY(keys.contains(key));
    QCOMPARE(values.at(keys.indexOf(key)), expected);
}

void TestImport::mapNameFromUsemap_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    row("generated", R"(<img src="x.png" alt="" usemap="#plan" style="x" />)", "plan");
    row("ended by quote", R"(<img usemap="#plan">)", "plan");
    row("blank in name is kept", R"(<img usemap="#Mein Plan" />)", "Mein Plan");
    row("upper-case key keeps the value", R"(<IMG USEMAP="#Plan" >)", "Plan");
    row("no usemap", R"(<img src="x.png">)", "");
    row("key at the end", R"(<img usemap=)", "");
    row("what follows the first #", R"(<img usemap="seite.html#plan">)", "plan");
    row("usemap in a value is no usemap", R"(<img alt="usemap=#x" src="a.png"><img usemap=#y>)", "y");
}

void TestImport::mapNameFromUsemap()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(usemapName(text), expected);
}

void TestImport::imagePathFromSource_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("expected");
    const int win = int(PathStyle::Windows);
    const int posix = int(PathStyle::Unix);
    row("win generated", "file:///C:/Web%20Bilder/3D Häuser.jpg", win, "c:\\web bilder\\3d häuser.jpg");
    row("win bar drive", "c|/x/Plan.GIF", win, "c:\\x\\plan.gif");
    // A relative path keeps the page's spelling: a picture not found is named as the page names it.
    row("win relative", "bilder/Plan.jpg", win, "bilder\\Plan.jpg");
    row("unix absolute", "file:///home/a%20b/X.png", posix, "/home/a b/x.png");
    row("unix relative", "Bilder/Plan.JPG", posix, "Bilder/Plan.JPG");
    row("unix backslash is a slash to a browser", "Bilder\\Plan.png", posix, "Bilder/Plan.png");
    row("unix escaped backslash is a character", "Plan%5Calt.png", posix, "Plan\\alt.png");
    row("unix keeps drive rule", "file:///C:/x/y.png", posix, "c:\\x\\y.png");
    row("unix bar drive", "c|/x", posix, "c:\\x");
    row("quotes and blanks", "  \"plan.png\" ", posix, "plan.png");
    row("escapes and references decoded", "file:///srv/Plan%20%232/Haus%3Fv=1 &amp; 100% %2541.png", posix,
        "/srv/plan #2/haus?v=1 & 100% %41.png");
    row("utf-8 escapes", "Gr%C3%BCn%20Plan.PNG", posix, "Grün Plan.PNG");
    row("legacy reference", "Pl&auml;ne/&COPY.png", posix, "Pläne/©.png");
}

void TestImport::imagePathFromSource()
{
    QFETCH(QString, raw);
    QFETCH(int, style);
    QFETCH(QString, expected);
    QCOMPARE(imagePathFromSrc(raw, PathStyle(style)), expected);
}

void TestImport::mapFileAreas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    const QString rect2 = pad("  ", "rect");
    row("generated rect",
        "<!--\r\n-->\r\n<map >\r\n<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" href=\"a.html\" title=\"A\"  />\r\n</map>",
        QStringList{rect2 + "1,2,3,4|a.html|A|*|*|*|*"});
    row("capitals found, values keep case",
        " <MAP NAME=\"X\"><AREA SHAPE=\"RECT\" COORDS=\"1,2,3,4\" HREF=\"A.HTML\" ALT=\"Gross\" TARGET=\"_TOP\" "
        "ONMOUSEOUT=\"Out()\" />",
        QStringList{pad("  ", "RECT") + "1,2,3,4|A.HTML|Gross|_TOP|*|Out()|*"});
    row("empty target and alt, missing alt",
        " <map ><area shape=\"circle\" coords=\"5,5,5\" href=\"c\" alt=\"\" target=\"\" />"
        "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"d\" />",
        QStringList{pad("  ", "circle") + "5,5,5|c|||*|*|*", rect2 + "1,1,2,2|d||*|*|*|*"});
    row("default skipped in any case",
        " <map ><area shape=\"DEFAULT\" nohref=\"nohref\" /><area shape=\"default\" />"
        "<area shape=\"poly\" coords=\"1,2\" href=\"p\" alt=\"P\" />",
        QStringList{pad("  ", "poly") + "1,2|p|P|*|*|*|*"});
    row("polygon kept in map files", " <map ><area shape=\"polygon\" coords=\"1,2,3,4\" href=\"p\" />",
        QStringList{pad("  ", "polygon") + "1,2,3,4|p||*|*|*|*"});
    row("element ended by > before one ended by />",
        " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" ><area shape=\"circle\" coords=\"3,3,3\" "
        "href=\"b\" alt=\"B\" target=\"t\"/>",
        QStringList{rect2 + "1,1,2,2|a||*|*|*|*", pad("  ", "circle") + "3,3,3|b|B|t|*|*|*"});
    row("element ended by > when no /> follows",
        " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" alt=\"A\"></map>",
        QStringList{rect2 + "1,1,2,2|a|A|*|*|*|*"});
    row("area at the first character is not seen", "<area shape=\"rect\" coords=\"9,9,9,9\" href=\"x\" /> <map >",
        QStringList{});
    row("areas outside the map are read", " <map ></map><area shape=\"rect\" coords=\"1,1,2,2\" href=\"o\" />",
        QStringList{rect2 + "1,1,2,2|o||*|*|*|*"});
    row("truncated element after a good one",
        " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" /><area shape=\"circle\" coords=\"3,3,3",
        QStringList{rect2 + "1,1,2,2|a||*|*|*|*"});
    row("truncated element alone", " <map ><area shape=", QStringList{});
    row("bar in a value is escaped",
        " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a|b\" alt=\"x|y\" onclick=\"f(a||b)\" />",
        QStringList{rect2 + "1,1,2,2|a&#124;b|x&#124;y|*|*|*|f(a&#124;&#124;b)"});
    row("map without areas", " <map name=\"x\"></map>", QStringList{});
    // What hides tags, and tags that run on: the same in a file read in pieces.
    const QString a = "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" />";
    const QString b = "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"b\" />";
    const QString lineA = rect2 + "1,1,2,2|a||*|*|*|*";
    const QString lineB = rect2 + "1,1,2,2|b||*|*|*|*";
    row("a comment hides areas", " <map ><!-- " + a + " --!>" + b, QStringList{lineB});
    row("a comment never closed hides the rest", " <map >" + a + "<!-- " + b, QStringList{lineA});
    row("script text holds no areas", " <map ><SCRIPT>x = '" + a + "</scripts>';</script\n>" + b,
        QStringList{lineB});
    row("script never closed", " <map >" + a + "<script>" + b, QStringList{lineA});
    row("plaintext hides the rest", " <map >" + a + "<plaintext>" + b, QStringList{lineA});
    row("a declaration runs to its end", " <map ><? x " + a + b, QStringList{lineB});
    // Read in pieces, the inside of what is still open is left out: its end
    // must still be found wherever the pieces cut it.
    const QString filler = QString(40, u'-') + "x>" + QString(40, u'!') + "<" + a;
    row("a long comment closed by --!>", " <map ><!--" + filler + "--!>" + b, QStringList{lineB});
    row("a long comment closed by dashes", " <map ><!--" + filler + "---->" + b, QStringList{lineB});
    row("a long comment closed at once", " <map ><!--->" + filler + b, QStringList{lineA, lineB});
    row("a long script", " <map ><script>" + filler + "</scrip></script\t>" + b, QStringList{lineB});
    row("a long textarea", " <map ><textarea>" + filler + "</TEXTAREA\n>" + b, QStringList{lineB});
    row("a long declaration", " <map ><!DOCTYPE " + QString(90, u'-') + "<!--" + ">" + b, QStringList{lineB});
    row("a long end tag without a name", " <map ></\u00ff" + QString(90, u'-') + " x=\">" + b, QStringList{lineB});
    row("pictures before the map", " <img src=\"a.png\" width=\"5\"><img src='b.png' usemap=#b height=7>"
        "<img src=\"c.png\" usemap=\"#c\"><map >" + a, QStringList{lineA});
    // Read in pieces, a long value is kept apart until its tag is whole.
    row("long values with blanks",
        " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"  lang  \" alt=\"  Text  \" />",
        QStringList{rect2 + "1,1,2,2|lang|Text|*|*|*|*"});
    row("a long value without quotes", " <map ><area href=langerVerweis coords=1,1,2,2>",
        QStringList{rect2 + "1,1,2,2|langerVerweis||*|*|*|*"});
    row("a long value with a bar", " <map ><area href=\"a|langer|b\" coords=\"1,1,2,2\">",
        QStringList{rect2 + "1,1,2,2|a&#124;langer&#124;b||*|*|*|*"});
    row("a long value not all Latin-1", " <map ><area href=\"langer\u20acVerweis\" coords=\"1,1,2,2\">",
        QStringList{rect2 + "1,1,2,2|langer\u20acVerweis||*|*|*|*"});
    row("a long alt with its title",
        " <map ><area href=a alt=\"langer Text\" title=\"langer Text\" coords=\"1,1,2,2\">",
        QStringList{rect2 + "1,1,2,2|a|langer Text|*|*|*|*"});
    row("a long value over lines", " <map ><area href=\"lang\nund\nweiter\" coords=\"1,1,2,2\">",
        QStringList{rect2 + "1,1,2,2|lang\nund\nweiter||*|*|*|*"});
    row("a long value cut off", " <map >" + a + "<area coords=\"1,1,2,2\" href=\"langer Verweis ohne Ende",
        QStringList{lineA});
    row("any order, letter case and quoting",
        " <map ><area href=a.html SHAPE=RECT coords='1,2,3,4' alt=\"x\"><AREA\nCOORDS=5,5,5 shape=circle href=b>",
        QStringList{pad("  ", "RECT") + "1,2,3,4|a.html|x|*|*|*|*", pad("  ", "circle") + "5,5,5|b||*|*|*|*"});
}

void TestImport::mapFileAreas()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const MapFileData data = readMapFile(text, PathStyle::Unix);
    QVERIFY(data.hasMap);
    QCOMPARE(data.areas.lines, lines);

    // Handed over in pieces of any size, read as soon as they come, every
    // open value kept apart or none.
    for (const qsizetype piece : {1, 2, 3, 5, 8, 1000}) {
        MapFileStream stream(PathStyle::Unix, 1, piece % 2 ? 1 : 4 * 1024 * 1024);
        for (qsizetype i = 0; i < text.size(); i += piece)
            stream.take(QStringView(text).mid(i, piece));
        const MapFileData streamed = stream.finish();
        QCOMPARE(streamed.areas.lines, lines);
        QCOMPARE(lastValues(streamed.areas).attributes.href, lastValues(data.areas).attributes.href);
        QCOMPARE(streamed.hasMap, true);
        QCOMPARE(streamed.hasUsemap, data.hasUsemap);
        QCOMPARE(streamed.mapName, data.mapName);
        QCOMPARE(streamed.imagePath, data.imagePath);
        QCOMPARE(streamed.width, data.width);
        QCOMPARE(streamed.height, data.height);
    }
}

void TestImport::mapFileHeaderValues()
{
    // A .map file as the save command writes it: the header and the generated code.
    const QString text = "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n" +
                         map_daten({pad(" ", "rect") + "1,2,3,4|a.html|A|*|x()|y()|z()"},
                                   "/home/Anna/Web Bilder/Plan Eins.PNG", QString(), QSize(400, 300));
    const MapFileData unixData = readMapFile(text, PathStyle::Unix);
    QCOMPARE(unixData.mapName, QStringLiteral("plan_eins"));
    QCOMPARE(unixData.imagePath, QStringLiteral("/home/anna/web bilder/plan eins.png"));
    // The handlers of the last element read (the default area) are what stays behind.
    QVERIFY(unixData.areas.anyRead);
    QCOMPARE(lastValues(unixData.areas).shape, QStringLiteral("default"));
    QCOMPARE(lastValues(unixData.areas).attributes.onclick, QStringLiteral("*"));
    QCOMPARE(lastHandlers(unixData.areas).onclick, QStringLiteral("*"));

    const MapFileData noMap = readMapFile(QStringLiteral("<img usemap=\"#a\" src=\"b.png\">"), PathStyle::Unix);
    QVERIFY(!noMap.hasMap);
    QCOMPARE(noMap.mapName, QStringLiteral("a"));
    QVERIFY(noMap.areas.lines.isEmpty());
}

void TestImport::htmlAreas_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QStringList>("lines");
    row("POLYGON becomes poly",
        "<MAP NAME=\"m\"><AREA SHAPE=\"POLYGON\" COORDS=\"1,2,3,4,5,6\" HREF=\"a.html\" ALT=\"A\"></MAP>",
        QStringList{pad(" ", "poly") + "1,2,3,4,5,6|a.html|A|*|*|*|*"});
    row("POLY stays in capitals", "<map name=\"m\"><area shape=\"POLY\" coords=\"1,2\" href=\"a\"></map>",
        QStringList{pad(" ", "POLY") + "1,2|a||*|*|*|*"});
    row("Polygon in mixed case", "<map name=\"m\"><area shape=\"Polygon\" coords=\"1,2\" href=\"a\"></map>",
        QStringList{pad(" ", "poly") + "1,2|a||*|*|*|*"});
    row("html elements ended by >",
        "<map name=\"m\">\n<area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" alt=\"A\" target=\"_top\">\n"
        "<area shape=\"circle\" coords=\"3,3,3\" href=\"b\" onmouseover=\"hi()\">\n"
        "<area shape=\"default\" nohref>\n</map>",
        QStringList{pad(" ", "rect") + "1,1,2,2|a|A|_top|*|*|*", pad(" ", "circle") + "3,3,3|b||*|hi()|*|*"});
    row("unclosed last element ends at the map's >",
        "<map name=\"m\"><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\"</map>",
        QStringList{pad(" ", "rect") + "1,1,2,2|a||*|*|*|*"});
    row("single quotes around double quotes",
        "<map><area shape='poly' coords='1,2,3,4,5,6' href='p.html' alt='Sag \"Hallo\"' onclick='go(\"x\")'></map>",
        QStringList{pad(" ", "poly") + "1,2,3,4,5,6|p.html|Sag \"Hallo\"|*|*|*|go(\"x\")"});
    row("missing shape is a rectangle", "<map><area coords=\"1,2,3,4\" href=\"a\"></map>",
        QStringList{pad(" ", "rect") + "1,2,3,4|a||*|*|*|*"});
    row("default area with a link is kept, without one skipped",
        "<map><area shape=default href=\"rest.html\" alt=\"Rest\"><area shape=\"default\" nohref></map>",
        QStringList{pad(" ", "default") + "|rest.html|Rest|*|*|*|*"});
    row("no href and nohref stay no link",
        "<map><area shape=rect coords=1,1,9,9 alt=\"A\"><area shape=rect coords=2,2,8,8 nohref alt=B></map>",
        QStringList{pad(" ", "rect") + "1,1,9,9||A|*|*|*|*|nohref=\"nohref\"",
                    pad(" ", "rect") + "2,2,8,8||B|*|*|*|*|nohref=\"nohref\""});
    row("attributes without a field ride along, noise does not",
        "<map><area shape=rect coords=1,1,9,9 href=a.html alt=\"A\" title=\"A\" ID=eins class='x \"y\"' "
        "aria-label=\"Zur A|B\" data-nr=7 tabindex=0 onfocus=\"f()\" border=0 \"junk></map>",
        QStringList{pad(" ", "rect") + "1,1,9,9|a.html|A|*|*|*|*|id=\"eins\" class=\"x &quot;y&quot;\" "
                                        "aria-label=\"Zur A&#124;B\" data-nr=\"7\" tabindex=\"0\" onfocus=\"f()\""});
    row("a title other than the alt text", "<map><area coords=1,1,9,9 href=a alt=Kurz title=\"Lang erklärt\"></map>",
        QStringList{pad(" ", "rect") + "1,1,9,9|a|Kurz|*|*|*|*|title=\"Lang erklärt\""});
    row("areas in template and noscript are none",
        "<map><template><area coords=1,1,2,2 href=t></template><noscript><area coords=3,3,4,4 href=n></noscript>"
        "<area coords=5,5,6,6 href=a></map>",
        QStringList{pad(" ", "rect") + "5,5,6,6|a||*|*|*|*"});
    row("references stay as written",
        "<map><area shape=rect coords=1,1,2,2 href=\"s.html?a=1&amp;b=2\" alt=\"Caf&eacute; &amp; Bar\"></map>",
        QStringList{pad(" ", "rect") + "1,1,2,2|s.html?a=1&amp;b=2|Caf&eacute; &amp; Bar|*|*|*|*"});
}

void TestImport::htmlAreas()
{
    QFETCH(QString, map);
    QFETCH(QStringList, lines);
    QCOMPARE(readMapAreas(map).lines, lines);
}

// The values of an element as one text: shape|coords|six attributes|kept pairs.
QString describe(const ElementValues& v)
{
    const LinkAttributes& a = v.attributes;
    QStringList parts{v.shape, v.coords, a.href, a.alt, a.target, a.onmouseover, a.onmouseout, a.onclick};
    for (const extra::Attribute& kept : v.kept)
        parts << kept.name + "=" + kept.value;
    return parts.join(QLatin1Char('|'));
}

// The common area tag is read the quick way; whatever a tag holds, the lines,
// tag starts and last values are those of the general reading.
void TestImport::quickAreaReading_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QStringList>("lines"); // as a page's map gives them
    const QString rect = pad(" ", "rect");
    row("field names in capitals",
        "<AREA SHAPE=RECT COORDS=\"1,2,3,4\" HREF='A.html' ALT=\"Gross\" TARGET=_top ONMOUSEOVER=\"a()\" "
        "ONMOUSEOUT='b()' ONCLICK=c()>",
        QStringList{pad(" ", "RECT") + "1,2,3,4|A.html|Gross|_top|a()|b()|c()"});
    row("repeated names keep the first",
        "<area href=a HREF=b shape=circle Shape=rect coords=1,1,1 COORDS=2,2,2 alt=x ALT=y onclick=1 onClick=2>",
        QStringList{pad(" ", "circle") + "1,1,1|a|x|*|*|*|1"});
    row("names without values", "<area shape coords href alt=><area href/>",
        QStringList{pad(" ", "") + "|||*|*|*|*", rect + "|||*|*|*|*"});
    row("blanks around values, a blank title",
        "<area shape=\" rect \" coords=\" 1,2,3,4 \" href=\"  a b  \" alt=\" \" title=\"  \">",
        QStringList{rect + "1,2,3,4|a b||*|*|*|*"});
    row("a title like the alt text is dropped, another kept",
        "<area href=a alt=\" Plan \" title=Plan><area href=b alt=Plan title=Karte><area href=c title=x>",
        QStringList{rect + "|a|Plan|*|*|*|*", rect + "|b|Plan|*|*|*|*|title=\"Karte\"",
                    rect + "|c||*|*|*|*|title=\"x\""});
    row("references and a lone ampersand", "<area href=\"s?a=1&amp;b=2\" alt=\"&auml;&\" title=\"A & B\">",
        QStringList{rect + "|s?a=1&amp;b=2|&auml;&|*|*|*|*|title=\"A &amp; B\""});
    row("bars", "<area href=\"a|b\" alt=\"|\" onclick=\"x||y\">",
        QStringList{rect + "|a&#124;b|&#124;|*|*|*|x&#124;&#124;y"});
    row("Latin-1 and beyond",
        QString::fromUtf8("<area href=\"café.html\" alt=\"Größe\"><area href=\"€.html\" alt=\"日本\">"),
        QStringList{rect + QString::fromUtf8("|café.html|Größe|*|*|*|*"),
                    rect + QString::fromUtf8("|€.html|日本|*|*|*|*")});
    const auto withNul = [](const auto& literal) { return QString::fromLatin1(literal, sizeof literal - 1); };
    row("line breaks, tabs and controls in values",
        withNul("<area href=\"a\nb\" alt=\"x\r\ny\" onmouseover=\"\tf()\t\" onclick=\"\0\x01\">"),
        QStringList{rect + withNul("|a\nb|x\r\ny|*|\tf()\t|*|\0\x01")});
    row("no link",
        "<area shape=rect coords=1,1,2,2 alt=A><area nohref href=a><area shape=DEFAULT nohref>"
        "<area shape=default href=r>",
        QStringList{rect + "1,1,2,2||A|*|*|*|*|nohref=\"nohref\"", rect + "|a||*|*|*|*|nohref=\"nohref\"",
                    pad(" ", "default") + "|r||*|*|*|*"});
    row("kept and dropped attributes", "<area href=a border=0 \"junk onfocus=f() aria-label=L>",
        QStringList{rect + "|a||*|*|*|*|onfocus=\"f()\" aria-label=\"L\""});
    row("shapes", "<area shape=POLYGON href=a><area shape=\" polygon \" href=b><area shape=\"\" href=c>"
                  "<area shape=\"\trect\" href=d>",
        QStringList{pad(" ", "poly") + "|a||*|*|*|*", pad(" ", "poly") + "|b||*|*|*|*", pad(" ", "") + "|c||*|*|*|*",
                    pad(" ", "\trect") + "|d||*|*|*|*"});
    row("last element read the quick way", QString::fromUtf8("<area href=\"€\" onclick=1><area href=b onclick=2>"),
        QStringList{rect + QString::fromUtf8("|€||*|*|*|1"), rect + "|b||*|*|*|2"});
    row("last element read the general way", QString::fromUtf8("<area href=b onclick=2><area href=\"€\" onclick=1>"),
        QStringList{rect + "|b||*|*|*|2", rect + QString::fromUtf8("|€||*|*|*|1")});
    row("cut off at the end", "<area href=a alt=A><area href=\"b", QStringList{rect + "|a|A|*|*|*|*"});
    row("hidden in a page, read in a .map file", "<template><area href=t></template><area href=a>",
        QStringList{rect + "|a||*|*|*|*"});
}

void TestImport::quickAreaReading()
{
    QFETCH(QString, map);
    QFETCH(QStringList, lines);
    const QString text = "<map name=m>" + map;
    QCOMPARE(readMapAreas(text).lines, lines);
    for (const AreaDialect dialect : {AreaDialect::MapFile, AreaDialect::HtmlPage}) {
        const AreaScan quick = scanAreas(text, dialect);
        const AreaScan general = scanAreas(text, dialect, {}, AreaReading::General);
        QCOMPARE(quick.lines, general.lines);
        QCOMPARE(quick.starts, general.starts);
        QCOMPARE(quick.anyRead, general.anyRead);
        QCOMPARE(describe(lastValues(quick)), describe(lastValues(general)));
    }
    // A .map file read in pieces ends with the same last values.
    const AreaScan general = scanAreas(text, AreaDialect::MapFile, {}, AreaReading::General);
    MapFileStream stream(PathStyle::Unix, 1, 2);
    for (qsizetype i = 0; i < text.size(); i += 3)
        stream.take(QStringView(text).mid(i, 3));
    const MapFileData streamed = stream.finish();
    QCOMPARE(streamed.areas.lines, general.lines);
    QCOMPARE(describe(lastValues(streamed.areas)), describe(lastValues(general)));
}

void TestImport::candidates_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("tags");
    row("capitals lower-cased", "<p><IMG SRC=\"Plan.JPG\" USEMAP=\"#Plan\"><img src=\"logo.png\"></p>",
        QStringList{"<img src=\"plan.jpg\" usemap=\"#plan\">"});
    row("none carry a map", "<img src=\"a.png\"><img src=\"b.png\" />", QStringList{});
    row("two in order", "<img src=\"a.png\" usemap=\"#a\"/>x<img  src=\"b.png\" usemap=\"#b\">",
        QStringList{"<img src=\"a.png\" usemap=\"#a\"/>", "<img  src=\"b.png\" usemap=\"#b\">"});
    row("unclosed tag ends the search", "<img src=\"a.png\" usemap=\"#a\"><img src=\"b.png\" usemap=\"#b\"",
        QStringList{"<img src=\"a.png\" usemap=\"#a\">"});
    row("tag at the very end", "<img usemap=\"#a\">", QStringList{"<img usemap=\"#a\">"});
    row("only <img without blank", "<imgx usemap=\"#a\">", QStringList{});
    row("empty page", "", QStringList{});
    row("pictures in template and noscript are none",
        "<template><img src=\"t.png\" usemap=\"#t\"></template><noscript><img src=\"n.png\" usemap=\"#n\">"
        "</noscript><img src=\"a.png\" usemap=\"#a\">",
        QStringList{"<img src=\"a.png\" usemap=\"#a\">"});
    row("usemap in a value is no usemap", "<img src=\"a.png\" alt=\"usemap=#x\">", QStringList{});
}

void TestImport::candidates()
{
    QFETCH(QString, page);
    QFETCH(QStringList, tags);
    QCOMPARE(imgCandidates(page), tags);
}

void TestImport::candidateLines_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("line");
    row("blank after usemap", R"(<img src="bilder/plan.jpg" usemap="#plan" width="3">)",
        R"(Grafik: "plan.jpg",  MapName: "plan")");
    row("usemap ended by >", R"(<img src="file:///c:/x/haus.gif" usemap="#haus">)",
        R"(Grafik: "haus.gif",  MapName: "haus")");
    row("src without closing quote swallows usemap", R"(<img src="a.png usemap="#a" >)",
        R"(Grafik: "a.png usemap=",  MapName: "")");
    row("unix url", R"(<img src="file:///home/a%20b/x.png" usemap="#x" />)", R"(Grafik: "x.png",  MapName: "x")");
}

void TestImport::candidateLines()
{
    QFETCH(QString, tag);
    QFETCH(QString, line);
    QCOMPARE(candidateLine(tag, PathStyle::Unix), line);
}

void TestImport::mapSearch_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("usemap");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("map");
    QTest::addColumn<bool>("byBrowser");
    const int found = int(MapLookup::Found);
    const int notFound = int(MapLookup::NotFound);
    row("map bearing the name wins over an earlier one containing it",
        "<map name=\"a\"><area href=\"plan.html\"></map>x<map name=\"plan\"></map>", "#plan", found,
        "<map name=\"plan\"></map>", true);
    row("second map", "<MAP NAME=\"a\"></MAP><MAP NAME=\"Plan\"></MAP>!", "#plan", found, "<MAP NAME=\"Plan\"></MAP>",
        false);
    row("not found", "<map name=\"a\"></map><map name=\"b\"></map>", "#plan", notFound, "", true);
    row("no map at all", "<img usemap=\"#plan\">", "#plan", int(MapLookup::NoMapElement), "", true);
    // An empty name finds no map, as in a browser.
    row("empty name finds none", "<map name=\"a\"></map><map name=\"b\"></map>", "#", notFound, "", true);
    row("unclosed map runs to the end", "<map name=\"a\"></map><map name=\"plan\"><area", "#plan", found,
        "<map name=\"plan\"><area", true);
    row("unclosed map without the name", "<map name=\"a\">", "#plan", notFound, "", true);
    row("map ends right after </map", "<map name=\"plan\"></map", "#plan", found, "<map name=\"plan\"></map", true);
    row("exact name before one in other letter case",
        "<map name=\"lageplan\"></map><map name=\"Lageplan\"></map>", "#Lageplan", found,
        "<map name=\"Lageplan\"></map>", true);
    row("letter case ignored when no name is exact, for old pages",
        "<map name=\"lageplan\"></map><map name=\"LagePlan\"></map>", "#Lageplan", found,
        "<map name=\"lageplan\"></map>", false);
    row("maps in template and noscript are none",
        "<template><map name=\"plan\"></map></template><noscript><map name=\"plan\">n</map></noscript>"
        "<map name=\"plan\">echt</map>",
        "#plan", found, "<map name=\"plan\">echt</map>", true);
    row("name with # and a reference, for old pages", "<map name=\"a\"></map><map name=\"#caf&eacute;\"></map>",
        "#café", found, "<map name=\"#caf&eacute;\"></map>", false);
    // The map a browser takes: the name after the usemap's "#", decoded, compared exactly with
    // the name or the id of each map in page order.
    row("usemap without # is no map to a browser", "<map name=\"plan\"></map>", "plan", found,
        "<map name=\"plan\"></map>", false);
    row("the id counts", "<map id=\"plan\"></map><map name=\"plan\">2</map>", "#plan", found, "<map id=\"plan\"></map>",
        true);
    row("references decoded on both sides", "<map name=\"Stra&szlig;e\"></map>", "#Stra&#223;e", found,
        "<map name=\"Stra&szlig;e\"></map>", true);
    row("legacy reference without ;", "<map name=\"plan&copy;\"></map>", "#plan&COPY", found,
        "<map name=\"plan&copy;\"></map>", true);
    // In an attribute a name without ";" before a letter stays text.
    row("no reference before a letter", "<map name=\"&copy;plan\"></map>", "#&copyplan", notFound, "", true);
    row("blanks are part of the name", "<map name=\"plan \"></map><map name=\"plan\">2</map>", "#plan", found,
        "<map name=\"plan\">2</map>", true);
    row("what follows the first #", "<map name=\"b#c\"></map>", "a#b#c", found, "<map name=\"b#c\"></map>", true);
    row("a map that merely holds the name is never taken", "<map name=\"a\"><area href=\"plan.html\"></map>", "#plan",
        notFound, "", true);
    row("map inside a map counts", "<map name=\"a\"><map name=\"b\"><area></map><area></map>", "#b", found,
        "<map name=\"b\"><area></map>", true);
    row("map in svg is none", "<svg><map name=\"plan\"></map></svg><map name=\"plan\">echt</map>", "#plan", found,
        "<map name=\"plan\">echt</map>", true);
    row("template in svg or math is no template",
        "<svg><template></svg><math><template></math><map name=\"plan\">echt</map>", "#plan", found,
        "<map name=\"plan\">echt</map>", true);
    row("html inside svg again", "<svg><foreignObject><map name=\"plan\">fo</map></foreignObject></svg>", "#plan",
        found, "<map name=\"plan\">fo</map>", true);
    row("a p ends the svg", "<svg><p><map name=\"plan\">p</map>", "#plan", found, "<map name=\"plan\">p</map>", true);
}

void TestImport::mapSearch()
{
    QFETCH(QString, page);
    QFETCH(QString, usemap);
    QFETCH(int, outcome);
    QFETCH(QString, map);
    QFETCH(bool, byBrowser);
    const FoundMap result = findMap(page, usemap);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.text.toString(), map);
    QCOMPARE(result.byBrowser, byBrowser);
}

void TestImport::caseInsensitiveLookup_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("relative");
    QTest::addColumn<QString>("expected"); // relative to the temporary folder; empty when missing
    row("file in other case", "plan.jpg", true, "Plan.JPG");
    row("folders in other case", "web bilder/sub/x.png", true, "Web Bilder/Sub/X.png");
    // A "\\" is a character of a file name on this system, no separator.
    row("backslash is part of a name", "web bilder\\sub\\x.png", true, "");
    row("name with a backslash", "back\\slash.png", true, "Back\\Slash.png");
    row("absolute", "web bilder/sub/x.png", false, "Web Bilder/Sub/X.png");
    row("exact spelling wins", "twin.png", true, "twin.png");
    row("dot dot", "web bilder/sub/../../plan.jpg", true, "Plan.JPG");
    row("missing", "nothing.png", true, "");
    row("folder is no file", "web bilder", true, "");
    row("empty", "", true, "");
}

void TestImport::caseInsensitiveLookup()
{
    QFETCH(QString, path);
    QFETCH(bool, relative);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath("Web Bilder/Sub"));
    for (const char* name : {"Plan.JPG", "Web Bilder/Sub/X.png", "TWIN.png", "twin.png", "Back\\Slash.png"})
        QVERIFY(test::writeFile(dir.filePath(name), "x"));
    const QString asked = relative || path.isEmpty() ? path : dir.path().toLower() + "/" + path;
    const QString found = findFileIgnoringCase(asked, dir.path());
    QCOMPARE(found, expected.isEmpty() ? QString() : dir.filePath(expected));
}

void TestImport::fileEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("alt");
    row("utf-8", QByteArray("<map ><area shape=\"rect\" alt=\"Gr\xC3\xBC\xC3\x9F\x65\" />"), QStringLiteral("Grüße"));
    row("windows-1252", QByteArray("<map ><area shape=\"rect\" alt=\"Gr\xFC\xDF\x65 \x80\" />"),
        QStringLiteral("Grüße €"));
    row("broken utf-8 is single-byte", QByteArray("<map ><area shape=\"rect\" alt=\"\xC3\xBC\xFC\" />"),
        QStringLiteral("Ã¼ü"));
    const QString area = "<map ><area shape=\"rect\" alt=\"Grüße\" />";
    for (const auto& [name, encoding, mark] :
         {std::tuple("utf-16 little-endian with its mark", QStringEncoder::Utf16LE, "\xFF\xFE"),
          std::tuple("utf-16 big-endian with its mark", QStringEncoder::Utf16BE, "\xFE\xFF")})
        row(name, QByteArray(mark) + QStringEncoder(encoding).encode(area), QStringLiteral("Grüße"));
}

void TestImport::fileEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, alt);
    QTemporaryDir dir;
    QVERIFY(test::writeFile(dir.filePath("x.map"), bytes));
    const MapFileData data = readMapFile(readImportFile(dir.filePath("x.map")), PathStyle::Unix);
    QCOMPARE(data.areas.lines.size(), 1);
    QCOMPARE(entry::attributesOf(data.areas.lines.front()).alt, alt);
    QCOMPARE(readImportFile(dir.filePath("missing.map")), QString());
}

void TestImport::bigFileText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    // Read in pieces of 1 MiB: sequences across their ends, and a late byte
    // that is not UTF-8, which makes the whole file Windows-1252.
    const QByteArray umlauts("\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC");
    row("utf-8 without ascii", umlauts.repeated(300'000), QStringLiteral("äöü€").repeated(300'000));
    row("utf-8 with its mark", "\xEF\xBB\xBF" + ("a" + umlauts).repeated(200'000),
        QStringLiteral("aäöü€").repeated(200'000));
    row("a mark inside stays", "a\xEF\xBB\xBF" + QByteArray(3'000'000, 'b'),
        "a" + QString(QChar(0xFEFF)) + QString(3'000'000, u'b'));
    // Only the first mark is dropped, whether the file is read in one piece or many.
    row("a second mark stays", QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"), QString(QChar(0xFEFF)));
    row("a second mark stays in a big file", "\xEF\xBB\xBF\xEF\xBB\xBF" + QByteArray(3'000'000, 'b'),
        QChar(0xFEFF) + QString(3'000'000, u'b'));
    row("one late byte not utf-8", ("a" + umlauts).repeated(200'000) + "\xFC",
        QStringLiteral("aÃ¤Ã¶Ã¼â‚¬").repeated(200'000) + "ü");
    row("ascii", QByteArray("<area>").repeated(500'000), QStringLiteral("<area>").repeated(500'000));
    row("empty", QByteArray(), QString());
}

void TestImport::bigFileText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(test::writeFile(dir.filePath("x.html"), bytes));
    QCOMPARE(readImportFile(dir.filePath("x.html")), text);
    // In pieces, read as UTF-8 while the encoding is found beside: the same
    // text once, however far the first reading got.
    for (const qint64 piece : {qint64(1024 * 1024), qint64(4099)}) {
        QString streamed;
        int restarts = 0;
        QVERIFY(streamImportFileInPieces(
            dir.filePath("x.html"), piece, [&streamed](QStringView part) { streamed += part; },
            [&] {
                streamed.clear();
                ++restarts;
            }));
        QCOMPARE(streamed, text);
        QCOMPARE(restarts, QTest::currentDataTag() == QByteArray("one late byte not utf-8") ? 1 : 0);
    }
}

namespace {

// True when this process has the file open.
bool openHere(const QString& path)
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : descriptors.entryList(QDir::Files | QDir::System)) {
        if (QFileInfo(descriptors.filePath(fd)).symLinkTarget() == path)
            return true;
    }
    return false;
}

} // namespace

void TestImport::fileShrinksWhileRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("wird-geschrieben.html");
    const QString line = QStringLiteral("<area shape=\"rect\" coords=\"1,2,3,4\" href=\"a.html\">\n");
    const QString whole = line.repeated(1'000'000);
    QVERIFY(test::writeFile(path, whole.toUtf8()));
    // Another program cuts the file while it is read: by the time the first
    // piece is in, and at once from another thread, over and over.
    const qint64 cutTo = 3 * 1024 * 1024 + 5;
    const Progress cut = [&](qint64, qint64) { return QFile::resize(path, cutTo); };
    QCOMPARE(readImportFile(path, cut), whole.first(cutTo));
    // The same streamed, as a .map is read.
    const auto streamed = [&path](const Progress& progress) {
        QString text;
        streamImportFile(
            path, [&text](QStringView part) { text += part; }, [&text] { text.clear(); }, progress);
        return text;
    };
    QVERIFY(test::writeFile(path, whole.toUtf8()));
    QCOMPARE(streamed(cut), whole.first(cutTo));
    for (int round = 0; round < 10; ++round) {
        QVERIFY(test::writeFile(path, whole.toUtf8()));
        std::atomic<bool> done = false;
        std::thread cutter([&] {
            while (!done && !openHere(path))
                ;
            QFile::resize(path, 100 * round);
        });
        const QString text = round % 2 ? streamed({}) : readImportFile(path);
        done = true;
        cutter.join();
        QVERIFY(whole.startsWith(text));
    }
}

namespace {

// How many files this process has open under that path.
int openCount(const QString& path)
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    int count = 0;
    for (const QString& fd : descriptors.entryList(QDir::Files | QDir::System))
        count += QFileInfo(descriptors.filePath(fd)).symLinkTarget() == path;
    return count;
}

} // namespace

void TestImport::fileChangesWhileStreamed_data()
{
    QTest::addColumn<qint64>("at");          // where the file changes, from its end when negative
    QTest::addColumn<QByteArray>("written"); // what is written there; empty: the file is cut there
    QTest::addColumn<bool>("utf8");          // the text then comes as UTF-8, else as Windows-1252
    row("a byte no longer UTF-8", qint64(300'000), QByteArray("\xFF"), false);
    row("cut inside a character", qint64(-1), QByteArray(), false);
    row("another character, still UTF-8", qint64(-2), QByteArray("\xC3\xB6"), true);
}

// Another program writes into a .map while it is read: the text is what the
// bytes read say, never a replacement character for a byte that was UTF-8
// when some earlier look found it.
void TestImport::fileChangesWhileStreamed()
{
    QFETCH(qint64, at);
    QFETCH(QByteArray, written);
    QFETCH(bool, utf8);
    QTemporaryDir dir;
    const QString path = dir.filePath("wird-geschrieben.map");
    const QByteArray before = QByteArray("<area>").repeated(100'000) + "\xC3\xA4";
    QVERIFY(test::writeFile(path, before));
    const qint64 place = at < 0 ? before.size() + at : at;
    QByteArray after = before;
    if (written.isEmpty())
        after.truncate(place);
    else
        after.replace(place, written.size(), written);

    QString text;
    int restarts = 0;
    bool changed = false;
    const auto take = [&](QStringView part) {
        if (!changed) {
            changed = true;
            // Once any other look at the file (begun by now) is over, its later bytes change.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            QVERIFY(QTest::qWaitFor([&] { return openCount(path) == 1; }, 5000));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(written.isEmpty() ? file.resize(place) : file.seek(place) && file.write(written) > 0);
        }
        text += part;
    };
    QVERIFY(streamImportFileInPieces(path, 4099, take, [&] {
        text.clear();
        ++restarts;
    }));
    QCOMPARE(text, utf8 ? QString::fromUtf8(after) : fromWindows1252(after));
    QCOMPARE(restarts, utf8 ? 0 : 1);
}

void TestImport::pageInPieces_data()
{
    QTest::addColumn<QString>("page");
    const QString area = QStringLiteral("<area shape=\"rect\" coords=\"1,2,3,4\" href=\"a.html\" alt=\"A\">\n");
    row("two maps", "<html>\n<img src=\"a.png\" usemap=\"#a\">\n<IMG SRC=b.png USEMAP=#B>\n<map name=\"a\">\n" + area +
                        area + "</map>\n<MAP NAME=B>" + area + "</MAP>\n</html>\n");
    row("comments with line ends", "<!--\n\n<img usemap=#x>\n-->\n<img src=c.png usemap=#c>\n<map name=c><!-- " +
                                       QString("\n").repeated(300) + " -->\n" + area + "<!--\n\n-->" + area + "</map>");
    row("a comment never closed", "<img usemap=#m>\n<map name=m>\n" + area + "<!--\n" + area.repeated(20));
    row("script and textarea", "<map name=s><script>\nvar a = '<area href=x>';\n</script>\n" + area +
                                   "<textarea><area href=y>\n</textarea>" + area + "</map><img usemap=#s>");
    row("template and noscript", "<template><map name=t>" + area +
                                     "</map></template>\n<noscript><img usemap=#t>"
                                     "</noscript>\n<map name=t>\n<template>" +
                                     area + "</template>" + area + "<noscript>" + area + "</noscript>\n" + area +
                                     "</map>");
    row("no end tag, a map inside a map",
        "<map name=a>\n" + area + "<map name=b>\n" + area + "</map>\n" + area + "<map name=c>\n" + area);
    row("areas outside maps, a tag cut off", area + "<map name=x></map>\n" + area + "<img usemap=#x src=\"a");
    row("default areas", "<map name=d>\n<area shape=default>\n<area shape=DEFAULT href=d.html>\n" + area + "</map>");
    row("CR LF line ends, a long tag", "<map name=\"lang\">\r\n<area href=\"" + QString(5000, 'x') +
                                           "\"\r\n alt=L>\r\n" + area + "</map>\r\n<img usemap=#lang>");
    row("long values over lines", "<map name=l>\n<area href=\"lang\nund\nweiter\" alt='x\ny' coords=1,2,3,4>\n" + area +
                                      "</map>\n<img usemap=#l>");
    row("no map", QStringLiteral("<p>\nText\n</p>"));
    // Kept apart as it grows, a value without quotes is never read on as a quoted one.
    row("a value without quotes ending in quotes", "<map name=q>\n<area href=a.html alt=&A\"' target=_top "
                                                   "coords=1,2,3,4\"\"\"\">\n<area href=b.html alt=\"B\">\n</map>");
    // A map begun in the HTML inside SVG reads its areas from its start tag
    // on, though the page around is SVG again after foreignObject.
    row("base, ids, empty names and foreign content",
        "<base href=\"Bilder/\"><base href=x>\n<map id=i name>\n" + area + "</map>\n<svg><map name=s>" + area +
            "</map><foreignObject><map name=f>\n" + area + "</foreignObject>" + area + "</map></svg>" +
            "<img usemap=#i SRC=a.png>");
}

// Read a piece at a time, a page gives what the whole reading gives: the
// candidates, each map with its areas, and the line of every tag.
void TestImport::pageInPieces()
{
    QFETCH(QString, page);
    const auto lineAt = [&page](qsizetype at) { return int(QStringView(page).first(at).count(u'\n')) + 1; };
    const PageMaps whole = readPageMaps(page);
    for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(17), qsizetype(64), page.size()}) {
        for (const qsizetype readSize : {qsizetype(1), qsizetype(16), qsizetype(256 * 1024)}) {
            PageStream stream(readSize, readSize == 1 ? 1 : 4 * 1024 * 1024);
            for (qsizetype at = 0; at < page.size(); at += piece)
                stream.take(QStringView(page).mid(at, piece));
            const StreamedPage read = stream.finish();
            QCOMPARE(read.read.candidates, whole.candidates);
            QCOMPARE(read.read.writtenTags, whole.writtenTags);
            QCOMPARE(read.read.usemapNames, whole.usemapNames);
            QCOMPARE(read.read.usemapValues, whole.usemapValues);
            QCOMPARE(read.read.candidateStarts, whole.candidateStarts);
            QCOMPARE(read.read.baseHref, whole.baseHref);
            QList<int> candidateLines;
            for (const qsizetype start : whole.candidateStarts)
                candidateLines << lineAt(start);
            QCOMPARE(read.candidateLines, candidateLines);
            QCOMPARE(read.maps.size(), whole.maps.size());
            for (std::size_t m = 0; m < whole.maps.size(); ++m) {
                const MapElement& map = whole.maps[m];
                QCOMPARE(read.maps[m].name, map.name.toString());
                QCOMPARE(read.maps[m].name.isNull(), map.name.isNull());
                QCOMPARE(read.maps[m].id, map.id.toString());
                QCOMPARE(read.maps[m].id.isNull(), map.id.isNull());
                QCOMPARE(read.maps[m].line, lineAt(map.start));
                QCOMPARE(read.maps[m].start, map.start);
                QCOMPARE(read.maps[m].end, map.end);
                const AreaScan areas = readMapAreas(QStringView(page).sliced(map.start, map.end - map.start));
                QCOMPARE(read.maps[m].areas.lines, areas.lines);
                QList<int> areaLines;
                for (const qsizetype start : areas.starts)
                    areaLines << lineAt(map.start + start);
                QCOMPARE(read.maps[m].areaLines, areaLines);
            }
        }
    }
}

void TestImport::needleFindsEveryCase()
{
    const Needle area(QStringLiteral("<area shape="));
    const Needle use(QStringLiteral("usemap="));
    const QString text = QStringLiteral("xx<AREA Shape= <aReA sHaPe=  USEMAP= usemap=");
    QCOMPARE(area.in(text), 2);
    QCOMPARE(area.in(text, 3), 15);
    QCOMPARE(area.in(text, 16), -1);
    QCOMPARE(use.in(text), 29);
    QCOMPARE(use.in(text, 30), 37);
    QCOMPARE(use.in(text, 1000), -1);
    QCOMPARE(area.in(QStringLiteral("<area shape"), 0), -1);
}

// The attributes of one tag as "name=value" pairs.
QString describe(const html::Tag& tag)
{
    QStringList pairs;
    for (const html::Attribute& a : tag.attributes)
        pairs << a.name.toString() + "=" + a.value.toString();
    return pairs.join(QLatin1Char('|'));
}

// The attribute states of the HTML5 tokenizer.
void TestImport::tagAttributes_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    row("every kind of value", R"(<area a=1 b='2' c="3" d e = 5 f=>)", "a=1|b=2|c=3|d=|e=5|f=");
    row("no blank after a quoted value", R"(<area a="1"b='2'c=3>)", "a=1|b=2|c=3");
    row("slashes", R"(<area a/b/ c=1/>)", "a=|b=|c=1/");
    row("equals sign starts a name", R"(<area =x a==b>)", "=x=|a==b");
    row("repeated name keeps the first", R"(<AREA HREF=a href=b>)", "HREF=a");
    row("quotes inside names and unquoted values", R"(<area a"b=c'd e=f"g>)", R"(a"b=c'd|e=f"g)");
    row("line breaks and tabs", "<area\n\tshape\n=\n\"rect\"\r\ncoords=1>", "shape=rect|coords=1");
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("a%1=%1").arg(i);
    row("repeats among many names", "<area " + many.join(' ') + " A5=x a39=y>", many.join('|'));
}

void TestImport::tagAttributes()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    html::Tag read;
    QVERIFY(html::readTag(tag, 0, read));
    QCOMPARE(read.end, tag.size());
    QCOMPARE(describe(read), attributes);
}

// The tags a page holds for a browser, in order ("/" marks an end tag).
void TestImport::tagsOfAPage_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("tags");
    row("comment forms", "<!--><img a><!---><img b><!-- x --!><img c><!-- <img d> -- --><img e>",
        "img a|img b|img c|img e");
    row("unclosed comment hides the rest", "<p><!-- <img a><map><area shape=rect> -- >", "p");
    row("unclosed after a closed one", "<!-- a --><img a><!-- <img b><!-- --><img c", "img a");
    row("unclosed declaration hides nothing", "<img a><!DOCTYPE <img b", "img a");
    row("declarations", "<!DOCTYPE html><?xml x?><![CDATA[<img a>]]><img b>", "img b");
    row("raw text",
        "<script>x='<img a>'</script><style><img b></style ><TITLE><img c></title><textarea><img d></textarea><img e>",
        "script|/script|style|/style|TITLE|/title|textarea|/textarea|img e");
    row("plaintext", "<plaintext><img a>", "plaintext");
    row("> and < in quotes", "<img alt=\"a>b\" src='<x>'><area c>", "img alt src|area c");
    row("end tag without a name", "</><img a></ x><img b>", "img a|img b");
    row("tag cut off ends the reading", "<img a><area shape=\"rect><img b>", "img a");
    row("< starting no tag", "a < b <3 <img a>", "img a");
}

void TestImport::tagsOfAPage()
{
    QFETCH(QString, page);
    QFETCH(QString, tags);
    QStringList found;
    html::TagReader reader(page);
    html::Tag tag;
    while (reader.next(tag)) {
        QStringList words{(tag.isEndTag ? "/" : "") + tag.name.toString()};
        for (const html::Attribute& a : tag.attributes)
            words << a.name.toString();
        found << words.join(QLatin1Char(' '));
    }
    QCOMPARE(found.join(QLatin1Char('|')), tags);
}

// The image path the importers read back from a generated img tag is the one it was written for.
// A browser applies the coordinates to the size the img tag gives the picture.
void TestImport::shownSizeOfThePicture_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QSize>("shown"); // of a picture of 400 x 300
    row("both given", "<img src=a.png usemap=#a width=200 height=100>", QSize(200, 100));
    row("width alone keeps the proportions", "<img src=a.png usemap=#a width=\"100px\">", QSize(100, 75));
    row("height alone", "<img src=a.png usemap=#a height=' 150 '>", QSize(200, 150));
    row("percent and words are no size", "<img src=a.png usemap=#a width=50% height=auto>", QSize(400, 300));
    row("none given", "<img src=a.png usemap=#a>", QSize(400, 300));
}

void TestImport::shownSizeOfThePicture()
{
    QFETCH(QString, tag);
    QFETCH(QSize, shown);
    const ChosenImage image = readChosenTag(tag.toLower(), PathStyle::Unix);
    QCOMPARE(shownSize(image.width, image.height, QSize(400, 300)), shown);
    const MapFileData data = readMapFile(" <map>" + tag, PathStyle::Unix);
    QCOMPARE(shownSize(data.width, data.height, QSize(400, 300)), shown);
}

void TestImport::imageSourceRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    row("blanks, umlaut, #", "/srv/Web Bilder/Grün Plan #2.png");
    row("reference-like name", "/srv/x&amp;y.png");
}

void TestImport::imageSourceRoundTrip()
{
    QFETCH(QString, path);
    const QString tag = img_zeile_ermitteln(path, QString(), QSize(10, 10));
    QCOMPARE(readChosenTag(tag, PathStyle::Unix).imagePath, path.toLower());
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
