// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/StationRow.h"

#include <QByteArray>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PacketWriter;
class StationRows;

// One row of a StationRows, read in place. Valid until the rows change.
class StationRef {
  public:
    StationRef(const StationRows& rows, size_t index) : rows_(&rows), index_(index) {}

    QStringView textView(Field f) const;
    QString text(Field f) const;
    std::optional<CdsDateTime> dateTime(Field f) const;
    std::optional<qint32> integer(Field f) const;
    bool isTask() const { return !textView(Field::planType).isEmpty(); }
    // A copy that owns its values.
    StationRow toRow() const;

  private:
    const StationRows* rows_;
    size_t index_;
};

// The rows of the station table, kept compact. The texts of the rows read from a file lie in one
// buffer, which is the file's own bytes with the texts moved together; each row is a 16-byte record
// of where its texts lie. A row with times or an interval (a task), and a row changed or added
// since, holds its own values.
// Copies share the text buffer and the records, which are kept in blocks copied only when a copy
// that shares them changes: a copy for a save on another thread costs next to nothing. Texts are
// UTF-16, but for an address that is all Latin-1 (nearly all are ASCII), kept in half the bytes.
class StationRows {
  public:
    StationRows() = default;

    // Takes over the bytes of a catalogue file and reads its rows in one pass. Texts longer than
    // their field (a file from elsewhere) are cut as StationRow's setters cut them. Throws
    // CatalogueFormatError, also for a file that is not the station table or would take more
    // memory than its size allows (requireFitsInMemory).
    static StationRows read(QByteArray bytes);

    size_t size() const { return size_; }
    StationRef operator[](size_t index) const { return {*this, index}; }

    // A view of a text. An address kept as Latin-1 is first made UTF-16 in a buffer of the
    // calling thread, valid until its next call; text() has no such limit.
    QStringView textView(size_t index, Field f) const;
    QString text(size_t index, Field f) const;
    std::optional<CdsDateTime> dateTime(size_t index, Field f) const;
    std::optional<qint32> integer(size_t index, Field f) const;
    StationRow row(size_t index) const;

    // The row's values become the given ones (kept within their widths, as by the setters).
    void replace(size_t index, const StationRow& row);
    void append(const StationRow& row);
    void erase(size_t index);

    // Every row, in order, as a catalogue file; afterRow (if set) runs after each row, to hand
    // the bytes on in parts.
    void writeTo(PacketWriter& writer, const std::function<void()>& afterRow = {}) const;

    // Memory a row takes beyond its texts: its record, and its place in a view and a sort order.
    static constexpr size_t kBytesPerRow = 16 + 2 * sizeof(int);
    // Memory a row takes as a StationRow of its own (the task runner's copy of a task, a row of
    // an update): its values and the strings behind its texts.
    static constexpr size_t kBytesPerOwnedRow = sizeof(StationRow) + 9 * 48;

  private:
    static constexpr int kTextFields = 9;
    enum Flag : quint8 {
        isOwned = 1,        // the row's values are ownedRows_[text]
        latin1Address = 2,  // the address is kept as Latin-1, one byte a character
    };
    static constexpr int kAddressSlot = 5;
    // A row read from the file with texts only; a row with times or an interval (a task) holds
    // its own values.
    struct Record {
        quint32 text = 0;  // first byte of the row's texts in texts_, or an owned row
        std::array<quint8, kTextFields> lengths{};  // in characters, each at most 255
        quint8 flags = 0;
    };
    static_assert(sizeof(Record) == 16);

    static constexpr size_t kBlockRows = 16384;
    using Block = std::vector<Record>;

    static int textSlot(Field f);
    // Where a text of a row read from the file lies in texts_.
    struct TextAt {
        const char* data;
        qsizetype length;
        bool latin1;
    };
    TextAt textAt(const Record& r, int slot) const;
    static QStringView utf16(const TextAt& t) {
        return {reinterpret_cast<const char16_t*>(t.data), t.length};
    }
    const StationRow* owned(size_t index) const;
    const Record& record(size_t index) const {
        return (*blocks_[index / kBlockRows])[index % kBlockRows];
    }
    // The block holding the row, copied first when a copy of these rows shares it.
    Block& editableBlock(size_t blockIndex);

    // The texts of the rows read from the file, each row's in field order, every text starting
    // on an even byte; never changed once read.
    QByteArray texts_;
    std::vector<std::shared_ptr<Block>> blocks_;  // all full but the last
    size_t size_ = 0;
    std::vector<StationRow> ownedRows_;  // rows changed or added; a deleted one is left empty
};
