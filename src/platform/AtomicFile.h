#pragma once

#include <QByteArray>
#include <QString>

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
