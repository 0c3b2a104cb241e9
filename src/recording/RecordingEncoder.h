#pragma once

#include "recording/EncoderPipeline.h"

#include <QDateTime>
#include <QObject>
#include <QSet>

#include <functional>

class Desktop;
class Dialogs;
class OptionsStore;
class Playback;
class PowerActions;
class StationTable;

// Hands a finished recording to encoding and carries out what follows each encoding: open the
// folder, remove the temporary WAV, the armed power action.
class RecordingEncoder : public QObject {
    Q_OBJECT

  public:
    struct Services {
        Playback& playback;
        StationTable& table;
        const OptionsStore& options;
        Dialogs& dialogs;
        Desktop& desktop;
        PowerActions& power;
        std::function<QDateTime()> now;  // local time
        QString tempFolder;              // where temporary WAV files go
    };

    explicit RecordingEncoder(Services services, QObject* parent = nullptr);

    // By the option style: 0 MP3, 1 WMA, anything else nothing at all.
    void EncodeRecording(const QByteArray& image);
    // "打开目录": the recording folder in the file browser, or a message when none is set.
    void openRecordFolder();
    EncoderPipeline& pipeline() { return pipeline_; }

    // Set when a task matched (named after its station); cleared after every finished encoding.
    bool rdfile = false;
    // The power action of the last matched task: "关机", "待机", "休眠" or anything else.
    QString armedFinishAction;

  private:
    void EncodeTo(EncoderJob::Format format, const QByteArray& image);
    void MP3Out1Done(const EncoderJob& job);
    void WMAOut1Done(const EncoderJob& job);
    // The temporary file goes once encoded; when encoding failed it stays and the user is told.
    void settleTemporaryFile(const EncoderJob& job);
    void finishDone();

    Services services_;
    EncoderPipeline pipeline_;
    QSet<QString> reserved_;  // file names of jobs not yet done
};
