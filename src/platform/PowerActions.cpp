// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PowerActions.h"

#include "AppInfo.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {

QDBusMessage managerCall(const char* method) {
    return QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QLatin1String(method));
}

}  // namespace

void LogindPowerActions::keepAwake(Keep keep, const QString& why) {
    if (inhibitor_.isValid() && held_ == keep)
        return;
    QDBusMessage message = managerCall("Inhibit");
    message << (keep == Keep::fromSleep ? QStringLiteral("sleep:idle") : QStringLiteral("idle"))
            << AppInfo::name() << why << QStringLiteral("block");
    // Answered at once by logind; the window waits no longer than this for one that is stuck.
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        lastError_ = reply.errorMessage();
        return;
    }
    // The new one first, then the old one goes: never a moment without.
    inhibitor_ = reply.arguments().first().value<QDBusUnixFileDescriptor>();
    held_ = keep;
}

bool LogindPowerActions::call(const char* method) {
    QDBusMessage message = managerCall(method);
    message << false;  // not interactive: no password prompt
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, 10000);
    lastError_ = reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage() : QString();
    return reply.type() == QDBusMessage::ReplyMessage;
}
