// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/Downloads.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

Downloads::Downloads(QObject* parent) : QObject(parent) {}

void Downloads::get(const QUrl& url, Limits limits, Done done, Progress progress) {
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    // The bytes as sent: an announced length must be the length of what arrives.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(limits.stallMsecs);
    QNetworkReply* reply = network_.get(request);
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(limits.totalMsecs);
    auto tooLarge = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [reply, limits, progress, tooLarge](qint64 received, qint64 total) {
                if (received > limits.maxBytes || total > limits.maxBytes) {
                    *tooLarge = true;
                    reply->abort();
                    return;
                }
                if (progress)
                    progress(received, total);
            });
    connect(reply, &QNetworkReply::finished, this, [reply, done = std::move(done), tooLarge] {
        reply->deleteLater();
        if (*tooLarge) {
            done({}, QStringLiteral("the reply is larger than expected"));
            return;
        }
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError) {
            done({}, reply->errorString());
            return;
        }
        if (status != 200) {
            done({}, QStringLiteral("HTTP status %1").arg(status));
            return;
        }
        done(reply->readAll(), QString());
    });
}
