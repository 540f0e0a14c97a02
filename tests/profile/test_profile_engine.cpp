#include "canvas/SKTItems.h"
#include "profile/ProfileFields.h"
#include "profile/ProfileForm.h"
#include "profile/ProfilePlacement.h"
#include "profile/User_Profile_Class.h"

#include <QtTest>

class TestProfileEngine : public QObject {
    Q_OBJECT

private slots:
    // A reset record carries the eleven reserved IDs and label IDs and nothing else; a reset after a commit
    // clears every value, source and both flags again.
    void resetRestoresReservedIdsAndClearsTheRest() {
        User_Profile_Class r;
        QVERIFY(r.Name_id.isEmpty()); // creation alone sets nothing
        r.Reset_All_Values();
        const QStringList ids = {"Fup_Name",    "Fup_Title",    "Fup_Company", "Fup_CompanySlogan",
                                 "Fup_Address", "Fup_PhoneNO",  "Fup_FaxNo",   "Fup_EmailID",
                                 "Fup_Website", "Fup_UniqueNo", "Fup_Photo"};
        QCOMPARE(profile::reservedIds(), ids);
        QCOMPARE(r.Company_name_id, QStringLiteral("Fup_Company"));
        QCOMPARE(r.image_label_id, QStringLiteral("Fup_lbl_Photo"));

        ProfileForm form;
        for (int i = 0; i < 11; ++i) {
            form[i].value = QStringLiteral("v%1").arg(i);
            form[i].source = i % 3;
            form[i].listIndex = 2;
            form[i].listText = QStringLiteral("S");
        }
        commitFormToRecord(form, r);
        r.Fill_User_Profile_Enable = 1;
        r.Excel_Binding = 1;
        r.Reset_All_Values();
        QCOMPARE(r.Fill_User_Profile_Enable, qint8(0));
        QCOMPARE(r.Excel_Binding, qint8(0));
        for (int i = 0; i < 11; ++i) {
            const ProfileFieldData f = r.fieldData(i);
            QCOMPARE(f.id, ids[i]);
            QCOMPARE(f.label_id, QString(ids[i]).replace("Fup_", "Fup_lbl_"));
            QVERIFY(f.value.isEmpty() && f.ds_name.isEmpty());
            QVERIFY(f.ds == 0 && f.ds_indx == 0 && f.xl == 0 && f.xl_col_indx == 0);
        }
    }

    void commitBySource_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("listIndex");
        QTest::addColumn<int>("ds");
        QTest::addColumn<QString>("dsName");
        QTest::addColumn<int>("dsIndx");
        QTest::addColumn<int>("xl");
        QTest::addColumn<int>("xlCol");
        QTest::newRow("typed") << 0 << -1 << 0 << "" << 0 << 0 << 0;
        QTest::newRow("series") << 1 << 2 << 1 << "Names" << 2 << 0 << 0;
        QTest::newRow("column") << 2 << 3 << 0 << "" << 0 << 1 << 3;
        // No entry selected: the source members keep what they held.
        QTest::newRow("none selected") << -1 << -1 << 1 << "Old" << 5 << 0 << 0;
    }
    void commitBySource() {
        QFETCH(int, source);
        QFETCH(int, listIndex);
        User_Profile_Class r;
        r.Reset_All_Values();
        r.phone_ds = 1;
        r.phone_ds_name = "Old";
        r.phone_ds_indx = 5;
        ProfileForm form;
        form[5] = {QStringLiteral("  555 "), source, listIndex,
                   listIndex >= 0 ? QStringLiteral("Names") : QString()};
        commitFormToRecord(form, r);
        QCOMPARE(r.phone, QStringLiteral("  555 ")); // values keep their blanks
        QTEST(int(r.phone_ds), "ds");
        QTEST(r.phone_ds_name, "dsName");
        QTEST(int(r.phone_ds_indx), "dsIndx");
        QTEST(int(r.phone_xl), "xl");
        QTEST(int(r.phone_xl_col_indx), "xlCol");
    }

    void validation_data() {
        QTest::addColumn<QList<int>>("sources"); // per field, -1 .. 2; list selection only on odd positions
        QTest::addColumn<QList<int>>("lists");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("message");
        const QList<int> none(11, -1);
        QTest::newRow("all typed, nothing chosen") << QList<int>(11, 0) << none << true << "";
        QList<int> s(11, 0);
        s[0] = 1;
        s[5] = 1;
        QTest::newRow("name and phone without series")
            << s << none << false << "Please select the source for 'Name'";
        QList<int> t(11, 0);
        t[1] = 2;
        QTest::newRow("title column not chosen")
            << t << none << false << "Please select the source for 'Position / Title'";
        QList<int> l = none;
        l[1] = 0;
        QTest::newRow("title column chosen") << t << l << true << "";
    }
    void validation() {
        QFETCH(QList<int>, sources);
        QFETCH(QList<int>, lists);
        ProfileForm form;
        for (int i = 0; i < 11; ++i) {
            form[i].source = sources[i];
            form[i].listIndex = lists[i];
        }
        QString failed;
        QTEST(Check_Validation(form, &failed), "valid");
        if (!failed.isEmpty())
            QTEST(profileValidationMessage(failed), "message");
        else
            QCOMPARE(profileValidationMessage(failed), QStringLiteral("Please select the source"));
    }

    void placement_data() {
        QTest::addColumn<QSizeF>("card");
        QTest::addColumn<QSizeF>("laidOutFor"); // empty: no fitting
        QTest::addColumn<QString>("id");
        QTest::addColumn<QRectF>("expected");
        const QSizeF none;
        QTest::newRow("landscape name") << QSizeF(504, 360) << none << "Fup_Name" << QRectF(10, 80, 100, 20);
        QTest::newRow("square is landscape")
            << QSizeF(300, 300) << none << "Fup_Photo" << QRectF(5, 60, 50, 60);
        QTest::newRow("portrait measured on the landscape box")
            << QSizeF(200, 300) << none << "Fup_Name" << QRectF(30, 400, 100, 20);
        QTest::newRow("unknown id") << QSizeF(504, 360) << none << "PARTY_TITLE" << QRectF();
        QTest::newRow("missing frame") << QSizeF(504, 360) << none << "Fup_FaxNo" << QRectF(0, 100, 0, 0);
        // A card a quarter as wide as the layout scales places by 0.25; a larger card keeps them.
        QTest::newRow("small card scales down")
            << QSizeF(100, 100) << QSizeF(400, 200) << "Fup_Name" << QRectF(2.5, 20, 25, 5);
        QTest::newRow("large card keeps the frame")
            << QSizeF(1000, 800) << QSizeF(400, 200) << "Fup_Name" << QRectF(10, 80, 100, 20);
    }
    void placement() {
        QFETCH(QSizeF, card);
        QFETCH(QSizeF, laidOutFor);
        QFETCH(QString, id);
        ProfileTemplates t;
        t.horzTemplateHeight = 100;
        t.landscapeCard = laidOutFor;
        t.landscape.insert("Fup_Name", QRectF(10, 20, 100, 20));
        t.landscape.insert("Fup_Photo", QRectF(5, 40, 50, 60));
        t.portrait.insert("Fup_Name", QRectF(30, -300, 100, 20));
        QTEST(Get_Control_Rect_From_Template(id, card, t), "expected");
    }

    // The shipped frames put every new item inside a card of the default size for its orientation.
    void shippedFramesFitTheCard() {
        for (const QSizeF card : {QSizeF(504, 360), QSizeF(360, 504)}) {
            for (const QString& id : profile::reservedIds()) {
                const QRectF r = Get_Control_Rect_From_Template(id, card, ProfileTemplates::defaults());
                QVERIFY2(QRectF(QPointF(0, 0), card).contains(r) && !r.isEmpty(), qPrintable(id));
            }
        }
    }

    // The form is read from visible text and picture items only; the later item of an ID wins; the photo
    // comes back by its file path.
    void stateFromItems() {
        auto item = [](const QString& cls, const QString& id, const QString& text, bool visible = true) {
            GraphicPtr g = makeGraphicOfClass(cls, false);
            g->control_ID = id;
            g->Text_Value = text;
            g->ctrl_is_visible = visible;
            return g;
        };
        GraphicList items;
        items << item("SKTText", "Fup_Name", "hidden", false) << item("SKTText", " Fup_Title ", "first")
              << item("SKTText", "Fup_Title", "second") << item("Shape_Control", "Fup_FaxNo", "shape")
              << item("SKTSignature", "Fup_Photo", "sig") << item("SKTText", "PARTY_TITLE", "other");
        GraphicPtr photo = item("SKTImage", "Fup_Photo", "");
        photo->_file_path = "/tmp/p.png";
        photo->data_source_type = 1;
        photo->batch_list_index = 4;
        photo->batch_list_name = "Pics";
        GraphicPtr phone = item("SKTText", "Fup_PhoneNO", "1");
        phone->data_source_type = 2;
        phone->excel_col_indx = 3;
        items << photo << phone;
        const auto s = profileStateFromItems(items);
        QVERIFY(!s[0]);
        QCOMPARE(s[1]->value, QStringLiteral("second"));
        QVERIFY(!s[6]);
        QCOMPARE(s[10]->value, QStringLiteral("/tmp/p.png"));
        QCOMPARE(s[10]->dataSourceType, 1);
        QCOMPARE(s[10]->listIndex, 4);
        QCOMPARE(s[5]->listIndex, 3);
        int found = 0;
        for (const auto& f : s)
            found += f.has_value();
        QCOMPARE(found, 3);
    }

    // The both-sides dialog's rows and what its OK gives each side: a field alike on both sides opens with
    // Both; sides that differ show the current side's and the other keeps its own; a side that showed a
    // field no longer sent to it is cleared; fields a side did not show are left as that side has them.
    void bothSidesRowsAndSideForms() {
        ProfileStates front, back;
        front[0] = back[0] = ProfileItemState{"Ann"};
        front[1] = ProfileItemState{"Boss"};
        back[1] = ProfileItemState{"Chief"};
        back[5] = ProfileItemState{"555"};
        const auto rows = bothSidesRows(front, back, false);
        QCOMPARE(rows[0].side, int(ProfileOnBoth));
        QCOMPARE(rows[1].side, int(ProfileOnFront));
        QCOMPARE(rows[1].shown->value, QStringLiteral("Boss"));
        QCOMPARE(rows[5].side, int(ProfileOnBack));
        QCOMPARE(bothSidesRows(front, back, true)[1].shown->value, QStringLiteral("Chief"));

        ProfileForm form;
        form[0].value = "Ann";
        form[1].value = "Boss";
        form[5].value = "555";
        std::array<int, 11> sides;
        sides.fill(ProfileOnBoth);
        sides[0] = sides[1] = ProfileOnFront;
        sides[5] = ProfileOnBack;
        const SideForm f = formForSide(form, sides, rows, front, false);
        const SideForm b = formForSide(form, sides, rows, back, true);
        QCOMPARE(f.form[0].value, QStringLiteral("Ann"));
        QVERIFY(b.form[0].value.isEmpty() && !b.leave[0]);
        QCOMPARE(f.form[1].value, QStringLiteral("Boss"));
        QVERIFY(b.leave[1]);
        QCOMPARE(b.form[1].value, QStringLiteral("Chief"));
        QCOMPARE(b.form[5].value, QStringLiteral("555"));
        QVERIFY(f.leave[5] && f.leave[3] && b.leave[3]);
    }
};

QTEST_GUILESS_MAIN(TestProfileEngine)
#include "test_profile_engine.moc"
