// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/WavFileReader.h"

#include "recording/WaveStream.h"

#include <QtEndian>

#include <stdexcept>

WavFileReader::WavFileReader(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(path, file_.errorString()).toStdString());
    const QByteArray header = file_.read(WaveStream::kHeaderSize);
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(header.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(header.constData() + at); };
    if (header.size() < WaveStream::kHeaderSize || !header.startsWith("RIFF") ||
        header.mid(8, 4) != "WAVE" || u16(20) != 1 || u16(22) != WaveStream::kChannels ||
        u32(24) != WaveStream::kSampleRate || u16(34) != 16 || header.mid(36, 4) != "data")
        throw std::runtime_error(path.toStdString() + ": not a 16-bit stereo 44,100 Hz WAV file");
    // Past 4 GiB (22 hours of a task) the 32-bit sizes cannot hold the length and stand at
    // 0xFFFFFFFF: the data then runs to the end of the file.
    const qint64 inFile = file_.size() - WaveStream::kHeaderSize;
    remaining_ = u32(40) == WaveStream::kSizeUnknown ? inFile : std::min<qint64>(u32(40), inFile);
}

qsizetype WavFileReader::read(qint16* buffer, qsizetype maxFrames) {
    const qint64 want = std::min<qint64>(remaining_, maxFrames * 4) / 4 * 4;
    if (want <= 0)
        return 0;
    const qint64 got = file_.read(reinterpret_cast<char*>(buffer), want);
    if (got < 0)
        throw std::runtime_error(file_.errorString().toStdString());
    remaining_ -= got;
    return qsizetype(got / 4);
}
