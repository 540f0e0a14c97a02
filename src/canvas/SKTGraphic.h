#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include "imaging/ItemPicture.h"

#include <memory>

class QPainter;

// Item kinds. Code that must treat "exactly a text item" etc. compares kind(), never dynamic types.
enum class GraphicKind { Text, Image, Signature, Shape, Line, Barcode };

// Base class of every card item. One record holds the whole item state; field names are the names the
// stored item archive uses as keys, so they must not change. Geometry is in points on the flipped canvas
// (origin top-left, y downward).
class SKTGraphic {
public:
    virtual ~SKTGraphic() = default;

    virtual GraphicKind kind() const = 0;
    // The class name written into the item archive ("SKTText", "Shape_Control", ...).
    virtual QString className() const = 0;
    // Draws the item on any painter (screen, image, printer, PDF). Never asks for a repaint.
    virtual void draw(QPainter& painter) const = 0;
    // Deep copy (goes through the item archive, so every stored field is copied).
    std::shared_ptr<SKTGraphic> clone() const;

    QRectF bounds() const { return _bounds; }
    virtual void setBounds(const QRectF& rect);
    // Square with the shorter side; kinds override. Respects the lock and never empties the item.
    virtual void makeNaturalSize();
    // The area the item paints, including stroke, shadow and rotation, for repaint invalidation.
    virtual QRectF drawingBounds() const;

    QString Get_shape_type() const { return _shape_type; }
    // The image shows the item's own content.
    void Set_Barcode_image(const QImage& image)
    {
        _barcode_image = image;
        _barcode_value.clear();
        _barcode_shows_value = false;
    }
    // The image shows `value` (a data row's value) instead of the item's content.
    void Set_Barcode_image(const QImage& image, const QString& value)
    {
        _barcode_image = image;
        _barcode_value = value;
        _barcode_shows_value = true;
    }
    void Set_Data_source_type(int v) { data_source_type = v; }
    void Set_Batch_List_Name(const QString& v) { batch_list_name = v; }
    void Set_Batch_List_Index(int v) { batch_list_index = v; }
    void Set_Excel_binding(bool v) { excel_binding = v; }
    void Set_Excel_binding_Index(int v) { excel_col_indx = v; }
    void Set_Ctrl_Is_Visible(bool v) { ctrl_is_visible = v; }

    // --- geometry and shape ---
    QRectF _bounds;
    QString _shape_type;       // "R", "C", "RR", "T", "D", "S", "DS", "P" for shapes; empty otherwise
    float cor_rad_val = 10.0f; // rounded-rectangle corner radius, points
    int double_star_type = 1;  // variant 1..5
    int polygon_type = 1;      // variant 1..5
    int _line_ori = 0;         // line orientation index
    int _line_cap_style = 0;   // 0 butt, 1 round, 2 square

    // --- stroke and fill ---
    bool _isDrawingStroke = true;
    double _strokeWidth = 1.0;
    QColor _strokeColor = Qt::black;
    QString _stroke_border_type = QStringLiteral("S"); // "S", "DA", "DO", "DD", "DDD"
    bool _isDrawingFill = false;
    QColor _fillColor = Qt::white;
    QString _fill_type = QStringLiteral("S"); // "S" solid, "G" gradient, "H" hatch
    QColor _fill_Grad_clr1 = Qt::white;
    QColor _fill_Grad_clr2 = Qt::black;
    double _fill_grad_angle = 0.0; // degrees
    QColor _fill_htch_clr = Qt::white;
    QString _fill_hatch_type;      // hatch picture base name, empty for none
    float alpha_val = 1.0f;        // fill alpha, fraction 0..1
    float alpha_val_stroke = 1.0f; // stroke alpha, fraction 0..1

    // --- state flags ---
    int print_object = 0; // 0: printed and exported
    bool ctrl_is_locked = false;
    bool ctrl_is_visible = true;
    QString control_ID; // reserved role ("PARTY_TITLE", "Fup_Name", ...), empty for user items

    // --- picture ---
    QString _file_path;
    ItemPicture _image;           // the picture as it came (its bytes), decoded where drawn (unadjusted)
    float rotate_image = 0.0f;    // degrees
    float img_trnsp_val = 100.0f; // percent, 100 opaque
    float hue_val = 0.0f;
    float sat_val = 1.0f;
    float brt_val = 0.0f;
    float con_val = 1.0f;
    float srp_val = 0.0f;
    float ev_val = 0.0f;
    float blr_val = 0.0f;
    bool gray_Scale = false;
    bool Sepia = false;
    bool invert_clr = false;
    bool _isFlippedVertically = false;
    bool _isFlippedHorizontally = false;
    QString sign_or_fingureprint = QStringLiteral("S"); // "S" signature, "F" fingerprint

    // --- text ---
    QString _Text_contents; // the item's text (plain); styling lives in the fields below
    QString Text_Value;
    QColor txt_clr = Qt::black;
    QFont text_ctrl_font = QFont(QStringLiteral("Times New Roman"), 18);
    int text_rotation = 0;       // degrees
    int text_alignmnet_Vert = 0; // 0 top, 1 middle, 2 bottom
    int text_alignmnet = 0;      // 0 left, 1 center, 2 right, 3 justified
    int text_transfrom_case = 0; // 0 as typed, 1 upper, 2 lower, 3 capitalised
    float text_kerning = 0.0f;   // extra spacing between characters, points
    bool Drawing_Shadow = false;
    QColor Shadow_Color = Qt::black;
    float Shadow_offset_X = 2.0f;
    float Shadow_offset_Y = 2.0f;
    float Shadow_blur = 2.0f;
    float Shadow_transparency = 0.5f; // fraction

    // --- data binding ---
    int data_source_type = 0; // 0 manual, 1 series list, 2 sheet column
    QString batch_list_name;
    int batch_list_index = 0;
    int excel_col_indx = 0; // 0 the row number, k the k-th imported column
    bool excel_binding = false;

    // --- barcode style (defaults of a new item) ---
    int linear_or_2d = 0;
    int barcode_font_index = 0;
    QString linear_font_val = QStringLiteral("0123");
    QString two_d_font_val = QStringLiteral("0123");
    QString header_val = QStringLiteral("HEADER");
    QString footer_val = QStringLiteral("FOOTER");
    int show_hide_hdr = 0;
    int show_hide_ftr = 0;
    int show_hide_val = 0;
    int show_val_on_top = 0;
    int align_hdr_index = 1;
    int align_ftr_index = 1;
    float linear_height_val = 0.6f; // cm
    float linear_width_val = 20.0f; // mils
    int qr_size_val = 60;
    int qr_version_index = 0;
    int qr_ec_index = 0;
    int pdf_hgt_val = 20;
    int pdf_wdt_val = 100;
    int pdf_ec_val = 2;
    int pdf_row_val = 0; // PDF417 rows, 0 chosen from the data
    int pdf_col_val = 0; // PDF417 data columns, 0 chosen from the data
    int dm_module_val = 2;
    int dm_format_index = 0;
    int dm_encoding_index = 0;
    float hdr_margin_val = 0.1f; // cm
    float ftr_margin_val = 0.1f;
    float val_margin_val = 0.1f;
    float TB_marging_val = 0.1f;
    float LR_margin_val = 0.1f;
    QFont value_font_val = QFont(QStringLiteral("Times New Roman"), 10);
    QFont header_font_val = QFont(QStringLiteral("Times New Roman"), 10);
    QFont footer_font_val = QFont(QStringLiteral("Times New Roman"), 10);
    QColor barcode_hdr_clr_val = Qt::black;
    QColor barcode_ftr_clr_val = Qt::black;
    QColor barcode_val_clr_val = Qt::black;
    QColor barcode_back_clr_val = Qt::white;
    QColor barcode_clr_val = Qt::black;
    int dpi_val_index = 0;
    QString dpi_custom_val = QStringLiteral("0");
    int barcode_unit_val = 1;
    int kerning_value_val = 0; // 1 spreads a one-piece value text over the bars

    QImage _barcode_image; // the ready barcode image (not part of the style)
    QString _barcode_value;            // the data value the image shows (not stored)
    bool _barcode_shows_value = false; // false: the image shows the item's own content

protected:
    SKTGraphic() = default;
    SKTGraphic(const SKTGraphic&) = default;
    SKTGraphic& operator=(const SKTGraphic&) = default;
};

using GraphicPtr = std::shared_ptr<SKTGraphic>;
// Item arrays are ordered front-most first: index 0 is drawn last.
using GraphicList = QList<GraphicPtr>;
