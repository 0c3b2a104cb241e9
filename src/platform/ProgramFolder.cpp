// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kCatalogue = QStringLiteral("rd.cds");
}  // namespace

QString userDataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/corvinatone");
    if (!QFileInfo::exists(folder)) {
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

QString shippedCatalogue() {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString installed =
        program.absoluteFilePath(QStringLiteral("../share/corvinatone/rd.cds"));
    // The build folder keeps the executable and share/ side by side.
    const QString built = program.absoluteFilePath(QStringLiteral("share/corvinatone/rd.cds"));
    return QFileInfo::exists(installed) || !QFileInfo::exists(built) ? installed : built;
}

QString programFolder() {
    const QString home = qEnvironmentVariable("CORVINATONE_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(QDir(beside).filePath(kCatalogue)) && QFileInfo(beside).isWritable())
        return beside;

    const QString own = userDataFolder();
    const QString catalogue = QDir(own).filePath(kCatalogue);
    const QString shipped = shippedCatalogue();
    if (!QFileInfo::exists(catalogue) && QFileInfo::exists(shipped)) {
        // Copied under another name and renamed: a copy cut short is never taken for the
        // user's catalogue. A copy that fails leaves no rd.cds, and start-up says so.
        const QString part = catalogue + QStringLiteral(".part");
        QFile::remove(part);
        if (QFile::copy(shipped, part)) {
            QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner);
            if (!QFile::rename(part, catalogue))
                QFile::remove(part);
        }
    }
    return own;
}
