#pragma once

// The whole design of a barcode as one plain value: the style fields a barcode item stores (same names
// and defaults as SKTGraphic's) and the designer settings kept outside the item that change the output.
// Generation and drawing read only this value, so a copy taken on the GUI thread can be used anywhere.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>

class SKTGraphic;
using GraphicList = QList<std::shared_ptr<SKTGraphic>>;

struct BarcodeStyle {
    int linear_or_2d = 0;       // 0 linear, 1 2-D
    int barcode_font_index = 0; // index in the symbology pop-up (see BarcodeSymbologies.h)
    QString linear_font_val = QStringLiteral("0123");
    QString two_d_font_val = QStringLiteral("0123");
    QString header_val = QStringLiteral("HEADER");
    QString footer_val = QStringLiteral("FOOTER");
    int show_hide_hdr = 0; // 1 header hidden
    int show_hide_ftr = 0; // 1 footer hidden
    int show_hide_val = 0; // 1 value text hidden
    int show_val_on_top = 0;
    int align_hdr_index = 1; // index in alignmentTitles()
    int align_ftr_index = 1;
    float linear_height_val = 0.6f; // bar height, centimetres
    float linear_width_val = 20.0f; // narrowest bar, mils
    int qr_size_val = 60;
    int qr_version_index = 0;
    int qr_ec_index = 0;
    int pdf_hgt_val = 20;
    int pdf_wdt_val = 100;
    int pdf_ec_val = 2;
    int pdf_row_val = 0; // 0: the rows follow from the data
    int pdf_col_val = 0; // 0: the columns follow from the data
    int dm_module_val = 2;
    int dm_format_index = 0;
    int dm_encoding_index = 0;
    float hdr_margin_val = 0.1f; // centimetres
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
    int dpi_val_index = 0; // index in resolutionTitles()
    QString dpi_custom_val = QStringLiteral("0");
    int barcode_unit_val = 1; // always centimetres
    int kerning_value = 0;    // "Spread value text": 1 spreads a one-piece value text over the bars

    // Designer setting that is not stored in the item.
    int dpi = 600; // resolution of raster barcode images, dots per inch

    // The style of an item; `dpi` follows the item's resolution entry.
    static BarcodeStyle fromItem(const SKTGraphic& item);
    // Writes the stored fields (linear_or_2d to dpi_custom_val, the PDF417 rows and columns and the
    // spreading) into the item; nothing else changes.
    void applyTo(SKTGraphic& item) const;
    // Gives target each stored field (and the spreading) in which now differs from was: an edit made to one
    // style, carried to another that keeps the rest of its own.
    static void copyChangedFields(BarcodeStyle& target, const BarcodeStyle& was, const BarcodeStyle& now);

    bool printsCaption() const { return show_hide_val != 1; }
    bool printsHeader() const { return show_hide_hdr != 1; }
    bool printsFooter() const { return show_hide_ftr != 1; }
    // The content for the current mode.
    QString content() const { return linear_or_2d == 0 ? linear_font_val : two_d_font_val; }

    friend bool operator==(const BarcodeStyle&, const BarcodeStyle&) = default;
};

// Whether the style's symbology is one of the lists (a stored index may come from elsewhere).
bool symbologyKnown(const BarcodeStyle& style);
// The notice shown when a design holds barcode items whose stored symbology is not in the lists (they keep
// their stored picture and style); empty when there is none.
QString unknownSymbologyNotice(const GraphicList& front, const GraphicList& back);

// Entries of the header and footer alignment lists; stored indexes refer to this order.
const QStringList& alignmentTitles();
// Entries of the output-resolution list; stored indexes refer to this order.
const QStringList& resolutionTitles();
// Dots per inch of a resolution entry: "Auto" 600, "Custom" the custom text (600 when it is not a
// number from 1 to 2400), otherwise the entry's number.
int resolutionDpi(int index, const QString& custom);
