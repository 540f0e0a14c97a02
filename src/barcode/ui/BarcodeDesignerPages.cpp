// The barcode designer's pages: the symbology and value at the top, the options, texts, colours and
// margins, and resolution tabs, and the preview.

#include "barcode/ui/Barcode_Gen.h"

#include "barcode/BarcodeSymbologies.h"
#include "barcode/twod/DataMatrixCode.h"
#include "barcode/ui/BarcodeDesignerLogic.h"
#include "common/ui/Long_SMS_Dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace BarcodeDesigner;

namespace {

QLabel* makeLabel(const QString& text, const QString& name = QString()) {
    auto* l = new QLabel(text);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QComboBox* makeCombo(const QString& name, const QStringList& entries) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    c->addItems(entries);
    return c;
}

QCheckBox* makeCheck(const QString& name, const QString& text) {
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    return c;
}

} // namespace

// ---------------------------------------------------------------- building

BarcodeNumberPair Barcode_Gen::makePair(const QString& textName, const QString& stepperName, double min,
                                        double max, double step, bool integer) {
    BarcodeNumberPair p;
    p.integer = integer;
    p.text = new QLineEdit;
    p.text->setObjectName(textName);
    p.text->setAlignment(Qt::AlignRight);
    p.text->setMaximumWidth(80);
    if (integer)
        p.text->setValidator(new QIntValidator(int(min), int(max), p.text));
    else {
        auto* v = new QDoubleValidator(min, max, 4, p.text);
        v->setNotation(QDoubleValidator::StandardNotation);
        v->setLocale(QLocale::c());
        p.text->setValidator(v);
    }
    p.stepper = new QDoubleSpinBox;
    p.stepper->setObjectName(stepperName);
    p.stepper->setDecimals(integer ? 0 : 6);
    p.stepper->setRange(min, max);
    p.stepper->setSingleStep(step);
    p.stepper->setLocale(QLocale::c());
    // Only the arrows show: the number itself is in the field beside it.
    p.stepper->setFixedWidth(22);
    p.stepper->setAlignment(Qt::AlignRight);
    QPalette pal = p.stepper->palette();
    for (auto role : {QPalette::Text, QPalette::HighlightedText, QPalette::Highlight})
        pal.setColor(role, Qt::transparent);
    p.stepper->setPalette(pal);
    p.stepper->setFocusPolicy(Qt::NoFocus);
    setPairValue(p, min);
    return p;
}

void Barcode_Gen::connectPair(const BarcodeNumberPair& pair, const std::function<void()>& after) {
    connect(pair.stepper, &QDoubleSpinBox::valueChanged, this, [this, pair, after](double v) {
        pair.text->setText(formatNumber(v, pair.integer));
        if (!m_loading)
            after();
    });
    connect(pair.text, &QLineEdit::editingFinished, this, [this, pair, after] {
        bool ok = false;
        const double typed = QLocale::c().toDouble(pair.text->text().trimmed(), &ok);
        const double before = pair.stepper->value();
        if (ok && std::isfinite(typed)) {
            QSignalBlocker block(pair.stepper);
            pair.stepper->setValue(typed);
        }
        pair.text->setText(formatNumber(pair.stepper->value(), pair.integer));
        if (!m_loading && pair.stepper->value() != before)
            after();
    });
}

void Barcode_Gen::setPairValue(const BarcodeNumberPair& pair, double value) {
    QSignalBlocker block(pair.stepper);
    if (!std::isfinite(value))
        value = pair.stepper->minimum();
    pair.stepper->setValue(value);
    pair.text->setText(formatNumber(pair.stepper->value(), pair.integer));
}

double Barcode_Gen::pairValue(const BarcodeNumberPair& pair) {
    return pair.stepper->value();
}

QPushButton* Barcode_Gen::helpButton(const QString& key) {
    auto* b = new QPushButton(QStringLiteral("?"));
    b->setObjectName(key + QStringLiteral("_help_btn"));
    b->setFixedSize(22, 22);
    b->setToolTip(helpTitle(key));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [key] {
        Long_SMS_Dlg::defaultInstance()->showExplanation(helpTitle(key), helpText(key));
    });
    return b;
}

static QWidget* pairRow(const BarcodeNumberPair& p, QWidget* extra = nullptr) {
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    h->addWidget(p.text);
    h->addWidget(p.stepper);
    if (extra)
        h->addWidget(extra);
    h->addStretch(1);
    return w;
}

QWidget* Barcode_Gen::buildTopPart() {
    auto* box = new QGroupBox(tr("Barcode"));
    auto* g = new QGridLayout(box);
    g->setColumnStretch(1, 1);

    barcodeTypePopup = new QComboBox;
    barcodeTypePopup->setObjectName(QStringLiteral("barcodeTypePopup"));
    barcodeTypePopup->addItems(BarcodeSymbologies::linearTitles());
    barcodeTypePopup->insertSeparator(popupSeparatorPosition());
    barcodeTypePopup->addItems(BarcodeSymbologies::twoDTitles());
    barcodeTypePopup->setMaxVisibleItems(popupCount());
    g->addWidget(makeLabel(tr("Type :")), 0, 0);
    g->addWidget(barcodeTypePopup, 0, 1, 1, 2);

    Data_source_type = makeCombo(QStringLiteral("Data_source_type"), dataSourceTitles());
    Batch_Series = new QComboBox;
    Batch_Series->setObjectName(QStringLiteral("Batch_Series"));
    Batch_Series->setMinimumContentsLength(12);
    Batch_Series->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    view_series_btn = new QPushButton(tr("View"));
    view_series_btn->setObjectName(QStringLiteral("view_series_btn"));
    view_series_btn->setAutoDefault(false);
    auto* src = new QHBoxLayout;
    src->setSpacing(6);
    src->addWidget(Data_source_type);
    src->addWidget(Batch_Series, 1);
    src->addWidget(view_series_btn);
    g->addWidget(makeLabel(tr("Data source :")), 1, 0);
    g->addLayout(src, 1, 1, 1, 2);

    dataText = new QLineEdit;
    dataText->setObjectName(QStringLiteral("dataText"));
    dataText->setMaxLength(kMaxBarcodeTextLength);
    dataText_2D = new QPlainTextEdit;
    dataText_2D->setObjectName(QStringLiteral("dataText_2D"));
    dataText_2D->setTabChangesFocus(true);
    dataText_2D_scl_v = new QWidget;
    dataText_2D_scl_v->setObjectName(QStringLiteral("dataText_2D_scl_v"));
    auto* scl = new QVBoxLayout(dataText_2D_scl_v);
    scl->setContentsMargins(0, 0, 0, 0);
    scl->addWidget(dataText_2D);
    dataText_2D_scl_v->setFixedHeight(64);
    encode_btn = new QPushButton(tr("Encode"));
    encode_btn->setObjectName(QStringLiteral("encode_btn"));
    encode_btn->setAutoDefault(false);
    auto* valueLabel = makeLabel(tr("Value :"));
    valueLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* content = new QVBoxLayout;
    content->setSpacing(0);
    content->addWidget(dataText);
    content->addWidget(dataText_2D_scl_v);
    g->addWidget(valueLabel, 2, 0);
    g->addLayout(content, 2, 1);
    g->addWidget(encode_btn, 2, 2, Qt::AlignTop);

    connect(barcodeTypePopup, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            barcodeTypeChanged();
    });
    connect(Data_source_type, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            Data_source_type_Changed();
    });
    connect(Batch_Series, &QComboBox::activated, this, [this] {
        if (!m_loading)
            Batch_Series_Changed();
    });
    connect(view_series_btn, &QPushButton::clicked, this, &Barcode_Gen::View_batch_Series_Button);
    connect(encode_btn, &QPushButton::clicked, this, &Barcode_Gen::goButtonActionPerformed);
    connect(dataText, &QLineEdit::textChanged, this, [this] {
        if (!m_loading && m_mode == 0)
            goButtonActionPerformed();
    });
    connect(dataText_2D, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loading && m_mode != 0)
            goButtonActionPerformed();
    });
    return box;
}

QWidget* Barcode_Gen::buildOptionsTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    // Linear settings.
    linear_sett_box = new QGroupBox(tr("Linear barcode"));
    linear_sett_box->setObjectName(QStringLiteral("linear_sett_box"));
    auto* lf = new QFormLayout(linear_sett_box);
    height = makePair(QStringLiteral("HeightText"), QStringLiteral("HeightStepper"), 0.05, 100, 0.1, false);
    width = makePair(QStringLiteral("widthText"), QStringLiteral("widthStepper"), 1, 1000, 1, false);
    barHeightLabel = makeLabel(QString(), QStringLiteral("barHeightLabel"));
    barWidthLabel = makeLabel(QString(), QStringLiteral("barWidthLabel"));
    lf->addRow(barHeightLabel, pairRow(height));
    lf->addRow(barWidthLabel, pairRow(width));
    captionCheckbox = makeCheck(QStringLiteral("captionCheckbox"), tr("Hide value text"));
    showinTopCheckbox = makeCheck(QStringLiteral("showinTopCheckbox"), tr("Value text above the bars"));
    kerning_value_Checkbox = makeCheck(QStringLiteral("kerning_value_Checkbox"), tr("Spread value text"));
    lf->addRow(captionCheckbox);
    lf->addRow(showinTopCheckbox);
    kerning_value_Checkbox->setToolTip(tr("Spreads a value text of one piece over the width of the bars."));
    lf->addRow(kerning_value_Checkbox);
    bar_align_combo = makeCombo(QStringLiteral("bar_align_combo"), previewAlignmentTitles());
    bar_orient_combo = makeCombo(QStringLiteral("bar_orient_combo"), {QStringLiteral("Horizontal")});
    lf->addRow(tr("Preview alignment :"), bar_align_combo);
    lf->addRow(tr("Orientation :"), bar_orient_combo);
    v->addWidget(linear_sett_box);

    // QR Code.
    two_d_sett_box = new QGroupBox(tr("QR Code"));
    two_d_sett_box->setObjectName(QStringLiteral("two_d_sett_box"));
    auto* qf = new QFormLayout(two_d_sett_box);
    qrSize = makePair(QStringLiteral("HeightText_2D"), QStringLiteral("HeightStepper_2D"), 21, 2000, 1, true);
    qf->addRow(tr("Size (pt) :"), pairRow(qrSize));
    qr_enc_mode_ComboBox = makeCombo(QStringLiteral("qr_enc_mode_ComboBox"), {QStringLiteral("Auto")});
    qf->addRow(tr("Encoding :"), qr_enc_mode_ComboBox);
    qr_version_ComboBox = makeCombo(QStringLiteral("qr_version_ComboBox"), qrVersionTitles());
    auto* vrow = new QHBoxLayout;
    vrow->addWidget(qr_version_ComboBox, 1);
    vrow->addWidget(helpButton(QStringLiteral("qr_version")));
    qf->addRow(tr("Version :"), vrow);
    qr_ec_lvl_ComboBox = makeCombo(QStringLiteral("qr_ec_lvl_ComboBox"), qrErrorCorrectionTitles());
    auto* erow = new QHBoxLayout;
    erow->addWidget(qr_ec_lvl_ComboBox, 1);
    erow->addWidget(helpButton(QStringLiteral("qr_ec")));
    qf->addRow(tr("EC level :"), erow);
    v->addWidget(two_d_sett_box);

    // PDF417.
    pdf_2d_sett_box = new QGroupBox(tr("PDF417"));
    pdf_2d_sett_box->setObjectName(QStringLiteral("pdf_2d_sett_box"));
    auto* pf = new QFormLayout(pdf_2d_sett_box);
    pdfWidth = makePair(QStringLiteral("Pdf_widthText_2D"), QStringLiteral("Pdf_widthStepper_2D"), 10, 4000,
                        1, true);
    pdfHeight = makePair(QStringLiteral("pdf_HeightText_2D"), QStringLiteral("pdf_HeightStepper_2D"), 5, 2000,
                         1, true);
    // 0 rows or columns: the encoder chooses from the data.
    pdfRows = makePair(QStringLiteral("pdf_row_Text"), QStringLiteral("pdf_row_Stepper"), 0, 90, 1, true);
    pdfColumns = makePair(QStringLiteral("pdf_col_Text"), QStringLiteral("pdf_col_Stepper"), 0, 30, 1, true);
    pdfEcLevel =
        makePair(QStringLiteral("pdf_ec_lvl_Text"), QStringLiteral("pdf_ec_lvl_Stepper"), 0, 8, 1, true);
    pf->addRow(tr("Width (pt) :"), pairRow(pdfWidth));
    pf->addRow(tr("Height (pt) :"), pairRow(pdfHeight));
    pf->addRow(tr("Rows (0 auto) :"), pairRow(pdfRows, helpButton(QStringLiteral("pdf_row"))));
    pf->addRow(tr("Columns (0 auto) :"), pairRow(pdfColumns, helpButton(QStringLiteral("pdf_col"))));
    pf->addRow(tr("EC level :"), pairRow(pdfEcLevel, helpButton(QStringLiteral("pdf_ec"))));
    v->addWidget(pdf_2d_sett_box);

    // Data Matrix.
    dm_2d_sett_box = new QGroupBox(tr("Data Matrix"));
    dm_2d_sett_box->setObjectName(QStringLiteral("dm_2d_sett_box"));
    auto* df = new QFormLayout(dm_2d_sett_box);
    dmModule =
        makePair(QStringLiteral("dm_moduleText_2D"), QStringLiteral("dm_moduleStepper_2D"), 1, 100, 1, true);
    dmWidth =
        makePair(QStringLiteral("dm_widthText_2D"), QStringLiteral("dm_widthStepper_2D"), 1, 4000, 1, true);
    dmHeight =
        makePair(QStringLiteral("dm_HeightText_2D"), QStringLiteral("dm_HeightStepper_2D"), 1, 4000, 1, true);
    df->addRow(tr("Module size (pt) :"), pairRow(dmModule));
    df->addRow(tr("Width (pt) :"), pairRow(dmWidth));
    df->addRow(tr("Height (pt) :"), pairRow(dmHeight));
    dm_format_ComboBox = makeCombo(QStringLiteral("dm_format_ComboBox"), dataMatrixFormats());
    auto* frow = new QHBoxLayout;
    frow->addWidget(dm_format_ComboBox, 1);
    frow->addWidget(helpButton(QStringLiteral("dm_format")));
    df->addRow(tr("Format :"), frow);
    dm_encoding_ComboBox = makeCombo(QStringLiteral("dm_encoding_ComboBox"), dataMatrixEncodings());
    auto* nrow = new QHBoxLayout;
    nrow->addWidget(dm_encoding_ComboBox, 1);
    nrow->addWidget(helpButton(QStringLiteral("dm_encoding")));
    df->addRow(tr("Encoding :"), nrow);
    v->addWidget(dm_2d_sett_box);
    v->addStretch(1);

    const auto refresh = [this] { refreshForChange(); };
    connectPair(height, refresh);
    connectPair(width, refresh);
    connectPair(qrSize, refresh);
    connectPair(pdfWidth, refresh);
    connectPair(pdfHeight, refresh);
    connectPair(pdfRows, refresh);
    connectPair(pdfColumns, refresh);
    connectPair(pdfEcLevel, refresh);
    connectPair(dmWidth, [this] { DM_Area_Changed(); });
    connectPair(dmHeight, [this] { DM_Area_Changed(); });
    connectPair(dmModule, [this] { DM_Format_Changed(); });
    connect(captionCheckbox, &QCheckBox::toggled, this, [this] {
        if (!m_loading)
            captionChanged();
    });
    connect(showinTopCheckbox, &QCheckBox::toggled, this, [this] {
        if (!m_loading)
            linearReRender();
    });
    connect(kerning_value_Checkbox, &QCheckBox::toggled, this, [this] {
        if (!m_loading)
            linearReRender();
    });
    connect(bar_align_combo, &QComboBox::currentIndexChanged, this, &Barcode_Gen::Bar_Align_Changed);
    for (QComboBox* c : {qr_enc_mode_ComboBox, qr_ec_lvl_ComboBox, dm_encoding_ComboBox})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_loading)
                reCompose2D();
        });
    connect(qr_version_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            QR_Version_Changed();
    });
    connect(dm_format_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            DM_Format_Changed();
    });
    return page;
}

QWidget* Barcode_Gen::buildTextsTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    const auto fontRow = [this](QLabel*& value, QPushButton*& button, const QString& valueName,
                                const QString& buttonName) {
        value = makeLabel(QString(), valueName);
        value->setFrameShape(QFrame::StyledPanel);
        value->setMinimumWidth(200);
        button = new QPushButton(tr("Font…"));
        button->setObjectName(buttonName);
        button->setAutoDefault(false);
        auto* w = new QWidget;
        auto* h = new QHBoxLayout(w);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(value, 1);
        h->addWidget(button);
        return w;
    };

    auto* header = new QGroupBox(tr("Header"));
    auto* hf = new QFormLayout(header);
    HeaderText = new QLineEdit;
    HeaderText->setObjectName(QStringLiteral("HeaderText"));
    HeaderText->setMaxLength(kMaxBarcodeTextLength);
    hf->addRow(tr("Text :"), HeaderText);
    hideHeaderCheckbox = makeCheck(QStringLiteral("hideHeaderCheckbox"), tr("Hide header"));
    align_hdr_combo = makeCombo(QStringLiteral("align_hdr_combo"), alignmentTitles());
    hf->addRow(tr("Alignment :"), align_hdr_combo);
    hf->addRow(tr("Font :"), fontRow(header_font_value, hdr_font_btn, QStringLiteral("header_font_value"),
                                     QStringLiteral("hdr_font_btn")));
    hf->addRow(hideHeaderCheckbox);
    v->addWidget(header);

    auto* footer = new QGroupBox(tr("Footer"));
    auto* ff = new QFormLayout(footer);
    FooterText = new QLineEdit;
    FooterText->setObjectName(QStringLiteral("FooterText"));
    FooterText->setMaxLength(kMaxBarcodeTextLength);
    ff->addRow(tr("Text :"), FooterText);
    hideFooterCheckbox = makeCheck(QStringLiteral("hideFooterCheckbox"), tr("Hide footer"));
    align_ftr_combo = makeCombo(QStringLiteral("align_ftr_combo"), alignmentTitles());
    ff->addRow(tr("Alignment :"), align_ftr_combo);
    ff->addRow(tr("Font :"), fontRow(footer_font_value, ftr_font_btn, QStringLiteral("footer_font_value"),
                                     QStringLiteral("ftr_font_btn")));
    ff->addRow(hideFooterCheckbox);
    v->addWidget(footer);

    auto* value = new QGroupBox(tr("Value text"));
    auto* vf = new QFormLayout(value);
    val_font_label = makeLabel(tr("Font :"), QStringLiteral("val_font_label"));
    vf->addRow(val_font_label, fontRow(value_font_value, val_font_btn, QStringLiteral("value_font_value"),
                                       QStringLiteral("val_font_btn")));
    v->addWidget(value);
    v->addStretch(1);

    connect(val_font_btn, &QPushButton::clicked, this, [this] { chooseFont(0); });
    connect(hdr_font_btn, &QPushButton::clicked, this, [this] { chooseFont(1); });
    connect(ftr_font_btn, &QPushButton::clicked, this, [this] { chooseFont(2); });
    for (QLineEdit* e : {HeaderText, FooterText})
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!m_loading)
                goButtonActionPerformed();
        });
    for (QCheckBox* c : {hideHeaderCheckbox, hideFooterCheckbox})
        connect(c, &QCheckBox::toggled, this, [this] {
            if (!m_loading)
                refreshForChange();
        });
    for (QComboBox* c : {align_hdr_combo, align_ftr_combo})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_loading)
                refreshForChange();
        });
    return page;
}

QWidget* Barcode_Gen::buildColoursTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* colours = new QGroupBox(tr("Colours"));
    auto* g = new QGridLayout(colours);
    const auto well = [this](const QString& name) {
        auto* b = new BarcodeColorButton;
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    barcode_clr = well(QStringLiteral("barcode_clr"));
    bar_back_clr = well(QStringLiteral("bar_back_clr"));
    bar_val_clr = well(QStringLiteral("bar_val_clr"));
    bar_hdr_clr = well(QStringLiteral("bar_hdr_clr"));
    bar_ftr_clr = well(QStringLiteral("bar_ftr_clr"));
    bar_clr_label = makeLabel(tr("Bars :"), QStringLiteral("bar_clr_label"));
    bar_bk_clr_label = makeLabel(tr("Background :"), QStringLiteral("bar_bk_clr_label"));
    val_clr_label = makeLabel(tr("Value text :"), QStringLiteral("val_clr_label"));
    g->addWidget(bar_clr_label, 0, 0);
    g->addWidget(barcode_clr, 0, 1);
    g->addWidget(bar_bk_clr_label, 1, 0);
    g->addWidget(bar_back_clr, 1, 1);
    g->addWidget(val_clr_label, 2, 0);
    g->addWidget(bar_val_clr, 2, 1);
    g->addWidget(makeLabel(tr("Header :")), 0, 2);
    g->addWidget(bar_hdr_clr, 0, 3);
    g->addWidget(makeLabel(tr("Footer :")), 1, 2);
    g->addWidget(bar_ftr_clr, 1, 3);
    g->setColumnStretch(4, 1);
    g->setHorizontalSpacing(12);
    v->addWidget(colours);

    const QList<std::pair<BarcodeColorButton*, QString>> wells = {{barcode_clr, tr("Bar colour")},
                                                                  {bar_back_clr, tr("Background colour")},
                                                                  {bar_val_clr, tr("Value text colour")},
                                                                  {bar_hdr_clr, tr("Header colour")},
                                                                  {bar_ftr_clr, tr("Footer colour")}};
    for (const auto& [button, title] : wells) {
        connect(button, &QPushButton::clicked, this, [this, b = button, t = title] { chooseColor(b, t); });
        connect(button, &BarcodeColorButton::colorChosen, this, [this] { refreshForChange(); });
    }

    margin_box = new QGroupBox;
    margin_box->setObjectName(QStringLiteral("margin_box"));
    auto* mf = new QFormLayout(margin_box);
    hdrMargin =
        makePair(QStringLiteral("hdr_mar_Text"), QStringLiteral("hdr_mar_Stepper"), 0, 50, 0.1, false);
    ftrMargin =
        makePair(QStringLiteral("ftr_mar_Text"), QStringLiteral("ftr_mar_Stepper"), 0, 50, 0.1, false);
    valMargin =
        makePair(QStringLiteral("val_mar_Text"), QStringLiteral("val_mar_Stepper"), 0, 50, 0.1, false);
    tbMargin = makePair(QStringLiteral("TB_mar_Text"), QStringLiteral("TB_mar_Stepper"), 0, 50, 0.1, false);
    lrMargin = makePair(QStringLiteral("LR_mar_Text"), QStringLiteral("LR_mar_Stepper"), 0, 50, 0.1, false);
    Hdr_Mar_Label = makeLabel(tr("Header :"), QStringLiteral("Hdr_Mar_Label"));
    Ftr_Mar_Label = makeLabel(tr("Footer :"), QStringLiteral("Ftr_Mar_Label"));
    Val_Mar_Label = makeLabel(tr("Value text :"), QStringLiteral("Val_Mar_Label"));
    TB_Mar_Label = makeLabel(tr("Top and bottom :"), QStringLiteral("TB_Mar_Label"));
    LR_Mar_Label = makeLabel(tr("Left and right :"), QStringLiteral("LR_Mar_Label"));
    mf->addRow(Hdr_Mar_Label, pairRow(hdrMargin));
    mf->addRow(Ftr_Mar_Label, pairRow(ftrMargin));
    mf->addRow(Val_Mar_Label, pairRow(valMargin));
    mf->addRow(TB_Mar_Label, pairRow(tbMargin));
    mf->addRow(LR_Mar_Label, pairRow(lrMargin));
    v->addWidget(margin_box);
    v->addStretch(1);

    for (const BarcodeNumberPair& p : {hdrMargin, ftrMargin, valMargin, tbMargin, lrMargin})
        connectPair(p, [this] { refreshForChange(); });
    return page;
}

QWidget* Barcode_Gen::buildResolutionTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("dpi_tab_item"));
    auto* v = new QVBoxLayout(page);
    auto* box = new QGroupBox(tr("Output resolution"));
    auto* f = new QFormLayout(box);
    DPI_ComboBox = makeCombo(QStringLiteral("DPI_ComboBox"), resolutionTitles());
    auto* row = new QHBoxLayout;
    row->addWidget(DPI_ComboBox, 1);
    row->addWidget(helpButton(QStringLiteral("dpi")));
    f->addRow(tr("Dots per inch :"), row);
    dpi = makePair(QStringLiteral("dpi_Text"), QStringLiteral("dpi_Stepper"), 1, 2400, 1, true);
    setPairValue(dpi, 600);
    f->addRow(tr("Custom :"), pairRow(dpi));
    v->addWidget(box);
    auto* note = new QLabel(tr("The resolution of the barcode image the card uses when it is printed or "
                               "exported."));
    note->setWordWrap(true);
    v->addWidget(note);
    v->addStretch(1);

    connect(DPI_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            DPI_ComboBox_Changed();
    });
    connectPair(dpi, [this] {
        m_dpiCustomText = formatNumber(pairValue(dpi), true);
        refreshForChange();
    });
    return page;
}

QWidget* Barcode_Gen::buildPreview() {
    auto* box = new QGroupBox(tr("Preview"));
    auto* v = new QVBoxLayout(box);
    image_scroll = new QScrollArea;
    image_scroll->setObjectName(QStringLiteral("image_scroll"));
    image_scroll->setWidgetResizable(true);
    image_scroll->setFrameShape(QFrame::StyledPanel);
    barcodeImage = new QLabel;
    barcodeImage->setObjectName(QStringLiteral("barcodeImage"));
    barcodeImage->setAlignment(Qt::AlignCenter);
    barcodeImage->setStyleSheet(QStringLiteral("QLabel#barcodeImage { background: #e6e8ec; }"));
    image_scroll->setWidget(barcodeImage);
    v->addWidget(image_scroll, 1);
    barcode_error_label = makeLabel(QString(), QStringLiteral("barcode_error_label"));
    barcode_error_label->setWordWrap(true);
    barcode_error_label->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
    barcode_error_label->hide();
    v->addWidget(barcode_error_label);
    barcode_size_label = makeLabel(QString(), QStringLiteral("barcode_size_label"));
    barcode_size_label->setStyleSheet(QStringLiteral("color: #555;"));
    v->addWidget(barcode_size_label);
    barcode_quiet_label = makeLabel(QString(), QStringLiteral("barcode_quiet_label"));
    barcode_quiet_label->setWordWrap(true);
    barcode_quiet_label->setStyleSheet(QStringLiteral("color: #9a5b00;"));
    barcode_quiet_label->hide();
    v->addWidget(barcode_quiet_label);
    return box;
}
