#include "canvas/ItemArchive.h"

#include "canvas/SKTItems.h"

#include <cmath>
#include <limits>
#include <variant>

namespace {

using Member = std::variant<int SKTGraphic::*, float SKTGraphic::*, double SKTGraphic::*, bool SKTGraphic::*,
                            QString SKTGraphic::*, QColor SKTGraphic::*, QFont SKTGraphic::*,
                            QImage SKTGraphic::*, ItemPicture SKTGraphic::*, QRectF SKTGraphic::*>;

// Accepted range of a numeric field; a stored value outside it (or not finite) keeps the default.
struct Range {
    double lo;
    double hi;
};
constexpr Range AnyInt{double(std::numeric_limits<qint32>::min()),
                       double(std::numeric_limits<qint32>::max())};
constexpr Range AnyReal{-1.0e6, 1.0e6};

struct Field {
    const char* name;
    Member member;
    std::optional<Range> range = {}; // numeric fields: the default is AnyInt or AnyReal by type
};

// The key is the field's own name, spelt once.
#define NAVU_FIELD(name, ...)                                                                                \
    Field {                                                                                                  \
#name, &SKTGraphic::name __VA_OPT__(, Range __VA_ARGS__)                                             \
    }

const std::vector<Field>& fields() {
    static const std::vector<Field> table = {
        // geometry and shape
        NAVU_FIELD(_bounds),
        NAVU_FIELD(_shape_type),
        NAVU_FIELD(cor_rad_val, {0.0, 1.0e5}),
        NAVU_FIELD(double_star_type),
        NAVU_FIELD(polygon_type),
        NAVU_FIELD(_line_ori),
        NAVU_FIELD(_line_cap_style),
        // stroke and fill
        NAVU_FIELD(_isDrawingStroke),
        NAVU_FIELD(_strokeWidth, {0.0, 1000.0}),
        NAVU_FIELD(_strokeColor),
        NAVU_FIELD(_stroke_border_type),
        NAVU_FIELD(_isDrawingFill),
        NAVU_FIELD(_fillColor),
        NAVU_FIELD(_fill_type),
        NAVU_FIELD(_fill_Grad_clr1),
        NAVU_FIELD(_fill_Grad_clr2),
        NAVU_FIELD(_fill_grad_angle),
        NAVU_FIELD(_fill_htch_clr),
        NAVU_FIELD(_fill_hatch_type),
        NAVU_FIELD(alpha_val, {0.0, 1.0}),
        NAVU_FIELD(alpha_val_stroke, {0.0, 1.0}),
        // state
        NAVU_FIELD(print_object),
        NAVU_FIELD(ctrl_is_locked),
        NAVU_FIELD(ctrl_is_visible),
        NAVU_FIELD(control_ID),
        // picture
        NAVU_FIELD(_file_path),
        NAVU_FIELD(_image),
        NAVU_FIELD(rotate_image),
        NAVU_FIELD(img_trnsp_val, {0.0, 100.0}),
        NAVU_FIELD(hue_val),
        NAVU_FIELD(sat_val),
        NAVU_FIELD(brt_val),
        NAVU_FIELD(con_val),
        NAVU_FIELD(srp_val),
        NAVU_FIELD(ev_val),
        NAVU_FIELD(blr_val, {0.0, 1000.0}),
        NAVU_FIELD(gray_Scale),
        NAVU_FIELD(Sepia),
        NAVU_FIELD(invert_clr),
        NAVU_FIELD(_isFlippedVertically),
        NAVU_FIELD(_isFlippedHorizontally),
        NAVU_FIELD(sign_or_fingureprint),
        // text
        NAVU_FIELD(_Text_contents),
        NAVU_FIELD(Text_Value),
        NAVU_FIELD(txt_clr),
        NAVU_FIELD(text_ctrl_font),
        NAVU_FIELD(text_rotation),
        NAVU_FIELD(text_alignmnet_Vert),
        NAVU_FIELD(text_alignmnet),
        NAVU_FIELD(text_transfrom_case),
        NAVU_FIELD(text_kerning, {-1000.0, 1000.0}),
        NAVU_FIELD(Drawing_Shadow),
        NAVU_FIELD(Shadow_Color),
        NAVU_FIELD(Shadow_offset_X, {-1.0e4, 1.0e4}),
        NAVU_FIELD(Shadow_offset_Y, {-1.0e4, 1.0e4}),
        NAVU_FIELD(Shadow_blur, {0.0, 1000.0}),
        NAVU_FIELD(Shadow_transparency, {0.0, 1.0}),
        // data binding
        NAVU_FIELD(data_source_type),
        NAVU_FIELD(batch_list_name),
        NAVU_FIELD(batch_list_index),
        NAVU_FIELD(excel_col_indx),
        NAVU_FIELD(excel_binding),
        // barcode style
        NAVU_FIELD(linear_or_2d),
        NAVU_FIELD(barcode_font_index),
        NAVU_FIELD(linear_font_val),
        NAVU_FIELD(two_d_font_val),
        NAVU_FIELD(header_val),
        NAVU_FIELD(footer_val),
        NAVU_FIELD(show_hide_hdr),
        NAVU_FIELD(show_hide_ftr),
        NAVU_FIELD(show_hide_val),
        NAVU_FIELD(show_val_on_top),
        NAVU_FIELD(align_hdr_index),
        NAVU_FIELD(align_ftr_index),
        NAVU_FIELD(linear_height_val, {0.0, 1000.0}),
        NAVU_FIELD(linear_width_val, {0.0, 10000.0}),
        NAVU_FIELD(qr_size_val, {0.0, 10000.0}),
        NAVU_FIELD(qr_version_index),
        NAVU_FIELD(qr_ec_index),
        NAVU_FIELD(pdf_hgt_val, {0.0, 10000.0}),
        NAVU_FIELD(pdf_wdt_val, {0.0, 10000.0}),
        NAVU_FIELD(pdf_ec_val),
        NAVU_FIELD(pdf_row_val),
        NAVU_FIELD(pdf_col_val),
        NAVU_FIELD(dm_module_val, {0.0, 1000.0}),
        NAVU_FIELD(dm_format_index),
        NAVU_FIELD(dm_encoding_index),
        NAVU_FIELD(hdr_margin_val, {0.0, 1000.0}),
        NAVU_FIELD(ftr_margin_val, {0.0, 1000.0}),
        NAVU_FIELD(val_margin_val, {0.0, 1000.0}),
        NAVU_FIELD(TB_marging_val, {0.0, 1000.0}),
        NAVU_FIELD(LR_margin_val, {0.0, 1000.0}),
        NAVU_FIELD(value_font_val),
        NAVU_FIELD(header_font_val),
        NAVU_FIELD(footer_font_val),
        NAVU_FIELD(barcode_hdr_clr_val),
        NAVU_FIELD(barcode_ftr_clr_val),
        NAVU_FIELD(barcode_val_clr_val),
        NAVU_FIELD(barcode_back_clr_val),
        NAVU_FIELD(barcode_clr_val),
        NAVU_FIELD(dpi_val_index),
        NAVU_FIELD(dpi_custom_val),
        NAVU_FIELD(barcode_unit_val),
        NAVU_FIELD(kerning_value_val),
        NAVU_FIELD(_barcode_image),
    };
    return table;
}

#undef NAVU_FIELD

// Longest text accepted for any string field.
constexpr qsizetype MaxStringLength = 1 << 16;
// Largest coordinate accepted in the bounds, points.
constexpr double MaxCoordinate = 1.0e6;

QStringList superclassesOf(const SKTGraphic& item) {
    if (item.kind() == GraphicKind::Signature)
        return {QStringLiteral("SKTImage"), QStringLiteral("SKTGraphic"), QStringLiteral("NSObject")};
    return {QStringLiteral("SKTGraphic"), QStringLiteral("NSObject")};
}

bool inRange(double v, const Range& r) {
    return std::isfinite(v) && v >= r.lo && v <= r.hi;
}

QString formatCoordinate(double v) {
    return QString::number(v, 'g', 17);
}

} // namespace

QString rectToString(const QRectF& r) {
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(formatCoordinate(r.x()), formatCoordinate(r.y()), formatCoordinate(r.width()),
             formatCoordinate(r.height()));
}

std::optional<QRectF> rectFromString(const QString& text) {
    if (text.size() > 256)
        return std::nullopt;
    QString s = text;
    s.remove(QChar(' ')).remove(QChar('\t'));
    if (!s.startsWith(QLatin1String("{{")) || !s.endsWith(QLatin1String("}}")))
        return std::nullopt;
    const QStringList halves = s.mid(2, s.size() - 4).split(QStringLiteral("},{"));
    if (halves.size() != 2)
        return std::nullopt;
    const QStringList numbers = halves[0].split(QChar(',')) + halves[1].split(QChar(','));
    if (numbers.size() != 4)
        return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = numbers[i].toDouble(&ok);
        if (!ok || !std::isfinite(v[i]) || std::abs(v[i]) > MaxCoordinate)
            return std::nullopt;
    }
    return QRectF(v[0], v[1], v[2], v[3]);
}

QStringList archivedFieldNames() {
    QStringList names;
    for (const Field& f : fields())
        names << QString::fromLatin1(f.name);
    return names;
}

PlistPtr archiveItemPlist(const SKTGraphic& item, const ItemArchiveOptions& options) {
    KeyedArchiveWriter writer;
    KeyedArchiveWriter::Object root = writer.addObject(item.className(), superclassesOf(item));
    for (const Field& f : fields()) {
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(item.*member)>;
                const T& value = item.*member;
                if constexpr (std::is_same_v<T, int>)
                    root.setInt32(f.name, value);
                else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>)
                    root.setFloat(f.name, float(value));
                else if constexpr (std::is_same_v<T, bool>)
                    root.setBool(f.name, value);
                else if constexpr (std::is_same_v<T, QString>)
                    root.setString(f.name, value);
                else if constexpr (std::is_same_v<T, QColor>)
                    root.setColor(f.name, value);
                else if constexpr (std::is_same_v<T, QFont>)
                    root.setFont(f.name, value);
                else if constexpr (std::is_same_v<T, QImage>)
                    root.setImage(f.name, options.includePictures ? value : QImage());
                else if constexpr (std::is_same_v<T, ItemPicture>)
                    root.setPicture(f.name, options.includePictures ? value : ItemPicture());
                else if constexpr (std::is_same_v<T, QRectF>)
                    root.setString(f.name, rectToString(value));
            },
            f.member);
    }
    return writer.finish(root.uid());
}

QByteArray archiveItem(const SKTGraphic& item, plistio::Format format) {
    const PlistPtr archive = archiveItemPlist(item);
    return plistio::toBytes(archive.get(), format);
}

GraphicPtr unarchiveItemPlist(plist_t archive, QString* error, QStringList* defaulted) {
    KeyedArchiveReader reader;
    if (!reader.open(archive, error))
        return nullptr;
    plist_t root = reader.root();
    const QString className = reader.className(root);
    GraphicPtr item = makeGraphicOfClass(className, false);
    if (!item) {
        if (error)
            *error = className.isEmpty()
                         ? QStringLiteral("The item archive names no class.")
                         : QStringLiteral("Unknown item class \"%1\".").arg(className.left(64));
        return nullptr;
    }
    SKTGraphic& g = *item;
    for (const Field& f : fields()) {
        bool ok = false;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(g.*member)>;
                T& target = g.*member;
                if constexpr (std::is_same_v<T, int>) {
                    const auto v = reader.integer(root, f.name);
                    if (v && inRange(double(*v), f.range.value_or(AnyInt))) {
                        target = int(*v);
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
                    const auto v = reader.real(root, f.name);
                    if (v && inRange(*v, f.range.value_or(AnyReal))) {
                        target = T(float(*v));
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, bool>) {
                    if (const auto v = reader.boolean(root, f.name)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QString>) {
                    if (const auto v = reader.string(root, f.name, MaxStringLength)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QColor>) {
                    if (const auto v = reader.color(root, f.name)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QFont>) {
                    if (const auto v = reader.font(root, f.name)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QImage>) {
                    if (const auto v = reader.image(root, f.name)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, ItemPicture>) {
                    if (const auto v = reader.picture(root, f.name)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QRectF>) {
                    if (const auto s = reader.string(root, f.name, 256)) {
                        if (const auto r = rectFromString(*s)) {
                            target = r->normalized();
                            ok = true;
                        }
                    }
                }
            },
            f.member);
        if (!ok && defaulted)
            defaulted->append(QString::fromLatin1(f.name));
    }
    return item;
}

GraphicPtr unarchiveItem(const QByteArray& data, QString* error, QStringList* defaulted, qint64* budget) {
    const PlistPtr archive = plistio::fromBytes(data, error, budget);
    if (!archive)
        return nullptr;
    return unarchiveItemPlist(archive.get(), error, defaulted);
}
