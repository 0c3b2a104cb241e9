// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ModulePlayer.h"

#include "platform/NetworkUp.h"
#include "platform/ProgramModule.h"

#include <algorithm>

namespace {

// Made by the module; throws MediaPlayerError when libvlc cannot start.
using NewPlayer = MediaPlayer* (*)(const QStringList& arguments);

const ProgramModule kModule{ModulePlayer::kModuleFile, "CORVINATONE_PLAYER_MODULE",
                            "the stream player"};
const QString kNoTime = QStringLiteral("00:00");

}  // namespace

ModulePlayer::ModulePlayer(QStringList arguments) : arguments_(std::move(arguments)) {}

ModulePlayer::~ModulePlayer() = default;

void ModulePlayer::setURL(const QString& url) {
    url_ = url;
    if (player_)
        player_->setURL(url);
}

void ModulePlayer::Play() {
    if (!player_) {
        NewPlayer newPlayer = nullptr;
        try {
            newPlayer = reinterpret_cast<NewPlayer>(kModule.function("corvinatone_player_new"));
        } catch (const std::runtime_error& e) {
            throw MediaPlayerError(e.what());
        }
        player_.reset(newPlayer(arguments_));
        player_->setURL(url_);
        player_->setVolume(volume_);
        player_->setMute(mute_);
    }
    player_->Play();
}

void ModulePlayer::Stop() {
    if (player_)
        player_->Stop();
}

void ModulePlayer::Close() {
    if (player_)
        player_->Close();
}

int ModulePlayer::playState() const {
    return player_ ? player_->playState() : kUndefined;
}

bool ModulePlayer::isOnline() const {
    return player_ ? player_->isOnline() : networkIsUp();
}

MediaPlayer::Status ModulePlayer::status() const {
    return player_ ? player_->status() : Status::ready;
}

QString ModulePlayer::PositionText() const {
    return player_ ? player_->PositionText() : kNoTime;
}

qint64 ModulePlayer::positionMsecs() const {
    return player_ ? player_->positionMsecs() : 0;
}

QString ModulePlayer::DurationText() const {
    return player_ ? player_->DurationText() : kNoTime;
}

int ModulePlayer::BufferingProgress() const {
    return player_ ? player_->BufferingProgress() : 0;
}

int ModulePlayer::Volume() const {
    return player_ ? player_->Volume() : volume_;
}

void ModulePlayer::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    if (player_)
        player_->setVolume(volume_);
}

bool ModulePlayer::Mute() const {
    return player_ ? player_->Mute() : mute_;
}

void ModulePlayer::setMute(bool mute) {
    mute_ = mute;
    if (player_)
        player_->setMute(mute);
}

QString ModulePlayer::nowPlaying() const {
    return player_ ? player_->nowPlaying() : QString();
}

void ModulePlayer::reopenAudioOutput() {
    if (player_)
        player_->reopenAudioOutput();
}
