#include "picture/ImageLoader.h"
#include "picture/PictureHeader.h"
#include "model/StageClock.h"
#include "picture/SvgPicture.h"
#include "canvas/PictureMemory.h"

#include "model/AreaEntry.h"
#include "model/Codec.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstdlib>

#ifdef KORVANE_HAVE_WMF
#include <libwmf/api.h>
#include <libwmf/svg.h>
#endif
#ifdef KORVANE_HAVE_EMF2SVG
#include <emf2svg.h>
#endif

namespace korvane {

namespace {

// Drawings (SVG) are rendered; the other two groups decode bitmaps.
enum class Decoder { None, PictureLoader, Bitmap, Drawing };

// Statuses of the bitmap decoder that the loader reports.
enum Status { InvalidParameter = 2, OutOfMemory = 3, FileNotFound = 10, AccessDenied = 12, UnknownImageFormat = 13 };

QString kUnsuitableName()
{
    return QCoreApplication::translate("korvane::ImageLoader", "Ungeeigneter Dateiname");
}
QString kMissing()
{
    return QCoreApplication::translate("korvane::ImageLoader", "Datei nicht vorhanden/verfügbar");
}
QString kEmpty()
{
    return QCoreApplication::translate("korvane::ImageLoader", "Leere Datei");
}
QString kUnsupported()
{
    return QCoreApplication::translate("korvane::ImageLoader", "Bildformat wird nicht unterstützt");
}
QString kPictureLoaderFailed()
{
    return QCoreApplication::translate("korvane::ImageLoader", "Laden des Bildes scheitert (Loadpicture)");
}
QString kBitmapFailed()
{
    return QCoreApplication::translate("korvane::ImageLoader", "Bitmap kann nicht aus Bild-Datei erstellt werden");
}
QString kHandleFailed()
{
    return QCoreApplication::translate("korvane::ImageLoader", "Bitmap-Handle kann nicht erzeugt werden");
}

struct PictureKind {
    const char* extension;
    Decoder decoder;
};

// Every file name extension the loader takes, and its decoder group.
constexpr PictureKind kPictureKinds[] = {
    {".bmp", Decoder::PictureLoader}, {".dib", Decoder::PictureLoader}, {".rle", Decoder::PictureLoader},
    {".ico", Decoder::PictureLoader}, {".cur", Decoder::PictureLoader}, {".emf", Decoder::PictureLoader},
    {".wmf", Decoder::PictureLoader}, {".gif", Decoder::Bitmap},        {".png", Decoder::Bitmap},
    {".tif", Decoder::Bitmap},        {".tiff", Decoder::Bitmap},       {".jpg", Decoder::Bitmap},
    {".jpeg", Decoder::Bitmap},       {".jpe", Decoder::Bitmap},        {".jfif", Decoder::Bitmap},
    {".webp", Decoder::Bitmap},       {".svg", Decoder::Drawing},       {".svgz", Decoder::Drawing},
};

Decoder decoderFor(const QString& name)
{
    for (const PictureKind& kind : kPictureKinds)
        if (name.endsWith(QLatin1String(kind.extension), Qt::CaseInsensitive))
            return kind.decoder;
    return Decoder::None;
}

// The decoders may briefly hold a picture with 16 bits a channel (8 bytes a
// pixel) before it becomes the surface's 32 bits; nothing larger is allocated.
constexpr int kAllocationLimitMb = int(kMaxPicturePixels * 8 / (1024 * 1024)) + 1;
// Enough of a file's start to tell a metafile or a bare bitmap header.
constexpr qint64 kSniffBytes = 128;

// The decoder group of a file's content: the picture loader's formats and the
// bitmap decoder's, as in the table of extensions above.
Decoder decoderForContent(const QByteArray& bytes)
{
    using namespace Qt::StringLiterals;
    for (QByteArrayView magic : {"BM"_ba, "\0\0\1\0"_ba, "\0\0\2\0"_ba}) // bitmap, icon, cursor
        if (bytes.startsWith(magic))
            return Decoder::PictureLoader;
    if (looksLikeWmf(bytes) || looksLikeEmf(bytes))
        return Decoder::PictureLoader;
    for (QByteArrayView magic :
         {"\x89PNG\r\n\x1a\n"_ba, "GIF87a"_ba, "GIF89a"_ba, "II*\0"_ba, "MM\0*"_ba, "\xff\xd8\xff"_ba})
        if (bytes.startsWith(magic))
            return Decoder::Bitmap;
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP")
        return Decoder::Bitmap;
    return looksLikeSvg(bytes) ? Decoder::Drawing : Decoder::None;
}

// The decoder for the file: by its name, or by its content where the caller
// asks for that and the name says nothing.
Decoder decoderOf(const QString& name, bool byContent)
{
    const Decoder byName = decoderFor(name);
    if (byName != Decoder::None || !byContent)
        return byName;
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? decoderForContent(file.read(kSvgHeadBytes)) : Decoder::None;
}

bool sizeAcceptable(const QSize& size)
{
    return size.isValid() && !size.isEmpty() && !pictureTooLarge(size);
}

// Where the transparency of the picture being loaded on this thread goes,
// when its caller asks for it (see loadPictureFile()); the decoders between
// here and there need not know.
thread_local QImage* t_transparency = nullptr;

// The picture's alpha, when some pixel of it is not opaque.
void keepTransparency(const QImage& premultiplied)
{
    if (!t_transparency)
        return;
    for (int y = 0; y < premultiplied.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
        for (int x = 0; x < premultiplied.width(); ++x) {
            if (qAlpha(line[x]) != 255) {
                *t_transparency = premultiplied.convertToFormat(QImage::Format_Alpha8);
                return;
            }
        }
    }
}

// The surface draws on an opaque 32-bit picture: transparent parts show
// white, as on a fresh sheet. The picture is changed in its own memory where
// Qt can, so loading keeps no second copy of it.
QImage opaqueAsIs(QImage image)
{
    if (image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return image;
        keepTransparency(image);
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
        painter.fillRect(image.rect(), Qt::white);
        painter.end();
        // Every pixel is opaque now, so the bytes are already those of RGB32.
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    image.convertTo(QImage::Format_RGB32);
    return image;
}

// A picture of 16 bits a channel becomes 32 bits in its own memory, a strip
// at a time: never a second picture of its size beside it.
QImage opaque(QImage image)
{
    const stages::Clock clock(stages::Stage::Converting);
    if (image.depth() > 32)
        return narrowedInPlace(std::move(image), [](const QImage& strip) { return opaqueAsIs(strip); });
    return opaqueAsIs(std::move(image));
}

struct Decoded {
    QImage image;
    QImageReader::ImageReaderError error = QImageReader::UnknownError;
    QSize refused; // the size of a picture over the limit
};

// Decodes with Qt's readers; the format comes from the content, not the name.
// The size the header declares is checked before anything is decoded.
Decoded decodeRasterAsIs(QIODevice& device)
{
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kAllocationLimitMb);
    Decoded result;
    // Drawings go through loadDrawing() alone, which keeps them from reading other files.
    if (reader.format().startsWith("svg"))
        return result;
    const QSize size = reader.size();
    if (size.isValid() && pictureTooLarge(size)) {
        result.refused = size;
        return result;
    }
    stages::Clock decoding(stages::Stage::Decoding);
    // Decoded straight into memory of the kind the canvas keeps; a decoder
    // that gives another format allocates its own.
    if (size.isValid())
        result.image = allocatePicture(size, reader.imageFormat());
    if (!reader.read(&result.image))
        result.image = QImage();
    decoding.stop();
    if (result.image.isNull()) {
        result.error = reader.error();
    } else if (pictureTooLarge(result.image.size())) {
        // A format that tells its size only by decoding.
        result.refused = result.image.size();
        result.image = QImage();
    }
    return result;
}

// A PNG file is decoded without its text chunks.
Decoded decodeRaster(QIODevice& device)
{
    std::vector<PngWithoutText::Part> parts = PngWithoutText::keptParts(device);
    if (parts.empty())
        return decodeRasterAsIs(device);
    PngWithoutText withoutText(device, std::move(parts));
    return decodeRasterAsIs(withoutText);
}

// Metafiles are read whole and drawn; bitmaps decode straight from the file.
QImage loadWithPictureLoader(QFile& file, QString& error)
{
    const QByteArray start = file.peek(kSniffBytes);
    QSize refused;
    QImage picture;
    if (looksLikeWmf(start) || looksLikeEmf(start)) {
        const QByteArray bytes = file.readAll();
        picture = looksLikeWmf(bytes) ? renderWmf(bytes, &refused) : renderEmf(bytes, &refused);
    } else {
        Decoded decoded;
        if (lacksFileHeader(start)) {
            QByteArray whole = withFileHeader(file.readAll());
            QBuffer buffer(&whole);
            buffer.open(QIODevice::ReadOnly);
            decoded = decodeRaster(buffer);
        } else {
            decoded = decodeRaster(file);
        }
        refused = decoded.refused;
        picture = opaque(std::move(decoded.image));
    }
    if (refused.isValid())
        error = pictureTooLargeText(refused);
    else if (picture.isNull())
        error = kPictureLoaderFailed();
    return picture;
}

int statusOf(const Decoded& decoded)
{
    switch (decoded.error) {
    case QImageReader::UnsupportedFormatError:
        return UnknownImageFormat;
    case QImageReader::FileNotFoundError:
        return FileNotFound;
    case QImageReader::DeviceError:
        return AccessDenied;
    default:
        return InvalidParameter;
    }
}

QImage loadWithBitmapDecoder(QIODevice& device, QString& error)
{
    Decoded decoded = decodeRaster(device);
    if (decoded.refused.isValid()) {
        error = pictureTooLargeText(decoded.refused);
        return {};
    }
    if (decoded.image.isNull()) {
        error = kBitmapFailed() + kCrLf + gdiPlusStatusText(statusOf(decoded));
        return {};
    }
    QImage picture = opaque(std::move(decoded.image));
    if (picture.isNull())
        error = kHandleFailed() + kCrLf + gdiPlusStatusText(OutOfMemory);
    return picture;
}

// Draws an SVG document into a white picture of the given size (the
// document's own size when none is given).
QImage renderSvg(const QByteArray& svg, QSize size)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    return drawOnWhite(renderer, sizeAcceptable(size) ? size : renderer.defaultSize());
}

// An SVG drawing, whatever group its name belongs to.
QImage loadDrawing(QFile& file, Decoder decoder, QString& error)
{
    QSize refused;
    const QImage picture = renderSvgDocument(file.readAll(), &refused);
    if (refused.isValid())
        error = pictureTooLargeText(refused);
    else if (picture.isNull())
        error = decoder == Decoder::Bitmap ? kBitmapFailed() + kCrLf + gdiPlusStatusText(InvalidParameter)
                                           : kPictureLoaderFailed();
    return picture;
}

} // namespace

bool pictureTooLarge(QSize size)
{
    return qint64(std::max(0, size.width())) * std::max(0, size.height()) > kMaxPicturePixels;
}

QString pictureTooLargeText(QSize size)
{
    return QCoreApplication::translate("korvane::ImageLoader",
                                       "Das Bild ist zu groß: %1 × %2 Bildpunkte. Geöffnet werden Bilder mit höchstens "
                                       "100 Millionen Bildpunkten (zum Beispiel 10000 × 10000).")
        .arg(size.width())
        .arg(size.height());
}

QString gdiPlusStatusText(int status)
{
    static const char* const texts[] = {
        "",
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "fehlerhafte Initialisierung"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Ungeeigneter Parameter"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Speichermangel"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "GDIPlus ist noch beschäftigt"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Buffer zu klein"),
        "",
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Windows32-Fehler"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Falscher interner Zustand"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Abbruch der Operation"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Datei nicht gefunden"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Wert-Überlauf"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Zugriff verweigert"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "unbekanntes Bildformat"),
        "",
        "",
        "",
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "GDIPlus-Version wird nicht unterstützt"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Keine GDIPlus-Verbindung"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Eigenschaft nicht gefunden"),
        QT_TRANSLATE_NOOP("korvane::ImageLoader", "Eigenschaft wird nicht unterstützt")};
    if (status < 1 || status > 20 || !*texts[status])
        return {};
    return QCoreApplication::translate("korvane::ImageLoader", texts[status]);
}

#ifdef KORVANE_HAVE_WMF
namespace {

int appendToSink(char* text, void* context)
{
    static_cast<QByteArray*>(context)->append(text);
    return 0;
}

int resetSink(void* context)
{
    static_cast<QByteArray*>(context)->clear();
    return 0;
}

// The SVG device writes Windows-1252 text without declaring it; the XML reader
// would take it as UTF-8 and reject any character above 127. Decode it here and
// hand the reader UTF-8 that says so.
QByteArray asUtf8Document(const QByteArray& svg)
{
    QString text = fromWindows1252(svg);
    if (text.startsWith(QLatin1String("<?xml"))) {
        const qsizetype end = text.indexOf(QLatin1String("?>"));
        if (end >= 0)
            text.remove(0, end + 2);
    }
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + text.toUtf8();
}

} // namespace

QImage renderWmf(const QByteArray& bytes, QSize* refused)
{
    if (!looksLikeWmf(bytes))
        return {};
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return {};
    }
    QByteArray svg;
    wmfStream sink{&svg, appendToSink, resetSink};
    wmf_svg_t* device = WMF_SVG_GetData(api);
    device->out = &sink;
    device->Description = const_cast<char*>("Korvane");
    QByteArray data = bytes; // the library wants writable memory
    wmfD_Rect box{};
    unsigned int width = 0;
    unsigned int height = 0;
    wmf_error_t err = wmf_mem_open(api, reinterpret_cast<unsigned char*>(data.data()), long(data.size()));
    if (err == wmf_E_None)
        err = wmf_scan(api, 0, &box);
    if (err == wmf_E_None)
        err = wmf_display_size(api, &width, &height, 96, 96);
    const QSize size{int(std::min<unsigned>(width, INT_MAX)), int(std::min<unsigned>(height, INT_MAX))};
    if (err == wmf_E_None && sizeAcceptable(size)) {
        device->bbox = box;
        device->width = width;
        device->height = height;
        err = wmf_play(api, 0, &box);
    } else if (err == wmf_E_None) {
        if (refused && pictureTooLarge(size))
            *refused = size;
        err = wmf_E_BadFormat;
    }
    wmf_api_destroy(api);
    if (err != wmf_E_None)
        return {};
    return renderSvg(asUtf8Document(svg), size);
}
#else
QImage renderWmf(const QByteArray&, QSize*)
{
    return {};
}
#endif

namespace {

// The header's bounds are the picture's size in device pixels (inclusive).
QSize emfSize(const QByteArray& bytes)
{
    const qint64 left = qFromLittleEndian<qint32>(bytes.constData() + 8);
    const qint64 top = qFromLittleEndian<qint32>(bytes.constData() + 12);
    const qint64 right = qFromLittleEndian<qint32>(bytes.constData() + 16);
    const qint64 bottom = qFromLittleEndian<qint32>(bytes.constData() + 20);
    const auto extent = [](qint64 from, qint64 to) { return int(std::clamp<qint64>(to - from + 1, 0, INT_MAX)); };
    return QSize(extent(left, right), extent(top, bottom));
}

QImage drawEmf(const QByteArray& bytes, QSize size);

} // namespace

QImage renderEmf(const QByteArray& bytes, QSize* refused)
{
    if (!looksLikeEmf(bytes))
        return {};
    const QSize size = emfSize(bytes);
    if (pictureTooLarge(size)) {
        if (refused)
            *refused = size;
        return {};
    }
    return sizeAcceptable(size) ? drawEmf(bytes, size) : QImage();
}

namespace {

#ifdef KORVANE_HAVE_EMF2SVG
QImage drawEmf(const QByteArray& bytes, QSize size)
{
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("svg");
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = size.width();
    options.imgHeight = size.height();
    QByteArray data = bytes;
    char* out = nullptr;
    size_t length = 0;
    const int converted = emf2svg(data.data(), size_t(data.size()), &out, &length, &options);
    const QByteArray svg = out ? QByteArray(out, qsizetype(length)) : QByteArray();
    std::free(out);
    if (!converted || svg.isEmpty())
        return {};
    return renderSvg(svg, size);
}
#else
QImage drawEmf(const QByteArray&, QSize)
{
    return {};
}
#endif

} // namespace

bool hasPictureExtension(const QString& fileName)
{
    return decoderFor(fileName) != Decoder::None;
}

QStringList pictureExtensions()
{
    QStringList extensions;
    for (const PictureKind& kind : kPictureKinds)
        extensions << QLatin1String(kind.extension);
    return extensions;
}

bool looksLikePicture(const QByteArray& bytes)
{
    return decoderForContent(bytes) != Decoder::None;
}

namespace {

QImage loadNow(const QString& name, Decoder decoder, QString& message)
{
    const QFileInfo info(name);
    if (name.isEmpty()) {
        // An empty name asks for an empty picture.
    } else if (name.size() < 5) {
        message = kUnsuitableName();
    } else if (!info.isFile()) {
        message = kMissing();
    } else if (info.size() < 10) {
        message = kEmpty();
    } else if (decoder == Decoder::None) {
        message = kUnsupported();
    } else {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            message = decoder == Decoder::PictureLoader ? kPictureLoaderFailed()
                                                        : kBitmapFailed() + kCrLf + gdiPlusStatusText(AccessDenied);
        else if (looksLikeSvg(file.peek(kSvgHeadBytes)))
            return loadDrawing(file, decoder, message);
        else if (decoder == Decoder::Bitmap)
            return loadWithBitmapDecoder(file, message);
        else // a drawing's name on a bitmap or metafile: its content decides
            return loadWithPictureLoader(file, message);
    }
    return {};
}

} // namespace

QImage loadPictureFile(const QString& fileName, QString* error, bool byContent, QImage* transparency)
{
    if (transparency)
        *transparency = QImage();
    t_transparency = transparency;
    const auto forget = qScopeGuard([] { t_transparency = nullptr; });
    QString message;
    // Only blanks are trimmed, as typed names may end in other white space.
    const QString name = blanksTrimmed(fileName);
    QImage picture = loadNow(name, decoderOf(name, byContent), message);
    if (error)
        *error = message;
    return picture;
}

} // namespace korvane
