// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// What the desktop's media controls show of the player.
struct RemoteState {
    enum class Status { stopped, playing, paused };
    Status status = Status::stopped;
    QString station;  // empty: nothing played yet
    QString address;
    QString nowPlaying;  // the stream's own title of what it plays now, when it sends one
    int volume = 50;     // the player's, 0 to 100
    bool muted = false;

    bool operator==(const RemoteState&) const = default;
};

// The desktop's media controls and media keys: they see the state published last and ask for
// the program's own commands. Requests arrive from the event loop, one at a time.
class MediaRemote : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    ~MediaRemote() override = default;

    // Cheap when nothing changed: the controls are told only of what did.
    virtual void publish(const RemoteState& state) = 0;

  signals:
    void raiseRequested();
    void quitRequested();
    void playRequested();
    void stopRequested();
    void playPauseRequested();
    void nextRequested();
    void previousRequested();
    void volumeRequested(int volume);  // 0 to 100
    void openRequested(const QString& address);
};
