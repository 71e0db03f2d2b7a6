#pragma once

#include "io/RecoveryFile.h"

class QIODevice;

// Reading the recovery file's text (RecoveryFile.h's parse() and readFile()
// are built on it).
namespace korvane::recovery {

// The first line starts with it, the version number follows.
inline const QByteArray kMagic = QByteArrayLiteral("korvane-recovery ");

// A megabyte: reading in pieces of it costs no time against the whole file.
inline constexpr qsizetype kReadPiece = 1024 * 1024;

// Reads the file from `device` (which can seek) `piece` bytes at a time,
// never more than `limit` bytes (TooBig when there are more). A line longer
// than a piece is read in pieces; the first line and the counts must fit in
// one. Any piece of 64 bytes or more reads a file as any other does.
ReadResult readFrom(QIODevice& device, qint64 limit, qsizetype piece = kReadPiece);

} // namespace korvane::recovery
