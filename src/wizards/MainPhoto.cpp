#include "wizards/MainPhoto.h"

#include "common/PictureReader.h"
#include "common/Prompt.h"
#include "imaging/ImageProcesser.h"

#include <QImageReader>

QImage MainPhoto::readPicture(const QString& path, QString* error) {
    return pictures::readPictureFile(path, {MaxSide, MaxPixels}, error);
}

QImage MainPhoto::adjusted(const QImage& original, const PhotoSettings& s) {
    if (original.isNull())
        return {};
    QImage out = ImageProcesser::Get_Processed_Image(original, s.gray_Scale, s.Sepia, s.invert_clr, s.hue_val,
                                                     s.sat_val, s.brt_val, s.con_val, s.rotationDegrees(),
                                                     s.srp_val, s.ev_val, s.blr_val, s.trnsp_val);
    return out.isNull() ? original : out;
}

bool MainPhoto::Update_frame_Main_Photo_And_Path(const QString& path, bool changePath) {
    QString why;
    const QImage image = readPicture(path, &why);
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Main photo %1 could not be loaded: %2").arg(path, why));
        return false;
    }
    m_original = image;
    Update_Image_With_Settings();
    if (changePath)
        Invite_Frame_Pic_IMG = path;
    return true;
}

void MainPhoto::Update_Image_With_Settings() {
    m_adjusted = adjusted(m_original, currentPhotoSettings());
}

void MainPhoto::setOriginal(const QImage& image) {
    m_original = image;
    Update_Image_With_Settings();
}

void MainPhoto::clear() {
    m_original = QImage();
    m_adjusted = QImage();
}

QImage MainPhoto::loadAdjusted(const QString& path) {
    return adjusted(readPicture(path), currentPhotoSettings());
}

namespace {
MainPhotoLoader& installedLoader() {
    static MainPhotoLoader loader;
    return loader;
}
} // namespace

void setMainPhotoLoader(MainPhotoLoader loader) {
    installedLoader() = std::move(loader);
}

bool hasMainPhotoLoader() {
    return static_cast<bool>(installedLoader());
}

bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath) {
    const MainPhotoLoader& loader = installedLoader();
    return loader ? loader(path, changePath) : false;
}
