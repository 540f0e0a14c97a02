#include "data/ui/Import_Excel_DataSheet.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"
#include "data/SeriesFiles.h"
#include "data/SeriesImport.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/SeriesDialogSupport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

Import_Excel_DataSheet::Import_Excel_DataSheet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Import_Excel_DataSheet"));
    setWindowTitle(tr("Import Excel Columns as Series"));
    applyDialogBackground(this);

    file_path = new QLineEdit(this);
    file_path->setReadOnly(true);
    contains_header = new QCheckBox(tr("First row contains column titles"), this);
    Sheet_ComboBox = new QComboBox(this);
    ColList = new QTableWidget(0, 2, this);
    ColList->setHorizontalHeaderLabels({tr("Column"), tr("Series Name")});
    ColList->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ColList->verticalHeader()->setVisible(false);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* selectAll = new QPushButton(tr("Select All"), this);
    auto* clearAll = new QPushButton(tr("Clear All"), this);
    selectAll->setAutoDefault(false);
    clearAll->setAutoDefault(false);

    Each_col_RD = new QRadioButton(tr("Each selected column as its own series"), this);
    Fill_col_RD = new QRadioButton(tr("All selected columns into one series"), this);
    fill_box = new QGroupBox(this);
    auto* newRD = new QRadioButton(tr("New"), fill_box);
    auto* replaceRD = new QRadioButton(tr("Replace"), fill_box);
    auto* appendRD = new QRadioButton(tr("Append"), fill_box);
    matrix_fill_type = new QButtonGroup(this);
    matrix_fill_type->addButton(newRD, 0);
    matrix_fill_type->addButton(replaceRD, 1);
    matrix_fill_type->addButton(appendRD, 2);
    list_name = new QLineEdit(fill_box);
    list_name->setObjectName(QStringLiteral("list_name"));
    List_ComboBox = new QComboBox(fill_box);
    List_ComboBox->setObjectName(QStringLiteral("List_ComboBox"));
    auto* fillLayout = new QVBoxLayout(fill_box);
    auto* matrix = new QHBoxLayout;
    matrix->addWidget(newRD);
    matrix->addWidget(replaceRD);
    matrix->addWidget(appendRD);
    matrix->addStretch();
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("Series Name:"), fill_box));
    nameRow->addWidget(list_name, 1);
    nameRow->addWidget(List_ComboBox, 1);
    fillLayout->addLayout(matrix);
    fillLayout->addLayout(nameRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Import_Excel_DataSheet::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &Import_Excel_DataSheet::CancelPressed);

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
    layout->addWidget(ColList, 1);
    layout->addLayout(tickRow);
    layout->addWidget(Each_col_RD);
    layout->addWidget(Fill_col_RD);
    layout->addWidget(fill_box);
    layout->addWidget(buttons);
    resize(500, 560);

    connect(selectAll, &QPushButton::clicked, this, &Import_Excel_DataSheet::Select_ALL_Pressed);
    connect(clearAll, &QPushButton::clicked, this, &Import_Excel_DataSheet::Clear_All_Pressed);
    connect(Each_col_RD, &QRadioButton::clicked, this, &Import_Excel_DataSheet::Each_Col_RD_Click);
    connect(Fill_col_RD, &QRadioButton::clicked, this, &Import_Excel_DataSheet::Fill_Col_RD_Click);
    connect(matrix_fill_type, &QButtonGroup::idClicked, this, &Import_Excel_DataSheet::Fill_Type_CellClick);
    connect(Sheet_ComboBox, &QComboBox::currentIndexChanged, this, &Import_Excel_DataSheet::selectSheet);
}

Import_Excel_DataSheet* Import_Excel_DataSheet::defaultInstance() {
    static Import_Excel_DataSheet* dialog = new Import_Excel_DataSheet(mainWindow());
    return dialog;
}

int Import_Excel_DataSheet::Open_excel_Wnd(const QString& path) {
    Load_file_Func(path);
    if (_stopped)
        return 0;
    if (!_unreadable.isEmpty()) {
        // Nothing to pick from: say why instead of showing an empty window.
        Show_MessageBox(_unreadable);
        return 0;
    }
    const int result = SeriesDialogs::runModal(this);
    hide();
    return result;
}

void Import_Excel_DataSheet::Load_file_Func(const QString& path) {
    _path = path;
    matrix_fill_type->button(0)->setChecked(true);
    Fill_Type_CellClick(0);
    Each_col_RD->setChecked(true);
    Each_Col_RD_Click();
    file_path->setText(path);
    contains_header->setChecked(true);
    ColList->setRowCount(0);
    list_name->clear();
    excel_content.reset();
    {
        const QSignalBlocker block(Sheet_ComboBox);
        Sheet_ComboBox->clear();
    }
    List_ComboBox->clear();
    const SeriesImport::SheetRead read = SeriesDialogs::readSheetWithWait(this, path, 0);
    _unreadable = read.sheetNames.isEmpty() ? read.error : QString();
    _stopped = read.stopped;
    {
        const QSignalBlocker block(Sheet_ComboBox);
        Sheet_ComboBox->addItems(read.sheetNames);
        Sheet_ComboBox->setCurrentIndex(read.sheetNames.isEmpty() ? -1 : 0);
    }
    excel_content = read.sheet;
    showColumns(excel_content ? SeriesImport::sheetColumnTitles(*excel_content) : QStringList());
    List_ComboBox->addItems(SeriesFiles::Get_datasheet_File_Name_Array());
    if (_unreadable.isEmpty() && !_stopped && !SeriesDialogs::sheetReadMessage(read).isEmpty())
        Show_MessageBox(SeriesDialogs::sheetReadMessage(read));
}

void Import_Excel_DataSheet::selectSheet(int index) {
    if (index < 0)
        return;
    const SeriesImport::SheetRead read = SeriesDialogs::readSheetWithWait(this, _path, index);
    excel_content = read.sheet;
    showColumns(excel_content ? SeriesImport::sheetColumnTitles(*excel_content) : QStringList());
    if (!SeriesDialogs::sheetReadMessage(read).isEmpty())
        Show_MessageBox(SeriesDialogs::sheetReadMessage(read));
}

void Import_Excel_DataSheet::showColumns(const QStringList& titles) {
    ColList->setRowCount(0);
    ColList->setRowCount(int(titles.size()));
    for (int i = 0; i < titles.size(); ++i) {
        auto* check = new QTableWidgetItem(titles[i]);
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        check->setCheckState(Qt::Unchecked);
        ColList->setItem(i, 0, check);
        ColList->setItem(i, 1, new QTableWidgetItem(titles[i]));
    }
}

bool Import_Excel_DataSheet::Get_Selection_State(int column) const {
    const QTableWidgetItem* item = ColList->item(column, 0);
    return item && item->checkState() == Qt::Checked;
}

bool Import_Excel_DataSheet::Check_For_One_Extension_Selection() const {
    return !tickedColumns().isEmpty();
}

QList<int> Import_Excel_DataSheet::tickedColumns() const {
    QList<int> columns;
    for (int i = 0; i < ColList->rowCount(); ++i) {
        if (Get_Selection_State(i))
            columns << i;
    }
    return columns;
}

void Import_Excel_DataSheet::setTicked(int column, bool ticked) {
    if (QTableWidgetItem* item = ColList->item(column, 0))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QString Import_Excel_DataSheet::headerName(int column) const {
    const QTableWidgetItem* item = ColList->item(column, 1);
    return item ? item->text() : QString();
}

void Import_Excel_DataSheet::setHeaderName(int column, const QString& name) {
    if (QTableWidgetItem* item = ColList->item(column, 1))
        item->setText(name);
}

void Import_Excel_DataSheet::Select_ALL_Pressed() {
    for (int i = 0; i < ColList->rowCount(); ++i)
        setTicked(i, true);
}

void Import_Excel_DataSheet::Clear_All_Pressed() {
    for (int i = 0; i < ColList->rowCount(); ++i)
        setTicked(i, false);
}

void Import_Excel_DataSheet::Each_Col_RD_Click() {
    Each_col_RD->setChecked(true);
    Fill_col_RD->setChecked(false);
    SetObjEnabled(fill_box, false);
}

void Import_Excel_DataSheet::Fill_Col_RD_Click() {
    Each_col_RD->setChecked(false);
    Fill_col_RD->setChecked(true);
    SetObjEnabled(fill_box, true);
}

void Import_Excel_DataSheet::Fill_Type_CellClick(int option) {
    fill_col_option = option;
    if (QAbstractButton* b = matrix_fill_type->button(option))
        b->setChecked(true);
    const bool existing = option == 1 || option == 2;
    list_name->setVisible(!existing);
    List_ComboBox->setVisible(existing);
    ColList->setColumnHidden(1, existing);
}

void Import_Excel_DataSheet::OKPressed() {
    if (ColList->rowCount() == 0) {
        Show_MessageBox(QStringLiteral("There is no column."));
        return;
    }
    if (!Check_For_One_Extension_Selection()) {
        Show_MessageBox(QStringLiteral("No column is selected."));
        return;
    }
    if (Each_col_RD->isChecked()) {
        Create_file_For_Col_Func();
        excel_content.reset();
        done(1);
        return;
    }
    if (fill_col_option == 1 || fill_col_option == 2) {
        if (Trim_Str(List_ComboBox->currentText()).isEmpty()) {
            Show_MessageBox(QStringLiteral("Please select list name."));
            return;
        }
    } else if (Trim_Str(list_name->text()).isEmpty()) {
        Show_MessageBox(QStringLiteral("Please enter list name."));
        list_name->setFocus();
        return;
    }
    if (Insert_file_Func()) {
        excel_content.reset();
        done(1);
    }
}

void Import_Excel_DataSheet::CancelPressed() {
    excel_content.reset();
    done(0);
}

bool Import_Excel_DataSheet::Create_file_For_Col_Func() {
    // A sheet without data rows writes nothing (an existing series is not emptied).
    const int first = contains_header->isChecked() ? 1 : 0;
    if (!excel_content || excel_content->rowCount() <= first) {
        Show_MessageBox(
            QStringLiteral("There is no data in selected sheet.\nPlease select another Sheet/Excel "
                           "File.\n") +
            SeriesImport::corruptMessage());
        return false;
    }
    const QList<int> columns = tickedColumns();
    const bool several = ColList->rowCount() > 1;
    const bool header = contains_header->isChecked();
    // An answer with "apply to all" holds for the rest of this run only.
    Msg_Apply_All_Chk = 0;
    QStringList notSaved;
    QStringList notes;    // names that had to change, columns without values
    QSet<QString> taken;  // names given in this run, so that no column overwrites another
    bool wrote = false;
    for (int column : columns) {
        const QString typed = Trim_Str(headerName(column));
        const QString safe = SeriesImport::seriesNameOfHeader(typed);
        if (safe.isEmpty()) {
            notes << QStringLiteral("The column \"%1\" gives no usable series name; it was not saved.").arg(typed);
            continue;
        }
        QString name = safe;
        for (int n = 2; taken.contains(name.toLower()); ++n)
            name = QStringLiteral("%1 (%2)").arg(safe).arg(n);
        const PooledValues values = SeriesImport::sheetColumnValues(*excel_content, column, header);
        if (!SeriesImport::hasValues(values)) {
            notes << QStringLiteral("The column \"%1\" holds no values; no series was made of it.").arg(typed);
            continue;
        }
        taken.insert(name.toLower());
        if (SeriesFiles::exists(name)) {
            if (SeriesDialogs::seriesInUse(name)) {
                // A series an item is bound to is never overwritten from here.
                if (!Msg_Apply_All_Chk)
                    SeriesDialogs::longMessage(
                        QStringLiteral("Message :"),
                        name + QStringLiteral("\nBatch processing Series name is already in use with another "
                                              "sequence. Please change Batch Processing Series Name."),
                        several);
                continue;
            }
            if (!Msg_Apply_All_Chk &&
                SeriesDialogs::longMessage(QStringLiteral("Batch Processing Series already exists :"),
                                           name + u'\n' + SeriesImport::replaceQuestion(), several) != 1)
                continue;
        }
        QString error;
        if (!SeriesFiles::writeSeries(name, values, &error)) {
            Show_NSLog_Message(error);
            notSaved << name + QStringLiteral(": ") + SeriesImport::accessErrorReason(error);
            continue;
        }
        if (name != typed)
            notes << QStringLiteral("The column \"%1\" was saved as the series \"%2\".").arg(typed, name);
        wrote = true;
    }
    Msg_Apply_All_Chk = 0;
    if (wrote)
        SeriesDialogs::seriesChanged();
    if (file_name_Insert == 1 && BatchWizard_Window)
        BatchWizard_Window->Fill_List();
    if (!notSaved.isEmpty())
        Show_MessageBox(SeriesImport::accessErrorMessage() + u'\n' + notSaved.join(u'\n'));
    if (!notes.isEmpty()) {
        // A wide sheet must not make a message taller than the screen.
        constexpr int kShown = 20;
        QStringList shown = notes.mid(0, kShown);
        if (notes.size() > kShown)
            shown << QStringLiteral("… and %1 more columns.").arg(notes.size() - kShown);
        Show_MessageBox(shown.join(u'\n'));
    }
    return wrote;
}

bool Import_Excel_DataSheet::Insert_file_Func() {
    const bool existing = fill_col_option == 1 || fill_col_option == 2;
    QString problem;
    const QString name = SeriesImport::seriesNameOfTyped(
        existing ? List_ComboBox->currentText() : list_name->text(), &problem);
    if (name.isEmpty()) {
        Show_MessageBox(problem);
        return false;
    }
    // Nothing is written, and nothing replaced, when the sheet has no rows.
    if (!excel_content || excel_content->rowCount() <= (contains_header->isChecked() ? 1 : 0)) {
        Show_MessageBox(SeriesImport::corruptMessage());
        return true;
    }
    const PooledValues values = SeriesImport::sheetValuesRowByRow(*excel_content, tickedColumns(),
                                                                  contains_header->isChecked(), true);
    if (!SeriesImport::hasValues(values)) {
        Show_MessageBox(SeriesImport::noValuesMessage());
        return false;
    }
    if (fill_col_option == 0 && SeriesFiles::exists(name) &&
        !Show_YES_NO_MessageBox(SeriesImport::replaceQuestion()))
        return false;
    QString error;
    const auto mode = fill_col_option == 2 ? SeriesFiles::WriteMode::Append : SeriesFiles::WriteMode::Replace;
    if (!SeriesFiles::writeSeries(name, values, &error, mode)) {
        Show_NSLog_Message(error);
        Show_MessageBox(SeriesImport::accessErrorMessage(error));
        return false;
    }
    SeriesDialogs::seriesChanged();
    if (file_name_Insert == 1 && BatchWizard_Window)
        BatchWizard_Window->Fill_List();
    const QString note =
        SeriesImport::seriesNameChangeNote(existing ? List_ComboBox->currentText() : list_name->text(), name);
    if (!note.isEmpty())
        Show_MessageBox(note);
    return true;
}
