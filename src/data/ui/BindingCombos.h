#pragma once

// The inspector's and profile dialogs' data-source lists, filled from the series folder and the data table.

#include <QString>

class QComboBox;
class Data_From_Excel;

// Every series name in listing order; the previous entries and selection are dropped.
void Fill_Data_Set_File_Name_In_Combo(QComboBox* combo);
// The data table's column titles, the row-number column first, so a position is an excel_col_indx.
void Fill_Excel_Col_Name_In_Combo(QComboBox* combo, const Data_From_Excel& table);
// The data-source choice "Excel": added to a combo holding exactly "Manual" and "Series", removed from one
// holding three entries; any other combo is left alone.
void Add_Excel_Col_Name_In_Combo(QComboBox* combo);
void Remove_Excel_Col_Name_In_Combo(QComboBox* combo);

// Title and text of the data-source help.
QString dataSourceHelpTitle();
QString dataSourceHelpText();
