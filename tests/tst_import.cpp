#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/MapImport.h"
#include "model/AreaEntry.h"
#include "model/Codec.h"
#include "model/MapCode.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvane;
using namespace korvane::import;

namespace {

const QString kHeader = QStringLiteral("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n");

// A .map file as the save command writes it: the header and the generated code.
QString savedMapFile(const QStringList& lines, const QString& imagePath)
{
    return kHeader + korvane::map_daten(lines, imagePath, QString(), QSize(400, 300));
}

QString pad(const QString& prefix, const QString& shape)
{
    return prefix + shape + QString(20, QLatin1Char(' ')) + "|";
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void ruleA_data();
    void ruleA();
    void ruleB_data();
    void ruleB();
    void mapNameFromUsemap_data();
    void mapNameFromUsemap();
    void imagePathFromSource_data();
    void imagePathFromSource();
    void mapFileAreas_data();
    void mapFileAreas();
    void mapFileHeaderValues();
    void htmlAreas_data();
    void htmlAreas();
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
    void needleFindsEveryCase();
};

void TestImport::ruleA_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quote and blank end it") << R"x(<area shape="rect" alt="Start Seite" coords="1,2")x"
                                            << "alt="
                                            << "Start Seite";
    QTest::newRow("last value ends at quote") << R"x(<area shape="rect" href="x.html")x"
                                              << "href="
                                              << "x.html";
    QTest::newRow("upper-case key") << R"x(<AREA SHAPE="RECT" HREF="A.HTML" )x"
                                    << "href="
                                    << "A.HTML";
    QTest::newRow("empty alt") << R"x(<area shape="rect" alt="" coords="1,2")x"
                               << "alt="
                               << "";
    QTest::newRow("missing alt") << R"x(<area shape="rect" coords="1,2")x"
                                 << "alt="
                                 << "";
    QTest::newRow("missing href") << R"x(<area shape="rect" coords="1,2")x"
                                  << "href="
                                  << "";
    QTest::newRow("blanks trimmed") << R"x(<area shape="  circle  " coords="1")x"
                                    << "shape="
                                    << "circle";
    QTest::newRow("no closing quote runs to the end") << R"x(<area shape="rect" href="abc)x"
                                                      << "href="
                                                      << "abc";
    QTest::newRow("key at the very end") << R"x(<area shape=)x"
                                         << "shape="
                                         << "";
    QTest::newRow("first occurrence counts") << R"x(<area shape="rect" href="a" href="b" )x"
                                             << "href="
                                             << "a";
}

void TestImport::ruleA()
{
    QFETCH(QString, element);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(import::ruleA(element, key), expected);
}

void TestImport::ruleB_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing target") << R"x(<area shape="rect" href="a" )x"
                                    << "target="
                                    << "*";
    QTest::newRow("empty target") << R"x(<area shape="rect" target="" href="a" )x"
                                  << "target="
                                  << "";
    QTest::newRow("target") << R"x(<area target="_blank" )x"
                            << "target="
                            << "_blank";
    QTest::newRow("handler with blanks") << R"x(<area onClick="alert('a b'); return x" )x"
                                         << "onclick="
                                         << "alert('a b'); return x";
    QTest::newRow("mixed-case key") << R"x(<area ONMOUSEOUT="b()")x"
                                    << "onmouseout="
                                    << "b()";
    QTest::newRow("no closing quote") << R"x(<area onclick="go()  )x"
                                      << "onclick="
                                      << "go()";
    QTest::newRow("key at the end") << R"x(<area target=)x"
                                    << "target="
                                    << "";
}

void TestImport::ruleB()
{
    QFETCH(QString, element);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(import::ruleB(element, key), expected);
}

void TestImport::mapNameFromUsemap_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("generated") << R"x(<img src="x.png" alt="" usemap="#plan" style="x" />)x"
                               << "plan";
    QTest::newRow("ended by quote") << R"x(<img usemap="#plan">)x"
                                    << "plan";
    QTest::newRow("blank in name cuts it") << R"x(<img usemap="#Mein Plan" />)x"
                                           << "Mein";
    QTest::newRow("upper-case key keeps the value") << R"x(<IMG USEMAP="#Plan" >)x"
                                                    << "Plan";
    QTest::newRow("no usemap") << R"x(<img src="x.png">)x"
                               << "";
    QTest::newRow("key at the end") << R"x(<img usemap=)x"
                                    << "";
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
    QTest::newRow("win generated") << "file:///C:/Web%20Bilder/3D Häuser.jpg" << win << "c:\\web bilder\\3d häuser.jpg";
    QTest::newRow("win bar drive") << "c|/x/Plan.GIF" << win << "c:\\x\\plan.gif";
    QTest::newRow("win relative") << "bilder/Plan.jpg" << win << "bilder\\plan.jpg";
    QTest::newRow("unix absolute") << "file:///home/a%20b/X.png" << posix << "/home/a b/x.png";
    QTest::newRow("unix relative") << "Bilder/Plan.JPG" << posix << "bilder/plan.jpg";
    QTest::newRow("unix keeps drive rule") << "file:///C:/x/y.png" << posix << "c:\\x\\y.png";
    QTest::newRow("unix bar drive") << "c|/x" << posix << "c:\\x";
    QTest::newRow("quotes and blanks") << "  \"plan.png\" " << posix << "plan.png";
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
    QTest::newRow("generated rect") << "<!--\r\n<map >\r\n<area shape=\"rect\" alt=\"A\" coords=\"1,2,3,4\" "
                                       "href=\"a.html\" title=\"A\"  />\r\n</map>"
                                    << QStringList{rect2 + "1,2,3,4|a.html|A|*|*|*|*"};
    QTest::newRow("capitals found, values keep case")
        << " <MAP NAME=\"X\"><AREA SHAPE=\"RECT\" COORDS=\"1,2,3,4\" HREF=\"A.HTML\" ALT=\"Gross\" "
           "TARGET=\"_TOP\" "
           "ONMOUSEOUT=\"Out()\" />"
        << QStringList{pad("  ", "RECT") + "1,2,3,4|A.HTML|Gross|_TOP|*|Out()|*"};
    QTest::newRow("empty target and alt, missing alt")
        << " <map ><area shape=\"circle\" coords=\"5,5,5\" href=\"c\" alt=\"\" target=\"\" />"
           "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"d\" />"
        << QStringList{pad("  ", "circle") + "5,5,5|c|||*|*|*", rect2 + "1,1,2,2|d||*|*|*|*"};
    QTest::newRow("default skipped in any case")
        << " <map ><area shape=\"DEFAULT\" nohref=\"nohref\" /><area shape=\"default\" />"
           "<area shape=\"poly\" coords=\"1,2\" href=\"p\" alt=\"P\" />"
        << QStringList{pad("  ", "poly") + "1,2|p|P|*|*|*|*"};
    QTest::newRow("polygon kept in map files") << " <map ><area shape=\"polygon\" coords=\"1,2,3,4\" href=\"p\" />"
                                               << QStringList{pad("  ", "polygon") + "1,2,3,4|p||*|*|*|*"};
    QTest::newRow("element ended by > runs to the next />")
        << " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" ><area shape=\"circle\" "
           "coords=\"3,3,3\" "
           "href=\"b\" alt=\"B\" target=\"t\"/>"
        << QStringList{rect2 + "1,1,2,2|a|B|t|*|*|*"};
    QTest::newRow("element ended by > when no /> follows")
        << " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" alt=\"A\"></map>"
        << QStringList{rect2 + "1,1,2,2|a|A|*|*|*|*"};
    QTest::newRow("area at the first character is not seen")
        << "<area shape=\"rect\" coords=\"9,9,9,9\" href=\"x\" /> <map >" << QStringList{};
    QTest::newRow("areas outside the map are read")
        << " <map ></map><area shape=\"rect\" coords=\"1,1,2,2\" href=\"o\" />"
        << QStringList{rect2 + "1,1,2,2|o||*|*|*|*"};
    QTest::newRow("truncated element after a good one")
        << " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" /><area shape=\"circle\" coords=\"3,3,3"
        << QStringList{rect2 + "1,1,2,2|a||*|*|*|*"};
    QTest::newRow("truncated element alone") << " <map ><area shape=" << QStringList{};
    QTest::newRow("bar in a value is escaped")
        << " <map ><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a|b\" alt=\"x|y\" onclick=\"f(a||b)\" />"
        << QStringList{rect2 + "1,1,2,2|a&#124;b|x&#124;y|*|*|*|f(a&#124;&#124;b)"};
    QTest::newRow("map without areas") << " <map name=\"x\"></map>" << QStringList{};
}

void TestImport::mapFileAreas()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const MapFileData data = readMapFile(text, PathStyle::Unix);
    QVERIFY(data.hasMap);
    QCOMPARE(data.areas.lines, lines);
}

void TestImport::mapFileHeaderValues()
{
    const QString text =
        savedMapFile({pad(" ", "rect") + "1,2,3,4|a.html|A|*|x()|y()|z()"}, "/home/Anna/Web Bilder/Plan Eins.PNG");
    const MapFileData unixData = readMapFile(text, PathStyle::Unix);
    QCOMPARE(unixData.mapName, QStringLiteral("plan_eins"));
    QCOMPARE(unixData.imagePath, QStringLiteral("/home/anna/web bilder/plan eins.png"));
    // The handlers of the last element read (the default area) are what stays behind.
    QVERIFY(unixData.areas.anyRead);
    QCOMPARE(unixData.areas.last.shape, QStringLiteral("default"));
    QCOMPARE(unixData.areas.last.attributes.onclick, QStringLiteral("*"));

    const MapFileData noMap = readMapFile(QStringLiteral("<img usemap=\"#a\" src=\"b.png\">"), PathStyle::Unix);
    QVERIFY(!noMap.hasMap);
    QCOMPARE(noMap.mapName, QStringLiteral("a"));
    QVERIFY(noMap.areas.lines.isEmpty());
}

void TestImport::htmlAreas_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("POLYGON becomes poly")
        << "<MAP NAME=\"m\"><AREA SHAPE=\"POLYGON\" COORDS=\"1,2,3,4,5,6\" HREF=\"a.html\" ALT=\"A\"></MAP>"
        << QStringList{pad(" ", "poly") + "1,2,3,4,5,6|a.html|A|*|*|*|*"};
    QTest::newRow("POLY stays in capitals") << "<map name=\"m\"><area shape=\"POLY\" coords=\"1,2\" href=\"a\"></map>"
                                            << QStringList{pad(" ", "POLY") + "1,2|a||*|*|*|*"};
    QTest::newRow("Polygon in mixed case") << "<map name=\"m\"><area shape=\"Polygon\" coords=\"1,2\" href=\"a\"></map>"
                                           << QStringList{pad(" ", "poly") + "1,2|a||*|*|*|*"};
    QTest::newRow("html elements ended by >")
        << "<map name=\"m\">\n<area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" alt=\"A\" target=\"_top\">\n"
           "<area shape=\"circle\" coords=\"3,3,3\" href=\"b\" onmouseover=\"hi()\">\n"
           "<area shape=\"default\" href=\"c\">\n</map>"
        << QStringList{pad(" ", "rect") + "1,1,2,2|a|A|_top|*|*|*", pad(" ", "circle") + "3,3,3|b||*|hi()|*|*"};
    QTest::newRow("unclosed last element ends at the map's >")
        << "<map name=\"m\"><area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\"</map>"
        << QStringList{pad(" ", "rect") + "1,1,2,2|a||*|*|*|*"};
}

void TestImport::htmlAreas()
{
    QFETCH(QString, map);
    QFETCH(QStringList, lines);
    QCOMPARE(readMapAreas(map).lines, lines);
}

void TestImport::candidates_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("tags");
    QTest::newRow("capitals lower-cased") << "<p><IMG SRC=\"Plan.JPG\" USEMAP=\"#Plan\"><img src=\"logo.png\"></p>"
                                          << QStringList{"<img src=\"plan.jpg\" usemap=\"#plan\">"};
    QTest::newRow("none carry a map") << "<img src=\"a.png\"><img src=\"b.png\" />" << QStringList{};
    QTest::newRow("two in order") << "<img src=\"a.png\" usemap=\"#a\"/>x<img  src=\"b.png\" usemap=\"#b\">"
                                  << QStringList{"<img src=\"a.png\" usemap=\"#a\"/>",
                                                 "<img  src=\"b.png\" usemap=\"#b\">"};
    QTest::newRow("unclosed tag ends the search") << "<img src=\"a.png\" usemap=\"#a\"><img src=\"b.png\" usemap=\"#b\""
                                                  << QStringList{"<img src=\"a.png\" usemap=\"#a\">"};
    QTest::newRow("tag at the very end") << "<img usemap=\"#a\">" << QStringList{"<img usemap=\"#a\">"};
    QTest::newRow("only <img without blank") << "<imgx usemap=\"#a\">" << QStringList{};
    QTest::newRow("empty page") << "" << QStringList{};
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
    QTest::newRow("blank after usemap") << R"x(<img src="bilder/plan.jpg" usemap="#plan" width="3">)x"
                                        << R"x(Grafik: "plan.jpg",  MapName: "plan")x";
    QTest::newRow("usemap ended by >") << R"x(<img src="file:///c:/x/haus.gif" usemap="#haus">)x"
                                       << R"x(Grafik: "haus.gif",  MapName: "haus")x";
    QTest::newRow("src without closing quote ends at >") << R"x(<img src="a.png usemap="#a" >)x"
                                                         << R"x(Grafik: "a.png usemap=",  MapName: "a")x";
    QTest::newRow("unix url") << R"x(<img src="file:///home/a%20b/x.png" usemap="#x" />)x"
                              << R"x(Grafik: "x.png",  MapName: "x")x";
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
    QTest::addColumn<QString>("mapName");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("map");
    const int found = int(MapLookup::Found);
    QTest::newRow("earlier map merely containing the name wins")
        << "<map name=\"a\"><area href=\"plan.html\"></map>x<map name=\"plan\"></map>"
        << "plan" << found << "<map name=\"a\"><area href=\"plan.html\"></map>";
    QTest::newRow("second map") << "<MAP NAME=\"a\"></MAP><MAP NAME=\"Plan\"></MAP>!"
                                << "plan" << found << "<MAP NAME=\"Plan\"></MAP>";
    QTest::newRow("not found") << "<map name=\"a\"></map><map name=\"b\"></map>"
                               << "plan" << int(MapLookup::NotFound) << "";
    QTest::newRow("no map at all") << "<img usemap=\"#plan\">"
                                   << "plan" << int(MapLookup::NoMapElement) << "";
    QTest::newRow("empty name takes the first") << "<map name=\"a\"></map><map name=\"b\"></map>"
                                                << "" << found << "<map name=\"a\"></map>";
    QTest::newRow("unclosed map runs to the end") << "<map name=\"a\"></map><map name=\"plan\"><area"
                                                  << "plan" << found << "<map name=\"plan\"><area";
    QTest::newRow("unclosed map without the name") << "<map name=\"a\">"
                                                   << "plan" << int(MapLookup::NotFound) << "";
    QTest::newRow("map ends right after </map") << "<map name=\"plan\"></map"
                                                << "plan" << found << "<map name=\"plan\"></map";
}

void TestImport::mapSearch()
{
    QFETCH(QString, page);
    QFETCH(QString, mapName);
    QFETCH(int, outcome);
    QFETCH(QString, map);
    const FoundMap result = findMap(page, mapName);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.text.toString(), map);
}

void TestImport::caseInsensitiveLookup_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("relative");
    QTest::addColumn<QString>("expected"); // relative to the temporary folder; empty when missing
    QTest::newRow("file in other case") << "plan.jpg" << true << "Plan.JPG";
    QTest::newRow("folders in other case") << "web bilder/sub/x.png" << true << "Web Bilder/Sub/X.png";
    QTest::newRow("backslash separators") << "web bilder\\sub\\x.png" << true << "Web Bilder/Sub/X.png";
    QTest::newRow("absolute") << "web bilder/sub/x.png" << false << "Web Bilder/Sub/X.png";
    QTest::newRow("exact spelling wins") << "twin.png" << true << "twin.png";
    QTest::newRow("dot dot") << "web bilder/sub/../../plan.jpg" << true << "Plan.JPG";
    QTest::newRow("missing") << "nothing.png" << true << "";
    QTest::newRow("folder is no file") << "web bilder" << true << "";
    QTest::newRow("empty") << "" << true << "";
}

void TestImport::caseInsensitiveLookup()
{
    QFETCH(QString, path);
    QFETCH(bool, relative);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath("Web Bilder/Sub"));
    writeFile(dir.filePath("Plan.JPG"), "x");
    writeFile(dir.filePath("Web Bilder/Sub/X.png"), "x");
    writeFile(dir.filePath("TWIN.png"), "x");
    writeFile(dir.filePath("twin.png"), "x");
    const QString asked = relative || path.isEmpty() ? path : dir.path().toLower() + "/" + path;
    const QString found = findFileIgnoringCase(asked, dir.path());
    QCOMPARE(found, expected.isEmpty() ? QString() : dir.filePath(expected));
}

void TestImport::fileEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("alt");
    QTest::newRow("utf-8") << QByteArray("<map ><area shape=\"rect\" alt=\"Gr\xC3\xBC\xC3\x9F\x65\" />")
                           << QStringLiteral("Grüße");
    QTest::newRow("windows-1252") << QByteArray("<map ><area shape=\"rect\" alt=\"Gr\xFC\xDF\x65 \x80\" />")
                                  << QStringLiteral("Grüße €");
    QTest::newRow("broken utf-8 is single-byte")
        << QByteArray("<map ><area shape=\"rect\" alt=\"\xC3\xBC\xFC\" />") << QStringLiteral("Ã¼ü");
}

void TestImport::fileEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, alt);
    QTemporaryDir dir;
    writeFile(dir.filePath("x.map"), " " + bytes);
    const MapFileData data = readMapFile(readImportFile(dir.filePath("x.map")), PathStyle::Unix);
    QCOMPARE(data.areas.lines.size(), 1);
    QCOMPARE(entry::attributesOf(data.areas.lines.front()).alt, alt);
    QCOMPARE(readImportFile(dir.filePath("missing.map")), QString());
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

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
