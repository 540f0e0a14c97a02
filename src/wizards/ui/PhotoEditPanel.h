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

    // Shows a photo (path and the picture as its file came) with its settings; its preview is decoded under
    // the wait sheet.
    void load(const QString& path, const ItemPicture& original, const PhotoSettings& settings);
    // Loads the picture at path; a file that cannot be used keeps the current photo, says why (naming the
    // file, as every road that takes a picture does) and gives false.
    bool loadFile(const QString& path);
    void clearPhoto();

    QString path() const { return m_path; }
    const ItemPicture& original() const { return m_original; }
    PhotoSettings settings() const;
    void setSettings(const PhotoSettings& s);
    // The preview picture as shown (the adjusted thumbnail).
    const QImage& previewImage() const { return m_preview; }

private slots:
    void browse();
    void refreshPreview();
    void resetSettings();

private:
    QSlider* addSlider(class QFormLayout* form, const QString& label, int min, int max);

    // The preview's picture: the photo decoded at the preview's size; false when Stop ended the decode.
    bool makeThumb(const ItemPicture& original);

    QString m_path;
    ItemPicture m_original;
    QImage m_thumb; // the original decoded at the preview's size
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
