// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/WmaEncoder.h"

#include "platform/ProgramModule.h"

#include <stdexcept>

namespace {

using EncodeFunction = int (*)(const char*, const char*, const char*, char*, size_t);

const ProgramModule kModule{WmaEncoder::kModuleFile, "CORVINATONE_WMA_MODULE", "the WMA encoder"};

}  // namespace

namespace WmaEncoder {

void encode(const QString& wavPath, const QString& wmaPath, const QString& title) {
    const auto encodeFile =
        reinterpret_cast<EncodeFunction>(kModule.function("corvinatone_wma_encode"));
    char error[512] = {};
    if (encodeFile(wavPath.toUtf8().constData(), wmaPath.toUtf8().constData(),
                   title.toUtf8().constData(), error, sizeof error) != 0)
        throw std::runtime_error(error);
}

}  // namespace WmaEncoder
