// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediaPlayer.h"

#include <QStringList>

#include <algorithm>

// A player whose every answer the test sets; records the calls it gets.
class FakeMediaPlayer : public MediaPlayer {
  public:
    void setURL(const QString& url) override {
        url_ = url;
        calls << QStringLiteral("URL=") + url;
    }
    QString URL() const override { return url_; }
    void Play() override {
        calls << QStringLiteral("Play");
        if (!cannotStart.isEmpty()) {
            state = kUndefined;
            throw MediaPlayerError(cannotStart.toStdString());
        }
        state = kTransitioning;
    }
    void Stop() override {
        calls << QStringLiteral("Stop");
        if (state != kUndefined)
            state = kStopped;
    }
    void Close() override {
        calls << QStringLiteral("Close");
        state = kUndefined;
    }
    int playState() const override { return state; }
    bool isOnline() const override { return online; }
    Status status() const override {
        ++statusReads;
        return playerStatus;
    }
    QString PositionText() const override { return position; }
    qint64 positionMsecs() const override { return positionMs; }
    QString DurationText() const override { return duration; }
    int BufferingProgress() const override { return buffering; }
    int Volume() const override { return volume; }
    void setVolume(int v) override { volume = std::clamp(v, 0, 100); }
    bool Mute() const override { return muted; }
    void setMute(bool m) override { muted = m; }
    QString nowPlaying() const override { return song; }
    void reopenAudioOutput() override { calls << QStringLiteral("reopenAudioOutput"); }

    int state = kUndefined;
    bool online = true;
    Status playerStatus = Status::playing;
    QString position = QStringLiteral("00:01");
    qint64 positionMs = 1000;
    QString duration = QStringLiteral("00:00");
    int buffering = 0;
    int volume = 50;
    bool muted = false;
    QString song;
    QString cannotStart;  // Play() fails with this reason, as a broken installation would
    QStringList calls;
    mutable int statusReads = 0;  // the status display reads it once per pass

  private:
    QString url_;
};
