#pragma once

// The main photo of an invitation card: the picture as loaded from its file and the version adjusted
// with the photo settings. Adjustments always start from the loaded picture, so they never compound.

#include "wizards/InvitationState.h"

#include <QImage>
#include <QString>

#include <functional>

class MainPhoto {
public:
    // The photo is kept at most this large (a larger source is decoded scaled down): plenty for a card
    // printed at 600 dpi, and small enough to adjust live.
    static constexpr int MaxSide = 12000;
    static constexpr qint64 MaxPixels = 48LL * 1000 * 1000;

    // Reads a picture file with the size cap; a null image with a reason when it cannot be read.
    static QImage readPicture(const QString& path, QString* error = nullptr);

    // Loads the picture and adjusts it with the current photo settings; when changePath is true the path
    // becomes Invite_Frame_Pic_IMG. A file that cannot be read changes nothing and gives false.
    bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath);
    // Adjusts the loaded picture with the current IMG_* settings again.
    void Update_Image_With_Settings();
    // Takes a picture already in memory (a design file's stored photo) and adjusts it.
    void setOriginal(const QImage& image);
    void clear();

    const QImage& original() const { return m_original; }
    const QImage& Main_Photo_image() const { return m_adjusted; }

    // The adjusted picture for the settings, from the given original (used by the live preview too).
    static QImage adjusted(const QImage& original, const PhotoSettings& settings);
    // A data row's photo: the picture at path adjusted with the current settings; null when unreadable.
    // Touches nothing else, so a worker may call it.
    static QImage loadAdjusted(const QString& path);

private:
    QImage m_original;
    QImage m_adjusted;
};

// The design's main photo as the window keeps it. The window's start road installs the loader; other parts
// (the picture panel, the data-source choice) reload the photo through the free function below.
using MainPhotoLoader = std::function<bool(const QString& path, bool changePath)>;
void setMainPhotoLoader(MainPhotoLoader loader);
bool hasMainPhotoLoader();
// Loads the main photo through the installed loader; false when none is installed or the file is unreadable.
bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath);
