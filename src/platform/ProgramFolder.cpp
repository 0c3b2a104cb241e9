#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

QString programFolder() {
    const QString home = qEnvironmentVariable("CORVINATONE_HOME");
    return QDir(home.isEmpty() ? QCoreApplication::applicationDirPath() : home).absolutePath();
}
