// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QObject>

class Desktop;
class Notifications;
class QMenu;
class QSystemTrayIcon;

// The program's icon in the system tray: the radio, or the radio crossed out while muted, with a
// tooltip and the tray menu. The status display sets both every second; the tray is told only
// when something changed, since each change makes the tray host redraw.
class TrayIcon : public QObject {
    Q_OBJECT

  public:
    TrayIcon(QMenu* menu, const Desktop& desktop, Notifications& notifications, QObject* parent);

    void show();
    void setMuted(bool muted);
    void setToolTip(const QString& text);
    // A balloon with the information (or error) icon for two seconds; without a tray, a desktop
    // notification instead. balloonClicked follows a click on either.
    void showBalloon(const QString& title, const QString& text, bool error = false);
    QSystemTrayIcon* systemTrayIcon() const { return icon_; }

  signals:
    void clicked();
    void balloonClicked();

  private:
    const Desktop& desktop_;
    Notifications& notifications_;
    QSystemTrayIcon* icon_;
    QIcon radio_, muted_;
    bool showsMuted_ = false;
};
