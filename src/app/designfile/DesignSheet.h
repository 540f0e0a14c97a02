#pragma once

// The design file's sheet binding taken from, and given back to, the one data table of the run and the
// binding globals (Excel_Binding_Use, Excel_Source_Path).

#include "app/designfile/DesignFile.h"

class Data_From_Excel;

SheetBinding captureSheetBinding(const Data_From_Excel& table);
void restoreSheetBinding(const SheetBinding& sheet, Data_From_Excel& table);
