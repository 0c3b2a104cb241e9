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
struct WindowFields;

// Starting and stopping streams of the station table; what is known about the station being
// played is kept in the window fields.
class Playback {
  public:
    struct Hooks {
        std::function<void(bool)> statusTimer;    // Timer2 on or off
        std::function<void()> stopTaskCountdown;  // Timer3 off
        std::function<void()> showAllStations;    // station page, tree root, all rows
    };

    Playback(MediaPlayer& player, StationTable& table, const OptionsStore& options,
             Dialogs& dialogs, ProcessKiller& processes, WindowFields& fields, Hooks hooks);

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

  private:
    QString currentName() const;

    MediaPlayer& player_;
    StationTable& table_;
    const OptionsStore& options_;
    Dialogs& dialogs_;
    ProcessKiller& processes_;
    WindowFields& fields_;
    Hooks hooks_;
};
