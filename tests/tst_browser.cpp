// A real browser (headless chromium through chromium-driver) on what Korvane
// writes and reads: written maps must hit where their geometry says, and pages
// from the web must import to the areas the browser gives each picture.
#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/MapFileWriter.h"
#include "model/AreaEntry.h"
#include "model/MapCode.h"
#include "support/Files.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPainterPath>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

using namespace korvane;
using korvane::test::writeFile;

namespace {

// A WebDriver session of chromium-driver on a free loopback port.
class Browser {
public:
    // The driver is on this machine: no proxy from the environment may stand between.
    Browser() { m_network.setProxy(QNetworkProxy::NoProxy); }
    ~Browser()
    {
        if (!m_session.isEmpty())
            send("DELETE", "/session/" + m_session);
        m_driver.kill();
        m_driver.waitForFinished();
    }

    // Empty on success, else what is missing or went wrong.
    QString start(const QString& profileFolder)
    {
        const QString driver = QStandardPaths::findExecutable(QStringLiteral("chromedriver"));
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (driver.isEmpty() || chromium.isEmpty())
            return QStringLiteral("chromium and chromedriver are needed (Debian packages chromium and "
                                  "chromium-driver; scripts/bootstrap.sh installs them)");
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            return QStringLiteral("no free loopback port");
        m_base = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        m_driver.start(driver, {QStringLiteral("--port=%1").arg(QUrl(m_base).port())});
        if (!m_driver.waitForStarted())
            return QStringLiteral("chromedriver does not start");
        for (int i = 0; i < 100 && !send("GET", "/status").toObject().value("ready").toBool(); ++i)
            QTest::qWait(100);
        // Root in CI needs --no-sandbox; without the networking flags the closed network refuses connections.
        const QJsonArray args = QJsonArray::fromStringList(
            {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-dev-shm-usage", "--force-device-scale-factor=1", "--window-size=1200,1600",
             "--user-data-dir=" + profileFolder});
        const QJsonObject options{{"binary", chromium}, {"args", args}};
        const QJsonObject caps{{"alwaysMatch", QJsonObject{{"goog:chromeOptions", options}}}};
        const QJsonValue session = send("POST", "/session", QJsonObject{{"capabilities", caps}});
        m_session = session.toObject().value("sessionId").toString();
        return m_session.isEmpty() ? "no browser session: " + QJsonDocument(session.toObject()).toJson() : QString();
    }

    void open(const QString& path)
    {
        send("POST", "/session/" + m_session + "/url",
             {{"url", QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)}});
    }

    // Runs the body of an async function with `args` as `arguments`; its result.
    QJsonValue run(const QString& body, const QJsonArray& args = {})
    {
        const QString script = "const args = arguments; return (async () => {" + body + "})();";
        const QJsonValue result =
            send("POST", "/session/" + m_session + "/execute/sync", {{"script", script}, {"args", args}});
        if (result.toObject().contains("error")) // the checks that follow fail; this says why
            qWarning().noquote() << result.toObject().value("message").toString();
        return result;
    }

private:
    QJsonValue send(const QByteArray& verb, const QString& path, const QJsonObject& body = {})
    {
        QNetworkRequest request(QUrl(m_base + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        const QByteArray data = verb == "GET" || verb == "DELETE" ? QByteArray() : QJsonDocument(body).toJson();
        std::unique_ptr<QNetworkReply> reply(m_network.sendCustomRequest(request, verb, data));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        return QJsonDocument::fromJson(reply->readAll()).object().value("value");
    }

    QProcess m_driver;
    QNetworkAccessManager m_network;
    QString m_base;
    QString m_session;
};

// xmllint with the XHTML DTD (for its named entities); empty when the page is well-formed.
QString xmlProblems(const QString& path)
{
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {"--noout", "--loaddtd", "--nonet", path});
    if (!lint.waitForFinished())
        return QStringLiteral("xmllint is needed (Debian package libxml2-utils)");
    const QString output = QString::fromUtf8(lint.readAllStandardOutput() + lint.readAllStandardError());
    return lint.exitCode() == 0 && output.isEmpty() ? QString()
                                                    : output + " (exit " + QString::number(lint.exitCode()) + ")";
}

bool writePicture(const QString& path, QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return QDir().mkpath(QFileInfo(path).path()) && picture.save(path, "PNG");
}

// One area as the user draws it: geometry and the values typed in the dialog.
struct Drawn {
    QString shape;
    QList<int> coords;
    QString href;
    QString alt;
    QString target = entry::kAbsent;
    QString onclick = entry::kAbsent;

    QString line() const
    {
        QStringList numbers;
        for (int c : coords)
            numbers << QString::number(c);
        const LinkAttributes a{entry::escapeBar(href), entry::escapeBar(alt), target,
                               entry::kAbsent,         entry::kAbsent,        entry::escapeBar(onclick)};
        return entry::makeLine(QStringLiteral(" "), shape, numbers.join(QLatin1Char(',')), a);
    }

    // Whether the point is clearly inside (1) or outside (0), or too near the edge to tell (-1).
    int contains(QPointF p) const
    {
        QPainterPath path;
        if (shape == QLatin1String("rect"))
            path.addRect(QRectF(QPointF(coords[0], coords[1]), QPointF(coords[2], coords[3])));
        else if (shape == QLatin1String("circle"))
            path.addEllipse(QPointF(coords[0], coords[1]), coords[2], coords[2]);
        for (qsizetype i = 0; shape == QLatin1String("poly") && i + 1 < coords.size(); i += 2)
            i == 0 ? path.moveTo(coords[i], coords[i + 1]) : path.lineTo(coords[i], coords[i + 1]);
        const bool inside = path.contains(p);
        for (const QPointF step : {QPointF(1.5, 0), QPointF(-1.5, 0), QPointF(0, 1.5), QPointF(0, -1.5)}) {
            if (path.contains(p + step) != inside)
                return -1;
        }
        return inside;
    }
};

using DrawnList = QList<Drawn>;

// The areas of the map a picture is associated with, found by hitting the
// picture all over; each as shape (normalised as the browser reads it),
// coords, href, alt, target, onmouseover, onmouseout, onclick.
const QString kAssociatedAreas = QStringLiteral(R"(
    const img = args[0] === null ? document.images[0] : [...document.images].filter(i => i.hasAttribute('usemap'))[args[0]];
    for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(done => setTimeout(done, 10));
    img.scrollIntoView();
    const box = img.getBoundingClientRect();
    let map = null;
    for (let y = 1.5; y < box.height && !map; y += 3)
        for (let x = 1.5; x < box.width && !map; x += 3) {
            const hit = document.elementFromPoint(box.left + x, box.top + y);
            if (hit && hit.tagName === 'AREA') map = hit.closest('map');
        }
    const blanks = v => v === null ? null : v.replace(/^ +| +$/g, '');
    const shapeOf = v => { v = (v || '').trim().toLowerCase();
        return v === 'polygon' ? 'poly' : v === 'circ' ? 'circle' : ['circle', 'poly', 'default'].includes(v) ? v : 'rect'; };
    // What the fields have no place for: a title other than the alt text, and what browsers and
    // assistive technology read besides.
    const own = ['shape', 'coords', 'href', 'alt', 'target', 'onmouseover', 'onmouseout', 'onclick', 'nohref'];
    const known = ['title', 'id', 'class', 'style', 'role', 'tabindex', 'accesskey', 'rel', 'hreflang', 'download',
                   'referrerpolicy'];
    const others = a => [...a.attributes].map(t => [t.name, t.value]).filter(([n, v]) => !own.includes(n) &&
        (known.includes(n) || /^(aria-|data-|on)/.test(n)) && !(n === 'title' && blanks(v) === blanks(a.getAttribute('alt') ?? '')))
        .map(([n, v]) => n + '=' + v).sort().join(' ');
    // A default area counts when it is a link: the code's own closing default area is none.
    const areas = map ? [...map.querySelectorAll('area')].filter(a => shapeOf(a.getAttribute('shape')) !== 'default' ||
        a.hasAttribute('href')) : [];
    const hitAt = ([fx, fy]) => { const hit = document.elementFromPoint(box.left + fx * box.width, box.top + fy * box.height);
        if (!hit || hit.tagName !== 'AREA' || (shapeOf(hit.getAttribute('shape')) === 'default' && !hit.hasAttribute('href')))
            return null; // the picture itself: no area, or a default area that is no link
        return hit.getAttribute('href') ?? '(kein Verweis)'; };
    const fractions = [];
    for (let fy = 0.013; fy < 1; fy += 0.041) for (let fx = 0.017; fx < 1; fx += 0.037) fractions.push([fx, fy]);
    return {src: decodeURIComponent(new URL(img.src).pathname), loaded: img.naturalWidth, hits: fractions.map(hitAt),
            areas: areas.map(a => [shapeOf(a.getAttribute('shape')),
                shapeOf(a.getAttribute('shape')) === 'default' ? '' : blanks(a.getAttribute('coords')) ?? '',
                blanks(a.getAttribute('href')), blanks(a.getAttribute('alt')) ?? '',
                ...['target', 'onmouseover', 'onmouseout', 'onclick'].map(n => blanks(a.getAttribute(n))), others(a)])};
)");

// The sample points, what the one picture's map holds at each, and the page's readable copy.
const QString kWrittenPage = QStringLiteral(R"(
    const img = document.images[0];
    for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(done => setTimeout(done, 10));
    const box = img.getBoundingClientRect();
    const areas = [...document.querySelectorAll('area')];
    return {loaded: img.naturalWidth, copy: document.querySelector('pre').textContent,
            hits: args[0].map(([x, y]) => areas.indexOf(document.elementFromPoint(box.left + x, box.top + y))),
            values: areas.map(a => [a.getAttribute('href'), a.getAttribute('alt'), a.getAttribute('target'),
                                    a.getAttribute('onClick')])};
)");

QString valueOrStar(const QJsonValue& v)
{
    return v.isNull() ? entry::kAbsent : v.toString();
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writtenMapsWork_data();
    void writtenMapsWork();
    void importedPagesMatchTheBrowser_data();
    void importedPagesMatchTheBrowser();

private:
    QTemporaryDir m_profile;
    Browser m_browser;
};

void TestBrowser::initTestCase()
{
    QVERIFY(m_profile.isValid());
    const QString problem = m_browser.start(m_profile.path());
    if (!problem.isEmpty())
        QFAIL(qPrintable(problem));
}

void TestBrowser::writtenMapsWork_data()
{
    QTest::addColumn<QString>("picture"); // relative to a temporary folder
    QTest::addColumn<DrawnList>("areas");
    // Overlaps: the first area in list order wins, as in the written code.
    QTest::newRow("shapes, a concave polygon, overlaps")
        << "Web Bilder/Grün Plan #2.png"
        << DrawnList{{"rect", {10, 10, 80, 60}, "a.html", "A"},
                     {"circle", {140, 40, 30}, "b.html", "B"},
                     {"poly", {20, 80, 100, 80, 100, 145, 80, 145, 80, 100, 40, 100, 40, 145, 20, 145}, "u.html", "U"},
                     {"rect", {120, 90, 190, 140}, "d.html", "D"},
                     {"circle", {150, 110, 25}, "e.html", "E"},
                     {"rect", {60, 30, 130, 70}, "f.html", "F"}};
    QTest::newRow("values with &, quotes, umlauts, <, |")
        << "Web Bilder/Grün Plan #2.png"
        << DrawnList{{"rect", {10, 10, 90, 70}, "suche.html?q=a&lang=de", "Sag \"Hallo\" & Tschüß"},
                     {"rect", {100, 10, 190, 70}, "seite.html#oben", "Preis < 5 €", "_blank", "if (a && b) go(\"x\")"},
                     {"circle", {100, 110, 30}, "a|b.html", "Wert 'eins' | zwei"}};
    QTest::newRow("picture name with ?, % and &")
        << "Bilder/Haus?v=1 100% %41 & Co.png" << DrawnList{{"rect", {20, 20, 180, 130}, "haus.html", "Haus"}};
}

void TestBrowser::writtenMapsWork()
{
    QFETCH(QString, picture);
    QFETCH(DrawnList, areas);
    QTemporaryDir dir;
    const QSize size(200, 150);
    QVERIFY(writePicture(dir.filePath(picture), size));
    QStringList lines;
    for (const Drawn& d : areas)
        lines << d.line();
    const QString code = map_daten(lines, dir.filePath(picture), QString(), size);

    // Sample points off every edge; expected: the first area holding it, else the default area.
    QJsonArray points;
    QList<int> expected;
    for (double y = 2.5; y < size.height(); y += 4) {
        for (double x = 2.5; x < size.width(); x += 4) {
            int hit = int(areas.size());
            bool clear = true;
            for (qsizetype i = areas.size() - 1; i >= 0; --i) {
                const int inside = areas[i].contains({x, y});
                clear = clear && inside >= 0;
                if (inside == 1)
                    hit = int(i);
            }
            if (clear) {
                points.append(QJsonArray{x, y});
                expected << hit;
            }
        }
    }

    for (const QString& name : {QStringLiteral("seite.html"), QStringLiteral("seite.xhtml")}) {
        const QString page = dir.filePath(name);
        QVERIFY(writeFile(page, testPageBytes(code)));
        QCOMPARE(xmlProblems(page), QString());
        m_browser.open(page);
        const QJsonObject seen = m_browser.run(kWrittenPage, QJsonArray{QJsonValue(points)}).toObject();
        QCOMPARE(seen.value("loaded").toInt(), size.width());
        QCOMPARE(seen.value("copy").toString(), QString(code).replace("\r\n", "\n"));
        QList<int> hits;
        for (const QJsonValue& v : seen.value("hits").toArray())
            hits << v.toInt();
        QCOMPARE(hits, expected);
        const QJsonArray values = seen.value("values").toArray();
        QCOMPARE(values.size(), areas.size() + 1);
        for (qsizetype i = 0; i < areas.size(); ++i) {
            const QJsonArray v = values[i].toArray();
            QCOMPARE(QStringList({v[0].toString(), v[1].toString(), valueOrStar(v[2]), valueOrStar(v[3])}),
                     QStringList({areas[i].href, areas[i].alt, areas[i].target, areas[i].onclick}));
        }
    }
}

void TestBrowser::importedPagesMatchTheBrowser_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("pictures"); // each 160 x 120
    QTest::newRow("online generator: shape last")
        << QByteArray("<!DOCTYPE html><html><body><img src=\"haus.png\" usemap=\"#image-map\">\n"
                      "<map name=\"image-map\">\n"
                      "    <area target=\"\" alt=\"Haus\" title=\"Haus\" href=\"haus.html\" coords=\"10,10,70,50\" "
                      "shape=\"rect\">\n"
                      "    <area target=\"_blank\" alt=\"Baum\" title=\"Baum\" href=\"baum.html\" coords=\"110,40,30\" "
                      "shape=\"circle\">\n"
                      "    <area alt=\"Weg\" href=\"weg.html\" coords=\"10,70,80,70,80,110,60,110,60,90,10,90\" "
                      "shape=\"poly\">\n</map></body></html>")
        << QStringList{"haus.png"};
    // A page that gave one area, whose alt was "Produkt B>\n <area shape=circle".
    QTest::newRow("> before />")
        << QByteArray("<html><body><img src=\"produkte.png\" usemap=\"#produkte\">\n<map name=\"produkte\">\n"
                      " <area shape=\"rect\" coords=\"0,0,50,50\" href=\"a.html\">\n"
                      " <area shape=\"rect\" coords=\"50,0,100,50\" href=\"b.html\" alt=\"Produkt B\">\n"
                      " <area shape=\"circle\" coords=\"25,75,20\" href=\"c.html\" alt=\"Produkt C\">\n"
                      " <area shape=\"poly\" coords=\"60,60,90,60,75,90\" href=\"d.html\" alt=\"Produkt D\" />\n"
                      "</map></body></html>")
        << QStringList{"produkte.png"};
    // Read by the old rules as the shape "ECT COORDS=10,20,110,80 HREF=haus1.html" and the picture
    // "lan.png usemap=#karte width=160 height=120 alt='plan'>".
    QTest::newRow("unquoted and single-quoted, upper case")
        << QByteArray("<HTML><BODY><IMG SRC=Plan.PNG USEMAP=#karte WIDTH=160 HEIGHT=120 ALT='Plan'>\n"
                      "<MAP NAME=karte><AREA SHAPE=RECT COORDS=10,20,110,80 HREF=haus1.html ALT='Haus 1'>\n"
                      "<AREA SHAPE='CIRCLE' COORDS='130,90,20' HREF='haus2.html' TARGET=_top "
                      "ONMOUSEOVER='zeige(\"2\")'></MAP></BODY></HTML>")
        << QStringList{"Plan.PNG"};
    // Skipped by the old rules, or read as the coords "10,20,110,80\n href=halle.html".
    QTest::newRow("line breaks in tags")
        << QByteArray("<html><body><img\nsrc=\"halle.png\"\nusemap=\"#halle\">\n<map\nname=\"halle\">\n<area\n"
                      "shape=\"rect\" coords=\"10,20,110,80\"\n href=\"halle.html\"\talt=\"Halle\">\n"
                      "<area shape=\"circle\"\r\n coords=\"130,100,15\"\r\n href=\"tor.html\" /></map></body></html>")
        << QStringList{"halle.png"};
    // Read by the old rules as Map2 for either picture.
    QTest::newRow("Map2 before Map")
        << QByteArray("<html><body><img src=\"eins.png\" usemap=\"#Map\"><img src=\"zwei.png\" usemap=\"#Map2\">\n"
                      "<map name=\"Map2\"><area shape=\"rect\" coords=\"0,0,80,60\" href=\"zwei.html\"></map>\n"
                      "<map name=\"Map\"><area shape=\"circle\" coords=\"80,60,40\" href=\"eins.html\"></map>"
                      "</body></html>")
        << QStringList{"eins.png", "zwei.png"};
    QTest::newRow("old map and picture in comments")
        << QByteArray("<html><body><!-- <img src=\"alt.png\" usemap=\"#plan\"> -->\n"
                      "<img src=\"neu.png\" usemap=\"#plan\">\n<!-- alte Version:\n<map name=\"plan\">"
                      "<area shape=\"rect\" coords=\"0,0,20,20\" href=\"alt.html\"></map> -->\n"
                      "<map name=\"plan\"><area shape=\"rect\" coords=\"30,30,130,90\" href=\"neu.html\" "
                      "alt=\"Neu\"></map></body></html>")
        << QStringList{"alt.png", "neu.png"};
    QTest::newRow("utf-16 with its mark")
        << QByteArray("\xFF\xFE") +
               QStringEncoder(QStringEncoder::Utf16LE)
                   .encode(QStringLiteral(
                       "<html><body><img src=\"grün.png\" usemap=\"#grün\"><map name=\"grün\">"
                       "<area shape=\"rect\" coords=\"10,10,150,110\" href=\"wiese.html\" alt=\"Grüne Wiese\">"
                       "</map></body></html>"))
        << QStringList{"grün.png"};
    QTest::newRow("windows-1252") << QByteArray("<html><head><meta charset=\"windows-1252\"></head><body>"
                                                "<img src=\"stadt.png\" usemap=\"#stadt\"><map name=\"stadt\">"
                                                "<area shape=\"rect\" coords=\"10,10,80,60\" href=\"m\xFC"
                                                "nchen.html\" alt=\"M\xFC"
                                                "nchen \x80 Stra\xDF"
                                                "e\"></map></body></html>")
                                  << QStringList{"stadt.png"};
    QTest::newRow("utf-8, references, raw &, several maps and pictures")
        << QByteArray("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>\n"
                      "<p><img src=\"bilder/a.png\" usemap=\"#a\" alt=\"A\"> <IMG SRC=\"bilder/b.png\" "
                      "USEMAP=\"#B\"></p>\n<img src=\"c.png\" usemap=\"#c\">\n"
                      "<MAP NAME=\"c\"><AREA SHAPE=\"POLYGON\" COORDS=\"10,10,150,10,80,110\" HREF=\"c.html\" "
                      "ALT=\"Caf&eacute; &amp; Bar\"></MAP>\n"
                      "<map name=\"B\"><area shape=\"rect\" coords=\"5,5,60,60\" href=\"suche.html?q=1&lang=de\" "
                      "alt=\"Gr\xC3\xBC\xC3\x9F\x65 \xE2\x80\x9C"
                      "drei\xE2\x80\x9D\" onclick=\"go('b') && x()\"></map>\n"
                      "<map name=\"a\"><area shape=\"circle\" coords=\"50,50,40\" href=\"a.html\" alt='\"A\"'>"
                      "<area shape=\"default\" href=\"rest.html\"></map></body></html>")
        << QStringList{"bilder/a.png", "bilder/b.png", "c.png"};
    QTest::newRow("exact map name before one in other letter case")
        << QByteArray("<html><body><img src=\"plan.png\" usemap=\"#Lageplan\">\n"
                      "<map name=\"lageplan\"><area shape=\"rect\" coords=\"0,0,80,60\" href=\"klein.html\" "
                      "alt=\"Klein\"></map>\n<map name=\"Lageplan\"><area shape=\"circle\" coords=\"80,60,40\" "
                      "href=\"gross.html\" alt=\"Gross\"></map></body></html>")
        << QStringList{"plan.png"};
    QTest::newRow("maps in template and noscript are none")
        << QByteArray("<html><body><img src=\"plan.png\" usemap=\"#plan\">\n"
                      "<template><map name=\"plan\"><area shape=\"rect\" coords=\"0,0,160,120\" href=\"t.html\" "
                      "alt=\"T\"></map></template>\n<noscript><map name=\"plan\"><area shape=\"rect\" "
                      "coords=\"0,0,160,120\" href=\"n.html\" alt=\"N\"></map></noscript>\n"
                      "<map name=\"plan\"><area shape=\"rect\" coords=\"20,20,100,90\" href=\"echt.html\" "
                      "alt=\"Echt\"></map></body></html>")
        << QStringList{"plan.png"};
    QTest::newRow("default area with a link")
        << QByteArray("<html><head><meta charset=\"utf-8\"></head><body><img src=\"plan.png\" usemap=\"#plan\">"
                      "<map name=\"plan\"><area shape=\"default\" href=\"rest.html\" alt=\"Übrige Fläche\" target=\"_top\">"
                      "<area shape=\"rect\" coords=\"10,10,70,50\" href=\"haus.html\" alt=\"Haus\"></map>"
                      "</body></html>")
        << QStringList{"plan.png"};
    QTest::newRow("no href and nohref are no link")
        << QByteArray("<html><body><img src=\"plan.png\" usemap=\"#plan\"><map name=\"plan\">"
                      "<area shape=\"rect\" coords=\"0,0,80,60\" alt=\"Sperrgebiet\">"
                      "<area shape=\"circle\" coords=\"120,90,25\" nohref alt=\"See\">"
                      "<area shape=\"rect\" coords=\"0,60,160,120\" href=\"wald.html\" alt=\"Wald\"></map>"
                      "</body></html>")
        << QStringList{"plan.png"};
    QTest::newRow("attributes without a field")
        << QByteArray("<html><body><img src=\"plan.png\" usemap=\"#plan\"><map name=\"plan\">"
                      "<area shape=\"rect\" coords=\"0,0,80,60\" href=\"a.html\" alt=\"A\" title=\"Zur Seite A\" "
                      "aria-label=\"Seite A\" aria-describedby=\"hinweis\" role=\"link\" id=\"a1\" class=\"x 'y'\" "
                      "style=\"outline: 2px solid red\" tabindex=\"0\" accesskey=\"a\" rel=\"next\" hreflang=\"de\" "
                      "download referrerpolicy=\"no-referrer\" data-nr=\"1 &amp; 2\" onfocus=\"f(&quot;a&quot;)\">"
                      "<area shape=\"circle\" coords=\"120,90,25\" href=\"b.html\" alt=\"B\" title=\"B\" "
                      "onkeydown='k(\"b\")'></map></body></html>")
        << QStringList{"plan.png"};
    QTest::newRow("picture shown at twice its size")
        << QByteArray("<html><body><img src=\"plan.png\" usemap=\"#plan\" width=\"320\" height=\"240\">"
                      "<map name=\"plan\"><area shape=\"rect\" coords=\"20,20,160,120\" href=\"a.html\" alt=\"A\">"
                      "<area shape=\"circle\" coords=\"240,160,60\" href=\"b.html\" alt=\"B\">"
                      "<area shape=\"poly\" coords=\"20,140,140,140,140,220,100,220,100,180,60,180,60,220,20,220\" "
                      "href=\"c.html\" alt=\"C\"></map></body></html>")
        << QStringList{"plan.png"};
}

void TestBrowser::importedPagesMatchTheBrowser()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, pictures);
    QTemporaryDir dir;
    const QSize size(160, 120);
    for (const QString& picture : pictures)
        QVERIFY(writePicture(dir.filePath(picture), size));
    const QString pagePath = dir.filePath("seite.html");
    QVERIFY(writeFile(pagePath, page));

    const QString text = import::readImportFile(pagePath);
    const QStringList candidates = import::imgCandidates(text);
    m_browser.open(pagePath);
    const int pictureCount =
        m_browser.run("return [...document.images].filter(i => i.hasAttribute('usemap')).length;").toInt();
    QCOMPARE(candidates.size(), pictureCount);
    for (int i = 0; i < pictureCount; ++i) {
        m_browser.open(pagePath);
        const QJsonObject original = m_browser.run(kAssociatedAreas, {i}).toObject();
        QCOMPARE(original.value("loaded").toInt(), size.width());
        QVERIFY(!original.value("areas").toArray().isEmpty());

        // The picture and the map Korvane imports, written again and read by the browser.
        const import::ChosenImage chosen = import::readChosenTag(candidates[i]);
        const QString picture = findFileIgnoringCase(chosen.imagePath, dir.path());
        QCOMPARE(picture, original.value("src").toString());
        const import::FoundMap map = import::findMap(text, import::readPageMaps(text).usemapNames[i]);
        QCOMPARE(int(map.outcome), int(import::MapLookup::Found));
        QStringList lines = import::readMapAreas(map.text).lines;
        // A picture shown at another size: its areas scaled to the picture, as the import offers.
        const QSize shown = import::shownSize(chosen.width, chosen.height, size);
        for (QString& line : lines)
            line = entry::scaledLine(line, double(size.width()) / shown.width(), double(size.height()) / shown.height());
        const QString written = dir.filePath(QStringLiteral("neu%1.html").arg(i));
        QVERIFY(writeFile(written, testPageBytes(map_daten(lines, picture, chosen.mapName, size))));
        QCOMPARE(xmlProblems(written), QString());
        m_browser.open(written);
        const QJsonObject rewritten = m_browser.run(kAssociatedAreas, {QJsonValue()}).toObject();
        QCOMPARE(rewritten.value("hits").toArray(), original.value("hits").toArray());
        QJsonArray expected = original.value("areas").toArray();
        QJsonArray seen = rewritten.value("areas").toArray();
        for (qsizetype a = 0; shown != size && a < expected.size() && a < seen.size(); ++a) {
            QJsonArray e = expected[a].toArray(), r = seen[a].toArray();
            e.removeAt(1); // the coordinates differ by the scale
            r.removeAt(1);
            expected[a] = e;
            seen[a] = r;
        }
        QCOMPARE(seen, expected);
    }
}

QTEST_GUILESS_MAIN(TestBrowser)
#include "tst_browser.moc"
