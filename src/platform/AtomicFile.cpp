// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"

#include <QSaveFile>

namespace {
[[noreturn]] void fail(const QString& path, const QFileDevice& file) {
    throw FileWriteError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
}
}  // namespace

void writeAll(QFileDevice& file, const char* data, qint64 size) {
    for (qint64 done = 0; done < size;) {
        const qint64 n = file.write(data + done, size - done);
        if (n <= 0)
            fail(file.fileName(), file);
        done += n;
    }
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    writeFileAtomically(path, [&](const ByteSink& put) { put(bytes); });
}

void writeFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& fill) {
    QSaveFile file(path);
    // Unbuffered: with Qt's write buffer a short write at the final flush (disk full) went
    // unnoticed and commit() renamed a truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(path, file);
    fill([&](const QByteArray& part) { writeAll(file, part.constData(), part.size()); });
    if (!file.commit())
        fail(path, file);
}
