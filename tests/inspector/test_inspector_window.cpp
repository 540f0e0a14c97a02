// The inspector inside the main window: a click's dispatch reaches the panels and a panel change reaches
// the selected items of the side shown. Set NAVU_SHOTS_DIR to save a picture of each panel.

#include "RecordingPrompt.h"
#include "TestPictures.h"
#include "app/SKTWindowController.h"
#include "app/inspector/ColorWell.h"
#include "app/inspector/Image_Library.h"
#include "app/inspector/InspectorPanel.h"

#include "canvas/SKTItems.h"
#include "canvas/ui/SKTGraphicView.h"
#include "common/Globals.h"
#include "common/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
GraphicPtr item(const QString& cls, const QString& shape, const QRectF& r) {
    GraphicPtr g = makeGraphicOfClass(cls, false);
    g->_shape_type = shape;
    g->setBounds(r);
    if (cls == QLatin1String("SKTText"))
        static_cast<SKTText&>(*g).setText(QStringLiteral("Happy Birthday"));
    return g;
}
} // namespace

class TestInspectorWindow : public QObject {
    Q_OBJECT
    RecordingPrompt prompt;

    void shot(QWidget* w, const QString& name) {
        const QString dir = qEnvironmentVariable("NAVU_SHOTS_DIR");
        if (!dir.isEmpty())
            w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }

private slots:
    void initTestCase() { setPromptHandler(&prompt); }
    void cleanupTestCase() { setPromptHandler(nullptr); }

    // The program's window builds the card's Background page after it first shows: an edit elsewhere on
    // the card before then writes nothing of the page's part, and the page, once built, shows and edits the
    // card as the page built with the window does.
    void backgroundPageBuiltLater() {
        struct Outcome {
            int border, fill;
            QColor fillColour, firstColour, contentColour, hatchColour;
            QString style;
            double alpha;
        };
        const auto run = [](bool later, Outcome& outcome) {
            Card_Front_Or_Back = 0;
            SKTDocument doc;
            WindowStart start;
            start.backgroundPageLater = later;
            SKTWindowController wnd(&doc, nullptr, start);
            wnd.resize(1300, 860);
            wnd.show();
            QVERIFY(QTest::qWaitForWindowExposed(&wnd));
            InspectorPanel* panel = wnd.inspector();
            Card_Property& card = wnd.Front_card_Prop;
            card.Card_fill_chk = 1;
            card.Card_fill_style = QStringLiteral("G");
            card.Card_fill_clr = QColor(10, 20, 30);
            card.Card_fill_Grd_1_clr = QColor(200, 10, 10);
            card.Card_alpha_Stepper = 0.8;
            card.Card_Content_clr = Qt::blue;
            wnd.Show_RHS_Properties(nullptr);
            QCOMPARE(panel->findChild<QWidget*>(QStringLiteral("Card_fill_chk")) == nullptr, later);
            panel->Card_border_chk->setChecked(true);
            QCOMPARE(card.Card_border_chk, 1);
            panel->sett_tab->setCurrentWidget(panel->tabPage(QStringLiteral("card_bkgd_tab")));
            QVERIFY(panel->Card_fill_chk && panel->Card_fill_chk->isChecked());
            QVERIFY(panel->Card_gradient_fill_rd->isChecked());
            QCOMPARE(panel->Card_alpha_Stepper->value(), 80.0);
            QCOMPARE(panel->All_Text_clr->color(), QColor(Qt::blue));
            panel->Card_hatch_bk_clr->setColor(Qt::green);
            emit panel->Card_hatch_bk_clr->colorPicked(Qt::green);
            outcome = {card.Card_border_chk,     card.Card_fill_chk,     card.Card_fill_clr,
                       card.Card_fill_Grd_1_clr, card.Card_Content_clr,  card.Card_hatch_bk_clr,
                       card.Card_fill_style,     card.Card_alpha_Stepper};
        };
        Outcome later{}, now{};
        run(true, later);
        run(false, now);
        QCOMPARE(later.border, 1);
        QCOMPARE(later.fill, now.fill);
        QCOMPARE(later.fillColour, now.fillColour);
        QCOMPARE(later.firstColour, now.firstColour);
        QCOMPARE(later.contentColour, now.contentColour);
        QCOMPARE(later.style, now.style);
        QCOMPARE(later.hatchColour, now.hatchColour);
        QCOMPARE(later.alpha, now.alpha);
        QCOMPARE(now.fillColour, QColor(10, 20, 30)); // a fill the edit did not touch keeps its own alpha
        QCOMPARE(now.style, QStringLiteral("G"));
    }

    void dispatchAndWriteBack() {
        Card_Front_Or_Back = 0;
        SKTDocument doc;
        SKTWindowController wnd(&doc);
        wnd.resize(1300, 860);
        wnd.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wnd));
        InspectorPanel* panel = wnd.inspector();
        QVERIFY(panel);
        QCOMPARE(wnd.sett_tab, panel->sett_tab);
        wnd.Show_RHS_Properties(nullptr);
        QCOMPARE(panel->shownTabNames(), QStringList({"card_setting_tab", "card_bkgd_tab"}));
        shot(&wnd, QStringLiteral("card"));
        panel->sett_tab->setCurrentIndex(1);
        shot(&wnd, QStringLiteral("background"));

        GraphicPtr text = item(QStringLiteral("SKTText"), {}, QRectF(40, 40, 220, 50));
        GraphicPtr star =
            item(QStringLiteral("Shape_Control"), QStringLiteral("DS"), QRectF(300, 120, 120, 120));
        GraphicPtr pic = item(QStringLiteral("SKTImage"), {}, QRectF(40, 150, 160, 120));
        GraphicPtr line = item(QStringLiteral("SKTLine"), {}, QRectF(40, 300, 200, 10));
        doc.insertGraphics(CardSide::Front, {text, star, pic, line});

        const struct {
            GraphicPtr g;
            QString first;
            QString name;
        } cases[] = {{text, QStringLiteral("text_edtng_tab"), QStringLiteral("text")},
                     {star, QStringLiteral("shape_tab"), QStringLiteral("shape")},
                     {pic, QStringLiteral("datasource_tab"), QStringLiteral("picture")},
                     {line, QStringLiteral("line_tab"), QStringLiteral("line")}};
        for (const auto& c : cases) {
            wnd._graphicView->selectGraphic(c.g);
            wnd.Show_RHS_Properties(c.g);
            QCOMPARE(panel->shownTabNames().first(), c.first);
            QCOMPARE(wnd.Last_Selected_Graphic, c.g);
            shot(&wnd, c.name);
        }
        wnd._graphicView->selectGraphic(text);
        wnd.Show_RHS_Properties(text);
        panel->sett_tab->setCurrentIndex(1);
        shot(&wnd, QStringLiteral("text_properties"));
        wnd._graphicView->selectGraphic(pic);
        wnd.Show_RHS_Properties(pic);
        panel->sett_tab->setCurrentIndex(1);
        shot(&wnd, QStringLiteral("picture_properties"));

        // a panel change reaches the canvas's selection
        wnd._graphicView->selectGraphic(star);
        wnd.Show_RHS_Properties(star);
        panel->shape_alpha_Stepper->setValue(40);
        QCOMPARE(star->alpha_val, 0.4f);
        QCOMPARE(text->alpha_val, 1.0f);

        // the size panel resizes every canvas
        wnd.Show_RHS_Properties(nullptr);
        panel->width_Stepper->setValue(100);
        panel->height_Stepper->setValue(100);
        panel->Apply_Size_Clicked();
        QVERIFY(qAbs(wnd._graphicView_BACK->canvasSize().width() - 283.46) < 0.01);
        QVERIFY(qAbs(doc.canvasSize().height() - 283.46) < 0.01);
        QCOMPARE(wnd.Front_card_Prop.Card_Size, doc.canvasSize());

        // the card background command of the window runs the frame library for the side shown
        QTemporaryDir dir;
        const QString framePath = QDir(dir.path()).filePath(QStringLiteral("frame.png"));
        QVERIFY(filledImage(QSize(20, 10), Qt::red).save(framePath, "PNG"));
        panel->chooseLibraryPicture = [&](const QString& mode) -> std::optional<QString> {
            return mode == QLatin1String("B") ? std::optional<QString>(framePath) : std::nullopt;
        };
        wnd.Select_back_side();
        QAction* background = wnd.findChild<QAction*>(QStringLiteral("Card_Bckgrnd_btn"));
        QVERIFY(background);
        background->trigger();
        QCOMPARE(wnd.Back_card_Prop.Card_BG_Image_Path, framePath);
        QCOMPARE(wnd.Back_card_Prop.Card_fill_style, QStringLiteral("I"));
        QCOMPARE(panel->sett_tab->currentWidget(), panel->tabPage(QStringLiteral("card_bkgd_tab")));

        if (!qEnvironmentVariableIsEmpty("NAVU_SHOTS_DIR")) {
            const QString saved = Resource_Path;
            Resource_Path = QStringLiteral(NAVU_RESOURCES_DIR);
            Image_Library* lib = Image_Library::defaultInstance();
            lib->control_or_BG = QStringLiteral("C");
            lib->loadLists();
            lib->show();
            QVERIFY(QTest::qWaitForWindowExposed(lib));
            shot(lib, QStringLiteral("library"));
            lib->hide();
            Resource_Path = saved;
        }

        // the sides choice is the one the rest of the program reads
        panel->Sides_ComboBox->setCurrentIndex(1);
        QCOMPARE(CARD_SIDE_STR, QStringLiteral("1"));
        Card_Front_Or_Back = 0;
    }
};

QTEST_MAIN(TestInspectorWindow)
#include "test_inspector_window.moc"
