// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How the current stream was started; chooses the name the status display shows.
enum class PlaySource { None = 0, Command = 1, DoubleClick = 2, Task = 3 };

// The main window's fields: the state that playback, recording, the task runner, the presets and
// the catalogue update hand each other. One instance, owned by the core and handed by reference
// to the subsystems that read or write it.
struct WindowFields {
    QString title;              // address of the row last selected
    QString title1;             // address loaded at the last stop
    QString title2;             // station started by the play command or a double click
    QString title3;             // name of the row last selected
    QString title4;             // station started by a double click
    QString title5;             // station of the last matched task
    bool flag = false;          // the stop command ran since the last row selection
    bool play = true;           // no preset was assigned in this run: the menus reload the file
    bool rdfile = false;        // a task matched since the last finished encoding
    bool detail = false;        // a catalogue update was announced and its list not yet shown
    QString armedFinishAction;  // the last matched task's power action, for the next encoding
    PlaySource playSource = PlaySource::None;  // how the current stream was started
};
