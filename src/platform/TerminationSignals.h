// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C in a terminal) as a Qt signal on the
// user-interface thread, so that the program ends as through "退出": presets saved, player
// closed. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  signals:
    void received();

  private:
    QSocketNotifier* notifier_ = nullptr;
};
