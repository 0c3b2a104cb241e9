// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MprisRemote.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

const QString MprisRemote::kService = QStringLiteral("org.mpris.MediaPlayer2.corvinatone");
const QString MprisRemote::kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString MprisRemote::kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString MprisRemote::kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

QStringList MprisRemote::uriSchemes() {
    return {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mms"),
            QStringLiteral("mmsh"), QStringLiteral("file")};
}

template <typename Signal, typename... Args>
void MprisRemote::request(Signal signal, Args... args) {
    QTimer::singleShot(0, this, [this, signal, args...] { (this->*signal)(args...); });
}

// org.mpris.MediaPlayer2: the program itself.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ yes)
    Q_PROPERTY(bool CanRaise READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ uriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ mimeTypes)

  public:
    explicit MprisRootAdaptor(MprisRemote* remote)
        : QDBusAbstractAdaptor(remote), remote_(remote) {}
    bool yes() const { return true; }
    bool no() const { return false; }
    QString identity() const { return QStringLiteral("Corvinatone"); }
    QString desktopEntry() const { return QStringLiteral("corvinatone"); }
    QStringList uriSchemes() const { return MprisRemote::uriSchemes(); }
    QStringList mimeTypes() const {
        return {QStringLiteral("audio/x-mpegurl"), QStringLiteral("audio/x-scpls"),
                QStringLiteral("video/x-ms-asf")};
    }

  public slots:
    void Raise() { remote_->request(&MediaRemote::raiseRequested); }
    void Quit() { remote_->request(&MediaRemote::quitRequested); }

  private:
    MprisRemote* remote_;
};

// org.mpris.MediaPlayer2.Player: what plays. A live stream has no pause and no position: Pause
// stops, as the program's own stop does.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ yes)
    Q_PROPERTY(bool CanGoPrevious READ yes)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)

  public:
    explicit MprisPlayerAdaptor(MprisRemote* remote)
        : QDBusAbstractAdaptor(remote), remote_(remote) {}
    QString playbackStatus() const { return remote_->playbackStatus(); }
    double rate() const { return 1.0; }
    void setRate(double) {}  // one rate only
    QVariantMap metadata() const { return remote_->metadata(); }
    double volume() const { return remote_->volume(); }
    void setVolume(double volume) {
        if (std::isnan(volume))
            return;
        remote_->request(&MediaRemote::volumeRequested,
                         int(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
    }
    qlonglong position() const { return 0; }
    bool yes() const { return true; }
    bool no() const { return false; }

  signals:
    void Seeked(qlonglong position);

  public slots:
    void Next() { remote_->request(&MediaRemote::nextRequested); }
    void Previous() { remote_->request(&MediaRemote::previousRequested); }
    void Pause() { remote_->request(&MediaRemote::stopRequested); }
    void PlayPause() { remote_->request(&MediaRemote::playPauseRequested); }
    void Stop() { remote_->request(&MediaRemote::stopRequested); }
    void Play() { remote_->request(&MediaRemote::playRequested); }
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    // Addresses of another kind are not for this player: nothing happens.
    void OpenUri(const QString& uri) {
        const QUrl url(uri.trimmed(), QUrl::StrictMode);
        if (url.isValid() && MprisRemote::uriSchemes().contains(url.scheme().toLower()))
            remote_->request(&MediaRemote::openRequested, uri.trimmed());
    }

  private:
    MprisRemote* remote_;
};

MprisRemote::MprisRemote(QDBusConnection bus, QObject* parent)
    : MediaRemote(parent), bus_(std::move(bus)) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    if (!bus_.isConnected())
        return;
    if (!bus_.registerObject(kPath, this, QDBusConnection::ExportAdaptors))
        return;
    registered_ = bus_.registerService(kService);
    if (!registered_)
        bus_.unregisterObject(kPath);
}

MprisRemote::~MprisRemote() {
    if (registered_) {
        bus_.unregisterService(kService);
        bus_.unregisterObject(kPath);
    }
}

QString MprisRemote::playbackStatus() const {
    switch (state_.status) {
        case RemoteState::Status::playing:
            return QStringLiteral("Playing");
        case RemoteState::Status::paused:
            return QStringLiteral("Paused");
        case RemoteState::Status::stopped:
            break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MprisRemote::metadata() const {
    if (state_.station.isEmpty())
        return {};
    return {
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath(
             QStringLiteral("/org/corvinatone/Corvinatone/stream/%1").arg(track_)))},
        {QStringLiteral("xesam:title"),
         state_.nowPlaying.isEmpty() ? state_.station : state_.nowPlaying},
        {QStringLiteral("xesam:album"), state_.station},
        {QStringLiteral("xesam:url"), state_.address},
    };
}

void MprisRemote::publish(const RemoteState& state) {
    if (state == state_)
        return;
    const RemoteState before = state_;
    const double volumeBefore = volume();
    state_ = state;
    if (state.station != before.station || state.address != before.address)
        ++track_;

    QVariantMap changed;
    if (state.status != before.status)
        changed.insert(QStringLiteral("PlaybackStatus"), playbackStatus());
    if (state.station != before.station || state.address != before.address ||
        state.nowPlaying != before.nowPlaying)
        changed.insert(QStringLiteral("Metadata"), metadata());
    if (volume() != volumeBefore)
        changed.insert(QStringLiteral("Volume"), volume());
    if (!registered_ || changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}

bool MprisRemote::handOver(const QDBusConnection& bus, const QString& address) {
    if (!bus.isConnected())
        return false;
    QDBusMessage call = address.isEmpty()
                            ? QDBusMessage::createMethodCall(kService, kPath, kRootInterface,
                                                             QStringLiteral("Raise"))
                            : QDBusMessage::createMethodCall(kService, kPath, kPlayerInterface,
                                                             QStringLiteral("OpenUri"));
    if (!address.isEmpty())
        call << address;
    // The first program may be starting still (it takes the lock before its name is on the
    // bus): a few more tries, a quarter of a second apart.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
        if (reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"))
            return false;
        QThread::msleep(250);
    }
    return false;
}

#include "MprisRemote.moc"
