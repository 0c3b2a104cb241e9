// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppInfo.h"
#include "app/AppTexts.h"
#include "app/ChineseFont.h"
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "platform/Autostart.h"
#include "platform/ConsoleDialogs.h"
#include "platform/MessageBoxDialogs.h"
#include "platform/ModulePlayer.h"
#include "platform/MprisRemote.h"
#include "platform/Notifications.h"
#include "platform/PowerActions.h"
#include "platform/ProcessKiller.h"
#include "platform/ProgramFolder.h"
#include "platform/PulseCaptureDevice.h"
#include "platform/QtDesktop.h"
#include "platform/SessionBus.h"
#include "platform/SoundServer.h"
#include "platform/SystemClock.h"
#include "platform/TerminationSignals.h"
#include "platform/TimeSource.h"
#include "platform/Waker.h"
#include "platform/WindowHotKey.h"
#include "platform/X11HotKey.h"
#include "setting/ServerAddresses.h"
#include "setting/TForm2.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = CommandLine::parse(arguments);
    if (line.outcome != CommandLine::Outcome::run) {
        std::fputs(line.output.toLocal8Bit().constData(),
                   line.outcome == CommandLine::Outcome::done ? stdout : stderr);
        return line.exitCode();
    }

    settleSessionBus();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvinatone"));
    QApplication::setApplicationVersion(AppInfo::version());
    QApplication::setApplicationDisplayName(AppInfo::title());
    // Task bars and Wayland find the program's name and icon through its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvinatone"));
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides in the tray; "退出" ends
    useChineseSansSerif();
    // The program speaks Chinese whatever the system's language: so do Qt's own buttons (OK,
    // Cancel) and the folder chooser.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // CORVINATONE_DIALOGS=console writes messages to standard error instead of showing boxes,
    // for runs without a person at the screen.
    std::unique_ptr<Dialogs> dialogs;
    if (qEnvironmentVariable("CORVINATONE_DIALOGS") == QLatin1String("console"))
        dialogs = std::make_unique<ConsoleDialogs>();
    else
        dialogs = std::make_unique<MessageBoxDialogs>();

    const QString folder = programFolder();
    // A second start hands its address to the program already running, or raises its window.
    Startup startup(*dialogs, {.programFolder = folder,
                               .downloadPage = ServerAddresses::downloadPage(),
                               .address = line.address,
                               .handOver = [](const QString& address) {
                                   return MprisRemote::handOver(QDBusConnection::sessionBus(),
                                                                address);
                               }});
    return startup.run([&] {
        // CORVINATONE_VLC_ARGS: extra libvlc options, such as "--aout=alsa".
        ModulePlayer player(
            qEnvironmentVariable("CORVINATONE_VLC_ARGS").split(u' ', Qt::SkipEmptyParts));
        ProcProcessKiller processes;
        QtDesktop desktop;
        PulseCaptureDevice capture;
        PulseSoundServer sound;
        AlarmWaker waker;
        LogindPowerActions power;
        SystemTimeSource time;
        TimedatedClock clock;
        XdgAutostart autostart;  // before the main window, whose options window uses it
        // A system-wide key on X11; elsewhere (Wayland) only while a window has the focus.
        std::unique_ptr<HotKey> hotKey;
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            hotKey = std::make_unique<X11HotKey>();
        else
            hotKey = std::make_unique<WindowHotKey>();
        MprisRemote remote(QDBusConnection::sessionBus());
        DesktopNotifications notifications(QDBusConnection::sessionBus());
        TForm1 mainWindow(folder, {.core = {.dialogs = *dialogs,
                                            .player = player,
                                            .processes = processes,
                                            .desktop = desktop,
                                            .capture = capture,
                                            .power = power,
                                            .time = time,
                                            .clock = clock,
                                            .remote = remote,
                                            .sound = sound,
                                            .waker = waker},
                                   .hotKey = *hotKey,
                                   .notifications = notifications});
        mainWindow.setOptionsWindow([&](QWidget* parent) {
            return new TForm2({.options = mainWindow.core().options(),
                               .dialogs = *dialogs,
                               .desktop = desktop,
                               .autostart = autostart,
                               .powerTimer = [&](bool on) { mainWindow.powerTimerOn(on); },
                               .checkupdate = [&] { mainWindow.checkupdate(); }},
                              parent);
        });
        // Ended by the session or a terminal: as through "退出".
        TerminationSignals termination;
        QObject::connect(&termination, &TerminationSignals::received, &mainWindow,
                         [&] { mainWindow.N2Click(); });
        // Shown from inside the event loop: the show steps may open modal windows, and "退出"
        // from one of them must end the loop, which exit() cannot do before it runs.
        QTimer::singleShot(0, &mainWindow, [&] {
            if (!line.address.isEmpty())
                mainWindow.playAtStart(line.address);
            mainWindow.show();
        });
        return QApplication::exec();
    });
}
