// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediaPlayer.h"

#include <QString>

#include <optional>

class SoundServer;
class TimeSource;

// The player as the rest of the program uses it: a stream that ends, fails or stalls (no sound
// for kStallMs) without a Stop() is played again, after a pause that grows from 1 s to 30 s.
// After a play started by hand it tries for kHandRetryMs from the loss, then gives up and says
// why; for a task, until keepUntil's end. Stop(), Close() or a new Play() end the retries at once.
// While it reconnects the player counts as in transition (playState kTransitioning). When the
// sound server comes back after it was away, the player opens a fresh audio output.
class StreamKeeper : public MediaPlayer {
  public:
    static constexpr qint64 kStallMs = 10'000;
    static constexpr qint64 kHandRetryMs = 5 * 60'000;
    // Sound that arrived within this long counts as flowing (the position is read once a tick).
    static constexpr qint64 kFlowingMs = 2'500;

    // sound: the sound server watched, or none.
    StreamKeeper(MediaPlayer& player, const TimeSource& time, const SoundServer* sound = nullptr);

    // Once a second: watches the stream and plays it again when due.
    void tick();
    // A task plays: it is kept until then (on the monotonic clock), however long the loss.
    void keepUntil(qint64 monotonicMsecs);
    // The try under way or next, from 1; 0 while the stream plays or nothing is kept.
    int attempt() const { return kept_ && kept_->lostAt ? kept_->tries + 1 : 0; }
    // Why it stopped trying, until the next Play() or Stop(); empty otherwise.
    const QString& gaveUp() const { return gaveUp_; }
    // Sound arrives now: the stream plays and its position moved within kFlowingMs.
    bool soundFlows() const;
    // How long the last reconnect took from the loss to sound again, in milliseconds.
    qint64 lastOutage() const { return lastOutage_; }

    void setURL(const QString& url) override;
    QString URL() const override { return player_.URL(); }
    void Play() override;
    void Stop() override;
    void Close() override;
    int playState() const override;
    bool isOnline() const override { return player_.isOnline(); }
    Status status() const override;
    QString PositionText() const override { return player_.PositionText(); }
    qint64 positionMsecs() const override { return player_.positionMsecs(); }
    QString DurationText() const override { return player_.DurationText(); }
    int BufferingProgress() const override { return player_.BufferingProgress(); }
    int Volume() const override { return player_.Volume(); }
    void setVolume(int volume) override { player_.setVolume(volume); }
    bool Mute() const override { return player_.Mute(); }
    void setMute(bool mute) override { player_.setMute(mute); }
    QString nowPlaying() const override { return player_.nowPlaying(); }
    void reopenAudioOutput() override;

  private:
    // The pause before try n (from 0).
    static qint64 pauseBefore(int n);
    // Why the stream is lost now, or empty while it plays or may still begin to.
    QString lossReason(qint64 now) const;

    MediaPlayer& player_;
    const TimeSource& time_;
    const SoundServer* sound_;
    int soundReturns_ = 0;  // of the sound server, seen
    QString url_;           // what Play() plays, and every try again
    struct Kept {
        qint64 deadline = 0;  // hand: from the loss; a task: its end
        bool forTask = false;
        qint64 lastSound = 0;  // when the position last moved (or the last try began)
        qint64 position = -1;  // the position then
        qint64 lostAt = 0;     // when the loss was seen; 0 while it plays
        int tries = 0;         // tries made since the loss
        qint64 nextTry = 0;    // 0 while a try runs and is not yet judged
        QString why;           // the reason of the loss last seen
    };
    std::optional<Kept> kept_;
    QString gaveUp_;
    qint64 lastOutage_ = 0;
};
