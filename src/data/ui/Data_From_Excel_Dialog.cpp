#include "data/ui/Data_From_Excel_Dialog.h"

#include "data/Data_From_Excel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

Data_From_Excel_Dialog::Data_From_Excel_Dialog(Data_From_Excel* table, QWidget* parent)
    : QDialog(parent), _table(table)
{
    setWindowTitle(tr("Spreadsheet Data"));
    setPalette(QPalette(QColor::fromRgbF(0.9450980392156862f, 0.9568627450980393f, 0.9803921568627451f)));
    setAutoFillBackground(true);

    ColList = new QTableView(this);
    ColList->setModel(table);
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->horizontalHeader()->setDefaultSectionSize(100);
    ColList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ColList->verticalHeader()->setVisible(false);
    ColList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);

    rows_count = new QLabel(this);
    column_count = new QLabel(this);
    auto* counts = new QHBoxLayout;
    counts->addWidget(new QLabel(tr("Rows:"), this));
    counts->addWidget(rows_count);
    counts->addSpacing(20);
    counts->addWidget(new QLabel(tr("Columns:"), this));
    counts->addWidget(column_count);
    counts->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ColList);
    layout->addLayout(counts);
    layout->addWidget(buttons);
    resize(720, 480);

    connect(table, &QAbstractItemModel::modelReset, this, &Data_From_Excel_Dialog::refreshCounts);
    connect(table, &QAbstractItemModel::rowsInserted, this, &Data_From_Excel_Dialog::refreshCounts);
    refreshCounts();
}

Data_From_Excel_Dialog* Data_From_Excel_Dialog::defaultInstance()
{
    static Data_From_Excel_Dialog* dialog = new Data_From_Excel_Dialog(Data_From_Excel::defaultInstance());
    return dialog;
}

QString Data_From_Excel_Dialog::rowsCountText(const Data_From_Excel& table)
{
    return QString::number(table.rowCountOfTable());
}

QString Data_From_Excel_Dialog::columnCountText(const Data_From_Excel& table)
{
    return QString::number(table.columnCountOfTable());
}

void Data_From_Excel_Dialog::refreshCounts()
{
    rows_count->setText(rowsCountText(*_table));
    column_count->setText(columnCountText(*_table));
}

int Data_From_Excel_Dialog::Open_Wnd()
{
    refreshCounts();
    const int result = exec();
    hide();
    return result;
}
