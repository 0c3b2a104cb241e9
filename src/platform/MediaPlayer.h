// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

// The stream player cannot be created: its library is missing or broken.
class MediaPlayerError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The stream player. Play() returns at once; opening, buffering and playing go on by themselves
// and the program learns about them by polling.
class MediaPlayer {
  public:
    // playState codes.
    enum State {
        kUndefined = 0,
        kStopped = 1,
        kPaused = 2,
        kPlaying = 3,
        kBuffering = 6,
        kEnded = 8,
        kTransitioning = 9,
        kReady = 10,
    };
    // What the status line tells of the player: its playState, or one of two troubles the
    // playState does not show (a failed play leaves no medium; a stream without a sound output
    // plays on).
    enum class Status {
        ready,
        connecting,
        buffering,
        playing,
        paused,
        stopped,
        ended,
        failed,
        noAudioOutput,
    };

    virtual ~MediaPlayer() = default;

    virtual void setURL(const QString& url) = 0;
    virtual QString URL() const = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;   // harmless when idle
    virtual void Close() = 0;  // releases the medium
    virtual int playState() const = 0;
    // True when a network interface other than loopback is up with an address.
    virtual bool isOnline() const = 0;
    virtual Status status() const = 0;
    virtual QString PositionText() const = 0;  // elapsed time, "mm:ss" or "h:mm:ss"
    // The elapsed time in milliseconds: it stands still while no sound arrives.
    virtual qint64 positionMsecs() const = 0;
    virtual QString DurationText() const = 0;   // exactly "00:00" for an endless live stream
    virtual int BufferingProgress() const = 0;  // 0 to 100
    virtual int Volume() const = 0;             // the value last set, 0 to 100
    virtual void setVolume(int volume) = 0;     // clamped to 0 to 100
    virtual bool Mute() const = 0;
    virtual void setMute(bool mute) = 0;
    // What the stream says it plays now (a station's "StreamTitle", usually "artist - song"), or
    // empty when it says nothing. One line, of bounded length.
    virtual QString nowPlaying() const = 0;
    // The sound server went away and came back: the audio output kept between streams is dropped,
    // and a stream that plays starts again on a fresh one, with the volume and mute shown.
    virtual void reopenAudioOutput() = 0;
};
