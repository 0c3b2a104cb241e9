// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "add/StationEditor.h"
#include "catalogue/CatalogueBrowser.h"
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "online/CatalogueUpdate.h"
#include "online/Downloads.h"
#include "online/NetworkTime.h"
#include "playback/Navigation.h"
#include "playback/Playback.h"
#include "playback/Presets.h"
#include "playback/StatusMonitor.h"
#include "playback/StreamKeeper.h"
#include "playback/VolumeControl.h"
#include "recording/Recorder.h"
#include "recording/RecordingEncoder.h"
#include "scheduler/PowerTimer.h"
#include "scheduler/RunJournal.h"
#include "scheduler/TaskRunner.h"
#include "setting/OptionsStore.h"
#include "time/TaskPlans.h"
#include "update/ProgramUpdate.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <functional>

class CaptureDevice;
class Desktop;
class Dialogs;
class MediaPlayer;
class MediaRemote;
class PowerActions;
class SoundServer;
class ProcessKiller;
class SystemClock;
class TimeSource;
class Waker;

// Everything of the program that lives for the whole run, without a widget: the station table
// and its snapshot, the options, the presets, the window fields and every subsystem, wired to each
// other here. The main window owns it, shows what it holds and reacts to its signals.
class RadioCore : public QObject {
    Q_OBJECT

  public:
    // The platform services the subsystems work through.
    struct Services {
        Dialogs& dialogs;
        MediaPlayer& player;
        ProcessKiller& processes;
        Desktop& desktop;
        CaptureDevice& capture;
        PowerActions& power;
        const TimeSource& time;
        SystemClock& clock;
        MediaRemote& remote;  // the desktop's media controls and keys
        const SoundServer& sound;
        Waker& waker;  // wakes the computer for the next task
        // The executable a program update replaces: "corvinatone" beside the running one.
        QString programFile =
            QCoreApplication::applicationDirPath() + QStringLiteral("/corvinatone");
    };

    RadioCore(const QString& programFolder, Services services, QObject* parent = nullptr);
    ~RadioCore() override;

    // Loads rd.cds and the snapshot the task runner reads. Throws CatalogueFormatError when the
    // file is unreadable.
    void load();

    const QString& folder() const { return folder_; }
    WindowFields& fields() { return fields_; }
    StationTable& table() { return table_; }
    const SchedulerSnapshot& snapshot() const { return snapshot_; }
    OptionsStore& options() { return options_; }
    Presets& presets() { return presets_; }
    StreamKeeper& player() { return player_; }
    Playback& playback() { return playback_; }
    StatusMonitor& monitor() { return monitor_; }
    CatalogueBrowser& browser() { return browser_; }
    VolumeControl& volume() { return volume_; }
    Navigation& navigation() { return navigation_; }
    RecordingEncoder& encoder() { return encoder_; }
    Recorder& recorder() { return recorder_; }
    TaskRunner& runner() { return runner_; }
    PowerTimer& powerTimer() { return powerTimer_; }
    TaskPlans& plans() { return plans_; }
    NetworkTime& networkTime() { return networkTime_; }
    Downloads& downloads() { return downloads_; }
    CatalogueUpdate& catalogueUpdate() { return catalogueUpdate_; }
    ProgramUpdate& programUpdate() { return programUpdate_; }

    // What the options window shows as the station count: the count at load, then after each
    // change in the station editor (not after a catalogue update).
    const QString& stationCountText() const { return stationCountText_; }
    // The station editor for the current row, or for a new station.
    StationEditor stationEditor(StationEditor::Mode mode);

    // Runs a handler; a failure is shown as the event loop's general error report would.
    void guarded(const std::function<void()>& handler);
    // Timer1's work besides the world clock: the task scan, and the media controls see the state.
    // Nothing once "退出" began.
    void tick();

    // A row of either list was selected for play.
    void rowSelection();
    // The record button and the tasks: starts or stops a recording.
    void toggleRecording();
    // The mute hot key mutes only while the player is stopped or playing, and only unmodified.
    bool hotKeyMutes(int virtualKeyCode, bool withModifiers) const;
    // The show steps of the core, before the window's own (the hot key, the log-on box, the
    // recording-folder check): the maker's counter page is asked for, the presets and the options
    // are read.
    void loadAtShow();
    // Recordings a crash left unended are repaired and encoded, once a run; the user is told.
    void recoverRecordings();
    // The task editor's line when the computer cannot be woken for a task; empty when it can.
    QString wakeNote() const;
    // What happened while the program did not run, once a run: the notices of recordings the
    // computer went off after, and the tasks missed meanwhile.
    void reportAbsence();
    // The recording folder of the options is there; when it is not, the user is told.
    bool recordFolderUsable();
    // And after them, as the options say: download tools are ended, the program and the catalogue
    // look for updates, and a random station plays (unless randomPlay is false).
    void startAtShow(bool randomPlay);

    // "退出", in order: no power action follows; the recording that runs is stopped; every
    // recording is encoded (waitForEncodings returns once none is queued, by default blocking);
    // the player is stopped and closed; the presets are saved; the catalogue's last save is
    // awaited and, when it failed, tried once more; the update files are removed. A failure on the
    // way is fatal and said so; the run ends all the same. False for a second "退出" while one
    // runs (from inside the wait), which does nothing.
    bool quit(const std::function<void()>& waitForEncodings = {});
    // "退出" began: the run ends once control returns to the event loop.
    bool ending() const { return ending_; }

    // How long before a task the computer is woken.
    static constexpr int kWakeAheadSeconds = 60;

  signals:
    void statusTimerSwitched(bool on);              // Timer2, the playback status
    void countdownTimerSwitched(bool on);           // Timer3, the running task's countdown
    void progressTimerSwitched(bool on);            // Timer5, the recording's progress
    void progressTextChanged(const QString& text);  // the status bar's third panel
    void recordingChanged();  // a recording started or stopped: the record button
    void rowSelected();       // the favourite button follows the current row
    void balloonRequested(const QString& title, const QString& text, bool error);
    // New stations came: the tray shows, with the balloon, even where it was hidden.
    void newStationsAnnounced(const QString& title, const QString& text);
    void showAllStationsRequested();   // the station page, with the tree's root
    void selectRootRequested();        // "所有电台" in the tree
    void focusStationListRequested();  // the station list takes the focus
    void clockSet();                   // the world clock shows the new time
    void stationCountChanged(const QString& text);
    // A newer program: shown modally; returns once the user closed it.
    void updateOffered(const UpdateDescriptor& descriptor);
    void quitRequested();   // "退出" from the media controls, or after a program update
    void raiseRequested();  // the media controls ask for the window
    void volumeChanged();   // the media controls set the volume: the bar and the mute button

  private:
    void refreshSnapshot();
    // Timer3 on or off: a task plays, or no longer does.
    void taskCountdown(bool on);
    // The computer does not go to sleep while a recording runs or a task plays, nor suspend for
    // being idle in the ten minutes before a task.
    void keepAwakeWhileNeeded();
    // A wake-up a minute before the next task, armed again when that changes.
    void armWakeUp();
    // The notices kept while the computer was away, shown once.
    void showKeptNotices();
    // A tick this much later than the last one came after a standby.
    static constexpr int kAwaySeconds = 30;
    // The media controls' requests run the program's own commands, and they see the state after
    // each request and each second.
    void wireRemote();
    void publishRemote();

    QString folder_;
    Services services_;
    StreamKeeper player_;  // every subsystem plays through it
    WindowFields fields_;
    StationTable table_;
    SchedulerSnapshot snapshot_;
    OptionsStore options_;
    Presets presets_;
    Playback playback_;
    StatusMonitor monitor_;
    CatalogueBrowser browser_;
    VolumeControl volume_;
    Navigation navigation_;
    RecordingEncoder encoder_;
    Recorder recorder_;
    TaskRunner runner_;
    PowerTimer powerTimer_;
    TaskPlans plans_;
    NetworkTime networkTime_;
    Downloads downloads_;
    CatalogueUpdate catalogueUpdate_;
    ProgramUpdate programUpdate_;
    RunJournal journal_;
    QString stationCountText_;
    bool recording_ = false;
    bool taskRuns_ = false;
    bool taskSoon_ = false;  // a task falls due within ten minutes
    bool recordingsRecovered_ = false;
    bool absenceReported_ = false;
    QDateTime wakeArmed_;  // the wake-up armed, or invalid
    QDateTime lastTick_;
    qint64 wakeCheckedAt_ = -60'000;  // on the monotonic clock
    bool ending_ = false;
    bool quitting_ = false;  // quit() runs (it may wait for the encodings)
};
