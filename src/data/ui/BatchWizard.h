#pragma once

#include "data/PooledValues.h"

#include <QDialog>
#include <QStringList>

class Load_Num_Info;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStackedWidget;
class QStringListModel;
class Update_Ex_Num;

// The series manager: screen 1 lists the series of the data folder, screen 2 edits the values of one.
class BatchWizard : public QDialog {
    Q_OBJECT
public:
    explicit BatchWizard(QWidget* parent = nullptr);
    static BatchWizard* defaultInstance();

    int Open_Wnd();
    void Fill_List();

    // Appends a value (trimmed; an empty one is ignored).
    void Create_Value_List(const QString& value);
    // Appends values as Create_Value_List does; after the list-loading question's "Yes" the first delivery
    // replaces the list, so a cancelled import leaves it as it was.
    void Create_Value_List(const QStringList& values);
    // False, with the user told, when the values do not fit in memory (the list is left as it was).
    bool Create_Value_List(const PooledValues& values);
    void Create_Avail_List(const QString& name);

    void Show_hide_first_screen(bool hide);
    void Show_hide_Last_screen(bool hide);
    bool isFirstScreenShown() const;

    // Screen 1.
    void Import_Btn_Clicked();
    void CreateSeries_Btn_Clicked();
    void AddNew_Btn_Clicked();
    void Update_Btn_Clicked() { On_Update(); }
    void Delete_List_Btn_Clicked();
    void Help_Btn_Clicked();
    void Close_Btn_Clicked();
    // Screen 2.
    void Import_Value_Btn_Clicked();
    void Series_Value_Btn_Clicked();
    void Delete_Rows_Btn_Clicked();
    void Save_Btn_Clicked();
    void Export_Value_Btn_Clicked();
    void Back_Btn_Clicked();
    void Close_2_Btn_Clicked();
    // Screen 2 holds values or a name that differ from the series as it was opened or last saved.
    bool hasUnsavedEdits() const;
    // Escape and the window's close button leave screen 2 the way Close does.
    void reject() override;

    void On_Update();
    void OnGetSelected();
    bool Batch_List_Selection_Validation();
    void Update_batch_List_Count();
    void Update_Value_List_Count();
    void Mark_List_New_Selection(int row);
    void Mark_List_New_Selection_Value(int row);

    // Writes the values to path as "xlsx" (format 0) or "txt" (any other); tells the export-finished
    // window the real result. True when written.
    bool Export_Values_To(const QString& path, int format);
    // The export of a name chosen in the save panel: a typed ".xlsx" or ".txt" picks the format, any other
    // name gets the extension of `format` (0 xlsx, 1 text); an existing file at the final path is replaced
    // only after the user said "Yes".
    bool Export_Values_To_Chosen(const QString& chosen, int format);
    // Replaces the value at row; false when there is no such row.
    bool Replace_Value(int row, const QString& value);

    QStringList seriesNames() const;
    QStringList values() const;
    QString update_list_name; // name of the series when it was opened; empty for a new one

    QStackedWidget* screens;
    QListView* List;
    QListView* List_value;
    QLineEdit* batch_list_name;
    QLabel* batch_list_count;
    QLabel* batch_value_count;
    Load_Num_Info* Load_Number_Window;
    Update_Ex_Num* Update_Value_Wnd;

private:
    bool askLoadMode();
    // Asks Save / Discard / Cancel when screen 2 holds unsaved edits; true when they may be left.
    bool offerToSaveEdits();
    void rememberSaved();
    QStringList _savedValues;
    QString _savedName;
    QList<int> selectedRows(QListView* view) const;
    QStringListModel* _names;
    QStringListModel* _values;
    bool _replaceOnDelivery = false;
};

// The series manager of the run, through which the import dialogs hand values over; null before it exists.
extern BatchWizard* BatchWizard_Window;
