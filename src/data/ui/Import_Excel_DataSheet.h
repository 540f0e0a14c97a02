#pragma once

#include "data/XlsxReader.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTableWidget;

// Sheet columns to series: each ticked column becomes a series named by its header, or all ticked columns
// go, row by row, into one series that is new, replaces an existing one or is appended to one.
class Import_Excel_DataSheet : public QDialog {
    Q_OBJECT
public:
    explicit Import_Excel_DataSheet(QWidget* parent = nullptr);
    static Import_Excel_DataSheet* defaultInstance();

    int Open_excel_Wnd(const QString& path);
    void Load_file_Func(const QString& path);
    void selectSheet(int index);

    void OKPressed();
    void CancelPressed();
    void Select_ALL_Pressed();
    void Clear_All_Pressed();
    void Each_Col_RD_Click();
    void Fill_Col_RD_Click();
    void Fill_Type_CellClick(int option);

    bool Get_Selection_State(int column) const;
    bool Check_For_One_Extension_Selection() const;
    void setTicked(int column, bool ticked);
    // The series name of a column in each-column mode (its header unless the user changed it).
    QString headerName(int column) const;
    void setHeaderName(int column, const QString& name);

    int fill_col_option = 0; // 0 new, 1 replace, 2 append
    int file_name_Insert = 0;

    QLineEdit* file_path;
    QCheckBox* contains_header;
    QComboBox* Sheet_ComboBox;
    QTableWidget* ColList;
    QRadioButton* Each_col_RD;
    QRadioButton* Fill_col_RD;
    QGroupBox* fill_box;
    QButtonGroup* matrix_fill_type;
    QLineEdit* list_name;
    QComboBox* List_ComboBox;
    std::shared_ptr<const SheetData> excel_content;

private:
    bool Create_file_For_Col_Func();
    bool Insert_file_Func();
    QList<int> tickedColumns() const;
    void showColumns(const QStringList& titles);
    QString _path;
    QString _unreadable; // why the workbook could not be opened at all; empty when it could
    bool _stopped = false; // the user stopped the first reading
};
