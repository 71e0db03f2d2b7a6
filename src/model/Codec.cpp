#include "model/Codec.h"

#include "model/PageFaults.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cstdint>

namespace korvane {

namespace {

// Characters of the bytes 0x80 to 0x9F; undefined bytes keep their C1 code point.
constexpr std::array<char16_t, 32> kHighTable = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// A big text is decoded into memory faulted in with one call: page by page,
// the 40 MB that a 20 MB page becomes cost more than the decoding itself.
QString fromUtf8(const QByteArray& bytes)
{
    constexpr qsizetype kPrefaultFrom = 1024 * 1024;
    // Every mark stays a character, as in a browser after the first; callers
    // drop the one that starts a file (QString::fromUtf8() would drop it too).
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    if (bytes.size() < kPrefaultFrom)
        return decoder.decode(bytes);
    QString text = textBuffer(bytes.size()); // UTF-8 never needs more units
    const QChar* end = decoder.appendToBuffer(text.data(), bytes);
    text.truncate(end - text.constData());
    return text;
}

} // namespace

QString textBuffer(qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    faultInPages(text.data(), size_t(text.size()) * sizeof(QChar));
    return text;
}

QChar* appendWindows1252(QChar* out, QByteArrayView bytes)
{
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHighTable[b - 0x80] : char16_t(b));
    }
    return out;
}

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    appendWindows1252(text.data(), bytes);
    return text;
}

QByteArray toWindows1252(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = encodeChar(text[i].unicode());
    return bytes;
}

// Checked without decoding: a big page is then decoded only once.
bool isValidUtf8(const QByteArray& bytes)
{
    return QByteArrayView(bytes).isValidUtf8();
}

TextEncoding utf16ByMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    return TextEncoding::Utf8;
}

QByteArray byteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LE:
        return QByteArray("\xFF\xFE");
    case TextEncoding::Utf16BE:
        return QByteArray("\xFE\xFF");
    default:
        return {};
    }
}

TextEncoding detectEncoding(const QByteArray& bytes)
{
    if (const TextEncoding marked = utf16ByMark(bytes); marked != TextEncoding::Utf8)
        return marked;
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    return !ascii && isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString decodeText(const QByteArray& bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return fromUtf8(bytes);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const QByteArray body = bytes.startsWith(byteOrderMark(encoding)) ? bytes.mid(2) : bytes;
        QStringDecoder decoder(encoding == TextEncoding::Utf16LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(body);
    }
    case TextEncoding::Windows1252:
        break;
    }
    return fromWindows1252(bytes);
}

QByteArray encodeText(const QString& text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return text.toUtf8();
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        QStringEncoder encoder(encoding == TextEncoding::Utf16LE ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
                               QStringEncoder::Flag::Stateless);
        return encoder.encode(text);
    }
    case TextEncoding::Windows1252:
        break;
    }
    return toWindows1252(text);
}

} // namespace korvane
