#pragma once

#include "data/PooledValues.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The series import wizard: a workbook, a text file (text, RTF, CSV), pasted text or a picture folder into a
// new series file (file_name_required 1) or into the series manager's value list.
class Import_Wizard : public QDialog {
    Q_OBJECT
public:
    explicit Import_Wizard(QWidget* parent = nullptr);
    static Import_Wizard* defaultInstance();

    int Open_Wnd();

    void Excel_RD_Pressed();
    void Text_RD_Pressed();
    void Manual_RD_Pressed();
    void Image_RD_Pressed();
    void Browse_Excel_Pressed();
    void Browse_Text_Pressed();
    void Browse_Image_Pressed();
    void OKPressed();
    void CancelPressed();
    void HelpPressed();

    void Enable_Disable_Excel_Option(bool on);
    void Enable_Disable_Text_Option(bool on);
    void Enable_Disable_Manual_Option(bool on);
    void Enable_Disable_Image_Option(bool on);

    bool Create_And_Save_Text_Data_Sheet(const QString& path);
    bool Create_And_Save_Manual_Paste_data_Sheet();
    bool Create_And_Save_Image_data_Sheet(const QString& folder);

    int import_option = 0;
    int file_name_required = 0;
    int file_name_Insert = 0;

    QRadioButton* Excel_RD;
    QRadioButton* Text_RD;
    QRadioButton* Mnul_RD;
    QRadioButton* Image_RD;
    QLineEdit* Excel_path;
    QPushButton* Excel_btn;
    QLineEdit* Text_path;
    QPushButton* Text_btn;
    QLineEdit* Text_file_name;
    QPlainTextEdit* ManualEdit;
    QLineEdit* Manual_file_name;
    QLineEdit* Image_path;
    QPushButton* Image_btn;
    QLineEdit* Image_file_name;

private:
    void selectSource(int option);
    // Hands the values to their target; false when the file was not written (the dialog stays open).
    // readNote: how the source was read, told with the rest once the values are delivered.
    bool deliver(const PooledValues& values, QLineEdit* nameField, const QString& readNote = {});
};
