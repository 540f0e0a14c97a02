#include "data/BatchFillJob.h"

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeItemDrawing.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"

namespace {
GraphicList deepCopy(const GraphicList& items)
{
    GraphicList out;
    out.reserve(items.size());
    for (const GraphicPtr& g : items) {
        if (g)
            out.append(g->clone());
    }
    return out;
}

const QString kMainPhotoId = QStringLiteral("PARTY_IMAGE");

QString pictureProblem(const QString& path)
{
    return QStringLiteral("the picture %1 could not be read.").arg(path);
}

QString barcodeProblem(const QString& value, const QString& reason)
{
    return QStringLiteral("no barcode for \"%1\": %2").arg(value, reason);
}

BatchFillJob::PhotoLoaderMaker& defaultPhotoLoader()
{
    static BatchFillJob::PhotoLoaderMaker maker;
    return maker;
}
} // namespace

void BatchFillJob::setDefaultPhotoLoader(PhotoLoaderMaker maker) { defaultPhotoLoader() = std::move(maker); }

std::unique_ptr<BatchFillJob> BatchFillJob::create(const Design& design, const SeriesBindingTable& series,
                                                   const Data_From_Excel& table)
{
    std::unique_ptr<BatchFillJob> job(new BatchFillJob);
    job->_design = design;
    job->_design.front = deepCopy(design.front);
    job->_design.back = deepCopy(design.back);
    job->_useSeries = Use_Data_Sheet_Values;
    job->_useTable = Use_Excel_Binding_Values;
    if (job->_useSeries)
        job->_series = series.lists();
    if (job->_useTable) {
        job->_table = table.content();
        job->_tableColumns = table.columnCountOfTable();
    }
    job->_total = qMax(job->_useSeries ? series.rowCount() : 0, job->_useTable ? job->_table.rowCount() : 0);
    job->_barcodeMaker = &BatchFillJob::boundBarcodeImage;
    // The design's own pictures are drawn alike on every row.
    job->_pictures = std::make_shared<JobPictures>();
    for (const GraphicList* side : {&job->_design.front, &job->_design.back})
        for (const GraphicPtr& g : *side)
            job->_pictures->keep(g->_image);
    job->_pictures->keep(design.frontProp.Card_BG_Image);
    job->_pictures->keep(design.backProp.Card_BG_Image);
    job->_itemFiles = std::make_shared<RowPictureFiles>(job->_pictures);
    job->_photoFiles = std::make_shared<RowPictureFiles>(job->_pictures);
    job->_photoLoader = defaultPhotoLoader() ? defaultPhotoLoader()()
                                             : PhotoLoader([](const QString& path) { return SKTImage::loadPicture(path); });
    return job;
}

std::unique_ptr<BatchFillJob> BatchFillJob::copyForWorker() const
{
    std::unique_ptr<BatchFillJob> job(new BatchFillJob);
    job->_design = _design;
    job->_design.front = deepCopy(_design.front);
    job->_design.back = deepCopy(_design.back);
    job->_series = _series;
    job->_table = _table;
    job->_tableColumns = _tableColumns;
    job->_useSeries = _useSeries;
    job->_useTable = _useTable;
    job->_total = _total;
    job->_barcodeMaker = _barcodeMaker;
    job->_photoLoader = _photoLoader;
    job->_pictures = _pictures;
    job->_itemFiles = _itemFiles;
    job->_photoFiles = _photoFiles;
    job->_barcodesFromValues = _barcodesFromValues;
    job->_outputScale = _outputScale;
    return job;
}

QImage BatchFillJob::boundBarcodeImage(const SKTGraphic& item, const QString& value, QString* reason)
{
    const BarcodeResult result = Get_Item_Barcode_For_Value(item, value);
    if (reason)
        *reason = result.reason;
    return result.image;
}

QString BatchFillJob::seriesValue(int row, const QString& name) const
{
    const auto it = _series.constFind(name);
    if (it == _series.constEnd() || row < 0 || row >= it->size())
        return {};
    return it->at(row);
}

QString BatchFillJob::Get_sel_row_col_value_of_Excel(int row, int column) const
{
    return _table.value(row, column);
}

void BatchFillJob::warnOnce(const QString& text)
{
    static constexpr int kMaxWarnings = 100;
    QMutexLocker lock(&_warnLock);
    if (_warnings.size() > kMaxWarnings || _warnings.contains(text))
        return;
    // A long run of bad values must not flood the log.
    const QString entry = _warnings.size() == kMaxWarnings ? QStringLiteral("Further warnings left out.") : text;
    _warnings << entry;
    lock.unlock();
    Show_NSLog_Message(entry);
}

QStringList BatchFillJob::warnings() const
{
    QMutexLocker lock(&_warnLock);
    return _warnings;
}

QStringList BatchFillJob::fitNotes() const
{
    return fitNotes({this});
}

QStringList BatchFillJob::fitNotes(const QList<const BatchFillJob*>& runs)
{
    std::map<std::pair<int, QString>, int> needs;
    for (const BatchFillJob* run : runs) {
        QMutexLocker lock(&run->_warnLock);
        for (const auto& [key, dpi] : run->_fitNeeds)
            needs[key] = std::max(needs[key], dpi);
    }
    QStringList notes;
    for (const auto& [key, dpi] : needs)
        notes << (key.first == 0 ? QStringLiteral("On the front side, ") : QStringLiteral("On the back side, ")) +
                     BarcodeItemDrawing::twoDNeed(key.second, dpi) + QLatin1Char('.');
    return notes;
}

void BatchFillJob::checkFit(int row, const SKTGraphic& item, const QString& value, bool front)
{
    const QString problem = BarcodeItemDrawing::fitProblem(item, value, _outputScale);
    if (problem.isEmpty())
        return;
    addRowProblem(row, problem);
    if (item.linear_or_2d == 0)
        return;
    // The note names the resolution that serves every row: the highest any needs.
    const int dpi = BarcodeItemDrawing::lowestFittingDpi(item, value);
    if (dpi <= 0) // no resolution serves it: the row says why
        return;
    const std::pair<int, QString> key(front ? 0 : 1, BarcodeItemDrawing::symbologyTitle(item));
    QMutexLocker lock(&_warnLock);
    int& need = _fitNeeds[key];
    need = std::max(need, dpi);
}

RowProblems BatchFillJob::rowProblems() const
{
    QMutexLocker lock(&_warnLock);
    return _rowProblems;
}

void BatchFillJob::addRowProblem(int row, const QString& reason)
{
    QMutexLocker lock(&_warnLock);
    _rowProblems.add(row, reason);
}

RowProblems BatchFillJob::firstRowProblems(const QString& side) const
{
    if (_total <= 0)
        return {};
    const std::unique_ptr<BatchFillJob> copy = copyForWorker();
    if (side != QLatin1String("F"))
        copy->Set_data_table_value_to_card(0, QStringLiteral("B"), false);
    if (side == QLatin1String("F") || side == QLatin1String("BOTH"))
        copy->Set_data_table_value_to_card(0, QStringLiteral("F"), false);
    return copy->rowProblems();
}

ItemPicture BatchFillJob::rowPhoto(const QString& path)
{
    if (!_photoLoader)
        return {};
    return _photoFiles->picture(path, [this](const QString& p, QString*) { return _photoLoader(p); });
}

void BatchFillJob::Assign_Batch_Values_To_Control(int row, GraphicList& items, bool live)
{
    ItemPicture rowMainPhoto;
    bool mainPhotoReplaced = false;
    for (qsizetype i = 0; i < items.size(); ++i) {
        SKTGraphic* g = items[i].get();
        if (!g || !isBindableItem(*g))
            continue;
        QString value;
        const bool fromSeries = g->data_source_type == 1 && _useSeries;
        if (fromSeries) {
            value = Trim_Str(seriesValue(row, g->batch_list_name));
        } else if (g->data_source_type == 2 && _useTable) {
            if (g->excel_col_indx < 0 || g->excel_col_indx >= _tableColumns) {
                warnOnce(QStringLiteral("An item is bound to column %1, which the data table does not have.")
                             .arg(g->excel_col_indx));
                if (!live)
                    addRowProblem(row, QStringLiteral("an item is bound to column %1, which the data table "
                                                      "does not have.")
                                           .arg(g->excel_col_indx));
            }
            value = Trim_Str(Get_sel_row_col_value_of_Excel(row, g->excel_col_indx));
        } else {
            continue;
        }

        switch (g->kind()) {
        case GraphicKind::Text:
            static_cast<SKTText*>(g)->setText(value);
            break;
        case GraphicKind::Image:
            if (g->control_ID == kMainPhotoId) {
                if (live)
                    break; // the design keeps its own main photo
                g->_file_path = value;
                g->_image = rowPhoto(value);
                if (g->_image.isNull() && !value.isEmpty())
                    addRowProblem(row, pictureProblem(value));
                if (fromSeries) {
                    rowMainPhoto = g->_image;
                    mainPhotoReplaced = true;
                }
            } else {
                auto* image = static_cast<SKTImage*>(g);
                QString why;
                if (live) {
                    image->setFilePath(value);
                    why = image->pictureError();
                } else {
                    // Rows that name the same file share the picture read once.
                    image->_file_path = value;
                    image->_image = _itemFiles->picture(
                        value, [](const QString& path, QString* error) { return SKTImage::loadPicture(path, error); },
                        &why);
                }
                if (!why.isEmpty()) {
                    warnOnce(why);
                    if (!live)
                        addRowProblem(row, pictureProblem(value));
                }
                if (fromSeries && !live) {
                    // A series of pictures also replaces the card's main photo for this row.
                    rowMainPhoto = rowPhoto(value);
                    mainPhotoReplaced = true;
                }
            }
            break;
        case GraphicKind::Barcode: {
            QString reason;
            if (_barcodesFromValues && !live) {
                reason = BarcodeItemDrawing::valueProblem(*g, value);
                g->Set_Barcode_image(QImage(), value);
                if (!reason.isEmpty()) {
                    warnOnce(QStringLiteral("No barcode for \"%1\": %2").arg(value, reason));
                    addRowProblem(row, barcodeProblem(value, reason));
                } else {
                    checkFit(row, *g, value, &items == &_design.front);
                }
                break;
            }
            g->Set_Barcode_image(_barcodeMaker ? _barcodeMaker(*g, value, &reason) : QImage(), value);
            if (g->_barcode_image.isNull() && !reason.isEmpty()) {
                warnOnce(QStringLiteral("No barcode for \"%1\": %2").arg(value, reason));
                if (!live)
                    addRowProblem(row, barcodeProblem(value, reason));
            } else if (!live) {
                checkFit(row, *g, value, &items == &_design.front);
            }
            break;
        }
        default: break;
        }
    }
    if (mainPhotoReplaced) {
        for (const GraphicPtr& g : items) {
            if (g && g->kind() == GraphicKind::Image && g->control_ID == kMainPhotoId &&
                !(g->data_source_type == 1 && _useSeries) && !(g->data_source_type == 2 && _useTable))
                g->_image = rowMainPhoto;
        }
    }
}

GraphicList BatchFillJob::itemsForRow(int row, const QString& side)
{
    GraphicList& items = side == QLatin1String("F") ? _design.front : _design.back;
    Assign_Batch_Values_To_Control(row, items, false);
    return items;
}

QImage BatchFillJob::Set_data_table_value_to_card(int row, const QString& side, bool printBox, qreal scale)
{
    const bool front = side == QLatin1String("F");
    const GraphicList items = itemsForRow(row, side);
    const Card_Property& prop = front ? _design.frontProp : _design.backProp;
    const JobPictures::Scope kept(_pictures);
    // Both sides have the front's size: the card is one piece of paper.
    return SKTRenderingView::image_From_Card_Graphics(items, printBox, prop, _design.cardShape,
                                                      _design.frontProp.Card_Size, scale);
}

void BatchFillJob::Select_first_row_value_for_design(GraphicList& liveFront, GraphicList& liveBack, bool printBox)
{
    Q_UNUSED(printBox);
    if (_total > 0) {
        Assign_Batch_Values_To_Control(0, liveFront, true);
        if (_design.twoSided)
            Assign_Batch_Values_To_Control(0, liveBack, true);
    }
    Card_Value_In_Process = false;
}
