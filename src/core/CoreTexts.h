// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts of the program as a whole, below its windows.
namespace CoreTexts {

inline QString fatalExit() {
    return QStringLiteral("发生致命错误，程序将强制关闭！");
}

}  // namespace CoreTexts
