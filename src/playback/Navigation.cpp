// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Navigation.h"

#include "AppInfo.h"
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "platform/Dialogs.h"
#include "playback/Playback.h"
#include "playback/PlaybackTexts.h"
#include "playback/Presets.h"

#include <chrono>
#include <random>

Navigation::Navigation(StationTable& table, Playback& playback, Presets& presets, Dialogs& dialogs,
                       WindowFields& fields, Hooks hooks)
    : table_(table),
      playback_(playback),
      presets_(presets),
      dialogs_(dialogs),
      fields_(fields),
      hooks_(std::move(hooks)) {}

void Navigation::selectAndPlay() {
    hooks_.rowSelection();
    playback_.playCommand();
}

void Navigation::N23Click() {
    if (table_.viewPosition() + 1 < 2) {
        dialogs_.message(AppInfo::title(), PlaybackTexts::firstStation(),
                         Dialogs::Icon::information);
        return;
    }
    table_.prior();
    selectAndPlay();
}

void Navigation::N24Click() {
    if (table_.viewPosition() + 1 < table_.viewCount()) {
        table_.next();
        selectAndPlay();
        return;
    }
    dialogs_.message(AppInfo::title(), PlaybackTexts::lastStation(), Dialogs::Icon::information);
}

void Navigation::ToolButton7Click() {
    hooks_.selectRoot();
    table_.setFilter(ViewFilter::all());
    // Seeded from the clock at every random play; every row equally likely.
    std::mt19937_64 generator(
        std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count()));
    if (table_.viewCount() == 0)
        return;
    std::uniform_int_distribution<int> position(1, table_.viewCount());
    table_.moveTo(position(generator) - 1);
    selectAndPlay();
}

void Navigation::assignPreset(int slot) {
    presets_.setCaption(slot, table_.text(Field::stationName));
    fields_.play = false;
    // Saved at once: the next show reloads channel.ini, and a crash must not lose the choice.
    presets_.Saveradio();
}

void Navigation::playPreset(int slot) {
    if (presets_.caption(slot).isEmpty()) {
        dialogs_.message(AppInfo::title(), PlaybackTexts::presetNotSet(),
                         Dialogs::Icon::information);
        return;
    }
    playback_.PlayStationByName(presets_.caption(slot));
}
