#include "ImageSamples.h"

#include "picture/ImageLoader.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace korvane;
using namespace korvane::test;

namespace {

// A 4 x 2 bitmap compressed with RLE8 (two runs per row), the .rle format.
QByteArray makeRle8(const QColor& colour)
{
    QByteArray pixels;
    for (int row = 0; row < 2; ++row)
        pixels.append("\x04\x00\x00\x00", 4); // four pixels of colour 0, end of line
    pixels.append("\x00\x01", 2);             // end of bitmap
    QByteArray info;
    put32(info, 40);
    put32(info, 4);
    put32(info, 2);
    put16(info, 1);
    put16(info, 8);
    for (qint64 v :
         std::initializer_list<qint64>{1, pixels.size(), 2835, 2835, 1, 0}) // BI_RLE8, size, resolution, colours
        put32(info, v);
    QByteArray palette;
    palette.append(char(colour.blue())).append(char(colour.green())).append(char(colour.red())).append('\0');
    QByteArray file("BM");
    put32(file, 14 + info.size() + palette.size() + pixels.size());
    put32(file, 0);
    put32(file, 14 + info.size() + palette.size());
    return file + info + palette + pixels;
}

// The same bytes as an icon, with the resource type set to cursor.
QByteArray asCursor(QByteArray ico)
{
    ico[2] = 2;
    return ico;
}

// A bitmap whose header claims another size than its pixels have.
QByteArray withBmpSize(QByteArray bmp, int width, int height)
{
    qToLittleEndian<qint32>(width, bmp.data() + 18);
    qToLittleEndian<qint32>(height, bmp.data() + 22);
    return bmp;
}

QString tooLarge(int width, int height)
{
    return QStringLiteral("Das Bild ist zu groß: %1 × %2 Bildpunkte. Geöffnet werden Bilder mit höchstens 100 "
                          "Millionen Bildpunkten (zum Beispiel 10000 × 10000).")
        .arg(width)
        .arg(height);
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 && qAbs(a.blue() - b.blue()) <= 8;
}

// A metafile line "Grüße" in the default font: text outside ASCII.
QByteArray makeWmfWithText()
{
    QByteArray wmf = makeWmf(80, 40, Qt::yellow);
    wmf.chop(6); // the EOF record
    const QByteArray text("Gr\xfc\xdf"
                          "e",
                          5);
    QByteArray record;
    put32(record, 3 + 1 + (text.size() + 1) / 2 + 2);
    put16(record, 0x0521); // TextOut
    put16(record, text.size());
    record.append(text);
    if (text.size() % 2)
        record.append('\0');
    put16(record, 10); // y
    put16(record, 5);  // x
    wmf.append(record);
    put32(wmf, 3);
    put16(wmf, 0);
    return wmf;
}

// The text in UTF-16 with a byte-order mark, saying so in its declaration.
QByteArray asUtf16(const QByteArray& utf8)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder.encode(QString::fromUtf8(utf8).replace(QStringLiteral("UTF-8"), QStringLiteral("UTF-16")));
}

} // namespace

class TestImageLoading : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyFormatLoads_data();
    void everyFormatLoads();
    void checksAndMessages_data();
    void checksAndMessages();
    void statusTexts_data();
    void statusTexts();
    void hundredMillionPixelsLoad();
    void transparencyShowsWhite();
    void textChunksAndSixteenBits_data();
    void textChunksAndSixteenBits();
    void metafileTextOutsideAscii();
    void drawingsReadNoOtherFile_data();
    void drawingsReadNoOtherFile();
    void garbageNeverCrashes_data();
    void garbageNeverCrashes();

private:
    QString write(const QString& name, const QByteArray& bytes);
    QTemporaryDir m_dir;
};

void TestImageLoading::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestImageLoading::write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestImageLoading::everyFormatLoads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    const QColor red(220, 30, 40);
    const QColor green(20, 180, 60);
    const QByteArray bmp = makeRaster("bmp", 31, 17, red);
    QTest::newRow("bmp") << "plan.bmp" << bmp << QSize(31, 17) << red;
    QTest::newRow("dib with file header") << "plan.dib" << bmp << QSize(31, 17) << red;
    QTest::newRow("dib without file header") << "bare.dib" << bmp.mid(14) << QSize(31, 17) << red;
    QTest::newRow("rle") << "plan.rle" << makeRle8(green) << QSize(4, 2) << green;
    const QByteArray ico = makeRaster("ico", 32, 32, green);
    QTest::newRow("ico") << "plan.ico" << ico << QSize(32, 32) << green;
    QTest::newRow("cur") << "plan.cur" << asCursor(ico) << QSize(32, 32) << green;
    QTest::newRow("gif") << "plan.gif" << makeGif(40, 30, red) << QSize(40, 30) << red;
    QTest::newRow("png") << "plan.png" << makeRaster("png", 41, 29, green) << QSize(41, 29) << green;
    QTest::newRow("tif") << "plan.tif" << makeRaster("tiff", 12, 13, red) << QSize(12, 13) << red;
    QTest::newRow("tiff") << "plan.tiff" << makeRaster("tiff", 12, 13, green) << QSize(12, 13) << green;
    const QByteArray jpg = makeRaster("jpeg", 64, 48, red);
    QTest::newRow("jpg") << "plan.jpg" << jpg << QSize(64, 48) << red;
    QTest::newRow("jpeg") << "plan.jpeg" << jpg << QSize(64, 48) << red;
    QTest::newRow("jpe") << "plan.jpe" << jpg << QSize(64, 48) << red;
    QTest::newRow("jfif") << "plan.jfif" << jpg << QSize(64, 48) << red;
    QTest::newRow("upper case five letters") << "PLAN.JPEG" << jpg << QSize(64, 48) << red;
    QTest::newRow("upper case bmp") << "X.BMP" << bmp << QSize(31, 17) << red;
    // The metafile renderer writes colours as the nearest SVG colour name, so
    // the test colour is one of those names (limegreen).
    const QColor limegreen(50, 205, 50);
    QTest::newRow("wmf") << "plan.wmf" << makeWmf(120, 80, limegreen) << QSize(120, 80) << limegreen;
    QTest::newRow("emf") << "plan.emf" << makeEmf(90, 60, red) << QSize(90, 60) << red;
    QTest::newRow("png content named bmp")
        << "falsch.bmp" << makeRaster("png", 10, 10, green) << QSize(10, 10) << green;
    QTest::newRow("bmp content named jpg") << "falsch.jpg" << bmp << QSize(31, 17) << red;
    QTest::newRow("webp") << "plan.webp" << makeWebp(45, 35, red) << QSize(45, 35) << red;
    QTest::newRow("animated webp: the first frame")
        << "animiert.WEBP" << makeAnimatedWebp(24, 18, green, red) << QSize(24, 18) << green;
    const QByteArray svg = makeSvg(70, 50, red);
    QTest::newRow("svg") << "plan.svg" << svg << QSize(70, 50) << red;
    QTest::newRow("svgz") << "plan.svgz" << gzipped(makeSvg(52, 26, green)) << QSize(52, 26) << green;
    QTest::newRow("svg content named png") << "falsch.png" << svg << QSize(70, 50) << red;
    QTest::newRow("svg in UTF-16 named bmp") << "falsch2.bmp" << asUtf16(svg) << QSize(70, 50) << red;
    QTest::newRow("png content named svg") << "falsch.svg" << makeRaster("png", 9, 8, green) << QSize(9, 8) << green;
    QTest::newRow("blanks around the name")
        << "  blank.png  " << makeRaster("png", 11, 12, red) << QSize(11, 12) << red;
}

void TestImageLoading::everyFormatLoads()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    const QString path = write(name.trimmed(), bytes);
    QVERIFY(!path.isEmpty());
    QString error = QStringLiteral("unchanged");
    const QString asTyped =
        name.startsWith(QLatin1Char(' ')) ? QStringLiteral("  ") + path + QStringLiteral("  ") : path;
    const QImage image = loadPictureFile(asTyped, &error);
    QCOMPARE(error, QString());
    QCOMPARE(image.size(), size);
    const QColor centre = image.pixelColor(size.width() / 2, size.height() / 2);
    QVERIFY2(near(centre, colour), qPrintable(centre.name() + QLatin1String(" != ") + colour.name()));
}

void TestImageLoading::checksAndMessages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written when not null
    QTest::addColumn<QString>("error");
    const QByteArray garbage(64, 'x');
    QTest::newRow("empty name") << "" << QByteArray() << "";
    QTest::newRow("blanks only") << "    " << QByteArray() << "";
    QTest::newRow("three characters") << "a.b" << QByteArray() << "Ungeeigneter Dateiname";
    QTest::newRow("four characters") << "ab.c" << QByteArray() << "Ungeeigneter Dateiname";
    QTest::newRow("missing file") << "fehlt.png" << QByteArray() << "Datei nicht vorhanden/verfügbar";
    QTest::newRow("nine bytes") << "a.png" << QByteArray(9, 'x') << "Leere Datei";
    QTest::newRow("zero bytes") << "leer.bmp" << QByteArray("") << "Leere Datei";
    QTest::newRow("unknown extension") << "bild.pcx" << garbage << "Bildformat wird nicht unterstützt";
    QTest::newRow("no extension") << "bildohne" << garbage << "Bildformat wird nicht unterstützt";
    QTest::newRow("bitmap group garbage") << "kaputt.png" << garbage
                                          << "Bitmap kann nicht aus Bild-Datei erstellt werden\r\n"
                                             "unbekanntes Bildformat";
    QTest::newRow("five letter garbage") << "KAPUTT.JPEG" << garbage
                                         << "Bitmap kann nicht aus Bild-Datei erstellt werden\r\n"
                                            "unbekanntes Bildformat";
    QTest::newRow("truncated png") << "halb.png" << makeRaster("png", 200, 200, Qt::red).left(60)
                                   << "Bitmap kann nicht aus Bild-Datei erstellt werden\r\nUngeeigneter Parameter";
    QTest::newRow("picture loader garbage") << "kaputt.bmp" << garbage << "Laden des Bildes scheitert (Loadpicture)";
    QTest::newRow("wmf garbage") << "kaputt.wmf" << garbage << "Laden des Bildes scheitert (Loadpicture)";
    QTest::newRow("emf garbage") << "kaputt.emf" << garbage << "Laden des Bildes scheitert (Loadpicture)";
    QTest::newRow("truncated wmf") << "halb.wmf" << makeWmf(50, 50, Qt::red).left(30)
                                   << "Laden des Bildes scheitert (Loadpicture)";
    // Small files whose headers claim huge pictures are refused before decoding.
    const QByteArray bmp = makeRaster("bmp", 4, 4, Qt::red);
    QTest::newRow("bmp claiming 16000 x 16000")
        << "riesig.bmp" << withBmpSize(bmp, 16000, 16000) << tooLarge(16000, 16000);
    QTest::newRow("rle claiming 16000 x 16000")
        << "riesig.rle" << withBmpSize(makeRle8(Qt::red), 16000, 16000) << tooLarge(16000, 16000);
    QTest::newRow("bitmap group, 16000 x 16000")
        << "riesig.jpg" << withBmpSize(bmp, 16000, 16000) << tooLarge(16000, 16000);
    QTest::newRow("emf bounds of 16384 x 16384")
        << "riesig.emf" << makeEmf(16384, 16384, Qt::red) << tooLarge(16384, 16384);
    QTest::newRow("broken svg") << "kaputt.svg" << makeSvg(20, 20, Qt::red).chopped(8)
                                << "Laden des Bildes scheitert (Loadpicture)";
    QTest::newRow("svg that is no drawing") << "kein.svg" << QByteArray("<html><body>Hallo</body></html>")
                                            << "Laden des Bildes scheitert (Loadpicture)";
    QTest::newRow("garbage svgz") << "kaputt.svgz" << QByteArray("\x1f\x8b") + garbage
                                  << "Laden des Bildes scheitert (Loadpicture)";
    QTest::newRow("broken svg named png") << "kaputt2.png" << makeSvg(20, 20, Qt::red).chopped(8)
                                          << "Bitmap kann nicht aus Bild-Datei erstellt werden\r\n"
                                             "Ungeeigneter Parameter";
    QTest::newRow("garbage webp") << "kaputt.webp" << QByteArray("RIFF\x40\0\0\0WEBP") + garbage
                                  << "Bitmap kann nicht aus Bild-Datei erstellt werden\r\n"
                                     "unbekanntes Bildformat";
    QTest::newRow("svg of 20000 x 10000") << "riesig.svg" << makeSvg(20000, 10000, Qt::red)
                                          << tooLarge(20000, 10000);
    QTest::newRow("svgz of 20000 x 10000") << "riesig.svgz" << gzipped(makeSvg(20000, 10000, Qt::red))
                                           << tooLarge(20000, 10000);
    QTest::newRow("webp claiming 16384 x 16384")
        << "riesig.webp" << withWebpSize(makeWebp(4, 4, Qt::red), 16384, 16384) << tooLarge(16384, 16384);
    QTest::newRow("one row over 100 million pixels")
        << "knapp.bmp" << withBmpSize(bmp, 10000, 10001) << tooLarge(10000, 10001);
}

void TestImageLoading::checksAndMessages()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QString path = name;
    if (!bytes.isNull()) {
        path = write(name, bytes);
        QVERIFY(!path.isEmpty());
    } else if (name.trimmed().size() >= 5) {
        path = m_dir.filePath(name);
    }
    QString reported = QStringLiteral("unchanged");
    const QImage image = loadPictureFile(path, &reported);
    QCOMPARE(reported, error);
    QVERIFY(image.isNull());
}

// The loader's own messages above show the texts in use; these rows pin the
// edges of the table: the first, a gap, one with an umlaut, the last and beyond.
void TestImageLoading::statusTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "";
    QTest::newRow("1") << 1 << "fehlerhafte Initialisierung";
    QTest::newRow("4") << 4 << "GDIPlus ist noch beschäftigt";
    QTest::newRow("6") << 6 << "";
    QTest::newRow("16") << 16 << "";
    QTest::newRow("20") << 20 << "Eigenschaft wird nicht unterstützt";
    QTest::newRow("21") << 21 << "";
    QTest::newRow("-1") << -1 << "";
}

void TestImageLoading::statusTexts()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(gdiPlusStatusText(status), text);
}

// The largest picture allowed. Only its header is real: the decoder accepts
// the missing rows, and the 400 MB are never touched.
void TestImageLoading::hundredMillionPixelsLoad()
{
    QString error = QStringLiteral("unchanged");
    const QImage image = loadPictureFile(
        write(QStringLiteral("grenze.bmp"), withBmpSize(makeRaster("bmp", 4, 4, Qt::red), 10000, 10000)), &error);
    QCOMPARE(error, QString());
    QCOMPARE(image.size(), QSize(10000, 10000));
}

void TestImageLoading::transparencyShowsWhite()
{
    QImage clear(8, 8, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixelColor(0, 0, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(clear.save(&buffer, "png"));
    QString error;
    const QImage image = loadPictureFile(write(QStringLiteral("durchsichtig.png"), bytes), &error);
    QCOMPARE(error, QString());
    QCOMPARE(image.hasAlphaChannel(), false);
    QCOMPARE(image.pixelColor(4, 4), QColor(Qt::white));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::blue));
}

// Pictures the loader reads past their text chunks, and pictures of 16 bits
// a channel that it narrows a strip of rows at a time: the pixels are those
// of the whole picture converted at once (transparent parts white).
void TestImageLoading::textChunksAndSixteenBits_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("text");
    const QString longText = QStringLiteral("Beschreibung des Plans. ").repeated(40'000);
    QTest::newRow("8 bits, long text") << QImage::Format_RGB32 << QSize(40, 30) << longText;
    QTest::newRow("8 bits with alpha, short text") << QImage::Format_ARGB32 << QSize(40, 30) << QStringLiteral("Plan");
    // 201 rows: the last strip is a single row.
    QTest::newRow("16 bits") << QImage::Format_RGBX64 << QSize(300, 201) << QString();
    QTest::newRow("16 bits with alpha and text") << QImage::Format_RGBA64 << QSize(300, 201) << longText;
}

void TestImageLoading::textChunksAndSixteenBits()
{
    QFETCH(QImage::Format, format);
    QFETCH(QSize, size);
    QFETCH(QString, text);
    QImage source(size, format);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            source.setPixelColor(x, y, QColor::fromRgba64(quint16(x * 217), quint16(y * 331), quint16(x * y * 7),
                                                          quint16(65535 - (x + y) * 97)));
    }
    const QString path = m_dir.filePath(QStringLiteral("text-%1.png").arg(int(format)));
    QImageWriter writer(path, "png");
    if (!text.isEmpty()) {
        writer.setText(QStringLiteral("Description"), text);
        writer.setText(QStringLiteral("Comment"), QStringLiteral("Grüße"));
    }
    QVERIFY(writer.write(source));
    QImage expected = QImageReader(path).read();
    QCOMPARE(expected.depth(), format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ? 32 : 64);
    if (expected.hasAlphaChannel()) {
        expected.convertTo(QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&expected);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
        painter.fillRect(expected.rect(), Qt::white);
    }
    expected.convertTo(QImage::Format_RGB32);

    QString error;
    const QImage loaded = loadPictureFile(path, &error);
    QCOMPARE(error, QString());
    QCOMPARE(loaded.format(), QImage::Format_RGB32);
    QCOMPARE(loaded.size(), size);
    for (int y = 0; y < size.height(); ++y)
        QVERIFY2(std::memcmp(loaded.constScanLine(y), expected.constScanLine(y), size.width() * 4) == 0,
                 qPrintable(QStringLiteral("row %1").arg(y)));
}

void TestImageLoading::metafileTextOutsideAscii()
{
    QString error;
    const QImage image = loadPictureFile(write(QStringLiteral("text.wmf"), makeWmfWithText()), &error);
    QCOMPARE(error, QString());
    QCOMPARE(image.size(), QSize(80, 40));
    QVERIFY(near(image.pixelColor(70, 35), Qt::yellow));
}

// A drawing that names a red picture or a style sheet painting it red, by
// path, by URL and relative to the current folder, over a white sheet: the
// sheet stays white. A picture carried in the document itself is drawn.
void TestImageLoading::drawingsReadNoOtherFile_data()
{
    QTest::addColumn<QString>("inside"); // %1: the folder of rot.png and rot.css
    QTest::addColumn<QColor>("centre");
    const QString image = QStringLiteral("<image x=\"0\" y=\"0\" width=\"40\" height=\"40\" %1/>");
    QTest::newRow("picture by path") << image.arg("xlink:href=\"%1/rot.png\"") << QColor(Qt::white);
    QTest::newRow("picture by file URL") << image.arg("xlink:href=\"file://%1/rot.png\"") << QColor(Qt::white);
    QTest::newRow("picture by relative name") << image.arg("xlink:href=\"rot.png\"") << QColor(Qt::white);
    QTest::newRow("picture by plain href") << image.arg("href=\"%1/rot.png\"") << QColor(Qt::white);
    QTest::newRow("style sheet instruction") << "<?xml-stylesheet type=\"text/css\" href=\"%1/rot.css\"?>"
                                             << QColor(Qt::white);
    QTest::newRow("picture in the document")
        << image.arg("xlink:href=\"data:image/png;base64," +
                     QString::fromLatin1(makeRaster("png", 4, 4, Qt::red).toBase64()) + "\"")
        << QColor(Qt::red);
}

void TestImageLoading::drawingsReadNoOtherFile()
{
    QFETCH(QString, inside);
    QFETCH(QColor, centre);
    QVERIFY(!write(QStringLiteral("rot.png"), makeRaster("png", 40, 40, Qt::red)).isEmpty());
    QVERIFY(!write(QStringLiteral("rot.css"), "rect { fill: red }").isEmpty());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    const QByteArray reference = QString(inside).replace(QLatin1String("%1"), m_dir.path()).toUtf8();
    QByteArray svg = makeSvg(40, 40, Qt::white, reference);
    if (reference.startsWith("<?")) // an instruction stands before the root
        svg.replace("<!-- Zeichnung -->", reference);
    QString error;
    const QImage image = loadPictureFile(write(QStringLiteral("verweis.svg"), svg), &error);
    QDir::setCurrent(previous);
    QCOMPARE(error, QString());
    QCOMPARE(image.pixelColor(20, 20), centre);
}

void TestImageLoading::garbageNeverCrashes_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QByteArray>("start"); // a real header, so the decoders get past it
    for (const char* ext : {"bmp", "dib", "rle", "ico", "cur", "gif", "png", "tif", "jpg", "jfif", "webp", "svg", "svgz"})
        QTest::newRow(ext) << QString::fromLatin1(ext) << QByteArray();
    QTest::newRow("wmf header") << "wmf" << makeWmf(30, 30, Qt::red).left(40);
    QTest::newRow("emf header") << "emf" << makeEmf(30, 30, Qt::red).left(88);
    QTest::newRow("png header") << "png" << makeRaster("png", 30, 30, Qt::red).left(33);
    QTest::newRow("bmp header") << "bmp" << makeRaster("bmp", 30, 30, Qt::red).left(54);
    QTest::newRow("webp header") << "webp" << makeWebp(30, 30, Qt::red).left(30);
    QTest::newRow("svg start") << "svg" << makeSvg(30, 30, Qt::red).left(150);
    QTest::newRow("svgz start") << "svgz" << gzipped(makeSvg(30, 30, Qt::red)).left(40);
}

void TestImageLoading::garbageNeverCrashes()
{
    QFETCH(QString, extension);
    QFETCH(QByteArray, start);
    QRandomGenerator random(4711);
    for (int round = 0; round < 25; ++round) {
        QByteArray bytes = start;
        const int length = 10 + int(random.bounded(400));
        for (int i = 0; i < length; ++i)
            bytes.append(char(random.bounded(256)));
        QString error;
        const QImage image = loadPictureFile(write(QStringLiteral("zufall%1.").arg(round) + extension, bytes), &error);
        // Either a picture or a reason, never both and never neither.
        QCOMPARE(image.isNull(), !error.isEmpty());
    }
}

QTEST_MAIN(TestImageLoading)
#include "tst_imageloading.moc"
