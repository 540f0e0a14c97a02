#include "data/BatchState.h"

bool Use_Data_Sheet_Values = false;
bool Use_Excel_Binding_Values = false;
int Data_table_rows = 0;
int Excel_table_rows = 0;
int Total_Batch_Excel_Card = 0;
bool Excel_Binding_Use = false;
QString Excel_Source_Path;
