#include "TestPictures.h"
#include "FileBytes.h"
#include "app/SKTWindowController.h"
#include "app/ScriptedPrompt.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/ItemPainting.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "wizards/MainPhoto.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"
#include "data/XlsxWriter.h"
#include "data/SeriesFiles.h"
#include "barcode/BarcodeGeneration.h"
#include "data/ui/Import_Excel.h"
#include "profile/ui/User_profile.h"
#include "wizards/FrameBackground.h"
#include "wizards/InvitationState.h"
#include "wizards/ui/FrameGalleryWidget.h"
#include "wizards/ui/Invitation_Wizard.h"
#include "wizards/ui/PhotoEditPanel.h"
#include "wizards/ui/Template_Browser.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include "SmallDisk.h"
#include "app/designfile/DesignFile.h"
#include "app/designfile/DesignSheet.h"
#include "canvas/ItemCompare.h"

namespace {

// Answers the start wizard once it is shown (a file read under the wait sheet may come first).
void scriptWizard(std::function<void(Invitation_Wizard*)> answer, int triesLeft = 500) {
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [answer, triesLeft] {
        if (auto* w = qobject_cast<Invitation_Wizard*>(QApplication::activeModalWidget()))
            answer(w);
        else if (triesLeft > 0)
            scriptWizard(answer, triesLeft - 1);
    });
}

GraphicPtr byId(const GraphicList& items, const QString& id) {
    for (const GraphicPtr& g : items)
        if (g->control_ID == id)
            return g;
    return nullptr;
}

} // namespace

class TestStartWindow : public QObject {
    Q_OBJECT
    // Unsaved work: an item drawn into the design (an undo step), so closing has something to ask about.
    void changeTheDesign() {
        m_doc->insertGraphics(CardSide::Front, {makeGraphicOfClass(QStringLiteral("SKTText"), false)});
    }
    bool wizardOpens(const QString& path, bool asTemplate) {
        return m_road->wizard().openDesign(path, asTemplate);
    }

    QTemporaryDir m_dir;
    ScriptedPrompt m_prompt;
    SKTDocument* m_doc = nullptr;
    SKTWindowController* m_window = nullptr;
    StartRoadController* m_road = nullptr;

private slots:
    void initTestCase() {
        Resource_Path = m_dir.path();
        Data_Folder_Path = m_dir.filePath(QStringLiteral("DataSet"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Frames"));
        writePicture(m_dir.filePath(QStringLiteral("Frames/Gold.png")), Qt::yellow);
        setPromptHandler(&m_prompt);
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }

    void init() {
        m_prompt.texts.clear();
        m_prompt.answer = PromptAnswer::No;
        m_doc = new SKTDocument;
        m_window = new SKTWindowController(m_doc);
        m_road = new StartRoadController(*m_window);
        m_road->designCommands().quitApplication = [] {};
    }
    void cleanup() { delete m_road; delete m_window; delete m_doc; }

    void cancelQuits() {
        m_window->Get_Front_Controls_Array().append(makeGraphicOfClass(QStringLiteral("SKTText"), false));
        scriptWizard([](Invitation_Wizard* w) { w->reject(); });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::Quit);
        QVERIFY(m_window->Get_Front_Controls_Array().isEmpty()); // New_Project ran first
    }

    // "W": the card settings come from the wizard and the invitation items stand where the layout says.
    void newCardRoad() {
        const QString photo = writePicture(m_dir.filePath(QStringLiteral("me.png")), Qt::red);
        scriptWizard([photo](Invitation_Wizard* w) {
            w->next();
            w->titleEdit()->setText(QStringLiteral("Party"));
            w->toEdit()->setText(QStringLiteral("Anna"));
            w->dateCheck()->setChecked(false);
            w->timeCheck()->setChecked(false);
            w->next();
            w->photoPanel()->loadFile(photo);
            w->next();
            w->frameList()->setCurrentRow(1);
            w->next();
            w->categoryCombo()->setCurrentText(QStringLiteral("Custom"));
            w->customWidth()->setValue(500 * 0.3527777777778);
            w->customHeight()->setValue(300 * 0.3527777777778);
            w->shapeGroup()->button(2)->setChecked(true);
            w->next();
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::NewCard);
        const Card_Property& front = m_window->Front_card_Prop;
        QVERIFY(qAbs(front.Card_Size.width() - 500) < 0.1);
        QCOMPARE(front.Card_Shape, QStringLiteral("E"));
        QCOMPARE(Card_Shape, 2);
        const GraphicList& items = m_window->Get_Front_Controls_Array();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0]->control_ID, QStringLiteral("PARTY_IMAGE_BG")); // made last, lies on top
        QCOMPARE(items[3]->control_ID, QStringLiteral("PARTY_IMAGE"));    // under the texts
        GraphicPtr title = byId(items, QStringLiteral("PARTY_TITLE"));
        QVERIFY(title);
        QCOMPARE(title->Text_Value, QStringLiteral("Party"));
        QVERIFY(qAbs(title->_bounds.x() - 40) < 0.01 && qAbs(title->_bounds.y() - 40) < 0.01);
        QCOMPARE(byId(items, QStringLiteral("PARTY_TO"))->Text_Value, QStringLiteral("Dear Anna,"));
        QCOMPARE(items[3]->_image.image().pixelColor(2, 2), QColor(Qt::red)); // the main photo
        QVERIFY(!items[0]->_image.isNull());
        QVERIFY(!m_doc->undoManager()->canUndo()); // built with undo registration off
        QCOMPARE(m_window->Selected_Control_Tool, 0);
    }

    // The profile buttons of the start wizard and the template browser open the both-sides dialog; its OK
    // fills both sides of the design the user ends up with.
    void profileButtonsFillBothSides() {
        auto answerProfile = [](const QString& name) {
            QTimer::singleShot(0, [name] {
                User_profile* dlg = User_profile::defaultInstance();
                QVERIFY(dlg->isVisible());
                dlg->fields[0].value->setText(name);
                dlg->OK_Btn_Clicked();
            });
        };
        scriptWizard([answerProfile](Invitation_Wizard* w) {
            QVERIFY(w->profileButton()->isVisible());
            answerProfile(QStringLiteral("Anna Smith"));
            w->profileButton()->click();
            w->next();
            w->titleEdit()->setText(QStringLiteral("Party"));
            for (int page = 1; page < 5; ++page)
                w->next();
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::NewCard);
        for (const GraphicList* side : {&m_window->Get_Front_Controls_Array(), &m_window->Get_Back_Controls_Array()}) {
            GraphicPtr name = byId(*side, QStringLiteral("Fup_Name"));
            QVERIFY(name && name->ctrl_is_visible);
            QCOMPARE(name->Text_Value, QStringLiteral("Anna Smith"));
        }
        QVERIFY(byId(m_window->Get_Front_Controls_Array(), QStringLiteral("PARTY_TITLE")));

        // The template browser closed without opening a template: the profile given there goes nowhere.
        QTimer::singleShot(0, [answerProfile] {
            Template_Browser* browser = Template_Browser::defaultInstance();
            QVERIFY(browser->profileButton()->isVisible());
            answerProfile(QStringLiteral("Ben Jones"));
            browser->profileButton()->click();
            browser->reject();
        });
        m_road->designCommands().Open_Template_Clicked();
        QCOMPARE(byId(m_window->Get_Back_Controls_Array(), QStringLiteral("Fup_Name"))->Text_Value, QStringLiteral("Anna Smith"));
    }

    // The built card shows its texts over the photo, in its own proportions, centred where the layout says.
    void newCardTextsOverPhoto() {
        QImage picture = filledImage(QSize(80, 60), Qt::red);
        const QString photo = m_dir.filePath(QStringLiteral("wide.png"));
        QVERIFY(picture.save(photo));
        scriptWizard([photo](Invitation_Wizard* w) {
            w->next();
            w->titleEdit()->setText(QStringLiteral("Birthday Party for Everyone"));
            w->messageEdit()->setPlainText(QStringLiteral("Come and celebrate with us"));
            w->next();
            w->photoPanel()->loadFile(photo);
            w->next();
            w->frameList()->setCurrentRow(0); // no frame
            w->next();
            w->categoryCombo()->setCurrentText(QStringLiteral("Custom"));
            w->customWidth()->setValue(500 * 0.3527777777778);
            w->customHeight()->setValue(300 * 0.3527777777778);
            w->next();
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::NewCard);
        const GraphicList& items = m_window->Get_Front_Controls_Array();
        QCOMPARE(items.last()->control_ID, QStringLiteral("PARTY_IMAGE"));
        const QRectF photoBox = items.last()->_bounds;
        QVERIFY(qAbs(photoBox.width() / photoBox.height() - 80.0 / 60.0) < 0.01);
        QVERIFY(qAbs(photoBox.height() - 250) < 0.1);
        QVERIFY(qAbs(photoBox.center().x() - 250) < 0.1 && qAbs(photoBox.center().y() - 150) < 0.1);

        const QImage card = SKTRenderingView::image_From_Card_Graphics(items, false, m_window->Front_card_Prop, Card_Shape, m_window->Front_card_Prop.Card_Size);
        for (const QString& id : {QStringLiteral("PARTY_TITLE"), QStringLiteral("PARTY_MSG")}) {
            const QRect probe = byId(items, id)->_bounds.intersected(photoBox).toAlignedRect();
            QVERIFY2(!probe.isEmpty(), qPrintable(id));
            int ink = 0; // pixels of the black text on the red photo
            for (int y = probe.top(); y <= probe.bottom(); ++y)
                for (int x = probe.left(); x <= probe.right(); ++x)
                    ink += qRed(card.pixel(x, y)) < 100;
            QVERIFY2(ink > 30, qPrintable(QStringLiteral("%1: %2 text pixels over the photo").arg(id).arg(ink)));
        }
    }

    // Turning the photo a quarter in the photo editor turns its box too: the photo is never stretched.
    void editedPhotoKeepsItsProportions() {
        QImage picture = filledImage(QSize(80, 60), Qt::red);
        const QString photo = m_dir.filePath(QStringLiteral("turn.png"));
        QVERIFY(picture.save(photo));
        scriptWizard([photo](Invitation_Wizard* w) {
            for (int page = 0; page < 5; ++page) {
                if (page == 2)
                    w->photoPanel()->loadFile(photo);
                w->next();
            }
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::NewCard);
        const GraphicPtr item = byId(m_window->Get_Front_Controls_Array(), QStringLiteral("PARTY_IMAGE"));
        QVERIFY(item);
        const QPointF centre = item->_bounds.center();
        scriptWizard([](Invitation_Wizard* w) {
            PhotoSettings s;
            s.rotate_image = 90;
            w->photoPanel()->setSettings(s);
            w->next();
        });
        m_road->Edit_Main_Photo_Button();
        QVERIFY(qAbs(item->_bounds.width() / item->_bounds.height() - 60.0 / 80.0) < 0.01);
        QVERIFY(qAbs(item->_bounds.center().x() - centre.x()) < 0.1 && qAbs(item->_bounds.center().y() - centre.y()) < 0.1);
    }

    // On a card lower than the layout every text is smaller than the usual 18 points and fits its box.
    void smallCardTextsFit() {
        scriptWizard([](Invitation_Wizard* w) {
            w->next();
            w->titleEdit()->setText(QStringLiteral("Birthday Party"));
            w->toEdit()->setText(QStringLiteral("Friends and Family"));
            w->messageEdit()->setPlainText(QStringLiteral("Come and celebrate with us"));
            w->venueEdit()->setPlainText(QStringLiteral("Town Hall"));
            w->fromEdit()->setText(QStringLiteral("Ben"));
            w->next(); w->next();
            w->frameList()->setCurrentRow(0);
            w->next();
            w->categoryCombo()->setCurrentText(QStringLiteral("Business Card"));
            w->sizeList()->setCurrentRow(0); // 3.5 x 2 in: 144 points high
            w->next();
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::NewCard);
        QCOMPARE(m_window->Front_card_Prop.Card_Size, QSizeF(252, 144));
        const GraphicList& items = m_window->Get_Front_Controls_Array();
        QCOMPARE(items.size(), 6); // title, greeting, message, date and time, venue, sender
        for (const GraphicPtr& g : items) {
            QVERIFY(g->kind() == GraphicKind::Text);
            QVERIFY2(g->text_ctrl_font.pointSizeF() < 18, qPrintable(g->control_ID));
            const QSizeF text = ItemPainting::naturalTextSize(*g, g->_bounds.width());
            QVERIFY2(text.height() <= g->_bounds.height() + 0.01, qPrintable(QStringLiteral("%1: %2 high in %3").arg(g->control_ID).arg(text.height()).arg(g->_bounds.height())));
            QVERIFY(g->_bounds.bottom() <= 144.01);
        }
    }

    // Saving and opening again gives the same design; a broken file changes nothing.
    void saveOpenAndRefuse() {
        scriptWizard([](Invitation_Wizard* w) {
            w->next();
            w->titleEdit()->setText(QStringLiteral("Saved"));
            for (int page = 1; page < 5; ++page)
                w->next();
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::NewCard);
        Data_From_Excel::defaultInstance()->setTable({QStringLiteral("Row No."), QStringLiteral("Name")}, {{QStringLiteral("1"), QStringLiteral("Ann")}});
        Excel_Binding_Use = true;
        IMG_sat_val = 1.5f;
        DesignCommands& cmd = m_road->designCommands();
        const QString path = m_dir.filePath(QStringLiteral("saved"));
        cmd.askSavePath = [path] { return path; };
        QVERIFY(cmd.Save_As_Clicked());
        QCOMPARE(cmd.designPath(), path + QStringLiteral(".kvto"));
        const DesignData before = cmd.captureDesign();

        // A new design, then open the saved one.
        m_road->New_Project();
        QVERIFY(m_window->Get_Front_Controls_Array().isEmpty());
        Excel_Binding_Use = false;
        QVERIFY(cmd.openDesignFile(path + QStringLiteral(".kvto")));
        const DesignData after = cmd.captureDesign();
        QVERIFY(after.front == before.front);
        QVERIFY(after.back == before.back);
        QCOMPARE(after.photo, before.photo);
        QCOMPARE(after.sheet, before.sheet);
        QCOMPARE(after.frontItems.size(), before.frontItems.size());
        for (int i = 0; i < after.frontItems.size(); ++i)
            QCOMPARE(itemcompare::differingFields(*after.frontItems[i], *before.frontItems[i]), QStringList());

        // A damaged file: message, and the design stays as it was.
        const QString bad = m_dir.filePath(QStringLiteral("bad.kvto"));
        writeBytes(bad, "bplist00 broken");
        m_prompt.texts.clear();
        QVERIFY(!cmd.openDesignFile(bad));
        QCOMPARE(m_prompt.texts.size(), 1);
        QVERIFY(m_prompt.texts[0].contains(QStringLiteral("could not be opened")));
        QCOMPARE(m_window->Get_Front_Controls_Array(), after.frontItems);
        QCOMPARE(cmd.designPath(), path + QStringLiteral(".kvto"));
    }

    // Save writes on a worker: the file is whole and opens with the same table; a full disk is told and
    // keeps the file saved before.
    void saveOnWorkerKeepsFilesWhole() {
        DesignCommands& cmd = m_road->designCommands();
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        QList<QStringList> rows;
        for (int r = 0; r < 5000; ++r)
            rows.append({QString::number(r + 1), QStringLiteral("Guest %1").arg(r), QStringLiteral("Town %1").arg(r % 40)});
        table->setTable({QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("Town")}, rows);
        QVERIFY(table->setData(table->index(2, 1), QStringLiteral("Edited")));
        const QString path = m_dir.filePath(QStringLiteral("worker.kvto"));
        QVERIFY(cmd.Save_project_file(path, true));
        QVERIFY(!cmd.isBusy());
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Design has been saved successfully.")});
        const auto back = designfile::load(path);
        QVERIFY(back);
        QCOMPARE(back->sheet, captureSheetBinding(*table));

        table->clear();
        QVERIFY(cmd.openDesignFile(path));
        QCOMPARE(table->rowCountOfTable(), 5000);
        QCOMPARE(table->value(4999, 1), QStringLiteral("Guest 4999"));
        QCOMPARE(table->value(2, 1), QStringLiteral("Edited"));

        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("a full disk needs root and tmpfs");
        const QString small = disk.filePath(QStringLiteral("card.kvto"));
        table->setTable({QStringLiteral("Row No."), QStringLiteral("Name")}, {{QStringLiteral("1"), QStringLiteral("Ann")}});
        QVERIFY(cmd.Save_project_file(small, false));
        const QByteArray before = readBytes(small);
        QVERIFY(!before.isEmpty());
        table->setTable({QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("Town")}, rows);
        m_prompt.texts.clear();
        QVERIFY(!cmd.Save_project_file(small, false));
        QCOMPARE(m_prompt.texts.size(), 1);
        QVERIFY2(m_prompt.texts[0].contains(QStringLiteral("The disk is full.")), qPrintable(m_prompt.texts[0]));
        QCOMPARE(readBytes(small), before);
        QCOMPARE(disk.files(), QStringList{QStringLiteral("card.kvto")});
    }

    // The window does not close while a save runs on its worker, and says why.
    void closeWaitsForTheSave() {
        DesignCommands& cmd = m_road->designCommands();
        m_window->show();
        bool busy = false, stillOpen = false;
        QTimer::singleShot(0, [&] {
            busy = cmd.isBusy();
            m_window->close();
            stillOpen = m_window->isVisible();
        });
        QVERIFY(cmd.Save_project_file(m_dir.filePath(QStringLiteral("closing.kvto")), false));
        QVERIFY(busy);
        QVERIFY(stillOpen);
        QCOMPARE(m_prompt.texts, QStringList{LongJobGuard::busyMessage()});
    }

    // "L": the wizard opens a design; a refused file keeps the wizard open.
    void openRoad() {
        DesignData d;
        d.front.Card_Size = QSizeF(300, 200);
        GraphicPtr t = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        static_cast<SKTText&>(*t).setText(QStringLiteral("Loaded"));
        d.frontItems << t;
        const QString path = m_dir.filePath(QStringLiteral("open.kvto"));
        QVERIFY(designfile::save(path, d));
        const QString bad = m_dir.filePath(QStringLiteral("bad2.kvto"));
        writeBytes(bad, "junk");
        scriptWizard([path, bad](Invitation_Wizard* w) {
            w->openDesignButton()->setChecked(true);
            w->designPathEdit()->setText(bad);
            QVERIFY(!w->next());
            w->designPathEdit()->setText(path);
            QVERIFY(w->next());
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::OpenedDesign);
        QCOMPARE(m_window->Get_Front_Controls_Array().size(), 1);
        QCOMPARE(m_window->Get_Front_Controls_Array()[0]->Text_Value, QStringLiteral("Loaded"));
        QCOMPARE(m_window->Front_card_Prop.Card_Size, QSizeF(300, 200));
    }

    // A design named on the command line opens without the wizard; a refused one gets a message, then it.
    void openFromArgument() {
        DesignData d;
        d.front.Card_Size = QSizeF(320, 210);
        d.frontItems << makeGraphicOfClass(QStringLiteral("SKTText"), false);
        const QString path = m_dir.filePath(QStringLiteral("arg.kvto"));
        QVERIFY(designfile::save(path, d));
        QCOMPARE(runStartRoad(*m_road, path), StartOutcome::OpenedDesign);
        QCOMPARE(m_window->Get_Front_Controls_Array().size(), 1);
        QCOMPARE(m_window->Front_card_Prop.Card_Size, QSizeF(320, 210));
        QCOMPARE(m_road->designCommands().designPath(), path);

        const QString bad = m_dir.filePath(QStringLiteral("bad-arg.kvto"));
        writeBytes(bad, "junk");
        bool wizardShown = false;
        scriptWizard([&wizardShown](Invitation_Wizard* w) {
            wizardShown = true;
            w->reject();
        });
        QCOMPARE(runStartRoad(*m_road, bad), StartOutcome::Quit);
        QVERIFY(wizardShown);
        QVERIFY(m_prompt.texts.contains(designfile::openFailedMessage(bad)));
    }

    // A template opens untitled, so saving asks for a new place instead of writing over the template.
    void templateOpensUntitled() {
        DesignData d;
        const QString path = m_dir.filePath(QStringLiteral("tpl.kvto"));
        QVERIFY(designfile::save(path, d));
        QVERIFY(wizardOpens(path, true));
        QVERIFY(m_road->designCommands().designPath().isEmpty());
        QVERIFY(wizardOpens(path, false));
        QCOMPARE(m_road->designCommands().designPath(), path);
    }

    // The File entries are live once the design commands stand behind them; no two share a shortcut.
    void fileMenuSavesAndOpens() {
        QVERIFY(m_window->Open_Design_Action->isEnabled());
        QVERIFY(m_window->Save_Design_Action->isEnabled());
        DesignCommands& cmd = m_road->designCommands();
        const QString path = m_dir.filePath(QStringLiteral("menu.kvto"));
        cmd.askSavePath = [path] { return path; };
        m_window->Save_Design_Action->trigger();
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(cmd.designPath(), path);

        QHash<QString, QString> owners;
        for (QAction* a : m_window->findChildren<QAction*>())
            for (const QKeySequence& k : a->shortcuts()) {
                const QString key = k.toString();
                QVERIFY2(!owners.contains(key), qPrintable(key + QStringLiteral(": ") + owners.value(key) + QStringLiteral(" and ") + a->text()));
                owners.insert(key, a->text());
            }

        // File holds Save As right under Save, with the usual shortcut on every desktop.
        QMenu* file = nullptr;
        for (QAction* a : m_window->menuBar()->actions())
            if (a->menu() && a->menu()->actions().contains(m_window->Save_Design_Action))
                file = a->menu();
        QVERIFY(file);
        const QList<QAction*> entries = file->actions();
        const qsizetype save = entries.indexOf(m_window->Save_Design_Action);
        QVERIFY(save + 1 < entries.size());
        QCOMPARE(entries[save + 1]->text(), QStringLiteral("Save As..."));
        QCOMPARE(entries[save + 1]->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));

        // Help stays the last menu after the design and card menus join the bar.
        const QList<QAction*> menus = m_window->menuBar()->actions();
        QCOMPARE(menus.last()->text(), QStringLiteral("&Help"));
        QStringList titles;
        for (QAction* a : menus)
            titles << a->text();
        QVERIFY(titles.contains(QStringLiteral("&Design")) && titles.contains(QStringLiteral("&Card")));
    }

    void exitAsksToSave_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes") << true << true;
        QTest::newRow("no") << false << false;
    }
    void exitAsksToSave() {
        QFETCH(bool, yes);
        DesignCommands& cmd = m_road->designCommands();
        changeTheDesign();
        const QString path = m_dir.filePath(QStringLiteral("exit-%1.kvto").arg(yes));
        cmd.setDesignPath(path);
        bool reviewed = false, quit = false;
        cmd.runReviewWindow = [&] { reviewed = true; };
        cmd.quitApplication = [&] { quit = true; };
        m_prompt.answer = yes ? PromptAnswer::Yes : PromptAnswer::No;
        cmd.Exit_App();
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Do you want to save changes before closing?")});
        QTEST(QFileInfo::exists(path), "saved");
        QVERIFY(reviewed && quit);
    }

    // Saving needs a place: cancelling the save panel on Exit keeps the program running.
    void exitWithoutPlaceKeepsRunning() {
        DesignCommands& cmd = m_road->designCommands();
        changeTheDesign();
        cmd.setDesignPath(QString());
        cmd.askSavePath = [] { return QString(); };
        bool quit = false;
        cmd.quitApplication = [&] { quit = true; };
        m_prompt.answer = PromptAnswer::Yes;
        cmd.Exit_App();
        QVERIFY(!quit);
    }

    // The photo reloaded from elsewhere reaches the window and its item; a file that does not load keeps both.
    void mainPhotoThroughTheLoader() {
        const QString red = writePicture(m_dir.filePath(QStringLiteral("r.png")), Qt::red);
        const QString blue = writePicture(m_dir.filePath(QStringLiteral("b.png")), Qt::blue);
        QVERIFY(::Update_frame_Main_Photo_And_Path(red, true));
        m_window->setSelectedTool(8);
        Library_Selected_Image = red;
        m_window->_graphicView->createGraphicOfClass(QStringLiteral("SKTImage"), nullptr, true, QRectF(0, 0, 50, 50), QStringLiteral("F"), red, QStringLiteral("PARTY_IMAGE"));
        Library_Selected_Image.clear();
        GraphicPtr item = byId(m_window->Get_Front_Controls_Array(), QStringLiteral("PARTY_IMAGE"));
        QVERIFY(item);
        QCOMPARE(item->_image.image().pixelColor(1, 1), QColor(Qt::red));
        QVERIFY(::Update_frame_Main_Photo_And_Path(blue, false));
        QCOMPARE(Invite_Frame_Pic_IMG, red);
        QCOMPARE(item->_image.image().pixelColor(1, 1), QColor(Qt::blue));
        QCOMPARE(m_window->mainPhotoImage().image().pixelColor(1, 1), QColor(Qt::blue));
        QVERIFY(!::Update_frame_Main_Photo_And_Path(m_dir.filePath(QStringLiteral("none.png")), true));
        QCOMPARE(Invite_Frame_Pic_IMG, red);
        QCOMPARE(item->_image.image().pixelColor(1, 1), QColor(Qt::blue));
        delete m_road;
        m_road = nullptr;
        QVERIFY(!::Update_frame_Main_Photo_And_Path(red, true)); // no window, no loader
    }

    // Designs saved with the adjusted photo open and draw as they did, without the photo's file; saved
    // again, they hold the photo once and draw the same.
    void designsSavedBeforeOpenAsTheyDid_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("inverted, turned, brighter JPEG with a frame") << QStringLiteral("photo_invert_turn");
        QTest::newRow("sepia, blurred, tilted PNG") << QStringLiteral("photo_sepia_blur_tilt");
    }
    void designsSavedBeforeOpenAsTheyDid() {
        QFETCH(QString, name);
        const QString fixture = QStringLiteral(NAVU_FIXTURES_DIR "/designs/") + name;
        const auto drawn = [this] {
            const Card_Property& f = m_window->Front_card_Prop;
            return SKTRenderingView::image_From_Card_Graphics(m_window->Get_Front_Controls_Array(), false, f, Card_Shape, f.Card_Size).convertToFormat(QImage::Format_RGB32);
        };
        QVERIFY(m_road->designCommands().openDesignFile(fixture + QStringLiteral(".kvto")));
        const QImage now = drawn();
        QCOMPARE(now, QImage(fixture + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32));
        const QString again = m_dir.filePath(name + QStringLiteral(".kvto"));
        QVERIFY(m_road->designCommands().Save_project_file(again, false));
        QVERIFY(QFileInfo(again).size() < QFileInfo(fixture + QStringLiteral(".kvto")).size());
        QVERIFY(m_road->designCommands().openDesignFile(again));
        QCOMPARE(drawn(), now);
    }

    // A design holds the main photo as its file came, once, and its settings; its item shows it adjusted.
    void mainPhotoKeptAsItsBytes() {
        QImage picture(600, 400, QImage::Format_RGB32);
        for (int i = 0; i < 600 * 400; ++i)
            picture.setPixel(i % 600, i / 600, qRgb(i % 251, i % 600 * 255 / 600, 90));
        const QString jpeg = m_dir.filePath(QStringLiteral("camera.jpg")), path = m_dir.filePath(QStringLiteral("c.kvto"));
        QVERIFY(picture.save(jpeg, "JPEG", 90));
        PhotoSettings settings;
        settings.invert_clr = true;
        settings.rotate_image = 90;
        setCurrentPhotoSettings(settings);
        QVERIFY(::Update_frame_Main_Photo_And_Path(jpeg, true));
        GraphicPtr item = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
        item->control_ID = QStringLiteral("PARTY_IMAGE");
        static_cast<SKTImage&>(*item).setFilePath(jpeg);
        m_window->Get_Front_Controls_Array() = {item};
        QVERIFY(m_road->designCommands().Save_project_file(path, false));
        QVERIFY(QFileInfo(path).size() < QFileInfo(jpeg).size() + 20000);
        setCurrentPhotoSettings(PhotoSettings{});
        QVERIFY(m_road->designCommands().openDesignFile(path));
        QCOMPARE(currentPhotoSettings(), settings);
        const GraphicPtr shown = byId(m_window->Get_Front_Controls_Array(), QStringLiteral("PARTY_IMAGE"));
        QCOMPARE(shown->_image.bytes(), readBytes(jpeg));
        QCOMPARE(shown->_image.adjustments(), MainPhoto::adjustmentsOf(settings));
        QCOMPARE(shown->_image.size(), QSize(400, 600)); // turned
    }

    // A side's background picture is the design's own: it draws the same once its file is gone, beside any
    // frame item. An older design reads it from its path, and goes without it when the file is gone.
    void backgroundsKeptWithoutTheirFiles_data() {
        QTest::addColumn<bool>("back");
        QTest::addColumn<int>("frame"); // 0 none, 1 the frame item shows the background, 2 another picture
        QTest::addColumn<bool>("older");
        QTest::addColumn<int>("file"); // 0 gone, 1 kept, 2 cut short
        QTest::newRow("back") << true << 0 << false << 0;
        QTest::newRow("front") << false << 0 << false << 0;
        QTest::newRow("front, its frame item") << false << 1 << false << 0;
        QTest::newRow("front, another frame") << false << 2 << false << 0;
        QTest::newRow("older back, file there") << true << 0 << true << 1;
        QTest::newRow("older back, file gone") << true << 0 << true << 0;
        QTest::newRow("older back, file cut short") << true << 0 << true << 2;
    }
    void backgroundsKeptWithoutTheirFiles() {
        QFETCH(bool, back);
        QFETCH(int, frame);
        QFETCH(bool, older);
        QFETCH(int, file);
        const bool fileKept = file == 1;
        const QString path = writePicture(m_dir.filePath(QStringLiteral("bg.png")), Qt::darkCyan, QSize(120, 80));
        DesignData d;
        Card_Property& side = back ? d.back : d.front;
        if (frame)
            QVERIFY(setFrontFramePicture(d.front, d.frontItems, frame == 1 ? path : writePicture(m_dir.filePath(QStringLiteral("f.png")), Qt::red)));
        if (frame != 1) {
            side.Card_BG_Image_Path = path;
            side.Card_BG_Image = SKTImage::loadPicture(path);
        }
        side.Card_fill_chk = 1;
        side.Card_fill_style = QStringLiteral("I");
        side.Card_BG_Image_Layout = QStringLiteral("Tile");
        PlistPtr root = plistio::fromBytes(designfile::toBytes(d));
        for (int i = 0; older && i < 2; ++i) // ends with the back items
            plist_array_remove_item(root.get(), plist_array_get_size(root.get()) - 1);
        writeBytes(m_dir.filePath(QStringLiteral("bg.kvto")), plistio::toBytes(root.get(), plistio::Format::Binary));
        QVERIFY(file == 1 || QFile::remove(path));
        if (file == 2) // a file there that cannot be read is named once the design is open
            writeBytes(path, readBytes(writePicture(path, Qt::darkCyan, QSize(120, 80))).chopped(30));
        m_prompt.texts.clear();
        QVERIFY(m_road->designCommands().openDesignFile(m_dir.filePath(QStringLiteral("bg.kvto"))));
        const Card_Property& opened = back ? m_window->Back_card_Prop : m_window->Front_card_Prop;
        QCOMPARE(opened.Card_BG_Image.isNull(), older && !fileKept);
        QCOMPARE(m_prompt.texts.size(), file == 2 ? 1 : 0);
        QVERIFY(file != 2 || m_prompt.texts[0].contains(QStringLiteral("bg.png: ")));
        if (!opened.Card_BG_Image.isNull())
            QCOMPARE(SKTRenderingView::image_From_Card_Graphics({}, false, opened, 0, opened.Card_Size), SKTRenderingView::image_From_Card_Graphics({}, false, side, 0, opened.Card_Size));
    }

    // Save, Open, Save writes the bytes of the first Save: the shipped templates, a table read from a workbook
    // (shared and own strings, numbers, padded texts, an edited cell), a design of pictures (a placed file,
    // the main photo, a card background, the frame and a picture made in memory), a back side with a barcode
    // and a text from a series, and designs saved before pictures were kept as their bytes.
    void saveOpenSaveKeepsTheBytes_data() {
        QTest::addColumn<QString>("design");
        const QDir templates(QStringLiteral(NAVU_RESOURCES_DIR "/Templates"));
        for (const QString& t : templates.entryList({QStringLiteral("*.kvto")}, QDir::Files))
            QTest::newRow(qPrintable(t)) << templates.filePath(t);
        QTest::newRow("workbook table") << QStringLiteral("table");
        QTest::newRow("pictures") << QStringLiteral("pictures");
        QTest::newRow("back side, barcode, series") << QStringLiteral("back");
        for (const char* f : {"photo_invert_turn", "photo_sepia_blur_tilt"})
            QTest::newRow(f) << QStringLiteral(NAVU_FIXTURES_DIR "/designs/%1.kvto").arg(QLatin1String(f));
    }
    void saveOpenSaveKeepsTheBytes() {
        QFETCH(QString, design);
        DesignCommands& cmd = m_road->designCommands();
        m_road->New_Project();
        if (design == QLatin1String("table")) {
            const QString book = m_dir.filePath(QStringLiteral("guests.xlsx"));
            QList<QStringList> rows{{QStringLiteral("Name"), QStringLiteral("City"), QStringLiteral("Amount")}};
            for (int r = 0; r < 40; ++r)
                rows.append({QStringLiteral("Guest %1").arg(r % 7), r % 3 ? QStringLiteral("Oslo") : QStringLiteral(" Bergen "),
                             QString::number(r * 1.5)});
            QVERIFY(XlsxWriter::WriteWorkbook(book, rows));
            QTimer answer;
            connect(&answer, &QTimer::timeout, [] {
                if (auto* dialog = qobject_cast<Import_Excel*>(QApplication::activeModalWidget())) {
                    dialog->Select_ALL_Pressed();
                    dialog->OKPressed();
                }
            });
            answer.start(5);
            Import_Excel::defaultInstance()->open_mode = QStringLiteral("E"); // into the data table
            QCOMPARE(Import_Excel::defaultInstance()->Open_excel_Wnd(book), 1);
            Data_From_Excel* table = Data_From_Excel::defaultInstance();
            QVERIFY(table->setData(table->index(3, 1), QStringLiteral("Oslo")));
        } else if (design == QLatin1String("pictures")) {
            const QString red = writePicture(m_dir.filePath(QStringLiteral("r.png")), Qt::red);
            const QString green = writePicture(m_dir.filePath(QStringLiteral("g.png")), Qt::green);
            QVERIFY(::Update_frame_Main_Photo_And_Path(red, true));
            m_road->framePicked(writePicture(m_dir.filePath(QStringLiteral("f.png")), Qt::yellow));
            GraphicPtr placed = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
            static_cast<SKTImage&>(*placed).setFilePath(green);
            GraphicPtr made = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
            made->_image = filledImage(QSize(16, 12), Qt::magenta);
            m_doc->insertGraphics(CardSide::Front, {placed, made});
            m_window->Back_card_Prop.Card_fill_style = QStringLiteral("I");
            m_window->Back_card_Prop.Card_BG_Image_Path = green;
            m_window->Back_card_Prop.Card_BG_Image = filledImage(QSize(8, 6), Qt::cyan); // made in memory
        } else if (design == QLatin1String("back")) {
            QVERIFY(SeriesFiles::writeSeries("Names", {"Ann", "Bo"}));
            GraphicPtr text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
            text->data_source_type = 1;
            text->batch_list_name = QStringLiteral("Names");
            GraphicPtr code = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
            const BarcodeStyle s = BarcodeStyle::fromItem(*code);
            code->Set_Barcode_image(generateBarcode(s, s.content(), s.header_val, s.footer_val).image);
            GraphicPtr shape = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
            m_doc->insertGraphics(CardSide::Back, {text, code, shape});
            m_window->Back_card_Prop.Card_fill_style = QStringLiteral("G");
        } else {
            QVERIFY(cmd.openDesignFile(design, true));
        }
        // Saved, opened and saved twice more.
        QByteArray saved[3];
        for (int i = 0; i < 3; ++i) {
            const QString path = m_dir.filePath(QStringLiteral("save%1.kvto").arg(i));
            QVERIFY(cmd.Save_project_file(path, false));
            QVERIFY(cmd.openDesignFile(path));
            saved[i] = readBytes(path);
        }
        QVERIFY(!saved[0].isEmpty());
        for (int i = 1; i < 3; ++i)
            QVERIFY2(saved[i] == saved[0],
                     qPrintable(QStringLiteral("save %1: %2 bytes, not %3").arg(i).arg(saved[i].size()).arg(saved[0].size())));
    }

    // A barcode whose stored type is in no list is reported on opening and keeps its picture and style.
    void unknownBarcodeTypeIsReported() {
        DesignData d;
        d.front.Card_Size = QSizeF(300, 200);
        GraphicPtr b = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
        b->barcode_font_index = 42;
        QImage stored = filledImage(QSize(20, 10), Qt::blue);
        b->_barcode_image = stored;
        d.frontItems << b;
        const QString path = m_dir.filePath(QStringLiteral("unknown.kvto"));
        QVERIFY(designfile::save(path, d));
        m_prompt.texts.clear();
        QVERIFY(m_road->designCommands().openDesignFile(path));
        QCOMPARE(m_prompt.texts.size(), 1);
        QVERIFY2(m_prompt.texts[0].contains(QStringLiteral("unknown linear type 42")), qPrintable(m_prompt.texts[0]));
        const GraphicPtr loaded = m_window->Get_Front_Controls_Array().value(0);
        QVERIFY(loaded);
        QCOMPARE(loaded->barcode_font_index, 42);
        QCOMPARE(loaded->_barcode_image.convertToFormat(QImage::Format_ARGB32), stored);
    }

    // The window's close button goes through Exit; a refused save keeps the window.
    void closeButtonAsks() {
        DesignCommands& cmd = m_road->designCommands();
        changeTheDesign();
        cmd.setDesignPath(QString());
        cmd.askSavePath = [] { return QString(); };
        bool quit = false;
        cmd.quitApplication = [&] { quit = true; };
        m_prompt.answer = PromptAnswer::Yes;
        m_window->show();
        QVERIFY(!m_window->close());
        QVERIFY(!quit);
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Do you want to save changes before closing?")});
        m_prompt.answer = PromptAnswer::No;
        m_window->close();
        QVERIFY(quit);
    }

    // Exit from the menu asks once, shows the review window once, and the window really closes.
    void exitFromTheMenuAsksOnce() {
        DesignCommands& cmd = m_road->designCommands();
        changeTheDesign();
        int reviews = 0;
        cmd.runReviewWindow = [&] { ++reviews; };
        bool closed = false;
        cmd.quitApplication = [&] { closed = m_window->close(); };
        m_prompt.answer = PromptAnswer::No;
        m_window->show();
        cmd.Exit_App();
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Do you want to save changes before closing?")});
        QCOMPARE(reviews, 1);
        QVERIFY(closed);
    }

    // Opening another design offers to save the one on screen first; a save that finds no place keeps it.
    void openOffersToSaveFirst() {
        DesignCommands& cmd = m_road->designCommands();
        const QString other = m_dir.filePath(QStringLiteral("other.kvto"));
        cmd.askSavePath = [other] { return other; };
        QVERIFY(cmd.Save_As_Clicked()); // an empty design to open later
        m_prompt.texts.clear();
        cmd.setDesignPath(QString());
        changeTheDesign();
        cmd.askOpenPath = [other] { return other; };

        cmd.askSavePath = [] { return QString(); };
        m_prompt.answer = PromptAnswer::Yes;
        cmd.Open_Design_Clicked();
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Do you want to save changes before closing?")});
        QCOMPARE(m_window->Get_Front_Controls_Array().size(), 1); // nothing saved, nothing replaced

        m_prompt.answer = PromptAnswer::No;
        cmd.Open_Design_Clicked();
        QVERIFY(m_window->Get_Front_Controls_Array().isEmpty());
        QCOMPARE(cmd.designPath(), other);

        // Cancelling the open panel asks nothing.
        m_prompt.texts.clear();
        cmd.askOpenPath = [] { return QString(); };
        cmd.Open_Design_Clicked();
        QVERIFY(m_prompt.texts.isEmpty());
    }

    // Escape on the closing question keeps the program and the design; it is not "No".
    void exitCancelledKeepsRunning() {
        DesignCommands& cmd = m_road->designCommands();
        changeTheDesign();
        bool quit = false, reviewed = false;
        cmd.quitApplication = [&] { quit = true; };
        cmd.runReviewWindow = [&] { reviewed = true; };
        m_prompt.answer = PromptAnswer::Cancel;
        cmd.Exit_App();
        QVERIFY(!quit && !reviewed);
        m_window->show();
        QVERIFY(!m_window->close());
        QVERIFY(!quit);
    }

    void framePickedGoesToFront() {
        m_window->Select_back_side();
        m_road->gallery()->setCurrentRow(0);
        const GraphicList& front = m_window->Get_Front_Controls_Array();
        QCOMPARE(front.size(), 1);
        QCOMPARE(front[0]->control_ID, QStringLiteral("PARTY_IMAGE_BG"));
        QCOMPARE(m_window->Front_card_Prop.Card_BG_Image_Path, m_road->gallery()->selected_image());
        QVERIFY(m_window->Get_Back_Controls_Array().isEmpty());
    }
};

QTEST_MAIN(TestStartWindow)
#include "test_start_window.moc"
