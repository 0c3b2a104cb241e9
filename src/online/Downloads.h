// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

// HTTP GETs of the update server's files: with a time-out for a transfer that stalls, a cap on
// what is taken in, redirects followed only where they do not lower the security (https stays
// https), and the request headers the server knows.
class Downloads : public QObject {
    Q_OBJECT

  public:
    struct Limits {
        qint64 maxBytes;
        int stallMsecs;  // no data for this long ends the transfer
        int totalMsecs;  // nor does any transfer take longer than this
    };
    static constexpr Limits kDescriptor{1 << 20, 8'000, 20'000};
    static constexpr Limits kPacket{64 << 20, 20'000, 180'000};
    static constexpr Limits kProgram{256 << 20, 30'000, 900'000};

    using Done = std::function<void(const QByteArray& body, const QString& error)>;
    using Progress = std::function<void(qint64 received, qint64 total)>;

    explicit Downloads(QObject* parent = nullptr);

    // done comes once, from the event loop: the body, or an empty body and the reason.
    void get(const QUrl& url, Limits limits, Done done, Progress progress = {});

  private:
    QNetworkAccessManager network_;
};
