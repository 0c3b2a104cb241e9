// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <functional>
#include <stdexcept>

// A file that could not be written; the message names the file and the system's reason.
class FileWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes to a temporary file in the same folder, flushes it to disk and renames it over path, so
// readers see either the old content or the new, never a part. Throws FileWriteError; the old
// file is then untouched.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
// The same with the content produced in parts: fill hands each part to the function it is given,
// so a large file never lies whole in memory.
using ByteSink = std::function<void(const QByteArray&)>;
void writeFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& fill);

// Writes all of data to an open file, throwing FileWriteError with the file's name and the
// system's reason when it cannot. Open the file unbuffered: a short write (the disk filled up on
// the way) carries no reason of its own, so the rest is written again until the system gives one
// ("No space left on device"); Qt alone would report "Unknown error".
void writeAll(QFileDevice& file, const char* data, qint64 size);
