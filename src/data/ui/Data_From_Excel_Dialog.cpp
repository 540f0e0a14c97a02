#include "data/ui/Data_From_Excel_Dialog.h"

#include "canvas/SideUndoCommand.h"
#include "data/Data_From_Excel.h"

#include <QAction>
#include <QStyledItemDelegate>
#include <QUndoStack>

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// One edited cell; pushed after the edit was made, so its first redo does nothing.
class CellEditCommand : public SideUndoCommand {
public:
    CellEditCommand(Data_From_Excel* table, int row, int column, QString before, QString after)
        : SideUndoCommand(QObject::tr("Edit Cell")), m_table(table), m_row(row), m_column(column),
          m_before(std::move(before)), m_after(std::move(after)) {}
    void undo() override { put(m_before); }
    void redo() override {
        if (m_done)
            put(m_after);
        m_done = true;
    }

private:
    void put(const QString& value) {
        if (m_table)
            m_table->setData(m_table->index(m_row, m_column), value, Qt::EditRole);
    }
    QPointer<Data_From_Excel> m_table;
    int m_row;
    int m_column;
    QString m_before;
    QString m_after;
    bool m_done = false;
};

QPointer<QObject> recorderOwner;
Data_From_Excel_Dialog::CellEditRecorder cellEditRecorder;

// Hands every changed cell to the recorder, or else to the dialog's undo stack.
class CellEditDelegate : public QStyledItemDelegate {
public:
    CellEditDelegate(Data_From_Excel_Dialog* dialog, Data_From_Excel* table)
        : QStyledItemDelegate(dialog), m_dialog(dialog), m_table(table) {}
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (recorderOwner && cellEditRecorder) {
            cellEditRecorder([&] { QStyledItemDelegate::setModelData(editor, model, index); });
            return;
        }
        const QString before = index.data(Qt::EditRole).toString();
        QStyledItemDelegate::setModelData(editor, model, index);
        const QString after = index.data(Qt::EditRole).toString();
        if (after != before && m_dialog->undoStack())
            m_dialog->undoStack()->push(new CellEditCommand(m_table, index.row(), index.column(), before, after));
    }

private:
    Data_From_Excel_Dialog* m_dialog;
    Data_From_Excel* m_table;
};

} // namespace

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
    ColList->setItemDelegate(new CellEditDelegate(this, table));
    auto* undoAction = new QAction(tr("Undo"), this);
    undoAction->setShortcut(QKeySequence::Undo);
    connect(undoAction, &QAction::triggered, this, [this] {
        if (_undo)
            _undo->undo();
    });
    auto* redoAction = new QAction(tr("Redo"), this);
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(redoAction, &QAction::triggered, this, [this] {
        if (_undo)
            _undo->redo();
    });
    addActions({undoAction, redoAction});

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

void Data_From_Excel_Dialog::setUndoStack(QUndoStack* stack)
{
    _undo = stack;
}

QUndoStack* Data_From_Excel_Dialog::undoStack() const
{
    return _undo;
}

namespace {

QPointer<QUndoStack>& defaultUndoStack()
{
    static QPointer<QUndoStack> stack;
    return stack;
}

Data_From_Excel_Dialog* sharedDialog = nullptr;

} // namespace

void Data_From_Excel_Dialog::setCellEditRecorder(QObject* owner, CellEditRecorder record)
{
    recorderOwner = owner;
    cellEditRecorder = std::move(record);
}

void Data_From_Excel_Dialog::setDefaultUndoStack(QUndoStack* stack)
{
    defaultUndoStack() = stack;
    if (sharedDialog)
        sharedDialog->setUndoStack(stack);
}

Data_From_Excel_Dialog* Data_From_Excel_Dialog::defaultInstance()
{
    if (!sharedDialog) {
        sharedDialog = new Data_From_Excel_Dialog(Data_From_Excel::defaultInstance());
        sharedDialog->setUndoStack(defaultUndoStack());
    }
    return sharedDialog;
}

QString Data_From_Excel_Dialog::rowsCountText(const Data_From_Excel& table)
{
    return QString::number(table.rowCountOfTable());
}

QString Data_From_Excel_Dialog::columnCountText(const Data_From_Excel& table)
{
    // The sheet's columns: the row-number column is the table's own.
    return QString::number(std::max(0, table.columnCountOfTable() - 1));
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
