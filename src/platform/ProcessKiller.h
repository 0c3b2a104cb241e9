// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Ends running processes by executable name.
class ProcessKiller {
  public:
    virtual ~ProcessKiller() = default;
    // Sends SIGKILL to every process whose name (comm, or the base name of argv[0]) equals one of
    // names exactly, case included. Processes that may not be signalled are passed over.
    // Returns how many were signalled.
    virtual int killByName(const QStringList& names) = 0;
};

// The real one, reading /proc.
class ProcProcessKiller : public ProcessKiller {
  public:
    explicit ProcProcessKiller(QString procRoot = QStringLiteral("/proc"));
    int killByName(const QStringList& names) override;

  private:
    QString procRoot_;
};
