// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediaPlayer.h"

#include <QStringList>

#include <memory>

// The program's stream player (VlcMediaPlayer), kept in a module of its own that is loaded at the
// first play: a program that only shows its catalogue does without libvlc and the libraries it
// brings. Until then this answers as an idle player and keeps the address, volume and mute it is
// given, for the player to start with. Play() throws MediaPlayerError when the module or libvlc
// cannot be loaded (a missing or broken installation); the next Play() tries again.
// CORVINATONE_PLAYER_MODULE names another module file.
class ModulePlayer : public MediaPlayer {
  public:
    static constexpr const char* kModuleFile = "libcorvinatone-player.so";

    // The arguments go to libvlc.
    explicit ModulePlayer(QStringList arguments);
    ~ModulePlayer() override;

    void setURL(const QString& url) override;
    QString URL() const override { return url_; }
    void Play() override;
    void Stop() override;
    void Close() override;
    int playState() const override;
    bool isOnline() const override;
    Status status() const override;
    QString PositionText() const override;
    qint64 positionMsecs() const override;
    QString DurationText() const override;
    int BufferingProgress() const override;
    int Volume() const override;
    void setVolume(int volume) override;
    bool Mute() const override;
    void setMute(bool mute) override;
    QString nowPlaying() const override;
    void reopenAudioOutput() override;

  private:
    QStringList arguments_;
    std::unique_ptr<MediaPlayer> player_;  // null until the first play
    QString url_;
    int volume_ = 50;  // the player's own start
    bool mute_ = false;
};
