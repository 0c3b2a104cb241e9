// SPDX-License-Identifier: GPL-3.0-or-later
// The global mute key on a real X server: grabbed keys, xdotool presses, another client's grab.
#include "app/TForm1.h"
#include "platform/X11HotKey.h"
#include "setting/TForm2.h"
#include "support/FakeCoreServices.h"
#include "support/TestHelpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

// Last: Xlib's macros (None, Bool, KeyPress…) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

void xdotool(const QStringList& keys) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + keys);
    ASSERT_TRUE(p.waitForFinished(10000)) << "xdotool did not finish";
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

// Another X client, for keys that someone else holds.
class OtherClient {
  public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)), display_(XOpenDisplay(nullptr)) {}
    ~OtherClient() {
        XCloseDisplay(display_);
        xcb_disconnect(connection_);
    }
    bool grab(KeySym keysym) {
        const auto keycode = quint8(XKeysymToKeycode(display_, keysym));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        xcb_generic_error_t* error = xcb_request_check(
            connection_, xcb_grab_key_checked(connection_, 1, root, 0, keycode, XCB_GRAB_MODE_ASYNC,
                                              XCB_GRAB_MODE_ASYNC));
        free(error);
        return error == nullptr;
    }

  private:
    xcb_connection_t* connection_;
    Display* display_;
};

}  // namespace

TEST(X11HotKey, GrabsTheKeyWhateverTheLockKeysAndIgnoresModifiers) {
    X11HotKey hotKey;
    QList<std::pair<int, bool>> presses;
    QObject::connect(&hotKey, &HotKey::pressed, [&](int key, bool mods) {
        presses.append({key, mods});
    });
    EXPECT_FALSE(hotKey.registerKey(0));
    EXPECT_TRUE(hotKey.registerKey(116));   // F5
    EXPECT_FALSE(hotKey.registerKey(116));  // already registered

    xdotool({QStringLiteral("F5")});
    ASSERT_TRUE(waitFor([&] { return !presses.isEmpty(); }, 5000));
    EXPECT_EQ(presses.takeFirst(), std::make_pair(116, false));

    xdotool({QStringLiteral("Num_Lock"), QStringLiteral("F5"), QStringLiteral("Num_Lock")});
    EXPECT_TRUE(waitFor([&] { return !presses.isEmpty(); }, 5000));
    presses.clear();

    xdotool({QStringLiteral("shift+F5")});
    EXPECT_FALSE(waitFor([&] { return !presses.isEmpty(); }, 700));

    OtherClient other;
    ASSERT_TRUE(other.grab(XK_F6));
    EXPECT_FALSE(hotKey.registerKey(117));  // F6 is someone else's
}

TEST(X11HotKey, GivesTheKeyBackWhenItGoes) {
    {
        X11HotKey hotKey;
        ASSERT_TRUE(hotKey.registerKey(118));  // F7
        OtherClient meanwhile;
        EXPECT_FALSE(meanwhile.grab(XK_F7));
    }
    OtherClient after;
    EXPECT_TRUE(after.grab(XK_F7));
}

TEST(X11HotKey, TheMainWindowMutesWithTheChosenKey) {
    QTemporaryDir folder;
    {
        StationTable table(folder.filePath(QStringLiteral("rd.cds")));
        table.append(
            StationRow::station(QStringLiteral("A"), {}, {}, {}, QStringLiteral("http://a")));
        table.commitAndSave();
    }
    FakeCoreServices fakes;
    FakeNotifications notifications;
    X11HotKey hotKey;
    const TForm1Services services{.core = fakes.coreServices(folder.path()),
                                  .hotKey = hotKey,
                                  .notifications = notifications};
    FakeMediaPlayer& player = fakes.player;
    const QByteArray record = "[info]\nrecord=" + QFile::encodeName(folder.path()) + "\n";
    ASSERT_TRUE(writeFile(folder.filePath(QStringLiteral("option.ini")), record));
    {
        TForm1 window(folder.path(), services);
        window.show();  // no key chosen: every function key is still free for others
        OtherClient other;
        for (KeySym key = XK_F2; key <= XK_F12; ++key)
            EXPECT_TRUE(other.grab(key)) << "F" << (key - XK_F1 + 1) << " is grabbed";
    }

    ASSERT_TRUE(
        writeFile(folder.filePath(QStringLiteral("option.ini")), record + "mute=3\n"));  // F5
    TForm1 window(folder.path(), services);
    window.show();
    player.state = MediaPlayer::kPlaying;
    xdotool({QStringLiteral("F5")});
    EXPECT_TRUE(waitFor([&] { return player.muted; }, 5000));
    xdotool({QStringLiteral("F5")});
    EXPECT_TRUE(waitFor([&] { return !player.muted; }, 5000));
    xdotool({QStringLiteral("shift+F5")});
    EXPECT_FALSE(waitFor([&] { return player.muted; }, 700));
    player.state = MediaPlayer::kBuffering;
    xdotool({QStringLiteral("F5")});
    EXPECT_FALSE(waitFor([&] { return player.muted; }, 700));
    window.hide();  // hidden in the tray, the key still works
    player.state = MediaPlayer::kStopped;
    xdotool({QStringLiteral("F5")});
    EXPECT_TRUE(waitFor([&] { return player.muted; }, 5000));
}
