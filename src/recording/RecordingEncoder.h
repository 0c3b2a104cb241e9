// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/EncoderPipeline.h"
#include "recording/RecordingOutcome.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>

class Desktop;
class Dialogs;
class OptionsStore;
class PowerActions;
class StationTable;
struct WindowFields;

// Names recordings, hands a finished one to encoding and carries out what follows each encoding:
// open the folder, remove the WAV, the armed power action. A recording is named after the
// started station (title2), or the matched task's (title5) while rdfile is set.
class RecordingEncoder : public QObject {
    Q_OBJECT

  public:
    struct Services {
        StationTable& table;
        const OptionsStore& options;
        Dialogs& dialogs;
        Desktop& desktop;
        PowerActions& power;
        std::function<QDateTime()> now;  // local time
        // A recording runs: a task's power action waits for the end of its encoding.
        std::function<bool()> recording;
    };

    RecordingEncoder(Services services, WindowFields& fields, QObject* parent = nullptr);

    // Where the next recording is written: a new WAV file in the recording folder or, when the
    // option `record` names no existing folder, in the user's music folder (the user is told).
    QString newRecordingPath();
    // Where a recording that its folder failed goes on: a new WAV of the same station in the
    // music folder (or the home folder).
    QString fallbackPath(const QString& from);
    // A recording ended: encoded, or, when it heard no sound at all, removed (an empty path: a
    // task's recording could not begin). The user is told
    // what was recorded (noticesReady) once its encoding is done; a power action waiting for it
    // follows as when encoded.
    void recordingEnded(const QString& wavPath, const RecordingOutcome& outcome);
    // Encodes a finished recording's WAV file into its folder by the option style: 1 WMA, else
    // MP3, named and titled after the station it began with. The WAV goes once encoded, and
    // stays (the user told where) when encoding failed.
    void EncodeRecording(const QString& wavPath);
    // The same for a recording whose station and stamp are known (one a crash left).
    void EncodeRecording(const QString& wavPath, const QString& station, const QString& stamp);
    // Encodes again the recordings whose encoding did not finish (a crash while recording or
    // while encoding, an encoding that failed) in the recording folder and the music folder,
    // and removes what an interrupted encoding left; returns the recordings' file names.
    QStringList recoverRecordings();
    // "打开目录": the recording folder in the file browser, or a warning when none is set.
    void openRecordFolder();
    EncoderPipeline& pipeline() { return pipeline_; }
    // Carries out a power action ("关机", "待机", "休眠") once every queued recording is encoded.
    void powerAction(const QString& action);
    // No power action follows the encodings still to come (the program ends).
    void disarm();

  signals:
    // What recordings that ended hold, or why they hold nothing, each a line; just before the
    // power action that follows them, computerGoesAway when there is one.
    void noticesReady(const QStringList& notices, bool computerGoesAway);
    // A power action was asked of the system (and taken by it), the program's hold on sleep
    // released for it.
    void powerActionCarriedOut();

  private:
    QString station() const;
    // The station of a recording, forgotten: the one it began with, or the one named now.
    QString takeStation(const QString& wavPath);
    // A new WAV file in folder for a recording of station, remembered for its encoding.
    QString newWav(const QString& folder, const QString& station);
    void MP3Out1Done(const EncoderJob& job);
    void WMAOut1Done(const EncoderJob& job);
    // The temporary file goes once encoded; when encoding failed it stays and the user is told.
    void settleTemporaryFile(const EncoderJob& job);
    // The files of encodings that a crash cut short, named after a recording.
    void removePartialEncodings(const QString& folder) const;
    void finishDone();
    void carryOut(const QString& action);

    Services services_;
    // rdfile and the armed power action are cleared after every finished encoding, which
    // carries that action out, once.
    WindowFields& fields_;
    EncoderPipeline pipeline_;
    QSet<QString> reserved_;            // file names of jobs not yet done
    QHash<QString, QString> stations_;  // the station of each recording, by its WAV file
    QSet<QString> queued_;              // WAV files of jobs not yet done
    QString pendingPowerAction_;        // the options' timed action, waiting for the encodings
    QHash<QString, RecordingOutcome> outcomes_;  // of recordings being encoded, by their WAV file
    QStringList notices_;                        // for noticesReady, once the queue is done
};
