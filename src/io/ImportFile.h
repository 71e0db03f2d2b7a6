#pragma once

#include "io/ImportSearch.h"

#include "model/Codec.h"

#include <QString>

#include <functional>
#include <optional>

// Reading the file an import works on.
namespace korvane::import {

// The whole file as text: UTF-16 when it starts with its byte-order mark,
// UTF-8 when the bytes are valid UTF-8 (a UTF-8 mark dropped), else
// Windows-1252. Empty when the file cannot be read or `progress` asked to
// stop. The file is read, never mapped: one that shrinks meanwhile (a
// download still being written) just ends sooner.
QString readImportFile(const QString& path, const Progress& progress = {});
// The same with pieces of that many bytes (readImportFile() reads 1 MiB at a time).
QString readImportFileInPieces(const QString& path, qint64 pieceSize, const Progress& progress = {});

// The text readImportFile() gives, handed to `take` a piece at a time, so
// that a big file is never held whole. It is read as UTF-8, each piece's
// bytes checked as they are decoded; at the first that are not UTF-8,
// `restart` is called and the text comes again from its start, as
// Windows-1252, from the same open file. False when the file cannot be read
// or `progress` asked to stop.
bool streamImportFile(const QString& path, const std::function<void(QStringView)>& take,
                      const std::function<void()>& restart, const Progress& progress = {});
// The same in pieces of `pieceSize` bytes instead of a megabyte.
bool streamImportFileInPieces(const QString& path, qint64 pieceSize, const std::function<void(QStringView)>& take,
                              const std::function<void()>& restart, const Progress& progress = {});

} // namespace korvane::import
