#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "TestPictures.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "profile/ProfileFields.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/ProfileDialogHost.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
class FakeHost : public ProfileDialogHost {
public:
    GraphicList front, back, temp;
    User_Profile_Class records[3];
    int previews = 0;
    FakeHost() {
        for (auto& r : records)
            r.Reset_All_Values();
    }
    GraphicList sideItems(bool b) override { return b ? back : front; }
    User_Profile_Class& profileRecord(CardSide side) override { return records[int(side)]; }
    void Temp_Design_Control_Assign() override { temp = Card_Front_Or_Back ? back : front; }
    void Fill_User_profile_info_TEMP_side() override {
        ++previews;
        last_ctrl_X = 99; // the dialog puts the cascade position back
    }
    GraphicList Get_Temp_Controls_Array() override { return temp; }
    QImage renderSide(const GraphicList& items) override {
        QImage image(50, 40, QImage::Format_ARGB32);
        image.fill(items.isEmpty() ? Qt::white : Qt::red);
        return image;
    }
};

GraphicPtr item(const QString& cls, const QString& id, const QString& text, int type = 0, int index = 0,
                const QString& series = {}) {
    GraphicPtr g = makeGraphicOfClass(cls, false);
    g->control_ID = id;
    g->Text_Value = text;
    g->data_source_type = type;
    g->batch_list_index = type == 1 ? index : 0;
    g->excel_col_indx = type == 2 ? index : 0;
    g->batch_list_name = series;
    return g;
}
} // namespace

class TestProfileDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    QString photo, badPhoto;
    RecordingPrompt prompt;
    FakeHost host;

    static void choose(QComboBox* combo, int index) { combo->setCurrentIndex(index); }

private slots:
    void initTestCase() {
        Data_Folder_Path = root.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        QVERIFY(SeriesFiles::writeSeries("Cities", {"Oslo", "Rome"}));
        QVERIFY(SeriesFiles::writeSeries("Names", {"Anna", "Ben"}));
        photo = root.filePath("photo.png");
        QVERIFY(filledImage(QSize(30, 20), Qt::green).save(photo));
        QVERIFY(SeriesFiles::writeSeries("Pics", {photo}));
        badPhoto = root.filePath("broken.png");
        writeBytes(badPhoto, "not a picture");
        Data_From_Excel::defaultInstance()->setTable({"Row No.", "City", "Code"},
                                                     {{"1", "Lima", "100"}, {"2", "Nice", "200"}});
        prompt.answer = false;
        setPromptHandler(&prompt);
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }
    void init() {
        prompt.texts.clear();
        Card_Front_Or_Back = 0;
        for (auto& r : host.records)
            r.Reset_All_Values();
        host.front.clear();
        host.back.clear();
    }

    // Every field set through its controls (typed, series, column) reaches the front and back records
    // with its flags and indexes; the series choice puts the series' first value into the field.
    void okCommitsAllElevenFields() {
        User_profile dlg;
        dlg.setHost(&host);
        dlg.load_side.clear();
        dlg.prepareOpening(false);
        dlg.Add_Excel_in_Data_Source_Combo();
        for (int i = 0; i < 10; ++i) {
            auto& c = dlg.fields[i];
            switch (i % 3) {
            case 0:
                c.value->setText(QStringLiteral(" typed %1 ").arg(i));
                break;
            case 1:
                choose(c.ds_combo, 1);
                QVERIFY(c.value->isReadOnly());
                QCOMPARE(c.ser_col_cb->currentIndex(), -1); // filled, nothing chosen
                choose(c.ser_col_cb, c.ser_col_cb->findText("Names"));
                QCOMPARE(c.value->text(), QStringLiteral("Anna"));
                break;
            case 2:
                choose(c.ds_combo, 2);
                choose(c.ser_col_cb, 2);
                QCOMPARE(c.value->text(), QStringLiteral("100"));
                break;
            }
        }
        choose(dlg.fields[10].ds_combo, 1);
        QVERIFY(!dlg.browse_pic_btn->isEnabled());
        choose(dlg.fields[10].ser_col_cb, dlg.fields[10].ser_col_cb->findText("Pics"));
        QCOMPARE(dlg.image_path_val->text(), photo);
        QVERIFY(!dlg.userPictureImage.isNull());
        dlg.excel_path_field->setText("/data/book.xlsx");

        dlg.OK_Btn_Clicked();
        QCOMPARE(dlg.result(), 1);
        QVERIFY(prompt.texts.isEmpty());
        const int namesAt = int(SeriesFiles::Get_datasheet_File_Name_Array().indexOf("Names"));
        for (CardSide side : {CardSide::Front, CardSide::Back}) {
            const User_Profile_Class& r = host.records[int(side)];
            QCOMPARE(r.Fill_User_Profile_Enable, qint8(1));
            QCOMPARE(r.Excel_Binding, qint8(1));
            QCOMPARE(r.Name, QStringLiteral(" typed 0 "));
            QCOMPARE(r.Name_ds, qint8(0));
            QCOMPARE(r.Title, QStringLiteral("Anna"));
            QCOMPARE(r.Title_ds, qint8(1));
            QCOMPARE(r.Title_ds_name, QStringLiteral("Names"));
            QCOMPARE(r.Title_ds_indx, namesAt);
            QCOMPARE(r.Company_name_xl, qint8(1));
            QCOMPARE(r.Company_name_xl_col_indx, 2);
            QCOMPARE(r.Company_name_ds, qint8(0));
            QCOMPARE(r.unique, QStringLiteral(" typed 9 "));
            QCOMPARE(r.image, photo);
            QCOMPARE(r.image_ds_name, QStringLiteral("Pics"));
        }
        QVERIFY(Excel_Binding_Use);
        QCOMPARE(Excel_Source_Path, QStringLiteral("/data/book.xlsx"));
        QCOMPARE(host.records[int(CardSide::Temp)].Name, QString(""));
    }

    void okBySide_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<bool>("back");
        QTest::newRow("front only") << "F" << false;
        QTest::newRow("back writes both") << "B" << true;
    }
    void okBySide() {
        QFETCH(QString, side);
        Show_User_Profile dlg;
        dlg.setHost(&host);
        dlg.prepareOpening(true);
        dlg.load_side = side;
        dlg.fields[0].value->setText("Ada");
        dlg.OK_Btn_Clicked();
        QCOMPARE(host.records[0].Name, QStringLiteral("Ada"));
        QTEST(host.records[1].Name == QLatin1String("Ada"), "back");
    }

    // A series source without a series chosen names the first failing field and keeps both records.
    void failedValidationKeepsRecords() {
        Show_User_Profile dlg;
        dlg.setHost(&host);
        dlg.prepareOpening(true);
        dlg.load_side = "B";
        dlg.fields[3].value->setText("kept out");
        choose(dlg.fields[0].ds_combo, 1);
        choose(dlg.fields[5].ds_combo, 1);
        dlg.setResult(-1);
        dlg.OK_Btn_Clicked();
        QCOMPARE(prompt.texts, QStringList{"Please select the source for 'Name'"});
        QCOMPARE(dlg.result(), -1);
        QVERIFY(host.records[0].slogan.isEmpty() && host.records[1].slogan.isEmpty());
        dlg.Preview_Btn_Clicked();
        QCOMPARE(host.previews, 0);
    }

    // Opening from the card loads the visible profile items of the current side into the form, with
    // their sources; a listing position that no longer names the series is found by name.
    void openingLoadsTheSide() {
        const int citiesAt = int(SeriesFiles::Get_datasheet_File_Name_Array().indexOf("Cities"));
        GraphicPtr hiddenName = item("SKTText", "Fup_Name", "Hidden");
        hiddenName->ctrl_is_visible = false;
        GraphicPtr imageItem = item("SKTImage", "Fup_Photo", "");
        imageItem->_file_path = photo;
        host.back = {hiddenName,
                     item("SKTText", "Fup_PhoneNO", "old", 1, citiesAt, "Cities"),
                     item("SKTText", "Fup_Address", "x", 1, 77, "Names"),
                     item("SKTText", "Fup_FaxNo", "y", 2, 2),
                     item("SKTText", "Fup_EmailID", "z", 2, 40),
                     imageItem};
        host.front = {item("SKTText", "Fup_Name", "Front name")};
        Card_Front_Or_Back = 1;
        Show_User_Profile dlg;
        dlg.setHost(&host);
        dlg.prepareOpening(true);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Back Side User Profile Information"));
        QVERIFY(dlg.fields[0].value->text().isEmpty()); // hidden item passed over; front not read
        QVERIFY(!dlg.fields[0].value_chk->isChecked());
        QCOMPARE(dlg.fields[5].ds_combo->currentIndex(), 1);
        QCOMPARE(dlg.fields[5].ser_col_cb->currentText(), QStringLiteral("Cities"));
        QCOMPARE(dlg.fields[5].value->text(), QStringLiteral("Oslo"));
        QVERIFY(dlg.fields[5].value->isReadOnly());
        QVERIFY(dlg.fields[5].value_chk->isChecked());
        QCOMPARE(dlg.fields[4].ser_col_cb->currentText(), QStringLiteral("Names"));
        QCOMPARE(dlg.fields[6].ds_combo->currentIndex(), 2); // "Excel" offered: the table has rows
        QCOMPARE(dlg.fields[6].value->text(), QStringLiteral("100"));
        // A column outside the table selects nothing and gives no value, never a crash.
        QCOMPARE(dlg.fields[7].ser_col_cb->currentIndex(), -1);
        QCOMPARE(dlg.fields[7].value->text(), QStringLiteral("z"));
        QCOMPARE(dlg.image_path_val->text(), photo);
        QVERIFY(!dlg.previewImage.isNull());
    }

    // A sheet imported before the dialog opens (Data menu) is offered as a source at once, in both dialogs
    // and both ways of opening; without table rows only "Manual" and "Series" are offered.
    void openingOffersTableColumns_data() {
        QTest::addColumn<bool>("currentSide");
        QTest::addColumn<bool>("fromCard");
        QTest::addColumn<bool>("tableRows");
        QTest::newRow("profile dialog, rows") << false << false << true;
        QTest::newRow("profile dialog from card, rows") << false << true << true;
        QTest::newRow("current side, rows") << true << true << true;
        QTest::newRow("profile dialog, no rows") << false << false << false;
        QTest::newRow("current side, no rows") << true << true << false;
    }
    void openingOffersTableColumns() {
        QFETCH(bool, currentSide);
        QFETCH(bool, fromCard);
        QFETCH(bool, tableRows);
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        const QStringList titles = table->columnTitles();
        const DataTableContent rows = table->content();
        if (!tableRows)
            table->setTable({"Row No."}, {});
        std::unique_ptr<ProfileDialogBase> dlg;
        if (currentSide)
            dlg = std::make_unique<Show_User_Profile>();
        else
            dlg = std::make_unique<User_profile>();
        dlg->setHost(&host);
        // Once offered, a later opening without rows takes the choice away again.
        if (!tableRows)
            dlg->Add_Excel_in_Data_Source_Combo();
        dlg->prepareOpening(fromCard);
        table->setContent(titles, rows);
        for (const auto& c : dlg->fields)
            QCOMPARE(c.ds_combo->count(), tableRows ? 3 : 2);
    }

    // The current-side dialog's boxes: typing switches a box on, code does not; clicks lock and unlock.
    void checkBoxes() {
        Show_User_Profile dlg;
        dlg.setHost(&host);
        dlg.prepareOpening(true);
        auto& title = dlg.fields[1];
        QVERIFY(!title.value->isReadOnly() && !title.value_chk->isChecked());
        QTest::keyClicks(title.value, "Boss");
        QVERIFY(title.value_chk->isChecked());
        title.value->selectAll();
        QTest::keyClick(title.value, Qt::Key_Delete);
        QVERIFY(title.value_chk->isChecked());
        title.value_chk->click(); // off: locked
        QVERIFY(title.value->isReadOnly());
        choose(title.ds_combo, 1);
        choose(title.ds_combo, 0);
        QVERIFY(!title.value->isReadOnly() && !title.value_chk->isChecked());
        title.label_chk->click();
        QVERIFY(!title.label->isReadOnly());
        title.label->setText("Role :");
        dlg.Reset_all_Ctrl();
        QCOMPARE(title.label->text(), QStringLiteral("Role :"));
        QVERIFY(!title.label_chk->isChecked() && !title.label->isReadOnly());
    }

    // A photo that does not load shows its path and keeps the picture that was there.
    void photoThatFailsKeepsPicture() {
        User_profile dlg;
        dlg.Set_User_Image(photo);
        const QImage before = dlg.userPictureImage;
        QVERIFY(!before.isNull());
        dlg.Set_User_Image("  " + badPhoto + " ");
        QCOMPARE(dlg.image_path_val->text(), badPhoto);
        QCOMPARE(dlg.userPictureImage, before);
        dlg.Clear_image_Btn_Clicked();
        QVERIFY(dlg.userPictureImage.isNull() && dlg.image_path_val->text().isEmpty());
    }

    // Preview commits into the scratch record only and restores the cascade position.
    void previewWritesScratchRecordOnly() {
        User_profile dlg;
        dlg.setHost(&host);
        dlg.prepareOpening(false);
        dlg.fields[0].value->setText("Preview name");
        last_ctrl_X = 12;
        last_ctrl_Y = 13;
        dlg.Preview_Btn_Clicked();
        QCOMPARE(host.previews, 1);
        QCOMPARE(host.records[int(CardSide::Temp)].Name, QStringLiteral("Preview name"));
        QVERIFY(host.records[0].Name.isEmpty() && host.records[1].Name.isEmpty());
        QCOMPARE(last_ctrl_X, 12.0f);
        QCOMPARE(last_ctrl_Y, 13.0f);
        QVERIFY(!dlg.previewImage.isNull());
        host.previews = 0;
    }

    // Viewing a series refuses an empty choice and never hands on a name that could leave the folder.
    void viewSeriesChecksTheName() {
        User_profile dlg;
        QStringList viewed;
        dlg.viewSeries = [&](const QString& name) { viewed << name; };
        QComboBox list;
        dlg.View_Data_Series_By_Name(&list);
        list.addItems({"../etc", " Names "});
        list.setCurrentIndex(0);
        dlg.View_Data_Series_By_Name(&list);
        list.setCurrentIndex(1);
        dlg.View_Data_Series_By_Name(&list);
        QCOMPARE(viewed, QStringList{"Names"});
        QCOMPARE(prompt.texts, QStringList({"Please select the series.", "Please select the series."}));
    }
};

QTEST_MAIN(TestProfileDialogs)
#include "test_profile_dialogs.moc"
