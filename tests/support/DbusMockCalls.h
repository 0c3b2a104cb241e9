// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QVariantList>

#include <utility>

// The methods a python3-dbusmock service (on the system bus unless told) was called with so far,
// oldest first.
inline QList<std::pair<QString, QVariantList>> dbusMockCalls(
    const QString& service, const QString& path,
    const QDBusConnection& bus = QDBusConnection::systemBus()) {
    const QDBusMessage reply = bus.call(QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetCalls")));
    QList<std::pair<QString, QVariantList>> calls;
    if (reply.type() != QDBusMessage::ReplyMessage)
        return calls;
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time;
        QString name;
        QVariantList arguments;
        list.beginStructure();
        list >> time >> name >> arguments;
        list.endStructure();
        calls.append({name, arguments});
    }
    list.endArray();
    return calls;
}
