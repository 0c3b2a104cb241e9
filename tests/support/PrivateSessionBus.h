// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <list>

// A property of a service on the bus, as a desktop reads it; maps (a{sv}) come as QVariantMap.
// A service in this very process answers only while events flow: QDBus::BlockWithGui.
inline QVariant busProperty(const QDBusConnection& bus, const QString& service, const QString& path,
                            const QString& interface, const QString& name,
                            QDBus::CallMode mode = QDBus::Block) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << name;
    const QDBusMessage reply = bus.call(get, mode, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    const QVariant value = reply.arguments().first().value<QDBusVariant>().variant();
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value;
}

// A session bus of the test's own: a dbus-daemon on a socket in a temporary folder, and mock
// services (python3-dbusmock templates) on it. All of it ends with the object; nothing reaches
// the tester's own session.
class PrivateSessionBus {
  public:
    PrivateSessionBus() {
        daemon_.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"),
             QStringLiteral("--print-address"),
             QStringLiteral("--address=unix:path=") + folder_.filePath(QStringLiteral("bus"))});
        if (daemon_.waitForStarted(10000) && daemon_.waitForReadyRead(10000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateSessionBus() {
        for (const QString& name : connections_)
            QDBusConnection::disconnectFromBus(name);
        for (QProcess& mock : mocks_)
            stop(mock);
        stop(daemon_);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    const QString& address() const { return address_; }
    // A connection of its own, as another program on the bus would have.
    QDBusConnection connect(const QString& name) {
        connections_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }
    // The environment of a program that is to use this bus as its session bus.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        return env;
    }
    // Starts the template's mock and waits (bounded) until its name is on the bus.
    bool startMock(const QString& templateName, const QString& serviceName) {
        QProcess& mock = mocks_.emplace_back();
        mock.setProcessEnvironment(environment());
        mock.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                    templateName});
        QDBusConnection probe = connect(QStringLiteral("probe-") + serviceName);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            if (probe.interface()->isServiceRegistered(serviceName))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

  private:
    static void stop(QProcess& process) {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    QTemporaryDir folder_;
    QProcess daemon_;
    std::list<QProcess> mocks_;
    QString address_;
    QStringList connections_;
};
