#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"

QString NKDIndustrialTwoOfFiveBarcode::barcode() const {
    const QString text = asciiContent();
    const qsizetype n = text.size() + (m_checkDigit != -1 ? 1 : 0);
    QString out(n * 20, Qt::Uninitialized); // at most four modules for each of five elements
    QChar* w = out.data();
    const auto put = [&w](QChar d) {
        for (int e = 0; e < 5; ++e) {
            *w++ = QLatin1Char('1');
            if (!_getBarForDigit(d, e)) {
                *w++ = QLatin1Char('1');
                *w++ = QLatin1Char('1');
            }
            *w++ = QLatin1Char('0');
        }
    };
    for (QChar d : text)
        put(d);
    if (m_checkDigit != -1)
        put(QChar(m_checkDigit));
    out.truncate(w - out.constData());
    return out;
}
