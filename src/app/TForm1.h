// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StationLists.h"
#include "app/TForm1Ui.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "core/RadioCore.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>

class HotKey;
class Notifications;
class QMenu;
class TForm2;

// The platform services the main window works through: the core's, and the window's own.
struct TForm1Services {
    RadioCore::Services core;
    HotKey& hotKey;
    Notifications& notifications;  // balloons, where there is no tray
    // Ends the event loop and so the run ("退出"); tests watch it instead.
    std::function<void()> endRun = [] { QCoreApplication::exit(0); };
};

// The main window: owns the core (and so everything that lives for the run), shows what it
// holds, wires the controls, timers and tray to it, hides in the tray when closed and ends only
// through "退出".
class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    // Runs the creation steps; throws CatalogueFormatError when rd.cds is unreadable.
    TForm1(const QString& programFolder, TForm1Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // How the options window is made. It is made at its first opening, not at start (its six
    // pages cost about 2 MB that a program which only plays does without), and then kept as the
    // user left it. It is a child of this window.
    void setOptionsWindow(std::function<TForm2*(QWidget* parent)> make) {
        makeOptionsWindow_ = std::move(make);
    }
    // The options window, made now if it was not yet; null when there is no way to make one.
    TForm2* optionsWindow();
    // An address given on the command line: it plays as soon as the event loop runs after the
    // first show (also while a show step waits for the user), instead of the random start.
    void playAtStart(const QString& address);

    RadioCore& core() { return core_; }
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
    void ToolButton2Click() { core_.playback().playCommand(); }
    void ToolButton4Click() { core_.playback().stopCommand(); }
    void DBGrid1DblClick() { core_.playback().doubleClick(); }
    void DBGrid1TitleClick(int column) { lists_->DBGrid1TitleClick(column); }
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer() { core_.runner().Timer3Timer(); }
    void Timer4Timer() { core_.powerTimer().Timer4Timer(); }
    void PopupMenu1Popup();
    void PopupMenu3Popup();
    void restoreFromTray();
    void N2Click();  // 退出
    void Gauge21MouseDown(int x);
    void N15Click();                                                       // volume up
    void N18Click();                                                       // volume down
    void ToolButton1Click();                                               // mute
    void ToolButton6Click();                                               // favourite
    void ToolButton7Click() { core_.navigation().ToolButton7Click(); }     // random play
    void ToolButton9Click();                                               // station editor
    void ToolButton8Click();                                               // record
    void ToolButton5Click();                                               // task editor
    void ToolButton10Click() { core_.networkTime().ToolButton10Click(); }  // 网络对时
    void DBGrid2DblClick() { core_.plans().deleteTask(); }                 // delete a task
    void btn1Click();                                                      // options window
    void sponsorClick();                                                   // 赞助作者...
    // The program update check: at a show (option `update`), 立即更新, 立即检查.
    void checkupdate() { core_.programUpdate().checkupdate(); }
    void ComboBox2Change(int index);
    void Timer5Timer() { core_.recorder().Timer5Timer(); }
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
    // The core's signals: timers, panels, the tray's balloons, the tree and the list.
    void wireCore();
    void runShowSteps();
    void refreshPresetCaptions();
    void showFavouriteLook();
    void showMuteState();
    // The bar's value and hint, after a level was set.
    void showVolumeBar();
    void showRecordButton();
    void offerUpdate(const UpdateDescriptor& descriptor);
    // Moves the window, whole, onto the screen's free area when it does not fit where it is.
    void keepOnScreen();
    void guarded(const std::function<void()>& handler) { core_.guarded(handler); }

    void initbass();
    void showInputs();
    // The world clock's fifteen captions, at the current local time.
    void RefreshWorldClock();

    TForm1Services services_;
    TForm1Ui ui_;
    RadioCore core_;
    std::function<TForm2*(QWidget* parent)> makeOptionsWindow_;
    TForm2* optionsWindow_ = nullptr;
    std::unique_ptr<StationLists> lists_;  // goes before the core, whose table it listens to
    QTimer Timer1, Timer2, Timer3, Timer4, Timer5;
    TrayIcon* TrayIcon1 = nullptr;
    TrayMenu* PopupMenu1 = nullptr;
    Qt::WindowStates savedWindowState_ = Qt::WindowNoState;
    QString startAddress_;
};
