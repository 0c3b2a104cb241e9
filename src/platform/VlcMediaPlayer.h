// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediaPlayer.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_list_player_t;
struct libvlc_media_list_t;
struct libvlc_event_t;
struct libvlc_media_t;

// The stream player on libvlc 3: http, https and mms addresses and .m3u/.pls/.asx playlists
// (played through a media list player, which follows a playlist's entries). No video, no window.
// libvlc reports through events on its own threads; they only set atomics that the polling
// operations read on the user-interface thread.
class VlcMediaPlayer : public QObject, public MediaPlayer {
    Q_OBJECT

  public:
    static constexpr int kNetworkCachingMs = 300;
    // Playlists inside playlists are followed this many levels deep; deeper is a play error.
    static constexpr int kMaxPlaylistNesting = 4;

    // extraArguments go to libvlc (tests pass "--aout=dummy"). Throws MediaPlayerError when
    // libvlc cannot be created (missing or broken installation).
    explicit VlcMediaPlayer(const QStringList& extraArguments = {}, QObject* parent = nullptr);
    ~VlcMediaPlayer() override;

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
    int Volume() const override { return volume_; }
    void setVolume(int volume) override;
    bool Mute() const override { return mute_; }
    void setMute(bool mute) override;
    // Read from the stream being played when asked: libvlc keeps the latest title with it.
    QString nowPlaying() const override;
    void reopenAudioOutput() override;
    static constexpr int kMaxTitleLength = 200;

    static QString formatTime(qint64 msecs);

  private:
    // What the events last said.
    enum class Phase { idle, opening, playing, paused, stopped, ended, failed };

    static void onEvent(const libvlc_event_t* event, void* self);
    static void onSubItem(const libvlc_event_t* event, void* self);
    void followPlaylist(libvlc_media_t* media, int depth, int generation);
    void endStream();
    // Empties the list the list player plays from.
    void clearList();
    void forgetPlaylists();
    void applyAudio();
    // The output reported its volume or mute: make them the ones shown.
    void reconcileAudio();

    struct Handles;
    std::unique_ptr<Handles> vlc_;
    struct Nesting;
    std::unique_ptr<Nesting> nesting_;
    QString url_;
    QByteArray audioOutput_ = "pulse";  // the output module, or the one "--aout=" names
    int volume_ = 50;
    bool mute_ = false;
    std::atomic<Phase> phase_{Phase::idle};
    std::atomic<int> buffering_{0};
    std::atomic<bool> noAudioOutput_{false};
    std::atomic<bool> abandoned_{false};        // a playlist nested too deep: failed until Play()
    std::atomic<bool> outputUnchecked_{false};  // a stream opened; its output not yet checked
    std::atomic<int> reportedVolume_{-1};
    std::atomic<bool> reportedMute_{false};
};
