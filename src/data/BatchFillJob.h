#pragma once

// A run that produces cards from data (print, image export, e-mail). Created on the GUI thread, it takes
// deep copies of both sides' items, the side settings, the series values and the data-table rows; any
// thread may then fill row r into its copies and render them. The live design is never touched by a run;
// afterwards Select_first_row_value_for_design shows row 0 on it, on the GUI thread.

#include "canvas/Card_Property.h"
#include "canvas/SKTGraphic.h"
#include "data/DataBinding.h"
#include "data/RowPictureFiles.h"
#include "data/Data_From_Excel.h"
#include "data/RowProblems.h"
#include "imaging/JobPictures.h"

#include <QImage>
#include <QMutex>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class BatchFillJob {
public:
    // The image of a bound barcode item for one value, made with that item's own style; a null image and
    // a reason when no barcode can be made.
    using BarcodeMaker = std::function<QImage(const SKTGraphic& item, const QString& value, QString* reason)>;
    // The main photo made from a picture path (the window applies its photo adjustments).
    using PhotoLoader = std::function<ItemPicture(const QString& path)>;
    // Makes a run's loader when the run is created, on the GUI thread: what it needs of the design is
    // taken then, never read by the workers that call the loader.
    using PhotoLoaderMaker = std::function<PhotoLoader()>;

    struct Design {
        GraphicList front;
        GraphicList back;
        Card_Property frontProp;
        Card_Property backProp;
        int cardShape = 0; // 0 rectangle, 1 rounded rectangle, 2 ellipse
        bool twoSided = true;
    };

    // Snapshot for a run. The sources in use are taken from Use_Data_Sheet_Values and
    // Use_Excel_Binding_Values (as left by Check_Series_Or_Excel_Use_or_not and the output dialog).
    static std::unique_ptr<BatchFillJob> create(const Design& design, const SeriesBindingTable& series,
                                                const Data_From_Excel& table);

    int Total_Batch_Excel_Card() const { return _total; }

    // Fills row `row` into the copies of side "F" (any other code: the back) and renders that side at
    // `scale` pixels per point. Safe to call from one worker thread at a time.
    QImage Set_data_table_value_to_card(int row, const QString& side, bool printBox, qreal scale = 1.0);
    // The side's copies with row `row` filled in, for callers that paint items themselves.
    GraphicList itemsForRow(int row, const QString& side);

    // Shows row 0 of the sources on the live design (both sides' bound items) and clears
    // Card_Value_In_Process. GUI thread. The main photo and the saved picture paths stay as they are.
    void Select_first_row_value_for_design(GraphicList& liveFront, GraphicList& liveBack, bool printBox);

    void setBarcodeMaker(BarcodeMaker maker) { _barcodeMaker = std::move(maker); }
    // Output runs draw each barcode afresh for their device (vectors on a printer, whole pixels on an image),
    // so their fills only check each row's value and hand it to the item instead of making a picture.
    void setDrawBarcodesFromValues(bool fromValues) { _barcodesFromValues = fromValues; }
    // The device pixels (or printer dots) per point the run draws at (0: exact vectors). Each row's barcodes
    // are checked to fit their frames there: a symbol that cannot is a row problem, and a 2-D one also adds
    // to the resolution its side needs (fitNotes).
    void setOutputScale(qreal pixelsPerPoint) { _outputScale = pixelsPerPoint; }
    // An independent copy of the run (its own item copies) for another worker thread. It shares the run's
    // pictures: files read and pictures kept for the rows.
    std::unique_ptr<BatchFillJob> copyForWorker() const;
    // What the run keeps of the pictures its rows draw alike (the design's own, and files rows name again);
    // callers that paint rows themselves draw them in a JobPictures::Scope of it.
    const std::shared_ptr<JobPictures>& pictures() const { return _pictures; }
    void setPhotoLoader(PhotoLoader loader) { _photoLoader = std::move(loader); }
    // What makes the loader every new run starts with: the window installs one that applies the design's
    // photo adjustments (grey scale, sepia, rotation, colours) as they are when the run is created, so that
    // each row's main photo looks as the design's does. Without one, pictures are loaded as they are.
    static void setDefaultPhotoLoader(PhotoLoaderMaker maker);

    // Warnings of the run so far (each given once): bound columns outside the table, barcodes not made.
    QStringList warnings() const;
    // What went wrong in the rows filled so far, row by row: pictures that could not be read, barcode values
    // the symbology cannot hold, bound columns outside the table, and what callers add (a photo that does
    // not fit its frame). The run's finish message reports them.
    RowProblems rowProblems() const;
    // row from 0; reason as RowProblems::add takes it. Any thread.
    void addRowProblem(int row, const QString& reason);
    // The problems of data row 0 on the side(s) ("F", "B", "BOTH"), found by filling and rendering that row
    // in a copy of the run; runs ask before they start when the first card already fails.
    RowProblems firstRowProblems(const QString& side) const;
    // "On the front side, the PDF417 needs at least 150 dpi to keep whole-pixel modules inside its frame.":
    // one per side and 2-D symbology, naming the highest resolution any row filled so far needs.
    QStringList fitNotes() const;
    // The same over the rows of several copies of a run.
    static QStringList fitNotes(const QList<const BatchFillJob*>& runs);

    // The value of a row: a series value by name, or a table value by column (0 the row number).
    QString seriesValue(int row, const QString& name) const;
    QString Get_sel_row_col_value_of_Excel(int row, int column) const;

    // The barcode image of the item for the value through the barcode generation function.
    static QImage boundBarcodeImage(const SKTGraphic& item, const QString& value, QString* reason);

private:
    BatchFillJob() = default;
    // live: filling the design itself (row 0 after a run), where the main photo is not replaced.
    void Assign_Batch_Values_To_Control(int row, GraphicList& items, bool live);
    void warnOnce(const QString& text);
    // The main photo of a row from the file at path, through the photo loader.
    ItemPicture rowPhoto(const QString& path);
    // Records a barcode of the row that does not fit its frame at the output's scale.
    void checkFit(int row, const SKTGraphic& item, const QString& value, bool front);

    Design _design;
    QHash<QString, QStringList> _series;
    DataTableContent _table; // column 0 the row number
    int _tableColumns = 0;
    bool _useSeries = false;
    bool _useTable = false;
    int _total = 0;
    BarcodeMaker _barcodeMaker;
    PhotoLoader _photoLoader;
    std::shared_ptr<JobPictures> _pictures;
    std::shared_ptr<RowPictureFiles> _itemFiles;  // picture items' files
    std::shared_ptr<RowPictureFiles> _photoFiles; // main photos, through the photo loader
    bool _barcodesFromValues = false;
    mutable QMutex _warnLock;
    QStringList _warnings;
    RowProblems _rowProblems;
    qreal _outputScale = 0;
    // Highest resolution a row's 2-D symbol needs, by side (0 front, 1 back) and symbology title.
    std::map<std::pair<int, QString>, int> _fitNeeds;
};
