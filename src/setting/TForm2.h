// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "setting/TForm2Ui.h"

#include <QDialog>

#include <functional>

class Autostart;
class Desktop;
class Dialogs;
class OptionsStore;

// What the options window works through; the two functions reach into the main window.
struct TForm2Services {
    OptionsStore& options;
    Dialogs& dialogs;
    Desktop& desktop;
    Autostart& autostart;
    std::function<void(bool on)> powerTimer = [](bool) {};  // starts or stops Timer4
    std::function<void()> checkupdate = [] {};              // "立即检查"
};

// The options window: made at its first opening, only hidden when closed. Its controls show
// OptionsStore and write every change into it at once; "保存" also writes option.ini.
class TForm2 : public QDialog, public TForm2Ui {
    Q_OBJECT

  public:
    explicit TForm2(TForm2Services services, QWidget* parent = nullptr);

    OptionsStore& options() { return services_.options; }
    // "当前共有电台N个": set at creation and after each add or delete in the station editor.
    void setStationCountText(const QString& text);
    QString stationCountText() const;

    // Sets "开机时自动启动" to whether the log-on entry exists, writing nothing.
    void Startcheck();

    void Button2Click();    // 保存
    void Button1Click();    // 关闭
    void CheckBox1Click();  // 开机时自动启动
    void CheckBox2Click();  // 您需要做
    void ComboBox1Change(int index);
    void ComboBox2Change(int index);
    void ToolButton2Click();
    void SpeedButton1Click();  // 支付宝
    void SpeedButton2Click();  // QQ
    void SpeedButton3Click();  // 官网
    void SpeedButton4Click();  // 选择目录
    void SpeedButton5Click();  // 新浪微博, 更多解答
    void SpeedButton6Click();  // 打开目录
    void SpeedButton7Click();  // 腾讯微博
    void SpeedButton8Click();  // 财付通
    void BitBtn1Click();       // 立即检查
    void Label1Click();
    void Label8Click();
    void Label7MouseEnter();
    void Label7MouseLeave();
    void btnButton3Click();  // 申请个性版本
    void LinkLabel1Click();
    void LinkLabel2Click();

    // The folder chooser: a title, no folder preselected; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& title)> chooseFolder;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void wireControls();
    // Every control from the store, as a load leaves it; changes nothing in the store.
    void showOptions();
    void showMission(bool mission);
    void showFormat(int style);
    // The folder field names an existing folder; otherwise says so and leads there.
    bool recordFolderSet();
    void openLink(const QUrl& url);
    // Runs a handler; a failure is shown as the event loop's general error report would.
    void guarded(const std::function<void()>& handler);

    TForm2Services services_;
    int shownFormat_ = 0;  // the format the button shows
};
