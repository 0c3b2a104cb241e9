// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The station editor's texts.
namespace EditorTexts {

inline QString acceptCaption(bool modify) {
    return modify ? QStringLiteral("修改") : QStringLiteral("添加");
}
inline QString emptyBoxes() {
    return QStringLiteral("以上内容不能为空，请重新输入。");
}
inline QString addressRefused() {
    return QStringLiteral("电台必须要以http://或者mms://等字符开头,请重新输入。");
}
inline QString confirmDelete() {
    return QStringLiteral("是否删除当前电台？");
}

}  // namespace EditorTexts
