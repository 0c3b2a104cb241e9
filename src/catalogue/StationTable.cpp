// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationTable.h"

#include "catalogue/CatalogueTexts.h"
#include "platform/WholeFile.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

double numericKey(const StationRef& row, Field f) {
    if (const auto time = row.dateTime(f))
        return time->msecs;
    if (const auto number = row.integer(f))
        return *number;
    return -std::numeric_limits<double>::infinity();  // null sorts first
}

}  // namespace

StationTable::StationTable(QString savePath) : savePath_(std::move(savePath)), saver_(savePath_) {}

void StationTable::loadFromFile(const QString& path) {
    saver_.wait();  // the newest rows are on disk before the file is read again
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CatalogueFormatError(
            QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    QByteArray bytes;
    try {
        bytes = readWholeFile(file);
    } catch (const std::runtime_error& e) {
        throw CatalogueFormatError(e.what());
    } catch (const std::bad_alloc&) {
        throw CatalogueFormatError(QStringLiteral("%1: %2 bytes, more than there is memory for")
                                       .arg(path)
                                       .arg(file.size())
                                       .toStdString());
    }
    rows_ = StationRows::read(std::move(bytes));
    keys_ = {};
    orderDirty_ = true;
    rebuildView();
    first();
}

std::vector<StationRow> StationTable::readRows(const QByteArray& bytes) {
    const StationRows read = StationRows::read(bytes);
    requireFitsInMemory(read.size(), StationRows::kBytesPerOwnedRow, size_t(bytes.size()));
    std::vector<StationRow> rows;
    rows.reserve(read.size());
    for (size_t i = 0; i < read.size(); ++i)
        rows.push_back(read.row(i));
    return rows;
}

void StationTable::appendRows(std::vector<StationRow> rows) {
    for (const StationRow& row : rows)
        rows_.append(row);
    keys_ = {};
    orderDirty_ = true;
    refreshKeepingPlace();
}

QByteArray StationTable::toBytes() const {
    PacketWriter writer(stationDescriptors(), {}, rows_.size());
    rows_.writeTo(writer);
    return writer.finish();
}

void StationTable::commitAndSave() {
    saver_.saveNow(rows_);
    refreshKeepingPlace();
}

void StationTable::saveInBackground(CatalogueSaver::Done done) {
    saver_.save(rows_, std::move(done));
    refreshKeepingPlace();
}

void StationTable::snapshotForScheduler(SchedulerSnapshot& into) const {
    into.rows.clear();
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].isTask())
            into.rows.push_back(rows_.row(i));
}

QString StationTable::stationCountText() const {
    return CatalogueTexts::stationCount(rows_.size());
}

std::optional<StationRef> StationTable::current() const {
    if (current_ < 0)
        return std::nullopt;
    return rows_[size_t(current_)];
}

QString StationTable::text(Field f) const {
    const auto row = current();
    return row ? row->text(f) : QString();
}

template <typename Change>
void StationTable::changeCurrent(Field f, Change&& change) {
    if (current_ < 0)
        throw StationTableError("no current row");
    StationRow row = rows_.row(size_t(current_));
    change(row);
    rows_.replace(size_t(current_), row);
    if (keys_[size_t(f)])
        keys_[size_t(f)]->set(size_t(current_), rows_.textView(size_t(current_), f));
    orderDirty_ = orderDirty_ || sortField_ == f;
}

void StationTable::setText(Field f, const QString& text) {
    changeCurrent(f, [&](StationRow& row) { row.setText(f, text); });
}

void StationTable::setDateTime(Field f, std::optional<CdsDateTime> value) {
    changeCurrent(f, [&](StationRow& row) { row.setDateTime(f, value); });
}

void StationTable::setInteger(Field f, std::optional<qint32> value) {
    changeCurrent(f, [&](StationRow& row) { row.setInteger(f, value); });
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
    rows_.append(row);
    for (int f = 0; f < kFieldCount; ++f)
        if (keys_[size_t(f)])
            keys_[size_t(f)]->append(rows_.textView(rows_.size() - 1, Field(f)));
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
    rows_.erase(size_t(current_));
    for (auto& keys : keys_)
        if (keys)
            keys->erase(size_t(current_));
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
    order_.clear();
    if (!sortField_) {
        orderDirty_ = false;
        return;
    }
    const Field field = *sortField_;
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    if (fieldSpec(field).typeWord == FieldDescriptor::kWideString) {
        auto& keys = keys_[size_t(field)];
        if (!keys) {
            auto made = std::make_unique<CollationKeys>();
            made->build(rows_, field);
            keys = std::move(made);
        }
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int a, int b) { return keys->less(size_t(a), size_t(b)); });
    } else {
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            return numericKey(rows_[size_t(a)], field) < numericKey(rows_[size_t(b)], field);
        });
    }
    orderDirty_ = false;
}

void StationTable::rebuildView() {
    if (orderDirty_)
        rebuildOrder();  // before the model is told: a failure here leaves the view as it was
    notify(listener_.viewAboutToChange);
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
