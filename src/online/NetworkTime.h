// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTcpSocket;
class QTimer;
class SystemClock;
class TimeSource;

// "网络对时": asks a DAYTIME server (RFC 867) for the time and sets the computer's clock to it.
// The answer is awaited without blocking the window, within a time-out.
class NetworkTime : public QObject {
    Q_OBJECT

  public:
    struct Hooks {
        std::function<void(const QString& title, const QString& text, bool error)> balloon;
        std::function<void()> refreshWorldClock;
    };

    NetworkTime(SystemClock& clock, const TimeSource& time, Hooks hooks, QObject* parent = nullptr);

    // The time server: $CORVINATONE_TIME_SERVER as host[:port], else time.nist.gov, port 13.
    static std::pair<QString, quint16> server();
    // The instant a reply in the layout of NIST's servers names (UTC, with milliseconds), or
    // nothing when it is too short or a field is no decimal number.
    static std::optional<QDateTime> parseReply(const QByteArray& reply);

    // Starts a synchronisation; one at a time.
    void ToolButton10Click();
    bool busy() const { return socket_ != nullptr || settingClock_; }
    void setTimeoutMsecs(int msecs) { timeoutMsecs_ = msecs; }

  private:
    void finish(const QByteArray& reply);
    void fail();
    void end();

    SystemClock& clock_;
    const TimeSource& time_;
    Hooks hooks_;
    QTcpSocket* socket_ = nullptr;
    QTimer* deadline_ = nullptr;
    QByteArray reply_;
    bool settingClock_ = false;  // the clock's answer may wait for a password
    int timeoutMsecs_ = 10'000;
};
