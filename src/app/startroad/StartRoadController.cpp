#include "app/startroad/StartRoadController.h"

#include "app/SKTWindowController.h"
#include "app/startroad/DesignCommands.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/PictureWait.h"
#include "data/BatchFillJob.h"
#include "wizards/FrameBackground.h"
#include "wizards/InvitationLayout.h"
#include "wizards/InvitationState.h"
#include "wizards/MainPhoto.h"
#include "wizards/ui/FrameGalleryWidget.h"
#include "wizards/ui/Invitation_Wizard.h"
#include "wizards/ui/Template_Browser.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include <algorithm>
#include <cmath>

namespace {
bool sideTextColourChosen(const Card_Property& side) {
    return side.Card_Content_clr != Card_Property().Card_Content_clr;
}
} // namespace

StartRoadController::StartRoadController(SKTWindowController& window, QObject* parent)
    : QObject(parent), m_window(window), m_design(new DesignCommands(window, m_photo, this)) {
    auto* dock = new QDockWidget(tr("Frames"), &window);
    dock->setObjectName(QStringLiteral("FrameGalleryDock"));
    m_gallery = new FrameGalleryWidget(dock);
    dock->setWidget(m_gallery);
    window.addDockWidget(Qt::LeftDockWidgetArea, dock);
    connect(m_gallery, &FrameGalleryWidget::framePicked, this, &StartRoadController::framePicked);
    // The gallery shows the card's frame, also after Undo and Redo.
    connect(window.document(), &SKTDocument::graphicsChanged, this, [this](CardSide side) {
        if (side == CardSide::Front)
            showCardFrame();
    });
    connect(window.document()->undoManager(), &QUndoStack::indexChanged, this, &StartRoadController::showCardFrame);

    QMenu* card = window.addWindowMenu(tr("&Card"));
    card->addAction(tr("Edit Main Photo..."), this, &StartRoadController::Edit_Main_Photo_Button);
    card->addAction(dock->toggleViewAction());

    window.mainPhotoState = [this] {
        return MainPhotoState{Invite_Frame_Pic_IMG, currentPhotoSettings(), m_photo.original()};
    };
    window.restoreMainPhoto = [this](const MainPhotoState& state) {
        Invite_Frame_Pic_IMG = state.path;
        setCurrentPhotoSettings(state.settings);
        if (state.original.isNull())
            m_photo.clear();
        else
            m_photo.setOriginal(state.original);
        publishMainPhoto();
    };
    setMainPhotoLoader([this](const QString& path, bool changePath, QString* error) {
        return this->Update_frame_Main_Photo_And_Path(path, changePath, error);
    });
    // Rows of print, export and mail show the main photo with the design's adjustments as the run began.
    BatchFillJob::setDefaultPhotoLoader(&MainPhoto::rowPhotoLoader);
}

void StartRoadController::fillGallery() {
    if (m_galleryFilled)
        return;
    m_galleryFilled = true;
    m_gallery->Load_and_fill_backgrounds(Resource_Path + QStringLiteral("/Frames"));
    showCardFrame();
}

void StartRoadController::showCardFrame() {
    if (!m_galleryFilled)
        return;
    const GraphicPtr frame = findPictureItem(m_window.Get_Front_Controls_Array(), QStringLiteral("PARTY_IMAGE_BG"));
    m_gallery->showFrame(frame ? frame->_file_path : QString());
}

StartRoadController::~StartRoadController() {
    m_window.mainPhotoState = nullptr;
    m_window.restoreMainPhoto = nullptr;
    setMainPhotoLoader(nullptr);
    BatchFillJob::setDefaultPhotoLoader(nullptr);
}

Invitation_Wizard& StartRoadController::wizard() {
    Invitation_Wizard* w = Invitation_Wizard::defaultInstance();
    w->openDesign = [this](const QString& path, bool asTemplate) {
        return m_design->openDesignFile(path, asTemplate);
    };
    w->openProfile = [this, w] { m_window.Open_Both_Sides_Profile(w); };
    Template_Browser* browser = Template_Browser::defaultInstance();
    browser->openProfile = [this, browser] { m_window.Open_Both_Sides_Profile(browser); };
    // A profile given in the browser belongs to the template it opens: dropped when none opens.
    w->templateActionBegins = [this] { m_window.beginProfileAction(); };
    w->templateActionEnds = [this](bool opened) { m_window.endProfileAction(opened); };
    return *w;
}

void StartRoadController::New_Project() {
    Check_Path_And_Create_Files();
    SKTDocument* doc = m_window.document();
    doc->undoManager()->clear();
    m_window.New_Project_Setting_Reset();
    m_window.Get_Front_Controls_Array().clear();
    m_window.Get_Back_Controls_Array().clear();
    doc->graphics_temp().clear();
    for (CardSide side : {CardSide::Front, CardSide::Back, CardSide::Temp})
        doc->notifyGraphicsChanged(side);
    resetInvitationState();
    m_photo.clear();
    publishMainPhoto();
    Card_Shape = 0;
    CARD_SIDE_STR = m_window.Front_card_Prop.Card_Side;
    m_design->setDesignPath(QString());
    // The size first: the panels take the card's size from the canvas when they are shown.
    m_window.SetDocumentCanvasSize(m_window.Front_card_Prop.Card_Size);
    m_window.Design_Replaced();
    m_window.Select_front_side();
    doc->setSaved();
}

StartWizardAnswer StartRoadController::runStartWizard() {
    Invitation_Wizard& w = wizard();
    m_window.beginProfileAction();
    const int result = w.Open_Wnd();
    // A design the wizard opened takes the profile given in the wizard now; a new card once it is built
    // (Open_Start_Window); a cancelled wizard drops it.
    const bool newCard = result == 1 && w.mode() == QStringLiteral("W");
    if (!newCard)
        m_window.endProfileAction(result == 1 && w.mode() == QStringLiteral("L"));
    return {result, w.mode()};
}

void StartRoadController::Open_Start_Window() {
    SKTDocument* doc = m_window.document();
    doc->setUndoRegistrationEnabled(false);
    Invitation_Wizard& w = wizard();
    const CardChoice choice = w.cardChoice();
    choice.applyTo(m_window.Front_card_Prop);
    choice.applyTo(m_window.Back_card_Prop);
    Card_Shape = choice.shapeNumber();
    m_window.SetDocumentCanvasSize(choice.size);
    // The photo the wizard loaded is the one to show (its file may have gone meanwhile).
    if (!w.photoOriginal().isNull())
        m_photo.setOriginal(w.photoOriginal());
    else if (!Invite_Frame_Pic_IMG.isEmpty() &&
             !m_photo.Update_frame_Main_Photo_And_Path(Invite_Frame_Pic_IMG, true))
        Invite_Frame_Pic_IMG.clear();
    publishMainPhoto();
    Fill_Party_Invidation_Details();
    m_window.Show_RHS_Properties(nullptr);
    doc->setUndoRegistrationEnabled(true);
    // The wizard's profile is the new card's first undo step.
    m_window.endProfileAction(true);
    // A card built from the wizard's answers is stored nowhere yet.
    doc->markChangedOutsideUndo();
    m_window.Refresh_Canvas();
}

bool StartRoadController::openDesignPath(const QString& path) {
    return m_design->openDesignFile(QFileInfo(path).absoluteFilePath());
}

void StartRoadController::Fill_Party_Invidation_Details() {
    const Card_Property& front = m_window.Front_card_Prop;
    InvitationAnswers answers = InvitationAnswers::fromGlobals();
    answers.photoSize = m_photo.Main_Photo_image().size();
    const QList<InvitationItemSpec> specs = invitationLayout(answers, front.Card_Location, front.Card_Size);
    const QString savedLibraryImage = Library_Selected_Image;
    GraphicList texts;
    GraphicPtr photo;
    for (const InvitationItemSpec& s : specs) {
        m_window.setSelectedTool(s.tool);
        const bool picture = s.kind == InvitationItemSpec::Picture;
        // A picture item takes the library's last picture before its own path; the wizard's path must win.
        if (picture)
            Library_Selected_Image = s.value;
        const GraphicPtr item = m_window._graphicView->createGraphicOfClass(
            picture ? QStringLiteral("SKTImage") : QStringLiteral("SKTText"), nullptr, true, s.rect,
            QStringLiteral("F"), s.value, s.controlId);
        if (item && !picture) {
            fitInvitationText(*item, s);
            texts << item;
        }
        if (item && s.controlId == QStringLiteral("PARTY_IMAGE"))
            photo = item;
    }
    Library_Selected_Image = savedLibraryImage;
    // Texts whose lines lie over the photo are drawn black or white, whichever reads on more of the photo
    // under them, unless the side's text colour was chosen.
    if (photo && !sideTextColourChosen(front)) {
        const QImage card = cardUnderTexts(m_window.Get_Front_Controls_Array(), front, Card_Shape);
        GraphicList over;
        for (const GraphicPtr& t : std::as_const(texts)) {
            keepTextOverPhoto(*t, photo->_bounds);
            if (drawnTextArea(*t).intersects(photo->_bounds))
                over << t;
        }
        colourTextsForCard(over, card);
    }
    // Leaving a creation tool active would turn the next click on the card into a new item.
    m_window.selectArrowTool();
}

void StartRoadController::publishMainPhoto(bool renamed) {
    m_window.setMainPhotoImage(m_photo.Main_Photo_image());
    for (GraphicList* list : {&m_window.Get_Front_Controls_Array(), &m_window.Get_Back_Controls_Array()})
        for (const GraphicPtr& g : *list)
            if (g->kind() == GraphicKind::Image && g->control_ID == QStringLiteral("PARTY_IMAGE"))
                static_cast<SKTImage&>(*g).setFilePath(renamed ? Invite_Frame_Pic_IMG : g->_file_path);
}

bool StartRoadController::Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error) {
    // A photo chosen for the design (not a data row's) gives its texts their colours again.
    const GraphicList following = changePath ? textsFollowingPhoto() : GraphicList();
    if (!m_photo.Update_frame_Main_Photo_And_Path(path, changePath, error))
        return false;
    publishMainPhoto(changePath);
    colourFrontTexts(following);
    return true;
}

GraphicList StartRoadController::textsFollowingPhoto() const {
    const Card_Property& front = m_window.Front_card_Prop;
    const GraphicList& items = m_window.Get_Front_Controls_Array();
    const bool anyText = std::any_of(items.cbegin(), items.cend(),
                                     [](const GraphicPtr& g) { return g && g->kind() == GraphicKind::Text; });
    if (!anyText || sideTextColourChosen(front))
        return {};
    return textsFollowingCard(items, cardUnderTexts(items, front, Card_Shape));
}

void StartRoadController::colourFrontTexts(const GraphicList& texts) {
    if (texts.isEmpty())
        return;
    const Card_Property& front = m_window.Front_card_Prop;
    colourTextsForCard(texts, cardUnderTexts(m_window.Get_Front_Controls_Array(), front, Card_Shape));
    m_window.document()->notifyGraphicsChanged(CardSide::Front);
}

void StartRoadController::Update_Image_With_Settings() {
    m_photo.Update_Image_With_Settings();
    publishMainPhoto();
}

void StartRoadController::Edit_Main_Photo_Button() {
    // The photo, its settings and its item change together: one undo step.
    m_window.recordCardEdit(tr("Edit Main Photo"), 0, [this] { editMainPhoto(); });
}

void StartRoadController::editMainPhoto() {
    // Texts in the colour the photo under them gave them take the one the edited photo gives.
    const GraphicList following = textsFollowingPhoto();
    if (wizard().Open_Wnd_For_Edit_Photo(m_photo) != 1)
        return;
    publishMainPhoto(!Invite_Frame_Pic_IMG.isEmpty());
    if (!Invite_Frame_Pic_IMG.isEmpty()) {
        const QString saved = Library_Selected_Image;
        Library_Selected_Image = Invite_Frame_Pic_IMG;
        m_window.setSelectedTool(8);
        const GraphicPtr item = m_window._graphicView->ReplaceGraphicText(
            QStringLiteral("SKTImage"), nullptr, false, QRectF(), QStringLiteral("F"), Invite_Frame_Pic_IMG,
            QStringLiteral("PARTY_IMAGE"));
        Library_Selected_Image = saved;
        // A photo of other proportions (another file, a quarter turn) takes its own inside the old box
        // instead of being stretched to it.
        const QSizeF photo = m_photo.Main_Photo_image().size();
        if (item && !photo.isEmpty() && !item->_bounds.isEmpty()) {
            const double was = item->_bounds.width() / item->_bounds.height();
            const double now = photo.width() / photo.height();
            if (std::abs(was / now - 1.0) > 0.01)
                item->setBounds(fitAspectInto(item->_bounds, photo));
        }
        m_window.selectArrowTool();
    }
    colourFrontTexts(following);
    m_window.document()->notifyGraphicsChanged(CardSide::Front);
    m_window.Refresh_Canvas();
    m_window.Show_RHS_Properties(nullptr);
}

void StartRoadController::framePicked(const QString& path) {
    // The frame goes to the front: show it there, so the user sees what changed.
    if (Card_Front_Or_Back != 0 || m_window.shownViewIndex() != 0)
        m_window.Select_front_side();
    m_window.beginCardEdit();
    QString error;
    const PictureWait wait(&m_window);
    const bool set = setFrontFramePicture(m_window.Front_card_Prop, m_window.Get_Front_Controls_Array(), path,
                                          &error) != nullptr;
    if (set)
        Invite_Frame_IMG = path;
    m_window.document()->notifyGraphicsChanged(CardSide::Front);
    m_window.endCardEdit(tr("Choose Frame"), QString(), 0);
    if (!set) {
        if (!wait.stopped())
            Show_MessageBox(error);
        return;
    }
    m_window.Refresh_Canvas();
    m_window.Show_RHS_Properties(nullptr);
}
