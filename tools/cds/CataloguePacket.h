// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/CatalogueFormat.h"

#include <QByteArray>

#include <vector>

// A whole catalogue file in memory, every value its own FieldValue: what the catalogue tool
// checks, dumps, builds and copies. The program keeps its rows compactly instead (StationRows).
class CataloguePacket {
  public:
    std::vector<FieldDescriptor> fields;
    std::vector<PacketProperty> packetProperties;
    std::vector<FieldValue> values;  // row-major, fields.size() values per row

    size_t rowCount() const { return fields.empty() ? 0 : values.size() / fields.size(); }
    const FieldValue& at(size_t row, size_t field) const {
        return values[row * fields.size() + field];
    }

    // Throws CatalogueFormatError, also for a file whose values would take more memory than
    // requireFitsInMemory allows.
    static CataloguePacket read(const QByteArray& bytes);
    // Throws CatalogueFormatError for a value that does not fit its field.
    QByteArray write() const;
};
