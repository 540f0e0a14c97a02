#include "wizards/MainPhoto.h"

#include "canvas/SKTItems.h"
#include "common/Prompt.h"
#include "imaging/ImageProcesser.h"

ItemPicture MainPhoto::readPicture(const QString& path, QString* error) {
    return SKTImage::loadPicture(path, error);
}

ImageAdjustSettings MainPhoto::adjustmentsOf(const PhotoSettings& s) {
    ImageAdjustSettings a;
    a.grayscale = s.gray_Scale;
    a.sepia = s.Sepia;
    a.invert = s.invert_clr;
    a.hue = s.hue_val;
    a.saturation = s.sat_val;
    a.brightness = s.brt_val;
    a.contrast = s.con_val;
    a.rotation = s.rotationDegrees();
    a.sharpness = s.srp_val;
    a.exposure = s.ev_val;
    a.blur = s.blr_val;
    return a;
}

ItemPicture MainPhoto::adjusted(const ItemPicture& original, const PhotoSettings& s) {
    return original.adjusted(adjustmentsOf(s));
}

QImage MainPhoto::adjusted(const QImage& original, const PhotoSettings& s) {
    if (original.isNull())
        return {};
    const QImage out = ImageProcesser::process(original, adjustmentsOf(s));
    return out.isNull() ? original : out;
}

bool MainPhoto::Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error) {
    QString why;
    const ItemPicture picture = readPicture(path, &why);
    if (picture.isNull()) {
        Show_NSLog_Message(QStringLiteral("Main photo %1 could not be loaded: %2").arg(path, why));
        if (error)
            *error = why;
        return false;
    }
    setOriginal(picture);
    if (changePath)
        Invite_Frame_Pic_IMG = path;
    return true;
}

void MainPhoto::Update_Image_With_Settings() {
    m_adjusted = adjusted(m_original, currentPhotoSettings());
}

void MainPhoto::setOriginal(const ItemPicture& picture) {
    m_original = picture.adjusted(ImageAdjustSettings());
    Update_Image_With_Settings();
}

void MainPhoto::clear() {
    m_original = ItemPicture();
    m_adjusted = ItemPicture();
}

ItemPicture MainPhoto::loadAdjusted(const QString& path, const PhotoSettings& settings) {
    return adjusted(readPicture(path), settings);
}

std::function<ItemPicture(const QString&)> MainPhoto::rowPhotoLoader() {
    return [settings = currentPhotoSettings()](const QString& path) { return loadAdjusted(path, settings); };
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

bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error) {
    const MainPhotoLoader& loader = installedLoader();
    return loader ? loader(path, changePath, error) : false;
}
