#pragma once

#include <QString>

namespace RecordingTexts {

inline QString recordFolderMissing() {
    return QStringLiteral("当前录音目录为空或者不存在,请选择“录音设置”标签,重新进行设置.");
}

}  // namespace RecordingTexts
