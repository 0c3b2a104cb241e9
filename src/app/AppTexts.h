#pragma once

#include <QString>

// The application shell's own texts.
namespace AppTexts {

inline QString appTitle() {
    return QStringLiteral("Corvinatone 2.21");
}
inline QString oldAppTitle() {
    return QStringLiteral("Corvinatone 2.2");
}
inline QString alreadyRunning() {
    return QStringLiteral("Corvinatone 已经在运行了!");
}
inline QString catalogueMissing(const QString& downloadPage) {
    return QStringLiteral(
               "电台数据库文件rd.cds载入出错.请将rd.cds文件复制到此程序目录下,或者至官方网站 ") +
           downloadPage + QStringLiteral(" 下载最新版本.");
}
inline QString playerMissing() {
    return QStringLiteral("此软件需要Windows Media Playe7.0以上版本支持,请检查是否已正确安装。");
}

}  // namespace AppTexts
