// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CaptureDevice.h"

#include <QByteArray>

// Inputs the test sets; "captures" whatever the test feeds in.
class FakeCaptureDevice : public CaptureDevice {
  public:
    bool init() override {
        stale = stale && !available;
        return available;
    }
    QList<Input> inputs() const override { return list; }
    bool setInput(int index, bool on) override {
        if (index < 0 || index >= list.size())
            return false;
        list[index].on = on;
        return true;
    }
    void setLevel(int index, double level) override { levels << std::make_pair(index, level); }
    bool start(Callback c) override {
        if (!canStart || stale)
            return false;
        callback = std::move(c);
        active = true;
        broken.clear();  // a new stream
        return true;
    }
    void stop() override {
        active = false;
        callback = nullptr;
    }
    bool isActive() const override { return active; }
    QString failure() const override { return broken; }
    void feed(const QByteArray& pcm) {
        if (callback)
            callback(pcm.constData(), pcm.size());
    }

    bool available = true;
    bool canStart = true;
    QString broken;      // what failure() says
    bool stale = false;  // the sound server restarted: starts fail until the next init()
    bool active = false;
    QList<Input> list{{QStringLiteral("Monitor of Null Output"), true}};
    QList<std::pair<int, double>> levels;
    Callback callback;
};
