#pragma once

// The series generator's rules without its window: reading numbers typed as text, the bounds of the count
// and length fields, checks of the typed input and the three kinds of sequences.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace SeriesGenerator {

// A typed number read as a 32-bit integer: leading blanks skipped, an optional sign, then decimal digits up
// to the first other character; 0 when the text does not start that way; clamped to the 32-bit range.
int readInt32(const QString& text);

// "0" characters put in front of text until it has at least length characters.
QString PadZero(const QString& text, int length);

// Bounded fields: the text a count field (1 to 10000) or the length field (1 to 9) shows after an edit.
QString boundedCountText(const QString& text);
QString boundedLengthText(const QString& text);

enum class Mode { Sequential, Constant, Random };
enum class Field { None, From, To, Value, Count, RandomCount, RandomLength };

struct Input {
    Mode mode = Mode::Sequential;
    QString prefix, suffix, from, to; // sequential
    bool padDigits = false;
    QString value, count;                                  // constant
    QString randPrefix, randSuffix, randLength, randCount; // random
};

struct Problem {
    QString message; // empty when the input is fine
    Field focus = Field::None;
};

// Largest number of values one run makes.
constexpr qint64 MaxValues = 1000000;

// Checks the input of the chosen mode; the first failure wins.
Problem check(const Input& input);

// Sequential values: from F to T (integers of the texts), padded to the longer of the two texts when
// asked, between prefix and suffix.
QStringList sequentialValues(const QString& prefix, const QString& from, const QString& to,
                             const QString& suffix, bool padDigits);
// The value count times (none for a count of 0 or less).
QStringList constantValues(const QString& value, int count);

// The range of random numbers of a length text: "1" gives 1..9, "L" (2..9) gives 10^(L-1)..10^L-1.
// A text that is a digit with blanks around is read as that digit; anything else gives {0, 0}.
struct Range {
    quint32 min = 0;
    quint32 max = 0;
};
Range randomRange(const QString& lengthText);
// r modulo (max - min + 1) plus min, in unsigned 32-bit arithmetic.
quint32 numberInRange(quint32 r, quint32 min, quint32 max);
using RandomSource = std::function<quint32()>;
// count values prefix + number + suffix; source defaults to the system's generator.
QStringList randomValues(const QString& prefix, const QString& lengthText, int count, const QString& suffix,
                         const RandomSource& source = {});

// The values of the input's mode (the input must have passed check()).
QStringList generate(const Input& input, const RandomSource& source = {});

// Text of the padding help: title and explanation.
QString paddingHelpTitle();
QString paddingHelpText();

} // namespace SeriesGenerator
