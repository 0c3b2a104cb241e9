// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// WMA through FFmpeg: wmav2 in an ASF file, 128,000 bit/s constant, 44,100 Hz stereo, with the
// title set. Throws std::runtime_error with the reason; a half-written output is removed. The
// encoder is a module of its own (FFmpeg loads with it), loaded at the first use; a missing
// module is a failure like any other. CORVINATONE_WMA_MODULE names another module file.
namespace WmaEncoder {

inline constexpr const char* kModuleFile = "libcorvinatone-wma.so";

void encode(const QString& wavPath, const QString& wmaPath, const QString& title);

}  // namespace WmaEncoder
