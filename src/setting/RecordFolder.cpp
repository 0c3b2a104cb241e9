// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/RecordFolder.h"

#include "AppInfo.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "setting/SettingTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

bool RecordFolder::usable(const QString& folder) {
    return !folder.isEmpty() && !QDir::isRelativePath(folder) && QFileInfo(folder).isDir();
}

void RecordFolder::open(const QString& folder, Dialogs& dialogs, Desktop& desktop) {
    if (folder.isEmpty()) {
        dialogs.message(AppInfo::title(), SettingTexts::recordFolderNotSet(),
                        Dialogs::Icon::warning);
        return;
    }
    desktop.openUrl(QUrl::fromLocalFile(folder));
}
