// The inspector panels driven headless: controls are set as a user would, then their actions run.

#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "TestPictures.h"
#include "app/inspector/ColorWell.h"
#include "app/inspector/Image_Library.h"
#include "app/inspector/InspectorHost.h"
#include "app/inspector/InspectorPanel.h"

#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ResourceSetup.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "wizards/CardSizePresets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <stdexcept>
#include <tuple>

namespace {

class FakeHost : public InspectorHost {
public:
    InspectorPanel* panel = nullptr;
    GraphicList sides[2];
    GraphicList selection;
    GraphicPtr current;
    Card_Property props[2] = {Card_Property::defaults(QStringLiteral("F")),
                              Card_Property::defaults(QStringLiteral("B"))};
    QSizeF size{504, 360};
    bool frame[2] = {false, false};
    int refreshes = 0;
    int clears = 0;
    int arrowTool = 0;
    QStringList buttons;
    QStringList mainPhoto;
    bool throwOnBounds = false;
    std::optional<bool> orderAndLock;

    GraphicList selectedGraphics() override { return selection; }
    GraphicPtr currentGraphic() override { return current; }
    void Clear_Control_Selection() override {
        ++clears;
        selection.clear();
    }
    bool There_Is_Frame_Pic_Or_Frame_Photo() override { return frame[Card_Front_Or_Back != 0 ? 1 : 0]; }
    void Refresh_Canvas() override { ++refreshes; }
    GraphicList sideGraphics(int side) override { return sides[side]; }
    QRectF frontCanvasBounds() override {
        if (throwOnBounds)
            throw std::runtime_error("no canvas");
        return QRectF(QPointF(0, 0), size);
    }
    GraphicPtr frontGraphicWithId(const QString& id) override {
        for (const GraphicPtr& g : sides[0])
            if (g->control_ID == id)
                return g;
        return nullptr;
    }
    void setFrontCurrentGraphic(const GraphicPtr& g) override { current = g; }
    GraphicList& frontGraphicsArray() override { return sides[0]; }
    void setDocumentCanvasSize(const QSizeF& s) override { size = s; }
    Card_Property& cardProperty(int side) override { return props[side]; }
    void Show_RHS_Properties(const GraphicPtr& item) override { panel->Show_RHS_Properties(item); }
    void selectArrowTool() override { ++arrowTool; }
    void Enable_Standard_Button_For_Control() override { buttons << QStringLiteral("control"); }
    void Enable_Standard_Button_For_Unlock() override { buttons << QStringLiteral("unlock"); }
    void Disable_Standard_Button_For_Card() override { buttons << QStringLiteral("card"); }
    void Disable_Standard_Button_For_Lock() override { buttons << QStringLiteral("lock"); }
    void setOrderAndLockButtonsEnabled(bool on) override { orderAndLock = on; }
    QUndoStack* undo = nullptr;
    void pushUndoCommand(QUndoCommand* c) override {
        if (undo)
            undo->push(c);
        else
            delete c;
    }
    bool Update_frame_Main_Photo_And_Path(const QString& path, bool, QString*) override {
        mainPhoto << path;
        return true;
    }
};

GraphicPtr make(const QString& cls, const QString& shape = {}) {
    GraphicPtr g = makeGraphicOfClass(cls, false);
    g->_shape_type = shape;
    g->setBounds(QRectF(10, 10, 100, 50));
    return g;
}

QString writePng(const QString& folder, const QString& name, QColor colour) {
    return writePicture(QDir(folder).filePath(name), colour, QSize(8, 8));
}

// Closes the next modal window once it shows and records its class.
void closeNextModal(QStringList& opened) {
    QTimer::singleShot(0, [&opened] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            opened << w->metaObject()->className();
            w->close();
        }
    });
}

} // namespace

class TestInspectorPanel : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompt m_prompt;
    FakeHost* host = nullptr;
    InspectorPanel* panel = nullptr;

    void show(const GraphicPtr& g, GraphicList selection = {}) {
        host->selection = selection.isEmpty() && g ? GraphicList{g} : selection;
        host->current = g;
        panel->Show_RHS_Properties(g);
    }
    template <class T> T* child(const QString& name) { return panel->findChild<T*>(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        setResourcePath(m_dir.path());
        QDir root(m_dir.path());
        QVERIFY(root.mkpath(QStringLiteral("Fill_Style_Image")) && root.mkpath(QStringLiteral("DataSet")));
        writePng(root.filePath(QStringLiteral("Fill_Style_Image")), QStringLiteral("Dots.png"), Qt::black);
        writePng(root.filePath(QStringLiteral("Fill_Style_Image")), QStringLiteral("Grid.png"), Qt::black);
        setPromptHandler(&m_prompt);
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }

    void init() {
        Card_Front_Or_Back = 0;
        Card_Shape = 0;
        Not_Draw_Only_Prop_Change = false;
        m_prompt.texts.clear();
        m_prompt.answer = true;
        host = new FakeHost;
        panel = new InspectorPanel(host);
        host->panel = panel;
    }
    void cleanup() {
        delete panel;
        delete host;
    }

    void everyPageAndNamedControlExists() {
        panel->ensureItemPages();
        for (const QString& name : inspector::allTabNames())
            QVERIFY2(panel->tabPage(name) && panel->tabPage(name)->objectName() == name, qPrintable(name));
        const QStringList names =
            QStringLiteral(
                "sett_tab print_object_chk Card_bor_Text Card_alpha_Text width_Text height_Text "
                "shape_bor_Text shape_cor_radius_Text double_star_Text polygon_Text Line_Wdt_Text "
                "Text_Kern_Text shadow_transp_Text Rotate_slidr_val Trsp_slidr_val blr_slidr_val "
                "txt_rotation_slidr_val All_Text_font_value All_Text_font_value_COPY All_Text_clr_COPY "
                "Sign_image_path Manual_image_path manual_lib_brws_btn Image_Edit_Prop_Box ColList "
                "matrix_card_shape Card_image_layout Batch_Series Data_source_type insert_template_btn")
                .split(QLatin1Char(' '));
        for (const QString& n : names)
            QVERIFY2(panel->findChild<QWidget*>(n), qPrintable(n));
        // the card pages at start
        QCOMPARE(panel->shownTabNames(), inspector::allTabNames().mid(0, 5));
    }

    void tabSetsByKindAndLock_data() {
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QString>("selName");
        const QStringList textTabs{"text_edtng_tab", "text_prop_tab", "datasource_tab", "aligmnt_tab"};
        const QStringList lockTabs{"Lock_tab"};
        const struct {
            const char *name, *cls, *shape;
            bool locked;
            QStringList tabs;
            const char* selName;
        } rows[] = {{"text", "SKTText", "", false, textTabs, "T"},
                    {"text locked", "SKTText", "", true, lockTabs, "T"},
                    {"picture", "SKTImage", "", false, {"datasource_tab", "image_tab", "aligmnt_tab"}, "I"},
                    {"line", "SKTLine", "", false, {"line_tab", "aligmnt_tab"}, "NONE"},
                    {"signature", "SKTSignature", "", false, {"sign_tab", "aligmnt_tab"}, "S"},
                    {"barcode", "SKTBarcode", "", false, {"barcode_tab", "aligmnt_tab"}, "NONE"},
                    {"star", "Shape_Control", "S", false, {"shape_tab", "aligmnt_tab"}, "NONE"},
                    {"star locked", "Shape_Control", "S", true, lockTabs, "NONE"}};
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString(r.cls) << QString(r.shape) << r.locked << r.tabs
                                  << QString(r.selName);
    }
    void tabSetsByKindAndLock() {
        QFETCH(QString, cls);
        QFETCH(QString, shape);
        QFETCH(bool, locked);
        QFETCH(QStringList, tabs);
        QFETCH(QString, selName);
        GraphicPtr g = make(cls, shape);
        g->ctrl_is_locked = locked;
        show(g);
        QCOMPARE(panel->shownTabNames(), tabs);
        QCOMPARE(panel->sett_tab->currentIndex(), 0);
        QCOMPARE(panel->sel_control_name->text(), selName);
        QCOMPARE(host->buttons.last(), locked ? QStringLiteral("lock") : QStringLiteral("unlock"));
        QVERIFY(!Not_Draw_Only_Prop_Change);
    }

    void lockedTextThenUnlocked() {
        GraphicPtr t = make(QStringLiteral("SKTText"));
        t->ctrl_is_locked = true;
        show(t);
        QCOMPARE(panel->sett_tab->tabText(0), QStringLiteral("Text Properties"));
        t->ctrl_is_locked = false;
        panel->Show_RHS_Properties(nullptr);
        show(t);
        QCOMPARE(panel->shownTabNames().size(), 4);
        QCOMPARE(panel->shownTabNames().last(), QStringLiteral("aligmnt_tab"));
    }

    void cardPathAndGuards() {
        GraphicPtr t = make(QStringLiteral("SKTText"));
        show(t);
        panel->Show_RHS_Properties(nullptr);
        QCOMPARE(panel->shownTabNames(), QStringList({"card_setting_tab", "card_bkgd_tab"}));
        QCOMPARE(panel->sett_tab->currentIndex(), 0);
        QCOMPARE(host->clears, 1);
        QVERIFY(!panel->Last_Selected_Graphic());

        // while the flag is set nothing happens, not even the tool
        const int tool = host->arrowTool;
        Not_Draw_Only_Prop_Change = true;
        show(t);
        QCOMPARE(host->arrowTool, tool);
        QCOMPARE(panel->shownTabNames().size(), 2);
        Not_Draw_Only_Prop_Change = false;

        // a failure while loading leaves the flag clear
        host->throwOnBounds = true;
        panel->Show_RHS_Properties(nullptr);
        QVERIFY(!Not_Draw_Only_Prop_Change);
    }

    void sameItemKeepsPanels() {
        GraphicPtr t = make(QStringLiteral("SKTText"));
        t->_Text_contents = QStringLiteral("first");
        show(t);
        t->_Text_contents = QStringLiteral("second");
        const int before = host->buttons.size();
        show(t);
        QCOMPARE(panel->Text_value_Edit->toPlainText(), QStringLiteral("first"));
        QVERIFY(host->buttons.size() > before); // buttons are refreshed every call
    }

    void shapeLabelsAndExtras() {
        GraphicPtr ds = make(QStringLiteral("Shape_Control"), QStringLiteral("DS"));
        show(ds);
        QCOMPARE(panel->sett_tab->tabText(0), QStringLiteral("Double Star Properties"));
        QCOMPARE(panel->Shape_prop_title->text(), QStringLiteral("Double Star Properties"));
        QVERIFY(!panel->double_star_Stepper->isHidden());
        QVERIFY(panel->shape_cor_radius_Stepper->isHidden());
        QVERIFY(panel->polygon_Stepper->isHidden());
        GraphicPtr odd = make(QStringLiteral("Shape_Control"), QStringLiteral("ZZ"));
        show(odd);
        QCOMPARE(panel->sett_tab->tabText(0), QStringLiteral("Double Star Properties"));
        QVERIFY(panel->double_star_Stepper->isHidden());
    }

    void templateButtonTitles() {
        GraphicPtr msg = make(QStringLiteral("SKTText"));
        msg->control_ID = QStringLiteral("PARTY_MSG");
        show(msg);
        QVERIFY(!panel->insert_template_btn->isHidden());
        QCOMPARE(panel->insert_template_btn->text(), QStringLiteral("Use Template Message"));
        GraphicPtr plain = make(QStringLiteral("SKTText"));
        show(plain);
        QVERIFY(panel->insert_template_btn->isHidden());
    }

    // The picture dispatch asks the current side's canvas, not always the front.
    void picturePanelAsksCurrentSide() {
        host->frame[0] = false;
        host->frame[1] = true;
        Card_Front_Or_Back = 1;
        GraphicPtr pic = make(QStringLiteral("SKTImage"));
        pic->ctrl_is_locked = true;
        show(pic);
        QCOMPARE(host->orderAndLock, std::optional<bool>(false));
        QVERIFY(panel->Image_Edit_Prop_Box->isHidden());
        Card_Front_Or_Back = 0;
        GraphicPtr other = make(QStringLiteral("SKTImage"));
        other->ctrl_is_locked = true;
        show(other);
        QCOMPARE(host->orderAndLock, std::optional<bool>(true));
        QVERIFY(!panel->Image_Edit_Prop_Box->isHidden());
    }

    void loadingConversions() {
        GraphicPtr s = make(QStringLiteral("Shape_Control"), QStringLiteral("R"));
        s->_strokeWidth = 2.9;
        s->alpha_val = 0.35f;
        s->_stroke_border_type = QStringLiteral("DD");
        s->_fill_type = QStringLiteral("G");
        show(s);
        QCOMPARE(panel->shape_bor_Stepper->value(), 2);
        QCOMPARE(panel->shape_alpha_Stepper->value(), 35.0);
        QCOMPARE(panel->shape_border_style->currentIndex(), 3);
        QVERIFY(panel->Shape_gradient_fill_rd->isChecked());
        GraphicPtr odd = make(QStringLiteral("Shape_Control"), QStringLiteral("R"));
        odd->_stroke_border_type = QStringLiteral("??");
        show(odd);
        QCOMPARE(panel->shape_border_style->currentIndex(), 3); // unknown code: as it was

        GraphicPtr t = make(QStringLiteral("SKTText"));
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPointSizeF(14);
        t->text_ctrl_font = f;
        t->Shadow_transparency = 0.4f;
        t->text_alignmnet = 9; // out of range: no selection, nothing raised
        show(t);
        QCOMPARE(panel->Text_font_value->text(), QStringLiteral("DejaVu Serif ( 14.00 )"));
        QCOMPARE(panel->shadow_transp_Stepper->value(), 40.0);
        QCOMPARE(panel->Text_align_combo->currentIndex(), -1);

        host->props[0].Card_alpha_Stepper = 0.5f;
        host->props[0].Card_fill_style = QStringLiteral("I");
        host->props[0].Card_Content_font = f;
        panel->Show_RHS_Properties(nullptr);
        QCOMPARE(panel->Card_alpha_Stepper->value(), 50.0);
        QCOMPARE(child<QLineEdit>(QStringLiteral("Card_alpha_Text"))->text(), QStringLiteral("50 %"));
        QCOMPARE(panel->All_Text_font_value->text(), QStringLiteral("DejaVu Serif ( 14.00 )"));
        QVERIFY(panel->Card_Image_fill_rd->isChecked());
        QVERIFY(!panel->Card_fill_clr->isEnabled() && !panel->Card_hatch_style->isEnabled() &&
                !panel->Card_grad_Stepper->isEnabled());
        QVERIFY(panel->Card_image_box->isEnabled());
    }

    // The size fields show the card's size; loading the page writes nothing into either record.
    void cardLoadingShowsTheSizeAndWritesNothing() {
        host->size = QSizeF(300, 200);
        Card_Front_Or_Back = 1;
        const Card_Property front = host->props[0], back = host->props[1];
        panel->Show_RHS_Properties(nullptr);
        QVERIFY(host->props[0] == front);
        QVERIFY(host->props[1] == back);
        QCOMPARE(panel->width_Stepper->value(), 105.8); // millimetres, one decimal
        QCOMPARE(panel->height_Stepper->value(), 70.6);
    }

    // The hatch list is loaded for every fill style, so one side's pattern never leaks into the other.
    void hatchNeverLeaksBetweenSides() {
        host->props[0].Card_fill_style = QStringLiteral("H");
        host->props[0].Card_hatch_style = QStringLiteral("Grid");
        host->props[1].Card_fill_style = QStringLiteral("S");
        host->props[1].Card_hatch_style = QString();
        panel->Show_RHS_Properties(nullptr);
        QCOMPARE(panel->Card_hatch_style->currentText(), QStringLiteral("Grid"));
        Card_Front_Or_Back = 1;
        panel->Show_RHS_Properties(nullptr);
        QCOMPARE(panel->Card_hatch_style->currentIndex(), -1);
        panel->Card_alpha_Stepper->setValue(90); // any write-back
        QVERIFY(host->props[1].Card_hatch_style.isEmpty());
        QCOMPARE(host->props[1].Card_alpha_Stepper, 0.9f);
    }

    void shapeWriteBackMixedSelection() {
        GraphicPtr a = make(QStringLiteral("Shape_Control"), QStringLiteral("R"));
        GraphicPtr b = make(QStringLiteral("SKTLine"));
        b->_strokeColor = Qt::red;
        show(a, {a, b});
        host->refreshes = 0;
        panel->Shape_border_chk->setChecked(false);
        panel->shape_bordr_clr->setColor(Qt::green);
        panel->shape_alpha_Stepper->setValue(35);
        for (const GraphicPtr& g : {a, b}) {
            QVERIFY(!g->_isDrawingStroke);
            QCOMPARE(g->alpha_val, 0.35f);
        }
        QCOMPARE(b->_strokeColor, QColor(Qt::red)); // border off keeps the colour
        QVERIFY(host->refreshes >= 2);
        panel->Shape_fill_chk->setChecked(true);
        panel->Shape_Style_fill_rd->setChecked(true);
        panel->shape_hatch_style->setCurrentIndex(1);
        QCOMPARE(a->_fill_type, QStringLiteral("H"));
        QCOMPARE(b->_fill_hatch_type, QStringLiteral("Grid"));

        // nothing selected: nothing written, no redraw
        host->selection.clear();
        host->refreshes = 0;
        panel->shape_alpha_Stepper->setValue(10);
        QCOMPARE(host->refreshes, 0);
        QCOMPARE(a->alpha_val, 0.35f);
    }

    // With several items selected, a box ticked or one part of a font changed reaches every item as that
    // change alone: each keeps its own colour, width, fill style and font family.
    void severalItemsKeepTheirOwnParts_data() {
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("box");
        for (const char* row :
             {"Shape_Control Shape_fill_chk", "Shape_Control Shape_border_chk", "SKTText Text_fill_chk",
              "SKTText Text_border_chk", "SKTImage Image_border_chk", "SKTSignature Sign_border_chk"})
            QTest::newRow(row) << QString(row).section(' ', 0, 0) << QString(row).section(' ', 1);
    }
    void severalItemsKeepTheirOwnParts() {
        QFETCH(QString, cls);
        QFETCH(QString, box);
        GraphicPtr red = make(cls, QStringLiteral("R")), blue = make(cls, QStringLiteral("R"));
        red->_isDrawingFill = red->_isDrawingStroke = blue->_isDrawingFill = blue->_isDrawingStroke = false;
        red->_fillColor = red->_strokeColor = Qt::red;
        std::tie(red->_strokeWidth, red->_fill_type, blue->_fill_type) = std::tuple(5.0, "S", "G");
        red->text_ctrl_font = QFont(QStringLiteral("DejaVu Serif"), 30);
        blue->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 12);
        show(blue, {red, blue});
        child<QCheckBox>(box)->setChecked(true);
        const bool fill = box.contains(QLatin1String("fill"));
        QVERIFY(fill ? red->_isDrawingFill : red->_isDrawingStroke);
        QCOMPARE(fill ? red->_fillColor : red->_strokeColor, QColor(Qt::red));
        QVERIFY(red->_strokeWidth == 5.0 && red->_fill_type == QLatin1String("S"));
        if (cls != QLatin1String("SKTText"))
            return;
        // a size chosen in Font... keeps each text's family; the content font does the same
        panel->changeTextFont(QFont(QStringLiteral("DejaVu Sans"), 18));
        QCOMPARE(red->text_ctrl_font, QFont(QStringLiteral("DejaVu Serif"), 18));
        host->sides[0] = {red, blue};
        panel->Show_RHS_Properties(nullptr);
        QFont content = panel->All_Text_font;
        content.setBold(true);
        panel->changeAllTextFont(content);
        QVERIFY(red->text_ctrl_font.bold() && red->text_ctrl_font.family() == QLatin1String("DejaVu Serif"));
        QCOMPARE(blue->text_ctrl_font.pointSizeF(), 18.0);
    }

    // Locked items in a selection keep their properties; the print flag goes to unlocked items only, so a
    // locked item's box is disabled.
    void lockedItemsKeepProperties() {
        GraphicPtr open = make(QStringLiteral("SKTLine"));
        GraphicPtr locked = make(QStringLiteral("SKTLine"));
        locked->ctrl_is_locked = true;
        show(open, {open, locked});
        panel->Line_Wdt_Stepper->setValue(9);
        QCOMPARE(open->_strokeWidth, 9.0);
        QCOMPARE(locked->_strokeWidth, 1.0);
        show(locked, {locked});
        QCOMPARE(panel->shownTabNames(), QStringList({"Lock_tab"}));
        QVERIFY(!panel->print_object_chk->isEnabled());
        panel->print_object_chk->setChecked(true);
        QCOMPARE(locked->print_object, 0);
        QCOMPARE(locked->_strokeWidth, 1.0);
    }

    void lineWriteBack() {
        GraphicPtr l = make(QStringLiteral("SKTLine"));
        show(l);
        panel->Line_Wdt_Stepper->setValue(7);
        panel->Line_cap_style->setCurrentIndex(2);
        panel->Line_ori_style->setCurrentIndex(3);
        panel->Line_border_style->setCurrentIndex(4);
        panel->Line_alpha_Stepper->setValue(40);
        QCOMPARE(l->_strokeWidth, 7.0);
        QCOMPARE(l->_line_cap_style, 2);
        QCOMPARE(l->_line_ori, 3);
        QCOMPARE(l->_stroke_border_type, QStringLiteral("DDD"));
        QCOMPARE(l->alpha_val_stroke, 0.4f);
        panel->print_object_chk->setChecked(true);
        QCOMPARE(l->print_object, 1);
    }

    void textWriteBackOneAndSeveral() {
        GraphicPtr a = make(QStringLiteral("SKTText"));
        GraphicPtr b = make(QStringLiteral("SKTText"));
        a->_Text_contents = QStringLiteral("A");
        b->_Text_contents = QStringLiteral("B");
        show(a, {a, b});
        panel->Text_value_Edit->setPlainText(QStringLiteral("typed"));
        panel->Text_clr->setColor(Qt::blue);
        panel->Text_align_combo->setCurrentIndex(1);
        panel->draw_shadow_chkbox->setChecked(true);
        QFont f(QStringLiteral("DejaVu Sans"), 20);
        panel->changeTextFont(f);
        for (const GraphicPtr& g : {a, b}) {
            QCOMPARE(g->txt_clr, QColor(Qt::blue));
            QCOMPARE(g->text_alignmnet, 1);
            QVERIFY(g->Drawing_Shadow);
            QCOMPARE(g->text_ctrl_font, f);
        }
        QCOMPARE(a->_Text_contents, QStringLiteral("A"));
        QCOMPARE(b->_Text_contents, QStringLiteral("B"));

        host->selection = {a};
        panel->Text_value_Edit->setPlainText(QStringLiteral("only a"));
        QCOMPARE(a->_Text_contents, QStringLiteral("only a"));
        panel->Text_fill_chk->setChecked(true);
        panel->Text_gradient_fill_rd->setChecked(true);
        QCOMPARE(a->_fill_type, QStringLiteral("G"));
        panel->Text_fill_chk->setChecked(false);
        QCOMPARE(a->_fill_type, QStringLiteral("S"));
        panel->txt_rotation_slidr->setValue(30);
        QCOMPARE(a->text_rotation, 30);
    }

    void textLimitsAndInsertion() {
        GraphicPtr t = make(QStringLiteral("SKTText"));
        t->_Text_contents = QStringLiteral("Text here");
        show(t);
        QTextCursor c = panel->Text_value_Edit->textCursor();
        c.movePosition(QTextCursor::End);
        panel->Text_value_Edit->setTextCursor(c);
        panel->Text_value_Edit->insertPlainText(QStringLiteral("Hi"));
        QCOMPARE(panel->Text_value_Edit->toPlainText(), QStringLiteral("Hi"));
        QCOMPARE(t->_Text_contents, QStringLiteral("Hi"));

        panel->Text_value_Edit->setPlainText(QString(251, QLatin1Char('x')));
        QCOMPARE(panel->Text_value_Edit->toPlainText().size(), 250);
        QCOMPARE(t->_Text_contents.size(), 250);

        panel->Text_value_Edit->setPlainText(QStringLiteral("Party "));
        panel->Text_Insert_Date();
        QCOMPARE(m_prompt.texts, QStringList({"Please select Date format."}));
        QCOMPARE(t->_Text_contents, QStringLiteral("Party "));
        panel->Text_Insert_Time();
        QCOMPARE(m_prompt.texts.last(), QStringLiteral("Please select Time format."));

        panel->Text_Date_style->setCurrentIndex(
            panel->Text_Date_style->findText(QStringLiteral("yyyy-MM-dd")));
        QTextCursor end = panel->Text_value_Edit->textCursor();
        end.movePosition(QTextCursor::End);
        panel->Text_value_Edit->setTextCursor(end);
        panel->Text_Insert_Date();
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(t->_Text_contents, QStringLiteral("Party ") + today);
    }

    void readyMadeText() {
        GraphicPtr t = make(QStringLiteral("SKTText"));
        t->control_ID = QStringLiteral("PARTY_TITLE");
        show(t);
        QString asked;
        panel->chooseTemplate = [&](const QString& mode) -> std::optional<QString> {
            asked = mode;
            return QStringLiteral("Happy Birthday");
        };
        panel->Insert_Template_Button();
        QCOMPARE(asked, QStringLiteral("T"));
        QCOMPARE(t->_Text_contents, QStringLiteral("Happy Birthday"));
    }

    // A picture write-back copies one path into the selection only after a browse or with one item selected.
    void picturePathsWithSeveralSelected() {
        GraphicPtr a = make(QStringLiteral("SKTImage"));
        GraphicPtr b = make(QStringLiteral("SKTImage"));
        a->_file_path = QStringLiteral("/a.png");
        b->_file_path = QStringLiteral("/b.png");
        show(a, {a, b});
        panel->Sat_slidr->setValue(150);
        panel->Image_Sepia_chk->setChecked(true);
        for (const GraphicPtr& g : {a, b}) {
            QCOMPARE(g->sat_val, 1.5f);
            QVERIFY(g->Sepia);
        }
        QCOMPARE(a->_file_path, QStringLiteral("/a.png"));
        QCOMPARE(b->_file_path, QStringLiteral("/b.png"));

        const QString chosen = writePng(m_dir.path(), QStringLiteral("chosen.png"), Qt::red);
        panel->chooseFile = [&](const QString&, const QStringList&) { return chosen; };
        panel->Manual_Image_Browse_Btn();
        QCOMPARE(a->_file_path, chosen);
        QCOMPARE(b->_file_path, chosen);
        QCOMPARE(Library_Selected_Image, chosen);
        // an ordinary picture never replaces the main photo
        QVERIFY(host->mainPhoto.isEmpty());
        // the next slider change keeps the paths
        b->_file_path = QStringLiteral("/b2.png");
        panel->Hue_slidr->setValue(10);
        QCOMPARE(b->_file_path, QStringLiteral("/b2.png"));

        panel->chooseFile = [](const QString&, const QStringList&) { return QString(); };
        panel->Manual_Image_Browse_Btn();
        QVERIFY(Library_Selected_Image.isEmpty());
        QCOMPARE(a->_file_path, chosen);
    }

    void mainPhotoOnlyForItsItem() {
        GraphicPtr photo = make(QStringLiteral("SKTImage"));
        photo->control_ID = QStringLiteral("PARTY_IMAGE");
        show(photo);
        QCOMPARE(host->orderAndLock, std::optional<bool>(true)); // no frame selection on this side
        const QString chosen = writePng(m_dir.path(), QStringLiteral("photo.png"), Qt::blue);
        panel->chooseFile = [&](const QString&, const QStringList&) { return chosen; };
        panel->Manual_Image_Browse_Btn();
        QCOMPARE(host->mainPhoto, QStringList({chosen}));

        // the library never touches the main photo
        host->mainPhoto.clear();
        GraphicPtr pic = make(QStringLiteral("SKTImage"));
        show(pic);
        panel->chooseLibraryPicture = [&](const QString& mode) -> std::optional<QString> {
            return mode == QLatin1String("C") ? std::optional<QString>(chosen) : std::nullopt;
        };
        panel->Manual_Library_Browse_Btn();
        QCOMPARE(pic->_file_path, chosen);
        QCOMPARE(lib_window_sel_file, chosen);
        QVERIFY(host->mainPhoto.isEmpty());
    }

    void pictureReset() {
        GraphicPtr a = make(QStringLiteral("SKTImage"));
        a->hue_val = 1.0f;
        a->sat_val = 0.2f;
        a->img_trnsp_val = 30;
        a->gray_Scale = true;
        a->_isFlippedHorizontally = true;
        show(a);
        m_prompt.answer = false;
        panel->Image_reset_Button();
        QCOMPARE(m_prompt.texts, QStringList({"Are you sure you want to continue?"}));
        QCOMPARE(a->hue_val, 1.0f);
        m_prompt.answer = true;
        panel->Image_reset_Button();
        QCOMPARE(a->hue_val, 0.0f);
        QCOMPARE(a->sat_val, 1.0f);
        QCOMPARE(a->con_val, 1.0f);
        QCOMPARE(a->img_trnsp_val, 100.0f);
        QVERIFY(!a->gray_Scale && !a->_isFlippedHorizontally);
        QCOMPARE(child<QLabel>(QStringLiteral("Trsp_slidr_val"))->text(), QStringLiteral("100"));
    }

    // A signature shows its own picture and never takes another signature's.
    void signaturePaths() {
        GraphicPtr a = make(QStringLiteral("SKTSignature"));
        GraphicPtr b = make(QStringLiteral("SKTSignature"));
        a->_file_path = QStringLiteral("/sig/a.png");
        b->_file_path = QStringLiteral("/sig/b.png");
        show(a);
        QCOMPARE(panel->Sign_image_path->text(), QStringLiteral("/sig/a.png"));
        show(b, {a, b});
        QCOMPARE(panel->Sign_image_path->text(), QStringLiteral("/sig/b.png"));
        panel->Sign_border_chk->setChecked(true);
        panel->Sign_bor_Stepper->setValue(4);
        QCOMPARE(a->_file_path, QStringLiteral("/sig/a.png"));
        QCOMPARE(a->_strokeWidth, 4.0);

        panel->chooseFile = [](const QString&, const QStringList&) { return QStringLiteral("/x/sign.jpg"); };
        panel->Sign_Browse_Btn();
        QCOMPARE(m_prompt.texts.last(), QStringLiteral("Please select valid file path."));
        QCOMPARE(a->_file_path, QStringLiteral("/sig/a.png"));
        const QString png = writePng(m_dir.path(), QStringLiteral("sign.png"), Qt::black);
        panel->chooseFile = [&](const QString&, const QStringList& exts) {
            return exts == QStringList{QStringLiteral("png")} ? png : QString();
        };
        panel->Sign_Browse_Btn();
        QCOMPARE(a->_file_path, png);
        QCOMPARE(b->_file_path, png);
    }

    void cardRecordFromPanels() {
        panel->Show_RHS_Properties(nullptr);
        panel->card_name->setText(QStringLiteral("  "));
        panel->Card_border_chk->setChecked(true);
        QCOMPARE(host->props[0].Card_Name, QStringLiteral("Untitled"));
        QCOMPARE(host->props[0].Card_Cat_index, -1);
        QVERIFY(host->props[0].Card_Sub_Category.isEmpty());
        QCOMPARE(host->props[0].Card_border_chk, 1);

        panel->Card_alpha_Stepper->setValue(50);
        panel->Card_gradient_fill_rd->setChecked(true);
        QCOMPARE(host->props[0].Card_fill_style, QStringLiteral("G"));
        QCOMPARE(host->props[0].Card_fill_Grd_1_clr.alpha(), 128);
        QVERIFY(panel->Card_grad_Stepper->isEnabled() && !panel->Card_fill_clr->isEnabled());

        // on the back unticking the fill keeps the style
        Card_Front_Or_Back = 1;
        panel->Show_RHS_Properties(nullptr);
        panel->Card_Style_fill_rd->setChecked(true);
        panel->Card_fill_chk->setChecked(false);
        QCOMPARE(host->props[1].Card_fill_style, QStringLiteral("H"));
        QCOMPARE(host->props[1].Card_fill_chk, 0);
        QCOMPARE(host->props[1].Card_Side_Name, QStringLiteral("B"));
    }

    void cardSizeAndShape() {
        panel->Show_RHS_Properties(nullptr);
        panel->width_Stepper->setValue(100);
        panel->height_Stepper->setValue(50);
        QCOMPARE(host->size, QSizeF(504, 360)); // typing alone applies nothing
        panel->Apply_Size_Clicked();
        QVERIFY(qAbs(host->size.width() - 283.46) < 0.01);
        QVERIFY(qAbs(host->size.height() - 141.73) < 0.01);
        QCOMPARE(host->props[0].Card_Size, host->size);
        panel->width_Stepper->stepBy(1); // a stepper press applies at once
        QVERIFY(qAbs(host->size.width() - 101 * 2.834645669291) < 0.01);

        const int category = panel->Category_ComboBox->findText(cardsize::categories().first());
        panel->Category_ComboBox->setCurrentIndex(category);
        QVERIFY(panel->ColList->rowCount() > 0);
        panel->Card_Size_Row_Chosen(0);
        QCOMPARE(host->props[0].Card_Cat_index, 0);
        QCOMPARE(host->props[0].Card_Sub_Category, panel->Get_Item_Text(0));
        QCOMPARE(panel->Get_Item_Text(999), QString());

        host->props[0].Card_Cat_index = 999; // out of range on load: no selection, no failure
        panel->Show_RHS_Properties(nullptr);
        QVERIFY(panel->ColList->selectedItems().isEmpty());

        panel->card_shape_CellClick(2);
        QCOMPARE(Card_Shape, 2);
        QCOMPARE(host->props[0].Card_Shape, QStringLiteral("E"));
    }

    void backgroundPictures() {
        GraphicPtr bg = make(QStringLiteral("SKTImage"));
        bg->control_ID = QStringLiteral("PARTY_IMAGE_BG");
        host->sides[0] = {bg};
        host->props[0].Card_fill_chk = 0;
        host->props[0].Card_fill_style = QStringLiteral("G");
        const QString path = writePng(m_dir.path(), QStringLiteral("frame.png"), Qt::green);
        panel->set_Front_BG_Image(path);
        QCOMPARE(host->props[0].Card_fill_chk, 1);
        QCOMPARE(host->props[0].Card_fill_style, QStringLiteral("G"));
        QCOMPARE(host->props[0].Card_BG_Image_Path, path);
        QVERIFY(!host->props[0].Card_BG_Image.isNull());
        QCOMPARE(bg->_file_path, path);
        QCOMPARE(bg->_image.cacheKey(), host->props[0].Card_BG_Image.cacheKey()); // read once, shared
        QCOMPARE(host->current, bg);
        QCOMPARE(panel->shownTabNames(), QStringList({"card_setting_tab", "card_bkgd_tab"}));

        // an unreadable picture changes nothing and says so, in the words a picture item's Browse uses
        const QString broken = QDir(m_dir.path()).filePath(QStringLiteral("broken.png"));
        writeBytes(broken, "not a picture");
        QString why;
        QVERIFY(SKTImage::loadPicture(broken, &why).isNull());
        panel->set_Front_BG_Image(broken);
        QCOMPARE(m_prompt.texts.last(), why);
        QCOMPARE(host->props[0].Card_BG_Image_Path, path);
        QCOMPARE(bg->_file_path, path);
        Card_Front_Or_Back = 1;
        m_prompt.texts.clear();
        panel->set_Back_BG_Image(broken);
        QCOMPARE(m_prompt.texts, QStringList{why});
        QVERIFY(host->props[1].Card_BG_Image.isNull());

        panel->chooseLibraryPicture = [&](const QString& mode) -> std::optional<QString> {
            return mode == QLatin1String("B") ? std::optional<QString>(path) : std::nullopt;
        };
        panel->Card_Bckgrnd_Clicked();
        QCOMPARE(host->props[1].Card_fill_style, QStringLiteral("I"));
        QCOMPARE(host->props[1].Card_BG_Image_Path, path);
        QCOMPARE(host->props[1].Card_fill_chk, 1);
        QCOMPARE(panel->sett_tab->currentWidget(), panel->tabPage(QStringLiteral("card_bkgd_tab")));
    }

    // Content font and colour reach only exact text items of the current side, and only when changed.
    void contentFontAndColour() {
        GraphicPtr t1 = make(QStringLiteral("SKTText"));
        GraphicPtr t2 = make(QStringLiteral("SKTText"));
        GraphicPtr pic = make(QStringLiteral("SKTImage"));
        GraphicPtr backText = make(QStringLiteral("SKTText"));
        QFont own(QStringLiteral("DejaVu Sans Mono"), 11);
        t2->text_ctrl_font = own;
        host->sides[0] = {t1, t2, pic};
        host->sides[1] = {backText};
        panel->Show_RHS_Properties(nullptr);

        panel->All_Text_clr->setColor(Qt::red);
        panel->Contect_Color_Clicked();
        QCOMPARE(t1->txt_clr, QColor(Qt::red));
        QCOMPARE(t2->txt_clr, QColor(Qt::red));
        QCOMPARE(t2->text_ctrl_font, own); // colour only
        QCOMPARE(pic->txt_clr, QColor(Qt::black));
        QCOMPARE(backText->txt_clr, QColor(Qt::black));
        QCOMPARE(host->props[0].Card_Content_clr, QColor(Qt::red));

        QFont chosen(QStringLiteral("DejaVu Serif"), 16);
        panel->changeAllTextFont(chosen);
        QCOMPARE(t2->text_ctrl_font, chosen);
        QCOMPARE(panel->All_Text_font_value->text(), QStringLiteral("DejaVu Serif ( 16.00 )"));

        // a later size change keeps the per-item fonts set since
        t2->text_ctrl_font = own;
        t1->txt_clr = Qt::green;
        panel->Apply_Size_Clicked();
        QCOMPARE(t2->text_ctrl_font, own);
        QCOMPARE(t1->txt_clr, QColor(Qt::green));

        // choosing the same font again applies it again
        panel->changeAllTextFont(chosen);
        QCOMPARE(t2->text_ctrl_font, chosen);
    }

    void seriesAndColumnBinding() {
        QVERIFY(SeriesFiles::writeSeries(QStringLiteral("Guests"),
                                         {QStringLiteral("Ann"), QStringLiteral("Bob")}));
        const QString pic = writePng(m_dir.path(), QStringLiteral("series.png"), Qt::yellow);
        QVERIFY(SeriesFiles::writeSeries(QStringLiteral("Pictures"), {pic}));
        GraphicPtr t = make(QStringLiteral("SKTText"));
        show(t);
        panel->Data_source_type->setCurrentIndex(1);
        QCOMPARE(panel->Batch_Series->count(), 2);
        QCOMPARE(panel->Batch_Series->currentIndex(), -1);
        panel->Batch_Series->setCurrentIndex(panel->Batch_Series->findText(QStringLiteral("Guests")));
        QCOMPARE(t->_Text_contents, QStringLiteral("Ann"));
        QCOMPARE(t->batch_list_name, QStringLiteral("Guests"));
        QCOMPARE(t->data_source_type, 1);
        QCOMPARE(panel->Text_value_Edit->toPlainText(), QStringLiteral("Ann"));

        // a bound item shows its series when it is inspected again
        panel->Show_RHS_Properties(nullptr);
        show(t);
        QCOMPARE(panel->Batch_Series->currentText(), QStringLiteral("Guests"));

        // an ordinary picture bound to a series leaves the main photo alone
        GraphicPtr p = make(QStringLiteral("SKTImage"));
        show(p);
        panel->Data_source_type->setCurrentIndex(1);
        panel->Batch_Series->setCurrentIndex(panel->Batch_Series->findText(QStringLiteral("Pictures")));
        QCOMPARE(p->_file_path, pic);
        QVERIFY(host->mainPhoto.isEmpty());
        GraphicPtr photo = make(QStringLiteral("SKTImage"));
        photo->control_ID = QStringLiteral("PARTY_IMAGE");
        show(photo);
        panel->Data_source_type->setCurrentIndex(1);
        panel->Batch_Series->setCurrentIndex(panel->Batch_Series->findText(QStringLiteral("Pictures")));
        QCOMPARE(host->mainPhoto, QStringList({pic}));

        // sheet columns
        Data_From_Excel::defaultInstance()->setTable({QStringLiteral("Row No."), QStringLiteral("Name")},
                                                     {{QStringLiteral("1"), QStringLiteral("Zoe")}});
        GraphicPtr t2 = make(QStringLiteral("SKTText"));
        show(t2);
        panel->Data_source_type->setCurrentIndex(2);
        QCOMPARE(panel->Batch_Series->count(), 2);
        QCOMPARE(t2->_Text_contents, QStringLiteral("1")); // column 0 preselected: the row number
        panel->Batch_Series->setCurrentIndex(1);
        QCOMPARE(t2->_Text_contents, QStringLiteral("Zoe"));
        QCOMPARE(t2->excel_col_indx, 1);
        QCOMPARE(t2->data_source_type, 2);
        show(p); // a picture takes the sheet's first column
        panel->Data_source_type->setCurrentIndex(2);
        QCOMPARE(p->excel_col_indx, 1);
        Data_From_Excel::defaultInstance()->clear();
        QCOMPARE(panel->Data_source_type->count(), 3); // kept while the item is bound to a column
    }

    // "Excel" is offered exactly while the data table has rows, and comes back when a table arrives; the
    // view button opens the series viewer or the data table, the help button the help text.
    void excelChoiceFollowsTheTable() {
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        table->clear();
        GraphicPtr t = make(QStringLiteral("SKTText"));
        show(t);
        QCOMPARE(panel->Data_source_type->count(), 2);
        table->setTable({QStringLiteral("Row No."), QStringLiteral("Name")},
                        {{QStringLiteral("1"), QStringLiteral("Zoe")}});
        QCOMPARE(panel->Data_source_type->count(), 3);
        table->clear();
        QCOMPARE(panel->Data_source_type->count(), 2);
        QVERIFY(panel->View_Series_Btn && panel->Data_Source_Help_Btn);

        QStringList opened;
        closeNextModal(opened);
        panel->Data_Source_Help_Btn->click();
        table->setTable({QStringLiteral("Row No."), QStringLiteral("Name")},
                        {{QStringLiteral("1"), QStringLiteral("Zoe")}});
        panel->Data_source_type->setCurrentIndex(2);
        closeNextModal(opened);
        panel->View_Series_Btn->click();
        QCOMPARE(opened, (QStringList{"Long_SMS_Dlg", "Data_From_Excel_Dialog"}));
        table->clear();
    }

    void panelEditsUndo() {
        QUndoStack stack;
        host->undo = &stack;
        GraphicPtr a = make(QStringLiteral("Shape_Control"), QStringLiteral("R"));
        GraphicPtr b = make(QStringLiteral("Shape_Control"), QStringLiteral("C"));
        show(a, {a, b});
        panel->shape_alpha_Stepper->setValue(40);
        panel->shape_alpha_Stepper->setValue(30);
        QCOMPARE(stack.count(), 1); // steps of one control merge
        panel->Shape_border_chk->setChecked(false);
        QCOMPARE(stack.count(), 2);
        stack.undo();
        QVERIFY(a->_isDrawingStroke && b->_isDrawingStroke);
        QVERIFY(panel->Shape_border_chk->isChecked()); // the panel shows the restored value
        stack.undo();
        QCOMPARE(a->alpha_val, 1.0f);
        QCOMPARE(b->alpha_val, 1.0f);
        QCOMPARE(panel->shape_alpha_Stepper->value(), 100.0);
        stack.redo();
        QCOMPARE(b->alpha_val, 0.3f);
        host->undo = nullptr;
    }

    // A bound series that is gone, or an index out of range, clears the selection and changes nothing.
    void staleBindingLoadsQuietly() {
        QVERIFY(SeriesFiles::writeSeries(QStringLiteral("Kept"), {QStringLiteral("v")}));
        GraphicPtr t = make(QStringLiteral("SKTText"));
        t->data_source_type = 1;
        t->batch_list_name = QStringLiteral("Removed");
        t->batch_list_index = 42;
        t->_Text_contents = QStringLiteral("stay");
        show(t);
        QCOMPARE(panel->Batch_Series->currentIndex(), -1);
        QCOMPARE(t->batch_list_index, 42);
        QCOMPARE(t->_Text_contents, QStringLiteral("stay"));
        GraphicPtr odd = make(QStringLiteral("SKTText"));
        odd->data_source_type = 7;
        show(odd);
        QCOMPARE(panel->Data_source_type->currentIndex(), 0);
        QCOMPARE(odd->data_source_type, 7);
        SeriesFiles::removeSeries(QStringLiteral("Kept"));
    }

    void noSeriesMessage() {
        for (const QString& name : SeriesFiles::Get_datasheet_File_Name_Array())
            SeriesFiles::removeSeries(name);
        GraphicPtr t = make(QStringLiteral("SKTText"));
        show(t);
        panel->Data_source_type->setCurrentIndex(1);
        QCOMPARE(m_prompt.texts, QStringList({"Please create batch processing series first."}));
        QCOMPARE(t->data_source_type, 0);
    }

    void pictureLibraryDialog() {
        QDir root(m_dir.path());
        QVERIFY(root.mkpath(QStringLiteral("LibraryImage/Hearts")) &&
                root.mkpath(QStringLiteral("LibraryImage/Stars")) && root.mkpath(QStringLiteral("Frames")));
        writePng(root.filePath(QStringLiteral("LibraryImage/Hearts")), QStringLiteral("red.png"), Qt::red);
        writePng(root.filePath(QStringLiteral("Frames")), QStringLiteral("gold.png"), Qt::yellow);
        Image_Library lib;
        lib.control_or_BG = QStringLiteral("C");
        lib.loadLists();
        QCOMPARE(lib.windowTitle(), QStringLiteral("Image Library"));
        QCOMPARE(lib.categoryList()->count(), 2);
        QCOMPARE(lib.pictureList()->count(), 1);
        lib.control_or_BG = QStringLiteral("B");
        lib.loadLists();
        QCOMPARE(lib.windowTitle(), QStringLiteral("Frame Library"));
        QVERIFY(lib.categoryList()->isHidden());
        QCOMPARE(lib.pictureList()->item(0)->text(), QStringLiteral("gold"));
    }
};

QTEST_MAIN(TestInspectorPanel)
#include "test_inspector_panel.moc"
