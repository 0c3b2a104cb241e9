// SPDX-License-Identifier: GPL-3.0-or-later
// One task-runner pass (every second is examined once) with a scheduler snapshot of the shipped
// size (5,746 rows) and of 1,000,000 rows, one row in fifty a task. Budget: ≤ 20 µs at both
// sizes. Re-indexing after a task change is measured too; it runs only when a task is saved.
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/TimeSource.h"
#include "playback/StreamKeeper.h"
#include "scheduler/TaskRunner.h"
#include "scheduler/TaskTexts.h"

#include <benchmark/benchmark.h>

namespace {

class IdlePlayer : public MediaPlayer {
  public:
    void setURL(const QString& url) override { url_ = url; }
    QString URL() const override { return url_; }
    void Play() override {}
    void Stop() override {}
    void Close() override {}
    int playState() const override { return kStopped; }
    bool isOnline() const override { return true; }
    Status status() const override { return Status::stopped; }
    QString PositionText() const override { return {}; }
    qint64 positionMsecs() const override { return 0; }
    QString DurationText() const override { return {}; }
    int BufferingProgress() const override { return 0; }
    int Volume() const override { return 50; }
    void setVolume(int) override {}
    bool Mute() const override { return false; }
    void setMute(bool) override {}
    QString nowPlaying() const override { return {}; }
    void reopenAudioOutput() override {}

  private:
    QString url_;
};

class SilentDialogs : public Dialogs {
  public:
    void message(const QString&, const QString&, Icon) override {}
    bool confirm(const QString&, const QString&) override { return true; }
};

// A clock that moves one second at each reading, as a pass a second would see it.
class SteppingClock : public TimeSource {
  public:
    QDateTime now() const override { return at = at.addSecs(1); }
    qint64 monotonicMsecs() const override { return 0; }
    mutable QDateTime at{QDate(2026, 12, 9), QTime(0, 0)};
};

SchedulerSnapshot makeSnapshot(int rows) {
    SchedulerSnapshot snapshot;
    snapshot.rows.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i) {
        StationRow row = StationRow::station(QStringLiteral("Station %1").arg(i), {}, {}, {},
                                             QStringLiteral("http://h/%1").arg(i));
        if (i % 50 == 0) {
            row.setText(Field::planType,
                        i % 100 ? QStringLiteral("定时播放") : QStringLiteral("播放并录音"));
            if (i % 150 == 0)
                row.setText(Field::period, TaskTexts::weekdayNames()[i % 7]);
            row.setDateTime(Field::startTime,
                            CdsDateTime::fromTimeOfDay(QTime(0, 0).addSecs(i * 7919 % 86400)));
            row.setInteger(Field::intervalSeconds, 3600);
        }
        snapshot.rows.push_back(std::move(row));
    }
    return snapshot;
}

struct Bench {
    explicit Bench(int rows) : snapshot(makeSnapshot(rows)) {}
    SchedulerSnapshot snapshot;
    IdlePlayer player;
    SilentDialogs dialogs;
    SteppingClock clock;
    StreamKeeper kept{player, clock};
    WindowFields fields;
    TaskRunner runner{snapshot,
                      kept,
                      dialogs,
                      clock,
                      fields,
                      {.statusTimer = [](bool) {},
                       .countdownTimer = [](bool) {},
                       .progressTimer = [](bool) {},
                       .toggleRecording = [] {},
                       .recording = [] { return false; },
                       .notRecorded = [] {},
                       .balloon = [](const QString&, const QString&) {},
                       .selectRoot = [] {}}};
};

void BM_TaskRunnerPass(benchmark::State& state) {
    Bench bench(int(state.range(0)));
    for (auto _ : state)
        bench.runner.startall();
    state.counters["rows"] = double(state.range(0));
}
BENCHMARK(BM_TaskRunnerPass)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

// Once a minute the core looks for the next task to wake the computer for.
void BM_NextTaskDue(benchmark::State& state) {
    Bench bench(int(state.range(0)));
    const QDateTime now(QDate(2026, 12, 9), QTime(12, 0));
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.runner.nextDue(now));
    state.counters["rows"] = double(state.range(0));
}
BENCHMARK(BM_NextTaskDue)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

void BM_TaskIndexRefresh(benchmark::State& state) {
    Bench bench(int(state.range(0)));
    for (auto _ : state)
        bench.runner.reindex();
    state.counters["rows"] = double(state.range(0));
}
BENCHMARK(BM_TaskIndexRefresh)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
