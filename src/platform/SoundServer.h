// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

struct pa_context;
struct pa_threaded_mainloop;
struct pa_time_event;

// The desktop's sound server, watched from a connection of the program's own: it may go away and
// come back (a restart), or come up only after the program started (autostart at log-on).
class SoundServer {
  public:
    virtual ~SoundServer() = default;
    // How often the server came up after it had been away; a new count means that outputs and
    // captures made before hold a dead connection.
    virtual int returns() const = 0;
};

// PulseAudio (also PipeWire's pulse server): while the server is away, a connection is tried
// again once a second.
class PulseSoundServer : public SoundServer {
  public:
    static constexpr int kRetryMs = 1000;

    PulseSoundServer();
    ~PulseSoundServer() override;
    PulseSoundServer(const PulseSoundServer&) = delete;
    PulseSoundServer& operator=(const PulseSoundServer&) = delete;

    int returns() const override { return returns_; }
    bool up() const { return up_; }

    // Callbacks of libpulse, on its own thread.
    void contextChanged();
    void retry(pa_time_event* event);

  private:
    void connect();

    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    bool away_ = false;      // since the last connection broke or failed
    bool retrying_ = false;  // a retry is due
    std::atomic<bool> up_{false};
    std::atomic<int> returns_{0};
};
