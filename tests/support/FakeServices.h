// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"
#include "platform/HotKey.h"
#include "platform/MediaRemote.h"
#include "platform/Notifications.h"
#include "platform/ProcessKiller.h"
#include "platform/SoundServer.h"
#include "platform/Waker.h"

#include <QList>
#include <QStringList>

class FakeDesktop : public Desktop {
  public:
    bool openUrl(const QUrl& url) override {
        opened << url;
        return true;
    }
    bool hasSystemTray() const override { return tray; }
    QList<QUrl> opened;
    bool tray = true;
};

class FakeHotKey : public HotKey {
  public:
    bool registerKey(int code) override {
        registered << code;
        return code != 0;
    }
    void press(int code, bool withModifiers = false) { emit pressed(code, withModifiers); }
    QList<int> registered;
};

class NoKiller : public ProcessKiller {
  public:
    int killByName(const QStringList&) override { return 0; }
};

// Media controls that keep what was published; a test emits their requests itself.
// A sound server the test restarts by counting its returns.
class FakeSoundServer : public SoundServer {
  public:
    int returns() const override { return comebacks; }
    int comebacks = 0;
};

// Remembers the wake-up armed; the test says whether the system allows one.
class FakeWaker : public Waker {
  public:
    bool canWake() const override { return allowed; }
    bool wakeAt(const QDateTime& at) override {
        armed = at;
        return allowed;
    }
    void cancel() override { armed = {}; }
    bool allowed = true;
    QDateTime armed;
};

class FakeMediaRemote : public MediaRemote {
  public:
    void publish(const RemoteState& state) override {
        published = state;
        ++publications;
    }
    RemoteState published;
    int publications = 0;
};

class FakeNotifications : public Notifications {
  public:
    void notify(const QString& title, const QString& text, bool error) override {
        shown << (title + u'|' + text + (error ? QStringLiteral("|error") : QString()));
    }
    QStringList shown;
};
