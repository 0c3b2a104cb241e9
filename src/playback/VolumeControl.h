// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/PlaybackTexts.h"

#include <QString>

class Dialogs;
class MediaPlayer;

// The volume bar, the tray's volume steps and the mute button. The bar starts at 100 and is not
// brought into line with the player; the step limits are judged on the bar's value.
class VolumeControl {
  public:
    static constexpr int kStep = 10;

    VolumeControl(MediaPlayer& player, Dialogs& dialogs);

    int barValue() const { return bar_; }
    // A press at x pixels from the left of a bar width pixels wide: sets the volume.
    void Gauge21MouseDown(int x, int width);
    // The bar and the player at a level from 0 to 100, as a press there would set them.
    void setLevel(int level);
    // The desktop's media controls show the level, and 0 while muted: a level above 0 from them
    // also ends the mute.
    void setLevelFromDesktop(int level);
    // The mouse moving over the bar changes only the hint.
    void Gauge21MouseMove() { barHint_ = PlaybackTexts::volumeBarHint(bar_); }
    const QString& barHint() const { return barHint_; }
    // The hint that each show of the main window gives the bar.
    QString showHint() const { return PlaybackTexts::volumeShowHint(bar_); }
    void setShowHint() { barHint_ = showHint(); }

    void N15Click();  // volume up
    void N18Click();  // volume down

    // The mute button: its tag (0 sound, 1 muted) and hint (empty until first pressed).
    void ToolButton1Click();
    int muteTag() const { return tag_; }
    const QString& muteHint() const { return muteHint_; }

  private:
    void setBar(int value);
    void step(int delta, const QString& limitMessage, bool atLimit);

    MediaPlayer& player_;
    Dialogs& dialogs_;
    int bar_ = 100;
    QString barHint_;
    int tag_ = 0;
    QString muteHint_;
};
