#include "wizards/CardSizePresets.h"

#include <cmath>

namespace cardsize {

const QList<CardSizePreset>& presets() {
    static const QList<CardSizePreset> table = [] {
        QList<CardSizePreset> t;
        auto add = [&t](const char* cat, const char* title, double a, double b) {
            t.append({QString::fromLatin1(cat), QString::fromLatin1(title), a, b});
        };
        add("Invitation", "5 x 7 in", 7, 5);
        add("Invitation", "4.25 x 5.5 in (A2)", 5.5, 4.25);
        add("Invitation", "5.25 x 7.25 in (A7)", 7.25, 5.25);
        add("Invitation", "4 x 9.25 in (Slim)", 9.25, 4);
        add("Invitation", "5.5 x 5.5 in (Square)", 5.5, 5.5);
        add("Greeting Card", "4 x 6 in", 6, 4);
        add("Greeting Card", "5 x 7 in", 7, 5);
        add("Greeting Card", "5.5 x 8.5 in", 8.5, 5.5);
        add("Greeting Card", "6 x 6 in (Square)", 6, 6);
        add("Photo Frame", "3.5 x 5 in", 5, 3.5);
        add("Photo Frame", "4 x 6 in", 6, 4);
        add("Photo Frame", "5 x 7 in", 7, 5);
        add("Photo Frame", "8 x 10 in", 10, 8);
        add("Photo Frame", "8.5 x 11 in (Letter)", 11, 8.5);
        add("Photo Frame", "11 x 14 in", 14, 11);
        add("Postcard", "3.5 x 5 in", 5, 3.5);
        add("Postcard", "4 x 6 in", 6, 4);
        add("Postcard", "6 x 9 in", 9, 6);
        add("Business Card", "3.5 x 2 in", 3.5, 2);
        add("Business Card", "3.37 x 2.13 in (ID-1)", 3.370, 2.125);
        add("Place Card", "3.5 x 2.5 in", 3.5, 2.5);
        add("Place Card", "4 x 3 in", 4, 3);
        return t;
    }();
    return table;
}

QStringList categories() {
    QStringList out;
    for (const CardSizePreset& p : presets())
        if (!out.contains(p.category))
            out.append(p.category);
    out.append(CustomCategory);
    return out;
}

QList<CardSizePreset> presetsOf(const QString& category) {
    QList<CardSizePreset> out;
    for (const CardSizePreset& p : presets())
        if (p.category == category)
            out.append(p);
    return out;
}

QSizeF sizeInPoints(const CardSizePreset& preset, const QString& orientation) {
    const double a = preset.longInches * PointsPerInch;
    const double b = preset.shortInches * PointsPerInch;
    return orientation == Vertical ? QSizeF(b, a) : QSizeF(a, b);
}

std::optional<QSizeF> customSizeInPoints(double widthMm, double heightMm) {
    auto ok = [](double v) {
        return std::isfinite(v) && v >= MinCustomMillimetres && v <= MaxCustomMillimetres;
    };
    if (!ok(widthMm) || !ok(heightMm))
        return std::nullopt;
    return QSizeF(widthMm * PointsPerMillimetre, heightMm * PointsPerMillimetre);
}

int indexOf(const QString& category, const QString& subCategory) {
    const QList<CardSizePreset> list = presetsOf(category);
    for (int i = 0; i < list.size(); ++i)
        if (list[i].subCategory == subCategory)
            return i;
    return -1;
}

} // namespace cardsize

#include "canvas/Card_Property.h"

void CardChoice::applyTo(Card_Property& record) const {
    record.Card_Size = size;
    record.Card_Preset = orientation;
    record.Card_Category = category;
    record.Card_Sub_Category = subCategory;
    record.Card_Cat_index = catIndex;
    record.Card_Shape = shape;
    record.Card_Create_Mode = QStringLiteral("W");
}

int CardChoice::shapeNumber() const {
    if (shape == QStringLiteral("RR"))
        return 1;
    if (shape == QStringLiteral("E"))
        return 2;
    return 0;
}
