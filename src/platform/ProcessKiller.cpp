// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessKiller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/types.h>
#include <unistd.h>
#include <csignal>

namespace {

QByteArray readSmall(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(4096) : QByteArray();
}

}  // namespace

ProcProcessKiller::ProcProcessKiller(QString procRoot) : procRoot_(std::move(procRoot)) {}

int ProcProcessKiller::killByName(const QStringList& names) {
    const QDir proc(procRoot_);
    if (!proc.exists())
        return 0;
    const pid_t self = getpid();
    int killed = 0;
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid || pid == self)
            continue;
        // comm is cut to 15 bytes by the kernel, so argv[0] is looked at as well.
        const QString comm = QString::fromUtf8(readSmall(proc.filePath(entry + "/comm"))).trimmed();
        const QByteArray cmdline = readSmall(proc.filePath(entry + "/cmdline"));
        const QString argv0 =
            QFileInfo(QString::fromUtf8(cmdline.left(cmdline.indexOf('\0')))).fileName();
        if (!names.contains(comm) && !names.contains(argv0))
            continue;
        if (::kill(pid, SIGKILL) == 0)
            ++killed;
    }
    return killed;
}
