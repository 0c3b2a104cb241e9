// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationRows.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>

namespace {

// The descriptors of a catalogue file must be the twelve station fields, in order.
void checkStationFields(const std::vector<FieldDescriptor>& fields) {
    const auto& expected = stationDescriptors();
    if (fields.size() != expected.size())
        throw CatalogueFormatError(
            QStringLiteral("not a station catalogue: %1 fields instead of %2")
                .arg(fields.size())
                .arg(expected.size())
                .toStdString());
    for (size_t i = 0; i < expected.size(); ++i) {
        const FieldDescriptor& f = fields[i];
        if (f.name != expected[i].name)
            throw CatalogueFormatError(
                QStringLiteral("not a station catalogue: field %1 is %2, expected %3")
                    .arg(i)
                    .arg(f.name, expected[i].name)
                    .toStdString());
        if (f.typeWord != expected[i].typeWord)
            throw CatalogueFormatError(
                QStringLiteral("not a station catalogue: field %1 (%2) has type %3, expected %4")
                    .arg(i)
                    .arg(f.name)
                    .arg(f.typeWord, 4, 16, QLatin1Char('0'))
                    .arg(expected[i].typeWord, 4, 16, QLatin1Char('0'))
                    .toStdString());
    }
}

// The row with its texts kept within their widths and empty texts null, as the setters keep them.
StationRow normalized(const StationRow& row) {
    StationRow out = row;
    for (int f = 0; f < kFieldCount; ++f)
        if (const QString* t = std::get_if<QString>(&row.values[size_t(f)]))
            out.setText(Field(f), *t);
    return out;
}

// Whether UTF-16LE text is all Latin-1: every unit's high byte is zero.
bool isLatin1(const char* utf16le, qsizetype units) {
    for (qsizetype i = 0; i < units; ++i)
        if (utf16le[2 * i + 1] != 0)
            return false;
    return true;
}

}  // namespace

QStringView StationRef::textView(Field f) const {
    return rows_->textView(index_, f);
}

QString StationRef::text(Field f) const {
    return rows_->text(index_, f);
}

std::optional<CdsDateTime> StationRef::dateTime(Field f) const {
    return rows_->dateTime(index_, f);
}

std::optional<qint32> StationRef::integer(Field f) const {
    return rows_->integer(index_, f);
}

StationRow StationRef::toRow() const {
    return rows_->row(index_);
}

int StationRows::textSlot(Field f) {
    static constexpr std::array<int, kFieldCount> kSlots{0, 1, 2, 3, -1, -1, 4, 5, 6, 7, 8, -1};
    return kSlots[size_t(f)];
}

StationRows StationRows::read(QByteArray bytes) {
    const size_t fileBytes = size_t(bytes.size());
    if (fileBytes > std::numeric_limits<quint32>::max())
        throw CatalogueFormatError("catalogue file is larger than 4 GB");
    // The texts are moved to the front of the file's own bytes as they are read: the place they
    // move to never passes the place being read, and each lands on an even offset. An address
    // that is all Latin-1 keeps one byte a character (and one byte more if that makes it odd).
    char* const base = bytes.data();
    StationRows rows;
    size_t written = 0;
    {
        PacketReader reader(QByteArray::fromRawData(base, bytes.size()));
        checkStationFields(reader.fields());
        requireFitsInMemory(reader.rowCount(), kBytesPerRow, fileBytes);
        std::array<FieldRef, kFieldCount> values;
        size_t tasks = 0;
        const auto hasTaskValues = [&values] {
            return std::any_of(values.begin(), values.end(), [](const FieldRef& v) {
                return v.kind == FieldRef::Kind::dateTime || v.kind == FieldRef::Kind::integer;
            });
        };
        for (size_t row = 0; row < reader.rowCount(); ++row) {
            if (row % kBlockRows == 0) {
                rows.blocks_.push_back(std::make_shared<Block>());
                rows.blocks_.back()->reserve(std::min(kBlockRows, reader.rowCount() - row));
            }
            Record& record = rows.blocks_.back()->emplace_back();
            reader.readRow(values.data());
            if (hasTaskValues()) {
                // Times and intervals belong to tasks, which are few: such a row holds its own
                // values, and the records of all other rows stay small.
                StationRow own;
                for (int f = 0; f < kFieldCount; ++f)
                    own.values[size_t(f)] = values[size_t(f)].toValue();
                rows.ownedRows_.push_back(normalized(own));
                record.text = quint32(rows.ownedRows_.size() - 1);
                record.flags = isOwned;
                requireFitsInMemory(
                    1,
                    reader.rowCount() * kBytesPerRow + rows.ownedRows_.size() * kBytesPerOwnedRow,
                    fileBytes);
                tasks += !own.text(Field::planType).isEmpty();
                continue;
            }
            record.text = quint32(written);
            for (int f = 0; f < kFieldCount; ++f) {
                const FieldRef& v = values[size_t(f)];
                if (v.kind != FieldRef::Kind::text)
                    continue;
                char* const to = base + written;
                const qsizetype units = v.textBytes / 2;
                if (textSlot(Field(f)) == kAddressSlot && isLatin1(v.text, units)) {
                    const qsizetype kept = std::min<qsizetype>(units, fieldSpec(Field(f)).maxChars);
                    for (qsizetype i = 0; i < kept; ++i)  // behind the place read
                        to[i] = v.text[2 * i];
                    record.lengths[size_t(kAddressSlot)] = quint8(kept);
                    record.flags |= latin1Address;
                    written += size_t(kept + (kept & 1));
                    continue;
                }
                std::memmove(to, v.text, size_t(v.textBytes));
                const QStringView text(reinterpret_cast<const char16_t*>(to), units);
                const qsizetype kept = widthCut(text, fieldSpec(Field(f)).maxChars);
                record.lengths[size_t(textSlot(Field(f)))] = quint8(kept);
                written += size_t(kept) * 2;
            }
            tasks += record.lengths[size_t(textSlot(Field::planType))] != 0;
        }
        reader.finish();
        rows.size_ = reader.rowCount();
        // The task runner keeps its own copy of every task.
        requireFitsInMemory(
            1, rows.size_ * kBytesPerRow + (rows.ownedRows_.size() + tasks) * kBytesPerOwnedRow,
            fileBytes);
    }
    bytes.truncate(qsizetype(written));
    bytes.squeeze();
    rows.texts_ = std::move(bytes);
    return rows;
}

StationRows::Block& StationRows::editableBlock(size_t blockIndex) {
    std::shared_ptr<Block>& block = blocks_[blockIndex];
    if (block.use_count() > 1)
        block = std::make_shared<Block>(*block);
    else  // a copy on the saver's thread may just have let go: its reads come before our writes
        std::atomic_thread_fence(std::memory_order_acquire);
    return *block;
}

const StationRow* StationRows::owned(size_t index) const {
    const Record& r = record(index);
    return r.flags & isOwned ? &ownedRows_[r.text] : nullptr;
}

StationRows::TextAt StationRows::textAt(const Record& r, int slot) const {
    const char* at = texts_.constData() + r.text;
    for (int i = 0; i < slot; ++i) {
        const qsizetype length = r.lengths[size_t(i)];
        at += i == kAddressSlot && (r.flags & latin1Address) ? length + (length & 1) : length * 2;
    }
    return {at, r.lengths[size_t(slot)], slot == kAddressSlot && (r.flags & latin1Address)};
}

QStringView StationRows::textView(size_t index, Field f) const {
    if (const StationRow* row = owned(index))
        return row->textView(f);
    const int slot = textSlot(f);
    if (slot < 0)
        return {};
    const TextAt t = textAt(record(index), slot);
    if (t.latin1) {
        thread_local QString wide;
        wide = QLatin1StringView(t.data, t.length);
        return wide;
    }
    return utf16(t);
}

QString StationRows::text(size_t index, Field f) const {
    return textView(index, f).toString();
}

std::optional<CdsDateTime> StationRows::dateTime(size_t index, Field f) const {
    if (const StationRow* row = owned(index))
        return row->dateTime(f);
    return std::nullopt;  // a row with times holds its own values
}

std::optional<qint32> StationRows::integer(size_t index, Field f) const {
    if (const StationRow* row = owned(index))
        return row->integer(f);
    return std::nullopt;
}

StationRow StationRows::row(size_t index) const {
    if (const StationRow* row = owned(index))
        return *row;
    StationRow out;
    for (int f = 0; f < kFieldCount; ++f) {
        const Field field = Field(f);
        FieldValue& value = out.values[size_t(f)];
        if (textSlot(field) >= 0)
            if (QString t = text(index, field); !t.isEmpty())
                value = std::move(t);
    }
    return out;
}

void StationRows::replace(size_t index, const StationRow& row) {
    if (const Record& r = record(index); r.flags & isOwned) {
        ownedRows_[r.text] = normalized(row);  // the copies have their own list of owned rows
        return;
    }
    ownedRows_.push_back(normalized(row));
    Record& r = editableBlock(index / kBlockRows)[index % kBlockRows];
    r = Record{};
    r.text = quint32(ownedRows_.size() - 1);
    r.flags = isOwned;
}

void StationRows::append(const StationRow& row) {
    if (size_ % kBlockRows == 0)
        blocks_.push_back(std::make_shared<Block>());
    editableBlock(blocks_.size() - 1).emplace_back();
    ++size_;
    replace(size_ - 1, row);
}

void StationRows::erase(size_t index) {
    if (owned(index))
        ownedRows_[record(index).text] = StationRow{};  // its texts freed; the slot stays unused
    // The rows after it move up by one, across the blocks that follow.
    size_t b = index / kBlockRows;
    Block* block = &editableBlock(b);
    block->erase(block->begin() + qsizetype(index % kBlockRows));
    for (++b; b < blocks_.size(); ++b) {
        Block& next = editableBlock(b);
        block->push_back(next.front());
        next.erase(next.begin());
        block = &next;
    }
    if (block->empty())
        blocks_.pop_back();
    --size_;
}

void StationRows::writeTo(PacketWriter& writer, const std::function<void()>& afterRow) const {
    std::array<FieldRef, kFieldCount> values;
    QString address;  // a Latin-1 address made UTF-16 for the file
    for (size_t index = 0; index < size_; ++index) {
        if (const StationRow* row = owned(index)) {
            for (int f = 0; f < kFieldCount; ++f)
                values[size_t(f)] = FieldRef::of(row->values[size_t(f)]);
        } else {
            for (int f = 0; f < kFieldCount; ++f) {
                const Field field = Field(f);
                FieldRef& value = values[size_t(f)];
                value = {};
                if (const int slot = textSlot(field); slot >= 0) {
                    const TextAt t = textAt(record(index), slot);
                    if (t.latin1)
                        address = QLatin1StringView(t.data, t.length);
                    value = FieldRef::ofText(t.latin1 ? QStringView(address) : utf16(t));
                }
            }
        }
        writer.writeRow(values.data());
        if (afterRow)
            afterRow();
    }
}
