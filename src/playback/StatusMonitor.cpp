// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/StatusMonitor.h"

#include "core/WindowFields.h"
#include "playback/PlaybackTexts.h"
#include "playback/StreamKeeper.h"

StatusMonitor::StatusMonitor(const StreamKeeper& player, const WindowFields& fields,
                             QString headerCaption)
    : player_(player), fields_(fields), headerCaption_(std::move(headerCaption)) {}

QString StatusMonitor::statePrefix() const {
    return PlaybackTexts::playerStatus(player_.status()).left(4);
}

QString StatusMonitor::stationName() const {
    switch (fields_.playSource) {
        case PlaySource::None:
            break;
        case PlaySource::Command:
            return fields_.title3;
        case PlaySource::DoubleClick:
            return fields_.title4;
        case PlaySource::Task:
            return fields_.title5;
    }
    return {};
}

QString StatusMonitor::startedName() const {
    switch (fields_.playSource) {
        case PlaySource::None:
            break;
        case PlaySource::Command:
        case PlaySource::DoubleClick:
            return fields_.title2;
        case PlaySource::Task:
            return fields_.title5;
    }
    return {};
}

void StatusMonitor::Timer2Timer() {
    if (fields_.playSource == PlaySource::None)
        return;
    if (player_.attempt() > 0 || !player_.gaveUp().isEmpty()) {
        display_.panel0 = player_.attempt() > 0
                              ? PlaybackTexts::reconnecting(stationName(), player_.attempt())
                              : PlaybackTexts::reconnectGaveUp(stationName(), player_.gaveUp());
        display_.panel1.clear();
        display_.trayImage = player_.Mute() ? 1 : 0;
        display_.tooltip = display_.panel0;
        return;
    }
    // The stream's own title of what it plays now follows the station's name.
    const QString song = player_.nowPlaying();
    const QString name =
        song.isEmpty() ? stationName() : stationName() + QStringLiteral(" - ") + song;
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
        display_.panel0 = plainLine + QStringLiteral(" - ") + PlaybackTexts::muted();
        display_.trayImage = 1;
        display_.tooltip = display_.panel0;
    } else {
        display_.panel0 = plainLine;
        display_.trayImage = 0;
        display_.tooltip = headerCaption_;
        if (!song.isEmpty())
            display_.tooltip += (headerCaption_.isEmpty() ? QString() : QStringLiteral("\n")) +
                                startedName() + QStringLiteral(" - ") + song;
    }

    if (player_.playState() == MediaPlayer::kBuffering)
        display_.panel0 = statePrefix() + QLatin1Char(' ') +
                          QString::number(player_.BufferingProgress()) + QStringLiteral("%   ") +
                          name;
}

RemoteState::Status StatusMonitor::playStatus() const {
    switch (player_.playState()) {
        case MediaPlayer::kPlaying:
        case MediaPlayer::kBuffering:
        case MediaPlayer::kTransitioning:
            return RemoteState::Status::playing;
        case MediaPlayer::kPaused:
            return RemoteState::Status::paused;
        default:
            return RemoteState::Status::stopped;
    }
}

RemoteState StatusMonitor::remoteState() const {
    RemoteState state;
    state.status = playStatus();
    state.station = startedName();
    if (!state.station.isEmpty()) {
        state.address = player_.URL();
        state.nowPlaying = player_.nowPlaying();
    }
    state.volume = player_.Volume();
    state.muted = player_.Mute();
    return state;
}
