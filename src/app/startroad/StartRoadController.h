#pragma once

// The editor window's start road and main photo: a new design, the start wizard, the invitation items,
// the frame gallery and the re-editing of the main photo.

#include "canvas/SKTGraphic.h"
#include "wizards/MainPhoto.h"
#include "wizards/StartRoad.h"

#include <QObject>

class FrameGalleryWidget;
class Invitation_Wizard;
class SKTWindowController;
class DesignCommands;

class StartRoadController : public QObject, public StartHost {
    Q_OBJECT
public:
    // Attaches to the window: adds the frame gallery and the start-road commands to it.
    explicit StartRoadController(SKTWindowController& window, QObject* parent = nullptr);
    ~StartRoadController() override;

    // StartHost
    void New_Project() override;
    StartWizardAnswer runStartWizard() override;
    void Open_Start_Window() override;
    bool openDesignPath(const QString& path) override;

    // Creates the invitation items from the wizard's answers on the front side.
    void Fill_Party_Invidation_Details();
    // Loads the main photo (see MainPhoto) and shows it in the "PARTY_IMAGE" items; also reached through
    // the free Update_frame_Main_Photo_And_Path while this controller exists.
    bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error = nullptr);
    void Update_Image_With_Settings();
    // Re-opens the wizard's photo page; on OK the "PARTY_IMAGE" item shows the new photo.
    void Edit_Main_Photo_Button();
    // The gallery's pick: the frame goes to the front side, whichever side is shown.
    void framePicked(const QString& path);

    MainPhoto& mainPhoto() { return m_photo; }
    DesignCommands& designCommands() { return *m_design; }
    // Reads the frames into the gallery, once. The program does it after the window's first paint.
    void fillGallery();
    FrameGalleryWidget* gallery() {
        fillGallery();
        return m_gallery;
    }
    Invitation_Wizard& wizard();
    // Hands the photo to the window (CanvasHost) and to the items that show it.
    // Shows the main photo in its items; renamed, they also name its file (a new photo chosen for them).
    void publishMainPhoto(bool renamed = false);

private:
    void editMainPhoto();
    // Selects the front side's frame in the gallery.
    void showCardFrame();
    // The front side's texts drawn in the colour the card under them gives (none when the side's text
    // colour was chosen); after the main photo changes they take the colour the card then gives.
    GraphicList textsFollowingPhoto() const;
    void colourFrontTexts(const GraphicList& texts);

    SKTWindowController& m_window;
    MainPhoto m_photo;
    DesignCommands* m_design;
    FrameGalleryWidget* m_gallery = nullptr;
    bool m_galleryFilled = false;
};
