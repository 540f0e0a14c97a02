// The inspector's picture and signature pages: the picture's border, flips and adjustments, the signature's
// picture and border, and the browsing for their files.

#include "app/inspector/InspectorPanel.h"

#include "app/inspector/ColorWell.h"
#include "app/inspector/InspectorPanelParts.h"
#include "canvas/SKTItems.h"
#include "common/Prompt.h"
#include "common/ui/PictureWait.h"
#include "common/ui/UiHelpers.h"
#include "imaging/ImageAdjustments.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QVBoxLayout>

using namespace inspector;
using namespace inspector::parts;

QWidget* InspectorPanel::buildImagePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    Image_border_chk = check(QStringLiteral("Image_border_chk"), tr("Border"));
    Image_Border_Box = box(QStringLiteral("Image_Border_Box"));
    auto* bf = new QFormLayout(Image_Border_Box);
    Image_bordr_clr = new ColorWell(QStringLiteral("Image_bordr_clr"));
    Image_bor_Stepper =
        intStepper(QStringLiteral("Image_bor_Stepper"), QStringLiteral("Image_bor_Text"), 0, 50);
    Image_border_style = dashCombo(QStringLiteral("Image_border_style"));
    bf->addRow(tr("Colour"), Image_bordr_clr);
    bf->addRow(tr("Width"), Image_bor_Stepper);
    bf->addRow(tr("Style"), Image_border_style);
    v->addWidget(Image_border_chk);
    v->addWidget(Image_Border_Box);
    Image_FIH_chk = check(QStringLiteral("Image_FIH_chk"), tr("Flip horizontally"));
    Image_FIV_chk = check(QStringLiteral("Image_FIV_chk"), tr("Flip vertically"));
    v->addWidget(row({Image_FIH_chk, Image_FIV_chk}));

    Image_Edit_Prop_Box = box(QStringLiteral("Image_Edit_Prop_Box"), tr("Adjustments"));
    auto* g = new QGridLayout(Image_Edit_Prop_Box);
    Image_Gray_Scale_chk = check(QStringLiteral("Image_Gray_Scale_chk"), tr("Grey scale"));
    Image_Sepia_chk = check(QStringLiteral("Image_Sepia_chk"), tr("Sepia"));
    Image_Invert_chk = check(QStringLiteral("Image_Invert_chk"), tr("Invert"));
    g->addWidget(row({Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk}), 0, 0, 1, 3);
    using namespace ImageAdjust;
    struct SliderDef {
        QSlider** slot;
        const char* name;
        QString text;
        Range range;
        double scale;
    };
    const SliderDef defs[] = {
        {&Rotate_slidr, "Rotate_slidr", tr("Rotation"), Rotation, 1},
        {&Trsp_slidr, "Trsp_slidr", tr("Opacity"), Transparency, 1},
        {&Hue_slidr, "Hue_slidr", tr("Hue"), Hue, 100},
        {&Sat_slidr, "Sat_slidr", tr("Saturation"), Saturation, 100},
        {&Brt_slidr, "Brt_slidr", tr("Brightness"), Brightness, 100},
        {&Con_slidr, "Con_slidr", tr("Contrast"), Contrast, 100},
        {&shrp_slidr, "shrp_slidr", tr("Sharpness"), Sharpness, 100},
        {&ev_slidr, "ev_slidr", tr("Exposure"), Exposure, 10},
        {&blr_slidr, "blr_slidr", tr("Blur"), Blur, 1},
    };
    int r = 1;
    for (const SliderDef& d : defs) {
        QSlider* s =
            makeSlider(Image_Edit_Prop_Box, QString::fromLatin1(d.name), d.range.min, d.range.max, d.scale);
        *d.slot = s;
        setSliderValue(s, d.range.neutral);
        g->addWidget(new QLabel(d.text), r, 0);
        g->addWidget(s, r, 1);
        g->addWidget(
            Image_Edit_Prop_Box->findChild<QLabel*>(QString::fromLatin1(d.name) + QStringLiteral("_val")), r,
            2);
        connect(s, &QSlider::valueChanged, this, &InspectorPanel::Update_Image_Graphics);
        ++r;
    }
    Image_reset_btn = button(QStringLiteral("Image_reset_Button"), tr("Reset"));
    g->addWidget(Image_reset_btn, r, 0, 1, 3, Qt::AlignRight);
    v->addWidget(Image_Edit_Prop_Box);
    v->addStretch(1);

    connect(Image_border_chk, &QCheckBox::toggled, this, &InspectorPanel::Image_Border_ChkBox);
    connect(Image_bordr_clr, &ColorWell::colorPicked, this, &InspectorPanel::Update_Image_Graphics);
    connect(Image_bor_Stepper, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Image_Graphics);
    for (QCheckBox* c :
         {Image_FIH_chk, Image_FIV_chk, Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk})
        connect(c, &QCheckBox::toggled, this, &InspectorPanel::Update_Image_Graphics);
    connect(Image_reset_btn, &QPushButton::clicked, this, &InspectorPanel::Image_reset_Button);
    return page;
}

QWidget* InspectorPanel::buildSignPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* f = new QFormLayout;
    Sign_image_path = new QLineEdit;
    Sign_image_path->setObjectName(QStringLiteral("Sign_image_path"));
    Sign_image_path->setReadOnly(true);
    auto* browse = button(QStringLiteral("Sign_Browse_Btn"), tr("Browse…"));
    f->addRow(tr("Picture (PNG)"), Sign_image_path);
    f->addRow(QString(), browse);
    v->addLayout(f);
    Sign_border_chk = check(QStringLiteral("Sign_border_chk"), tr("Border"));
    Sign_Border_Box = box(QStringLiteral("Sign_Border_Box"));
    auto* bf = new QFormLayout(Sign_Border_Box);
    Sign_bordr_clr = new ColorWell(QStringLiteral("Sign_bordr_clr"));
    Sign_bor_Stepper = intStepper(QStringLiteral("Sign_bor_Stepper"), QStringLiteral("Sign_bor_Text"), 0, 50);
    Sign_border_style = dashCombo(QStringLiteral("Sign_border_style"));
    bf->addRow(tr("Colour"), Sign_bordr_clr);
    bf->addRow(tr("Width"), Sign_bor_Stepper);
    bf->addRow(tr("Style"), Sign_border_style);
    v->addWidget(Sign_border_chk);
    v->addWidget(Sign_Border_Box);
    v->addStretch(1);
    connect(browse, &QPushButton::clicked, this, &InspectorPanel::Sign_Browse_Btn);
    connect(Sign_border_chk, &QCheckBox::toggled, this, &InspectorPanel::Sign_Border_ChkBox);
    connect(Sign_bordr_clr, &ColorWell::colorPicked, this, &InspectorPanel::Update_Sign_Graphics);
    connect(Sign_bor_Stepper, &QSpinBox::valueChanged, this, &InspectorPanel::Update_Sign_Graphics);
    return page;
}

void InspectorPanel::loadSign(const SKTGraphic& g) {
    loadDataSource(g);
    Sign_image_path->setText(g._file_path);
    Sign_border_chk->setChecked(g._isDrawingStroke);
    Sign_bor_Stepper->setValue(truncatedWidth(g._strokeWidth));
    Sign_bordr_clr->setColor(g._strokeColor);
    setDashSelection(Sign_border_style, g._stroke_border_type);
    SetObjEnabled(Sign_Border_Box, Sign_border_chk->isChecked());
    m_browsedSignPath.reset();
}

void InspectorPanel::loadImage(const SKTGraphic& g) {
    Manual_image_path->setText(g._file_path);
    loadDataSource(g);
    Image_border_chk->setChecked(g._isDrawingStroke);
    Image_bor_Stepper->setValue(truncatedWidth(g._strokeWidth));
    Image_bordr_clr->setColor(g._strokeColor);
    setDashSelection(Image_border_style, g._stroke_border_type);
    SetObjEnabled(Image_Border_Box, Image_border_chk->isChecked());
    setSliderValue(Rotate_slidr, g.rotate_image);
    setSliderValue(Trsp_slidr, g.img_trnsp_val);
    setSliderValue(Hue_slidr, g.hue_val);
    setSliderValue(Sat_slidr, g.sat_val);
    setSliderValue(Brt_slidr, g.brt_val);
    setSliderValue(Con_slidr, g.con_val);
    setSliderValue(shrp_slidr, g.srp_val);
    setSliderValue(ev_slidr, g.ev_val);
    setSliderValue(blr_slidr, g.blr_val);
    Image_Gray_Scale_chk->setChecked(g.gray_Scale);
    Image_Sepia_chk->setChecked(g.Sepia);
    Image_Invert_chk->setChecked(g.invert_clr);
    Image_FIV_chk->setChecked(g._isFlippedVertically);
    Image_FIH_chk->setChecked(g._isFlippedHorizontally);
    m_browsedImagePath.reset();
}

ImagePanelValues InspectorPanel::imageValues() const {
    ImagePanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.stroke = strokeValues(Image_border_chk, Image_bordr_clr, Image_bor_Stepper, Image_border_style);
    v.flipH = Image_FIH_chk->isChecked();
    v.flipV = Image_FIV_chk->isChecked();
    v.invert = Image_Invert_chk->isChecked();
    v.grayScale = Image_Gray_Scale_chk->isChecked();
    v.sepia = Image_Sepia_chk->isChecked();
    v.transparency = sliderValue(Trsp_slidr);
    v.rotation = sliderValue(Rotate_slidr);
    v.hue = sliderValue(Hue_slidr);
    v.saturation = sliderValue(Sat_slidr);
    v.brightness = sliderValue(Brt_slidr);
    v.contrast = sliderValue(Con_slidr);
    v.sharpness = sliderValue(shrp_slidr);
    v.exposure = sliderValue(ev_slidr);
    v.blur = sliderValue(blr_slidr);
    return v;
}

void InspectorPanel::Update_Image_Graphics() {
    const ImagePanelValues v = imageValues();
    const ImagePanelValues was = std::exchange(m_shown.image, v);
    const std::optional<QString> browsed = m_browsedImagePath;
    m_browsedImagePath.reset();
    const QString path = Manual_image_path->text();
    const QString wasPath = std::exchange(m_shown.imagePath, path);
    writeSelection([&](SKTGraphic& g, qsizetype count, bool shown) {
        ImagePanelValues mine = shown ? was : v;
        if (browsed && !shown)
            mine.path = browsed;
        else if (count == 1)
            mine.path = shown ? wasPath : path;
        applyImagePanel(g, mine, shown ? PanelWrite::Baseline : PanelWrite::Edit);
    });
}

SignPanelValues InspectorPanel::signValues() const {
    SignPanelValues v;
    v.printObject = print_object_chk->isChecked() ? 1 : 0;
    v.stroke = strokeValues(Sign_border_chk, Sign_bordr_clr, Sign_bor_Stepper, Sign_border_style);
    return v;
}

void InspectorPanel::Update_Sign_Graphics() {
    const SignPanelValues v = signValues();
    const SignPanelValues was = std::exchange(m_shown.sign, v);
    const std::optional<QString> browsed = m_browsedSignPath;
    m_browsedSignPath.reset();
    const QString path = Sign_image_path->text();
    const QString wasPath = std::exchange(m_shown.signPath, path);
    writeSelection([&](SKTGraphic& g, qsizetype count, bool shown) {
        SignPanelValues mine = shown ? was : v;
        if (browsed && !shown)
            mine.path = browsed;
        else if (count == 1)
            mine.path = shown ? wasPath : path;
        applySignPanel(g, mine, shown ? PanelWrite::Baseline : PanelWrite::Edit);
    });
}

int InspectorPanel::Open_Image_Library_Window(const QString& mode) {
    const std::optional<QString> chosen = chooseLibraryPicture ? chooseLibraryPicture(mode) : std::nullopt;
    if (!chosen)
        return 0;
    lib_window_sel_file = *chosen;
    return 1;
}

bool InspectorPanel::Browse_User_Image_Manually() {
    const QString path = chooseFile ? chooseFile(tr("Choose a picture"), pictureExtensions()) : QString();
    if (path.isEmpty()) {
        Library_Selected_Image.clear();
        return false;
    }
    if (!hasPictureExtension(path, pictureExtensions())) {
        Library_Selected_Image.clear();
        Show_MessageBox(QStringLiteral("Please select valid file path."));
        return false;
    }
    Library_Selected_Image = path;
    Manual_image_path->setText(path);
    return true;
}

void InspectorPanel::Manual_Image_Browse_Btn() {
    if (!Browse_User_Image_Manually())
        return;
    // The items' new picture and the main photo it may bring are one step, taken before either changes.
    const CardEditScope scope(m_host, tr("Choose Picture"));
    takeChosenPicture(Library_Selected_Image);
}

void InspectorPanel::Manual_Library_Browse_Btn() {
    if (Open_Image_Library_Window(QStringLiteral("C")) != 1)
        return;
    const CardEditScope scope(m_host, tr("Choose Picture"));
    Library_Selected_Image = lib_window_sel_file;
    Manual_image_path->setText(Library_Selected_Image);
    takeChosenPicture(Library_Selected_Image);
}

void InspectorPanel::takeChosenPicture(const QString& path) {
    const PictureWait wait(window());
    const GraphicPtr current = m_host->currentGraphic();
    GraphicList targets = writtenSelection();
    if (current && !targets.contains(current))
        targets << current;
    const auto isMainPhotoItem = [](const GraphicPtr& g) {
        return g->kind() == GraphicKind::Image && g->control_ID == QLatin1String("PARTY_IMAGE");
    };
    const bool mainPhoto = std::any_of(targets.cbegin(), targets.cend(), isMainPhotoItem);
    const bool readForCurrent = current && !isMainPhotoItem(current) &&
                                (current->kind() == GraphicKind::Image || current->kind() == GraphicKind::Signature);
    const QString oldPath = current ? current->_file_path : QString();
    const ItemPicture oldImage = current ? current->_image : ItemPicture();
    const auto putBack = [&] {
        if (readForCurrent) {
            current->_file_path = oldPath;
            current->_image = oldImage;
        }
        Manual_image_path->setText(m_shown.imagePath);
    };
    // The inspected item's picture is read first: Stop, or a file that is no picture (said by the read),
    // leaves every item and the main photo as they were.
    if (readForCurrent) {
        setItemFilePath(*current, path);
        if (wait.stopped() || current->_image.isNull()) {
            putBack();
            return;
        }
    }
    // The main photo's item shows the main photo: it changes before that item takes the path.
    if (mainPhoto) {
        // A picture that could not become the main photo goes to none of them.
        QString why;
        if (!m_host->Update_frame_Main_Photo_And_Path(path, true, &why)) {
            putBack();
            if (!wait.stopped())
                Show_MessageBox(why);
            return;
        }
    }
    if (current && !readForCurrent)
        setItemFilePath(*current, path);
    // The other pictures take the one just read instead of reading the file again: one read, one Stop.
    if (current && current->_file_path == path && !current->_image.isNull())
        for (const GraphicPtr& g : std::as_const(targets))
            if (g != current && g->kind() == current->kind() && g->control_ID != QLatin1String("PARTY_IMAGE")) {
                g->_file_path = path;
                g->_image = current->_image;
            }
    m_browsedImagePath = path;
    Update_Image_Graphics();
}

void InspectorPanel::Reset_Image_Editing_Controls() {
    ensureItemPages();
    const ImagePanelValues v = resetImageValues();
    const QSignalBlocker b1(Rotate_slidr), b2(Trsp_slidr), b3(Hue_slidr), b4(Sat_slidr), b5(Brt_slidr),
        b6(Con_slidr), b7(shrp_slidr), b8(ev_slidr), b9(blr_slidr), c1(Image_Gray_Scale_chk),
        c2(Image_Sepia_chk), c3(Image_Invert_chk), c4(Image_FIV_chk), c5(Image_FIH_chk);
    setSliderValue(Rotate_slidr, v.rotation);
    setSliderValue(Trsp_slidr, v.transparency);
    setSliderValue(Hue_slidr, v.hue);
    setSliderValue(Sat_slidr, v.saturation);
    setSliderValue(Brt_slidr, v.brightness);
    setSliderValue(Con_slidr, v.contrast);
    setSliderValue(shrp_slidr, v.sharpness);
    setSliderValue(ev_slidr, v.exposure);
    setSliderValue(blr_slidr, v.blur);
    Image_Gray_Scale_chk->setChecked(v.grayScale);
    Image_Sepia_chk->setChecked(v.sepia);
    Image_Invert_chk->setChecked(v.invert);
    Image_FIV_chk->setChecked(v.flipV);
    Image_FIH_chk->setChecked(v.flipH);
}

void InspectorPanel::Image_reset_Button() {
    if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to continue?")))
        return;
    Reset_Image_Editing_Controls();
    Update_Image_Graphics();
}

void InspectorPanel::Image_Border_ChkBox() {
    SetObjEnabled(Image_Border_Box, Image_border_chk->isChecked());
    Update_Image_Graphics();
}

void InspectorPanel::Sign_Browse_Btn() {
    static const QStringList png = {QStringLiteral("png")};
    const QString path = chooseFile ? chooseFile(tr("Choose a signature picture"), png) : QString();
    if (path.isEmpty())
        return;
    if (!hasPictureExtension(path, png)) {
        Show_MessageBox(QStringLiteral("Please select valid file path."));
        return;
    }
    Sign_image_path->setText(path);
    m_browsedSignPath = path;
    Update_Sign_Graphics();
}

void InspectorPanel::Sign_Border_ChkBox() {
    SetObjEnabled(Sign_Border_Box, Sign_border_chk->isChecked());
    Update_Sign_Graphics();
}
