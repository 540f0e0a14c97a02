#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "TestPictures.h"
#include "app/SKTWindowController.h"
#include "app/inspector/InspectorPanel.h"
#include "canvas/ItemArchive.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/BatchFillJob.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "profile/ProfileFields.h"
#include "profile/ProfileGlobals.h"
#include "profile/ProfilePlacement.h"
#include "profile/ui/Show_User_Profile.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

namespace {
GraphicPtr profileItem(const QString& cls, const QString& id, const QString& text,
                       const QRectF& r = {300, 300, 50, 20}) {
    GraphicPtr g = makeGraphicOfClass(cls, false);
    g->control_ID = id;
    g->setBounds(r);
    if (g->kind() == GraphicKind::Text) {
        static_cast<SKTText*>(g.get())->setText(text);
        g->Text_Value = text;
    }
    return g;
}

QList<QByteArray> archives(const GraphicList& items) {
    QList<QByteArray> out;
    for (const GraphicPtr& g : items)
        out << archiveItem(*g, plistio::Format::Xml);
    return out;
}
} // namespace

class TestProfileWindow : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    QString photoA, photoB, badPhoto;
    RecordingPrompt prompt;
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;

    GraphicList& front() { return wnd->Get_Front_Controls_Array(); }
    QRectF place(const QString& id) const { return wnd->Get_Control_Rect_From_Template(id); }

private slots:
    void initTestCase() {
        prompt.answer = false;
        Data_Folder_Path = root.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        QVERIFY(SeriesFiles::writeSeries("Names", {"Anna", "Ben", "Cleo"}));
        photoA = root.filePath("a.png");
        photoB = root.filePath("b.png");
        QVERIFY(filledImage(QSize(20, 10), Qt::red).save(photoA));
        QVERIFY(filledImage(QSize(30, 30), Qt::blue).save(photoB));
        badPhoto = root.filePath("bad.png");
        writeBytes(badPhoto, "garbage");
        Data_From_Excel::defaultInstance()->setTable(
            {"Row No.", "Company"}, {{"1", "Acme"}, {"2", "Bolt"}, {"3", "Cask"}, {"4", "Dune"}});
    }
    void init() {
        Card_Front_Or_Back = 0;
        CARD_SIDE_STR = "2";
        Card_Value_In_Process = false;
        Library_Selected_Image.clear();
        setPromptHandler(&prompt);
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        Fill_User_Profile = true;
    }
    void cleanup() {
        delete wnd;
        delete doc;
        setPromptHandler(nullptr);
    }

    void recordsOfTheWindow() {
        QCOMPARE(wnd->Front_user_profile.Name_id, QStringLiteral("Fup_Name"));
        QCOMPARE(wnd->TEMP_user_profile.image_id, QStringLiteral("Fup_Photo"));
        QVERIFY(wnd->findChild<QAction*>("User_Profile_Action"));
        wnd->Front_user_profile.Name = "a";
        wnd->Back_user_profile.Name = "b";
        wnd->TEMP_user_profile.Name = "t";
        wnd->New_Project_Setting_Reset();
        QVERIFY(!Fill_User_Profile);
        QVERIFY(wnd->Front_user_profile.Name.isEmpty() && wnd->Back_user_profile.Name.isEmpty());
        QCOMPARE(wnd->TEMP_user_profile.Name, QStringLiteral("t"));
    }

    // A side without profile items gets new items at the default places, the photo front-most; the
    // current tool stays what the user chose.
    void fillCreatesItemsAtTheirPlaces() {
        GraphicPtr other = profileItem("SKTText", "PARTY_TITLE", "Title");
        front() << other;
        wnd->Front_user_profile.Name = "Ada";
        wnd->Front_user_profile.image = photoA;
        wnd->Selected_Control_Tool = 0;
        wnd->Fill_User_profile_info_front_side();
        QCOMPARE(front().size(), 3);
        QCOMPARE(front()[0]->control_ID, QStringLiteral("Fup_Photo"));
        QCOMPARE(front()[1]->control_ID, QStringLiteral("Fup_Name"));
        QCOMPARE(front()[1]->_Text_contents, QStringLiteral("Ada"));
        QCOMPARE(front()[1]->bounds(), place("Fup_Name"));
        QCOMPARE(front()[0]->bounds(), place("Fup_Photo"));
        QCOMPARE(front()[0]->_image.size(), QSize(20, 10));
        QVERIFY(front()[0]->ctrl_is_visible && front()[1]->ctrl_is_visible);
        QCOMPARE(wnd->Selected_Control_Tool, 0);
        QCOMPARE(Library_Selected_Image, photoA);
        QCOMPARE(place("Fup_Name"),
                 Get_Control_Rect_From_Template("Fup_Name", QSizeF(504, 360), ProfileTemplates::defaults()));
    }

    // Existing items keep place and style and take the value; emptied fields are hidden; of two items with
    // one ID only the front-most is shown; a photo that does not load keeps the old picture.
    void fillReplacesAndHides() {
        GraphicPtr name1 = profileItem("SKTText", "Fup_Name", "old", QRectF(5, 6, 70, 30));
        name1->text_ctrl_font = QFont("DejaVu Sans", 31);
        name1->_isDrawingFill = true;
        GraphicPtr name2 = profileItem("SKTText", "Fup_Name", "old2");
        GraphicPtr title = profileItem("SKTText", "Fup_Title", "Boss");
        GraphicPtr photo = profileItem("SKTImage", "Fup_Photo", "");
        static_cast<SKTImage*>(photo.get())->setFilePath(photoA);
        GraphicPtr fake = profileItem("Shape_Control", "Fup_Title", "");
        front() << name1 << name2 << title << photo << fake;
        wnd->Front_user_profile.Name = "New";
        wnd->Front_user_profile.image = badPhoto;
        wnd->Fill_User_profile_info_front_side();
        QCOMPARE(front().size(), 5);
        QCOMPARE(name1->_Text_contents, QStringLiteral("New"));
        QCOMPARE(name1->Text_Value, QStringLiteral("New"));
        QCOMPARE(name1->bounds(), QRectF(5, 6, 70, 30));
        QCOMPARE(name1->text_ctrl_font.pointSize(), 31);
        QVERIFY(!name1->_isDrawingFill && name1->ctrl_is_visible);
        QVERIFY(!name2->ctrl_is_visible && !title->ctrl_is_visible);
        QVERIFY(fake->ctrl_is_visible); // not a text or picture item
        QVERIFY(!photo->ctrl_is_visible);
        QCOMPARE(photo->_file_path, photoA);
        QCOMPARE(photo->_image.size(), QSize(20, 10));

        wnd->Front_user_profile.image = photoB;
        wnd->Fill_User_profile_info_front_side();
        QVERIFY(photo->ctrl_is_visible);
        QCOMPARE(photo->_image.size(), QSize(30, 30));
    }

    void fillWritesBindings_data() {
        QTest::addColumn<int>("ds");
        QTest::addColumn<int>("xl");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("excel");
        QTest::addColumn<int>("column");
        QTest::newRow("series") << 1 << 0 << 1 << "Names" << false << 0;
        QTest::newRow("column keeps the old series name") << 0 << 1 << 2 << "Old" << true << 1;
        QTest::newRow("typed keeps the old series name") << 0 << 0 << 0 << "Old" << false << 0;
    }
    void fillWritesBindings() {
        QFETCH(int, ds);
        QFETCH(int, xl);
        GraphicPtr phone = profileItem("SKTText", "Fup_PhoneNO", "1");
        phone->data_source_type = 1;
        phone->batch_list_name = "Old";
        front() << phone;
        User_Profile_Class& r = wnd->Front_user_profile;
        r.phone = "555";
        r.phone_ds = qint8(ds);
        r.phone_ds_name = ds ? "Names" : "";
        r.phone_ds_indx = ds ? 3 : 0;
        r.phone_xl = qint8(xl);
        r.phone_xl_col_indx = xl ? 1 : 0;
        wnd->Fill_User_profile_info_front_side();
        QTEST(phone->data_source_type, "type");
        QTEST(phone->batch_list_name, "name");
        QTEST(phone->excel_binding, "excel");
        QTEST(phone->excel_col_indx, "column");
    }

    // The fills offer "Excel" by the inspector's own rule (a table with rows, or an inspected item bound to
    // a column), also when the fill itself waits, and never through the list's choice handler: an
    // inspected item bound to a column keeps its binding while the table is empty.
    void fillUpdatesTheInspectorSources() {
        Fill_User_Profile = false;
        wnd->inspector()->ensureItemPages();
        QComboBox* sources = wnd->inspector()->Data_source_type;
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        const QStringList titles = table->columnTitles();
        const DataTableContent rows = table->content();
        GraphicPtr bound = profileItem("SKTText", "Company", "Acme");
        bound->data_source_type = 2;
        bound->excel_col_indx = 1;
        GraphicPtr typed = profileItem("SKTText", "Other", "x");
        front() << bound << typed;
        table->setTable({"Row No."}, {});
        for (bool excelUse : {false, true}) {
            Excel_Binding_Use = excelUse;
            wnd->Show_RHS_Properties(bound);
            wnd->Fill_User_profile_info_front_side();
            QCOMPARE(sources->count(), 3);
            QCOMPARE(sources->currentIndex(), 2);
            QCOMPARE(bound->data_source_type, 2);
            QCOMPARE(bound->excel_col_indx, 1);
            wnd->Show_RHS_Properties(typed);
            wnd->Fill_User_profile_info_back_side();
            QCOMPARE(sources->count(), 2);
            QCOMPARE(typed->data_source_type, 0);
        }
        table->setContent(titles, rows);
        Excel_Binding_Use = false;
        wnd->Fill_User_profile_info_front_side();
        QCOMPARE(sources->count(), 3);
        QCOMPARE(sources->itemText(2), QStringLiteral("Excel"));
        QCOMPARE(typed->data_source_type, 0);
    }

    // Without a confirmed profile dialog the front and back fills leave the side alone.
    void fillWaitsForTheFlag() {
        GraphicPtr name = profileItem("SKTText", "Fup_Name", "keep");
        front() << name;
        Fill_User_Profile = false;
        wnd->Front_user_profile.Title = "Boss";
        wnd->Fill_User_profile_info_front_side();
        QCOMPARE(front().size(), 1);
        QVERIFY(name->ctrl_is_visible);
    }

    // Preview fills copies on the scratch side: the card's items, both records and the undo stack stay.
    void previewLeavesTheDesign() {
        for (int backSide : {0, 1}) {
            Card_Front_Or_Back = backSide;
            GraphicList& side = backSide ? wnd->Get_Back_Controls_Array() : front();
            GraphicPtr name = profileItem("SKTText", "Fup_Name", "Card name");
            GraphicPtr title = profileItem("SKTText", "Fup_Title", "Card title");
            side << name << title;
            const QList<QByteArray> before = archives(side);
            const int undoCount = doc->undoManager()->count();
            last_ctrl_X = 40;
            Show_User_Profile* dlg = Show_User_Profile::defaultInstance();
            dlg->setHost(wnd->profileHost());
            dlg->prepareOpening(true);
            QCOMPARE(dlg->fields[0].value->text(), QStringLiteral("Card name"));
            dlg->fields[0].value->setText("Preview name");
            dlg->fields[1].value->clear();
            dlg->fields[2].value->setText("Preview company");
            dlg->Preview_Btn_Clicked();
            dlg->Preview_Btn_Clicked(); // the second starts again from the card

            QCOMPARE(archives(side), before);
            QCOMPARE(doc->undoManager()->count(), undoCount);
            QVERIFY(wnd->Front_user_profile.Name.isEmpty() && wnd->Back_user_profile.Name.isEmpty());
            QCOMPARE(last_ctrl_X, 40.0f);
            const GraphicList temp = wnd->Get_Temp_Controls_Array();
            QCOMPARE(temp.size(), 3);
            QCOMPARE(temp[0]->control_ID, QStringLiteral("Fup_Company"));
            QCOMPARE(temp[1]->_Text_contents, QStringLiteral("Preview name"));
            QVERIFY(!temp[2]->ctrl_is_visible);
            QVERIFY(!dlg->previewImage.isNull());
            side.clear();
        }
    }

    // The profile button: OK commits the form and fills the current side.
    void profileButtonFillsTheSide() {
        Fill_User_Profile = false;
        QTimer::singleShot(0, this, [] {
            Show_User_Profile* dlg = Show_User_Profile::defaultInstance();
            dlg->fields[5].value->setText("555-1");
            dlg->OK_Btn_Clicked();
        });
        wnd->User_Profile_Button_Clicked();
        QVERIFY(Fill_User_Profile);
        QCOMPARE(wnd->Front_user_profile.phone, QStringLiteral("555-1"));
        QCOMPARE(front().size(), 1);
        QCOMPARE(front()[0]->control_ID, QStringLiteral("Fup_PhoneNO"));
        QCOMPARE(wnd->Back_user_profile.phone, QString(""));
    }

    // Bound profile items take each row's values in a run, like any bound item.
    void boundProfileItemsRenderPerRow() {
        User_Profile_Class& r = wnd->Front_user_profile;
        r.Name = "Anna";
        r.Name_ds = 1;
        r.Name_ds_name = "Names";
        r.Company_name = "Acme";
        r.Company_name_xl = 1;
        r.Company_name_xl_col_indx = 1;
        r.email = "typed@x";
        wnd->Fill_User_profile_info_front_side();
        const GraphicList live = front();
        const QList<QByteArray> before = archives(live);

        SeriesBindingTable series;
        Data_From_Excel& table = *Data_From_Excel::defaultInstance();
        Check_Series_Or_Excel_Use_or_not(live, {}, false, table, series);
        QCOMPARE(Total_Batch_Excel_Card, 4);
        BatchFillJob::Design design{live, {}, wnd->Front_card_Prop, wnd->Back_card_Prop, 0, false};
        auto job = BatchFillJob::create(design, series, table);
        const QStringList names{"Anna", "Ben", "Cleo", ""};
        const QStringList companies{"Acme", "Bolt", "Cask", "Dune"};
        auto byId = [](const GraphicList& items, const QString& id) {
            for (const GraphicPtr& g : items)
                if (g->control_ID == id)
                    return g;
            return GraphicPtr();
        };
        QImage previous;
        for (int row = 0; row < 4; ++row) {
            const QImage image = job->Set_data_table_value_to_card(row, "F", false);
            QCOMPARE(image.size(), QSize(504, 360));
            QVERIFY(image != previous);
            previous = image;
            const GraphicList items = job->itemsForRow(row, "F");
            QCOMPARE(byId(items, "Fup_Name")->_Text_contents, names[row]);
            QCOMPARE(byId(items, "Fup_Company")->_Text_contents, companies[row]);
            QCOMPARE(byId(items, "Fup_EmailID")->_Text_contents, QStringLiteral("typed@x"));
        }
        QCOMPARE(archives(live), before);
    }
};

QTEST_MAIN(TestProfileWindow)
#include "test_profile_window.moc"
