// SPDX-License-Identifier: GPL-3.0-or-later
#include "CataloguePacket.h"

CataloguePacket CataloguePacket::read(const QByteArray& bytes) {
    PacketReader reader(bytes);
    // Each value, and the string behind a text.
    requireFitsInMemory(reader.rowCount(), reader.fields().size() * (sizeof(FieldValue) + 32),
                        size_t(bytes.size()));
    CataloguePacket packet;
    packet.fields = reader.fields();
    packet.packetProperties = reader.packetProperties();
    packet.values.resize(reader.rowCount() * packet.fields.size());
    for (size_t r = 0; r < reader.rowCount(); ++r)
        reader.readRow(packet.values.data() + r * packet.fields.size());
    reader.finish();
    return packet;
}

QByteArray CataloguePacket::write() const {
    const size_t fieldCount = fields.size();
    if (fieldCount > 0 && values.size() % fieldCount != 0)
        throw CatalogueFormatError("values do not make whole rows");
    PacketWriter writer(fields, packetProperties, rowCount());
    for (size_t r = 0; r < rowCount(); ++r)
        writer.writeRow(values.data() + r * fieldCount);
    return writer.finish();
}
