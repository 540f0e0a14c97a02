#pragma once

// What both profile dialogs share: per field a value, a data source (typed, a series, a data-table column)
// with its series/column list and view button, the photo, the workbook path, validation, the commit of the
// form into a record, OK, Cancel, Reset, Help and the preview.

#include "canvas/SKTGraphic.h"
#include "profile/ProfileForm.h"

#include <QDialog>
#include <QImage>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class ProfileDialogHost;
class User_Profile_Class;

class ProfileDialogBase : public QDialog {
    Q_OBJECT
public:
    struct FieldControls {
        QLineEdit* value = nullptr;      // the ten text fields; the photo uses image_path_val
        QComboBox* ds_combo = nullptr;   // 0 typed value, 1 series, 2 "Excel" while offered
        QComboBox* ser_col_cb = nullptr; // series names or data-table column titles
        QPushButton* view_btn = nullptr;
        QComboBox* side_combo = nullptr; // both-sides dialog only
        QLineEdit* label = nullptr;      // current-side dialog only: caption field
        QCheckBox* label_chk = nullptr;
        QCheckBox* value_chk = nullptr;
    };

    void setHost(ProfileDialogHost* host) { _host = host; }
    ProfileDialogHost* host() const { return _host; }

    // Prepares the form as an opening does, runs the dialog modally and gives 1 for OK, 0 for Cancel.
    int Open_Wnd(bool fromCard);
    // The opening without the modal loop.
    virtual void prepareOpening(bool fromCard) = 0;
    virtual void Reset_all_Ctrl() = 0;

    // --- form ---
    ProfileForm form() const;
    // What OK commits into the record of a side (back false: the front) and the fields it leaves alone.
    virtual SideForm formFor(bool back) const { return {form(), {}}; }
    // The fields the last OK left alone on the front and on the back.
    std::array<ProfileFieldMask, 2> committedLeave{};
    bool Check_Validation();
    bool Fill_Front_User_profile_value_in_Variable();
    bool Fill_Back_User_profile_value_in_Variable();
    bool Fill_TEMP_User_profile_value_in_Variable();

    // --- actions ---
    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();
    void Reset_Btn_Clicked() { Reset_all_Ctrl(); }
    void Help_Btn_Clicked();
    void Browse_excel_Btn_Clicked();
    void View_Excel_Btn_Clicked();
    void Batch_Series_Btn_Clicked();
    void Browse_image_Btn_Clicked();
    void Clear_image_Btn_Clicked();
    void Preview_Btn_Clicked();
    void View_Data_Series_By_Name(QComboBox* list);
    void Set_User_Image(const QString& path);
    void Add_Excel_in_Data_Source_Combo();
    void Remove_Excel_in_Data_Source_Combo();
    // Offers "Excel" exactly when the data table has rows (it may have been filled from the Data menu).
    void offerTableColumns();
    void Create_and_Set_Preview_picture();

    // Neighbouring windows; a button whose window is not set is hidden.
    std::function<void(const QString& name)> viewSeries;     // the series viewer
    std::function<void()> openSeriesManager;                 // the series manager
    std::function<void(const QString& path)> importWorkbook; // the sheet import into the data table
    // Picks a file for opening (title, name filter); empty on cancel. Tests replace it.
    std::function<QString(const QString& title, const QString& filter)> chooseFile;

    std::array<FieldControls, 11> fields;
    QString load_side;
    QLineEdit* excel_path_field = nullptr;
    QLineEdit* image_path_val = nullptr;
    QLabel* user_picture = nullptr;
    QImage userPictureImage; // what user_picture shows
    QPushButton* browse_pic_btn = nullptr;
    QPushButton* clear_pic_btn = nullptr;
    QLabel* Preivew_picture = nullptr;
    QImage previewImage; // what Preivew_picture shows
    GraphicList Graphics_array;
    QString checked_field_name;

    QPushButton* ok_btn = nullptr;
    QPushButton* cancel_btn = nullptr;
    QPushButton* reset_btn = nullptr;
    QPushButton* help_btn = nullptr;
    QPushButton* preview_btn = nullptr;
    QPushButton* browse_excel_btn = nullptr;
    QPushButton* view_excel_btn = nullptr;
    QPushButton* batch_series_btn = nullptr;

protected:
    explicit ProfileDialogBase(QWidget* parent);
    // Builds the controls: captions (caption fields with check boxes) or side lists.
    void buildForm(bool captionFields, bool sideLists);
    // Extra column content beside the form (picture views); called once by buildForm.
    virtual QWidget* buildPictureArea() = 0;
    // Per-field reset of values and sources shared by both resets.
    void resetValuesAndSources();
    // Fills the form from a side's profile items; switchValueChecks turns on the value boxes of loaded texts.
    void loadFormFromItems(const GraphicList& items, bool switchValueChecks);
    void loadFormFromStates(const ProfileStates& states, bool switchValueChecks);
    void showImage(QLabel* view, QImage* store, const QImage& image);
    bool commitInto(User_Profile_Class& record, bool recordFlags, const ProfileForm& values);
    void refreshNeighbourButtons();
    void showEvent(QShowEvent* event) override;

    QLabel* select_side_label = nullptr;
    QGridLayout* _grid = nullptr;

private:
    void sourceChanged(int field);
    void listChanged(int field);
    ProfileDialogHost* _host = nullptr;
};
