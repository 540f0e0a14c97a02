// The barcode designer's data-source part, its copy to the selected items, the images rows draw, and its
// small decisions, without a screen.

#include "DesignerTestSupport.h"

using namespace designer_test;

class TestBarcodeDesignerRows : public QObject, DesignerFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void init() { reset(); }
    void cleanupTestCase() { tearDown(); }

    // ------------------------------------------------------------ data source

    void seriesWithoutAnySeries() {
        d->Data_source_type->setCurrentIndex(1);
        QCOMPARE(prompt.texts,
                 QStringList{QStringLiteral("Please create batch processing series first.")});
        QCOMPARE(d->Data_source_type->currentIndex(), 0);
        QCOMPARE(d->pendingDataSourceType(), 0);
        QVERIFY(!d->dataText->isReadOnly());
    }

    void seriesBindingWrittenOnOk() {
        d->dataSources.seriesNames = [] {
            return QStringList{QStringLiteral("Guests"), QStringLiteral("Tables")};
        };
        d->dataSources.firstValueOfSeries = [](const QString& name) {
            return name == QLatin1String("Tables") ? QStringLiteral("T-01") : QStringLiteral("G-01");
        };
        const GraphicPtr item = newBarcode();
        item->batch_list_name = QStringLiteral("Tables");
        item->batch_list_index = 1;
        QTimer::singleShot(0, d, [this] {
            d->Data_source_type->setCurrentIndex(1);
            QCOMPARE(d->Batch_Series->currentText(), QStringLiteral("Tables"));
            QCOMPARE(d->dataText->text(), QStringLiteral("T-01"));
            QVERIFY(d->dataText->isReadOnly());
            QVERIFY(d->view_series_btn->isEnabled());
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(item->data_source_type, 1);
        QCOMPARE(item->batch_list_name, QStringLiteral("Tables"));
        QCOMPARE(item->linear_font_val, QStringLiteral("T-01"));

        // Back to manual keeps the list name and makes the value editable again.
        QTimer::singleShot(0, d, [this] {
            QCOMPARE(d->Data_source_type->currentIndex(), 1);
            d->Data_source_type->setCurrentIndex(0);
            QVERIFY(!d->dataText->isReadOnly());
            QVERIFY(!d->Batch_Series->isEnabled());
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(item->data_source_type, 0);
        QCOMPARE(item->batch_list_name, QStringLiteral("Tables"));
    }

    void sheetColumnBinding() {
        d->dataSources.columnTitles = [] {
            return QStringList{QStringLiteral("Row"), QStringLiteral("Name")};
        };
        d->dataSources.firstValueOfColumn = [](int c) {
            return c == 0 ? QStringLiteral("1") : QStringLiteral("Ann");
        };
        const GraphicPtr item = newBarcode();
        QTimer::singleShot(0, d, [this] {
            d->Data_source_type->setCurrentIndex(2);
            QCOMPARE(d->dataText->text(), QStringLiteral("Ann")); // the sheet's first column, not the row number
            d->Batch_Series->setCurrentIndex(0);
            emit d->Batch_Series->activated(0);
            QCOMPARE(d->dataText->text(), QStringLiteral("1"));
            d->Batch_Series->setCurrentIndex(1);
            emit d->Batch_Series->activated(1);
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(item->data_source_type, 2);
        QCOMPARE(item->excel_col_indx, 1);
    }

    void viewWithoutSeries() {
        d->View_batch_Series_Button();
        QCOMPARE(prompt.texts, QStringList{QStringLiteral("Please select the series.")});
    }

    // ------------------------------------------------------------ the editor window's side

    void copyToSelectedBarcodeItems() {
        const GraphicPtr source = newBarcode();
        setEveryField(*source, false);
        const GraphicPtr other = newBarcode();
        other->barcode_unit_val = 1;
        other->data_source_type = 1;
        other->batch_list_name = QStringLiteral("Guests");
        const GraphicPtr text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        const BarcodeItemState textBefore = BarcodeItemState::of(*text);
        const BarcodeItemState sourceBefore = BarcodeItemState::of(*source);
        const BarcodeItemState otherBefore = BarcodeItemState::of(*other);
        const BarcodeStyle style = BarcodeStyle::fromItem(*source);
        const QImage image =
            generateBarcode(style, style.content(), style.header_val, style.footer_val).image;
        QVERIFY(!image.isNull());

        QUndoStack undo;
        QVERIFY(Update_Barcode_Graphics(source, {other, text, source}, image, 1, &undo));
        QCOMPARE(BarcodeStyle::fromItem(*other), style);
        QCOMPARE(other->_barcode_image, image);
        QCOMPARE(source->_barcode_image, image);
        QCOMPARE(other->print_object, 1);
        QCOMPARE(other->data_source_type, 1); // binding stays the item's own
        QCOMPARE(other->batch_list_name, QStringLiteral("Guests"));
        QVERIFY(BarcodeItemState::of(*text) == textBefore);
        QCOMPARE(undo.count(), 1);
        undo.undo();
        QVERIFY(BarcodeItemState::of(*other) == otherBefore);
        QVERIFY(BarcodeItemState::of(*source) == sourceBefore);
    }

    void editedItemGetsImageWhenNotSelected() {
        const GraphicPtr source = newBarcode();
        const QImage image(10, 10, QImage::Format_RGB32);
        QVERIFY(Update_Barcode_Graphics(source, {}, image, std::nullopt, nullptr));
        QCOMPARE(source->_barcode_image, image);
    }

    void itemTakesTheProportionsOfItsNewSymbol() {
        const GraphicPtr item = newBarcode();
        item->setBounds(QRectF(20, 30, 143, 82));
        const GraphicPtr locked = newBarcode();
        locked->setBounds(QRectF(0, 0, 143, 82));
        locked->ctrl_is_locked = true;
        const QImage square(300, 300, QImage::Format_RGB32);
        QUndoStack undo;
        QVERIFY(Update_Barcode_Graphics(item, {item, locked}, square, std::nullopt, &undo));
        QCOMPARE(item->bounds(), QRectF(20, 30, 143, 143)); // place and width kept
        QCOMPARE(locked->bounds(), QRectF(0, 0, 143, 82));
        undo.undo();
        QCOMPARE(item->bounds(), QRectF(20, 30, 143, 82));
        // A header far wider than the bars: the linear item keeps its width and room for its texts.
        item->header_val = item->footer_val = QStringLiteral("Members of the NAVU photo club, 12 Harbour Road");
        item->show_hide_hdr = item->show_hide_ftr = 0;
        const BarcodeResult wide = Get_Item_Barcode(*item);
        QVERIFY(wide.ok());
        QVERIFY(Update_Barcode_Graphics(item, {item}, wide.image, std::nullopt, &undo));
        QCOMPARE(item->bounds(), QRectF(20, 30, 143, BarcodeItemDrawing::naturalSize(*item).height()));
    }

    // A change of symbology brings the new symbol's natural size, for the edited item and the copies.
    void newSymbologyTakesItsNaturalSize() {
        const GraphicPtr item = newBarcode();
        item->setBounds(QRectF(20, 30, 143, 82));
        item->linear_or_2d = 1; // written by the designer: now a QR Code
        item->barcode_font_index = BarcodeSymbologies::QRCode;
        const GraphicPtr other = newBarcode(); // still Code 39
        other->setBounds(QRectF(200, 30, 143, 82));
        const BarcodeResult qr = Get_Item_Barcode(*item);
        QVERIFY(qr.ok());
        QUndoStack undo;
        QVERIFY(Update_Barcode_Graphics(item, {item, other}, qr.image, std::nullopt, &undo, false, true));
        const QSizeF natural = BarcodeItemDrawing::naturalSize(*item);
        QCOMPARE(item->bounds(), QRectF(QPointF(20, 30), natural));
        QCOMPARE(other->bounds(), QRectF(QPointF(200, 30), natural));
    }

    void designerEditAndCopyAreOneUndoStep() {
        const GraphicPtr current = newBarcode();
        const GraphicPtr second = newBarcode();
        const BarcodeItemState before1 = BarcodeItemState::of(*current);
        const BarcodeItemState before2 = BarcodeItemState::of(*second);
        QTimer::singleShot(0, d, [this] {
            d->dataText->setText(QStringLiteral("NEW-1"));
            d->OK_Btn_Clicked();
        });
        QUndoStack undo;
        QVERIFY(Open_Barcode_Window(current, {current, second}, &undo, std::nullopt));
        QCOMPARE(second->linear_font_val, QStringLiteral("NEW-1"));
        const BarcodeStyle s = BarcodeStyle::fromItem(*current);
        const QImage expected = generateBarcode(s, s.content(), s.header_val, s.footer_val).image;
        QCOMPARE(current->_barcode_image, expected);
        QCOMPARE(second->_barcode_image, expected);
        QCOMPARE(undo.count(), 1);
        undo.undo();
        QVERIFY(BarcodeItemState::of(*current) == before1);
        QVERIFY(BarcodeItemState::of(*second) == before2);

        // Cancel copies nothing and hands no image over.
        answerDialog(d, false);
        QVERIFY(!Open_Barcode_Window(current, {current, second}, &undo, std::nullopt));
        QVERIFY(BarcodeItemState::of(*second) == before2);

        // Only what the designer changed reaches the other items: its own value stays, with its own barcode.
        second->linear_font_val = QStringLiteral("SECOND");
        QTimer::singleShot(0, d, [this] {
            d->HeaderText->setText(QStringLiteral("GUESTS"));
            d->OK_Btn_Clicked();
        });
        QVERIFY(Open_Barcode_Window(current, {current, second}, &undo, std::nullopt));
        QCOMPARE(current->header_val, QStringLiteral("GUESTS"));
        QCOMPARE(second->header_val, QStringLiteral("GUESTS"));
        QCOMPARE(second->linear_font_val, QStringLiteral("SECOND"));
        const BarcodeStyle own = BarcodeStyle::fromItem(*second);
        QCOMPARE(second->_barcode_image, generateBarcode(own, own.content(), own.header_val, own.footer_val).image);

        // A new symbology reaches the others whole, linear or 2-D; one whose value it cannot draw stays as it was.
        struct Case { int fromKind, fromIndex, toKind, toIndex, otherKind, otherIndex; const char* value; bool left; };
        for (const Case& k : {Case{0, 0, 0, 9, 1, 0, "ABC", false}, Case{1, 0, 1, 2, 0, 0, "ABC", false},
                              Case{1, 0, 1, 2, 1, 0, nullptr, true}}) { // 4,000 digits: not a Data Matrix
            const GraphicPtr edited = newBarcode(), other = newBarcode();
            edited->linear_or_2d = k.fromKind;
            edited->barcode_font_index = k.fromIndex;
            other->linear_or_2d = k.otherKind;
            other->barcode_font_index = k.otherIndex;
            other->linear_font_val = k.value ? QString::fromLatin1(k.value) : QString(4000, u'7');
            other->two_d_font_val = other->linear_font_val;
            const BarcodeStyle was = BarcodeStyle::fromItem(*edited);
            const BarcodeItemState otherWas = BarcodeItemState::of(*other);
            edited->linear_or_2d = k.toKind;
            edited->barcode_font_index = k.toIndex;
            edited->linear_font_val = QStringLiteral("5901234123457");
            const BarcodeStyle now = BarcodeStyle::fromItem(*edited);
            const QImage image = generateBarcode(now, now.content(), now.header_val, now.footer_val).image;
            QVERIFY(!image.isNull());
            prompt.texts.clear();
            QUndoStack steps;
            QVERIFY(Update_Barcode_Graphics(edited, {edited, other}, image, std::nullopt, &steps, false, true, &was));
            QCOMPARE(prompt.texts.size(), k.left ? 1 : 0);
            QCOMPARE(BarcodeItemState::of(*other) == otherWas, k.left);
            if (!k.left) {
                QCOMPARE(std::pair(other->linear_or_2d, other->barcode_font_index), std::pair(k.toKind, k.toIndex));
                QVERIFY(!other->_barcode_image.isNull());
            }
            steps.undo();
            QVERIFY(BarcodeItemState::of(*other) == otherWas);
        }
    }

    // ------------------------------------------------------------ per-row images

    void rowImageIsGeneration_data() {
        QTest::addColumn<bool>("twoD");
        QTest::newRow("linear") << false;
        QTest::newRow("2-D") << true;
    }
    void rowImageIsGeneration() {
        QFETCH(bool, twoD);
        const GraphicPtr item = newBarcode();
        setEveryField(*item, twoD);
        item->barcode_font_index = twoD ? int(BarcodeSymbologies::QRCode) : int(BarcodeSymbologies::Code128);
        d->Set_Barcode_Prop_To_Control(*item);
        // The dialog's controls change afterwards; rows still use the loaded style.
        d->HeaderText->setText(QStringLiteral("not for rows"));
        const BarcodeStyle style = BarcodeStyle::fromItem(*item);
        for (const QString& value :
             {QStringLiteral("ROW-1"), QStringLiteral("ROW-22"), QStringLiteral("333")}) {
            const BarcodeResult got = d->Get_Image_From_Val(value, item->header_val, item->footer_val);
            const BarcodeResult want = generateBarcode(style, value, item->header_val, item->footer_val);
            QVERIFY2(want.ok(), qPrintable(want.reason));
            QCOMPARE(got.image, want.image);
        }
        const BarcodeResult refused = d->Get_Image_From_Val(QString(), item->header_val, item->footer_val);
        QVERIFY(!refused.ok());
        QVERIFY(!refused.reason.isEmpty());
    }

    void acceptedImageIsWhatRowsDraw_data() {
        QTest::addColumn<bool>("twoD");
        QTest::newRow("linear") << false;
        QTest::newRow("2-D") << true;
    }
    void acceptedImageIsWhatRowsDraw() {
        QFETCH(bool, twoD);
        const GraphicPtr item = newBarcode();
        setEveryField(*item, twoD);
        item->barcode_font_index = twoD ? int(BarcodeSymbologies::QRCode) : int(BarcodeSymbologies::Code39);
        item->linear_font_val = QStringLiteral("ROW-7");
        QTimer::singleShot(0, d, [this] {
            d->setValueFont(QFont(QStringLiteral("DejaVu Sans"), 13));
            d->lrMargin.stepper->stepUp();
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        // The per-row fill of print, export and mail makes the item's image from the stored fields alone.
        const BarcodeResult row = Get_Item_Barcode_For_Value(*item, BarcodeStyle::fromItem(*item).content());
        QVERIFY2(row.ok(), qPrintable(row.reason));
        QCOMPARE(Barcode_output_image, row.image);
    }

    void rowImagesFromAWorker() {
        const GraphicPtr item = newBarcode();
        item->linear_font_val = QStringLiteral("WORKER");
        const QString headerShown = d->HeaderText->text();
        BarcodeResult got;
        std::thread worker([&] {
            d->Set_Barcode_Prop_To_Control(*item);
            got = d->Get_Image_From_Val(QStringLiteral("W-1"), item->header_val, item->footer_val);
        });
        worker.join();
        const BarcodeResult want = generateBarcode(BarcodeStyle::fromItem(*item), QStringLiteral("W-1"),
                                                   item->header_val, item->footer_val);
        QCOMPARE(got.image, want.image);
        QCOMPARE(d->HeaderText->text(), headerShown); // no widget was touched off the GUI thread
    }

    void brokenStoredValuesAreNotWrittenBack() {
        const GraphicPtr item = newBarcode();
        item->linear_height_val = std::numeric_limits<float>::quiet_NaN();
        item->LR_margin_val = -3.0f;
        item->linear_width_val = -5.0f;
        item->align_hdr_index = -4;
        item->dpi_val_index = 42;
        answerDialog(d, true);
        d->Open_Wnd(item);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QVERIFY(std::isfinite(item->linear_height_val) && item->linear_height_val > 0);
        QVERIFY(item->LR_margin_val >= 0);
        QVERIFY(item->linear_width_val >= 1);
        QCOMPARE(item->align_hdr_index, 0);
        QCOMPARE(item->dpi_val_index, 0);
        const BarcodeStyle s = BarcodeStyle::fromItem(*item);
        QVERIFY(generateBarcode(s, s.content(), s.header_val, s.footer_val).ok());
    }

    // ------------------------------------------------------------ small decisions

    void fontLabel() {
        QCOMPARE(BarcodeDesigner::fontLabelText(QFont(QStringLiteral("Times New Roman"), 10)),
                 QStringLiteral("Times New Roman ( 10.00 )"));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(11.5);
        QCOMPARE(BarcodeDesigner::fontLabelText(f), QStringLiteral("DejaVu Sans ( 11.50 )"));
    }

    void fontAndColourButtons() {
        d->fontPicker = [](const QFont&, const QString&) {
            return std::optional<QFont>(QFont("DejaVu Serif", 20));
        };
        d->colorPicker = [](const QColor&, const QString&) { return std::optional<QColor>(QColor(1, 2, 3)); };
        d->hdr_font_btn->click();
        QCOMPARE(d->header_font().pointSize(), 20);
        QCOMPARE(d->value_font().pointSize(), 10);
        QCOMPARE(d->header_font_value->text(), QStringLiteral("DejaVu Serif ( 20.00 )"));
        d->bar_ftr_clr->click();
        QCOMPARE(d->styleFromControls().barcode_ftr_clr_val, QColor(1, 2, 3));
        // A cancelled choice changes nothing.
        d->fontPicker = [](const QFont&, const QString&) { return std::optional<QFont>(); };
        d->val_font_btn->click();
        QCOMPARE(d->value_font().pointSize(), 10);
    }
};

QTEST_MAIN(TestBarcodeDesignerRows)
#include "test_barcode_designer_rows.moc"
