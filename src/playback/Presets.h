// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

// The eight preset stations, kept in "channel.ini" (section "music", keys "1" to "8").
class Presets {
  public:
    static constexpr int kSlots = 8;

    explicit Presets(QString path);

    // Reads the file; a slot whose key is missing (or a missing file) keeps its caption.
    void Loadradio();
    // Writes all eight captions, then "status=1" in section "musci". Throws FileWriteError.
    void Saveradio() const;

    // Slots are numbered 1 to 8.
    const QString& caption(int slot) const { return captions_[size_t(slot - 1)]; }
    void setCaption(int slot, const QString& name) { captions_[size_t(slot - 1)] = name; }

  private:
    QString path_;
    std::array<QString, kSlots> captions_;
};
