#include "app/startroad/DesignCommands.h"

#include "app/SKTWindowController.h"
#include "app/designfile/DesignSheet.h"
#include "barcode/BarcodeStyle.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/PictureWait.h"
#include "common/ui/UiHelpers.h"
#include "data/Data_From_Excel.h"
#include "data/ui/SeriesDialogSupport.h"
#include "wizards/FrameBackground.h"
#include "wizards/InvitationState.h"
#include "wizards/MainPhoto.h"
#include "wizards/TemplatePreview.h"
#include "wizards/TemplateStore.h"
#include "wizards/ui/Export_Template.h"
#include "wizards/ui/Template_Browser.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {

// Routes the window's close button through Exit_App.
class CloseFilter : public QObject {
public:
    CloseFilter(DesignCommands* commands, QObject* parent) : QObject(parent), m_commands(commands) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Close || m_exiting || m_commands->isQuitting())
            return false;
        // A save or an open under way ends first (or is stopped) before the window may close.
        if (m_commands->isBusy() || LongJobGuard::active()) {
            event->ignore();
            Show_MessageBox(LongJobGuard::busyMessage());
            return true;
        }
        event->ignore();
        m_exiting = true;
        m_commands->Exit_App();
        m_exiting = false;
        return true;
    }

private:
    DesignCommands* m_commands;
    bool m_exiting = false;
};

QString withExtension(QString path) {
    if (!path.isEmpty() && QFileInfo(path).suffix().compare(designfile::Extension, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + designfile::Extension;
    return path;
}

} // namespace

DesignCommands::DesignCommands(SKTWindowController& window, MainPhoto& photo, QObject* parent)
    : QObject(parent), m_window(window), m_photo(photo) {
    askOpenPath = [this] {
        return rememberDialogPath(QFileDialog::getOpenFileName(&m_window, tr("Open Design"), dialogStartPath(),
                                                               tr("NAVU designs (*.kvto)")));
    };
    askSavePath = [this] {
        const QString start = m_path.isEmpty() ? dialogStartPath() : m_path;
        return rememberDialogPath(
            QFileDialog::getSaveFileName(&m_window, tr("Save Design"), start, tr("NAVU designs (*.kvto)")));
    };
    runReviewWindow = [] {};
    quitApplication = [] { QCoreApplication::quit(); };

    // The window's Open and Save entries lead here.
    for (QAction* a : {window.Open_Design_Action, window.Save_Design_Action}) {
        QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
        a->setEnabled(true);
    }
    connect(window.Open_Design_Action, &QAction::triggered, this, &DesignCommands::Open_Design_Clicked);
    connect(window.Save_Design_Action, &QAction::triggered, this, &DesignCommands::Save_Design_Clicked);
    // Save As sits under Save in the File menu; Ctrl+Shift+S is set outright because not every desktop
    // maps the standard Save As key.
    auto* saveAs = new QAction(tr("Save As..."), this);
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(saveAs, &QAction::triggered, this, &DesignCommands::Save_As_Clicked);
    for (QAction* entry : window.menuBar()->actions()) {
        QMenu* file = entry->menu();
        if (!file)
            continue;
        const QList<QAction*> items = file->actions();
        const qsizetype save = items.indexOf(window.Save_Design_Action);
        if (save < 0)
            continue;
        if (save + 1 < items.size())
            file->insertAction(items[save + 1], saveAs);
        else
            file->addAction(saveAs);
        break;
    }
    QMenu* menu = window.addWindowMenu(tr("&Design"));
    if (saveAs->associatedObjects().isEmpty()) {
        menu->addAction(saveAs);
        menu->addSeparator();
    }
    menu->addAction(tr("Save as Template..."), this, &DesignCommands::Export_As_Template_Clicked);
    menu->addAction(tr("Templates..."), this, &DesignCommands::Open_Template_Clicked);
    menu->addSeparator();
    // Ctrl+Q stays with File > Quit, which closes the window through the same question.
    menu->addAction(tr("Exit"), this, &DesignCommands::Exit_App);
    window.installEventFilter(new CloseFilter(this, this));
}

void DesignCommands::setDesignPath(const QString& path) {
    m_path = path;
    const QString name = path.isEmpty() ? tr("Untitled") : QFileInfo(path).fileName();
    m_window.setWindowTitle(name + QStringLiteral("[*] - NAVU Photo Frame"));
}

DesignData DesignCommands::captureDesign() const {
    DesignData d;
    d.front = m_window.Front_card_Prop;
    d.back = m_window.Back_card_Prop;
    d.framePath = Invite_Frame_IMG;
    d.photoPath = Invite_Frame_Pic_IMG;
    d.photoOriginal = m_photo.original();
    d.photo = currentPhotoSettings();
    if (Data_From_Excel* table = Data_From_Excel::defaultInstance())
        d.sheet = captureSheetBinding(*table);
    d.frontItems = m_window.Get_Front_Controls_Array();
    d.backItems = m_window.Get_Back_Controls_Array();
    return d;
}

void DesignCommands::applyDesign(DesignData d) {
    SKTDocument* doc = m_window.document();
    doc->undoManager()->clear();
    // A background picture is the one the design holds, or its frame's, else (a design saved before they
    // were stored) loaded again from its path; a missing file leaves the side without one, a file there that
    // cannot be read is said once the design is open. These and the main photo are read first, off the
    // window's thread, before anything changes.
    const PictureWait wait(&m_window);
    QStringList unread;
    for (auto [p, items] : {std::pair{&d.front, &d.frontItems}, std::pair{&d.back, &d.backItems}}) {
        QString error;
        if (p->Card_fill_style != QStringLiteral("I"))
            p->Card_BG_Image = ItemPicture();
        else if (p->Card_BG_Image.isNull())
            p->Card_BG_Image = backgroundPictureOf(*p, *items, &error);
        if (p->Card_BG_Image.isNull() && !error.isEmpty() && QFileInfo::exists(p->Card_BG_Image_Path))
            unread << error;
    }
    QString photoError;
    const ItemPicture photoRead = d.photoOriginal.isNull() && !d.photoPath.isEmpty()
                                      ? MainPhoto::readPicture(d.photoPath, &photoError)
                                      : ItemPicture();
    if (!photoError.isEmpty()) {
        Show_NSLog_Message(QStringLiteral("Main photo %1 could not be loaded: %2").arg(d.photoPath, photoError));
        if (QFileInfo::exists(d.photoPath))
            unread << photoError;
    }
    // A card has one size, shape and number of sides; a file whose back record differs takes the front's.
    d.back.Card_Location = d.front.Card_Location;
    d.back.Card_Size = d.front.Card_Size;
    d.back.Card_Shape = d.front.Card_Shape;
    d.back.Card_Side = d.front.Card_Side;
    m_window.Front_card_Prop = d.front;
    m_window.Back_card_Prop = d.back;
    Card_Shape = cardShapeNumber(d.front.Card_Shape);
    CARD_SIDE_STR = d.front.Card_Side;
    Invite_Frame_IMG = d.framePath;
    Invite_Frame_Pic_IMG = d.photoPath;
    setCurrentPhotoSettings(d.photo);
    if (!d.photoOriginal.isNull())
        m_photo.setOriginal(d.photoOriginal);
    else if (!photoRead.isNull())
        m_photo.setOriginal(photoRead);
    else
        m_photo.clear();
    m_window.setMainPhotoImage(m_photo.Main_Photo_image());
    if (Data_From_Excel* table = Data_From_Excel::defaultInstance())
        restoreSheetBinding(d.sheet, *table);
    for (GraphicList* list : {&d.frontItems, &d.backItems})
        for (const GraphicPtr& g : *list)
            if (g->kind() == GraphicKind::Image && g->control_ID == QStringLiteral("PARTY_IMAGE") &&
                !m_photo.Main_Photo_image().isNull())
                static_cast<SKTImage&>(*g).setFilePath(g->_file_path);
    m_window.Get_Front_Controls_Array() = d.frontItems;
    m_window.Get_Back_Controls_Array() = d.backItems;
    doc->graphics_temp().clear();
    for (CardSide side : {CardSide::Front, CardSide::Back, CardSide::Temp})
        doc->notifyGraphicsChanged(side);
    // The size first: the panels take the card's size from the canvas when they are shown.
    m_window.SetDocumentCanvasSize(d.front.Card_Size);
    m_window.Design_Replaced();
    m_window.Select_front_side();
    m_window.Refresh_Canvas();
    if (!unread.isEmpty())
        Show_MessageBox(QStringLiteral("The design opened without these pictures:\n") + unread.join(QLatin1Char('\n')));
}

bool DesignCommands::refusedWhileBusy() const {
    if (!m_busy && !LongJobGuard::active())
        return false;
    Show_MessageBox(LongJobGuard::busyMessage());
    return true;
}

bool DesignCommands::openDesignFile(const QString& path, bool asTemplate) {
    if (refusedWhileBusy())
        return false;
    // Until the design is replaced, nothing reaches the one on screen.
    const LongJobGuard guard;
    QString error;
    std::optional<DesignData> d;
    bool stopped = false;
    // A large data table takes a while to read: on a worker, under the wait sheet with Stop.
    runBusy([&](const std::atomic<bool>& stop, std::atomic<int>* progress) {
        d = designfile::load(path, &error, &stop, progress);
        stopped = !d && stop;
    });
    if (stopped)
        return false; // the design on screen stays as it was
    if (!d) {
        Show_NSLog_Message(QStringLiteral("Design %1 refused: %2").arg(path, error));
        Show_MessageBox(designfile::openFailedMessage(path, error));
        return false;
    }
    const QString notice = unknownSymbologyNotice(d->frontItems, d->backItems);
    applyDesign(std::move(*d));
    m_window.document()->setSaved();
    setDesignPath(asTemplate ? QString() : path);
    if (!notice.isEmpty())
        Show_MessageBox(notice);
    return true;
}

bool DesignCommands::Save_project_file(const QString& path, bool showMsg) {
    if (refusedWhileBusy())
        return false;
    // No edit reaches the design until the file is written; and the state marked saved is the one the
    // snapshot took, whatever happens meanwhile.
    const LongJobGuard guard;
    QString error;
    // Taken at once on the GUI thread; encoding and writing run on a worker under the wait sheet with Stop.
    const designfile::DesignSnapshot snapshot(captureDesign());
    const SKTDocument::SavePoint written = m_window.document()->savePoint();
    bool saved = false;
    bool stopped = false;
    runBusy([&](const std::atomic<bool>& stop, std::atomic<int>* progress) {
        saved = designfile::save(path, snapshot, &error, &stop, progress);
        stopped = !saved && stop;
    });
    if (stopped) {
        Show_MessageBox(QStringLiteral("Saving was stopped. The design was not saved to %1.").arg(path));
        return false;
    }
    if (!saved) {
        Show_MessageBox(QStringLiteral("The design could not be saved to %1.\n%2").arg(path, error));
        return false;
    }
    m_window.document()->setSaved(written);
    if (showMsg)
        Show_MessageBox(QStringLiteral("Design has been saved successfully."));
    return true;
}

void DesignCommands::Open_Design_Clicked() {
    if (refusedWhileBusy())
        return;
    const QString path = askOpenPath ? askOpenPath() : QString();
    // The design on screen is replaced: offer to save it first, as Exit does.
    if (!path.isEmpty() && offerToSave())
        openDesignFile(path);
}

bool DesignCommands::Save_Design_Clicked() {
    if (m_path.isEmpty())
        return Save_As_Clicked();
    return Save_project_file(m_path, true);
}

bool DesignCommands::Save_As_Clicked() {
    if (refusedWhileBusy())
        return false;
    const QString path = withExtension(askSavePath ? askSavePath() : QString());
    if (path.isEmpty())
        return false;
    if (!Save_project_file(path, true))
        return false;
    setDesignPath(path);
    return true;
}

void DesignCommands::Export_As_Template_Clicked() {
    if (refusedWhileBusy())
        return;
    const TemplateStore store;
    Export_Template window(store, &m_window);
    if (window.runNew(QString()) != 1 || refusedWhileBusy())
        return;
    const LongJobGuard guard;
    const DesignData d = captureDesign();
    const QImage preview = templatePreview(d.frontItems, d.front, d.backItems, d.back, Card_Shape);
    const designfile::DesignSnapshot snapshot(d);
    QString error = snapshot.openAgainProblem();
    if (!error.isEmpty()) {
        Show_MessageBox(QStringLiteral("The template could not be saved.\n") + error);
        return;
    }
    bool saved = false;
    bool stopped = false;
    runBusy([&](const std::atomic<bool>& stop, std::atomic<int>* progress) {
        const QByteArray bytes = snapshot.toBytes(&stop, progress);
        stopped = bytes.isEmpty() && stop;
        // A template is opened as a design: what could not be opened again is not written.
        if (bytes.size() > designfile::MaxFileBytes)
            error = designfile::tooLargeToSaveMessage(bytes.size());
        else
            saved = !bytes.isEmpty() && store.save(export_template_name, bytes, preview, &error);
    });
    if (stopped) {
        Show_MessageBox(QStringLiteral("Saving was stopped. The template was not saved."));
        return;
    }
    if (!saved) {
        Show_MessageBox(QStringLiteral("The template could not be saved.\n") + error);
        return;
    }
    Show_MessageBox(QStringLiteral("Template exported successfully."));
}

void DesignCommands::Open_Template_Clicked() {
    if (refusedWhileBusy())
        return;
    Template_Browser* browser = Template_Browser::defaultInstance();
    browser->openProfile = [this, browser] { m_window.Open_Both_Sides_Profile(browser); };
    m_window.beginProfileAction();
    // The template replaces the design on screen: offer to save it first, as Open does.
    const bool opened =
        browser->Open_Wnd() == 1 && offerToSave() && openDesignFile(browser->selectedDesignPath(), true);
    // A profile given in the browser goes onto the template once it is open, and nowhere otherwise.
    m_window.endProfileAction(opened);
}

void DesignCommands::runBusy(const BusyWork& work) {
    std::atomic<int> progress{0};
    m_busy = true;
    SeriesDialogs::runStoppable(
        &m_window, [&](const std::atomic<bool>& stop) { work(stop, &progress); }, &progress);
    m_busy = false;
}

bool DesignCommands::offerToSave() {
    // Quit by its shortcut or the window's close button leaves no field first: what is typed counts.
    landTypedEdit();
    // A design that is as it was opened or last saved has nothing to lose.
    if (!m_window.document()->isModified())
        return true;
    // Escape or the box's close button is Cancel: the design stays, unsaved work is not thrown away.
    const PromptAnswer answer =
        Show_YES_NO_CANCEL_MessageBox(QStringLiteral("Do you want to save changes before closing?"));
    if (answer == PromptAnswer::Cancel)
        return false;
    if (answer == PromptAnswer::No)
        return true;
    const QString path = m_path.isEmpty() ? withExtension(askSavePath ? askSavePath() : QString()) : m_path;
    // Cancelling the save panel or a failed save keeps the design on screen, so nothing is lost.
    if (path.isEmpty() || !Save_project_file(path, false))
        return false;
    setDesignPath(path);
    return true;
}

void DesignCommands::Exit_App() {
    if (refusedWhileBusy() || !offerToSave())
        return;
    if (runReviewWindow)
        runReviewWindow();
    if (quitApplication) {
        // Quitting closes the windows straight away; that close must not ask again.
        m_quitting = true;
        quitApplication();
        m_quitting = false;
    }
}
