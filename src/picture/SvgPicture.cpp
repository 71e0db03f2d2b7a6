#include "picture/SvgPicture.h"

#include "picture/ImageLoader.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

#include <zlib.h>

namespace korvane {

namespace {

// A drawing's text is read whole; beyond this it is taken for no drawing
// rather than filling the memory (a small .svgz may inflate to gigabytes).
constexpr qsizetype kMaxSvgBytes = 256 * 1024 * 1024;

bool isGzip(const QByteArray& bytes)
{
    return bytes.startsWith("\x1f\x8b");
}

// What a gzip stream holds, at most `limit` bytes of it; `complete` tells
// whether the stream ended within them.
QByteArray inflated(const QByteArray& bytes, qsizetype limit, bool& complete)
{
    complete = false;
    z_stream stream{};
    if (inflateInit2(&stream, MAX_WBITS + 16) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(std::min<qsizetype>(bytes.size(), kMaxSvgBytes));
    QByteArray text;
    int status = Z_OK;
    while (status == Z_OK && text.size() < limit) {
        const qsizetype at = text.size();
        const qsizetype chunk = std::min<qsizetype>(limit - at, std::max<qsizetype>(at, 64 * 1024));
        text.resize(at + chunk);
        stream.next_out = reinterpret_cast<Bytef*>(text.data() + at);
        stream.avail_out = uInt(chunk);
        status = inflate(&stream, Z_NO_FLUSH);
        text.resize(at + chunk - qsizetype(stream.avail_out));
    }
    inflateEnd(&stream);
    complete = status == Z_STREAM_END;
    return text;
}

bool firstElementIsSvg(const QByteArray& text)
{
    // Binary pictures end here: markup starts with "<" after blanks or a byte-order mark.
    qsizetype at = text.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (at < text.size() && QByteArrayView(" \t\r\n").contains(text[at]))
        ++at;
    if ((at >= text.size() || text[at] != '<') && !text.startsWith("\xff\xfe") && !text.startsWith("\xfe\xff"))
        return false;
    QXmlStreamReader reader(text);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement)
            return reader.name() == u"svg";
    return false;
}

// A reference that stays inside the document: a fragment, or data carried in the URL itself.
bool staysInside(QStringView reference)
{
    const QStringView trimmed = reference.trimmed();
    return trimmed.startsWith(u'#') || trimmed.startsWith(u"data:", Qt::CaseInsensitive);
}

void writeStartElement(QXmlStreamWriter& writer, const QXmlStreamReader& reader)
{
    writer.writeStartElement(reader.namespaceUri().toString(), reader.name().toString());
    for (const QXmlStreamNamespaceDeclaration& declaration : reader.namespaceDeclarations())
        writer.writeNamespace(declaration.namespaceUri().toString(), declaration.prefix().toString());
    for (const QXmlStreamAttribute& attribute : reader.attributes())
        if (attribute.name() != u"href" || staysInside(attribute.value()))
            writer.writeAttribute(attribute);
}

// The document without what reaches out of it: references to other files
// (the renderer would load pictures by them) and processing instructions (a
// style sheet instruction reads its file). Null when it is no well-formed XML.
QByteArray withoutExternalReferences(const QByteArray& svg)
{
    QXmlStreamReader reader(svg);
    QByteArray document;
    QXmlStreamWriter writer(&document);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement())
            writeStartElement(writer, reader);
        else if (!reader.isProcessingInstruction() && !reader.hasError())
            writer.writeCurrentToken(reader);
    }
    return reader.hasError() ? QByteArray() : document;
}

} // namespace

bool looksLikeSvg(const QByteArray& head)
{
    bool complete = false;
    return firstElementIsSvg(isGzip(head) ? inflated(head, kSvgHeadBytes, complete) : head);
}

QImage renderSvgDocument(const QByteArray& bytes, QSize* refused)
{
    bool complete = !isGzip(bytes);
    const QByteArray text = complete ? bytes : inflated(bytes, kMaxSvgBytes, complete);
    if (!complete || text.size() > kMaxSvgBytes || !firstElementIsSvg(text))
        return {};
    const QByteArray document = withoutExternalReferences(text);
    if (document.isEmpty())
        return {};
    QSvgRenderer renderer(document);
    if (!renderer.isValid())
        return {};
    const QSize size = renderer.defaultSize();
    if (pictureTooLarge(size)) {
        if (refused)
            *refused = size;
        return {};
    }
    return drawOnWhite(renderer, size);
}

QImage drawOnWhite(QSvgRenderer& renderer, QSize size)
{
    if (!size.isValid() || size.isEmpty() || pictureTooLarge(size))
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace korvane
