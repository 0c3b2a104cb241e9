// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QAction;
class QMenu;
class QWidget;

// The tray icon's menu, "PopupMenu1": its items, captions and names as the product has them; what
// each item does comes from the window.
class TrayMenu : public QObject {
    Q_OBJECT

  public:
    struct Actions {
        std::function<void()> show;           // 显示主界面
        std::function<void()> timeSync;       // 网络对时
        std::function<void()> updateNow;      // 立即更新
        std::function<void(int)> playPreset;  // 预置电台 1 to 8
        std::function<void()> volumeUp, volumeDown;
        std::function<void()> play, stop, previous, next, random;
        std::function<void()> settings;     // 设置...
        std::function<void()> sponsor;      // 赞助作者...
        std::function<void()> exit;         // 退出
        std::function<void()> aboutToShow;  // PopupMenu1Popup
    };

    TrayMenu(Actions actions, QWidget* parent);

    QMenu* menu() const { return menu_; }
    // The preset submenu's captions, copied from the preset menu each time the menu opens.
    void setPresetCaption(int slot, const QString& caption);

  private:
    Actions actions_;
    QMenu* menu_;
    std::array<QAction*, 8> presetItems_{};
};
