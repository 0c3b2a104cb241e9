#pragma once

#include "app/TForm1Ui.h"
#include "catalogue/CatalogueBrowser.h"
#include "catalogue/StationListModel.h"
#include "catalogue/StationTable.h"
#include "playback/Playback.h"
#include "playback/Presets.h"
#include "playback/StatusMonitor.h"
#include "setting/OptionsStore.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>

class Dialogs;
class MediaPlayer;
class ProcessKiller;
class QMenu;
class QSystemTrayIcon;

// The platform services the main window works through.
struct TForm1Services {
    Dialogs& dialogs;
    MediaPlayer& player;
    ProcessKiller& processes;
};

// The main window: owns the station table, the options and the subsystem objects for the whole
// run, wires the controls to them, hides in the tray when closed and ends only through "退出".
class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    // Runs the creation steps; throws CatalogueFormatError when rd.cds is unreadable.
    TForm1(const QString& programFolder, TForm1Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    StationTable& table() { return table_; }
    const SchedulerSnapshot& snapshot() const { return snapshot_; }
    OptionsStore& options() { return options_; }
    Playback& playback() { return playback_; }
    CatalogueBrowser& browser() { return browser_; }
    Presets& presets() { return presets_; }
    const TForm1Ui& ui() const { return ui_; }
    QSystemTrayIcon* trayIcon() const { return TrayIcon1; }
    QMenu* trayMenu() const { return PopupMenu1; }
    QTimer& timer2() { return Timer2; }
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

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildTree();
    void buildTray();
    void wireControls();
    void runShowSteps();
    void applyBrowser();
    void refreshPresetCaptions();
    void selectCurrentRowInList();
    // Runs a handler; a failure is shown as the event loop's general error report would.
    void guarded(const std::function<void()>& handler);

    // Steps that come with later parts of the program.
    void EnableShutdownPrivilege() {}
    void RefreshWorldClock() {}
    void initbass() {}
    void startall() {}
    void registerMuteHotKey() {}
    void syncAutostartBox() {}
    void CheckRecordFolder() {}
    void checkupdate() {}
    void randomPlay() {}
    void UpdateDB() {}

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
    StationListModel stationModel_;
    StationListModel taskModel_;
    QTimer Timer1, Timer2, Timer3, Timer4, Timer5;
    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    std::array<QAction*, 8> trayPresetItems_{};
    Qt::WindowStates savedWindowState_ = Qt::WindowNoState;
    QString recordElapsed_;
    bool syncingSelection_ = false;
};
