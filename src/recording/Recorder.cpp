// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/Recorder.h"

#include "AppInfo.h"
#include "platform/CaptureDevice.h"
#include "platform/Dialogs.h"
#include "playback/StreamKeeper.h"
#include "recording/RecordingTexts.h"
#include "setting/OptionsStore.h"

#include <QFile>

#include <algorithm>

Recorder::Recorder(CaptureDevice& device, const StreamKeeper& player, const OptionsStore& options,
                   Dialogs& dialogs, Hooks hooks)
    : device_(device),
      player_(player),
      options_(options),
      dialogs_(dialogs),
      hooks_(std::move(hooks)) {}

Recorder::~Recorder() {
    // The file stays unpatched, marked as unended, for the next start to repair and encode.
    if (recording_)
        device_.stop();
}

void Recorder::initbass() {
    if (device_.init()) {
        fillInputs({});
        return;
    }
    inputNames_.clear();
    ComboBox2Change(-1);
    dialogs_.message(AppInfo::title(), RecordingTexts::deviceFailed(), Dialogs::Icon::warning);
}

void Recorder::fillInputs(const QString& preferred) {
    inputNames_.clear();
    int chosen = -1;
    const QList<CaptureDevice::Input> inputs = device_.inputs();
    for (int i = 0; i < inputs.size(); ++i) {
        inputNames_ << inputs[i].name;
        if (inputs[i].name == preferred ||
            (inputs[i].on && (chosen < 0 || inputs[chosen].name != preferred)))
            chosen = i;
    }
    ComboBox2Change(chosen);
}

void Recorder::ComboBox2Change(int index) {
    selected_ = index;
    for (int i = 0; device_.setInput(i, false); ++i) {
    }
    if (index >= 0)
        device_.setInput(index, true);
}

QString Recorder::buttonHint() const {
    return recording_ ? RecordingTexts::stopHint() : RecordingTexts::startHint();
}

void Recorder::ToolButton8Click() {
    if (player_.playState() == MediaPlayer::kPlaying || recording_)
        ToggleRecording();
    else
        dialogs_.message(AppInfo::title(), RecordingTexts::notPlaying(),
                         Dialogs::Icon::information);
}

void Recorder::ToggleRecording() {
    device_.setLevel(selected_, 1.0);
    // Not the device's state: while the sound server is away the capture is stopped, and the
    // recording still runs.
    if (recording_) {
        // The folder went in the moment before: what was captured goes on elsewhere first.
        if (!moved_ && wave_.unlinked())
            goOnElsewhere();
        const bool failedBefore = !wave_.failure().isEmpty();
        StopCapture();
        hooks_.encode();
        hooks_.progressTimer(false);
        hooks_.stopTaskCountdown();
        hooks_.progressText(QString());
        // The last of it could not reach the disk at the end: the user learns why.
        if (!failedBefore && !wave_.failure().isEmpty())
            dialogs_.message(AppInfo::title(), RecordingTexts::interrupted(wave_.failure()),
                             Dialogs::Icon::error);
    } else {
        if (deviceMissing())
            initbass();  // a sound server that was missing may be there now, for tasks too
        StartCapture();
        if (recording_)
            hooks_.progressTimer(true);
    }
}

RecordingOutcome Recorder::outcome() const {
    const qint64 bytes = std::max<qint64>(0, wave_.size() - WaveStream::kHeaderSize);
    RecordingOutcome outcome{.seconds = int(bytes / WaveStream::kBytesPerSecond),
                             .gaps = int(gaps_.size()),
                             .gapSeconds = 0,
                             .heard = heard_,
                             .captured = captured_};
    for (const Gap& gap : gaps_)
        outcome.gapSeconds += gap.seconds;
    return outcome;
}

void Recorder::stopRecording() {
    if (recording_)
        ToggleRecording();
}

void Recorder::StartCapture() {
    if (selected_ < 0)
        return;
    // Written to disk as it arrives, into the recording folder.
    try {
        wave_.create(hooks_.newRecordingPath());
    } catch (const std::exception& e) {
        dialogs_.message(AppInfo::title(),
                         RecordingTexts::withReason(RecordingTexts::startFailed(), e.what()),
                         Dialogs::Icon::error);
        return;
    }
    paused_ = !player_.soundFlows();
    // A sound server that restarted since the last recording left a dead connection behind.
    if (!startDevice() && !reconnectCapture()) {
        dialogs_.message(AppInfo::title(), RecordingTexts::startFailed(), Dialogs::Icon::error);
        wave_.finish();
        QFile::remove(wave_.path());  // nothing was recorded
        return;
    }
    recording_ = true;
    moved_ = false;
    lost_.clear();
    gaps_.clear();
    heard_ = !paused_;
    captured_ = false;
    elapsed_ = QTime(0, 0, 0);
}

bool Recorder::startDevice() {
    return device_.start([this](const char* data, qsizetype length) {
        if (!paused_)
            wave_.append(data, length);
    });
}

bool Recorder::reconnectCapture() {
    const QString input =
        selected_ >= 0 && selected_ < inputNames_.size() ? inputNames_[selected_] : QString();
    device_.stop();
    if (!device_.init())
        return false;
    fillInputs(input);
    device_.setLevel(selected_, 1.0);
    return selected_ >= 0 && startDevice();
}

void Recorder::goOnElsewhere() {
    moved_ = true;
    try {
        const QString to = hooks_.fallbackPath(wave_.path());
        wave_.moveTo(to);
        dialogs_.message(AppInfo::title(), RecordingTexts::movedTo(to), Dialogs::Icon::warning);
    } catch (const std::exception& e) {
        lost_ = QString::fromUtf8(e.what());  // ended with this reason, keeping what is left
    }
}

void Recorder::StopCapture() {
    device_.stop();  // no block is written after this
    recording_ = false;
    wave_.finish();
}

void Recorder::Timer5Timer() {
    // Nothing shows for a recording that ended: the status bar's progress means one runs.
    if (!recording_ || wave_.isEmpty())
        return;
    if (!moved_ && (!wave_.failure().isEmpty() || wave_.unlinked()))
        goOnElsewhere();
    const QString why = !wave_.failure().isEmpty() ? wave_.failure()
                        : !lost_.isEmpty()         ? lost_
                                                   : player_.gaveUp();
    if (recording_ && !why.isEmpty()) {
        // The disk is full, or the player gave the station up: what was written is kept and
        // encoded, and the user learns why the recording ended.
        ToggleRecording();
        dialogs_.message(AppInfo::title(), RecordingTexts::interrupted(why), Dialogs::Icon::error);
        return;
    }
    const bool captured = (device_.isActive() && device_.failure().isEmpty()) || reconnectCapture();
    captured_ = captured_ || captured;
    if (!captured || !player_.soundFlows()) {
        const bool paused = paused_.exchange(true);
        if (heard_) {
            // Sound for a moment between two stretches without (the sound server is back, then
            // the player starts the stream again on it) does not part one interruption in two.
            const int at = elapsed_.msecsSinceStartOfDay() / 1000;
            if (!paused && (gaps_.isEmpty() || at - gaps_.last().at >= kGapsApartSeconds))
                gaps_.append({at, 0});
            ++gaps_.last().seconds;
        }
        hooks_.progressText(RecordingTexts::waitingForSound(
            elapsed_.toString(QStringLiteral("HH:mm:ss")), !captured));
        return;
    }
    paused_ = false;
    heard_ = true;
    elapsed_ = elapsed_.addSecs(1);
    if (elapsed_.second() % 5 == 0)
        wave_.sync();
    const int divisor = options_.style == 1 ? 9 : 10;  // WMA, else MP3 (the encoder's default)
    const double megabytes = double(wave_.size()) / 1048576.0 / divisor;
    hooks_.progressText(
        RecordingTexts::progress(elapsed_.toString(QStringLiteral("HH:mm:ss")), megabytes));
}
