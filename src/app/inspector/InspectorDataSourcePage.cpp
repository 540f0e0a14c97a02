// The inspector's data source page: an item's value typed by hand, from a series or from a data-table
// column, and the picture browsed for a picture item.

#include "app/inspector/InspectorPanel.h"

#include "app/inspector/InspectorPanelParts.h"
#include "canvas/SKTItems.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/Long_SMS_Dlg.h"
#include "common/ui/PictureWait.h"
#include "data/Data_From_Excel.h"
#include "data/ui/BindingCombos.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "data/ui/View_Data_Series.h"

#include <QFormLayout>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <exception>

using namespace inspector;
using namespace inspector::parts;

QWidget* InspectorPanel::buildDataSourcePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    data_source_title = label(QStringLiteral("data_source_title"), tr("Text Source"));
    QFont bold = data_source_title->font();
    bold.setBold(true);
    data_source_title->setFont(bold);
    v->addWidget(data_source_title);
    auto* f = new QFormLayout;
    Data_source_type = combo(QStringLiteral("Data_source_type"), {tr("Manual"), tr("Series"), tr("Excel")});
    Batch_Series = combo(QStringLiteral("Batch_Series"), {});
    Batch_Series->setEnabled(false);
    f->addRow(tr("Source"), Data_source_type);
    f->addRow(tr("Series / column"), Batch_Series);
    v->addLayout(f);
    View_Series_Btn = button(QStringLiteral("View_batch_Series_Button"), tr("View…"));
    Data_Source_Help_Btn = button(QStringLiteral("Data_Source_Help_Button"), tr("Help"));
    v->addWidget(row({View_Series_Btn, Data_Source_Help_Btn}));
    connect(View_Series_Btn, &QPushButton::clicked, this, &InspectorPanel::View_batch_Series_Button);
    connect(Data_Source_Help_Btn, &QPushButton::clicked, this, &InspectorPanel::Data_Source_Help_Button);
    // A sheet import or a design load changes the table: the choice follows it.
    Data_From_Excel* table = Data_From_Excel::defaultInstance();
    connect(table, &QAbstractItemModel::modelReset, this, [this] { offerExcelChoice(m_last.lock().get()); });
    connect(table, &QAbstractItemModel::rowsInserted, this, [this] { offerExcelChoice(m_last.lock().get()); });
    manual_brws_box = box(QStringLiteral("manual_brws_box"), tr("Picture"));
    auto* mf = new QVBoxLayout(manual_brws_box);
    Manual_image_path = new QLineEdit;
    Manual_image_path->setObjectName(QStringLiteral("Manual_image_path"));
    Manual_image_path->setReadOnly(true);
    auto* browse = button(QStringLiteral("manual_brws_btn"), tr("Browse…"));
    manual_lib_brws_btn = button(QStringLiteral("manual_lib_brws_btn"), tr("Library…"));
    mf->addWidget(Manual_image_path);
    mf->addWidget(row({browse, manual_lib_brws_btn}));
    v->addWidget(manual_brws_box);
    v->addStretch(1);
    connect(browse, &QPushButton::clicked, this, &InspectorPanel::Manual_Image_Browse_Btn);
    connect(manual_lib_brws_btn, &QPushButton::clicked, this, &InspectorPanel::Manual_Library_Browse_Btn);
    return page;
}

void InspectorPanel::fillSeriesCombo() {
    const QSignalBlocker block(Batch_Series);
    Batch_Series->clear();
    Batch_Series->addItems(Get_datasheet_File_Name_Array());
    Batch_Series->setCurrentIndex(-1);
}

void InspectorPanel::Fill_Excel_Col_Name_In_Combo(QComboBox* combo) {
    if (!combo)
        return;
    try {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(-1);
        combo->clear();
        combo->addItems(excelColumnTitles());
        combo->setCurrentIndex(-1);
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void InspectorPanel::offerExcelChoice(const SKTGraphic* item) {
    if (!Data_source_type)
        return;
    const Data_From_Excel* table = Data_From_Excel::defaultInstance();
    const bool offer = (table && table->rowCountOfTable() > 0) || (item && item->data_source_type == 2);
    const QSignalBlocker block(Data_source_type);
    if (offer)
        Add_Excel_Col_Name_In_Combo(Data_source_type);
    else
        Remove_Excel_Col_Name_In_Combo(Data_source_type);
}

void InspectorPanel::View_batch_Series_Button() {
    try {
        const int type = Data_source_type->currentIndex();
        if (type <= 0)
            return;
        if (type == 1) {
            const QString name = Trim_Str(Batch_Series->currentText());
            if (name.isEmpty()) {
                Show_MessageBox(QStringLiteral("Please select the series."));
                return;
            }
            View_Data_Series* viewer = View_Data_Series::defaultInstance();
            viewer->file_name = name;
            viewer->Open_Wnd();
            return;
        }
        Data_From_Excel_Dialog::defaultInstance()->Open_Wnd();
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void InspectorPanel::Data_Source_Help_Button() {
    Long_SMS_Dlg* dlg = Long_SMS_Dlg::defaultInstance();
    Cutom_Msg_Title = dataSourceHelpTitle();
    Cutom_Msg_Val = dataSourceHelpText();
    dlg->Open_Long_sms_Dialog();
}

void InspectorPanel::loadDataSource(const SKTGraphic& g) {
    offerExcelChoice(&g);
    const int type = indexOrCurrent(g.data_source_type, Data_source_type->count(), 0);
    Data_source_type->setCurrentIndex(type);
    Batch_Series->setEnabled(type != 0);
    if (type == 0) {
        // Typed by hand: the greyed box names no series or column (another item's, or the one undone).
        Batch_Series->setCurrentIndex(-1);
        return;
    }
    if (type == 2) {
        Fill_Excel_Col_Name_In_Combo(Batch_Series);
        Batch_Series->setCurrentIndex(indexOrCurrent(g.excel_col_indx, Batch_Series->count(), -1));
        return;
    }
    if (Batch_Series->count() == 0 || type == 1)
        fillSeriesCombo();
    if (!g.batch_list_name.isEmpty()) {
        Batch_Series->setCurrentIndex(-1);
        // -1 when the series is gone: the selection is cleared rather than pointing at another series
        Batch_Series->setCurrentIndex(Batch_Series->findText(g.batch_list_name));
    }
}

void InspectorPanel::dataSourceTypeChosen() {
    if (Not_Draw_Only_Prop_Change)
        return;
    const GraphicPtr item = m_last.lock();
    if (!item)
        return;
    // The choice of the series or column it brings (and the main photo that may bring) is one step with it.
    const CardEditScope scope(m_host, tr("Data Source"));
    const GraphicList before{copyOfItem(*item)};
    const auto record = qScopeGuard([&] { recordItemEdit({item}, before); });
    const int type = Data_source_type->currentIndex();
    if (type <= 0) {
        Batch_Series->setEnabled(false);
        {
            const QSignalBlocker block(Batch_Series);
            Batch_Series->setCurrentIndex(-1);
        }
        item->Set_Data_source_type(0);
        m_host->Refresh_Canvas();
        return;
    }
    Batch_Series->setEnabled(true);
    int index = -1;
    if (type == 1) {
        fillSeriesCombo();
        if (Batch_Series->count() == 0) {
            Show_MessageBox(QStringLiteral("Please create batch processing series first."));
            return;
        }
        item->Set_Data_source_type(1);
        if (!item->batch_list_name.isEmpty())
            index = Batch_Series->findText(item->batch_list_name);
    } else {
        if (Data_From_Excel::defaultInstance()->rowCountOfTable() == 0 && item->data_source_type != 2) {
            // Never bound to a table that is not there.
            const QSignalBlocker block(Data_source_type);
            Data_source_type->setCurrentIndex(qBound(0, item->data_source_type, 1));
            offerExcelChoice(item.get());
            return;
        }
        const int column = item->data_source_type != 2 && item->kind() == GraphicKind::Image
                               ? pictureColumnOfSheet()
                               : item->excel_col_indx;
        Fill_Excel_Col_Name_In_Combo(Batch_Series);
        item->Set_Data_source_type(2);
        index = indexOrCurrent(column, Batch_Series->count(), -1);
    }
    {
        const QSignalBlocker block(Batch_Series);
        Batch_Series->setCurrentIndex(index);
    }
    if (!bindToShownSource(item)) {
        refuseBinding(item, *before.first());
        return;
    }
    m_host->Refresh_Canvas();
}

void InspectorPanel::batchSeriesChosen() {
    if (Not_Draw_Only_Prop_Change)
        return;
    const GraphicPtr item = m_last.lock();
    if (!item || Batch_Series->currentIndex() < 0 || Trim_Str(Batch_Series->currentText()).isEmpty())
        return;
    // A picture bound to a series may bring a new main photo: one step with the binding.
    const CardEditScope scope(m_host, tr("Data Source"));
    const GraphicList before{copyOfItem(*item)};
    if (!bindToShownSource(item)) {
        refuseBinding(item, *before.first());
        return;
    }
    recordItemEdit({item}, before);
    m_host->Refresh_Canvas();
}

bool InspectorPanel::bindToShownSource(const GraphicPtr& item) {
    const int index = Batch_Series->currentIndex();
    const QString text = Trim_Str(Batch_Series->currentText());
    if (index < 0 || text.isEmpty())
        return true;
    const QString value = Data_source_type->currentIndex() == 2 ? bindItemToColumn(*item, index).value_or(QString())
                                                                 : bindItemToSeries(*item, text, index);
    return applyBoundValue(item, value);
}

void InspectorPanel::refuseBinding(const GraphicPtr& item, const SKTGraphic& was) {
    item->Set_Data_source_type(was.data_source_type);
    item->Set_Batch_List_Name(was.batch_list_name);
    item->Set_Batch_List_Index(was.batch_list_index);
    item->Set_Excel_binding_Index(was.excel_col_indx);
    const QSignalBlocker b1(Data_source_type), b2(Batch_Series);
    loadDataSource(*item);
}

bool InspectorPanel::applyBoundValue(const GraphicPtr& item, const QString& value) {
    if (item->kind() == GraphicKind::Text) {
        static_cast<SKTText&>(*item).setText(value);
        const QSignalBlocker block(Text_value_Edit);
        Text_value_Edit->setPlainText(item->_Text_contents);
    } else if (item->kind() == GraphicKind::Image) {
        // Only the main photo's own item changes the main photo; a value that cannot become it goes to
        // neither of them.
        const PictureWait wait(window());
        QString why;
        if (item->control_ID == QLatin1String("PARTY_IMAGE") &&
            !m_host->Update_frame_Main_Photo_And_Path(value, true, &why)) {
            if (!wait.stopped())
                Show_MessageBox(why);
            return false;
        }
        setItemFilePath(*item, value);
        Manual_image_path->setText(value);
    }
    return true;
}
