#include "canvas/CardPropertyArchive.h"

#include <cmath>
#include <variant>
#include <vector>

namespace {

using Member = std::variant<int Card_Property::*, float Card_Property::*, QString Card_Property::*,
                            QColor Card_Property::*, QFont Card_Property::*, QPointF Card_Property::*,
                            QSizeF Card_Property::*>;

struct Field {
    const char* name;
    Member member;
};

#define NAVU_CARD_FIELD(name) Field{#name, &Card_Property::name}

const std::vector<Field>& fields()
{
    static const std::vector<Field> table = {
        NAVU_CARD_FIELD(Card_border_chk),     NAVU_CARD_FIELD(Card_bordr_clr),
        NAVU_CARD_FIELD(Card_bor_Stepper),    NAVU_CARD_FIELD(Card_border_style),
        NAVU_CARD_FIELD(Card_fill_chk),       NAVU_CARD_FIELD(Card_fill_clr),
        NAVU_CARD_FIELD(Card_fill_style),     NAVU_CARD_FIELD(Card_fill_Grd_1_clr),
        NAVU_CARD_FIELD(Card_fill_Grd_2_clr), NAVU_CARD_FIELD(Card_grad_Stepper),
        NAVU_CARD_FIELD(Card_hatch_bk_clr),   NAVU_CARD_FIELD(Card_hatch_style),
        NAVU_CARD_FIELD(Card_alpha_Stepper),  NAVU_CARD_FIELD(Card_Side),
        NAVU_CARD_FIELD(Card_Side_Name),      NAVU_CARD_FIELD(Card_Shape),
        NAVU_CARD_FIELD(Card_Name),           NAVU_CARD_FIELD(Card_Location),
        NAVU_CARD_FIELD(Card_Size),           NAVU_CARD_FIELD(Card_Preset),
        NAVU_CARD_FIELD(Card_Category),       NAVU_CARD_FIELD(Card_Sub_Category),
        NAVU_CARD_FIELD(Card_Cat_index),      NAVU_CARD_FIELD(Card_Create_Mode),
        NAVU_CARD_FIELD(Card_BG_Image_Path),  NAVU_CARD_FIELD(Card_BG_Image_Layout),
        NAVU_CARD_FIELD(Card_Content_clr),    NAVU_CARD_FIELD(Card_Content_font),
    };
    return table;
}

#undef NAVU_CARD_FIELD

constexpr qsizetype MaxStringLength = 1 << 16;
constexpr double MaxCoordinate = 1.0e6;

QString number(double v) { return QString::number(v, 'g', 17); }

std::optional<QPointF> pairFromString(const QString& text)
{
    if (text.size() > 128)
        return std::nullopt;
    QString s = text;
    s.remove(QChar(' ')).remove(QChar('\t'));
    if (!s.startsWith(QChar('{')) || !s.endsWith(QChar('}')))
        return std::nullopt;
    const QStringList numbers = s.mid(1, s.size() - 2).split(QChar(','));
    if (numbers.size() != 2)
        return std::nullopt;
    bool ok1 = false;
    bool ok2 = false;
    const double a = numbers[0].toDouble(&ok1);
    const double b = numbers[1].toDouble(&ok2);
    if (!ok1 || !ok2 || !std::isfinite(a) || !std::isfinite(b) || std::abs(a) > MaxCoordinate ||
        std::abs(b) > MaxCoordinate)
        return std::nullopt;
    return QPointF(a, b);
}

plist_t colorNode(const QColor& color)
{
    plist_t array = plist_new_array();
    if (color.isValid()) {
        const QColor c = color.toRgb();
        for (float v : {c.redF(), c.greenF(), c.blueF(), c.alphaF()})
            plist_array_append_item(array, plist_new_real(double(v)));
    }
    return array;
}

std::optional<QColor> colorFrom(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_ARRAY)
        return std::nullopt;
    const uint32_t n = plist_array_get_size(node);
    if (n == 0)
        return QColor();
    if (n != 4)
        return std::nullopt;
    float v[4];
    for (uint32_t i = 0; i < 4; ++i) {
        const auto r = plistio::realValue(plist_array_get_item(node, i));
        if (!r || *r < 0 || *r > 1)
            return std::nullopt;
        v[i] = float(*r);
    }
    return QColor::fromRgbF(v[0], v[1], v[2], v[3]);
}

plist_t fontNode(const QFont& font)
{
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "NSName", plistio::newString(font.family()));
    plist_dict_set_item(dict, "NSSize", plist_new_real(font.pointSizeF() > 0 ? font.pointSizeF() : 12.0));
    plist_dict_set_item(dict, "NAVUWeight", plistio::newInteger(int(font.weight())));
    plist_dict_set_item(dict, "NAVUItalic", plist_new_bool(font.italic()));
    plist_dict_set_item(dict, "NAVUUnderline", plist_new_bool(font.underline()));
    plist_dict_set_item(dict, "NAVUStrikeOut", plist_new_bool(font.strikeOut()));
    return dict;
}

std::optional<QFont> fontFrom(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_DICT)
        return std::nullopt;
    const auto family = plistio::stringValue(plist_dict_get_item(node, "NSName"), 256);
    const auto size = plistio::realValue(plist_dict_get_item(node, "NSSize"));
    if (!family || family->isEmpty() || !size || *size <= 0 || *size > 4096)
        return std::nullopt;
    QFont font(*family);
    font.setPointSizeF(*size);
    if (const auto w = plistio::integerValue(plist_dict_get_item(node, "NAVUWeight")); w && *w >= 1 && *w <= 1000)
        font.setWeight(QFont::Weight(*w));
    if (const auto b = plistio::boolValue(plist_dict_get_item(node, "NAVUItalic")))
        font.setItalic(*b);
    if (const auto b = plistio::boolValue(plist_dict_get_item(node, "NAVUUnderline")))
        font.setUnderline(*b);
    if (const auto b = plistio::boolValue(plist_dict_get_item(node, "NAVUStrikeOut")))
        font.setStrikeOut(*b);
    return font;
}

} // namespace

namespace CardPropertyArchive {

QStringList storedFieldNames()
{
    QStringList names;
    for (const Field& f : fields())
        names << QString::fromLatin1(f.name);
    return names;
}

void append(const Card_Property& record, plist_t array)
{
    for (const Field& f : fields()) {
        plist_t node = std::visit(
            [&](auto member) -> plist_t {
                using T = std::remove_cvref_t<decltype(record.*member)>;
                const T& v = record.*member;
                if constexpr (std::is_same_v<T, int>)
                    return plistio::newInteger(v);
                else if constexpr (std::is_same_v<T, float>)
                    return plist_new_real(double(v));
                else if constexpr (std::is_same_v<T, QString>)
                    return plistio::newString(v);
                else if constexpr (std::is_same_v<T, QColor>)
                    return colorNode(v);
                else if constexpr (std::is_same_v<T, QFont>)
                    return fontNode(v);
                else if constexpr (std::is_same_v<T, QPointF>)
                    return plistio::newString(QStringLiteral("{%1, %2}").arg(number(v.x()), number(v.y())));
                else
                    return plistio::newString(QStringLiteral("{%1, %2}").arg(number(v.width()), number(v.height())));
            },
            f.member);
        plist_array_append_item(array, node);
    }
}

bool read(plist_t array, uint32_t start, Card_Property& record, QString* error, QStringList* defaulted)
{
    if (!array || plist_get_node_type(array) != PLIST_ARRAY || plist_array_get_size(array) < start ||
        plist_array_get_size(array) - start < uint32_t(StoredFieldCount)) {
        if (error)
            *error = QStringLiteral("The card settings are incomplete.");
        return false;
    }
    uint32_t index = start;
    for (const Field& f : fields()) {
        plist_t node = plist_array_get_item(array, index++);
        bool ok = false;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(record.*member)>;
                T& target = record.*member;
                if constexpr (std::is_same_v<T, int>) {
                    const auto v = plistio::integerValue(node);
                    if (v && *v >= std::numeric_limits<qint32>::min() && *v <= std::numeric_limits<qint32>::max()) {
                        target = int(*v);
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, float>) {
                    // Card_alpha_Stepper, the only fractional field: a fraction, or a percentage from
                    // records that held 100.0 after a reset.
                    auto v = plistio::realValue(node);
                    if (v && *v > 1.0 && *v <= 100.0)
                        *v /= 100.0;
                    if (v && *v >= 0.0 && *v <= 1.0) {
                        target = float(*v);
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QString>) {
                    if (const auto v = plistio::stringValue(node, MaxStringLength)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QColor>) {
                    if (const auto v = colorFrom(node)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QFont>) {
                    if (const auto v = fontFrom(node)) {
                        target = *v;
                        ok = true;
                    }
                } else if constexpr (std::is_same_v<T, QPointF>) {
                    if (const auto s = plistio::stringValue(node, 128)) {
                        if (const auto p = pairFromString(*s)) {
                            target = *p;
                            ok = true;
                        }
                    }
                } else {
                    if (const auto s = plistio::stringValue(node, 128)) {
                        if (const auto p = pairFromString(*s); p && p->x() > 0 && p->y() > 0) {
                            target = QSizeF(p->x(), p->y());
                            ok = true;
                        }
                    }
                }
            },
            f.member);
        if (!ok && defaulted)
            defaulted->append(QString::fromLatin1(f.name));
    }
    return true;
}

} // namespace CardPropertyArchive
