#pragma once

// Items whose every field differs from the defaults of a new item, for round-trip tests.

#include "canvas/SKTItems.h"

#include <QPainter>

namespace itemsamples {

inline QImage samplePicture(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(1, 1, w - 2, h - 2, colour);
    p.fillRect(0, 0, 1, 1, QColor(10, 20, 30, 128));
    return image;
}

// Sets every field to a value other than its default; seed varies the values a little.
inline void fillAllFields(SKTGraphic& g, int seed = 0) {
    const float s = float(seed);
    g._bounds = QRectF(12.5 + seed, -7.25, 200.125, 99.5);
    g._shape_type = QStringLiteral("DS");
    g.cor_rad_val = 4.5f + s;
    g.double_star_type = 3;
    g.polygon_type = 4;
    g._line_ori = 2;
    g._line_cap_style = 1;
    g._isDrawingStroke = false;
    g._strokeWidth = 0.1; // not exact in float: stored rounded
    g._strokeColor = QColor(1, 2, 3, 4);
    g._stroke_border_type = QStringLiteral("DDD");
    g._isDrawingFill = true;
    g._fillColor = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f);
    g._fill_type = QStringLiteral("G");
    g._fill_Grad_clr1 = QColor(255, 0, 0);
    g._fill_Grad_clr2 = QColor(0, 255, 0, 17);
    g._fill_grad_angle = 135.5;
    g._fill_htch_clr = QColor(9, 99, 199);
    g._fill_hatch_type = QStringLiteral("Hatch_3");
    g.alpha_val = 0.25f;
    g.alpha_val_stroke = 0.75f;
    g.print_object = 1;
    g.ctrl_is_locked = true;
    g.ctrl_is_visible = false;
    g.control_ID = QStringLiteral("Fup_Name");
    g._file_path = QStringLiteral("/tmp/pictures/été ☃.png");
    g._image = samplePicture(7 + seed, 5, Qt::blue);
    g.rotate_image = 90.0f;
    g.img_trnsp_val = 55.5f;
    g.hue_val = -1.5f;
    g.sat_val = 1.75f;
    g.brt_val = 0.125f;
    g.con_val = 2.5f;
    g.srp_val = 0.4f;
    g.ev_val = -0.3f;
    g.blr_val = 3.0f;
    g.gray_Scale = true;
    g.Sepia = true;
    g.invert_clr = true;
    g._isFlippedVertically = true;
    g._isFlippedHorizontally = true;
    g.sign_or_fingureprint = QStringLiteral("F");
    g._Text_contents = QStringLiteral("Grüße 😀 \"<&>\"\nline two");
    g.Text_Value = QStringLiteral("value 值");
    g.txt_clr = QColor(200, 100, 50, 25);
    g.text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 23);
    g.text_ctrl_font.setPointSizeF(23.5);
    g.text_ctrl_font.setBold(true);
    g.text_ctrl_font.setItalic(true);
    g.text_ctrl_font.setUnderline(true);
    g.text_rotation = -45;
    g.text_alignmnet_Vert = 2;
    g.text_alignmnet = -1; // an alignment list with no selection stores -1
    g.text_transfrom_case = 3;
    g.text_kerning = 1.5f;
    g.Drawing_Shadow = true;
    g.Shadow_Color = QColor(0, 0, 255);
    g.Shadow_offset_X = -3.0f;
    g.Shadow_offset_Y = 4.0f;
    g.Shadow_blur = 6.0f;
    g.Shadow_transparency = 0.4f;
    g.data_source_type = 2;
    g.batch_list_name = QStringLiteral("Guests");
    g.batch_list_index = 7;
    g.excel_col_indx = 3;
    g.excel_binding = true;
    g.linear_or_2d = 1;
    g.barcode_font_index = 5;
    g.linear_font_val = QStringLiteral("978020137962");
    g.two_d_font_val = QStringLiteral("line1\nline2");
    g.header_val = QStringLiteral("Head");
    g.footer_val = QStringLiteral("Foot");
    g.show_hide_hdr = 1;
    g.show_hide_ftr = 1;
    g.show_hide_val = 1;
    g.show_val_on_top = 1;
    g.align_hdr_index = 0;
    g.align_ftr_index = 2;
    g.linear_height_val = 1.2f;
    g.linear_width_val = 13.0f;
    g.qr_size_val = 120;
    g.qr_version_index = 40;
    g.qr_ec_index = 3;
    g.pdf_hgt_val = 30;
    g.pdf_wdt_val = 210;
    g.pdf_ec_val = 5;
    g.pdf_row_val = 12;
    g.pdf_col_val = 4;
    g.dm_module_val = 4;
    g.dm_format_index = 30;
    g.dm_encoding_index = 4;
    g.hdr_margin_val = 0.2f;
    g.ftr_margin_val = 0.3f;
    g.val_margin_val = 0.4f;
    g.TB_marging_val = 0.5f;
    g.LR_margin_val = 0.6f;
    g.value_font_val = QFont(QStringLiteral("Liberation Sans"), 11);
    g.header_font_val = QFont(QStringLiteral("Liberation Mono"), 12);
    g.footer_font_val = QFont(QStringLiteral("Noto Sans CJK JP"), 13);
    g.barcode_hdr_clr_val = QColor(1, 1, 1);
    g.barcode_ftr_clr_val = QColor(2, 2, 2);
    g.barcode_val_clr_val = QColor(3, 3, 3);
    g.barcode_back_clr_val = QColor(250, 250, 0);
    g.barcode_clr_val = QColor(0, 0, 128);
    g.dpi_val_index = 2;
    g.dpi_custom_val = QStringLiteral("1200");
    g.barcode_unit_val = 0;
    g.kerning_value_val = 1;
    g._barcode_image = samplePicture(21, 9, Qt::black);
}

} // namespace itemsamples
