#include "wizards/ui/PhotoEditPanel.h"

#include "common/Prompt.h"
#include "common/ui/PictureWait.h"
#include "common/ui/UiHelpers.h"
#include "imaging/ProcessedImageCache.h"
#include "wizards/MainPhoto.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QThreadPool>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int PreviewSide = 260;
constexpr double Pi = 3.14159265358979;
} // namespace

PhotoEditPanel::PhotoEditPanel(QWidget* parent) : QWidget(parent) {
    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_previewLabel = new QLabel(this);
    m_previewLabel->setFixedSize(PreviewSide, PreviewSide);
    m_previewLabel->setAlignment(Qt::AlignCenter);
    m_previewLabel->setFrameShape(QFrame::StyledPanel);
    m_previewLabel->setText(QStringLiteral("No photo"));
    left->addWidget(m_previewLabel);
    m_pathEdit = new QLineEdit(this);
    m_pathEdit->setReadOnly(true);
    left->addWidget(m_pathEdit);
    auto* buttons = new QHBoxLayout;
    auto* browse = new QPushButton(QStringLiteral("Choose Photo..."), this);
    auto* none = new QPushButton(QStringLiteral("No Photo"), this);
    auto* reset = new QPushButton(QStringLiteral("Reset"), this);
    buttons->addWidget(browse);
    buttons->addWidget(none);
    buttons->addWidget(reset);
    left->addLayout(buttons);
    left->addStretch(1);
    outer->addLayout(left);

    auto* form = new QFormLayout;
    m_gray = new QCheckBox(QStringLiteral("Grey scale"), this);
    m_sepia = new QCheckBox(QStringLiteral("Sepia"), this);
    m_invert = new QCheckBox(QStringLiteral("Invert colours"), this);
    form->addRow(m_gray);
    form->addRow(m_sepia);
    form->addRow(m_invert);
    m_hue = addSlider(form, QStringLiteral("Hue"), -180, 180);        // degrees, stored in radians
    m_sat = addSlider(form, QStringLiteral("Saturation"), 0, 200);    // percent
    m_brt = addSlider(form, QStringLiteral("Brightness"), -100, 100); // hundredths
    m_con = addSlider(form, QStringLiteral("Contrast"), 25, 400);     // percent
    m_srp = addSlider(form, QStringLiteral("Sharpness"), 0, 200);     // hundredths
    m_ev = addSlider(form, QStringLiteral("Exposure"), -40, 40);      // tenths of a stop
    m_blr = addSlider(form, QStringLiteral("Blur"), 0, 30);           // pixels
    m_trnsp = addSlider(form, QStringLiteral("Opacity %"), 0, 100);
    m_rotate = new QDoubleSpinBox(this);
    m_rotate->setRange(-360, 360);
    m_rotate->setDecimals(1);
    m_rotate->setSuffix(QStringLiteral(" \u00B0"));
    form->addRow(QStringLiteral("Rotation"), m_rotate);
    outer->addLayout(form, 1);

    for (QCheckBox* c : {m_gray, m_sepia, m_invert})
        connect(c, &QCheckBox::toggled, this, &PhotoEditPanel::refreshPreview);
    connect(m_rotate, &QDoubleSpinBox::valueChanged, this, &PhotoEditPanel::refreshPreview);
    connect(browse, &QPushButton::clicked, this, &PhotoEditPanel::browse);
    connect(none, &QPushButton::clicked, this, &PhotoEditPanel::clearPhoto);
    connect(reset, &QPushButton::clicked, this, &PhotoEditPanel::resetSettings);
    setSettings(PhotoSettings{});
}

QSlider* PhotoEditPanel::addSlider(QFormLayout* form, const QString& label, int min, int max) {
    auto* s = new QSlider(Qt::Horizontal, this);
    s->setRange(min, max);
    form->addRow(label, s);
    connect(s, &QSlider::valueChanged, this, &PhotoEditPanel::refreshPreview);
    return s;
}

PhotoSettings PhotoEditPanel::settings() const {
    PhotoSettings s;
    s.gray_Scale = m_gray->isChecked();
    s.Sepia = m_sepia->isChecked();
    s.invert_clr = m_invert->isChecked();
    s.hue_val = static_cast<float>(m_hue->value() * Pi / 180.0);
    s.sat_val = m_sat->value() / 100.0f;
    s.brt_val = m_brt->value() / 100.0f;
    s.con_val = m_con->value() / 100.0f;
    s.srp_val = m_srp->value() / 100.0f;
    s.ev_val = m_ev->value() / 10.0f;
    s.blr_val = static_cast<float>(m_blr->value());
    s.trnsp_val = static_cast<float>(m_trnsp->value());
    s.rotate_image = static_cast<float>(m_rotate->value());
    return s;
}

void PhotoEditPanel::setSettings(const PhotoSettings& s) {
    m_loading = true;
    {
        const QSignalBlocker b1(m_gray), b2(m_sepia), b3(m_invert), b4(m_hue), b5(m_sat), b6(m_brt),
            b7(m_con), b8(m_srp), b9(m_ev), b10(m_blr), b11(m_trnsp), b12(m_rotate);
        m_gray->setChecked(s.gray_Scale);
        m_sepia->setChecked(s.Sepia);
        m_invert->setChecked(s.invert_clr);
        m_hue->setValue(static_cast<int>(std::lround(s.hue_val * 180.0 / Pi)));
        m_sat->setValue(static_cast<int>(std::lround(s.sat_val * 100)));
        m_brt->setValue(static_cast<int>(std::lround(s.brt_val * 100)));
        m_con->setValue(static_cast<int>(std::lround(s.con_val * 100)));
        m_srp->setValue(static_cast<int>(std::lround(s.srp_val * 100)));
        m_ev->setValue(static_cast<int>(std::lround(s.ev_val * 10)));
        m_blr->setValue(static_cast<int>(std::lround(s.blr_val)));
        m_trnsp->setValue(static_cast<int>(std::lround(s.trnsp_val)));
        m_rotate->setValue(s.rotate_image);
    }
    m_loading = false;
    refreshPreview();
}

namespace {
// One preview at a time, on a thread of its own: Qt's shared workers stay free for the window's painting.
QThreadPool& previewWorker() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        qAddPostRoutine([] { pool->waitForDone(); });
        return p;
    }();
    return *pool;
}

// Pictures this small decode in a few milliseconds: their preview is made at once.
bool quickToDecode(const ItemPicture& picture) {
    return qint64(picture.width()) * picture.height() <= 512 * 512;
}
} // namespace

void PhotoEditPanel::makeThumb(const ItemPicture& original) {
    const quint64 request = ++m_thumbRequest;
    m_thumbPending = false;
    if (original.isNull()) {
        m_thumb = QImage();
        m_thumbKey = 0;
        return;
    }
    if (original.cacheKey() == m_thumbKey && !m_thumb.isNull())
        return;
    // Kept with the pictures the canvas draws, so the page opens again at once.
    const QSize size = original.size().scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio);
    if (quickToDecode(original)) {
        thumbMade(request, original.cacheKey(), ProcessedImageCache::processed(original, ImageAdjustSettings(), size));
        return;
    }
    m_thumb = QImage();
    m_thumbKey = 0;
    m_thumbPending = true;
    const QPointer<PhotoEditPanel> self(this);
    previewWorker().start([self, request, original, size] {
        const QImage thumb = ProcessedImageCache::processed(original, ImageAdjustSettings(), size);
        QMetaObject::invokeMethod(
            qApp,
            [self, request, key = original.cacheKey(), thumb] {
                if (self)
                    self->thumbMade(request, key, thumb);
            },
            Qt::QueuedConnection);
    });
}

void PhotoEditPanel::thumbMade(quint64 request, qint64 pictureKey, const QImage& thumb) {
    if (request != m_thumbRequest)
        return; // another photo was asked for since
    m_thumbPending = false;
    m_thumb = thumb;
    m_thumbKey = thumb.isNull() ? 0 : pictureKey;
    refreshPreview();
}

void PhotoEditPanel::load(const QString& path, const ItemPicture& original, const PhotoSettings& settings) {
    m_path = path;
    m_original = original;
    makeThumb(original);
    m_pathEdit->setText(path);
    setSettings(settings);
}

bool PhotoEditPanel::loadFile(const QString& path) {
    QString why;
    const PictureWait wait(window());
    const ItemPicture picture = MainPhoto::readPicture(path, &why);
    if (picture.isNull()) {
        if (!wait.stopped())
            Show_MessageBox(why);
        return false;
    }
    load(path, picture, settings());
    return true;
}

void PhotoEditPanel::clearPhoto() {
    load(QString(), ItemPicture(), settings());
}

void PhotoEditPanel::browse() {
    const QString path = rememberDialogPath(QFileDialog::getOpenFileName(
        this, QStringLiteral("Choose Photo"), dialogStartPath(),
        QStringLiteral("Pictures (*.png *.jpg *.jpeg *.jpe *.jfif *.gif *.bmp *.tif *.tiff)")));
    if (!path.isEmpty())
        loadFile(path);
}

void PhotoEditPanel::resetSettings() {
    setSettings(PhotoSettings{});
}

void PhotoEditPanel::refreshPreview() {
    if (m_loading)
        return;
    m_preview = MainPhoto::adjusted(m_thumb, settings());
    if (m_thumbPending) {
        m_previewLabel->setPixmap(QPixmap());
        m_previewLabel->setText(QStringLiteral("Making the preview..."));
        return;
    }
    if (m_preview.isNull()) {
        m_previewLabel->setPixmap(QPixmap());
        m_previewLabel->setText(QStringLiteral("No photo"));
        return;
    }
    const QImage shown =
        m_preview.width() > PreviewSide || m_preview.height() > PreviewSide
            ? m_preview.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : m_preview;
    m_previewLabel->setPixmap(QPixmap::fromImage(shown));
}
