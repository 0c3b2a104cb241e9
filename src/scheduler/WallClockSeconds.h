// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>

#include <optional>
#include <vector>

// Hands out every second of local time once, for work that must happen "when the clock reads
// hh:mm:ss". A timer tick may come late and skip a second, or come twice within one second; asking
// here instead of reading the clock neither loses nor repeats a second.
class WallClockSeconds {
  public:
    // At most this many seconds are caught up after a gap: waking from standby, or a clock set
    // forward, does not start what was due while the computer slept.
    static constexpr int kBacklog = 5;

    struct Second {
        QDate date;
        int ofDay;  // 0 (00:00:00) to 86,399 (23:59:59)
    };

    // The seconds begun since the last call, up to and including now's, oldest first. When
    // summer time begins, the wall seconds it skips come with the first second after them; when
    // it ends, the hour it repeats comes again (what must not happen twice remembers itself).
    std::vector<Second> since(const QDateTime& now);
    // Seconds before now are not handed out any more (work that was off while they passed).
    void skipTo(const QDateTime& now);

  private:
    std::optional<qint64> last_;  // seconds since the epoch of the last second handed out
    int lastOffset_ = 0;          // its offset from UTC, in seconds
};
