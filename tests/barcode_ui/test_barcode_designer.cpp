// The barcode designer: loading and saving an item's style through the controls, OK and Cancel, the
// preview against generation, the data-source part and the copy to the selection, all without a screen.

#include "DesignerTestSupport.h"

using namespace designer_test;

class TestBarcodeDesigner : public QObject, DesignerFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void init() { reset(); }
    void cleanupTestCase() { tearDown(); }

    // ------------------------------------------------------------ load and save

    void loadShowsEveryField_data() {
        QTest::addColumn<bool>("twoD");
        QTest::newRow("linear") << false;
        QTest::newRow("2-D") << true;
    }
    void loadShowsEveryField() {
        QFETCH(bool, twoD);
        const GraphicPtr item = newBarcode();
        setEveryField(*item, twoD);
        d->Set_Barcode_Prop_To_Control(*item);
        BarcodeStyle expected = BarcodeStyle::fromItem(*item);
        QCOMPARE(d->styleFromControls(), expected);
        QCOMPARE(d->liner_or_2D_font(), twoD ? 1 : 0);
        QCOMPARE(d->value_font_value->text(), QStringLiteral("Liberation Sans ( 12.00 )"));
        QCOMPARE(d->header_font_value->text(), QStringLiteral("DejaVu Sans ( 14.00 )"));
        QCOMPARE(d->footer_font_value->text(), QStringLiteral("Liberation Mono ( 9.00 )"));
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("HeightText"))->text(), QStringLiteral("1.25"));
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("dpi_Text"))->text(), QStringLiteral("300"));
        QCOMPARE(d->dataText_2D_scl_v->isHidden(), !twoD);
        QCOMPARE(d->dataText->isHidden(), twoD);
        QCOMPARE(d->dm_2d_sett_box->isHidden(), !twoD);
        QCOMPARE(d->linear_sett_box->isHidden(), twoD);
    }

    void okWritesEveryFieldBack_data() { loadShowsEveryField_data(); }
    void okWritesEveryFieldBack() {
        QFETCH(bool, twoD);
        const GraphicPtr source = newBarcode();
        setEveryField(*source, twoD);
        d->Set_Barcode_Prop_To_Control(*source);
        const GraphicPtr target = newBarcode();
        // Edit a fresh item into the same design: load it, then put the source's style in the controls.
        QTimer::singleShot(0, d, [this, source] {
            d->loadStyle(BarcodeStyle::fromItem(*source));
            d->OK_Btn_Clicked();
        });
        QUndoStack undo;
        QCOMPARE(d->Open_Wnd(target, &undo), target);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(BarcodeStyle::fromItem(*target), BarcodeStyle::fromItem(*source));
        QCOMPARE(undo.count(), 1);
        undo.undo();
        QCOMPARE(BarcodeStyle::fromItem(*target), BarcodeStyle::fromItem(*newBarcode()));
    }

    void okWritesSteppersNotFields_data() {
        QTest::addColumn<QString>("textName");
        QTest::addColumn<QString>("stepperName");
        QTest::addColumn<QString>("typed");
        for (const auto& [name, text, stepper, typed] :
             {std::tuple{"bar height", "HeightText", "HeightStepper", "3"},
              {"bar width", "widthText", "widthStepper", "45"},
              {"header margin", "hdr_mar_Text", "hdr_mar_Stepper", "1.5"},
              {"left-right margin", "LR_mar_Text", "LR_mar_Stepper", "2"}})
            QTest::newRow(name) << QString(text) << QString(stepper) << QString(typed);
    }
    void okWritesSteppersNotFields() {
        QFETCH(QString, textName);
        QFETCH(QString, stepperName);
        QFETCH(QString, typed);
        const GraphicPtr item = newBarcode();
        const BarcodeStyle before = BarcodeStyle::fromItem(*item);
        QTimer::singleShot(0, d, [&] {
            // Typed but never committed to the stepper.
            d->findChild<QLineEdit*>(textName)->setText(typed);
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(BarcodeStyle::fromItem(*item), before);

        // Committing the field moves the stepper, and OK stores it.
        QTimer::singleShot(0, d, [&] {
            auto* text = d->findChild<QLineEdit*>(textName);
            text->setText(typed);
            emit text->editingFinished();
            QCOMPARE(d->findChild<QDoubleSpinBox*>(stepperName)->value(), typed.toDouble());
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QVERIFY(BarcodeStyle::fromItem(*item) != before);
    }

    void stepperMovesField() {
        auto* stepper = d->findChild<QDoubleSpinBox*>(QStringLiteral("TB_mar_Stepper"));
        stepper->stepUp();
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("TB_mar_Text"))->text(), QStringLiteral("0.2"));
        QCOMPARE(d->styleFromControls().TB_marging_val, 0.2f);
    }

    void cancelWritesNothing() {
        const GraphicPtr item = newBarcode();
        item->Set_Barcode_image(QImage(5, 5, QImage::Format_RGB32));
        const BarcodeItemState before = BarcodeItemState::of(*item);
        d->dataSources.seriesNames = [] { return QStringList{QStringLiteral("Guests")}; };
        d->dataSources.firstValueOfSeries = [](const QString&) { return QStringLiteral("G-1"); };
        QTimer::singleShot(0, d, [this] {
            d->dataText->setText(QStringLiteral("CHANGED"));
            d->hideHeaderCheckbox->setChecked(true);
            d->setHeaderFont(QFont(QStringLiteral("DejaVu Sans"), 30));
            d->Data_source_type->setCurrentIndex(1);
            d->Cancel_Btn_Clicked();
        });
        QUndoStack undo;
        QCOMPARE(d->Open_Wnd(item, &undo), item);
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QVERIFY(BarcodeItemState::of(*item) == before);
        QCOMPARE(undo.count(), 0);
        QVERIFY(!d->lastEditChangedItem());
    }

    void okWithoutChangePushesNothing() {
        const GraphicPtr item = newBarcode();
        answerDialog(d, true);
        QUndoStack undo;
        d->Open_Wnd(item, &undo);
        QCOMPARE(undo.count(), 0);
        QVERIFY(!d->lastEditChangedItem());
    }

    // ------------------------------------------------------------ custom resolution

    void customResolutionIsTheItemsOwn() {
        const GraphicPtr a = newBarcode();
        a->dpi_val_index = 1;
        a->dpi_custom_val = QStringLiteral("300");
        d->Set_Barcode_Prop_To_Control(*a);
        QVERIFY(d->dpi.stepper->isEnabled());
        QCOMPARE(d->styleFromControls().dpi, 300);

        // The next item keeps its own custom text; nothing of the previous item leaks into it.
        const GraphicPtr b = newBarcode();
        answerDialog(d, true);
        d->Open_Wnd(b);
        QCOMPARE(b->dpi_custom_val, QStringLiteral("0"));
        QCOMPARE(b->dpi_val_index, 0);
        QVERIFY(!d->dpi.stepper->isEnabled());
    }

    void customResolutionFollowsTheStepper() {
        const GraphicPtr item = newBarcode();
        QTimer::singleShot(0, d, [this] {
            d->DPI_ComboBox->setCurrentIndex(1); // "Custom"
            d->dpi.text->setText(QStringLiteral("250"));
            emit d->dpi.text->editingFinished();
            QCOMPARE(d->dpi.stepper->value(), 250.0);
            QCOMPARE(d->styleFromControls().dpi, 250);
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(item->dpi_val_index, 1);
        QCOMPARE(item->dpi_custom_val, QStringLiteral("250"));
        QCOMPARE(BarcodeStyle::fromItem(*item).dpi, 250);
    }

    // ------------------------------------------------------------ units and labels

    void unitLabels_data() {
        QTest::addColumn<bool>("twoD");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("margins");
        for (const auto& [name, twoD, unit, height, margins] :
             {std::tuple{"inch", false, 0, "Bar Height (in):", "Margins (in)"},
              {"cm", false, 1, "Bar Height (cm):", "Margins (cm)"},
              {"mm", false, 2, "Bar Height (mm):", "Margins (mm)"},
              {"2-D", true, 1, "Bar Height :", "Margins (cm)"}})
            QTest::newRow(name) << twoD << unit << height << margins;
    }
    void unitLabels() {
        QFETCH(bool, twoD);
        QFETCH(int, unit);
        QFETCH(QString, height);
        QFETCH(QString, margins);
        QCOMPARE(BarcodeDesigner::barHeightLabelText(twoD, unit), height);
        QCOMPARE(BarcodeDesigner::marginBoxTitle(unit), margins);
        QCOMPARE(BarcodeDesigner::barWidthLabelText(twoD),
                 twoD ? QStringLiteral("Bar Width :") : QStringLiteral("Bar Width (Mils):"));
    }

    void unitConversionsShown_data() {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("shown");
        QTest::newRow("1 cm") << 28.346472 << 1 << 1.0;
        QTest::newRow("1 in") << 72.0 << 0 << 1.0;
        QTest::newRow("1 mm") << 2.8346472 << 2 << 1.0;
        QTest::newRow("header wider than bars") << 163.346472 << 1 << 5.762565;
    }
    void unitConversionsShown() {
        QFETCH(double, points);
        QFETCH(int, unit);
        QFETCH(double, shown);
        QVERIFY(qAbs(BarcodeDesigner::pointsToUnit(points, unit) - shown) < 1e-4);
    }

    void sizeLabelShowsTheDrawing() {
        d->goButtonActionPerformed();
        QCOMPARE(d->barHeightLabel->text(), QStringLiteral("Bar Height (cm):"));
        QCOMPARE(d->margin_box->title(), QStringLiteral("Margins (cm)"));
        const QImage img = d->previewImage();
        QVERIFY(!img.isNull());
        const QString text = d->barcode_size_label->text();
        QVERIFY2(text.endsWith(QStringLiteral(" cm)")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral(" pt (")));
    }

    // ------------------------------------------------------------ preview

    void previewShowsTheReason_data() {
        QTest::addColumn<int>("symbology");
        QTest::addColumn<QString>("value");
        QTest::newRow("letters in EAN-13") << int(BarcodeSymbologies::EAN13) << "ABC";
        QTest::newRow("letters in Code 128 SET C") << int(BarcodeSymbologies::Code128C) << "12AB";
        QTest::newRow("odd digits in UPCA") << int(BarcodeSymbologies::UPCA) << "12345";
        QTest::newRow("non-ASCII") << int(BarcodeSymbologies::Code128) << "Grüße";
        QTest::newRow("empty") << int(BarcodeSymbologies::Code39) << "";
    }
    void previewShowsTheReason() {
        QFETCH(int, symbology);
        QFETCH(QString, value);
        const GraphicPtr item = newBarcode();
        item->barcode_font_index = symbology;
        item->linear_font_val = value;
        const BarcodeStyle original = BarcodeStyle::fromItem(*item);
        QTimer::singleShot(0, d, [this] {
            QVERIFY(d->previewImage().isNull());
            QVERIFY(!d->previewReason().isEmpty());
            QVERIFY(!d->barcode_error_label->isHidden());
            QCOMPARE(d->barcode_error_label->text(), d->previewReason());
            d->OK_Btn_Clicked(); // refused: tells why and stays open
            QCOMPARE(prompt.texts.size(), 1);
            QCOMPARE(prompt.texts.first(), d->previewReason());
            QVERIFY(d->isVisible());
            d->Cancel_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(BarcodeStyle::fromItem(*item), original);

        // The reason is generation's own where generation is asked.
        const BarcodeResult r = generateBarcode(original, value, original.header_val, original.footer_val);
        QString contentReason;
        if (BarcodeDesigner::contentAcceptable(value, false, &contentReason))
            QCOMPARE(d->previewReason(), r.reason);
        else
            QCOMPARE(d->previewReason(), contentReason);
    }

    void previewIsGeneration_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("symbology");
        QTest::addColumn<QString>("value");
        QTest::newRow("Code 39") << 0 << int(BarcodeSymbologies::Code39) << "CARD-7";
        QTest::newRow("EAN-13") << 0 << int(BarcodeSymbologies::EAN13) << "400638133393";
        QTest::newRow("QR Code") << 1 << int(BarcodeSymbologies::QRCode) << "https://example.com/7";
        QTest::newRow("PDF417") << 1 << int(BarcodeSymbologies::PDF417) << "PDF 417 text";
        QTest::newRow("DataMatrix") << 1 << int(BarcodeSymbologies::DataMatrix) << "DM-42";
    }
    void previewIsGeneration() {
        QFETCH(int, mode);
        QFETCH(int, symbology);
        QFETCH(QString, value);
        BarcodeStyle s;
        s.linear_or_2d = mode;
        s.barcode_font_index = symbology;
        s.linear_font_val = s.two_d_font_val = value;
        d->loadStyle(s);
        // Edits of several kinds, each followed by a look at the preview.
        d->setHeaderFont(QFont(QStringLiteral("DejaVu Sans"), 16));
        d->lrMargin.stepper->stepUp();
        d->bar_hdr_clr->setColor(Qt::red);
        emit d->bar_hdr_clr->colorChosen(Qt::red);
        d->HeaderText->setText(QStringLiteral("Guest"));
        d->align_ftr_combo->setCurrentIndex(0);
        const BarcodeStyle now = d->styleFromControls();
        const BarcodeResult r = generateBarcode(now, value, now.header_val, now.footer_val);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(d->previewImage(), r.image);
        QVERIFY(d->barcode_error_label->isHidden());
    }

    // ------------------------------------------------------------ symbology pop-up

    void popupFollowsEngineOrder() {
        const QStringList& linear = BarcodeSymbologies::linearTitles();
        const QStringList& twoD = BarcodeSymbologies::twoDTitles();
        for (int i = 0; i < linear.size(); ++i)
            QCOMPARE(d->barcodeTypePopup->itemText(BarcodeDesigner::popupPosition(0, i)), linear.at(i));
        for (int i = 0; i < twoD.size(); ++i)
            QCOMPARE(d->barcodeTypePopup->itemText(BarcodeDesigner::popupPosition(1, i)), twoD.at(i));
        for (int p = 0; p < BarcodeDesigner::popupCount(); ++p) {
            int mode = -1, index = -1;
            const bool entry = BarcodeDesigner::popupEntry(p, &mode, &index);
            QCOMPARE(entry, p != BarcodeDesigner::popupSeparatorPosition());
            if (entry)
                QCOMPARE(BarcodeDesigner::popupPosition(mode, index), p);
        }
    }

    void symbologyChangeSwitchesPanels() {
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(1, BarcodeSymbologies::PDF417));
        QCOMPARE(d->liner_or_2D_font(), 1);
        QVERIFY(!d->pdf_2d_sett_box->isHidden());
        QVERIFY(d->two_d_sett_box->isHidden());
        QVERIFY(d->captionCheckbox->isHidden());
        QVERIFY(d->value_font_value->isHidden());
        QCOMPARE(d->barWidthLabel->text(), QStringLiteral("Bar Width :"));
        QVERIFY(!d->previewImage().isNull()); // the linear value moved into the 2-D field

        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(0, BarcodeSymbologies::UPCA));
        QCOMPARE(d->liner_or_2D_font(), 0);
        QVERIFY(!d->kerning_value_Checkbox->isEnabled());
        QVERIFY(!d->kerning_value_Checkbox->isChecked());
        QCOMPARE(d->sett_tab->currentIndex(), 0);
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(0, BarcodeSymbologies::Code128));
        QVERIFY(d->kerning_value_Checkbox->isEnabled());
        QCOMPARE(d->sett_tab->indexOf(d->dpi_tab_item), -1); // the resolution tab belongs to 2-D kinds
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(1, BarcodeSymbologies::QRCode));
        QCOMPARE(d->sett_tab->indexOf(d->dpi_tab_item), 3);
    }

    // A new item's quiet-zone margins follow a change of symbology; margins set by hand stay.
    void quietZoneMarginsFollowTheSymbology_data() {
        QTest::addColumn<float>("handMargin");
        QTest::newRow("new item's margins") << 0.0f;
        QTest::newRow("margin set by hand") << 0.05f;
    }
    void quietZoneMarginsFollowTheSymbology() {
        QFETCH(float, handMargin);
        const GraphicPtr item = newBarcode();
        QVERIFY(BarcodeItemDrawing::setUpNewItem(*item));
        if (handMargin > 0)
            item->TB_marging_val = handMargin;
        d->Set_Barcode_Prop_To_Control(*item);
        d->dataText->setText(QStringLiteral("HTTPS://EXAMPLE.COM/RSVP"));
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(1, BarcodeSymbologies::QRCode));
        d->dataText_2D->setPlainText(QStringLiteral("https://example.com/rsvp?id=42"));
        d->goButtonActionPerformed();
        const BarcodeStyle s = d->styleFromControls();
        if (handMargin > 0) {
            QCOMPARE(s.TB_marging_val, handMargin);
            QCOMPARE(s.LR_margin_val, item->LR_margin_val);
            QVERIFY(!d->barcode_quiet_label->isHidden());
        } else {
            QVERIFY(s.TB_marging_val > item->TB_marging_val);
            QVERIFY2(d->barcode_quiet_label->isHidden(), qPrintable(d->barcode_quiet_label->text()));
        }
    }

    // A value or symbology change that makes the drawing wider than the card gives a one-line warning.
    void widerThanTheCardWarned_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("warned");
        QTest::newRow("short Code 39") << int(BarcodeSymbologies::Code39) << "NV" << false;
        QTest::newRow("long Code 39") << int(BarcodeSymbologies::Code39) << "NAVU-PHOTO-FRAME-2026" << true;
        QTest::newRow("long value as Code 128") << int(BarcodeSymbologies::Code128) << "NAVU-PHOTO-FRAME-2026"
                                                << true;
    }
    void widerThanTheCardWarned() {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(bool, warned);
        const GraphicPtr item = newBarcode();
        QVERIFY(BarcodeItemDrawing::setUpNewItem(*item));
        d->Set_Barcode_Prop_To_Control(*item);
        d->cardWidth = 200;
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(0, index));
        d->dataText->setText(value);
        d->goButtonActionPerformed();
        const QString text = d->barcode_quiet_label->text();
        QCOMPARE(text.contains(QStringLiteral("wider than the card (7.1 cm)")), warned);
        QCOMPARE(text.count(QLatin1Char('\n')), 0);
        d->cardWidth = 0;
    }

    // The QR encoding and the orientation lists offer only choices that work: the automatic encoding (the
    // encoder picks the modes itself) and horizontal bars.
    void encodingAndOrientationOfferWhatWorks() {
        QCOMPARE(d->qr_enc_mode_ComboBox->count(), 1);
        QCOMPARE(d->qr_enc_mode_ComboBox->itemText(0), QStringLiteral("Auto"));
        QCOMPARE(d->bar_orient_combo->count(), 1);
        QCOMPARE(d->bar_orient_combo->itemText(0), QStringLiteral("Horizontal"));
    }

    // "Spread value text" is kept with the item and drawn: the spread caption is wider.
    void spreadValueTextIsKept() {
        const GraphicPtr item = newBarcode();
        item->barcode_font_index = BarcodeSymbologies::Code128;
        item->linear_font_val = QStringLiteral("AB12");
        QTimer::singleShot(0, d, [this] {
            QVERIFY(d->kerning_value_Checkbox->isEnabled());
            const QImage plain = d->previewImage();
            d->kerning_value_Checkbox->setChecked(true);
            QVERIFY(d->previewImage() != plain);
            d->OK_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(item->kerning_value_val, 1);
        QCOMPARE(BarcodeStyle::fromItem(*item).kerning_value, 1);
        d->Set_Barcode_Prop_To_Control(*newBarcode());
        QVERIFY(!d->kerning_value_Checkbox->isChecked()); // a design without the key reads as off
        d->Set_Barcode_Prop_To_Control(*item);
        QVERIFY(d->kerning_value_Checkbox->isChecked());
    }

    // QR Code, PDF417 and Data Matrix take any text in the designer, as they do for data rows; a linear
    // symbology keeps its character set and names what it refuses.
    void unicodeValues_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("symbology");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        using namespace BarcodeSymbologies;
        for (const QString& v :
             {QStringLiteral("Straße"), QStringLiteral("€ 5"), QStringLiteral("グリーティング")}) {
            QTest::newRow(qPrintable(QStringLiteral("QR ") + v)) << 1 << int(QRCode) << v << true;
            QTest::newRow(qPrintable(QStringLiteral("PDF417 ") + v)) << 1 << int(PDF417) << v << true;
            QTest::newRow(qPrintable(QStringLiteral("DataMatrix ") + v)) << 1 << int(DataMatrix) << v << true;
        }
        QTest::newRow("Code 128 Straße") << 0 << int(Code128) << "Straße" << false;
    }
    void unicodeValues() {
        QFETCH(int, mode);
        QFETCH(int, symbology);
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        const GraphicPtr item = newBarcode();
        item->linear_or_2d = mode;
        item->barcode_font_index = symbology;
        (mode == 0 ? item->linear_font_val : item->two_d_font_val) = value;
        answerDialog(d, true);
        d->Open_Wnd(item);
        QCOMPARE(d->result() == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(!Barcode_output_image.isNull());
            QCOMPARE(item->two_d_font_val, value);
        } else {
            QCOMPARE(prompt.texts.size(), 1);
            QVERIFY2(prompt.texts.first().contains(QStringLiteral("\"ß\"")),
                     qPrintable(prompt.texts.first()));
        }
    }

    // The preview shows the drawing one point to one screen pixel, made at the screen's resolution, and a
    // new picture is centred again whatever preview alignment was chosen.
    void previewOneToOne() {
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::Code128;
        s.linear_font_val = QStringLiteral("CARD 7");
        d->loadStyle(s);
        d->goButtonActionPerformed();
        const QPixmap shown = d->previewPixmap();
        QVERIFY(!shown.isNull());
        const BarcodeStyle now = d->styleFromControls();
        BarcodeStyle atScreen = now;
        atScreen.dpi = qRound(72 * d->devicePixelRatioF());
        const BarcodeResult r = generateBarcode(atScreen, now.content(), now.header_val, now.footer_val);
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                 r.image.convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(shown.deviceIndependentSize().toSize(), (r.image.size() / d->devicePixelRatioF()));

        d->bar_align_combo->setCurrentText(QStringLiteral("BottomRight"));
        QCOMPARE(d->barcodeImage->alignment(), Qt::AlignBottom | Qt::AlignRight);
        d->HeaderText->setText(QStringLiteral("Guest"));
        QCOMPARE(d->barcodeImage->alignment(), Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(d->bar_align_combo->currentText(), QStringLiteral("Center"));
    }

    // A stored symbology outside the lists is shown as it is and never turns into another type on OK.
    void unknownSymbologyIsKept_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::newRow("linear 42") << 0 << 42;
        QTest::newRow("2-D 9") << 1 << 9;
        QTest::newRow("linear -1") << 0 << -1;
    }
    void unknownSymbologyIsKept() {
        QFETCH(int, mode);
        QFETCH(int, index);
        const GraphicPtr item = newBarcode();
        item->linear_or_2d = mode;
        item->barcode_font_index = index;
        const BarcodeStyle stored = BarcodeStyle::fromItem(*item);
        QTimer::singleShot(0, d, [this, mode, index] {
            QCOMPARE(d->barcodeTypePopup->currentText(), BarcodeDesigner::unknownSymbologyTitle(mode, index));
            QVERIFY(d->previewReason().contains(QStringLiteral("Unknown barcode type")));
            QCOMPARE(d->styleFromControls().barcode_font_index, index);
            d->OK_Btn_Clicked(); // refused with the reason
            QVERIFY(d->isVisible());
            d->Cancel_Btn_Clicked();
        });
        d->Open_Wnd(item);
        QCOMPARE(BarcodeStyle::fromItem(*item), stored);
        QVERIFY(!prompt.texts.isEmpty());
        QVERIFY(unknownSymbologyNotice({item}, {}).contains(QStringLiteral("on the front")));
        QVERIFY(unknownSymbologyNotice({newBarcode()}, {newBarcode()}).isEmpty());
        // A known type afterwards leaves no trace of the unknown entry.
        d->Set_Barcode_Prop_To_Control(*newBarcode());
        QCOMPARE(d->barcodeTypePopup->count(), BarcodeDesigner::popupCount());
    }

    // Changing the symbology keeps the typed value where the new symbology takes it.
    void typedValueFollowsTheSymbology_data() {
        QTest::addColumn<int>("fromMode");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("toMode");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("shown");
        using namespace BarcodeSymbologies;
        QTest::newRow("QR address to Code 128") << 1 << int(QRCode) << "https://example.com/a?b=1" << 0
                                                << int(Code128) << "https://example.com/a?b=1";
        QTest::newRow("QR address to EAN-13 keeps EAN's own")
            << 1 << int(QRCode) << "https://example.com/a" << 0 << int(EAN13) << "0123";
        QTest::newRow("Code 39 to PDF417") << 0 << int(Code39) << "CARD-9" << 1 << int(PDF417) << "CARD-9";
        QTest::newRow("Code 128 to EAN-13 keeps the text")
            << 0 << int(Code128) << "ABC" << 0 << int(EAN13) << "ABC";
    }
    void typedValueFollowsTheSymbology() {
        QFETCH(int, fromMode);
        QFETCH(int, from);
        QFETCH(QString, typed);
        QFETCH(int, toMode);
        QFETCH(int, to);
        QFETCH(QString, shown);
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(fromMode, from));
        if (fromMode == 0)
            d->dataText->setText(typed);
        else
            d->dataText_2D->setPlainText(typed);
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(toMode, to));
        QCOMPARE(toMode == 0 ? d->dataText->text() : d->dataText_2D->toPlainText(), shown);
    }

    void emptyValueOnSymbologyChange() {
        d->dataText->setText(QString());
        d->dataText_2D->setPlainText(QString());
        d->barcodeTypePopup->setCurrentIndex(BarcodeDesigner::popupPosition(0, BarcodeSymbologies::Code128));
        QCOMPARE(prompt.texts, QStringList{QStringLiteral("Please enter barcode value")});
        QVERIFY(d->previewImage().isNull());
    }

    void captionBoxDrivesValueOnTop() {
        d->captionCheckbox->setChecked(true);
        QVERIFY(!d->showinTopCheckbox->isEnabled());
        QVERIFY(!d->Get_Print_State());
        d->captionCheckbox->setChecked(false);
        QVERIFY(d->showinTopCheckbox->isEnabled());
        QVERIFY(d->Get_Print_State());
    }

    void qrSizeFloor_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("V5 raises 30") << 5 << 30 << 37;
        QTest::newRow("V5 keeps 60") << 5 << 60 << 60;
        QTest::newRow("Auto raises nothing above 21") << 0 << 25 << 25;
        QTest::newRow("V40") << 40 << 60 << 177;
    }
    void qrSizeFloor() {
        QFETCH(int, version);
        QFETCH(int, size);
        QFETCH(int, expected);
        BarcodeStyle s;
        s.linear_or_2d = 1;
        s.barcode_font_index = BarcodeSymbologies::QRCode;
        s.qr_size_val = size;
        d->loadStyle(s);
        d->qr_version_ComboBox->setCurrentIndex(version);
        QCOMPARE(d->styleFromControls().qr_size_val, expected);
        QCOMPARE(d->qrSize.text->text(), QString::number(expected));
    }

    void dataMatrixSizeFloor_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("module");
        QTest::addColumn<QSize>("floor");
        QTest::newRow("C8X18 module 2") << "C8X18" << 2 << QSize(36, 16);
        QTest::newRow("C10X10 module 3") << "C10X10" << 3 << QSize(30, 30);
        QTest::newRow("Auto") << "Auto" << 2 << QSize();
        QTest::newRow("no X") << "C10" << 2 << QSize();
    }
    void dataMatrixSizeFloor() {
        QFETCH(QString, format);
        QFETCH(int, module);
        QFETCH(QSize, floor);
        QCOMPARE(BarcodeDesigner::dataMatrixSizeFloor(format, module), floor);
    }

    void dataMatrixWidthAndHeightChooseTheSymbol() {
        BarcodeStyle s;
        s.linear_or_2d = 1;
        s.barcode_font_index = BarcodeSymbologies::DataMatrix;
        s.two_d_font_val = QStringLiteral("HELLO");
        s.dm_module_val = 2;
        d->loadStyle(s);
        // "Auto": width and height show the symbol the value takes (12 x 12 modules).
        QCOMPARE(d->dmWidth.stepper->value(), 24.0);
        QCOMPARE(d->dmHeight.stepper->value(), 24.0);
        // A larger area chooses the largest symbol inside it, stored as the format.
        d->dmWidth.stepper->setValue(60);
        d->dmHeight.stepper->setValue(60);
        QCOMPARE(d->dm_format_ComboBox->currentText(), QStringLiteral("C26X26"));
        QCOMPARE(d->styleFromControls().dm_format_index,
                 int(dataMatrixFormats().indexOf(QStringLiteral("C26X26"))));
        QVERIFY(d->barcode_error_label->isHidden());
        // Too small for the value: refused with the reason, nothing changes.
        d->dmWidth.text->setText(QStringLiteral("22"));
        emit d->dmWidth.text->editingFinished();
        QCOMPARE(d->dmWidth.stepper->value(), 60.0);
        QCOMPARE(d->dmWidth.text->text(), QStringLiteral("60"));
        QCOMPARE(d->dm_format_ComboBox->currentText(), QStringLiteral("C26X26"));
        QVERIFY(!d->barcode_error_label->isHidden());
        QVERIFY2(d->barcode_error_label->text().contains(QStringLiteral("12 modules wide")),
                 qPrintable(d->barcode_error_label->text()));
        // A low strip chooses a rectangle.
        d->dmHeight.stepper->setValue(16);
        QCOMPARE(d->dm_format_ComboBox->currentText(), QStringLiteral("C8X18"));
        QVERIFY(d->barcode_error_label->isHidden());
    }
};

QTEST_MAIN(TestBarcodeDesigner)
#include "test_barcode_designer.moc"
