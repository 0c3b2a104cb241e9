// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Notifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

const QString DesktopNotifications::kService = QStringLiteral("org.freedesktop.Notifications");
const QString DesktopNotifications::kPath = QStringLiteral("/org/freedesktop/Notifications");

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject* parent)
    : Notifications(parent), bus_(std::move(bus)) {
    if (!bus_.isConnected())
        return;
    bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                 SLOT(onActionInvoked(uint, QString)));
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(QDBusMessage::createMethodCall(kService, kPath, kService,
                                                      QStringLiteral("GetCapabilities"))),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        const QDBusPendingReply<QStringList> reply = *watcher;
        markup_ = !reply.isError() && reply.value().contains(QStringLiteral("body-markup"));
        watcher->deleteLater();
    });
}

void DesktopNotifications::notify(const QString& title, const QString& text, bool) {
    if (!bus_.isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("corvinatone")},
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
    };
    // A station's name may hold "&" or "<".
    const QString body = markup_ ? text.toHtmlEscaped() : text;
    // The default action is a click on the message itself.
    call << QStringLiteral("Corvinatone") << uint(0) << QStringLiteral("corvinatone") << title
         << body << QStringList{QStringLiteral("default"), title} << hints << 2000;
    // Never waited for: a slow or missing server must not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        const QDBusPendingReply<uint> reply = *watcher;
        if (!reply.isError()) {
            shown_.append(reply.value());
            if (shown_.size() > 16)
                shown_.removeFirst();
        }
        watcher->deleteLater();
    });
}

void DesktopNotifications::onActionInvoked(uint id, const QString& action) {
    if (shown_.contains(id) && action == QLatin1String("default"))
        emit clicked();
}
