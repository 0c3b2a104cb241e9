// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Playback.h"

#include "AppInfo.h"
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/ProcessKiller.h"
#include "playback/PlaybackTexts.h"
#include "setting/OptionsStore.h"

Playback::Playback(MediaPlayer& player, StationTable& table, const OptionsStore& options,
                   Dialogs& dialogs, ProcessKiller& processes, WindowFields& fields, Hooks hooks)
    : player_(player),
      table_(table),
      options_(options),
      dialogs_(dialogs),
      processes_(processes),
      fields_(fields),
      hooks_(std::move(hooks)) {}

const QStringList& Playback::downloadTools() {
    static const QStringList names = {
        QStringLiteral("Thunder.exe"), QStringLiteral("Flashget3.exe"),
        QStringLiteral("QQDownload.exe"), QStringLiteral("MiniThunder.exe")};
    return names;
}

QString Playback::currentName() const {
    return table_.text(Field::stationName);
}

void Playback::rowSelected() {
    fields_.flag = false;
    fields_.title3 = currentName();
    fields_.title = table_.text(Field::streamUrl);
}

void Playback::playCommand() {
    fields_.title2.clear();
    player_.Stop();
    if (!player_.isOnline()) {
        dialogs_.message(AppInfo::title(), PlaybackTexts::offline(), Dialogs::Icon::error);
        return;
    }
    player_.setURL(fields_.flag ? fields_.title1 : fields_.title);
    if (options_.close)
        KillDownloadTools();
    player_.Play();
    fields_.title2 = currentName();
    hooks_.statusTimer(true);
    fields_.playSource = PlaySource::Command;
}

void Playback::doubleClick() {
    fields_.title2.clear();
    hooks_.statusTimer(true);
    fields_.title4 = currentName();
    player_.Stop();
    player_.setURL(table_.text(Field::streamUrl));
    if (options_.close)
        KillDownloadTools();
    player_.Play();
    fields_.title2 = currentName();
    fields_.playSource = PlaySource::DoubleClick;
}

void Playback::PlayStationByName(const QString& name) {
    hooks_.showAllStations();
    table_.setFilter(ViewFilter::all());
    for (int pos = 0; pos < table_.viewCount(); ++pos) {
        if (table_.row(table_.viewRow(pos)).textView(Field::stationName) == name) {
            table_.moveTo(pos);
            break;
        }
    }
    rowSelected();
    hooks_.statusTimer(true);
    playCommand();
}

void Playback::playAddress(const QString& url) {
    fields_.title2.clear();
    player_.Stop();
    player_.setURL(url);
    player_.Play();
    fields_.title2 = url;
    // The address stands for the selected station until a row is clicked: the status line names
    // it, and the play command plays it again.
    fields_.title3 = url;
    fields_.title = url;
    hooks_.statusTimer(true);
    fields_.playSource = PlaySource::Command;
}

void Playback::stopCommand() {
    hooks_.statusTimer(false);
    hooks_.stopTaskCountdown();
    if (WMP()) {
        fields_.title1 = player_.URL();
        player_.Stop();
    }
    fields_.flag = true;
}

bool Playback::WMP() const {
    const int state = player_.playState();
    return state >= 1 && state <= 10;
}

void Playback::KillDownloadTools() {
    processes_.killByName(downloadTools());
}
