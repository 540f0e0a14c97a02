#pragma once

// Process-wide state of data binding. Written on the GUI thread before a run; a run's worker reads only
// the snapshot it was given.

#include <QString>

extern bool Use_Data_Sheet_Values;    // series values are used by the coming run
extern bool Use_Excel_Binding_Values; // data-table values are used by the coming run
extern int Data_table_rows;           // rows of the longest bound series
extern int Excel_table_rows;          // rows of the data table, when in use
extern int Total_Batch_Excel_Card;    // cards of the run: the larger count

extern bool Excel_Binding_Use;     // a workbook with rows is bound to the design (stored as "Y"/"N")
extern QString Excel_Source_Path;  // path of that workbook (stored with the design)
