// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cmath>
#include <cstdint>

// A sine tone as 16-bit stereo PCM at 44,100 Hz.
inline QByteArray sinePcm(double seconds, double frequency = 440.0) {
    const int frames = int(seconds * 44100);
    QByteArray pcm(frames * 4, '\0');
    auto* samples = reinterpret_cast<int16_t*>(pcm.data());
    for (int i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            int16_t(8000 * std::sin(2 * M_PI * frequency * i / 44100.0));
    return pcm;
}

// The audio frames of an MP3 file after its ID3v2 tag: each header's fields, as far as tests look.
struct Mp3Frame {
    int bitrateKbps;
    int sampleRate;
    int channelMode;  // 0 stereo, 1 joint stereo, 2 dual, 3 mono
    bool crc;
    bool original;
    bool copyright;
};

inline int id3v2Size(const QByteArray& file) {
    if (!file.startsWith("ID3"))
        return 0;
    const auto b = [&](int i) { return int(uint8_t(file[i])) & 0x7F; };
    return 10 + (b(6) << 21 | b(7) << 14 | b(8) << 7 | b(9));
}

inline bool parseMp3Frame(const QByteArray& file, int at, Mp3Frame* frame, int* length) {
    if (at + 4 > file.size())
        return false;
    const auto h = [&](int i) { return uint8_t(file[at + i]); };
    if (h(0) != 0xFF || (h(1) & 0xFE) != 0xFA)  // MPEG-1 Layer III
        return false;
    static const int kBitrates[] = {0,   32,  40,  48,  56,  64,  80,  96,
                                    112, 128, 160, 192, 224, 256, 320, 0};
    static const int kRates[] = {44100, 48000, 32000, 0};
    frame->crc = (h(1) & 1) == 0;
    frame->bitrateKbps = kBitrates[h(2) >> 4];
    frame->sampleRate = kRates[(h(2) >> 2) & 3];
    frame->channelMode = h(3) >> 6;
    frame->copyright = (h(3) & 0x08) != 0;
    frame->original = (h(3) & 0x04) != 0;
    if (!frame->bitrateKbps || !frame->sampleRate)
        return false;
    *length = 144000 * frame->bitrateKbps / frame->sampleRate + ((h(2) >> 1) & 1);
    return true;
}
