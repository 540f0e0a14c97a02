#include "profile/ui/ProfileDialogBase.h"

#include "canvas/SKTItems.h"
#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/PictureWait.h"
#include "common/ui/UiHelpers.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "data/ui/BindingCombos.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "profile/ProfileFields.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/ProfileDialogHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {
Data_From_Excel& dataTable() {
    return Data_From_Excel_Window ? *Data_From_Excel_Window : *Data_From_Excel::defaultInstance();
}
} // namespace

ProfileDialogBase::ProfileDialogBase(QWidget* parent) : QDialog(parent) {
    applyDialogBackground(this);
    chooseFile = [this](const QString& title, const QString& filter) {
        return rememberDialogPath(QFileDialog::getOpenFileName(this, title, dialogStartPath(), filter));
    };
}

void ProfileDialogBase::buildForm(bool captionFields, bool sideLists) {
    auto* outer = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    outer->addLayout(body);

    auto* formBox = new QGroupBox(tr("Profile"));
    _grid = new QGridLayout(formBox);
    _grid->setHorizontalSpacing(6);
    _grid->setVerticalSpacing(4);
    const int valueCol = captionFields ? 3 : 1;
    int header = 0;
    if (sideLists) {
        select_side_label = new QLabel(tr("Side"));
        select_side_label->setObjectName(QStringLiteral("select_side_label"));
        _grid->addWidget(select_side_label, header, valueCol + 4);
    }
    if (captionFields)
        _grid->addWidget(new QLabel(tr("Caption")), header, 1);
    _grid->addWidget(new QLabel(tr("Value")), header, valueCol);
    _grid->addWidget(new QLabel(tr("Data Source")), header, valueCol + 1);
    _grid->addWidget(new QLabel(tr("Series / Column")), header, valueCol + 2);

    for (int i = 0; i < profile::FieldCount; ++i) {
        const ProfileFieldInfo& info = profile::fieldInfo(i);
        FieldControls& c = fields[i];
        const int row = i + 1;
        const bool photo = i == profile::PhotoField;
        if (captionFields && !photo) {
            c.label_chk = new QCheckBox;
            c.label_chk->setObjectName(info.prefix + QStringLiteral("label_chk"));
            c.label_chk->setToolTip(tr("Edit the caption"));
            c.label = new QLineEdit(info.caption);
            c.label->setObjectName(info.prefix + QStringLiteral("label"));
            c.label->setReadOnly(true);
            int widest = 0;
            for (int k = 0; k < profile::FieldCount; ++k)
                widest =
                    std::max(widest, c.label->fontMetrics().horizontalAdvance(profile::fieldInfo(k).caption));
            c.label->setMinimumWidth(widest + 20);
            c.value_chk = new QCheckBox;
            c.value_chk->setObjectName(info.prefix + QStringLiteral("value_chk"));
            c.value_chk->setToolTip(tr("Edit the value"));
            _grid->addWidget(c.label_chk, row, 0);
            _grid->addWidget(c.label, row, 1);
            _grid->addWidget(c.value_chk, row, 2);
        } else {
            _grid->addWidget(new QLabel(info.caption), row, captionFields ? 1 : 0);
        }
        if (photo) {
            image_path_val = new QLineEdit;
            image_path_val->setObjectName(QStringLiteral("image_path_val"));
            image_path_val->setReadOnly(true);
            image_path_val->setPlaceholderText(tr("No photo"));
            _grid->addWidget(image_path_val, row, valueCol);
        } else {
            c.value = new QLineEdit;
            c.value->setObjectName(info.prefix + QStringLiteral("value"));
            c.value->setMinimumWidth(200);
            _grid->addWidget(c.value, row, valueCol);
        }
        c.ds_combo = new QComboBox;
        c.ds_combo->setObjectName(info.prefix + QStringLiteral("ds_combo"));
        c.ds_combo->addItems({tr("Manual"), tr("Series")});
        c.ser_col_cb = new QComboBox;
        c.ser_col_cb->setObjectName(info.prefix + QStringLiteral("ser_col_cb"));
        c.ser_col_cb->setMinimumWidth(140);
        c.ser_col_cb->setEnabled(false);
        c.view_btn = new QPushButton(tr("View"));
        c.view_btn->setObjectName(info.prefix + QStringLiteral("view_btn"));
        c.view_btn->setEnabled(false);
        _grid->addWidget(c.ds_combo, row, valueCol + 1);
        _grid->addWidget(c.ser_col_cb, row, valueCol + 2);
        _grid->addWidget(c.view_btn, row, valueCol + 3);
        if (sideLists) {
            c.side_combo = new QComboBox;
            c.side_combo->setObjectName(info.prefix + QStringLiteral("side_combo"));
            c.side_combo->addItems({tr("Front"), tr("Back"), tr("Both")});
            _grid->addWidget(c.side_combo, row, valueCol + 4);
        }
        connect(c.ds_combo, &QComboBox::currentIndexChanged, this, [this, i] { sourceChanged(i); });
        connect(c.ser_col_cb, &QComboBox::currentIndexChanged, this, [this, i] { listChanged(i); });
        connect(c.view_btn, &QPushButton::clicked, this,
                [this, i] { View_Data_Series_By_Name(fields[i].ser_col_cb); });
    }

    // Photo: picture with browse and clear under the form.
    const int photoRow = profile::FieldCount + 1;
    auto* photoBox = new QHBoxLayout;
    user_picture = new QLabel;
    user_picture->setObjectName(QStringLiteral("user_picture"));
    user_picture->setFixedSize(96, 96);
    user_picture->setFrameShape(QFrame::StyledPanel);
    user_picture->setAlignment(Qt::AlignCenter);
    browse_pic_btn = new QPushButton(tr("Browse Photo..."));
    browse_pic_btn->setObjectName(QStringLiteral("browse_pic_btn"));
    clear_pic_btn = new QPushButton(tr("Clear Photo"));
    clear_pic_btn->setObjectName(QStringLiteral("clear_pic_btn"));
    auto* photoButtons = new QVBoxLayout;
    photoButtons->addWidget(browse_pic_btn);
    photoButtons->addWidget(clear_pic_btn);
    photoButtons->addStretch();
    photoBox->addWidget(user_picture);
    photoBox->addLayout(photoButtons);
    photoBox->addStretch();
    _grid->addLayout(photoBox, photoRow, valueCol, 1, 3);
    connect(browse_pic_btn, &QPushButton::clicked, this, &ProfileDialogBase::Browse_image_Btn_Clicked);
    connect(clear_pic_btn, &QPushButton::clicked, this, &ProfileDialogBase::Clear_image_Btn_Clicked);

    auto* left = new QVBoxLayout;
    left->addWidget(formBox);

    // Workbook and series sources.
    auto* dataBox = new QGroupBox(tr("Data"));
    auto* dataRow = new QHBoxLayout(dataBox);
    dataRow->addWidget(new QLabel(tr("Workbook:")));
    excel_path_field = new QLineEdit;
    excel_path_field->setObjectName(QStringLiteral("excel_path_field"));
    dataRow->addWidget(excel_path_field, 1);
    browse_excel_btn = new QPushButton(tr("Browse..."));
    browse_excel_btn->setObjectName(QStringLiteral("browse_excel_btn"));
    view_excel_btn = new QPushButton(tr("View Data"));
    view_excel_btn->setObjectName(QStringLiteral("view_excel_btn"));
    batch_series_btn = new QPushButton(tr("Series..."));
    batch_series_btn->setObjectName(QStringLiteral("batch_series_btn"));
    dataRow->addWidget(browse_excel_btn);
    dataRow->addWidget(view_excel_btn);
    dataRow->addWidget(batch_series_btn);
    left->addWidget(dataBox);
    connect(browse_excel_btn, &QPushButton::clicked, this, &ProfileDialogBase::Browse_excel_Btn_Clicked);
    connect(view_excel_btn, &QPushButton::clicked, this, &ProfileDialogBase::View_Excel_Btn_Clicked);
    connect(batch_series_btn, &QPushButton::clicked, this, &ProfileDialogBase::Batch_Series_Btn_Clicked);

    body->addLayout(left);
    body->addWidget(buildPictureArea(), 1);

    auto* buttons = new QHBoxLayout;
    help_btn = new QPushButton(tr("Help"));
    reset_btn = new QPushButton(tr("Reset"));
    preview_btn = new QPushButton(tr("Preview"));
    cancel_btn = new QPushButton(tr("Cancel"));
    ok_btn = new QPushButton(tr("OK"));
    ok_btn->setDefault(true);
    for (auto [b, name] : {std::pair{help_btn, "help_btn"},
                           {reset_btn, "reset_btn"},
                           {preview_btn, "preview_btn"},
                           {cancel_btn, "cancel_btn"},
                           {ok_btn, "ok_btn"}})
        b->setObjectName(QLatin1String(name));
    buttons->addWidget(help_btn);
    buttons->addWidget(reset_btn);
    buttons->addStretch();
    buttons->addWidget(preview_btn);
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    outer->addLayout(buttons);
    connect(help_btn, &QPushButton::clicked, this, &ProfileDialogBase::Help_Btn_Clicked);
    connect(reset_btn, &QPushButton::clicked, this, &ProfileDialogBase::Reset_Btn_Clicked);
    connect(preview_btn, &QPushButton::clicked, this, &ProfileDialogBase::Preview_Btn_Clicked);
    connect(cancel_btn, &QPushButton::clicked, this, &ProfileDialogBase::Cancel_Btn_Clicked);
    connect(ok_btn, &QPushButton::clicked, this, &ProfileDialogBase::OK_Btn_Clicked);
}

void ProfileDialogBase::refreshNeighbourButtons() {
    batch_series_btn->setVisible(bool(openSeriesManager));
    browse_excel_btn->setVisible(bool(importWorkbook));
    for (FieldControls& c : fields)
        c.view_btn->setVisible(bool(viewSeries));
}

void ProfileDialogBase::showEvent(QShowEvent* event) {
    refreshNeighbourButtons();
    QDialog::showEvent(event);
}

int ProfileDialogBase::Open_Wnd(bool fromCard) {
    prepareOpening(fromCard);
    refreshNeighbourButtons();
    if (fields[0].value)
        fields[0].value->setFocus();
    const int code = exec();
    hide();
    return code;
}

// ---------------------------------------------------------------- form

ProfileForm ProfileDialogBase::form() const {
    ProfileForm out;
    for (int i = 0; i < profile::FieldCount; ++i) {
        const FieldControls& c = fields[i];
        ProfileFormField& f = out[i];
        f.value = i == profile::PhotoField ? image_path_val->text() : c.value->text();
        f.source = c.ds_combo->currentIndex();
        f.listIndex = c.ser_col_cb->currentIndex();
        f.listText = f.listIndex >= 0 ? c.ser_col_cb->currentText() : QString();
    }
    return out;
}

bool ProfileDialogBase::Check_Validation() {
    return ::Check_Validation(form(), &checked_field_name);
}

bool ProfileDialogBase::commitInto(User_Profile_Class& record, bool recordFlags, const ProfileForm& values) {
    if (!Check_Validation()) {
        Show_MessageBox(profileValidationMessage(checked_field_name));
        return false;
    }
    if (recordFlags) {
        record.Fill_User_Profile_Enable = 1;
        if (dataTable().rowCountOfTable() > 0) {
            record.Excel_Binding = 1;
            Excel_Source_Path = excel_path_field->text();
            Excel_Binding_Use = true;
        } else {
            Excel_Binding_Use = false;
            record.Excel_Binding = 0;
        }
    }
    commitFormToRecord(values, record);
    return true;
}

bool ProfileDialogBase::Fill_Front_User_profile_value_in_Variable() {
    const SideForm side = formFor(false);
    if (!_host || !commitInto(_host->profileRecord(CardSide::Front), true, side.form))
        return false;
    committedLeave[0] = side.leave;
    return true;
}

bool ProfileDialogBase::Fill_Back_User_profile_value_in_Variable() {
    const SideForm side = formFor(true);
    if (!_host || !commitInto(_host->profileRecord(CardSide::Back), true, side.form))
        return false;
    committedLeave[1] = side.leave;
    return true;
}

bool ProfileDialogBase::Fill_TEMP_User_profile_value_in_Variable() {
    // The preview shows the current side as OK would leave it.
    return _host &&
           commitInto(_host->profileRecord(CardSide::Temp), false, formFor(Card_Front_Or_Back != 0).form);
}

void ProfileDialogBase::resetValuesAndSources() {
    Set_User_Image(QString());
    for (FieldControls& c : fields)
        if (c.value)
            c.value->clear();
    for (FieldControls& c : fields) {
        if (c.ds_combo->currentIndex() == 0)
            sourceChanged(int(&c - fields.data())); // same handling as a fresh choice of entry 0
        else
            c.ds_combo->setCurrentIndex(0);
    }
    for (FieldControls& c : fields)
        c.ser_col_cb->setCurrentIndex(-1);
}

void ProfileDialogBase::loadFormFromItems(const GraphicList& items, bool switchValueChecks) {
    loadFormFromStates(profileStateFromItems(items), switchValueChecks);
}

void ProfileDialogBase::loadFormFromStates(const ProfileStates& states, bool switchValueChecks) {
    for (int i = 0; i < profile::FieldCount; ++i) {
        if (!states[i])
            continue;
        const ProfileItemState& s = *states[i];
        FieldControls& c = fields[i];
        if (i == profile::PhotoField)
            image_path_val->setText(s.value);
        else
            c.value->setText(s.value);
        if (switchValueChecks && c.value_chk)
            c.value_chk->setChecked(true);
        int type = s.dataSourceType;
        if (type == 2 && c.ds_combo->count() < 3) {
            // A column binding while no workbook was imported here: offer "Excel" when the table has rows,
            // else show the field as typed.
            if (dataTable().rowCountOfTable() > 0)
                Add_Excel_in_Data_Source_Combo();
            else
                type = 0;
        }
        if (type < 0 || type >= c.ds_combo->count())
            type = 0;
        if (c.ds_combo->currentIndex() == type)
            sourceChanged(i);
        else
            c.ds_combo->setCurrentIndex(type);
        if (type != 0) {
            int index = type == 1 || type == 2 ? s.listIndex : 0;
            // A listing position that no longer exists selects nothing (the value stays as the item has it).
            if (type == 1 && (index < 0 || index >= c.ser_col_cb->count() ||
                              c.ser_col_cb->itemText(index) != s.seriesName)) {
                const int byName = c.ser_col_cb->findText(s.seriesName);
                index = byName;
            }
            if (index < 0 || index >= c.ser_col_cb->count())
                index = -1;
            c.ser_col_cb->setCurrentIndex(index);
        }
    }
}

// ---------------------------------------------------------------- lists

void ProfileDialogBase::sourceChanged(int i) {
    try {
        FieldControls& c = fields[i];
        const int entry = c.ds_combo->currentIndex();
        const bool photo = i == profile::PhotoField;
        if (entry == 0) {
            if (photo) {
                browse_pic_btn->setEnabled(true);
                clear_pic_btn->setEnabled(true);
            } else {
                c.value->setReadOnly(false);
            }
            {
                const QSignalBlocker block(c.ser_col_cb);
                c.ser_col_cb->clear();
            }
            c.ser_col_cb->setEnabled(false);
            c.view_btn->setEnabled(false);
            return;
        }
        if (photo) {
            browse_pic_btn->setEnabled(false);
            clear_pic_btn->setEnabled(false);
        } else {
            c.value->setReadOnly(true);
        }
        c.ser_col_cb->setEnabled(true);
        if (entry == 1) {
            Fill_Data_Set_File_Name_In_Combo(c.ser_col_cb);
            c.view_btn->setEnabled(true);
        } else {
            Fill_Excel_Col_Name_In_Combo(c.ser_col_cb, dataTable());
            c.view_btn->setEnabled(false);
        }
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void ProfileDialogBase::listChanged(int i) {
    try {
        FieldControls& c = fields[i];
        const int k = c.ser_col_cb->currentIndex();
        const QString text = k >= 0 ? c.ser_col_cb->currentText() : QString();
        if (text.isEmpty())
            return;
        QString value;
        switch (c.ds_combo->currentIndex()) {
        case 1:
            value = SeriesFiles::Get_First_Value_Of_Dataset(text);
            break; // checked name inside
        case 2:
            value = Get_First_Value_Of_Excel_Binding(dataTable(), k);
            break;
        default:
            return;
        }
        if (i == profile::PhotoField)
            Set_User_Image(value);
        else
            c.value->setText(value);
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void ProfileDialogBase::Add_Excel_in_Data_Source_Combo() {
    for (FieldControls& c : fields)
        Add_Excel_Col_Name_In_Combo(c.ds_combo);
}

void ProfileDialogBase::Remove_Excel_in_Data_Source_Combo() {
    for (FieldControls& c : fields)
        Remove_Excel_Col_Name_In_Combo(c.ds_combo);
}

void ProfileDialogBase::offerTableColumns() {
    if (dataTable().rowCountOfTable() > 0)
        Add_Excel_in_Data_Source_Combo();
    else
        Remove_Excel_in_Data_Source_Combo();
}

// ---------------------------------------------------------------- buttons

void ProfileDialogBase::OK_Btn_Clicked() {
    if (!Fill_Front_User_profile_value_in_Variable())
        return;
    const QString side = Trim_Str(load_side);
    if (side.isEmpty() || side == QLatin1String("B")) {
        if (!Fill_Back_User_profile_value_in_Variable())
            return;
    }
    done(1);
}

void ProfileDialogBase::Cancel_Btn_Clicked() {
    if (dataTable().rowCountOfTable() > 0)
        Excel_Source_Path = excel_path_field->text();
    done(0);
}

void ProfileDialogBase::Help_Btn_Clicked() {
    Open_Help_File();
}

void ProfileDialogBase::Browse_excel_Btn_Clicked() {
    if (!importWorkbook)
        return;
    const QString path = chooseFile(tr("Choose Workbook"), tr("Workbooks (*.xlsx *.XLSX)"));
    if (path.isEmpty())
        return;
    excel_path_field->setText(path);
    if (Check_And_Validate_File_Path(path) != 0)
        return;
    importWorkbook(path);
    if (dataTable().rowCountOfTable() > 0)
        Add_Excel_in_Data_Source_Combo();
    else
        Remove_Excel_in_Data_Source_Combo();
}

void ProfileDialogBase::View_Excel_Btn_Clicked() {
    try {
        Data_From_Excel_Dialog::defaultInstance()->Open_Wnd();
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void ProfileDialogBase::Batch_Series_Btn_Clicked() {
    if (openSeriesManager)
        openSeriesManager();
}

void ProfileDialogBase::View_Data_Series_By_Name(QComboBox* list) {
    const QString name = list && list->currentIndex() >= 0 ? Trim_Str(list->currentText()) : QString();
    if (name.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select the series."));
        return;
    }
    // The name becomes a file name: only a name the series folder can hold is passed on.
    if (!SeriesFiles::isValidName(name)) {
        Show_MessageBox(QStringLiteral("Please select the series."));
        return;
    }
    if (viewSeries)
        viewSeries(name);
}

void ProfileDialogBase::Browse_image_Btn_Clicked() {
    const QString path = chooseFile(
        tr("Choose Photo"), tr("Pictures (*.jpg *.jpeg *.jpe *.jfif *.gif *.bmp *.png *.tif *.tiff)"));
    if (path.isEmpty()) {
        Library_Selected_Image.clear();
        return;
    }
    Set_User_Image(path);
}

void ProfileDialogBase::Clear_image_Btn_Clicked() {
    Set_User_Image(QString());
}

void ProfileDialogBase::Set_User_Image(const QString& path) {
    const QString p = Trim_Str(path);
    if (p.isEmpty()) {
        image_path_val->setText(p);
        showImage(user_picture, &userPictureImage, QImage());
        return;
    }
    // Read as the profile's picture item reads it (the same limits and message); a large picture is read, and
    // its thumbnail made, on a worker under the wait sheet. Stop leaves the photo as it was.
    QString why;
    const PictureWait wait(window());
    const ItemPicture picture = SKTImage::loadPicture(p, &why);
    QImage image;
    if (!picture.isNull()) {
        const QSize box = user_picture ? user_picture->size() : QSize(96, 96);
        pictures::runRead([&](const std::atomic<bool>& stop, std::atomic<int>&) {
            if (!stop)
                image = picture.image(picture.size().scaled(box, Qt::KeepAspectRatio));
        });
    }
    if (wait.stopped())
        return;
    image_path_val->setText(p);
    if (!image.isNull())
        showImage(user_picture, &userPictureImage, image);
    else
        Show_MessageBox(why.isEmpty() ? QStringLiteral("%1: The picture could not be read.").arg(QFileInfo(p).fileName()) : why);
}

void ProfileDialogBase::showImage(QLabel* view, QImage* store, const QImage& image) {
    *store = image;
    if (!view)
        return;
    if (image.isNull()) {
        view->clear();
        return;
    }
    const QSize box = view->size().boundedTo(view->maximumSize()).expandedTo(QSize(16, 16));
    view->setPixmap(QPixmap::fromImage(image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void ProfileDialogBase::Create_and_Set_Preview_picture() {
    showImage(Preivew_picture, &previewImage, _host ? _host->renderSide(Graphics_array) : QImage());
}

void ProfileDialogBase::Preview_Btn_Clicked() {
    if (!_host || !Fill_TEMP_User_profile_value_in_Variable())
        return;
    _host->Temp_Design_Control_Assign();
    const float savedX = last_ctrl_X, savedY = last_ctrl_Y;
    _host->Fill_User_profile_info_TEMP_side();
    Graphics_array = _host->Get_Temp_Controls_Array();
    Create_and_Set_Preview_picture();
    last_ctrl_X = savedX;
    last_ctrl_Y = savedY;
}
