#include "app/inspector/InspectorLogic.h"

#include "canvas/ItemArchive.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/PictureReader.h"
#include "common/Prompt.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMutex>

#include <algorithm>
#include <cmath>
#include <utility>

namespace inspector {

const QStringList& allTabNames() {
    static const QStringList names = {
        QStringLiteral("card_setting_tab"), QStringLiteral("card_info_tab"),
        QStringLiteral("card_size_tab"),    QStringLiteral("card_bkgd_tab"),
        QStringLiteral("card_brdr_tab"),    QStringLiteral("line_tab"),
        QStringLiteral("shape_tab"),        QStringLiteral("text_edtng_tab"),
        QStringLiteral("text_prop_tab"),    QStringLiteral("image_tab"),
        QStringLiteral("sign_tab"),         QStringLiteral("datasource_tab"),
        QStringLiteral("aligmnt_tab"),      QStringLiteral("barcode_tab"),
        QStringLiteral("Lock_tab"),
    };
    return names;
}

namespace {
const QStringList& dashCodes() {
    static const QStringList codes = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"),
                                      QStringLiteral("DD"), QStringLiteral("DDD")};
    return codes;
}
} // namespace

QString dashCodeForIndex(int index, const QString& current) {
    if (index < 0 || index >= dashCodes().size())
        return current;
    return dashCodes().at(index);
}

int dashIndexForCode(const QString& code) {
    return int(dashCodes().indexOf(code));
}

double millimetresToPoints(double mm) {
    return mm * 2.834645669291;
}
double pointsToMillimetres(double points) {
    return points * 0.3527777777778;
}

int truncatedWidth(double width) {
    if (!std::isfinite(width))
        return 0;
    return int(std::trunc(width));
}

QString fontLabel(const QFont& font) {
    return QStringLiteral("%1 ( %2 )").arg(font.family()).arg(font.pointSizeF(), 0, 'f', 2);
}

int indexOrCurrent(int index, int count, int current) {
    return (index >= 0 && index < count) ? index : current;
}

// ---------------------------------------------------------------- tab sets

TabPlan tabPlanForCard() {
    TabPlan plan;
    plan.tabs = {QStringLiteral("card_setting_tab"), QStringLiteral("card_bkgd_tab")};
    return plan;
}

QString shapeLabel(const QString& code) {
    static const QHash<QString, QString> labels = {
        {QStringLiteral("R"), QStringLiteral("Rectangle Properties")},
        {QStringLiteral("C"), QStringLiteral("Ellipse Properties")},
        {QStringLiteral("RR"), QStringLiteral("Rounded Rectangle Properties")},
        {QStringLiteral("T"), QStringLiteral("Triangle Properties")},
        {QStringLiteral("D"), QStringLiteral("Diamond Properties")},
        {QStringLiteral("S"), QStringLiteral("Star Properties")},
        {QStringLiteral("DS"), QStringLiteral("Double Star Properties")},
        {QStringLiteral("P"), QStringLiteral("Polygon Properties")},
    };
    return labels.value(code);
}

TabPlan tabPlanForItem(const SKTGraphic& item) {
    TabPlan plan;
    const bool locked = item.ctrl_is_locked;
    const QString lockTab = QStringLiteral("Lock_tab");
    QString lockLabel;
    QStringList tabs;
    plan.selControlName = QStringLiteral("NONE");

    switch (item.kind()) {
    case GraphicKind::Text: {
        tabs = {QStringLiteral("text_edtng_tab"), QStringLiteral("text_prop_tab"),
                QStringLiteral("datasource_tab")};
        lockLabel = QStringLiteral("Text Properties");
        plan.selControlName = QStringLiteral("T");
        if (!locked) {
            plan.labels.insert(QStringLiteral("datasource_tab"), QStringLiteral("Text Source"));
            plan.dataSourceTitle = QStringLiteral("Text Source");
            plan.manualBrowseShown = false;
        }
        if (item.control_ID == QLatin1String("PARTY_TITLE")) {
            plan.insertTemplateShown = true;
            plan.insertTemplateTitle = QStringLiteral("Use Template Title");
        } else if (item.control_ID == QLatin1String("PARTY_MSG")) {
            plan.insertTemplateShown = true;
            plan.insertTemplateTitle = QStringLiteral("Use Template Message");
        }
        break;
    }
    case GraphicKind::Image:
        tabs = {QStringLiteral("datasource_tab"), QStringLiteral("image_tab")};
        lockLabel = QStringLiteral("Image Properties");
        plan.selControlName = QStringLiteral("I");
        if (!locked) {
            plan.labels.insert(QStringLiteral("datasource_tab"), QStringLiteral("Image Source"));
            plan.dataSourceTitle = QStringLiteral("Image Source");
            plan.manualBrowseShown = true;
        }
        break;
    case GraphicKind::Line:
        tabs = {QStringLiteral("line_tab")};
        lockLabel = QStringLiteral("Line Properties");
        break;
    case GraphicKind::Signature:
        tabs = {QStringLiteral("sign_tab")};
        lockLabel = QStringLiteral("Signature Properties");
        plan.selControlName = item.sign_or_fingureprint;
        plan.labels.insert(QStringLiteral("sign_tab"), item.sign_or_fingureprint == QLatin1String("S")
                                                           ? QStringLiteral("Signature Properties")
                                                           : QStringLiteral("FingrePrint Properties"));
        break;
    case GraphicKind::Barcode:
        tabs = {QStringLiteral("barcode_tab")};
        lockLabel = QStringLiteral("Barcode Properties");
        break;
    case GraphicKind::Shape: {
        tabs = {QStringLiteral("shape_tab")};
        const QString code = item.Get_shape_type();
        lockLabel = shapeLabel(code);
        if (!locked) {
            if (!lockLabel.isEmpty()) {
                plan.labels.insert(QStringLiteral("shape_tab"), lockLabel);
                plan.shapeTitle = lockLabel;
            }
            plan.cornerRadiusShown = code == QLatin1String("RR");
            plan.doubleStarShown = code == QLatin1String("DS");
            plan.polygonShown = code == QLatin1String("P");
        }
        break;
    }
    }

    if (locked) {
        plan.tabs = {lockTab};
        if (!lockLabel.isEmpty())
            plan.labels.insert(lockTab, lockLabel);
    } else {
        plan.tabs = tabs;
        plan.tabs << QStringLiteral("aligmnt_tab");
    }
    return plan;
}

// ---------------------------------------------------------------- item write-back

namespace {
void applyStroke(SKTGraphic& item, const StrokePanel& s, PanelWrite mode) {
    item._isDrawingStroke = s.on;
    if (s.on || mode == PanelWrite::Baseline) {
        item._strokeColor = s.color;
        item._strokeWidth = s.width;
    }
    item._stroke_border_type = dashCodeForIndex(s.dashIndex, item._stroke_border_type);
}

float clampedFraction(double percent) {
    const double f = percentToFraction(percent);
    if (!std::isfinite(f))
        return 1.0f;
    return float(std::clamp(f, 0.0, 1.0));
}
} // namespace

void applyShapePanel(SKTGraphic& item, const ShapePanelValues& v, PanelWrite mode) {
    applyStroke(item, v.stroke, mode);
    item._isDrawingFill = v.fillOn;
    const bool fillValues = v.fillOn || mode == PanelWrite::Baseline;
    if (fillValues)
        item._fillColor = v.fillColor;
    if (fillValues && v.gradientRadio)
        item._fill_type = QStringLiteral("G");
    else if (fillValues && v.hatchRadio)
        item._fill_type = QStringLiteral("H");
    else
        item._fill_type = QStringLiteral("S");
    item._fill_Grad_clr1 = v.grad1;
    item._fill_Grad_clr2 = v.grad2;
    item._fill_grad_angle = v.gradAngle;
    item._fill_htch_clr = v.hatchColor;
    item._fill_hatch_type = v.hatchName;
    item.alpha_val = clampedFraction(v.alphaPercent);
    item.cor_rad_val = float(v.cornerRadius);
    item.double_star_type = v.doubleStar;
    item.polygon_type = v.polygon;
    item.print_object = v.printObject;
}

void applyLinePanel(SKTGraphic& item, const LinePanelValues& v) {
    item._isDrawingStroke = true;
    item._strokeColor = v.color;
    item._strokeWidth = v.width;
    item.print_object = v.printObject;
    item._stroke_border_type = dashCodeForIndex(v.dashIndex, item._stroke_border_type);
    item._line_cap_style = v.capIndex < 0 ? 0 : v.capIndex;
    item._line_ori = v.oriIndex < 0 ? 0 : v.oriIndex;
    item.alpha_val_stroke = clampedFraction(v.alphaPercent);
}

void applyTextPanel(SKTGraphic& item, const TextPanelValues& v, PanelWrite mode) {
    item.print_object = v.printObject;
    applyStroke(item, v.stroke, mode);
    item._isDrawingFill = v.fillOn;
    const bool fillValues = v.fillOn || mode == PanelWrite::Baseline;
    if (fillValues)
        item._fillColor = v.fillColor;
    item._fill_type = (fillValues && v.gradientRadio) ? QStringLiteral("G") : QStringLiteral("S");
    item._fill_Grad_clr1 = v.grad1;
    item._fill_Grad_clr2 = v.grad2;
    item._fill_grad_angle = v.gradAngle;
    item.txt_clr = v.textColor;
    item.text_ctrl_font = v.font;
    if (v.text) {
        if (item.kind() == GraphicKind::Text)
            static_cast<SKTText&>(item).setText(*v.text);
        else
            item._Text_contents = SKTText::cappedText(*v.text);
    }
    item.alpha_val = clampedFraction(v.alphaPercent);
    item.text_alignmnet_Vert = indexOrCurrent(v.vertAlignIndex, VertAlignCount, item.text_alignmnet_Vert);
    item.text_alignmnet = indexOrCurrent(v.alignIndex, AlignCount, item.text_alignmnet);
    item.text_transfrom_case = indexOrCurrent(v.caseIndex, CaseCount, item.text_transfrom_case);
    item.text_kerning = float(v.kerning);
    item.Drawing_Shadow = v.shadow;
    item.text_rotation = v.rotation;
    item.Shadow_Color = v.shadowColor;
    item.Shadow_offset_X = float(v.shadowX);
    item.Shadow_offset_Y = float(v.shadowY);
    item.Shadow_blur = float(v.shadowBlur);
    item.Shadow_transparency = clampedFraction(v.shadowTranspPercent);
}

void setItemFilePath(SKTGraphic& item, const QString& path) {
    if (item.kind() == GraphicKind::Image || item.kind() == GraphicKind::Signature) {
        auto& picture = static_cast<SKTImage&>(item);
        const QString oldPath = picture._file_path;
        const ItemPicture oldImage = picture._image;
        picture.setFilePath(path);
        // A read the user stopped leaves the item as it was.
        if (picture.pictureError() == pictures::StoppedMessage) {
            picture._file_path = oldPath;
            picture._image = oldImage;
        } else if (!picture.pictureError().isEmpty()) {
            Show_MessageBox(picture.pictureError());
        }
    } else
        item._file_path = path;
}

void applyImagePanel(SKTGraphic& item, const ImagePanelValues& v, PanelWrite mode) {
    item.print_object = v.printObject;
    applyStroke(item, v.stroke, mode);
    item._isFlippedHorizontally = v.flipH;
    item._isFlippedVertically = v.flipV;
    item.invert_clr = v.invert;
    item.gray_Scale = v.grayScale;
    item.Sepia = v.sepia;
    item.img_trnsp_val = float(v.transparency);
    item.rotate_image = float(v.rotation);
    item.hue_val = float(v.hue);
    item.sat_val = float(v.saturation);
    item.brt_val = float(v.brightness);
    item.con_val = float(v.contrast);
    item.srp_val = float(v.sharpness);
    item.ev_val = float(v.exposure);
    item.blr_val = float(v.blur);
    if (v.path && *v.path != item._file_path)
        setItemFilePath(item, *v.path);
}

void copyChangedPanelFields(SKTGraphic& target, const SKTGraphic& before, const SKTGraphic& after) {
#define NAVU_PANEL_FIELD(f)                                                                                  \
    if (!(before.f == after.f))                                                                              \
        target.f = after.f;
    NAVU_PANEL_FIELD(_isDrawingStroke)
    NAVU_PANEL_FIELD(_strokeWidth)
    NAVU_PANEL_FIELD(_strokeColor)
    NAVU_PANEL_FIELD(_stroke_border_type)
    NAVU_PANEL_FIELD(_isDrawingFill)
    NAVU_PANEL_FIELD(_fillColor)
    NAVU_PANEL_FIELD(_fill_type)
    NAVU_PANEL_FIELD(_fill_Grad_clr1)
    NAVU_PANEL_FIELD(_fill_Grad_clr2)
    NAVU_PANEL_FIELD(_fill_grad_angle)
    NAVU_PANEL_FIELD(_fill_htch_clr)
    NAVU_PANEL_FIELD(_fill_hatch_type)
    NAVU_PANEL_FIELD(alpha_val)
    NAVU_PANEL_FIELD(alpha_val_stroke)
    NAVU_PANEL_FIELD(cor_rad_val)
    NAVU_PANEL_FIELD(double_star_type)
    NAVU_PANEL_FIELD(polygon_type)
    NAVU_PANEL_FIELD(_line_ori)
    NAVU_PANEL_FIELD(_line_cap_style)
    NAVU_PANEL_FIELD(print_object)
    NAVU_PANEL_FIELD(rotate_image)
    NAVU_PANEL_FIELD(img_trnsp_val)
    NAVU_PANEL_FIELD(hue_val)
    NAVU_PANEL_FIELD(sat_val)
    NAVU_PANEL_FIELD(brt_val)
    NAVU_PANEL_FIELD(con_val)
    NAVU_PANEL_FIELD(srp_val)
    NAVU_PANEL_FIELD(ev_val)
    NAVU_PANEL_FIELD(blr_val)
    NAVU_PANEL_FIELD(gray_Scale)
    NAVU_PANEL_FIELD(Sepia)
    NAVU_PANEL_FIELD(invert_clr)
    NAVU_PANEL_FIELD(_isFlippedVertically)
    NAVU_PANEL_FIELD(_isFlippedHorizontally)
    NAVU_PANEL_FIELD(_Text_contents)
    NAVU_PANEL_FIELD(Text_Value)
    NAVU_PANEL_FIELD(txt_clr)
    NAVU_PANEL_FIELD(text_rotation)
    NAVU_PANEL_FIELD(text_alignmnet_Vert)
    NAVU_PANEL_FIELD(text_alignmnet)
    NAVU_PANEL_FIELD(text_transfrom_case)
    NAVU_PANEL_FIELD(text_kerning)
    NAVU_PANEL_FIELD(Drawing_Shadow)
    NAVU_PANEL_FIELD(Shadow_Color)
    NAVU_PANEL_FIELD(Shadow_offset_X)
    NAVU_PANEL_FIELD(Shadow_offset_Y)
    NAVU_PANEL_FIELD(Shadow_blur)
    NAVU_PANEL_FIELD(Shadow_transparency)
#undef NAVU_PANEL_FIELD
    copyChangedFontParts(target.text_ctrl_font, before.text_ctrl_font, after.text_ctrl_font);
    // A new path comes with its picture (loaded once, for after).
    if (before._file_path != after._file_path) {
        target._file_path = after._file_path;
        target._image = after._image;
    }
}

bool copyChangedFontParts(QFont& target, const QFont& before, const QFont& after) {
    bool changed = false;
    bool faceChanged = false;
    const auto take = [&](bool differs, auto&& put) {
        if (differs) {
            put();
            changed = true;
        }
        return differs;
    };
    faceChanged |= take(before.family() != after.family() || before.families() != after.families(), [&] {
        target.setFamily(after.family());
        target.setFamilies(after.families());
    });
    if (after.pointSizeF() > 0)
        take(before.pointSizeF() != after.pointSizeF(), [&] { target.setPointSizeF(after.pointSizeF()); });
    else if (after.pixelSize() > 0)
        take(before.pixelSize() != after.pixelSize(), [&] { target.setPixelSize(after.pixelSize()); });
    faceChanged |= take(before.weight() != after.weight(), [&] { target.setWeight(after.weight()); });
    faceChanged |= take(before.style() != after.style(), [&] { target.setStyle(after.style()); });
    take(before.underline() != after.underline(), [&] { target.setUnderline(after.underline()); });
    take(before.strikeOut() != after.strikeOut(), [&] { target.setStrikeOut(after.strikeOut()); });
    take(before.overline() != after.overline(), [&] { target.setOverline(after.overline()); });
    take(before.stretch() != after.stretch(), [&] { target.setStretch(after.stretch()); });
    take(before.capitalization() != after.capitalization(),
         [&] { target.setCapitalization(after.capitalization()); });
    // A style name belongs to its family; on another family weight and slant say it.
    const bool styleDiffers = before.styleName() != after.styleName();
    if (styleDiffers || (faceChanged && !target.styleName().isEmpty()))
        target.setStyleName(target.family() == after.family() ? after.styleName() : QString());
    return changed || styleDiffers;
}

ImagePanelValues resetImageValues() {
    ImagePanelValues v;
    v.rotation = 0;
    v.transparency = 100;
    v.hue = 0;
    v.saturation = 1;
    v.brightness = 0;
    v.contrast = 1;
    v.sharpness = 0;
    v.exposure = 0;
    v.blur = 0;
    v.grayScale = v.sepia = v.invert = v.flipH = v.flipV = false;
    return v;
}

void applySignPanel(SKTGraphic& item, const SignPanelValues& v, PanelWrite mode) {
    item.print_object = v.printObject;
    applyStroke(item, v.stroke, mode);
    if (v.path && *v.path != item._file_path)
        setItemFilePath(item, *v.path);
}

// ---------------------------------------------------------------- card side

QString cardShapeCode(int cardShape) {
    if (cardShape == 0)
        return QStringLiteral("R");
    if (cardShape == 1)
        return QStringLiteral("RR");
    return QStringLiteral("E");
}

QColor withAlpha(const QColor& color, double fraction) {
    QColor c = color;
    c.setAlphaF(float(std::clamp(std::isfinite(fraction) ? fraction : 1.0, 0.0, 1.0)));
    return c;
}

void writeCardRecord(Card_Property& p, const CardPanelValues& v, bool backSide) {
    double alpha = percentToFraction(v.alphaPercent);
    if (!std::isfinite(alpha))
        alpha = 1.0;
    alpha = std::clamp(alpha, 0.0, 1.0);

    p.Card_border_chk = v.borderOn ? 1 : 0;
    if (v.borderOn) {
        p.Card_bordr_clr = v.borderColor;
        p.Card_bor_Stepper = v.borderWidth;
    }
    p.Card_border_style = dashCodeForIndex(v.borderDashIndex, p.Card_border_style);
    p.Card_fill_chk = v.fillOn ? 1 : 0;
    if (v.fillOn)
        p.Card_fill_clr = withAlpha(v.fillColor, alpha);
    if (v.gradientRadio)
        p.Card_fill_style = QStringLiteral("G");
    else if (v.hatchRadio)
        p.Card_fill_style = QStringLiteral("H");
    else if (v.imageRadio)
        p.Card_fill_style = QStringLiteral("I");
    else
        p.Card_fill_style = QStringLiteral("S");
    p.Card_fill_Grd_1_clr = withAlpha(v.grad1, alpha);
    p.Card_fill_Grd_2_clr = withAlpha(v.grad2, alpha);
    p.Card_grad_Stepper = std::isfinite(v.gradAngle) ? int(std::trunc(v.gradAngle)) : 0;
    p.Card_hatch_bk_clr = withAlpha(v.hatchBack, alpha);
    p.Card_hatch_style = v.hatchName;
    p.Card_BG_Image_Path = v.bgImagePath;
    p.Card_BG_Image_Layout = v.bgImageLayout;
    p.Card_alpha_Stepper = float(alpha);
    p.Card_Content_clr = v.contentColor;
    p.Card_Content_font = v.contentFont;
    if (v.sidesIndex >= 0)
        p.Card_Side = v.sidesIndex == 0 ? QStringLiteral("2") : QStringLiteral("1");
    p.Card_Side_Name = backSide ? QStringLiteral("B") : QStringLiteral("F");
    p.Card_Shape = cardShapeCode(v.cardShape);
    const QString name = v.name.trimmed();
    p.Card_Name = name.isEmpty() ? QStringLiteral("Untitled") : name;
    p.Card_Location = v.frontBounds.topLeft();
    p.Card_Size = v.frontBounds.size();
    p.Card_Preset = v.preset;
    p.Card_Category = v.category;
    if (v.sizeRow >= 0) {
        p.Card_Sub_Category = v.subCategory;
        p.Card_Cat_index = v.sizeRow;
    } else {
        p.Card_Sub_Category.clear();
        p.Card_Cat_index = -1;
    }
    p.Card_Create_Mode = QStringLiteral("W");
}

bool copyChangedCardFields(Card_Property& t, const Card_Property& before, const Card_Property& after,
                           bool cardWideOnly) {
    bool changed = false;
#define NAVU_CARD_FIELD(f)                                                                                   \
    if (!(before.f == after.f) && !(t.f == after.f)) {                                                       \
        t.f = after.f;                                                                                       \
        changed = true;                                                                                      \
    }
    NAVU_CARD_FIELD(Card_Location)
    NAVU_CARD_FIELD(Card_Size)
    NAVU_CARD_FIELD(Card_Shape)
    NAVU_CARD_FIELD(Card_Side)
    NAVU_CARD_FIELD(Card_Preset)
    NAVU_CARD_FIELD(Card_Category)
    NAVU_CARD_FIELD(Card_Sub_Category)
    NAVU_CARD_FIELD(Card_Cat_index)
    if (cardWideOnly)
        return changed;
    NAVU_CARD_FIELD(Card_border_chk)
    NAVU_CARD_FIELD(Card_bordr_clr)
    NAVU_CARD_FIELD(Card_bor_Stepper)
    NAVU_CARD_FIELD(Card_border_style)
    NAVU_CARD_FIELD(Card_fill_chk)
    NAVU_CARD_FIELD(Card_fill_clr)
    NAVU_CARD_FIELD(Card_fill_style)
    NAVU_CARD_FIELD(Card_fill_Grd_1_clr)
    NAVU_CARD_FIELD(Card_fill_Grd_2_clr)
    NAVU_CARD_FIELD(Card_grad_Stepper)
    NAVU_CARD_FIELD(Card_hatch_bk_clr)
    NAVU_CARD_FIELD(Card_hatch_style)
    NAVU_CARD_FIELD(Card_alpha_Stepper)
    NAVU_CARD_FIELD(Card_Side_Name)
    NAVU_CARD_FIELD(Card_Name)
    NAVU_CARD_FIELD(Card_Create_Mode)
    NAVU_CARD_FIELD(Card_BG_Image)
    NAVU_CARD_FIELD(Card_BG_Image_Path)
    NAVU_CARD_FIELD(Card_BG_Image_Layout)
    NAVU_CARD_FIELD(Card_Content_clr)
    NAVU_CARD_FIELD(Card_Content_font)
#undef NAVU_CARD_FIELD
    return changed;
}

int applyContentToItems(const GraphicList& items, const ContentChange& change, const QRectF& frontBounds) {
    int changed = 0;
    for (const GraphicPtr& item : items) {
        if (!item)
            continue;
        if (item->kind() == GraphicKind::Text) {
            if (change.colorChanged)
                item->txt_clr = change.color;
            if (change.fontChanged &&
                !copyChangedFontParts(item->text_ctrl_font, change.fontBefore, change.font))
                item->text_ctrl_font = change.font;
            if (change.colorChanged || change.fontChanged)
                ++changed;
        } else if (item->kind() == GraphicKind::Image &&
                   item->control_ID == QLatin1String("PARTY_IMAGE_BG")) {
            item->setBounds(frontBounds);
        }
    }
    return changed;
}

// ---------------------------------------------------------------- text

QString cleanedEditedText(const QString& text) {
    QString t = text;
    if (t.contains(TextPlaceholder))
        t.remove(TextPlaceholder);
    return SKTText::cappedText(t, MaxTextLength);
}

QStringList dateFormats() {
    return {QStringLiteral("dd/MM/yyyy"),        QStringLiteral("MM/dd/yyyy"),
            QStringLiteral("yyyy-MM-dd"),        QStringLiteral("dd.MM.yyyy"),
            QStringLiteral("d MMM yyyy"),        QStringLiteral("d MMMM yyyy"),
            QStringLiteral("MMMM d, yyyy"),      QStringLiteral("dddd, d MMMM yyyy"),
            QStringLiteral("dddd, MMMM d, yyyy")};
}

QStringList timeFormats() {
    return {QStringLiteral("HH:mm"), QStringLiteral("HH:mm:ss"), QStringLiteral("h:mm AP"),
            QStringLiteral("h:mm:ss AP")};
}

// ---------------------------------------------------------------- pictures

const QStringList& pictureExtensions() {
    static const QStringList exts = {QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                     QStringLiteral("jfif"), QStringLiteral("gif"),  QStringLiteral("bmp"),
                                     QStringLiteral("png"),  QStringLiteral("tif"),  QStringLiteral("tiff")};
    return exts;
}

bool hasPictureExtension(const QString& path, const QStringList& extensions) {
    const QString suffix = QFileInfo(path).suffix();
    for (const QString& e : extensions)
        if (suffix.compare(e, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QStringList libraryCategories(const QString& root) {
    if (root.isEmpty())
        return {};
    QDir dir(root);
    QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString& n) { return n.startsWith(QLatin1Char('.')); });
    return names;
}

QStringList libraryPictures(const QString& folder) {
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    QStringList out;
    const QFileInfoList infos = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& fi : infos) {
        if (fi.fileName().startsWith(QLatin1Char('.')))
            continue;
        if (hasPictureExtension(fi.fileName(), pictureExtensions()))
            out << fi.absoluteFilePath();
    }
    return out;
}

namespace {

QStringList listHatchNames() {
    if (Resource_Path.isEmpty())
        return {};
    // Listed by hand: a name filter would compile a pattern for every listing.
    QFileInfoList pictures;
    QDirIterator it(QDir(Resource_Path).filePath(QStringLiteral("Fill_Style_Image")), QDir::Files);
    while (it.hasNext()) {
        const QFileInfo fi = it.nextFileInfo();
        if (fi.suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0 &&
            !fi.fileName().startsWith(QLatin1Char('.')))
            pictures << fi;
    }
    std::sort(pictures.begin(), pictures.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().compare(b.fileName(), Qt::CaseInsensitive) < 0;
    });
    QStringList out;
    for (const QFileInfo& fi : std::as_const(pictures))
        out << fi.completeBaseName();
    return out;
}

struct HatchListAhead {
    QMutex mutex;
    QString folder;
    QStringList names;
};

HatchListAhead& hatchListAhead() {
    static HatchListAhead ahead;
    return ahead;
}

} // namespace

QStringList hatchNames() {
    {
        HatchListAhead& ahead = hatchListAhead();
        const QMutexLocker lock(&ahead.mutex);
        if (!ahead.folder.isEmpty() && ahead.folder == Resource_Path) {
            ahead.folder.clear();
            return std::exchange(ahead.names, {});
        }
    }
    return listHatchNames();
}

void listHatchNamesAhead() {
    const QString folder = Resource_Path;
    QStringList names = listHatchNames();
    HatchListAhead& ahead = hatchListAhead();
    const QMutexLocker lock(&ahead.mutex);
    ahead.folder = folder;
    ahead.names = std::move(names);
}

// ---------------------------------------------------------------- data sources

QStringList Get_datasheet_File_Name_Array() {
    return SeriesFiles::Get_datasheet_File_Name_Array();
}

QString Get_First_Value_Of_Dataset(const QString& name) {
    return SeriesFiles::Get_First_Value_Of_Dataset(name);
}

std::optional<QString> Get_First_Value_Of_Excel_Binding(int column) {
    const Data_From_Excel* table = Data_From_Excel::defaultInstance();
    if (!table || table->rowCountOfTable() == 0) {
        Show_NSLog_Message(QStringLiteral("The data table has no rows."));
        return QString();
    }
    if (column < 0 || column >= table->columnCountOfTable())
        return std::nullopt;
    return table->value(0, column);
}

QStringList excelColumnTitles() {
    const Data_From_Excel* table = Data_From_Excel::defaultInstance();
    return table ? table->columnTitles() : QStringList();
}

QString bindItemToSeries(SKTGraphic& item, const QString& name, int index) {
    item.Set_Data_source_type(1);
    item.Set_Batch_List_Name(name);
    item.Set_Batch_List_Index(index);
    return Get_First_Value_Of_Dataset(name);
}

int pictureColumnOfSheet() {
    const int count = int(excelColumnTitles().size());
    for (int column = 1; column < count; ++column) {
        const QString value =
            SKTImage::standardizedPath(Get_First_Value_Of_Excel_Binding(column).value_or(QString()));
        if (value.isEmpty() || !QFileInfo(value).isFile())
            continue;
        const pictures::PictureInfo info = pictures::inspectFile(value);
        if (info.readable() && info.size.isValid())
            return column;
    }
    return std::min(1, count - 1);
}

std::optional<QString> bindItemToColumn(SKTGraphic& item, int column) {
    if (column < 0)
        return std::nullopt;
    item.Set_Data_source_type(2);
    item.Set_Excel_binding_Index(column);
    return Get_First_Value_Of_Excel_Binding(column);
}

// ---------------------------------------------------------------- undo

GraphicPtr copyOfItem(const SKTGraphic& g) {
    switch (g.kind()) {
    case GraphicKind::Text:
        return std::make_shared<SKTText>(static_cast<const SKTText&>(g));
    case GraphicKind::Image:
        return std::make_shared<SKTImage>(static_cast<const SKTImage&>(g));
    case GraphicKind::Signature:
        return std::make_shared<SKTSignature>(static_cast<const SKTSignature&>(g));
    case GraphicKind::Shape:
        return std::make_shared<Shape_Control>(static_cast<const Shape_Control&>(g));
    case GraphicKind::Line:
        return std::make_shared<SKTLine>(static_cast<const SKTLine&>(g));
    case GraphicKind::Barcode:
        return std::make_shared<SKTBarcode>(static_cast<const SKTBarcode&>(g));
    }
    return nullptr;
}

bool assignItemState(SKTGraphic& t, const SKTGraphic& s) {
    if (t.kind() != s.kind())
        return false;
    switch (t.kind()) {
    case GraphicKind::Text:
        static_cast<SKTText&>(t) = static_cast<const SKTText&>(s);
        break;
    case GraphicKind::Image:
        static_cast<SKTImage&>(t) = static_cast<const SKTImage&>(s);
        break;
    case GraphicKind::Signature:
        static_cast<SKTSignature&>(t) = static_cast<const SKTSignature&>(s);
        break;
    case GraphicKind::Shape:
        static_cast<Shape_Control&>(t) = static_cast<const Shape_Control&>(s);
        break;
    case GraphicKind::Line:
        static_cast<SKTLine&>(t) = static_cast<const SKTLine&>(s);
        break;
    case GraphicKind::Barcode:
        static_cast<SKTBarcode&>(t) = static_cast<const SKTBarcode&>(s);
        break;
    }
    return true;
}

bool sameItemState(const SKTGraphic& a, const SKTGraphic& b) {
    if (a.kind() != b.kind())
        return false;
    auto samePicture = [](const QImage& x, const QImage& y) { return x.cacheKey() == y.cacheKey() || x == y; };
    if (a._image != b._image || !samePicture(a._barcode_image, b._barcode_image))
        return false;
    ItemArchiveOptions fieldsOnly;
    fieldsOnly.includePictures = false;
    const PlistPtr x = archiveItemPlist(a, fieldsOnly);
    const PlistPtr y = archiveItemPlist(b, fieldsOnly);
    return x && y &&
           plistio::toBytes(x.get(), plistio::Format::Binary) == plistio::toBytes(y.get(), plistio::Format::Binary);
}

PropertyEditCommand::PropertyEditCommand(GraphicList items, GraphicList before, QString controlKey,
                                         std::function<void()> changed)
    : m_items(std::move(items)), m_before(std::move(before)), m_key(std::move(controlKey)),
      m_changed(std::move(changed)) {
    setText(QObject::tr("Change Properties"));
    for (const GraphicPtr& g : m_items)
        m_after << (g ? copyOfItem(*g) : nullptr);
}

void PropertyEditCommand::put(const GraphicList& states) {
    for (qsizetype i = 0; i < m_items.size() && i < states.size(); ++i)
        if (m_items.at(i) && states.at(i))
            assignItemState(*m_items.at(i), *states.at(i));
    if (m_changed)
        m_changed();
}

void PropertyEditCommand::undo() {
    put(m_before);
    m_done = false;
}

void PropertyEditCommand::redo() {
    if (m_done)
        return;
    put(m_after);
    m_done = true;
}

bool PropertyEditCommand::mergeWith(const QUndoCommand* other) {
    if (other->id() != id())
        return false;
    const auto* o = static_cast<const PropertyEditCommand*>(other);
    if (m_key.isEmpty() || o->m_key != m_key || o->m_items != m_items)
        return false;
    m_after = o->m_after;
    return true;
}

} // namespace inspector
