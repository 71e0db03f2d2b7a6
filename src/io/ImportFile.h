#pragma once

#include <QString>

#include <functional>

// Reading the file an import works on.
namespace korvane::import {

// Told how far a long step has come (`done` of `total`); false asks it to stop.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// The whole file as text: UTF-16 when it starts with its byte-order mark,
// UTF-8 when the bytes are valid UTF-8 (a UTF-8 mark dropped), else
// Windows-1252. Empty when the file cannot be read or `progress` asked to
// stop. The file is read, never mapped: one that shrinks meanwhile (a
// download still being written) just ends sooner.
QString readImportFile(const QString& path, const Progress& progress = {});

} // namespace korvane::import
