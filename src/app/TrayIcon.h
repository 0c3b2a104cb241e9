// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QObject>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the system tray: the radio, or the radio crossed out while muted, with a
// tooltip and the tray menu. The status display sets both every second; the tray is told only
// when something changed, since each change makes the tray host redraw.
class TrayIcon : public QObject {
    Q_OBJECT

  public:
    TrayIcon(QMenu* menu, QObject* parent);

    void show();
    void setMuted(bool muted);
    void setToolTip(const QString& text);
    // A balloon with the information (or error) icon for two seconds; nothing shows without a
    // tray.
    void showBalloon(const QString& title, const QString& text, bool error = false);
    QSystemTrayIcon* systemTrayIcon() const { return icon_; }

  signals:
    void clicked();
    void balloonClicked();

  private:
    QSystemTrayIcon* icon_;
    QIcon radio_, muted_;
    bool showsMuted_ = false;
};
