#include "FileBytes.h"
#include "DialogScript.h"
#include "SmallDisk.h"

#include "data/SeriesFiles.h"
#include "data/XlsxReader.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/Generate_List.h"
#include "data/ui/Import_Wizard.h"
#include "data/ui/Load_Num_Info.h"
#include "data/ui/Update_Ex_Num.h"
#include "data/ui/View_Data_Series.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "common/ui/WaitSheet.h"

namespace {
QByteArray seriesBytes(const QString& name) {
    return readBytes(SeriesFiles::filePath(name));
}

void selectRows(QListView* view, const QList<int>& rows) {
    view->selectionModel()->clear();
    for (int r : rows)
        view->selectionModel()->select(view->model()->index(r, 0), QItemSelectionModel::Select);
}
} // namespace

class TestSeriesDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    ScriptedPrompt prompt;
    DialogScript script;
    QStringList inUse;
    QStringList exports; // "path|message"

    BatchWizard* wizard() { return BatchWizard::defaultInstance(); }

    void openManager() {
        wizard()->Open_Wnd(); // the runner returns at once; the manager stays usable
    }

    void openSeries(const QString& name) {
        const int row = int(wizard()->seriesNames().indexOf(name));
        QVERIFY(row >= 0);
        selectRows(wizard()->List, {row});
        wizard()->On_Update();
        QVERIFY(!wizard()->isFirstScreenShown());
    }

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        Resource_Path = root.path();
        Data_Folder_Path = root.filePath(QStringLiteral("DataSet"));
        SeriesDialogs::setInUseTest([this](const QString& n) { return inUse.contains(n); });
        SeriesDialogs::setExportFinishedHandler(
            [this](const QString& path, const QString& message, bool written) {
                QVERIFY(written);
                exports << path + u'|' + message;
            });
    }

    void init() {
        QDir(Data_Folder_Path).removeRecursively();
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        prompt = ScriptedPrompt();
        setPromptHandler(&prompt);
        script.steps.clear();
        script.opened.clear();
        script.install();
        inUse.clear();
        exports.clear();
        wizard()->Create_Value_List(QStringList()); // no pending replace
    }

    void cleanup() {
        const QStringList failures = scriptFailures();
        scriptFailures().clear();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        DialogScript::uninstall();
        setPromptHandler(nullptr);
    }

    void addNewAndSave() {
        openManager();
        wizard()->AddNew_Btn_Clicked();
        QCOMPARE(wizard()->batch_list_name->text(), QStringLiteral("Untitled"));
        wizard()->Create_Value_List(QStringLiteral(" 1 "));
        wizard()->Create_Value_List(QStringLiteral("   "));
        wizard()->Create_Value_List(QStringLiteral("2"));
        QCOMPARE(wizard()->values(), (QStringList{"1", "2"}));
        QCOMPARE(wizard()->batch_value_count->text(), QStringLiteral("Total Rows : 2"));
        wizard()->Save_Btn_Clicked();
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(seriesBytes("Untitled"), QByteArray("1\n2\n"));
        QVERIFY(wizard()->isFirstScreenShown());
        QCOMPARE(wizard()->seriesNames(), QStringList{"Untitled"});
        QCOMPARE(wizard()->batch_list_count->text(), QStringLiteral("Total List : 1"));
    }

    void saveChecks() {
        openManager();
        wizard()->AddNew_Btn_Clicked();
        wizard()->Save_Btn_Clicked();
        QCOMPARE(prompt.messages, QStringList{"List is empty."});
        // A name that would leave the data folder is refused, nothing written beside it.
        wizard()->Create_Value_List(QStringLiteral("x"));
        wizard()->batch_list_name->setText(QStringLiteral("../outside"));
        wizard()->Save_Btn_Clicked();
        QCOMPARE(prompt.messages.size(), 2);
        QVERIFY(!QFile::exists(root.filePath("outside.txt")));
        QVERIFY(!wizard()->isFirstScreenShown());
    }

    void renameAndReplace() {
        QVERIFY(SeriesFiles::writeSeries("Alpha", {"a1", "a2"}));
        QVERIFY(SeriesFiles::writeSeries("Beta", {"b1"}));
        openManager();
        openSeries("Alpha");
        QCOMPARE(wizard()->values(), (QStringList{"a1", "a2"}));
        QCOMPARE(wizard()->update_list_name, QStringLiteral("Alpha"));

        // Saving under the name it had asks nothing.
        wizard()->Save_Btn_Clicked();
        QVERIFY(prompt.questions.isEmpty());
        QCOMPARE(seriesBytes("Alpha"), QByteArray("a1\na2\n"));

        // Renamed to a free name: the series moves.
        openSeries("Alpha");
        wizard()->batch_list_name->setText(QStringLiteral("Gamma"));
        wizard()->Save_Btn_Clicked();
        QVERIFY(!SeriesFiles::exists("Alpha"));
        QCOMPARE(seriesBytes("Gamma"), QByteArray("a1\na2\n"));

        // Renamed to a taken name: "No" changes nothing, "Yes" replaces it and the opened one stays.
        openSeries("Gamma");
        wizard()->batch_list_name->setText(QStringLiteral("Beta"));
        prompt.answer = false;
        wizard()->Save_Btn_Clicked();
        QCOMPARE(prompt.questions.size(), 1);
        QCOMPARE(seriesBytes("Beta"), QByteArray("b1\n"));
        prompt.answer = true;
        wizard()->Save_Btn_Clicked();
        QCOMPARE(seriesBytes("Beta"), QByteArray("a1\na2\n"));
        QCOMPARE(seriesBytes("Gamma"), QByteArray("a1\na2\n"));

        // The same name typed with blanks around is the same series, not a new one that deletes the old.
        openSeries("Beta");
        wizard()->batch_list_name->setText(QStringLiteral(" Beta "));
        wizard()->Save_Btn_Clicked();
        QCOMPARE(seriesBytes("Beta"), QByteArray("a1\na2\n"));
    }

    void inUseSeries() {
        QVERIFY(SeriesFiles::writeSeries("Alpha", {"a"}));
        QVERIFY(SeriesFiles::writeSeries("Beta", {"b"}));
        inUse << "Alpha";
        openManager();
        openSeries("Alpha");
        wizard()->Create_Value_List(QStringLiteral("more"));
        wizard()->Save_Btn_Clicked();
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("Batch Processing Series can't be update because it is currently in use."));
        QCOMPARE(seriesBytes("Alpha"), QByteArray("a\n"));

        prompt.answer = false; // the edit that cannot be saved is discarded on the way back
        wizard()->Back_Btn_Clicked();
        QVERIFY(wizard()->update_list_name.isEmpty());
        selectRows(wizard()->List, {0, 1});
        wizard()->Delete_List_Btn_Clicked();
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("Batch Processing Series can't be delete because it is currently in use."));
        QVERIFY(SeriesFiles::exists("Alpha"));
        QVERIFY(SeriesFiles::exists("Beta"));
    }

    void deleteSeries() {
        QVERIFY(SeriesFiles::writeSeries("Alpha", {"a"}));
        QVERIFY(SeriesFiles::writeSeries("Beta", {"b"}));
        QVERIFY(SeriesFiles::writeSeries("Zeta", {"z"}));
        openManager();
        prompt.answer = false;
        selectRows(wizard()->List, {0, 1});
        wizard()->Delete_List_Btn_Clicked();
        QCOMPARE(wizard()->seriesNames().size(), 3);
        prompt.answer = true;
        wizard()->Delete_List_Btn_Clicked();
        QCOMPARE(prompt.questions.last(),
                 QStringLiteral("Are you sure want to delete selected Batch Processing Series?"));
        QCOMPARE(wizard()->seriesNames(), QStringList{"Zeta"});
        QVERIFY(!SeriesFiles::exists("Alpha") && !SeriesFiles::exists("Beta"));

        selectRows(wizard()->List, {});
        wizard()->Delete_List_Btn_Clicked();
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("Please select a record from the available list to continue."));
    }

    void readOnlySeriesCannotBeOpened() {
        QVERIFY(SeriesFiles::writeSeries("Locked", {"a"}));
        QFile::setPermissions(SeriesFiles::filePath("Locked"), QFileDevice::ReadOwner);
        if (QFileInfo(SeriesFiles::filePath("Locked")).isWritable())
            QSKIP("running with rights that ignore file permissions");
        openManager();
        selectRows(wizard()->List, {0});
        wizard()->On_Update();
        QCOMPARE(prompt.messages, QStringList{"Error in file accessing.\nThe series file is read-only."});
        QVERIFY(wizard()->isFirstScreenShown());
    }

    void deleteRows() {
        openManager();
        wizard()->AddNew_Btn_Clicked();
        wizard()->Delete_Rows_Btn_Clicked();
        QCOMPARE(prompt.messages.last(), QStringLiteral("List is empty."));
        wizard()->Create_Value_List(QStringList{"a", "b", "c", "d"});
        wizard()->Delete_Rows_Btn_Clicked();
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("Please select at least one record from the list to continue."));
        selectRows(wizard()->List_value, {1, 2});
        wizard()->Delete_Rows_Btn_Clicked();
        QCOMPARE(wizard()->values(), (QStringList{"a", "d"}));
        QCOMPARE(wizard()->batch_value_count->text(), QStringLiteral("Total Rows : 2"));
    }

    void exportValues() {
        openManager();
        wizard()->AddNew_Btn_Clicked();
        wizard()->Create_Value_List(QStringList{"1", "2", "3"});
        const QString txt = root.filePath("out.txt");
        QVERIFY(wizard()->Export_Values_To(txt, 1));
        QCOMPARE(readBytes(txt), QByteArray("1\n2\n3\n"));
        const QString xlsx = root.filePath("out.xlsx");
        QVERIFY(wizard()->Export_Values_To(xlsx, 0));
        XlsxReader reader;
        QVERIFY(reader.open(xlsx));
        const auto sheet = reader.readSheet(0);
        QVERIFY(sheet);
        QCOMPARE(sheet->rowCount(), 4);
        QCOMPARE(sheet->cell(0, 0), QStringLiteral("Batch Value"));
        QCOMPARE(sheet->cell(3, 0), QStringLiteral("3"));
        QCOMPARE(exports, (QStringList{txt + "|Record has been exported successfully.",
                                       xlsx + "|Record has been exported successfully."}));

        // A failed export is reported as a failure, never as exported.
        QVERIFY(!wizard()->Export_Values_To(root.filePath("missing/folder/out.txt"), 1));
        QVERIFY(!wizard()->Export_Values_To(root.filePath("missing/folder/out.xlsx"), 0));
        QCOMPARE(exports.size(), 2);
        QCOMPARE(prompt.messages.size(), 2);
        for (const QString& m : prompt.messages) // the reason follows on a line of its own
            QVERIFY2(m.startsWith("Error in file accessing.\n") && m.size() > 26, qPrintable(m));
    }

    // The extension is decided before the question about replacing, so the file asked about is the one written.
    void exportDecidesExtensionFirst() {
        openManager();
        wizard()->AddNew_Btn_Clicked();
        wizard()->Create_Value_List(QStringList{"1", "two"});
        writeBytes(root.filePath("list.2024"), "keep");
        writeBytes(root.filePath("list.2024.xlsx"), "old");
        prompt.answer = false;
        QVERIFY(!wizard()->Export_Values_To_Chosen(root.filePath("list.2024"), 0));
        QCOMPARE(prompt.questions, QStringList{"\"list.2024.xlsx\" already exists. Do you want to replace it?"});
        QCOMPARE(readBytes(root.filePath("list.2024.xlsx")), QByteArray("old"));
        prompt.answer = true;
        QVERIFY(wizard()->Export_Values_To_Chosen(root.filePath("list.2024"), 0));
        QCOMPARE(readBytes(root.filePath("list.2024")), QByteArray("keep"));
        QVERIFY(readBytes(root.filePath("list.2024.xlsx")).startsWith("PK"));
        // A typed .txt is a text export whatever the chosen type; a new file asks nothing.
        QVERIFY(wizard()->Export_Values_To_Chosen(root.filePath("names.TXT"), 0));
        QCOMPARE(readBytes(root.filePath("names.TXT")), QByteArray("1\ntwo\n"));
        QCOMPARE(prompt.questions.size(), 2);
        // A value longer than a workbook cell holds is refused before anything is written.
        wizard()->Create_Value_List(QStringList{QString(33000, u'x')});
        QVERIFY(!wizard()->Export_Values_To(root.filePath("long.xlsx"), 0));
        QCOMPARE(prompt.messages.last(), QStringLiteral("The value in row 3 of the series holds 33,000 characters; a "
                                                        "spreadsheet cell holds at most 32,767."));
        QVERIFY(!QFile::exists(root.filePath("long.xlsx")));
    }

    // Saving on a full disk says so after "Error in file accessing.".
    void fullDiskIsNamed() {
        const SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const QString data = Data_Folder_Path;
        Data_Folder_Path = disk.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        disk.fill();
        openManager();
        wizard()->AddNew_Btn_Clicked();
        wizard()->Create_Value_List(QStringList{QString(8000, u'v'), "w"});
        wizard()->Save_Btn_Clicked();
        QVERIFY(!wizard()->Export_Values_To(disk.filePath("out.txt"), 1));
        Data_Folder_Path = data;
        QCOMPARE(prompt.messages, (QStringList{"Error in file accessing.\nThe disk is full.",
                                               "Error in file accessing.\nThe disk is full."}));
    }

    void valueEditor() {
        openManager();
        wizard()->AddNew_Btn_Clicked();
        wizard()->Create_Value_List(QStringList{"a", "b"});
        Update_Ex_Num* editor = wizard()->Update_Value_Wnd;
        QString typed;
        int lastResult = -1;
        script.steps["Update_Ex_Num"] = [&](QDialog* d) {
            editor->m_ex_num_str->setText(typed);
            editor->OKPressed();
            lastResult = d->result();
            return lastResult;
        };
        selectRows(wizard()->List_value, {1});
        typed = "b";
        wizard()->OnGetSelected();
        QCOMPARE(lastResult, 1);
        QCOMPARE(wizard()->values(), (QStringList{"a", "b"}));
        typed = "   ";
        wizard()->OnGetSelected();
        QCOMPARE(lastResult, -1); // stays open
        QCOMPARE(prompt.messages.last(), QStringLiteral("Please enter a valid value."));
        typed = "  new  ";
        wizard()->OnGetSelected();
        QCOMPARE(wizard()->values(), (QStringList{"a", "new"}));
        QCOMPARE(editor->m_ex_num_index, -1);

        // A row that is gone is never written, also not at position -1.
        editor->load(QStringLiteral("a"), 7);
        editor->m_ex_num_str->setText(QStringLiteral("z"));
        editor->OKPressed();
        QCOMPARE(wizard()->values(), (QStringList{"a", "new"}));

        selectRows(wizard()->List_value, {0, 1});
        wizard()->OnGetSelected();
        QCOMPARE(prompt.messages.last(), QStringLiteral("Please select only one record to update."));
    }

    void loadQuestion_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("generatorRuns");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("yes replaces") << "yes" << true << QStringList{"1", "2"};
        QTest::newRow("no appends") << "no" << true << QStringList{"old", "1", "2"};
        QTest::newRow("cancel") << "cancel" << false << QStringList{"old"};
        QTest::newRow("yes, generator cancelled") << "yes-cancel" << true << QStringList{"old"};
    }
    void loadQuestion() {
        QFETCH(QString, answer);
        QFETCH(QStringList, values);
        openManager();
        wizard()->AddNew_Btn_Clicked();
        wizard()->Create_Value_List(QStringLiteral("old"));
        script.steps["Load_Num_Info"] = [&](QDialog* d) {
            auto* q = static_cast<Load_Num_Info*>(d);
            if (answer.startsWith("yes"))
                q->YESPressed();
            else if (answer == "no")
                q->NOPressed();
            else
                q->CancelPressed();
            return d->result();
        };
        script.steps["Generate_List"] = [&](QDialog* d) {
            auto* g = static_cast<Generate_List*>(d);
            if (answer == "yes-cancel") {
                g->CancelPressed();
                return d->result();
            }
            g->from_txt->setText("1");
            g->to_txt->setText("2");
            g->OKPressed();
            return d->result();
        };
        wizard()->Series_Value_Btn_Clicked();
        QTEST(script.opened.contains("Generate_List"), "generatorRuns");
        QCOMPARE(wizard()->values(), values);
        QCOMPARE(Generate_List::defaultInstance()->file_name_required, 0);
        QVERIFY(SeriesFiles::Get_datasheet_File_Name_Array().isEmpty()); // nothing written in list mode
    }

    void viewer() {
        writeBytes(Data_Folder_Path + "/Nums.txt", "5\n\n7\n");
        View_Data_Series* v = View_Data_Series::defaultInstance();
        v->file_name = "Nums";
        v->Open_Wnd();
        QCOMPARE(v->rows(), (QStringList{"5", "7"}));
        QCOMPARE(v->list_count->text(), QStringLiteral("Total Rows : 2"));
        QCOMPARE(v->series_name->text(), QStringLiteral("Nums"));
        v->file_name = "Missing";
        v->Open_Wnd();
        QVERIFY(v->rows().isEmpty());
        QCOMPARE(v->list_count->text(), QStringLiteral("Total Rows : 0"));
        v->file_name = "../../etc/passwd";
        v->Open_Wnd();
        QVERIFY(v->rows().isEmpty());
    }

    void generatorFileMode() {
        Generate_List* g = Generate_List::defaultInstance();
        g->file_name_required = 1;
        g->file_name_Insert = 0;
        int result = -1;
        std::function<void(Generate_List*)> fill;
        script.steps["Generate_List"] = [&](QDialog* d) {
            fill(g);
            g->OKPressed();
            result = d->result();
            return result;
        };
        fill = [](Generate_List* g) {
            QCOMPARE(g->seq_file_name->text(), QStringLiteral("Untitled"));
            g->from_txt->setText("8");
            g->to_txt->setText("10");
            g->prefix_txt->setText("N");
            g->manage_digit_chk->setChecked(true);
            g->seq_file_name->setText("Numbers");
        };
        g->Open_Wnd();
        QCOMPARE(result, 1);
        QCOMPARE(seriesBytes("Numbers"), QByteArray("N08\nN09\nN10\n"));

        // "No" to the replace question: the old series stays and the dialog stays open.
        prompt.answer = false;
        fill = [](Generate_List* g) {
            g->Constant_Radio_Pressed();
            QCOMPARE(g->const_file_name->text(), QStringLiteral("Untitled"));
            QVERIFY(!g->from_txt->isEnabled());
            g->value_txt->setText(" x ");
            g->count_txt->setText("2");
            g->const_file_name->setText("Numbers");
        };
        g->Open_Wnd();
        QCOMPARE(result, -1);
        QCOMPARE(seriesBytes("Numbers"), QByteArray("N08\nN09\nN10\n"));
        prompt.answer = true;
        g->Open_Wnd();
        QCOMPARE(result, 1);
        QCOMPARE(seriesBytes("Numbers"), QByteArray(" x \n x \n"));

        // Checks keep the dialog open with nothing written.
        fill = [](Generate_List* g) {
            g->from_txt->setText("5");
            g->to_txt->setText("5");
            g->seq_file_name->setText("Same");
        };
        g->Open_Wnd();
        QCOMPARE(result, -1);
        QCOMPARE(prompt.messages.last(), QStringLiteral("'From' value must be smaller than 'To' value."));
        QVERIFY(!SeriesFiles::exists("Same"));

        // A cleared name is refused instead of naming a file beside the data folder.
        fill = [](Generate_List* g) {
            g->from_txt->setText("1");
            g->to_txt->setText("2");
            g->seq_file_name->setText("  ");
        };
        g->Open_Wnd();
        QCOMPARE(result, -1);
        QCOMPARE(prompt.messages.last(), QStringLiteral("Please enter list name."));
    }

    // Leaving edited values (Back, Close, Escape) asks first: Save writes them, Discard drops them, Cancel
    // stays with them. Values as they were opened leave unasked.
    void editsAreNotLeftUnasked_data() {
        QTest::addColumn<QString>("leave");
        QTest::addColumn<int>("answer");
        for (const char* leave : {"back", "close", "escape"}) {
            QTest::addRow("%s save", leave) << leave << int(PromptAnswer::Yes);
            QTest::addRow("%s discard", leave) << leave << int(PromptAnswer::No);
            QTest::addRow("%s cancel", leave) << leave << int(PromptAnswer::Cancel);
        }
    }
    void editsAreNotLeftUnasked() {
        QFETCH(QString, leave);
        QFETCH(int, answer);
        QVERIFY(SeriesFiles::writeSeries("Kept", {"a", "b", "c"}));
        const auto leaveScreen = [&] {
            wizard()->show();
            if (leave == QLatin1String("back"))
                wizard()->Back_Btn_Clicked();
            else if (leave == QLatin1String("close"))
                wizard()->Close_2_Btn_Clicked();
            else
                QTest::keyClick(wizard(), Qt::Key_Escape);
        };
        prompt.threeWay = PromptAnswer(answer);
        openManager();
        openSeries("Kept");
        leaveScreen();
        QVERIFY(prompt.questions.isEmpty()); // nothing edited
        QVERIFY(wizard()->isFirstScreenShown() || !wizard()->isVisible());

        openManager();
        openSeries("Kept");
        selectRows(wizard()->List_value, {1});
        wizard()->Delete_Rows_Btn_Clicked();
        leaveScreen();
        QCOMPARE(prompt.questions,
                 QStringList{QStringLiteral("The values of this series have changed. Do you want to save them?")});
        const bool stayed = !wizard()->isFirstScreenShown() && wizard()->isVisible();
        QCOMPARE(stayed, answer == int(PromptAnswer::Cancel));
        QCOMPARE(seriesBytes("Kept"), answer == int(PromptAnswer::Yes) ? QByteArray("a\nc\n") : QByteArray("a\nb\nc\n"));
        if (stayed)
            QCOMPARE(wizard()->values(), (QStringList{"a", "c"}));
        wizard()->hide();
        prompt.threeWay.reset();
    }

    // Tab walks the generator's fields in the order they are shown.
    void generatorTabOrder() {
        Generate_List* g = Generate_List::defaultInstance();
        g->file_name_required = 1;
        QList<QWidget*> walked;
        script.steps["Generate_List"] = [&](QDialog* d) {
            d->show();
            d->activateWindow();
            SCRIPT_CHECK(QTest::qWaitForWindowActive(d));
            g->prefix_txt->setFocus();
            for (int i = 0; i < 4; ++i) {
                walked << QApplication::focusWidget();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            d->hide();
            return 0;
        };
        g->Open_Wnd();
        QCOMPARE(walked, (QList<QWidget*>{g->prefix_txt, g->from_txt, g->to_txt, g->suffix_txt}));
    }

    void generatorFields() {
        Generate_List* g = Generate_List::defaultInstance();
        g->file_name_required = 1;
        script.steps["Generate_List"] = [&](QDialog*) {
            g->Random_Radio_Pressed();
            g->rand_count_txt->clear();
            QTest::keyClicks(g->rand_count_txt, "123456");
            g->rand_length_txt->clear();
            QTest::keyClicks(g->rand_length_txt, "12");
            g->Constant_Radio_Pressed();
            g->count_txt->clear();
            QTest::keyClicks(g->count_txt, "0");
            return 0;
        };
        g->Open_Wnd();
        QCOMPARE(g->rand_count_txt->text(), QStringLiteral("10000"));
        QCOMPARE(g->rand_length_txt->text(), QStringLiteral("1"));
        QCOMPARE(g->count_txt->text(), QStringLiteral("1"));
    }

    void importWizardSources() {
        Import_Wizard* w = Import_Wizard::defaultInstance();
        w->file_name_required = 1;
        w->file_name_Insert = 0;
        const QString text = root.filePath("names.txt");
        writeBytes(text, "A\n\n B \nC{x}\n");
        const QString folder = root.filePath("pics");
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder + "/c.jpg"));
        writeBytes(folder + "/a.JPG", "x");
        writeBytes(folder + "/b.png", "x");
        writeBytes(folder + "/notes.txt", "x");
        int result = -1;
        std::function<void()> fill;
        script.steps["Import_Wizard"] = [&](QDialog* d) {
            fill();
            w->OKPressed();
            result = d->result();
            return result;
        };

        fill = [&] {
            w->Text_RD_Pressed();
            QCOMPARE(w->Text_file_name->text(), QStringLiteral("Untitled"));
            w->Text_path->setText(text);
            w->Text_file_name->setText("Names");
        };
        w->Open_Wnd();
        QCOMPARE(result, 1);
        QCOMPARE(seriesBytes("Names"), QByteArray("A\nB\nCx\n"));

        // A file read in a code page says which, once it is imported.
        const QString western = root.filePath("western.csv");
        writeBytes(western, "R\xE9gine;M\xFCller\n");
        fill = [&] {
            w->Text_RD_Pressed();
            w->Text_path->setText(western);
            w->Text_file_name->setText("Western");
        };
        w->Open_Wnd();
        QCOMPARE(seriesBytes("Western"), QByteArray("R\xC3\xA9gine\nM\xC3\xBCller\n"));
        QCOMPARE(prompt.messages.last(),
                 "The file \"western.csv\" is not saved as UTF-8 text; it was read as "
                 "Windows-1252 (Western European) text. If letters look wrong, save it as "
                 "UTF-8 text and import it again.");

        fill = [&] {
            w->Manual_RD_Pressed();
            w->ManualEdit->setPlainText("\none\n\n  \ntwo\n");
            w->Manual_file_name->setText("Pasted");
        };
        w->Open_Wnd();
        QCOMPARE(seriesBytes("Pasted"), QByteArray("one\n  \ntwo\n"));

        fill = [&] {
            w->Image_RD_Pressed();
            w->Image_path->setText(folder);
            w->Image_file_name->setText("Pictures");
        };
        w->Open_Wnd();
        QCOMPARE(QString::fromUtf8(seriesBytes("Pictures")), folder + "/a.JPG\n" + folder + "/b.png\n");

        // Failures keep the dialog open and write nothing.
        fill = [&] {
            w->Text_RD_Pressed();
            w->Text_path->setText(root.filePath("nothing.txt"));
            w->Text_file_name->setText("Never");
        };
        w->Open_Wnd();
        QCOMPARE(result, -1);
        QCOMPARE(prompt.messages.last(), QStringLiteral("Please select valid file path."));
        fill = [&] {
            w->Manual_RD_Pressed();
            w->ManualEdit->setPlainText(" \n ");
            w->Manual_file_name->setText("Never");
        };
        w->Open_Wnd();
        QCOMPARE(result, -1);
        QCOMPARE(prompt.messages.last(), QStringLiteral("Please enter some data."));
        const QString empty = root.filePath("empty.rtf");
        writeBytes(empty, "not rich text");
        fill = [&] {
            w->Text_RD_Pressed();
            w->Text_path->setText(empty);
            w->Text_file_name->setText("Never");
        };
        w->Open_Wnd();
        QCOMPARE(result, -1);
        QCOMPARE(prompt.messages.last(),
                 QStringLiteral("Either file is corrupted or selected file contains invalid characters."));
        QVERIFY(!SeriesFiles::exists("Never"));

        // A source without values says so and makes no series.
        const QString emptyCsv = root.filePath("one.csv");
        writeBytes(emptyCsv, ",\"\",\n , \n");
        const QString emptyRtf = root.filePath("blank.rtf");
        writeBytes(emptyRtf, "{\\rtf1{\\fonttbl\\f0 Times;}\\par}");
        const QString emptyFolder = root.filePath("nopics");
        QVERIFY(QDir().mkpath(emptyFolder));
        for (const QString& source : QStringList{emptyCsv, emptyRtf, emptyFolder}) {
            fill = [&] {
                if (source == emptyFolder) {
                    w->Image_RD_Pressed();
                    w->Image_path->setText(source);
                    w->Image_file_name->setText("Never");
                } else {
                    w->Text_RD_Pressed();
                    w->Text_path->setText(source);
                    w->Text_file_name->setText("Never");
                }
            };
            w->Open_Wnd();
            QCOMPARE(result, -1);
            QCOMPARE(prompt.messages.last(), QStringLiteral("No values were found in the file."));
            QVERIFY(!SeriesFiles::exists("Never"));
        }

        // A name that had to change is not changed silently.
        fill = [&] {
            w->Manual_RD_Pressed();
            w->ManualEdit->setPlainText("one");
            w->Manual_file_name->setText(" /Guests? ");
        };
        w->Open_Wnd();
        QCOMPARE(result, 1);
        QVERIFY(SeriesFiles::exists("Guests"));
        QCOMPARE(prompt.messages.last(), QStringLiteral("The series name \"/Guests?\" was saved as \"Guests\"."));
    }

    // A long read runs under a sheet with Stop: the GUI thread keeps running, the bar shows the progress the
    // work tells, and Stop ends the work.
    void stoppableWork() {
        bool timerFired = false;
        int shown = -1;
        QTimer::singleShot(400, [&] {
            timerFired = true;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* stop = top->findChild<QPushButton*>("Stop"); stop && top->isVisible()) {
                    if (auto* bar = top->findChild<QProgressBar*>())
                        shown = bar->value();
                    stop->click();
                }
            }
        });
        bool sawStop = false;
        QElapsedTimer clock;
        clock.start();
        std::atomic<int> progress{0};
        SeriesDialogs::runStoppable(
            wizard(),
            [&](const std::atomic<bool>& stop) {
                progress = 40;
                while (!stop && clock.elapsed() < 10000)
                    QThread::msleep(5);
                sawStop = stop;
            },
            &progress);
        QVERIFY(timerFired);
        QVERIFY(sawStop);
        QCOMPARE(shown, 40);
        QVERIFY(clock.elapsed() < 5000);
    }

    void longWorkKeepsWindowAlive() {
        // The work runs off the GUI thread: timers fire and the wait sheet stands while it runs.
        bool timerFired = false;
        bool sheetShown = false;
        QTimer::singleShot(10, [&] {
            timerFired = true;
            sheetShown = waitSheetOf(wizard()) != nullptr;
        });
        const int value = SeriesDialogs::runWithWaitResult<int>(wizard(), [] {
            QThread::msleep(300);
            return 42;
        });
        QCOMPARE(value, 42);
        QVERIFY(timerFired);
        QVERIFY(sheetShown);
        QVERIFY(!waitSheetOf(wizard()));
    }

    void importWizardIntoValueList() {
        openManager();
        wizard()->AddNew_Btn_Clicked();
        Import_Wizard* w = Import_Wizard::defaultInstance();
        script.steps["Import_Wizard"] = [&](QDialog* d) {
            SCRIPT_CHECK(w->Manual_file_name->isHidden());
            w->Manual_RD_Pressed();
            w->ManualEdit->setPlainText(" a \n\nb");
            w->OKPressed();
            return d->result();
        };
        wizard()->Import_Value_Btn_Clicked();
        QCOMPARE(wizard()->values(), (QStringList{"a", "b"}));
        QVERIFY(SeriesFiles::Get_datasheet_File_Name_Array().isEmpty());
    }
};

QTEST_MAIN(TestSeriesDialogs)
#include "test_series_dialogs.moc"
