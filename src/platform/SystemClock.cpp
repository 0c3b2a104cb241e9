// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemClock.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

void TimedatedClock::setTime(const QDateTime& instant, std::function<void(const QString&)> done) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
    call << qint64(instant.toMSecsSinceEpoch()) * 1000 << false << true;
    // Asynchronous: a password dialog of polkit may take its time, the window goes on.
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(call, 120'000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, done = std::move(done)] {
        const QDBusPendingReply<> reply = *watcher;
        done(reply.isError() ? reply.error().message() : QString());
        watcher->deleteLater();
    });
}
