// SPDX-License-Identifier: GPL-3.0-or-later
// Network time against a DAYTIME server on loopback, and the world clock.
#include "online/NetworkTime.h"
#include "online/WorldClock.h"
#include "support/DaytimeServer.h"
#include "support/FakeSystemClock.h"
#include "support/FakeTimeSource.h"
#include "support/PrivateHome.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QByteArray kNist = "\n55927 12-01-01 02:03:04 00 0 0 150.0 UTC(NIST) * \r\n";

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), QTimeZone::utc());
}

QDateTime in(const char* zone, const QDateTime& instant) {
    return instant.toTimeZone(QTimeZone(zone));
}

class Sync : public ::testing::Test {
  protected:
    // Runs a synchronisation to its end (bounded); the balloon it ended with.
    QString run() {
        balloons.clear();
        sync.ToolButton10Click();
        waitFor([this] { return !balloons.isEmpty(); }, 10000);
        return balloons.value(0);
    }

    FakeSystemClock clock;
    FakeTimeSource time;
    QStringList balloons;
    int refreshes = 0;
    NetworkTime sync{clock,
                     time,
                     {.balloon =
                          [this](const QString& title, const QString& text, bool error) {
                              balloons
                                  << (error ? QStringLiteral("error|") : QStringLiteral("info|")) +
                                         title + u'|' + text;
                          },
                      .refreshWorldClock = [this] { ++refreshes; }}};
};

}  // namespace

TEST(DaytimeReply, IsReadByItsColumnsAsAnInstantInUtc) {
    EXPECT_EQ(NetworkTime::parseReply(kNist), utc(2012, 1, 1, 2, 3, 4, 150));
    // In China Standard Time that is 10:03:04.150; across midnight, a month's and a year's end.
    EXPECT_EQ(in("Asia/Shanghai", *NetworkTime::parseReply(kNist)).toString(Qt::ISODateWithMs),
              QStringLiteral("2012-01-01T10:03:04.150+08:00"));
    const auto local = [](const QByteArray& reply) {
        return in("Asia/Shanghai", NetworkTime::parseReply(reply).value_or(QDateTime()))
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    EXPECT_EQ(local("55956 12-01-30 17:00:00 00 0 0 000.0 UTC(NIST) *"), "2012-01-31 01:00:00");
    EXPECT_EQ(local("55957 12-01-31 16:30:00 00 0 0 000.0 UTC(NIST) *"), "2012-02-01 00:30:00");
    EXPECT_EQ(local("56292 12-12-31 23:59:59 00 0 0 999.9 UTC(NIST) *"), "2013-01-01 07:59:59");
    // Where daylight saving time is in effect the instant is still right: summer in Berlin.
    EXPECT_EQ(in("Europe/Berlin",
                 *NetworkTime::parseReply("56123 12-07-15 12:00:00 50 0 0 100.0 UTC(NIST) *"))
                  .time(),
              QTime(14, 0, 0, 100));

    // Two digits before the decimal point leave no three digits in columns 32 to 34.
    EXPECT_EQ(NetworkTime::parseReply("55927 12-01-01 02:03:04 00 0 0 50.0 UTC(NIST) *"),
              std::nullopt);
    EXPECT_EQ(NetworkTime::parseReply("55927 12-01-01 02:03:04"), std::nullopt);
    EXPECT_EQ(NetworkTime::parseReply("55927 12-13-01 02:03:04 00 0 0 150.0 UTC(NIST) *"),
              std::nullopt);
    EXPECT_EQ(NetworkTime::parseReply(QByteArray()), std::nullopt);
}

TEST_F(Sync, SetsTheClockToTheServersInstantAndSaysSo) {
    DaytimeServer server(kNist);
    const QString balloon = run();
    EXPECT_TRUE(
        balloon.startsWith(QStringLiteral("info|Corvinatone 2.21 提示|时间同步成功,现在时间是: ")))
        << balloon.toStdString();
    EXPECT_TRUE(balloon.endsWith(QStringLiteral(" 12:00:00"))) << balloon.toStdString();
    EXPECT_EQ(clock.set, QList<QDateTime>{utc(2012, 1, 1, 2, 3, 4, 150)});
    EXPECT_EQ(refreshes, 1);
    EXPECT_FALSE(sync.busy());
}

TEST_F(Sync, EveryFailureEndsInTheErrorBalloonAndLeavesTheClock) {
    const QString failed =
        QStringLiteral("error|Corvinatone 2.21 提示|时间同步错误！请检查是否联网或稍后再试！");
    {
        DaytimeServer server("55927 12-01-01 02:03:04 00 0 0 50.0 UTC(NIST) *\r\n");
        EXPECT_EQ(run(), failed);
    }
    {
        DaytimeServer server("55927 12-01");
        EXPECT_EQ(run(), failed);
    }
    {
        DaytimeServer silent{QByteArray()};  // answers nothing: the time-out ends it
        sync.setTimeoutMsecs(300);
        EXPECT_EQ(run(), failed);
        sync.setTimeoutMsecs(10000);
    }
    {
        QTcpServer closed;  // a port nobody listens on
        closed.listen(QHostAddress::LocalHost);
        const quint16 port = closed.serverPort();
        closed.close();
        qputenv("CORVINATONE_TIME_SERVER", "127.0.0.1:" + QByteArray::number(port));
        EXPECT_EQ(run(), failed);
        PrivateHome::keepOffline();
    }
    {
        DaytimeServer server(kNist);
        clock.refusal = QStringLiteral("Interactive authentication required.");
        EXPECT_EQ(run(), failed);
    }
    EXPECT_TRUE(clock.set.isEmpty());
    EXPECT_EQ(refreshes, 0);
}

TEST(Servers, TheTimeServerIsASettingWithADefault) {
    qunsetenv("CORVINATONE_TIME_SERVER");
    EXPECT_EQ(NetworkTime::server(), (std::pair<QString, quint16>{"time.nist.gov", 13}));
    qputenv("CORVINATONE_TIME_SERVER", "time.example:1313");
    EXPECT_EQ(NetworkTime::server(), (std::pair<QString, quint16>{"time.example", 1313}));
    qputenv("CORVINATONE_TIME_SERVER", "time.example");
    EXPECT_EQ(NetworkTime::server(), (std::pair<QString, quint16>{"time.example", 13}));
    PrivateHome::keepOffline();
}

TEST(WorldClockCaptions, ShowEachCityAtItsFixedOffset) {
    EXPECT_EQ(WorldClock::cityNames().first(), QStringLiteral("罗马"));
    EXPECT_EQ(WorldClock::cityNames().size(), 15);
    const QStringList at930 = WorldClock::captions(QDateTime(QDate(2026, 12, 9), QTime(9, 30, 59)));
    EXPECT_EQ(at930[0], QStringLiteral("罗马    02:30"));
    EXPECT_EQ(at930[8], QStringLiteral("东京    10:30"));
    EXPECT_EQ(at930[4], QStringLiteral("洛杉矶  17:30"));  // the evening before
    EXPECT_EQ(at930[3], QStringLiteral("温哥华  18:30"));
    EXPECT_EQ(at930[13], QStringLiteral("墨西哥城    19:30"));
    EXPECT_EQ(at930[14], QStringLiteral("里约热内卢  22:30"));
}
