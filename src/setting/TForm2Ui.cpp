// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/TForm2Ui.h"

#include "setting/Banner.h"
#include "setting/MakerLinks.h"
#include "setting/OptionsStore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 403;
constexpr int kHeight = 408;
constexpr int kRecordingTab = 2;

QIcon icon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QToolButton* toolButton(const char* name, const QString& text, const QString& hint) {
    auto* button = named(new QToolButton, name);
    button->setText(text);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QGroupBox* group(const QString& title, QLayout* layout) {
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

QPlainTextEdit* readOnlyText(const QString& text) {
    auto* memo = new QPlainTextEdit(text);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return memo;
}

// The main window's recording-input list with the monitor of the default output chosen: what
// the desktop calls the stereo mix.
QPixmap inputPicture() {
    QComboBox box;
    box.setAttribute(Qt::WA_DontShowOnScreen);
    box.addItem(QStringLiteral("Monitor of Built-in Audio Analog Stereo"));
    box.resize(box.sizeHint().width(), 22);
    return box.grab();
}

}  // namespace

QIcon TForm2Ui::formatIcon(int style) {
    return icon(style == 1 ? "format-wma" : "format-mp3");
}

void TForm2Ui::setupUi(QDialog* form) {
    form->setObjectName(QStringLiteral("TForm2"));
    form->setWindowTitle(QStringLiteral("选项"));
    form->setFixedSize(kWidth, kHeight);

    new Banner(form, kWidth);

    PageControl1 = named(new QTabWidget(form), "PageControl1");
    PageControl1->setGeometry(6, Banner::kHeight + 6, kWidth - 12, 310);
    // Six tabs across a narrow window: the style's wide padding would push the last one out.
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    PageControl1->addTab(buildSettingsTab(), QStringLiteral("设置"));
    PageControl1->addTab(buildExtrasTab(), QStringLiteral("附加功能"));
    TabSheet3 = buildRecordingTab();
    PageControl1->addTab(TabSheet3, QStringLiteral("录音设定"));
    PageControl1->addTab(buildUpdateTab(), QStringLiteral("软件更新"));
    PageControl1->addTab(buildDonationTab(), QStringLiteral("个性化定制--捐赠"));
    PageControl1->addTab(buildAboutTab(), QStringLiteral("关于"));
    PageControl1->setCurrentIndex(kRecordingTab);  // later openings keep the tab last shown

    const int bottom = PageControl1->geometry().bottom() + 6;
    stationCount = named(new QLabel(form), "stationCount");
    stationCount->setGeometry(10, bottom + 3, 220, 22);
    Button2 = named(new QPushButton(QStringLiteral("保存"), form), "Button2");
    Button2->setGeometry(kWidth - 163, bottom, 75, 28);
    Button1 = named(new QPushButton(QStringLiteral("关闭"), form), "Button1");
    Button1->setGeometry(kWidth - 82, bottom, 75, 28);
}

QWidget* TForm2Ui::buildSettingsTab() {
    CheckBox1 = named(new QCheckBox(QStringLiteral("开机时自动启动")), "CheckBox1");
    CheckBox3 = named(new QCheckBox(QStringLiteral("开机后自动随机播放电台")), "CheckBox3");
    CheckBox3->setToolTip(QStringLiteral("由于网络及电台资源原因，可能会出现部分延迟。请耐心等待"));
    auto* start = new QVBoxLayout;
    start->addWidget(CheckBox1);
    start->addWidget(CheckBox3);

    CheckBox4 = named(new QCheckBox(QStringLiteral("播放时强制关闭下载工具")), "CheckBox4");
    auto* playing = new QVBoxLayout;
    playing->addWidget(CheckBox4);

    ComboBox1 = named(new QComboBox, "ComboBox1");
    for (int key = 2; key <= 12; ++key)
        ComboBox1->addItem(QStringLiteral("F%1").arg(key));
    auto* other = new QHBoxLayout;
    other->addWidget(new QLabel(QStringLiteral("静音快捷键设置")));
    other->addWidget(ComboBox1);
    other->addWidget(new QLabel(QStringLiteral("(* 下次启动程序时生效)")));
    other->addStretch();

    auto* page = named(new QWidget, "TabSheet1");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(QStringLiteral("启动"), start));
    layout->addWidget(group(QStringLiteral("播放控制"), playing));
    layout->addWidget(group(QStringLiteral("其他设置"), other));
    layout->addStretch();
    return page;
}

QWidget* TForm2Ui::buildExtrasTab() {
    auto* page = named(new QWidget, "TabSheet2");
    CheckBox2 = named(new QCheckBox(QStringLiteral("您需要做")), "CheckBox2");
    DateTimePicker1 = named(new QTimeEdit, "DateTimePicker1");
    DateTimePicker1->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    auto* when = new QHBoxLayout;
    when->addWidget(CheckBox2);
    when->addWidget(DateTimePicker1);
    when->addStretch();

    RadioButton1 = named(new QRadioButton(OptionsStore::powerActionCaption(0)), "RadioButton1");
    RadioButton2 = named(new QRadioButton(OptionsStore::powerActionCaption(1)), "RadioButton2");
    RadioButton3 = named(new QRadioButton(OptionsStore::powerActionCaption(2)), "RadioButton3");
    kindGroup = new QButtonGroup(page);
    auto* kind = new QHBoxLayout;
    int id = 0;
    for (QRadioButton* choice : {RadioButton1, RadioButton2, RadioButton3}) {
        kindGroup->addButton(choice, id++);
        kind->addWidget(choice);
    }
    auto* kindBox = group(QStringLiteral("任务类型"), kind);
    kindBox->setMinimumHeight(64);  // keeps its size while the choices are hidden

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(QStringLiteral("执行时间"), when));
    layout->addWidget(kindBox);
    layout->addStretch();
    return page;
}

QWidget* TForm2Ui::buildRecordingTab() {
    Edit1 = named(new QLineEdit, "Edit1");
    SpeedButton4 = toolButton("SpeedButton4", QString(), QStringLiteral("选择目录"));
    SpeedButton4->setIcon(icon("folder-choose"));
    SpeedButton6 = toolButton("SpeedButton6", QString(), QStringLiteral("打开目录"));
    SpeedButton6->setIcon(icon("folder-open"));
    auto* folder = new QHBoxLayout;
    folder->addWidget(new QLabel(QStringLiteral("设置存放目录:")));
    folder->addWidget(Edit1, 1);
    folder->addWidget(SpeedButton4);
    folder->addWidget(SpeedButton6);

    ComboBox2 = named(new QComboBox, "ComboBox2");
    ComboBox2->addItems({QStringLiteral("Mp3"), QStringLiteral("Wma")});
    ToolButton2 = named(new QToolButton, "ToolButton2");
    ToolButton2->setIconSize(QSize(20, 20));
    ToolButton2->setAutoRaise(true);
    ToolButton2->setCursor(Qt::PointingHandCursor);
    CheckBox5 = named(new QCheckBox(QStringLiteral("录音结束后打开目录")), "CheckBox5");
    auto* format = new QHBoxLayout;
    format->addWidget(new QLabel(QStringLiteral("输出格式:")));
    format->addWidget(ComboBox2);
    format->addWidget(ToolButton2);
    format->addStretch();
    format->addWidget(CheckBox5);

    auto* memo = named(readOnlyText(QStringLiteral("把主界面的下拉框按照下图设置。如果没有“立\n"
                                                   "体声混音”选项，则很抱歉，您的机器不支\n"
                                                   "持录音功能。\n"
                                                   "PS:部分Thinkpad的笔记本可能不支持录音。")),
                       "Memo1");
    memo->setFixedHeight(4 * memo->fontMetrics().lineSpacing() + 14);
    auto* picture = named(new QLabel, "Image2");
    picture->setPixmap(inputPicture());
    Label7 = named(new QLabel(QStringLiteral("更多解答")), "Label7");
    Label7->setCursor(Qt::PointingHandCursor);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(picture);
    pictureRow->addStretch();
    pictureRow->addWidget(Label7, 0, Qt::AlignBottom);
    auto* input = new QVBoxLayout;
    input->addWidget(memo);
    input->addLayout(pictureRow);

    auto* page = named(new QWidget, "TabSheet3");
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(folder);
    layout->addWidget(group(QStringLiteral("录音配置:"), format));
    layout->addWidget(group(QStringLiteral("录音设置:"), input));
    layout->addStretch();
    return page;
}

QWidget* TForm2Ui::buildUpdateTab() {
    CheckBox6 = named(new QCheckBox(QStringLiteral("自动检查更新版本")), "CheckBox6");
    BitBtn1 = named(new QPushButton(QStringLiteral("立即检查")), "BitBtn1");
    auto* program = new QHBoxLayout;
    program->addWidget(CheckBox6);
    program->addStretch();
    program->addWidget(BitBtn1);

    Edit2 = named(new QLineEdit, "Edit2");
    Edit2->setReadOnly(true);
    Edit2->setMaximumWidth(110);
    CheckBox7 = named(new QCheckBox(QStringLiteral("自动更新")), "CheckBox7");
    auto* catalogue = new QHBoxLayout;
    catalogue->addWidget(new QLabel(QStringLiteral("电台数据库版本:")));
    catalogue->addWidget(Edit2);
    catalogue->addStretch();
    catalogue->addWidget(CheckBox7);

    auto* page = named(new QWidget, "TabSheet4");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(QStringLiteral("程序更新"), program));
    layout->addWidget(group(QStringLiteral("电台数据更新"), catalogue));
    layout->addStretch();
    return page;
}

QWidget* TForm2Ui::buildDonationTab() {
    SpeedButton1 =
        toolButton("SpeedButton1", QStringLiteral("支付宝"), QStringLiteral("进入支付宝"));
    SpeedButton8 =
        toolButton("SpeedButton8", QStringLiteral("财付通"), QStringLiteral("进入财付通"));
    Label1 = named(new QLabel(MakerLinks::alipayAccount()), "Label1");
    Label1->setToolTip(QStringLiteral("单击复制此支付宝账号"));
    Label8 = named(new QLabel(MakerLinks::tenpayAccount()), "Label8");
    Label8->setToolTip(QStringLiteral("单击复制此财付通账号"));
    auto* sponsor = new QGridLayout;
    sponsor->addWidget(SpeedButton1, 0, 0);
    sponsor->addWidget(Label1, 0, 1);
    sponsor->addWidget(SpeedButton8, 1, 0);
    sponsor->addWidget(Label8, 1, 1);
    sponsor->setColumnStretch(1, 1);
    for (QLabel* account : {Label1, Label8})
        account->setCursor(Qt::PointingHandCursor);

    auto* memo =
        named(readOnlyText(QStringLiteral("公司用户可定制：\n"
                                          "  标题栏显示贵公司的品牌文字；\n"
                                          "  背景显示贵公司的品牌图片（建议使用PNG格式）。\n"
                                          "个人用户可定制：\n"
                                          "  自己的背景图片、按钮、电台和世界时间。")),
              "Memo2");
    memo->setStyleSheet(QStringLiteral("color: red;"));
    auto* custom = new QVBoxLayout;
    custom->addWidget(memo);

    btnButton3 = named(new QPushButton(QStringLiteral("申请个性版本")), "btnButton3");

    auto* page = named(new QWidget, "TabSheet5");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(QStringLiteral("赞助作者"), sponsor));
    layout->addWidget(group(QStringLiteral("个人/ 公司 --  定制 Corvinatone OEM版"), custom), 1);
    layout->addWidget(btnButton3);
    return page;
}

QWidget* TForm2Ui::buildAboutTab() {
    auto* logo = named(new QLabel, "Image3");
    logo->setPixmap(icon("radio").pixmap(QSize(64, 64)));
    auto* name = new QLabel(QStringLiteral("Corvinatone 2.0"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    name->setFont(big);
    const auto link = [](const char* objectName, const QUrl& url, const QString& text) {
        auto* label = named(new QLabel, objectName);
        label->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                           .arg(url.toString().toHtmlEscaped(), text.toHtmlEscaped()));
        label->setToolTip(url.toString());
        return label;
    };
    LinkLabel1 = link("LinkLabel1", MakerLinks::credit1(), QStringLiteral("主界面图标作者主页"));
    LinkLabel2 = link("LinkLabel2", MakerLinks::credit2(), QStringLiteral("录音格式图标作者主页"));
    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(LinkLabel1);
    text->addWidget(LinkLabel2);
    auto* about = new QHBoxLayout;
    about->addWidget(logo, 0, Qt::AlignTop);
    about->addSpacing(12);
    about->addLayout(text, 1);

    SpeedButton2 = toolButton("SpeedButton2", QStringLiteral("QQ"), QStringLiteral("QQ联系作者"));
    SpeedButton3 = toolButton("SpeedButton3", QStringLiteral("官网"), QStringLiteral("访问官网"));
    SpeedButton7 =
        toolButton("SpeedButton7", QStringLiteral("腾讯微博"), QStringLiteral("访问腾讯微博"));
    SpeedButton5 =
        toolButton("SpeedButton5", QStringLiteral("新浪微博"), QStringLiteral("访问新浪微博"));
    auto* contact = new QHBoxLayout;
    for (QToolButton* button : {SpeedButton2, SpeedButton3, SpeedButton7, SpeedButton5})
        contact->addWidget(button);
    contact->addStretch();

    auto* page = named(new QWidget, "TabSheet6");
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(about);
    layout->addWidget(group(QStringLiteral("联系作者"), contact));
    layout->addStretch();
    return page;
}
