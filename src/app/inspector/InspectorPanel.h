#pragma once

// The inspector: the tab view sett_tab with the card, line, shape, text, picture, signature, data-source,
// alignment, barcode and lock pages, the dispatcher that picks the pages for the card side or an item,
// the loading of values and the write-back of every page into the selected items or the side's settings.
// Controls carry their outlet names as object names. Decisions and conversions live in InspectorLogic;
// each page's construction, loading and write-back live in its own Inspector*Page source.

#include "app/inspector/InspectorLogic.h"
#include "canvas/SKTGraphic.h"

#include <QFont>
#include <QHash>
#include <QWidget>

#include <functional>
#include <optional>

class ColorWell;
class InspectorHost;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTableWidget;

class InspectorPanel : public QWidget {
    Q_OBJECT
public:
    // When the card's Background page, which is not shown at first, is built: with the panel, or when it is
    // first shown or needed (ensureBackgroundPage), so that a window can show itself without it.
    enum class BackgroundPage { WithPanel, OnDemand };
    // firstTabs: the pages shown at first, by name; by default every card page. A window that shows the
    // card's own tabs at once passes those, rather than have five tabs put in and three taken out again.
    explicit InspectorPanel(InspectorHost* host, QWidget* parent = nullptr, const QStringList& firstTabs = {},
                            BackgroundPage background = BackgroundPage::WithPanel);
    ~InspectorPanel() override;

    // --- dispatch ---
    void Show_RHS_Properties(const GraphicPtr& item);
    // Shows the inspected item's values again (after undo, redo or a change of the data it is bound to).
    void reloadInspected();
    void Remove_All_Tab_Items();
    GraphicPtr Last_Selected_Graphic() const { return m_last.lock(); }
    // Names of the tabs now in sett_tab, in order.
    QStringList shownTabNames() const;
    QWidget* tabPage(const QString& name) const { return m_pages.value(name); }
    // The card pages are built with the panel; the item pages (and their controls below) on first need:
    // when an item is first shown. Whatever reaches an item page's control from outside calls this first.
    void ensureItemPages();
    // Builds the card's Background page if it waits to be built, showing what the card holds.
    void ensureBackgroundPage();
    void card_prop_set(const QString& fillStyle);

    // --- write-back ---
    void Update_Card_Graphics();
    void Update_Shape_Graphics();
    void Update_Line_Graphics();
    void Update_Text_Graphics();
    void Update_Image_Graphics();
    void Update_Sign_Graphics();
    void comboBoxSelectionDidChange(QComboBox* sender);

    // --- card side ---
    // mergeKey: steps of one stepper merge; each click of the button is its own undo step.
    void Apply_Size_Clicked(const QString& mergeKey = {});
    void card_shape_CellClick(int row);
    // Both give whether the side took the picture (not when it could not be read, or Stop was pressed).
    bool set_Front_BG_Image(const QString& path);
    bool set_Back_BG_Image(const QString& path);
    void Card_Bckgrnd_Clicked();
    void Card_Image_Browse_Btn();
    void Card_Image_Library_Btn();
    void Card_Fill_Chk_Box();
    void Card_Border_ChkBox();
    void Card_Solid_RD_Sel();
    void Card_Gradient_RD_Sel();
    void Card_Hatch_RD_Sel();
    void Card_Image_RD_Sel();
    void Mark_List_New_Selection(int row);
    QString Get_Item_Text(int row) const;
    void Fill_Card_Size_List();
    void Card_Size_Row_Chosen(int row);

    // --- content font and colour of the side ---
    void Update_All_Card_Content();
    void Content_Font_Clicked();
    void changeAllTextFont(const QFont& font);
    void Contect_Color_Clicked();

    // --- text ---
    void Text_Font_Changed();
    void changeTextFont(const QFont& font);
    void Text_Insert_Date();
    void Text_Insert_Time();
    void Insert_Template_Button();
    void textDidChange();
    void Text_Border_ChkBox();
    void Text_Fill_Chk_Box();
    void Draw_Shadow_ChkBox();
    void Text_Solid_RD_Sel();
    void Text_Gradient_RD_Sel();

    // --- shape ---
    void Shape_Border_ChkBox();
    void Shape_Fill_Chk_Box();
    void Shape_Solid_RD_Sel();
    void Shape_Gradient_RD_Sel();
    void Shape_Hatch_RD_Sel();

    // --- picture and signature ---
    int Open_Image_Library_Window(const QString& mode);
    bool Browse_User_Image_Manually();
    void Reset_Image_Editing_Controls();
    void Manual_Image_Browse_Btn();
    void Manual_Library_Browse_Btn();
    void Image_reset_Button();
    void Image_Border_ChkBox();
    void Sign_Browse_Btn();
    void Sign_Border_ChkBox();

    // --- data sources ---
    void Fill_Excel_Col_Name_In_Combo(QComboBox* combo);
    // "Excel" is offered while the data table has rows (or the item is bound to a column already); the
    // list's signals are blocked, so the item's binding stays.
    void offerExcelChoice(const SKTGraphic* item);

    // Dialog seams: tests replace them; the defaults open the real dialogs.
    std::function<QString(const QString& caption, const QStringList& extensions)> chooseFile;
    std::function<std::optional<QString>(const QString& mode)> chooseLibraryPicture;
    std::function<std::optional<QFont>(const QFont& current)> chooseFont;
    std::function<std::optional<QString>(const QString& titleOrMsg)> chooseTemplate;

    // --- controls (outlets) ---
    QTabWidget* sett_tab = nullptr;
    QCheckBox* print_object_chk = nullptr;
    QLineEdit* sel_control_name = nullptr;

    // card settings
    QLineEdit* card_name = nullptr;
    QComboBox* Sides_ComboBox = nullptr;
    QWidget* matrix_card_shape = nullptr;
    QButtonGroup* cardShapeGroup = nullptr;
    QComboBox* Preset_ComboBox = nullptr;
    QComboBox* Category_ComboBox = nullptr;
    QTableWidget* ColList = nullptr;
    QDoubleSpinBox* width_Stepper = nullptr;
    QDoubleSpinBox* height_Stepper = nullptr;
    QPushButton* Apply_Size_btn = nullptr;
    QCheckBox* Card_border_chk = nullptr;
    QGroupBox* Card_Border_Box = nullptr;
    ColorWell* Card_bordr_clr = nullptr;
    QSpinBox* Card_bor_Stepper = nullptr;
    QComboBox* Card_border_style = nullptr;
    QCheckBox* Card_fill_chk = nullptr;
    QGroupBox* Card_Fill_Box = nullptr;
    QRadioButton* Card_solid_fill_rd = nullptr;
    QRadioButton* Card_gradient_fill_rd = nullptr;
    QRadioButton* Card_Style_fill_rd = nullptr;
    QRadioButton* Card_Image_fill_rd = nullptr;
    ColorWell* Card_fill_clr = nullptr;
    ColorWell* Card_fill_Grd_1_clr = nullptr;
    ColorWell* Card_fill_Grd_2_clr = nullptr;
    QDoubleSpinBox* Card_grad_Stepper = nullptr;
    QComboBox* Card_hatch_style = nullptr;
    ColorWell* Card_hatch_bk_clr = nullptr;
    QGroupBox* Card_image_box = nullptr;
    QLineEdit* Card_Image_path = nullptr;
    QComboBox* Card_image_layout = nullptr;
    QDoubleSpinBox* Card_alpha_Stepper = nullptr;
    ColorWell* All_Text_clr = nullptr;
    ColorWell* All_Text_clr_COPY = nullptr;
    QLabel* All_Text_font_value = nullptr;
    QLabel* All_Text_font_value_COPY = nullptr;
    QFont All_Text_font;
    QFont All_Text_font_COPY;

    // line
    ColorWell* Line_clr = nullptr;
    QSpinBox* Line_Wdt_Stepper = nullptr;
    QComboBox* Line_border_style = nullptr;
    QComboBox* Line_cap_style = nullptr;
    QComboBox* Line_ori_style = nullptr;
    QDoubleSpinBox* Line_alpha_Stepper = nullptr;

    // shape
    QLabel* Shape_prop_title = nullptr;
    QCheckBox* Shape_border_chk = nullptr;
    QGroupBox* Shape_Border_Box = nullptr;
    ColorWell* shape_bordr_clr = nullptr;
    QSpinBox* shape_bor_Stepper = nullptr;
    QComboBox* shape_border_style = nullptr;
    QCheckBox* Shape_fill_chk = nullptr;
    QGroupBox* Shape_Fill_Box = nullptr;
    QRadioButton* Shape_solid_fill_rd = nullptr;
    QRadioButton* Shape_gradient_fill_rd = nullptr;
    QRadioButton* Shape_Style_fill_rd = nullptr;
    ColorWell* shape_fill_clr = nullptr;
    ColorWell* shape_fill_Grd_1_clr = nullptr;
    ColorWell* shape_fill_Grd_2_clr = nullptr;
    QDoubleSpinBox* shape_grad_Stepper = nullptr;
    QComboBox* shape_hatch_style = nullptr;
    ColorWell* shape_hatch_bk_clr = nullptr;
    QDoubleSpinBox* shape_alpha_Stepper = nullptr;
    QLabel* shape_cor_radius_Label = nullptr;
    QDoubleSpinBox* shape_cor_radius_Stepper = nullptr;
    QLabel* double_star_Label = nullptr;
    QSpinBox* double_star_Stepper = nullptr;
    QLabel* polygon_Label = nullptr;
    QSpinBox* polygon_Stepper = nullptr;

    // text editing
    QPlainTextEdit* Text_value_Edit = nullptr;
    QComboBox* Text_Date_style = nullptr;
    QComboBox* Text_Time_style = nullptr;
    QPushButton* insert_template_btn = nullptr;
    // text properties
    ColorWell* Text_clr = nullptr;
    QFont Text_font;
    QLabel* Text_font_value = nullptr;
    QComboBox* Text_align_combo = nullptr;
    QComboBox* Text_vert_align_combo = nullptr;
    QComboBox* Text_case_combo = nullptr;
    QDoubleSpinBox* Text_Kern_Stepper = nullptr;
    QSlider* txt_rotation_slidr = nullptr;
    QLabel* txt_rotation_slidr_val = nullptr;
    QCheckBox* Text_border_chk = nullptr;
    QGroupBox* Text_Border_Box = nullptr;
    ColorWell* Text_bordr_clr = nullptr;
    QSpinBox* Text_bor_Stepper = nullptr;
    QComboBox* Text_border_style = nullptr;
    QCheckBox* Text_fill_chk = nullptr;
    QGroupBox* Text_Fill_Box = nullptr;
    QRadioButton* Text_solid_fill_rd = nullptr;
    QRadioButton* Text_gradient_fill_rd = nullptr;
    ColorWell* Text_fill_clr = nullptr;
    ColorWell* Text_fill_Grd_1_clr = nullptr;
    ColorWell* Text_fill_Grd_2_clr = nullptr;
    QDoubleSpinBox* Text_grad_Stepper = nullptr;
    QDoubleSpinBox* Text_alpha_Stepper = nullptr;
    QCheckBox* draw_shadow_chkbox = nullptr;
    QGroupBox* shadow_box = nullptr;
    ColorWell* Shadow_clr = nullptr;
    QDoubleSpinBox* shadow_x_Stepper = nullptr;
    QDoubleSpinBox* shadow_y_Stepper = nullptr;
    QDoubleSpinBox* shadow_blur_Stepper = nullptr;
    QDoubleSpinBox* shadow_transp_Stepper = nullptr;

    // picture
    QCheckBox* Image_border_chk = nullptr;
    QGroupBox* Image_Border_Box = nullptr;
    ColorWell* Image_bordr_clr = nullptr;
    QSpinBox* Image_bor_Stepper = nullptr;
    QComboBox* Image_border_style = nullptr;
    QCheckBox* Image_FIH_chk = nullptr;
    QCheckBox* Image_FIV_chk = nullptr;
    QGroupBox* Image_Edit_Prop_Box = nullptr;
    QCheckBox* Image_Gray_Scale_chk = nullptr;
    QCheckBox* Image_Sepia_chk = nullptr;
    QCheckBox* Image_Invert_chk = nullptr;
    QSlider* Rotate_slidr = nullptr;
    QSlider* Trsp_slidr = nullptr;
    QSlider* Hue_slidr = nullptr;
    QSlider* Sat_slidr = nullptr;
    QSlider* Brt_slidr = nullptr;
    QSlider* Con_slidr = nullptr;
    QSlider* shrp_slidr = nullptr;
    QSlider* ev_slidr = nullptr;
    QSlider* blr_slidr = nullptr;
    QPushButton* Image_reset_btn = nullptr;

    // signature
    QLineEdit* Sign_image_path = nullptr;
    QCheckBox* Sign_border_chk = nullptr;
    QGroupBox* Sign_Border_Box = nullptr;
    ColorWell* Sign_bordr_clr = nullptr;
    QSpinBox* Sign_bor_Stepper = nullptr;
    QComboBox* Sign_border_style = nullptr;

    // data source
    QLabel* data_source_title = nullptr;
    QComboBox* Data_source_type = nullptr;
    QComboBox* Batch_Series = nullptr;
    QGroupBox* manual_brws_box = nullptr;
    QPushButton* View_Series_Btn = nullptr;
    QPushButton* Data_Source_Help_Btn = nullptr;
    QLineEdit* Manual_image_path = nullptr;
    QPushButton* manual_lib_brws_btn = nullptr;

    // Reads a slider's value in its own unit (sliders step in fractions of it).
    static double sliderValue(const QSlider* slider);
    static void setSliderValue(QSlider* slider, double value);

private:
    void buildCardPages();
    QWidget* buildCardSettingPage();
    QWidget* buildCardBackgroundPage();
    QWidget* buildLinePage();
    QWidget* buildShapePage();
    QWidget* buildTextEditingPage();
    QWidget* buildTextPropertiesPage();
    QWidget* buildImagePage();
    QWidget* buildSignPage();
    QWidget* buildDataSourcePage();
    QWidget* buildAlignmentPage();
    QWidget* buildBarcodePage();
    QWidget* buildLockPage();
    QScrollArea* addPage(const QString& name, QWidget* content);
    void setPageContent(QScrollArea* scroll, QWidget* content);
    void loadCardBackground(const Card_Property& p);
    void setBackgroundEnabling(const QString& fillStyle);
    QSlider* makeSlider(QWidget* parent, const QString& name, double min, double max, double scale);

    void insertTab(const QString& name, int index);
    void applyPlan(const inspector::TabPlan& plan);
    void loadCard();
    void loadShape(const SKTGraphic& g);
    void loadLine(const SKTGraphic& g);
    void loadText(const SKTGraphic& g);
    void loadImage(const SKTGraphic& g);
    void loadSign(const SKTGraphic& g);
    void loadDataSource(const SKTGraphic& g);
    void refreshHatchLists();
    void setDashSelection(QComboBox* combo, const QString& code);
    void setHatchSelection(QComboBox* combo, const QString& name);
    void setShapeFillEnabling(const QString& fillType);
    void setTextFillEnabling(bool gradient);
    void fillSeriesCombo();
    // Binds the item to the series or column the page shows and gives it that source's first value; false,
    // the item's picture and the main photo as they were, when that value cannot become the main photo.
    bool bindToShownSource(const GraphicPtr& item);
    bool applyBoundValue(const GraphicPtr& item, const QString& value);
    // A refused binding: the item's binding as it was, and the page showing it.
    void refuseBinding(const GraphicPtr& item, const SKTGraphic& was);
    void dataSourceTypeChosen();
    void View_batch_Series_Button();
    void Data_Source_Help_Button();
    void batchSeriesChosen();
    void updatePrintObject();
    int currentSide() const;
    Card_Property& currentRecord();

    inspector::CardPanelValues cardValues() const;
    // The Background page's part of the card panels, read off the page.
    void readBackgroundValues(inspector::CardPanelValues& v) const;
    inspector::ShapePanelValues shapeValues() const;
    inspector::LinePanelValues lineValues() const;
    inspector::TextPanelValues textValues() const; // without the text itself
    inspector::ImagePanelValues imageValues() const;
    inspector::SignPanelValues signValues() const;
    // What the item panels showed when they were loaded or last written: a write changes in each selected
    // item only the fields that differ from it.
    struct ShownPanels {
        inspector::ShapePanelValues shape;
        inspector::LinePanelValues line;
        inspector::TextPanelValues text;
        QString textContents;
        inspector::ImagePanelValues image;
        QString imagePath;
        inspector::SignPanelValues sign;
        QString signPath;
    };
    void rememberPanelsShown();
    ShownPanels m_shown;
    // The card panels as loaded or last written, likewise for the side's record.
    inspector::CardPanelValues m_cardShown;
    inspector::StrokePanel strokeValues(QCheckBox* chk, ColorWell* clr, QSpinBox* width,
                                        QComboBox* style) const;
    template <class F> void writeSelection(F&& apply);
    // The items a panel write reaches: the selected ones, without the locked among unlocked ones.
    GraphicList writtenSelection() const;
    // A picture chosen on the Image Source page for the inspected item and every item a write reaches;
    // the main photo's own item among them brings the main photo along.
    void takeChosenPicture(const QString& path);
    // Pushes the edit of items (their states before it given) as one undo step, unless nothing changed.
    void recordItemEdit(const GraphicList& items, const GraphicList& before);

    InspectorHost* m_host;
    QHash<QString, QWidget*> m_pages;
    QHash<QString, QString> m_defaultLabels;
    std::weak_ptr<SKTGraphic> m_last;
    bool m_itemPagesBuilt = false;
    bool m_backgroundBuilt = false;
    bool m_inItemMode = false;
    bool m_firstCall = true;
    bool m_contentFontPicked = false;
    // a browse writes its path into every selected item once
    std::optional<QString> m_browsedImagePath;
    std::optional<QString> m_browsedSignPath;
};
