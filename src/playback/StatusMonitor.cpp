// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/StatusMonitor.h"

#include "platform/MediaPlayer.h"
#include "playback/Playback.h"
#include "playback/PlaybackTexts.h"

StatusMonitor::StatusMonitor(const MediaPlayer& player, const Playback& playback,
                             QString headerCaption)
    : player_(player), playback_(playback), headerCaption_(std::move(headerCaption)) {}

QString StatusMonitor::statePrefix() const {
    return player_.status().left(4);
}

void StatusMonitor::Timer2Timer() {
    QString name;
    switch (playback_.playSource) {
        case PlaySource::None:
            return;
        case PlaySource::Command:
            name = playback_.title3;
            break;
        case PlaySource::DoubleClick:
            name = playback_.title4;
            break;
        case PlaySource::Task:
            name = playback_.title5;
            break;
    }
    const QString plainLine = statePrefix() + QStringLiteral(":  ") + name;

    display_.panel0 = plainLine;
    display_.tooltip = display_.panel0;

    if (player_.playState() == MediaPlayer::kPlaying) {
        const bool live = player_.DurationText() == QLatin1String("00:00");
        display_.panel1 = PlaybackTexts::playedPrefix() + player_.PositionText() +
                          (live ? QString() : PlaybackTexts::finiteRemark());
    } else {
        display_.panel1.clear();
    }

    if (player_.Mute()) {
        display_.panel0 = statePrefix() + QStringLiteral(":  ") + name + QStringLiteral(" - ") +
                          PlaybackTexts::muted();
        display_.trayImage = 1;
        display_.tooltip = display_.panel0;
    } else {
        display_.panel0 = statePrefix() + QStringLiteral(":  ") + name;
        display_.trayImage = 0;
        display_.tooltip = headerCaption_;
    }

    if (player_.playState() == MediaPlayer::kBuffering)
        display_.panel0 = statePrefix() + QLatin1Char(' ') +
                          QString::number(player_.BufferingProgress()) + QStringLiteral("%   ") +
                          name;
}
