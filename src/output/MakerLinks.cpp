#include "output/MakerLinks.h"

#include "common/FileHelpers.h"
#include "common/Prompt.h"

#include <QUrlQuery>

namespace {
// The maker's own addresses, kept in one place.
const QString kSite = QStringLiteral("https://www.navu-photo-frame.example");
const QString kSupport = QStringLiteral("support@navu-photo-frame.example");
const QString kPartners = QStringLiteral("partners@navu-photo-frame.example");

QUrl mail(const QString& to, const QString& subject = {}, const QString& body = {}) {
    QUrl url(QStringLiteral("mailto:") + to);
    QUrlQuery q;
    if (!subject.isEmpty())
        q.addQueryItem(QStringLiteral("subject"), subject);
    if (!body.isEmpty())
        q.addQueryItem(QStringLiteral("body"), body);
    if (!q.isEmpty())
        url.setQuery(q);
    return url;
}

QUrl withSite(const QString& base, const QString& key) {
    QUrl url(base);
    QUrlQuery q;
    q.addQueryItem(key, kSite);
    url.setQuery(q);
    return url;
}

bool open(const QUrl& url) {
    const bool ok = openUrl(url);
    if (!ok)
        Show_NSLog_Message(QStringLiteral("Could not open %1").arg(url.toString()));
    return ok;
}
} // namespace

namespace MakerLinks {
QUrl supportMail() {
    return mail(kSupport, QStringLiteral("NAVU Photo Frame support"));
}
QUrl resellerMail() {
    return mail(kPartners, QStringLiteral("Partnership enquiry: NAVU Photo Frame"),
                QStringLiteral("Hello,\n\nWe are interested in becoming a partner for NAVU Photo Frame. "
                               "Please send us the details of your partner programme.\n\nRegards,\n"));
}
QUrl website(int n) {
    switch (n) {
    case 2:
        return QUrl(kSite + QStringLiteral("/products"));
    case 3:
        return QUrl(kSite + QStringLiteral("/support"));
    default:
        return QUrl(kSite);
    }
}
QUrl googlePlusShare() {
    return withSite(QStringLiteral("https://plus.google.com/share"), QStringLiteral("url"));
}
QUrl facebookShare() {
    return withSite(QStringLiteral("https://www.facebook.com/sharer/sharer.php"), QStringLiteral("u"));
}
QUrl twitterShare() {
    return withSite(QStringLiteral("https://twitter.com/intent/tweet"), QStringLiteral("url"));
}
QUrl facebookLike() {
    return withSite(QStringLiteral("https://www.facebook.com/plugins/like.php"), QStringLiteral("href"));
}
QUrl commentsPage() {
    return QUrl(kSite + QStringLiteral("/comments"));
}
QUrl reviewPage() {
    return QUrl(kSite + QStringLiteral("/review"));
}
} // namespace MakerLinks

bool Open_Support_Mail() {
    return open(MakerLinks::supportMail());
}
bool Open_Reseller_Mail() {
    return open(MakerLinks::resellerMail());
}
bool Open_Website_1() {
    return open(MakerLinks::website(1));
}
bool Open_Website_2() {
    return open(MakerLinks::website(2));
}
bool Open_Website_3() {
    return open(MakerLinks::website(3));
}
bool Open_Google_Plus() {
    return open(MakerLinks::googlePlusShare());
}
bool Open_FaceBook() {
    return open(MakerLinks::facebookShare());
}
bool Open_Twitter() {
    return open(MakerLinks::twitterShare());
}
bool Open_FB_Like() {
    return open(MakerLinks::facebookLike());
}
bool Open_Share_It_Dl() {
    return open(MakerLinks::commentsPage());
}
bool Open_Review_Page() {
    return open(MakerLinks::reviewPage());
}
