#pragma once

// Field-by-field comparison of two items, for round-trip tests (item archive, design file, clipboard).
// Fractional fields are compared at the single precision they are stored with; fonts by the attributes
// that are stored; pictures pixel by pixel.

#include "canvas/SKTGraphic.h"

#include <QStringList>

namespace itemcompare {

template <class T>
bool same(const T& a, const T& b) {
    return a == b;
}
inline bool same(double a, double b) {
    return float(a) == float(b);
}
inline bool same(const QColor& a, const QColor& b) {
    return a.isValid() == b.isValid() && (!a.isValid() || a.rgba64() == b.rgba64());
}
inline bool same(const QFont& a, const QFont& b) {
    return a.family() == b.family() && a.pointSizeF() == b.pointSizeF() && a.pixelSize() == b.pixelSize() &&
           a.weight() == b.weight() && a.italic() == b.italic() && a.underline() == b.underline() &&
           a.strikeOut() == b.strikeOut();
}
inline bool same(const QImage& a, const QImage& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}
inline bool same(const ItemPicture& a, const ItemPicture& b) {
    return a == b || same(a.image(), b.image());
}

// Every stored field, in the order of the item record.
// clang-format off
#define NAVU_ITEM_FIELDS(X)                                                                                   \
    X(_bounds) X(_shape_type) X(cor_rad_val) X(double_star_type) X(polygon_type) X(_line_ori)                 \
    X(_line_cap_style) X(_isDrawingStroke) X(_strokeWidth) X(_strokeColor) X(_stroke_border_type)             \
    X(_isDrawingFill) X(_fillColor) X(_fill_type) X(_fill_Grad_clr1) X(_fill_Grad_clr2)                       \
    X(_fill_grad_angle) X(_fill_htch_clr) X(_fill_hatch_type) X(alpha_val) X(alpha_val_stroke)                \
    X(print_object) X(ctrl_is_locked) X(ctrl_is_visible) X(control_ID) X(_file_path) X(_image)                \
    X(rotate_image) X(img_trnsp_val) X(hue_val) X(sat_val) X(brt_val) X(con_val) X(srp_val) X(ev_val)         \
    X(blr_val) X(gray_Scale) X(Sepia) X(invert_clr) X(_isFlippedVertically) X(_isFlippedHorizontally)         \
    X(sign_or_fingureprint) X(_Text_contents) X(Text_Value) X(txt_clr) X(text_ctrl_font) X(text_rotation)     \
    X(text_alignmnet_Vert) X(text_alignmnet) X(text_transfrom_case) X(text_kerning) X(Drawing_Shadow)         \
    X(Shadow_Color) X(Shadow_offset_X) X(Shadow_offset_Y) X(Shadow_blur) X(Shadow_transparency)               \
    X(data_source_type) X(batch_list_name) X(batch_list_index) X(excel_col_indx) X(excel_binding)             \
    X(linear_or_2d) X(barcode_font_index) X(linear_font_val) X(two_d_font_val) X(header_val) X(footer_val)    \
    X(show_hide_hdr) X(show_hide_ftr) X(show_hide_val) X(show_val_on_top) X(align_hdr_index)                  \
    X(align_ftr_index) X(linear_height_val) X(linear_width_val) X(qr_size_val) X(qr_version_index)            \
    X(qr_ec_index) X(pdf_hgt_val) X(pdf_wdt_val) X(pdf_ec_val) X(pdf_row_val) X(pdf_col_val)                  \
    X(dm_module_val) X(dm_format_index) X(dm_encoding_index) X(hdr_margin_val) X(ftr_margin_val)              \
    X(val_margin_val) X(TB_marging_val) X(LR_margin_val) X(value_font_val) X(header_font_val)                 \
    X(footer_font_val) X(barcode_hdr_clr_val) X(barcode_ftr_clr_val) X(barcode_val_clr_val)                   \
    X(barcode_back_clr_val) X(barcode_clr_val) X(dpi_val_index) X(dpi_custom_val) X(barcode_unit_val)         \
    X(kerning_value_val) X(_barcode_image)
// clang-format on

// The names of the fields this helper compares.
inline QStringList comparedFields() {
    QStringList names;
#define NAVU_NAME(f) names << QStringLiteral(#f);
    NAVU_ITEM_FIELDS(NAVU_NAME)
#undef NAVU_NAME
    return names;
}

// Names of the fields that differ (and "className" when the kinds differ); empty when the items match.
inline QStringList differingFields(const SKTGraphic& a, const SKTGraphic& b) {
    QStringList diff;
    if (a.className() != b.className())
        diff << QStringLiteral("className");
#define NAVU_CMP(f)                                                                                          \
    if (!same(a.f, b.f))                                                                                     \
        diff << QStringLiteral(#f);
    NAVU_ITEM_FIELDS(NAVU_CMP)
#undef NAVU_CMP
    return diff;
}

} // namespace itemcompare
