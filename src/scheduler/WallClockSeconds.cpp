#include "scheduler/WallClockSeconds.h"

#include <algorithm>

QList<QDateTime> WallClockSeconds::since(const QDateTime& now) {
    const qint64 current = now.toSecsSinceEpoch();
    qint64 from = current;
    if (last_) {
        if (current <= *last_ && current >= *last_ - kBacklog)
            return {};  // this second was handed out already, or the clock went back a little
        // A clock set back further starts afresh at its new time.
        if (current > *last_)
            from = std::max(*last_ + 1, current - kBacklog + 1);
    }
    last_ = current;
    QList<QDateTime> seconds;
    for (qint64 s = from; s <= current; ++s)
        seconds << now.addSecs(s - current);
    return seconds;
}
