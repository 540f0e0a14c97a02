#pragma once

// The barcode designer: a dialog that edits the style and content of one barcode item with a live
// preview. It builds a BarcodeStyle from its controls and asks the one generation function for the
// preview, so what it shows is exactly what the item will draw. Nothing outside reads its controls.

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeStyle.h"
#include "canvas/SKTGraphic.h"

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QMutex>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QTabWidget;
class QUndoStack;

// A colour button: shows its colour and asks for a new one when clicked.
class BarcodeColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit BarcodeColorButton(QWidget* parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor& color); // no signal
signals:
    void colorChosen(const QColor& color);

private:
    QColor m_color;
};

// Where the data-source part of the designer gets its lists; the editor window installs these. Unset
// functions behave as if there were no series and no sheet.
struct BarcodeDataSources {
    std::function<QStringList()> seriesNames;
    std::function<QString(const QString& name)> firstValueOfSeries;
    std::function<QStringList()> columnTitles; // row-number column first
    std::function<QString(int column)> firstValueOfColumn;
    std::function<QStringList(const QString& name)> seriesValues; // for viewing, trimmed, no empty lines
};

// A numeric setting: a text field and a stepper that share one value. The stepper holds the value that is
// stored; the field follows it and passes a typed number to it when editing ends.
struct BarcodeNumberPair {
    QLineEdit* text = nullptr;
    QDoubleSpinBox* stepper = nullptr;
    bool integer = false;
};

class Barcode_Gen : public QDialog {
    Q_OBJECT
public:
    // The one designer of the run, made on first use over the main window (on the GUI thread; elsewhere it
    // is null until then).
    static Barcode_Gen* defaultInstance();
    explicit Barcode_Gen(QWidget* parent = nullptr);
    ~Barcode_Gen() override;

    // Makes the item's style current: on the GUI thread the controls show it; from any thread it becomes
    // the style Get_Image_From_Val uses. Does not show the dialog.
    void Set_Barcode_Prop_To_Control(const SKTGraphic& item);
    // Runs the dialog modally on the item and returns the same item. OK writes the style fields and the
    // chosen data binding into it as one undoable edit (directly when undo is null); Cancel writes nothing.
    GraphicPtr Open_Wnd(const GraphicPtr& item, QUndoStack* undo = nullptr);
    // True when the last OK changed the item.
    bool lastEditChangedItem() const { return m_lastEditChanged; }
    // The barcode of one value with the style last loaded or accepted.
    BarcodeResult Get_Image_From_Val(const QString& value, const QString& header,
                                     const QString& footer) const;
    BarcodeStyle loadedStyle() const;

    // The style the controls hold now (the stored fields of the item being edited with the edits applied).
    BarcodeStyle styleFromControls() const;
    // Shows a style in the controls, as loading an item does, without touching any item.
    void loadStyle(const BarcodeStyle& style);

    // Closing actions: OK accepts only a style that makes a barcode, otherwise it tells why and stays open.
    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();

    // The three refreshes: the whole barcode anew; the linear barcode drawn again (linear mode only); the
    // 2-D code composed again with its texts (2-D mode only). All show exactly generateBarcode's result.
    void goButtonActionPerformed();
    void linearReRender();
    void reCompose2D();

    // Panel switches for the two kinds.
    void Liner_Barcode_Opt_Select();
    void two_d_barcode_Opt_Select();
    int liner_or_2D_font() const { return m_mode; }

    // Fonts (also what the font buttons do after the font dialog).
    void setValueFont(const QFont& font);
    void setHeaderFont(const QFont& font);
    void setFooterFont(const QFont& font);
    QFont value_font() const { return m_valueFont; }
    QFont header_font() const { return m_headerFont; }
    QFont footer_font() const { return m_footerFont; }

    // Data source: what the window provides, and the binding chosen in the dialog (written on OK).
    BarcodeDataSources dataSources;
    // Width in points of the card the edited item is on (0: unknown); a wider drawing is warned about.
    qreal cardWidth = 0;
    int pendingDataSourceType() const { return m_binding.type; }
    QString pendingBatchListName() const { return m_binding.name; }
    int pendingBatchListIndex() const { return m_binding.index; }
    int pendingExcelColumn() const { return m_binding.column; }

    // Dialog seams, replaced by tests: choosing a font and a colour. Empty answer: cancelled.
    std::function<std::optional<QFont>(const QFont& current, const QString& title)> fontPicker;
    std::function<std::optional<QColor>(const QColor& current, const QString& title)> colorPicker;

    // The preview: the image at the item's resolution (null when blank) and the error text; the picture on
    // screen is the same drawing made at the screen's resolution and shown one point to one pixel.
    QImage previewImage() const { return m_preview.image; }
    QPixmap previewPixmap() const;
    QString previewReason() const { return m_preview.reason; }

    // --- controls, named as the design names them ---
    QComboBox* barcodeTypePopup;
    QLineEdit* dataText;
    QPlainTextEdit* dataText_2D;
    QWidget* dataText_2D_scl_v;
    QComboBox* Data_source_type;
    QComboBox* Batch_Series;
    QPushButton* view_series_btn;
    QPushButton* encode_btn;

    QLineEdit* HeaderText;
    QLineEdit* FooterText;
    QCheckBox* captionCheckbox;
    QCheckBox* showinTopCheckbox;
    QCheckBox* hideHeaderCheckbox;
    QCheckBox* hideFooterCheckbox;
    QCheckBox* kerning_value_Checkbox;
    QComboBox* align_hdr_combo;
    QComboBox* align_ftr_combo;
    QComboBox* bar_align_combo;
    QComboBox* bar_orient_combo;

    BarcodeNumberPair height;     // HeightText / HeightStepper
    BarcodeNumberPair width;      // widthText / widthStepper
    BarcodeNumberPair valMargin;  // val_mar_Text / val_mar_Stepper
    BarcodeNumberPair hdrMargin;  // hdr_mar_Text / hdr_mar_Stepper
    BarcodeNumberPair ftrMargin;  // ftr_mar_Text / ftr_mar_Stepper
    BarcodeNumberPair tbMargin;   // TB_mar_Text / TB_mar_Stepper
    BarcodeNumberPair lrMargin;   // LR_mar_Text / LR_mar_Stepper
    BarcodeNumberPair qrSize;     // HeightText_2D / HeightStepper_2D
    BarcodeNumberPair pdfWidth;   // Pdf_widthText_2D / Pdf_widthStepper_2D
    BarcodeNumberPair pdfHeight;  // pdf_HeightText_2D / pdf_HeightStepper_2D
    BarcodeNumberPair pdfRows;    // pdf_row_Text / pdf_row_Stepper
    BarcodeNumberPair pdfColumns; // pdf_col_Text / pdf_col_Stepper
    BarcodeNumberPair pdfEcLevel; // pdf_ec_lvl_Text / pdf_ec_lvl_Stepper
    BarcodeNumberPair dmModule;   // dm_moduleText_2D / dm_moduleStepper_2D
    BarcodeNumberPair dmWidth;    // dm_widthText_2D / dm_widthStepper_2D
    BarcodeNumberPair dmHeight;   // dm_HeightText_2D / dm_HeightStepper_2D
    BarcodeNumberPair dpi;        // dpi_Text / dpi_Stepper

    QLabel* barHeightLabel;
    QLabel* barWidthLabel;
    QGroupBox* margin_box;
    QLabel* Hdr_Mar_Label;
    QLabel* Ftr_Mar_Label;
    QLabel* Val_Mar_Label;
    QLabel* TB_Mar_Label;
    QLabel* LR_Mar_Label;

    QLabel* value_font_value;
    QLabel* header_font_value;
    QLabel* footer_font_value;
    QLabel* val_font_label;
    QPushButton* val_font_btn;
    QPushButton* hdr_font_btn;
    QPushButton* ftr_font_btn;

    BarcodeColorButton* barcode_clr;
    BarcodeColorButton* bar_back_clr;
    BarcodeColorButton* bar_val_clr;
    BarcodeColorButton* bar_hdr_clr;
    BarcodeColorButton* bar_ftr_clr;
    QLabel* bar_clr_label;
    QLabel* bar_bk_clr_label;
    QLabel* val_clr_label;

    QGroupBox* linear_sett_box;
    QGroupBox* two_d_sett_box;
    QGroupBox* pdf_2d_sett_box;
    QGroupBox* dm_2d_sett_box;
    QComboBox* qr_enc_mode_ComboBox;
    QComboBox* qr_version_ComboBox;
    QComboBox* qr_ec_lvl_ComboBox;
    QComboBox* dm_format_ComboBox;
    QComboBox* dm_encoding_ComboBox;
    QComboBox* DPI_ComboBox;

    QTabWidget* sett_tab;
    QWidget* dpi_tab_item;

    QScrollArea* image_scroll;
    QLabel* barcodeImage;
    QLabel* barcode_error_label;
    QLabel* barcode_size_label;
    QLabel* barcode_quiet_label; // warns of margins below the quiet zone and too small 2-D modules
    QPushButton* OK_btn;
    QPushButton* Cancel_btn;

    // Actions of the option, list and data-source controls.
    void barcodeTypeChanged();
    void captionChanged();
    void Data_source_type_Changed();
    void Batch_Series_Changed();
    void View_batch_Series_Button();
    void DPI_ComboBox_Changed();
    void QR_Version_Changed();
    void DM_Format_Changed();
    void DM_Area_Changed();
    void keepDataMatrixArea();
    void Bar_Align_Changed();
    // Whether the value text is printed (the value check box is off and enabled).
    bool Get_Print_State();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Binding {
        int type = 0;
        QString name;
        int index = 0;
        int column = 0;
        bool operator==(const Binding&) const = default;
    };
    struct Shown {
        QImage image;  // at the item's resolution: what OK hands to the item
        QImage screen; // the same drawing made at the screen's resolution, null when it cannot be made
        QString reason;
    };

    void buildUi();
    QWidget* buildTopPart();
    QWidget* buildOptionsTab();
    QWidget* buildTextsTab();
    QWidget* buildColoursTab();
    QWidget* buildResolutionTab();
    QWidget* buildPreview();
    BarcodeNumberPair makePair(const QString& textName, const QString& stepperName, double min, double max,
                               double step, bool integer);
    void connectPair(const BarcodeNumberPair& pair, const std::function<void()>& after);
    static void setPairValue(const BarcodeNumberPair& pair, double value);
    static double pairValue(const BarcodeNumberPair& pair);
    QPushButton* helpButton(const QString& key);
    void chooseFont(int which);
    void chooseColor(BarcodeColorButton* button, const QString& title);

    void applyModePanels();
    void setLabels();
    void showResult(const BarcodeResult& result, const QImage& screen);
    int screenDpi() const;
    void removeUnknownSymbologyEntry();
    void displayPreview();
    void Set_Blank_Image(const QString& reason);
    void setContentEditable(bool editable);
    void fillBatchSeriesForSource(int source, bool interactive);
    void loadBinding(const SKTGraphic& item);
    QString currentContent() const;
    void setCurrentContent(const QString& value);
    void refreshForChange();
    void setLoadedStyle(const BarcodeStyle& style);

    int m_mode = 0;
    int m_shownIndex = 0; // symbology of m_mode the controls were last set for
    bool m_loading = false;
    QFont m_valueFont;
    QFont m_headerFont;
    QFont m_footerFont;
    QString m_dpiCustomText = QStringLiteral("0");
    QSizeF m_dmArea; // the Data Matrix width and height last accepted
    BarcodeStyle m_base; // the style being edited as loaded (fields the dialog does not show)
    Binding m_binding;   // binding chosen in the dialog
    Shown m_preview;
    bool m_lastEditChanged = false;
    mutable QMutex m_loadedMutex;
    BarcodeStyle m_loadedStyle;
};

// The designer, for every reader outside it; null until it is made.
extern Barcode_Gen* Barcode_Gen_Var;
// The image of the last accepted design, handed to the item by the editor window.
extern QImage Barcode_output_image;
