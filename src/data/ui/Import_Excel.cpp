#include "data/ui/Import_Excel.h"

#include "common/Prompt.h"
#include "common/ui/UiHelpers.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesImport.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/SeriesDialogSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

Import_Excel::Import_Excel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Import_Excel"));
    setWindowTitle(tr("Import Excel Sheet"));
    applyDialogBackground(this);
    file_path = new QLineEdit(this);
    file_path->setReadOnly(true);
    contains_header = new QCheckBox(tr("First row contains column titles"), this);
    Sheet_ComboBox = new QComboBox(this);
    Sheet_ComboBox->setObjectName(QStringLiteral("Sheet_ComboBox"));
    ColList = new QListWidget(this);
    ColList->setObjectName(QStringLiteral("ColList"));
    auto* selectAll = new QPushButton(tr("Select All"), this);
    auto* clearAll = new QPushButton(tr("Clear All"), this);
    selectAll->setAutoDefault(false);
    clearAll->setAutoDefault(false);
    connect(selectAll, &QPushButton::clicked, this, &Import_Excel::Select_ALL_Pressed);
    connect(clearAll, &QPushButton::clicked, this, &Import_Excel::Clear_All_Pressed);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Import_Excel::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &Import_Excel::CancelPressed);

    auto* form = new QFormLayout;
    form->addRow(tr("File:"), file_path);
    form->addRow(tr("Sheet:"), Sheet_ComboBox);
    auto* tickRow = new QHBoxLayout;
    tickRow->addWidget(selectAll);
    tickRow->addWidget(clearAll);
    tickRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(contains_header);
    layout->addWidget(new QLabel(tr("Columns:"), this));
    layout->addWidget(ColList, 1);
    layout->addLayout(tickRow);
    layout->addWidget(buttons);
    resize(440, 460);

    connect(Sheet_ComboBox, &QComboBox::currentIndexChanged, this, &Import_Excel::selectSheet);
}

Import_Excel* Import_Excel::defaultInstance() {
    static Import_Excel* dialog = new Import_Excel(mainWindow());
    return dialog;
}

int Import_Excel::Open_excel_Wnd(const QString& path) {
    Load_file_Func(path);
    if (_stopped)
        return 0;
    if (!_unreadable.isEmpty()) {
        // Nothing to pick from: say why instead of showing an empty window.
        Show_MessageBox(_unreadable);
        return 0;
    }
    SeriesDialogs::runModal(this);
    hide();
    return _imported ? 1 : 0;
}

void Import_Excel::Load_file_Func(const QString& path) {
    _path = path;
    _imported = false;
    file_path->setText(path);
    contains_header->setChecked(true);
    ColList->clear();
    excel_content.reset();
    {
        const QSignalBlocker block(Sheet_ComboBox);
        Sheet_ComboBox->clear();
    }
    const SeriesImport::SheetRead read = SeriesDialogs::readSheetWithWait(this, path, 0);
    _unreadable = read.sheetNames.isEmpty() ? read.error : QString();
    _stopped = read.stopped;
    const QSignalBlocker block(Sheet_ComboBox);
    Sheet_ComboBox->addItems(read.sheetNames);
    Sheet_ComboBox->setCurrentIndex(read.sheetNames.isEmpty() ? -1 : 0);
    excel_content = read.sheet;
    showColumns(excel_content ? SeriesImport::sheetColumnTitles(*excel_content) : QStringList());
    if (_unreadable.isEmpty() && !_stopped && !SeriesDialogs::sheetReadMessage(read).isEmpty())
        Show_MessageBox(SeriesDialogs::sheetReadMessage(read));
}

void Import_Excel::selectSheet(int index) {
    if (index < 0)
        return;
    const SeriesImport::SheetRead read = SeriesDialogs::readSheetWithWait(this, _path, index);
    // The column list always belongs to the sheet shown, also when that sheet is empty.
    excel_content = read.sheet;
    showColumns(excel_content ? SeriesImport::sheetColumnTitles(*excel_content) : QStringList());
    if (!SeriesDialogs::sheetReadMessage(read).isEmpty())
        Show_MessageBox(SeriesDialogs::sheetReadMessage(read));
}

void Import_Excel::showColumns(const QStringList& titles) {
    ColList->clear();
    for (const QString& t : titles) {
        auto* item = new QListWidgetItem(t, ColList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

bool Import_Excel::Get_Selection_State(int column) const {
    const QListWidgetItem* item = ColList->item(column);
    return item && item->checkState() == Qt::Checked;
}

bool Import_Excel::Check_For_One_Extension_Selection() const {
    return !tickedColumns().isEmpty();
}

QList<int> Import_Excel::tickedColumns() const {
    QList<int> columns;
    for (int i = 0; i < ColList->count(); ++i) {
        if (Get_Selection_State(i))
            columns << i;
    }
    return columns;
}

void Import_Excel::setTicked(int column, bool ticked) {
    if (QListWidgetItem* item = ColList->item(column))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void Import_Excel::Select_ALL_Pressed() {
    for (int i = 0; i < ColList->count(); ++i)
        setTicked(i, true);
}

void Import_Excel::Clear_All_Pressed() {
    for (int i = 0; i < ColList->count(); ++i)
        setTicked(i, false);
}

void Import_Excel::OKPressed() {
    if (ColList->count() == 0) {
        Show_MessageBox(QStringLiteral("There is no column."));
        return;
    }
    if (!Check_For_One_Extension_Selection()) {
        Show_MessageBox(QStringLiteral("No column is selected."));
        return;
    }
    _imported = open_mode == QLatin1String("D") ? Insert_file_Func() : Create_Excel_List_Func();
    excel_content.reset();
    done(_imported ? 1 : 0);
}

void Import_Excel::CancelPressed() {
    excel_content.reset();
    done(0);
}

bool Import_Excel::Insert_file_Func() {
    if (!excel_content || excel_content->rowCount() <= (contains_header->isChecked() ? 1 : 0)) {
        Show_MessageBox(SeriesImport::corruptMessage());
        return false;
    }
    const PooledValues values =
        SeriesImport::sheetValuesRowByRow(*excel_content, tickedColumns(), contains_header->isChecked());
    if (!SeriesImport::hasValues(values)) {
        Show_MessageBox(SeriesImport::noValuesMessage());
        return false;
    }
    return !BatchWizard_Window || BatchWizard_Window->Create_Value_List(values);
}

bool Import_Excel::Create_Excel_List_Func() {
    QString error;
    QStringList renamed;
    // The table shares the sheet as read: nothing is copied, so the window stays responsive after OK.
    if (!Data_From_Excel::defaultInstance()->importSheet(excel_content, tickedColumns(), &error,
                                                         contains_header->isChecked(), &renamed)) {
        Show_MessageBox(SeriesImport::corruptMessage());
        return false;
    }
    if (!renamed.isEmpty())
        Show_MessageBox(QStringLiteral("Columns with the same title were given distinct titles:\n") +
                        renamed.join(u'\n'));
    return true;
}
