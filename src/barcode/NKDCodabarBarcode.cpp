#include "barcode/NKDCodabarBarcode.h"

#include "barcode/ModuleWriter.h"

#include <QList>

namespace {
bool isStartStop(QChar c) {
    return c.unicode() >= 'A' && c.unicode() <= 'D';
}
} // namespace

QString NKDCodabarBarcode::_encodeChar(QChar c) const {
    // Each pattern with its one-module gap, as literal strings (handing one out costs nothing).
    struct Table {
        QString t[128];
        Table() {
            t['0'] = QStringLiteral("1010100110");
            t['1'] = QStringLiteral("1010110010");
            t['2'] = QStringLiteral("1010010110");
            t['3'] = QStringLiteral("1100101010");
            t['4'] = QStringLiteral("1011010010");
            t['5'] = QStringLiteral("1101010010");
            t['6'] = QStringLiteral("1001010110");
            t['7'] = QStringLiteral("1001011010");
            t['8'] = QStringLiteral("1001101010");
            t['9'] = QStringLiteral("1101001010");
            t['-'] = QStringLiteral("1010011010");
            t['$'] = QStringLiteral("1011001010");
            t[':'] = QStringLiteral("11010110110");
            t['/'] = QStringLiteral("11011010110");
            t['.'] = QStringLiteral("11011011010");
            t['+'] = QStringLiteral("10110110110");
            t['A'] = QStringLiteral("10110010010");
            t['B'] = QStringLiteral("10010010110");
            t['C'] = QStringLiteral("10100100110");
            t['D'] = QStringLiteral("10100110010");
        }
    };
    static const Table table;
    return c.unicode() < 128 ? table.t[c.unicode()] : QString();
}

const ModuleWriter::AsciiTable<11>& NKDCodabarBarcode::modules() {
    static const ModuleWriter::AsciiTable<11> table = [] {
        ModuleWriter::AsciiTable<11> t;
        const NKDCodabarBarcode codabar;
        for (ushort u = 0; u < 128; ++u)
            for (QChar c : codabar._encodeChar(QChar(u)))
                t.c[u].m[t.c[u].size++] = c.unicode();
        return t;
    }();
    return table;
}

int NKDCodabarBarcode::moduleCount() const {
    return int(ModuleWriter::asciiModuleCount(modules(), m_content, m_checkDigit));
}

void NKDCodabarBarcode::appendBarcode(QString& out) const {
    ModuleWriter::appendAscii(out, modules(), m_content, m_checkDigit);
}

bool NKDCodabarBarcode::isContentValid() const {
    const qsizetype n = m_content.size();
    if (n < 2 || !isStartStop(m_content.at(0)) || !isStartStop(m_content.at(n - 1)))
        return false;
    const auto& t = modules();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = m_content.at(i);
        if (c.unicode() > 127 || t.c[c.unicode()].size == 0 || (i > 0 && i + 1 < n && isStartStop(c)))
            return false;
    }
    return true;
}

QString NKDCodabarBarcode::invalidReason() const {
    for (qsizetype i = 0; i < m_content.size(); ++i)
        if (m_content.at(i).unicode() > 127 || _encodeChar(m_content.at(i)).isEmpty())
            return QStringLiteral(
                       "Codabar takes digits, \"-$:/.+\" and the start and stop characters A-D, not %1.")
                .arg(characterName(m_content, i));
    const qsizetype n = m_content.size();
    if (n < 2 || !isStartStop(m_content.at(0)) || !isStartStop(m_content.at(n - 1)))
        return QStringLiteral("Codabar needs a start and a stop character A, B, C or D at both ends.");
    for (qsizetype i = 1; i + 1 < n; ++i)
        if (isStartStop(m_content.at(i)))
            return QStringLiteral("Codabar allows A, B, C and D only as the first and last character.");
    return QString();
}
