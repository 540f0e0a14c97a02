#include "data/ui/BindingCombos.h"

#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"

#include <QComboBox>
#include <QSignalBlocker>

void Fill_Data_Set_File_Name_In_Combo(QComboBox* combo)
{
    if (!combo)
        return;
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(SeriesFiles::Get_datasheet_File_Name_Array());
    combo->setCurrentIndex(-1);
}

void Fill_Excel_Col_Name_In_Combo(QComboBox* combo, const Data_From_Excel& table)
{
    if (!combo)
        return;
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(table.columnTitles());
    combo->setCurrentIndex(-1);
}

void Add_Excel_Col_Name_In_Combo(QComboBox* combo)
{
    if (combo && combo->count() == 2)
        combo->addItem(QStringLiteral("Excel"));
}

void Remove_Excel_Col_Name_In_Combo(QComboBox* combo)
{
    if (combo && combo->count() == 3)
        combo->removeItem(2);
}

QString dataSourceHelpTitle() { return QStringLiteral("Batch Processing Settings Help :"); }

QString dataSourceHelpText()
{
    return QStringLiteral("Select Data Source as 'Manual' to enter value manually, Select 'Batch Processing Series' "
                          "to fetch the value from the list of existing Batch Processing Series.");
}
