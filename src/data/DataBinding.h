#pragma once

// Which data sources a design uses and how many cards a run makes. Items bind through their fields
// data_source_type (1 series, 2 data-table column), batch_list_name and excel_col_indx; only items that
// are exactly text, picture or barcode items take part.

#include "canvas/SKTGraphic.h"

#include <QHash>
#include <QString>
#include <QStringList>

class Data_From_Excel;

// True when the item's kind takes part in binding (text, picture, barcode; not signatures, shapes, lines).
bool isBindableItem(const SKTGraphic& item);

// The side holds a bindable item bound to a series (type 1) or to a data-table column (type 2).
bool Check_Side_Dataset_Is_Used(const GraphicList& items);
bool Check_Side_Excel_Binding_Is_Used(const GraphicList& items);

// True when the series file exists and a bindable item of the open design is bound to it by name
// (the back side counts only for a two-sided design).
bool Check_Batch_File_In_Use_Validation(const QString& name, const GraphicList& front, const GraphicList& back,
                                        bool twoSided);

// The series binding table: the values of every bound series, looked up by the series name (an item's
// batch_list_index is a listing position kept for the file format only; the listing can change order).
class SeriesBindingTable {
public:
    // Loads each series bound on the front (and back for a two-sided design) once. A missing or unreadable
    // file gives no values (logged once) and no rows.
    void build(const GraphicList& front, const GraphicList& back, bool twoSided);
    void clear() { _lists.clear(); }

    // Value `row` of the named series; empty when the series has no such row or was not loaded.
    QString value(const QString& name, int row) const;
    // Rows of the longest loaded series; 0 when none is loaded.
    int rowCount() const;
    bool contains(const QString& name) const { return _lists.contains(name); }
    const QHash<QString, QStringList>& lists() const { return _lists; }

private:
    void load(const GraphicList& items);
    QHash<QString, QStringList> _lists;
};

// Decides the sources of the coming run and counts its cards: sets Use_Data_Sheet_Values,
// Use_Excel_Binding_Values, Data_table_rows, Excel_table_rows and Total_Batch_Excel_Card, and rebuilds
// `series` from the series files. GUI thread.
void Check_Series_Or_Excel_Use_or_not(const GraphicList& front, const GraphicList& back, bool twoSided,
                                      const Data_From_Excel& table, SeriesBindingTable& series);
// Counts again after the caller switched a source off (that source then counts 0 rows).
void Get_total_Card_count(const SeriesBindingTable& series, const Data_From_Excel& table);

// Design-time value of a table-bound item: the first row's value in the column; empty without rows.
QString Get_First_Value_Of_Excel_Binding(const Data_From_Excel& table, int column);
