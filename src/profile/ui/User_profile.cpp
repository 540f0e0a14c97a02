#include "profile/ui/User_profile.h"

#include "common/Globals.h"
#include "data/BatchState.h"
#include "profile/ProfileFields.h"
#include "profile/ui/ProfileDialogHost.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
User_profile* instance = nullptr;

QLabel* pictureView(const QString& name) {
    auto* view = new QLabel;
    view->setObjectName(name);
    view->setFixedSize(300, 215);
    view->setFrameShape(QFrame::StyledPanel);
    view->setAlignment(Qt::AlignCenter);
    return view;
}
} // namespace

User_profile::User_profile(QWidget* parent) : ProfileDialogBase(parent) {
    setObjectName(QStringLiteral("User_profile"));
    buildForm(false, true);
    setWindowTitle(tr("User Profile Information"));
    instance = this;
}

User_profile::~User_profile() {
    if (instance == this)
        instance = nullptr;
}

User_profile* User_profile::defaultInstance() {
    if (!instance)
        instance = new User_profile;
    return instance;
}

QWidget* User_profile::buildPictureArea() {
    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->addWidget(new QLabel(tr("Card:")));
    Template_picture = pictureView(QStringLiteral("Template_picture"));
    column->addWidget(Template_picture);
    column->addWidget(new QLabel(tr("Preview:")));
    Preivew_picture = pictureView(QStringLiteral("Preivew_picture"));
    column->addWidget(Preivew_picture);
    column->addStretch();
    return area;
}

void User_profile::Create_and_Set_template_picture() {
    const QImage image = host() ? host()->renderSide(Graphics_array) : QImage();
    showImage(Template_picture, &templateImage, image);
    showImage(Preivew_picture, &previewImage, image);
}

void User_profile::Reset_all_Ctrl() {
    showImage(Template_picture, &templateImage, QImage());
    showImage(Preivew_picture, &previewImage, QImage());
    resetValuesAndSources();
    for (FieldControls& c : fields)
        c.side_combo->setCurrentIndex(2);
}

SideForm User_profile::formFor(bool back) const {
    if (!_bothSides)
        return ProfileDialogBase::formFor(back);
    std::array<int, 11> sides{};
    for (int i = 0; i < profile::FieldCount; ++i)
        sides[i] = fields[i].side_combo->currentIndex();
    return formForSide(form(), sides, _rows, _sideStates[back ? 1 : 0], back);
}

void User_profile::prepareOpening(bool fromCard) {
    _bothSides = !fromCard;
    _rows = {};
    _sideStates = {};
    if (fromCard) {
        Reset_all_Ctrl();
        offerTableColumns();
        excel_path_field->setText(Excel_Source_Path);
        select_side_label->hide();
        for (FieldControls& c : fields)
            c.side_combo->hide();
        Graphics_array.clear();
        const bool back = Card_Front_Or_Back != 0;
        setWindowTitle(back ? QStringLiteral("Back Side User Profile Information")
                            : QStringLiteral("Front Side User Profile Information"));
        if (host())
            Graphics_array = host()->sideItems(back);
        Create_and_Set_template_picture();
        for (FieldControls& c : fields)
            c.side_combo->setCurrentIndex(back ? 1 : 0);
        loadFormFromItems(Graphics_array, false);
    } else {
        setWindowTitle(QStringLiteral("User Profile Information"));
        select_side_label->show();
        for (FieldControls& c : fields)
            c.side_combo->show();
        Reset_all_Ctrl();
        offerTableColumns();
        if (givenStates) {
            _sideStates = *givenStates;
            givenStates.reset();
        } else if (host()) {
            _sideStates = {profileStateFromItems(host()->sideItems(false)),
                           profileStateFromItems(host()->sideItems(true))};
        }
        const bool back = Card_Front_Or_Back != 0;
        _rows = bothSidesRows(_sideStates[0], _sideStates[1], back);
        ProfileStates shown;
        for (int i = 0; i < profile::FieldCount; ++i)
            shown[i] = _rows[i].shown;
        loadFormFromStates(shown, false);
        for (int i = 0; i < profile::FieldCount; ++i)
            fields[i].side_combo->setCurrentIndex(_rows[i].side);
        // The card the profile goes on, as it is now.
        Graphics_array = host() ? host()->sideItems(back) : GraphicList();
        Create_and_Set_template_picture();
    }
}
