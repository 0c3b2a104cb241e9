// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PulseCaptureDevice.h"

#include <pulse/pulseaudio.h>

#include <cstring>

namespace {

// RAII for the main loop's lock.
class Locked {
  public:
    explicit Locked(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Locked() { pa_threaded_mainloop_unlock(loop_); }

  private:
    pa_threaded_mainloop* loop_;
};

void onContext(pa_context*, void* self) {
    static_cast<PulseCaptureDevice*>(self)->contextChanged();
}

void onSource(pa_context*, const pa_source_info* info, int eol, void* self) {
    auto* device = static_cast<PulseCaptureDevice*>(self);
    if (eol == 0 && info)
        device->addSource({info->index, QByteArray(info->name),
                           QString::fromUtf8(info->description), info->sample_spec.channels});
    device->contextChanged();  // wakes the waiting thread
}

void onServer(pa_context*, const pa_server_info* info, void* self) {
    auto* device = static_cast<PulseCaptureDevice*>(self);
    device->setDefaultSink(info && info->default_sink_name ? QByteArray(info->default_sink_name)
                                                           : QByteArray());
}

void onStream(pa_stream*, void* self) {
    static_cast<PulseCaptureDevice*>(self)->streamChanged();
}

void onRead(pa_stream*, size_t, void* self) {
    static_cast<PulseCaptureDevice*>(self)->readable();
}

void onDone(pa_context*, int, void* self) {
    static_cast<PulseCaptureDevice*>(self)->contextChanged();
}

// A server that does not answer within kWaitMs is taken as away: the window never waits longer.
// Made and ended with the main loop's lock held.
class Deadline {
  public:
    explicit Deadline(pa_threaded_mainloop* loop) : loop_(loop) {
        timeval at{};
        pa_timeval_add(pa_gettimeofday(&at), pa_usec_t(PulseCaptureDevice::kWaitMs) * 1000);
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
        event_ = api->time_new(api, &at, &Deadline::fire, this);
    }
    ~Deadline() {
        if (!passed_)
            pa_threaded_mainloop_get_api(loop_)->time_free(event_);
    }
    bool passed() const { return passed_; }

  private:
    static void fire(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self) {
        auto* deadline = static_cast<Deadline*>(self);
        api->time_free(event);
        deadline->passed_ = true;
        pa_threaded_mainloop_signal(deadline->loop_, 0);
    }
    pa_threaded_mainloop* loop_;
    pa_time_event* event_ = nullptr;
    bool passed_ = false;
};

}  // namespace

PulseCaptureDevice::PulseCaptureDevice() = default;

PulseCaptureDevice::~PulseCaptureDevice() {
    stop();
    disconnect();
}

void PulseCaptureDevice::contextChanged() {
    if (stream_ && !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
        failed_ = true;
    pa_threaded_mainloop_signal(mainloop_, 0);
}

void PulseCaptureDevice::streamChanged() {
    if (stream_ && pa_stream_get_state(stream_) == PA_STREAM_FAILED)
        failed_ = true;
    pa_threaded_mainloop_signal(mainloop_, 0);
}

QString PulseCaptureDevice::failure() const {
    return failed_ ? QStringLiteral("the sound server stopped delivering the recording")
                   : QString();
}

void PulseCaptureDevice::addSource(const Source& source) {
    sources_.push_back(source);
}

void PulseCaptureDevice::setDefaultSink(const QByteArray& name) {
    defaultSink_ = name;
    pa_threaded_mainloop_signal(mainloop_, 0);
}

void PulseCaptureDevice::await(pa_operation* operation) {
    if (!operation)
        return;
    const Deadline deadline(mainloop_);
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING && !deadline.passed())
        pa_threaded_mainloop_wait(mainloop_);
    if (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
        pa_operation_cancel(operation);
    pa_operation_unref(operation);
}

void PulseCaptureDevice::disconnect() {
    if (mainloop_)
        pa_threaded_mainloop_stop(mainloop_);
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    if (mainloop_) {
        pa_threaded_mainloop_free(mainloop_);
        mainloop_ = nullptr;
    }
}

bool PulseCaptureDevice::init() {
    stop();
    disconnect();
    sources_.clear();
    mainloop_ = pa_threaded_mainloop_new();
    if (!mainloop_)
        return false;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), "Corvinatone");
    if (!context_) {
        disconnect();
        return false;
    }
    pa_context_set_state_callback(context_, onContext, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(mainloop_) < 0) {
        disconnect();
        return false;
    }
    bool ready = false;
    {
        Locked lock(mainloop_);
        const Deadline deadline(mainloop_);
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context_);
            if (state == PA_CONTEXT_READY) {
                ready = true;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state) || deadline.passed())
                break;
            pa_threaded_mainloop_wait(mainloop_);
        }
        if (ready) {
            await(pa_context_get_server_info(context_, onServer, this));
            await(pa_context_get_source_info_list(context_, onSource, this));
        }
    }
    if (!ready) {
        disconnect();
        return false;
    }
    chosen_ = -1;
    const QByteArray monitor = defaultSink_ + ".monitor";
    for (size_t i = 0; i < sources_.size(); ++i)
        if (sources_[i].name == monitor)
            chosen_ = int(i);
    return true;
}

QList<CaptureDevice::Input> PulseCaptureDevice::inputs() const {
    QList<Input> list;
    for (size_t i = 0; i < sources_.size(); ++i)
        list.append({sources_[i].description, int(i) == chosen_});
    return list;
}

bool PulseCaptureDevice::setInput(int index, bool on) {
    if (index < 0 || index >= int(sources_.size()))
        return false;
    if (on)
        chosen_ = index;
    else if (chosen_ == index)
        chosen_ = -1;
    return true;
}

void PulseCaptureDevice::setLevel(int index, double level) {
    if (!context_ || index < 0 || index >= int(sources_.size()))
        return;
    pa_cvolume volume;
    pa_cvolume_set(&volume, sources_[size_t(index)].channels, pa_volume_t(PA_VOLUME_NORM * level));
    Locked lock(mainloop_);
    await(pa_context_set_source_volume_by_index(context_, sources_[size_t(index)].index, &volume,
                                                onDone, this));
}

bool PulseCaptureDevice::start(Callback callback) {
    if (!context_ || chosen_ < 0 || stream_)
        return false;
    failed_ = false;
    const pa_sample_spec spec{PA_SAMPLE_S16LE, 44100, 2};
    Locked lock(mainloop_);
    callback_ = std::move(callback);
    stream_ = pa_stream_new(context_, "Corvinatone recording", &spec, nullptr);
    if (!stream_)
        return false;
    pa_stream_set_state_callback(stream_, onStream, this);
    pa_stream_set_read_callback(stream_, onRead, this);
    pa_buffer_attr attributes;
    std::memset(&attributes, 0xFF, sizeof attributes);  // -1: the server's choice
    attributes.fragsize = quint32(pa_usec_to_bytes(kBlockMs * 1000, &spec));
    if (pa_stream_connect_record(stream_, sources_[size_t(chosen_)].name.constData(), &attributes,
                                 PA_STREAM_ADJUST_LATENCY) < 0) {
        pa_stream_unref(stream_);
        stream_ = nullptr;
        return false;
    }
    const Deadline deadline(mainloop_);
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(stream_);
        if (state == PA_STREAM_READY)
            return true;
        if (!PA_STREAM_IS_GOOD(state) || deadline.passed()) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_read_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
            return false;
        }
        pa_threaded_mainloop_wait(mainloop_);
    }
}

void PulseCaptureDevice::readable() {
    const void* data = nullptr;
    size_t length = 0;
    while (stream_ && pa_stream_readable_size(stream_) > 0 &&
           pa_stream_peek(stream_, &data, &length) == 0 && length > 0) {
        if (data) {
            callback_(static_cast<const char*>(data), qsizetype(length));
        } else {
            // A hole in the recording: silence keeps the time right.
            const QByteArray silence(qsizetype(length), '\0');
            callback_(silence.constData(), silence.size());
        }
        pa_stream_drop(stream_);
    }
}

void PulseCaptureDevice::stop() {
    if (!stream_)
        return;
    // Callbacks run with the main loop's lock held: once we hold it, none is under way, and none
    // follows the disconnect.
    Locked lock(mainloop_);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
    callback_ = nullptr;
}
