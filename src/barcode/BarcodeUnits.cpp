#include "barcode/BarcodeUnits.h"

#include "barcode/BarcodeText.h"

#include <algorithm>

namespace BarcodeUnits {

float unitToPoints(double value, int unit) {
    switch (unit) {
    case 0:
        return float(value * 72.0);
    case 2:
        return float(value * 0.393701 * 72.0 / 10.0);
    default:
        return float(value * 0.393701 * 72.0);
    }
}

float milsToPoints(float mils) {
    const float inches = mils / 1000.0f;
    return float(double(inches) * 72.0);
}

BarcodeMargins marginsInPoints(const BarcodeStyle& s) {
    BarcodeMargins m;
    const int unit = s.barcode_unit_val;
    m.value_margin = s.show_hide_val == 1 ? 0 : unitToPoints(s.val_margin_val, unit);
    m.header_margin = s.show_hide_hdr == 1 ? 0 : unitToPoints(s.hdr_margin_val, unit);
    m.footer_margin = s.show_hide_ftr == 1 ? 0 : unitToPoints(s.ftr_margin_val, unit);
    m.LR_margin = unitToPoints(s.LR_margin_val, unit);
    m.TB_margin = unitToPoints(s.TB_marging_val, unit);
    return m;
}

float barHeightPoints(const BarcodeStyle& s) {
    return unitToPoints(s.linear_height_val, s.barcode_unit_val);
}

float textHeightInches(const QFont& font) {
    const qreal h = BarcodeText::capHeight(font);
    return float(h / 72 + 0.35 * h / 72);
}

} // namespace BarcodeUnits

void Set_Barcode_Height(NKDBarcode& b, const BarcodeStyle& style) {
    const BarcodeMargins m = BarcodeUnits::marginsInPoints(style);
    b.setMargins(m);
    const float fixed = b.fixedBarHeight();
    double h = fixed > 0 ? fixed : BarcodeUnits::barHeightPoints(style);
    if (b.printsCaption())
        h += b.captionHeight() * 72.0 + m.value_margin;
    if (b.printsHeader())
        h += b.headerHeight() * 72.0 + m.header_margin;
    if (b.printsFooter())
        h += b.footerHeight() * 72.0 + m.footer_margin;
    h += 2.0 * m.TB_margin;
    b.setHeight(float(h));
}

float Set_Linear_Barcode_Width(const NKDBarcode& b, const BarcodeStyle& style) {
    const float hw = style.show_hide_hdr == 1 ? 0 : b.headerWidth();
    const float fw = style.show_hide_ftr == 1 ? 0 : b.footerWidth();
    const float lr = BarcodeUnits::unitToPoints(style.LR_margin_val, style.barcode_unit_val);
    float w = std::max({b.width(), hw, fw}) + 2 * lr;
    if (lr > 0)
        w += 15.0f;
    return w;
}

TwoDFrame twoDFrame(const BarcodeStyle& style, const QSizeF& imageSize, const QString& header,
                    const QString& footer) {
    TwoDFrame f;
    f.header = header;
    f.footer = footer;
    f.printsHeader = style.printsHeader();
    f.printsFooter = style.printsFooter();
    f.headerHeight = BarcodeUnits::textHeightInches(style.header_font_val);
    f.footerHeight = BarcodeUnits::textHeightInches(style.footer_font_val);
    // As drawn, with their letter spacing.
    f.headerWidth = float(BarcodeText::spacedWidth(style.header_font_val, header, BarcodeText::kLineKern));
    f.footerWidth = float(BarcodeText::spacedWidth(style.footer_font_val, footer, BarcodeText::kLineKern));
    f.imageSize = imageSize;
    const BarcodeMargins m = BarcodeUnits::marginsInPoints(style);
    const double hh = f.printsHeader ? f.headerHeight * 72.0 : 0.0;
    const double fh = f.printsFooter ? f.footerHeight * 72.0 : 0.0;
    f.height = float(imageSize.height() + hh + m.header_margin + fh + m.footer_margin + 2.0 * m.TB_margin);
    const float hw = f.printsHeader ? f.headerWidth : 0;
    const float fw = f.printsFooter ? f.footerWidth : 0;
    f.width =
        std::max({float(imageSize.width()), hw, fw}) + 2 * m.LR_margin + (m.LR_margin > 0 ? 15.0f : 0.0f);
    return f;
}
