#include "app/designfile/DesignSheet.h"

#include "data/BatchState.h"
#include "data/Data_From_Excel.h"

SheetBinding captureSheetBinding(const Data_From_Excel& table) {
    SheetBinding s;
    s.inUse = Excel_Binding_Use;
    s.workbookPath = Excel_Source_Path;
    s.columnTitles = table.columnTitles();
    s.rows = table.content();
    return s;
}

void restoreSheetBinding(const SheetBinding& sheet, Data_From_Excel& table) {
    Excel_Binding_Use = sheet.inUse;
    Excel_Source_Path = sheet.workbookPath;
    QStringList titles = sheet.columnTitles;
    // Without stored titles the columns are those of the rows' keys.
    if (titles.isEmpty()) {
        titles << Data_From_Excel::RowNumberTitle;
        for (int c = 1; c < sheet.rows.columnCount(); ++c)
            titles << QStringLiteral("Untitled Column %1").arg(c);
    }
    DataTableContent rows = sheet.rows;
    if (rows.columnCount() != titles.size())
        rows.setColumnCount(int(titles.size()));
    table.setContent(titles, rows);
}
