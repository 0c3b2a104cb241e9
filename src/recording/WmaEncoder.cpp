// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/WmaEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLibrary>

#include <mutex>
#include <stdexcept>

namespace {

using EncodeFunction = int (*)(const char*, const char*, const char*, char*, size_t);

// Where the module lies: beside the program in the build, in lib/corvinatone as installed.
QStringList moduleCandidates() {
    const QString override = qEnvironmentVariable("CORVINATONE_WMA_MODULE");
    if (!override.isEmpty())
        return {override};
    const QDir dir(QCoreApplication::applicationDirPath());
    return {dir.filePath(QStringLiteral("../lib/corvinatone/") + WmaEncoder::kModuleFile),
            dir.filePath(WmaEncoder::kModuleFile),
            dir.filePath(QStringLiteral("../") + WmaEncoder::kModuleFile)};
}

// Loaded at the first WMA recording and kept for the run.
EncodeFunction loadEncoder() {
    static std::mutex mutex;
    static QHash<QString, EncodeFunction> loaded;
    std::lock_guard lock(mutex);
    QStringList reasons;
    for (const QString& path : moduleCandidates()) {
        if (const EncodeFunction encode = loaded.value(path))
            return encode;
        if (!QFile::exists(path))
            continue;
        QLibrary module(path);  // never unloaded: the function stays valid
        const auto encode =
            reinterpret_cast<EncodeFunction>(module.resolve("corvinatone_wma_encode"));
        if (encode) {
            loaded.insert(path, encode);
            return encode;
        }
        reasons << module.errorString();
    }
    throw std::runtime_error("the WMA encoder is not installed (" +
                             std::string(WmaEncoder::kModuleFile) +
                             (reasons.isEmpty() ? std::string(" not found)")
                                                : ": " + reasons.join(u"; ").toStdString() + ")"));
}

}  // namespace

namespace WmaEncoder {

void encode(const QString& wavPath, const QString& wmaPath, const QString& title) {
    const EncodeFunction encodeFile = loadEncoder();
    char error[512] = {};
    if (encodeFile(wavPath.toUtf8().constData(), wmaPath.toUtf8().constData(),
                   title.toUtf8().constData(), error, sizeof error) != 0)
        throw std::runtime_error(error);
}

}  // namespace WmaEncoder
