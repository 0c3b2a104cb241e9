// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLibrary>
#include <QStringList>

#include <mutex>
#include <stdexcept>

QFunctionPointer ProgramModule::function(const char* name) const {
    const QString file = QString::fromLatin1(this->file);
    QStringList candidates;
    if (const QString override = qEnvironmentVariable(envVar); !override.isEmpty()) {
        candidates << override;
    } else {
        const QDir dir(QCoreApplication::applicationDirPath());
        candidates << dir.filePath(QStringLiteral("../lib/corvinatone/") + file)
                   << dir.filePath(file) << dir.filePath(QStringLiteral("../") + file);
    }
    static std::mutex mutex;
    static QHash<QString, QFunctionPointer> loaded;  // by file and function
    std::lock_guard lock(mutex);
    QStringList reasons;
    for (const QString& path : std::as_const(candidates)) {
        const QString key = path + u'#' + QLatin1String(name);
        if (const QFunctionPointer found = loaded.value(key))
            return found;
        if (!QFile::exists(path))
            continue;
        QLibrary module(path);  // never unloaded: the function stays valid
        if (const QFunctionPointer found = module.resolve(name)) {
            loaded.insert(key, found);
            return found;
        }
        reasons << module.errorString();
    }
    throw std::runtime_error(std::string(what) + " is not installed (" + this->file +
                             (reasons.isEmpty() ? std::string(" not found)")
                                                : ": " + reasons.join(u"; ").toStdString() + ")"));
}
