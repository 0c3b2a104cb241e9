// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Desktop;
class Dialogs;

// The recording folder of the option `record`, as the options window and the recorder both see it.
namespace RecordFolder {

// Names an existing folder. A relative path would mean the current folder: it does not count.
bool usable(const QString& folder);

// "打开目录": the folder in the file browser, or a warning when none is set.
void open(const QString& folder, Dialogs& dialogs, Desktop& desktop);

}  // namespace RecordFolder
