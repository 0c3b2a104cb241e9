// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SoundServer.h"

#include <pulse/pulseaudio.h>

namespace {

void onContext(pa_context*, void* self) {
    static_cast<PulseSoundServer*>(self)->contextChanged();
}

void onRetry(pa_mainloop_api*, pa_time_event* event, const timeval*, void* self) {
    static_cast<PulseSoundServer*>(self)->retry(event);
}

}  // namespace

PulseSoundServer::PulseSoundServer() {
    mainloop_ = pa_threaded_mainloop_new();
    if (!mainloop_)
        return;
    pa_threaded_mainloop_lock(mainloop_);
    connect();
    pa_threaded_mainloop_unlock(mainloop_);
    pa_threaded_mainloop_start(mainloop_);
}

PulseSoundServer::~PulseSoundServer() {
    if (!mainloop_)
        return;
    pa_threaded_mainloop_stop(mainloop_);
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_free(mainloop_);  // frees a retry still pending
}

void PulseSoundServer::connect() {
    context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), "Corvinatone");
    if (!context_)
        return;  // out of memory: no more watching
    pa_context_set_state_callback(context_, onContext, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        contextChanged();  // failed at once: tried again as any failure
}

void PulseSoundServer::contextChanged() {
    const pa_context_state_t state = pa_context_get_state(context_);
    if (state == PA_CONTEXT_READY) {
        if (away_)
            ++returns_;
        away_ = false;
        up_ = true;
        return;
    }
    if (PA_CONTEXT_IS_GOOD(state) || retrying_)
        return;  // still connecting, or tried again already
    up_ = false;
    away_ = true;
    retrying_ = true;
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(mainloop_);
    timeval at{};
    pa_timeval_add(pa_gettimeofday(&at), pa_usec_t(kRetryMs) * 1000);
    api->time_new(api, &at, onRetry, this);
}

void PulseSoundServer::retry(pa_time_event* event) {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(mainloop_);
    api->time_free(event);
    retrying_ = false;
    // The broken connection goes here, outside its own callback.
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_unref(context_);
    connect();
}
