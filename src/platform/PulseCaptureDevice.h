// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CaptureDevice.h"

#include <QByteArray>

#include <atomic>
#include <vector>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// Capture through PulseAudio (also PipeWire's pulse server). The inputs are the sources, monitor
// sources included, named by their descriptions; at start the monitor of the default sink is the
// one switched on: it carries what the computer plays, after the player's volume and mute.
class PulseCaptureDevice : public CaptureDevice {
  public:
    // Milliseconds of audio per block delivered to the callback.
    static constexpr int kBlockMs = 50;
    // How long init() and start() wait for the sound server at most.
    static constexpr int kWaitMs = 3000;

    PulseCaptureDevice();
    ~PulseCaptureDevice() override;
    PulseCaptureDevice(const PulseCaptureDevice&) = delete;
    PulseCaptureDevice& operator=(const PulseCaptureDevice&) = delete;

    bool init() override;
    QList<Input> inputs() const override;
    bool setInput(int index, bool on) override;
    void setLevel(int index, double level) override;
    bool start(Callback callback) override;
    void stop() override;
    bool isActive() const override { return stream_ != nullptr; }
    QString failure() const override;

    // Callbacks of libpulse, on its own thread.
    struct Source {
        quint32 index;
        QByteArray name;
        QString description;
        quint8 channels;
    };
    void contextChanged();
    void addSource(const Source& source);
    void setDefaultSink(const QByteArray& name);
    void streamChanged();
    void readable();

  private:
    void disconnect();
    // Runs an operation (already started under the lock) to its end.
    void await(struct pa_operation* operation);

    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    std::vector<Source> sources_;
    QByteArray defaultSink_;
    int chosen_ = -1;
    Callback callback_;
    std::atomic<bool> failed_{false};  // the stream or the server failed under a capture
};
