// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// Short messages shown by the desktop, for desktops without a system tray to show balloons.
class Notifications : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    ~Notifications() override = default;
    // Shown for two seconds, with the information or the error look.
    virtual void notify(const QString& title, const QString& text, bool error) = 0;

  signals:
    void clicked();  // the user clicked the message last shown
};

// Through org.freedesktop.Notifications on the session bus, with the program's icon. Without a
// notification server the message is dropped, as a balloon without a tray is.
class DesktopNotifications : public Notifications {
    Q_OBJECT

  public:
    static const QString kService;
    static const QString kPath;

    explicit DesktopNotifications(QDBusConnection bus, QObject* parent = nullptr);
    void notify(const QString& title, const QString& text, bool error) override;

  private slots:
    void onActionInvoked(uint id, const QString& action);

  private:
    QDBusConnection bus_;
    uint shown_ = 0;  // the id of the message shown last; it replaces the one before
};
