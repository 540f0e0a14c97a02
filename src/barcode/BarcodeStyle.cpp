#include "barcode/BarcodeStyle.h"

#include "barcode/BarcodeSymbologies.h"
#include "canvas/SKTGraphic.h"

namespace {

// The stored fields, in the order the designer lists them.
#define BARCODE_STORED_FIELDS(X) \
    X(linear_or_2d) X(barcode_font_index) X(linear_font_val) X(two_d_font_val) X(header_val) X(footer_val) \
    X(show_hide_hdr) X(show_hide_ftr) X(show_hide_val) X(show_val_on_top) X(align_hdr_index) \
    X(align_ftr_index) X(linear_height_val) X(linear_width_val) X(qr_size_val) X(qr_version_index) \
    X(qr_ec_index) X(pdf_hgt_val) X(pdf_wdt_val) X(pdf_ec_val) X(pdf_row_val) X(pdf_col_val) X(dm_module_val) \
    X(dm_format_index) X(dm_encoding_index) X(hdr_margin_val) X(ftr_margin_val) X(val_margin_val) \
    X(TB_marging_val) X(LR_margin_val) X(value_font_val) X(header_font_val) X(footer_font_val) \
    X(barcode_hdr_clr_val) X(barcode_ftr_clr_val) X(barcode_val_clr_val) X(barcode_back_clr_val) \
    X(barcode_clr_val) X(dpi_val_index) X(dpi_custom_val)

// Both directions copy the same list of stored fields.
template <typename From, typename To> void copyStoredFields(const From& f, To& t) {
#define COPY_FIELD(name) t.name = f.name;
    BARCODE_STORED_FIELDS(COPY_FIELD)
#undef COPY_FIELD
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

void BarcodeStyle::copyChangedFields(BarcodeStyle& target, const BarcodeStyle& was, const BarcodeStyle& now) {
#define COPY_CHANGED(name)                                                                                     \
    if (!(was.name == now.name))                                                                               \
        target.name = now.name;
    BARCODE_STORED_FIELDS(COPY_CHANGED)
    COPY_CHANGED(kerning_value)
#undef COPY_CHANGED
    // The kind and the entry of its pop-up name one symbology together: a new one is taken whole.
    if (was.linear_or_2d != now.linear_or_2d || was.barcode_font_index != now.barcode_font_index) {
        target.linear_or_2d = now.linear_or_2d;
        target.barcode_font_index = now.barcode_font_index;
    }
    target.dpi = resolutionDpi(target.dpi_val_index, target.dpi_custom_val);
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
