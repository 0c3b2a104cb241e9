// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Dialogs;
class MediaPlayer;
class OptionsStore;
class ProcessKiller;
class StationTable;

// How the current stream was started; chooses the name the status display shows.
enum class PlaySource { None = 0, Command = 1, DoubleClick = 2, Task = 3 };

// Starting and stopping streams of the station table, and what the main window knows about the
// station being played.
class Playback {
  public:
    struct Hooks {
        std::function<void(bool)> statusTimer;    // Timer2 on or off
        std::function<void()> stopTaskCountdown;  // Timer3 off
        std::function<void()> showAllStations;    // station page, tree root, all rows
    };

    Playback(MediaPlayer& player, StationTable& table, const OptionsStore& options,
             Dialogs& dialogs, ProcessKiller& processes, Hooks hooks);

    static const QStringList& downloadTools();

    // A click on a row of either list.
    void rowSelected();
    // ToolButton2Click.
    void playCommand();
    // ToolButton4Click.
    void stopCommand();
    // DBGrid1DblClick.
    void doubleClick();
    void PlayStationByName(const QString& name);
    // An address from outside the catalogue (the command line, the desktop's media controls):
    // played as the play command plays a station, under the address as its name.
    void playAddress(const QString& url);
    // A medium is loaded: playState 1 to 10.
    bool WMP() const;
    void KillDownloadTools();

    QString title;      // address of the row last selected
    QString title1;     // address loaded at the last stop
    QString title2;     // station started by the play command or a double click
    QString title3;     // name of the row last selected
    QString title4;     // station started by a double click
    QString title5;     // station of the last matched task
    bool flag = false;  // the stop command ran since the last row selection
    PlaySource playSource = PlaySource::None;

  private:
    QString currentName() const;

    MediaPlayer& player_;
    StationTable& table_;
    const OptionsStore& options_;
    Dialogs& dialogs_;
    ProcessKiller& processes_;
    Hooks hooks_;
};
