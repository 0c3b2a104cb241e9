// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// MP3 through LAME: 128 kbit/s constant, stereo (not joint), no bit reservoir, no CRC, original
// bit set, no VBR header; then a 128-byte ID3v1 block ("TAG" + zeros) and the title through
// TagLib, with no genre claimed (no title where TagLib cannot be loaded). Throws std::runtime_error
// with the reason; a half-written output is removed.
namespace Mp3Encoder {

void encode(const QString& wavPath, const QString& mp3Path, const QString& title);

}  // namespace Mp3Encoder
