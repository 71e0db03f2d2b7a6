#pragma once

#include <QByteArray>
#include <QIODevice>

#include <vector>

// What the picture loader reads from a file's first bytes and chunk headers
// before any decoder sees it; nothing here decodes pixels.
namespace korvane {

// True when the bytes start like a metafile of that kind.
bool looksLikeWmf(const QByteArray& bytes);
bool looksLikeEmf(const QByteArray& bytes);

// A .dib file may hold the bitmap without its file header: true when the
// bytes start with a bitmap info header instead.
bool lacksFileHeader(const QByteArray& start);
// Such a bitmap with the file header in front; other bytes as they are.
QByteArray withFileHeader(const QByteArray& bytes);

// A PNG file without its text chunks (tEXt, zTXt, iTXt): the decoders would
// read every one whole, and a 40 x 30 picture with 100 MB of text took
// seconds and hundreds of megabytes. The picture has no use for them. Reads
// through to the file, which must stay open; random access.
class PngWithoutText : public QIODevice {
public:
    // The parts of `file` to keep: nothing when it is no PNG file or holds no
    // text chunk (then the file is decoded as it is).
    struct Part {
        qint64 from;
        qint64 size;
    };
    static std::vector<Part> keptParts(QIODevice& file);

    PngWithoutText(QIODevice& file, std::vector<Part> parts);
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& m_file;
    std::vector<Part> m_parts;
    qint64 m_size = 0;
};

} // namespace korvane
