// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class Dialogs;
class StationTable;

// The timed tasks as the user edits them: a task is a set of fields of its station's own row, so
// a station has at most one. Saving and deleting write rd.cds at once and refresh the snapshot
// the task runner reads.
class TaskPlans {
  public:
    // What the task editor shows and stores.
    struct Plan {
        QString name;
        QString kind;    // "定时播放" or "播放并录音"; empty when none is chosen
        QString period;  // empty for every day, else a weekday name (or any typed text)
        QDateTime start, end;
        QString finishAction;  // empty, or "关机", "待机", "休眠" (or any typed text)
    };
    struct Hooks {
        std::function<void()> refreshSnapshot;  // copy all rows for the task runner
        std::function<void()> selectRoot;       // the genre tree's first node, "所有电台"
    };

    TaskPlans(StationTable& table, Dialogs& dialogs, Hooks hooks);

    static const QStringList& kinds();
    static const QStringList& finishActions();
    // A new task: 15:44:49 to 15:51:17 on the given day, every day, play only.
    static Plan initialPlan(const QDate& today);
    // The absolute difference in whole seconds; an end before the start does not wrap over
    // midnight (23:00:00 to 01:00:00 is 79,200).
    static qint32 intervalSeconds(const QDateTime& start, const QDateTime& end);

    // The current row's name (empty without a current row).
    QString currentName() const;
    // The current row, by its place in the table (-1 for none): what the editor works on, even
    // when something moves the current row while the editor is open.
    int currentRow() const;
    // loadplan: the current task row's plan; a stored time without a usable date takes today's.
    Plan loadplan(const QDate& today) const;
    // BitBtn1Click of the editor: stores the plan in the current row (when there is one), saves,
    // refreshes the snapshot, reloads the table and shows all stations. A save that fails leaves
    // the table as the file holds it, and throws.
    void save(const Plan& plan, int row);
    // DBGrid2DblClick: asks, then empties the current row's task kind and saves as above. The
    // row's other task fields stay. False when the user declined or there is no row.
    bool deleteTask();

  private:
    // Saves rd.cds in the background and hands the tasks to the runner.
    void savePlans();
    // Makes the row current again, showing all stations when the view has lost it.
    void selectRow(int row);

    StationTable& table_;
    Dialogs& dialogs_;
    Hooks hooks_;
};
