#include "TestPictures.h"
#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "wizards/InvitationState.h"
#include "wizards/MainPhoto.h"
#include "wizards/ui/Export_Template.h"
#include "wizards/ui/FrameGalleryWidget.h"
#include "wizards/ui/Insert_Template.h"
#include "wizards/ui/Invitation_Wizard.h"
#include "wizards/ui/PhotoEditPanel.h"
#include "wizards/ui/Template_Browser.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

namespace {

// Presses the default button of the next modal dialog once it is shown.
void acceptNextDialog(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* w = QApplication::activeModalWidget();
        if (w)
            action(w);
    });
}

} // namespace

class TestWizardsUi : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompt m_prompt;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        Resource_Path = m_dir.path();
        QDir(m_dir.path()).mkpath(QStringLiteral("Frames"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Templates/User"));
        writeBytes(m_dir.filePath(QStringLiteral("Title.txt")), "Happy Birthday\nSave the Date\n");
        writeBytes(m_dir.filePath(QStringLiteral("Message.txt")), "Come and celebrate\n");
        writePicture(m_dir.filePath(QStringLiteral("Frames/Gold.png")), Qt::yellow);
        writePicture(m_dir.filePath(QStringLiteral("Frames/Blue.png")), Qt::blue);
        setPromptHandler(&m_prompt);
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }
    void init() {
        m_prompt.texts.clear();
        m_prompt.answer = true;
        resetInvitationState();
    }

    void readyTextPicker() {
        Insert_Template picker;
        picker.title_or_msg = QStringLiteral("T");
        picker.loadList();
        QCOMPARE(picker.list()->count(), 2);
        QCOMPARE(picker.editor()->toPlainText(), QStringLiteral("Happy Birthday"));
        picker.title_or_msg = QStringLiteral("M");
        picker.loadList();
        QCOMPARE(picker.list()->count(), 1);

        QVERIFY(!Insert_Template::acceptText(QStringLiteral("  \n ")));
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Please select message.")});
        QVERIFY(Insert_Template::acceptText(QStringLiteral("  Party time \n")));
        QCOMPARE(Template_Msg_Val, QStringLiteral("Party time"));

        acceptNextDialog([](QWidget* w) {
            auto* dlg = qobject_cast<Insert_Template*>(w);
            dlg->list()->setCurrentRow(1);
            QMetaObject::invokeMethod(dlg, "OKPressed");
        });
        picker.title_or_msg = QStringLiteral("T");
        QCOMPARE(picker.Open_Template_Dialog(), 1);
        QCOMPARE(Template_Msg_Val, QStringLiteral("Save the Date"));
    }

    void templateNameWindow() {
        const TemplateStore store;
        Export_Template window(store);
        // A blank name keeps the window open with a message; Cancel empties the field.
        acceptNextDialog([](QWidget* w) {
            auto* dlg = qobject_cast<Export_Template*>(w);
            dlg->template_name()->setText(QStringLiteral("   "));
            dlg->OKPressed();
            QVERIFY(dlg->isVisible());
            dlg->template_name()->setText(QStringLiteral("typed"));
            dlg->CancelPressed();
        });
        QCOMPARE(window.runNew(QString()), 0);
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Please enter template name.")});
        QVERIFY(window.template_name()->text().isEmpty());

        acceptNextDialog([](QWidget* w) {
            auto* dlg = qobject_cast<Export_Template*>(w);
            dlg->template_name()->setText(QStringLiteral(" Summer "));
            dlg->OKPressed();
        });
        QCOMPARE(window.runNew(QString()), 1);
        QCOMPARE(export_template_name, QStringLiteral("Summer"));
    }

    void templateBrowser() {
        const QString user = m_dir.filePath(QStringLiteral("Templates/User"));
        writeBytes(m_dir.filePath(QStringLiteral("Templates/Wedding.kvto")), "w");
        writePicture(m_dir.filePath(QStringLiteral("Templates/Wedding.png")), Qt::white);
        writeBytes(user + QStringLiteral("/Mine.kvto"), "m");
        Template_Browser browser;
        browser.Fill_Template_List();
        QCOMPARE(browser.list()->count(), 2);

        // Renaming a built-in template is not offered.
        browser.list()->setCurrentRow(0);
        QVERIFY(!browser.Rename_Template_Click());
        QVERIFY(!browser.Delete_Template_Click());

        // Copy the built-in template under a new name.
        acceptNextDialog([](QWidget* w) {
            auto* dlg = qobject_cast<Export_Template*>(w);
            dlg->template_name()->setText(QStringLiteral("Our Wedding"));
            dlg->OKPressed();
        });
        QVERIFY(browser.Copy_Template_Click());
        QCOMPARE(browser.list()->count(), 3);
        QVERIFY(QFileInfo::exists(user + QStringLiteral("/Our Wedding.kvto")));
        QVERIFY(QFileInfo::exists(user + QStringLiteral("/Our Wedding.png")));

        // Rename the user template "Mine" (sorted after "Our Wedding"? no: "Mine" < "Our Wedding").
        browser.list()->setCurrentRow(1);
        acceptNextDialog([](QWidget* w) {
            auto* dlg = qobject_cast<Export_Template*>(w);
            dlg->template_name()->setText(QStringLiteral("Zed"));
            dlg->OKPressed();
        });
        QVERIFY(browser.Rename_Template_Click());
        QVERIFY(QFileInfo::exists(user + QStringLiteral("/Zed.kvto")));
        QVERIFY(!QFileInfo::exists(user + QStringLiteral("/Mine.kvto")));

        // Delete asks first; No keeps the files.
        browser.list()->setCurrentRow(2);
        m_prompt.answer = false;
        QVERIFY(!browser.Delete_Template_Click());
        QVERIFY(QFileInfo::exists(user + QStringLiteral("/Zed.kvto")));
        m_prompt.answer = true;
        QVERIFY(browser.Delete_Template_Click());
        QVERIFY(!QFileInfo::exists(user + QStringLiteral("/Zed.kvto")));
        QCOMPARE(browser.list()->count(), 2);

        browser.list()->setCurrentRow(0);
        acceptNextDialog([](QWidget* w) { qobject_cast<Template_Browser*>(w)->Open_Template_Click(); });
        QCOMPARE(browser.Open_Wnd(), 1);
        QCOMPARE(browser.selectedDesignPath(),
                 QFileInfo(m_dir.filePath(QStringLiteral("Templates/Wedding.kvto"))).absoluteFilePath());
    }

    // "W": every page's answers end up in the globals and the card choice.
    void wizardNewCard() {
        Invitation_Wizard wizard;
        const QString photoPath = writePicture(m_dir.filePath(QStringLiteral("me.png")), Qt::red);
        acceptNextDialog([photoPath](QWidget* w) {
            auto* wiz = qobject_cast<Invitation_Wizard*>(w);
            QVERIFY(wiz->next()); // start page: new card
            QCOMPARE(wiz->currentPage(), int(Invitation_Wizard::TextPage));
            wiz->titleEdit()->setText(QStringLiteral(" Birthday Party "));
            wiz->toEdit()->setText(QStringLiteral("Anna"));
            wiz->messageEdit()->setPlainText(QStringLiteral("Come along"));
            wiz->dateEdit()->setDate(QDate(2027, 5, 12));
            wiz->timeCheck()->setChecked(false);
            wiz->venueEdit()->setPlainText(QStringLiteral("Town Hall"));
            wiz->fromEdit()->setText(QStringLiteral("Ben"));
            QVERIFY(wiz->next());
            QVERIFY(wiz->photoPanel()->loadFile(photoPath));
            PhotoSettings s;
            s.gray_Scale = true;
            s.rotate_image = 90;
            wiz->photoPanel()->setSettings(s);
            QVERIFY(wiz->next());
            QCOMPARE(wiz->frameList()->count(), 3); // "No frame" and two frames
            wiz->frameList()->setCurrentRow(2);
            QVERIFY(wiz->next());
            wiz->categoryCombo()->setCurrentText(QStringLiteral("Invitation"));
            wiz->sizeList()->setCurrentRow(0);
            wiz->portraitButton()->setChecked(true);
            wiz->shapeGroup()->button(1)->setChecked(true);
            QVERIFY(wiz->next());
        });
        QCOMPARE(wizard.Open_Wnd(), 1);
        QCOMPARE(wizard.mode(), QStringLiteral("W"));
        QCOMPARE(Invite_Title, QStringLiteral("Birthday Party"));
        QCOMPARE(Invite_To, QStringLiteral("Anna"));
        QCOMPARE(Invite_Message, QStringLiteral("Come along"));
        QCOMPARE(Invite_Date, QDate(2027, 5, 12).toString(Invitation_Wizard::DateFormat));
        QVERIFY(Invite_Time.isEmpty());
        QCOMPARE(Invite_Venue, QStringLiteral("Town Hall"));
        QCOMPARE(Invite_From, QStringLiteral("Ben"));
        QCOMPARE(Invite_Frame_Pic_IMG, photoPath);
        QCOMPARE(QFileInfo(Invite_Frame_IMG).fileName(), QStringLiteral("Gold.png"));
        QVERIFY(IMG_gray_Scale);
        QCOMPARE(IMG_rotate_image, 90.0f);
        QCOMPARE(wizard.photoOriginal().size(), QSize(40, 30));
        const CardChoice c = wizard.cardChoice();
        QCOMPARE(c.size, QSizeF(360, 504));
        QCOMPARE(c.orientation, QStringLiteral("Vertical"));
        QCOMPARE(c.shape, QStringLiteral("RR"));
        QCOMPARE(c.shapeNumber(), 1);
        QCOMPARE(c.catIndex, 0);
    }

    // The text page keeps its fields together at the top: the title field sits on the row of its label,
    // right above the next row, however tall the window is.
    void textPageRowsStayTogether() {
        Invitation_Wizard wizard;
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        QVERIFY(wizard.next());
        QApplication::processEvents();
        QLineEdit* title = wizard.titleEdit();
        QLineEdit* to = wizard.toEdit();
        const int titleY = title->mapTo(&wizard, QPoint(0, 0)).y();
        const int toY = to->mapTo(&wizard, QPoint(0, 0)).y();
        QVERIFY2(toY - titleY < 3 * title->height(), qPrintable(QStringLiteral("title at %1, to at %2").arg(titleY).arg(toY)));
        const int messageY = wizard.messageEdit()->mapTo(&wizard, QPoint(0, 0)).y();
        QVERIFY2(messageY - toY < 3 * title->height(), qPrintable(QStringLiteral("message at %1").arg(messageY)));
    }

    // The width and height fields name the card's size: the chosen preset's in either orientation, and
    // a custom size as typed, the orientation following it.
    void wizardSizeFieldsAgree() {
        Invitation_Wizard wizard;
        const double mmPerPoint = 0.3527777777778;
        auto fieldsAgree = [&] {
            const QSizeF size = wizard.cardChoice().size;
            return qAbs(wizard.customWidth()->value() - size.width() * mmPerPoint) < 0.051 &&
                   qAbs(wizard.customHeight()->value() - size.height() * mmPerPoint) < 0.051;
        };
        for (const QString& category : cardsize::categories()) {
            if (category == cardsize::CustomCategory)
                continue;
            wizard.categoryCombo()->setCurrentText(category);
            for (int row = 0; row < wizard.sizeList()->count(); ++row) {
                wizard.sizeList()->setCurrentRow(row);
                for (bool portrait : {false, true}) {
                    (portrait ? wizard.portraitButton() : wizard.landscapeButton())->setChecked(true);
                    QVERIFY2(fieldsAgree(), qPrintable(category + u' ' + wizard.sizeList()->item(row)->text()));
                }
            }
        }
        // A7 landscape, as a user picks it: 184.2 x 133.4 mm.
        wizard.categoryCombo()->setCurrentText(QStringLiteral("Invitation"));
        wizard.sizeList()->setCurrentRow(2);
        wizard.landscapeButton()->setChecked(true);
        QCOMPARE(wizard.customWidth()->value(), 184.2);
        QCOMPARE(wizard.customHeight()->value(), 133.4);

        // Custom starts from the size shown; the fields are the card's width and height as typed.
        wizard.categoryCombo()->setCurrentText(QStringLiteral("Custom"));
        QVERIFY(fieldsAgree());
        wizard.customWidth()->setValue(100);
        wizard.customHeight()->setValue(150);
        CardChoice c = wizard.cardChoice();
        QCOMPARE(c.orientation, QStringLiteral("Vertical"));
        QVERIFY(wizard.portraitButton()->isChecked());
        QVERIFY(qAbs(c.size.height() - 150 * 2.834645669291) < 1e-6);
        QVERIFY(fieldsAgree());
        // Turning the card swaps the fields with it.
        wizard.landscapeButton()->setChecked(true);
        c = wizard.cardChoice();
        QCOMPARE(c.orientation, QStringLiteral("Horizontal"));
        QCOMPARE(wizard.customWidth()->value(), 150.0);
        QVERIFY(fieldsAgree());
        QCOMPARE(c.catIndex, -1);
    }

    // The message and venue fields give Tab back to the dialog and type a tab on Ctrl+Tab; the "To:" field
    // says what the card adds around the name.
    void textPageKeys() {
        Invitation_Wizard wizard;
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        QVERIFY(wizard.next());
        QCOMPARE(wizard.toEdit()->placeholderText(), QStringLiteral("Friends and Family"));
        QVERIFY(wizard.toHint()->text().contains(QStringLiteral("\"Dear \" and \",\" are added")));
        wizard.toEdit()->setText(QStringLiteral("Anna"));
        QVERIFY(wizard.toHint()->text().endsWith(QStringLiteral("\"Dear Anna,\"")));
        for (QPlainTextEdit* field : {wizard.messageEdit(), wizard.venueEdit()}) {
            field->setFocus();
            QTRY_VERIFY(field->hasFocus());
            QTest::keyClicks(field, QStringLiteral("a"));
            QTest::keyClick(field, Qt::Key_Tab, Qt::ControlModifier);
            QTest::keyClicks(field, QStringLiteral("b"));
            QCOMPARE(field->toPlainText(), QStringLiteral("a\tb"));
            QTest::keyClick(field, Qt::Key_Tab);
            QVERIFY(!field->hasFocus());
            QCOMPARE(field->toPlainText(), QStringLiteral("a\tb"));
        }
    }

    // Ending the wizard ends the program: with answers typed it asks first, without it ends at once.
    void cancelAsksWhenTyped_data() {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("escape"); // Escape, or the Cancel button
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<bool>("ends");
        const QStringList asked{QStringLiteral("Quit NAVU Photo Frame?")};
        QTest::newRow("nothing typed, Escape") << false << true << false << QStringList() << true;
        QTest::newRow("nothing typed, Cancel") << false << false << false << QStringList() << true;
        QTest::newRow("typed, Escape, No") << true << true << false << asked << false;
        QTest::newRow("typed, Cancel, No") << true << false << false << asked << false;
        QTest::newRow("typed, Cancel, Yes") << true << false << true << asked << true;
    }
    void cancelAsksWhenTyped() {
        QFETCH(bool, typed);
        QFETCH(bool, escape);
        QFETCH(bool, yes);
        QFETCH(bool, ends);
        m_prompt.answer = yes;
        Invitation_Wizard wizard;
        bool stillOpen = false;
        acceptNextDialog([&](QWidget* w) {
            auto* wiz = qobject_cast<Invitation_Wizard*>(w);
            wiz->next();
            if (typed)
                QTest::keyClicks(wiz->messageEdit(), QStringLiteral("Come"));
            if (escape)
                QTest::keyClick(wiz, Qt::Key_Escape);
            else
                QTest::mouseClick(wiz->cancelButton(), Qt::LeftButton);
            stillOpen = wiz->isVisible();
            if (stillOpen)
                wiz->done(5);
        });
        const int result = wizard.Open_Wnd();
        QTEST(m_prompt.texts, "questions");
        QCOMPARE(!stillOpen, ends);
        QCOMPARE(result, ends ? 0 : 5);
    }

    void wizardCancelAndOpen() {
        Invitation_Wizard wizard;
        acceptNextDialog([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(wizard.Open_Wnd(), 0);

        // "L": a missing file keeps the wizard open; a refused design too; a loaded one ends it.
        QStringList opened;
        bool accept = false;
        wizard.openDesign = [&](const QString& path, bool asTemplate) {
            opened << (asTemplate ? QStringLiteral("template ") : QString()) + path;
            return accept;
        };
        const QString design = m_dir.filePath(QStringLiteral("card.kvto"));
        writeBytes(design, "x");
        acceptNextDialog([&](QWidget* w) {
            auto* wiz = qobject_cast<Invitation_Wizard*>(w);
            wiz->openDesignButton()->setChecked(true);
            wiz->designPathEdit()->setText(m_dir.filePath(QStringLiteral("none.kvto")));
            QVERIFY(!wiz->next());
            wiz->designPathEdit()->setText(design);
            QVERIFY(!wiz->next());
            QVERIFY(wiz->isVisible());
            accept = true;
            QVERIFY(wiz->next());
        });
        QCOMPARE(wizard.Open_Wnd(), 1);
        QCOMPARE(wizard.mode(), QStringLiteral("L"));
        QCOMPARE(opened, (QStringList{design, design}));
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Please select valid file path.")});
    }

    void frameGallery() {
        FrameGalleryWidget gallery;
        gallery.Load_and_fill_backgrounds(m_dir.filePath(QStringLiteral("Frames")));
        QCOMPARE(gallery.count(), 2);
        QCOMPARE(gallery.item(0)->text(), QStringLiteral("Blue"));
        QSignalSpy picked(&gallery, &FrameGalleryWidget::framePicked);
        QVERIFY(gallery.moveItemsAtIndexes({0}, 2));
        QCOMPARE(gallery.item(0)->text(), QStringLiteral("Gold"));
        QCOMPARE(gallery.item(1)->text(), QStringLiteral("Blue"));
        QCOMPARE(picked.count(), 0); // reordering picks nothing
        gallery.setCurrentRow(1);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(QFileInfo(picked.at(0).at(0).toString()).fileName(), QStringLiteral("Blue.png"));
        QCOMPARE(gallery.selected_image(), picked.at(0).at(0).toString());
        QTest::keyClick(&gallery, Qt::Key_Delete);
        QCOMPARE(gallery.count(), 2);
        // A missing folder leaves the gallery as it was.
        gallery.Load_and_fill_backgrounds(m_dir.filePath(QStringLiteral("NoFrames")));
        QCOMPARE(gallery.count(), 2);
    }

    void editPhotoPage() {
        MainPhoto photo;
        const QString first = writePicture(m_dir.filePath(QStringLiteral("p1.png")), Qt::red);
        const QString second = writePicture(m_dir.filePath(QStringLiteral("p2.png")), Qt::green);
        QVERIFY(photo.Update_frame_Main_Photo_And_Path(first, true));
        Invitation_Wizard wizard;

        // Cancel changes nothing.
        acceptNextDialog([second](QWidget* w) {
            auto* wiz = qobject_cast<Invitation_Wizard*>(w);
            QCOMPARE(wiz->currentPage(), int(Invitation_Wizard::PhotoPage));
            QCOMPARE(wiz->photoPanel()->path(), Invite_Frame_Pic_IMG);
            wiz->photoPanel()->loadFile(second);
            wiz->reject();
        });
        QCOMPARE(wizard.Open_Wnd_For_Edit_Photo(photo), 0);
        QCOMPARE(Invite_Frame_Pic_IMG, first);
        QCOMPARE(photo.Main_Photo_image().image().pixelColor(1, 1), QColor(Qt::red));

        // A picture that does not load keeps the previous one, and is refused as every road refuses it: once,
        // by the file's name. OK stores the new photo and settings.
        const QString broken = m_dir.filePath(QStringLiteral("broken.png"));
        writeBytes(broken, "no picture");
        acceptNextDialog([this, second, broken](QWidget* w) {
            auto* wiz = qobject_cast<Invitation_Wizard*>(w);
            m_prompt.texts.clear();
            QVERIFY(!wiz->photoPanel()->loadFile(broken));
            QString why;
            QVERIFY(SKTImage::loadPicture(broken, &why).isNull());
            QCOMPARE(m_prompt.texts, QStringList{why});
            QVERIFY2(why.startsWith(QStringLiteral("broken.png: ")) && !why.contains(m_dir.path()), qPrintable(why));
            QCOMPARE(wiz->photoPanel()->path(), Invite_Frame_Pic_IMG);
            QVERIFY(wiz->photoPanel()->loadFile(second));
            PhotoSettings s;
            s.invert_clr = true;
            wiz->photoPanel()->setSettings(s);
            QVERIFY(!wiz->photoPanel()->previewImage().isNull());
            wiz->next();
        });
        QCOMPARE(wizard.Open_Wnd_For_Edit_Photo(photo), 1);
        QCOMPARE(Invite_Frame_Pic_IMG, second);
        QVERIFY(IMG_invert_clr);
        QCOMPARE(photo.original().image().pixelColor(1, 1), QColor(Qt::green));
        QCOMPARE(photo.Main_Photo_image().image().pixelColor(1, 1), QColor(255, 0, 255)); // green inverted

        // A large photo's preview is made off the window's thread: the page opens at once with a wait sign,
        // a change made meanwhile is kept and shown once the preview is in; the same photo again shows at once.
        const QString large = writePicture(m_dir.filePath(QStringLiteral("large.png")), Qt::blue, QSize(1600, 1200));
        QVERIFY(photo.Update_frame_Main_Photo_And_Path(large, true));
        setCurrentPhotoSettings(PhotoSettings{});
        for (const bool first : {true, false}) {
            acceptNextDialog([first](QWidget* w) {
                PhotoEditPanel* panel = qobject_cast<Invitation_Wizard*>(w)->photoPanel();
                QCOMPARE(panel->previewPending(), first);
                QCOMPARE(panel->previewImage().isNull(), first);
                panel->setSettings(PhotoSettings{.invert_clr = first});
                QTRY_VERIFY(!panel->previewPending());
                QCOMPARE(panel->previewImage().pixelColor(1, 1), first ? QColor(255, 255, 0) : QColor(Qt::blue));
                qobject_cast<Invitation_Wizard*>(w)->next();
            });
            QCOMPARE(wizard.Open_Wnd_For_Edit_Photo(photo), 1);
            QCOMPARE(IMG_invert_clr, first);
            QCOMPARE(Invite_Frame_Pic_IMG, large);
        }
    }
};

QTEST_MAIN(TestWizardsUi)
#include "test_wizards_ui.moc"
