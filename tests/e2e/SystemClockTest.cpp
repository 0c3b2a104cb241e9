// Setting the clock through timedated, against python3-dbusmock's timedated on the private
// system bus of scripts/with-test-services.
#include "platform/SystemClock.h"
#include "support/TestHelpers.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
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

    const QDBusMessage reply = QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetCalls")));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    QVariantList lastSetTime;
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time;
        QString name;
        QVariantList arguments;
        list.beginStructure();
        list >> time >> name >> arguments;
        list.endStructure();
        if (name == QLatin1String("SetTime"))
            lastSetTime = arguments;
    }
    list.endArray();
    ASSERT_EQ(lastSetTime.size(), 3);
    EXPECT_EQ(lastSetTime[0].toLongLong(), 1325383384150000LL);  // microseconds since 1970, UTC
    EXPECT_FALSE(lastSetTime[1].toBool());                       // absolute
    EXPECT_TRUE(lastSetTime[2].toBool());                        // interactive
}
