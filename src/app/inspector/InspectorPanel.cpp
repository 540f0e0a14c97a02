// The inspector panel: its construction, the dispatch that shows the pages for the card side or an item,
// the controls shared by every item (print flag, alignment and lock pages) and the undo of item edits.
// Each page's controls, loading and write-back are in the Inspector*Page sources beside it.

#include "app/inspector/InspectorPanel.h"

#include "app/inspector/ColorWell.h"
#include "app/inspector/Image_Library.h"
#include "app/inspector/InspectorPanelParts.h"
#include "common/Prompt.h"
#include "common/ui/AppStyle.h"
#include "common/ui/FontPicking.h"
#include "common/ui/UiHelpers.h"
#include "common/ui/WheelFocusGuard.h"
#include "wizards/InvitationState.h"
#include "wizards/ui/Insert_Template.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QPointer>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>
#include <exception>

using namespace inspector;
using namespace inspector::parts;

namespace {

QString sliderText(double value, double scale) {
    return scale <= 1.0 ? QString::number(std::lround(value)) : QString::number(value, 'f', 2);
}

// Runs a step when the watched widget is first shown, then goes.
class OnFirstShow : public QObject {
public:
    OnFirstShow(QWidget* watched, std::function<void()> step) : QObject(watched), m_step(std::move(step)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && m_step) {
            const std::function<void()> step = std::move(m_step);
            m_step = nullptr;
            deleteLater();
            step();
        }
        return false;
    }

private:
    std::function<void()> m_step;
};

} // namespace

InspectorPanel::InspectorPanel(InspectorHost* host, QWidget* parent, const QStringList& firstTabs,
                               BackgroundPage background)
    : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("InspectorPanel"));
    chooseFile = [this](const QString& caption, const QStringList& extensions) {
        QStringList patterns;
        for (const QString& e : extensions)
            patterns << QStringLiteral("*.%1").arg(e) << QStringLiteral("*.%1").arg(e.toUpper());
        return rememberDialogPath(QFileDialog::getOpenFileName(
            this, caption, dialogStartPath(), tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' ')))));
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
    AppStyle::makeCompact(sett_tab->tabBar());
    layout->addWidget(print_object_chk);
    layout->addWidget(sel_control_name);
    layout->addWidget(sett_tab, 1);
    connect(print_object_chk, &QCheckBox::toggled, this, [this] { updatePrintObject(); });

    buildCardPages();
    if (background == BackgroundPage::WithPanel) {
        m_backgroundBuilt = true;
        setPageContent(static_cast<QScrollArea*>(m_pages.value(QStringLiteral("card_bkgd_tab"))),
                       buildCardBackgroundPage());
    }

    // The card pages stay; the item pages wait for an item.
    for (const QString& name : firstTabs.isEmpty() ? allTabNames().mid(0, CardTabCount) : firstTabs)
        insertTab(name, sett_tab->count());
    print_object_chk->setVisible(false);
    card_prop_set(QStringLiteral("S"));
}

InspectorPanel::~InspectorPanel() = default;

QScrollArea* InspectorPanel::addPage(const QString& name, QWidget* content) {
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(name);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Pages not in the tab view still belong to the panel.
    scroll->hide();
    m_pages.insert(name, scroll);
    if (content)
        setPageContent(scroll, content);
    return scroll;
}

void InspectorPanel::setPageContent(QScrollArea* scroll, QWidget* content) {
    // A scroll area measures every control of its page when it takes it, which a page not yet shown does
    // not need: the page goes in when the area first shows.
    if (scroll->isVisible()) {
        scroll->setWidget(content);
    } else {
        content->setParent(scroll->viewport());
        content->hide();
        new OnFirstShow(scroll, [scroll, page = QPointer<QWidget>(content)] {
            if (page)
                scroll->setWidget(page);
        });
    }
    const auto combos = content->findChildren<QComboBox*>();
    for (QComboBox* c : combos)
        connect(c, &QComboBox::currentIndexChanged, this, [this, c] { comboBoxSelectionDidChange(c); });
    // Scrolling the panel past a control leaves its value alone.
    guardWheelByFocus(content);
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

void InspectorPanel::buildCardPages() {
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
    addPage(QStringLiteral("card_setting_tab"), buildCardSettingPage());
    // Its controls come with the panel or later (ensureBackgroundPage); showing the page builds them.
    QScrollArea* background = addPage(QStringLiteral("card_bkgd_tab"), nullptr);
    new OnFirstShow(background, [this] { ensureBackgroundPage(); });
    // Their controls live on the two card pages above; the pages stay for the tab order. A line of text
    // needs no scroll area.
    for (const QString& name : {QStringLiteral("card_info_tab"), QStringLiteral("card_size_tab"),
                                QStringLiteral("card_brdr_tab")}) {
        auto* w = new QWidget(this);
        w->setObjectName(name);
        w->hide();
        auto* l = new QVBoxLayout(w);
        l->addWidget(new QLabel(tr("These settings are on the Card page.")));
        l->addStretch(1);
        m_pages.insert(name, w);
    }
}

void InspectorPanel::ensureItemPages() {
    if (m_itemPagesBuilt)
        return;
    m_itemPagesBuilt = true;
    addPage(QStringLiteral("line_tab"), buildLinePage());
    addPage(QStringLiteral("shape_tab"), buildShapePage());
    addPage(QStringLiteral("text_edtng_tab"), buildTextEditingPage());
    addPage(QStringLiteral("text_prop_tab"), buildTextPropertiesPage());
    addPage(QStringLiteral("image_tab"), buildImagePage());
    addPage(QStringLiteral("sign_tab"), buildSignPage());
    addPage(QStringLiteral("datasource_tab"), buildDataSourcePage());
    addPage(QStringLiteral("aligmnt_tab"), buildAlignmentPage());
    addPage(QStringLiteral("barcode_tab"), buildBarcodePage());
    addPage(QStringLiteral("Lock_tab"), buildLockPage());
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
    // Tabs the plan keeps stay where they are, and so does the page shown: taking it away would show, and
    // lay out, each page after it in turn. Tabs already in the plan's order only take its labels.
    for (int i = sett_tab->count() - 1; i >= 0; --i)
        if (!plan.tabs.contains(sett_tab->widget(i)->objectName()))
            sett_tab->removeTab(i);
    const bool shown = shownTabNames() == plan.tabs;
    if (!shown)
        Remove_All_Tab_Items();
    for (int i = 0; i < plan.tabs.size(); ++i) {
        if (shown) {
            const QString label = m_defaultLabels.value(plan.tabs.at(i));
            if (sett_tab->tabText(i) != label)
                sett_tab->setTabText(i, label);
        }
        else
            insertTab(plan.tabs.at(i), i);
    }
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
        if (item)
            ensureItemPages();
        m_host->selectArrowTool();
        if (!item) {
            PropertyLoadGuard guard;
            m_host->Clear_Control_Selection();
            m_host->Disable_Standard_Button_For_Card();
            m_last.reset();
            m_inItemMode = false;
            PanelSignalBlocker blocker(this);
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
        rememberPanelsShown();
        sett_tab->update();
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void InspectorPanel::rememberPanelsShown() {
    m_shown.shape = shapeValues();
    m_shown.line = lineValues();
    m_shown.text = textValues();
    m_shown.textContents = Text_value_Edit->toPlainText();
    m_shown.image = imageValues();
    m_shown.imagePath = Manual_image_path->text();
    m_shown.sign = signValues();
    m_shown.signPath = Sign_image_path->text();
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
    // The folder is listed only for an empty list.
    std::optional<QStringList> names;
    for (QComboBox* c : {Card_hatch_style, shape_hatch_style}) {
        if (!c || c->count() > 0)
            continue;
        if (!names)
            names = hatchNames();
        if (names->isEmpty())
            continue;
        const QSignalBlocker block(c);
        c->addItems(*names);
        c->setCurrentIndex(-1);
    }
}

GraphicList InspectorPanel::writtenSelection() const {
    GraphicList selection = m_host->selectedGraphics();
    selection.removeAll(nullptr);
    // Locked items keep their properties while unlocked ones are edited with them; a selection of locked
    // items only (the lock page with its print flag) is written as it is.
    const bool anyUnlocked = std::any_of(selection.cbegin(), selection.cend(),
                                         [](const GraphicPtr& g) { return !g->ctrl_is_locked; });
    if (anyUnlocked)
        selection.removeIf([](const GraphicPtr& g) { return g->ctrl_is_locked; });
    return selection;
}

void InspectorPanel::recordItemEdit(const GraphicList& items, const GraphicList& before) {
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
    m_host->pushUndoCommand(new PropertyEditCommand(items, before, key, [self] {
        if (self)
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

void InspectorPanel::updatePrintObject() {
    if (Not_Draw_Only_Prop_Change || !m_last.lock())
        return;
    m_host->Print_object_chk_changed(print_object_chk->isChecked() ? 1 : 0);
}

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
