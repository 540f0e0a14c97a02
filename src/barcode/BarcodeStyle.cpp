#include "barcode/BarcodeStyle.h"

#include "barcode/BarcodeSymbologies.h"
#include "canvas/SKTGraphic.h"

namespace {

// Both directions copy the same list of stored fields.
template <typename From, typename To> void copyStoredFields(const From& f, To& t) {
    t.linear_or_2d = f.linear_or_2d;
    t.barcode_font_index = f.barcode_font_index;
    t.linear_font_val = f.linear_font_val;
    t.two_d_font_val = f.two_d_font_val;
    t.header_val = f.header_val;
    t.footer_val = f.footer_val;
    t.show_hide_hdr = f.show_hide_hdr;
    t.show_hide_ftr = f.show_hide_ftr;
    t.show_hide_val = f.show_hide_val;
    t.show_val_on_top = f.show_val_on_top;
    t.align_hdr_index = f.align_hdr_index;
    t.align_ftr_index = f.align_ftr_index;
    t.linear_height_val = f.linear_height_val;
    t.linear_width_val = f.linear_width_val;
    t.qr_size_val = f.qr_size_val;
    t.qr_version_index = f.qr_version_index;
    t.qr_ec_index = f.qr_ec_index;
    t.pdf_hgt_val = f.pdf_hgt_val;
    t.pdf_wdt_val = f.pdf_wdt_val;
    t.pdf_ec_val = f.pdf_ec_val;
    t.pdf_row_val = f.pdf_row_val;
    t.pdf_col_val = f.pdf_col_val;
    t.dm_module_val = f.dm_module_val;
    t.dm_format_index = f.dm_format_index;
    t.dm_encoding_index = f.dm_encoding_index;
    t.hdr_margin_val = f.hdr_margin_val;
    t.ftr_margin_val = f.ftr_margin_val;
    t.val_margin_val = f.val_margin_val;
    t.TB_marging_val = f.TB_marging_val;
    t.LR_margin_val = f.LR_margin_val;
    t.value_font_val = f.value_font_val;
    t.header_font_val = f.header_font_val;
    t.footer_font_val = f.footer_font_val;
    t.barcode_hdr_clr_val = f.barcode_hdr_clr_val;
    t.barcode_ftr_clr_val = f.barcode_ftr_clr_val;
    t.barcode_val_clr_val = f.barcode_val_clr_val;
    t.barcode_back_clr_val = f.barcode_back_clr_val;
    t.barcode_clr_val = f.barcode_clr_val;
    t.dpi_val_index = f.dpi_val_index;
    t.dpi_custom_val = f.dpi_custom_val;
}

} // namespace

BarcodeStyle BarcodeStyle::fromItem(const SKTGraphic& item) {
    BarcodeStyle s;
    copyStoredFields(item, s);
    s.kerning_value = item.kerning_value_val;
    s.barcode_unit_val = item.barcode_unit_val;
    s.dpi = resolutionDpi(s.dpi_val_index, s.dpi_custom_val);
    return s;
}

void BarcodeStyle::applyTo(SKTGraphic& item) const {
    copyStoredFields(*this, item);
    item.kerning_value_val = kerning_value;
}

bool symbologyKnown(const BarcodeStyle& style) {
    const qsizetype count = style.linear_or_2d == 0 ? BarcodeSymbologies::linearTitles().size()
                                                    : BarcodeSymbologies::twoDTitles().size();
    return style.barcode_font_index >= 0 && style.barcode_font_index < count;
}

QString unknownSymbologyNotice(const GraphicList& front, const GraphicList& back) {
    QStringList lines;
    const auto scan = [&lines](const GraphicList& items, const QString& side) {
        for (const std::shared_ptr<SKTGraphic>& item : items) {
            if (!item || item->kind() != GraphicKind::Barcode)
                continue;
            const BarcodeStyle style = BarcodeStyle::fromItem(*item);
            if (!symbologyKnown(style))
                lines << QStringLiteral("A barcode on the %1 has the unknown %2 type %3.")
                             .arg(side,
                                  style.linear_or_2d == 0 ? QStringLiteral("linear") : QStringLiteral("2-D"))
                             .arg(style.barcode_font_index);
        }
    };
    scan(front, QStringLiteral("front"));
    scan(back, QStringLiteral("back"));
    if (lines.isEmpty())
        return QString();
    return lines.join(QLatin1Char('\n')) +
           QStringLiteral(
               "\nSuch a barcode keeps its picture and settings; choose a barcode type in the designer "
               "to make it anew.");
}

const QStringList& alignmentTitles() {
    static const QStringList titles = {QStringLiteral("Left"), QStringLiteral("Center"),
                                       QStringLiteral("Right")};
    return titles;
}

const QStringList& resolutionTitles() {
    static const QStringList titles = {
        QStringLiteral("Auto"), QStringLiteral("Custom"), QStringLiteral("72"),
        QStringLiteral("96"),   QStringLiteral("150"),    QStringLiteral("200"),
        QStringLiteral("300"),  QStringLiteral("600"),    QStringLiteral("1200")};
    return titles;
}

int resolutionDpi(int index, const QString& custom) {
    constexpr int kAuto = 600;
    if (index == 1) {
        bool ok = false;
        const int v = custom.trimmed().toInt(&ok);
        return ok && v >= 1 && v <= 2400 ? v : kAuto;
    }
    if (index >= 2 && index < resolutionTitles().size())
        return resolutionTitles().at(index).toInt();
    return kAuto;
}
