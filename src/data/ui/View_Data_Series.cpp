#include "data/ui/View_Data_Series.h"

#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"
#include "data/SeriesFiles.h"
#include "data/ui/SeriesDialogSupport.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QStringListModel>
#include <QVBoxLayout>

View_Data_Series::View_Data_Series(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("View_Data_Series"));
    setWindowTitle(tr("View Batch Processing Series"));
    applyDialogBackground(this);
    series_name = new QLabel(this);
    QFont bold = series_name->font();
    bold.setBold(true);
    series_name->setFont(bold);
    _model = new QStringListModel(this);
    List = new QListView(this);
    List->setModel(_model);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setUniformItemSizes(true);
    list_count = new QLabel(countText(0), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &View_Data_Series::OK_Btn_Clicked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(series_name);
    layout->addWidget(List, 1);
    layout->addWidget(list_count);
    layout->addWidget(buttons);
    resize(340, 440);
}

View_Data_Series* View_Data_Series::defaultInstance() {
    static View_Data_Series* viewer = new View_Data_Series(mainWindow());
    return viewer;
}

int View_Data_Series::Open_Wnd() {
    series_name->setText(file_name);
    _model->setStringList({});
    Load_file_Func();
    const int result = SeriesDialogs::runModal(this);
    hide();
    return result;
}

void View_Data_Series::Load_file_Func() {
    const QString name = file_name;
    const QStringList values = SeriesDialogs::runWithWaitResult<QStringList>(
        this, [name] { return SeriesFiles::readForViewer(name); });
    _model->setStringList(values);
    Update_batch_List_Count();
}

void View_Data_Series::Create_Avail_List(const QString& value) {
    const QString v = Trim_Str(value);
    if (v.isEmpty())
        return;
    const int row = _model->rowCount();
    _model->insertRows(row, 1);
    _model->setData(_model->index(row), v);
    Update_batch_List_Count();
}

void View_Data_Series::Update_batch_List_Count() {
    list_count->setText(countText(_model->rowCount()));
}

void View_Data_Series::OK_Btn_Clicked() {
    done(1);
}

QStringList View_Data_Series::rows() const {
    return _model->stringList();
}
