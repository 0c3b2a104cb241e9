// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the computer awake through logind, against python3-dbusmock's logind on the private
// system bus of scripts/with-test-services.
#include "platform/PowerActions.h"
#include "platform/Waker.h"
#include "support/TestHelpers.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// What logind lists as held: "what|who|why|mode" each.
QStringList inhibitors() {
    const QDBusMessage reply = QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors")));
    QStringList held;
    if (reply.type() != QDBusMessage::ReplyMessage)
        return held;
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        quint32 uid, pid;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        held << what + u'|' + who + u'|' + why + u'|' + mode;
    }
    list.endArray();
    return held;
}

}  // namespace

TEST(LogindPowerActions, HoldsOffIdleOrSleepUntilAllowedAgain) {
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS"))
        GTEST_SKIP() << "needs the logind mock of scripts/with-test-services";
    const QStringList before = inhibitors();
    LogindPowerActions power;
    using Keep = PowerActions::Keep;
    power.keepAwake(Keep::fromIdle, QStringLiteral("定时任务即将开始"));
    EXPECT_EQ(inhibitors(), before + QStringList{"idle|Corvinatone|定时任务即将开始|block"})
        << power.lastError().toStdString();
    power.keepAwake(Keep::fromSleep, QStringLiteral("正在录音"));
    power.keepAwake(Keep::fromSleep, QStringLiteral("正在录音"));  // held once, however often asked
    EXPECT_TRUE(waitFor(
        [&] {
            return inhibitors() == before + QStringList{"sleep:idle|Corvinatone|正在录音|block"};
        },
        5000))
        << inhibitors().join(u',').toStdString();
    power.allowSleep();
    EXPECT_TRUE(waitFor([&] { return inhibitors() == before; }, 5000));
}

// The real wake-up timer: armed where the system grants the capability, refused cleanly where it
// does not (as in most containers). Where this process may, the test runs again without it.
TEST(AlarmWakerTest, ArmsWhereAllowedAndSaysNoWhereNot) {
    AlarmWaker waker;
    const QDateTime inAnHour = QDateTime::currentDateTime().addSecs(3600);
    EXPECT_EQ(waker.wakeAt(inAnHour), waker.canWake());
    waker.cancel();
    std::printf("wake-up alarms %s\n", waker.canWake() ? "allowed" : "not allowed");
    if (!waker.canWake() || qEnvironmentVariableIsSet("CORVINATONE_TEST_WITHOUT_WAKE_ALARM"))
        return;
    QProcess again;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVINATONE_TEST_WITHOUT_WAKE_ALARM"), QStringLiteral("1"));
    again.setProcessEnvironment(env);
    again.start(
        QStringLiteral("setpriv"),
        {QStringLiteral("--bounding-set"), QStringLiteral("-wake_alarm"),
         QCoreApplication::applicationFilePath(),
         QStringLiteral("--gtest_filter=AlarmWakerTest.ArmsWhereAllowedAndSaysNoWhereNot")});
    if (!again.waitForStarted(10000))
        GTEST_SKIP() << "setpriv is not there to drop the capability";
    ASSERT_TRUE(again.waitForFinished(30000));
    const QString output = QString::fromUtf8(again.readAllStandardOutput());
    EXPECT_EQ(again.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("wake-up alarms not allowed")))
        << output.toStdString();
}
