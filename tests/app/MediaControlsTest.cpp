// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's media controls (MPRIS) and notifications, on a session bus of the test's own: the
// main window with a fake player, driven and read through the bus as a desktop would.
#include "app/Gauge21.h"
#include "app/TForm1Ui.h"
#include "app/TrayIcon.h"
#include "platform/MprisRemote.h"
#include "platform/Notifications.h"
#include "support/DbusMockCalls.h"
#include "support/MainWindowFixture.h"
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <memory>

namespace {

// Receives PropertiesChanged of the player as a desktop's sound menu does.
class ChangeWatch : public QObject {
    Q_OBJECT

  public slots:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList&) {
        if (interface == MprisRemote::kPlayerInterface)
            seen << properties;
    }

  public:
    QList<QVariantMap> seen;
};

class MediaControls : public MainWindow {
  protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
        mpris = std::make_unique<MprisRemote>(bus.connect(QStringLiteral("corvinatone")));
        ASSERT_TRUE(mpris->registered());
        remote = mpris.get();
        MainWindow::SetUp();
        client.connect(MprisRemote::kService, MprisRemote::kPath,
                       QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), &watch,
                       SLOT(changed(QString, QVariantMap, QStringList)));
    }
    void TearDown() override {  // the window goes before the controls it uses
        window.reset();
        mpris.reset();
    }

    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            MprisRemote::kService, MprisRemote::kPath, interface, method);
        message.setArguments(arguments);
        // The service answers from this very thread: the call must keep the events flowing.
        const QDBusMessage reply = client.call(message, QDBus::BlockWithGui, 5000);
        QCoreApplication::processEvents();  // the request runs once control is back
        return reply;
    }
    QDBusMessage control(const QString& method, const QVariantList& arguments = {}) {
        return call(MprisRemote::kPlayerInterface, method, arguments);
    }
    QVariant property(const QString& name,
                      const QString& interface = MprisRemote::kPlayerInterface) {
        return busProperty(client, MprisRemote::kService, MprisRemote::kPath, interface, name,
                           QDBus::BlockWithGui);
    }
    QVariantMap metadata() { return property(QStringLiteral("Metadata")).toMap(); }
    QString status() { return property(QStringLiteral("PlaybackStatus")).toString(); }
    void setVolume(double volume) {
        call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
             {MprisRemote::kPlayerInterface, QStringLiteral("Volume"),
              QVariant::fromValue(QDBusVariant(volume))});
    }

    PrivateSessionBus bus;
    std::unique_ptr<MprisRemote> mpris;
    QDBusConnection client = bus.connect(QStringLiteral("desktop"));
    ChangeWatch watch;
};

}  // namespace

TEST_F(MediaControls, TheDesktopNamesTheProgramAndDrivesItsOwnCommands) {
    const QString root = MprisRemote::kRootInterface;
    EXPECT_EQ(property(QStringLiteral("Identity"), root).toString(), QStringLiteral("Corvinatone"));
    EXPECT_EQ(property(QStringLiteral("DesktopEntry"), root).toString(),
              QStringLiteral("corvinatone"));
    EXPECT_TRUE(property(QStringLiteral("CanRaise"), root).toBool());
    EXPECT_TRUE(property(QStringLiteral("SupportedMimeTypes"), root)
                    .toStringList()
                    .contains(QStringLiteral("audio/x-scpls")));
    EXPECT_TRUE(property(QStringLiteral("CanGoNext")).toBool());
    EXPECT_EQ(status(), QStringLiteral("Stopped"));
    EXPECT_TRUE(metadata().isEmpty());  // nothing played yet

    // Play is the play button: the current row plays, and the desktop sees it and its address.
    control(QStringLiteral("Play"));
    ASSERT_TRUE(player.calls.contains(QStringLiteral("Play")));
    EXPECT_EQ(status(), QStringLiteral("Playing"));
    const QString first = player.URL();
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:title")).toString(),
              window->core().fields().title3);
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:url")).toString(), first);
    EXPECT_TRUE(waitFor([&] { return !watch.seen.isEmpty(); }, 5000));
    EXPECT_EQ(watch.seen.last().value(QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Playing"));

    // What the station says it plays becomes the title; the station stays as the album.
    player.song = QStringLiteral("歌手 - 一首歌");
    window->Timer1Timer();
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:title")).toString(), player.song);
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:album")).toString(),
              window->core().fields().title3);
    window->Timer2Timer();
    EXPECT_TRUE(ui().panels[0]->text().endsWith(QStringLiteral(" - 歌手 - 一首歌")))
        << ui().panels[0]->text().toStdString();
    // A title too long for the panel ends in "…"; the panel's tooltip has all of it.
    player.song = QStringLiteral("很长的歌名 ") + QString(80, u'x');
    window->Timer2Timer();
    EXPECT_TRUE(ui().panels[0]->text().endsWith(QChar(0x2026)))
        << ui().panels[0]->text().toStdString();
    EXPECT_TRUE(ui().panels[0]->toolTip().endsWith(player.song));
    EXPECT_TRUE(window->trayIcon()->systemTrayIcon()->toolTip().endsWith(player.song));
    player.song.clear();
    window->Timer1Timer();

    // Browsing the list while it plays changes nothing the desktop shows.
    const QVariantMap playing = metadata();
    clickRow(3);
    const QString clicked = window->core().fields().title;
    window->Timer1Timer();
    EXPECT_EQ(metadata(), playing);
    EXPECT_TRUE(playing.value(QStringLiteral("mpris:trackid")).canConvert<QDBusObjectPath>());

    // Next moves to the station after the current row and plays it; the desktop is told.
    watch.seen.clear();
    control(QStringLiteral("Next"));
    EXPECT_NE(player.URL(), first);
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:url")).toString(), player.URL());
    ASSERT_TRUE(waitFor([&] { return !watch.seen.isEmpty(); }, 5000));
    EXPECT_TRUE(watch.seen.last().contains(QStringLiteral("Metadata")));
    control(QStringLiteral("Previous"));
    EXPECT_EQ(player.URL(), clicked);  // back to the row clicked

    // Stop and PlayPause; Play while playing changes nothing.
    control(QStringLiteral("Stop"));
    EXPECT_EQ(player.calls.last(), QStringLiteral("Stop"));
    EXPECT_EQ(status(), QStringLiteral("Stopped"));
    control(QStringLiteral("PlayPause"));
    EXPECT_EQ(status(), QStringLiteral("Playing"));
    const qsizetype calls = player.calls.size();
    control(QStringLiteral("Play"));
    EXPECT_EQ(player.calls.size(), calls);
    control(QStringLiteral("PlayPause"));
    EXPECT_EQ(status(), QStringLiteral("Stopped"));
}

TEST_F(MediaControls, VolumeAndMuteFollowEachOtherBothWays) {
    // The player's volume, which the bar does not show at start.
    const QVariant volume = property(QStringLiteral("Volume"));
    EXPECT_EQ(volume.typeId(), QMetaType::Double);  // "d", as the desktops read it
    EXPECT_DOUBLE_EQ(volume.toDouble(), 0.5);
    setVolume(0.3);
    EXPECT_EQ(ui().gauge->value(), 30);
    EXPECT_EQ(player.volume, 30);

    // Muted in the window: the desktop's slider shows nothing; raising it there ends the mute.
    window->ToolButton1Click();
    window->Timer1Timer();
    EXPECT_DOUBLE_EQ(property(QStringLiteral("Volume")).toDouble(), 0.0);
    setVolume(0.5);
    EXPECT_FALSE(player.muted);
    EXPECT_EQ(window->core().volume().muteTag(), 0);
    EXPECT_EQ(ui().gauge->value(), 50);

    window->N18Click();  // the tray's volume down
    window->Timer1Timer();
    EXPECT_DOUBLE_EQ(property(QStringLiteral("Volume")).toDouble(), 0.4);
    setVolume(7.0);  // out of range: the top
    EXPECT_EQ(ui().gauge->value(), 100);
}

TEST_F(MediaControls, RaiseShowsTheHiddenWindowOpenUriPlaysAndQuitEnds) {
    window->close();  // into the tray
    ASSERT_FALSE(window->isVisible());
    call(MprisRemote::kRootInterface, QStringLiteral("Raise"));
    EXPECT_TRUE(window->isVisible());

    // Only what the player opens: anything else changes nothing.
    const QStringList before = player.calls;
    for (const char* other : {"javascript:alert(1)", "ftp://127.0.0.1/x.mp3", "no address"})
        control(QStringLiteral("OpenUri"), {QString::fromUtf8(other)});
    EXPECT_EQ(player.calls, before);
    const QString address = QStringLiteral("http://127.0.0.1:9/list.pls");
    control(QStringLiteral("OpenUri"), {address});
    EXPECT_EQ(player.URL(), address);
    window->Timer2Timer();
    EXPECT_TRUE(ui().panels[0]->text().endsWith(address)) << ui().panels[0]->text().toStdString();
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:url")).toString(), address);

    call(MprisRemote::kRootInterface, QStringLiteral("Quit"));
    EXPECT_EQ(runEnded, 1);
}

TEST(DesktopNotifications, ABalloonWithoutATrayReachesTheNotificationServerAndItsClickComesBack) {
    PrivateSessionBus bus;
    ASSERT_TRUE(
        bus.startMock(QStringLiteral("notification_daemon"), DesktopNotifications::kService));
    QDBusConnection server = bus.connect(QStringLiteral("reader"));
    const auto notified = [&] {
        auto calls =
            dbusMockCalls(DesktopNotifications::kService, DesktopNotifications::kPath, server);
        calls.removeIf([](const auto& call) { return call.first != QLatin1String("Notify"); });
        return calls;
    };
    FakeDesktop desktop;
    DesktopNotifications notifications(bus.connect(QStringLiteral("corvinatone")));
    QMenu menu;
    TrayIcon tray(&menu, desktop, notifications, nullptr);
    QSignalSpy clicked(&tray, &TrayIcon::balloonClicked);

    tray.showBalloon(QStringLiteral("Corvinatone 2.21"), QStringLiteral("电台列表已更新"));
    QTest::qWait(300);
    EXPECT_TRUE(notified().isEmpty());  // the tray shows it

    // Without a tray: a notification each, none replacing another; the server reads markup,
    // so a station's "&" is escaped.
    desktop.tray = false;
    tray.showBalloon(QStringLiteral("网络对时"), QStringLiteral("对时失败"), true);
    tray.showBalloon(QStringLiteral("计划任务"), QStringLiteral("已启动 -- 播放 Rock & Roll"));
    ASSERT_TRUE(waitFor([&] { return notified().size() == 2; }, 10000));
    const auto [method, arguments] = notified().first();
    EXPECT_EQ(method, QStringLiteral("Notify"));
    ASSERT_EQ(arguments.size(), 8);
    EXPECT_EQ(arguments[0].toString(), QStringLiteral("Corvinatone"));
    EXPECT_EQ(arguments[2].toString(), QStringLiteral("corvinatone"));  // the program's icon
    EXPECT_EQ(arguments[3].toString(), QStringLiteral("网络对时"));
    EXPECT_EQ(arguments[4].toString(), QStringLiteral("对时失败"));
    EXPECT_EQ(arguments[7].toInt(), 2000);
    const QVariantList second = notified().last().second;
    EXPECT_EQ(second[1].toUInt(), 0u);
    EXPECT_EQ(second[4].toString(), QStringLiteral("已启动 -- 播放 Rock &amp; Roll"));

    // A click on it is a click on the balloon. The server numbers its first message 1.
    QDBusMessage signal = QDBusMessage::createMethodCall(
        DesktopNotifications::kService, DesktopNotifications::kPath,
        QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
    signal << DesktopNotifications::kService << QStringLiteral("ActionInvoked")
           << QStringLiteral("us")
           << QVariantList{QVariant::fromValue(uint(1)), QStringLiteral("default")};
    EXPECT_TRUE(waitFor(
        [&] {
            server.call(signal);
            return !clicked.isEmpty();
        },
        10000));
}

#include "MediaControlsTest.moc"
