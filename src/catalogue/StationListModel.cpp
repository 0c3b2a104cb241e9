// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationListModel.h"

#include "catalogue/StationTable.h"

StationListModel::StationListModel(StationTable& table, std::vector<Column> columns,
                                   QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {}

std::vector<StationListModel::Column> StationListModel::stationColumns() {
    return {{Field::stationName, 330},
            {Field::country, 115},
            {Field::category, 90},
            {Field::bitRate, 70}};
}

std::vector<StationListModel::Column> StationListModel::taskColumns() {
    return {{Field::stationName, 210}, {Field::category, 60}, {Field::period, 55},
            {Field::startTime, 70},    {Field::endTime, 70},  {Field::planType, 80},
            {Field::finishAction, 60}};
}

int StationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !shown_ ? 0 : table_.viewCount();
}

void StationListModel::setShown(bool shown) {
    if (shown == shown_)
        return;
    beginResetModel();
    shown_ = shown;
    endResetModel();
}

int StationListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant StationListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= table_.viewCount())
        return {};
    const Field field = columns_[size_t(index.column())].field;
    if (role == Qt::TextAlignmentRole)
        return field == Field::stationName ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                           : int(Qt::AlignCenter);
    // No per-cell tooltip: the window's hints on the lists (a genre's description, "双击删除计划")
    // must show over the rows.
    if (role != Qt::DisplayRole)
        return {};
    const StationRef row = table_.row(table_.viewRow(index.row()));
    if (const auto time = row.dateTime(field))
        return time->time().toString(QStringLiteral("HH:mm:ss"));
    if (const auto number = row.integer(field))
        return *number;
    return row.text(field);
}

QVariant StationListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size()))
        return {};
    if (role == Qt::DisplayRole)
        return fieldName(columns_[size_t(section)].field);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}
