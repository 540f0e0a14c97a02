#include "profile/ui/Show_User_Profile.h"

#include "common/Globals.h"
#include "data/BatchState.h"
#include "profile/ProfileFields.h"
#include "profile/ui/ProfileDialogHost.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

Show_User_Profile* Show_User_Profile_Window = nullptr;

namespace {
Show_User_Profile* instance = nullptr;
}

Show_User_Profile::Show_User_Profile(QWidget* parent) : ProfileDialogBase(parent) {
    setObjectName(QStringLiteral("Show_User_Profile"));
    buildForm(true, false);
    wireCheckBoxes();

    // Placeholder views: never shown, their frames are the default places of new profile items.
    const ProfileTemplates& t = ProfileTemplates::defaults();
    horz_template = new QWidget(this);
    horz_template->setObjectName(QStringLiteral("horz_template"));
    horz_template->setGeometry(0, 0, 504, int(t.horzTemplateHeight));
    horz_template->hide();
    vert_template = new QWidget(this);
    vert_template->setObjectName(QStringLiteral("vert_template"));
    vert_template->setGeometry(0, 0, 360, 504);
    vert_template->hide();
    for (int i = 0; i < profile::FieldCount; ++i) {
        const ProfileFieldInfo& info = profile::fieldInfo(i);
        for (bool portrait : {false, true}) {
            auto* view = new QWidget(horz_template);
            view->setObjectName(info.placeholder + (portrait ? QStringLiteral("_V") : QString()));
            view->setGeometry((portrait ? t.portrait : t.landscape).value(info.controlId).toRect());
        }
    }
    setWindowTitle(tr("Front Side User Profile Information"));
    instance = this;
    Show_User_Profile_Window = this;
}

Show_User_Profile::~Show_User_Profile() {
    if (instance == this)
        instance = nullptr;
    if (Show_User_Profile_Window == this)
        Show_User_Profile_Window = nullptr;
}

Show_User_Profile* Show_User_Profile::defaultInstance() {
    if (!instance)
        instance = new Show_User_Profile;
    return instance;
}

QWidget* Show_User_Profile::placeholder(const QString& name) const {
    return horz_template ? horz_template->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly) : nullptr;
}

ProfileTemplates Show_User_Profile::templates() const {
    ProfileTemplates out;
    out.horzTemplateHeight = horz_template ? horz_template->height() : 0;
    if (horz_template)
        out.landscapeCard = QSizeF(horz_template->size());
    if (vert_template)
        out.portraitCard = QSizeF(vert_template->size());
    for (int i = 0; i < profile::FieldCount; ++i) {
        const ProfileFieldInfo& info = profile::fieldInfo(i);
        if (QWidget* v = placeholder(info.placeholder))
            out.landscape.insert(info.controlId, QRectF(v->geometry()));
        if (QWidget* v = placeholder(info.placeholder + QStringLiteral("_V")))
            out.portrait.insert(info.controlId, QRectF(v->geometry()));
    }
    return out;
}

QWidget* Show_User_Profile::buildPictureArea() {
    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->addWidget(new QLabel(tr("Preview:")));
    Preivew_picture = new QLabel;
    Preivew_picture->setObjectName(QStringLiteral("Preivew_picture"));
    Preivew_picture->setFixedSize(320, 240);
    Preivew_picture->setFrameShape(QFrame::StyledPanel);
    Preivew_picture->setAlignment(Qt::AlignCenter);
    column->addWidget(Preivew_picture);
    column->addStretch();
    return area;
}

void Show_User_Profile::wireCheckBoxes() {
    for (FieldControls& c : fields) {
        if (!c.label_chk)
            continue;
        QLineEdit* label = c.label;
        QLineEdit* value = c.value;
        QCheckBox* labelChk = c.label_chk;
        QCheckBox* valueChk = c.value_chk;
        // A click unlocks or locks its field; states set from code do not (clicked is the user's only).
        connect(labelChk, &QCheckBox::clicked, this, [label](bool on) { label->setReadOnly(!on); });
        connect(valueChk, &QCheckBox::clicked, this, [value](bool on) { value->setReadOnly(!on); });
        // Typing switches the field's box on; text set from code does not (textEdited is the user's only).
        connect(label, &QLineEdit::textEdited, this, [labelChk] { labelChk->setChecked(true); });
        connect(value, &QLineEdit::textEdited, this, [valueChk] { valueChk->setChecked(true); });
    }
}

void Show_User_Profile::Reset_all_Ctrl() {
    showImage(Preivew_picture, &previewImage, QImage());
    Set_User_Image(QString());
    for (FieldControls& c : fields)
        if (c.label_chk)
            c.label_chk->setChecked(false);
    for (FieldControls& c : fields)
        if (c.value_chk)
            c.value_chk->setChecked(false);
    resetValuesAndSources();
}

void Show_User_Profile::prepareOpening(bool fromCard) {
    Reset_all_Ctrl();
    offerTableColumns();
    excel_path_field->setText(Excel_Source_Path);
    Graphics_array.clear();
    const bool back = Card_Front_Or_Back != 0;
    setWindowTitle(back ? QStringLiteral("Back Side User Profile Information")
                        : QStringLiteral("Front Side User Profile Information"));
    if (host())
        Graphics_array = host()->sideItems(back);
    Create_and_Set_template_picture();
    if (fromCard)
        loadFormFromItems(Graphics_array, true);
}
