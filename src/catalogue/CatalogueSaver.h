// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/StationRows.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// Writes the catalogue file on a thread of its own, from a copy of the rows taken when the save
// was asked for, so the window never waits for the disk. One save runs at a time; a save asked
// for while one runs waits, and replaces any that already waited: only the newest rows are
// written after the running save. Each save replaces the file atomically.
class CatalogueSaver : public QObject {
    Q_OBJECT
  public:
    explicit CatalogueSaver(QString path);
    // Waits for the last save.
    ~CatalogueSaver() override;

    // Told on the thread the saver belongs to (the window's) whether the rows of a save reached
    // the disk: by the save that wrote them, which may be a later one that replaced it.
    using Done = std::function<void(bool saved)>;

    // A failure of a save asked for without done is told by failed().
    void save(StationRows rows, Done done = {});
    // Writes the rows here and now, after any save that runs or waits. Throws FileWriteError.
    void saveNow(const StationRows& rows);
    // Returns once no save runs or waits.
    void wait();
    // Whether the last save that ended failed.
    bool lastFailed();

  signals:
    // A save asked for without done failed: the message names the file and the reason.
    // Delivered on the thread the saver belongs to (the window's), not on the worker.
    void failed(const QString& message);

  private:
    void work();
    // Writes rows to the file as a catalogue, atomically. Throws FileWriteError.
    void write(const StationRows& rows);

    const QString path_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<StationRows> waiting_;
    std::vector<Done> waitingDone_;
    bool waitingUntold_ = false;  // a waiting save was asked for without done
    bool running_ = false;
    bool lastFailed_ = false;
    bool stopping_ = false;
    std::thread worker_;
};
