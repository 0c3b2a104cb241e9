// SPDX-License-Identifier: GPL-3.0-or-later
// Setting the clock through timedated, against python3-dbusmock's timedated on the private
// system bus of scripts/with-test-services.
#include "platform/SystemClock.h"
#include "support/DbusMockCalls.h"
#include "support/TestHelpers.h"

#include <QTimeZone>

#include <gtest/gtest.h>

TEST(TimedatedClock, SetsTheInstantAbsolutelyAndMayAskForAPassword) {
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS"))
        GTEST_SKIP() << "needs the timedated mock of scripts/with-test-services";
    TimedatedClock clock;
    const QDateTime instant(QDate(2012, 1, 1), QTime(2, 3, 4, 150), QTimeZone::utc());
    bool answered = false;
    QString why = QStringLiteral("no answer");
    clock.setTime(instant, [&](const QString& error) {
        answered = true;
        why = error;
    });
    ASSERT_TRUE(waitFor([&] { return answered; }, 10000));
    EXPECT_EQ(why, QString());

    QVariantList lastSetTime;
    for (const auto& call : dbusMockCalls(QStringLiteral("org.freedesktop.timedate1"),
                                          QStringLiteral("/org/freedesktop/timedate1")))
        if (call.first == QLatin1String("SetTime"))
            lastSetTime = call.second;
    ASSERT_EQ(lastSetTime.size(), 3);
    EXPECT_EQ(lastSetTime[0].toLongLong(), 1325383384150000LL);  // microseconds since 1970, UTC
    EXPECT_FALSE(lastSetTime[1].toBool());                       // absolute
    EXPECT_TRUE(lastSetTime[2].toBool());                        // interactive
}
