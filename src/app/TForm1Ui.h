// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QRect>
#include <QString>

#include <array>

class Gauge21;
class QAction;
class QComboBox;
class QLabel;
class QMainWindow;
class QMenu;
class QRadioButton;
class QStackedWidget;
class QTableView;
class QToolButton;
class QTreeWidget;
class Banner;
class QWidget;

// The main window's controls, named as the product names them, and their layout: a fixed
// 819 × 577 client area laid out by position.
struct TForm1Ui {
    static constexpr int kWidth = 819;
    static constexpr int kHeight = 577;

    // The genre tree's items carry the browser's node code in this role.
    static constexpr int kNodeCodeRole = Qt::UserRole;

    void setupUi(QMainWindow* window);

    Banner* Image1;
    QLabel* Label1;  // white text on the banner; nothing fills it
    std::array<QToolButton*, 9>
        quickButtons;                     // left to right: SpeedButton2, 1, 7, 4, 8, 5, 6, 9, 3
    QRadioButton* RadioButton4;           // 按电台
    QRadioButton* RadioButton5;           // 按国家
    QComboBox* ComboBox1;                 // search box
    QToolButton* btn1;                    // 选项
    QToolButton* ToolButton9;             // station editor
    QToolButton* ToolButton5;             // task editor
    QToolButton* ToolButton10;            // 网络对时, city clocks menu
    QToolButton* ToolButton7;             // 随机播放, preset menu
    QToolButton* ToolButton6;             // 收藏
    QToolButton* ToolButton2;             // 播放
    QToolButton* ToolButton4;             // 停止
    QToolButton* ToolButton8;             // 开始录音
    QToolButton* ToolButton1;             // mute
    QMenu* PopupMenu3;                    // presets (assign)
    std::array<QAction*, 8> presetItems;  // N110, N27, N31, N41, N51, N61, N72, N81
    QMenu* cityClocks;
    QComboBox* ComboBox2;  // recording inputs
    Gauge21* gauge;        // volume bar
    QTreeWidget* TreeView1;
    QStackedWidget* PageControl1;
    QTableView* DBGrid1;            // station list (page 0)
    QTableView* DBGrid2;            // task list (page 1)
    std::array<QLabel*, 4> panels;  // status bar

    // The quick buttons' tooltips and the names they play, left to right.
    struct Quick {
        const char* objectName;
        const char* badge;
        QString hint;
        QString station;
        int x, width, height;
    };
    static const std::array<Quick, 9>& quickStations();
    // Where a window with this frame goes: where it is when it fits in area, otherwise moved,
    // not resized, as little as needed to lie within it (its top-left corner first).
    static QPoint placeWithin(const QRect& frame, const QRect& area);
    // One of the program's icons, by its name in data/icons.
    static QIcon icon(const char* name);
    // A round badge with a digit, for the preset items.
    static QIcon badge(int digit);
    // A panel's text, cut with "…" where it does not fit; the whole text is then its tooltip.
    static void setPanelText(QLabel* panel, const QString& text);

  private:
    // "所有电台" with the genres, 收藏夹, 用户自定义 and 电台任务 below it.
    static void fillTree(QTreeWidget* tree);
};
