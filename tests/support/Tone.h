// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A tone to stream on loopback, and the level of what was captured.
#include "recording/Mp3Encoder.h"
#include "recording/WaveStream.h"
#include "support/Mp3Frames.h"
#include "support/TestHelpers.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <string>

// Three seconds of a 440 Hz tone as bare MP3 frames (no tags), for the server to loop.
inline std::string toneMp3(const QTemporaryDir& dir) {
    const QString wav = dir.filePath(QStringLiteral("tone.wav")),
                  mp3 = dir.filePath(QStringLiteral("tone.mp3"));
    writeFile(wav, WaveStream::image(sinePcm(3.0, 440.0)));
    Mp3Encoder::encode(wav, mp3, QStringLiteral("tone"));
    const QByteArray bytes = readFile(mp3);
    const int start = id3v2Size(bytes);
    return bytes.mid(start, bytes.size() - start - 128).toStdString();
}

// The root mean square of 16-bit samples from fromByte to toByte (-1: the end).
inline double rms(const QByteArray& pcm, qsizetype fromByte, qsizetype toByte = -1) {
    if (toByte < 0 || toByte > pcm.size())
        toByte = pcm.size();
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData() + fromByte);
    const qsizetype count = std::max<qsizetype>(0, (toByte - fromByte) / 2);
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / double(count)) : 0;
}
