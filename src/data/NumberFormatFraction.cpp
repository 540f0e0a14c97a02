// Numbers as fractions ("# ?/?", "# ?/8").

#include "data/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace xlsx {

namespace {
// The closest fraction to x >= 0 whose denominator is at most `most` (the smaller denominator on a tie).
void closestFraction(double x, qint64 most, qint64& num, qint64& den)
{
    qint64 h0 = 0, h1 = 1, k0 = 1, k1 = 0;
    double r = x;
    for (int step = 0; step < 64; ++step) {
        const double a = std::floor(r);
        if (a > 1e15)
            break;
        const qint64 ai = qint64(a);
        const qint64 h2 = ai * h1 + h0, k2 = ai * k1 + k0;
        if (k2 > most) {
            const qint64 t = (most - k0) / k1;
            const qint64 hs = t * h1 + h0, ks = t * k1 + k0;
            if (ks > 0 && std::fabs(x - double(hs) / double(ks)) < std::fabs(x - double(h1) / double(k1))) {
                num = hs;
                den = ks;
                return;
            }
            break;
        }
        h0 = h1, h1 = h2, k0 = k1, k1 = k2;
        const double f = r - a;
        if (f < 1e-10)
            break;
        r = 1.0 / f;
    }
    num = h1;
    den = k1;
}

// Digits into placeholders filled from the right ('0' pads with zeros, '?' with spaces, '#' with nothing);
// digits beyond the placeholders go in front.
void appendRight(std::string& out, const std::string& digits, const std::string& placeholders)
{
    const size_t P = placeholders.size(), L = digits.size();
    for (size_t k = L; k < P; ++k) {
        const char fill = NumberFormat::fillOf(placeholders[P - 1 - k]);
        if (fill)
            out += fill;
    }
    out += digits;
}
} // namespace

bool NumberFormat::formatFraction(const Section& s, double v, bool negative, std::string& out) const
{
    const double x = std::fabs(v);
    if (x >= 1e15)
        return false;
    const bool improper = s.intPlaceholders.empty();
    qint64 whole = improper ? 0 : qint64(std::floor(x));
    const double part = x - double(whole);
    qint64 num = 0, den = 1;
    if (s.fixedDenominator > 0) {
        den = s.fixedDenominator;
        num = std::llround(part * double(den));
    } else {
        qint64 most = 1;
        for (size_t k = 0; k < s.denPlaceholders.size() && k < 7; ++k)
            most *= 10;
        closestFraction(part, std::max<qint64>(1, most - 1), num, den);
    }
    if (!improper && num >= den) {
        whole += num / den;
        num %= den;
    }
    const bool zero = whole == 0 && num == 0;
    if (negative && !zero)
        out += _minus;
    const bool numQuestion = s.numPlaceholders.find('?') != std::string::npos;
    // A whole number shows no fraction: blanks where '?' would stand, nothing where '#' would, "0/1" with '0'.
    const bool hidden = !improper && num == 0 && s.numPlaceholders.find('0') == std::string::npos;
    std::string intText = whole > 0 ? std::to_string(whole) : zero ? "0" : "";
    const bool noInteger = !improper && whole == 0 && !zero &&
                           s.intPlaceholders.find_first_of("0?") == std::string::npos;
    bool intDone = false, numDone = false;
    for (const Token& k : s.tokens) {
        switch (k.kind) {
        case Token::Literal:
            if (k.width != 1)
                out += k.text;
            else if (hidden || noInteger)
                out.append(numQuestion ? (hidden ? std::string(k.text.size(), ' ') : k.text) : std::string());
            else
                out += k.text;
            break;
        case Token::Digit:
            if (k.width == 0 && !intDone) {
                appendRight(out, intText, s.intPlaceholders);
                intDone = true;
            } else if (k.width == 3 && !numDone) {
                numDone = true;
                if (hidden)
                    out.append(size_t(std::count(s.numPlaceholders.begin(), s.numPlaceholders.end(), '?')), ' ');
                else
                    appendRight(out, std::to_string(num), s.numPlaceholders);
            }
            break;
        case Token::FractionBar:
            if (!hidden)
                out += '/';
            else if (numQuestion)
                out += ' ';
            if (s.fixedDenominator > 0 && !hidden)
                out += std::to_string(s.fixedDenominator);
            else if (!s.denPlaceholders.empty()) {
                const std::string d = hidden ? std::string() : std::to_string(den);
                out += d;
                for (size_t p = d.size(); p < s.denPlaceholders.size(); ++p) {
                    if (s.denPlaceholders[p] != '#' && (!hidden || numQuestion))
                        out += ' ';
                }
            }
            break;
        case Token::DateSeparator: out += '/'; break;
        default: break;
        }
    }
    return true;
}

} // namespace xlsx
