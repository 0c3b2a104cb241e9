// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediaRemote.h"

#include <QDBusConnection>
#include <QVariantMap>

// The media controls through MPRIS 2 on the session bus, as "org.mpris.MediaPlayer2.corvinatone":
// the desktop's sound menu, its media keys (GNOME and KDE, X11 and Wayland) and tools such as
// playerctl. Without a bus, or with the name taken, the controls simply do not see the program.
class MprisRemote : public MediaRemote {
    Q_OBJECT

  public:
    static const QString kService;
    static const QString kPath;
    static const QString kRootInterface;
    static const QString kPlayerInterface;

    // The addresses the player opens.
    static QStringList uriSchemes();

    explicit MprisRemote(QDBusConnection bus, QObject* parent = nullptr);
    ~MprisRemote() override;

    bool registered() const { return registered_; }
    void publish(const RemoteState& state) override;
    const RemoteState& state() const { return state_; }

    // MPRIS's view of the state.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double volume() const { return state_.muted ? 0.0 : state_.volume / 100.0; }

    // A second start: hands the address to the program already running, which plays it, or, with
    // no address, raises its window. False when no running program answered.
    static bool handOver(const QDBusConnection& bus, const QString& address);

  private:
    // Requests are carried out once control is back in the event loop, after the caller has had
    // its answer: a command may open a message box.
    template <typename Signal, typename... Args>
    void request(Signal signal, Args... args);
    friend class MprisRootAdaptor;
    friend class MprisPlayerAdaptor;

    QDBusConnection bus_;
    bool registered_ = false;
    RemoteState state_;
    int track_ = 0;  // counts the streams played, for the track's id
};
