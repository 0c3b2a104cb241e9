// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class Dialogs;
class Playback;
class Presets;
class StationTable;
struct WindowFields;

// Previous and next station within the current view, random play over the whole table, and the
// preset slots: all end in the play command.
class Navigation {
  public:
    struct Hooks {
        std::function<void()> selectRoot;    // select "所有电台"
        std::function<void()> rowSelection;  // the row click for the current row
    };

    // Assigning a preset clears the window field play.
    Navigation(StationTable& table, Playback& playback, Presets& presets, Dialogs& dialogs,
               WindowFields& fields, Hooks hooks);

    void N23Click();          // previous station
    void N24Click();          // next station
    void ToolButton7Click();  // random play
    // Preset menu item: slot := the current row's name.
    void assignPreset(int slot);
    // Tray preset item or digit key: plays the slot's station.
    void playPreset(int slot);

  private:
    void selectAndPlay();

    StationTable& table_;
    Playback& playback_;
    Presets& presets_;
    Dialogs& dialogs_;
    WindowFields& fields_;
    Hooks hooks_;
};
