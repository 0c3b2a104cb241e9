// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PowerActions.h"

#include <QDBusConnection>
#include <QDBusMessage>

bool LogindPowerActions::call(const char* method) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QLatin1String(method));
    message << false;  // not interactive: no password prompt
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, 10000);
    lastError_ = reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage() : QString();
    return reply.type() == QDBusMessage::ReplyMessage;
}
