#pragma once

#include "io/RecoveryFile.h"

class QIODevice;

// Reading the recovery file's text (RecoveryFile.h's parse() and readFile()
// are built on it).
namespace korvane::recovery {

// The first line starts with it, the version number follows.
inline const QByteArray kMagic = QByteArrayLiteral("korvane-recovery ");

// Reads the file from `device` (which can seek) a piece at a time, never more
// than `limit` bytes (TooBig when there are more).
ReadResult readFrom(QIODevice& device, qint64 limit);

} // namespace korvane::recovery
