#include "output/MakerLinks.h"

#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/ResourceSetup.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QUrlQuery>

namespace {
const QString kFileName = QStringLiteral("MakerLinks.txt");

QMutex mutex;
QString addressFile;
bool loaded = false;
QHash<QString, QString> addresses;

QString address(const QString& name) {
    QMutexLocker lock(&mutex);
    if (!loaded) {
        loaded = true;
        addresses.clear();
        QString path = addressFile;
        if (path.isEmpty()) {
            const QString shipped = shippedResourcesFolder();
            path = shipped.isEmpty() ? QString() : shipped + QLatin1Char('/') + kFileName;
        }
        QFile f(path);
        if (!path.isEmpty() && f.open(QIODevice::ReadOnly) && f.size() < 64 * 1024)
            addresses = MakerLinks::parseAddresses(QString::fromUtf8(f.readAll()));
        else
            Show_NSLog_Message(QStringLiteral("The maker's links were not found (%1)").arg(path));
    }
    return addresses.value(name);
}

// A plain mail address; anything else (a full URL, several addresses) is refused.
QUrl mail(const QString& to, const QString& subject = {}, const QString& body = {}) {
    static const QRegularExpression plain(
        QStringLiteral("^[^@\\s,;:?/<>\"]+@[^@\\s,;:?/<>\"]+\\.[^@\\s,;:?/<>\"]+$"));
    if (!plain.match(to).hasMatch())
        return {};
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

QUrl page(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return {};
    return url;
}

QUrl sharing(const QString& base, const QString& key) {
    const QUrl site = page(address(QStringLiteral("website_1")));
    if (site.isEmpty())
        return {};
    QUrl url(base);
    QUrlQuery q;
    q.addQueryItem(key, site.toString());
    url.setQuery(q);
    return url;
}
} // namespace

namespace MakerLinks {
QHash<QString, QString> parseAddresses(const QString& text) {
    QHash<QString, QString> out;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || eq <= 0)
            continue;
        out.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return out;
}

void setAddressFile(const QString& path) {
    QMutexLocker lock(&mutex);
    addressFile = path;
    loaded = false;
}

QUrl url(Link link) {
    switch (link) {
    case Link::SupportMail:
        return mail(address(QStringLiteral("support_mail")), QStringLiteral("NAVU Photo Frame support"));
    case Link::PartnerMail:
        return mail(address(QStringLiteral("partner_mail")),
                    QStringLiteral("Partnership enquiry: NAVU Photo Frame"),
                    QStringLiteral("Hello,\n\nWe are interested in becoming a partner for NAVU Photo Frame. "
                                   "Please send us the details of your partner programme.\n\nRegards,\n"));
    case Link::Website1:
        return page(address(QStringLiteral("website_1")));
    case Link::Website2:
        return page(address(QStringLiteral("website_2")));
    case Link::Website3:
        return page(address(QStringLiteral("website_3")));
    case Link::FacebookShare:
        return sharing(QStringLiteral("https://www.facebook.com/sharer/sharer.php"), QStringLiteral("u"));
    case Link::TwitterShare:
        return sharing(QStringLiteral("https://twitter.com/intent/tweet"), QStringLiteral("url"));
    case Link::FacebookLike:
        return sharing(QStringLiteral("https://www.facebook.com/plugins/like.php"), QStringLiteral("href"));
    case Link::CommentsPage:
        return page(address(QStringLiteral("comments_page")));
    case Link::ReviewPage:
        return page(address(QStringLiteral("review_page")));
    }
    return {};
}

bool open(Link link) {
    const QUrl target = url(link);
    if (target.isEmpty())
        return false;
    const bool ok = openUrl(target);
    if (!ok)
        Show_NSLog_Message(QStringLiteral("Could not open %1").arg(target.toString()));
    return ok;
}
} // namespace MakerLinks

using MakerLinks::Link;

bool Open_Support_Mail() {
    return MakerLinks::open(Link::SupportMail);
}
bool Open_Reseller_Mail() {
    return MakerLinks::open(Link::PartnerMail);
}
bool Open_Website_1() {
    return MakerLinks::open(Link::Website1);
}
bool Open_Website_2() {
    return MakerLinks::open(Link::Website2);
}
bool Open_Website_3() {
    return MakerLinks::open(Link::Website3);
}
bool Open_FaceBook() {
    return MakerLinks::open(Link::FacebookShare);
}
bool Open_Twitter() {
    return MakerLinks::open(Link::TwitterShare);
}
bool Open_FB_Like() {
    return MakerLinks::open(Link::FacebookLike);
}
bool Open_Share_It_Dl() {
    return MakerLinks::open(Link::CommentsPage);
}
bool Open_Review_Page() {
    return MakerLinks::open(Link::ReviewPage);
}
