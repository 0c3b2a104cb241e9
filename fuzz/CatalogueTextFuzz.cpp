// SPDX-License-Identifier: GPL-3.0-or-later
// Any text: building a catalogue from JSON Lines or CSV fails with a reason or yields rows the
// writer can encode.
#include "CatalogueText.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (auto build : {&CatalogueText::fromJsonLines, &CatalogueText::fromCsv}) {
        try {
            const CataloguePacket packet = build(text);
            CataloguePacket::read(packet.write());  // must not throw
        } catch (const std::runtime_error&) {
        }
    }
    return 0;
}
