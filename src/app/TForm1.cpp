// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TForm1.h"

#include "AppInfo.h"
#include "add/TForm3.h"
#include "app/AppTexts.h"
#include "app/Gauge21.h"
#include "app/PresetKeys.h"
#include "app/SavingWait.h"
#include "online/WorldClock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/HotKey.h"
#include "platform/MediaPlayer.h"
#include "platform/MediaRemote.h"
#include "platform/Notifications.h"
#include "platform/TimeSource.h"
#include "playback/PlaybackTexts.h"
#include "recording/RecordingTexts.h"
#include "setting/RecordFolder.h"
#include "setting/ServerAddresses.h"
#include "setting/TForm2.h"
#include "time/TForm5.h"
#include "update/TForm4.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

// The icons are compiled into the window's static library, which must register them.
static void initIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace {

QIcon icon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

}  // namespace

TForm1::TForm1(const QString& programFolder, TForm1Services services, QWidget* parent)
    : QMainWindow(parent),
      folder_(programFolder),
      services_(services),
      table_(QDir(programFolder).filePath(QStringLiteral("rd.cds"))),
      options_(QDir(programFolder).filePath(QStringLiteral("option.ini"))),
      presets_(QDir(programFolder).filePath(QStringLiteral("channel.ini"))),
      playback_(
          services.player, table_, options_, services.dialogs, services.processes,
          {[this](bool on) { on ? Timer2.start() : Timer2.stop(); }, [this] { Timer3.stop(); },
           [this] {
               ui_.PageControl1->setCurrentIndex(0);
               selectRoot();
           }}),
      monitor_(services.player, playback_),
      browser_(table_, services.dialogs,
               {[this] { selectRoot(); }, [this] { ui_.DBGrid1->setFocus(); }}),
      volume_(services.player, services.dialogs),
      navigation_(table_, playback_, presets_, services.dialogs,
                  {[this] { selectRoot(); }, [this] { rowSelection(); }}),
      encoder_({playback_, table_, options_, services.dialogs, services.desktop, services.power,
                [&time = services.time] { return time.now(); }}),
      recorder_(
          services.capture, services.player, options_, services.dialogs,
          {[this](bool on) { on ? Timer5.start() : Timer5.stop(); }, [this] { Timer3.stop(); },
           [this](const QString& text) { ui_.panels[2]->setText(text); },
           [this] { encoder_.EncodeRecording(recorder_.waveStream().path()); },
           [this] { return encoder_.newRecordingPath(); }}),
      runner_(snapshot_, services.player, services.dialogs, services.time,
              {playback_.title5, encoder_.armedFinishAction, encoder_.rdfile, playback_.playSource},
              {[this](bool on) { on ? Timer2.start() : Timer2.stop(); },
               [this](bool on) { on ? Timer3.start() : Timer3.stop(); },
               [this](bool on) { on ? Timer5.start() : Timer5.stop(); },
               [this] { toggleRecording(); }, [this] { return !ui_.panels[2]->text().isEmpty(); },
               [this](const QString& title, const QString& text) {
                   TrayIcon1->showBalloon(title, text);
               },
               [this] { selectRoot(); }}),
      powerTimer_(options_, services.time,
                  [this](const QString& action) {
                      // What is being recorded is saved first; the action waits for it.
                      recorder_.stopRecording();
                      showRecordButton();
                      encoder_.powerAction(action);
                  }),
      plans_(table_, services.dialogs, {[this] { refreshSnapshot(); }, [this] { selectRoot(); }}),
      networkTime_(services.clock, services.time,
                   {[this](const QString& title, const QString& text, bool error) {
                        TrayIcon1->showBalloon(title, text, error);
                    },
                    [this] { RefreshWorldClock(); }}),
      catalogueUpdate_({downloads_, table_, options_, services.dialogs, programFolder},
                       {[this](const QString& title, const QString& text) {
                            TrayIcon1->show();
                            TrayIcon1->showBalloon(title, text);
                        },
                        [this] { ui_.DBGrid1->setFocus(); }}),
      programUpdate_({downloads_, services.dialogs, services.desktop, programFolder,
                      services.programFile, [this] { N2Click(); }},
                     {[this](const UpdateDescriptor& descriptor) {
                         TForm4 form(programUpdate_, descriptor, this);
                         form.move(frameGeometry().topLeft() + QPoint(180, 140));
                         form.exec();
                     }}),
      stationModel_(table_, StationListModel::stationColumns()),
      taskModel_(table_, StationListModel::taskColumns()) {
    initIcons();
    setWindowTitle(AppInfo::title());
    setWindowIcon(icon("radio"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    ui_.setupUi(this);
    for (QTimer* timer : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5})
        timer->setInterval(1000);
    move(294, 251);
    keepOnScreen();
    buildTray();

    ui_.DBGrid1->setModel(&stationModel_);
    ui_.DBGrid2->setModel(&taskModel_);
    const auto showPage = [this](int page) {
        stationModel_.setShown(page == 0);
        taskModel_.setShown(page == 1);
    };
    showPage(ui_.PageControl1->currentIndex());
    connect(ui_.PageControl1, &QStackedWidget::currentChanged, this, showPage);
    for (auto [view, model] :
         {std::pair{ui_.DBGrid1, &stationModel_}, std::pair{ui_.DBGrid2, &taskModel_}})
        for (size_t i = 0; i < model->columns().size(); ++i)
            view->setColumnWidth(int(i), model->columns()[i].width);
    table_.setListener({[this] {
                            stationModel_.viewAboutToChange();
                            taskModel_.viewAboutToChange();
                        },
                        [this] {
                            stationModel_.viewChanged();
                            taskModel_.viewChanged();
                            // Rows added or deleted: the root's count follows at once.
                            ui_.TreeView1->topLevelItem(0)->setText(0, browser_.rootText());
                        },
                        [this] { selectCurrentRowInList(); }});
    connect(&options_, &OptionsStore::remindLoaded, ui_.panels[3], &QLabel::setText);
    connect(&table_.saver(), &CatalogueSaver::failed, this, [this](const QString& message) {
        services_.dialogs.message(AppInfo::title(), message, Dialogs::Icon::error);
    });
    wireControls();
    wireRemote();

    // Creation steps.
    table_.loadFromFile(table_.savePath());
    stationCountText_ = table_.stationCountText();
    refreshSnapshot();
    Timer1.start();
    Timer4.start();
    EnableShutdownPrivilege();
    RefreshWorldClock();
    DBGrid1CellClick(ui_.DBGrid1->model()->index(0, 0));
    selectRoot();
    presets_.play = true;
    initbass();
    ui_.DBGrid1->setFocus();

    new PresetKeys(this, ui_.ComboBox1, [this](QChar key) { guarded([&] { FormKeyPress(key); }); });
    connect(&services_.hotKey, &HotKey::pressed, this, [this](int key, bool withModifiers) {
        guarded([&] { hotKeyPressed(key, withModifiers); });
    });
}

TForm1::~TForm1() {
    // Before the members it uses go.
    delete optionsWindow_;
    table_.setListener({});
}

void TForm1::setOptionsWindow(std::function<TForm2*(QWidget* parent)> make) {
    makeOptionsWindow_ = std::move(make);
}

TForm2* TForm1::optionsWindow() {
    if (!optionsWindow_ && makeOptionsWindow_) {
        optionsWindow_ = makeOptionsWindow_(this);
        optionsWindow_->setStationCountText(stationCountText_);
    }
    return optionsWindow_;
}

void TForm1::playAtStart(const QString& address) {
    startAddress_ = address;
    QTimer::singleShot(0, this,
                       [this] { guarded([this] { playback_.playAddress(startAddress_); }); });
}

void TForm1::selectRoot() {
    ui_.TreeView1->setCurrentItem(ui_.TreeView1->topLevelItem(0));
}

void TForm1::buildTray() {
    const auto handler = [this](void (TForm1::*method)()) {
        return [this, method] { guarded([&] { (this->*method)(); }); };
    };
    PopupMenu1 = new TrayMenu(
        {handler(&TForm1::restoreFromTray), handler(&TForm1::ToolButton10Click),
         handler(&TForm1::checkupdate),
         [this](int slot) { guarded([&] { navigation_.playPreset(slot); }); },
         handler(&TForm1::N15Click), handler(&TForm1::N18Click), handler(&TForm1::ToolButton2Click),
         handler(&TForm1::ToolButton4Click),
         [this] { guarded([this] { navigation_.N23Click(); }); },
         [this] { guarded([this] { navigation_.N24Click(); }); },
         handler(&TForm1::ToolButton7Click), handler(&TForm1::btn1Click),
         handler(&TForm1::sponsorClick), [this] { N2Click(); }, handler(&TForm1::PopupMenu1Popup)},
        this);
    TrayIcon1 = new TrayIcon(PopupMenu1->menu(), services_.desktop, services_.notifications, this);
    connect(TrayIcon1, &TrayIcon::clicked, this, handler(&TForm1::restoreFromTray));
    connect(TrayIcon1, &TrayIcon::balloonClicked, this,
            [this] { guarded([this] { catalogueUpdate_.TrayIcon1BalloonClick(); }); });
    TrayIcon1->show();
}

void TForm1::wireControls() {
    connect(ui_.ToolButton2, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton2Click(); }); });
    connect(ui_.ToolButton4, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton4Click(); }); });
    connect(ui_.DBGrid1, &QTableView::clicked, this,
            [this](const QModelIndex& index) { guarded([&] { DBGrid1CellClick(index); }); });
    connect(ui_.DBGrid2, &QTableView::clicked, this,
            [this](const QModelIndex& index) { guarded([&] { DBGrid1CellClick(index); }); });
    connect(ui_.DBGrid1, &QTableView::doubleClicked, this,
            [this] { guarded([this] { DBGrid1DblClick(); }); });
    connect(ui_.DBGrid2, &QTableView::doubleClicked, this,
            [this] { guarded([this] { DBGrid2DblClick(); }); });
    connect(ui_.ToolButton5, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton5Click(); }); });
    connect(ui_.btn1, &QToolButton::clicked, this, [this] { guarded([this] { btn1Click(); }); });
    connect(ui_.ToolButton10, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton10Click(); }); });
    for (QTableView* view : {ui_.DBGrid1, ui_.DBGrid2}) {
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this](int column) { guarded([&] { DBGrid1TitleClick(column); }); });
        // Keys move the current row without selecting it for play.
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex& current) {
                    if (!syncingSelection_ && current.isValid())
                        table_.moveTo(current.row());
                });
    }
    connect(ui_.TreeView1, &QTreeWidget::currentItemChanged, this,
            [this] { guarded([this] { TreeView1Change(); }); });
    connect(ui_.ComboBox1, &QComboBox::editTextChanged, this,
            [this](const QString& text) { guarded([&] { ComboBox1Change(text); }); });
    connect(ui_.RadioButton4, &QRadioButton::clicked, this, [this] {
        browser_.setSearchByCountry(false);
        ui_.ComboBox1->setFocus();
    });
    connect(ui_.RadioButton5, &QRadioButton::clicked, this, [this] {
        browser_.setSearchByCountry(true);
        ui_.ComboBox1->setFocus();
    });
    for (size_t i = 0; i < ui_.quickButtons.size(); ++i) {
        const QString station = TForm1Ui::quickStations()[i].station;
        connect(ui_.quickButtons[i], &QToolButton::clicked, this,
                [this, station] { guarded([&] { playback_.PlayStationByName(station); }); });
    }
    connect(ui_.PopupMenu3, &QMenu::aboutToShow, this,
            [this] { guarded([this] { PopupMenu3Popup(); }); });
    for (int i = 0; i < Presets::kSlots; ++i)
        connect(ui_.presetItems[size_t(i)], &QAction::triggered, this, [this, i] {
            guarded([&] { navigation_.assignPreset(i + 1); });
            refreshPresetCaptions();  // the assignment stands in the menus even if its save failed
        });
    connect(ui_.gauge, &Gauge21::pressed, this,
            [this](int x) { guarded([&] { Gauge21MouseDown(x); }); });
    connect(ui_.gauge, &Gauge21::hovered, this, [this] {
        volume_.Gauge21MouseMove();
        ui_.gauge->setToolTip(volume_.barHint());
    });
    connect(ui_.ToolButton1, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton1Click(); }); });
    connect(ui_.ToolButton6, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton6Click(); }); });
    connect(ui_.ToolButton7, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton7Click(); }); });
    connect(ui_.ToolButton9, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton9Click(); }); });
    connect(&Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    connect(&Timer2, &QTimer::timeout, this, [this] { guarded([this] { Timer2Timer(); }); });
    connect(&Timer3, &QTimer::timeout, this,
            [this] { guarded([this] { runner_.Timer3Timer(); }); });
    connect(&Timer4, &QTimer::timeout, this,
            [this] { guarded([this] { powerTimer_.Timer4Timer(); }); });
    connect(&Timer5, &QTimer::timeout, this, [this] { guarded([this] { Timer5Timer(); }); });
    connect(ui_.ToolButton8, &QToolButton::clicked, this,
            [this] { guarded([this] { ToolButton8Click(); }); });
    connect(ui_.ComboBox2, &QComboBox::activated, this,
            [this](int index) { guarded([&] { ComboBox2Change(index); }); });
}

void TForm1::guarded(const std::function<void()>& handler) {
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

void TForm1::ToolButton2Click() {
    playback_.playCommand();
}

void TForm1::ToolButton4Click() {
    playback_.stopCommand();
}

void TForm1::DBGrid1CellClick(const QModelIndex& index) {
    if (index.isValid())
        table_.moveTo(index.row());
    rowSelection();
}

void TForm1::rowSelection() {
    playback_.rowSelected();
    browser_.rowClicked();
    showFavouriteLook();
}

void TForm1::showFavouriteLook() {
    const bool marked = browser_.favouriteLook() == CatalogueBrowser::FavouriteLook::marked;
    ui_.ToolButton6->setIcon(icon(marked ? "favourite-marked" : "favourite"));
    ui_.ToolButton6->setToolTip(browser_.favouriteHint());
}

void TForm1::wireRemote() {
    MediaRemote& remote = services_.remote;
    const auto run = [this](const std::function<void()>& command) {
        guarded(command);
        publishRemote();
    };
    const auto on = [&](void (MediaRemote::*request)(), std::function<void()> command) {
        connect(&remote, request, this, [run, command] { run(command); });
    };
    on(&MediaRemote::raiseRequested, [this] { restoreFromTray(); });
    on(&MediaRemote::quitRequested, [this] { N2Click(); });
    on(&MediaRemote::playRequested, [this] {
        if (monitor_.playStatus() != RemoteState::Status::playing)
            ToolButton2Click();
    });
    on(&MediaRemote::stopRequested, [this] { ToolButton4Click(); });
    on(&MediaRemote::playPauseRequested, [this] {
        if (monitor_.playStatus() == RemoteState::Status::playing)
            ToolButton4Click();
        else
            ToolButton2Click();
    });
    on(&MediaRemote::nextRequested, [this] { navigation_.N24Click(); });
    on(&MediaRemote::previousRequested, [this] { navigation_.N23Click(); });
    connect(&remote, &MediaRemote::volumeRequested, this, [this, run](int level) {
        run([this, level] {
            volume_.setLevelFromDesktop(level);
            showVolumeBar();
            showMuteState();
        });
    });
    connect(&remote, &MediaRemote::openRequested, this, [this, run](const QString& address) {
        run([this, address] { playback_.playAddress(address); });
    });
}

void TForm1::publishRemote() {
    services_.remote.publish(monitor_.remoteState());
}

void TForm1::Gauge21MouseDown(int x) {
    volume_.Gauge21MouseDown(x, ui_.gauge->width());
    showVolumeBar();
}

void TForm1::showVolumeBar() {
    ui_.gauge->setValue(volume_.barValue());
    ui_.gauge->setToolTip(volume_.barHint());
}

void TForm1::N15Click() {
    volume_.N15Click();
    ui_.gauge->setValue(volume_.barValue());
}

void TForm1::N18Click() {
    volume_.N18Click();
    ui_.gauge->setValue(volume_.barValue());
}

void TForm1::ToolButton1Click() {
    volume_.ToolButton1Click();
    showMuteState();
}

void TForm1::showMuteState() {
    const bool muted = volume_.muteTag() == 1;
    ui_.ToolButton1->setIcon(icon(muted ? "sound-muted" : "sound"));
    ui_.ToolButton1->setToolTip(volume_.muteHint());
    TrayIcon1->setMuted(muted);
}

void TForm1::ToolButton6Click() {
    browser_.ToolButton6Click();
    showFavouriteLook();
}

void TForm1::ToolButton7Click() {
    navigation_.ToolButton7Click();
}

void TForm1::ToolButton9Click() {
    const auto mode = browser_.stationEditorMode() == CatalogueBrowser::EditorMode::modify
                          ? StationEditor::Mode::modify
                          : StationEditor::Mode::add;
    StationEditor editor(table_, services_.dialogs, services_.desktop, mode,
                         {[this] {
                              stationCountText_ = table_.stationCountText();
                              if (optionsWindow_)
                                  optionsWindow_->setStationCountText(stationCountText_);
                          },
                          [this] { selectRoot(); }});
    TForm3 form(editor, services_.dialogs, this);
    form.move(frameGeometry().left() + 350, frameGeometry().top() + 40 + 122);
    form.exec();
}

void TForm1::initbass() {
    recorder_.initbass();
    showInputs();
}

void TForm1::showInputs() {
    const QSignalBlocker quiet(ui_.ComboBox2);
    ui_.ComboBox2->clear();
    ui_.ComboBox2->addItems(recorder_.inputNames());
    ui_.ComboBox2->setCurrentIndex(recorder_.selectedInput());
    ui_.ComboBox2->setToolTip(ui_.ComboBox2->currentText());  // the box is narrow
}

void TForm1::ComboBox2Change(int index) {
    recorder_.ComboBox2Change(index);
    ui_.ComboBox2->setToolTip(ui_.ComboBox2->currentText());
}

void TForm1::ToolButton8Click() {
    const bool wasMissing = recorder_.deviceMissing();
    recorder_.ToolButton8Click();
    if (wasMissing && !recorder_.deviceMissing())
        showInputs();  // the sound server is back
    showRecordButton();
}

void TForm1::toggleRecording() {
    recorder_.ToggleRecording();
    showRecordButton();
}

void TForm1::refreshSnapshot() {
    table_.snapshotForScheduler(snapshot_);
    runner_.reindex();
}

void TForm1::ToolButton5Click() {
    const auto mode = browser_.taskEditorMode() == CatalogueBrowser::EditorMode::modify
                          ? TForm5::Mode::modify
                          : TForm5::Mode::add;
    TForm5 form(plans_, services_.dialogs, mode, services_.time.now().date(), this);
    form.move(frameGeometry().topLeft() + QPoint(200, 60));
    form.exec();
}

void TForm1::ToolButton10Click() {
    networkTime_.ToolButton10Click();
}

void TForm1::RefreshWorldClock() {
    const QStringList captions = WorldClock::captions(services_.time.now());
    const QList<QAction*> entries = ui_.cityClocks->actions();
    // Only a caption whose minute changed is set: the menu is not redone every second.
    for (qsizetype i = 0; i < entries.size() && i < captions.size(); ++i)
        if (entries[i]->text() != captions[i])
            entries[i]->setText(captions[i]);
}

void TForm1::DBGrid2DblClick() {
    plans_.deleteTask();
}

void TForm1::btn1Click() {
    TForm2* const window = optionsWindow();
    if (!window)
        return;
    window->move(frameGeometry().topLeft() + QPoint(80, 40));
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
    window->exec();
}

void TForm1::powerTimerOn(bool on) {
    if (!on) {
        Timer4.stop();
    } else if (!Timer4.isActive()) {
        powerTimer_.restart();
        Timer4.start();
    }
}

void TForm1::sponsorClick() {
    services_.desktop.openUrl(QUrl(ServerAddresses::contactPage()));
}

void TForm1::finishRecordings() {
    recorder_.stopRecording();
    showRecordButton();
    // The program ends only once every recording is saved.
    waitUntilSaved(encoder_.pipeline(), this);
}

void TForm1::recoverRecordings() {
    const QStringList recovered = encoder_.recoverRecordings();
    if (!recovered.isEmpty())
        services_.dialogs.message(AppInfo::title(), RecordingTexts::recovered(recovered),
                                  Dialogs::Icon::information);
}

void TForm1::showRecordButton() {
    ui_.ToolButton8->setIcon(icon(recorder_.recording() ? "record-stop" : "record"));
    ui_.ToolButton8->setToolTip(recorder_.buttonHint());
}

void TForm1::Timer5Timer() {
    recorder_.Timer5Timer();
}

void TForm1::CheckRecordFolder() {
    if (RecordFolder::usable(options_.record))
        return;
    services_.dialogs.message(AppInfo::title(), RecordingTexts::recordFolderMissing(),
                              Dialogs::Icon::information);
    TForm2* const window = optionsWindow();
    if (!window)
        return;
    btn1Click();
    // Its next opening shows where the folder is set.
    window->PageControl1->setCurrentWidget(window->TabSheet3);
}

void TForm1::Startcheck() {
    // A window not made yet checks as it opens.
    if (optionsWindow_)
        optionsWindow_->Startcheck();
}

void TForm1::FormKeyPress(QChar key) {
    if (key >= u'1' && key <= u'8')
        navigation_.playPreset(key.digitValue());
}

void TForm1::hotKeyPressed(int virtualKeyCode, bool withModifiers) {
    const int state = services_.player.playState();
    if (state != MediaPlayer::kStopped && state != MediaPlayer::kPlaying)
        return;
    if (virtualKeyCode != options_.muteHotKey || withModifiers)
        return;
    ToolButton1Click();
}

void TForm1::DBGrid1DblClick() {
    playback_.doubleClick();
}

void TForm1::DBGrid1TitleClick(int column) {
    const auto* model = static_cast<const StationListModel*>(
        ui_.PageControl1->currentIndex() == 0 ? ui_.DBGrid1->model() : ui_.DBGrid2->model());
    if (column >= 0 && column < int(model->columns().size()))
        browser_.DBGrid1TitleClick(model->columns()[size_t(column)].field);
}

void TForm1::TreeView1Change() {
    const QTreeWidgetItem* item = ui_.TreeView1->currentItem();
    if (!item)
        return;
    browser_.TreeView1Change(item->data(0, TForm1Ui::kNodeCodeRole).toInt());
    applyBrowser();
    // An empty view sends the browser back to the root while the click that chose the node is
    // still selecting it: the highlight is put right once that click is done.
    QMetaObject::invokeMethod(this, &TForm1::showSelectedNode, Qt::QueuedConnection);
}

void TForm1::showSelectedNode() {
    for (QTreeWidgetItemIterator it(ui_.TreeView1); *it; ++it) {
        if ((*it)->data(0, TForm1Ui::kNodeCodeRole).toInt() != browser_.selectedCode())
            continue;
        if (ui_.TreeView1->currentItem() != *it || !(*it)->isSelected()) {
            const QSignalBlocker quiet(ui_.TreeView1);  // the list already shows this node's view
            ui_.TreeView1->setCurrentItem(*it);
            ui_.TreeView1->viewport()->update();
        }
        return;
    }
}

void TForm1::ComboBox1Change(const QString& text) {
    browser_.ComboBox1Change(text);
    applyBrowser();
}

void TForm1::applyBrowser() {
    ui_.PageControl1->setCurrentIndex(browser_.page());
    ui_.DBGrid1->setToolTip(browser_.stationListHint());
    ui_.DBGrid2->setToolTip(browser_.taskListHint());
    ui_.TreeView1->topLevelItem(0)->setText(0, browser_.rootText());
    const bool modifyStation = browser_.stationEditorMode() == CatalogueBrowser::EditorMode::modify;
    ui_.ToolButton9->setIcon(icon(modifyStation ? "station-edit" : "station-add"));
    ui_.ToolButton9->setToolTip(browser_.stationEditorHint());
    const bool modifyTask = browser_.taskEditorMode() == CatalogueBrowser::EditorMode::modify;
    ui_.ToolButton5->setIcon(icon(modifyTask ? "task-edit" : "task-add"));
    ui_.ToolButton5->setToolTip(browser_.taskEditorHint());
    selectCurrentRowInList();
}

void TForm1::selectCurrentRowInList() {
    QTableView* view = ui_.PageControl1->currentIndex() == 0 ? ui_.DBGrid1 : ui_.DBGrid2;
    const int position = table_.viewPosition();
    syncingSelection_ = true;
    if (position >= 0 && position < view->model()->rowCount()) {
        const QModelIndex index = view->model()->index(position, 0);
        view->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->scrollTo(index);
    } else {
        view->selectionModel()->clear();
    }
    syncingSelection_ = false;
}

void TForm1::Timer1Timer() {
    // Redrawing is not held during the pass: it takes microseconds, and releasing it would
    // repaint the whole window every second.
    runner_.startall();
    RefreshWorldClock();
    publishRemote();
}

void TForm1::Timer2Timer() {
    monitor_.Timer2Timer();
    const StatusDisplay& shown = monitor_.display();
    TForm1Ui::setPanelText(ui_.panels[0], shown.panel0);
    ui_.panels[1]->setText(shown.panel1);
    TrayIcon1->setMuted(shown.trayImage == 1);
    TrayIcon1->setToolTip(shown.tooltip);
}

void TForm1::refreshPresetCaptions() {
    for (int slot = 1; slot <= Presets::kSlots; ++slot)
        ui_.presetItems[size_t(slot - 1)]->setText(presets_.caption(slot));
}

void TForm1::PopupMenu3Popup() {
    if (presets_.play) {
        presets_.Loadradio();
        refreshPresetCaptions();
    }
}

void TForm1::PopupMenu1Popup() {
    PopupMenu3Popup();
    for (int slot = 1; slot <= Presets::kSlots; ++slot)
        PopupMenu1->setPresetCaption(slot, ui_.presetItems[size_t(slot - 1)]->text());
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        keepOnScreen();
        // Once the window manager has framed the window, its title bar counts too.
        QTimer::singleShot(300, this, &TForm1::keepOnScreen);
        guarded([this] { runShowSteps(); });
    }
}

void TForm1::keepOnScreen() {
    const QRect area = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const QPoint fitted = TForm1Ui::placeWithin(frame, area);
    if (fitted != frame.topLeft())
        move(pos() + (fitted - frame.topLeft()));
}

void TForm1::runShowSteps() {
    // The maker's counter page: asked for, never waited for, its answer not read.
    downloads_.get(QUrl(ServerAddresses::base() + QStringLiteral("/1.html")),
                   Downloads::kDescriptor, [](const QByteArray&, const QString&) {});
    ui_.DBGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    presets_.Loadradio();
    refreshPresetCaptions();
    ui_.TreeView1->topLevelItem(0)->setExpanded(true);
    options_.loadini();
    // The status bar says the daily action is armed whenever the file says so: then it is.
    if (options_.mission)
        powerTimerOn(true);
    if (!recordingsRecovered_) {
        recordingsRecovered_ = true;
        recoverRecordings();
    }
    services_.hotKey.registerKey(options_.muteHotKey);
    Startcheck();
    volume_.setShowHint();
    ui_.gauge->setToolTip(volume_.barHint());
    CheckRecordFolder();
    if (ending_)
        return;  // "退出" while the options window of the check was open
    if (options_.close && playback_.WMP())
        playback_.KillDownloadTools();
    if (options_.update)
        checkupdate();
    // A player that cannot start is reported and does not keep the update from running.
    if (options_.play && startAddress_.isEmpty())
        guarded([this] { ToolButton7Click(); });
    if (options_.updatedb)
        UpdateDB();
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->ignore();
    // Without a tray there would be no way back to a hidden window: closing then ends the program.
    if (!services_.desktop.hasSystemTray()) {
        N2Click();
        return;
    }
    savedWindowState_ = windowState();
    setWindowState(windowState() | Qt::WindowMinimized);
    TrayIcon1->show();
    hide();
}

void TForm1::restoreFromTray() {
    TrayIcon1->show();
    show();
    setWindowState(savedWindowState_);
    raise();
    activateWindow();
}

void TForm1::N2Click() {
    if (inExit_)
        return;  // a second "退出" (or SIGTERM) while the recordings are being saved
    const QScopedValueRollback exiting(inExit_, true);
    ending_ = true;
    try {
        // Quitting is not asking for the computer to go off: what is saved now ends in nothing.
        encoder_.disarm();
        finishRecordings();  // before the player and the capture go
        if (playback_.WMP()) {
            services_.player.Stop();
            services_.player.Close();
        }
        presets_.Saveradio();
        // The last change of the catalogue is on disk before the program ends. A save that
        // failed is shown now, while there is a window to show it, and tried once more; a
        // second failure is shown with its reason.
        table_.saver().wait();
        QCoreApplication::sendPostedEvents(&table_.saver());
        if (table_.saver().lastFailed())
            guarded([this] { table_.commitAndSave(); });
        const QDir folder(folder_);
        for (const char* name : {"updatedb.xml", "update.xml", "update.cds"})
            QFile::remove(folder.filePath(QLatin1String(name)));  // missing files are no matter
    } catch (const std::exception&) {
        services_.dialogs.message(AppInfo::title(), AppTexts::fatalExit(), Dialogs::Icon::error);
    }
    // Not QApplication::quit(): it first asks the windows to close, and this one declines (it
    // hides in the tray), which cancelled the quit and left the program running unseen.
    services_.endRun();
}
