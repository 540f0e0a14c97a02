#pragma once

// Image export of card sides: one design to a chosen file (one side, both sides as two files, or both in one
// combined picture), and a batch of one file set per data row. Every file holds the format of its type at
// the chosen resolution and is written atomically. No widget here: the batch runs on worker threads from
// snapshots.

#include "data/BatchFillJob.h"

#include <QImage>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

extern const QString Export_Success_Message; // "Frame has been exported successfully."

// The front file of a chosen path: the path itself.
QString Create_Front_Card_Path(const QString& path);
// The back file beside it: the file name becomes "%@_Back.%@" of its base name and extension
// (/a/x.png -> /a/x_Back.png; a name without extension gets "_Back" only). Only the last component changes.
QString Create_Back_Card_Path(const QString& path);

// Front above back in one picture of the front's width and twice its height. A null result (and "Invalid
// image" in the log) when either picture is null.
QImage Export_Combined_Image(const QImage& front, const QImage& back);

// Resolutions offered for exported pictures, the first being the default.
const QList<int>& exportResolutions();
constexpr int kDefaultExportDpi = 300;

// A side of the design snapshot rendered as the exported picture (the front's size for both sides) at
// `dpi` dots per inch.
QImage renderDesignSide(const BatchFillJob::Design& design, bool front, int dpi = 72);

// Both sides of data row `row` as the batch exports them, rendered from the fill's copies ("B" before "F"
// when both are wanted). Shared by every run that makes card pictures per row.
struct CardRowImages {
    QImage front;
    QImage back;
};
CardRowImages renderRowSides(BatchFillJob& fill, int row, const QString& side, int dpi = 72);

// The question a run asks before it starts when data row 0 already has a problem on the side(s) it makes;
// empty when the first card is as designed.
QString firstRowQuestion(const BatchFillJob& fill, const QString& side);

// What an export really did; the export-finished window shows it.
struct ExportResult {
    QString path;        // the main file of a single export, or the batch folder
    QStringList written; // files written, in order
    QStringList failed;  // files that could not be written
    int cards = 0;       // batch: cards whose files were all written
    int total = 0;       // batch: cards the run was to make
    bool stopped = false;
    bool folderFailed = false;
    RowProblems problems; // batch: what went wrong in the rows, gathered from every worker
    QStringList warnings; // barcodes that cannot keep whole-pixel modules inside their frames at the resolution

    bool complete() const { return failed.isEmpty() && !stopped && !folderFailed && !written.isEmpty(); }
    // Export_Success_Message when complete and every card is as designed, else what was and was not
    // written and which rows had a problem; then the warnings.
    QString message() const;
    // Every row with a problem, for the message's details; empty when the message names them all.
    QString details() const { return problems.details(); }

private:
    QString writtenMessage() const;
};

Q_DECLARE_METATYPE(ExportResult)

// The files a single export to `path` writes, in writing order. side is "F", "B" or "BOTH".
QStringList singleExportFiles(const QString& path, const QString& side, bool combined);
// The question asked before existing files are replaced; empty when none of them exists.
QString overwriteQuestion(const QStringList& files);

// What an output says about the barcodes of a side (their set-up values) that cannot be drawn readably in
// their frames at `dotsPerPoint` pixels or printer dots per point: "The Code 39 value is too long for its
// frame.", "On the front side, the QR Code needs at least 150 dpi to keep whole-pixel modules inside its
// frame.". A single export's warnings, and a label job's without data.
QStringList sideFitWarnings(const GraphicList& items, bool front, qreal dotsPerPoint);

// Single export of the design snapshot to `path` at `dpi`, in the format of the path's extension (or of
// `type` when the extension names none).
ExportResult Export_Single_File(const BatchFillJob::Design& design, const QString& path, const QString& side,
                                bool combined, int dpi = kDefaultExportDpi, const QString& type = QString());

// Batch export: the folder "NAVU Photo Frame" in the chosen folder, one "Card_%d" file set per data row.
class ExportBatchJob {
public:
    static inline const QString FolderName = QStringLiteral("NAVU Photo Frame");
    static QString batchFolder(const QString& chosenFolder);

    // type is the extension of the files ("PNG", "TIFF", ...), used as it stands, and decides their format;
    // anything that is not a plain word falls back to "PNG". dpi is the pictures' resolution.
    ExportBatchJob(std::unique_ptr<BatchFillJob> fill, const QString& chosenFolder, const QString& side,
                   bool combined, const QString& type, int dpi = kDefaultExportDpi);
    ~ExportBatchJob();

    int total() const;
    QString folder() const { return _folder; }
    // File names (not paths) of row `row` in writing order.
    QStringList rowFileNames(int row) const;
    // Files of the run that exist already (empty when the folder does not exist yet).
    QStringList existingFiles() const;

    // Workers of a batch when none are asked for: one per core but one, which is left to the window.
    static int defaultThreads();
    // Runs the batch: rows are rendered and encoded on `threads` workers (0: defaultThreads()), a little
    // below the program's priority, each with its own copy of the fill, and the files are written on the
    // calling thread in row order as they finish.
    // progress(done) is called there after each card. Stops before the next card when stop is set, and after
    // the first file that cannot be written (the reason has been shown). One disk sync ends the batch.
    ExportResult run(const std::atomic<bool>& stop, const std::function<void(int done)>& progress = {},
                     int threads = 0);

    BatchFillJob& fill() { return *_fill; }

private:
    std::unique_ptr<BatchFillJob> _fill;
    QString _folder;
    QString _side;
    bool _combined;
    QString _type;
    int _dpi;
};
