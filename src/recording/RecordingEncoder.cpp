// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/RecordingEncoder.h"

#include "AppInfo.h"
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/PowerActions.h"
#include "recording/RecordingNames.h"
#include "recording/RecordingTexts.h"
#include "recording/WaveStream.h"
#include "setting/OptionsStore.h"
#include "setting/RecordFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>
#include <utility>

RecordingEncoder::RecordingEncoder(Services services, WindowFields& fields, QObject* parent)
    : QObject(parent), services_(std::move(services)), fields_(fields) {
    connect(&pipeline_, &EncoderPipeline::done, this, [this](const EncoderJob& job) {
        reserved_.remove(job.outputPath);
        queued_.remove(job.wavPath);
        if (job.format == EncoderJob::Format::mp3)
            MP3Out1Done(job);
        else
            WMAOut1Done(job);
    });
}

QString RecordingEncoder::station() const {
    return fields_.rdfile ? fields_.title5 : fields_.title2;
}

namespace {

// Never the current folder: the user's music folder, or the home folder.
QString musicFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return folder.isEmpty() || !QDir().mkpath(folder) ? QDir::homePath() : folder;
}

}  // namespace

QString RecordingEncoder::newWav(const QString& folder, const QString& station) {
    const QString path = RecordingNames::unusedPath(
        folder, station, RecordingNames::stamp(services_.now()), QStringLiteral(".wav"));
    stations_.insert(path, station);
    return path;
}

QString RecordingEncoder::newRecordingPath() {
    QString folder = services_.options.record;
    if (!RecordFolder::usable(folder)) {
        folder = musicFolder();
        // Told once the recording runs: an unattended timed recording must not wait for an OK.
        QMetaObject::invokeMethod(
            this,
            [this, folder] {
                services_.dialogs.message(AppInfo::title(),
                                          RecordingTexts::goesToMusicFolder(folder),
                                          Dialogs::Icon::information);
            },
            Qt::QueuedConnection);
    }
    return newWav(folder, station());
}

QString RecordingEncoder::takeStation(const QString& wavPath) {
    // The station the recording began with, whatever plays or is selected when it ends.
    const auto begun = stations_.constFind(wavPath);
    const QString name = begun != stations_.cend() ? *begun : station();
    stations_.remove(wavPath);
    return name;
}

QString RecordingEncoder::fallbackPath(const QString& from) {
    return newWav(musicFolder(), stations_.take(from));
}

void RecordingEncoder::recordingEnded(const QString& wavPath, const RecordingOutcome& outcome) {
    if (outcome.heard) {
        outcomes_.insert(wavPath, outcome);
        EncodeRecording(wavPath);
        return;
    }
    // Nothing but the header: no file that looks like a recording, and the user learns why.
    const QString name = takeStation(wavPath);
    using RecordingTexts::Nothing;
    if (!wavPath.isEmpty())
        QFile::remove(wavPath);
    notices_ << RecordingTexts::nothingRecorded(name, wavPath.isEmpty()  ? Nothing::notStarted
                                                      : outcome.captured ? Nothing::station
                                                                         : Nothing::soundServer);
    finishDone();
}

void RecordingEncoder::EncodeRecording(const QString& wavPath) {
    EncodeRecording(wavPath, takeStation(wavPath), RecordingNames::stamp(services_.now()));
}

void RecordingEncoder::EncodeRecording(const QString& wavPath, const QString& station,
                                       const QString& stamp) {
    // Any style other than WMA (a damaged option.ini, say) records as MP3, the default, rather
    // than dropping the recording.
    const auto format =
        services_.options.style == 1 ? EncoderJob::Format::wma : EncoderJob::Format::mp3;
    EncoderJob job;
    job.format = format;
    job.wavPath = wavPath;
    // Jobs still waiting have not made their files yet: their names count as taken too.
    const auto taken = [this](const QString& path) {
        return RecordingNames::pathTaken(path) || reserved_.contains(path);
    };
    job.outputPath = RecordingNames::unusedPath(
        QFileInfo(wavPath).absolutePath(), station, stamp,
        format == EncoderJob::Format::mp3 ? QStringLiteral(".mp3") : QStringLiteral(".wma"), taken);
    reserved_ << job.outputPath;
    queued_ << job.wavPath;
    job.title = station;  // the recording's own, whatever row is selected by now
    pipeline_.start(std::move(job));
}

QStringList RecordingEncoder::recoverRecordings() {
    QStringList recovered;
    QStringList scanned;  // the music folder may be the recording folder too
    for (const QString& folder : {services_.options.record, QStandardPaths::writableLocation(
                                                                QStandardPaths::MusicLocation)}) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!RecordFolder::usable(folder) || scanned.contains(canonical))
            continue;
        scanned << canonical;
        removePartialEncodings(folder);
        for (const QString& wav : WaveStream::unencoded(folder)) {
            if (stations_.contains(wav) || queued_.contains(wav))
                continue;  // being recorded or encoded by this run
            QString station, stamp;
            RecordingNames::parse(QFileInfo(wav).completeBaseName(), &station, &stamp);
            EncodeRecording(wav, station, stamp);
            recovered << QFileInfo(wav).fileName();
        }
    }
    return recovered;
}

void RecordingEncoder::removePartialEncodings(const QString& folder) const {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QString output = name.chopped(std::min<qsizetype>(name.size(), 5));
        QString station, stamp;
        if (EncoderPipeline::partialPath(output) == name &&
            (output.endsWith(QLatin1String(".mp3")) || output.endsWith(QLatin1String(".wma"))) &&
            !reserved_.contains(dir.filePath(output)) &&
            RecordingNames::parse(QFileInfo(output).completeBaseName(), &station, &stamp))
            QFile::remove(dir.filePath(name));
    }
}

void RecordingEncoder::openRecordFolder() {
    RecordFolder::open(services_.options.record, services_.dialogs, services_.desktop);
}

void RecordingEncoder::settleTemporaryFile(const EncoderJob& job) {
    const std::optional<RecordingOutcome> outcome =
        outcomes_.contains(job.wavPath) ? std::optional(outcomes_.take(job.wavPath)) : std::nullopt;
    if (job.ok) {
        QFile::remove(job.wavPath);
        if (outcome)
            notices_ << RecordingTexts::recorded(QFileInfo(job.outputPath).fileName(),
                                                 outcome->seconds, outcome->gaps,
                                                 outcome->gapSeconds);
        return;
    }
    // The recording is never lost silently: the WAV stays where it is, and the user learns where;
    // a power action that follows does not wait for an OK, and the notice is kept over it.
    const QString text =
        RecordingTexts::notEncoded(QDir::toNativeSeparators(job.wavPath), job.error);
    notices_ << text;
    QMetaObject::invokeMethod(
        this,
        [this, text] { services_.dialogs.message(AppInfo::title(), text, Dialogs::Icon::error); },
        Qt::QueuedConnection);
}

void RecordingEncoder::MP3Out1Done(const EncoderJob& job) {
    if (services_.options.open)
        openRecordFolder();
    settleTemporaryFile(job);
    finishDone();
}

void RecordingEncoder::WMAOut1Done(const EncoderJob& job) {
    settleTemporaryFile(job);
    if (services_.options.open)
        openRecordFolder();
    finishDone();
}

void RecordingEncoder::finishDone() {
    fields_.title2.clear();
    fields_.rdfile = false;
    // The power action waits for the last queued encoding: none is cut off by it.
    if (pipeline_.busy())
        return;
    // A recording made by hand that a task's recording ended: the task's action waits for the
    // task's recording to be saved.
    if (!fields_.armedFinishAction.isEmpty() && pendingPowerAction_.isEmpty() &&
        services_.recording()) {
        if (!notices_.isEmpty())
            emit noticesReady(std::exchange(notices_, {}), false);
        return;
    }
    // A timed action that waited for the encodings comes instead of the task's (only one). The
    // task's action is carried out once: a recording made by hand afterwards does not shut the
    // computer down again.
    QString action = std::exchange(pendingPowerAction_, QString());
    if (action.isEmpty())
        action = fields_.armedFinishAction;
    fields_.armedFinishAction.clear();
    if (!notices_.isEmpty())
        emit noticesReady(std::exchange(notices_, {}), action == RecordingTexts::powerOff() ||
                                                           action == RecordingTexts::standby() ||
                                                           action == RecordingTexts::hibernate());
    carryOut(action);
}

void RecordingEncoder::powerAction(const QString& action) {
    pendingPowerAction_ = action;
    if (!pipeline_.busy())
        carryOut(std::exchange(pendingPowerAction_, QString()));
}

void RecordingEncoder::disarm() {
    fields_.armedFinishAction.clear();
    pendingPowerAction_.clear();
}

void RecordingEncoder::carryOut(const QString& action) {
    if (action != RecordingTexts::powerOff() && action != RecordingTexts::standby() &&
        action != RecordingTexts::hibernate())
        return;
    // The catalogue's last change is on disk before the computer goes off or to sleep, and the
    // program's own hold on it would block the action.
    services_.table.saver().wait();
    services_.power.allowSleep();
    if (action == RecordingTexts::powerOff())
        services_.power.powerOff();
    else if (action == RecordingTexts::standby())
        services_.power.suspend();
    else if (action == RecordingTexts::hibernate())
        services_.power.hibernate();
    emit powerActionCarriedOut();
}
