#include "barcode/NKDExtendedCode39Barcode.h"

#include <QList>

void NKDExtendedCode39Barcode::initWithContent(const QString& content, bool printsCaption) {
    NKDCode39Barcode::initWithContent(content, printsCaption);
    setContent(content);
    calculateWidth();
}

QString NKDExtendedCode39Barcode::fullAsciiPair(QChar ch) {
    const ushort c = ch.unicode();
    const auto pair = [](char lead, int letter) {
        return QString(QLatin1Char(lead)) + QLatin1Char(char(letter));
    };
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' ' || c == '-' || c == '.')
        return QString(ch);
    if (c >= 33 && c <= 44)
        return pair('/', 'A' + (c - 33));
    if (c == '/')
        return pair('/', 'O');
    if (c == ':')
        return pair('/', 'Z');
    if (c >= 59 && c <= 63)
        return pair('%', 'F' + (c - 59));
    if (c == '@')
        return pair('%', 'V');
    if (c >= 91 && c <= 95)
        return pair('%', 'K' + (c - 91));
    if (c == '`')
        return pair('%', 'W');
    if (c >= 'a' && c <= 'z')
        return pair('+', c - 'a' + 'A');
    if (c >= 123 && c <= 126)
        return pair('%', 'P' + (c - 123));
    return QString();
}

QString NKDExtendedCode39Barcode::_encodeChar(QChar c) const {
    static const QList<QString> patterns = [] {
        QList<QString> all(128);
        for (ushort u = 0; u < 128; ++u)
            for (QChar part : fullAsciiPair(QChar(u)))
                all[u] += code39Pattern(part);
        return all;
    }();
    return c.unicode() < 128 ? patterns.at(c.unicode()) : QString();
}

QString NKDExtendedCode39Barcode::getRequirementDescription() const {
    return QStringLiteral("Extended Code 39 encodes letters, digits, space and the printable ASCII symbols.");
}
