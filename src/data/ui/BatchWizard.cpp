#include "data/ui/BatchWizard.h"

#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"
#include "data/DataText.h"
#include "data/SeriesFiles.h"
#include "data/SeriesImport.h"
#include "data/XlsxWriter.h"
#include "data/ui/Generate_List.h"
#include "data/ui/Import_Wizard.h"
#include "data/ui/Load_Num_Info.h"
#include "data/ui/SeriesDialogSupport.h"
#include "data/ui/Update_Ex_Num.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>

BatchWizard* BatchWizard_Window = nullptr;

namespace {
QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(130);
    return b;
}

QListView* listView(QStringListModel* model, QWidget* parent) {
    auto* v = new QListView(parent);
    v->setModel(model);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::ExtendedSelection);
    v->setUniformItemSizes(true);
    v->setAlternatingRowColors(true);
    return v;
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}
} // namespace

BatchWizard::BatchWizard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BatchWizard"));
    setWindowTitle(tr("Batch Processing Series"));
    applyDialogBackground(this);
    BatchWizard_Window = this;

    _names = new QStringListModel(this);
    _values = new QStringListModel(this);
    screens = new QStackedWidget(this);

    // Screen 1: the series.
    auto* first = new QWidget(screens);
    List = listView(_names, first);
    List->setObjectName(QStringLiteral("List"));
    batch_list_count = new QLabel(first);
    auto* b1 = new QVBoxLayout;
    const struct {
        const char* text;
        const char* name;
        void (BatchWizard::*slot)();
    } firstButtons[] = {
        {"Import...", "Import_Btn", &BatchWizard::Import_Btn_Clicked},
        {"Create Series...", "CreateSeries_Btn", &BatchWizard::CreateSeries_Btn_Clicked},
        {"Add New", "AddNew_Btn", &BatchWizard::AddNew_Btn_Clicked},
        {"Update", "Update_Btn", &BatchWizard::Update_Btn_Clicked},
        {"Delete", "Delete_List_Btn", &BatchWizard::Delete_List_Btn_Clicked},
        {"Help", "Help_Btn", &BatchWizard::Help_Btn_Clicked},
        {"Close", "Close_Btn", &BatchWizard::Close_Btn_Clicked},
    };
    for (const auto& b : firstButtons) {
        QPushButton* pb = button(tr(b.text), b.name, first);
        connect(pb, &QPushButton::clicked, this, b.slot);
        if (QLatin1String(b.name) == QLatin1String("Help_Btn"))
            b1->addStretch();
        b1->addWidget(pb);
    }
    auto* l1 = new QVBoxLayout;
    l1->addWidget(heading(tr("Available Batch Processing Series"), first));
    l1->addWidget(List, 1);
    l1->addWidget(batch_list_count);
    auto* h1 = new QHBoxLayout(first);
    h1->addLayout(l1, 1);
    h1->addLayout(b1);
    screens->addWidget(first);

    // Screen 2: the values of one series.
    auto* second = new QWidget(screens);
    batch_list_name = new QLineEdit(second);
    batch_list_name->setObjectName(QStringLiteral("batch_list_name"));
    List_value = listView(_values, second);
    List_value->setObjectName(QStringLiteral("List_value"));
    batch_value_count = new QLabel(second);
    auto* b2 = new QVBoxLayout;
    const struct {
        const char* text;
        const char* name;
        void (BatchWizard::*slot)();
    } secondButtons[] = {
        {"Import...", "Import_Value_Btn", &BatchWizard::Import_Value_Btn_Clicked},
        {"Series Value...", "Series_Value_Btn", &BatchWizard::Series_Value_Btn_Clicked},
        {"Delete Rows", "Delete_Rows_Btn", &BatchWizard::Delete_Rows_Btn_Clicked},
        {"Save", "Save_Btn", &BatchWizard::Save_Btn_Clicked},
        {"Export...", "Export_Value_Btn", &BatchWizard::Export_Value_Btn_Clicked},
        {"Back", "Back_Btn", &BatchWizard::Back_Btn_Clicked},
        {"Help", "Help_2_Btn", &BatchWizard::Help_Btn_Clicked},
        {"Close", "Close_2_Btn", &BatchWizard::Close_2_Btn_Clicked},
    };
    for (const auto& b : secondButtons) {
        QPushButton* pb = button(tr(b.text), b.name, second);
        connect(pb, &QPushButton::clicked, this, b.slot);
        if (QLatin1String(b.name) == QLatin1String("Help_2_Btn"))
            b2->addStretch();
        b2->addWidget(pb);
    }
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("Series Name:"), second));
    nameRow->addWidget(batch_list_name, 1);
    auto* l2 = new QVBoxLayout;
    l2->addLayout(nameRow);
    l2->addWidget(heading(tr("Values"), second));
    l2->addWidget(List_value, 1);
    l2->addWidget(batch_value_count);
    auto* h2 = new QHBoxLayout(second);
    h2->addLayout(l2, 1);
    h2->addLayout(b2);
    screens->addWidget(second);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(screens);
    resize(560, 460);

    connect(List, &QListView::doubleClicked, this, [this] { On_Update(); });
    connect(List_value, &QListView::doubleClicked, this, [this] { OnGetSelected(); });

    Load_Number_Window = new Load_Num_Info(this);
    Update_Value_Wnd = new Update_Ex_Num(this);
    Update_Value_Wnd->setStore([this](int row, const QString& value) { return Replace_Value(row, value); });
    Update_batch_List_Count();
    Update_Value_List_Count();
}

BatchWizard* BatchWizard::defaultInstance() {
    static BatchWizard* wizard = new BatchWizard(mainWindow());
    return wizard;
}

int BatchWizard::Open_Wnd() {
    Check_Path_And_Create_Files();
    Show_hide_first_screen(false);
    Fill_List();
    const int result = SeriesDialogs::runModal(this);
    hide();
    return result;
}

void BatchWizard::Fill_List() {
    _names->setStringList(SeriesFiles::Get_datasheet_File_Name_Array());
    Update_batch_List_Count();
}

void BatchWizard::Create_Value_List(const QString& value) {
    Create_Value_List(QStringList{value});
}

void BatchWizard::Create_Value_List(const QStringList& values) {
    QStringList list = _replaceOnDelivery ? QStringList() : _values->stringList();
    _replaceOnDelivery = false;
    list.reserve(list.size() + values.size());
    for (const QString& v : values) {
        QString t = Trim_Str(withoutControls(v));
        if (!t.isEmpty())
            list << std::move(t);
    }
    _values->setStringList(list);
    Update_Value_List_Count();
}

bool BatchWizard::Create_Value_List(const PooledValues& values) {
    try {
        QStringList list = _replaceOnDelivery ? QStringList() : _values->stringList();
        list.reserve(list.size() + values.size());
        values.forEach([&list](std::string_view v) {
            QString t = Trim_Str(withoutControls(QString::fromUtf8(v.data(), qsizetype(v.size()))));
            if (!t.isEmpty())
                list << std::move(t);
        });
        _values->setStringList(list);
    } catch (const std::bad_alloc&) {
        Show_MessageBox(SeriesImport::tooLargeMessage(QStringLiteral("there is not enough memory for its values.")));
        return false;
    }
    _replaceOnDelivery = false;
    Update_Value_List_Count();
    return true;
}

void BatchWizard::Create_Avail_List(const QString& name) {
    const QString t = Trim_Str(name);
    if (t.isEmpty())
        return;
    QStringList names = _names->stringList();
    names << t;
    _names->setStringList(names);
    Update_batch_List_Count();
}

void BatchWizard::Show_hide_first_screen(bool hide) {
    screens->setCurrentIndex(hide ? 1 : 0);
    if (!hide)
        update_list_name.clear();
}

void BatchWizard::Show_hide_Last_screen(bool hide) {
    Show_hide_first_screen(!hide);
}

bool BatchWizard::isFirstScreenShown() const {
    return screens->currentIndex() == 0;
}

void BatchWizard::Import_Btn_Clicked() {
    Import_Wizard* wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = 1;
    wizard->file_name_Insert = 1;
    wizard->Open_Wnd();
}

void BatchWizard::CreateSeries_Btn_Clicked() {
    Generate_List* generator = Generate_List::defaultInstance();
    generator->file_name_required = 1;
    generator->file_name_Insert = 1;
    generator->Open_Wnd();
}

void BatchWizard::AddNew_Btn_Clicked() {
    Show_hide_first_screen(true);
    update_list_name.clear();
    batch_list_name->setText(QStringLiteral("Untitled"));
    _values->setStringList({});
    Update_Value_List_Count();
    rememberSaved();
}

QList<int> BatchWizard::selectedRows(QListView* view) const {
    QList<int> rows;
    if (!view->selectionModel())
        return rows;
    for (const QModelIndex& i : view->selectionModel()->selectedIndexes())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool BatchWizard::Batch_List_Selection_Validation() {
    if (_names->rowCount() == 0) {
        Show_MessageBox(QStringLiteral("Available list is empty."));
        return false;
    }
    const QModelIndex current = List->currentIndex();
    const QList<int> rows = selectedRows(List);
    if (rows.isEmpty() || Trim_Str(_names->stringList().value(rows.last())).isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select a record from the available list to continue."));
        List->setFocus();
        return false;
    }
    Q_UNUSED(current);
    return true;
}

void BatchWizard::On_Update() {
    if (!Batch_List_Selection_Validation())
        return;
    const QList<int> rows = selectedRows(List);
    if (rows.size() > 1) {
        Show_MessageBox(QStringLiteral("Please select only one record to update."));
        return;
    }
    const QString name = _names->stringList().value(rows.first());
    const QString path = SeriesFiles::filePath(name);
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isFile() || !fi.isReadable() || !fi.isWritable()) {
        Show_MessageBox(SeriesImport::accessErrorMessage(
            !fi.isFile()        ? QStringLiteral("The series file does not exist.")
            : !fi.isReadable()  ? QStringLiteral("You have no permission to read the series file.")
                                : QStringLiteral("The series file is read-only.")));
        return;
    }
    QString error;
    const std::optional<QString> text = SeriesDialogs::runWithWaitResult<std::optional<QString>>(
        this, [&name, &error] { return SeriesFiles::readText(name, &error); });
    if (!text) {
        Show_NSLog_Message(error);
        Show_MessageBox(SeriesImport::accessErrorMessage(error));
        return;
    }
    Show_hide_first_screen(true);
    batch_list_name->setText(name);
    update_list_name = name;
    _replaceOnDelivery = false;
    _values->setStringList({});
    Create_Value_List(text->split(u'\n'));
    rememberSaved();
}

void BatchWizard::OnGetSelected() {
    const QList<int> rows = selectedRows(List_value);
    if (rows.isEmpty())
        return;
    if (rows.size() > 1) {
        Show_MessageBox(QStringLiteral("Please select only one record to update."));
        return;
    }
    const int row = rows.first();
    Update_Value_Wnd->load(Trim_Str(_values->stringList().value(row)), row);
    SeriesDialogs::runModal(Update_Value_Wnd);
    Update_Value_Wnd->hide();
}

bool BatchWizard::Replace_Value(int row, const QString& value) {
    if (row < 0 || row >= _values->rowCount())
        return false;
    _values->setData(_values->index(row), Trim_Str(value));
    return true;
}

void BatchWizard::Delete_List_Btn_Clicked() {
    if (!Batch_List_Selection_Validation())
        return;
    const QList<int> rows = selectedRows(List);
    const QStringList names = _names->stringList();
    // A series an item is bound to stays, and so does the rest of the selection: nothing half done.
    for (int r : rows) {
        if (SeriesDialogs::seriesInUse(names.value(r))) {
            Show_MessageBox(
                QStringLiteral("Batch Processing Series can't be delete because it is currently in use."));
            return;
        }
    }
    if (!Show_YES_NO_MessageBox(
            QStringLiteral("Are you sure want to delete selected Batch Processing Series?")))
        return;
    QStringList failed;
    for (int r : rows) {
        if (!SeriesFiles::removeSeries(names.value(r)))
            failed << names.value(r);
    }
    Fill_List();
    if (!failed.isEmpty())
        Show_MessageBox(SeriesImport::accessErrorMessage() + u'\n' + failed.join(QStringLiteral(", ")));
    const int before = rows.last() - rows.size();
    if (before >= 0)
        Mark_List_New_Selection(std::min(before, _names->rowCount() - 1));
    SeriesDialogs::seriesChanged();
}

void BatchWizard::Help_Btn_Clicked() {
    Open_Help_File();
}

void BatchWizard::Close_Btn_Clicked() {
    done(0);
}

bool BatchWizard::askLoadMode() {
    _replaceOnDelivery = false;
    if (_values->rowCount() == 0)
        return true;
    const int answer = SeriesDialogs::runModal(Load_Number_Window);
    Load_Number_Window->hide();
    if (answer != 0 && answer != 1)
        return false;
    _replaceOnDelivery = answer == 1;
    return true;
}

void BatchWizard::Import_Value_Btn_Clicked() {
    if (!askLoadMode())
        return;
    Import_Wizard* wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = 0;
    wizard->file_name_Insert = 1;
    wizard->Open_Wnd();
    _replaceOnDelivery = false;
}

void BatchWizard::Series_Value_Btn_Clicked() {
    if (!askLoadMode())
        return;
    Generate_List* generator = Generate_List::defaultInstance();
    generator->file_name_required = 0;
    generator->file_name_Insert = 1;
    generator->Open_Wnd();
    _replaceOnDelivery = false;
}

void BatchWizard::Delete_Rows_Btn_Clicked() {
    if (_values->rowCount() == 0) {
        Show_MessageBox(SeriesImport::listEmptyMessage());
        List_value->setFocus();
        return;
    }
    const QList<int> rows = selectedRows(List_value);
    if (rows.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select at least one record from the list to continue."));
        return;
    }
    QStringList list = _values->stringList();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        list.removeAt(*it);
    _values->setStringList(list);
    Update_Value_List_Count();
    const int before = rows.last() - rows.size();
    if (before >= 0 && !list.isEmpty())
        Mark_List_New_Selection_Value(std::min(before, int(list.size()) - 1));
}

void BatchWizard::Save_Btn_Clicked() {
    if (_values->rowCount() == 0) {
        Show_MessageBox(SeriesImport::listEmptyMessage());
        List_value->setFocus();
        return;
    }
    QString problem;
    const QString name = SeriesImport::seriesNameOfTyped(batch_list_name->text(), &problem);
    if (name.isEmpty()) {
        Show_MessageBox(problem);
        batch_list_name->setFocus();
        return;
    }
    const QString old = update_list_name;
    if (!old.isEmpty() && SeriesDialogs::seriesInUse(old)) {
        Show_MessageBox(
            QStringLiteral("Batch Processing Series can't be update because it is currently in use."));
        return;
    }
    const bool renamed = name != old;
    const bool taken = SeriesFiles::exists(name);
    if (taken && renamed && !Show_YES_NO_MessageBox(SeriesImport::replaceQuestion()))
        return;
    const QStringList values = _values->stringList();
    QString error;
    const bool written = SeriesDialogs::runWithWaitResult<bool>(
        this, [&] { return SeriesFiles::writeSeries(name, values, &error); });
    if (!written) {
        Show_NSLog_Message(error);
        Show_MessageBox(SeriesImport::accessErrorMessage(error));
        return;
    }
    // A renamed series moves to its new name, unless the user chose to replace another series with it.
    if (renamed && !taken && !old.isEmpty())
        SeriesFiles::removeSeries(old);
    raise();
    Show_hide_first_screen(false);
    Fill_List();
    Mark_List_New_Selection(int(_names->stringList().indexOf(name)));
    SeriesDialogs::seriesChanged();
    const QString note = SeriesImport::seriesNameChangeNote(batch_list_name->text(), name);
    if (!note.isEmpty())
        Show_MessageBox(note);
}

bool BatchWizard::Export_Values_To(const QString& path, int format) {
    const QStringList values = _values->stringList();
    if (format == 0) {
        const QString tooLong = XlsxWriter::seriesValueProblem(values);
        if (!tooLong.isEmpty()) {
            Show_MessageBox(tooLong);
            return false;
        }
    }
    QString error;
    const bool written = SeriesDialogs::runWithWaitResult<bool>(this, [&]() -> bool {
        if (format == 0)
            return XlsxWriter::writeSeriesWorkbook(path, values, &error);
        QByteArray bytes;
        for (const QString& v : values) {
            bytes += joinLineBreaks(v).toUtf8();
            bytes += '\n';
        }
        return writeFileAtomically(path, bytes, &error);
    });
    raise();
    if (!written) {
        Show_NSLog_Message(error);
        Show_MessageBox(SeriesImport::accessErrorMessage(error));
        return false;
    }
    SeriesDialogs::exportFinished(path, QStringLiteral("Record has been exported successfully."), true);
    return true;
}

void BatchWizard::Export_Value_Btn_Clicked() {
    if (_values->rowCount() == 0) {
        Show_MessageBox(SeriesImport::listEmptyMessage());
        List_value->setFocus();
        return;
    }
    QString filter;
    const QString xlsxFilter = tr("Excel Workbook (*.xlsx)");
    const QString txtFilter = tr("Text File (*.txt)");
    // The panel does not ask about replacing: the extension is decided first, then the final file is asked about.
    const QString path = rememberDialogPath(QFileDialog::getSaveFileName(
        this, tr("Export Series"), dialogStartPath(Trim_Str(batch_list_name->text())),
        xlsxFilter + QStringLiteral(";;") + txtFilter, &filter, QFileDialog::DontConfirmOverwrite));
    if (path.isEmpty())
        return;
    Export_Values_To_Chosen(path, filter == txtFilter ? 1 : 0);
}

bool BatchWizard::Export_Values_To_Chosen(const QString& chosen, int format) {
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix == u"xlsx" || suffix == u"txt")
        format = suffix == u"txt" ? 1 : 0;
    else
        format = format == 1 ? 1 : 0;
    const QString path = suffix == (format == 1 ? u"txt" : u"xlsx")
                             ? chosen
                             : chosen + (format == 1 ? QStringLiteral(".txt") : QStringLiteral(".xlsx"));
    if (QFileInfo::exists(path) &&
        !Show_YES_NO_MessageBox(QStringLiteral("\"%1\" already exists. Do you want to replace it?")
                                    .arg(QFileInfo(path).fileName())))
        return false;
    return Export_Values_To(path, format);
}

void BatchWizard::Back_Btn_Clicked() {
    if (offerToSaveEdits())
        Show_hide_first_screen(false);
}

void BatchWizard::Close_2_Btn_Clicked() {
    if (offerToSaveEdits())
        done(0);
}

void BatchWizard::reject() {
    if (offerToSaveEdits())
        QDialog::reject();
}

void BatchWizard::rememberSaved() {
    _savedValues = _values->stringList();
    _savedName = Trim_Str(batch_list_name->text());
}

bool BatchWizard::hasUnsavedEdits() const {
    return !isFirstScreenShown() &&
           (_values->stringList() != _savedValues || Trim_Str(batch_list_name->text()) != _savedName);
}

bool BatchWizard::offerToSaveEdits() {
    if (!hasUnsavedEdits())
        return true;
    switch (Show_YES_NO_CANCEL_MessageBox(
        QStringLiteral("The values of this series have changed. Do you want to save them?"))) {
    case PromptAnswer::Yes:
        Save_Btn_Clicked();
        // A save that did not happen (a refused name, a write error) keeps the edits on screen.
        return isFirstScreenShown();
    case PromptAnswer::No:
        return true;
    case PromptAnswer::Cancel:
        break;
    }
    return false;
}

void BatchWizard::Update_batch_List_Count() {
    batch_list_count->setText(QStringLiteral("Total List : %1").arg(_names->rowCount()));
}

void BatchWizard::Update_Value_List_Count() {
    batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(_values->rowCount()));
}

void BatchWizard::Mark_List_New_Selection(int row) {
    if (row < 0 || row >= _names->rowCount())
        return;
    List->selectionModel()->clear();
    List->setCurrentIndex(_names->index(row));
}

void BatchWizard::Mark_List_New_Selection_Value(int row) {
    if (row < 0 || row >= _values->rowCount())
        return;
    List_value->selectionModel()->clear();
    List_value->setCurrentIndex(_values->index(row));
}

QStringList BatchWizard::seriesNames() const {
    return _names->stringList();
}

QStringList BatchWizard::values() const {
    return _values->stringList();
}
