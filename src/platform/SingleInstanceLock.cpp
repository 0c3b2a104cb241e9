// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SingleInstanceLock.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

SingleInstanceLock::SingleInstanceLock(const QString& name, const QString& folder)
    : path_(QDir(folder.isEmpty() ? defaultFolder() : folder).filePath(name)) {}

SingleInstanceLock::~SingleInstanceLock() {
    release();
}

QString SingleInstanceLock::defaultFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    // Not the shared temp folder, where another user could hold the name or plant a link: the
    // user's own data folder, which only the user can write.
    return userDataFolder();
}

bool SingleInstanceLock::tryAcquire() {
    if (fd_ >= 0)
        return true;
    const int fd = ::open(QFile::encodeName(path_).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw std::runtime_error(path_.toStdString() + ": " + std::strerror(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return false;
        throw std::runtime_error(path_.toStdString() + ": " + std::strerror(err));
    }
    fd_ = fd;
    return true;
}

void SingleInstanceLock::release() {
    if (fd_ < 0)
        return;
    ::close(fd_);  // closing the only descriptor drops the flock
    fd_ = -1;
}
