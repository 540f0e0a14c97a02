#pragma once

// Image export of card sides: one design to a chosen file (one side, both sides as two files, or both in one
// combined picture), and a batch of one file set per data row. Every file holds PNG data whatever its
// extension and is written atomically. No widget here: the batch runs on any thread from a snapshot.

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

// A side of the design snapshot rendered as the exported picture (the front's size for both sides).
QImage renderDesignSide(const BatchFillJob::Design& design, bool front);

// Both sides of data row `row` as the batch exports them, rendered from the fill's copies ("B" before "F"
// when both are wanted). Shared by every run that makes card pictures per row.
struct CardRowImages {
    QImage front;
    QImage back;
};
CardRowImages renderRowSides(BatchFillJob& fill, int row, const QString& side);

// What an export really did; the export-finished window shows it.
struct ExportResult {
    QString path;        // the main file of a single export, or the batch folder
    QStringList written; // files written, in order
    QStringList failed;  // files that could not be written
    int cards = 0;       // batch: cards whose files were all written
    int total = 0;       // batch: cards the run was to make
    bool stopped = false;
    bool folderFailed = false;

    bool complete() const { return failed.isEmpty() && !stopped && !folderFailed && !written.isEmpty(); }
    // Export_Success_Message when complete, else what was and was not written.
    QString message() const;
};

Q_DECLARE_METATYPE(ExportResult)

// The files a single export to `path` writes, in writing order. side is "F", "B" or "BOTH".
QStringList singleExportFiles(const QString& path, const QString& side, bool combined);
// The question asked before existing files are replaced; empty when none of them exists.
QString overwriteQuestion(const QStringList& files);

// Single export of the design snapshot to `path`.
ExportResult Export_Single_File(const BatchFillJob::Design& design, const QString& path, const QString& side,
                                bool combined);

// Batch export: the folder "NAVU Photo Frame" in the chosen folder, one "Card_%d" file set per data row.
class ExportBatchJob {
public:
    static inline const QString FolderName = QStringLiteral("NAVU Photo Frame");
    static QString batchFolder(const QString& chosenFolder);

    // type is the extension of the files ("PNG", "TIFF", ...), used as it stands; anything that is not a
    // plain word falls back to "PNG".
    ExportBatchJob(std::unique_ptr<BatchFillJob> fill, const QString& chosenFolder, const QString& side,
                   bool combined, const QString& type);
    ~ExportBatchJob();

    int total() const;
    QString folder() const { return _folder; }
    // File names (not paths) of row `row` in writing order.
    QStringList rowFileNames(int row) const;
    // Files of the run that exist already (empty when the folder does not exist yet).
    QStringList existingFiles() const;

    // Runs the batch on the calling thread. progress(done) is called after each card. Stops before the next
    // card when stop is set, and after the first file that cannot be written (the reason has been shown).
    ExportResult run(const std::atomic<bool>& stop, const std::function<void(int done)>& progress = {});

    BatchFillJob& fill() { return *_fill; }

private:
    std::unique_ptr<BatchFillJob> _fill;
    QString _folder;
    QString _side;
    bool _combined;
    QString _type;
};
