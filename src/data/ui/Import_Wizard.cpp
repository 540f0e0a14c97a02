#include "data/ui/Import_Wizard.h"

#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"
#include "data/SeriesFiles.h"
#include "data/SeriesImport.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/Import_Excel_DataSheet.h"
#include "data/ui/SeriesDialogSupport.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QLineEdit* lineEdit(const char* name, QWidget* parent) {
    auto* f = new QLineEdit(parent);
    f->setObjectName(QLatin1String(name));
    return f;
}

QPushButton* browse(const char* name, QWidget* parent) {
    auto* b = new QPushButton(QObject::tr("Browse..."), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

Import_Wizard::Import_Wizard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Import_Wizard"));
    setWindowTitle(tr("Import Batch Processing Series"));
    applyDialogBackground(this);

    Excel_RD = new QRadioButton(tr("Excel workbook (xlsx)"), this);
    Text_RD = new QRadioButton(tr("Text file (txt, rtf, csv)"), this);
    Mnul_RD = new QRadioButton(tr("Paste values"), this);
    Image_RD = new QRadioButton(tr("Picture folder"), this);
    Excel_path = lineEdit("Excel_path", this);
    Excel_btn = browse("Excel_btn", this);
    Text_path = lineEdit("Text_path", this);
    Text_btn = browse("Text_btn", this);
    Text_file_name = lineEdit("Text_file_name", this);
    ManualEdit = new QPlainTextEdit(this);
    ManualEdit->setObjectName(QStringLiteral("ManualEdit"));
    ManualEdit->setMinimumHeight(110);
    Manual_file_name = lineEdit("Manual_file_name", this);
    Image_path = lineEdit("Image_path", this);
    Image_btn = browse("Image_btn", this);
    Image_file_name = lineEdit("Image_file_name", this);

    auto* grid = new QGridLayout;
    int row = 0;
    const auto nameRow = [&](QLineEdit* name) {
        auto* label = new QLabel(tr("Series Name:"), this);
        label->setObjectName(name->objectName() + QStringLiteral("_label"));
        grid->addWidget(label, row, 1);
        grid->addWidget(name, row, 2, 1, 2);
        ++row;
    };
    grid->addWidget(Excel_RD, row, 0, 1, 4);
    ++row;
    grid->addWidget(new QLabel(tr("File:"), this), row, 1);
    grid->addWidget(Excel_path, row, 2);
    grid->addWidget(Excel_btn, row, 3);
    ++row;
    grid->addWidget(Text_RD, row, 0, 1, 4);
    ++row;
    grid->addWidget(new QLabel(tr("File:"), this), row, 1);
    grid->addWidget(Text_path, row, 2);
    grid->addWidget(Text_btn, row, 3);
    ++row;
    nameRow(Text_file_name);
    grid->addWidget(Mnul_RD, row, 0, 1, 4);
    ++row;
    grid->addWidget(ManualEdit, row, 1, 1, 3);
    ++row;
    nameRow(Manual_file_name);
    grid->addWidget(Image_RD, row, 0, 1, 4);
    ++row;
    grid->addWidget(new QLabel(tr("Folder:"), this), row, 1);
    grid->addWidget(Image_path, row, 2);
    grid->addWidget(Image_btn, row, 3);
    ++row;
    nameRow(Image_file_name);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(2, 1);

    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Import_Wizard::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &Import_Wizard::CancelPressed);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &Import_Wizard::HelpPressed);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    resize(520, 480);

    connect(Excel_RD, &QRadioButton::clicked, this, &Import_Wizard::Excel_RD_Pressed);
    connect(Text_RD, &QRadioButton::clicked, this, &Import_Wizard::Text_RD_Pressed);
    connect(Mnul_RD, &QRadioButton::clicked, this, &Import_Wizard::Manual_RD_Pressed);
    connect(Image_RD, &QRadioButton::clicked, this, &Import_Wizard::Image_RD_Pressed);
    connect(Excel_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Excel_Pressed);
    connect(Text_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Text_Pressed);
    connect(Image_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Image_Pressed);
}

Import_Wizard* Import_Wizard::defaultInstance() {
    static Import_Wizard* wizard = new Import_Wizard(mainWindow());
    return wizard;
}

int Import_Wizard::Open_Wnd() {
    Check_Path_And_Create_Files();
    for (QLineEdit* f :
         {Excel_path, Text_path, Image_path, Text_file_name, Manual_file_name, Image_file_name})
        f->clear();
    ManualEdit->clear();
    const bool fileMode = file_name_required == 1;
    for (QLineEdit* f : {Text_file_name, Manual_file_name, Image_file_name}) {
        f->setVisible(fileMode);
        if (auto* label = findChild<QWidget*>(f->objectName() + QStringLiteral("_label")))
            label->setVisible(fileMode);
    }
    selectSource(0);
    const int result = SeriesDialogs::runModal(this);
    hide();
    return result;
}

void Import_Wizard::selectSource(int option) {
    import_option = option;
    Excel_RD->setChecked(option == 0);
    Text_RD->setChecked(option == 1);
    Mnul_RD->setChecked(option == 2);
    Image_RD->setChecked(option == 3);
    Enable_Disable_Excel_Option(option == 0);
    Enable_Disable_Text_Option(option == 1);
    Enable_Disable_Manual_Option(option == 2);
    Enable_Disable_Image_Option(option == 3);
}

void Import_Wizard::Excel_RD_Pressed() {
    selectSource(0);
}
void Import_Wizard::Text_RD_Pressed() {
    selectSource(1);
}
void Import_Wizard::Manual_RD_Pressed() {
    selectSource(2);
}
void Import_Wizard::Image_RD_Pressed() {
    selectSource(3);
}

namespace {
void untitledWhenEmpty(QLineEdit* name, bool on) {
    if (on && Trim_Str(name->text()).isEmpty())
        name->setText(QStringLiteral("Untitled"));
}
} // namespace

void Import_Wizard::Enable_Disable_Excel_Option(bool on) {
    Excel_btn->setEnabled(on);
    Excel_path->setEnabled(on);
}

void Import_Wizard::Enable_Disable_Text_Option(bool on) {
    Text_btn->setEnabled(on);
    Text_path->setEnabled(on);
    Text_file_name->setEnabled(on);
    untitledWhenEmpty(Text_file_name, on);
}

void Import_Wizard::Enable_Disable_Manual_Option(bool on) {
    ManualEdit->setReadOnly(!on);
    Manual_file_name->setEnabled(on);
    untitledWhenEmpty(Manual_file_name, on);
}

void Import_Wizard::Enable_Disable_Image_Option(bool on) {
    Image_btn->setEnabled(on);
    Image_path->setEnabled(on);
    Image_file_name->setEnabled(on);
    untitledWhenEmpty(Image_file_name, on);
}

void Import_Wizard::Browse_Excel_Pressed() {
    const QString path = rememberDialogPath(QFileDialog::getOpenFileName(
        this, tr("Choose Workbook"), dialogStartPath(), tr("Excel Workbook (*.xlsx *.XLSX)")));
    if (path.isEmpty())
        return;
    Excel_path->setText(path);
    OKPressed();
}

void Import_Wizard::Browse_Text_Pressed() {
    const QString path = rememberDialogPath(QFileDialog::getOpenFileName(
        this, tr("Choose Text File"), dialogStartPath(), tr("Text Files (*.txt *.rtf *.csv *.TXT *.RTF *.CSV)")));
    if (path.isEmpty())
        return;
    Text_path->setText(path);
    OKPressed();
}

void Import_Wizard::Browse_Image_Pressed() {
    const QString path = rememberDialogPath(
        QFileDialog::getExistingDirectory(this, tr("Choose Picture Folder"), dialogStartPath()), true);
    if (path.isEmpty())
        return;
    Image_path->setText(path);
    OKPressed();
}

void Import_Wizard::OKPressed() {
    bool ok = false;
    switch (import_option) {
    case 0: {
        const QString path = Trim_Str(Excel_path->text());
        if (Check_And_Validate_File_Path(path) != 0)
            return;
        if (file_name_required == 1) {
            Import_Excel_DataSheet* dialog = Import_Excel_DataSheet::defaultInstance();
            dialog->file_name_Insert = file_name_Insert;
            dialog->Open_excel_Wnd(path);
        } else {
            Import_Excel* dialog = Import_Excel::defaultInstance();
            dialog->open_mode = QStringLiteral("D");
            dialog->Open_excel_Wnd(path);
        }
        ok = true;
        break;
    }
    case 1: {
        const QString path = Trim_Str(Text_path->text());
        if (Check_And_Validate_File_Path(path) != 0)
            return;
        ok = Create_And_Save_Text_Data_Sheet(path);
        break;
    }
    case 2:
        ok = Create_And_Save_Manual_Paste_data_Sheet();
        break;
    case 3: {
        const QString path = Trim_Str(Image_path->text());
        if (Check_And_Validate_File_Path(path) != 0)
            return;
        ok = Create_And_Save_Image_data_Sheet(path);
        break;
    }
    default:
        break;
    }
    if (ok)
        done(1);
}

void Import_Wizard::CancelPressed() {
    done(0);
}

void Import_Wizard::HelpPressed() {
    Open_Help_File();
}

bool Import_Wizard::deliver(const PooledValues& values, QLineEdit* nameField, const QString& readNote) {
    // Nothing found: say so, and make no empty series.
    if (!SeriesImport::hasValues(values)) {
        Show_MessageBox(SeriesImport::noValuesMessage());
        return false;
    }
    QString note;
    if (file_name_required == 1) {
        QString message, series;
        const SeriesImport::SaveResult target =
            SeriesImport::checkNewSeriesTarget(nameField->text(), &series, &message);
        if (target != SeriesImport::SaveResult::Saved) {
            if (!message.isEmpty())
                Show_MessageBox(message);
            if (target == SeriesImport::SaveResult::BadName)
                nameField->setFocus();
            return false;
        }
        QString error;
        const bool written = SeriesDialogs::runWithWaitResult<bool>(
            this, [&] { return SeriesFiles::writeSeries(series, values, &error); });
        if (!written) {
            Show_NSLog_Message(error);
            Show_MessageBox(SeriesImport::accessErrorMessage(error));
            return false;
        }
        SeriesDialogs::seriesChanged();
        note = SeriesImport::seriesNameChangeNote(nameField->text(), series);
    } else if (BatchWizard_Window && !BatchWizard_Window->Create_Value_List(values)) {
        return false;
    }
    if (file_name_Insert == 1 && BatchWizard_Window)
        BatchWizard_Window->Fill_List();
    const QString told = QStringList{readNote, note}.join(QStringLiteral("\n\n")).trimmed();
    if (!told.isEmpty())
        Show_MessageBox(told);
    return true;
}

bool Import_Wizard::Create_And_Save_Text_Data_Sheet(const QString& path) {
    const SeriesImport::TextImport read = SeriesDialogs::runWithWaitResult<SeriesImport::TextImport>(
        this, [&path] { return SeriesImport::importTextFile(path); });
    if (!read.error.isEmpty()) {
        Show_MessageBox(read.error);
        return false;
    }
    return deliver(read.values, Text_file_name, read.note);
}

bool Import_Wizard::Create_And_Save_Manual_Paste_data_Sheet() {
    const std::optional<QStringList> values =
        SeriesImport::valuesOfPastedText(ManualEdit->toPlainText(), file_name_required == 1);
    if (!values) {
        Show_MessageBox(SeriesImport::emptyPasteMessage());
        ManualEdit->setFocus();
        return false;
    }
    return deliver(PooledValues::fromStringList(*values), Manual_file_name);
}

bool Import_Wizard::Create_And_Save_Image_data_Sheet(const QString& folder) {
    const QStringList values = SeriesDialogs::runWithWaitResult<QStringList>(
        this, [&folder] { return SeriesImport::pictureFolderValues(folder); });
    return deliver(PooledValues::fromStringList(values), Image_file_name);
}
