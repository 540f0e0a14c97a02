#pragma once

// The main photo with its adjustments and a live preview: the start wizard's photo page.

#include "imaging/ItemPicture.h"
#include "wizards/InvitationState.h"

#include <QImage>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;
class QDoubleSpinBox;

class PhotoEditPanel : public QWidget {
    Q_OBJECT
public:
    explicit PhotoEditPanel(QWidget* parent = nullptr);

    // Shows a photo (path and the picture as its file came) with its settings at once; a preview that takes
    // a while to decode is made on a worker, a wait sign shown meanwhile, and the settings as they are then
    // applied to it when it comes in.
    void load(const QString& path, const ItemPicture& original, const PhotoSettings& settings);
    // Loads the picture at path; a file that cannot be used keeps the current photo, says why (naming the
    // file, as every road that takes a picture does) and gives false.
    bool loadFile(const QString& path);
    void clearPhoto();

    QString path() const { return m_path; }
    const ItemPicture& original() const { return m_original; }
    PhotoSettings settings() const;
    void setSettings(const PhotoSettings& s);
    // The preview picture as shown (the adjusted thumbnail); null while it is being made.
    const QImage& previewImage() const { return m_preview; }
    // Whether the preview is still being made.
    bool previewPending() const { return m_thumbPending; }

private slots:
    void browse();
    void refreshPreview();
    void resetSettings();

private:
    QSlider* addSlider(class QFormLayout* form, const QString& label, int min, int max);

    // The preview's picture: the photo decoded at the preview's size; a small one at once, a larger one on a
    // worker (a PNG decodes whole), taken when it comes in unless another photo was asked for since.
    void makeThumb(const ItemPicture& original);
    void thumbMade(quint64 request, qint64 pictureKey, const QImage& thumb);

    QString m_path;
    ItemPicture m_original;
    QImage m_thumb; // the original decoded at the preview's size
    qint64 m_thumbKey = 0; // the cacheKey() of the picture m_thumb was made of
    quint64 m_thumbRequest = 0;
    bool m_thumbPending = false;
    QImage m_preview;
    QLineEdit* m_pathEdit;
    QLabel* m_previewLabel;
    QCheckBox* m_gray;
    QCheckBox* m_sepia;
    QCheckBox* m_invert;
    QSlider* m_hue;
    QSlider* m_sat;
    QSlider* m_brt;
    QSlider* m_con;
    QSlider* m_srp;
    QSlider* m_ev;
    QSlider* m_blr;
    QSlider* m_trnsp;
    QDoubleSpinBox* m_rotate;
    bool m_loading = false;
};
