// Profiles as a user meets them in the real main window: the start wizard, the template browser and the
// profile command, with the new card's texts.

#include "FileBytes.h"
#include "app/SKTWindowController.h"
#include "app/ScriptedPrompt.h"
#include "app/designfile/DesignFile.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "data/ui/SeriesDialogSupport.h"
#include "profile/ProfileFields.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"
#include "wizards/InvitationState.h"
#include "wizards/ui/Invitation_Wizard.h"
#include "wizards/ui/PhotoEditPanel.h"
#include "wizards/ui/Template_Browser.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

namespace {

// Runs answer on the modal window of kind T as soon as it is the active one.
template <class T> void whenShown(std::function<void(T*)> answer, int triesLeft = 500) {
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [answer, triesLeft] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
            answer(w);
        else if (triesLeft > 0)
            whenShown<T>(answer, triesLeft - 1);
    });
}

GraphicPtr shown(const GraphicList& items, const QString& id) {
    for (const GraphicPtr& g : items)
        if (g->control_ID == id && g->ctrl_is_visible)
            return g;
    return nullptr;
}

QString shownText(const GraphicList& items, const QString& id) {
    const GraphicPtr g = shown(items, id);
    return g ? g->Text_Value : QString();
}

GraphicPtr text(const QString& id, const QString& value) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTText"), false);
    g->control_ID = id;
    g->setBounds(QRectF(20, 300, 200, 24));
    static_cast<SKTText&>(*g).setText(value);
    g->Text_Value = value;
    return g;
}

// Pixels of the item's drawing inside box.
int inkIn(const GraphicPtr& item, const QRectF& box, QSize card) {
    QImage image(card, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    item->draw(painter);
    painter.end();
    int ink = 0;
    const QRect r = box.toAlignedRect().intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ink += qAlpha(image.pixel(x, y)) > 24;
    return ink;
}

} // namespace

class TestProfileRoad : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompt m_prompt;
    SKTDocument* m_doc = nullptr;
    SKTWindowController* m_window = nullptr;
    StartRoadController* m_road = nullptr;

    GraphicList& front() { return m_window->Get_Front_Controls_Array(); }
    GraphicList& back() { return m_window->Get_Back_Controls_Array(); }
    QStringList onSides(const QString& id) { return {shownText(front(), id), shownText(back(), id)}; }
    QUndoStack* undo() { return m_doc->undoManager(); }

    void trigger(const QString& entry) {
        for (QAction* menu : m_window->menuBar()->actions())
            for (QAction* a : menu->menu() ? menu->menu()->actions() : QList<QAction*>())
                if (a->text() == entry)
                    return a->trigger();
        QFAIL(qPrintable(entry));
    }

    static void openTemplate(Template_Browser* b, const QString& name) {
        for (int row = 0; row < b->list()->count(); ++row)
            if (b->list()->item(row)->text().startsWith(name))
                b->list()->setCurrentRow(row);
        b->Open_Template_Click();
    }

    // Answers the next both-sides profile dialog.
    static void answerProfile(std::function<void(User_profile*)> answer) { whenShown<User_profile>(answer); }

    // Design > Templates...: gives a profile with name in the browser, then opens the template.
    void profileThenTemplate(const QString& name, const QString& templateName) {
        whenShown<Template_Browser>([name, templateName](Template_Browser* b) {
            answerProfile([b, name](User_profile* dlg) {
                QCOMPARE(dlg->parentWidget(), b); // stands in front of the browser
                dlg->fields[0].value->setText(name);
                dlg->OK_Btn_Clicked();
            });
            b->profileButton()->click();
            openTemplate(b, templateName);
        });
        trigger(QStringLiteral("Templates..."));
    }

    // The start wizard builds a card: texts acts on its text page (profile buttons included).
    void buildCard(std::function<void(Invitation_Wizard*)> texts, const QString& photo = {},
                   QSize card = {504, 360}) {
        whenShown<Invitation_Wizard>([=](Invitation_Wizard* w) {
            w->next();
            texts(w);
            w->next();
            if (!photo.isEmpty())
                w->photoPanel()->loadFile(photo);
            w->next();
            w->frameList()->setCurrentRow(0);
            w->next();
            w->categoryCombo()->setCurrentText(QStringLiteral("Custom"));
            w->customWidth()->setValue(card.width() * 0.3527777777778);
            w->customHeight()->setValue(card.height() * 0.3527777777778);
            w->next();
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::NewCard);
    }

private slots:
    void initTestCase() {
        Resource_Path = m_dir.path();
        Data_Folder_Path = m_dir.filePath(QStringLiteral("DataSet"));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("Templates"))));
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        DesignData party;
        party.frontItems = {text(QStringLiteral("Fup_Website"), QStringLiteral("www.party.example"))};
        QVERIFY(designfile::save(m_dir.filePath(QStringLiteral("Templates/Party.kvto")), party));
        writeBytes(m_dir.filePath(QStringLiteral("Templates/Broken.kvto")), "not a design");
        setPromptHandler(&m_prompt);
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }
    void init() {
        m_prompt.texts.clear();
        m_prompt.answer = PromptAnswer::No;
        Card_Front_Or_Back = 0;
        m_doc = new SKTDocument;
        m_window = new SKTWindowController(m_doc);
        m_road = new StartRoadController(*m_window);
        m_road->designCommands().quitApplication = [] {};
        m_window->resize(1366, 768);
        m_window->show();
    }
    void cleanup() {
        delete m_road;
        delete m_window;
        delete m_doc;
    }

    // A profile given in the wizard or the template browser waits for the wizard's card or the browser's
    // template and lands as one undo step; every cancel, failed opening and cancelled save question drops
    // it. The dialogs show what the card holds (or what was given before in the same wizard).
    void bothSidesProfileWaitsForItsAction() {
        buildCard([](Invitation_Wizard* w) {
            answerProfile([w](User_profile* dlg) {
                QCOMPARE(dlg->parentWidget(), w);
                QVERIFY(dlg->fields[0].value->text().isEmpty());
                dlg->fields[0].value->setText(QStringLiteral("Anna Smith"));
                dlg->OK_Btn_Clicked();
            });
            w->profileButton()->click();
            answerProfile([](User_profile* dlg) {
                QCOMPARE(dlg->fields[0].value->text(), QStringLiteral("Anna Smith"));
                dlg->fields[0].value->setText(QStringLiteral("Changed"));
                dlg->Cancel_Btn_Clicked();
            });
            w->profileButton()->click();
            // The wizard's template browser, closed: what was given there goes nowhere.
            whenShown<Template_Browser>([](Template_Browser* b) {
                answerProfile([](User_profile* dlg) {
                    dlg->fields[0].value->setText(QStringLiteral("In the browser"));
                    dlg->OK_Btn_Clicked();
                });
                b->profileButton()->click();
                b->reject();
            });
            w->back();
            for (QPushButton* button : w->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("Templates..."))
                    button->click();
            w->next();
            w->titleEdit()->setText(QStringLiteral("Party"));
        });
        const QStringList anna{QStringLiteral("Anna Smith"), QStringLiteral("Anna Smith")};
        QCOMPARE(onSides("Fup_Name"), anna);
        QCOMPARE(undo()->count(), 1);
        undo()->undo();
        QCOMPARE(onSides("Fup_Name"), QStringList({QString(), QString()}));
        QVERIFY(shown(front(), "PARTY_TITLE"));
        undo()->redo();
        QCOMPARE(onSides("Fup_Name"), anna);

        // The browser's dialog shows the card; closing the browser, a cancelled save question and a
        // template that fails to open apply nothing, also not at a later Close.
        whenShown<Template_Browser>([](Template_Browser* b) {
            answerProfile([](User_profile* dlg) {
                QCOMPARE(dlg->fields[0].value->text(), QStringLiteral("Anna Smith"));
                QCOMPARE(dlg->fields[0].side_combo->currentIndex(), 2);
                dlg->fields[0].value->setText(QStringLiteral("Ben Jones"));
                dlg->OK_Btn_Clicked();
            });
            b->profileButton()->click();
            b->reject();
        });
        trigger(QStringLiteral("Templates..."));
        m_prompt.answer = PromptAnswer::Cancel;
        profileThenTemplate(QStringLiteral("Ben Jones"), QStringLiteral("Party"));
        m_prompt.answer = PromptAnswer::No;
        profileThenTemplate(QStringLiteral("Ben Jones"), QStringLiteral("Broken"));
        QVERIFY(!m_prompt.texts.filter(QStringLiteral("Broken")).isEmpty());
        whenShown<Template_Browser>([](Template_Browser* b) { b->reject(); });
        trigger(QStringLiteral("Templates..."));
        QCOMPARE(onSides("Fup_Name"), anna);
        QCOMPARE(undo()->count(), 1);
        QCOMPARE(m_window->openProfileActions(), 0);

        // An opened template takes it, and keeps its own profile item the dialog did not show.
        profileThenTemplate(QStringLiteral("Ben Jones"), QStringLiteral("Party"));
        QCOMPARE(onSides("Fup_Name"),
                 QStringList({QStringLiteral("Ben Jones"), QStringLiteral("Ben Jones")}));
        QCOMPARE(shownText(front(), "Fup_Website"), QStringLiteral("www.party.example"));
        undo()->undo();
        QCOMPARE(onSides("Fup_Name"), QStringList({QString(), QString()}));
        QCOMPARE(shownText(front(), "Fup_Website"), QStringLiteral("www.party.example"));

        // A workbook imported in the browser's dialog lands with the profile on the template, not before.
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        QVERIFY(!m_doc->isModified());
        // Cancelled, neither the workbook nor its path stays, nor a series' new first row on the card.
        const QString pathBefore = Excel_Source_Path;
        QVERIFY(SeriesFiles::writeSeries(QStringLiteral("Hosts"), {QStringLiteral("Ann")}));
        const GraphicPtr host = text(QStringLiteral("PARTY_TITLE"), QStringLiteral("Ann"));
        host->data_source_type = 1;
        host->batch_list_name = QStringLiteral("Hosts");
        front() << host;
        m_doc->setSaved();
        whenShown<Template_Browser>([table](Template_Browser* b) {
            answerProfile([table](User_profile* dlg) {
                table->setTable({Data_From_Excel::RowNumberTitle, QStringLiteral("Guest")}, {{"1", "Dan"}});
                dlg->excel_path_field->setText(QStringLiteral("/tmp/guests.xlsx"));
                SeriesFiles::writeSeries(QStringLiteral("Hosts"), {QStringLiteral("Bo")});
                SeriesDialogs::seriesChanged();
                dlg->Cancel_Btn_Clicked();
            });
            b->profileButton()->click();
            b->reject();
        });
        trigger(QStringLiteral("Templates..."));
        QCOMPARE(table->rowCountOfTable(), 0);
        QCOMPARE(Excel_Source_Path, pathBefore);
        QCOMPARE(host->_Text_contents, QStringLiteral("Ann"));
        QVERIFY(!m_doc->isModified());
        front().removeOne(host);
        whenShown<Template_Browser>([this, table](Template_Browser* b) {
            answerProfile([table](User_profile* dlg) {
                table->setTable({Data_From_Excel::RowNumberTitle, QStringLiteral("Guest")}, {{"1", "Cleo"}});
                dlg->OK_Btn_Clicked();
            });
            b->profileButton()->click();
            QCOMPARE(table->rowCountOfTable(), 0);
            QVERIFY(!m_doc->isModified()); // nothing landed yet
            openTemplate(b, QStringLiteral("Party"));
        });
        trigger(QStringLiteral("Templates..."));
        QCOMPARE(table->value(0, 1), QStringLiteral("Cleo"));
        QVERIFY(Excel_Binding_Use);
        undo()->undo();
        QCOMPARE(table->rowCountOfTable(), 0);
    }

    // Edit > User Profile... shows the side's items; Cancel changes nothing; OK is one undo step that shows
    // the side it was made on.
    void currentSideProfileIsOneUndoStep() {
        back() << text(QStringLiteral("PARTY_TITLE"), QStringLiteral("Hello"))
               << text(QStringLiteral("Fup_Name"), QStringLiteral("Anna"));
        m_window->Select_back_side();
        for (bool ok : {false, true}) {
            whenShown<Show_User_Profile>([ok](Show_User_Profile* dlg) {
                QCOMPARE(dlg->fields[0].value->text(), QStringLiteral("Anna"));
                dlg->fields[5].value->setText(QStringLiteral("555"));
                ok ? dlg->OK_Btn_Clicked() : dlg->Cancel_Btn_Clicked();
            });
            m_window->User_Profile_Action->trigger();
            QCOMPARE(shownText(back(), "Fup_PhoneNO"), ok ? QStringLiteral("555") : QString());
            QCOMPARE(shownText(back(), "Fup_Name"), QStringLiteral("Anna"));
            QCOMPARE(undo()->count(), ok ? 1 : 0);
        }
        m_window->Select_front_side();
        m_window->Undo_btn->trigger();
        QCOMPARE(Card_Front_Or_Back, 1);
        QCOMPARE(back().size(), 2);
        QVERIFY(!shown(back(), "Fup_PhoneNO"));
    }

    // The side list of each field decides where it goes, and opens showing where a field is.
    void sideListsDecideWhereFieldsGo() {
        const QStringList values{"Ann", "ann@x", "555"};
        const QList<int> sides{2, 0, 1}; // Name both, e-mail front, phone back
        const QList<int> fieldsOf{0, 7, 5};
        buildCard([=](Invitation_Wizard* w) {
            answerProfile([=](User_profile* dlg) {
                for (int k = 0; k < 3; ++k) {
                    dlg->fields[fieldsOf[k]].value->setText(values[k]);
                    dlg->fields[fieldsOf[k]].side_combo->setCurrentIndex(sides[k]);
                }
                dlg->OK_Btn_Clicked();
            });
            w->profileButton()->click();
        });
        QCOMPARE(onSides("Fup_Name"), QStringList({"Ann", "Ann"}));
        QCOMPARE(onSides("Fup_EmailID"), QStringList({"ann@x", ""}));
        QCOMPARE(onSides("Fup_PhoneNO"), QStringList({"", "555"}));

        // Opened again, the dialog shows each field on its side; the e-mail sent to both lands on both.
        whenShown<Template_Browser>([=](Template_Browser* b) {
            answerProfile([=](User_profile* dlg) {
                for (int k = 0; k < 3; ++k) {
                    QCOMPARE(dlg->fields[fieldsOf[k]].value->text(), values[k]);
                    QCOMPARE(dlg->fields[fieldsOf[k]].side_combo->currentIndex(), sides[k]);
                }
                dlg->fields[7].side_combo->setCurrentIndex(2);
                dlg->fields[0].side_combo->setCurrentIndex(1);
                dlg->OK_Btn_Clicked();
            });
            b->profileButton()->click();
            openTemplate(b, QStringLiteral("Party"));
        });
        trigger(QStringLiteral("Templates..."));
        QCOMPARE(onSides("Fup_Name"), QStringList({"", "Ann"}));
        QCOMPARE(onSides("Fup_EmailID"), QStringList({"ann@x", "ann@x"}));
        QCOMPARE(onSides("Fup_PhoneNO"), QStringList({"", "555"}));
    }

    // On the wizard's card the profile's new items cover none of its texts, nor each other, and stay on
    // the card (a card with little room gets them in a smaller font); on an empty card they take their
    // default places.
    void profileItemsLandOffTheTexts_data() {
        QTest::addColumn<QSize>("card");
        QTest::newRow("7 x 5 in") << QSize(504, 360);
        QTest::newRow("5 x 4 in") << QSize(360, 288);
    }
    void profileItemsLandOffTheTexts() {
        QFETCH(QSize, card);
        const QStringList profile{"Anna Smith", "Manager",           "Acme Ltd",        "", "", "555-1234",
                                  "",           "anna@acme.example", "www.acme.example"};
        buildCard(
            [=](Invitation_Wizard* w) {
                answerProfile([=](User_profile* dlg) {
                    for (int i = 0; i < profile.size(); ++i)
                        dlg->fields[i].value->setText(profile[i]);
                    dlg->OK_Btn_Clicked();
                });
                w->profileButton()->click();
                w->titleEdit()->setText(QStringLiteral("Summer Garden Party"));
                w->toEdit()->setText(QStringLiteral("Friends and Family"));
                w->messageEdit()->setPlainText(QStringLiteral("Come and celebrate the long days with us"));
                w->venueEdit()->setPlainText(QStringLiteral("The Old Town Hall, Market Square"));
                w->fromEdit()->setText(QStringLiteral("Anna and Ben"));
            },
            {}, card);
        for (const GraphicList* side : {&front(), &back()}) {
            QList<QRectF> placed;
            for (const GraphicPtr& p : *side) {
                if (profile::fieldOfId(p->control_ID) < 0 || !p->ctrl_is_visible)
                    continue;
                QVERIFY(QRectF(QPointF(), card).contains(p->_bounds));
                for (const GraphicPtr& t : *side)
                    if (t->kind() == GraphicKind::Text && t != p && t->ctrl_is_visible)
                        QVERIFY2(inkIn(t, p->_bounds, card) == 0,
                                 qPrintable(p->control_ID + " covers " + t->control_ID));
                for (const QRectF& r : placed)
                    QVERIFY(!r.intersects(p->_bounds));
                placed << p->_bounds;
            }
            QCOMPARE(placed.size(), 6);
        }
        QVERIFY(shown(front(), "PARTY_DATE") && shown(front(), "PARTY_VENUE"));
        QCOMPARE(shown(back(), "Fup_Name")->_bounds, m_window->Get_Control_Rect_From_Template("Fup_Name"));
    }

    // Texts over the photo are drawn black or white, whichever reads better on the photo under them;
    // texts elsewhere and texts of a chosen colour keep their colour. The places stay the layout's.
    void wizardTextsReadOnThePhoto_data() {
        QTest::addColumn<QColor>("photo");
        QTest::addColumn<QColor>("overPhoto");
        QTest::newRow("dark photo") << QColor(20, 30, 90) << QColor(Qt::white);
        QTest::newRow("light photo") << QColor(250, 230, 120) << QColor(Qt::black);
    }
    void wizardTextsReadOnThePhoto() {
        QFETCH(QColor, photo);
        QImage picture(212, 50, QImage::Format_ARGB32);
        picture.fill(photo);
        const QString path = m_dir.filePath(QStringLiteral("photo.png"));
        QVERIFY(picture.save(path));
        buildCard(
            [](Invitation_Wizard* w) {
                w->titleEdit()->setText(QStringLiteral("Party"));
                w->messageEdit()->setPlainText(QStringLiteral("Come and celebrate"));
            },
            path);
        const GraphicPtr title = shown(front(), "PARTY_TITLE");
        const GraphicPtr date = shown(front(), "PARTY_DATE");
        QCOMPARE(title->_bounds.topLeft(), QPointF(40, 40));
        // The photo lies from 130 to 230: the title and the message's line above it, the date on it, narrowed
        // from the white card beside it onto the photo.
        QCOMPARE(date->_bounds.topLeft(), QPointF(40, 170));
        QCOMPARE(title->txt_clr, QColor(Qt::black));
        QCOMPARE(shown(front(), "PARTY_MSG")->txt_clr, QColor(Qt::black));
        QTEST(date->txt_clr, "overPhoto");
        const QImage shownCard = SKTRenderingView::image_From_Card_Graphics(
            front(), false, m_window->Front_card_Prop, Card_Shape, m_window->Front_card_Prop.Card_Size);
        QFETCH(QColor, overPhoto);
        int ink = 0; // pixels of the date's colour on the photo
        const QRect probe = date->_bounds.intersected(QRectF(40, 130, 424, 100)).toAlignedRect();
        for (int y = probe.top(); y <= probe.bottom(); ++y)
            for (int x = probe.left(); x <= probe.right(); ++x)
                ink += qAbs(qGray(shownCard.pixel(x, y)) - qGray(overPhoto.rgb())) < 60;
        QVERIFY2(ink > 30, qPrintable(QString::number(ink)));

        // A text colour the user chose for the side stays.
        front().clear();
        m_window->Front_card_Prop.Card_Content_clr = Qt::red;
        m_road->Fill_Party_Invidation_Details();
        QCOMPARE(shown(front(), "PARTY_DATE")->txt_clr, QColor(Qt::red));
    }
};

QTEST_MAIN(TestProfileRoad)
#include "test_profile_road.moc"
