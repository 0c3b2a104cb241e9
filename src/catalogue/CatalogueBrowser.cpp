// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/CatalogueBrowser.h"

#include "AppInfo.h"
#include "catalogue/CatalogueLists.h"
#include "catalogue/StationTable.h"
#include "platform/Dialogs.h"

#include <map>

namespace {

const QString kFavouriteMark = QStringLiteral("★");

const std::map<int, QString>& genreHints() {
    static const std::map<int, QString> hints = {
        {0, QStringLiteral("Funk：是黑人舞蹈的一种，最早是根据FUNKY音乐而创的，是融合HIP－HOP和JAZZ"
                           "元素的一种舞蹈曲风。")},
        {5, QStringLiteral(
                "House：是于八十年代沿自 DISCO发展出来的跳舞音乐。这是芝加哥的DJ玩出的音乐，\r"
                "他们将德国电子乐团Kraftwerk的一张唱片和电子鼓规律的节奏 "
                "及黑人蓝调歌声混音在一起，House就产生了。")},
        {12, QStringLiteral("瑞格舞:"
                            "结合了传统非洲节奏，美国的节奏蓝调及原始牙买加民俗音乐，这种风格包含了"
                            "弱拍中音节省略，向上拍击的吉他弹奏，以及人声合唱。")},
        {17, QStringLiteral("另类音乐:"
                            "指的是所有受庞克运动影响的音乐风格，从庞克、后庞克、电子、工业、歌德、"
                            "新浪漫、新民谣等。")},
        {24,
         QStringLiteral("新世纪音乐:"
                        "是一种在上个世纪70年代后期出现的一种音乐形式，它并非单指一个类别，而是一个"
                        "范畴，一切不同以往，象征时代更替、诠释精神内涵的改良音乐都可归于此内。")},
        {33, QStringLiteral("沙发音乐:就是一种可以让妳舒服的躺在沙发上聆听的音乐。")},
        {34, QStringLiteral("萨尔萨舞曲:"
                            "萨尔萨舞曲是一种拉丁风格的舞蹈，其热情奔放的舞风不逊于伦巴、恰恰，但却"
                            "比它们更容易入门。")},
        {35, QStringLiteral(
                 "是乡村音乐的另一个分支，以Tovalmere的乐队(Bluegrass "
                 "Boys)"
                 "来命名，其标准风格就是硬而快的节奏；高而密集的合声；并且显著地强调乐器的作用。")},
        {36, QStringLiteral("灵歌是美国流行音乐的一个分支，起源于底特律的黑人音乐，曾同时占据流行音"
                            "乐和节奏与布鲁斯音乐两个排行榜的统治地位")},
        {38,
         QStringLiteral(
             "高科技舞曲：利用电脑,合成器合成,做出一些特殊音效,这种音乐常常是许多音效组合起来的. \r"
             "她的节拍也是4/4拍,但速度较house快,且听起来具重复性,较强硬,较机械化。")},
        {42, QStringLiteral("氛围音乐:"
                            "源于70年代艺术家们的一种实验性的电子合成音乐，同时也具有80年代trance风"
                            "格的数码舞蹈乐曲")},
        {43, QStringLiteral("福音：美国黑人宗教音乐")},
        {47, QStringLiteral("独立音乐：是一种音乐人该有的音乐状态，是一种精神和想法。它包含任何音乐"
                            "，只是它所表现出来的态度是一致，总括来说就是独立自主。以最简单的方式来"
                            "谈，独立音乐其实就是摇滚音乐延伸。")},
        {48, QStringLiteral("迷幻舞曲：是90年代早期从德国高科技舞曲和硬核音乐中分离出来的，它强调简"
                            "洁的合成器乐句在全曲中的不断反复。")},
    };
    return hints;
}

QString emptyViewMessage() {
    return QStringLiteral("当前记录为空,请重新添加.");
}

}  // namespace

CatalogueBrowser::CatalogueBrowser(StationTable& table, Dialogs& dialogs, Hooks hooks)
    : table_(table), dialogs_(dialogs), hooks_(std::move(hooks)) {}

QString CatalogueBrowser::rootCaption() {
    return QStringLiteral("所有电台");
}

QString CatalogueBrowser::userDefinedCategory() {
    return QStringLiteral("用户自定义");
}

QString CatalogueBrowser::genreHint(int code) {
    const auto it = genreHints().find(code);
    return it == genreHints().end() ? QString() : it->second;
}

QString CatalogueBrowser::rootText() const {
    return rootCounted_ ? QStringLiteral("%1 (%2)").arg(rootCaption()).arg(table_.totalCount())
                        : rootCaption();
}

void CatalogueBrowser::emptyViewGoesBack() {
    dialogs_.message(AppInfo::title(), emptyViewMessage(), Dialogs::Icon::information);
    hooks_.selectRoot();
}

void CatalogueBrowser::TreeView1Change(int code) {
    selectedCode_ = code;
    stationListHint_.clear();
    page_ = 0;
    const QStringList& genres = CatalogueLists::genreNames();
    if (code >= 0 && code < genres.size()) {
        table_.setFilter(ViewFilter::category(genres[code]));
        stationListHint_ = genreHint(code);
    } else if (code == kRoot) {
        table_.setFilter(ViewFilter::all());
        rootCounted_ = true;
    } else if (code == kFavourites) {
        table_.setFilter(ViewFilter::favourite(kFavouriteMark));
        hooks_.focusStationList();
    } else if (code == kUserDefined) {
        table_.setFilter(ViewFilter::category(userDefinedCategory()));
        hooks_.focusStationList();
    } else if (code == kGenres) {
        table_.setFilter(ViewFilter::all());
    } else if (code == kTasks) {
        page_ = 1;
        table_.setFilter(ViewFilter::tasks());
    }

    stationEditorMode_ = code == kUserDefined ? EditorMode::modify : EditorMode::add;
    if ((code == kFavourites || code == kUserDefined) && table_.viewCount() == 0)
        emptyViewGoesBack();

    if (code == kTasks) {
        taskEditorMode_ = EditorMode::modify;
        taskListHint_ = QStringLiteral("双击删除计划");
        if (table_.viewCount() == 0)
            emptyViewGoesBack();
    } else {
        taskEditorMode_ = EditorMode::add;
    }
}

void CatalogueBrowser::ComboBox1Change(const QString& text) {
    if (selectedCode_ != kRoot)
        hooks_.selectRoot();
    table_.setFilter(byCountry_ ? ViewFilter::country(text) : ViewFilter::nameBeginsWith(text));
}

void CatalogueBrowser::rowClicked() {
    const QString mark = table_.text(Field::favourite);
    if (mark.isEmpty())
        favouriteLook_ = FavouriteLook::plain;
    else if (mark == kFavouriteMark)
        favouriteLook_ = FavouriteLook::marked;
}

void CatalogueBrowser::ToolButton6Click() {
    if (table_.atEnd() || table_.currentIndex() < 0)
        return;  // nothing to mark, nothing saved
    const QString mark = table_.text(Field::favourite);
    if (mark.isEmpty()) {
        table_.setText(Field::favourite, kFavouriteMark);
        favouriteLook_ = FavouriteLook::marked;
    } else if (mark == kFavouriteMark) {
        table_.setText(Field::favourite, QString());
        favouriteLook_ = FavouriteLook::plain;
    }
    table_.saveInBackground();
}

void CatalogueBrowser::DBGrid1TitleClick(Field field) {
    table_.setSortField(field);
}

QString CatalogueBrowser::stationEditorHint() const {
    return stationEditorMode_ == EditorMode::modify ? QStringLiteral("修改电台")
                                                    : QStringLiteral("添加电台");
}

QString CatalogueBrowser::taskEditorHint() const {
    return taskEditorMode_ == EditorMode::modify ? QStringLiteral("修改计划")
                                                 : QStringLiteral("添加计划");
}

QString CatalogueBrowser::favouriteHint() const {
    return favouriteLook_ == FavouriteLook::marked ? QStringLiteral("取消收藏")
                                                   : QStringLiteral("收藏");
}
