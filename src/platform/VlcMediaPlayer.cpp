// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VlcMediaPlayer.h"

#include "AppInfo.h"
#include "platform/NetworkUp.h"

#include <vlc/vlc.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

const libvlc_event_type_t kEvents[] = {
    libvlc_MediaPlayerOpening,          libvlc_MediaPlayerBuffering,   libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,           libvlc_MediaPlayerStopped,     libvlc_MediaPlayerEndReached,
    libvlc_MediaPlayerEncounteredError, libvlc_MediaPlayerAudioVolume, libvlc_MediaPlayerMuted,
    libvlc_MediaPlayerUnmuted,
};

// libvlc says when a decoder finds no audio output; the player would otherwise play in silence.
void onLog(void* data, int level, const libvlc_log_t*, const char* fmt, va_list args) {
    if (level < LIBVLC_ERROR)
        return;
    char text[512];
    std::vsnprintf(text, sizeof text, fmt, args);
    if (std::strstr(text, "audio output"))
        static_cast<std::atomic<bool>*>(data)->store(true);
}

}  // namespace

// The playlists being followed and how deep each lies below the address played. A playlist that
// leads back to itself (or nests without end) would otherwise be fetched for ever.
struct VlcMediaPlayer::Nesting {
    std::mutex mutex;
    std::vector<std::pair<libvlc_media_t*, int>> depths;  // each media retained and watched
    int generation = 0;                                   // counts the calls of Play()
};

struct VlcMediaPlayer::Handles {
    libvlc_instance_t* instance = nullptr;
    libvlc_media_player_t* player = nullptr;
    libvlc_media_list_player_t* listPlayer = nullptr;
    libvlc_media_list_t* list = nullptr;

    ~Handles() {
        if (listPlayer) {
            libvlc_media_list_player_stop(listPlayer);
            libvlc_media_list_player_release(listPlayer);
        }
        if (list)
            libvlc_media_list_release(list);
        if (player)
            libvlc_media_player_release(player);
        if (instance) {
            libvlc_log_unset(instance);
            libvlc_release(instance);
        }
    }
};

VlcMediaPlayer::VlcMediaPlayer(const QStringList& extraArguments, QObject* parent)
    : QObject(parent), vlc_(std::make_unique<Handles>()), nesting_(std::make_unique<Nesting>()) {
    QStringList arguments = {QStringLiteral("--no-video"), QStringLiteral("--no-xlib"),
                             QStringLiteral("--quiet"),
                             QStringLiteral("--network-caching=%1").arg(kNetworkCachingMs)};
    arguments += extraArguments;
    for (const QString& a : extraArguments)
        if (a.startsWith(QLatin1String("--aout=")))
            audioOutput_ = a.mid(7).toUtf8();
    std::vector<QByteArray> storage;
    std::vector<const char*> argv;
    for (const QString& a : arguments)
        storage.push_back(a.toUtf8());
    for (const QByteArray& a : storage)
        argv.push_back(a.constData());

    vlc_->instance = libvlc_new(int(argv.size()), argv.data());
    if (!vlc_->instance) {
        const char* why = libvlc_errmsg();
        throw MediaPlayerError(std::string("libvlc could not be created") +
                               (why ? std::string(": ") + why : std::string()));
    }
    libvlc_log_set(vlc_->instance, onLog, &noAudioOutput_);
    // The sound server and the desktop's mixer show the stream under the program's own name and
    // icon, as music, rather than as VLC's video.
    const QByteArray httpAgent = (AppInfo::name() + u'/' + AppInfo::version()).toUtf8() + " LibVLC";
    libvlc_set_user_agent(vlc_->instance, AppInfo::kName, httpAgent.constData());
    libvlc_set_app_id(vlc_->instance, AppInfo::kId, AppInfo::kVersion, AppInfo::kIconName);

    vlc_->player = libvlc_media_player_new(vlc_->instance);
    vlc_->listPlayer = libvlc_media_list_player_new(vlc_->instance);
    vlc_->list = libvlc_media_list_new(vlc_->instance);
    if (!vlc_->player || !vlc_->listPlayer || !vlc_->list)
        throw MediaPlayerError("libvlc could not create a player");
    libvlc_media_player_set_role(vlc_->player, libvlc_role_Music);
    libvlc_media_list_player_set_media_player(vlc_->listPlayer, vlc_->player);
    libvlc_media_list_player_set_media_list(vlc_->listPlayer, vlc_->list);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(vlc_->player);
    for (libvlc_event_type_t type : kEvents)
        libvlc_event_attach(events, type, &VlcMediaPlayer::onEvent, this);
}

VlcMediaPlayer::~VlcMediaPlayer() {
    // The input thread ends first: no playlist callback may run into what is released below.
    if (vlc_->listPlayer)
        libvlc_media_list_player_stop(vlc_->listPlayer);
    forgetPlaylists();
    if (vlc_->player) {
        libvlc_event_manager_t* events = libvlc_media_player_event_manager(vlc_->player);
        for (libvlc_event_type_t type : kEvents)
            libvlc_event_detach(events, type, &VlcMediaPlayer::onEvent, this);
    }
}

void VlcMediaPlayer::onEvent(const libvlc_event_t* event, void* data) {
    auto* self = static_cast<VlcMediaPlayer*>(data);
    if (self->abandoned_ && event->type != libvlc_MediaPlayerAudioVolume &&
        event->type != libvlc_MediaPlayerMuted && event->type != libvlc_MediaPlayerUnmuted)
        return;  // the failure stays while the player winds down
    switch (event->type) {
        case libvlc_MediaPlayerOpening:
            self->buffering_ = 0;
            self->phase_ = Phase::opening;
            self->outputUnchecked_ = true;
            break;
        case libvlc_MediaPlayerBuffering:
            self->buffering_ = std::clamp(int(event->u.media_player_buffering.new_cache), 0, 100);
            break;
        case libvlc_MediaPlayerPlaying:
            self->phase_ = Phase::playing;
            break;
        case libvlc_MediaPlayerPaused:
            self->phase_ = Phase::paused;
            break;
        case libvlc_MediaPlayerStopped:
            // A failure stays visible; a stop after it does not hide it.
            if (self->phase_ != Phase::failed)
                self->phase_ = Phase::stopped;
            break;
        case libvlc_MediaPlayerEndReached:
            self->phase_ = Phase::ended;
            break;
        case libvlc_MediaPlayerEncounteredError:
            self->phase_ = Phase::failed;
            break;
        // The first report of a stream's output: see that it has the volume and mute shown.
        case libvlc_MediaPlayerAudioVolume:
            self->reportedVolume_ = qRound(event->u.media_player_audio_volume.volume * 100);
            QMetaObject::invokeMethod(self, &VlcMediaPlayer::reconcileAudio, Qt::QueuedConnection);
            break;
        case libvlc_MediaPlayerMuted:
        case libvlc_MediaPlayerUnmuted:
            self->reportedMute_ = event->type == libvlc_MediaPlayerMuted;
            QMetaObject::invokeMethod(self, &VlcMediaPlayer::reconcileAudio, Qt::QueuedConnection);
            break;
        default:
            break;
    }
}

void VlcMediaPlayer::followPlaylist(libvlc_media_t* media, int depth, int generation) {
    // Attached under the lock, so that forgetPlaylists() never releases a media half followed;
    // no callback of this media can run yet to wait for the lock.
    std::lock_guard lock(nesting_->mutex);
    if (nesting_->generation != generation)
        return;  // forgotten meanwhile: a new Play() or the end
    libvlc_media_retain(media);
    nesting_->depths.emplace_back(media, depth);
    libvlc_event_attach(libvlc_media_event_manager(media), libvlc_MediaSubItemAdded,
                        &VlcMediaPlayer::onSubItem, this);
}

void VlcMediaPlayer::onSubItem(const libvlc_event_t* event, void* data) {
    auto* self = static_cast<VlcMediaPlayer*>(data);
    auto* parent = static_cast<libvlc_media_t*>(event->p_obj);
    int depth = -1, generation = 0;
    {
        std::lock_guard lock(self->nesting_->mutex);
        for (const auto& [media, d] : self->nesting_->depths)
            if (media == parent)
                depth = d + 1;
        generation = self->nesting_->generation;
    }
    if (depth < 0)
        return;  // a playlist of an earlier Play()
    if (depth <= kMaxPlaylistNesting) {
        self->followPlaylist(event->u.media_subitem_added.new_child, depth, generation);
        return;
    }
    // Too deep: a failure like any other, and no more fetching. libvlc may not be stopped from
    // its own event thread.
    self->abandoned_ = true;
    self->phase_ = Phase::failed;
    QMetaObject::invokeMethod(
        self,
        [self, generation] {
            if (self->nesting_->generation == generation) {
                self->endStream();
                // Nothing stays queued that the list player could descend into next.
                self->forgetPlaylists();
                self->clearList();
            }
        },
        Qt::QueuedConnection);
}

void VlcMediaPlayer::forgetPlaylists() {
    std::vector<std::pair<libvlc_media_t*, int>> depths;
    {
        std::lock_guard lock(nesting_->mutex);
        ++nesting_->generation;
        depths.swap(nesting_->depths);
    }
    // Outside the lock: detaching waits for a running event callback, which takes the lock.
    for (const auto& [media, depth] : depths) {
        libvlc_event_detach(libvlc_media_event_manager(media), libvlc_MediaSubItemAdded,
                            &VlcMediaPlayer::onSubItem, this);
        libvlc_media_release(media);
    }
}

void VlcMediaPlayer::setURL(const QString& url) {
    url_ = url;
}

void VlcMediaPlayer::endStream() {
    // Not the list player's stop, which also drops the audio output: the output stays, and a
    // volume and mute given to it between two streams are what the next stream opens with.
    libvlc_media_player_set_media(vlc_->player, nullptr);
}

void VlcMediaPlayer::Play() {
    endStream();
    forgetPlaylists();
    clearList();
    libvlc_media_list_lock(vlc_->list);
    const QByteArray location = url_.toUtf8();
    libvlc_media_t* media = libvlc_media_new_location(vlc_->instance, location.constData());
    if (media) {
        followPlaylist(media, 0, nesting_->generation);
        libvlc_media_list_add_media(vlc_->list, media);
        libvlc_media_release(media);
    }
    libvlc_media_list_unlock(vlc_->list);

    buffering_ = 0;
    noAudioOutput_ = false;
    abandoned_ = false;
    if (!media) {
        phase_ = Phase::failed;
        return;
    }
    phase_ = Phase::opening;
    applyAudio();  // no stream now: the next one opens with these
    libvlc_media_list_player_play_item_at_index(vlc_->listPlayer, 0);
}

void VlcMediaPlayer::clearList() {
    libvlc_media_list_lock(vlc_->list);
    while (libvlc_media_list_count(vlc_->list) > 0)
        libvlc_media_list_remove_index(vlc_->list, 0);
    libvlc_media_list_unlock(vlc_->list);
}

void VlcMediaPlayer::Stop() {
    endStream();
    if (phase_ != Phase::idle)
        phase_ = Phase::stopped;
}

QString VlcMediaPlayer::nowPlaying() const {
    if (phase_ != Phase::playing)
        return {};
    libvlc_media_t* media = libvlc_media_player_get_media(vlc_->player);
    if (!media)
        return {};
    char* text = libvlc_media_get_meta(media, libvlc_meta_NowPlaying);
    libvlc_media_release(media);
    // A stream's text goes into one status line and the desktop's controls: no line breaks or
    // other control characters, and not without end.
    QString title = QString::fromUtf8(text);
    libvlc_free(text);
    for (QChar& c : title)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    title = title.simplified();
    if (title.size() > kMaxTitleLength)
        title.truncate(title.at(kMaxTitleLength - 1).isHighSurrogate() ? kMaxTitleLength - 1
                                                                       : kMaxTitleLength);
    return title;
}

void VlcMediaPlayer::reopenAudioOutput() {
    const bool streaming = phase_ == Phase::opening || phase_ == Phase::playing;
    endStream();
    // Setting the output drops the one kept between streams, connected to the server that went.
    libvlc_audio_output_set(vlc_->player, audioOutput_.constData());
    if (streaming)
        Play();
}

void VlcMediaPlayer::Close() {
    Stop();
    forgetPlaylists();
    libvlc_media_list_lock(vlc_->list);
    while (libvlc_media_list_count(vlc_->list) > 0)
        libvlc_media_list_remove_index(vlc_->list, 0);
    libvlc_media_list_unlock(vlc_->list);
    phase_ = Phase::idle;
}

int VlcMediaPlayer::playState() const {
    switch (phase_.load()) {
        case Phase::idle:
        case Phase::failed:
            return kUndefined;  // a failure leaves no medium loaded
        case Phase::opening:
            return buffering_ > 0 ? kBuffering : kTransitioning;
        case Phase::playing:
            return buffering_ < 100 ? kBuffering : kPlaying;
        case Phase::paused:
            return kPaused;
        case Phase::stopped:
            return kStopped;
        case Phase::ended:
            return kEnded;
    }
    return kUndefined;
}

MediaPlayer::Status VlcMediaPlayer::status() const {
    if (phase_ == Phase::failed)
        return Status::failed;
    if (noAudioOutput_ && (phase_ == Phase::playing || phase_ == Phase::opening))
        return Status::noAudioOutput;
    switch (playState()) {
        case kTransitioning:
            return Status::connecting;
        case kBuffering:
            return Status::buffering;
        case kPlaying:
            return Status::playing;
        case kPaused:
            return Status::paused;
        case kStopped:
            return Status::stopped;
        case kEnded:
            return Status::ended;
        default:
            return Status::ready;
    }
}

bool VlcMediaPlayer::isOnline() const {
    return networkIsUp();
}

QString VlcMediaPlayer::formatTime(qint64 msecs) {
    const qint64 total = std::max<qint64>(0, msecs) / 1000;
    const qint64 h = total / 3600, m = total / 60 % 60, s = total % 60;
    return h > 0 ? QStringLiteral("%1:%2:%3")
                       .arg(h)
                       .arg(m, 2, 10, QLatin1Char('0'))
                       .arg(s, 2, 10, QLatin1Char('0'))
                 : QStringLiteral("%1:%2")
                       .arg(m, 2, 10, QLatin1Char('0'))
                       .arg(s, 2, 10, QLatin1Char('0'));
}

QString VlcMediaPlayer::PositionText() const {
    return formatTime(libvlc_media_player_get_time(vlc_->player));
}

qint64 VlcMediaPlayer::positionMsecs() const {
    return std::max<qint64>(0, libvlc_media_player_get_time(vlc_->player));
}

QString VlcMediaPlayer::DurationText() const {
    // An endless live stream has no length.
    return formatTime(libvlc_media_player_get_length(vlc_->player));
}

int VlcMediaPlayer::BufferingProgress() const {
    return buffering_;
}

void VlcMediaPlayer::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    applyAudio();
}

void VlcMediaPlayer::setMute(bool mute) {
    mute_ = mute;
    applyAudio();
}

void VlcMediaPlayer::reconcileAudio() {
    // Once per stream: later reports follow our own changes, or the desktop mixer's, which stand.
    if (outputUnchecked_.exchange(false) && (reportedVolume_ != volume_ || reportedMute_ != mute_))
        applyAudio();
}

void VlcMediaPlayer::applyAudio() {
    // Without an audio output both calls fail harmlessly; the output's first report applies them.
    libvlc_audio_set_volume(vlc_->player, volume_);
    libvlc_audio_set_mute(vlc_->player, mute_ ? 1 : 0);
}
