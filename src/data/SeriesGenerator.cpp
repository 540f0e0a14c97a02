#include "data/SeriesGenerator.h"

#include "common/StringHelpers.h"

#include <QRandomGenerator>

#include <limits>

namespace SeriesGenerator {

int readInt32(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            value = qint64(std::numeric_limits<int>::max()) + 1; // enough to clamp, no overflow
        ++i;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(value);
}

QString PadZero(const QString& text, int length) {
    if (text.size() >= length)
        return text;
    return QString(length - text.size(), u'0') + text;
}

QString boundedCountText(const QString& text) {
    const QString t = Trim_Str(text);
    QString field = text;
    if (t.isEmpty() || readInt32(t) == 0)
        field = QStringLiteral("1");
    else if (t.size() > 5)
        field = t.left(5);
    if (readInt32(field) > 10000)
        field = QStringLiteral("10000");
    return field;
}

QString boundedLengthText(const QString& text) {
    const QString t = Trim_Str(text);
    QString field = text;
    if (t.isEmpty() || readInt32(t) == 0)
        field = QStringLiteral("1");
    else if (t.size() > 1)
        field = t.left(1);
    if (readInt32(field) > 9)
        field = QStringLiteral("9");
    return field;
}

Problem check(const Input& input) {
    switch (input.mode) {
    case Mode::Sequential: {
        if (input.from.isEmpty())
            return {QStringLiteral("Please enter valid 'From' value."), Field::From};
        if (input.to.isEmpty())
            return {QStringLiteral("Please enter valid 'To' value."), Field::To};
        const qint64 f = readInt32(input.from), t = readInt32(input.to);
        if (f >= t)
            return {QStringLiteral("'From' value must be smaller than 'To' value."), Field::From};
        if (t - f + 1 > MaxValues)
            return {QStringLiteral("A series can have at most %1 values.").arg(MaxValues), Field::To};
        return {};
    }
    case Mode::Constant:
        if (input.value.isEmpty())
            return {QStringLiteral("Please enter valid 'Value'."), Field::Value};
        if (input.count.isEmpty())
            return {QStringLiteral("Please enter valid 'Count' value."), Field::Count};
        return {};
    case Mode::Random:
        if (input.randCount.isEmpty())
            return {QStringLiteral("Please enter valid 'Count' value."), Field::RandomCount};
        if (input.randLength.isEmpty())
            return {QStringLiteral("Please enter valid 'Length' value."), Field::RandomLength};
        return {};
    }
    return {};
}

QStringList sequentialValues(const QString& prefix, const QString& from, const QString& to,
                             const QString& suffix, bool padDigits) {
    QStringList values;
    const qint64 f = readInt32(from), t = readInt32(to);
    if (t < f || t - f + 1 > MaxValues)
        return values;
    const int width = int(std::max(from.size(), to.size()));
    values.reserve(int(t - f + 1));
    for (qint64 n = f; n <= t; ++n) {
        QString number = QString::number(n);
        if (padDigits)
            number = PadZero(number, width);
        values << prefix + number + suffix;
    }
    return values;
}

QStringList constantValues(const QString& value, int count) {
    QStringList values;
    for (int i = 0; i < std::min<qint64>(count, MaxValues); ++i)
        values << value;
    return values;
}

Range randomRange(const QString& lengthText) {
    const QString t = Trim_Str(lengthText);
    if (t.size() != 1 || t[0] < u'1' || t[0] > u'9')
        return {};
    const int length = t[0].unicode() - u'0';
    if (length == 1)
        return {1, 9};
    quint32 low = 1;
    for (int i = 1; i < length; ++i)
        low *= 10;
    return {low, low * 10 - 1};
}

quint32 numberInRange(quint32 r, quint32 min, quint32 max) {
    return r % (max - min + 1) + min;
}

QStringList randomValues(const QString& prefix, const QString& lengthText, int count, const QString& suffix,
                         const RandomSource& source) {
    QStringList values;
    const Range range = randomRange(lengthText);
    for (int i = 0; i < std::min<qint64>(count, MaxValues); ++i) {
        const quint32 r = source ? source() : QRandomGenerator::system()->generate();
        const quint32 n = range.max == 0 ? 0 : numberInRange(r, range.min, range.max);
        values << prefix + QString::number(n) + suffix;
    }
    return values;
}

QStringList generate(const Input& input, const RandomSource& source) {
    switch (input.mode) {
    case Mode::Sequential:
        return sequentialValues(input.prefix, input.from, input.to, input.suffix, input.padDigits);
    case Mode::Constant:
        return constantValues(input.value, readInt32(input.count));
    case Mode::Random:
        return randomValues(input.randPrefix, input.randLength, readInt32(input.randCount), input.randSuffix,
                            source);
    }
    return {};
}

QString paddingHelpTitle() {
    return QStringLiteral("Maintain number of Digits By adding 0's before smaller values. ");
}

QString paddingHelpText() {
    return QStringLiteral("For example:\r\nIf you have to generate a series of barcodes having values from "
                          "'0' to '200', this option "
                          "automatically converts small values such as '1' to '001' and '11' to '011' to "
                          "maintain number of digits "
                          "same as the highest value in the series.\r\n\r\nSimilarly, if you have selected a "
                          "series starting from "
                          "'001' to '00200', this option automatically converts small values such as '001' "
                          "to '00001' and '0011' "
                          "to '00011' to maintain number of digits same as the highest value in the series.");
}

} // namespace SeriesGenerator
