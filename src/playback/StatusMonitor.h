// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediaRemote.h"

#include <QString>

class StreamKeeper;
struct WindowFields;

// What the status display shows: panels 0 and 1 of the status bar, the tray icon image (0 the
// radio, 1 the radio crossed out) and the tray tooltip.
struct StatusDisplay {
    QString panel0;
    QString panel1;
    int trayImage = 0;
    QString tooltip;
};

// Timer2's work: once a second, the player's state, the station and the elapsed time; while the
// player reconnects, the try it is at, and why it gave up.
class StatusMonitor {
  public:
    // headerCaption: the caption of the header label, which the tooltip copies when not muted.
    StatusMonitor(const StreamKeeper& player, const WindowFields& fields,
                  QString headerCaption = {});

    // Timer2Timer: updates display(); does nothing before anything was played.
    void Timer2Timer();
    const StatusDisplay& display() const { return display_; }
    // What the desktop's media controls show: the station, its address, the stream's own title
    // and the player's volume and mute.
    RemoteState remoteState() const;
    // Opening, buffering and playing all count as playing.
    RemoteState::Status playStatus() const;

  private:
    QString statePrefix() const;
    // The name the status line shows: for the play command, the row selected last.
    QString stationName() const;
    // The name of what was started last, whatever was selected since; empty before anything was.
    QString startedName() const;

    const StreamKeeper& player_;
    const WindowFields& fields_;
    QString headerCaption_;
    StatusDisplay display_;
};
