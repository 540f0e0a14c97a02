#pragma once

// What the barcode designer's tests share: an item with every style field set, and answering the dialog's
// modal loop.

#include "RecordingPrompt.h"
#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/twod/DataMatrixCode.h"
#include "barcode/ui/BarcodeDesignerLogic.h"
#include "barcode/ui/BarcodeItemEditing.h"
#include "barcode/ui/Barcode_Gen.h"
#include "canvas/SKTItems.h"
#include "common/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <thread>

namespace designer_test {

inline GraphicPtr newBarcode() {
    return makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
}

// Every stored style field away from its default.
inline void setEveryField(SKTGraphic& g, bool twoD) {
    g.linear_or_2d = twoD ? 1 : 0;
    g.barcode_font_index = twoD ? int(BarcodeSymbologies::DataMatrix) : int(BarcodeSymbologies::Code128B);
    g.linear_font_val = QStringLiteral("ABC-123");
    g.two_d_font_val = QStringLiteral("line one\nline two");
    g.header_val = QStringLiteral("Top text");
    g.footer_val = QStringLiteral("Bottom text");
    g.show_hide_hdr = 1;
    g.show_hide_ftr = 1;
    g.show_hide_val = 0;
    g.show_val_on_top = 1;
    g.align_hdr_index = 0;
    g.align_ftr_index = 2;
    g.linear_height_val = 1.25f;
    g.linear_width_val = 13.5f;
    g.qr_size_val = 77;
    g.qr_version_index = 3;
    g.qr_ec_index = 2;
    g.pdf_hgt_val = 33;
    g.pdf_wdt_val = 150;
    g.pdf_ec_val = 4;
    g.pdf_row_val = 12;
    g.pdf_col_val = 4;
    g.kerning_value_val = 1;
    g.dm_module_val = 3;
    g.dm_format_index = 5;
    g.dm_encoding_index = 1;
    g.hdr_margin_val = 0.2f;
    g.ftr_margin_val = 0.3f;
    g.val_margin_val = 0.4f;
    g.TB_marging_val = 0.5f;
    g.LR_margin_val = 0.7f;
    g.value_font_val = QFont(QStringLiteral("Liberation Sans"), 12);
    g.header_font_val = QFont(QStringLiteral("DejaVu Sans"), 14);
    g.footer_font_val = QFont(QStringLiteral("Liberation Mono"), 9);
    g.barcode_hdr_clr_val = QColor(10, 20, 30);
    g.barcode_ftr_clr_val = QColor(40, 50, 60);
    g.barcode_val_clr_val = QColor(70, 80, 90);
    g.barcode_back_clr_val = QColor(250, 240, 230);
    g.barcode_clr_val = QColor(0, 0, 128);
    g.dpi_val_index = 1;
    g.dpi_custom_val = QStringLiteral("300");
}

// Presses OK (or Cancel) as soon as the dialog's modal loop runs; an OK the dialog refuses is followed by
// Cancel, so a failing test ends instead of waiting in the loop.
inline void answerDialog(Barcode_Gen* d, bool ok) {
    QTimer::singleShot(0, d, [d, ok] {
        if (ok)
            d->OK_Btn_Clicked();
        if (d->isVisible())
            d->Cancel_Btn_Clicked();
    });
}

// The designer every test shares, a recording prompt in place; reset() before each test.
struct DesignerFixture {
    Barcode_Gen* d = nullptr;
    RecordingPrompt prompt;

    void setUp() {
        setPromptHandler(&prompt);
        d = Barcode_Gen::defaultInstance();
        QVERIFY(d);
        QCOMPARE(Barcode_Gen_Var, d);
    }
    void reset() {
        prompt.texts.clear();
        d->dataSources = {};
        d->Set_Barcode_Prop_To_Control(*newBarcode());
    }
    static void tearDown() { setPromptHandler(nullptr); }
};

} // namespace designer_test
