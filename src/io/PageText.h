#pragma once

#include "model/Codec.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <vector>

// How the export window shows an HTML page in a text widget and writes it
// back byte for byte. The widget turns every line end ("\r\n", "\n", "\r")
// into a paragraph break, so the page's usual line end is remembered and
// applied to every break on saving; a line end that differs from it (a page
// with mixed line ends) is kept as an invisible marker character in front of
// its break. The encoding is kept as well (see pageEncoding()); a
// byte-order mark is written back.
namespace korvane {

class PageText {
public:
    PageText() = default;

    // Decodes the page; returns the text for QPlainTextEdit::setPlainText().
    QString load(const QByteArray& bytes);
    // The bytes for the widget's raw text (QTextDocument::toRawText(), breaks as U+2029).
    QByteArray save(const QString& rawText) const;
    // The page text the raw text stands for: breaks as their line ends, markers gone.
    QString pageText(const QString& rawText) const;
    // The raw text without markers, for the clipboard.
    QString withoutMarkers(const QString& rawText) const;
    // Length of pageText() without building it when the page has no markers:
    // the document's character count (breaks counted once) and its break count.
    qsizetype pageLength(qsizetype charactersWithBreaks, qsizetype breaks) const;
    // Length of pageText() for any page, counted without building the text.
    qsizetype pageLength(const QString& rawText) const;
    // The share of pageText() of one paragraph of the raw text (its break
    // included when it has one).
    qsizetype blockLength(QStringView blockText, bool hasBreak) const;
    // blockLength() of every paragraph of a text whose paragraphs end in `separator`.
    std::vector<qsizetype> blockLengths(QStringView text, QChar separator) const;
    bool usesMarkers() const { return !m_markers.isEmpty(); }
    // A marker stands for the line end of the break right behind it.
    bool isMarker(QChar c) const;

    TextEncoding encoding() const { return m_encoding; }
    bool byteOrderMark() const { return m_byteOrderMark; }
    QString usualLineEnd() const { return m_usualLineEnd; }

private:
    TextEncoding m_encoding = TextEncoding::Windows1252;
    bool m_byteOrderMark = false;
    QString m_usualLineEnd;
    QHash<QChar, QString> m_markers; // marker -> the line end it stands for
};

// The encoding the page is written back in: UTF-16 when it starts with its
// byte-order mark; UTF-8 when the bytes are valid UTF-8 with non-ASCII
// characters, or plain ASCII that declares UTF-8; Windows-1252 otherwise.
TextEncoding pageEncoding(const QByteArray& bytes);

} // namespace korvane
