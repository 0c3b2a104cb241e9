// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/VolumeControl.h"

#include "AppInfo.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"

#include <algorithm>
#include <cmath>

VolumeControl::VolumeControl(MediaPlayer& player, Dialogs& dialogs)
    : player_(player), dialogs_(dialogs) {}

void VolumeControl::setBar(int value) {
    bar_ = std::clamp(value, 0, 100);
}

void VolumeControl::Gauge21MouseDown(int x, int width) {
    // Nearest integer, halves to the even neighbour (the default rounding mode).
    setLevel(int(std::nearbyint(double(x) * 100.0 / double(std::max(width, 1)))));
}

void VolumeControl::setLevel(int level) {
    setBar(level);
    player_.setVolume(level);
    barHint_ = PlaybackTexts::volumeBarHint(level);
}

void VolumeControl::setLevelFromDesktop(int level) {
    if (tag_ == 1 && level > 0)
        ToolButton1Click();
    setLevel(level);
}

void VolumeControl::step(int delta, const QString& limitMessage, bool atLimit) {
    if (atLimit) {
        dialogs_.message(AppInfo::title(), limitMessage, Dialogs::Icon::information);
        return;
    }
    player_.setVolume(player_.Volume() + delta);
    setBar(player_.Volume());
}

void VolumeControl::N15Click() {
    step(kStep, PlaybackTexts::volumeAtMaximum(), bar_ >= 100);
}

void VolumeControl::N18Click() {
    step(-kStep, PlaybackTexts::volumeAtMinimum(), bar_ <= 0);
}

void VolumeControl::ToolButton1Click() {
    const bool mute = tag_ == 0;
    player_.setMute(mute);
    tag_ = mute ? 1 : 0;
    muteHint_ = PlaybackTexts::muteButtonHint(mute);
}
