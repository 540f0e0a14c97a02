#include "app/inspector/InspectorPanel.h"

#include "app/inspector/ColorWell.h"
#include "app/inspector/Image_Library.h"
#include "app/inspector/InspectorHost.h"
#include "canvas/CardBase.h"
#include "canvas/SKTItems.h"
#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/FontPicking.h"
#include "common/ui/Long_SMS_Dlg.h"
#include "common/ui/UiHelpers.h"
#include "data/Data_From_Excel.h"
#include "data/ui/BindingCombos.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "data/ui/View_Data_Series.h"
#include "imaging/ImageAdjustments.h"
#include "wizards/CardSizePresets.h"
#include "wizards/FrameBackground.h"
#include "wizards/InvitationState.h"
#include "wizards/ui/Insert_Template.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

using namespace inspector;

namespace {

// A spin box whose arrow steps are told apart from typing (the size steppers apply at once when stepped).
class StepSpinBox : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;
    std::function<void()> onStep;
    void stepBy(int steps) override {
        QDoubleSpinBox::stepBy(steps);
        if (onStep)
            onStep();
    }
};

// The spin box is the stepper; its text field carries the name of the field beside it.
void nameTextField(QAbstractSpinBox* spin, const QString& textName) {
    if (QLineEdit* edit = spin->findChild<QLineEdit*>())
        edit->setObjectName(textName);
}

QSpinBox* intStepper(const QString& name, const QString& textName, int min, int max) {
    auto* s = new QSpinBox;
    s->setObjectName(name);
    s->setRange(min, max);
    s->setKeyboardTracking(false);
    nameTextField(s, textName);
    return s;
}

QDoubleSpinBox* realStepper(const QString& name, const QString& textName, double min, double max,
                            int decimals, double step, const QString& suffix = {}) {
    auto* s = new QDoubleSpinBox;
    s->setObjectName(name);
    s->setRange(min, max);
    s->setDecimals(decimals);
    s->setSingleStep(step);
    s->setSuffix(suffix);
    s->setKeyboardTracking(false);
    nameTextField(s, textName);
    return s;
}

QComboBox* combo(const QString& name, const QStringList& items) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    c->addItems(items);
    return c;
}

QComboBox* dashCombo(const QString& name) {
    return combo(name, {QObject::tr("Solid"), QObject::tr("Dashed"), QObject::tr("Dotted"),
                        QObject::tr("Dash Dot"), QObject::tr("Dash Dot Dot")});
}

QCheckBox* check(const QString& name, const QString& text) {
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    return c;
}

QRadioButton* radio(const QString& name, const QString& text) {
    auto* r = new QRadioButton(text);
    r->setObjectName(name);
    return r;
}

QLabel* label(const QString& name, const QString& text = {}) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    return l;
}

QGroupBox* box(const QString& name, const QString& title = {}) {
    auto* b = new QGroupBox(title);
    b->setObjectName(name);
    return b;
}

QPushButton* button(const QString& name, const QString& text) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    return b;
}

QWidget* row(std::initializer_list<QWidget*> widgets) {
    auto* w = new QWidget;
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    for (QWidget* x : widgets)
        l->addWidget(x);
    l->addStretch(1);
    return w;
}

// Blocks the signals of every control of the panel while values are loaded into them.
class PanelSignalBlocker {
public:
    // Only the panel's own controls: Qt's inner parts (the tab view's stack, a spin box's editor) talk to
    // their owners through signals and must keep doing so.
    explicit PanelSignalBlocker(QWidget* root) {
        const auto widgets = root->findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            QWidget* parent = w->parentWidget();
            if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QTabBar*>(parent) ||
                qobject_cast<QComboBox*>(parent))
                continue;
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QSlider*>(w) ||
                qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QLineEdit*>(w) ||
                qobject_cast<QTableWidget*>(w))
                m_blockers.emplace_back(w);
        }
        const auto groups = root->findChildren<QButtonGroup*>();
        for (QButtonGroup* g : groups)
            m_blockers.emplace_back(g);
    }

private:
    std::vector<QSignalBlocker> m_blockers;
};

// Makes the card-side edits inside one scope one undo step.
class CardEditScope {
public:
    CardEditScope(InspectorHost* host, QString text, QString key = {})
        : m_host(host), m_text(std::move(text)), m_key(std::move(key)) {
        m_host->beginCardEdit();
    }
    ~CardEditScope() { m_host->endCardEdit(m_text, m_key); }
    CardEditScope(const CardEditScope&) = delete;
    CardEditScope& operator=(const CardEditScope&) = delete;

private:
    InspectorHost* m_host;
    QString m_text;
    QString m_key;
};

QString sliderText(double value, double scale) {
    return scale <= 1.0 ? QString::number(std::lround(value)) : QString::number(value, 'f', 2);
}

} // namespace

// ================================================================ construction

InspectorPanel::InspectorPanel(InspectorHost* host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("InspectorPanel"));
    chooseFile = [this](const QString& caption, const QStringList& extensions) {
        QStringList patterns;
        for (const QString& e : extensions)
            patterns << QStringLiteral("*.%1").arg(e) << QStringLiteral("*.%1").arg(e.toUpper());
        return QFileDialog::getOpenFileName(this, caption, QString(),
                                            tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))));
    };
    chooseLibraryPicture = [](const QString& mode) -> std::optional<QString> {
        Image_Library* lib = Image_Library::defaultInstance();
        lib->control_or_BG = mode;
        if (lib->Open_Library_Window() == 1)
            return lib->selected_image;
        return std::nullopt;
    };
    chooseFont = [this](const QFont& current) -> std::optional<QFont> {
        return pickFont(this, current, tr("Font"));
    };
    chooseTemplate = [](const QString& titleOrMsg) -> std::optional<QString> {
        Insert_Template* picker = Insert_Template::defaultInstance();
        picker->title_or_msg = titleOrMsg;
        if (picker->Open_Template_Dialog() != 1)
            return std::nullopt;
        return Template_Msg_Val;
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    print_object_chk = check(QStringLiteral("print_object_chk"), tr("Do not print this item"));
    sel_control_name = new QLineEdit(QStringLiteral("NONE"));
    sel_control_name->setObjectName(QStringLiteral("sel_control_name"));
    sel_control_name->setVisible(false);
    sett_tab = new QTabWidget;
    sett_tab->setObjectName(QStringLiteral("sett_tab"));
    sett_tab->setUsesScrollButtons(true);
    sett_tab->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    layout->addWidget(print_object_chk);
    layout->addWidget(sel_control_name);
    layout->addWidget(sett_tab, 1);
    connect(print_object_chk, &QCheckBox::toggled, this, [this] { updatePrintObject(); });

    buildPages();

    // The card pages stay; the item pages wait for an item.
    for (const QString& name : allTabNames().mid(0, CardTabCount))
        insertTab(name, sett_tab->count());
    print_object_chk->setVisible(false);
    card_prop_set(QStringLiteral("S"));
}

InspectorPanel::~InspectorPanel() = default;

QWidget* InspectorPanel::wrapPage(const QString& name, QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setObjectName(name);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    m_pages.insert(name, scroll);
    return scroll;
}

QSlider* InspectorPanel::makeSlider(QWidget* parent, const QString& name, double min, double max,
                                    double scale) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setProperty("scale", scale);
    s->setRange(int(std::lround(min * scale)), int(std::lround(max * scale)));
    auto* value = label(name + QStringLiteral("_val"));
    value->setMinimumWidth(44);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setParent(parent);
    connect(s, &QSlider::valueChanged, value,
            [s, value] { value->setText(sliderText(sliderValue(s), s->property("scale").toDouble())); });
    value->setText(sliderText(sliderValue(s), scale));
    return s;
}

double InspectorPanel::sliderValue(const QSlider* slider) {
    const double scale = slider->property("scale").toDouble();
    return scale > 0 ? slider->value() / scale : slider->value();
}

void InspectorPanel::setSliderValue(QSlider* slider, double value) {
    const double scale = slider->property("scale").toDouble();
    const int raw = std::isfinite(value) ? int(std::lround(value * (scale > 0 ? scale : 1.0))) : 0;
    slider->setValue(raw);
    // the label follows even while the slider's signals are blocked
    if (QLabel* l = slider->parentWidget()->findChild<QLabel*>(slider->objectName() + QStringLiteral("_val")))
        l->setText(sliderText(sliderValue(slider), scale));
}

void InspectorPanel::buildPages() {
    const QStringList names = allTabNames();
    m_defaultLabels = {
        {QStringLiteral("card_setting_tab"), tr("Card")},
        {QStringLiteral("card_info_tab"), tr("Card Info")},
        {QStringLiteral("card_size_tab"), tr("Card Size")},
        {QStringLiteral("card_bkgd_tab"), tr("Background")},
        {QStringLiteral("card_brdr_tab"), tr("Card Border")},
        {QStringLiteral("line_tab"), tr("Line Properties")},
        {QStringLiteral("shape_tab"), tr("Shape Properties")},
        {QStringLiteral("text_edtng_tab"), tr("Text")},
        {QStringLiteral("text_prop_tab"), tr("Text Properties")},
        {QStringLiteral("image_tab"), tr("Image Properties")},
        {QStringLiteral("sign_tab"), tr("Signature Properties")},
        {QStringLiteral("datasource_tab"), tr("Source")},
        {QStringLiteral("aligmnt_tab"), tr("Alignment")},
        {QStringLiteral("barcode_tab"), tr("Barcode Properties")},
        {QStringLiteral("Lock_tab"), tr("Locked")},
    };
    wrapPage(QStringLiteral("card_setting_tab"), buildCardSettingPage());
    wrapPage(QStringLiteral("card_bkgd_tab"), buildCardBackgroundPage());
    // Their controls live on the two card pages above; the pages stay for the tab order.
    for (const QString& name : {QStringLiteral("card_info_tab"), QStringLiteral("card_size_tab"),
                                QStringLiteral("card_brdr_tab")}) {
        auto* w = new QWidget;
        auto* l = new QVBoxLayout(w);
        l->addWidget(new QLabel(tr("These settings are on the Card page.")));
        l->addStretch(1);
        wrapPage(name, w);
    }
    wrapPage(QStringLiteral("line_tab"), buildLinePage());
    wrapPage(QStringLiteral("shape_tab"), buildShapePage());
    wrapPage(QStringLiteral("text_edtng_tab"), buildTextEditingPage());
    wrapPage(QStringLiteral("text_prop_tab"), buildTextPropertiesPage());
    wrapPage(QStringLiteral("image_tab"), buildImagePage());
    wrapPage(QStringLiteral("sign_tab"), buildSignPage());
    wrapPage(QStringLiteral("datasource_tab"), buildDataSourcePage());
    wrapPage(QStringLiteral("aligmnt_tab"), buildAlignmentPage());
    wrapPage(QStringLiteral("barcode_tab"), buildBarcodePage());
    wrapPage(QStringLiteral("Lock_tab"), buildLockPage());
    // Pages not in the tab view still belong to the panel.
    for (QWidget* page : std::as_const(m_pages)) {
        page->setParent(this);
        page->hide();
    }

    const auto combos = findChildren<QComboBox*>();
    for (QComboBox* c : combos)
        connect(c, &QComboBox::currentIndexChanged, this, [this, c] { comboBoxSelectionDidChange(c); });
}

// ---------------------------------------------------------------- card pages

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
        spin->onStep = [this] { Apply_Size_Clicked(); };
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

// ---------------------------------------------------------------- item pages

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

QWidget* InspectorPanel::buildImagePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    Image_border_chk = check(QStringLiteral("Image_border_chk"), tr("Border"));
    Image_Border_Box = box(QStringLiteral("Image_Border_Box"));
    auto* bf = new QFormLayout(Image_Border_Box);
    Image_bordr_clr = new ColorWell(QStringLiteral("Image_bordr_clr"));
    Image_bor_Stepper =
        intStepper(QStringLiteral("Image_bor_Stepper"), QStringLiteral("Image_bor_Text"), 0, 50);
    Image_border_style = dashCombo(QStringLiteral("Image_border_style"));
    bf->addRow(tr("Colour"), Image_bordr_clr);
    bf->addRow(tr("Width"), Image_bor_Stepper);
    bf->addRow(tr("Style"), Image_border_style);
    v->addWidget(Image_border_chk);
    v->addWidget(Image_Border_Box);
    Image_FIH_chk = check(QStringLiteral("Image_FIH_chk"), tr("Flip horizontally"));
    Image_FIV_chk = check(QStringLiteral("Image_FIV_chk"), tr("Flip vertically"));
    v->addWidget(row({Image_FIH_chk, Image_FIV_chk}));

    Image_Edit_Prop_Box = box(QStringLiteral("Image_Edit_Prop_Box"), tr("Adjustments"));
    auto* g = new QGridLayout(Image_Edit_Prop_Box);
    Image_Gray_Scale_chk = check(QStringLiteral("Image_Gray_Scale_chk"), tr("Grey scale"));
    Image_Sepia_chk = check(QStringLiteral("Image_Sepia_chk"), tr("Sepia"));
    Image_Invert_chk = check(QStringLiteral("Image_Invert_chk"), tr("Invert"));
    g->addWidget(row({Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk}), 0, 0, 1, 3);
    using namespace ImageAdjust;
    struct SliderDef {
        QSlider** slot;
        const char* name;
        QString text;
        Range range;
        double scale;
    };
    const SliderDef defs[] = {
        {&Rotate_slidr, "Rotate_slidr", tr("Rotation"), Rotation, 1},
        {&Trsp_slidr, "Trsp_slidr", tr("Opacity"), Transparency, 1},
        {&Hue_slidr, "Hue_slidr", tr("Hue"), Hue, 100},
        {&Sat_slidr, "Sat_slidr", tr("Saturation"), Saturation, 100},
        {&Brt_slidr, "Brt_slidr", tr("Brightness"), Brightness, 100},
        {&Con_slidr, "Con_slidr", tr("Contrast"), Contrast, 100},
        {&shrp_slidr, "shrp_slidr", tr("Sharpness"), Sharpness, 100},
        {&ev_slidr, "ev_slidr", tr("Exposure"), Exposure, 10},
        {&blr_slidr, "blr_slidr", tr("Blur"), Blur, 1},
    };
    int r = 1;
    for (const SliderDef& d : defs) {
        QSlider* s =
            makeSlider(Image_Edit_Prop_Box, QString::fromLatin1(d.name), d.range.min, d.range.max, d.scale);
        *d.slot = s;
        setSliderValue(s, d.range.neutral);
        g->addWidget(new QLabel(d.text), r, 0);
        g->addWidget(s, r, 1);
        g->addWidget(
            Image_Edit_Prop_Box->findChild<QLabel*>(QString::fromLatin1(d.name) + QStringLiteral("_val")), r,
            2);
        connect(s, &QSlider::valueChanged, this, &InspectorPanel::Update_Image_Graphics);
        ++r;
    }
    Image_reset_btn = button(QStringLiteral("Image_reset_Button"), tr("Reset"));
    g->addWidget(Image_reset_btn, r, 0, 1, 3, Qt::AlignRight);
    v->addWidget(Image_Edit_Prop_Box);
    v->addStretch(1);

    connect(Image_border_chk, &QCheckBox::toggled, this, &InspectorPanel::Image_Border_ChkBox);
    connect(Image_bordr_clr, &ColorWell::colorPicked, this, &InspectorPanel::Update_Image_Graphics);
    connect(Image_bor_Stepper, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Image_Graphics);
    for (QCheckBox* c :
         {Image_FIH_chk, Image_FIV_chk, Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk})
        connect(c, &QCheckBox::toggled, this, &InspectorPanel::Update_Image_Graphics);
    connect(Image_reset_btn, &QPushButton::clicked, this, &InspectorPanel::Image_reset_Button);
    return page;
}

QWidget* InspectorPanel::buildSignPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* f = new QFormLayout;
    Sign_image_path = new QLineEdit;
    Sign_image_path->setObjectName(QStringLiteral("Sign_image_path"));
    Sign_image_path->setReadOnly(true);
    auto* browse = button(QStringLiteral("Sign_Browse_Btn"), tr("Browse…"));
    f->addRow(tr("Picture (PNG)"), Sign_image_path);
    f->addRow(QString(), browse);
    v->addLayout(f);
    Sign_border_chk = check(QStringLiteral("Sign_border_chk"), tr("Border"));
    Sign_Border_Box = box(QStringLiteral("Sign_Border_Box"));
    auto* bf = new QFormLayout(Sign_Border_Box);
    Sign_bordr_clr = new ColorWell(QStringLiteral("Sign_bordr_clr"));
    Sign_bor_Stepper = intStepper(QStringLiteral("Sign_bor_Stepper"), QStringLiteral("Sign_bor_Text"), 0, 50);
    Sign_border_style = dashCombo(QStringLiteral("Sign_border_style"));
    bf->addRow(tr("Colour"), Sign_bordr_clr);
    bf->addRow(tr("Width"), Sign_bor_Stepper);
    bf->addRow(tr("Style"), Sign_border_style);
    v->addWidget(Sign_border_chk);
    v->addWidget(Sign_Border_Box);
    v->addStretch(1);
    connect(browse, &QPushButton::clicked, this, &InspectorPanel::Sign_Browse_Btn);
    connect(Sign_border_chk, &QCheckBox::toggled, this, &InspectorPanel::Sign_Border_ChkBox);
    connect(Sign_bordr_clr, &ColorWell::colorPicked, this, &InspectorPanel::Update_Sign_Graphics);
    connect(Sign_bor_Stepper, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Sign_Graphics);
    return page;
}

QWidget* InspectorPanel::buildDataSourcePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    data_source_title = label(QStringLiteral("data_source_title"), tr("Text Source"));
    QFont bold = data_source_title->font();
    bold.setBold(true);
    data_source_title->setFont(bold);
    v->addWidget(data_source_title);
    auto* f = new QFormLayout;
    Data_source_type = combo(QStringLiteral("Data_source_type"), {tr("Manual"), tr("Series"), tr("Excel")});
    Batch_Series = combo(QStringLiteral("Batch_Series"), {});
    Batch_Series->setEnabled(false);
    f->addRow(tr("Source"), Data_source_type);
    f->addRow(tr("Series / column"), Batch_Series);
    v->addLayout(f);
    View_Series_Btn = button(QStringLiteral("View_batch_Series_Button"), tr("View…"));
    Data_Source_Help_Btn = button(QStringLiteral("Data_Source_Help_Button"), tr("Help"));
    v->addWidget(row({View_Series_Btn, Data_Source_Help_Btn}));
    connect(View_Series_Btn, &QPushButton::clicked, this, &InspectorPanel::View_batch_Series_Button);
    connect(Data_Source_Help_Btn, &QPushButton::clicked, this, &InspectorPanel::Data_Source_Help_Button);
    // A sheet import or a design load changes the table: the choice follows it.
    Data_From_Excel* table = Data_From_Excel::defaultInstance();
    connect(table, &QAbstractItemModel::modelReset, this, [this] { offerExcelChoice(m_last.lock().get()); });
    connect(table, &QAbstractItemModel::rowsInserted, this, [this] { offerExcelChoice(m_last.lock().get()); });
    manual_brws_box = box(QStringLiteral("manual_brws_box"), tr("Picture"));
    auto* mf = new QVBoxLayout(manual_brws_box);
    Manual_image_path = new QLineEdit;
    Manual_image_path->setObjectName(QStringLiteral("Manual_image_path"));
    Manual_image_path->setReadOnly(true);
    auto* browse = button(QStringLiteral("manual_brws_btn"), tr("Browse…"));
    manual_lib_brws_btn = button(QStringLiteral("manual_lib_brws_btn"), tr("Library…"));
    mf->addWidget(Manual_image_path);
    mf->addWidget(row({browse, manual_lib_brws_btn}));
    v->addWidget(manual_brws_box);
    v->addStretch(1);
    connect(browse, &QPushButton::clicked, this, &InspectorPanel::Manual_Image_Browse_Btn);
    connect(manual_lib_brws_btn, &QPushButton::clicked, this, &InspectorPanel::Manual_Library_Browse_Btn);
    return page;
}

QWidget* InspectorPanel::buildAlignmentPage() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    const std::pair<const char*, QString> commands[] = {
        {"left", tr("Align Left")},
        {"right", tr("Align Right")},
        {"top", tr("Align Top")},
        {"bottom", tr("Align Bottom")},
        {"hcenter", tr("Centre Horizontally")},
        {"vcenter", tr("Centre Vertically")},
        {"center", tr("Centre on Card")},
        {"grid", tr("Align to Grid")},
        {"samewidth", tr("Same Width")},
        {"sameheight", tr("Same Height")},
        {"natural", tr("Natural Size")},
    };
    int i = 0;
    for (const auto& [cmd, text] : commands) {
        auto* b = button(QStringLiteral("align_%1_btn").arg(QString::fromLatin1(cmd)), text);
        const QString command = QString::fromLatin1(cmd);
        connect(b, &QPushButton::clicked, this, [this, command] { m_host->arrangeCommand(command); });
        g->addWidget(b, i / 2, i % 2);
        ++i;
    }
    g->setRowStretch(i / 2 + 1, 1);
    return page;
}

QWidget* InspectorPanel::buildBarcodePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(new QLabel(
        tr("Symbology, value, texts and colours of the barcode are set in the barcode designer.")));
    auto* b = button(QStringLiteral("Edit_Barcode_btn"), tr("Design Barcode…"));
    v->addWidget(b);
    v->addStretch(1);
    qobject_cast<QLabel*>(v->itemAt(0)->widget())->setWordWrap(true);
    connect(b, &QPushButton::clicked, this, [this] { m_host->Open_Barcode_Window(); });
    return page;
}

QWidget* InspectorPanel::buildLockPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* text = new QLabel(tr("This item is locked. Unlock it to change it."));
    text->setWordWrap(true);
    v->addWidget(text);
    auto* b = button(QStringLiteral("Lock_Unlock_btn"), tr("Unlock"));
    v->addWidget(b);
    v->addStretch(1);
    connect(b, &QPushButton::clicked, this, [this] { m_host->Unlock_Clicked(); });
    return page;
}

// ================================================================ dispatch

int InspectorPanel::currentSide() const {
    return Card_Front_Or_Back != 0 ? 1 : 0;
}

Card_Property& InspectorPanel::currentRecord() {
    return m_host->cardProperty(currentSide());
}

void InspectorPanel::Remove_All_Tab_Items() {
    while (sett_tab->count() > 0)
        sett_tab->removeTab(0);
}

QStringList InspectorPanel::shownTabNames() const {
    QStringList out;
    for (int i = 0; i < sett_tab->count(); ++i)
        out << sett_tab->widget(i)->objectName();
    return out;
}

void InspectorPanel::insertTab(const QString& name, int index) {
    QWidget* page = m_pages.value(name);
    if (!page)
        return;
    sett_tab->insertTab(index, page, m_defaultLabels.value(name));
}

void InspectorPanel::applyPlan(const TabPlan& plan) {
    for (auto it = plan.labels.begin(); it != plan.labels.end(); ++it)
        m_defaultLabels.insert(it.key(), it.value());
    for (int i = 0; i < plan.tabs.size(); ++i)
        insertTab(plan.tabs.at(i), i);
    if (!plan.dataSourceTitle.isEmpty())
        data_source_title->setText(plan.dataSourceTitle);
    if (!plan.shapeTitle.isEmpty())
        Shape_prop_title->setText(plan.shapeTitle);
    if (plan.manualBrowseShown)
        manual_brws_box->setVisible(*plan.manualBrowseShown);
    if (!plan.selControlName.isEmpty())
        sel_control_name->setText(plan.selControlName);
    if (sett_tab->count() > 0)
        sett_tab->setCurrentIndex(0);
}

void InspectorPanel::Show_RHS_Properties(const GraphicPtr& item) {
    if (Not_Draw_Only_Prop_Change)
        return;
    try {
        m_host->selectArrowTool();
        if (!item) {
            PropertyLoadGuard guard;
            m_host->Clear_Control_Selection();
            m_host->Disable_Standard_Button_For_Card();
            m_last.reset();
            m_inItemMode = false;
            PanelSignalBlocker blocker(this);
            Remove_All_Tab_Items();
            print_object_chk->setVisible(false);
            applyPlan(tabPlanForCard());
            loadCard();
            sett_tab->update();
            return;
        }

        // Button states on every call.
        m_host->Enable_Standard_Button_For_Control();
        if (item->ctrl_is_locked) {
            m_host->Disable_Standard_Button_For_Lock();
        } else {
            m_host->Enable_Standard_Button_For_Unlock();
            if (item->control_ID == QLatin1String("PARTY_IMAGE"))
                m_host->setOrderAndLockButtonsEnabled(false);
        }
        const bool framePicture =
            item->kind() == GraphicKind::Image && m_host->There_Is_Frame_Pic_Or_Frame_Photo();
        if (item->kind() == GraphicKind::Image)
            m_host->setOrderAndLockButtonsEnabled(!framePicture);

        if (m_inItemMode && m_last.lock() == item)
            return;

        m_last = item;
        m_inItemMode = true;
        PropertyLoadGuard guard;
        PanelSignalBlocker blocker(this);
        Remove_All_Tab_Items();
        print_object_chk->setVisible(true);
        print_object_chk->setChecked(item->print_object != 0);
        // the flag goes to unlocked items only, so a locked item's box cannot be changed
        print_object_chk->setEnabled(!item->ctrl_is_locked);
        sel_control_name->setText(QStringLiteral("NONE"));

        const TabPlan plan = tabPlanForItem(*item);
        if (item->kind() == GraphicKind::Shape) {
            for (QWidget* w : std::initializer_list<QWidget*>{
                     shape_cor_radius_Label, shape_cor_radius_Stepper, double_star_Label, double_star_Stepper,
                     polygon_Label, polygon_Stepper})
                w->setVisible(false);
            shape_cor_radius_Label->setVisible(plan.cornerRadiusShown);
            shape_cor_radius_Stepper->setVisible(plan.cornerRadiusShown);
            double_star_Label->setVisible(plan.doubleStarShown);
            double_star_Stepper->setVisible(plan.doubleStarShown);
            polygon_Label->setVisible(plan.polygonShown);
            polygon_Stepper->setVisible(plan.polygonShown);
        }
        if (item->kind() == GraphicKind::Text) {
            insert_template_btn->setVisible(plan.insertTemplateShown);
            if (plan.insertTemplateShown)
                insert_template_btn->setText(plan.insertTemplateTitle);
        }
        if (item->kind() == GraphicKind::Image) {
            Image_Edit_Prop_Box->setVisible(!framePicture);
            manual_lib_brws_btn->setVisible(!framePicture);
        }
        applyPlan(plan);

        switch (item->kind()) {
        case GraphicKind::Text:
            loadText(*item);
            break;
        case GraphicKind::Image:
            loadImage(*item);
            break;
        case GraphicKind::Line:
            loadLine(*item);
            break;
        case GraphicKind::Signature:
            loadSign(*item);
            break;
        case GraphicKind::Barcode:
            break;
        case GraphicKind::Shape:
            loadShape(*item);
            break;
        }
        sett_tab->update();
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void InspectorPanel::reloadInspected() {
    // Undo and redo change items under the panels: show their values again.
    if (!m_inItemMode || Not_Draw_Only_Prop_Change)
        return;
    if (const GraphicPtr g = m_last.lock()) {
        m_inItemMode = false;
        const int tab = sett_tab->currentIndex();
        Show_RHS_Properties(g);
        if (tab >= 0 && tab < sett_tab->count())
            sett_tab->setCurrentIndex(tab);
    }
    m_host->Refresh_Canvas();
}

// ================================================================ loading

void InspectorPanel::setDashSelection(QComboBox* combo, const QString& code) {
    const int index = dashIndexForCode(code);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

void InspectorPanel::setHatchSelection(QComboBox* combo, const QString& name) {
    if (name.isEmpty()) {
        combo->setCurrentIndex(-1);
        return;
    }
    int index = combo->findText(name);
    if (index < 0) {
        // a design may name a pattern this machine lacks: keep the name so it is not lost on write-back
        combo->addItem(name);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

void InspectorPanel::refreshHatchLists() {
    const QStringList names = hatchNames();
    for (QComboBox* c : {Card_hatch_style, shape_hatch_style}) {
        if (c->count() > 0 || names.isEmpty())
            continue;
        const QSignalBlocker block(c);
        c->addItems(names);
        c->setCurrentIndex(-1);
    }
}

void InspectorPanel::loadCard() {
    refreshHatchLists();
    Card_Property& p = currentRecord();
    Card_border_chk->setChecked(p.Card_border_chk == 1);
    Card_bordr_clr->setColor(p.Card_bordr_clr);
    Card_bor_Stepper->setValue(p.Card_bor_Stepper);
    setDashSelection(Card_border_style, p.Card_border_style);
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
    All_Text_font = p.Card_Content_font;
    All_Text_font_value->setText(fontLabel(All_Text_font));
    All_Text_font_value_COPY->setText(fontLabel(All_Text_font));
    All_Text_font_COPY = All_Text_font;
    All_Text_clr_COPY->setColor(All_Text_clr->color());
    m_contentFontPicked = false;
    if (QAbstractButton* b = cardShapeGroup->button(Card_Shape))
        b->setChecked(true);
    card_name->setText(p.Card_Name);
    Sides_ComboBox->setCurrentIndex(p.Card_Side == QLatin1String("1") ? 1 : 0);

    const QRectF front = m_host->frontCanvasBounds();
    for (Card_Property* side : {&m_host->cardProperty(0), &m_host->cardProperty(1)}) {
        side->Card_Location = front.topLeft();
        side->Card_Size = front.size();
    }
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
}

void InspectorPanel::card_prop_set(const QString& fillStyle) {
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
    SetObjEnabled(Card_Border_Box, Card_border_chk->isChecked());
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
    sett_tab->update();
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

void InspectorPanel::setTextFillEnabling(bool gradient) {
    Text_fill_clr->setEnabled(!gradient);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Text_fill_Grd_1_clr, Text_fill_Grd_2_clr, Text_grad_Stepper})
        w->setEnabled(gradient);
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

void InspectorPanel::loadSign(const SKTGraphic& g) {
    loadDataSource(g);
    Sign_image_path->setText(g._file_path);
    Sign_border_chk->setChecked(g._isDrawingStroke);
    Sign_bor_Stepper->setValue(truncatedWidth(g._strokeWidth));
    Sign_bordr_clr->setColor(g._strokeColor);
    setDashSelection(Sign_border_style, g._stroke_border_type);
    SetObjEnabled(Sign_Border_Box, Sign_border_chk->isChecked());
    m_browsedSignPath.reset();
}

void InspectorPanel::loadImage(const SKTGraphic& g) {
    Manual_image_path->setText(g._file_path);
    loadDataSource(g);
    Image_border_chk->setChecked(g._isDrawingStroke);
    Image_bor_Stepper->setValue(truncatedWidth(g._strokeWidth));
    Image_bordr_clr->setColor(g._strokeColor);
    setDashSelection(Image_border_style, g._stroke_border_type);
    SetObjEnabled(Image_Border_Box, Image_border_chk->isChecked());
    setSliderValue(Rotate_slidr, g.rotate_image);
    setSliderValue(Trsp_slidr, g.img_trnsp_val);
    setSliderValue(Hue_slidr, g.hue_val);
    setSliderValue(Sat_slidr, g.sat_val);
    setSliderValue(Brt_slidr, g.brt_val);
    setSliderValue(Con_slidr, g.con_val);
    setSliderValue(shrp_slidr, g.srp_val);
    setSliderValue(ev_slidr, g.ev_val);
    setSliderValue(blr_slidr, g.blr_val);
    Image_Gray_Scale_chk->setChecked(g.gray_Scale);
    Image_Sepia_chk->setChecked(g.Sepia);
    Image_Invert_chk->setChecked(g.invert_clr);
    Image_FIV_chk->setChecked(g._isFlippedVertically);
    Image_FIH_chk->setChecked(g._isFlippedHorizontally);
    m_browsedImagePath.reset();
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

void InspectorPanel::fillSeriesCombo() {
    const QSignalBlocker block(Batch_Series);
    Batch_Series->clear();
    Batch_Series->addItems(Get_datasheet_File_Name_Array());
    Batch_Series->setCurrentIndex(-1);
}

void InspectorPanel::Fill_Excel_Col_Name_In_Combo(QComboBox* combo) {
    if (!combo)
        return;
    try {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(-1);
        combo->clear();
        combo->addItems(excelColumnTitles());
        combo->setCurrentIndex(-1);
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void InspectorPanel::offerExcelChoice(const SKTGraphic* item) {
    if (!Data_source_type)
        return;
    const Data_From_Excel* table = Data_From_Excel::defaultInstance();
    const bool offer = (table && table->rowCountOfTable() > 0) || (item && item->data_source_type == 2);
    const QSignalBlocker block(Data_source_type);
    if (offer)
        Add_Excel_Col_Name_In_Combo(Data_source_type);
    else
        Remove_Excel_Col_Name_In_Combo(Data_source_type);
}

void InspectorPanel::View_batch_Series_Button() {
    try {
        const int type = Data_source_type->currentIndex();
        if (type <= 0)
            return;
        if (type == 1) {
            const QString name = Trim_Str(Batch_Series->currentText());
            if (name.isEmpty()) {
                Show_MessageBox(QStringLiteral("Please select the series."));
                return;
            }
            View_Data_Series* viewer = View_Data_Series::defaultInstance();
            viewer->file_name = name;
            viewer->Open_Wnd();
            return;
        }
        Data_From_Excel_Dialog::defaultInstance()->Open_Wnd();
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void InspectorPanel::Data_Source_Help_Button() {
    Long_SMS_Dlg* dlg = Long_SMS_Dlg::defaultInstance();
    Cutom_Msg_Title = dataSourceHelpTitle();
    Cutom_Msg_Val = dataSourceHelpText();
    dlg->Open_Long_sms_Dialog();
}

void InspectorPanel::loadDataSource(const SKTGraphic& g) {
    offerExcelChoice(&g);
    const int type = indexOrCurrent(g.data_source_type, Data_source_type->count(), 0);
    Data_source_type->setCurrentIndex(type);
    Batch_Series->setEnabled(type != 0);
    if (type == 2) {
        Fill_Excel_Col_Name_In_Combo(Batch_Series);
        Batch_Series->setCurrentIndex(indexOrCurrent(g.excel_col_indx, Batch_Series->count(), -1));
        return;
    }
    if (Batch_Series->count() == 0 || type == 1)
        fillSeriesCombo();
    if (!g.batch_list_name.isEmpty()) {
        Batch_Series->setCurrentIndex(-1);
        // -1 when the series is gone: the selection is cleared rather than pointing at another series
        Batch_Series->setCurrentIndex(Batch_Series->findText(g.batch_list_name));
    }
}

// ================================================================ write-back

template <class F> void InspectorPanel::writeSelection(F&& apply) {
    if (Not_Draw_Only_Prop_Change)
        return;
    GraphicList selection = m_host->selectedGraphics();
    selection.removeAll(nullptr);
    // Locked items keep their properties while unlocked ones are edited with them; a selection of locked
    // items only (the lock page with its print flag) is written as it is.
    const bool anyUnlocked = std::any_of(selection.cbegin(), selection.cend(),
                                         [](const GraphicPtr& g) { return !g->ctrl_is_locked; });
    if (anyUnlocked)
        selection.removeIf([](const GraphicPtr& g) { return g->ctrl_is_locked; });
    if (selection.isEmpty())
        return;
    GraphicList before;
    for (const GraphicPtr& g : selection)
        before << (g ? copyOfItem(*g) : nullptr);
    for (const GraphicPtr& g : selection) {
        if (!g)
            continue;
        apply(*g, selection.size());
        m_host->startEditingGraphic(g);
    }
    recordItemEdit(selection, before);
    m_host->Refresh_Canvas();
}

void InspectorPanel::recordItemEdit(const GraphicList& items, const GraphicList& before, bool binding) {
    // An edit that changed nothing is no undo step.
    bool changed = false;
    for (qsizetype i = 0; i < items.size() && !changed; ++i)
        changed = items.at(i) && before.value(i) && !sameItemState(*items.at(i), *before.value(i));
    if (!changed)
        return;
    // Steps of one stepper, slider or text field (a drag, typing) merge; each click is a step of its own.
    const QObject* control = sender();
    const bool continuous = qobject_cast<const QAbstractSpinBox*>(control) || qobject_cast<const QSlider*>(control) ||
                            qobject_cast<const QPlainTextEdit*>(control) || qobject_cast<const QLineEdit*>(control);
    const QString key = continuous ? control->objectName() : QString();
    const QPointer<InspectorPanel> self(this);
    InspectorHost* host = m_host;
    m_host->pushUndoCommand(new PropertyEditCommand(items, before, key, [self, host, items, binding] {
        if (!self)
            return;
        // A binding changes the main photo with its item's path: undo and redo take it along.
        for (const GraphicPtr& g : binding ? items : GraphicList())
            if (g && g->kind() == GraphicKind::Image && g->control_ID == QLatin1String("PARTY_IMAGE") &&
                !g->_file_path.isEmpty() && g->_file_path != Invite_Frame_Pic_IMG)
                host->Update_frame_Main_Photo_And_Path(g->_file_path, true);
        self->reloadInspected();
    }));
}

StrokePanel InspectorPanel::strokeValues(QCheckBox* chk, ColorWell* clr, QSpinBox* width,
                                         QComboBox* style) const {
    StrokePanel s;
    s.on = chk ? chk->isChecked() : true;
    s.color = clr->color();
    s.width = width->value();
    s.dashIndex = style->currentIndex();
    return s;
}

void InspectorPanel::Update_Shape_Graphics() {
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
    writeSelection([&](SKTGraphic& g, qsizetype) { applyShapePanel(g, v); });
}

void InspectorPanel::Update_Line_Graphics() {
    LinePanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.color = Line_clr->color();
    v.width = Line_Wdt_Stepper->value();
    v.dashIndex = Line_border_style->currentIndex();
    v.capIndex = Line_cap_style->currentIndex();
    v.oriIndex = Line_ori_style->currentIndex();
    v.alphaPercent = Line_alpha_Stepper->value();
    writeSelection([&](SKTGraphic& g, qsizetype) { applyLinePanel(g, v); });
}

void InspectorPanel::Update_Text_Graphics() {
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
    const QString text = Text_value_Edit->toPlainText();
    writeSelection([&](SKTGraphic& g, qsizetype count) {
        TextPanelValues mine = v;
        if (count == 1)
            mine.text = text;
        applyTextPanel(g, mine);
    });
}

void InspectorPanel::Update_Image_Graphics() {
    ImagePanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.stroke = strokeValues(Image_border_chk, Image_bordr_clr, Image_bor_Stepper, Image_border_style);
    v.flipH = Image_FIH_chk->isChecked();
    v.flipV = Image_FIV_chk->isChecked();
    v.invert = Image_Invert_chk->isChecked();
    v.grayScale = Image_Gray_Scale_chk->isChecked();
    v.sepia = Image_Sepia_chk->isChecked();
    v.transparency = sliderValue(Trsp_slidr);
    v.rotation = sliderValue(Rotate_slidr);
    v.hue = sliderValue(Hue_slidr);
    v.saturation = sliderValue(Sat_slidr);
    v.brightness = sliderValue(Brt_slidr);
    v.contrast = sliderValue(Con_slidr);
    v.sharpness = sliderValue(shrp_slidr);
    v.exposure = sliderValue(ev_slidr);
    v.blur = sliderValue(blr_slidr);
    const std::optional<QString> browsed = m_browsedImagePath;
    m_browsedImagePath.reset();
    const QString shown = Manual_image_path->text();
    writeSelection([&](SKTGraphic& g, qsizetype count) {
        ImagePanelValues mine = v;
        if (browsed)
            mine.path = browsed;
        else if (count == 1)
            mine.path = shown;
        applyImagePanel(g, mine);
    });
}

void InspectorPanel::Update_Sign_Graphics() {
    SignPanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.stroke = strokeValues(Sign_border_chk, Sign_bordr_clr, Sign_bor_Stepper, Sign_border_style);
    const std::optional<QString> browsed = m_browsedSignPath;
    m_browsedSignPath.reset();
    const QString shown = Sign_image_path->text();
    writeSelection([&](SKTGraphic& g, qsizetype count) {
        SignPanelValues mine = v;
        if (browsed)
            mine.path = browsed;
        else if (count == 1)
            mine.path = shown;
        applySignPanel(g, mine);
    });
}

void InspectorPanel::updatePrintObject() {
    if (Not_Draw_Only_Prop_Change || !m_last.lock())
        return;
    m_host->Print_object_chk_changed(print_object_chk->isChecked() ? 1 : 0);
}

// ---------------------------------------------------------------- combo boxes

void InspectorPanel::comboBoxSelectionDidChange(QComboBox* sender) {
    if (!sender)
        return;
    if (sender == Card_border_style || sender == Card_hatch_style || sender == Card_image_layout ||
        sender == Sides_ComboBox)
        Update_Card_Graphics();
    else if (sender == Preset_ComboBox) {
        const int rowIndex = ColList->currentRow();
        if (rowIndex >= 0 && !ColList->selectedItems().isEmpty())
            Card_Size_Row_Chosen(rowIndex);
        else
            Update_Card_Graphics();
    } else if (sender == Category_ComboBox) {
        if (Not_Draw_Only_Prop_Change)
            return;
        Fill_Card_Size_List();
        Update_Card_Graphics();
    } else if (sender == Line_border_style || sender == Line_cap_style || sender == Line_ori_style)
        Update_Line_Graphics();
    else if (sender == Text_border_style || sender == Text_align_combo || sender == Text_vert_align_combo ||
             sender == Text_case_combo)
        Update_Text_Graphics();
    else if (sender == shape_border_style || sender == shape_hatch_style)
        Update_Shape_Graphics();
    else if (sender == Image_border_style)
        Update_Image_Graphics();
    else if (sender == Sign_border_style)
        Update_Sign_Graphics();
    else if (sender == Data_source_type)
        dataSourceTypeChosen();
    else if (sender == Batch_Series)
        batchSeriesChosen();
}

void InspectorPanel::dataSourceTypeChosen() {
    if (Not_Draw_Only_Prop_Change)
        return;
    const GraphicPtr item = m_last.lock();
    if (!item)
        return;
    const GraphicList before{copyOfItem(*item)};
    const auto record = qScopeGuard([&] { recordItemEdit({item}, before, true); });
    const int type = Data_source_type->currentIndex();
    if (type <= 0) {
        Batch_Series->setEnabled(false);
        item->Set_Data_source_type(0);
        m_host->Refresh_Canvas();
        return;
    }
    Batch_Series->setEnabled(true);
    if (type == 1) {
        fillSeriesCombo();
        if (Batch_Series->count() == 0) {
            Show_MessageBox(QStringLiteral("Please create batch processing series first."));
            return;
        }
        item->Set_Data_source_type(1);
        if (!item->batch_list_name.isEmpty())
            Batch_Series->setCurrentIndex(Batch_Series->findText(item->batch_list_name));
    } else {
        if (Data_From_Excel::defaultInstance()->rowCountOfTable() == 0 && item->data_source_type != 2) {
            // Never bound to a table that is not there.
            const QSignalBlocker block(Data_source_type);
            Data_source_type->setCurrentIndex(qBound(0, item->data_source_type, 1));
            offerExcelChoice(item.get());
            return;
        }
        Fill_Excel_Col_Name_In_Combo(Batch_Series);
        item->Set_Data_source_type(2);
        Batch_Series->setCurrentIndex(indexOrCurrent(item->excel_col_indx, Batch_Series->count(), -1));
    }
    m_host->Refresh_Canvas();
}

void InspectorPanel::batchSeriesChosen() {
    if (Not_Draw_Only_Prop_Change)
        return;
    const GraphicPtr item = m_last.lock();
    const int index = Batch_Series->currentIndex();
    const QString text = Trim_Str(Batch_Series->currentText());
    if (!item || index < 0 || text.isEmpty())
        return;
    const GraphicList before{copyOfItem(*item)};
    QString value;
    if (Data_source_type->currentIndex() == 2)
        value = bindItemToColumn(*item, index).value_or(QString());
    else
        value = bindItemToSeries(*item, text, index);
    applyBoundValue(item, value);
    recordItemEdit({item}, before, true);
    m_host->Refresh_Canvas();
}

void InspectorPanel::applyBoundValue(const GraphicPtr& item, const QString& value) {
    if (item->kind() == GraphicKind::Text) {
        static_cast<SKTText&>(*item).setText(value);
        const QSignalBlocker block(Text_value_Edit);
        Text_value_Edit->setPlainText(item->_Text_contents);
    } else if (item->kind() == GraphicKind::Image) {
        // Only the main photo's own item changes the main photo.
        if (item->control_ID == QLatin1String("PARTY_IMAGE"))
            m_host->Update_frame_Main_Photo_And_Path(value, true);
        setItemFilePath(*item, value);
        Manual_image_path->setText(value);
    }
}

// ================================================================ text actions

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

// ================================================================ shape actions

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

// ================================================================ picture and signature actions

int InspectorPanel::Open_Image_Library_Window(const QString& mode) {
    const std::optional<QString> chosen = chooseLibraryPicture ? chooseLibraryPicture(mode) : std::nullopt;
    if (!chosen)
        return 0;
    lib_window_sel_file = *chosen;
    return 1;
}

bool InspectorPanel::Browse_User_Image_Manually() {
    const QString path = chooseFile ? chooseFile(tr("Choose a picture"), pictureExtensions()) : QString();
    if (path.isEmpty()) {
        Library_Selected_Image.clear();
        return false;
    }
    if (!hasPictureExtension(path, pictureExtensions())) {
        Library_Selected_Image.clear();
        Show_MessageBox(QStringLiteral("Please select valid file path."));
        return false;
    }
    Library_Selected_Image = path;
    Manual_image_path->setText(path);
    return true;
}

void InspectorPanel::Manual_Image_Browse_Btn() {
    if (!Browse_User_Image_Manually())
        return;
    const QString path = Library_Selected_Image;
    const GraphicPtr current = m_host->currentGraphic();
    if (current && current->control_ID == QLatin1String("PARTY_IMAGE"))
        m_host->Update_frame_Main_Photo_And_Path(path, true);
    if (current)
        setItemFilePath(*current, path);
    m_browsedImagePath = path;
    Update_Image_Graphics();
}

void InspectorPanel::Manual_Library_Browse_Btn() {
    if (Open_Image_Library_Window(QStringLiteral("C")) != 1)
        return;
    Library_Selected_Image = lib_window_sel_file;
    Manual_image_path->setText(Library_Selected_Image);
    if (const GraphicPtr current = m_host->currentGraphic())
        setItemFilePath(*current, Library_Selected_Image);
    m_browsedImagePath = Library_Selected_Image;
    Update_Image_Graphics();
}

void InspectorPanel::Reset_Image_Editing_Controls() {
    const ImagePanelValues v = resetImageValues();
    const QSignalBlocker b1(Rotate_slidr), b2(Trsp_slidr), b3(Hue_slidr), b4(Sat_slidr), b5(Brt_slidr),
        b6(Con_slidr), b7(shrp_slidr), b8(ev_slidr), b9(blr_slidr), c1(Image_Gray_Scale_chk),
        c2(Image_Sepia_chk), c3(Image_Invert_chk), c4(Image_FIV_chk), c5(Image_FIH_chk);
    setSliderValue(Rotate_slidr, v.rotation);
    setSliderValue(Trsp_slidr, v.transparency);
    setSliderValue(Hue_slidr, v.hue);
    setSliderValue(Sat_slidr, v.saturation);
    setSliderValue(Brt_slidr, v.brightness);
    setSliderValue(Con_slidr, v.contrast);
    setSliderValue(shrp_slidr, v.sharpness);
    setSliderValue(ev_slidr, v.exposure);
    setSliderValue(blr_slidr, v.blur);
    Image_Gray_Scale_chk->setChecked(v.grayScale);
    Image_Sepia_chk->setChecked(v.sepia);
    Image_Invert_chk->setChecked(v.invert);
    Image_FIV_chk->setChecked(v.flipV);
    Image_FIH_chk->setChecked(v.flipH);
}

void InspectorPanel::Image_reset_Button() {
    if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to continue?")))
        return;
    Reset_Image_Editing_Controls();
    Update_Image_Graphics();
}

void InspectorPanel::Image_Border_ChkBox() {
    SetObjEnabled(Image_Border_Box, Image_border_chk->isChecked());
    Update_Image_Graphics();
}

void InspectorPanel::Sign_Browse_Btn() {
    static const QStringList png = {QStringLiteral("png")};
    const QString path = chooseFile ? chooseFile(tr("Choose a signature picture"), png) : QString();
    if (path.isEmpty())
        return;
    if (!hasPictureExtension(path, png)) {
        Show_MessageBox(QStringLiteral("Please select valid file path."));
        return;
    }
    Sign_image_path->setText(path);
    m_browsedSignPath = path;
    Update_Sign_Graphics();
}

void InspectorPanel::Sign_Border_ChkBox() {
    SetObjEnabled(Sign_Border_Box, Sign_border_chk->isChecked());
    Update_Sign_Graphics();
}

// ================================================================ card side

CardPanelValues InspectorPanel::cardValues() const {
    CardPanelValues v;
    v.borderOn = Card_border_chk->isChecked();
    v.borderColor = Card_bordr_clr->color();
    v.borderWidth = Card_bor_Stepper->value();
    v.borderDashIndex = Card_border_style->currentIndex();
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
    writeCardRecord(record, cardValues(), currentSide() == 1);
    // Size, shape and the number of sides belong to the card, not to one side.
    Card_Property& other = m_host->cardProperty(1 - currentSide());
    other.Card_Location = record.Card_Location;
    other.Card_Size = record.Card_Size;
    other.Card_Shape = record.Card_Shape;
    other.Card_Side = record.Card_Side;
    // and so does the size's name in the list, so that either side's panel marks the size the card has
    other.Card_Preset = record.Card_Preset;
    other.Card_Category = record.Card_Category;
    other.Card_Sub_Category = record.Card_Sub_Category;
    other.Card_Cat_index = record.Card_Cat_index;
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

void InspectorPanel::set_Front_BG_Image(const QString& path) {
    Card_Image_path->setText(path);
    if (path.isEmpty())
        return;
    const CardEditScope scope(m_host, tr("Card Background"));
    // The shared frame helper: the record takes the picture, the "PARTY_IMAGE_BG" item shows it.
    QString error;
    const GraphicPtr background =
        setFrontFramePicture(m_host->cardProperty(0), m_host->frontGraphicsArray(), path, &error);
    if (!background) {
        Show_MessageBox(QStringLiteral("The frame picture could not be opened.\n") + error);
        return;
    }
    m_host->frontGraphicsChanged();
    m_host->setFrontCurrentGraphic(background);
    m_host->Show_RHS_Properties(nullptr);
}

void InspectorPanel::set_Back_BG_Image(const QString& path) {
    Card_Image_path->setText(path);
    if (path.isEmpty())
        return;
    const CardEditScope scope(m_host, tr("Card Background"));
    QString why;
    const QImage picture = SKTImage::loadPicture(path, &why);
    if (picture.isNull()) {
        Show_MessageBox(QStringLiteral("The frame picture could not be opened.\n") + path + QLatin1Char('\n') + why);
        return;
    }
    Card_Property& p = m_host->cardProperty(1);
    p.Card_BG_Image = picture;
    p.Card_fill_chk = 1;
    p.Card_BG_Image_Path = path;
    p.Card_fill_style = QStringLiteral("I");
    m_host->Show_RHS_Properties(nullptr);
}

void InspectorPanel::Card_Bckgrnd_Clicked() {
    m_host->Show_RHS_Properties(nullptr);
    if (Open_Image_Library_Window(QStringLiteral("B")) != 1)
        return;
    const CardEditScope scope(m_host, tr("Card Background"));
    {
        const QSignalBlocker block(Card_fill_chk);
        Card_fill_chk->setChecked(true);
    }
    if (currentSide() == 1)
        set_Back_BG_Image(lib_window_sel_file);
    else
        set_Front_BG_Image(lib_window_sel_file);
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

void InspectorPanel::Apply_Size_Clicked() {
    const std::optional<QSizeF> size =
        cardsize::customSizeInPoints(width_Stepper->value(), height_Stepper->value());
    if (!size) {
        Show_MessageBox(tr("Please enter a width and a height between %1 and %2 mm.")
                            .arg(cardsize::MinCustomMillimetres)
                            .arg(cardsize::MaxCustomMillimetres));
        return;
    }
    const CardEditScope scope(m_host, tr("Card Size"), QStringLiteral("Card_Size"));
    m_host->setDocumentCanvasSize(*size);
    Update_All_Card_Content();
}

void InspectorPanel::card_shape_CellClick(int row) {
    if (row < 0 || row > 2)
        return;
    const CardEditScope scope(m_host, tr("Card Shape"));
    Card_Shape = row;
    Apply_Size_Clicked();
    m_host->Refresh_Canvas();
}

// ---------------------------------------------------------------- content font and colour

void InspectorPanel::Update_All_Card_Content() {
    const CardEditScope scope(m_host, tr("Card Settings"));
    ContentChange change;
    change.color = All_Text_clr->color();
    change.colorChanged = change.color != All_Text_clr_COPY->color();
    change.font = All_Text_font;
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
    All_Text_font = font;
    All_Text_font_value->setText(fontLabel(All_Text_font));
    m_contentFontPicked = true;
    Update_All_Card_Content();
}

void InspectorPanel::Contect_Color_Clicked() {
    Update_All_Card_Content();
}
