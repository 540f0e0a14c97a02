// The inspector's text pages: the text with its date, time and template inserts, and its font, alignment,
// border, fill and shadow.

#include "app/inspector/InspectorPanel.h"

#include "app/inspector/ColorWell.h"
#include "app/inspector/InspectorPanelParts.h"
#include "canvas/SKTItems.h"
#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QTextCursor>
#include <QVBoxLayout>

using namespace inspector;
using namespace inspector::parts;

QWidget* InspectorPanel::buildTextEditingPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    Text_value_Edit = new QPlainTextEdit;
    Text_value_Edit->setObjectName(QStringLiteral("Text_value_Edit"));
    Text_value_Edit->setMinimumHeight(90);
    v->addWidget(new QLabel(tr("Text (up to %1 characters)").arg(MaxTextLength)));
    v->addWidget(Text_value_Edit);
    auto* g = new QGridLayout;
    Text_Date_style = combo(QStringLiteral("Text_Date_style"), dateFormats());
    Text_Date_style->setCurrentIndex(-1);
    Text_Date_style->setPlaceholderText(tr("Date format"));
    Text_Time_style = combo(QStringLiteral("Text_Time_style"), timeFormats());
    Text_Time_style->setCurrentIndex(-1);
    Text_Time_style->setPlaceholderText(tr("Time format"));
    auto* dateBtn = button(QStringLiteral("Text_Insert_Date_btn"), tr("Insert Date"));
    auto* timeBtn = button(QStringLiteral("Text_Insert_Time_btn"), tr("Insert Time"));
    g->addWidget(Text_Date_style, 0, 0);
    g->addWidget(dateBtn, 0, 1);
    g->addWidget(Text_Time_style, 1, 0);
    g->addWidget(timeBtn, 1, 1);
    g->setColumnStretch(0, 1);
    v->addLayout(g);
    insert_template_btn = button(QStringLiteral("insert_template_btn"), tr("Use Template Title"));
    insert_template_btn->setVisible(false);
    v->addWidget(insert_template_btn);
    v->addStretch(1);
    connect(Text_value_Edit, &QPlainTextEdit::textChanged, this, &InspectorPanel::textDidChange);
    connect(dateBtn, &QPushButton::clicked, this, &InspectorPanel::Text_Insert_Date);
    connect(timeBtn, &QPushButton::clicked, this, &InspectorPanel::Text_Insert_Time);
    connect(insert_template_btn, &QPushButton::clicked, this, &InspectorPanel::Insert_Template_Button);
    return page;
}

QWidget* InspectorPanel::buildTextPropertiesPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* f = new QFormLayout;
    Text_clr = new ColorWell(QStringLiteral("Text_clr"));
    Text_font_value = label(QStringLiteral("Text_font_value"));
    Text_font_value->setWordWrap(true);
    Text_font_value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* fontBtn = button(QStringLiteral("Text_Font_btn"), tr("Font…"));
    Text_align_combo =
        combo(QStringLiteral("Text_align_combo"), {tr("Left"), tr("Center"), tr("Right"), tr("Justified")});
    Text_vert_align_combo =
        combo(QStringLiteral("Text_vert_align_combo"), {tr("Top"), tr("Middle"), tr("Bottom")});
    Text_case_combo = combo(QStringLiteral("Text_case_combo"),
                            {tr("As typed"), tr("UPPER CASE"), tr("lower case"), tr("Capitalised")});
    Text_Kern_Stepper =
        realStepper(QStringLiteral("Text_Kern_Stepper"), QStringLiteral("Text_Kern_Text"), -20, 50, 1, 0.5);
    txt_rotation_slidr = makeSlider(page, QStringLiteral("txt_rotation_slidr"), -180, 180, 1);
    txt_rotation_slidr_val = page->findChild<QLabel*>(QStringLiteral("txt_rotation_slidr_val"));
    f->addRow(tr("Colour"), Text_clr);
    f->addRow(tr("Font"), Text_font_value);
    f->addRow(QString(), fontBtn);
    f->addRow(tr("Alignment"), Text_align_combo);
    f->addRow(tr("Vertical"), Text_vert_align_combo);
    f->addRow(tr("Case"), Text_case_combo);
    f->addRow(tr("Spacing"), Text_Kern_Stepper);
    f->addRow(tr("Rotation"), row({txt_rotation_slidr, txt_rotation_slidr_val}));
    v->addLayout(f);

    Text_border_chk = check(QStringLiteral("Text_border_chk"), tr("Border"));
    Text_Border_Box = box(QStringLiteral("Text_Border_Box"));
    auto* bf = new QFormLayout(Text_Border_Box);
    Text_bordr_clr = new ColorWell(QStringLiteral("Text_bordr_clr"));
    Text_bor_Stepper = intStepper(QStringLiteral("Text_bor_Stepper"), QStringLiteral("Text_bor_Text"), 0, 50);
    Text_border_style = dashCombo(QStringLiteral("Text_border_style"));
    bf->addRow(tr("Colour"), Text_bordr_clr);
    bf->addRow(tr("Width"), Text_bor_Stepper);
    bf->addRow(tr("Style"), Text_border_style);
    v->addWidget(Text_border_chk);
    v->addWidget(Text_Border_Box);

    Text_fill_chk = check(QStringLiteral("Text_fill_chk"), tr("Fill"));
    Text_Fill_Box = box(QStringLiteral("Text_Fill_Box"));
    auto* g = new QGridLayout(Text_Fill_Box);
    Text_solid_fill_rd = radio(QStringLiteral("Text_solid_fill_rd"), tr("Solid"));
    Text_gradient_fill_rd = radio(QStringLiteral("Text_gradient_fill_rd"), tr("Gradient"));
    Text_fill_clr = new ColorWell(QStringLiteral("Text_fill_clr"));
    Text_fill_Grd_1_clr = new ColorWell(QStringLiteral("Text_fill_Grd_1_clr"));
    Text_fill_Grd_2_clr = new ColorWell(QStringLiteral("Text_fill_Grd_2_clr"));
    Text_grad_Stepper = realStepper(QStringLiteral("Text_grad_Stepper"), QStringLiteral("Text_grad_Text"), 0,
                                    360, 2, 1, tr("°"));
    Text_alpha_Stepper = realStepper(QStringLiteral("Text_alpha_Stepper"), QStringLiteral("Text_alpha_Text"),
                                     0, 100, 0, 5, tr(" %"));
    g->addWidget(Text_solid_fill_rd, 0, 0);
    g->addWidget(Text_fill_clr, 0, 1);
    g->addWidget(Text_gradient_fill_rd, 1, 0);
    g->addWidget(row({Text_fill_Grd_1_clr, Text_fill_Grd_2_clr, Text_grad_Stepper}), 1, 1);
    g->addWidget(new QLabel(tr("Opacity")), 2, 0);
    g->addWidget(Text_alpha_Stepper, 2, 1);
    v->addWidget(Text_fill_chk);
    v->addWidget(Text_Fill_Box);

    draw_shadow_chkbox = check(QStringLiteral("draw_shadow_chkbox"), tr("Shadow"));
    shadow_box = box(QStringLiteral("shadow_box"));
    auto* sf = new QFormLayout(shadow_box);
    Shadow_clr = new ColorWell(QStringLiteral("Shadow_clr"));
    shadow_x_Stepper =
        realStepper(QStringLiteral("shadow_x_Stepper"), QStringLiteral("shadow_x_Text"), -50, 50, 1, 0.5);
    shadow_y_Stepper =
        realStepper(QStringLiteral("shadow_y_Stepper"), QStringLiteral("shadow_y_Text"), -50, 50, 1, 0.5);
    shadow_blur_Stepper =
        realStepper(QStringLiteral("shadow_blur_Stepper"), QStringLiteral("shadow_blur_Text"), 0, 50, 1, 0.5);
    shadow_transp_Stepper = realStepper(QStringLiteral("shadow_transp_Stepper"),
                                        QStringLiteral("shadow_transp_Text"), 0, 100, 0, 5, tr(" %"));
    sf->addRow(tr("Colour"), Shadow_clr);
    sf->addRow(tr("Offset X"), shadow_x_Stepper);
    sf->addRow(tr("Offset Y"), shadow_y_Stepper);
    sf->addRow(tr("Blur"), shadow_blur_Stepper);
    sf->addRow(tr("Opacity"), shadow_transp_Stepper);
    v->addWidget(draw_shadow_chkbox);
    v->addWidget(shadow_box);
    v->addStretch(1);

    connect(fontBtn, &QPushButton::clicked, this, &InspectorPanel::Text_Font_Changed);
    connect(Text_border_chk, &QCheckBox::toggled, this, &InspectorPanel::Text_Border_ChkBox);
    connect(Text_fill_chk, &QCheckBox::toggled, this, &InspectorPanel::Text_Fill_Chk_Box);
    connect(draw_shadow_chkbox, &QCheckBox::toggled, this, &InspectorPanel::Draw_Shadow_ChkBox);
    connect(Text_solid_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Text_Solid_RD_Sel();
    });
    connect(Text_gradient_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Text_Gradient_RD_Sel();
    });
    for (ColorWell* w :
         {Text_clr, Text_bordr_clr, Text_fill_clr, Text_fill_Grd_1_clr, Text_fill_Grd_2_clr, Shadow_clr})
        connect(w, &ColorWell::colorPicked, this, &InspectorPanel::Update_Text_Graphics);
    connect(Text_bor_Stepper, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Text_Graphics);
    for (QDoubleSpinBox* s : {Text_Kern_Stepper, Text_grad_Stepper, Text_alpha_Stepper, shadow_x_Stepper,
                              shadow_y_Stepper, shadow_blur_Stepper, shadow_transp_Stepper})
        connect(s, &QDoubleSpinBox::valueChanged, this, &InspectorPanel::Update_Text_Graphics);
    connect(txt_rotation_slidr, &QSlider::valueChanged, this, &InspectorPanel::Update_Text_Graphics);
    return page;
}

void InspectorPanel::setTextFillEnabling(bool gradient) {
    Text_fill_clr->setEnabled(!gradient);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Text_fill_Grd_1_clr, Text_fill_Grd_2_clr, Text_grad_Stepper})
        w->setEnabled(gradient);
}

void InspectorPanel::loadText(const SKTGraphic& g) {
    Text_value_Edit->setPlainText(g._Text_contents);
    Text_value_Edit->selectAll();
    loadDataSource(g);
    Text_border_chk->setChecked(g._isDrawingStroke);
    Text_fill_chk->setChecked(g._isDrawingFill);
    Text_bor_Stepper->setValue(truncatedWidth(g._strokeWidth));
    Text_bordr_clr->setColor(g._strokeColor);
    setDashSelection(Text_border_style, g._stroke_border_type);
    Text_fill_clr->setColor(g._fillColor);
    const bool gradient = g._fill_type == QLatin1String("G");
    Text_gradient_fill_rd->setChecked(gradient);
    Text_solid_fill_rd->setChecked(!gradient);
    Text_fill_Grd_1_clr->setColor(g._fill_Grad_clr1);
    Text_fill_Grd_2_clr->setColor(g._fill_Grad_clr2);
    Text_grad_Stepper->setValue(g._fill_grad_angle);
    Text_alpha_Stepper->setValue(fractionToPercent(g.alpha_val));
    SetObjEnabled(Text_Fill_Box, Text_fill_chk->isChecked());
    SetObjEnabled(Text_Border_Box, Text_border_chk->isChecked());
    setTextFillEnabling(gradient);
    Text_clr->setColor(g.txt_clr);
    Text_font = g.text_ctrl_font;
    setSliderValue(txt_rotation_slidr, g.text_rotation);
    Text_vert_align_combo->setCurrentIndex(indexOrCurrent(g.text_alignmnet_Vert, VertAlignCount, -1));
    Text_align_combo->setCurrentIndex(indexOrCurrent(g.text_alignmnet, AlignCount, -1));
    Text_case_combo->setCurrentIndex(indexOrCurrent(g.text_transfrom_case, CaseCount, -1));
    Text_Kern_Stepper->setValue(g.text_kerning);
    Text_font_value->setText(fontLabel(Text_font));
    draw_shadow_chkbox->setChecked(g.Drawing_Shadow);
    SetObjEnabled(shadow_box, g.Drawing_Shadow);
    Shadow_clr->setColor(g.Shadow_Color);
    shadow_x_Stepper->setValue(g.Shadow_offset_X);
    shadow_y_Stepper->setValue(g.Shadow_offset_Y);
    shadow_blur_Stepper->setValue(g.Shadow_blur);
    shadow_transp_Stepper->setValue(fractionToPercent(g.Shadow_transparency));
}

TextPanelValues InspectorPanel::textValues() const {
    TextPanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.stroke = strokeValues(Text_border_chk, Text_bordr_clr, Text_bor_Stepper, Text_border_style);
    v.fillOn = Text_fill_chk->isChecked();
    v.fillColor = Text_fill_clr->color();
    v.gradientRadio = Text_gradient_fill_rd->isChecked();
    v.grad1 = Text_fill_Grd_1_clr->color();
    v.grad2 = Text_fill_Grd_2_clr->color();
    v.gradAngle = Text_grad_Stepper->value();
    v.textColor = Text_clr->color();
    v.font = Text_font;
    v.alphaPercent = Text_alpha_Stepper->value();
    v.vertAlignIndex = Text_vert_align_combo->currentIndex();
    v.alignIndex = Text_align_combo->currentIndex();
    v.caseIndex = Text_case_combo->currentIndex();
    v.kerning = Text_Kern_Stepper->value();
    v.shadow = draw_shadow_chkbox->isChecked();
    v.rotation = int(std::lround(sliderValue(txt_rotation_slidr)));
    v.shadowColor = Shadow_clr->color();
    v.shadowX = shadow_x_Stepper->value();
    v.shadowY = shadow_y_Stepper->value();
    v.shadowBlur = shadow_blur_Stepper->value();
    v.shadowTranspPercent = shadow_transp_Stepper->value();
    return v;
}

void InspectorPanel::Update_Text_Graphics() {
    const TextPanelValues v = textValues();
    const TextPanelValues was = std::exchange(m_shown.text, v);
    const QString text = Text_value_Edit->toPlainText();
    const QString wasText = std::exchange(m_shown.textContents, text);
    writeSelection([&](SKTGraphic& g, qsizetype count, bool shown) {
        TextPanelValues mine = shown ? was : v;
        if (count == 1)
            mine.text = shown ? wasText : text;
        applyTextPanel(g, mine, shown ? PanelWrite::Baseline : PanelWrite::Edit);
    });
}

void InspectorPanel::Text_Border_ChkBox() {
    SetObjEnabled(Text_Border_Box, Text_border_chk->isChecked());
    Update_Text_Graphics();
}

void InspectorPanel::Text_Fill_Chk_Box() {
    SetObjEnabled(Text_Fill_Box, Text_fill_chk->isChecked());
    setTextFillEnabling(Text_gradient_fill_rd->isChecked());
    Update_Text_Graphics();
}

void InspectorPanel::Draw_Shadow_ChkBox() {
    SetObjEnabled(shadow_box, draw_shadow_chkbox->isChecked());
    Update_Text_Graphics();
}

void InspectorPanel::Text_Solid_RD_Sel() {
    Text_solid_fill_rd->setChecked(true);
    setTextFillEnabling(false);
    Update_Text_Graphics();
}

void InspectorPanel::Text_Gradient_RD_Sel() {
    Text_gradient_fill_rd->setChecked(true);
    setTextFillEnabling(true);
    Update_Text_Graphics();
}

void InspectorPanel::Text_Font_Changed() {
    if (const std::optional<QFont> f = chooseFont(Text_font))
        changeTextFont(*f);
}

void InspectorPanel::changeTextFont(const QFont& font) {
    Text_font = font;
    Text_font_value->setText(fontLabel(Text_font));
    Update_Text_Graphics();
}

void InspectorPanel::Text_Insert_Date() {
    const QString format =
        Trim_Str(Text_Date_style->currentIndex() >= 0 ? Text_Date_style->currentText() : QString());
    if (format.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select Date format."));
        return;
    }
    {
        // one step for the insert, not one for the typed text and one for the button
        const QSignalBlocker block(Text_value_Edit);
        Text_value_Edit->textCursor().insertText(Get_date_Value(format));
    }
    textDidChange();
}

void InspectorPanel::Text_Insert_Time() {
    const QString format =
        Trim_Str(Text_Time_style->currentIndex() >= 0 ? Text_Time_style->currentText() : QString());
    if (format.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select Time format."));
        return;
    }
    {
        const QSignalBlocker block(Text_value_Edit);
        Text_value_Edit->textCursor().insertText(Get_time_Value(format));
    }
    textDidChange();
}

void InspectorPanel::Insert_Template_Button() {
    const QString mode = insert_template_btn->text() == QLatin1String("Use Template Title")
                             ? QStringLiteral("T")
                             : QStringLiteral("M");
    const std::optional<QString> chosen = chooseTemplate(mode);
    if (!chosen)
        return;
    {
        const QSignalBlocker block(Text_value_Edit);
        Text_value_Edit->setPlainText(cleanedEditedText(*chosen));
    }
    Update_Text_Graphics();
}

void InspectorPanel::textDidChange() {
    try {
        const QString text = Text_value_Edit->toPlainText();
        const QString cleaned = cleanedEditedText(text);
        if (cleaned != text) {
            QTextCursor cursor = Text_value_Edit->textCursor();
            const int position = std::min<int>(cursor.position(), int(cleaned.size()));
            const QSignalBlocker block(Text_value_Edit);
            Text_value_Edit->setPlainText(cleaned);
            cursor = Text_value_Edit->textCursor();
            cursor.setPosition(position);
            Text_value_Edit->setTextCursor(cursor);
        }
        Update_Text_Graphics();
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}
