#pragma once

#include <QString>

// The program update's own texts.
namespace UpdateTexts {

inline QString upToDate() {
    return QStringLiteral("您当前使用的是最新版本！");
}
// With an ASCII comma, unlike the catalogue update's message.
inline QString failed() {
    return QStringLiteral("更新出错,请检查是否联网或稍后再试！");
}
inline QString succeeded() {
    return QStringLiteral("更新成功,请重新开启程序。");
}
inline QString offer(const QString& name) {
    return QStringLiteral("发现") + name + QStringLiteral("新版本，是否更新？");
}

}  // namespace UpdateTexts
