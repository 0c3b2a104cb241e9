// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TForm1Ui.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "catalogue/CatalogueBrowser.h"
#include "catalogue/StationListModel.h"
#include "catalogue/StationTable.h"
#include "online/CatalogueUpdate.h"
#include "online/Downloads.h"
#include "online/NetworkTime.h"
#include "playback/Navigation.h"
#include "playback/Playback.h"
#include "playback/Presets.h"
#include "playback/StatusMonitor.h"
#include "playback/VolumeControl.h"
#include "recording/Recorder.h"
#include "recording/RecordingEncoder.h"
#include "scheduler/PowerTimer.h"
#include "scheduler/TaskRunner.h"
#include "setting/OptionsStore.h"
#include "time/TaskPlans.h"
#include "update/ProgramUpdate.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QTimer>

#include <functional>

class CaptureDevice;
class Desktop;
class Dialogs;
class HotKey;
class MediaPlayer;
class MediaRemote;
class Notifications;
class PowerActions;
class ProcessKiller;
class QMenu;
class TForm2;
class SystemClock;
class TimeSource;

// The platform services the main window works through.
struct TForm1Services {
    Dialogs& dialogs;
    MediaPlayer& player;
    ProcessKiller& processes;
    Desktop& desktop;
    HotKey& hotKey;
    CaptureDevice& capture;
    PowerActions& power;
    const TimeSource& time;
    SystemClock& clock;
    MediaRemote& remote;           // the desktop's media controls and keys
    Notifications& notifications;  // balloons, where there is no tray
    // Ends the event loop and so the run ("退出"); tests watch it instead.
    std::function<void()> endRun = [] { QCoreApplication::exit(0); };
    // The executable a program update replaces: "corvinatone" beside the running one.
    QString programFile = QCoreApplication::applicationDirPath() + QStringLiteral("/corvinatone");
};

// The main window: owns the station table, the options and the subsystem objects for the whole
// run, wires the controls to them, hides in the tray when closed and ends only through "退出".
class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    // Runs the creation steps; throws CatalogueFormatError when rd.cds is unreadable.
    TForm1(const QString& programFolder, TForm1Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // How the options window is made. It is made at its first opening, not at start (its six
    // pages cost about 2 MB that a program which only plays does without), and then kept as the
    // user left it. It is a child of this window.
    void setOptionsWindow(std::function<TForm2*(QWidget* parent)> make);
    // The options window, made now if it was not yet; null when there is no way to make one.
    TForm2* optionsWindow();
    // An address given on the command line: it plays as soon as the event loop runs after the
    // first show (also while a show step waits for the user), instead of the random start.
    void playAtStart(const QString& address);

    StationTable& table() { return table_; }
    const SchedulerSnapshot& snapshot() const { return snapshot_; }
    OptionsStore& options() { return options_; }
    Playback& playback() { return playback_; }
    CatalogueBrowser& browser() { return browser_; }
    Presets& presets() { return presets_; }
    VolumeControl& volume() { return volume_; }
    Navigation& navigation() { return navigation_; }
    Recorder& recorder() { return recorder_; }
    RecordingEncoder& encoder() { return encoder_; }
    CatalogueUpdate& catalogueUpdate() { return catalogueUpdate_; }
    ProgramUpdate& programUpdate() { return programUpdate_; }
    PowerTimer& powerTimer() { return powerTimer_; }
    const TForm1Ui& ui() const { return ui_; }
    TrayIcon* trayIcon() const { return TrayIcon1; }
    QMenu* trayMenu() const { return PopupMenu1->menu(); }
    QTimer& timer2() { return Timer2; }
    QTimer& timer3() { return Timer3; }
    // The power timer: on from creation, off and on again from the options window.
    QTimer& timer4() { return Timer4; }
    void powerTimerOn(bool on);
    Qt::WindowStates savedWindowState() const { return savedWindowState_; }

    // The handlers, as the controls call them.
    void ToolButton2Click();
    void ToolButton4Click();
    void DBGrid1CellClick(const QModelIndex& index);
    void DBGrid1DblClick();
    void DBGrid1TitleClick(int column);
    void TreeView1Change();
    void ComboBox1Change(const QString& text);
    void Timer1Timer();
    void Timer2Timer();
    void PopupMenu1Popup();
    void PopupMenu3Popup();
    void restoreFromTray();
    void N2Click();  // 退出
    void Gauge21MouseDown(int x);
    void N15Click();           // volume up
    void N18Click();           // volume down
    void ToolButton1Click();   // mute
    void ToolButton6Click();   // favourite
    void ToolButton7Click();   // random play
    void ToolButton9Click();   // station editor
    void ToolButton8Click();   // record
    void ToolButton5Click();   // task editor
    void ToolButton10Click();  // 网络对时
    void DBGrid2DblClick();    // delete a task
    void btn1Click();          // options window
    void sponsorClick();       // 赞助作者...
    // The program update check: at a show (option `update`), 立即更新, 立即检查.
    void checkupdate() { programUpdate_.checkupdate(); }
    void ComboBox2Change(int index);
    void Timer5Timer();
    void CheckRecordFolder();
    // The options window's "开机时自动启动" follows whether the log-on entry exists.
    void Startcheck();
    void FormKeyPress(QChar key);
    // The system reported the registered hot key.
    void hotKeyPressed(int virtualKeyCode, bool withModifiers);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildTray();
    void wireControls();
    // The desktop's media controls: their requests run the program's own commands, and they see
    // the state after each request and each second.
    void wireRemote();
    void publishRemote();
    void runShowSteps();
    void applyBrowser();
    void refreshPresetCaptions();
    void selectCurrentRowInList();
    void rowSelection();
    void showFavouriteLook();
    void showMuteState();
    // The bar's value and hint, after a level was set.
    void showVolumeBar();
    void showRecordButton();
    void selectRoot();
    // Makes the tree's highlighted node the one whose view the list shows.
    void showSelectedNode();
    // Moves the window, whole, onto the screen's free area when it does not fit where it is.
    void keepOnScreen();
    // Runs a handler; a failure is shown as the event loop's general error report would.
    void guarded(const std::function<void()>& handler);

    // Nothing to enable beforehand on Linux: logind and polkit decide at each power action.
    void EnableShutdownPrivilege() {}
    void initbass();
    void showInputs();
    // Stops a recording that runs and waits, with a small window, until every recording is
    // encoded: nothing being recorded or encoded is lost when the program ends.
    void finishRecordings();
    // Recordings a crash left unended (their WAV files) are repaired and encoded, once a run.
    void recoverRecordings();
    // The task runner reads a copy of all rows, refreshed after each change of a task.
    void refreshSnapshot();
    void toggleRecording();
    // The world clock's fifteen captions, at the current local time.
    void RefreshWorldClock();
    void UpdateDB() { catalogueUpdate_.UpdateDB(); }

    QString folder_;
    TForm1Services services_;
    TForm1Ui ui_;
    StationTable table_;
    SchedulerSnapshot snapshot_;
    OptionsStore options_;
    Presets presets_;
    Playback playback_;
    StatusMonitor monitor_;
    CatalogueBrowser browser_;
    VolumeControl volume_;
    Navigation navigation_;
    RecordingEncoder encoder_;
    Recorder recorder_;
    TaskRunner runner_;
    PowerTimer powerTimer_;
    TaskPlans plans_;
    NetworkTime networkTime_;
    Downloads downloads_;
    CatalogueUpdate catalogueUpdate_;
    ProgramUpdate programUpdate_;
    std::function<TForm2*(QWidget* parent)> makeOptionsWindow_;
    TForm2* optionsWindow_ = nullptr;
    // What the options window shows as the station count: the count at start, then after each
    // change in the station editor (not after a catalogue update), whenever the window is made.
    QString stationCountText_;
    StationListModel stationModel_;
    StationListModel taskModel_;
    QTimer Timer1, Timer2, Timer3, Timer4, Timer5;
    TrayIcon* TrayIcon1 = nullptr;
    TrayMenu* PopupMenu1 = nullptr;
    Qt::WindowStates savedWindowState_ = Qt::WindowNoState;
    bool syncingSelection_ = false;
    bool ending_ = false;  // "退出" ran: the run ends once control returns to the event loop
    bool recordingsRecovered_ = false;  // once a run
    bool inExit_ = false;               // N2Click runs (it may wait for recordings to be saved)
    QString startAddress_;
};
