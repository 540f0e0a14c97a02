// A model-based random editing run through the real main window at 1366 x 768: seeded random edits (every
// item kind drawn with its tool, the inspector's controls, arrange, clipboard, lock, order, sides, the card's
// frame chosen, moved, resized and pasted, card backgrounds, undo and redo, save and reopen). After every step the design is compared with the model of the undo history: a
// new step must be undone and redone exactly, an action that adds no step must change nothing, undo and
// redo must land on the states recorded for their index, a design that differs from the saved one must
// count as modified, and save and reopen must give the same file again.
//
// CI runs the seeds below with a few hundred steps in all. A longer run, for example
//   QTEST_FUNCTION_TIMEOUT=86400000 NAVU_RANDOM_SEEDS=1-200 NAVU_RANDOM_STEPS=2000 (then run
//   build/tests/app/test_random_edits)
// prints how many steps it went without a failure. NAVU_RANDOM_DUMP=1 also prints every step and, when the
// design changes without a step, writes the state expected and the state found to /tmp/random_*.txt.

#include "TestPictures.h"
#include "../canvas_ui/ViewDriver.h"

#include "app/SKTWindowController.h"
#include "app/designfile/DesignFile.h"
#include "app/inspector/InspectorPanel.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/ItemArchive.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

namespace {

class QuietPrompt : public PromptHandler {
public:
    void message(const QString&) override {}
    bool yesNo(const QString&) override { return false; }
    PromptAnswer yesNoCancel(const QString&) override { return PromptAnswer::No; }
};

// Seeds and steps: "1-3" or "4,9"; the defaults are CI's short run.
QList<quint32> seedList() {
    const QString spec = qEnvironmentVariable("NAVU_RANDOM_SEEDS", QStringLiteral("11,23,57"));
    QList<quint32> seeds;
    for (const QString& part : spec.split(u',', Qt::SkipEmptyParts)) {
        const QStringList range = part.split(u'-');
        const quint32 from = range.value(0).toUInt();
        const quint32 to = range.size() > 1 ? range.value(1).toUInt() : from;
        for (quint32 s = from; s <= to; ++s)
            seeds << s;
    }
    return seeds;
}

int stepsPerSeed() { return qEnvironmentVariableIntValue("NAVU_RANDOM_STEPS") > 0
                                ? qEnvironmentVariableIntValue("NAVU_RANDOM_STEPS") : 110; }

} // namespace

class TestRandomEdits : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QuietPrompt m_prompt;
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;
    StartRoadController* road = nullptr;
    QRandomGenerator m_rng;
    QString m_picture;
    QStringList m_frames;
    QString m_failure;
    QString m_action;
    // The model: the design as it stood at each index of the undo stack.
    QList<QByteArray> m_states;
    QByteArray m_savedFile;
    int m_pushes = 0; // pushes and merges seen during the current action

    int pick(int n) { return n <= 0 ? 0 : int(m_rng.bounded(quint32(n))); }
    double real(double lo, double hi) { return lo + m_rng.generateDouble() * (hi - lo); }
    QUndoStack* undo() { return doc->undoManager(); }

    // The file's content in its XML form (the binary form may lay out equal content differently).
    QByteArray fileBytes() { return designfile::toBytes(road->designCommands().captureDesign(), true); }
    // The file's bytes and, beyond them, what the file rounds: exact bounds and card sizes.
    QByteArray exactState() {
        QByteArray s = fileBytes();
        for (CardSide side : {CardSide::Front, CardSide::Back})
            for (const GraphicPtr& g : doc->graphicsOf(side)) {
                const QRectF r = g->bounds();
                s += QByteArray::number(r.x(), 'g', 17) + ' ' + QByteArray::number(r.y(), 'g', 17) + ' ' +
                     QByteArray::number(r.width(), 'g', 17) + ' ' + QByteArray::number(r.height(), 'g', 17) +
                     ' ' + QByteArray::number(g->_strokeWidth, 'g', 17) + ' ' +
                     QByteArray::number(g->_fill_grad_angle, 'g', 17) + ';';
            }
        for (const Card_Property* p : {&wnd->Front_card_Prop, &wnd->Back_card_Prop})
            s += QByteArray::number(p->Card_Size.width(), 'g', 17) + 'x' +
                 QByteArray::number(p->Card_Size.height(), 'g', 17) + ';';
        return s;
    }

    bool fail(const QString& why) {
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("%1 (after: %2)").arg(why, m_action);
        return false;
    }

    SKTGraphicView* view() { return wnd->currentGraphicView(); }

    // ---- actions --------------------------------------------------------------------------------------

    void drawItem() {
        static const int tools[] = {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15};
        const int tool = tools[pick(int(std::size(tools)))];
        m_action = QStringLiteral("draw with tool %1").arg(tool);
        wnd->toolAction(tool)->trigger();
        const QSizeF card = doc->canvasSize();
        const QPointF a(real(5, card.width() - 60), real(5, card.height() - 40));
        const QPointF b = a + QPointF(real(15, 120), real(10, 80));
        viewdriver::drag(view(), view()->mapFromCanvas(a), view()->mapFromCanvas(b));
        wnd->selectArrowTool();
    }

    void placePicture() {
        m_action = QStringLiteral("picture from file");
        wnd->choosePictureFile = [this] { return m_picture; };
        wnd->toolAction(8)->trigger();
        // The picture goes where the next click is.
        const QSizeF card = doc->canvasSize();
        viewdriver::click(view(), view()->mapFromCanvas(QPointF(real(5, card.width() - 60), real(5, card.height() - 40))));
    }

    void selectSomething() {
        const GraphicList items = view()->graphics();
        const int how = pick(4);
        if (how == 0 || items.isEmpty()) {
            m_action = QStringLiteral("select all");
            wnd->Select_All_Clicked();
            return;
        }
        const GraphicPtr g = items.at(pick(int(items.size())));
        m_action = QStringLiteral("click an item (%1)").arg(how);
        viewdriver::click(view(), view()->mapFromCanvas(g->bounds().center()),
                          how == 3 ? Qt::ShiftModifier : Qt::NoModifier);
        if (how == 2) {
            m_action = QStringLiteral("drag an item");
            const QPointF c = view()->mapFromCanvas(g->bounds().center());
            viewdriver::drag(view(), c, c + QPointF(real(-30, 30), real(-30, 30)));
        }
    }

    void moveByKeysOrDelta() {
        if (pick(2) == 0) {
            m_action = QStringLiteral("move by a fraction");
            view()->moveSelectionBy(QPointF(real(-3, 3), real(-3, 3)));
        } else {
            static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
            m_action = QStringLiteral("arrow key");
            view()->setFocus();
            QTest::keyClick(view(), keys[pick(4)], pick(2) ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }

    void command() {
        static const char* names[] = {"Align_Left", "Align_Right", "Align_Top", "Align_Bottom", "Align_Horz",
                                      "Align_Vert", "Align_Center", "Make_Same_Width", "Make_Same_Height",
                                      "Make_Natural", "Duplicate_Action"};
        const int which = pick(int(std::size(names)) + 8);
        if (which < int(std::size(names))) {
            m_action = QString::fromLatin1(names[which]);
            if (QAction* a = wnd->findChild<QAction*>(QLatin1String(names[which])); a && a->isEnabled())
                a->trigger();
            return;
        }
        QAction* edits[] = {wnd->Cut_btn, wnd->Copy_btn, wnd->Paste_btn, wnd->Delete_btn, wnd->Begin_Front_btn,
                            wnd->Send_Back_btn, wnd->Lock_btn, wnd->Unlock_btn};
        QAction* a = edits[which - int(std::size(names))];
        m_action = a->objectName();
        if (a->isEnabled())
            a->trigger();
    }

    // The card's frame: chosen from the gallery, then moved, resized, copied and pasted, or duplicated like
    // any item, and a card background set over it.
    void chooseFrame() {
        m_action = QStringLiteral("choose frame");
        road->framePicked(m_frames.at(pick(int(m_frames.size()))));
    }

    void editFrame() {
        GraphicPtr frame;
        for (const GraphicPtr& g : view()->graphics())
            if (g->control_ID == QLatin1String("PARTY_IMAGE_BG"))
                frame = g;
        if (!frame) {
            m_action = QStringLiteral("frame (none on this side)");
            return;
        }
        view()->setSelectionIndexes({view()->graphics().indexOf(frame)});
        wnd->Show_RHS_Properties(frame);
        view()->setFocus();
        switch (pick(4)) {
        case 0:
            m_action = QStringLiteral("move the frame by keys");
            QTest::keyClick(view(), pick(2) ? Qt::Key_Right : Qt::Key_Down, Qt::ShiftModifier);
            break;
        case 1: {
            m_action = QStringLiteral("resize the frame");
            const QPointF corner = view()->mapFromCanvas(frame->bounds().bottomRight());
            viewdriver::drag(view(), corner, corner - QPointF(real(10, 60), real(10, 40)));
            break;
        }
        case 2:
            m_action = QStringLiteral("copy and paste the frame");
            wnd->Copy_Clicked();
            wnd->Paste_Clicked();
            break;
        default:
            m_action = QStringLiteral("duplicate the frame");
            view()->duplicate();
            break;
        }
    }

    void cardBackground() {
        m_action = QStringLiteral("card background");
        InspectorPanel* panel = wnd->inspector();
        panel->chooseFile = [this](const QString&, const QStringList&) { return m_frames.at(pick(int(m_frames.size()))); };
        view()->Clear_Control_Selection();
        wnd->Show_RHS_Properties(nullptr);
        panel->Card_Image_Browse_Btn();
    }

    void switchSide() {
        const int side = pick(3);
        m_action = QStringLiteral("side %1").arg(side);
        wnd->findChild<QAction*>(QStringLiteral("side_%1").arg(side))->trigger();
    }

    // One control of the inspector's shown page, as a user would change it.
    void inspectorControl() {
        InspectorPanel* panel = wnd->inspector();
        QTabWidget* tabs = panel->sett_tab;
        if (!tabs->isEnabled() || tabs->count() == 0) {
            m_action = QStringLiteral("inspector (disabled)");
            return;
        }
        tabs->setCurrentIndex(pick(tabs->count()));
        QWidget* page = tabs->currentWidget();
        QList<QWidget*> controls;
        const QList<QWidget*> all = page->findChildren<QWidget*>();
        for (QWidget* w : all) {
            if (!w->isEnabled() || !w->isVisibleTo(page))
                continue;
            const QString name = w->objectName();
            // The data source changes bindings to series the test has not made.
            if (name == QLatin1String("Data_source_type") || name == QLatin1String("Batch_Series"))
                continue;
            if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QSlider*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w) ||
                qobject_cast<QPlainTextEdit*>(w) || name == QLatin1String("Apply_Size_btn"))
                controls << w;
        }
        if (controls.isEmpty()) {
            m_action = QStringLiteral("inspector (no control)");
            return;
        }
        QWidget* w = controls.at(pick(int(controls.size())));
        m_action = QStringLiteral("inspector %1").arg(w->objectName());
        if (auto* d = qobject_cast<QDoubleSpinBox*>(w))
            pick(2) ? d->stepBy(pick(2) ? 1 : -1) : d->setValue(real(d->minimum(), std::min(d->maximum(), 300.0)));
        else if (auto* i = qobject_cast<QSpinBox*>(w))
            pick(2) ? i->stepBy(pick(2) ? 1 : -1) : i->setValue(i->minimum() + pick(std::min(i->maximum() - i->minimum(), 60) + 1));
        else if (auto* s = qobject_cast<QSlider*>(w))
            s->setValue(s->minimum() + pick(s->maximum() - s->minimum() + 1));
        else if (auto* c = qobject_cast<QComboBox*>(w))
            c->setCurrentIndex(pick(c->count()));
        else if (auto* t = qobject_cast<QPlainTextEdit*>(w))
            t->setPlainText(QStringLiteral("Text %1").arg(pick(1000)));
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->click();
    }

    void saveAndReopen() {
        m_action = QStringLiteral("save and reopen");
        const QString path = m_dir.filePath(QStringLiteral("random.kvto"));
        const QByteArray before = fileBytes();
        if (!road->designCommands().Save_project_file(path, false)) {
            fail(QStringLiteral("save failed"));
            return;
        }
        if (doc->isModified())
            fail(QStringLiteral("modified after a save"));
        if (!road->designCommands().openDesignFile(path)) {
            fail(QStringLiteral("reopen failed"));
            return;
        }
        const QByteArray after = fileBytes();
        if (after != before && qEnvironmentVariableIsSet("NAVU_RANDOM_DUMP")) {
            QFile a(QStringLiteral("/tmp/random_before.xml")), b(QStringLiteral("/tmp/random_after.xml"));
            if (a.open(QIODevice::WriteOnly) && b.open(QIODevice::WriteOnly)) {
                b.write(after);
                a.write(before);
            }
        }
        if (after != before)
            fail(QStringLiteral("save and reopen changed the design (%1 -> %2 bytes)")
                     .arg(before.size())
                     .arg(after.size()));
        m_states = {exactState()};
        m_savedFile = after;
    }

    // ---- checks ---------------------------------------------------------------------------------------

    bool undoRedoTo(bool isUndo) {
        const int from = undo()->index();
        if (isUndo ? !undo()->canUndo() : !undo()->canRedo())
            return true;
        isUndo ? wnd->Undo_Clicked() : wnd->Redo_Clicked();
        const int to = undo()->index();
        if (to != from + (isUndo ? -1 : 1))
            return fail(QStringLiteral("undo/redo moved from %1 to %2").arg(from).arg(to));
        if (exactState() != m_states.value(to))
            return fail(QStringLiteral("%1 to step %2 did not land exactly").arg(isUndo ? "undo" : "redo").arg(to));
        return true;
    }

    // After an action: the model follows the stack, and a new step is undone and redone exactly.
    bool checkAfterAction(int indexBefore, int countBefore) {
        const QByteArray now = exactState();
        const int index = undo()->index();
        if (index == indexBefore + 1) {
            m_states.resize(indexBefore + 1);
            m_states.append(now);
            if (!undoRedoTo(true) || !undoRedoTo(false))
                return false;
        } else if (index == indexBefore && undo()->count() <= countBefore) {
            // A step merged into the last one (a stepper, typing; steps that could be redone are dropped),
            // or no step at all.
            if (undo()->count() < countBefore)
                m_states.resize(index + 1);
            if (now != m_states.value(index)) {
                if (m_pushes == 0) {
                    if (qEnvironmentVariableIsSet("NAVU_RANDOM_DUMP")) {
                        QFile a(QStringLiteral("/tmp/random_before.txt")), b(QStringLiteral("/tmp/random_after.txt"));
                        if (a.open(QIODevice::WriteOnly) && b.open(QIODevice::WriteOnly)) {
                            a.write(m_states.value(index));
                            b.write(now);
                        }
                    }
                    return fail(QStringLiteral("the design changed without an undo step"));
                }
                m_states[index] = now;
            }
        } else if (index != indexBefore || undo()->count() > countBefore) {
            return fail(QStringLiteral("one action moved the stack from %1 to %2").arg(indexBefore).arg(index));
        }
        if (fileBytes() != m_savedFile && !doc->isModified())
            return fail(QStringLiteral("a changed design does not count as modified"));
        return true;
    }

    bool runSeed(quint32 seed, int steps, int* done) {
        m_rng.seed(seed);
        road->New_Project();
        m_states = {exactState()};
        m_savedFile = fileBytes();
        for (int step = 0; step < steps; ++step) {
            *done = step;
            const int indexBefore = undo()->index();
            const int countBefore = undo()->count();
            const int roll = pick(112);
            m_pushes = 0;
            if (roll >= 100) {
                roll < 102 ? chooseFrame() : roll < 109 ? editFrame() : cardBackground();
            } else if (roll < 12) {
                if (doc->graphicsOf(CardSide::Front).size() + doc->graphicsOf(CardSide::Back).size() < 30)
                    drawItem();
            } else if (roll < 14) {
                placePicture();
            } else if (roll < 30) {
                selectSomething();
            } else if (roll < 38) {
                moveByKeysOrDelta();
            } else if (roll < 52) {
                command();
            } else if (roll < 57) {
                switchSide();
            } else if (roll < 80) {
                inspectorControl();
            } else if (roll < 88) {
                m_action = QStringLiteral("undo");
                if (!undoRedoTo(true))
                    return false;
                continue;
            } else if (roll < 94) {
                m_action = QStringLiteral("redo");
                if (!undoRedoTo(false))
                    return false;
                continue;
            } else if (roll < 96) {
                saveAndReopen();
                if (!m_failure.isEmpty())
                    return false;
                continue;
            } else {
                m_action = QStringLiteral("undo everything and redo it");
                while (undo()->canUndo())
                    if (!undoRedoTo(true))
                        return false;
                while (undo()->canRedo())
                    if (!undoRedoTo(false))
                        return false;
                continue;
            }
            if (qEnvironmentVariableIsSet("NAVU_RANDOM_DUMP"))
                qInfo("step %d: %s (stack %d)", step, qPrintable(m_action), undo()->index());
            if (!m_failure.isEmpty() || !checkAfterAction(indexBefore, countBefore))
                return false;
        }
        *done = steps;
        return true;
    }

private slots:
    void initTestCase() {
        Resource_Path = m_dir.path();
        Data_Folder_Path = m_dir.filePath(QStringLiteral("DataSet"));
        setPromptHandler(&m_prompt);
        QImage pic = filledImage(QSize(48, 32), Qt::darkGreen);
        m_picture = m_dir.filePath(QStringLiteral("pic.png"));
        QVERIFY(pic.save(m_picture));
        for (const QColor c : {QColor(Qt::darkRed), QColor(Qt::darkBlue)}) {
            m_frames << m_dir.filePath(QStringLiteral("frame_%1.png").arg(c.name().mid(1)));
            QVERIFY(filledImage(QSize(70, 50), c).save(m_frames.last()));
        }
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }

    void randomEditsUndoExactly() {
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        road = new StartRoadController(*wnd);
        road->designCommands().quitApplication = [] {};
        connect(doc->undoManager(), &QUndoStack::indexChanged, this, [this] { ++m_pushes; });
        wnd->resize(1366, 768);
        wnd->show();
        QVERIFY(QTest::qWaitForWindowExposed(wnd));
        QElapsedTimer clock;
        clock.start();
        qint64 total = 0;
        for (const quint32 seed : seedList()) {
            int done = 0;
            m_failure.clear();
            const bool ok = runSeed(seed, stepsPerSeed(), &done);
            total += done;
            qInfo("seed %u: %d steps, %lld in all, %.0f s", seed, done, total, clock.elapsed() / 1000.0);
            QVERIFY2(ok, qPrintable(QStringLiteral("seed %1, step %2: %3").arg(seed).arg(done).arg(m_failure)));
        }
        qInfo("%lld random steps without a failure in %.1f s", total, clock.elapsed() / 1000.0);
        delete road;
        delete wnd;
        delete doc;
    }
};

QTEST_MAIN(TestRandomEdits)
#include "test_random_edits.moc"
