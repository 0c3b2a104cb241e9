// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

// Where the options window's pages lead outside the maker's own server: microblogs, instant
// messaging, payment services, encyclopedia articles, the icons' authors, and the donation
// accounts shown. Each is a setting with a default, overridden by the environment variable named.
class MakerLinks {
  public:
    static QUrl sinaWeibo();         // CORVINATONE_SINA_WEIBO
    static QUrl tencentWeibo();      // CORVINATONE_TENCENT_WEIBO
    static QUrl qqContact();         // CORVINATONE_QQ_CONTACT; needs the QQ client to open
    static QUrl alipayPage();        // CORVINATONE_ALIPAY_PAGE
    static QUrl tenpayPage();        // CORVINATONE_TENPAY_PAGE
    static QString alipayAccount();  // CORVINATONE_ALIPAY_ACCOUNT
    static QString tenpayAccount();  // CORVINATONE_TENPAY_ACCOUNT
    // "我想在添加_____的功能" to the maker's mail address, as a mailto: address.
    static QUrl customEditionMail();
    // The encyclopedia article on a recording format (0 MP3, 1 WMA); CORVINATONE_ARTICLE_MP3,
    // CORVINATONE_ARTICLE_WMA.
    static QUrl formatArticle(int style);
    // The pages of the icons' authors; CORVINATONE_CREDIT1, CORVINATONE_CREDIT2.
    static QUrl credit1();
    static QUrl credit2();
};
