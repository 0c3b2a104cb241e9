// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// What a start learns of the time before it: when the program last ran (written down every
// kBeatMs, and at the end), and the notices the user could not see because the computer went off
// after them. Two small files in the program folder.
class RunJournal {
  public:
    static constexpr qint64 kBeatMs = 30'000;

    // Reads when the program last ran.
    explicit RunJournal(const QString& folder);

    // When the program ran last before this run; invalid when it never did.
    const QDateTime& previousRun() const { return previousRun_; }
    // Once a second; writes now down every kBeatMs of the monotonic clock.
    void beat(const QDateTime& now, qint64 monotonicMsecs);
    // Writes now down at once.
    void write(const QDateTime& now);
    // Kept for the next start, after those kept before.
    void keepNotices(const QStringList& notices);
    // The notices kept, once: they are gone from the file.
    QStringList takeNotices();

  private:
    QString runFile_;
    QString noticeFile_;
    QDateTime previousRun_;
    qint64 lastBeat_ = -kBeatMs;
};
