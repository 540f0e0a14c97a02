// The inspector's card side pages: size, shape, sides, border, background and the side's content font and
// colour.

#include "app/inspector/InspectorPanel.h"

#include "app/inspector/ColorWell.h"
#include "app/inspector/InspectorPanelParts.h"
#include "canvas/CardBase.h"
#include "canvas/SKTItems.h"
#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/ui/PictureWait.h"
#include "common/ui/UiHelpers.h"
#include "imaging/ProcessedImageCache.h"
#include "wizards/CardSizePresets.h"
#include "wizards/FrameBackground.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace inspector;
using namespace inspector::parts;

QWidget* InspectorPanel::buildCardSettingPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* info = new QGroupBox(tr("Card"));
    auto* f = new QFormLayout(info);
    card_name = new QLineEdit;
    card_name->setObjectName(QStringLiteral("card_name"));
    card_name->setMaxLength(120);
    f->addRow(tr("Name"), card_name);
    Sides_ComboBox = combo(QStringLiteral("Sides_ComboBox"), {tr("Front and back"), tr("Front only")});
    f->addRow(tr("Sides"), Sides_ComboBox);
    matrix_card_shape = new QWidget;
    matrix_card_shape->setObjectName(QStringLiteral("matrix_card_shape"));
    auto* shapeLayout = new QVBoxLayout(matrix_card_shape);
    shapeLayout->setContentsMargins(0, 0, 0, 0);
    cardShapeGroup = new QButtonGroup(this);
    const QStringList shapes = {tr("Rectangle"), tr("Rounded rectangle"), tr("Ellipse")};
    for (int i = 0; i < shapes.size(); ++i) {
        auto* r = radio(QStringLiteral("card_shape_%1").arg(i), shapes.at(i));
        cardShapeGroup->addButton(r, i);
        shapeLayout->addWidget(r);
    }
    f->addRow(tr("Shape"), matrix_card_shape);
    connect(cardShapeGroup, &QButtonGroup::idClicked, this, &InspectorPanel::card_shape_CellClick);
    connect(card_name, &QLineEdit::editingFinished, this, &InspectorPanel::Update_Card_Graphics);
    v->addWidget(info);

    auto* size = new QGroupBox(tr("Size"));
    auto* sf = new QFormLayout(size);
    Preset_ComboBox = combo(QStringLiteral("Preset_ComboBox"), {cardsize::Horizontal, cardsize::Vertical});
    sf->addRow(tr("Orientation"), Preset_ComboBox);
    Category_ComboBox = combo(QStringLiteral("Category_ComboBox"), cardsize::categories());
    sf->addRow(tr("Category"), Category_ComboBox);
    ColList = new QTableWidget(0, 1);
    ColList->setObjectName(QStringLiteral("ColList"));
    ColList->setHorizontalHeaderLabels({tr("Size")});
    ColList->horizontalHeader()->setStretchLastSection(true);
    ColList->verticalHeader()->hide();
    ColList->verticalHeader()->setDefaultSectionSize(22);
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    ColList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ColList->setMinimumHeight(110);
    ColList->setMaximumHeight(150);
    sf->addRow(ColList);
    connect(ColList, &QTableWidget::cellClicked, this, [this](int r, int) { Card_Size_Row_Chosen(r); });
    auto* w = new StepSpinBox;
    auto* h = new StepSpinBox;
    for (auto [spin, name, text] :
         {std::tuple{w, "width_Stepper", "width_Text"}, std::tuple{h, "height_Stepper", "height_Text"}}) {
        spin->setObjectName(QString::fromLatin1(name));
        spin->setRange(cardsize::MinCustomMillimetres, cardsize::MaxCustomMillimetres);
        spin->setDecimals(1);
        spin->setSuffix(tr(" mm"));
        spin->setKeyboardTracking(false);
        nameTextField(spin, QString::fromLatin1(text));
        StepSpinBox* stepper = spin; // clang 14 cannot capture a structured binding
        spin->onStep = [this, stepper] { Apply_Size_Clicked(stepper->objectName()); };
    }
    width_Stepper = w;
    height_Stepper = h;
    sf->addRow(tr("Width"), width_Stepper);
    sf->addRow(tr("Height"), height_Stepper);
    Apply_Size_btn = button(QStringLiteral("Apply_Size_btn"), tr("Apply Size"));
    sf->addRow(QString(), Apply_Size_btn);
    connect(Apply_Size_btn, &QPushButton::clicked, this, [this] {
        // The fields show the card's size to 0.1 mm: applying them unchanged would round the exact size.
        const QSizeF now = currentRecord().Card_Size;
        if (qAbs(pointsToMillimetres(now.width()) - width_Stepper->value()) < 0.05
            && qAbs(pointsToMillimetres(now.height()) - height_Stepper->value()) < 0.05)
            return;
        Apply_Size_Clicked();
    });
    v->addWidget(size);

    Card_border_chk = check(QStringLiteral("Card_border_chk"), tr("Border"));
    Card_Border_Box = box(QStringLiteral("Card_Border_Box"));
    auto* bf = new QFormLayout(Card_Border_Box);
    Card_bordr_clr = new ColorWell(QStringLiteral("Card_bordr_clr"));
    Card_bor_Stepper = intStepper(QStringLiteral("Card_bor_Stepper"), QStringLiteral("Card_bor_Text"), 0, 50);
    Card_border_style = dashCombo(QStringLiteral("Card_border_style"));
    bf->addRow(tr("Colour"), Card_bordr_clr);
    bf->addRow(tr("Width"), Card_bor_Stepper);
    bf->addRow(tr("Style"), Card_border_style);
    v->addWidget(Card_border_chk);
    v->addWidget(Card_Border_Box);
    v->addStretch(1);

    connect(Card_border_chk, &QCheckBox::toggled, this, &InspectorPanel::Card_Border_ChkBox);
    connect(Card_bordr_clr, &ColorWell::colorPicked, this, &InspectorPanel::Update_Card_Graphics);
    connect(Card_bor_Stepper, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Card_Graphics);
    Fill_Card_Size_List();
    return page;
}

QWidget* InspectorPanel::buildCardBackgroundPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    Card_fill_chk = check(QStringLiteral("Card_fill_chk"), tr("Fill"));
    Card_Fill_Box = box(QStringLiteral("Card_Fill_Box"));
    auto* g = new QGridLayout(Card_Fill_Box);
    Card_solid_fill_rd = radio(QStringLiteral("Card_solid_fill_rd"), tr("Solid"));
    Card_gradient_fill_rd = radio(QStringLiteral("Card_gradient_fill_rd"), tr("Gradient"));
    Card_Style_fill_rd = radio(QStringLiteral("Card_Style_fill_rd"), tr("Pattern"));
    Card_Image_fill_rd = radio(QStringLiteral("Card_Image_fill_rd"), tr("Picture"));
    Card_fill_clr = new ColorWell(QStringLiteral("Card_fill_clr"));
    Card_fill_Grd_1_clr = new ColorWell(QStringLiteral("Card_fill_Grd_1_clr"));
    Card_fill_Grd_2_clr = new ColorWell(QStringLiteral("Card_fill_Grd_2_clr"));
    Card_grad_Stepper = realStepper(QStringLiteral("Card_grad_Stepper"), QStringLiteral("Card_grad_Text"), 0,
                                    360, 0, 1, tr("°"));
    Card_hatch_style = combo(QStringLiteral("Card_hatch_style"), hatchNames());
    Card_hatch_style->setMinimumWidth(120);
    Card_hatch_bk_clr = new ColorWell(QStringLiteral("Card_hatch_bk_clr"));
    g->addWidget(Card_solid_fill_rd, 0, 0);
    g->addWidget(Card_fill_clr, 0, 1);
    g->addWidget(Card_gradient_fill_rd, 1, 0);
    g->addWidget(row({Card_fill_Grd_1_clr, Card_fill_Grd_2_clr, Card_grad_Stepper}), 1, 1);
    g->addWidget(Card_Style_fill_rd, 2, 0);
    g->addWidget(row({Card_hatch_style, Card_hatch_bk_clr}), 2, 1);
    g->addWidget(Card_Image_fill_rd, 3, 0);
    Card_image_box = box(QStringLiteral("Card_image_box"));
    auto* ib = new QFormLayout(Card_image_box);
    Card_Image_path = new QLineEdit;
    Card_Image_path->setObjectName(QStringLiteral("Card_Image_path"));
    Card_Image_path->setReadOnly(true);
    Card_image_layout = combo(QStringLiteral("Card_image_layout"),
                              {CardImageLayout::Fill, CardImageLayout::Fit, CardImageLayout::Stretch,
                               CardImageLayout::Center, CardImageLayout::Tile});
    auto* browse = button(QStringLiteral("Card_Image_Browse_Btn"), tr("Browse…"));
    auto* library = button(QStringLiteral("Card_Image_Library_Btn"), tr("Frames…"));
    ib->addRow(tr("File"), Card_Image_path);
    ib->addRow(tr("Layout"), Card_image_layout);
    ib->addRow(row({browse, library}));
    g->addWidget(Card_image_box, 4, 0, 1, 2);
    v->addWidget(Card_fill_chk);
    v->addWidget(Card_Fill_Box);

    auto* af = new QFormLayout;
    Card_alpha_Stepper = realStepper(QStringLiteral("Card_alpha_Stepper"), QStringLiteral("Card_alpha_Text"),
                                     0, 100, 0, 5, tr(" %"));
    af->addRow(tr("Opacity"), Card_alpha_Stepper);
    v->addLayout(af);

    auto* content = new QGroupBox(tr("All texts of this side"));
    auto* cf = new QFormLayout(content);
    All_Text_clr = new ColorWell(QStringLiteral("All_Text_clr"));
    All_Text_clr_COPY = new ColorWell(QStringLiteral("All_Text_clr_COPY"));
    All_Text_clr_COPY->setVisible(false);
    All_Text_font_value = label(QStringLiteral("All_Text_font_value"));
    All_Text_font_value->setWordWrap(true);
    All_Text_font_value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    All_Text_font_value_COPY = label(QStringLiteral("All_Text_font_value_COPY"));
    All_Text_font_value_COPY->setVisible(false);
    auto* fontBtn = button(QStringLiteral("Content_Font_btn"), tr("Font…"));
    cf->addRow(tr("Colour"), row({All_Text_clr, All_Text_clr_COPY}));
    cf->addRow(tr("Font"), All_Text_font_value);
    cf->addRow(QString(), fontBtn);
    cf->addRow(All_Text_font_value_COPY);
    v->addWidget(content);
    v->addStretch(1);

    connect(Card_fill_chk, &QCheckBox::toggled, this, &InspectorPanel::Card_Fill_Chk_Box);
    connect(Card_solid_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Card_Solid_RD_Sel();
    });
    connect(Card_gradient_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Card_Gradient_RD_Sel();
    });
    connect(Card_Style_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Card_Hatch_RD_Sel();
    });
    connect(Card_Image_fill_rd, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Card_Image_RD_Sel();
    });
    for (ColorWell* w : {Card_fill_clr, Card_fill_Grd_1_clr, Card_fill_Grd_2_clr, Card_hatch_bk_clr})
        connect(w, &ColorWell::colorPicked, this, &InspectorPanel::Update_Card_Graphics);
    connect(Card_grad_Stepper, &QDoubleSpinBox::valueChanged, this, &InspectorPanel::Update_Card_Graphics);
    connect(Card_alpha_Stepper, &QDoubleSpinBox::valueChanged, this, &InspectorPanel::Update_Card_Graphics);
    connect(browse, &QPushButton::clicked, this, &InspectorPanel::Card_Image_Browse_Btn);
    connect(library, &QPushButton::clicked, this, &InspectorPanel::Card_Image_Library_Btn);
    connect(All_Text_clr, &ColorWell::colorPicked, this, &InspectorPanel::Contect_Color_Clicked);
    connect(fontBtn, &QPushButton::clicked, this, &InspectorPanel::Content_Font_Clicked);
    return page;
}

void InspectorPanel::loadCard() {
    refreshHatchLists();
    Card_Property& p = currentRecord();
    Card_border_chk->setChecked(p.Card_border_chk == 1);
    Card_bordr_clr->setColor(p.Card_bordr_clr);
    Card_bor_Stepper->setValue(p.Card_bor_Stepper);
    setDashSelection(Card_border_style, p.Card_border_style);
    All_Text_font = p.Card_Content_font;
    All_Text_font_COPY = All_Text_font;
    m_contentFontPicked = false;
    if (m_backgroundBuilt)
        loadCardBackground(p);
    if (QAbstractButton* b = cardShapeGroup->button(Card_Shape))
        b->setChecked(true);
    card_name->setText(p.Card_Name);
    Sides_ComboBox->setCurrentIndex(p.Card_Side == QLatin1String("1") ? 1 : 0);

    // Loading shows the card; it writes nothing into either record.
    const QRectF front = m_host->frontCanvasBounds();
    width_Stepper->setValue(pointsToMillimetres(front.width()));
    height_Stepper->setValue(pointsToMillimetres(front.height()));

    const int presetIndex = Preset_ComboBox->findText(p.Card_Preset);
    if (presetIndex >= 0)
        Preset_ComboBox->setCurrentIndex(presetIndex);
    const int categoryIndex = Category_ComboBox->findText(p.Card_Category);
    if (categoryIndex >= 0)
        Category_ComboBox->setCurrentIndex(categoryIndex);
    Fill_Card_Size_List();
    Mark_List_New_Selection(p.Card_Cat_index);
    card_prop_set(p.Card_fill_style);
    m_cardShown = cardValues();
}

void InspectorPanel::loadCardBackground(const Card_Property& p) {
    Card_fill_chk->setChecked(p.Card_fill_chk == 1);
    Card_fill_clr->setColor(p.Card_fill_clr);
    Card_fill_Grd_1_clr->setColor(p.Card_fill_Grd_1_clr);
    Card_fill_Grd_2_clr->setColor(p.Card_fill_Grd_2_clr);
    Card_grad_Stepper->setValue(p.Card_grad_Stepper);
    Card_hatch_bk_clr->setColor(p.Card_hatch_bk_clr);
    // Loaded for every fill style, so the other side's pattern never stays in the list.
    setHatchSelection(Card_hatch_style, p.Card_hatch_style);
    Card_alpha_Stepper->setValue(fractionToPercent(p.Card_alpha_Stepper));
    Card_Image_path->setText(p.Card_BG_Image_Path);
    const int layoutIndex = Card_image_layout->findText(p.Card_BG_Image_Layout);
    if (layoutIndex >= 0)
        Card_image_layout->setCurrentIndex(layoutIndex);
    All_Text_clr->setColor(p.Card_Content_clr);
    All_Text_font_value->setText(fontLabel(All_Text_font));
    All_Text_font_value_COPY->setText(fontLabel(All_Text_font_COPY));
    All_Text_clr_COPY->setColor(All_Text_clr->color());
}

void InspectorPanel::ensureBackgroundPage() {
    if (m_backgroundBuilt)
        return;
    m_backgroundBuilt = true;
    QWidget* page = buildCardBackgroundPage();
    setPageContent(static_cast<QScrollArea*>(m_pages.value(QStringLiteral("card_bkgd_tab"))), page);
    // The page shows the side's record, which nothing could change through it before; the card panels as
    // shown take its part, so that an edit elsewhere on the card writes nothing of it.
    {
        const PropertyLoadGuard guard;
        const PanelSignalBlocker block(page);
        const Card_Property& p = currentRecord();
        loadCardBackground(p);
        setBackgroundEnabling(p.Card_fill_style);
    }
    readBackgroundValues(m_cardShown);
}

void InspectorPanel::card_prop_set(const QString& fillStyle) {
    SetObjEnabled(Card_Border_Box, Card_border_chk->isChecked());
    if (m_backgroundBuilt)
        setBackgroundEnabling(fillStyle);
    sett_tab->update();
}

void InspectorPanel::setBackgroundEnabling(const QString& fillStyle) {
    const bool g = fillStyle == QLatin1String("G");
    const bool h = fillStyle == QLatin1String("H");
    const bool i = fillStyle == QLatin1String("I");
    const bool s = !g && !h && !i;
    {
        const QSignalBlocker b1(Card_solid_fill_rd), b2(Card_gradient_fill_rd), b3(Card_Style_fill_rd),
            b4(Card_Image_fill_rd);
        Card_solid_fill_rd->setAutoExclusive(false);
        Card_gradient_fill_rd->setAutoExclusive(false);
        Card_Style_fill_rd->setAutoExclusive(false);
        Card_Image_fill_rd->setAutoExclusive(false);
        Card_solid_fill_rd->setChecked(s);
        Card_gradient_fill_rd->setChecked(g);
        Card_Style_fill_rd->setChecked(h);
        Card_Image_fill_rd->setChecked(i);
        for (QRadioButton* r :
             {Card_solid_fill_rd, Card_gradient_fill_rd, Card_Style_fill_rd, Card_Image_fill_rd})
            r->setAutoExclusive(true);
    }
    SetObjEnabled(Card_Fill_Box, Card_fill_chk->isChecked());
    for (QWidget* w : {Card_solid_fill_rd, Card_gradient_fill_rd, Card_Style_fill_rd, Card_Image_fill_rd})
        w->setEnabled(true);
    Card_fill_clr->setEnabled(s);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Card_fill_Grd_1_clr, Card_fill_Grd_2_clr, Card_grad_Stepper})
        w->setEnabled(g);
    Card_hatch_style->setEnabled(h);
    Card_hatch_bk_clr->setEnabled(h);
    SetObjEnabled(Card_image_box, i);
}

void InspectorPanel::readBackgroundValues(CardPanelValues& v) const {
    v.fillOn = Card_fill_chk->isChecked();
    v.fillColor = Card_fill_clr->color();
    v.gradientRadio = Card_gradient_fill_rd->isChecked();
    v.hatchRadio = Card_Style_fill_rd->isChecked();
    v.imageRadio = Card_Image_fill_rd->isChecked();
    v.grad1 = Card_fill_Grd_1_clr->color();
    v.grad2 = Card_fill_Grd_2_clr->color();
    v.gradAngle = Card_grad_Stepper->value();
    v.hatchBack = Card_hatch_bk_clr->color();
    v.hatchName = Card_hatch_style->currentIndex() >= 0 ? Card_hatch_style->currentText() : QString();
    v.bgImagePath = Card_Image_path->text();
    v.bgImageLayout = Card_image_layout->currentIndex() >= 0 ? Card_image_layout->currentText() : QString();
    v.alphaPercent = Card_alpha_Stepper->value();
    v.contentColor = All_Text_clr->color();
}

CardPanelValues InspectorPanel::cardValues() const {
    // A Background page not built yet still shows what it showed when last known.
    CardPanelValues v = m_backgroundBuilt ? CardPanelValues() : m_cardShown;
    v.borderOn = Card_border_chk->isChecked();
    v.borderColor = Card_bordr_clr->color();
    v.borderWidth = Card_bor_Stepper->value();
    v.borderDashIndex = Card_border_style->currentIndex();
    if (m_backgroundBuilt)
        readBackgroundValues(v);
    v.contentFont = All_Text_font;
    v.sidesIndex = Sides_ComboBox->currentIndex();
    v.cardShape = Card_Shape;
    v.name = card_name->text();
    v.frontBounds = m_host->frontCanvasBounds();
    v.preset = Preset_ComboBox->currentText();
    v.category = Category_ComboBox->currentText();
    const QList<QTableWidgetItem*> selected = ColList->selectedItems();
    v.sizeRow = selected.isEmpty() ? -1 : selected.first()->row();
    v.subCategory = v.sizeRow >= 0 ? Get_Item_Text(v.sizeRow) : QString();
    return v;
}

void InspectorPanel::Update_Card_Graphics() {
    if (Not_Draw_Only_Prop_Change)
        return;
    // the steps of one stepper or slider are one undo step
    const QObject* control = sender();
    const bool stepped = qobject_cast<const QAbstractSpinBox*>(control) || qobject_cast<const QSlider*>(control);
    const CardEditScope scope(m_host, tr("Card Settings"), stepped ? control->objectName() : QString());
    Card_Property& record = currentRecord();
    // The panels cannot show every value a record may hold (a category of no list, an empty layout), so
    // only the fields this change touched are written: the record as the panels stood before and as they
    // stand now, compared field by field.
    const bool back = currentSide() == 1;
    const CardPanelValues now = cardValues();
    Card_Property before = record;
    writeCardRecord(before, m_cardShown, back);
    Card_Property after = record;
    writeCardRecord(after, now, back);
    m_cardShown = now;
    copyChangedCardFields(record, before, after);
    // Size, shape, the number of sides and the size's name in the list belong to the card, not to one side.
    copyChangedCardFields(m_host->cardProperty(1 - currentSide()), before, after, true);
    CARD_SIDE_STR = record.Card_Side;
    m_host->Refresh_Canvas();
}

void InspectorPanel::Card_Border_ChkBox() {
    SetObjEnabled(Card_Border_Box, Card_border_chk->isChecked());
    Update_Card_Graphics();
}

void InspectorPanel::Card_Fill_Chk_Box() {
    SetObjEnabled(Card_Fill_Box, Card_fill_chk->isChecked());
    // The radios as they stand are the chosen style (the record may not hold it yet).
    const QString style = Card_gradient_fill_rd->isChecked() ? QStringLiteral("G")
                          : Card_Style_fill_rd->isChecked()  ? QStringLiteral("H")
                          : Card_Image_fill_rd->isChecked()  ? QStringLiteral("I")
                                                             : QStringLiteral("S");
    card_prop_set(style);
    Update_Card_Graphics();
}

void InspectorPanel::Card_Solid_RD_Sel() {
    card_prop_set(QStringLiteral("S"));
    Update_Card_Graphics();
}

void InspectorPanel::Card_Gradient_RD_Sel() {
    card_prop_set(QStringLiteral("G"));
    Update_Card_Graphics();
}

void InspectorPanel::Card_Hatch_RD_Sel() {
    card_prop_set(QStringLiteral("H"));
    if (Card_hatch_style->currentIndex() < 0 && Card_hatch_style->count() > 0) {
        const QSignalBlocker block(Card_hatch_style);
        Card_hatch_style->setCurrentIndex(0);
    }
    Update_Card_Graphics();
}

void InspectorPanel::Card_Image_RD_Sel() {
    card_prop_set(QStringLiteral("I"));
    Update_Card_Graphics();
}

void InspectorPanel::Card_Image_Browse_Btn() {
    const QString path =
        chooseFile ? chooseFile(tr("Choose a background picture"), pictureExtensions()) : QString();
    if (path.isEmpty())
        return;
    if (!hasPictureExtension(path, pictureExtensions())) {
        Show_MessageBox(QStringLiteral("Please select valid file path."));
        return;
    }
    const CardEditScope scope(m_host, tr("Card Background"));
    if (currentSide() == 1)
        set_Back_BG_Image(path);
    else
        set_Front_BG_Image(path);
    Update_Card_Graphics();
}

void InspectorPanel::Card_Image_Library_Btn() {
    const CardEditScope scope(m_host, tr("Card Background"));
    if (Open_Image_Library_Window(QStringLiteral("B")) == 1) {
        if (currentSide() == 1)
            set_Back_BG_Image(lib_window_sel_file);
        else
            set_Front_BG_Image(lib_window_sel_file);
    }
    Update_Card_Graphics();
}

bool InspectorPanel::set_Front_BG_Image(const QString& path) {
    ensureBackgroundPage();
    Card_Image_path->setText(path);
    if (path.isEmpty())
        return false;
    const CardEditScope scope(m_host, tr("Card Background"));
    // The shared frame helper: the record takes the picture, the "PARTY_IMAGE_BG" item shows it.
    QString error;
    const PictureWait wait(window());
    const GraphicPtr background =
        setFrontFramePicture(m_host->cardProperty(0), m_host->frontGraphicsArray(), path, &error);
    if (!background) {
        // The page names the picture the card still has, which the card edit after this writes back.
        Card_Image_path->setText(m_host->cardProperty(0).Card_BG_Image_Path);
        if (!wait.stopped())
            Show_MessageBox(error);
        return false;
    }
    m_host->frontGraphicsChanged();
    m_host->setFrontCurrentGraphic(background);
    m_host->Show_RHS_Properties(nullptr);
    return true;
}

bool InspectorPanel::set_Back_BG_Image(const QString& path) {
    ensureBackgroundPage();
    Card_Image_path->setText(path);
    if (path.isEmpty())
        return false;
    const CardEditScope scope(m_host, tr("Card Background"));
    QString why;
    const PictureWait wait(window());
    const ItemPicture picture = SKTImage::loadPicture(path, &why);
    if (picture.isNull()) {
        Card_Image_path->setText(m_host->cardProperty(1).Card_BG_Image_Path);
        if (!wait.stopped())
            Show_MessageBox(why);
        return false;
    }
    Card_Property& p = m_host->cardProperty(1);
    ProcessedImageCache::showUntilMade(picture, p.Card_BG_Image);
    p.Card_BG_Image = picture;
    p.Card_fill_chk = 1;
    p.Card_BG_Image_Path = path;
    p.Card_fill_style = QStringLiteral("I");
    m_host->Show_RHS_Properties(nullptr);
    return true;
}

void InspectorPanel::Card_Bckgrnd_Clicked() {
    ensureBackgroundPage();
    m_host->Show_RHS_Properties(nullptr);
    if (Open_Image_Library_Window(QStringLiteral("B")) != 1)
        return;
    const CardEditScope scope(m_host, tr("Card Background"));
    const bool filled = Card_fill_chk->isChecked();
    {
        const QSignalBlocker block(Card_fill_chk);
        Card_fill_chk->setChecked(true);
    }
    // A picture not taken leaves the fill as it was.
    if (!(currentSide() == 1 ? set_Back_BG_Image(lib_window_sel_file) : set_Front_BG_Image(lib_window_sel_file))) {
        const QSignalBlocker block(Card_fill_chk);
        Card_fill_chk->setChecked(filled);
        return;
    }
    Update_Card_Graphics();
    if (QWidget* page = m_pages.value(QStringLiteral("card_bkgd_tab")))
        sett_tab->setCurrentWidget(page);
}

void InspectorPanel::Fill_Card_Size_List() {
    const QSignalBlocker block(ColList);
    ColList->clearSelection();
    ColList->setRowCount(0);
    const QList<CardSizePreset> sizes = cardsize::presetsOf(Category_ComboBox->currentText());
    ColList->setRowCount(int(sizes.size()));
    for (int r = 0; r < sizes.size(); ++r)
        ColList->setItem(r, 0, new QTableWidgetItem(sizes.at(r).subCategory));
    ColList->setCurrentCell(-1, -1);
}

QString InspectorPanel::Get_Item_Text(int row) const {
    if (row < 0 || row >= ColList->rowCount() || !ColList->item(row, 0))
        return {};
    return ColList->item(row, 0)->text();
}

void InspectorPanel::Mark_List_New_Selection(int row) {
    const QSignalBlocker block(ColList);
    if (row < 0 || row >= ColList->rowCount()) {
        ColList->clearSelection();
        ColList->setCurrentCell(-1, -1);
        return;
    }
    ColList->clearSelection();
    ColList->selectRow(row);
}

void InspectorPanel::Card_Size_Row_Chosen(int row) {
    const QList<CardSizePreset> sizes = cardsize::presetsOf(Category_ComboBox->currentText());
    if (row < 0 || row >= sizes.size())
        return;
    const CardEditScope scope(m_host, tr("Card Size"));
    Mark_List_New_Selection(row);
    const QSizeF points = cardsize::sizeInPoints(sizes.at(row), Preset_ComboBox->currentText());
    {
        const QSignalBlocker b1(width_Stepper), b2(height_Stepper);
        width_Stepper->setValue(pointsToMillimetres(points.width()));
        height_Stepper->setValue(pointsToMillimetres(points.height()));
    }
    m_host->setDocumentCanvasSize(points);
    Update_All_Card_Content();
}

void InspectorPanel::Apply_Size_Clicked(const QString& mergeKey) {
    const std::optional<QSizeF> size =
        cardsize::customSizeInPoints(width_Stepper->value(), height_Stepper->value());
    if (!size) {
        Show_MessageBox(tr("Please enter a width and a height between %1 and %2 mm.")
                            .arg(cardsize::MinCustomMillimetres)
                            .arg(cardsize::MaxCustomMillimetres));
        return;
    }
    const CardEditScope scope(m_host, tr("Card Size"), mergeKey);
    m_host->setDocumentCanvasSize(*size);
    Update_All_Card_Content();
}

void InspectorPanel::card_shape_CellClick(int row) {
    if (row < 0 || row > 2)
        return;
    // The shape the card has already changes nothing; another keeps the card's exact size (the size
    // fields show it only to 0.1 mm).
    if (row == Card_Shape)
        return;
    const CardEditScope scope(m_host, tr("Card Shape"));
    Card_Shape = row;
    Update_All_Card_Content();
    m_host->Refresh_Canvas();
}

void InspectorPanel::Update_All_Card_Content() {
    ensureBackgroundPage();
    const CardEditScope scope(m_host, tr("Card Settings"));
    ContentChange change;
    change.color = All_Text_clr->color();
    change.colorChanged = change.color != All_Text_clr_COPY->color();
    change.font = All_Text_font;
    change.fontBefore = All_Text_font_COPY;
    change.fontChanged = m_contentFontPicked || All_Text_font != All_Text_font_COPY;
    applyContentToItems(m_host->sideGraphics(currentSide()), change, m_host->frontCanvasBounds());
    // The card has one size: the other side's frame picture is refitted too.
    applyContentToItems(m_host->sideGraphics(1 - currentSide()), ContentChange(), m_host->frontCanvasBounds());
    // What is applied becomes the baseline, so later refits leave per-item fonts and colours alone.
    All_Text_clr_COPY->setColor(change.color);
    All_Text_font_COPY = All_Text_font;
    All_Text_font_value_COPY->setText(fontLabel(All_Text_font_COPY));
    m_contentFontPicked = false;
    Update_Card_Graphics();
}

void InspectorPanel::Content_Font_Clicked() {
    if (const std::optional<QFont> f = chooseFont(All_Text_font))
        changeAllTextFont(*f);
}

void InspectorPanel::changeAllTextFont(const QFont& font) {
    ensureBackgroundPage();
    All_Text_font = font;
    All_Text_font_value->setText(fontLabel(All_Text_font));
    m_contentFontPicked = true;
    Update_All_Card_Content();
}

void InspectorPanel::Contect_Color_Clicked() {
    Update_All_Card_Content();
}
