#pragma once

// The main photo of an invitation card: the picture as its file came (its bytes) and the same picture
// carrying the photo settings, which is adjusted wherever it is drawn, at the size it is drawn. Adjustments
// always start from the picture as it came, so they never compound.

#include "imaging/ItemPicture.h"
#include "wizards/InvitationState.h"

#include <QImage>
#include <QString>

#include <functional>

class MainPhoto {
public:
    // Reads a picture file as every road that takes a picture does (ItemPicture::fromFile: its limits and its
    // message, which names the file); a null picture and the reason when it cannot be used.
    static ItemPicture readPicture(const QString& path, QString* error = nullptr);

    // Loads the picture and adjusts it with the current photo settings; when changePath is true the path
    // becomes Invite_Frame_Pic_IMG. A file that cannot be read changes nothing and gives false, with the
    // reason in *error.
    bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error = nullptr);
    // Adjusts the loaded picture with the current IMG_* settings again.
    void Update_Image_With_Settings();
    // Takes a picture already read (a design file's stored photo) and adjusts it.
    void setOriginal(const ItemPicture& picture);
    void clear();

    const ItemPicture& original() const { return m_original; }
    const ItemPicture& Main_Photo_image() const { return m_adjusted; }

    // The settings as the picture pipeline takes them (the rotation truncated to whole degrees; the
    // transparency is left to whoever draws the photo).
    static ImageAdjustSettings adjustmentsOf(const PhotoSettings& settings);
    // The adjusted picture for the settings, from the given original.
    static ItemPicture adjusted(const ItemPicture& original, const PhotoSettings& settings);
    // The same for a picture in memory (the live preview's thumbnail).
    static QImage adjusted(const QImage& original, const PhotoSettings& settings);
    // A data row's photo: the picture at path with the settings; null when unreadable. Touches nothing else,
    // so a worker may call it.
    static ItemPicture loadAdjusted(const QString& path, const PhotoSettings& settings);
    // What a run's rows load their photos with: loadAdjusted with the current settings, taken now (on the
    // window's thread, with the run's snapshot), whatever they are when a worker calls it.
    static std::function<ItemPicture(const QString&)> rowPhotoLoader();

private:
    ItemPicture m_original;
    ItemPicture m_adjusted;
};

// The design's main photo as the window keeps it. The window's start road installs the loader; other parts
// (the picture panel, the data-source choice) reload the photo through the free function below.
using MainPhotoLoader = std::function<bool(const QString& path, bool changePath, QString* error)>;
void setMainPhotoLoader(MainPhotoLoader loader);
bool hasMainPhotoLoader();
// Loads the main photo through the installed loader; false when none is installed or the file cannot be
// used (the reason in *error, naming the file).
bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error = nullptr);
