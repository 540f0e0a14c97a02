#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListView;
class QStringListModel;

// The series viewer: the values of one series, read-only, with their count.
class View_Data_Series : public QDialog {
    Q_OBJECT
public:
    explicit View_Data_Series(QWidget* parent = nullptr);
    static View_Data_Series* defaultInstance();

    // Shows the series named by file_name modally; 1 when closed with OK.
    int Open_Wnd();
    // Loads the rows of the series named by file_name (a missing file gives none).
    void Load_file_Func();
    void Create_Avail_List(const QString& value);
    void Update_batch_List_Count();
    void OK_Btn_Clicked();

    QStringList rows() const;
    static QString countText(int rows) { return QStringLiteral("Total Rows : %1").arg(rows); }

    QString file_name;
    QLabel* series_name;
    QListView* List;
    QLabel* list_count;

private:
    QStringListModel* _model;
};
