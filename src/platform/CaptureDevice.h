// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <functional>

// The sound capture device and its inputs. Exactly one input is switched on: the one recorded.
class CaptureDevice {
  public:
    struct Input {
        QString name;
        bool on = false;
    };
    // Called on the device's own thread with each captured block of 16-bit stereo PCM.
    using Callback = std::function<void(const char* data, qsizetype length)>;

    virtual ~CaptureDevice() = default;

    // Prepares the device; false when it cannot be reached.
    virtual bool init() = 0;
    virtual QList<Input> inputs() const = 0;
    // Switches input index on or off; false when there is no such input.
    virtual bool setInput(int index, bool on) = 0;
    // The input's recording level, 1.0 = full.
    virtual void setLevel(int index, double level) = 0;
    // Starts capturing the switched-on input at 44,100 Hz, stereo, 16-bit; false on failure.
    virtual bool start(Callback callback) = 0;
    // Stops; no callback runs after this returns.
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Why a running capture broke off (the sound server went away), or empty while it runs well.
    // Safe to ask from any thread.
    virtual QString failure() const = 0;
};
