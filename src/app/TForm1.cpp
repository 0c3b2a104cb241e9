// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TForm1.h"

#include "AppInfo.h"
#include "add/TForm3.h"
#include "app/Gauge21.h"
#include "app/PresetKeys.h"
#include "app/SavingWait.h"
#include "online/WorldClock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/HotKey.h"
#include "platform/TimeSource.h"
#include "setting/ServerAddresses.h"
#include "setting/TForm2.h"
#include "time/TForm5.h"
#include "update/TForm4.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QShowEvent>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

// The icons are compiled into the window's static library, which must register them.
static void initIcons() {
    Q_INIT_RESOURCE(icons);
}

TForm1::TForm1(const QString& programFolder, TForm1Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), core_(programFolder, services_.core) {
    initIcons();
    setWindowTitle(AppInfo::title());
    setWindowIcon(TForm1Ui::icon("radio"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    ui_.setupUi(this);
    for (QTimer* timer : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5})
        timer->setInterval(1000);
    move(294, 251);
    keepOnScreen();
    buildTray();

    lists_ = std::make_unique<StationLists>(ui_, core_);
    connect(&core_.options(), &OptionsStore::remindLoaded, ui_.panels[3], &QLabel::setText);
    wireControls();
    wireCore();

    // Creation steps.
    core_.load();
    Timer1.start();
    Timer4.start();
    RefreshWorldClock();
    lists_->DBGrid1CellClick(ui_.DBGrid1->model()->index(0, 0));
    lists_->selectRoot();
    initbass();
    ui_.DBGrid1->setFocus();
}

TForm1::~TForm1() {
    // Before the members it uses go.
    delete optionsWindow_;
}

TForm2* TForm1::optionsWindow() {
    if (!optionsWindow_ && makeOptionsWindow_) {
        optionsWindow_ = makeOptionsWindow_(this);
        optionsWindow_->setStationCountText(core_.stationCountText());
    }
    return optionsWindow_;
}

void TForm1::playAtStart(const QString& address) {
    startAddress_ = address;
    QTimer::singleShot(
        0, this, [this] { guarded([this] { core_.playback().playAddress(startAddress_); }); });
}

void TForm1::buildTray() {
    const auto handler = [this](void (TForm1::*method)()) {
        return [this, method] { guarded([&] { (this->*method)(); }); };
    };
    Navigation& navigation = core_.navigation();
    PopupMenu1 = new TrayMenu(
        {.show = handler(&TForm1::restoreFromTray),
         .timeSync = handler(&TForm1::ToolButton10Click),
         .updateNow = handler(&TForm1::checkupdate),
         .playPreset = [this,
                        &navigation](int slot) { guarded([&] { navigation.playPreset(slot); }); },
         .volumeUp = handler(&TForm1::N15Click),
         .volumeDown = handler(&TForm1::N18Click),
         .play = handler(&TForm1::ToolButton2Click),
         .stop = handler(&TForm1::ToolButton4Click),
         .previous = [this, &navigation] { guarded([&] { navigation.N23Click(); }); },
         .next = [this, &navigation] { guarded([&] { navigation.N24Click(); }); },
         .random = handler(&TForm1::ToolButton7Click),
         .settings = handler(&TForm1::btn1Click),
         .sponsor = handler(&TForm1::sponsorClick),
         .exit = [this] { N2Click(); },
         .aboutToShow = handler(&TForm1::PopupMenu1Popup)},
        this);
    TrayIcon1 =
        new TrayIcon(PopupMenu1->menu(), services_.core.desktop, services_.notifications, this);
    connect(TrayIcon1, &TrayIcon::clicked, this, handler(&TForm1::restoreFromTray));
    connect(TrayIcon1, &TrayIcon::balloonClicked, this,
            [this] { guarded([this] { core_.catalogueUpdate().TrayIcon1BalloonClick(); }); });
    TrayIcon1->show();
}

void TForm1::wireControls() {
    // A control's handler runs guarded: a failure is reported and the program goes on.
    const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    on(ui_.ToolButton1, &QToolButton::clicked, &TForm1::ToolButton1Click);
    on(ui_.ToolButton2, &QToolButton::clicked, &TForm1::ToolButton2Click);
    on(ui_.ToolButton4, &QToolButton::clicked, &TForm1::ToolButton4Click);
    on(ui_.ToolButton5, &QToolButton::clicked, &TForm1::ToolButton5Click);
    on(ui_.ToolButton6, &QToolButton::clicked, &TForm1::ToolButton6Click);
    on(ui_.ToolButton7, &QToolButton::clicked, &TForm1::ToolButton7Click);
    on(ui_.ToolButton8, &QToolButton::clicked, &TForm1::ToolButton8Click);
    on(ui_.ToolButton9, &QToolButton::clicked, &TForm1::ToolButton9Click);
    on(ui_.ToolButton10, &QToolButton::clicked, &TForm1::ToolButton10Click);
    on(ui_.btn1, &QToolButton::clicked, &TForm1::btn1Click);
    on(ui_.DBGrid1, &QTableView::doubleClicked, &TForm1::DBGrid1DblClick);
    on(ui_.DBGrid2, &QTableView::doubleClicked, &TForm1::DBGrid2DblClick);
    on(ui_.PopupMenu3, &QMenu::aboutToShow, &TForm1::PopupMenu3Popup);
    on(&Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    on(&Timer2, &QTimer::timeout, &TForm1::Timer2Timer);
    on(&Timer3, &QTimer::timeout, &TForm1::Timer3Timer);
    on(&Timer4, &QTimer::timeout, &TForm1::Timer4Timer);
    on(&Timer5, &QTimer::timeout, &TForm1::Timer5Timer);
    for (size_t i = 0; i < ui_.quickButtons.size(); ++i) {
        const QString station = TForm1Ui::quickStations()[i].station;
        connect(ui_.quickButtons[i], &QToolButton::clicked, this,
                [this, station] { guarded([&] { core_.playback().PlayStationByName(station); }); });
    }
    for (int i = 0; i < Presets::kSlots; ++i)
        connect(ui_.presetItems[size_t(i)], &QAction::triggered, this, [this, i] {
            guarded([&] { core_.navigation().assignPreset(i + 1); });
            refreshPresetCaptions();  // the assignment stands in the menus even if its save failed
        });
    connect(ui_.gauge, &Gauge21::pressed, this,
            [this](int x) { guarded([&] { Gauge21MouseDown(x); }); });
    connect(ui_.gauge, &Gauge21::hovered, this, [this] {
        core_.volume().Gauge21MouseMove();
        ui_.gauge->setToolTip(core_.volume().barHint());
    });
    connect(ui_.ComboBox2, &QComboBox::activated, this,
            [this](int index) { guarded([&] { ComboBox2Change(index); }); });
    new PresetKeys(this, ui_.ComboBox1, [this](QChar key) { guarded([&] { FormKeyPress(key); }); });
    connect(&services_.hotKey, &HotKey::pressed, this, [this](int key, bool withModifiers) {
        guarded([&] { hotKeyPressed(key, withModifiers); });
    });
}

void TForm1::wireCore() {
    const auto switchTimer = [](QTimer& timer) {
        return [&timer](bool on) { on ? timer.start() : timer.stop(); };
    };
    connect(&core_, &RadioCore::statusTimerSwitched, this, switchTimer(Timer2));
    connect(&core_, &RadioCore::countdownTimerSwitched, this, switchTimer(Timer3));
    connect(&core_, &RadioCore::progressTimerSwitched, this, switchTimer(Timer5));
    connect(&core_, &RadioCore::progressTextChanged, ui_.panels[2], &QLabel::setText);
    connect(&core_, &RadioCore::recordingChanged, this, &TForm1::showRecordButton);
    connect(&core_, &RadioCore::rowSelected, this, &TForm1::showFavouriteLook);
    connect(&core_, &RadioCore::balloonRequested, TrayIcon1, &TrayIcon::showBalloon);
    connect(&core_, &RadioCore::newStationsAnnounced, this,
            [this](const QString& title, const QString& text) {
                TrayIcon1->show();
                TrayIcon1->showBalloon(title, text);
            });
    connect(&core_, &RadioCore::showAllStationsRequested, lists_.get(),
            &StationLists::showAllStations);
    connect(&core_, &RadioCore::selectRootRequested, lists_.get(), &StationLists::selectRoot);
    connect(&core_, &RadioCore::focusStationListRequested, this,
            [this] { ui_.DBGrid1->setFocus(); });
    connect(&core_, &RadioCore::clockSet, this, &TForm1::RefreshWorldClock);
    connect(&core_, &RadioCore::stationCountChanged, this, [this](const QString& text) {
        if (optionsWindow_)
            optionsWindow_->setStationCountText(text);
    });
    connect(&core_, &RadioCore::updateOffered, this, &TForm1::offerUpdate);
    connect(&core_, &RadioCore::quitRequested, this, &TForm1::N2Click);
    connect(&core_, &RadioCore::raiseRequested, this, &TForm1::restoreFromTray);
    connect(&core_, &RadioCore::volumeChanged, this, &TForm1::showVolumeBar);
    connect(&core_, &RadioCore::volumeChanged, this, &TForm1::showMuteState);
}

void TForm1::offerUpdate(const UpdateDescriptor& descriptor) {
    TForm4 form(core_.programUpdate(), descriptor, this);
    form.move(frameGeometry().topLeft() + QPoint(180, 140));
    form.exec();
}

void TForm1::showFavouriteLook() {
    const bool marked = core_.browser().favouriteLook() == CatalogueBrowser::FavouriteLook::marked;
    ui_.ToolButton6->setIcon(TForm1Ui::icon(marked ? "favourite-marked" : "favourite"));
    ui_.ToolButton6->setToolTip(core_.browser().favouriteHint());
}

void TForm1::Gauge21MouseDown(int x) {
    core_.volume().Gauge21MouseDown(x, ui_.gauge->width());
    showVolumeBar();
}

void TForm1::showVolumeBar() {
    ui_.gauge->setValue(core_.volume().barValue());
    ui_.gauge->setToolTip(core_.volume().barHint());
}

void TForm1::N15Click() {
    core_.volume().N15Click();
    ui_.gauge->setValue(core_.volume().barValue());
}

void TForm1::N18Click() {
    core_.volume().N18Click();
    ui_.gauge->setValue(core_.volume().barValue());
}

void TForm1::ToolButton1Click() {
    core_.volume().ToolButton1Click();
    showMuteState();
}

void TForm1::showMuteState() {
    const bool muted = core_.volume().muteTag() == 1;
    ui_.ToolButton1->setIcon(TForm1Ui::icon(muted ? "sound-muted" : "sound"));
    ui_.ToolButton1->setToolTip(core_.volume().muteHint());
    TrayIcon1->setMuted(muted);
}

void TForm1::ToolButton6Click() {
    core_.browser().ToolButton6Click();
    showFavouriteLook();
}

void TForm1::ToolButton9Click() {
    const auto mode = core_.browser().stationEditorMode() == CatalogueBrowser::EditorMode::modify
                          ? StationEditor::Mode::modify
                          : StationEditor::Mode::add;
    StationEditor editor = core_.stationEditor(mode);
    TForm3 form(editor, services_.core.dialogs, this);
    form.move(frameGeometry().left() + 350, frameGeometry().top() + 40 + 122);
    form.exec();
}

void TForm1::initbass() {
    core_.recorder().initbass();
    showInputs();
}

void TForm1::showInputs() {
    const QSignalBlocker quiet(ui_.ComboBox2);
    ui_.ComboBox2->clear();
    ui_.ComboBox2->addItems(core_.recorder().inputNames());
    ui_.ComboBox2->setCurrentIndex(core_.recorder().selectedInput());
    ui_.ComboBox2->setToolTip(ui_.ComboBox2->currentText());  // the box is narrow
}

void TForm1::ComboBox2Change(int index) {
    core_.recorder().ComboBox2Change(index);
    ui_.ComboBox2->setToolTip(ui_.ComboBox2->currentText());
}

void TForm1::ToolButton8Click() {
    const bool wasMissing = core_.recorder().deviceMissing();
    core_.recorder().ToolButton8Click();
    if (wasMissing && !core_.recorder().deviceMissing())
        showInputs();  // the sound server is back
    showRecordButton();
}

void TForm1::ToolButton5Click() {
    const auto mode = core_.browser().taskEditorMode() == CatalogueBrowser::EditorMode::modify
                          ? TForm5::Mode::modify
                          : TForm5::Mode::add;
    TForm5 form(core_.plans(), services_.core.dialogs, mode, services_.core.time.now().date(),
                core_.wakeNote(), this);
    form.move(frameGeometry().topLeft() + QPoint(200, 60));
    form.exec();
}

void TForm1::RefreshWorldClock() {
    const QStringList captions = WorldClock::captions(services_.core.time.now());
    const QList<QAction*> entries = ui_.cityClocks->actions();
    // Only a caption whose minute changed is set: the menu is not redone every second.
    for (qsizetype i = 0; i < entries.size() && i < captions.size(); ++i)
        if (entries[i]->text() != captions[i])
            entries[i]->setText(captions[i]);
}

void TForm1::btn1Click() {
    TForm2* const window = optionsWindow();
    if (!window)
        return;
    window->move(frameGeometry().topLeft() + QPoint(80, 40));
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
    window->exec();
}

void TForm1::sponsorClick() {
    services_.core.desktop.openUrl(QUrl(ServerAddresses::contactPage()));
}

void TForm1::powerTimerOn(bool on) {
    if (!on) {
        Timer4.stop();
    } else if (!Timer4.isActive()) {
        core_.powerTimer().restart();
        Timer4.start();
    }
}

void TForm1::showRecordButton() {
    ui_.ToolButton8->setIcon(
        TForm1Ui::icon(core_.recorder().recording() ? "record-stop" : "record"));
    ui_.ToolButton8->setToolTip(core_.recorder().buttonHint());
}

void TForm1::CheckRecordFolder() {
    TForm2* const window = core_.recordFolderUsable() ? nullptr : optionsWindow();
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
        core_.navigation().playPreset(key.digitValue());
}

void TForm1::hotKeyPressed(int virtualKeyCode, bool withModifiers) {
    if (core_.hotKeyMutes(virtualKeyCode, withModifiers))
        ToolButton1Click();
}

void TForm1::Timer1Timer() {
    // Redrawing is not held during the pass: it takes microseconds, and releasing it would
    // repaint the whole window every second.
    core_.tick();
    RefreshWorldClock();
}

void TForm1::Timer2Timer() {
    core_.monitor().Timer2Timer();
    const StatusDisplay& shown = core_.monitor().display();
    TForm1Ui::setPanelText(ui_.panels[0], shown.panel0);
    ui_.panels[1]->setText(shown.panel1);
    TrayIcon1->setMuted(shown.trayImage == 1);
    TrayIcon1->setToolTip(shown.tooltip);
}

void TForm1::refreshPresetCaptions() {
    for (int slot = 1; slot <= Presets::kSlots; ++slot)
        ui_.presetItems[size_t(slot - 1)]->setText(core_.presets().caption(slot));
}

void TForm1::PopupMenu3Popup() {
    if (core_.fields().play) {
        core_.presets().Loadradio();
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
    ui_.DBGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui_.TreeView1->topLevelItem(0)->setExpanded(true);
    core_.loadAtShow();
    refreshPresetCaptions();
    // The status bar says the daily action is armed whenever the file says so: then it is.
    if (core_.options().mission)
        powerTimerOn(true);
    core_.recoverRecordings();
    core_.reportAbsence();
    services_.hotKey.registerKey(core_.options().muteHotKey);
    Startcheck();
    core_.volume().setShowHint();
    ui_.gauge->setToolTip(core_.volume().barHint());
    CheckRecordFolder();
    core_.startAtShow(startAddress_.isEmpty());
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->ignore();
    // Without a tray there would be no way back to a hidden window: closing then ends the program.
    if (!services_.core.desktop.hasSystemTray()) {
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
    // The window adds the small window that says the recordings are being saved.
    if (!core_.quit([this] { waitUntilSaved(core_.encoder().pipeline(), this); }))
        return;
    // Not QApplication::quit(): it first asks the windows to close, and this one declines (it
    // hides in the tray), which cancelled the quit and left the program running unseen.
    services_.endRun();
}
