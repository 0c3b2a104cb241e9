#include "platform/AtomicFile.h"

#include <QSaveFile>

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw FileWriteError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
}
