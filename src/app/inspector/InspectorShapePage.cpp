// The inspector's shape and line pages.

#include "app/inspector/InspectorPanel.h"

#include "app/inspector/ColorWell.h"
#include "app/inspector/InspectorPanelParts.h"
#include "common/ui/UiHelpers.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QVBoxLayout>

using namespace inspector;
using namespace inspector::parts;

QWidget* InspectorPanel::buildLinePage() {
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    Line_clr = new ColorWell(QStringLiteral("Line_clr"));
    Line_Wdt_Stepper =
        intStepper(QStringLiteral("Line_Wdt_Stepper"), QStringLiteral("Line_Wdt_Text"), 1, 100);
    Line_border_style = dashCombo(QStringLiteral("Line_border_style"));
    Line_cap_style = combo(QStringLiteral("Line_cap_style"), {tr("Butt"), tr("Round"), tr("Square")});
    Line_ori_style = combo(QStringLiteral("Line_ori_style"),
                           {tr("Horizontal"), tr("Vertical"), tr("Diagonal down"), tr("Diagonal up")});
    Line_alpha_Stepper = realStepper(QStringLiteral("Line_alpha_Stepper"), QStringLiteral("Line_alpha_Text"),
                                     0, 100, 0, 5, tr(" %"));
    f->addRow(tr("Colour"), Line_clr);
    f->addRow(tr("Width"), Line_Wdt_Stepper);
    f->addRow(tr("Style"), Line_border_style);
    f->addRow(tr("Ends"), Line_cap_style);
    f->addRow(tr("Direction"), Line_ori_style);
    f->addRow(tr("Opacity"), Line_alpha_Stepper);
    connect(Line_clr, &ColorWell::colorPicked, this, &InspectorPanel::Update_Line_Graphics);
    connect(Line_Wdt_Stepper, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Line_Graphics);
    connect(Line_alpha_Stepper, &QDoubleSpinBox::valueChanged, this, &InspectorPanel::Update_Line_Graphics);
    return page;
}

QWidget* InspectorPanel::buildShapePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    Shape_prop_title = label(QStringLiteral("Shape_prop_title"), tr("Shape Properties"));
    QFont bold = Shape_prop_title->font();
    bold.setBold(true);
    Shape_prop_title->setFont(bold);
    v->addWidget(Shape_prop_title);

    Shape_border_chk = check(QStringLiteral("Shape_border_chk"), tr("Border"));
    Shape_Border_Box = box(QStringLiteral("Shape_Border_Box"));
    auto* bf = new QFormLayout(Shape_Border_Box);
    shape_bordr_clr = new ColorWell(QStringLiteral("shape_bordr_clr"));
    shape_bor_Stepper =
        intStepper(QStringLiteral("shape_bor_Stepper"), QStringLiteral("shape_bor_Text"), 0, 50);
    shape_border_style = dashCombo(QStringLiteral("shape_border_style"));
    bf->addRow(tr("Colour"), shape_bordr_clr);
    bf->addRow(tr("Width"), shape_bor_Stepper);
    bf->addRow(tr("Style"), shape_border_style);
    v->addWidget(Shape_border_chk);
    v->addWidget(Shape_Border_Box);

    Shape_fill_chk = check(QStringLiteral("Shape_fill_chk"), tr("Fill"));
    Shape_Fill_Box = box(QStringLiteral("Shape_Fill_Box"));
    auto* g = new QGridLayout(Shape_Fill_Box);
    Shape_solid_fill_rd = radio(QStringLiteral("Shape_solid_fill_rd"), tr("Solid"));
    Shape_gradient_fill_rd = radio(QStringLiteral("Shape_gradient_fill_rd"), tr("Gradient"));
    Shape_Style_fill_rd = radio(QStringLiteral("Shape_Style_fill_rd"), tr("Pattern"));
    shape_fill_clr = new ColorWell(QStringLiteral("shape_fill_clr"));
    shape_fill_Grd_1_clr = new ColorWell(QStringLiteral("shape_fill_Grd_1_clr"));
    shape_fill_Grd_2_clr = new ColorWell(QStringLiteral("shape_fill_Grd_2_clr"));
    shape_grad_Stepper = realStepper(QStringLiteral("shape_grad_Stepper"), QStringLiteral("shape_grad_Text"),
                                     0, 360, 2, 1, tr("°"));
    shape_hatch_style = combo(QStringLiteral("shape_hatch_style"), hatchNames());
    shape_hatch_style->setMinimumWidth(120);
    shape_hatch_bk_clr = new ColorWell(QStringLiteral("shape_hatch_bk_clr"));
    g->addWidget(Shape_solid_fill_rd, 0, 0);
    g->addWidget(shape_fill_clr, 0, 1);
    g->addWidget(Shape_gradient_fill_rd, 1, 0);
    g->addWidget(row({shape_fill_Grd_1_clr, shape_fill_Grd_2_clr, shape_grad_Stepper}), 1, 1);
    g->addWidget(Shape_Style_fill_rd, 2, 0);
    g->addWidget(row({shape_hatch_style, shape_hatch_bk_clr}), 2, 1);
    v->addWidget(Shape_fill_chk);
    v->addWidget(Shape_Fill_Box);

    auto* f = new QFormLayout;
    shape_alpha_Stepper = realStepper(QStringLiteral("shape_alpha_Stepper"),
                                      QStringLiteral("shape_alpha_Text"), 0, 100, 0, 5, tr(" %"));
    f->addRow(tr("Opacity"), shape_alpha_Stepper);
    shape_cor_radius_Label = label(QStringLiteral("shape_cor_radius_Label"), tr("Corner radius"));
    shape_cor_radius_Stepper = realStepper(QStringLiteral("shape_cor_radius_Stepper"),
                                           QStringLiteral("shape_cor_radius_Text"), 0, 500, 1, 1);
    double_star_Label = label(QStringLiteral("double_star_Label"), tr("Star variant"));
    double_star_Stepper =
        intStepper(QStringLiteral("double_star_Stepper"), QStringLiteral("double_star_Text"), 1, 5);
    polygon_Label = label(QStringLiteral("polygon_Label"), tr("Polygon variant"));
    polygon_Stepper = intStepper(QStringLiteral("polygon_Stepper"), QStringLiteral("polygon_Text"), 1, 5);
    f->addRow(shape_cor_radius_Label, shape_cor_radius_Stepper);
    f->addRow(double_star_Label, double_star_Stepper);
    f->addRow(polygon_Label, polygon_Stepper);
    v->addLayout(f);
    v->addStretch(1);

    connect(Shape_border_chk, &QCheckBox::toggled, this, &InspectorPanel::Shape_Border_ChkBox);
    connect(Shape_fill_chk, &QCheckBox::toggled, this, &InspectorPanel::Shape_Fill_Chk_Box);
    connect(Shape_solid_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Shape_Solid_RD_Sel();
    });
    connect(Shape_gradient_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Shape_Gradient_RD_Sel();
    });
    connect(Shape_Style_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Shape_Hatch_RD_Sel();
    });
    for (ColorWell* w :
         {shape_bordr_clr, shape_fill_clr, shape_fill_Grd_1_clr, shape_fill_Grd_2_clr, shape_hatch_bk_clr})
        connect(w, &ColorWell::colorPicked, this, &InspectorPanel::Update_Shape_Graphics);
    for (QSpinBox* s : {shape_bor_Stepper, double_star_Stepper, polygon_Stepper})
        connect(s, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Shape_Graphics);
    for (QDoubleSpinBox* s : {shape_grad_Stepper, shape_alpha_Stepper, shape_cor_radius_Stepper})
        connect(s, &QDoubleSpinBox::valueChanged, this, &InspectorPanel::Update_Shape_Graphics);
    return page;
}

void InspectorPanel::setShapeFillEnabling(const QString& fillType) {
    const bool g = fillType == QLatin1String("G");
    const bool h = fillType == QLatin1String("H");
    for (QWidget* w :
         std::initializer_list<QWidget*>{shape_fill_Grd_1_clr, shape_fill_Grd_2_clr, shape_grad_Stepper})
        w->setEnabled(g);
    shape_hatch_style->setEnabled(h);
    shape_hatch_bk_clr->setEnabled(h);
    shape_fill_clr->setEnabled(!g && !h);
}

void InspectorPanel::loadShape(const SKTGraphic& g) {
    refreshHatchLists();
    Shape_border_chk->setChecked(g._isDrawingStroke);
    shape_bor_Stepper->setValue(truncatedWidth(g._strokeWidth));
    shape_bordr_clr->setColor(g._strokeColor);
    setDashSelection(shape_border_style, g._stroke_border_type);
    Shape_fill_chk->setChecked(g._isDrawingFill);
    shape_fill_clr->setColor(g._fillColor);
    Shape_gradient_fill_rd->setChecked(g._fill_type == QLatin1String("G"));
    Shape_Style_fill_rd->setChecked(g._fill_type == QLatin1String("H"));
    Shape_solid_fill_rd->setChecked(g._fill_type != QLatin1String("G") && g._fill_type != QLatin1String("H"));
    shape_fill_Grd_1_clr->setColor(g._fill_Grad_clr1);
    shape_fill_Grd_2_clr->setColor(g._fill_Grad_clr2);
    shape_hatch_bk_clr->setColor(g._fill_htch_clr);
    setHatchSelection(shape_hatch_style, g._fill_hatch_type);
    shape_grad_Stepper->setValue(g._fill_grad_angle);
    shape_alpha_Stepper->setValue(fractionToPercent(g.alpha_val));
    shape_cor_radius_Stepper->setValue(g.cor_rad_val);
    double_star_Stepper->setValue(g.double_star_type);
    polygon_Stepper->setValue(g.polygon_type);
    SetObjEnabled(Shape_Border_Box, Shape_border_chk->isChecked());
    SetObjEnabled(Shape_Fill_Box, Shape_fill_chk->isChecked());
    setShapeFillEnabling(g._fill_type);
}

void InspectorPanel::loadLine(const SKTGraphic& g) {
    Line_Wdt_Stepper->setValue(truncatedWidth(g._strokeWidth));
    Line_clr->setColor(g._strokeColor);
    setDashSelection(Line_border_style, g._stroke_border_type);
    Line_ori_style->setCurrentIndex(indexOrCurrent(g._line_ori, Line_ori_style->count(), -1));
    Line_cap_style->setCurrentIndex(indexOrCurrent(g._line_cap_style, Line_cap_style->count(), -1));
    Line_alpha_Stepper->setValue(fractionToPercent(g.alpha_val_stroke));
}

ShapePanelValues InspectorPanel::shapeValues() const {
    ShapePanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.stroke = strokeValues(Shape_border_chk, shape_bordr_clr, shape_bor_Stepper, shape_border_style);
    v.fillOn = Shape_fill_chk->isChecked();
    v.fillColor = shape_fill_clr->color();
    v.gradientRadio = Shape_gradient_fill_rd->isChecked();
    v.hatchRadio = Shape_Style_fill_rd->isChecked();
    v.grad1 = shape_fill_Grd_1_clr->color();
    v.grad2 = shape_fill_Grd_2_clr->color();
    v.gradAngle = shape_grad_Stepper->value();
    v.hatchColor = shape_hatch_bk_clr->color();
    v.hatchName = shape_hatch_style->currentIndex() >= 0 ? shape_hatch_style->currentText() : QString();
    v.alphaPercent = shape_alpha_Stepper->value();
    v.cornerRadius = shape_cor_radius_Stepper->value();
    v.doubleStar = double_star_Stepper->value();
    v.polygon = polygon_Stepper->value();
    return v;
}

void InspectorPanel::Update_Shape_Graphics() {
    const ShapePanelValues v = shapeValues();
    const ShapePanelValues was = std::exchange(m_shown.shape, v);
    writeSelection([&](SKTGraphic& g, qsizetype, bool shown) {
        applyShapePanel(g, shown ? was : v, shown ? PanelWrite::Baseline : PanelWrite::Edit);
    });
}

LinePanelValues InspectorPanel::lineValues() const {
    LinePanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.color = Line_clr->color();
    v.width = Line_Wdt_Stepper->value();
    v.dashIndex = Line_border_style->currentIndex();
    v.capIndex = Line_cap_style->currentIndex();
    v.oriIndex = Line_ori_style->currentIndex();
    v.alphaPercent = Line_alpha_Stepper->value();
    return v;
}

void InspectorPanel::Update_Line_Graphics() {
    const LinePanelValues v = lineValues();
    const LinePanelValues was = std::exchange(m_shown.line, v);
    writeSelection([&](SKTGraphic& g, qsizetype, bool shown) { applyLinePanel(g, shown ? was : v); });
}

void InspectorPanel::Shape_Border_ChkBox() {
    SetObjEnabled(Shape_Border_Box, Shape_border_chk->isChecked());
    Update_Shape_Graphics();
}

void InspectorPanel::Shape_Fill_Chk_Box() {
    SetObjEnabled(Shape_Fill_Box, Shape_fill_chk->isChecked());
    setShapeFillEnabling(Shape_gradient_fill_rd->isChecked() ? QStringLiteral("G")
                         : Shape_Style_fill_rd->isChecked()  ? QStringLiteral("H")
                                                             : QStringLiteral("S"));
    Update_Shape_Graphics();
}

void InspectorPanel::Shape_Solid_RD_Sel() {
    Shape_solid_fill_rd->setChecked(true);
    setShapeFillEnabling(QStringLiteral("S"));
    Update_Shape_Graphics();
}

void InspectorPanel::Shape_Gradient_RD_Sel() {
    Shape_gradient_fill_rd->setChecked(true);
    setShapeFillEnabling(QStringLiteral("G"));
    Update_Shape_Graphics();
}

void InspectorPanel::Shape_Hatch_RD_Sel() {
    Shape_Style_fill_rd->setChecked(true);
    setShapeFillEnabling(QStringLiteral("H"));
    Update_Shape_Graphics();
}
