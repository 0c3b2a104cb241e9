#include "platform/AtomicFile.h"

#include <QSaveFile>

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered: with Qt's write buffer a short write at the final flush (disk full) went
    // unnoticed and commit() renamed a truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit())
        throw FileWriteError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
}
