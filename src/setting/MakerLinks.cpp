// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/MakerLinks.h"

#include "setting/ServerAddresses.h"

#include <QUrlQuery>

namespace {
QString setting(const char* variable, const QString& fallback) {
    return qEnvironmentVariable(variable, fallback);
}
QUrl link(const char* variable, const QString& fallback) {
    return QUrl(setting(variable, fallback));
}
}  // namespace

QUrl MakerLinks::sinaWeibo() {
    return link("CORVINATONE_SINA_WEIBO", QStringLiteral("https://weibo.com/corvinatone"));
}

QUrl MakerLinks::tencentWeibo() {
    return link("CORVINATONE_TENCENT_WEIBO", QStringLiteral("https://t.qq.com/corvinatone"));
}

QUrl MakerLinks::qqContact() {
    return link("CORVINATONE_QQ_CONTACT",
                QStringLiteral("tencent://message/?uin=20121202&Site=corvinatone&Menu=yes"));
}

QUrl MakerLinks::alipayPage() {
    return link("CORVINATONE_ALIPAY_PAGE", QStringLiteral("https://www.alipay.com/"));
}

QUrl MakerLinks::tenpayPage() {
    return link("CORVINATONE_TENPAY_PAGE", QStringLiteral("https://www.tenpay.com/"));
}

QString MakerLinks::alipayAccount() {
    return setting("CORVINATONE_ALIPAY_ACCOUNT", QStringLiteral("donate@corvinatone.com"));
}

QString MakerLinks::tenpayAccount() {
    return setting("CORVINATONE_TENPAY_ACCOUNT", QStringLiteral("20121202"));
}

QUrl MakerLinks::customEditionMail() {
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(ServerAddresses::makerMail());
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral("我想在添加_____的功能"));
    url.setQuery(query);
    return url;
}

QUrl MakerLinks::formatArticle(int style) {
    return style == 1 ? link("CORVINATONE_ARTICLE_WMA",
                             QStringLiteral("https://zh.wikipedia.org/wiki/Windows_Media_Audio"))
                      : link("CORVINATONE_ARTICLE_MP3",
                             QStringLiteral("https://zh.wikipedia.org/wiki/MP3"));
}

QUrl MakerLinks::credit1() {
    return link("CORVINATONE_CREDIT1",
                ServerAddresses::base() + QStringLiteral("/credits.html#main"));
}

QUrl MakerLinks::credit2() {
    return link("CORVINATONE_CREDIT2",
                ServerAddresses::base() + QStringLiteral("/credits.html#formats"));
}
