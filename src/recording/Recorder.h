// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/RecordingOutcome.h"
#include "recording/WaveStream.h"

#include <QList>
#include <QStringList>
#include <QTime>

#include <atomic>
#include <functional>

class CaptureDevice;
class Dialogs;
class StreamKeeper;
class OptionsStore;

// The capture input list, the record button, the capture into the WAV image and its progress.
// While no sound arrives (the stream is lost, the player reconnects, the sound server is away)
// nothing is written; the recording goes on when sound returns, and keeps a list of its gaps.
// A capture the sound server broke off is connected again once the server is back.
class Recorder {
  public:
    // A stretch without sound after the recording had begun: seconds recorded before it, and
    // how long it lasted.
    struct Gap {
        int at = 0;
        int seconds = 0;
        bool operator==(const Gap&) const = default;
    };

    // Gaps fewer recorded seconds apart count as one.
    static constexpr int kGapsApartSeconds = 3;

    struct Hooks {
        std::function<void(bool)> progressTimer;           // Timer5 on or off
        std::function<void()> stopTaskCountdown;           // Timer3 off
        std::function<void(const QString&)> progressText;  // the status bar's third panel
        std::function<void()> encode;                      // EncodeRecording of the finished file
        std::function<QString()> newRecordingPath;         // where the next recording is written
        // Where a recording goes on when its folder fails it: in the music folder.
        std::function<QString(const QString& from)> fallbackPath;
    };

    Recorder(CaptureDevice& device, const StreamKeeper& player, const OptionsStore& options,
             Dialogs& dialogs, Hooks hooks);
    // Stops a capture that still runs before the file it writes into goes.
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // initbass: prepares the device and fills the input list; the last switched-on input is
    // selected, and chosen as if by the user.
    void initbass();
    const QStringList& inputNames() const { return inputNames_; }
    int selectedInput() const { return selected_; }
    // The sound server could not be reached (at start, or since): tried again at each press.
    bool deviceMissing() const { return inputNames_.isEmpty(); }
    // The user chose an input: exactly that one is switched on.
    void ComboBox2Change(int index);

    void ToolButton8Click();
    void ToggleRecording();
    void Timer5Timer();

    bool recording() const { return recording_; }  // the button's state
    QString buttonHint() const;
    const WaveStream& waveStream() const { return wave_; }
    // Ends a recording that runs, as the button would, whatever the player does (exit).
    void stopRecording();
    QTime recordElapsed() const { return elapsed_; }
    // Of the recording running or last ended.
    const QList<Gap>& gaps() const { return gaps_; }
    // Sound reached the recording at all.
    bool heard() const { return heard_; }
    RecordingOutcome outcome() const;

  private:
    void StartCapture();
    void StopCapture();
    // The recording's folder went away or stopped taking writes: on in the music folder.
    void goOnElsewhere();
    // The sound server broke the capture off: connects to it again and goes on into the same
    // file with the input chosen before; false while it is not back.
    bool reconnectCapture();
    // The device's inputs into the list; the one named preferred is chosen, else the last one
    // switched on.
    void fillInputs(const QString& preferred);
    bool startDevice();

    CaptureDevice& device_;
    const StreamKeeper& player_;
    const OptionsStore& options_;
    Dialogs& dialogs_;
    Hooks hooks_;
    WaveStream wave_;
    QStringList inputNames_;
    int selected_ = -1;
    bool recording_ = false;
    bool moved_ = false;      // the recording went on elsewhere once already
    QString lost_;            // why it could not
    QTime elapsed_{0, 0, 0};  // of sound recorded
    QList<Gap> gaps_;
    bool heard_ = false;
    bool captured_ = false;            // a tick found the capture running
    std::atomic<bool> paused_{false};  // the capture's blocks are not written
};
