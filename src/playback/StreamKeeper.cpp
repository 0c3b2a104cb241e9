// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/StreamKeeper.h"

#include "platform/SoundServer.h"
#include "platform/TimeSource.h"
#include "playback/PlaybackTexts.h"

#include <algorithm>
#include <array>
#include <limits>

StreamKeeper::StreamKeeper(MediaPlayer& player, const TimeSource& time, const SoundServer* sound)
    : player_(player), time_(time), sound_(sound), soundReturns_(sound ? sound->returns() : 0) {}

qint64 StreamKeeper::pauseBefore(int n) {
    static constexpr std::array<qint64, 6> kPauses = {1'000, 2'000, 4'000, 8'000, 15'000, 30'000};
    return kPauses[size_t(std::min(n, int(kPauses.size()) - 1))];
}

void StreamKeeper::setURL(const QString& url) {
    url_ = url;
    player_.setURL(url);
}

void StreamKeeper::Play() {
    kept_.reset();
    gaveUp_.clear();
    player_.Play();
    Kept kept;
    kept.deadline = std::numeric_limits<qint64>::max();
    kept.lastSound = time_.monotonicMsecs();
    kept_ = kept;
}

void StreamKeeper::keepUntil(qint64 monotonicMsecs) {
    if (!kept_)
        return;
    kept_->forTask = true;
    kept_->deadline = monotonicMsecs;
}

void StreamKeeper::Stop() {
    kept_.reset();
    gaveUp_.clear();
    player_.Stop();
}

void StreamKeeper::Close() {
    kept_.reset();
    gaveUp_.clear();
    player_.Close();
}

int StreamKeeper::playState() const {
    return kept_ && kept_->lostAt ? kTransitioning : player_.playState();
}

MediaPlayer::Status StreamKeeper::status() const {
    return kept_ && kept_->lostAt ? Status::connecting : player_.status();
}

bool StreamKeeper::soundFlows() const {
    if (player_.playState() != kPlaying)
        return false;
    return !kept_ || (!kept_->lostAt && time_.monotonicMsecs() - kept_->lastSound < kFlowingMs);
}

void StreamKeeper::reopenAudioOutput() {
    player_.reopenAudioOutput();
    if (kept_) {
        // The stream starts again: its first seconds are not a stall.
        kept_->lastSound = time_.monotonicMsecs();
        kept_->position = -1;
    }
}

QString StreamKeeper::lossReason(qint64 now) const {
    switch (player_.playState()) {
        case kUndefined:
            return PlaybackTexts::stationUnreachable();
        case kEnded:
        case kStopped:
            return PlaybackTexts::streamBrokeOff();
        default:
            break;
    }
    return now - kept_->lastSound >= kStallMs ? PlaybackTexts::stationSilent() : QString();
}

void StreamKeeper::tick() {
    if (sound_ && sound_->returns() != soundReturns_) {
        soundReturns_ = sound_->returns();
        reopenAudioOutput();
    }
    if (!kept_)
        return;
    Kept& kept = *kept_;
    const qint64 now = time_.monotonicMsecs();
    const qint64 position = player_.positionMsecs();
    // Sound: the position moved since a reading taken while playing. The first reading of a try
    // is not yet sound, so a server that sends one buffer and stalls gets no fresh back-off.
    const bool playing = player_.playState() == kPlaying;
    const bool moved = playing && kept.position >= 0 && position != kept.position;
    if (playing)
        kept.position = position;
    if (moved) {
        kept.lastSound = now;
        if (kept.lostAt) {
            lastOutage_ = now - kept.lostAt;
            kept.lostAt = 0;
            kept.tries = 0;
            kept.nextTry = 0;
        }
        return;
    }
    const QString why = lossReason(now);
    if (why.isEmpty())
        return;
    kept.why = why;
    if (!kept.lostAt) {
        kept.lostAt = now;
        if (!kept.forTask)
            kept.deadline = now + kHandRetryMs;
        kept.nextTry = now + pauseBefore(0);
        return;
    }
    if (!kept.nextTry) {
        kept.nextTry = now + pauseBefore(kept.tries);  // the last try failed
        return;
    }
    if (now < kept.nextTry)
        return;
    if (now >= kept.deadline) {
        const QString reason = kept.why;
        Stop();
        gaveUp_ = reason;
        return;
    }
    ++kept.tries;
    kept.nextTry = 0;
    kept.lastSound = now;
    kept.position = -1;
    player_.Stop();
    player_.setURL(url_);  // a playlist is fetched again
    try {
        player_.Play();
    } catch (const MediaPlayerError&) {
        // The player was there before; should it fail now, the next tick judges the try failed.
    }
}
