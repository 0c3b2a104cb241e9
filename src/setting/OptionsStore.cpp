// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/OptionsStore.h"

#include "setting/IniFile.h"
#include "setting/SettingTexts.h"

#include <array>

namespace {

const QString kSection = QStringLiteral("info");
constexpr int kLastMuteSelection = 10;
const std::array<QString, 3> kPowerActions = {
    SettingTexts::powerShutDown(), SettingTexts::powerStandBy(), SettingTexts::powerHibernate()};

// Reads the file's keys; a value that is not what the key holds counts as absent.
class Reader {
  public:
    explicit Reader(const IniFile& ini) : ini_(ini) {}

    QString text(const char* key, const QString& fallback) const {
        return ini_.value(kSection, QLatin1String(key)).value_or(fallback);
    }
    int integer(const char* key, int fallback) const {
        bool ok = false;
        const int v = text(key, QString()).toInt(&ok);
        return ok ? v : fallback;
    }
    bool flag(const char* key, bool fallback) const { return integer(key, fallback) != 0; }

  private:
    const IniFile& ini_;
};

QString timeText(QTime t) {
    return t.toString(QStringLiteral("HH:mm:ss"));
}

// Accepts "hh:mm:ss" and the shorter forms a person may type by hand.
QTime parseTime(const QString& text) {
    for (const char* format : {"H:mm:ss", "H:mm"}) {
        const QTime t = QTime::fromString(text, QLatin1String(format));
        if (t.isValid())
            return t;
    }
    return {};
}

int selectionIn(int value, int last) {
    return value >= 0 && value <= last ? value : -1;
}

}  // namespace

OptionsStore::OptionsStore(QString path, QObject* parent)
    : QObject(parent), path_(std::move(path)) {}

QString OptionsStore::powerActionCaption(int kind) {
    return kind >= 0 && kind < int(kPowerActions.size()) ? kPowerActions[size_t(kind)] : QString();
}

QString OptionsStore::remindText() const {
    return mission ? SettingTexts::powerActionArmed(powerActionCaption(kind))
                   : SettingTexts::noPowerAction();
}

void OptionsStore::setMute(int selection) {
    mute = selectionIn(selection, kLastMuteSelection);
    if (mute != kNoSelection)
        muteHotKey = kFirstMuteKeyCode + mute;
}

void OptionsStore::loadini() {
    const IniFile ini = IniFile::load(path_);
    const Reader in(ini);

    const bool wasMission = mission;
    mission = in.flag("mission", mission);
    if (mission != wasMission)
        emit missionChanged(mission);

    emit remindLoaded(in.text("remind", remindText()));

    setMute(in.integer("mute", mute));

    style = selectionIn(in.integer("style", style), 1);
    if (style != kNoSelection)
        emit styleSelected(style);

    play = in.flag("play", play);
    db = in.text("db", db);
    record = in.text("record", record);
    update = in.flag("update", update);
    updatedb = in.flag("updatedb", updatedb);
    close = in.flag("close", close);
    open = in.flag("open", open);
    kind = selectionIn(in.integer("kind", kind), int(kPowerActions.size()) - 1);

    // A time that is no time of day is taken as absent, like any other unreadable value.
    const QTime read = parseTime(in.text("time", timeText(time)));
    if (read.isValid())
        time = read;
    emit loaded();
}

void OptionsStore::saveini() const {
    IniFile ini = IniFile::load(path_);
    const auto put = [&](const char* key, const QString& value) {
        ini.setValue(kSection, QLatin1String(key), value);
    };
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    put("mission", flag(mission));
    put("open", flag(open));
    put("style", QString::number(style));
    put("kind", QString::number(kind));
    put("play", flag(play));
    put("update", flag(update));
    put("updatedb", flag(updatedb));
    put("close", flag(close));
    put("time", timeText(time));
    put("mute", QString::number(mute));
    put("db", db);
    put("record", record);
    put("remind", remindText());
    ini.save(path_);
}
