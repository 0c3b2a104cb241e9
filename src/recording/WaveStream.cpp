// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/WaveStream.h"

#include "recording/RecordingNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

template <typename T>
void put(QByteArray& out, T v) {
    char buf[sizeof(T)];
    qToLittleEndian(v, buf);
    out.append(buf, sizeof(T));
}

template <typename T>
T at(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

quint32 sizeField(qint64 size) {
    return size > qint64(WaveStream::kSizeUnknown) ? WaveStream::kSizeUnknown : quint32(size);
}

// Copies bytes from to last (exclusive) of one file into another at the same offsets; returns 0,
// or the system's error.
int copyRange(int in, int out, qint64 from, qint64 last) {
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 at = from; at < last;) {
        const ssize_t n =
            ::pread(in, block.data(), size_t(std::min<qint64>(block.size(), last - at)), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0 ? EIO : errno;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::pwrite(out, block.constData() + done, size_t(n - done), at + done);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return w == 0 ? ENOSPC : errno;
            done += w;
        }
        at += n;
    }
    return 0;
}

// The RIFF and data sizes of a file of fileSize bytes, at their places in the header.
bool patchSizes(int fd, qint64 fileSize) {
    char riff[4], data[4];
    qToLittleEndian<quint32>(sizeField(fileSize - 8), riff);
    qToLittleEndian<quint32>(sizeField(fileSize - WaveStream::kHeaderSize), data);
    return ::pwrite(fd, riff, 4, 4) == 4 && ::pwrite(fd, data, 4, 40) == 4;
}

}  // namespace

WaveStream::~WaveStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

QByteArray WaveStream::header(qint64 dataBytes) {
    QByteArray header;
    header.append("RIFF");
    put<quint32>(header, sizeField(dataBytes + kHeaderSize - 8));
    header.append("WAVEfmt ");
    put<quint32>(header, 16);
    put<quint16>(header, 1);  // PCM
    put<quint16>(header, kChannels);
    put<quint32>(header, kSampleRate);
    put<quint32>(header, kBytesPerSecond);
    put<quint16>(header, kChannels * 2);  // block alignment
    put<quint16>(header, 16);
    header.append("data");
    put<quint32>(header, sizeField(dataBytes));
    return header;
}

void WaveStream::create(const QString& path) {
    if (fd_ >= 0)
        ::close(fd_);
    path_ = path;
    size_ = 0;
    failed_ = false;
    {
        std::lock_guard lock(failureMutex_);
        failure_.clear();
    }
    // Never through an existing name or a link planted in its place. Readable too: a recording
    // whose folder fails is copied out of it (moveTo()).
    fd_ = ::open(QFile::encodeName(path).constData(),
                 O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0)
        throw std::runtime_error(path.toStdString() + ": " + std::strerror(errno));
    QByteArray unpatched = header(0);
    qToLittleEndian<quint32>(36, unpatched.data() + 4);
    append(unpatched.constData(), unpatched.size());
    if (failed_) {  // not even the header fits: no empty recording is left behind
        ::close(fd_);
        fd_ = -1;
        QFile::remove(path);
        throw std::runtime_error(failure().toStdString());
    }
}

void WaveStream::append(const char* data, qsizetype length) {
    std::lock_guard lock(writeMutex_);
    if (fd_ < 0 || failed_)
        return;
    for (qsizetype done = 0; done < length;) {
        const ssize_t n = ::write(fd_, data + done, size_t(length - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::lock_guard lock(failureMutex_);
            failure_ = path_ + QStringLiteral(": ") +
                       QString::fromLocal8Bit(std::strerror(n < 0 ? errno : ENOSPC));
            failed_ = true;
            return;
        }
        done += n;
        size_ += n;
    }
}

void WaveStream::moveTo(const QString& path) {
    const int to = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (to < 0)
        throw std::runtime_error(path.toStdString() + ": " + std::strerror(errno));
    const auto fail = [&](int error) {
        ::close(to);
        QFile::remove(path);
        throw std::runtime_error(path.toStdString() + ": " + std::strerror(error));
    };
    // The bulk while the capture goes on (reads at offsets do not disturb its writes), then what
    // came meanwhile with the capture held; size_ counts only what reached the old file. The
    // header still says "unended", as it should.
    const qint64 bulk = size_;
    if (const int error = copyRange(fd_, to, 0, bulk))
        fail(error);
    std::lock_guard lock(writeMutex_);
    const qint64 whole = size_;
    if (const int error = copyRange(fd_, to, bulk, whole))
        fail(error);
    if (::lseek(to, whole, SEEK_SET) < 0 || ::fdatasync(to) != 0)
        fail(errno);
    syncFolderOf(path);  // on the disk before the old one goes: a power cut keeps one of them
    ::close(fd_);
    QFile::remove(path_);  // gone already, or full: the copy is the recording now
    fd_ = to;
    path_ = path;
    failed_ = false;
    std::lock_guard failureLock(failureMutex_);
    failure_.clear();
}

bool WaveStream::unlinked() const {
    struct stat status {};
    return fd_ >= 0 && ::fstat(fd_, &status) == 0 && status.st_nlink == 0;
}

void WaveStream::syncFolderOf(const QString& path) {
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

QString WaveStream::failure() const {
    std::lock_guard lock(failureMutex_);
    return failure_;
}

void WaveStream::sync() {
    if (fd_ >= 0)
        ::fdatasync(fd_);
}

void WaveStream::finish() {
    if (fd_ < 0)
        return;
    const bool written = (size_ < kHeaderSize || patchSizes(fd_, size_)) && ::fsync(fd_) == 0;
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    if (!written && !failed_) {
        std::lock_guard lock(failureMutex_);
        failure_ = path_ + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
        failed_ = true;
    }
}

bool WaveStream::isReadableWav(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize || !bytes.startsWith("RIFF") || bytes.mid(8, 8) != "WAVEfmt " ||
        bytes.mid(36, 4) != "data")
        return false;
    const auto channels = at<quint16>(bytes, 22);
    const auto rate = at<quint32>(bytes, 24);
    const auto bits = at<quint16>(bytes, 34);
    return at<quint32>(bytes, 4) == quint32(bytes.size() - 8) && at<quint16>(bytes, 20) == 1 &&
           channels > 0 && rate > 0 && (bits == 8 || bits == 16) &&
           at<quint16>(bytes, 32) == channels * bits / 8 &&
           at<quint32>(bytes, 28) == rate * channels * bits / 8 &&
           at<quint32>(bytes, 40) == quint32(bytes.size() - kHeaderSize);
}

QStringList WaveStream::unencoded(const QString& folder) {
    QStringList found;
    const QDir dir(folder);
    // By suffix, not a name filter: a filter is a regular expression, and compiling one at each
    // start loads PCRE's compiler for nothing.
    for (const QString& name : dir.entryList(QDir::Files)) {
        // Only the program's own recordings, named "station - stamp": never another WAV.
        QString station, stamp;
        if (!name.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive) ||
            !RecordingNames::parse(QFileInfo(name).completeBaseName(), &station, &stamp))
            continue;
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            continue;
        const QByteArray head = file.read(kHeaderSize);
        // Ours: our header; unended: a data size of 0 before data that is there.
        const bool ours = head.size() == kHeaderSize && head.startsWith("RIFF") &&
                          head.mid(8, 32) == header(0).mid(8, 32);
        if (!ours || file.size() <= kHeaderSize)
            continue;
        const bool ended = at<quint32>(head, 40) == sizeField(file.size() - kHeaderSize);
        if (ended || (at<quint32>(head, 40) == 0 && patchSizes(file.handle(), file.size())))
            found << path;
    }
    return found;
}
