// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Presets.h"

#include "setting/IniFile.h"

namespace {
const QString kSection = QStringLiteral("music");
}

Presets::Presets(QString path) : path_(std::move(path)) {}

void Presets::Loadradio() {
    const IniFile ini = IniFile::load(path_);
    for (int slot = 1; slot <= kSlots; ++slot)
        setCaption(slot, ini.value(kSection, QString::number(slot)).value_or(caption(slot)));
}

void Presets::Saveradio() const {
    IniFile ini = IniFile::load(path_);
    for (int slot = 1; slot <= kSlots; ++slot)
        ini.setValue(kSection, QString::number(slot), caption(slot));
    ini.setValue(QStringLiteral("musci"), QStringLiteral("status"), QStringLiteral("1"));
    ini.save(path_);
}
