// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes: the reader either fails with a reason or yields a packet that the writer turns into
// a file the reader takes back, unchanged from then on.
#include "CataloguePacket.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    CataloguePacket packet;
    try {
        packet = CataloguePacket::read(bytes);
    } catch (const CatalogueFormatError&) {
        return 0;
    }
    QByteArray written;
    try {
        written = packet.write();
    } catch (const CatalogueFormatError&) {
        return 0;  // a value the writer may not produce (an overlong text from elsewhere)
    }
    const CataloguePacket again = CataloguePacket::read(written);  // must not throw
    if (again.write() != written)
        std::abort();
    return 0;
}
