// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the computer awake through logind, against python3-dbusmock's logind on the private
// system bus of scripts/with-test-services.
#include "platform/PowerActions.h"
#include "support/TestHelpers.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>

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
