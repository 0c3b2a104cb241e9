// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;
class QToolButton;
class QWidget;

// The options window's controls, 403 × 408: a banner, six tabs, the station count and the two
// buttons. Built once; the window gives them their behaviour.
struct TForm2Ui {
    void setupUi(QDialog* form);
    // The format button's picture: 0 MP3, 1 WMA.
    static QIcon formatIcon(int style);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet3 = nullptr;  // 录音设定
    // 设置
    QCheckBox* CheckBox1 = nullptr;  // 开机时自动启动
    QCheckBox* CheckBox3 = nullptr;  // play
    QCheckBox* CheckBox4 = nullptr;  // close
    QComboBox* ComboBox1 = nullptr;  // mute key
    // 附加功能
    QCheckBox* CheckBox2 = nullptr;  // mission
    QTimeEdit* DateTimePicker1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // 关闭电脑
    QRadioButton* RadioButton2 = nullptr;  // 电脑待机
    QRadioButton* RadioButton3 = nullptr;  // 电脑休眠
    QButtonGroup* kindGroup = nullptr;     // their ids are the values of kind
    // 录音设定
    QLineEdit* Edit1 = nullptr;           // record
    QToolButton* SpeedButton4 = nullptr;  // 选择目录
    QToolButton* SpeedButton6 = nullptr;  // 打开目录
    QComboBox* ComboBox2 = nullptr;       // style
    QToolButton* ToolButton2 = nullptr;   // the format's icon
    QCheckBox* CheckBox5 = nullptr;       // open
    QLabel* Label7 = nullptr;             // 更多解答
    // 软件更新
    QCheckBox* CheckBox6 = nullptr;  // update
    QPushButton* BitBtn1 = nullptr;  // 立即检查
    QLineEdit* Edit2 = nullptr;      // db
    QCheckBox* CheckBox7 = nullptr;  // updatedb
    // 个性化定制--捐赠
    QToolButton* SpeedButton1 = nullptr;  // 支付宝
    QToolButton* SpeedButton8 = nullptr;  // 财付通
    QLabel* Label1 = nullptr;             // 支付宝 account
    QLabel* Label8 = nullptr;             // 财付通 account
    QPushButton* btnButton3 = nullptr;    // 申请个性版本
    // 关于
    QLabel* LinkLabel1 = nullptr;
    QLabel* LinkLabel2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;  // QQ
    QToolButton* SpeedButton3 = nullptr;  // 官网
    QToolButton* SpeedButton7 = nullptr;  // 腾讯微博
    QToolButton* SpeedButton5 = nullptr;  // 新浪微博
    // Below the tabs.
    QLabel* stationCount = nullptr;
    QPushButton* Button2 = nullptr;  // 保存
    QPushButton* Button1 = nullptr;  // 关闭

  private:
    QWidget* buildSettingsTab();
    QWidget* buildExtrasTab();
    QWidget* buildRecordingTab();
    QWidget* buildUpdateTab();
    QWidget* buildDonationTab();
    QWidget* buildAboutTab();
};
