#include "platform/SingleInstanceLock.h"

#include <QDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

SingleInstanceLock::SingleInstanceLock(const QString& name, const QString& folder) {
    const QString dir = folder.isEmpty() ? defaultFolder() : folder;
    // The temp folder is shared by all users: keep one lock per user there.
    const QString file = dir == QDir::tempPath() && folder.isEmpty()
                             ? QStringLiteral("%1-%2").arg(name).arg(getuid())
                             : name;
    path_ = QDir(dir).filePath(file);
}

SingleInstanceLock::~SingleInstanceLock() {
    release();
}

QString SingleInstanceLock::defaultFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QDir(runtime).exists() ? runtime : QDir::tempPath();
}

bool SingleInstanceLock::tryAcquire() {
    if (fd_ >= 0)
        return true;
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
