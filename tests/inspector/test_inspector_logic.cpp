#include "FileBytes.h"
#include "TestPictures.h"
#include "app/inspector/InspectorLogic.h"

#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/PictureReader.h"
#include "common/ResourceSetup.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"

#include <QImage>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using namespace inspector;

namespace {
GraphicPtr make(const QString& cls, const QString& shape = {}) {
    GraphicPtr g = makeGraphicOfClass(cls, false);
    g->_shape_type = shape;
    return g;
}
} // namespace

class TestInspectorLogic : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        setResourcePath(m_dir.path());
        QVERIFY(QDir().mkpath(Data_Folder_Path));
    }

    void dashCodes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("expected");
        for (const auto& [name, index, current, expected] :
             {std::tuple{"solid", 0, "DO", "S"},
              {"dash", 1, "S", "DA"},
              {"dot", 2, "S", "DO"},
              {"dash dot", 3, "S", "DD"},
              {"dash dot dot", 4, "S", "DDD"},
              {"none selected keeps", -1, "DD", "DD"},
              {"out of range keeps", 5, "DA", "DA"}})
            QTest::newRow(name) << index << QString(current) << QString(expected);
    }
    void dashCodes() {
        QFETCH(int, index);
        QFETCH(QString, current);
        QFETCH(QString, expected);
        QCOMPARE(dashCodeForIndex(index, current), expected);
        if (index >= 0 && index < 5)
            QCOMPARE(dashIndexForCode(expected), index);
    }

    void conversions() {
        QCOMPARE(dashIndexForCode(QStringLiteral("X")), -1);
        QCOMPARE(truncatedWidth(2.9), 2);
        QCOMPARE(truncatedWidth(-2.9), -2);
        QCOMPARE(percentToFraction(35), 0.35);
        QCOMPARE(fractionToPercent(0.5), 50.0);
        QVERIFY(qAbs(millimetresToPoints(25.4) - 72.0) < 1e-6);
        QVERIFY(qAbs(pointsToMillimetres(72.0) - 25.4) < 1e-6);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(12.5);
        QCOMPARE(fontLabel(f), QStringLiteral("DejaVu Sans ( 12.50 )"));
        QCOMPARE(indexOrCurrent(-1, 4, 2), 2);
        QCOMPARE(indexOrCurrent(4, 4, 2), 2);
        QCOMPARE(indexOrCurrent(3, 4, 2), 3);
    }

    void tabPlans_data() {
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QString>("labelTab");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("selName");
        const QStringList lock{"Lock_tab"};
        const struct {
            const char *name, *cls, *shape;
            bool locked;
            QStringList tabs;
            const char *labelTab, *label, *selName;
        } rows[] = {
            {"text", "SKTText", "", false, {"text_edtng_tab", "text_prop_tab", "datasource_tab", "aligmnt_tab"},
             "datasource_tab", "Text Source", "T"},
            {"text locked", "SKTText", "", true, lock, "Lock_tab", "Text Properties", "T"},
            {"picture", "SKTImage", "", false, {"datasource_tab", "image_tab", "aligmnt_tab"}, "datasource_tab",
             "Image Source", "I"},
            {"picture locked", "SKTImage", "", true, lock, "Lock_tab", "Image Properties", "I"},
            {"line", "SKTLine", "", false, {"line_tab", "aligmnt_tab"}, "", "", "NONE"},
            {"line locked", "SKTLine", "", true, lock, "Lock_tab", "Line Properties", "NONE"},
            {"signature", "SKTSignature", "", false, {"sign_tab", "aligmnt_tab"}, "sign_tab", "Signature Properties",
             "S"},
            {"barcode", "SKTBarcode", "", false, {"barcode_tab", "aligmnt_tab"}, "", "", "NONE"},
            {"barcode locked", "SKTBarcode", "", true, lock, "Lock_tab", "Barcode Properties", "NONE"},
            {"ellipse", "Shape_Control", "C", false, {"shape_tab", "aligmnt_tab"}, "shape_tab", "Ellipse Properties",
             "NONE"},
            {"double star locked", "Shape_Control", "DS", true, lock, "Lock_tab", "Double Star Properties", "NONE"}};
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString(r.cls) << QString(r.shape) << r.locked << r.tabs << QString(r.labelTab)
                                  << QString(r.label) << QString(r.selName);
    }
    void tabPlans() {
        QFETCH(QString, cls);
        QFETCH(QString, shape);
        QFETCH(bool, locked);
        QFETCH(QStringList, tabs);
        QFETCH(QString, labelTab);
        QFETCH(QString, label);
        QFETCH(QString, selName);
        GraphicPtr g = make(cls, shape);
        g->ctrl_is_locked = locked;
        const TabPlan plan = tabPlanForItem(*g);
        QCOMPARE(plan.tabs, tabs);
        if (!labelTab.isEmpty())
            QCOMPARE(plan.labels.value(labelTab), label);
        QCOMPARE(plan.selControlName, selName);
    }

    void lockedFingerprintLabels() {
        GraphicPtr g = make(QStringLiteral("SKTSignature"));
        g->sign_or_fingureprint = QStringLiteral("F");
        g->ctrl_is_locked = true;
        const TabPlan plan = tabPlanForItem(*g);
        QCOMPARE(plan.labels.value(QStringLiteral("Lock_tab")), QStringLiteral("Signature Properties"));
        QCOMPARE(plan.labels.value(QStringLiteral("sign_tab")), QStringLiteral("FingrePrint Properties"));
        QCOMPARE(plan.selControlName, QStringLiteral("F"));
    }

    void shapeExtrasAndUnknownCode() {
        GraphicPtr ds = make(QStringLiteral("Shape_Control"), QStringLiteral("DS"));
        TabPlan plan = tabPlanForItem(*ds);
        QVERIFY(plan.doubleStarShown && !plan.cornerRadiusShown && !plan.polygonShown);
        GraphicPtr odd = make(QStringLiteral("Shape_Control"), QStringLiteral("Q"));
        plan = tabPlanForItem(*odd);
        QVERIFY(!plan.labels.contains(QStringLiteral("shape_tab")));
        QVERIFY(plan.shapeTitle.isEmpty());
        QCOMPARE(tabPlanForCard().tabs, QStringList({"card_setting_tab", "card_bkgd_tab"}));
    }

    void templateButton_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("title");
        QTest::newRow("title") << "PARTY_TITLE" << true << "Use Template Title";
        QTest::newRow("message") << "PARTY_MSG" << true << "Use Template Message";
        QTest::newRow("other") << "PARTY_VENUE" << false << "";
    }
    void templateButton() {
        QFETCH(QString, id);
        QFETCH(bool, shown);
        QFETCH(QString, title);
        GraphicPtr t = make(QStringLiteral("SKTText"));
        t->control_ID = id;
        const TabPlan plan = tabPlanForItem(*t);
        QCOMPARE(plan.insertTemplateShown, shown);
        QCOMPARE(plan.insertTemplateTitle, title);
    }

    void shapeWriteBackBorderAndFillOff() {
        GraphicPtr g = make(QStringLiteral("Shape_Control"), QStringLiteral("R"));
        g->_strokeColor = Qt::red;
        g->_strokeWidth = 3;
        g->_fillColor = Qt::green;
        ShapePanelValues v;
        v.stroke = {false, Qt::blue, 9, -1};
        v.fillOn = false;
        v.fillColor = Qt::yellow;
        v.gradientRadio = true;
        v.grad1 = Qt::cyan;
        v.gradAngle = 45.5;
        v.alphaPercent = 35;
        applyShapePanel(*g, v);
        QVERIFY(!g->_isDrawingStroke);
        QCOMPARE(g->_strokeColor, QColor(Qt::red));
        QCOMPARE(g->_strokeWidth, 3.0);
        QCOMPARE(g->_stroke_border_type, QStringLiteral("S"));
        QVERIFY(!g->_isDrawingFill);
        QCOMPARE(g->_fill_type, QStringLiteral("S"));
        QCOMPARE(g->_fillColor, QColor(Qt::green));
        QCOMPARE(g->_fill_Grad_clr1, QColor(Qt::cyan));
        QCOMPARE(g->_fill_grad_angle, 45.5);
        QCOMPARE(g->alpha_val, 0.35f);

        v.stroke.on = true;
        v.fillOn = true;
        v.gradientRadio = false;
        v.hatchRadio = true;
        applyShapePanel(*g, v);
        QCOMPARE(g->_strokeColor, QColor(Qt::blue));
        QCOMPARE(g->_strokeWidth, 9.0);
        QCOMPARE(g->_fill_type, QStringLiteral("H"));
        QCOMPARE(g->_fillColor, QColor(Qt::yellow));
    }

    void lineWriteBackNoneSelected() {
        GraphicPtr g = make(QStringLiteral("SKTLine"));
        g->_line_cap_style = 2;
        g->_line_ori = 3;
        g->_isDrawingStroke = false;
        g->alpha_val = 0.25f;
        LinePanelValues v;
        v.capIndex = -1;
        v.oriIndex = -1;
        v.alphaPercent = 40;
        applyLinePanel(*g, v);
        QCOMPARE(g->_line_cap_style, 0);
        QCOMPARE(g->_line_ori, 0);
        QVERIFY(g->_isDrawingStroke);
        QCOMPARE(g->alpha_val_stroke, 0.4f);
        QCOMPARE(g->alpha_val, 0.25f); // the fill alpha is the shape panel's
    }

    void textWriteBackKeepsAlignmentWithoutSelection() {
        GraphicPtr t = make(QStringLiteral("SKTText"));
        t->text_alignmnet = 2;
        t->text_alignmnet_Vert = 1;
        t->text_transfrom_case = 3;
        TextPanelValues v;
        v.alignIndex = -1;
        v.vertAlignIndex = 7;
        v.caseIndex = -1;
        v.shadowTranspPercent = 40;
        v.text = QString(300, QLatin1Char('x'));
        applyTextPanel(*t, v);
        QCOMPARE(t->text_alignmnet, 2);
        QCOMPARE(t->text_alignmnet_Vert, 1);
        QCOMPARE(t->text_transfrom_case, 3);
        QCOMPARE(t->Shadow_transparency, 0.4f);
        QCOMPARE(t->_Text_contents.size(), 250);
    }

    void cleanedText_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("placeholder") << "Text hereHello"
                                     << "Hello";
        QTest::newRow("twice") << "Text here a Text here"
                               << " a ";
        QTest::newRow("251") << QString(251, QLatin1Char('a')) << QString(250, QLatin1Char('a'));
        const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80"); // one emoji, two UTF-16 units
        QTest::newRow("surrogate at the cut")
            << QString(249, QLatin1Char('a')) + pair << QString(249, QLatin1Char('a'));
        QTest::newRow("surrogate fits")
            << QString(248, QLatin1Char('a')) + pair + "b" << QString(248, QLatin1Char('a')) + pair;
    }
    void cleanedText() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(cleanedEditedText(input), expected);
    }

    void imageResetAndPaths() {
        const ImagePanelValues r = resetImageValues();
        QCOMPARE(r.transparency, 100.0);
        QCOMPARE(r.saturation, 1.0);
        QCOMPARE(r.contrast, 1.0);
        QCOMPARE(r.hue + r.brightness + r.sharpness + r.exposure + r.blur + r.rotation, 0.0);
        QVERIFY(!r.grayScale && !r.sepia && !r.invert && !r.flipH && !r.flipV);

        GraphicPtr img = make(QStringLiteral("SKTImage"));
        img->_file_path = QStringLiteral("/keep/me.png");
        ImagePanelValues v = r;
        applyImagePanel(*img, v); // no path: the item keeps its own
        QCOMPARE(img->_file_path, QStringLiteral("/keep/me.png"));
        v.path = QStringLiteral("/new/one.png");
        applyImagePanel(*img, v);
        QCOMPARE(img->_file_path, QStringLiteral("/new/one.png"));

        // A read the user stops leaves the picture as it was, and says nothing.
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("other.png"));
        QImage(4, 4, QImage::Format_RGB32).save(other);
        auto& picture = static_cast<SKTImage&>(*img);
        picture._image = QImage(2, 2, QImage::Format_RGB32);
        const pictures::ReadRunner was = pictures::setReadRunner([](const pictures::Read& read) {
            std::atomic<bool> stop{true};
            std::atomic<int> progress{0};
            read(stop, progress);
        });
        setItemFilePath(picture, other);
        pictures::setReadRunner(was);
        QCOMPARE(picture._file_path, QStringLiteral("/new/one.png"));
        QCOMPARE(picture._image.size(), QSize(2, 2));
        setItemFilePath(picture, other);
        QCOMPARE(picture._image.size(), QSize(4, 4));

        GraphicPtr sig = make(QStringLiteral("SKTSignature"));
        sig->_file_path = QStringLiteral("/sig/a.png");
        SignPanelValues s;
        applySignPanel(*sig, s);
        QCOMPARE(sig->_file_path, QStringLiteral("/sig/a.png"));
    }

    void cardRecord() {
        Card_Property p = Card_Property::defaults(QStringLiteral("F"));
        p.Card_Cat_index = 3;
        p.Card_Sub_Category = QStringLiteral("A6");
        p.Card_Side = QStringLiteral("1");
        CardPanelValues v;
        v.name = QStringLiteral("   ");
        v.sizeRow = -1;
        v.sidesIndex = -1;
        v.alphaPercent = 50;
        v.fillOn = true;
        v.fillColor = Qt::red;
        v.hatchRadio = true;
        v.gradAngle = 45.7;
        v.cardShape = 1;
        v.frontBounds = QRectF(0, 0, 300, 200);
        v.borderOn = false;
        v.borderColor = Qt::green;
        writeCardRecord(p, v, false);
        QCOMPARE(p.Card_Name, QStringLiteral("Untitled"));
        QCOMPARE(p.Card_Cat_index, -1);
        QVERIFY(p.Card_Sub_Category.isEmpty());
        QCOMPARE(p.Card_Side, QStringLiteral("1")); // no selection keeps the value
        QCOMPARE(p.Card_alpha_Stepper, 0.5f);
        QCOMPARE(p.Card_fill_clr.alpha(), 128);
        QCOMPARE(p.Card_fill_clr.red(), 255);
        QCOMPARE(p.Card_hatch_bk_clr.alpha(), 128);
        QCOMPARE(p.Card_fill_style, QStringLiteral("H"));
        QCOMPARE(p.Card_grad_Stepper, 45);
        QCOMPARE(p.Card_Shape, QStringLiteral("RR"));
        QCOMPARE(p.Card_Size, QSizeF(300, 200));
        QCOMPARE(p.Card_bordr_clr, QColor(Qt::black)); // border off: colour kept
        QCOMPARE(p.Card_Create_Mode, QStringLiteral("W"));
    }

    // Unticking the fill on the back keeps the chosen style, as on the front.
    void backFillOffKeepsStyle() {
        for (bool back : {false, true}) {
            Card_Property p = Card_Property::defaults(back ? QStringLiteral("B") : QStringLiteral("F"));
            CardPanelValues v;
            v.fillOn = false;
            v.gradientRadio = true;
            v.sidesIndex = 0;
            writeCardRecord(p, v, back);
            QCOMPARE(p.Card_fill_style, QStringLiteral("G"));
            QCOMPARE(p.Card_fill_chk, 0);
            QCOMPARE(p.Card_Side_Name, back ? QStringLiteral("B") : QStringLiteral("F"));
            QCOMPARE(p.Card_Side, QStringLiteral("2"));
        }
    }

    void contentOnlyExactTextItems() {
        GraphicPtr text = make(QStringLiteral("SKTText"));
        GraphicPtr picture = make(QStringLiteral("SKTImage"));
        GraphicPtr background = make(QStringLiteral("SKTImage"));
        background->control_ID = QStringLiteral("PARTY_IMAGE_BG");
        GraphicPtr sig = make(QStringLiteral("SKTSignature"));
        sig->control_ID = QStringLiteral("PARTY_IMAGE_BG");
        GraphicPtr shape = make(QStringLiteral("Shape_Control"), QStringLiteral("R"));
        const QFont before = text->text_ctrl_font;
        ContentChange c;
        c.colorChanged = true;
        c.color = Qt::magenta;
        const QRectF card(0, 0, 400, 300);
        QCOMPARE(applyContentToItems({text, picture, background, sig, shape}, c, card), 1);
        QCOMPARE(text->txt_clr, QColor(Qt::magenta));
        QCOMPARE(text->text_ctrl_font, before);
        QCOMPARE(picture->txt_clr, QColor(Qt::black));
        QCOMPARE(shape->txt_clr, QColor(Qt::black));
        QCOMPARE(background->bounds(), card);
        QVERIFY(sig->bounds() != card);
        ContentChange none;
        QCOMPARE(applyContentToItems({text}, none, card), 0);
    }

    void libraryListing() {
        QTemporaryDir dir;
        QDir d(dir.path());
        QVERIFY(d.mkpath(QStringLiteral("b_Flowers")) && d.mkpath(QStringLiteral("A_Hearts")) &&
                d.mkpath(QStringLiteral(".hidden")));
        const QImage img = filledImage(QSize(4, 4), Qt::red);
        QVERIFY(img.save(d.filePath(QStringLiteral("A_Hearts/z.PNG")), "PNG"));
        QVERIFY(img.save(d.filePath(QStringLiteral("A_Hearts/a.jpg")), "JPG"));
        writeBytes(d.filePath(QStringLiteral("A_Hearts/readme.txt")), {});
        QCOMPARE(libraryCategories(dir.path()), QStringList({"A_Hearts", "b_Flowers"}));
        const QStringList pics = libraryPictures(d.filePath(QStringLiteral("A_Hearts")));
        QCOMPARE(pics.size(), 2);
        QVERIFY(pics.at(0).endsWith(QStringLiteral("a.jpg")));
        QVERIFY(libraryCategories(QString()).isEmpty());
        QVERIFY(libraryPictures(d.filePath(QStringLiteral("missing"))).isEmpty());
        QVERIFY(hasPictureExtension(QStringLiteral("x.TIFF"), pictureExtensions()));
        QVERIFY(!hasPictureExtension(QStringLiteral("x.jpg"), {QStringLiteral("png")}));

        // Fill patterns: listed ahead once, for the folder they were listed in.
        QDir patterns(QDir(Resource_Path).filePath(QStringLiteral("Fill_Style_Image")));
        QVERIFY(QDir().mkpath(patterns.path()));
        for (const char* name : {"b.png", "A.PNG", ".hidden.png", "notes.txt"})
            QVERIFY(img.save(patterns.filePath(QLatin1String(name)), "PNG"));
        QCOMPARE(hatchNames(), QStringList({"A", "b"}));
        listHatchNamesAhead();
        QVERIFY(img.save(patterns.filePath(QStringLiteral("c.png")), "PNG"));
        QCOMPARE(hatchNames(), QStringList({"A", "b"}));
        QCOMPARE(hatchNames(), QStringList({"A", "b", "c"}));
        listHatchNamesAhead();
        const QString folder = Resource_Path;
        setResourcePath(dir.path());
        QVERIFY(hatchNames().isEmpty());
        setResourcePath(folder);
        QCOMPARE(hatchNames(), QStringList({"A", "b", "c"}));
        QVERIFY(patterns.removeRecursively());
    }

    void dataSources() {
        QVERIFY(SeriesFiles::writeSeries(QStringLiteral("Names"),
                                         {QStringLiteral(" Ann "), QStringLiteral("Bob")}));
        QVERIFY(SeriesFiles::writeSeries(QStringLiteral("alpha"), {QStringLiteral("1")}));
        QCOMPARE(Get_datasheet_File_Name_Array(), QStringList({"alpha", "Names"}));
        QCOMPARE(Get_First_Value_Of_Dataset(QStringLiteral("Names")), QStringLiteral(" Ann "));
        QCOMPARE(Get_First_Value_Of_Dataset(QStringLiteral("gone")), QString());

        GraphicPtr t = make(QStringLiteral("SKTText"));
        QCOMPARE(bindItemToSeries(*t, QStringLiteral("Names"), 1), QStringLiteral(" Ann "));
        QCOMPARE(t->data_source_type, 1);
        QCOMPARE(t->batch_list_name, QStringLiteral("Names"));
        QCOMPARE(t->batch_list_index, 1);

        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        table->clear();
        QCOMPARE(Get_First_Value_Of_Excel_Binding(1), std::optional<QString>(QString()));
        table->setTable(
            {QStringLiteral("Row No."), QStringLiteral("City")},
            {{QStringLiteral("1"), QStringLiteral("Oslo")}, {QStringLiteral("2"), QStringLiteral("Rome")}});
        QCOMPARE(excelColumnTitles(), QStringList({"Row No.", "City"}));
        QCOMPARE(Get_First_Value_Of_Excel_Binding(0), std::optional<QString>(QStringLiteral("1")));
        QCOMPARE(Get_First_Value_Of_Excel_Binding(1), std::optional<QString>(QStringLiteral("Oslo")));
        QCOMPARE(Get_First_Value_Of_Excel_Binding(2), std::nullopt);
        QCOMPARE(bindItemToColumn(*t, 1), std::optional<QString>(QStringLiteral("Oslo")));
        QCOMPARE(t->data_source_type, 2);
        QCOMPARE(t->excel_col_indx, 1);
        QCOMPARE(bindItemToColumn(*t, -1), std::nullopt);
        QCOMPARE(t->excel_col_indx, 1);
        table->clear();
    }

    void editUndoAndMerge() {
        GraphicPtr a = make(QStringLiteral("SKTText"));
        GraphicPtr b = make(QStringLiteral("Shape_Control"), QStringLiteral("R"));
        static_cast<SKTText&>(*a).setText(QStringLiteral("before"));
        QUndoStack stack;
        int changed = 0;
        auto edit = [&](float alpha, const QString& key) {
            const GraphicList items{a, b};
            GraphicList before{copyOfItem(*a), copyOfItem(*b)};
            a->alpha_val = b->alpha_val = alpha;
            static_cast<SKTText&>(*a).setText(QStringLiteral("after"));
            stack.push(new PropertyEditCommand(items, before, key, [&] { ++changed; }));
        };
        edit(0.5f, QStringLiteral("shape_alpha_Stepper"));
        edit(0.4f, QStringLiteral("shape_alpha_Stepper")); // same control: merges
        QCOMPARE(stack.count(), 1);
        QCOMPARE(changed, 0); // pushing does not re-apply
        edit(0.3f, QStringLiteral("Line_clr"));
        QCOMPARE(stack.count(), 2);
        stack.undo();
        QCOMPARE(a->alpha_val, 0.4f);
        stack.undo();
        QCOMPARE(a->alpha_val, 1.0f);
        QCOMPARE(b->alpha_val, 1.0f);
        QCOMPARE(a->_Text_contents, QStringLiteral("before"));
        stack.redo();
        QCOMPARE(b->alpha_val, 0.4f);
        QCOMPARE(a->_Text_contents, QStringLiteral("after"));
        QCOMPARE(changed, 3);
        QVERIFY(!assignItemState(*a, *b)); // kinds differ: nothing copied
    }

    void loadGuardNeverStaysSet() {
        Not_Draw_Only_Prop_Change = false;
        try {
            PropertyLoadGuard guard;
            QVERIFY(Not_Draw_Only_Prop_Change);
            throw std::runtime_error("broken item");
        } catch (const std::exception&) {
        }
        QVERIFY(!Not_Draw_Only_Prop_Change);
    }
};

QTEST_GUILESS_MAIN(TestInspectorLogic)
#include "test_inspector_logic.moc"
