#include "FileBytes.h"
#include "DialogScript.h"

#include "data/XlsxTestPackage.h"

#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "data/XlsxWriter.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/Import_Excel_DataSheet.h"
#include "data/ui/Import_Wizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray seriesBytes(const QString& name) {
    return readBytes(SeriesFiles::filePath(name));
}

// A row of shared-string cells.
QByteArray row(int r, const QList<int>& strings) {
    QByteArray x = "<row r=\"" + QByteArray::number(r) + "\">";
    for (int c = 0; c < strings.size(); ++c) {
        if (strings[c] < 0)
            continue;
        x += "<c r=\"" + QByteArray(1, char('A' + c)) + QByteArray::number(r) + "\" t=\"s\"><v>" +
             QByteArray::number(strings[c]) + "</v></c>";
    }
    return x + "</row>";
}

// Sheet "People": Name, Role, City, Zip and two data rows; sheet "Other": Code and one row.
QByteArray twoSheetWorkbook() {
    const QStringList strings{"Name", "Role", "City", "Zip",    "Ann",  "Boss",
                              "Oslo", "0150", "Bob",  "Bergen", "Code", "X1"};
    QByteArray sst;
    for (const QString& s : strings)
        sst += "<si><t>" + s.toUtf8() + "</t></si>";
    XlsxTestPackage p =
        XlsxTestPackage::simple(row(1, {0, 1, 2, 3}) + row(2, {4, 5, 6, 7}) + row(3, {8, -1, 9, -1}), sst);
    const QByteArray ns = XlsxTestPackage::ns();
    p.replace(
        "xl/workbook.xml",
        "<workbook xmlns=\"" + ns +
            "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
            "<sheet name=\"People\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Other\" sheetId=\"2\" "
            "r:id=\"rId4\"/></sheets></workbook>");
    p.replace("xl/_rels/workbook.xml.rels",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
              "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
              "<Relationship Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
              "relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
              "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
              "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    p.add("xl/worksheets/sheet2.xml", "<worksheet xmlns=\"" + ns + "\"><sheetData>" + row(1, {10}) +
                                          row(2, {11}) + "</sheetData></worksheet>");
    return p.bytes();
}

QList<QStringList> tableRows(const Data_From_Excel& t) {
    QList<QStringList> rows;
    for (int r = 0; r < t.rowCountOfTable(); ++r) {
        QStringList row;
        for (int c = 0; c < t.columnCountOfTable(); ++c)
            row << t.value(r, c);
        rows << row;
    }
    return rows;
}
} // namespace

class TestSheetDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    ScriptedPrompt prompt;
    DialogScript script;
    QString book;
    QStringList inUse;
    QStringList longMessages;
    int longAnswer = 1;
    bool longTickAll = false;

    // Scripts the dialog's next run: `pick` sets it up, then OK is pressed.
    template <class Dialog> void pickThenOk(Dialog* d, std::function<void()> pick) {
        script.steps[d->objectName()] = [d, pick](QDialog* dlg) {
            pick();
            d->OKPressed();
            return dlg->result();
        };
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(root.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : QString();
    }

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        Resource_Path = root.path();
        Data_Folder_Path = root.filePath(QStringLiteral("DataSet"));
        book = writeFile("people.xlsx", twoSheetWorkbook());
        QVERIFY(!book.isEmpty());
        SeriesDialogs::setInUseTest([this](const QString& n) { return inUse.contains(n); });
        SeriesDialogs::setLongMessage([this](const QString& title, const QString& text, bool showApplyAll) {
            longMessages << title + u'|' + text + (showApplyAll ? "|all" : "");
            if (longAnswer == 1)
                Msg_Apply_All_Chk = longTickAll ? 1 : 0;
            return longAnswer;
        });
        BatchWizard::defaultInstance(); // the value list of mode "D"
    }

    void init() {
        QDir(Data_Folder_Path).removeRecursively();
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        prompt = ScriptedPrompt();
        setPromptHandler(&prompt);
        script.steps.clear();
        script.install();
        inUse.clear();
        longMessages.clear();
        longAnswer = 1;
        longTickAll = false;
    }

    void cleanup() {
        const QStringList failures = scriptFailures();
        scriptFailures().clear();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        DialogScript::uninstall();
        setPromptHandler(nullptr);
    }

    void sheetPicker() {
        Import_Excel* d = Import_Excel::defaultInstance();
        d->Load_file_Func(book);
        QCOMPARE(d->Sheet_ComboBox->count(), 2);
        QCOMPARE(d->ColList->count(), 4);
        QCOMPARE(d->ColList->item(1)->text(), QStringLiteral("Role"));
        QVERIFY(d->tickedColumns().isEmpty());
        QVERIFY(d->contains_header->isChecked());
        d->Sheet_ComboBox->setCurrentIndex(1);
        QCOMPARE(d->ColList->count(), 1);
        QCOMPARE(d->ColList->item(0)->text(), QStringLiteral("Code"));
        d->Select_ALL_Pressed();
        QCOMPARE(d->tickedColumns(), QList<int>{0});
        d->Clear_All_Pressed();
        QVERIFY(d->tickedColumns().isEmpty());
    }

    void dataTableMode_data() {
        QTest::addColumn<bool>("header");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("header") << true << QList<QStringList>{{"1", "Boss", "0150"}, {"2", "", ""}};
        QTest::newRow("no header") << false
                                   << QList<QStringList>{
                                          {"1", "Role", "Zip"}, {"2", "Boss", "0150"}, {"3", "", ""}};
    }
    void dataTableMode() {
        QFETCH(bool, header);
        QFETCH(QList<QStringList>, rows);
        Import_Excel* d = Import_Excel::defaultInstance();
        d->open_mode = "E";
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        table->clear();
        script.steps["Import_Excel"] = [&](QDialog* dlg) {
            d->OKPressed();
            if (dlg->result() != -1)
                return dlg->result();
            SCRIPT_CHECK((prompt.messages.last()) == (QStringLiteral("No column is selected.")));
            d->setTicked(1, true);
            d->setTicked(3, true);
            d->contains_header->setChecked(header);
            d->OKPressed();
            return dlg->result();
        };
        QCOMPARE(d->Open_excel_Wnd(book), 1);
        QCOMPARE(table->columnTitles(), (QStringList{Data_From_Excel::RowNumberTitle, "Role", "Zip"}));
        QCOMPARE(tableRows(*table), rows);
        QCOMPARE(table->valueForKey(0, "Column2"), rows[0][2]);
    }

    void dataTableKeptOnEmptySheet() {
        const QString headerOnly = root.filePath("header.xlsx");
        QVERIFY(XlsxWriter::WriteWorkbook(headerOnly, {{"Only", "Titles"}}));
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        table->setTable({Data_From_Excel::RowNumberTitle, "Kept"}, {{"1", "k"}});
        Import_Excel* d = Import_Excel::defaultInstance();
        d->open_mode = "E";
        pickThenOk(d, [d] { d->Select_ALL_Pressed(); });
        QCOMPARE(d->Open_excel_Wnd(headerOnly), 0);
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("Either file is corrupted or selected file contains invalid characters."));
        QCOMPARE(tableRows(*table), (QList<QStringList>{{"1", "k"}}));
    }

    // A file that is no workbook is told why at once; the window with nothing to pick does not open.
    void brokenWorkbook_data() {
        QTest::addColumn<bool>("series");
        QTest::newRow("data table") << false;
        QTest::newRow("series") << true;
    }
    void brokenWorkbook() {
        QFETCH(bool, series);
        const QString broken = writeFile(series ? "broken-series.xlsx" : "broken.xlsx", "this is no zip");
        bool opened = false;
        const auto open = [&](auto* d) {
            pickThenOk(d, [&opened] { opened = true; });
            return d->Open_excel_Wnd(broken);
        };
        QCOMPARE(series ? open(Import_Excel_DataSheet::defaultInstance()) : open(Import_Excel::defaultInstance()), 0);
        QVERIFY(!opened);
        QCOMPARE(prompt.messages.size(), 1);
        QVERIFY2(prompt.messages.first().startsWith("The file is not a readable xlsx workbook."),
                 qPrintable(prompt.messages.first()));
        if (!series)
            QCOMPARE(Import_Excel::defaultInstance()->Sheet_ComboBox->count(), 0);
    }

    void valueListMode() {
        BatchWizard* w = BatchWizard::defaultInstance();
        w->AddNew_Btn_Clicked();
        w->Create_Value_List(QStringLiteral("first"));
        Import_Excel* d = Import_Excel::defaultInstance();
        d->open_mode = "D";
        pickThenOk(d, [d] {
            d->setTicked(0, true);
            d->setTicked(2, true);
        });
        QCOMPARE(d->Open_excel_Wnd(book), 1);
        QCOMPARE(w->values(), (QStringList{"first", "Ann", "Oslo", "Bob", "Bergen"}));
    }

    void eachColumnAsSeries() {
        Import_Excel_DataSheet* d = Import_Excel_DataSheet::defaultInstance();
        d->file_name_Insert = 0;
        pickThenOk(d, [d] {
            SCRIPT_CHECK(d->Each_col_RD->isChecked());
            SCRIPT_CHECK(!d->fill_box->isEnabled());
            d->setTicked(0, true);
            d->setTicked(2, true);
        });
        QCOMPARE(d->Open_excel_Wnd(book), 1);
        QCOMPARE(seriesBytes("Name"), QByteArray("Ann\nBob\n"));
        QCOMPARE(seriesBytes("City"), QByteArray("Oslo\nBergen\n"));
        QVERIFY(longMessages.isEmpty());

        // Existing series: asked once per column; "apply to all" answers the rest of the run.
        QVERIFY(SeriesFiles::writeSeries("Role", {"old"}));
        longTickAll = true;
        pickThenOk(d, [d] {
            d->Select_ALL_Pressed();
            d->contains_header->setChecked(false);
        });
        d->Open_excel_Wnd(book);
        QCOMPARE(longMessages.size(), 1);
        QVERIFY(longMessages[0].startsWith("Batch Processing Series already exists :|Name\n"));
        QVERIFY(longMessages[0].endsWith("|all"));
        QCOMPARE(seriesBytes("Name"), QByteArray("Name\nAnn\nBob\n"));
        QCOMPARE(seriesBytes("Role"), QByteArray("Role\nBoss\n\n"));
        QCOMPARE(Msg_Apply_All_Chk, 0); // the answer does not carry into later imports

        // A series in use is never overwritten; "No" skips the column.
        inUse << "City";
        longTickAll = false;
        longAnswer = 0;
        longMessages.clear();
        d->Open_excel_Wnd(book);
        QCOMPARE(seriesBytes("City"), QByteArray("City\nOslo\nBergen\n")); // unchanged from the last run
        QCOMPARE(seriesBytes("Name"), QByteArray("Name\nAnn\nBob\n"));
        QVERIFY(longMessages.filter("already in use").size() == 1);
    }

    // Columns with the same title never overwrite each other; names that change and columns without
    // values are told, in one message.
    void sameTitlesStayApart() {
        const QString dup = root.filePath("dup.xlsx");
        QVERIFY(XlsxWriter::WriteWorkbook(dup, {{"Name", "Name", "a/b", "Empty"}, {"Ann", "Oslo", "x", ""},
                                                {"Bob", "Lima", "y", ""}}));
        Import_Excel_DataSheet* d = Import_Excel_DataSheet::defaultInstance();
        pickThenOk(d, [d] { d->Select_ALL_Pressed(); });
        d->Open_excel_Wnd(dup);
        QCOMPARE(SeriesFiles::Get_datasheet_File_Name_Array(), (QStringList{"ab", "Name", "Name (2)"}));
        QCOMPARE(seriesBytes("Name"), QByteArray("Ann\nBob\n"));
        QCOMPARE(seriesBytes("Name (2)"), QByteArray("Oslo\nLima\n"));
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("The column \"Name\" was saved as the series \"Name (2)\".\n"
                                "The column \"a/b\" was saved as the series \"ab\".\n"
                                "The column \"Empty\" holds no values; no series was made of it."));

        // In the data table the titles are made distinct too.
        Import_Excel* e = Import_Excel::defaultInstance();
        e->open_mode = "E";
        pickThenOk(e, [e] { e->Select_ALL_Pressed(); });
        QCOMPARE(e->Open_excel_Wnd(dup), 1);
        QCOMPARE(Data_From_Excel::defaultInstance()->columnTitles(),
                 (QStringList{Data_From_Excel::RowNumberTitle, "Name", "Name (2)", "a/b", "Empty"}));
        QVERIFY(prompt.messages.last().contains("\"Name\" became \"Name (2)\""));
    }

    // What the reader found is told when the sheet is shown: formulas without a saved result.
    void readWarningsShown() {
        XlsxTestPackage p = XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Sum</t></is>"
                                                    "</c></row><row r=\"2\"><c r=\"A2\"><f>1+1</f></c></row>");
        Import_Excel::defaultInstance()->Load_file_Func(writeFile("formulas.xlsx", p.bytes()));
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("1 cells hold formulas without a saved result; open and save the workbook in a "
                                "spreadsheet program first."));
    }

    void headerNamesStayInFolder() {
        Import_Excel_DataSheet* d = Import_Excel_DataSheet::defaultInstance();
        pickThenOk(d, [d] {
            d->setTicked(0, true);
            d->setHeaderName(0, "../../escape");
        });
        d->Open_excel_Wnd(book);
        QVERIFY(!QFile::exists(root.filePath("escape.txt")));
        QVERIFY(!QFile::exists(QDir(root.path()).filePath("../escape.txt")));
        // The name loses what would lead out of the folder, and the user is told what it became.
        QCOMPARE(SeriesFiles::Get_datasheet_File_Name_Array(), QStringList{"escape"});
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("The column \"../../escape\" was saved as the series \"escape\"."));
    }

    void oneSeries_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("new") << 0 << QByteArray("Ann\nOslo\nBob\nBergen\n");
        QTest::newRow("replace") << 1 << QByteArray("Ann\nOslo\nBob\nBergen\n");
        QTest::newRow("append") << 2 << QByteArray("old\nAnn\nOslo\nBob\nBergen\n");
    }
    void oneSeries() {
        QFETCH(int, option);
        QVERIFY(SeriesFiles::writeSeries("Target", {"old"}));
        Import_Excel_DataSheet* d = Import_Excel_DataSheet::defaultInstance();
        pickThenOk(d, [d, option] {
            d->setTicked(0, true);
            d->setTicked(2, true);
            d->Fill_Col_RD_Click();
            SCRIPT_CHECK(d->fill_box->isEnabled());
            d->Fill_Type_CellClick(option);
            if (option == 0)
                d->list_name->setText("Target");
            else
                d->List_ComboBox->setCurrentIndex(d->List_ComboBox->findText("Target"));
        });
        QCOMPARE(d->Open_excel_Wnd(book), 1);
        QTEST(seriesBytes("Target"), "expected");
        QCOMPARE(prompt.questions.size(), option == 0 ? 1 : 0);
    }

    void oneSeriesChecks() {
        Import_Excel_DataSheet* d = Import_Excel_DataSheet::defaultInstance();
        int result = 0;
        script.steps["Import_Excel_DataSheet"] = [&](QDialog* dlg) {
            d->setTicked(0, true);
            d->Fill_Col_RD_Click();
            d->Fill_Type_CellClick(0);
            d->list_name->setText(" ");
            d->OKPressed();
            SCRIPT_CHECK((prompt.messages.last()) == (QStringLiteral("Please enter list name.")));
            d->Fill_Type_CellClick(1);
            SCRIPT_CHECK(d->list_name->isHidden());
            d->List_ComboBox->setCurrentIndex(-1);
            d->OKPressed();
            SCRIPT_CHECK((prompt.messages.last()) == (QStringLiteral("Please select list name.")));
            result = dlg->result();
            return result;
        };
        d->Open_excel_Wnd(book);
        QCOMPARE(result, -1);
    }

    void replaceWithEmptySheetKeepsSeries() {
        const QString headerOnly = root.filePath("header.xlsx");
        QVERIFY(XlsxWriter::WriteWorkbook(headerOnly, {{"Only"}}));
        QVERIFY(SeriesFiles::writeSeries("Target", {"old"}));
        Import_Excel_DataSheet* d = Import_Excel_DataSheet::defaultInstance();
        pickThenOk(d, [d] {
            d->setTicked(0, true);
            d->Fill_Col_RD_Click();
            d->Fill_Type_CellClick(1);
            d->List_ComboBox->setCurrentIndex(d->List_ComboBox->findText("Target"));
            d->contains_header->setChecked(true);
        });
        // Header row only: no data rows under the header, but the sheet has one row.
        d->Open_excel_Wnd(headerOnly);
        QCOMPARE(seriesBytes("Target"), QByteArray("old\n"));
    }

    void wizardHandsWorkbookOn() {
        Import_Wizard* w = Import_Wizard::defaultInstance();
        w->file_name_required = 1;
        w->file_name_Insert = 1;
        pickThenOk(w, [this, w] { w->Excel_path->setText(book); });
        script.steps["Import_Excel_DataSheet"] = [&](QDialog* dlg) {
            auto* d = static_cast<Import_Excel_DataSheet*>(dlg);
            SCRIPT_CHECK((d->file_name_Insert) == (1));
            d->setTicked(3, true);
            d->OKPressed();
            return dlg->result();
        };
        w->Open_Wnd();
        QCOMPARE(seriesBytes("Zip"), QByteArray("0150\n\n"));
        QVERIFY(BatchWizard::defaultInstance()->seriesNames().contains("Zip"));
    }
};

QTEST_MAIN(TestSheetDialogs)
#include "test_sheet_dialogs.moc"
