// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/StationRow.h"

#include <QAbstractTableModel>

#include <vector>

class StationTable;

// One of the two lists over the station table's view: the given columns, titles and all but the
// name centred, date-times as "hh:mm:ss".
class StationListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    struct Column {
        Field field;
        int width;
    };

    StationListModel(StationTable& table, std::vector<Column> columns, QObject* parent = nullptr);

    static std::vector<Column> stationColumns();
    static std::vector<Column> taskColumns();

    const std::vector<Column>& columns() const { return columns_; }
    // The table must call these around every change of its view.
    void viewAboutToChange() { beginResetModel(); }
    void viewChanged() { endResetModel(); }
    // Only the list on show has rows: a list view keeps a header section (12 bytes) for each of
    // its rows, also while hidden, which at a million stations is 12 MB for nothing.
    void setShown(bool shown);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    StationTable& table_;
    std::vector<Column> columns_;
    bool shown_ = true;
};
