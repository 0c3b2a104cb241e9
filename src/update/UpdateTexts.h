// SPDX-License-Identifier: GPL-3.0-or-later
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
// Why an update did not replace the program; the old one stays.
inline QString cutShort(qint64 received, qint64 announced) {
    return QStringLiteral("下载不完整（收到 %1 字节，应为 %2 字节）。")
        .arg(received)
        .arg(announced);
}
inline QString wrongDigest() {
    return QStringLiteral("下载的文件与服务器给出的 SHA-256 校验值不符。");
}
inline QString notAProgram() {
    return QStringLiteral("下载的文件不是本机可以运行的程序。");
}
inline QString notExecutable(const QString& path) {
    return QStringLiteral("无法把 %1 设为可执行。").arg(path);
}
inline QString cannotMoveAside(const QString& path) {
    return QStringLiteral("无法移开 %1。").arg(path);
}
inline QString cannotReplace(const QString& path) {
    return QStringLiteral("无法替换 %1。").arg(path);
}

inline QString offer(const QString& name) {
    return QStringLiteral("发现") + name + QStringLiteral("新版本，是否更新？");
}

}  // namespace UpdateTexts
