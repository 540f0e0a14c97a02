#include "app/designfile/DesignSheet.h"

#include "data/BatchState.h"
#include "data/Data_From_Excel.h"

SheetBinding captureSheetBinding(const Data_From_Excel& table) {
    SheetBinding s;
    s.inUse = Excel_Binding_Use;
    s.workbookPath = Excel_Source_Path;
    s.columnTitles = table.columnTitles();
    for (int r = 0; r < table.rowCountOfTable(); ++r) {
        QMap<QString, QString> row;
        const QVariantMap m = table.rowDictionary(r);
        for (auto it = m.cbegin(); it != m.cend(); ++it)
            row.insert(it.key(), it.value().toString());
        s.rows.append(row);
    }
    return s;
}

void restoreSheetBinding(const SheetBinding& sheet, Data_From_Excel& table) {
    Excel_Binding_Use = sheet.inUse;
    Excel_Source_Path = sheet.workbookPath;
    QVariantList titles;
    for (const QString& t : sheet.columnTitles)
        titles << t;
    QVariantList rows;
    for (const auto& row : sheet.rows) {
        QVariantMap m;
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            m.insert(it.key(), it.value());
        rows << m;
    }
    table.restoreFromVariant(titles, rows);
}
