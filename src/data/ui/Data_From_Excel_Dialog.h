#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>

class Data_From_Excel;
class QLabel;
class QTableView;
class QUndoStack;

// The window of the spreadsheet data table: the rows with their counts; cells can be edited.
class Data_From_Excel_Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Data_From_Excel_Dialog(Data_From_Excel* table, QWidget* parent = nullptr);
    static Data_From_Excel_Dialog* defaultInstance();

    // Shows the counts, runs the window modally and returns its result (1 OK).
    int Open_Wnd();

    // Texts of the count labels: rows, and the sheet's columns (the row-number column left out).
    static QString rowsCountText(const Data_From_Excel& table);
    static QString columnCountText(const Data_From_Excel& table);

    // Cell edits become steps of this stack (the design's: the table is stored with the design). Ctrl+Z,
    // Ctrl+Shift+Z and Ctrl+Y undo and redo them while the window is open.
    void setUndoStack(QUndoStack* stack);
    // The stack of the shared window, which is made when first asked for.
    static void setDefaultUndoStack(QUndoStack* stack);
    QUndoStack* undoStack() const;
    // While owner lives, each cell edit runs through record (the editor window makes it one step of the
    // design with the first row it shows) instead of becoming a step of the stack alone.
    using CellEditRecorder = std::function<void(const std::function<void()>& edit)>;
    static void setCellEditRecorder(QObject* owner, CellEditRecorder record);

    QTableView* ColList = nullptr;
    QLabel* rows_count = nullptr;
    QLabel* column_count = nullptr;

private:
    void refreshCounts();
    Data_From_Excel* _table;
    QPointer<QUndoStack> _undo;
};
