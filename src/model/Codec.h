#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252 text without loss: every byte maps to one character and back,
// the five bytes the code page leaves undefined to U+0081, U+008D, U+008F,
// U+0090 and U+009D.
namespace korvane {

// The line end of every text file the program writes.
inline const QString kCrLf = QStringLiteral("\r\n");

enum class TextEncoding { Windows1252, Utf8, Utf16LE, Utf16BE };

QString fromWindows1252(const QByteArray& bytes);
// Writes the characters of the bytes from `out` on; returns the end.
QChar* appendWindows1252(QChar* out, QByteArrayView bytes);
// An uninitialised text of that many units whose memory is faulted in at
// once: page by page, the memory of a big text costs more than decoding into it.
QString textBuffer(qsizetype size);
// Characters outside the code page become "?".
QByteArray toWindows1252(const QString& text);
bool isValidUtf8(const QByteArray& bytes);
// UTF-16 when the bytes start with its byte-order mark, UTF-8 when they are
// valid UTF-8 (and not plain ASCII), else Windows-1252.
TextEncoding detectEncoding(const QByteArray& bytes);
// The UTF-16 encoding whose byte-order mark starts the bytes, or Utf8 when
// they start with none.
TextEncoding utf16ByMark(const QByteArray& bytes);
// The byte-order mark of a UTF-16 encoding; empty for the others.
QByteArray byteOrderMark(TextEncoding encoding);
// Decoding drops the byte-order mark of UTF-16; encoding writes none.
QString decodeText(const QByteArray& bytes, TextEncoding encoding);
QByteArray encodeText(const QString& text, TextEncoding encoding);

} // namespace korvane
