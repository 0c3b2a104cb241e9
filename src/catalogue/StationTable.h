// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/CatalogueSaver.h"
#include "catalogue/CollationKeys.h"
#include "catalogue/StationRows.h"
#include "catalogue/ViewFilter.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

// A save that failed, or a field name the table lacks. Reported to the user as an error.
class StationTableError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The copy of the rows with a task, in stored order, that the task runner scans. Stations
// without a task are not copied: at a million rows the copy would double the catalogue's memory.
struct SchedulerSnapshot {
    std::vector<StationRow> rows;
};

// Every row of the catalogue file, in stored order, with a current row and a view (one filter
// and an optional ascending sort field). Every change is saved whole, by commitAndSave or, without
// the window waiting, by saveInBackground.
class StationTable {
  public:
    // Told before and after the rows of the view change, and after the current row moved.
    struct Listener {
        std::function<void()> viewAboutToChange;
        std::function<void()> viewChanged;
        std::function<void()> currentChanged;
    };

    // savePath: the catalogue file that commitAndSave replaces.
    explicit StationTable(QString savePath);

    void setListener(Listener listener) { listener_ = std::move(listener); }

    const QString& savePath() const { return savePath_; }

    // Replaces the content with the rows of a catalogue file and makes the first row of the view
    // current. Throws CatalogueFormatError (also for a file that cannot be opened); the content
    // stays as it was then.
    void loadFromFile(const QString& path);
    // Writes all rows, whatever the view, to a temporary file beside the catalogue and renames it
    // over the catalogue, so a failed save leaves the old file whole. Waits for a save in the
    // background first. Throws FileWriteError.
    void commitAndSave();
    // The same on the saver's thread, from a copy of the rows as they are now; the outcome is
    // told to done, or a failure by saver().failed without it.
    void saveInBackground(CatalogueSaver::Done done = {});
    CatalogueSaver& saver() { return saver_; }
    void snapshotForScheduler(SchedulerSnapshot& into) const;
    // The whole table as a catalogue file, in stored order.
    QByteArray toBytes() const;

    int totalCount() const { return int(rows_.size()); }
    StationRef row(int index) const { return rows_[size_t(index)]; }
    QString stationCountText() const;

    // The current row: -1 when there is none (an empty view).
    int currentIndex() const { return current_; }
    std::optional<StationRef> current() const;
    QString text(Field f) const;  // empty without a current row
    void setText(Field f, const QString& text);
    void setDateTime(Field f, std::optional<CdsDateTime> value);
    void setInteger(Field f, std::optional<qint32> value);
    // The same by field name; an unknown name throws StationTableError.
    QString fieldText(const QString& name) const;
    void setFieldText(const QString& name, const QString& text);
    void setFieldDateTime(const QString& name, std::optional<CdsDateTime> value);
    void setFieldInteger(const QString& name, std::optional<qint32> value);

    // Appends a row at the end of the stored order; it becomes current.
    void append(const StationRow& row);
    // Appends rows at the end of the stored order in one go; the current row stays.
    void appendRows(std::vector<StationRow> rows);
    // The rows of a catalogue file's bytes. Throws CatalogueFormatError, also for a file whose
    // fields are not the station table's.
    static std::vector<StationRow> readRows(const QByteArray& bytes);
    // Deletes the current row; the row after it in the view becomes current.
    void deleteCurrent();

    void setFilter(const ViewFilter& filter);
    const ViewFilter& filter() const { return filter_; }
    // Orders the view ascending by a field (stable; insertion order among equals), or by stored
    // order with no field. Stays in force across filter changes.
    void setSortField(std::optional<Field> field);
    std::optional<Field> sortField() const { return sortField_; }

    int viewCount() const { return int(view_.size()); }
    int viewRow(int position) const { return view_[size_t(position)]; }
    // Position of the current row in the view, -1 when it is not in it.
    int viewPosition() const { return position_; }
    void first();
    void next();
    void prior();
    void moveTo(int position);
    // Makes the row (by its place in the stored order) current when the view shows it.
    bool selectRow(int row);
    // Past the last row of the view: after next() on the last row, and always in an empty view.
    bool atEnd() const { return atEnd_ || view_.empty(); }

  private:
    // Applies a setter to the current row. Throws StationTableError without one.
    template <typename Change>
    void changeCurrent(Field f, Change&& change);
    Field requireField(const QString& name) const;
    void rebuildOrder();
    void rebuildView();
    void selectPosition(int position);
    // After the rows changed: the current row keeps its place if still in view, otherwise the row
    // now at the old position (or the last one) becomes current.
    void refreshKeepingPlace();

    static void notify(const std::function<void()>& hook) {
        if (hook)
            hook();
    }

    QString savePath_;
    Listener listener_;
    StationRows rows_;
    CatalogueSaver saver_;
    // The collation keys of each text field sorted by, for every row, kept until the rows are
    // replaced: sorting again, or after a change of a few rows, costs no new keys.
    std::array<std::unique_ptr<CollationKeys>, kFieldCount> keys_;
    ViewFilter filter_;
    std::optional<Field> sortField_;
    std::vector<int> order_;  // all rows, sorted by the sort field; empty without one
    bool orderDirty_ = false;
    std::vector<int> view_;
    int current_ = -1;
    int position_ = -1;
    bool atEnd_ = false;
};
