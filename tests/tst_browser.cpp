// A real browser (headless chromium through chromium-driver) on what Korvane
// writes and reads: written maps must hit where their geometry says, and pages
// from the web must import to the areas the browser gives each picture.
#include "canvas/AreaGeometry.h"
#include "io/HtmlImport.h"
#include "io/ImportFile.h"
#include "io/ImagePathLookup.h"
#include "io/MapFileWriter.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/ExtraAttributes.h"
#include "model/MapCode.h"
#include "model/Highlight.h"
#include "model/ResponsiveCode.h"
#include "picture/OutlineTracer.h"
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
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cmath>
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
                                  "chromium-driver; scripts/bootstrap.sh --tests installs them)");
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
        // Headless chromium has no pointer that hovers; a desktop with a mouse has one.
        const QJsonArray args = QJsonArray::fromStringList(
            {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-dev-shm-usage", "--force-device-scale-factor=1", "--window-size=1200,1600",
             "--blink-settings=primaryHoverType=2,availableHoverTypes=2,primaryPointerType=4,availablePointerTypes=4",
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

    // The page's viewport in CSS pixels, at one device pixel per CSS pixel.
    void setViewport(int width, int height)
    {
        const QJsonObject params{{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}};
        send("POST", "/session/" + m_session + "/goog/cdp/execute",
             {{"cmd", "Emulation.setDeviceMetricsOverride"}, {"params", params}});
    }

    // One press of a key, as the keyboard sends it to the focused element.
    void press(QChar key)
    {
        const QJsonArray keys{QJsonObject{{"type", "keyDown"}, {"value", QString(key)}},
                              QJsonObject{{"type", "keyUp"}, {"value", QString(key)}}};
        const QJsonObject keyboard{{"type", "key"}, {"id", "tastatur"}, {"actions", keys}};
        send("POST", "/session/" + m_session + "/actions", {{"actions", QJsonArray{keyboard}}});
    }

    // The mouse moved to a point of the viewport (CSS pixels), as a user moves it.
    void hover(QPointF at)
    {
        const QJsonArray moves{QJsonObject{{"type", "pointerMove"}, {"duration", 0}, {"origin", "viewport"},
                                           {"x", qRound(at.x())}, {"y", qRound(at.y())}}};
        const QJsonObject mouse{{"type", "pointer"}, {"id", "maus"}, {"parameters", QJsonObject{{"pointerType", "mouse"}}},
                                {"actions", moves}};
        send("POST", "/session/" + m_session + "/actions", {{"actions", QJsonArray{mouse}}});
    }

    // What the viewport shows.
    QImage screenshot()
    {
        const QByteArray png = QByteArray::fromBase64(send("GET", "/session/" + m_session + "/screenshot").toString().toLatin1());
        return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
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
    QString title; // as an imported area keeps it; empty: none

    QString line() const
    {
        QStringList numbers;
        for (int c : coords)
            numbers << QString::number(c);
        const LinkAttributes a{entry::escapeBar(href), entry::escapeBar(alt), target,
                               entry::kAbsent,         entry::kAbsent,        entry::escapeBar(onclick)};
        const QString line = entry::makeLine(QStringLiteral(" "), shape, numbers.join(QLatin1Char(',')), a);
        return title.isEmpty() ? line : extra::withAttributes(line, {{QStringLiteral("title"), title}});
    }

    // Whether the point is clearly inside (1) or outside (0), or too near the edge to tell (-1):
    // nearer than `margin` (per axis, in picture pixels) in one of eight directions.
    int contains(QPointF p, QPointF margin = {1.5, 1.5}) const
    {
        const QPainterPath path = outline();
        const bool inside = path.contains(p);
        for (int k = 0; k < 8; ++k) {
            const double angle = k * M_PI / 4;
            if (path.contains(p + QPointF(std::cos(angle) * margin.x(), std::sin(angle) * margin.y())) != inside)
                return -1;
        }
        return inside;
    }

    // The shape as the classic map reads it: a polygon by the even-odd rule.
    QPainterPath outline() const
    {
        QPainterPath path;
        if (shape == QLatin1String("rect"))
            path.addRect(QRectF(QPointF(coords[0], coords[1]), QPointF(coords[2], coords[3])));
        else if (shape == QLatin1String("circle"))
            path.addEllipse(QPointF(coords[0], coords[1]), coords[2], coords[2]);
        for (qsizetype i = 0; shape == QLatin1String("poly") && i + 1 < coords.size(); i += 2)
            i == 0 ? path.moveTo(coords[i], coords[i + 1]) : path.lineTo(coords[i], coords[i + 1]);
        path.closeSubpath();
        return path;
    }
};

using DrawnList = QList<Drawn>;

// Rectangles, circles, a concave polygon, overlaps, on a picture of 200 x 150.
DrawnList overlappingShapes()
{
    return {{"rect", {10, 10, 80, 60}, "a.html", "A"},
            {"circle", {140, 40, 30}, "b.html", "B"},
            {"poly", {20, 80, 100, 80, 100, 145, 80, 145, 80, 100, 40, 100, 40, 145, 20, 145}, "u.html", "U"},
            {"rect", {120, 90, 190, 140}, "d.html", "D"},
            {"circle", {150, 110, 25}, "e.html", "E"},
            {"rect", {60, 30, 130, 70}, "f.html", "F"}};
}

QStringList linesOf(const DrawnList& areas)
{
    QStringList lines;
    for (const Drawn& d : areas)
        lines << d.line();
    return lines;
}

// Where the picture lies in a box of another shape, as object-fit places it.
struct FittedPicture {
    QSizeF box;
    QSizeF picture;
    FitMode fit;

    QPointF scale() const // CSS pixels per picture pixel
    {
        const double sx = box.width() / picture.width();
        const double sy = box.height() / picture.height();
        if (fit == FitMode::Fill)
            return {sx, sy};
        const double s = fit == FitMode::Contain ? std::min(sx, sy) : std::max(sx, sy);
        return {s, s};
    }
    QPointF offset() const
    {
        const QPointF s = scale();
        return {(box.width() - picture.width() * s.x()) / 2, (box.height() - picture.height() * s.y()) / 2};
    }
    QPointF toPicture(QPointF p) const
    {
        const QPointF s = scale();
        const QPointF o = offset();
        return {(p.x() - o.x()) / s.x(), (p.y() - o.y()) / s.y()};
    }
    QPointF toBox(QPointF q) const
    {
        const QPointF s = scale();
        return QPointF(q.x() * s.x(), q.y() * s.y()) + offset();
    }
};

// Points `distance` CSS pixels to both sides of every edge of the shape, in box pixels.
QList<QPointF> besideEdges(const Drawn& d, const FittedPicture& fitted, double distance)
{
    QList<QPointF> points;
    const auto besideSegment = [&](QPointF a, QPointF b) {
        const QPointF from = fitted.toBox(a), to = fitted.toBox(b);
        const QPointF along = to - from;
        const double length = std::hypot(along.x(), along.y());
        if (length < 1e-9)
            return;
        const QPointF normal(-along.y() / length * distance, along.x() / length * distance);
        for (const double t : {0.2, 0.5, 0.8})
            points << from + along * t + normal << from + along * t - normal;
    };
    const QList<int>& c = d.coords;
    if (d.shape == QLatin1String("circle")) {
        for (int k = 0; k < 24; ++k) {
            const double angle = k * M_PI / 12;
            const QPointF at = fitted.toBox(QPointF(c[0] + c[2] * std::cos(angle), c[1] + c[2] * std::sin(angle)));
            const QPointF out = at - fitted.toBox(QPointF(c[0], c[1]));
            const double length = std::hypot(out.x(), out.y());
            points << at + out / length * distance << at - out / length * distance;
        }
        return points;
    }
    QList<QPointF> corners;
    if (d.shape == QLatin1String("rect"))
        corners = {QPointF(c[0], c[1]), QPointF(c[2], c[1]), QPointF(c[2], c[3]), QPointF(c[0], c[3])};
    for (qsizetype i = 0; d.shape == QLatin1String("poly") && i + 1 < c.size(); i += 2)
        corners << QPointF(c[i], c[i + 1]);
    for (qsizetype i = 0; i < corners.size(); ++i)
        besideSegment(corners[i], corners[(i + 1) % corners.size()]);
    return points;
}

// Sample points all over the box and beside every edge, each with the area a
// browser must give it (-1: the picture itself, no area); points nearer than
// 2 CSS pixels to an edge of an area, the picture or the box are left out.
struct Samples {
    QJsonArray points;
    QList<int> expected;
};

Samples samplesFor(const DrawnList& areas, const FittedPicture& fitted)
{
    constexpr double kClear = 2.2; // eight directions this far leave at least 2 px to any straight edge
    QList<QPointF> candidates;
    const double step = fitted.box.width() / 90;
    for (double y = step / 2; y < fitted.box.height(); y += step)
        for (double x = step / 2; x < fitted.box.width(); x += step)
            candidates << QPointF(x, y);
    for (const Drawn& d : areas)
        candidates << besideEdges(d, fitted, 2.5);
    const Drawn picture{"rect", {0, 0, int(fitted.picture.width()), int(fitted.picture.height())}, {}, {}};
    const Drawn box{"rect", {0, 0, int(fitted.box.width()), int(fitted.box.height())}, {}, {}};
    const QPointF s = fitted.scale();
    const QPointF margin(kClear / s.x(), kClear / s.y());
    Samples samples;
    for (const QPointF p : candidates) {
        const QPointF q = fitted.toPicture(p);
        if (box.contains(p, {kClear, kClear}) != 1 || picture.contains(q, margin) == -1)
            continue;
        int hit = -1;
        bool clear = true;
        for (qsizetype i = areas.size() - 1; i >= 0; --i) {
            const int inside = areas[i].contains(q, margin);
            clear = clear && inside >= 0;
            if (inside == 1)
                hit = int(i);
        }
        if (!clear)
            continue;
        samples.points.append(QJsonArray{p.x(), p.y()});
        samples.expected << (picture.contains(q, margin) == 1 ? hit : -1);
    }
    return samples;
}

// The box of the responsive map's picture, after giving it a height of its
// own (`args[0]` times its width; 0 keeps the picture's shape).
const QString kResponsiveBox = QStringLiteral(R"(
    document.documentElement.style.overflow = 'hidden';
    const img = document.querySelector('.korvane-map img');
    if (args[0] > 0) img.style.height = (img.getBoundingClientRect().width * args[0]) + 'px';
    for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(done => setTimeout(done, 10));
    const box = img.getBoundingClientRect();
    return {viewport: innerWidth, box: [box.width, box.height], natural: img.naturalWidth,
            source: img.currentSrc.split('/').pop()};
)");

// What each point hits: the index of the area's link in list order (the
// pointer's layer holds them last first), -1 for the picture, -2 for anything else.
const QString kResponsiveHits = QStringLiteral(R"(
    const img = document.querySelector('.korvane-map img');
    const box = img.getBoundingClientRect();
    const links = [...document.querySelectorAll('.korvane-flaechen a')].reverse();
    return args[0].map(([x, y]) => {
        const hit = document.elementFromPoint(box.left + x, box.top + y);
        const link = hit && hit.closest('.korvane-map svg a');
        return link ? links.indexOf(link) : hit === img ? -1 : -2;
    });
)");

// After a press of Tab: the focused link's index among the keyboard's links and the outline its shape shows.
const QString kFocused = QStringLiteral(R"(
    const links = [...document.querySelectorAll('.korvane-verweise a')];
    const link = document.activeElement;
    const shape = link && link.querySelector && link.querySelector('rect, circle, polygon');
    const style = shape ? getComputedStyle(shape) : null;
    return {index: links.indexOf(link), stroke: style ? style.stroke : '', width: style ? style.strokeWidth : '',
            name: link && link.getAttribute ? link.getAttribute('aria-label') : null};
)");

// The accessibility engine on the page: the rules that ran, and every violation found.
const QString kAxe = QStringLiteral(R"(
    const script = document.createElement('script');
    script.textContent = args[0];
    document.head.appendChild(script);
    const img = document.images[0];
    for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(done => setTimeout(done, 10));
    const result = await axe.run(document, {runOnly: {type: 'rule', values: args[1]}});
    return {ran: [...result.passes, ...result.violations, ...result.incomplete, ...result.inapplicable].map(r => r.id),
            violations: result.violations.map(v => v.id + ': ' + v.nodes.map(n => n.target.join(' ')).join(', '))};
)");

QList<int> intsOf(const QJsonArray& array)
{
    QList<int> values;
    for (const QJsonValue& v : array)
        values << v.toInt();
    return values;
}

QString responsivePageFor(const DrawnList& areas, const QString& picture, const QString& pageFolder, QSize size,
                          FitMode fit)
{
    return responsivePage({linesOf(areas), relativeImageSourceValue(picture, pageFolder), QStringLiteral("plan"), size,
                           fit});
}

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
                // An empty target is none to a browser (and not valid): Korvane leaves it out.
                ...['target', 'onmouseover', 'onmouseout', 'onclick'].map(n =>
                    n === 'target' && a.getAttribute(n) === '' ? null : blanks(a.getAttribute(n))), others(a)])};
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
    void responsivePagesHitRight_data();
    void responsivePagesHitRight();
    void responsiveTabOrder();
    void axeFindsNoViolation_data();
    void axeFindsNoViolation();
    void relativePicturesMoveWithTheFolder_data();
    void relativePicturesMoveWithTheFolder();
    void shapesReadAsTheBrowserReadsThem_data();
    void shapesReadAsTheBrowserReadsThem();
    void referencesReadAsTheBrowserReadsThem_data();
    void referencesReadAsTheBrowserReadsThem();
    void usemapFindsTheBrowsersMap_data();
    void usemapFindsTheBrowsersMap();
    void baseLeadsPictureAndLinks_data();
    void baseLeadsPictureAndLinks();
    void responsiveLayoutsHitRight_data();
    void responsiveLayoutsHitRight();
    void tracedOutlinesHitTheirPixels();
    void highlightFollowsPointerAndFocus_data();
    void highlightFollowsPointerAndFocus();

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
    QTest::newRow("shapes, a concave polygon, overlaps") << "Web Bilder/Grün Plan #2.png" << overlappingShapes();
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
        const import::FoundMap map = import::findMap(text, import::readPageMaps(text).usemapValues[i]);
        QCOMPARE(int(map.outcome), int(import::MapLookup::Found));
        QStringList lines = import::readMapAreas(map.text).lines.toStringList();
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

void TestBrowser::responsivePagesHitRight_data()
{
    QTest::addColumn<int>("width");       // of the viewport, CSS pixels
    QTest::addColumn<int>("fit");         // FitMode
    QTest::addColumn<double>("ratio");    // box height per box width; 0: the picture's own shape
    QTest::addColumn<bool>("srcset");     // the picture offered in two sizes
    for (const int width : {320, 768, 1280, 2560}) {
        for (const FitMode fit : {FitMode::Fill, FitMode::Contain, FitMode::Cover}) {
            const QString name = QStringLiteral("%1 px, %2, ").arg(width).arg(fitModeName(fit));
            QTest::newRow(qPrintable(name + "own shape")) << width << int(fit) << 0.0 << false;
            QTest::newRow(qPrintable(name + "wide box")) << width << int(fit) << 0.4 << false;
            QTest::newRow(qPrintable(name + "tall box, srcset")) << width << int(fit) << 1.3 << true;
        }
    }
}

void TestBrowser::responsivePagesHitRight()
{
    QFETCH(int, width);
    QFETCH(int, fit);
    QFETCH(double, ratio);
    QFETCH(bool, srcset);
    QTemporaryDir dir;
    const QSize size(200, 150);
    const DrawnList areas = overlappingShapes();
    QVERIFY(writePicture(dir.filePath("Web Bilder/Grün Plan.png"), size));
    QVERIFY(writePicture(dir.filePath("halb.png"), size / 2));
    QVERIFY(writePicture(dir.filePath("doppelt.png"), size * 2));
    QString page = responsivePageFor(areas, dir.filePath("Web Bilder/Grün Plan.png"), dir.path(), size, FitMode(fit));
    // As an author adds one: narrow screens get the small picture, wide ones the big one.
    if (srcset)
        page.replace("<img src=", "<img srcset=\"halb.png 100w, doppelt.png 400w\" "
                                  "sizes=\"(max-width: 800px) 90px, 100vw\" src=");
    const QString path = dir.filePath("responsiv.html");
    QVERIFY(writeFile(path, page.toUtf8()));

    // High enough for the whole box: elementFromPoint sees only the viewport.
    m_browser.setViewport(width, int(width * (ratio > 0 ? ratio : 0.75)) + 200);
    m_browser.open(path);
    const QJsonObject shown = m_browser.run(kResponsiveBox, {ratio}).toObject();
    QCOMPARE(shown.value("viewport").toInt(), width);
    const QString source = !srcset ? QStringLiteral("Gr%C3%BCn%20Plan.png")
                                   : width <= 800 ? QStringLiteral("halb.png") : QStringLiteral("doppelt.png");
    QCOMPARE(shown.value("source").toString(), source);
    // A candidate's natural size is its width over its density: never the map's 200 pixels here.
    QCOMPARE(shown.value("natural").toInt(), !srcset ? 200 : width <= 800 ? 90 : width);
    const QJsonArray box = shown.value("box").toArray();
    const FittedPicture fitted{QSizeF(box[0].toDouble(), box[1].toDouble()), QSizeF(size), FitMode(fit)};
    QVERIFY(fitted.box.width() > width - 40);

    const Samples samples = samplesFor(areas, fitted);
    QVERIFY(samples.expected.size() > 2000);
    const QList<int> hits = intsOf(m_browser.run(kResponsiveHits, {QJsonValue(samples.points)}).toArray());
    QCOMPARE(hits.size(), samples.expected.size());
    QStringList wrong;
    for (qsizetype i = 0; i < hits.size() && wrong.size() < 10; ++i) {
        if (hits[i] != samples.expected[i]) {
            const QJsonArray p = samples.points[i].toArray();
            const QPointF q = fitted.toPicture({p[0].toDouble(), p[1].toDouble()});
            wrong << QStringLiteral("at %1,%2 (picture %3,%4): %5, expected %6")
                         .arg(p[0].toDouble())
                         .arg(p[1].toDouble())
                         .arg(q.x())
                         .arg(q.y())
                         .arg(hits[i])
                         .arg(samples.expected[i]);
        }
    }
    QCOMPARE(wrong, QStringList());
    // Below its own size the part of an area that no earlier one covers may be too thin to sample.
    const QPointF scale = fitted.scale();
    for (int area = -1; area < areas.size() && std::min(scale.x(), scale.y()) >= 1; ++area)
        QVERIFY2(samples.expected.contains(area), qPrintable(QStringLiteral("no sample in area %1").arg(area)));
}

void TestBrowser::responsiveTabOrder()
{
    QTemporaryDir dir;
    const QSize size(200, 150);
    DrawnList areas = overlappingShapes();
    // Wholly under the first area: nobody can click it, and Tab passes it by.
    areas << Drawn{"rect", {20, 20, 50, 50}, "verdeckt.html", "Verdeckt"};
    QVERIFY(writePicture(dir.filePath("plan.png"), size));
    const QString path = dir.filePath("responsiv.html");
    QVERIFY(writeFile(path, responsivePageFor(areas, dir.filePath("plan.png"), dir.path(), size, FitMode::Fill).toUtf8()));
    m_browser.setViewport(1280, 1200);
    m_browser.open(path);
    for (int i = 0; i + 1 < areas.size(); ++i) {
        m_browser.press(QChar(0xE004)); // Tab
        const QJsonObject focused = m_browser.run(kFocused).toObject();
        QCOMPARE(focused.value("index").toInt(), i);
        QCOMPARE(focused.value("name").toString(), areas[i].alt);
        QCOMPARE(focused.value("stroke").toString(), QStringLiteral("rgb(0, 90, 200)"));
        QCOMPARE(focused.value("width").toString(), QStringLiteral("3px"));
    }
    m_browser.press(QChar(0xE004));
    QCOMPARE(m_browser.run(kFocused).toObject().value("index").toInt(), -1);
}

void TestBrowser::axeFindsNoViolation_data()
{
    QTest::addColumn<bool>("responsive");
    QTest::addColumn<DrawnList>("areas");
    QTest::addColumn<QStringList>("violations"); // rule ids
    QTest::addColumn<int>("highlight"); // HighlightKind of the responsive page; -1: the default, no link focused
    QTest::newRow("test page") << false << overlappingShapes() << QStringList() << -1;
    QTest::newRow("responsive page") << true << overlappingShapes() << QStringList() << -1;
    // The engine does look: an area without alternative text is found on both pages.
    DrawnList unnamed = overlappingShapes();
    unnamed[2].alt.clear();
    QTest::newRow("test page, an area without alt") << false << unnamed << QStringList{"area-alt"} << -1;
    QTest::newRow("responsive page, an area without alt") << true << unnamed << QStringList{"link-name"} << -1;
    // An area a page gave a title but no alt text is named by its title.
    DrawnList titled = unnamed;
    titled[2].title = QStringLiteral("Zum U");
    QTest::newRow("responsive page, a title names an area without alt") << true << titled << QStringList() << -1;
    // Each highlight, with a link focused and so shown, and links of several shapes.
    DrawnList grouped = overlappingShapes();
    grouped << Drawn{"rect", {170, 5, 195, 30}, "a.html", "A"} << Drawn{"circle", {180, 75, 8}, "b.html", "B"};
    for (const HighlightKind kind : {HighlightKind::None, HighlightKind::Outline, HighlightKind::OutlineFill})
        QTest::newRow(qPrintable("responsive page, highlight " + highlightKindName(kind)))
            << true << grouped << QStringList() << int(kind);
}

void TestBrowser::axeFindsNoViolation()
{
    QFETCH(bool, responsive);
    QFETCH(DrawnList, areas);
    QFETCH(QStringList, violations);
    QFETCH(int, highlight);
    QFile engine(QStringLiteral(KORVANE_AXE_SCRIPT));
    if (!engine.open(QIODevice::ReadOnly))
        QFAIL("axe-core is needed: scripts/bootstrap.sh --tests installs it into tests/browser/node_modules (npm ci)");
    const QString axe = QString::fromUtf8(engine.readAll());
    QTemporaryDir dir;
    const QSize size(200, 150);
    QVERIFY(writePicture(dir.filePath("plan.png"), size));
    const QString path = dir.filePath("seite.html");
    ResponsiveMap map{linesOf(areas), relativeImageSourceValue(dir.filePath("plan.png"), dir.path()),
                      QStringLiteral("plan"), size, FitMode::Fill};
    if (highlight >= 0)
        map.highlight.kind = HighlightKind(highlight);
    const QByteArray page = responsive ? responsivePage(map).toUtf8()
                                       : testPageBytes(map_daten(linesOf(areas), dir.filePath("plan.png"), QString(), size));
    QVERIFY(writeFile(path, page));
    m_browser.setViewport(1280, 1200);
    m_browser.open(path);
    if (highlight >= 0) {
        m_browser.press(QChar(0xE004)); // Tab: the first link shows its highlight
        QCOMPARE(m_browser.run(kFocused).toObject().value("stroke").toString(), QStringLiteral("rgb(0, 90, 200)"));
    }
    // Sorted, as the ids that ran are compared with them.
    const QStringList rules{"area-alt",           "color-contrast", "image-alt",  "link-name",
                            "nested-interactive", "role-img-alt",   "svg-img-alt"};
    const QJsonObject result = m_browser.run(kAxe, {axe, QJsonArray::fromStringList(rules)}).toObject();
    QStringList ran;
    for (const QJsonValue& id : result.value("ran").toArray())
        ran << id.toString();
    ran.removeDuplicates(); // a rule passes on some elements and fails on others
    ran.sort();
    QCOMPARE(ran, rules);
    QStringList found;
    for (const QJsonValue& v : result.value("violations").toArray())
        found << v.toString();
    QStringList ids;
    for (const QString& f : found)
        ids << f.section(QLatin1Char(':'), 0, 0);
    QVERIFY2(ids == violations, qPrintable(found.join(QLatin1String("; "))));
}

void TestBrowser::relativePicturesMoveWithTheFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("test page") << "test page";
    QTest::newRow("page the code went into") << "page";
    QTest::newRow("responsive page") << "responsive";
}

// With relative sources, a folder holding page and picture can move to a server.
void TestBrowser::relativePicturesMoveWithTheFolder()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QSize size(200, 150);
    const QString folder = dir.filePath("Seite vorher");
    const QString picture = folder + "/Bilder & Fotos/Grün Plan #1.png";
    QVERIFY(writePicture(picture, size));
    const QString code = withImageSource(map_daten(linesOf(overlappingShapes()), picture, QString(), size), picture,
                                         relativeImageSourceValue(picture, folder));
    QVERIFY(!code.contains("file:"));
    const QByteArray page = kind == "test page" ? testPageBytes(code)
                            : kind == "page"
                                ? ("<!DOCTYPE html><html><head><title>Plan</title></head><body>\n" + code +
                                   "</body></html>\n").toUtf8()
                                : responsivePageFor(overlappingShapes(), picture, folder, size, FitMode::Fill).toUtf8();
    QVERIFY(writeFile(folder + "/seite.html", page));
    QVERIFY(QDir().rename(folder, dir.filePath("Seite nachher")));
    m_browser.open(dir.filePath("Seite nachher/seite.html"));
    const QString loaded = QStringLiteral(R"(
        const img = document.images[0];
        for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(done => setTimeout(done, 10));
        return img.naturalWidth;)");
    QCOMPARE(m_browser.run(loaded).toInt(), size.width());
}


namespace {

// An img of 200 x 150 with one map; `maps` holds the map elements.
QByteArray pageWithMap(const QString& maps, const QString& img = QStringLiteral("<img src=\"plan.png\" usemap=\"#m\">"))
{
    return ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body style=\"margin:0\">" + img + maps +
            "</body></html>")
        .toUtf8();
}

QString attributeText(QString value)
{
    return value.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
}

// Which of the points hits an area: 1, else 0.
const QString kAreaHits = QStringLiteral(R"(
    const img = document.images[0];
    for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(done => setTimeout(done, 10));
    const box = img.getBoundingClientRect();
    return args[0].map(([x, y]) => {
        const hit = document.elementFromPoint(box.left + x, box.top + y);
        return hit && hit.tagName === 'AREA' ? 1 : 0;
    });
)");

// The outline of the shape as HTML's processing of areas takes it.
QPainterPath browserOutline(const browser::AreaShape& shape)
{
    QPainterPath path;
    const QList<double>& c = shape.c;
    if (shape.empty)
        return path;
    if (shape.kind == browser::Shape::Rect)
        path.addRect(QRectF(QPointF(c[0], c[1]), QPointF(c[2], c[3])));
    else if (shape.kind == browser::Shape::Circle)
        path.addEllipse(QPointF(c[0], c[1]), c[2], c[2]);
    for (qsizetype i = 0; shape.kind == browser::Shape::Poly && i + 1 < c.size(); i += 2)
        i == 0 ? path.moveTo(c[i], c[i + 1]) : path.lineTo(c[i], c[i + 1]);
    path.closeSubpath();
    return path;
}

} // namespace

// Coordinates and shape keywords as HTML's rules read them; the browser hits
// the area where Korvane's reading puts it, and the canvas finds it clickable.
void TestBrowser::shapesReadAsTheBrowserReadsThem_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("coords");
    QTest::newRow("blanks separate") << "rect" << "2 2 100 100";
    QTest::newRow("semicolons, runs, empty items") << "RECT" << ",20;20 ,, 120 100,";
    QTest::newRow("units") << "circle" << "120px,75px,40px";
    QTest::newRow("circ, too many numbers") << "circ" << "100,75,50,99,99";
    QTest::newRow("no radius") << "CIRCLE" << "100,75,-20";
    QTest::newRow("polygon by blanks") << "polygon" << "10 10 190 10 100 140";
    QTest::newRow("odd count drops the last") << "poly" << "10,10,190,10,100,140,7";
    QTest::newRow("polygon of two points") << "poly" << "10,10,190,10";
    QTest::newRow("rectangle, corners reversed") << "rectangle" << "150,120,30,20";
    QTest::newRow("unknown keyword") << "Dreieck" << "30,30,90,90";
    QTest::newRow("empty keyword") << "" << "20,20,80,80";
    QTest::newRow("garbage inside a number") << "rect" << "2a2b20c20,10,150,100";
    QTest::newRow("percent, garbage before") << "rect" << "10%,20%,x90,y80";
    QTest::newRow("fractions and exponents") << "rect" << "1e1,.5e1,1.2e2,8.5e1";
    QTest::newRow("partly outside") << "rect" << "-10,-10,50,50";
    QTest::newRow("a number that is none") << "rect" << "10,-,100,100";
}

void TestBrowser::shapesReadAsTheBrowserReadsThem()
{
    QFETCH(QString, shape);
    QFETCH(QString, coords);
    QTemporaryDir dir;
    const QSize size(200, 150);
    QVERIFY(writePicture(dir.filePath("plan.png"), size));
    const QString path = dir.filePath("seite.html");
    QVERIFY(writeFile(path, pageWithMap("<map name=\"m\"><area shape=\"" + attributeText(shape) + "\" coords=\"" +
                                        attributeText(coords) + "\" href=\"a.html\" alt=\"A\"></map>")));
    const browser::AreaShape read = browser::areaShape(shape, coords);
    const QPainterPath outline = browserOutline(read);
    QJsonArray points;
    QList<int> expected;
    for (double y = 1.5; y < size.height(); y += 3) {
        for (double x = 1.5; x < size.width(); x += 3) {
            const bool inside = outline.contains(QPointF(x, y));
            bool clear = true;
            for (int k = 0; k < 8; ++k)
                clear = clear && outline.contains(QPointF(x + 1.2 * std::cos(k * M_PI / 4),
                                                          y + 1.2 * std::sin(k * M_PI / 4))) == inside;
            if (clear) {
                points.append(QJsonArray{x, y});
                expected << int(inside);
            }
        }
    }
    m_browser.setViewport(800, 600);
    m_browser.open(path);
    QCOMPARE(intsOf(m_browser.run(kAreaHits, {QJsonValue(points)}).toArray()), expected);
    // The canvas draws the same shape and finds it clickable where a browser does.
    const AreaGeometry drawn = parseArea(entry::makeLine(" ", shape, coords, {}));
    QCOMPARE(drawn.clickable, !read.empty);
    if (!read.empty && read.kind == browser::Shape::Rect)
        QCOMPARE(drawn.bounds, QRect(QPoint(roundHalfEven(read.c[0]), roundHalfEven(read.c[1])),
                                     QPoint(roundHalfEven(read.c[2]), roundHalfEven(read.c[3]))));
}

// Attribute values as a browser decodes their references; written again by
// Korvane, the browser reads the same text, in an HTML page and in XHTML
// read as XML.
void TestBrowser::referencesReadAsTheBrowserReadsThem_data()
{
    QTest::addColumn<QString>("value");
    for (const char* value :
         {"&COPY 2024", "&copy=3", "&copy;", "&notit;", "&notin;", "&amp", "&ampx", "&#128;", "&#x80;", "&#0;",
          "&#X1F600;", "&#12a;", "&NotEqualTilde;", "&hellip", "&Aacute", "&;", "&#;", "&#x;", "A&B", "&lt;b&gt;",
          "&#xD800;", "&#1114112;", "&auml&ouml;&Uuml", "&#x41&#65"})
        QTest::newRow(value) << QString::fromUtf8(value);
}

void TestBrowser::referencesReadAsTheBrowserReadsThem()
{
    QFETCH(QString, value);
    QTemporaryDir dir;
    QVERIFY(writePicture(dir.filePath("plan.png"), QSize(200, 150)));
    const QString read = QStringLiteral("return [...document.querySelectorAll('area')].map(a => a.getAttribute('alt'));");
    const QString path = dir.filePath("seite.html");
    QVERIFY(writeFile(path, pageWithMap("<map name=\"m\"><area alt=\"" + value + "\"><area alt='" + value + "'></map>")));
    m_browser.open(path);
    const QString decoded = html::decodeReferences(value);
    QCOMPARE(m_browser.run(read).toArray(), QJsonArray({decoded, decoded}));

    const QString written = attributeValue(value);
    const QString page = dir.filePath("neu.html");
    QVERIFY(writeFile(page, pageWithMap("<map name=\"m\"><area alt=\"" + written + "\"></map>")));
    m_browser.open(page);
    QCOMPARE(m_browser.run(read).toArray(), QJsonArray({decoded}));
    // The test page is XHTML: read as XML, the value is the same where XML can hold its characters.
    const QString xhtml = dir.filePath("neu.xhtml");
    QVERIFY(writeFile(xhtml, testPageBytes("<map id=\"m\" name=\"m\">\r\n<area shape=\"rect\" coords=\"0,0,1,1\" alt=\"" +
                                           written + "\" />\r\n</map>\r\n")));
    const bool xmlCanHold = std::all_of(decoded.begin(), decoded.end(), [](QChar c) {
        return c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r';
    });
    if (xmlCanHold) {
        QCOMPARE(xmlProblems(xhtml), QString());
        m_browser.open(xhtml);
        QCOMPARE(m_browser.run(read).toArray(), QJsonArray({decoded}));
    }
}

// The map a browser gives each picture: by name or id, references decoded,
// the first in page order; none for a usemap without "#" or another letter
// case; maps inside SVG or template content are none.
void TestBrowser::usemapFindsTheBrowsersMap_data()
{
    QTest::addColumn<QString>("body");
    const QString m = QStringLiteral("<area shape=\"rect\" coords=\"0,0,200,150\" href=\"x.html\" alt=\"X\"></map>");
    const QString img = QStringLiteral("<img src=\"plan.png\" usemap=\"%1\"><br>");
    QTest::newRow("by id, the first of name and id")
        << img.arg("#k") + "<map id=\"k\" data-nr=\"1\">" + m + "<map name=\"k\" data-nr=\"2\">" + m;
    QTest::newRow("references decoded")
        << img.arg("#Stra&szlig;e") + img.arg("#plan&COPY") + "<map name=\"Stra&#223;e\" data-nr=\"1\">" + m +
               "<map name=\"plan&copy;\" data-nr=\"2\">" + m;
    QTest::newRow("no #, other case, blanks, empty")
        << img.arg("k") + img.arg("#K") + img.arg("#k") + img.arg("#") + "<map name=\"k \" data-nr=\"1\">" + m +
               "<map name=\"k\" data-nr=\"2\">" + m + "<map name=\"\" data-nr=\"3\">" + m;
    QTest::newRow("what follows the first #") << img.arg("a#b") + "<map name=\"b\" data-nr=\"1\">" + m;
    QTest::newRow("a map inside a map") << img.arg("#b") + "<map name=\"a\" data-nr=\"1\"><map name=\"b\" data-nr=\"2\">" + m + "</map>";
    QTest::newRow("maps in svg are none")
        << img.arg("#k") + "<svg width=\"10\" height=\"10\"><map name=\"k\" data-nr=\"1\">" + m + "</svg><map name=\"k\" data-nr=\"2\">" + m;
    QTest::newRow("template in svg is none")
        << img.arg("#k") + "<svg width=\"10\" height=\"10\"><template></svg><map name=\"k\" data-nr=\"1\">" + m;
    QTest::newRow("template and noscript hide their maps")
        << img.arg("#k") + "<template><map name=\"k\" data-nr=\"1\">" + m + "</template><noscript><map name=\"k\" "
           "data-nr=\"2\">" + m + "</noscript><map name=\"k\" data-nr=\"3\">" + m;
    QTest::newRow("img in svg is html") << "<svg width=\"10\" height=\"10\">" + img.arg("#k") + "</svg><map name=\"k\" data-nr=\"1\">" + m;
}

void TestBrowser::usemapFindsTheBrowsersMap()
{
    QFETCH(QString, body);
    QTemporaryDir dir;
    QVERIFY(writePicture(dir.filePath("plan.png"), QSize(200, 150)));
    const QString page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body style=\"margin:0\">" + body +
                         "</body></html>";
    const QString path = dir.filePath("seite.html");
    QVERIFY(writeFile(path, page.toUtf8()));
    m_browser.setViewport(800, 2000);
    m_browser.open(path);
    const QJsonArray seen = m_browser.run(QStringLiteral(R"(
        const imgs = [...document.images].filter(i => i.hasAttribute('usemap'));
        for (const img of imgs) for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(d => setTimeout(d, 10));
        return imgs.map(img => { img.scrollIntoView(); const box = img.getBoundingClientRect();
            const hit = document.elementFromPoint(box.left + 100, box.top + 75);
            const map = hit && hit.tagName === 'AREA' ? hit.closest('map') : null;
            return map ? Number(map.getAttribute('data-nr')) : -1; });
    )")).toArray();
    const import::PageMaps read = import::readPageMaps(page);
    QJsonArray korvane;
    for (qsizetype c = 0; c < read.candidates.size(); ++c) {
        const int m = import::browserMap(read, c);
        html::Tag tag;
        if (m >= 0)
            html::readTag(page, read.maps[m].start, tag);
        const html::Attribute* nr = m >= 0 ? tag.attribute(QLatin1StringView("data-nr")) : nullptr;
        korvane.append(nr ? nr->value.toInt() : -1);
    }
    QCOMPARE(korvane, seen);
}

// A base element leads the picture and the links elsewhere: Korvane finds the
// picture, and the links it writes into a page beside the old one lead
// where they led there.
void TestBrowser::baseLeadsPictureAndLinks_data()
{
    QTest::addColumn<QString>("base"); // {dir}: the folder of the page
    QTest::addColumn<QString>("picture"); // where it lies, relative to the page
    QTest::addColumn<QString>("page");    // where the page lies
    QTest::newRow("a folder") << "Bilder/" << "Bilder/plan.png" << "seite.html";
    QTest::newRow("a file in a folder") << "Bilder/index.html" << "Bilder/plan.png" << "seite.html";
    QTest::newRow("the folder above") << "../" << "plan.png" << "unten/seite.html";
    QTest::newRow("a file address") << "file://{dir}/Bilder/" << "Bilder/plan.png" << "seite.html";
}

void TestBrowser::baseLeadsPictureAndLinks()
{
    QFETCH(QString, base);
    QFETCH(QString, picture);
    QFETCH(QString, page);
    QTemporaryDir dir;
    const QSize size(200, 150);
    QVERIFY(writePicture(dir.filePath(picture), size));
    const QString pagePath = dir.filePath(page);
    const QString folder = QFileInfo(pagePath).absolutePath();
    const QString html = "<!DOCTYPE html><html><head><base href=\"" + QString(base).replace("{dir}", dir.path()) +
                         "\"></head><body><img src=\"plan.png\" usemap=\"#m\"><map name=\"m\">"
                         "<area shape=\"rect\" coords=\"0,0,50,50\" href=\"seite.html\" alt=\"S\">"
                         "<area shape=\"rect\" coords=\"50,0,100,50\" href=\"#oben\" alt=\"O\">"
                         "<area shape=\"rect\" coords=\"100,0,150,50\" href=\"?q=1&amp;x=2\" alt=\"Q\">"
                         "<area shape=\"rect\" coords=\"150,0,200,50\" href=\"mailto:a@b.de\" alt=\"M\"></map>"
                         "</body></html>";
    QVERIFY(QDir().mkpath(QFileInfo(pagePath).path()) && writeFile(pagePath, html.toUtf8()));
    const QString links = QStringLiteral(R"(
        const img = document.images[0];
        for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(d => setTimeout(d, 10));
        return {loaded: img.naturalWidth, links: [...document.querySelectorAll('area')].filter(a => a.hasAttribute('href'))
                .map(a => a.href)};)");
    m_browser.open(pagePath);
    const QJsonObject original = m_browser.run(links).toObject();
    QCOMPARE(original.value("loaded").toInt(), size.width());

    const QString text = import::readImportFile(pagePath);
    const import::PageMaps read = import::readPageMaps(text);
    const import::ChosenImage chosen = import::readChosenTag(read.writtenTags.value(0));
    const QString onDisk = findFileIgnoringCase(chosen.imagePath, import::baseFolder(read.baseHref, folder));
    QCOMPARE(onDisk, dir.filePath(picture));
    AreaLines lines = import::readMapAreas(import::findMap(text, read, read.usemapValues.value(0)).text).lines;
    import::resolveLinks(lines, read.baseHref, folder);
    const QString written = QFileInfo(pagePath).absolutePath() + "/neu.html";
    QVERIFY(writeFile(written, testPageBytes(map_daten(lines, onDisk, QString(), size))));
    m_browser.open(written);
    QCOMPARE(m_browser.run(links).toObject(), original);
}

// The responsive form in the layouts a page puts it in: the overlay lies over
// the picture, never over its wrapper, and every sample point 2 CSS pixels or
// more off an edge hits the area the geometry says.
void TestBrowser::responsiveLayoutsHitRight_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("layout"); // {map}: the responsive code
    const QList<std::pair<const char*, const char*>> layouts = {
        {"flex row beside a taller column", "<div style=\"display:flex\">{map}<div style=\"width:80px;height:1500px\"></div></div>"},
        {"grid cell beside a taller column",
         "<div style=\"display:grid;grid-template-columns:1fr 80px\">{map}<div style=\"height:1500px\"></div></div>"},
        {"inline, in a box of its own width",
         "<div>Text davor <span style=\"display:inline-block;vertical-align:top;width:60%\">{map}</span> Text danach</div>"},
        {"table cell", "<table style=\"width:100%\"><tr><td>{map}</td><td style=\"width:80px;height:1500px\">x</td></tr></table>"},
        {"right to left", "<div dir=\"rtl\" style=\"text-align:right\">{map}</div>"},
        {"zoomed", "<div style=\"zoom:1.5\">{map}</div>"},
        {"picture narrower than its wrapper",
         "<style>.korvane-map img{width:auto;max-width:100%}</style><div style=\"display:flex\">{map}</div>"},
        {"centred in a flex column", "<div style=\"display:flex;flex-direction:column;align-items:center\">{map}</div>"}};
    for (const int width : {320, 768, 1280}) {
        for (const auto& [name, layout] : layouts)
            QTest::newRow(qPrintable(QStringLiteral("%1 px, %2").arg(width).arg(QLatin1String(name))))
                << width << QString::fromLatin1(layout);
    }
}

void TestBrowser::responsiveLayoutsHitRight()
{
    QFETCH(int, width);
    QFETCH(QString, layout);
    QTemporaryDir dir;
    const QSize size(200, 150);
    const DrawnList areas = overlappingShapes();
    QVERIFY(writePicture(dir.filePath("plan.png"), size));
    const QString code = responsiveCode({linesOf(areas), QStringLiteral("plan.png"), QStringLiteral("plan"), size});
    const QString path = dir.filePath("responsiv.html");
    QVERIFY(writeFile(path, ("<!DOCTYPE html><html lang=\"de\"><head><meta charset=\"utf-8\"></head><body>" +
                             QString(layout).replace("{map}", code) + "</body></html>")
                                .toUtf8()));
    m_browser.setViewport(width, 3000);
    m_browser.open(path);
    const QJsonObject shown = m_browser.run(kResponsiveBox, {0.0}).toObject();
    const QJsonArray box = shown.value("box").toArray();
    const FittedPicture fitted{QSizeF(box[0].toDouble(), box[1].toDouble()), QSizeF(size), FitMode::Fill};
    QVERIFY(fitted.box.width() > 100);
    const QJsonArray svg = m_browser.run(QStringLiteral(
        "const r = document.querySelector('.korvane-map svg').getBoundingClientRect(); return [r.width, r.height];"))
                               .toArray();
    QCOMPARE(svg[0].toDouble(), fitted.box.width());
    QCOMPARE(svg[1].toDouble(), fitted.box.height());
    const Samples samples = samplesFor(areas, fitted);
    QVERIFY(samples.expected.size() > 2000);
    const QList<int> hits = intsOf(m_browser.run(kResponsiveHits, {QJsonValue(samples.points)}).toArray());
    QCOMPARE(hits, samples.expected);
}

// Outlines traced from a picture are clicked over exactly the pixels of their
// regions: every pixel of the picture is tried where a pointer over it points
// (its top-left corner); straight, slanted and curved edges, a notch, a hole.
// Precision 0 keeps every corner of the outline, so that no pixel is cut off
// by simplification. Left out: the pixels of a part one pixel wide (the
// triangle's tip), where the outline runs there and back over them: chromium
// follows some of them, not all.
void TestBrowser::tracedOutlinesHitTheirPixels()
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QColor colours[] = {QColor(200, 30, 30), QColor(30, 150, 30), QColor(30, 30, 200), QColor(200, 150, 0),
                              QColor(120, 0, 160)};
    QPainter painter(&picture);
    painter.fillRect(QRect(QPoint(2, 2), QPoint(17, 12)), colours[0]); // a rectangle
    painter.fillRect(QRect(QPoint(22, 2), QPoint(40, 6)), colours[1]); // an L
    painter.fillRect(QRect(QPoint(22, 7), QPoint(27, 20)), colours[1]);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours[2]);
    painter.drawEllipse(QPointF(52.3, 14.6), 9, 9); // a circle
    painter.setBrush(colours[3]);
    painter.drawPolygon(QPolygonF({QPointF(4, 20), QPointF(18, 44), QPointF(2, 40)})); // a slanted triangle
    painter.fillRect(QRect(QPoint(30, 26), QPoint(58, 45)), colours[0]);               // a frame around a hole
    painter.fillRect(QRect(QPoint(36, 31), QPoint(50, 40)), colours[4]);
    painter.end();
    const QPoint clicks[] = {{5, 5}, {23, 15}, {52, 14}, {6, 36}, {31, 27}};

    QStringList lines;
    QVector<QPolygon> polygons;
    OutlineTracer tracer(picture);
    for (const QPoint click : clicks) {
        const TracedOutline traced = tracer.traceAt(click, {32, 0.0});
        QVERIFY2(traced.isArea(), qPrintable(traced.message));
        QList<int> coords;
        for (const QPoint& corner : traced.polygon)
            coords << corner.x() << corner.y();
        lines << Drawn{"poly", coords, QStringLiteral("bereich%1.html").arg(lines.size()), "Bereich"}.line();
        polygons << traced.polygon;
    }
    // Whether the pixel lies on two sides of one outline that run along the same line.
    const auto thereAndBack = [&polygons](QPoint p) {
        for (const QPolygon& polygon : polygons) {
            QVector<QPoint> directions;
            for (qsizetype i = 0; i < polygon.size(); ++i) {
                const QPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
                const QPoint ab = b - a, ap = p - a;
                const int along = QPoint::dotProduct(ap, ab);
                if (ab.x() * ap.y() != ab.y() * ap.x() || along < 0 || along > QPoint::dotProduct(ab, ab))
                    continue;
                for (const QPoint d : directions)
                    if (d.x() * ab.y() == d.y() * ab.x())
                        return true;
                directions << ab;
            }
        }
        return false;
    };

    // The area of each pixel: the region it belongs to (the frame's holds its
    // hole), else the default area after the traced ones.
    QJsonArray points;
    QList<int> expected;
    const auto regionOf = [&](QPoint p) {
        for (int i = 0; i < int(std::size(clicks)); ++i) {
            const bool inFrame = i == 4 && QRect(QPoint(30, 26), QPoint(58, 45)).contains(p);
            if (inFrame || (i != 4 && i != 0 && picture.pixel(p) == picture.pixel(clicks[i])) ||
                (i == 0 && QRect(QPoint(2, 2), QPoint(17, 12)).contains(p)))
                return i;
        }
        return int(std::size(clicks));
    };
    int leftOut = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (thereAndBack({x, y})) {
                ++leftOut;
                continue;
            }
            points.append(QJsonArray{x, y});
            expected << regionOf({x, y});
        }
    }
    QCOMPARE(leftOut, 2);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("umrisse.png"));
    QVERIFY(picture.save(file, "PNG"));
    const QString page = dir.filePath(QStringLiteral("seite.html"));
    QVERIFY(writeFile(page, testPageBytes(map_daten(lines, file, QString(), picture.size()))));
    m_browser.open(page);
    const QJsonObject seen = m_browser.run(kWrittenPage, QJsonArray{QJsonValue(points)}).toObject();
    QCOMPARE(seen.value("loaded").toInt(), picture.width());
    const QJsonArray hits = seen.value("hits").toArray();
    QCOMPARE(hits.size(), expected.size());
    QStringList wrong;
    for (qsizetype i = 0; i < hits.size(); ++i) {
        if (hits[i].toInt() != expected[i])
            wrong << QStringLiteral("%1,%2: %3 not %4")
                         .arg(points[i].toArray()[0].toInt())
                         .arg(points[i].toArray()[1].toInt())
                         .arg(hits[i].toInt())
                         .arg(expected[i]);
    }
    QVERIFY2(wrong.isEmpty(),
             qPrintable(wrong.mid(0, 20).join("; ") + QStringLiteral(" (%1 in all)").arg(wrong.size())));
}

namespace {

// Links of several shapes on a picture dark on the left, light on the right:
// A twice (apart, one link in the pointer's layer), B, C twice (its second
// part meets D, listed between them: the pointer's layer holds it in a link
// of its own, below D), D.
DrawnList groupedShapes()
{
    return {{"rect", {10, 10, 60, 60}, "a.html", "A"},     {"circle", {100, 35, 20}, "b.html", "B"},
            {"rect", {140, 10, 190, 60}, "a.html", "A"},   {"rect", {10, 80, 100, 140}, "c.html", "C"},
            {"rect", {90, 100, 190, 140}, "d.html", "D"}, {"rect", {150, 70, 190, 120}, "c.html", "C"}};
}

// The links of the map, each with the areas it is made of, in list order.
const QList<QList<int>> kGroupedLinks{{0, 2}, {1}, {3, 5}, {4}};

// The stroke of every shape of the pointer's layer, by its first two numbers.
const QString kPointerStrokes = QStringLiteral(R"(
    const shapes = [...document.querySelectorAll('.korvane-flaechen a')].flatMap(a =>
        [...a.querySelectorAll('rect, circle, polygon')]);
    const at = s => (s.getAttribute('x') ?? s.getAttribute('cx')) + ',' + (s.getAttribute('y') ?? s.getAttribute('cy'));
    return {hover: matchMedia('(hover: hover)').matches,
            strokes: Object.fromEntries(shapes.map(s => [at(s), getComputedStyle(s).stroke + ' ' +
                                                                getComputedStyle(s).strokeWidth]))};
)");

// The box of the picture in the viewport.
const QString kPictureBox = QStringLiteral(R"(
    const img = document.querySelector('.korvane-map img');
    for (let i = 0; i < 500 && !img.complete; ++i) await new Promise(done => setTimeout(done, 10));
    const r = img.getBoundingClientRect();
    return [r.left, r.top, r.width, r.height];
)");

QImage twoTonePicture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(QRect(QPoint(0, 0), QSize(size.width() / 2, size.height())), QColor(20, 20, 20));
    painter.fillRect(QRect(QPoint(size.width() / 2, 0), QSize(size.width() - size.width() / 2, size.height())),
                     QColor(235, 235, 235));
    return picture;
}

// The pixels that differ visibly (by more than a few levels: the halo's blur
// fades out further) between two screenshots, within `where`, and how many lie outside it.
struct Changes {
    QList<int> inside; // per rectangle of `where`
    int outside = 0;
};
Changes changes(const QImage& before, const QImage& after, const QList<QRectF>& where)
{
    Changes c{QList<int>(where.size(), 0), 0};
    for (int y = 0; y < before.height() && y < after.height(); ++y) {
        for (int x = 0; x < before.width() && x < after.width(); ++x) {
            const QRgb a = before.pixel(x, y), b = after.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8 &&
                std::abs(qBlue(a) - qBlue(b)) <= 8)
                continue;
            bool in = false;
            for (qsizetype i = 0; i < where.size(); ++i) {
                if (where[i].contains(QPointF(x + 0.5, y + 0.5))) {
                    ++c.inside[i];
                    in = true;
                }
            }
            c.outside += in ? 0 : 1;
        }
    }
    return c;
}

} // namespace

void TestBrowser::highlightFollowsPointerAndFocus_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("colour");
    QTest::addColumn<QString>("stroke"); // the computed stroke of a highlighted shape
    QTest::newRow("none") << int(HighlightKind::None) << qint64(0x005ac8) << "rgb(0, 90, 200) 3px";
    QTest::newRow("outline") << int(HighlightKind::Outline) << qint64(0x005ac8) << "rgb(0, 90, 200) 3px";
    QTest::newRow("outline and fill, gold") << int(HighlightKind::OutlineFill) << qint64(0xffd700)
                                            << "rgb(255, 215, 0) 3px";
}

// Under the pointer a link's shapes light up, all its parts together and
// nothing else: their computed style and their pixels change. Tab stops once
// at each link and shows the same highlight (with "keine" too: keyboard users
// need it).
void TestBrowser::highlightFollowsPointerAndFocus()
{
    QFETCH(int, kind);
    QFETCH(qint64, colour);
    QFETCH(QString, stroke);
    QTemporaryDir dir;
    const QSize size(200, 150);
    QVERIFY(twoTonePicture(size).save(dir.filePath("plan.png"), "PNG"));
    const DrawnList areas = groupedShapes();
    ResponsiveMap map{linesOf(areas), QStringLiteral("plan.png"), QStringLiteral("plan"), size, FitMode::Fill};
    map.highlight = {HighlightKind(kind), quint32(colour)};
    const QString path = dir.filePath("responsiv.html");
    QVERIFY(writeFile(path, responsivePage(map).toUtf8()));
    m_browser.setViewport(420, 400);
    m_browser.open(path);
    const QJsonArray box = m_browser.run(kPictureBox).toArray();
    const QPointF origin(box[0].toDouble(), box[1].toDouble());
    const double scale = box[2].toDouble() / size.width();
    QVERIFY(scale > 1.5);
    const auto toViewport = [&](QPointF p) { return origin + p * scale; };
    // A part's box in the viewport, grown by the outline and the reach of its halo's blur.
    const auto partBox = [&](int area) {
        const QRectF r = areas[area].outline().boundingRect();
        return QRectF(toViewport(r.topLeft()), toViewport(r.bottomRight())).adjusted(-8, -8, 8, 8);
    };
    const QString none = QStringLiteral("none 1px");

    m_browser.hover(QPointF(2, 390)); // below the picture
    const QImage still = m_browser.screenshot();
    QVERIFY(!still.isNull());
    for (qsizetype link = 0; link < kGroupedLinks.size(); ++link) {
        const QList<int>& parts = kGroupedLinks[link];
        // Each part under the pointer: at its centre (C's second part where D does not cover it).
        for (const int part : parts) {
            const QPointF centre = part == 5 ? QPointF(170, 85) : areas[part].outline().boundingRect().center();
            m_browser.hover(toViewport(centre));
            const QJsonObject shown = m_browser.run(kPointerStrokes).toObject();
            QVERIFY(shown.value("hover").toBool());
            const QJsonObject strokes = shown.value("strokes").toObject();
            QCOMPARE(strokes.size(), areas.size());
            for (qsizetype i = 0; i < areas.size(); ++i) {
                const bool lit = kind != int(HighlightKind::None) && parts.contains(int(i));
                const QString seen =
                    strokes.value(QStringLiteral("%1,%2").arg(areas[i].coords[0]).arg(areas[i].coords[1])).toString();
                QVERIFY2(seen == (lit ? stroke : none),
                         qPrintable(QStringLiteral("link %1, part %2 under the pointer: area %3 shows %4")
                                        .arg(link).arg(part).arg(i).arg(seen)));
            }
            QList<QRectF> where;
            for (const int p : parts)
                where << partBox(p);
            const Changes changed = changes(still, m_browser.screenshot(), where);
            QVERIFY2(changed.outside == 0, qPrintable(QStringLiteral("link %1, part %2 under the pointer: %3 pixels "
                                                                     "changed elsewhere").arg(link).arg(part).arg(changed.outside)));
            for (qsizetype i = 0; i < where.size(); ++i)
                QVERIFY2((changed.inside[i] > 0) == (kind != int(HighlightKind::None)),
                         qPrintable(QStringLiteral("link %1: %2 pixels of part %3 changed")
                                        .arg(link).arg(changed.inside[i]).arg(parts[i])));
        }
    }

    // Tab: one stop per link, named once, all its parts outlined.
    m_browser.hover(QPointF(2, 390));
    for (qsizetype link = 0; link < kGroupedLinks.size(); ++link) {
        m_browser.press(QChar(0xE004));
        const QJsonObject focused = m_browser.run(QStringLiteral(R"(
            const links = [...document.querySelectorAll('.korvane-verweise a')];
            const link = document.activeElement;
            const shapes = link.querySelectorAll ? [...link.querySelectorAll('rect, circle, polygon')] : [];
            return {index: links.indexOf(link), name: link.getAttribute ? link.getAttribute('aria-label') : null,
                    strokes: shapes.map(s => getComputedStyle(s).stroke + ' ' + getComputedStyle(s).strokeWidth)};
        )")).toObject();
        QCOMPARE(focused.value("index").toInt(), int(link));
        QCOMPARE(focused.value("name").toString(), areas[kGroupedLinks[link].front()].alt);
        QStringList strokes;
        for (const QJsonValue v : focused.value("strokes").toArray())
            strokes << v.toString();
        QCOMPARE(strokes, QStringList(kGroupedLinks[link].size(), stroke));
        QList<QRectF> where;
        for (const int p : kGroupedLinks[link])
            where << partBox(p);
        const Changes changed = changes(still, m_browser.screenshot(), where);
        QCOMPARE(changed.outside, 0);
        for (const int count : changed.inside)
            QVERIFY(count > 0);
    }
    m_browser.press(QChar(0xE004));
    QCOMPARE(m_browser.run(kFocused).toObject().value("index").toInt(), -1);
}

QTEST_GUILESS_MAIN(TestBrowser)
#include "tst_browser.moc"
