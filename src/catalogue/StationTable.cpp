// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationTable.h"

#include "platform/AtomicFile.h"

#include <QCollator>
#include <QFile>

#include <algorithm>
#include <limits>
#include <numeric>

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

double numericKey(const FieldValue& v) {
    if (const auto* d = std::get_if<CdsDateTime>(&v))
        return d->msecs;
    if (const auto* i = std::get_if<qint32>(&v))
        return *i;
    return -std::numeric_limits<double>::infinity();  // null sorts first
}

}  // namespace

StationTable::StationTable(QString savePath) : savePath_(std::move(savePath)) {}

void StationTable::loadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CatalogueFormatError(
            QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    // Mapped rather than copied: the rows copy their texts out, and a save replaces the file by
    // renaming, so the mapped bytes never change underneath.
    const qint64 size = file.size();
    uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    const QByteArray bytes =
        mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size)
               : file.readAll();
    rows_ = readRows(bytes);
    orderDirty_ = true;
    rebuildView();
    first();
}

std::vector<StationRow> StationTable::readRows(const QByteArray& bytes) {
    PacketReader reader(bytes);
    checkStationFields(reader.fields());
    std::vector<StationRow> rows(reader.rowCount());
    for (StationRow& row : rows) {
        reader.readRow(row.values.data());
        // Texts longer than their field (a file from elsewhere) are cut as the setters would.
        for (int f = 0; f < kFieldCount; ++f)
            if (const QString* t = std::get_if<QString>(&row.values[size_t(f)]);
                t && t->size() > fieldSpec(Field(f)).maxChars)
                row.setText(Field(f), *t);
    }
    reader.finish();
    return rows;
}

void StationTable::appendRows(std::vector<StationRow> rows) {
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    orderDirty_ = true;
    refreshKeepingPlace();
}

QByteArray StationTable::toBytes() const {
    PacketWriter writer(stationDescriptors(), {}, rows_.size());
    for (const StationRow& row : rows_)
        writer.writeRow(row.values.data());
    return writer.finish();
}

void StationTable::commitAndSave() {
    writeFileAtomically(savePath_, toBytes());
    refreshKeepingPlace();
}

void StationTable::snapshotForScheduler(SchedulerSnapshot& into) const {
    into.rows.clear();
    for (const StationRow& row : rows_)
        if (row.isTask())
            into.rows.push_back(row);
}

QString StationTable::stationCountText() const {
    return QStringLiteral("当前共有电台%1个").arg(rows_.size());
}

const StationRow* StationTable::current() const {
    return current_ >= 0 ? &rows_[size_t(current_)] : nullptr;
}

StationRow& StationTable::editableCurrent() {
    if (current_ < 0)
        throw StationTableError("no current row");
    return rows_[size_t(current_)];
}

QString StationTable::text(Field f) const {
    const StationRow* row = current();
    return row ? row->text(f) : QString();
}

void StationTable::setText(Field f, const QString& text) {
    editableCurrent().setText(f, text);
    orderDirty_ = orderDirty_ || sortField_ == f;
}

void StationTable::setDateTime(Field f, std::optional<CdsDateTime> value) {
    editableCurrent().setDateTime(f, value);
    orderDirty_ = orderDirty_ || sortField_ == f;
}

void StationTable::setInteger(Field f, std::optional<qint32> value) {
    editableCurrent().setInteger(f, value);
    orderDirty_ = orderDirty_ || sortField_ == f;
}

Field StationTable::requireField(const QString& name) const {
    if (auto f = fieldByName(name))
        return *f;
    throw StationTableError(QStringLiteral("field %1 not found").arg(name).toStdString());
}

QString StationTable::fieldText(const QString& name) const {
    return text(requireField(name));
}

void StationTable::setFieldText(const QString& name, const QString& text) {
    setText(requireField(name), text);
}

void StationTable::setFieldDateTime(const QString& name, std::optional<CdsDateTime> value) {
    setDateTime(requireField(name), value);
}

void StationTable::setFieldInteger(const QString& name, std::optional<qint32> value) {
    setInteger(requireField(name), value);
}

void StationTable::append(const StationRow& row) {
    StationRow stored;
    for (int f = 0; f < kFieldCount; ++f) {
        const FieldValue& v = row.values[size_t(f)];
        if (const QString* t = std::get_if<QString>(&v))
            stored.setText(Field(f), *t);
        else
            stored.values[size_t(f)] = v;
    }
    rows_.push_back(std::move(stored));
    orderDirty_ = true;
    rebuildView();
    current_ = int(rows_.size()) - 1;
    const auto it = std::find(view_.begin(), view_.end(), current_);
    position_ = it == view_.end() ? -1 : int(it - view_.begin());
    atEnd_ = false;
    notify(listener_.currentChanged);
}

void StationTable::deleteCurrent() {
    if (current_ < 0)
        throw StationTableError("no current row");
    rows_.erase(rows_.begin() + current_);
    current_ = -1;
    orderDirty_ = true;
    refreshKeepingPlace();
}

void StationTable::setFilter(const ViewFilter& filter) {
    filter_ = filter;
    rebuildView();
    first();
}

void StationTable::setSortField(std::optional<Field> field) {
    if (field == sortField_)
        return;
    sortField_ = field;
    orderDirty_ = true;
    const int keep = current_;
    rebuildView();
    const auto it = std::find(view_.begin(), view_.end(), keep);
    if (it == view_.end())
        first();
    else
        selectPosition(int(it - view_.begin()));
}

void StationTable::first() {
    selectPosition(0);
}

void StationTable::next() {
    if (position_ >= 0 && position_ + 1 < viewCount())
        selectPosition(position_ + 1);
    else
        atEnd_ = true;
}

void StationTable::prior() {
    if (position_ > 0)
        selectPosition(position_ - 1);
}

void StationTable::moveTo(int position) {
    selectPosition(std::clamp(position, 0, std::max(0, viewCount() - 1)));
}

bool StationTable::selectRow(int row) {
    const auto it = std::find(view_.begin(), view_.end(), row);
    if (it == view_.end())
        return false;
    selectPosition(int(it - view_.begin()));
    return true;
}

void StationTable::selectPosition(int position) {
    atEnd_ = false;
    if (position < 0 || position >= viewCount()) {
        current_ = position_ = -1;
    } else {
        position_ = position;
        current_ = view_[size_t(position)];
    }
    notify(listener_.currentChanged);
}

void StationTable::refreshKeepingPlace() {
    const int oldPosition = position_;
    const int keep = current_;
    rebuildView();
    const auto it = keep < 0 ? view_.end() : std::find(view_.begin(), view_.end(), keep);
    if (it != view_.end())
        selectPosition(int(it - view_.begin()));
    else
        selectPosition(std::min(std::max(oldPosition, 0), viewCount() - 1));
}

void StationTable::rebuildOrder() {
    orderDirty_ = false;
    order_.clear();
    if (!sortField_)
        return;
    const Field field = *sortField_;
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    if (fieldSpec(field).typeWord == FieldDescriptor::kWideString) {
        // Chinese-aware order (pinyin where the collator offers it).
        QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
        std::vector<QCollatorSortKey> keys;
        keys.reserve(rows_.size());
        for (const StationRow& row : rows_)
            keys.push_back(collator.sortKey(row.text(field)));
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
        });
    } else {
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            return numericKey(rows_[size_t(a)].values[size_t(field)]) <
                   numericKey(rows_[size_t(b)].values[size_t(field)]);
        });
    }
}

void StationTable::rebuildView() {
    notify(listener_.viewAboutToChange);
    if (orderDirty_)
        rebuildOrder();
    view_.clear();
    const auto consider = [&](int index) {
        if (filter_.matches(rows_[size_t(index)]))
            view_.push_back(index);
    };
    if (sortField_)
        for (int index : order_)
            consider(index);
    else
        for (int index = 0; index < int(rows_.size()); ++index)
            consider(index);
    notify(listener_.viewChanged);
}
