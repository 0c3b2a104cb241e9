// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The catalogue browser's texts.
namespace CatalogueTexts {

// The options window's count: "当前共有电台" + the number of rows + "个".
inline QString stationCount(size_t rows) {
    return QStringLiteral("当前共有电台%1个").arg(rows);
}
inline QString rootCaption() {
    return QStringLiteral("所有电台");
}
// The category of the stations a user adds, shown as its own node of the tree.
inline QString userDefinedCategory() {
    return QStringLiteral("用户自定义");
}
inline QString emptyView() {
    return QStringLiteral("当前记录为空,请重新添加.");
}
inline QString deleteTaskHint() {
    return QStringLiteral("双击删除计划");
}
inline QString stationEditorHint(bool modify) {
    return modify ? QStringLiteral("修改电台") : QStringLiteral("添加电台");
}
inline QString taskEditorHint(bool modify) {
    return modify ? QStringLiteral("修改计划") : QStringLiteral("添加计划");
}
inline QString favouriteHint(bool marked) {
    return marked ? QStringLiteral("取消收藏") : QStringLiteral("收藏");
}

// The description of a genre by its code in the tree, empty for genres without one.
inline QString genreHint(int code) {
    switch (code) {
        case 0:
            return QStringLiteral(
                "Funk：是黑人舞蹈的一种，最早是根据FUNKY音乐而创的，是融合HIP－HOP和JAZZ"
                "元素的一种舞蹈曲风。");
        case 5:
            return QStringLiteral(
                "House：是于八十年代沿自 DISCO发展出来的跳舞音乐。这是芝加哥的DJ玩出的音乐，\r"
                "他们将德国电子乐团Kraftwerk的一张唱片和电子鼓规律的节奏 "
                "及黑人蓝调歌声混音在一起，House就产生了。");
        case 12:
            return QStringLiteral(
                "瑞格舞:"
                "结合了传统非洲节奏，美国的节奏蓝调及原始牙买加民俗音乐，这种风格包含了"
                "弱拍中音节省略，向上拍击的吉他弹奏，以及人声合唱。");
        case 17:
            return QStringLiteral(
                "另类音乐:"
                "指的是所有受庞克运动影响的音乐风格，从庞克、后庞克、电子、工业、歌德、"
                "新浪漫、新民谣等。");
        case 24:
            return QStringLiteral(
                "新世纪音乐:"
                "是一种在上个世纪70年代后期出现的一种音乐形式，它并非单指一个类别，而是一个"
                "范畴，一切不同以往，象征时代更替、诠释精神内涵的改良音乐都可归于此内。");
        case 33:
            return QStringLiteral("沙发音乐:就是一种可以让妳舒服的躺在沙发上聆听的音乐。");
        case 34:
            return QStringLiteral(
                "萨尔萨舞曲:"
                "萨尔萨舞曲是一种拉丁风格的舞蹈，其热情奔放的舞风不逊于伦巴、恰恰，但却"
                "比它们更容易入门。");
        case 35:
            return QStringLiteral(
                "是乡村音乐的另一个分支，以Tovalmere的乐队(Bluegrass "
                "Boys)"
                "来命名，其标准风格就是硬而快的节奏；高而密集的合声；并且显著地强调乐器的作用。");
        case 36:
            return QStringLiteral(
                "灵歌是美国流行音乐的一个分支，起源于底特律的黑人音乐，曾同时占据流行音"
                "乐和节奏与布鲁斯音乐两个排行榜的统治地位");
        case 38:
            return QStringLiteral(
                "高科技舞曲：利用电脑,合成器合成,做出一些特殊音效,这种音乐常常是许多音效组合起来的."
                " \r"
                "她的节拍也是4/4拍,但速度较house快,且听起来具重复性,较强硬,较机械化。");
        case 42:
            return QStringLiteral(
                "氛围音乐:"
                "源于70年代艺术家们的一种实验性的电子合成音乐，同时也具有80年代trance风"
                "格的数码舞蹈乐曲");
        case 43:
            return QStringLiteral("福音：美国黑人宗教音乐");
        case 47:
            return QStringLiteral(
                "独立音乐：是一种音乐人该有的音乐状态，是一种精神和想法。它包含任何音乐"
                "，只是它所表现出来的态度是一致，总括来说就是独立自主。以最简单的方式来"
                "谈，独立音乐其实就是摇滚音乐延伸。");
        case 48:
            return QStringLiteral(
                "迷幻舞曲：是90年代早期从德国高科技舞曲和硬核音乐中分离出来的，它强调简"
                "洁的合成器乐句在全曲中的不断反复。");
    }
    return {};
}

}  // namespace CatalogueTexts
