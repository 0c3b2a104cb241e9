// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TForm1Ui.h"

#include "AppInfo.h"
#include "app/Gauge21.h"
#include "app/QuickButton.h"
#include "catalogue/CatalogueBrowser.h"
#include "catalogue/CatalogueLists.h"
#include "online/WorldClock.h"
#include "setting/Banner.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kQuickBarTop = Banner::kHeight;
constexpr int kQuickBarHeight = 40;
constexpr int kToolRowTop = kQuickBarTop + kQuickBarHeight + 1;
constexpr int kToolRowHeight = 40;
constexpr int kBodyTop = kToolRowTop + kToolRowHeight + 1;
constexpr int kTreeWidth = 170;

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QFrame* line(QWidget* parent, QRect geometry, QFrame::Shape shape) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(shape);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

QToolButton* toolButton(QWidget* parent, const char* name, const char* icon, const QString& hint,
                        int& x) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(TForm1Ui::icon(icon));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setGeometry(x, 5, 31, 30);
    x += 31;
    return button;
}

QToolButton* menuButton(QWidget* parent, const char* name, const char* icon, const QString& hint,
                        QMenu* menu, int& x) {
    QToolButton* button = toolButton(parent, name, icon, hint, x);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->resize(43, 30);
    x += 12;
    return button;
}

// The lists and the tree do not jump to a row as letters or digits are typed: the digits 1 to 8
// play presets, and the favourite, previous and next buttons act on the current row.
template <typename View>
class NoTypeAhead : public View {
  public:
    using View::View;
    void keyboardSearch(const QString&) override {}
};

QTableView* list(QWidget* parent, const char* name) {
    auto* view = new NoTypeAhead<QTableView>(parent);
    view->setObjectName(QLatin1String(name));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(20);
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setWordWrap(false);
    view->setAlternatingRowColors(true);
    return view;
}

}  // namespace

const std::array<TForm1Ui::Quick, 9>& TForm1Ui::quickStations() {
    static const std::array<Quick, 9> quick = {{
        {"SpeedButton2", "BBC", QStringLiteral("英国国际广播电台"),
         QStringLiteral("BBC World Service UK"), 10, 70, 34},
        {"SpeedButton1", "CNN", QStringLiteral("美国有线新闻网"), QStringLiteral("CNN"), 100, 66,
         34},
        {"SpeedButton7", "VOA 中文", QStringLiteral("美国之音广播(中文版)"),
         QStringLiteral("Voice Of America - Chinese"), 185, 115, 34},
        {"SpeedButton4", "RAI", QStringLiteral("意大利广播电视公司"), QStringLiteral("RAI Radio 1"),
         320, 65, 34},
        {"SpeedButton8", "AJ", QStringLiteral("卡塔尔半岛电台"),
         QStringLiteral("Al Jazeera Arabic"), 402, 30, 35},
        {"SpeedButton5", "KBS", QStringLiteral("韩国广播公司"), QStringLiteral("KBS Channel 1"),
         445, 75, 34},
        {"SpeedButton6", "FNN", QStringLiteral("日本富士新闻网"), QStringLiteral("FNN-News"), 540,
         70, 34},
        {"SpeedButton9", "Europe 1", QStringLiteral("法国欧洲第一电台"), QStringLiteral("Europe 1"),
         627, 75, 34},
        {"SpeedButton3", "Canal Sur", QStringLiteral("西班牙安达卢西亚新闻台"),
         QStringLiteral("CanalSurRadio Andalucia"), 720, 78, 34},
    }};
    return quick;
}

QIcon TForm1Ui::icon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QIcon TForm1Ui::badge(int digit) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2f, 0x6f, 0xb3));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 28, 28);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(digit));
    return QIcon(pixmap);
}

void TForm1Ui::setupUi(QMainWindow* window) {
    auto* central = new QWidget(window);
    central->setObjectName(QStringLiteral("central"));
    window->setCentralWidget(central);

    Image1 = new Banner(central, kWidth);
    auto* version = new QLabel(AppInfo::version(), central);  // the version has one source
    version->setGeometry(214, 19, 60, 18);
    setTextColour(version, QColor(0xdc, 0xe8, 0xf5));
    QFont small = version->font();
    small.setPixelSize(13);
    version->setFont(small);
    Label1 = new QLabel(central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(200, 8, 400, 20);
    setTextColour(Label1, Qt::white);

    // Quick-station bar: broadcasters as text badges.
    for (size_t i = 0; i < quickButtons.size(); ++i) {
        const Quick& q = quickStations()[i];
        auto* button = new QuickButton(central);
        button->setObjectName(QLatin1String(q.objectName));
        button->setText(QString::fromUtf8(q.badge));
        button->setToolTip(q.hint);
        button->setAutoRaise(true);
        button->setGeometry(q.x, kQuickBarTop + (kQuickBarHeight - q.height) / 2, q.width,
                            q.height);
        quickButtons[i] = button;
    }
    line(central, QRect(0, kToolRowTop - 1, kWidth, 2), QFrame::HLine);

    // Search and tool row.
    RadioButton4 = new QRadioButton(QStringLiteral("按电台"), central);
    RadioButton4->setObjectName(QStringLiteral("RadioButton4"));
    RadioButton4->setGeometry(4, kToolRowTop + 1, 66, 19);
    RadioButton4->setChecked(true);
    RadioButton5 = new QRadioButton(QStringLiteral("按国家"), central);
    RadioButton5->setObjectName(QStringLiteral("RadioButton5"));
    RadioButton5->setGeometry(4, kToolRowTop + 20, 66, 19);
    line(central, QRect(70, kToolRowTop + 2, 2, kToolRowHeight - 4), QFrame::VLine);
    ComboBox1 = new QComboBox(central);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems(CatalogueLists::searchCountries());
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setGeometry(76, kToolRowTop + 9, 89, 22);

    auto* tools = new QWidget(central);
    tools->setGeometry(172, kToolRowTop, 430, kToolRowHeight);
    int x = 0;
    btn1 = toolButton(tools, "btn1", "options", QStringLiteral("选项"), x);
    x += 6;
    ToolButton9 = toolButton(tools, "ToolButton9", "station-add", QStringLiteral("添加新电台"), x);
    ToolButton5 = toolButton(tools, "ToolButton5", "task-add", QStringLiteral("计划任务"), x);
    cityClocks = new QMenu(window);
    cityClocks->setObjectName(QStringLiteral("PopupMenu2"));
    for (const QString& city : WorldClock::cityNames())
        cityClocks->addAction(city);
    ToolButton10 =
        menuButton(tools, "ToolButton10", "timesync", QStringLiteral("网络对时"), cityClocks, x);
    x += 6;
    PopupMenu3 = new QMenu(window);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    const char* presetNames[] = {"N110", "N27", "N31", "N41", "N51", "N61", "N71", "N81"};
    for (int i = 0; i < 8; ++i) {
        presetItems[size_t(i)] = PopupMenu3->addAction(badge(i + 1), QString());
        presetItems[size_t(i)]->setObjectName(QLatin1String(presetNames[i]));
    }
    ToolButton7 =
        menuButton(tools, "ToolButton7", "random", QStringLiteral("随机播放"), PopupMenu3, x);
    ToolButton6 = toolButton(tools, "ToolButton6", "favourite", QStringLiteral("收藏"), x);
    x += 6;
    ToolButton2 = toolButton(tools, "ToolButton2", "play", QStringLiteral("播放"), x);
    ToolButton4 = toolButton(tools, "ToolButton4", "stop", QStringLiteral("停止"), x);
    ToolButton8 = toolButton(tools, "ToolButton8", "record", QStringLiteral("开始录音"), x);
    x += 6;
    ToolButton1 = toolButton(tools, "ToolButton1", "sound", QString(), x);

    ComboBox2 = new QComboBox(central);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setGeometry(606, kToolRowTop + 9, 88, 22);
    line(central, QRect(700, kToolRowTop + 2, 2, kToolRowHeight - 4), QFrame::VLine);
    gauge = new Gauge21(central);
    gauge->setObjectName(QStringLiteral("Gauge21"));
    gauge->move(710, kToolRowTop + 17);

    // Body: the genre tree and the two lists.
    TreeView1 = new NoTypeAhead<QTreeWidget>(central);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setMouseTracking(true);
    fillTree(TreeView1);
    PageControl1 = new QStackedWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    DBGrid1 = list(PageControl1, "DBGrid1");
    DBGrid2 = list(PageControl1, "DBGrid2");
    PageControl1->addWidget(DBGrid1);
    PageControl1->addWidget(DBGrid2);

    // Status bar: four panels.
    auto* status = new QStatusBar(window);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    window->setStatusBar(status);
    const int widths[] = {265, 255, 170, 10};
    for (size_t i = 0; i < panels.size(); ++i) {
        panels[i] = new QLabel(status);
        panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        panels[i]->setMinimumWidth(widths[i]);
        if (i < 3)
            panels[i]->setMaximumWidth(widths[i]);
        status->addWidget(panels[i], i == 3 ? 1 : 0);
    }

    window->setFixedSize(kWidth, kHeight);
    const int bodyHeight = kHeight - status->sizeHint().height() - kBodyTop;
    TreeView1->setGeometry(0, kBodyTop, kTreeWidth, bodyHeight);
    PageControl1->setGeometry(kTreeWidth + 2, kBodyTop, kWidth - kTreeWidth - 2, bodyHeight);
}

QPoint TForm1Ui::placeWithin(const QRect& frame, const QRect& area) {
    const auto fit = [](int at, int size, int start, int length) {
        return std::max(start, std::min(at, start + length - size));
    };
    return {fit(frame.x(), frame.width(), area.x(), area.width()),
            fit(frame.y(), frame.height(), area.y(), area.height())};
}

void TForm1Ui::fillTree(QTreeWidget* tree) {
    auto* root = new QTreeWidgetItem(tree, {CatalogueBrowser::rootCaption()});
    root->setData(0, kNodeCodeRole, CatalogueBrowser::kRoot);
    const auto child = [root](const QString& text, int code) {
        auto* item = new QTreeWidgetItem(root, {text});
        item->setData(0, kNodeCodeRole, code);
        return item;
    };
    QTreeWidgetItem* genres = child(QStringLiteral("流派"), CatalogueBrowser::kGenres);
    const QStringList& names = CatalogueLists::genreNames();
    for (int code = 0; code < names.size(); ++code) {
        auto* item = new QTreeWidgetItem(genres, {names[code]});
        item->setData(0, kNodeCodeRole, code);
    }
    child(QStringLiteral("收藏夹"), CatalogueBrowser::kFavourites);
    child(CatalogueBrowser::userDefinedCategory(), CatalogueBrowser::kUserDefined);
    child(QStringLiteral("电台任务"), CatalogueBrowser::kTasks);
}

void TForm1Ui::setPanelText(QLabel* panel, const QString& text) {
    const int room = panel->width() - 2 * panel->margin() - 4;
    const QString shown = panel->fontMetrics().elidedText(text, Qt::ElideRight, room);
    panel->setText(shown);
    panel->setToolTip(shown == text ? QString() : text);
}
