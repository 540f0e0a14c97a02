#pragma once

#include "data/XlsxReader.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

// The sheet import: pick a worksheet of a workbook and tick columns. Mode "E" replaces the spreadsheet data
// table with them; mode "D" appends their cells, row by row, to the series manager's value list.
class Import_Excel : public QDialog {
    Q_OBJECT
public:
    explicit Import_Excel(QWidget* parent = nullptr);
    static Import_Excel* defaultInstance();

    // Reads the workbook, shows its first sheet's columns and runs the window modally. 1 when something
    // was imported, 0 otherwise.
    int Open_excel_Wnd(const QString& path);
    // The reading part of Open_excel_Wnd (for callers that run the window themselves).
    void Load_file_Func(const QString& path);
    void selectSheet(int index);

    void OKPressed();
    void CancelPressed();
    void Select_ALL_Pressed();
    void Clear_All_Pressed();

    bool Get_Selection_State(int column) const;
    bool Check_For_One_Extension_Selection() const;
    QList<int> tickedColumns() const;
    void setTicked(int column, bool ticked);

    QString open_mode = QStringLiteral("D");
    QLineEdit* file_path;
    QCheckBox* contains_header;
    QComboBox* Sheet_ComboBox;
    QListWidget* ColList;
    std::shared_ptr<const SheetData> excel_content; // the sheet shown

private:
    bool Insert_file_Func();
    bool Create_Excel_List_Func();
    void showColumns(const QStringList& titles);
    QString _path;
    bool _imported = false;
    QString _unreadable; // why the workbook could not be opened at all; empty when it could
    bool _stopped = false; // the user stopped the first reading
};
