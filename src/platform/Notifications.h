// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>

// Short messages shown by the desktop, for desktops without a system tray to show balloons.
class Notifications : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    ~Notifications() override = default;
    // Shown for two seconds. An error is no more urgent than other news: none of these messages
    // may break through the desktop's "do not disturb" or stay until dismissed.
    virtual void notify(const QString& title, const QString& text, bool error) = 0;

  signals:
    void clicked();  // the user clicked one of the messages shown
};

// Through org.freedesktop.Notifications on the session bus, with the program's icon. Each message
// is a notification of its own, so none hides another in the desktop's list. Without a
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
    bool markup_ = false;  // the server reads the text as markup: it is escaped
    QList<uint> shown_;    // the ids of the latest messages, whose clicks count
};
