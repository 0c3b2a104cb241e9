// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/TaskPlans.h"

#include "AppInfo.h"
#include "catalogue/StationTable.h"
#include "platform/Dialogs.h"
#include "recording/RecordingTexts.h"
#include "scheduler/TaskTexts.h"
#include "time/PlanTexts.h"

#include <cstdlib>
#include <limits>

TaskPlans::TaskPlans(StationTable& table, Dialogs& dialogs, Hooks hooks)
    : table_(table), dialogs_(dialogs), hooks_(std::move(hooks)) {}

const QStringList& TaskPlans::kinds() {
    static const QStringList names = {TaskTexts::play(), TaskTexts::playAndRecord()};
    return names;
}

const QStringList& TaskPlans::finishActions() {
    static const QStringList names = {RecordingTexts::powerOff(), RecordingTexts::standby(),
                                      RecordingTexts::hibernate()};
    return names;
}

TaskPlans::Plan TaskPlans::initialPlan(const QDate& today) {
    return {{},
            kinds()[0],
            {},
            QDateTime(today, QTime(15, 44, 49)),
            QDateTime(today, QTime(15, 51, 17)),
            {}};
}

qint32 TaskPlans::intervalSeconds(const QDateTime& start, const QDateTime& end) {
    // As read off the pickers: a day with a clock change does not count an hour more or less.
    const auto wall = [](const QDateTime& t) { return QDateTime(t.date(), t.time(), Qt::UTC); };
    const qint64 seconds = std::llabs(wall(start).msecsTo(wall(end))) / 1000;
    return qint32(std::min<qint64>(seconds, std::numeric_limits<qint32>::max()));
}

QString TaskPlans::currentName() const {
    return table_.text(Field::stationName);
}

int TaskPlans::currentRow() const {
    return table_.currentIndex();
}

void TaskPlans::selectRow(int row) {
    if (table_.currentIndex() != row && !table_.selectRow(row)) {
        table_.setFilter(ViewFilter::all());
        table_.selectRow(row);
    }
}

TaskPlans::Plan TaskPlans::loadplan(const QDate& today) const {
    const auto row = table_.current();
    if (!row)
        return initialPlan(today);
    const auto when = [&](Field f) {
        const auto value = row->dateTime(f);
        if (!value)
            return QDateTime(today, QTime(0, 0));
        const QDate date = value->date();
        return QDateTime(date.isValid() ? date : today, value->time());
    };
    return {row->text(Field::stationName), row->text(Field::planType),
            row->text(Field::period),      when(Field::startTime),
            when(Field::endTime),          row->text(Field::finishAction)};
}

void TaskPlans::save(const Plan& plan, int row) {
    if (row >= 0 && row < table_.totalCount())
        selectRow(row);
    if (row >= 0 && table_.currentIndex() == row) {
        table_.setText(Field::stationName, plan.name);
        table_.setDateTime(Field::startTime,
                           CdsDateTime::fromDateTime(plan.start.date(), plan.start.time()));
        table_.setDateTime(Field::endTime,
                           CdsDateTime::fromDateTime(plan.end.date(), plan.end.time()));
        // A task of a kind this editor does not offer keeps it unless another is chosen.
        if (!plan.kind.isEmpty())
            table_.setText(Field::planType, plan.kind);
        table_.setInteger(Field::intervalSeconds, intervalSeconds(plan.start, plan.end));
        table_.setText(Field::period, plan.period);
        table_.setText(Field::finishAction, plan.finishAction);
    }
    savePlans();
    hooks_.selectRoot();
}

bool TaskPlans::deleteTask() {
    const int row = table_.currentIndex();
    if (!dialogs_.confirm(AppInfo::title(), PlanTexts::confirmDelete()))
        return false;
    if (row < 0 || row >= table_.totalCount())
        return false;
    const ViewFilter taskList = table_.filter();
    selectRow(row);
    table_.setText(Field::planType, QString());
    table_.setFilter(taskList);  // the row leaves the task list at once
    savePlans();
    hooks_.selectRoot();
    return true;
}

void TaskPlans::savePlans() {
    // Written on the saver's thread: the rows in memory are what rd.cds will hold, so the first
    // row of the view is made current as reading the file again would. A failed save is told by
    // the saver, and what the list shows is still what the runner runs.
    table_.saveInBackground();
    hooks_.refreshSnapshot();  // the runner sees the change at its next pass
    table_.first();
}
