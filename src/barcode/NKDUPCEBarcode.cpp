#include "barcode/NKDUPCEBarcode.h"

#include "barcode/ModuleWriter.h"

#include <algorithm>

bool NKDUPCEBarcode::suppress(const char* d, char* e) {
    const auto zeros = [d](int from, int to) {
        for (int i = from; i <= to; ++i)
            if (d[i] != '0')
                return false;
        return true;
    };
    const char a3 = d[3];
    if ((a3 == '0' || a3 == '1' || a3 == '2') && zeros(4, 7)) {
        const char six[6] = {d[1], d[2], d[8], d[9], d[10], a3};
        std::copy_n(six, 6, e);
    } else if (zeros(4, 8)) {
        const char six[6] = {d[1], d[2], d[3], d[9], d[10], '3'};
        std::copy_n(six, 6, e);
    } else if (zeros(5, 9)) {
        const char six[6] = {d[1], d[2], d[3], d[4], d[10], '4'};
        std::copy_n(six, 6, e);
    } else if (zeros(6, 9) && d[10] >= '5') {
        const char six[6] = {d[1], d[2], d[3], d[4], d[5], d[10]};
        std::copy_n(six, 6, e);
    } else {
        return false;
    }
    return true;
}

QString NKDUPCEBarcode::UPCAToUPCE(const QString& a) {
    if (a.size() < 12 || !allDigits(a))
        return QString();
    char d[12];
    for (int i = 0; i < 12; ++i)
        d[i] = char(a.at(i).unicode());
    char e[6];
    return suppress(d, e) ? QString::fromLatin1(e, 6) : QString();
}

void NKDUPCEBarcode::expand(const char* d, char* a) {
    const char last = d[6];
    // The number system, then the manufacturer and product digits the last digit says.
    switch (last) {
    case '0':
    case '1':
    case '2': {
        const char v[11] = {d[0], d[1], d[2], last, '0', '0', '0', '0', d[3], d[4], d[5]};
        std::copy_n(v, 11, a);
        break;
    }
    case '3': {
        const char v[11] = {d[0], d[1], d[2], d[3], '0', '0', '0', '0', '0', d[4], d[5]};
        std::copy_n(v, 11, a);
        break;
    }
    case '4': {
        const char v[11] = {d[0], d[1], d[2], d[3], d[4], '0', '0', '0', '0', '0', d[5]};
        std::copy_n(v, 11, a);
        break;
    }
    default: {
        const char v[11] = {d[0], d[1], d[2], d[3], d[4], d[5], '0', '0', '0', '0', last};
        std::copy_n(v, 11, a);
        break;
    }
    }
}

int NKDUPCEBarcode::checkOf(const char* d, int n) {
    int sum = 0;
    int weight = 3;
    for (int i = n - 1; i >= 0; --i) {
        sum += (d[i] - '0') * weight;
        weight = 4 - weight;
    }
    return '0' + (10 - sum % 10) % 10;
}

QString NKDUPCEBarcode::UPCEToUPCA(const QString& e) {
    if (e.size() != 7 || !allDigits(e))
        return QString();
    char d[7];
    for (int i = 0; i < 7; ++i)
        d[i] = char(e.at(i).unicode());
    char a[11];
    expand(d, a);
    return QString::fromLatin1(a, 11);
}

void NKDUPCEBarcode::initWithContent(const QString& content, bool printsCaption) {
    // The defaults without content (its width would be worked out before the check digit is known).
    NKDBarcode::initWithContent(QString(), printsCaption);
    m_given = content;
    m_checkDigit = -1;
    const qsizetype n = content.size();
    if ((n != 7 && n != 8 && n != 11 && n != 12) || !allDigits(content))
        return;
    char d[12];
    for (qsizetype i = 0; i < std::min<qsizetype>(n, 11); ++i)
        d[i] = char(content.at(i).unicode());
    char e[6];
    if (n >= 11) {
        const int check = checkOf(d, 11);
        d[11] = char(check);
        if (suppress(d, e)) {
            QString c(7, Qt::Uninitialized);
            c[0] = content.at(0);
            for (int i = 0; i < 6; ++i)
                c[i + 1] = QLatin1Char(e[i]);
            m_content = c;
            m_checkDigit = check;
        }
    } else {
        // Only the standard (shortest) suppression of a UPC-A number is a UPC-E number.
        char a[12];
        expand(d, a);
        a[11] = char(checkOf(a, 11));
        if (suppress(a, e) && std::equal(e, e + 6, d + 1)) {
            m_content = content.left(7);
            m_checkDigit = a[11];
        }
    }
    calculateWidth();
}

bool NKDUPCEBarcode::parityForDigit(int position) const {
    // Even positions (bit 5 = position 1) for each check digit, number system 0.
    static const unsigned char kEven[10] = {0x38, 0x34, 0x32, 0x31, 0x2C, 0x26, 0x23, 0x2A, 0x29, 0x25};
    if (m_checkDigit < '0' || m_checkDigit > '9' || position < 1 || position > 6)
        return false;
    const bool even = (kEven[m_checkDigit - '0'] >> (6 - position)) & 1;
    return m_content.startsWith(QLatin1Char('0')) ? even : !even;
}

QString NKDUPCEBarcode::barcode() const {
    QString out;
    NKDUPCEBarcode::appendBarcode(out);
    return out;
}

void NKDUPCEBarcode::appendBarcode(QString& out) const {
    if (m_content.size() != 7 || m_checkDigit < 0)
        return;
    const QChar* c = m_content.constData();
    char16_t* w = ModuleWriter::grow(out, 6 * 7);
    for (int i = 1; i <= 6; ++i)
        w = putDigit(w, parityForDigit(i) ? LeftEven : LeftOdd, c[i]);
    ModuleWriter::finish(out, w);
}

QString NKDUPCEBarcode::invalidReason() const {
    const int n = int(m_given.size());
    if (n != 7 && n != 8 && n != 11 && n != 12)
        return QStringLiteral("UPC-E takes 7 digits (number system and six digits), 8 with the check digit, "
                              "or an 11 or 12 digit UPC-A number.");
    if (!allDigits(m_given))
        return QStringLiteral("UPC-E takes digits only.");
    if (m_given.at(0) != QLatin1Char('0') && m_given.at(0) != QLatin1Char('1'))
        return QStringLiteral("UPC-E needs the number system 0 or 1.");
    if (n == 12 && m_given.at(11).unicode() != upcEanCheck(m_given.left(11)))
        return QStringLiteral("The check digit of this UPC-A value is wrong: it should be %1.")
            .arg(QChar(upcEanCheck(m_given.left(11))));
    if (m_content.isEmpty() && n >= 11)
        return QStringLiteral("This UPC-A number cannot be written as UPC-E (it has too few zeros).");
    if (m_content.isEmpty())
        return QStringLiteral("This is not a standard UPC-E number (its UPC-A form is written differently).");
    if (n == 8 && m_given.at(7).unicode() != m_checkDigit)
        return QStringLiteral("The check digit of this UPC-E value is wrong: it should be %1.")
            .arg(QChar(m_checkDigit));
    return QString();
}
