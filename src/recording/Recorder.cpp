#include "recording/Recorder.h"

#include "AppInfo.h"
#include "platform/CaptureDevice.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "setting/OptionsStore.h"

Recorder::Recorder(CaptureDevice& device, const MediaPlayer& player, const OptionsStore& options,
                   Dialogs& dialogs, Hooks hooks)
    : device_(device),
      player_(player),
      options_(options),
      dialogs_(dialogs),
      hooks_(std::move(hooks)) {}

void Recorder::initbass() {
    inputNames_.clear();
    selected_ = -1;
    if (!device_.init()) {
        dialogs_.message(AppInfo::title(), QStringLiteral("启动默认录音设备出错！"),
                         Dialogs::Icon::warning);
    } else {
        const QList<CaptureDevice::Input> inputs = device_.inputs();
        for (int i = 0; i < inputs.size(); ++i) {
            inputNames_ << inputs[i].name;
            if (inputs[i].on)
                selected_ = i;
        }
    }
    wave_.clear();
    ComboBox2Change(selected_);
}

void Recorder::ComboBox2Change(int index) {
    selected_ = index;
    for (int i = 0; device_.setInput(i, false); ++i) {
    }
    if (index >= 0)
        device_.setInput(index, true);
}

QString Recorder::buttonHint() const {
    return recording_ ? QStringLiteral("停止录音") : QStringLiteral("开始录音");
}

void Recorder::ToolButton8Click() {
    if (player_.playState() == MediaPlayer::kPlaying || recording_)
        ToggleRecording();
    else
        dialogs_.message(AppInfo::title(), QStringLiteral("请在播放状态下使用录音功能."),
                         Dialogs::Icon::information);
}

void Recorder::ToggleRecording() {
    device_.setLevel(selected_, 1.0);
    if (device_.isActive()) {
        StopCapture();
        hooks_.encode();
        hooks_.progressTimer(false);
        hooks_.stopTaskCountdown();
        hooks_.progressText(QString());
    } else {
        StartCapture();
        hooks_.progressTimer(true);
        elapsed_ = QTime(0, 0, 0);
    }
}

void Recorder::StartCapture() {
    if (selected_ < 0)
        return;
    wave_.clear();
    wave_.appendHeader();
    if (!device_.start(
            [this](const char* data, qsizetype length) { wave_.append(data, length); })) {
        dialogs_.message(AppInfo::title(), QStringLiteral("录音程序启动失败！"),
                         Dialogs::Icon::error);
        wave_.clear();
        return;
    }
    recording_ = true;
}

void Recorder::StopCapture() {
    device_.stop();
    recording_ = false;
    wave_.finish();
    if (!WaveStream::isReadableWav(wave_.image()))
        dialogs_.message(AppInfo::title(), QStringLiteral("录音记录读取失败！"),
                         Dialogs::Icon::error);
}

void Recorder::Timer5Timer() {
    if (wave_.isEmpty())
        return;
    elapsed_ = elapsed_.addSecs(1);
    const int divisor = options_.style == 1 ? 9 : 10;  // WMA, else MP3 (the encoder's default)
    const double megabytes = double(wave_.size()) / 1048576.0 / divisor;
    hooks_.progressText(QStringLiteral("已录音:%1 - %2 MB")
                            .arg(elapsed_.toString(QStringLiteral("HH:mm:ss")))
                            .arg(megabytes, 0, 'f', 2));
}
