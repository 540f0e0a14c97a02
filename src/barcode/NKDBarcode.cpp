#include "barcode/NKDBarcode.h"

#include "barcode/BarcodeText.h"

#include <algorithm>

bool NKDBarcode::isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 127)
            return false;
    return true;
}

QString NKDBarcode::asciiUpper(const QString& text) {
    const auto lower = [](QChar c) { return c.unicode() >= 'a' && c.unicode() <= 'z'; };
    if (std::none_of(text.cbegin(), text.cend(), lower))
        return text;
    QString out = text;
    for (QChar& c : out)
        if (lower(c))
            c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

int NKDBarcode::patternModuleCount() const {
    if (!isAscii(m_content))
        return int(initiator().size() + terminator().size());
    qsizetype n = initiator().size() + terminator().size();
    for (QChar c : m_content)
        n += _encodeChar(c).size();
    if (m_checkDigit != -1)
        n += _encodeChar(QChar(m_checkDigit)).size();
    return int(n);
}

QString NKDBarcode::asciiContent() const {
    return isAscii(m_content) ? m_content : QString();
}

void NKDBarcode::initWithContent(const QString& content, bool printsCaption) {
    initWithContent(content, printsCaption, 0.936f, 36.0f, 6.0f, -1);
}

void NKDBarcode::initWithContent(const QString& content, bool printsCaption, float barWidth, float height,
                                 float fontSize, int checkDigit) {
    setContent(content);
    m_printsCaption = printsCaption;
    m_barWidth = barWidth;
    m_height = height;
    m_captionFontSize = fontSize;
    calculateWidth();
    m_checkDigit = checkDigit;
}

bool NKDBarcode::isContentValid() const {
    if (!isAscii(m_content))
        return false;
    for (QChar c : m_content)
        if (_encodeChar(c).isEmpty())
            return false;
    return true;
}

QString NKDBarcode::invalidReason() const {
    if (isContentValid())
        return QString();
    for (qsizetype i = 0; i < m_content.size(); ++i)
        if (m_content.at(i).unicode() > 127 || _encodeChar(m_content.at(i)).isEmpty())
            return QStringLiteral("This barcode type cannot encode the character %1.")
                .arg(characterName(m_content, i));
    return QStringLiteral("This barcode type cannot encode the value.");
}

QString NKDBarcode::characterName(const QString& text, qsizetype index) {
    if (index < 0 || index >= text.size())
        return QString();
    char32_t code = text.at(index).unicode();
    qsizetype length = 1;
    if (QChar::isHighSurrogate(code) && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text.at(index), text.at(index + 1));
        length = 2;
    }
    const QChar::Category cat = QChar::category(code);
    const bool visible = code != ' ' && QChar::isPrint(code) && !QChar::isSpace(code) &&
                         cat != QChar::Other_Format && cat != QChar::Mark_NonSpacing &&
                         cat != QChar::Mark_Enclosing;
    if (visible)
        return QStringLiteral("\"%1\"").arg(text.mid(index, length));
    return QStringLiteral("U+") +
           QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

QString NKDBarcode::_encodeChar(QChar) const {
    return QStringLiteral("1010");
}

QString NKDBarcode::barcode() const {
    QString modules;
    modules.reserve(m_content.size() * 26 + 26);
    appendPatterns(modules);
    return modules;
}

void NKDBarcode::appendPatterns(QString& out) const {
    if (!isAscii(m_content))
        return;
    for (QChar c : m_content)
        out += _encodeChar(c);
    if (m_checkDigit != -1)
        out += _encodeChar(QChar(m_checkDigit));
}

QString NKDBarcode::completeBarcode() const {
    const QString start = initiator();
    const QString stop = terminator();
    QString out;
    out.reserve(start.size() + m_content.size() * 26 + 26 + stop.size());
    out += start;
    appendBarcode(out);
    out += stop;
    return out;
}

void NKDBarcode::calculateWidth() {
    m_width = moduleCount() * m_barWidth;
}

void NKDBarcode::setCaptionFontSize(const QFont& font) {
    m_captionFontSize = font.pointSizeF();
    const qreal h = BarcodeText::capHeight(font);
    m_captionHeight = float(h / 72 + 0.35 * h / 72);
}

void NKDBarcode::setHeaderFontSize(const QFont& font) {
    m_headerFontSize = font.pointSizeF();
    const qreal h = BarcodeText::capHeight(font);
    m_headerHeight = float(h / 72 + 0.35 * h / 72);
    m_headerWidth = float(BarcodeText::spacedWidth(font, m_header, BarcodeText::kLineKern)); // as drawn
}

void NKDBarcode::setFooterFontSize(const QFont& font) {
    m_footerFontSize = font.pointSizeF();
    const qreal h = BarcodeText::capHeight(font);
    m_footerHeight = float(h / 72 + 0.35 * h / 72);
    m_footerWidth = float(BarcodeText::spacedWidth(font, m_footer, BarcodeText::kLineKern));
}

void NKDBarcode::fitCaption(const QFont& font, qreal room, bool spread) {
    m_captionKern = 2.0f;
    m_captionFits = true;
    const QString text = caption();
    const qreal designed = font.pointSizeF();
    if (!m_printsCaption || text.isEmpty() || text.contains(QLatin1Char('\t')) || !leftCaption().isEmpty() ||
        !(designed > 0))
        return;
    // A spread text's letters may close up to touching.
    const BarcodeText::FittedSize fitted = BarcodeText::fitToWidth(font, text, spread ? 0.0 : 2.0, room);
    m_captionFits = fitted.fits;
    if (fitted.points == designed)
        return;
    QFont f = font;
    f.setPointSizeF(fitted.points);
    setCaptionFontSize(f);
    m_captionKern = float(2.0 * fitted.points / designed);
}

QString NKDBarcode::leftCaption() const {
    return m_content.left(digitsToLeft());
}

QString NKDBarcode::rightCaption() const {
    const int n = digitsToRight();
    return n > 0 ? m_content.right(n) : QString();
}

QString NKDBarcode::caption() const {
    const int l = digitsToLeft();
    const int r = digitsToRight();
    if (l == 0 && r == 0)
        return m_content;
    return m_content.mid(l, qMax(0, int(m_content.size()) - l - r));
}

float NKDBarcode::barTop(int) const {
    double h = m_height;
    if (printsCaption())
        h -= m_captionHeight * 72.0 + m_margins.value_margin;
    if (printsHeader())
        h -= m_headerHeight * 72.0 + m_margins.header_margin;
    if (printsFooter())
        h -= m_footerHeight * 72.0 + m_margins.footer_margin;
    h -= 2.0 * m_margins.TB_margin;
    return float(h);
}

QString NKDBarcode::description() const {
    return QStringLiteral("\n\tBarcode Class: %1\n\tContent: %2\n\tCheck Digit:%3\n\tWidth:%4\n\tHeight:%5"
                          "\n\tBar Width:%6\n\tCaption Font Size:%7\n\tCaption Height:%8")
        .arg(className(), m_content, m_checkDigit >= 0 ? QString(QChar(m_checkDigit)) : QString())
        .arg(m_width, 0, 'f', 6)
        .arg(m_height, 0, 'f', 6)
        .arg(m_barWidth, 0, 'f', 6)
        .arg(m_captionFontSize, 0, 'f', 6)
        .arg(m_captionHeight, 0, 'f', 6);
}
