#include "TestPictures.h"
#include "app/SKTWindowController.h"
#include "app/ScriptedPrompt.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/ItemPainting.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "wizards/CardSizePresets.h"
#include "wizards/InvitationLayout.h"
#include "wizards/InvitationState.h"
#include "wizards/ui/FrameGalleryWidget.h"
#include "wizards/ui/Invitation_Wizard.h"
#include "wizards/ui/PhotoEditPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QSemaphore>
#include <QThreadPool>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

namespace {

void scriptWizard(std::function<void(Invitation_Wizard*)> answer, int triesLeft = 500) {
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [answer, triesLeft] {
        if (auto* w = qobject_cast<Invitation_Wizard*>(QApplication::activeModalWidget()))
            answer(w);
        else if (triesLeft > 0)
            scriptWizard(answer, triesLeft - 1);
    });
}

// Whether most pixels under area are dark (the photos here are near-black or light, the card white).
bool mostlyDark(const QImage& card, const QRectF& area) {
    const QRect cells = area.toAlignedRect().intersected(card.rect());
    qint64 dark = 0;
    for (int y = cells.top(); y <= cells.bottom(); ++y)
        for (int x = cells.left(); x <= cells.right(); ++x)
            dark += qGray(card.pixel(x, y)) < 128;
    return 2 * dark > qint64(cells.width()) * cells.height();
}

} // namespace

class TestInvitationWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompt m_prompt;
    SKTDocument* m_doc = nullptr;
    SKTWindowController* m_window = nullptr;
    StartRoadController* m_road = nullptr;
    QString m_title; // of the wizard's window as last shown

    // IDs of the texts (but the exempt) not white exactly where mostly dark lies under them, or cut by
    // their box; counts the white ones.
    QString misreadTexts(const GraphicList& exempt = {}, int* white = nullptr) {
        const GraphicList& items = m_window->Get_Front_Controls_Array();
        const QImage card = cardUnderTexts(items, m_window->Front_card_Prop, Card_Shape);
        QStringList misread;
        for (const GraphicPtr& t : items)
            if (t->kind() == GraphicKind::Text && !exempt.contains(t)) {
                if ((t->txt_clr == QColor(Qt::white)) != mostlyDark(card, drawnTextArea(*t)) ||
                    ItemPainting::naturalTextSize(*t, t->_bounds.width()).height() > t->_bounds.height())
                    misread << t->control_ID;
                if (white)
                    *white += t->txt_clr == QColor(Qt::white);
            }
        return misread.join(QLatin1Char(' '));
    }

    GraphicPtr byId(const QString& id) const {
        for (const GraphicPtr& g : m_window->Get_Front_Controls_Array())
            if (g->control_ID == id)
                return g;
        return nullptr;
    }
    QList<QColor> textColours() const {
        QList<QColor> out;
        for (const GraphicPtr& g : m_window->Get_Front_Controls_Array())
            if (g->kind() == GraphicKind::Text)
                out << g->txt_clr;
        return out;
    }
    // Changes the photo in Edit Main Photo, a window of its own title.
    void editPhoto(const std::function<void(PhotoSettings&, PhotoEditPanel*)>& change) {
        scriptWizard([change, this](Invitation_Wizard* w) {
            m_title = w->windowTitle();
            PhotoSettings s;
            change(s, w->photoPanel());
            w->photoPanel()->setSettings(s);
            w->next();
        });
        m_road->Edit_Main_Photo_Button();
        QCOMPARE(m_title, QStringLiteral("NAVU Photo Frame - Edit Main Photo"));
    }
    QString halfDarkPhoto(const QString& name, bool darkTop) {
        QImage picture = filledImage(QSize(600, 400), QColor(235, 232, 220));
        QPainter(&picture).fillRect(QRect(0, darkTop ? 0 : 200, 600, 200), QColor(18, 16, 20));
        const QString path = m_dir.filePath(name);
        picture.save(path);
        return path;
    }

    bool buildCard(const QString& photo, const QString& category, int row, bool portrait) {
        scriptWizard([=, this](Invitation_Wizard* w) {
            m_title = w->windowTitle();
            w->next();
            w->titleEdit()->setText(QStringLiteral("Birthday Party"));
            w->toEdit()->setText(QStringLiteral("Cousins"));
            w->messageEdit()->setPlainText(QStringLiteral("Come and celebrate with us"));
            w->venueEdit()->setPlainText(QStringLiteral("Town Hall"));
            w->fromEdit()->setText(QStringLiteral("Ben"));
            w->next();
            w->photoPanel()->loadFile(photo);
            w->next();
            w->frameList()->setCurrentRow(0);
            w->next();
            w->categoryCombo()->setCurrentText(category);
            w->sizeList()->setCurrentRow(row);
            (portrait ? w->portraitButton() : w->landscapeButton())->setChecked(true);
            w->next();
        });
        return runStartRoad(*m_road) == StartOutcome::NewCard && m_title == QStringLiteral("NAVU Photo Frame - Start");
    }

private slots:
    void initTestCase() {
        Resource_Path = m_dir.path();
        Data_Folder_Path = m_dir.filePath(QStringLiteral("DataSet"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Frames"));
        writePicture(m_dir.filePath(QStringLiteral("Frames/Blue.png")), Qt::blue);
        writePicture(m_dir.filePath(QStringLiteral("Frames/Gold.png")), Qt::yellow);
        setPromptHandler(&m_prompt);
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }
    void init() {
        m_doc = new SKTDocument;
        m_window = new SKTWindowController(m_doc);
        m_road = new StartRoadController(*m_window);
        m_road->designCommands().quitApplication = [] {};
    }
    void cleanup() {
        delete m_road;
        delete m_window;
        delete m_doc;
    }

    // The wizard shows before its frame's preview, made on a worker (all busy here until it shows).
    void wizardShowsBeforeItsFramePreview() {
        const QString frame = writePicture(m_dir.filePath(QStringLiteral("Frames/Aaa.png")), Qt::green, QSize(600, 400));
        QThreadPool* pool = QThreadPool::globalInstance();
        const int workers = pool->maxThreadCount();
        QSemaphore held;
        for (int i = 0; i < workers; ++i)
            pool->start([&held] { held.tryAcquire(1, 10000); }); // a wizard that waits for them shows late
        bool shownWithout = false, shownLater = false;
        scriptWizard([&](Invitation_Wizard* w) {
            shownWithout = w->frameList()->currentItem()->data(Qt::UserRole).toString() == frame &&
                           w->framePreview()->pixmap().isNull();
            held.release(workers);
            shownLater = QTest::qWaitFor([w] { return !w->framePreview()->pixmap().isNull(); }, 5000);
            w->reject();
        });
        QCOMPARE(runStartRoad(*m_road), StartOutcome::Quit);
        QVERIFY(QFile::remove(frame));
        QVERIFY(shownWithout);
        QVERIFY(shownLater);

        // Thumbnails, however many, take one worker at a time.
        QListWidget list;
        for (int i = 0; i < 2 * workers; ++i)
            (new QListWidgetItem(&list))
                ->setData(Qt::UserRole, writePicture(m_dir.filePath(QStringLiteral("big%1.png").arg(i)), Qt::red, {2000, 2000}));
        showThumbnailsWhenMade(&list, 80);
        int free = 0;
        for (int i = 1; i < workers; ++i)
            free += pool->tryStart([] {});
        QCOMPARE(free, workers - 1);
        const auto made = [&list] { return QColor(list.item(0)->icon().pixmap(80).toImage().pixel(40, 40)) == Qt::red; };
        QVERIFY(QTest::qWaitFor(made, 20000));
    }

    // On every preset card, portrait and landscape, with a photo near-black in one half.
    void textsReadOnEveryPreset_data() {
        QTest::addColumn<bool>("darkTop");
        QTest::newRow("dark top") << true;
        QTest::newRow("dark bottom") << false;
    }
    void textsReadOnEveryPreset() {
        QFETCH(bool, darkTop);
        const QString photo = halfDarkPhoto(QStringLiteral("half.png"), darkTop);
        QStringList misread;
        int white = 0;
        for (const CardSizePreset& size : cardsize::presets())
            for (bool portrait : {false, true}) {
                QVERIFY(buildCard(photo, size.category, cardsize::indexOf(size.category, size.subCategory), portrait));
                if (const QString texts = misreadTexts({}, &white); !texts.isEmpty())
                    misread << QStringLiteral("%1 %2%3: %4").arg(size.category, size.subCategory, portrait ? " portrait" : "", texts);
            }
        QVERIFY2(misread.isEmpty(), qPrintable(misread.join(QLatin1Char('\n'))));
        QVERIFY(white > 0);
    }

    // Each change of the main photo recolours the texts that follow it, in one undo step; a text coloured
    // by hand keeps its colour, and so do all once the side's text colour was chosen.
    void textsFollowTheEditedPhoto() {
        const QString photo = halfDarkPhoto(QStringLiteral("top.png"), true);
        const QString bottom = halfDarkPhoto(QStringLiteral("bottom.png"), false);
        QVERIFY(buildCard(photo, QStringLiteral("Invitation"), 0, false));
        const GraphicPtr red = byId(QStringLiteral("PARTY_MSG"));
        const GraphicPtr dear = byId(QStringLiteral("PARTY_TO"));
        QCOMPARE(dear->txt_clr, QColor(Qt::white)); // "Dear Cousins," on the dark top
        red->txt_clr = Qt::red;
        const QList<QColor> built = textColours();
        const auto edit = [this](auto set) { return [this, set] { editPhoto(set); }; };
        const QList<std::pair<const char*, std::function<void()>>> changes{
            {"inverted", edit([](PhotoSettings& s, PhotoEditPanel*) { s.invert_clr = true; })},
            {"turned", edit([](PhotoSettings& s, PhotoEditPanel*) { s.rotate_image = 90; })},
            {"darkened", edit([](PhotoSettings& s, PhotoEditPanel*) { s.brt_val = -0.9f; })},
            {"another file", edit([bottom](PhotoSettings&, PhotoEditPanel* p) { p->loadFile(bottom); })},
            // chosen on the picture page or by a data source, in the step they record
            {"chosen elsewhere", [&] { m_window->recordCardEdit({}, 0, [&] { ::Update_frame_Main_Photo_And_Path(bottom, true); }); }},
        };
        for (const auto& [name, change] : changes) {
            change();
            QVERIFY2(misreadTexts({red}).isEmpty(), qPrintable(name + QStringLiteral(": ") + misreadTexts({red})));
            QVERIFY2(textColours() != built && red->txt_clr == QColor(Qt::red), name);
            m_doc->undoManager()->undo();
            QCOMPARE(textColours(), built);
        }

        dear->txt_clr = Qt::black;
        std::get<1>(changes[2])();
        QCOMPARE(dear->txt_clr, QColor(Qt::black));
        m_window->Front_card_Prop.Card_Content_clr = Qt::darkGreen;
        const QList<QColor> before = textColours();
        std::get<1>(changes[0])();
        QCOMPARE(textColours(), before);
    }

    // The gallery shows the card's frame after Undo and Redo; a click on the frame shown selected picks it.
    void galleryShowsTheCardsFrame() {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        FrameGalleryWidget* gallery = m_road->gallery();
        QUndoStack* undo = m_doc->undoManager();
        const auto click = [gallery](const QString& name) {
            const QListWidgetItem* item = gallery->findItems(name, Qt::MatchExactly).value(0);
            QTest::mouseClick(gallery->viewport(), Qt::LeftButton, {}, gallery->visualItemRect(item).center());
        };
        const auto shown = [gallery] { return gallery->selectedItems().isEmpty() ? QString() : gallery->selectedItems()[0]->text(); };
        // Each step, then the frame of the card and the one the gallery shows.
        const QList<std::pair<std::function<void()>, QString>> steps{
            {[&] { click(QStringLiteral("Gold")); }, QStringLiteral("Gold")},
            {[&] { click(QStringLiteral("Blue")); }, QStringLiteral("Blue")},
            {[&] { undo->undo(); }, QStringLiteral("Gold")},
            {[&] { undo->undo(); }, QString()},
            {[&] { undo->redo(), undo->redo(); }, QStringLiteral("Blue")},
            // the frame's item given another picture elsewhere: a click on the entry still selected applies it
            {[&] { byId(QStringLiteral("PARTY_IMAGE_BG"))->_file_path = m_dir.filePath(QStringLiteral("elsewhere.png")); QCOMPARE(shown(), QStringLiteral("Blue")); click(QStringLiteral("Blue")); }, QStringLiteral("Blue")},
        };
        for (const auto& [step, frame] : steps) {
            step();
            const GraphicPtr item = byId(QStringLiteral("PARTY_IMAGE_BG"));
            QCOMPARE(item ? QFileInfo(item->_file_path).completeBaseName() : QString(), frame);
            QCOMPARE(shown(), frame);
        }
    }
};

QTEST_MAIN(TestInvitationWindow)
#include "test_invitation_window.moc"
