#include "barcode/NKDExtendedCode39Barcode.h"

#include "barcode/ModuleWriter.h"

#include <QList>

void NKDExtendedCode39Barcode::initWithContent(const QString& content, bool printsCaption) {
    NKDCode39Barcode::initWithContent(content, printsCaption);
    setContent(content);
    calculateWidth();
}

namespace {

// The Code 39 characters for one ASCII character in `parts` (none, one or two); returns how many.
constexpr int asciiParts(ushort c, char* parts) {
    const auto pair = [parts](char lead, int letter) {
        parts[0] = lead;
        parts[1] = char(letter);
        return 2;
    };
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' ' || c == '-' || c == '.') {
        parts[0] = char(c);
        return 1;
    }
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
    return 0;
}

} // namespace

QString NKDExtendedCode39Barcode::fullAsciiPair(QChar ch) {
    char parts[2] = {};
    const int n = asciiParts(ch.unicode(), parts);
    return n == 0 ? QString() : n == 1 ? QString(ch) : QString::fromLatin1(parts, 2);
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

const ModuleWriter::AsciiTable<26>& NKDExtendedCode39Barcode::modules() {
    static const ModuleWriter::AsciiTable<26> table = [] {
        ModuleWriter::AsciiTable<26> t;
        for (ushort u = 0; u < 128; ++u)
            for (QChar part : fullAsciiPair(QChar(u)))
                for (QChar c : code39Pattern(part))
                    t.c[u].m[t.c[u].size++] = c.unicode();
        return t;
    }();
    return table;
}

bool NKDExtendedCode39Barcode::isContentValid() const {
    for (QChar c : m_content)
        if (c.unicode() > 127 || modules().c[c.unicode()].size == 0)
            return false;
    return true;
}

int NKDExtendedCode39Barcode::moduleCount() const {
    // Start and stop, and each character's patterns (none for content outside ASCII).
    return int(26 + ModuleWriter::asciiModuleCount(modules(), m_content, m_checkDigit));
}

void NKDExtendedCode39Barcode::appendBarcode(QString& out) const {
    ModuleWriter::appendAscii(out, modules(), m_content, m_checkDigit);
}

QString NKDExtendedCode39Barcode::getRequirementDescription() const {
    return QStringLiteral("Extended Code 39 encodes letters, digits, space and the printable ASCII symbols.");
}
