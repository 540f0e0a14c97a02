#include "barcode/twod/DataMatrixCode.h"

#include "barcode/twod/DataMatrixEncoder.h"

#include <algorithm>

namespace {

constexpr datamatrix::Scheme kSchemes[5] = {datamatrix::Scheme::Auto, datamatrix::Scheme::Ascii,
                                            datamatrix::Scheme::C40, datamatrix::Scheme::Text,
                                            datamatrix::Scheme::Base256};
constexpr char kSchemeLetters[5] = {0, 'A', 'C', 'T', 'B'};

// Non-ASCII values are UTF-8 and say so with ECI 26.
bool needsEci(const QByteArray& value)
{
    for (const char c : value)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

bool validIndexes(int formatIndex, int encodingIndex)
{
    return formatIndex >= 0 && formatIndex < dataMatrixFormats().size() && encodingIndex >= 0 &&
           encodingIndex < dataMatrixEncodings().size();
}

// "Auto" takes the smallest square that holds the value; every other entry is one fixed size.
int sizeChoiceFor(int formatIndex)
{
    return formatIndex == 0 ? datamatrix::kSmallestSquare : formatIndex - 1;
}

} // namespace

const QStringList& dataMatrixFormats()
{
    static const QStringList list = {
        QStringLiteral("Auto"),     QStringLiteral("C10X10"),   QStringLiteral("C12X12"),
        QStringLiteral("C14X14"),   QStringLiteral("C16X16"),   QStringLiteral("C18X18"),
        QStringLiteral("C20X20"),   QStringLiteral("C22X22"),   QStringLiteral("C24X24"),
        QStringLiteral("C26X26"),   QStringLiteral("C32X32"),   QStringLiteral("C36X36"),
        QStringLiteral("C40X40"),   QStringLiteral("C44X44"),   QStringLiteral("C48X48"),
        QStringLiteral("C52X52"),   QStringLiteral("C64X64"),   QStringLiteral("C72X72"),
        QStringLiteral("C80X80"),   QStringLiteral("C88X88"),   QStringLiteral("C96X96"),
        QStringLiteral("C104X104"), QStringLiteral("C120X120"), QStringLiteral("C132X132"),
        QStringLiteral("C144X144"), QStringLiteral("C8X18"),    QStringLiteral("C8X32"),
        QStringLiteral("C12X26"),   QStringLiteral("C12X36"),   QStringLiteral("C16X36"),
        QStringLiteral("C16X48")};
    return list;
}

const QStringList& dataMatrixEncodings()
{
    static const QStringList list = {QStringLiteral("Auto"), QStringLiteral("Ascii"), QStringLiteral("C40"),
                                     QStringLiteral("Text"), QStringLiteral("Base256")};
    return list;
}

void dataMatrixRequestedSize(const QString& format, int* rows, int* columns)
{
    *rows = 0;
    *columns = 0;
    if (format == QLatin1String("Auto"))
        return;
    const QString rest = format.mid(1);
    const int x = rest.indexOf(QLatin1Char('X'));
    if (x < 0)
        return;
    *rows = rest.left(x).trimmed().toInt();
    *columns = rest.mid(x + 1).trimmed().toInt();
}

DataMatrixFailure dataMatrixFailureText(int width, int height, int encoded, int maxLength, int eccLength,
                                        const QByteArray& value, const QByteArray& encodation)
{
    DataMatrixFailure f;
    f.errorText = "No barcode produced\n";
    f.outputText = QByteArray("Size    : ") + QByteArray::number(width) + 'x' + QByteArray::number(height) + '\n' +
                   "Encoded : " + QByteArray::number(encoded) + " of " + QByteArray::number(maxLength) +
                   " bytes with " + QByteArray::number(eccLength) + " bytes of ecc\n" + "Barcode : " + value +
                   '\n' + "Encoding: " + encodation + '\n';
    return f;
}

std::optional<DataMatrixSymbol> encodeDataMatrix(const QByteArray& value, int formatIndex, int encodingIndex,
                                                 DataMatrixFailure* failure)
{
    if (!validIndexes(formatIndex, encodingIndex))
        return std::nullopt;
    DataMatrixSymbol s;
    const auto* bytes = reinterpret_cast<const uint8_t*>(value.constData());
    const datamatrix::Result r = datamatrix::encode(bytes, std::size_t(value.size()), kSchemes[encodingIndex],
                                                    sizeChoiceFor(formatIndex), needsEci(value), &s.modules);
    if (r.status == datamatrix::Status::Ok) {
        s.height = datamatrix::symbolInfo(r.symbol).rows;
        s.width = datamatrix::symbolInfo(r.symbol).columns;
        return s;
    }
    if (failure) {
        int rows = 0, cols = 0;
        dataMatrixRequestedSize(dataMatrixFormats()[formatIndex], &rows, &cols);
        const bool fixed = formatIndex > 0;
        const datamatrix::SymbolInfo& info = datamatrix::symbolInfo(formatIndex - 1);
        const QByteArray encodation =
            kSchemeLetters[encodingIndex]
                ? QByteArray(QString::fromUtf8(value).size(), kSchemeLetters[encodingIndex]) // one per character
                : QByteArray();
        *failure = dataMatrixFailureText(cols, rows, r.dataWords, fixed ? info.dataWords : 0,
                                         fixed ? info.eccWords : 0, value, encodation);
    }
    return std::nullopt;
}

bool dataMatrixFits(const QByteArray& utf8, int formatIndex, int encodingIndex)
{
    if (!validIndexes(formatIndex, encodingIndex))
        return false;
    return datamatrix::encodeCodewords(reinterpret_cast<const uint8_t*>(utf8.constData()), std::size_t(utf8.size()),
                                       kSchemes[encodingIndex], sizeChoiceFor(formatIndex), needsEci(utf8), nullptr)
               .status == datamatrix::Status::Ok;
}

QSize dataMatrixSymbolSize(const QByteArray& utf8, int formatIndex, int encodingIndex)
{
    if (!validIndexes(formatIndex, encodingIndex))
        return {};
    const datamatrix::Result r = datamatrix::encodeCodewords(
        reinterpret_cast<const uint8_t*>(utf8.constData()), std::size_t(utf8.size()), kSchemes[encodingIndex],
        sizeChoiceFor(formatIndex), needsEci(utf8), nullptr);
    if (r.status != datamatrix::Status::Ok)
        return {};
    return QSize(datamatrix::symbolInfo(r.symbol).columns, datamatrix::symbolInfo(r.symbol).rows);
}

DataMatrixAreaChoice dataMatrixFormatForArea(const QByteArray& utf8, int encodingIndex, double widthPoints,
                                             double heightPoints, int moduleSize)
{
    DataMatrixAreaChoice c;
    if (encodingIndex < 0 || encodingIndex >= dataMatrixEncodings().size()) {
        c.reason = QStringLiteral("Unknown Data Matrix encoding %1.").arg(encodingIndex);
        return c;
    }
    const int m = std::max(1, moduleSize);
    const double columns = widthPoints / m, rows = heightPoints / m;
    int best = -1;
    for (int i = 0; i < datamatrix::kSymbolCount; ++i) {
        const datamatrix::SymbolInfo& s = datamatrix::symbolInfo(i);
        if (s.columns <= columns && s.rows <= rows &&
            (best < 0 || s.dataWords > datamatrix::symbolInfo(best).dataWords))
            best = i;
    }
    if (best < 0) {
        c.reason =
            QStringLiteral("A width of %1 pt and a height of %2 pt hold no Data Matrix symbol at %3 pt a "
                           "module (the smallest is 10 modules square, or 18 wide and 8 high).")
                .arg(widthPoints)
                .arg(heightPoints)
                .arg(m);
        return c;
    }
    if (!utf8.isEmpty() && !dataMatrixFits(utf8, best + 1, encodingIndex)) {
        // The smallest symbol of any shape that holds the value, for the reason.
        const QString encoding = dataMatrixEncodings()[encodingIndex];
        int need = -1;
        for (int i = 0; i < datamatrix::kSymbolCount; ++i)
            if (dataMatrixFits(utf8, i + 1, encodingIndex) &&
                (need < 0 || datamatrix::symbolInfo(i).rows * datamatrix::symbolInfo(i).columns <
                                 datamatrix::symbolInfo(need).rows * datamatrix::symbolInfo(need).columns))
                need = i;
        const datamatrix::SymbolInfo& fit = datamatrix::symbolInfo(best);
        if (need < 0) {
            c.reason =
                QStringLiteral("The value is too long for any Data Matrix symbol with the %1 encoding.")
                    .arg(encoding);
        } else {
            const datamatrix::SymbolInfo& n = datamatrix::symbolInfo(need);
            c.reason =
                QStringLiteral("The value needs a Data Matrix symbol at least %1 modules wide and %2 high "
                               "(%3 x %4 pt at %5 pt a module); this width and height hold at most %6 "
                               "wide and %7 high.")
                    .arg(n.columns)
                    .arg(n.rows)
                    .arg(n.columns * m)
                    .arg(n.rows * m)
                    .arg(m)
                    .arg(fit.columns)
                    .arg(fit.rows);
        }
        return c;
    }
    c.formatIndex = best + 1;
    return c;
}

QByteArray makeEPS_Data_Matrix(const QByteArray& value, int W, int H, const std::vector<uint8_t>& grid)
{
    QByteArray eps;
    eps.reserve(400 + (W / 8 + 1) * 2 * H + H + H / 20);
    const QByteArray w = QByteArray::number(W), h = QByteArray::number(H);
    eps += "%!PS-Adobe-3.0 EPSF-3.0\n";
    eps += "%%Creator: IEC16022 barcode/stamp generator\n";
    eps += "%%BarcodeData: " + value + '\n';
    eps += "%%BarcodeSize: " + w + 'x' + h + '\n';
    eps += "%%BarcodeFormat: ECC200\n";
    eps += "%%DocumentData: Clean7Bit\n";
    eps += "%%LanguageLevel: 1\n";
    eps += "%%Pages: 1\n";
    eps += "%%BoundingBox: 0 0 " + QByteArray::number(W + 2) + ' ' + QByteArray::number(H + 2) + '\n';
    eps += "%%EndComments\n";
    eps += "%%Page: 1 1\n";
    eps += w + ' ' + h + " 1[1 0 0 1 -1 -1]{<\n";
    static const char hex[] = "0123456789ABCDEF";
    int count = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; x += 8) {
            int byte = 0;
            for (int b = 0; b < 8; ++b) {
                const bool dark = x + b < W && grid[std::size_t(y) * W + x + b] != 0;
                if (dark)
                    byte |= 0x80 >> b;
            }
            byte ^= 0xFF;
            eps += hex[byte >> 4];
            eps += hex[byte & 15];
            ++count;
        }
        eps += ' ';
        ++count;
        if (count >= 80) {
            eps += '\n';
            count = 0;
        }
    }
    if (count)
        eps += '\n';
    eps += "\n>}image\n";
    return eps;
}
