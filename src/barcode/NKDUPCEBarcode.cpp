#include "barcode/NKDUPCEBarcode.h"

QString NKDUPCEBarcode::UPCAToUPCE(const QString& a) {
    if (a.size() < 12 || !allDigits(a))
        return QString();
    const QString& v = a;
    const auto zeros = [&](int from, int to) {
        for (int i = from; i <= to; ++i)
            if (a.at(i) != QLatin1Char('0'))
                return false;
        return true;
    };
    const QChar a3 = a.at(3);
    if ((a3 == QLatin1Char('0') || a3 == QLatin1Char('1') || a3 == QLatin1Char('2')) && zeros(4, 7))
        return v.mid(1, 2) + v.mid(8, 3) + a3;
    if (zeros(4, 8))
        return v.mid(1, 3) + v.mid(9, 2) + QLatin1Char('3');
    if (zeros(5, 9))
        return v.mid(1, 4) + a.at(10) + QLatin1Char('4');
    if (zeros(6, 9) && a.at(10).unicode() >= '5')
        return v.mid(1, 5) + a.at(10);
    return QString();
}

QString NKDUPCEBarcode::UPCEToUPCA(const QString& e) {
    if (e.size() != 7 || !allDigits(e))
        return QString();
    const QString d = e.mid(1); // e1..e6
    const QChar last = d.at(5);
    QString a = e.left(1);
    switch (last.unicode()) {
    case '0':
    case '1':
    case '2':
        a += d.mid(0, 2) + last + QStringLiteral("0000") + d.mid(2, 3);
        break;
    case '3':
        a += d.mid(0, 3) + QStringLiteral("00000") + d.mid(3, 2);
        break;
    case '4':
        a += d.mid(0, 4) + QStringLiteral("00000") + d.at(4);
        break;
    default:
        a += d.mid(0, 5) + QStringLiteral("0000") + last;
        break;
    }
    return a;
}

void NKDUPCEBarcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(content, printsCaption);
    m_given = content;
    m_checkDigit = -1;
    m_content.clear();
    if (!allDigits(content))
        return;
    if (content.size() == 11 || content.size() == 12) {
        const QString data = content.left(11);
        const int check = upcEanCheck(data);
        const QString six = UPCAToUPCE(data + QChar(check));
        if (!six.isEmpty()) {
            m_content = content.left(1) + six;
            m_checkDigit = check;
        }
    } else if (content.size() == 7 || content.size() == 8) {
        // Only the standard (shortest) suppression of a UPC-A number is a UPC-E number.
        const QString upca = UPCEToUPCA(content.left(7));
        const int check = upcEanCheck(upca);
        if (UPCAToUPCE(upca + QChar(check)) == content.mid(1, 6)) {
            m_content = content.left(7);
            m_checkDigit = check;
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
    if (m_content.size() != 7 || m_checkDigit < 0)
        return QString();
    QString out;
    out.reserve(42);
    for (int i = 1; i <= 6; ++i)
        out += parityForDigit(i) ? evenCode(m_content.at(i)) : leftCode(m_content.at(i));
    return out;
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
