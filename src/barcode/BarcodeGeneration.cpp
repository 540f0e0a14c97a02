#include "barcode/BarcodeGeneration.h"

#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeRenderer.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/BarcodeUnits.h"
#include "barcode/twod/TwoDImages.h"
#include "canvas/SKTGraphic.h"

#include <algorithm>
#include <cmath>

namespace {

// Barcode items on images, printers and PDF draw their symbols through this library.
[[maybe_unused]] const bool g_itemDrawingInstalled = (BarcodeItemDrawing::install(), true);

// Checks shared by every symbology; an empty text when the request can go ahead.
QString checkRequest(const BarcodeStyle& s, const QString& value, const QString& header,
                     const QString& footer) {
    if (value.isEmpty())
        return QStringLiteral("Please enter barcode value");
    if (s.linear_or_2d == 0 && value.size() > kMaxBarcodeTextLength)
        return QStringLiteral("The barcode value is too long (at most %1 characters).")
            .arg(kMaxBarcodeTextLength);
    if (s.linear_or_2d != 0) {
        const int capacity = twoDCapacity(s.barcode_font_index);
        if (capacity > 0 && value.size() > capacity)
            return QStringLiteral(
                       "%1 holds at most %L2 characters (digits; fewer letters or other characters), "
                       "and this value has %L3.")
                .arg(BarcodeSymbologies::twoDTitles().at(s.barcode_font_index))
                .arg(capacity)
                .arg(value.size());
    }
    if (header.size() > kMaxBarcodeTextLength || footer.size() > kMaxBarcodeTextLength)
        return QStringLiteral("The header or footer is too long (at most %1 characters).")
            .arg(kMaxBarcodeTextLength);
    const float margins[] = {s.hdr_margin_val, s.ftr_margin_val, s.val_margin_val, s.TB_marging_val,
                             s.LR_margin_val};
    for (float m : margins)
        if (!std::isfinite(m) || m < 0)
            return QStringLiteral("Barcode margins cannot be negative.");
    if (s.dpi <= 0)
        return QStringLiteral("The barcode resolution must be greater than 0.");
    return QString();
}

} // namespace

int twoDCapacity(int index) {
    switch (index) {
    case BarcodeSymbologies::QRCode:
        return 7089;
    case BarcodeSymbologies::PDF417:
        return 2710;
    case BarcodeSymbologies::DataMatrix:
        return 3116;
    default:
        return 0;
    }
}

namespace {

// The barcode for a raster image at `dpi` (0: for vectors): the narrow bar is then a whole number of pixels,
// at least one, as close to the asked width as that allows, so the image has exactly that resolution.
LinearBarcodeBuild buildLinear(const BarcodeStyle& s, const QString& value, const QString& header,
                               const QString& footer, int dpi, qreal textRoom = 0) {
    LinearBarcodeBuild out;
    out.reason = checkRequest(s, value, header, footer);
    if (!out.reason.isEmpty())
        return out;
    if (s.linear_or_2d != 0) {
        out.reason = QStringLiteral("The style is not a linear barcode.");
        return out;
    }
    if (!(s.linear_height_val > 0) || !std::isfinite(s.linear_height_val)) {
        out.reason = QStringLiteral("The bar height must be greater than 0.");
        return out;
    }
    if (!(s.linear_width_val > 0) || !std::isfinite(s.linear_width_val)) {
        out.reason = QStringLiteral("The bar width must be greater than 0.");
        return out;
    }
    std::unique_ptr<NKDBarcode> b = BarcodeSymbologies::createLinearBarcode(s.barcode_font_index);
    if (!b) {
        out.reason = QStringLiteral("Unknown barcode type.");
        return out;
    }
    b->initWithContent(value, s.printsCaption());
    if (!b->isContentValid()) {
        out.reason = b->invalidReason();
        if (out.reason.isEmpty())
            out.reason = QStringLiteral("This barcode type cannot encode the value.");
        return out;
    }
    b->setHeader(header);
    b->setFooter(footer);
    b->setPrintsCaption(s.printsCaption());
    b->setPrintsHeader(s.printsHeader());
    b->setPrintsFooter(s.printsFooter());
    b->setBarWidth(BarcodeUnits::milsToPoints(s.linear_width_val));
    if (dpi > 0) {
        // Half a pixel rounds up (10 mils at 150 dpi give 2 pixels), whatever the float's last bit says.
        const double pixels = std::max(1.0, std::round(double(b->barWidth()) * dpi / 72.0 + 1e-4));
        b->setBarWidth(float(pixels * 72.0 / dpi));
    }
    b->setCaptionFontSize(s.value_font_val);
    b->setHeaderFontSize(s.header_font_val);
    b->setFooterFontSize(s.footer_font_val);
    b->calculateWidth();
    b->setWidth(Set_Linear_Barcode_Width(*b, s));
    b->fitCaption(s.value_font_val, textRoom > 0 ? textRoom : b->width(), s.kerning_value == 1);
    Set_Barcode_Height(*b, s);
    out.barcode = std::move(b);
    return out;
}

} // namespace

LinearBarcodeBuild Generate_Barcode_Variable(const BarcodeStyle& s, const QString& value,
                                             const QString& header, const QString& footer, qreal textRoom) {
    return buildLinear(s, value, header, footer, 0, textRoom);
}

QrParams qrParamsOf(const BarcodeStyle& s) {
    QrParams p;
    p.versionIndex = s.qr_version_index;
    p.ecIndex = s.qr_ec_index;
    p.sizePoints = s.qr_size_val;
    p.dpi = s.dpi;
    return p;
}

Pdf417Params pdf417ParamsOf(const BarcodeStyle& s) {
    Pdf417Params p;
    p.widthPoints = s.pdf_wdt_val;
    p.heightPoints = s.pdf_hgt_val;
    p.errorLevel = s.pdf_ec_val;
    p.rows = s.pdf_row_val;
    p.columns = s.pdf_col_val;
    p.dpi = s.dpi;
    return p;
}

DataMatrixParams dataMatrixParamsOf(const BarcodeStyle& s) {
    DataMatrixParams p;
    p.moduleSize = s.dm_module_val;
    p.formatIndex = s.dm_format_index;
    p.encodingIndex = s.dm_encoding_index;
    p.dpi = s.dpi;
    return p;
}

TwoDPicture Generate_2D_Picture(const BarcodeStyle& s, const QString& value) {
    TwoDPicture out;
    TwoDResult r;
    switch (s.barcode_font_index) {
    case BarcodeSymbologies::QRCode: {
        r = makeQrImage(qrParamsOf(s), value);
        break;
    }
    case BarcodeSymbologies::PDF417: {
        r = makePdf417Image(pdf417ParamsOf(s), value);
        break;
    }
    case BarcodeSymbologies::DataMatrix: {
        r = makeDataMatrixImage(dataMatrixParamsOf(s), value);
        break;
    }
    default:
        out.reason = QStringLiteral("Unknown barcode type.");
        return out;
    }
    out.image = r.image;
    out.sizePoints = r.sizePoints;
    out.reason = r.ok() ? QString() : r.reason;
    if (!r.ok() && out.reason.isEmpty())
        out.reason = QStringLiteral("The 2-D barcode could not be made.");
    return out;
}

BarcodeResult generateBarcode(const BarcodeStyle& s, const QString& value, const QString& header,
                              const QString& footer) {
    BarcodeResult result;
    if (s.linear_or_2d != 0) {
        result.reason = checkRequest(s, value, header, footer);
        if (!result.reason.isEmpty())
            return result;
        const TwoDPicture picture = Generate_2D_Picture(s, value);
        if (picture.image.isNull()) {
            result.reason = picture.reason;
            return result;
        }
        const TwoDFrame frame = twoDFrame(s, picture.sizePoints, header, footer);
        result.image = BarcodeRenderer::imageFromBarcodeImage(picture.image, frame, s, s.dpi, &result.reason);
        return result;
    }
    LinearBarcodeBuild build = buildLinear(s, value, header, footer, s.dpi);
    if (!build.barcode) {
        result.reason = build.reason;
        return result;
    }
    result.image = BarcodeRenderer::imageFromBarcode(*build.barcode, s, s.dpi, &result.reason);
    return result;
}

BarcodeResult Get_Image_From_Val(const BarcodeStyle& style, const QString& value, const QString& header,
                                 const QString& footer) {
    return generateBarcode(style, value, header, footer);
}

BarcodeResult Get_Item_Barcode_For_Value(const SKTGraphic& item, const QString& value) {
    return generateBarcode(BarcodeStyle::fromItem(item), value.trimmed(), item.header_val, item.footer_val);
}

BarcodeResult Get_Item_Barcode(const SKTGraphic& item) {
    const BarcodeStyle style = BarcodeStyle::fromItem(item);
    return generateBarcode(style, style.content(), item.header_val, item.footer_val);
}
