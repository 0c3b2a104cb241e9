// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/NetworkTime.h"

#include "AppInfo.h"
#include "online/OnlineTexts.h"
#include "platform/SystemClock.h"
#include "platform/TimeSource.h"

#include <QLocale>
#include <QTcpSocket>
#include <QTimeZone>
#include <QTimer>

namespace {

constexpr qsizetype kMaxReply = 1024;  // a DAYTIME line is about 50 characters

QString balloonTitle() {
    return AppInfo::title() + OnlineTexts::balloonTitleSuffix();
}

// Columns counted from 1, both ends included; every character a decimal digit.
std::optional<int> number(const QByteArray& text, int from, int to) {
    if (text.size() < to)
        return std::nullopt;
    int value = 0;
    for (int i = from - 1; i < to; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

NetworkTime::NetworkTime(SystemClock& clock, const TimeSource& time, Hooks hooks, QObject* parent)
    : QObject(parent), clock_(clock), time_(time), hooks_(std::move(hooks)) {}

std::pair<QString, quint16> NetworkTime::server() {
    const QString setting = qEnvironmentVariable("CORVINATONE_TIME_SERVER");
    if (setting.isEmpty())
        return {QStringLiteral("time.nist.gov"), 13};
    const qsizetype colon = setting.lastIndexOf(u':');
    bool ok = false;
    const uint port = colon > 0 ? setting.mid(colon + 1).toUInt(&ok) : 0;
    if (ok && port > 0 && port <= 65535)
        return {setting.left(colon), quint16(port)};
    return {setting, 13};
}

std::optional<QDateTime> NetworkTime::parseReply(const QByteArray& reply) {
    // Blanks and control characters off both ends.
    qsizetype from = 0, to = reply.size();
    while (from < to && quint8(reply[from]) <= ' ')
        ++from;
    while (to > from && quint8(reply[to - 1]) <= ' ')
        --to;
    const QByteArray text = reply.mid(from, to - from);
    const auto year = number(text, 7, 8), month = number(text, 10, 11), day = number(text, 13, 14),
               hour = number(text, 16, 17), minute = number(text, 19, 20),
               second = number(text, 22, 23), msec = number(text, 32, 34);
    if (!year || !month || !day || !hour || !minute || !second || !msec)
        return std::nullopt;
    const QDate date(2000 + *year, *month, *day);
    const QTime time(*hour, *minute, *second, *msec);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());
}

void NetworkTime::ToolButton10Click() {
    if (busy())
        return;
    reply_.clear();
    socket_ = new QTcpSocket(this);
    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, &NetworkTime::fail);
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        reply_ += socket_->readAll();
        if (reply_.size() > kMaxReply)
            fail();
    });
    // The server sends its line and closes the connection.
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        reply_ += socket_->readAll();
        finish(reply_);
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            fail();
    });
    const auto [host, port] = server();
    deadline_->start(timeoutMsecs_);
    socket_->connectToHost(host, port);
}

void NetworkTime::finish(const QByteArray& reply) {
    end();
    const std::optional<QDateTime> instant = parseReply(reply);
    if (!instant) {
        fail();
        return;
    }
    // The reply is UTC, the instant the Linux clock keeps: right in every zone, with or without
    // daylight saving time.
    settingClock_ = true;
    clock_.setTime(*instant, [this](const QString& why) {
        settingClock_ = false;
        if (!why.isEmpty()) {
            fail();
            return;
        }
        hooks_.refreshWorldClock();
        const QDateTime now = time_.now();
        const QLocale locale;
        hooks_.balloon(balloonTitle(),
                       OnlineTexts::timeSynced() +
                           locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                           now.time().toString(QStringLiteral("HH:mm:ss")),
                       false);
    });
}

void NetworkTime::fail() {
    end();
    hooks_.balloon(balloonTitle(), OnlineTexts::timeSyncFailed(), true);
}

void NetworkTime::end() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    if (deadline_) {
        deadline_->deleteLater();
        deadline_ = nullptr;
    }
}
