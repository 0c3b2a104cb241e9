// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/PrivateHome.h"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// A DAYTIME server that answers each connection with its reply and closes it; with no reply it
// says nothing and keeps the connection open.
// Points $CORVINATONE_TIME_SERVER at itself while it lives.
class DaytimeServer {
  public:
    explicit DaytimeServer(QByteArray reply) : reply_(std::move(reply)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* peer = server_.nextPendingConnection();
            if (reply_.isEmpty())
                return;
            peer->write(reply_);
            peer->disconnectFromHost();
        });
        qputenv("CORVINATONE_TIME_SERVER", "127.0.0.1:" + QByteArray::number(server_.serverPort()));
    }
    ~DaytimeServer() { PrivateHome::keepOffline(); }

  private:
    QTcpServer server_;
    QByteArray reply_;
};
