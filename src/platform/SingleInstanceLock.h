// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A lock that marks a running instance: an flock()ed file, so it vanishes with the process and a
// crashed instance never blocks the next start.
class SingleInstanceLock {
  public:
    // folder: where the lock file lives; empty picks $XDG_RUNTIME_DIR, else the user's data folder
    // (~/.local/share/corvinatone). A link in the lock's place is refused.
    explicit SingleInstanceLock(const QString& name, const QString& folder = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock; false when another process holds it.
    // Throws std::runtime_error when the lock file cannot be opened at all.
    bool tryAcquire();
    void release();
    const QString& filePath() const { return path_; }

    static QString defaultFolder();

  private:
    QString path_;
    int fd_ = -1;
};
