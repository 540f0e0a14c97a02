#include "barcode/ui/BarcodeDesignerLogic.h"

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/BarcodeUnits.h"

#include <QHash>

#include <algorithm>

namespace BarcodeDesigner {

QString fontLabelText(const QFont& font) {
    return QStringLiteral("%1 ( %2 )").arg(font.family()).arg(font.pointSizeF(), 0, 'f', 2);
}

QString formatNumber(double v, bool integer) {
    if (integer)
        return QString::number(qRound64(v));
    return QString::number(v, 'g', 6);
}

QString unitName(int unit) {
    switch (unit) {
    case 0:
        return QStringLiteral("in");
    case 2:
        return QStringLiteral("mm");
    default:
        return QStringLiteral("cm");
    }
}

QString barHeightLabelText(bool twoD, int unit) {
    if (twoD)
        return QStringLiteral("Bar Height :");
    return QStringLiteral("Bar Height (%1):").arg(unitName(unit));
}

QString barWidthLabelText(bool twoD) {
    return twoD ? QStringLiteral("Bar Width :") : QStringLiteral("Bar Width (Mils):");
}

QString marginBoxTitle(int unit) {
    return QStringLiteral("Margins (%1)").arg(unitName(unit));
}

double pointsToUnit(double points, int unit) {
    const double onePoint = BarcodeUnits::unitToPoints(1.0, unit);
    return onePoint > 0 ? points / onePoint : 0.0;
}

QString drawingSizeText(const QSizeF& points, int unit) {
    return QStringLiteral("%1 × %2 pt (%3 × %4 %5)")
        .arg(points.width(), 0, 'f', 2)
        .arg(points.height(), 0, 'f', 2)
        .arg(pointsToUnit(points.width(), unit), 0, 'f', 2)
        .arg(pointsToUnit(points.height(), unit), 0, 'f', 2)
        .arg(unitName(unit));
}

bool contentAcceptable(const QString& content, bool twoD, QString* reason) {
    QString why;
    const auto beyondAscii =
        std::find_if(content.cbegin(), content.cend(), [](QChar c) { return c.unicode() > 0x7f; });
    if (content.isEmpty())
        why = QStringLiteral("Please enter barcode value");
    else if (!twoD && beyondAscii != content.cend())
        why = QStringLiteral("A linear barcode takes plain ASCII characters only, not %1.")
                  .arg(NKDBarcode::characterName(content, beyondAscii - content.cbegin()));
    if (reason)
        *reason = why;
    return why.isEmpty();
}

int qrSizeFloor(int versionIndex) {
    return std::max(21, 21 + 4 * (std::clamp(versionIndex, 0, 40) - 1));
}

QSize dataMatrixSizeFloor(const QString& formatTitle, int moduleSize) {
    if (formatTitle.size() < 2 || formatTitle == QLatin1String("Auto"))
        return {};
    const QString rest = formatTitle.mid(1);
    const int x = rest.indexOf(QLatin1Char('X'));
    if (x < 0)
        return {};
    bool okRows = false, okCols = false;
    const int rows = rest.left(x).trimmed().toInt(&okRows);
    const int cols = rest.mid(x + 1).trimmed().toInt(&okCols);
    if (!okRows || !okCols || rows <= 0 || cols <= 0)
        return {};
    const int m = std::clamp(moduleSize, 1, 1000);
    return QSize(cols * m, rows * m);
}

int popupSeparatorPosition() {
    return int(BarcodeSymbologies::linearTitles().size());
}

int popupCount() {
    return popupSeparatorPosition() + 1 + int(BarcodeSymbologies::twoDTitles().size());
}

int popupPosition(int linearOr2d, int index) {
    if (linearOr2d == 0) {
        if (index < 0 || index >= popupSeparatorPosition())
            return 0;
        return index;
    }
    if (index < 0 || index >= BarcodeSymbologies::twoDTitles().size())
        index = 0;
    return popupSeparatorPosition() + 1 + index;
}

bool popupEntry(int position, int* linearOr2d, int* index) {
    const int sep = popupSeparatorPosition();
    if (position < 0 || position >= popupCount() || position == sep)
        return false;
    *linearOr2d = position < sep ? 0 : 1;
    *index = position < sep ? position : position - sep - 1;
    return true;
}

bool symbologyInPopup(int linearOr2d, int index) {
    if (linearOr2d == 0)
        return index >= 0 && index < BarcodeSymbologies::linearTitles().size();
    return index >= 0 && index < BarcodeSymbologies::twoDTitles().size();
}

QString unknownSymbologyTitle(int linearOr2d, int index) {
    return QStringLiteral("Unknown %1 type %2 (as stored)")
        .arg(linearOr2d == 0 ? QStringLiteral("linear") : QStringLiteral("2-D"))
        .arg(index);
}

bool kerningApplies(const BarcodeStyle& style) {
    return style.linear_or_2d == 0 && !BarcodeSymbologies::isUpcEan(style.barcode_font_index);
}

OkDecision decideOk(const BarcodeStyle& style) {
    OkDecision d;
    QString reason;
    if (!contentAcceptable(style.content(), style.linear_or_2d != 0, &reason)) {
        d.message = reason;
        return d;
    }
    const BarcodeResult r = generateBarcode(style, style.content(), style.header_val, style.footer_val);
    if (!r.ok()) {
        d.message =
            r.reason.isEmpty() ? QStringLiteral("This barcode type cannot encode the value.") : r.reason;
        return d;
    }
    d.accept = true;
    d.image = r.image;
    return d;
}

const QStringList& previewAlignmentTitles() {
    static const QStringList t = {
        QStringLiteral("Center"),     QStringLiteral("Top"),         QStringLiteral("TopLeft"),
        QStringLiteral("TopRight"),   QStringLiteral("Left"),        QStringLiteral("Bottom"),
        QStringLiteral("BottomLeft"), QStringLiteral("BottomRight"), QStringLiteral("Right")};
    return t;
}

Qt::Alignment previewAlignment(const QString& title) {
    static const QHash<QString, Qt::Alignment> map = {
        {QStringLiteral("Center"), Qt::AlignCenter},
        {QStringLiteral("Top"), Qt::AlignTop | Qt::AlignHCenter},
        {QStringLiteral("TopLeft"), Qt::AlignTop | Qt::AlignLeft},
        {QStringLiteral("TopRight"), Qt::AlignTop | Qt::AlignRight},
        {QStringLiteral("Left"), Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("Bottom"), Qt::AlignBottom | Qt::AlignHCenter},
        {QStringLiteral("BottomLeft"), Qt::AlignBottom | Qt::AlignLeft},
        {QStringLiteral("BottomRight"), Qt::AlignBottom | Qt::AlignRight},
        {QStringLiteral("Right"), Qt::AlignRight | Qt::AlignVCenter},
    };
    return map.value(title, Qt::AlignCenter);
}

const QStringList& qrErrorCorrectionTitles() {
    static const QStringList t = {QStringLiteral("L (7%)"), QStringLiteral("M (15%)"),
                                  QStringLiteral("Q (25%)"), QStringLiteral("H (30%)")};
    return t;
}

const QStringList& qrVersionTitles() {
    static const QStringList t = [] {
        QStringList l{QStringLiteral("Auto")};
        for (int v = 1; v <= 40; ++v)
            l << QStringLiteral("V%1").arg(v);
        return l;
    }();
    return t;
}

const QStringList& dataSourceTitles() {
    static const QStringList t = {QStringLiteral("Manual"), QStringLiteral("Series"),
                                  QStringLiteral("Excel")};
    return t;
}

QString helpTitle(const QString& key) {
    static const QHash<QString, QString> titles = {
        {QStringLiteral("qr_version"), QStringLiteral("Version :")},
        {QStringLiteral("qr_ec"), QStringLiteral("Error correction (EC) level :")},
        {QStringLiteral("pdf_row"), QStringLiteral("PDF Rows :")},
        {QStringLiteral("pdf_col"), QStringLiteral("PDF Columns :")},
        {QStringLiteral("pdf_ec"), QStringLiteral("PDF EC Level :")},
        {QStringLiteral("dm_format"), QStringLiteral("Preferred Format :")},
        {QStringLiteral("dm_encoding"), QStringLiteral("Encoding Mode :")},
        {QStringLiteral("dpi"), QStringLiteral("DPI (Dots Per Inch) :")},
    };
    return titles.value(key);
}

QString helpText(const QString& key) {
    static const QHash<QString, QString> texts = {
        {QStringLiteral("qr_version"),
         QStringLiteral(
             "Version is configuration or number of modules (combination of black and white dots).")},
        {QStringLiteral("qr_ec"),
         QStringLiteral("An error-correction mechanism is built in each symbol so that the "
                        "symbol can still be decoded even if it is damaged.")},
        {QStringLiteral("pdf_row"), QStringLiteral("Number of rows in the PDF barcode.")},
        {QStringLiteral("pdf_col"), QStringLiteral("Number of columns in the PDF barcode.")},
        {QStringLiteral("pdf_ec"),
         QStringLiteral("An error-correction mechanism is built in each symbol so that the "
                        "symbol can still be decoded even if it is damaged in PDF barcode.")},
        {QStringLiteral("dm_format"),
         QStringLiteral("Preferred Mode determines the smallest size of the symbol.")},
        {QStringLiteral("dm_encoding"),
         QStringLiteral("Encoding Mode is mode of compaction to encode data in the symbol.")},
        {QStringLiteral("dpi"),
         QStringLiteral(
             "Dots per inch is a measure of the resolution of printers in terms of Print Quality.\n\n"
             "Bigger the DPI, Better the Print Quality. But File size of image also increases, as you "
             "choose bigger DPI.")},
    };
    return texts.value(key);
}

} // namespace BarcodeDesigner
