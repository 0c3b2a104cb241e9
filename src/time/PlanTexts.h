// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The task list's texts.
namespace PlanTexts {

inline QString confirmDelete() {
    return QStringLiteral("是否删除此条计划？");
}

}  // namespace PlanTexts
