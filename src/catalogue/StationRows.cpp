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

}  // namespace

QStringView StationRef::textView(Field f) const {
    return rows_->textView(index_, f);
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
    if (fileBytes / 2 > std::numeric_limits<quint32>::max())
        throw CatalogueFormatError("catalogue file is larger than 8 GB");
    // The texts are moved to the front of the file's own bytes as they are read: the place they
    // move to never passes the place being read, and each lands on an even offset.
    char* const base = bytes.data();
    StationRows rows;
    size_t written = 0;
    {
        PacketReader reader(QByteArray::fromRawData(base, bytes.size()));
        checkStationFields(reader.fields());
        requireFitsInMemory(reader.rowCount(), kBytesPerRow, fileBytes);
        std::array<FieldRef, kFieldCount> values;
        size_t tasks = 0;
        for (size_t row = 0; row < reader.rowCount(); ++row) {
            if (row % kBlockRows == 0) {
                rows.blocks_.push_back(std::make_shared<Block>());
                rows.blocks_.back()->reserve(std::min(kBlockRows, reader.rowCount() - row));
            }
            Record& record = rows.blocks_.back()->emplace_back();
            reader.readRow(values.data());
            record.text = quint32(written / 2);
            for (int f = 0; f < kFieldCount; ++f) {
                const FieldRef& v = values[size_t(f)];
                switch (v.kind) {
                    case FieldRef::Kind::text: {
                        char* const to = base + written;
                        std::memmove(to, v.text, size_t(v.textBytes));
                        const QStringView text(reinterpret_cast<const char16_t*>(to),
                                               v.textBytes / 2);
                        const qsizetype kept = widthCut(text, fieldSpec(Field(f)).maxChars);
                        record.lengths[size_t(textSlot(Field(f)))] = quint8(kept);
                        written += size_t(kept) * 2;
                        break;
                    }
                    case FieldRef::Kind::dateTime:
                        if (Field(f) == Field::startTime) {
                            record.start = v.msecs;
                            record.flags |= hasStart;
                        } else {
                            record.end = v.msecs;
                            record.flags |= hasEnd;
                        }
                        break;
                    case FieldRef::Kind::integer:
                        record.interval = v.integer;
                        record.flags |= hasInterval;
                        break;
                    case FieldRef::Kind::null:
                        break;
                }
            }
            tasks += record.lengths[size_t(textSlot(Field::planType))] != 0;
        }
        reader.finish();
        rows.size_ = reader.rowCount();
        // The task runner keeps its own copy of every task.
        requireFitsInMemory(1, rows.size_ * kBytesPerRow + tasks * kBytesPerOwnedRow, fileBytes);
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

QStringView StationRows::textView(size_t index, Field f) const {
    if (const StationRow* row = owned(index))
        return row->textView(f);
    const int slot = textSlot(f);
    if (slot < 0)
        return {};
    const Record& r = record(index);
    size_t at = r.text;
    for (int i = 0; i < slot; ++i)
        at += r.lengths[size_t(i)];
    return {reinterpret_cast<const char16_t*>(texts_.constData()) + at,
            qsizetype(r.lengths[size_t(slot)])};
}

std::optional<CdsDateTime> StationRows::dateTime(size_t index, Field f) const {
    if (const StationRow* row = owned(index))
        return row->dateTime(f);
    const Record& r = record(index);
    if (f == Field::startTime && (r.flags & hasStart))
        return CdsDateTime{r.start};
    if (f == Field::endTime && (r.flags & hasEnd))
        return CdsDateTime{r.end};
    return std::nullopt;
}

std::optional<qint32> StationRows::integer(size_t index, Field f) const {
    if (const StationRow* row = owned(index))
        return row->integer(f);
    const Record& r = record(index);
    if (f == Field::intervalSeconds && (r.flags & hasInterval))
        return r.interval;
    return std::nullopt;
}

StationRow StationRows::row(size_t index) const {
    if (const StationRow* row = owned(index))
        return *row;
    StationRow out;
    for (int f = 0; f < kFieldCount; ++f) {
        const Field field = Field(f);
        FieldValue& value = out.values[size_t(f)];
        if (textSlot(field) >= 0) {
            if (const QStringView text = textView(index, field); !text.isEmpty())
                value = text.toString();
        } else if (const auto time = dateTime(index, field)) {
            value = *time;
        } else if (const auto number = integer(index, field)) {
            value = *number;
        }
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
    for (size_t index = 0; index < size_; ++index) {
        if (const StationRow* row = owned(index)) {
            for (int f = 0; f < kFieldCount; ++f)
                values[size_t(f)] = FieldRef::of(row->values[size_t(f)]);
        } else {
            for (int f = 0; f < kFieldCount; ++f) {
                const Field field = Field(f);
                FieldRef& value = values[size_t(f)];
                value = {};
                if (textSlot(field) >= 0)
                    value = FieldRef::ofText(textView(index, field));
                else if (const auto time = dateTime(index, field))
                    value = FieldRef::ofDateTime(time->msecs);
                else if (const auto number = integer(index, field))
                    value = FieldRef::ofInteger(*number);
            }
        }
        writer.writeRow(values.data());
        if (afterRow)
            afterRow();
    }
}
