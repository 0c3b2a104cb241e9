// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RadioCore.h"

#include "AppInfo.h"
#include "core/CoreTexts.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/MediaRemote.h"
#include "platform/PowerActions.h"
#include "platform/TimeSource.h"
#include "platform/Waker.h"
#include "playback/PlaybackTexts.h"
#include "recording/RecordingTexts.h"
#include "scheduler/TaskTexts.h"
#include "setting/RecordFolder.h"
#include "setting/ServerAddresses.h"

#include <QDir>
#include <QFile>
#include <QScopedValueRollback>
#include <QUrl>

#include <utility>

RadioCore::RadioCore(const QString& programFolder, Services services, QObject* parent)
    : QObject(parent),
      folder_(programFolder),
      services_(std::move(services)),
      player_(services_.player, services_.time, &services_.sound),
      table_(QDir(programFolder).filePath(QStringLiteral("rd.cds"))),
      options_(QDir(programFolder).filePath(QStringLiteral("option.ini"))),
      presets_(QDir(programFolder).filePath(QStringLiteral("channel.ini"))),
      playback_(player_, table_, options_, services_.dialogs, services_.processes, fields_,
                {.statusTimer = [this](bool on) { emit statusTimerSwitched(on); },
                 .stopTaskCountdown = [this] { taskCountdown(false); },
                 .showAllStations = [this] { emit showAllStationsRequested(); }}),
      monitor_(player_, fields_),
      browser_(table_, services_.dialogs,
               {.selectRoot = [this] { emit selectRootRequested(); },
                .focusStationList = [this] { emit focusStationListRequested(); }}),
      volume_(player_, services_.dialogs),
      navigation_(table_, playback_, presets_, services_.dialogs, fields_,
                  {.selectRoot = [this] { emit selectRootRequested(); },
                   .rowSelection = [this] { rowSelection(); }}),
      encoder_({.table = table_,
                .options = options_,
                .dialogs = services_.dialogs,
                .desktop = services_.desktop,
                .power = services_.power,
                .now = [&time = services_.time] { return time.now(); },
                .recording = [this] { return recorder_.recording(); }},
               fields_),
      recorder_(
          services_.capture, player_, options_, services_.dialogs,
          {.progressTimer =
               [this](bool on) {
                   recording_ = on;
                   keepAwakeWhileNeeded();
                   emit progressTimerSwitched(on);
               },
           .stopTaskCountdown = [this] { taskCountdown(false); },
           .progressText = [this](const QString& text) { emit progressTextChanged(text); },
           .encode =
               [this] {
                   encoder_.recordingEnded(recorder_.waveStream().path(), recorder_.outcome());
               },
           .newRecordingPath = [this] { return encoder_.newRecordingPath(); },
           .fallbackPath = [this](const QString& from) { return encoder_.fallbackPath(from); }}),
      runner_(
          snapshot_, player_, services_.dialogs, services_.time, fields_,
          {.statusTimer = [this](bool on) { emit statusTimerSwitched(on); },
           .countdownTimer = [this](bool on) { taskCountdown(on); },
           .progressTimer = [this](bool on) { emit progressTimerSwitched(on); },
           .toggleRecording = [this] { toggleRecording(); },
           .recording = [this] { return recorder_.recording(); },
           .notRecorded =
               [this] {
                   encoder_.recordingEnded({}, {.seconds = 0,
                                                .gaps = 0,
                                                .gapSeconds = 0,
                                                .heard = false,
                                                .captured = false});
               },
           .balloon = [this](const QString& title,
                             const QString& text) { emit balloonRequested(title, text, false); },
           .selectRoot = [this] { emit selectRootRequested(); }}),
      powerTimer_(options_, services_.time,
                  [this](const QString& action) {
                      if (ending_)
                          return;  // the computer stays on once "退出" disarmed it
                      // What is being recorded is saved first; the action waits for it.
                      recorder_.stopRecording();
                      emit recordingChanged();
                      encoder_.powerAction(action);
                  }),
      plans_(table_, services_.dialogs,
             {.refreshSnapshot = [this] { refreshSnapshot(); },
              .selectRoot = [this] { emit selectRootRequested(); }}),
      networkTime_(services_.clock, services_.time,
                   {.balloon = [this](const QString& title, const QString& text,
                                      bool error) { emit balloonRequested(title, text, error); },
                    .refreshWorldClock = [this] { emit clockSet(); }}),
      catalogueUpdate_(
          {.downloads = downloads_,
           .table = table_,
           .options = options_,
           .dialogs = services_.dialogs,
           .folder = programFolder},
          fields_,
          {.balloon = [this](const QString& title,
                             const QString& text) { emit newStationsAnnounced(title, text); },
           .focusStationList = [this] { emit focusStationListRequested(); }}),
      programUpdate_(
          {.downloads = downloads_,
           .dialogs = services_.dialogs,
           .desktop = services_.desktop,
           .folder = programFolder,
           .programFile = services_.programFile,
           .endRun = [this] { emit quitRequested(); }},
          {.offer =
               [this](const UpdateDescriptor& descriptor) { emit updateOffered(descriptor); }}),
      journal_(programFolder) {
    connect(&table_.saver(), &CatalogueSaver::failed, this, [this](const QString& message) {
        services_.dialogs.message(AppInfo::title(), message, Dialogs::Icon::error);
    });
    // logind has taken the request when it answers: a hold taken after it stops nothing, and
    // what runs after a standby is kept awake again.
    connect(&encoder_, &RecordingEncoder::powerActionCarriedOut, this,
            &RadioCore::keepAwakeWhileNeeded, Qt::QueuedConnection);
    connect(&encoder_.pipeline(), &EncoderPipeline::done, this, &RadioCore::keepAwakeWhileNeeded);
    connect(&encoder_, &RecordingEncoder::noticesReady, this,
            [this](const QStringList& notices, bool computerGoesAway) {
                if (computerGoesAway)
                    journal_.keepNotices(notices);  // shown again after it, as balloons fade
                emit balloonRequested(TaskTexts::balloonTitle(), notices.join(u'\n'), false);
            });
    wireRemote();
}

// The recorder stops its capture and the encoder pipeline waits for its worker as they go: each
// thread ends before what it writes into, whatever the order of the members.
RadioCore::~RadioCore() = default;

void RadioCore::wireRemote() {
    MediaRemote& remote = services_.remote;
    const auto on = [&](auto request, auto command) {
        connect(&remote, request, this, [this, command](auto... arguments) {
            guarded([&] { command(arguments...); });
            publishRemote();
        });
    };
    const auto playing = [this] { return monitor_.playStatus() == RemoteState::Status::playing; };
    on(&MediaRemote::raiseRequested, [this] { emit raiseRequested(); });
    on(&MediaRemote::quitRequested, [this] { emit quitRequested(); });
    on(&MediaRemote::playRequested, [this, playing] {
        if (!playing())
            playback_.playCommand();
    });
    on(&MediaRemote::stopRequested, [this] { playback_.stopCommand(); });
    on(&MediaRemote::playPauseRequested, [this, playing] {
        if (playing())
            playback_.stopCommand();
        else
            playback_.playCommand();
    });
    on(&MediaRemote::nextRequested, [this] { navigation_.N24Click(); });
    on(&MediaRemote::previousRequested, [this] { navigation_.N23Click(); });
    on(&MediaRemote::volumeRequested, [this](int level) {
        volume_.setLevelFromDesktop(level);
        emit volumeChanged();
    });
    on(&MediaRemote::openRequested,
       [this](const QString& address) { playback_.playAddress(address); });
}

void RadioCore::publishRemote() {
    services_.remote.publish(monitor_.remoteState());
}

void RadioCore::guarded(const std::function<void()>& handler) {
    reportFailures(services_.dialogs, [&] {
        try {
            handler();
        } catch (const MediaPlayerError& e) {
            // The player starts at the first play: a broken installation shows there.
            services_.dialogs.message(AppInfo::oldTitle(), PlaybackTexts::playerMissing(e),
                                      Dialogs::Icon::error);
        }
    });
}

void RadioCore::tick() {
    if (ending_)
        return;  // no task starts while the recordings of "退出" are saved
    player_.tick();
    // Back from a standby or hibernation the program asked for: what it kept is told now.
    const QDateTime now = services_.time.now();
    if (lastTick_.isValid() && lastTick_.secsTo(now) > kAwaySeconds)
        QMetaObject::invokeMethod(this, &RadioCore::showKeptNotices, Qt::QueuedConnection);
    lastTick_ = now;
    runner_.startall();
    const qint64 elapsed = services_.time.monotonicMsecs();
    journal_.beat(now, elapsed);
    // Once a minute: a long catalogue's tasks are not scanned every second.
    if (elapsed - wakeCheckedAt_ >= 60'000)
        armWakeUp();
    // From ten minutes before a task the desktop does not suspend the computer for being idle.
    const bool soon = runner_.dueWithin(now, 600);
    if (soon != taskSoon_) {
        taskSoon_ = soon;
        keepAwakeWhileNeeded();
    }
    publishRemote();
}

void RadioCore::taskCountdown(bool on) {
    if (on) {
        journal_.write(services_.time.now());  // a task that ran is not told as missed
        armWakeUp();                           // for the task after it
    } else
        runner_.countdownStopped();
    taskRuns_ = on;
    keepAwakeWhileNeeded();
    emit countdownTimerSwitched(on);
}

void RadioCore::keepAwakeWhileNeeded() {
    // An encoding of a long recording takes minutes: the task's power action comes after it.
    if (recording_ || taskRuns_ || encoder_.pipeline().busy())
        services_.power.keepAwake(PowerActions::Keep::fromSleep, CoreTexts::keptAwake());
    else if (taskSoon_)
        services_.power.keepAwake(PowerActions::Keep::fromIdle, CoreTexts::taskSoon());
    else
        services_.power.allowSleep();
}

void RadioCore::load() {
    table_.loadFromFile(table_.savePath());
    stationCountText_ = table_.stationCountText();
    refreshSnapshot();
}

void RadioCore::refreshSnapshot() {
    table_.snapshotForScheduler(snapshot_);
    runner_.reindex();
    armWakeUp();
}

void RadioCore::armWakeUp() {
    wakeCheckedAt_ = services_.time.monotonicMsecs();
    if (!services_.waker.canWake())
        return;
    const QDateTime now = services_.time.now();
    const QDateTime next = runner_.nextDue(now);
    // Within the minute the computer is awake anyway: the program runs.
    const QDateTime wake = next.isValid() && now.secsTo(next) > kWakeAheadSeconds
                               ? next.addSecs(-kWakeAheadSeconds)
                               : QDateTime();
    if (wake == wakeArmed_)
        return;
    wakeArmed_ = wake;
    if (wake.isValid())
        services_.waker.wakeAt(wake);
    else
        services_.waker.cancel();
}

QString RadioCore::wakeNote() const {
    return services_.waker.canWake() ? QString() : CoreTexts::cannotWake();
}

StationEditor RadioCore::stationEditor(StationEditor::Mode mode) {
    return StationEditor(table_, services_.dialogs, services_.desktop, mode,
                         {.countChanged =
                              [this] {
                                  stationCountText_ = table_.stationCountText();
                                  emit stationCountChanged(stationCountText_);
                              },
                          .selectRoot = [this] { emit selectRootRequested(); }});
}

void RadioCore::rowSelection() {
    playback_.rowSelected();
    browser_.rowClicked();
    emit rowSelected();
}

void RadioCore::toggleRecording() {
    recorder_.ToggleRecording();
    emit recordingChanged();
}

bool RadioCore::hotKeyMutes(int virtualKeyCode, bool withModifiers) const {
    const int state = player_.playState();
    if (state != MediaPlayer::kStopped && state != MediaPlayer::kPlaying)
        return false;
    return virtualKeyCode == options_.muteHotKey && !withModifiers;
}

void RadioCore::loadAtShow() {
    // The maker's counter page: asked for, never waited for, its answer not read.
    downloads_.get(QUrl(ServerAddresses::base() + QStringLiteral("/1.html")),
                   Downloads::kDescriptor, [](const QByteArray&, const QString&) {});
    presets_.Loadradio();
    options_.loadini();
}

void RadioCore::recoverRecordings() {
    if (std::exchange(recordingsRecovered_, true))
        return;
    const QStringList recovered = encoder_.recoverRecordings();
    if (!recovered.isEmpty())
        services_.dialogs.message(AppInfo::title(), RecordingTexts::recovered(recovered),
                                  Dialogs::Icon::information);
}

void RadioCore::showKeptNotices() {
    const QStringList notices = journal_.takeNotices();
    if (!notices.isEmpty())
        services_.dialogs.message(AppInfo::title(), notices.join(u'\n'),
                                  Dialogs::Icon::information);
}

void RadioCore::reportAbsence() {
    if (std::exchange(absenceReported_, true))
        return;
    QStringList lines = journal_.takeNotices();
    const QDateTime now = services_.time.now();
    if (journal_.previousRun().isValid()) {
        const QStringList missed = runner_.missedBetween(journal_.previousRun(), now);
        if (!missed.isEmpty())
            lines << TaskTexts::missed(missed);
    }
    journal_.write(now);  // told once
    if (!lines.isEmpty())
        services_.dialogs.message(AppInfo::title(), lines.join(u'\n'), Dialogs::Icon::information);
}

bool RadioCore::recordFolderUsable() {
    if (RecordFolder::usable(options_.record))
        return true;
    services_.dialogs.message(AppInfo::title(), RecordingTexts::recordFolderMissing(),
                              Dialogs::Icon::information);
    return false;
}

void RadioCore::startAtShow(bool randomPlay) {
    if (ending_)
        return;  // "退出" while a window of the show steps was open
    if (options_.close && playback_.WMP())
        playback_.KillDownloadTools();
    if (options_.update)
        programUpdate_.checkupdate();
    // A player that cannot start is reported and does not keep the update from running.
    if (options_.play && randomPlay)
        guarded([this] { navigation_.ToolButton7Click(); });
    if (options_.updatedb)
        catalogueUpdate_.UpdateDB();
}

bool RadioCore::quit(const std::function<void()>& waitForEncodings) {
    if (quitting_)
        return false;  // a second "退出" (or SIGTERM) while the recordings are being saved
    const QScopedValueRollback running(quitting_, true);
    ending_ = true;
    try {
        // Quitting is not asking for the computer to go off: what is saved now ends in nothing.
        encoder_.disarm();
        // Before the player and the capture go.
        recorder_.stopRecording();
        emit recordingChanged();
        // The program ends only once every recording is saved.
        if (waitForEncodings)
            waitForEncodings();
        else
            encoder_.pipeline().waitForDone();
        if (playback_.WMP()) {
            player_.Stop();
            player_.Close();
        }
        presets_.Saveradio();
        journal_.write(services_.time.now());
        // The last change of the catalogue is on disk before the program ends. A save that
        // failed is shown now, while there is a window to show it, and tried once more; a
        // second failure is shown with its reason.
        table_.saver().wait();
        QCoreApplication::sendPostedEvents(&table_.saver());
        if (table_.saver().lastFailed())
            reportFailures(services_.dialogs, [this] { table_.commitAndSave(); });
        const QDir folder(folder_);
        for (const char* name : {"updatedb.xml", "update.xml", "update.cds"})
            QFile::remove(folder.filePath(QLatin1String(name)));  // missing files are no matter
    } catch (const std::exception&) {
        services_.dialogs.message(AppInfo::title(), CoreTexts::fatalExit(), Dialogs::Icon::error);
    }
    return true;
}
