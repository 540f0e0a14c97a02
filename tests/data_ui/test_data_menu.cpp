#include "DialogScript.h"

#include "app/SKTWindowController.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTItems.h"
#include "data/SeriesFiles.h"
#include "data/ui/Generate_List.h"
#include "data/ui/Import_Wizard.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

// The Data menu reaches every series dialog, and the window tells them which series its items use.
class TestDataMenu : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    ScriptedPrompt prompt;
    DialogScript script;

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        Resource_Path = root.path();
        Data_Folder_Path = root.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        setPromptHandler(&prompt);
        script.install();
    }
    void cleanupTestCase() {
        DialogScript::uninstall();
        setPromptHandler(nullptr);
    }

    void commands() {
        SKTDocument doc;
        SKTWindowController wnd(&doc);
        QMenu* data = wnd.menuBar()->findChild<QMenu*>("Data_Menu");
        QVERIFY(data);
        QStringList names;
        for (QAction* a : data->actions())
            names << a->objectName();
        for (const char* n :
             {"Batch_Series_Button", "Import_Wizard_Button", "Create_Series_Button", "Import_Sheet_Button"})
            QVERIFY2(names.contains(QLatin1String(n)), n);

        QHash<QString, QPair<int, int>> modes;
        script.steps["Import_Wizard"] = [&](QDialog* d) {
            auto* w = static_cast<Import_Wizard*>(d);
            modes["Import_Wizard"] = {w->file_name_required, w->file_name_Insert};
            return 0;
        };
        script.steps["Generate_List"] = [&](QDialog* d) {
            auto* g = static_cast<Generate_List*>(d);
            modes["Generate_List"] = {g->file_name_required, g->file_name_Insert};
            return 0;
        };
        for (QAction* a : data->actions()) {
            const QString n = a->objectName();
            if (n == "Batch_Series_Button" || n == "Import_Wizard_Button" || n == "Create_Series_Button")
                a->trigger();
        }
        QVERIFY(script.opened.contains("BatchWizard"));
        QCOMPARE(modes.value("Import_Wizard"), qMakePair(1, 0));
        QCOMPARE(modes.value("Generate_List"), qMakePair(1, 0));

        // A series bound to an item of the design is in use.
        QVERIFY(SeriesFiles::writeSeries("Alpha", {"a"}));
        QVERIFY(SeriesFiles::writeSeries("Beta", {"b"}));
        auto text = std::make_shared<SKTText>();
        text->data_source_type = 1;
        text->batch_list_name = "Alpha";
        wnd.Get_Front_Controls_Array().append(text);
        QVERIFY(SeriesDialogs::seriesInUse("Alpha"));
        QVERIFY(!SeriesDialogs::seriesInUse("Beta"));
        wnd.Get_Front_Controls_Array().clear();
    }
};

QTEST_MAIN(TestDataMenu)
#include "test_data_menu.moc"
