#include "data/DataBinding.h"

#include "common/Prompt.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"

#include <QSet>

bool isBindableItem(const SKTGraphic& item)
{
    const GraphicKind k = item.kind();
    return k == GraphicKind::Text || k == GraphicKind::Image || k == GraphicKind::Barcode;
}

namespace {
bool sideUses(const GraphicList& items, int type)
{
    for (const GraphicPtr& g : items) {
        if (g && isBindableItem(*g) && g->data_source_type == type)
            return true;
    }
    return false;
}
} // namespace

bool Check_Side_Dataset_Is_Used(const GraphicList& items) { return sideUses(items, 1); }
bool Check_Side_Excel_Binding_Is_Used(const GraphicList& items) { return sideUses(items, 2); }

bool Check_Batch_File_In_Use_Validation(const QString& name, const GraphicList& front, const GraphicList& back,
                                        bool twoSided)
{
    if (!SeriesFiles::exists(name))
        return false;
    auto uses = [&name](const GraphicList& items) {
        for (const GraphicPtr& g : items) {
            if (g && isBindableItem(*g) && g->data_source_type == 1 && g->batch_list_name == name)
                return true;
        }
        return false;
    };
    return uses(front) || (twoSided && uses(back));
}

void SeriesBindingTable::build(const GraphicList& front, const GraphicList& back, bool twoSided)
{
    _lists.clear();
    load(front);
    if (twoSided)
        load(back);
}

void SeriesBindingTable::load(const GraphicList& items)
{
    QSet<QString> missing;
    for (const GraphicPtr& g : items) {
        if (!g || !isBindableItem(*g) || g->data_source_type != 1)
            continue;
        const QString& name = g->batch_list_name;
        if (_lists.contains(name) || missing.contains(name))
            continue;
        QString error;
        if (const auto values = SeriesFiles::readForBinding(name, &error)) {
            _lists.insert(name, *values);
        } else {
            // A missing series is no failure: its items get empty values; one log line per series.
            missing.insert(name);
            Show_NSLog_Message(error);
        }
    }
}

QString SeriesBindingTable::value(const QString& name, int row) const
{
    const auto it = _lists.constFind(name);
    if (it == _lists.constEnd() || row < 0 || row >= it->size())
        return {};
    return it->at(row);
}

int SeriesBindingTable::rowCount() const
{
    qsizetype rows = 0;
    for (const QStringList& l : _lists)
        rows = qMax(rows, l.size());
    return int(qMin<qsizetype>(rows, std::numeric_limits<int>::max()));
}

void Check_Series_Or_Excel_Use_or_not(const GraphicList& front, const GraphicList& back, bool twoSided,
                                      const Data_From_Excel& table, SeriesBindingTable& series)
{
    series.clear();
    Use_Data_Sheet_Values = Check_Side_Dataset_Is_Used(front) || (twoSided && Check_Side_Dataset_Is_Used(back));
    if (Use_Data_Sheet_Values) {
        series.build(front, back, twoSided);
        if (series.rowCount() == 0)
            Use_Data_Sheet_Values = false;
    }
    Use_Excel_Binding_Values =
        Check_Side_Excel_Binding_Is_Used(front) || (twoSided && Check_Side_Excel_Binding_Is_Used(back));
    if (Use_Excel_Binding_Values && table.rowCountOfTable() == 0)
        Use_Excel_Binding_Values = false;
    Get_total_Card_count(series, table);
}

void Get_total_Card_count(const SeriesBindingTable& series, const Data_From_Excel& table)
{
    Data_table_rows = Use_Data_Sheet_Values ? series.rowCount() : 0;
    Excel_table_rows = Use_Excel_Binding_Values ? table.rowCountOfTable() : 0;
    Total_Batch_Excel_Card = qMax(Data_table_rows, Excel_table_rows);
}

QString Get_First_Value_Of_Excel_Binding(const Data_From_Excel& table, int column)
{
    if (table.rowCountOfTable() == 0) {
        Show_NSLog_Message(QStringLiteral("The data table has no rows."));
        return {};
    }
    return table.value(0, column);
}
