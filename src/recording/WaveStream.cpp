#include "recording/WaveStream.h"

#include <QtEndian>

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

}  // namespace

void WaveStream::clear() {
    std::lock_guard lock(mutex_);
    bytes_.clear();
    size_ = 0;
}

void WaveStream::appendHeader() {
    QByteArray header;
    header.append("RIFF");
    put<quint32>(header, 36);
    header.append("WAVEfmt ");
    put<quint32>(header, 16);
    put<quint16>(header, 1);  // PCM
    put<quint16>(header, kChannels);
    put<quint32>(header, kSampleRate);
    put<quint32>(header, kBytesPerSecond);
    put<quint16>(header, kChannels * 2);  // block alignment
    put<quint16>(header, 16);
    header.append("data");
    put<quint32>(header, 0);
    append(header.constData(), header.size());
}

void WaveStream::append(const char* data, qsizetype length) {
    std::lock_guard lock(mutex_);
    bytes_.append(data, length);
    size_ = bytes_.size();
}

void WaveStream::finish() {
    std::lock_guard lock(mutex_);
    if (bytes_.size() < kHeaderSize)
        return;
    qToLittleEndian<quint32>(quint32(bytes_.size() - 8), bytes_.data() + 4);
    qToLittleEndian<quint32>(quint32(bytes_.size() - kHeaderSize), bytes_.data() + 40);
}

QByteArray WaveStream::image() const {
    std::lock_guard lock(mutex_);
    return bytes_;
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
