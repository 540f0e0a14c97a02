#include "output/ImageExport.h"

#include "barcode/BarcodeItemDrawing.h"
#include "canvas/SKTRenderingView.h"
#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/SafeFileName.h"
#include "output/ImageFileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

const QString Export_Success_Message = QStringLiteral("Frame has been exported successfully.");

namespace {
const QString kBoth = QStringLiteral("BOTH");
const QString kFront = QStringLiteral("F");
} // namespace

QString Create_Front_Card_Path(const QString& path) {
    return path;
}

QString Create_Back_Card_Path(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString backName = dot > 0 ? QStringLiteral("%1_Back.%2").arg(name.left(dot), name.mid(dot + 1))
                                     : name + QStringLiteral("_Back");
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? backName : path.left(slash + 1) + backName;
}

QImage Export_Combined_Image(const QImage& front, const QImage& back) {
    if (front.isNull() || back.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return QImage();
    }
    const int w = front.width(), h = front.height();
    QImage out(w, 2 * h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return out;
    }
    out.setDotsPerMeterX(front.dotsPerMeterX());
    out.setDotsPerMeterY(front.dotsPerMeterY());
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRect(0, 0, w, h), front);
    p.drawImage(QRect(0, h, w, h), back, QRect(0, 0, w, h));
    p.end();
    return out;
}

const QList<int>& exportResolutions() {
    static const QList<int> list{kDefaultExportDpi, 72, 150, 600};
    return list;
}

namespace {
qreal scaleFor(int dpi) {
    return (dpi > 0 ? dpi : 72) / 72.0;
}
} // namespace

QImage renderDesignSide(const BatchFillJob::Design& design, bool front, int dpi) {
    BarcodeItemDrawing::install();
    return SKTRenderingView::image_From_Card_Graphics(
        front ? design.front : design.back, false, front ? design.frontProp : design.backProp,
        design.cardShape, design.frontProp.Card_Size, scaleFor(dpi));
}

CardRowImages renderRowSides(BatchFillJob& fill, int row, const QString& side, int dpi) {
    CardRowImages images;
    if (side != kFront)
        images.back = fill.Set_data_table_value_to_card(row, QStringLiteral("B"), false, scaleFor(dpi));
    if (side == kFront || side == kBoth)
        images.front = fill.Set_data_table_value_to_card(row, kFront, false, scaleFor(dpi));
    return images;
}

QString firstRowQuestion(const BatchFillJob& fill, const QString& side) {
    const RowProblems first = fill.firstRowProblems(side);
    if (first.isEmpty())
        return {};
    return QStringLiteral("The first card already has a problem:\n%1\n\nCards with a problem are made "
                          "without what could not be used. Do you want to go on?")
        .arg(first.firstLines().join(QLatin1Char('\n')));
}

namespace {

// What the export says about barcodes of a side that do not fit their frames at `dpi`.
void warnAboutFit(ExportResult& result, const GraphicList& items, bool front, int dpi) {
    for (const QString& problem : sideFitWarnings(items, front, scaleFor(dpi)))
        if (!result.warnings.contains(problem))
            result.warnings << problem;
}

} // namespace

QString ExportResult::message() const {
    QString text = writtenMessage();
    if (!problems.isEmpty())
        text += QStringLiteral("\n\n") + problems.summary(stopped ? cards : total); // only cards made
    if (!warnings.isEmpty())
        text += QStringLiteral("\n\n") + warnings.join(QLatin1Char('\n'));
    return text;
}

QString ExportResult::writtenMessage() const {
    if (complete()) {
        if (!problems.isEmpty())
            return QStringLiteral("%1 cards have been exported, but not every card is as designed.")
                .arg(cards);
        if (total > 0 || written.size() < 2)
            return Export_Success_Message;
        QStringList names;
        for (const QString& f : written)
            names << QDir::toNativeSeparators(f);
        return QStringLiteral("%1\n\n%2 files have been written:\n%3")
            .arg(Export_Success_Message)
            .arg(written.size())
            .arg(names.join(QLatin1Char('\n')));
    }
    if (total > 0) { // a batch
        if (stopped)
            return QStringLiteral("Export stopped: %1 of %2 cards have been exported.").arg(cards).arg(total);
        return QStringLiteral("Export ended because a file could not be written: %1 of %2 cards have been "
                              "exported.")
            .arg(cards)
            .arg(total);
    }
    return QStringLiteral("%1 of %2 files have been exported.")
        .arg(written.size())
        .arg(written.size() + failed.size());
}

QStringList singleExportFiles(const QString& path, const QString& side, bool combined) {
    if (side == kBoth)
        return combined ? QStringList{Create_Front_Card_Path(path)}
                        : QStringList{Create_Back_Card_Path(path), Create_Front_Card_Path(path)};
    if (side == kFront)
        return {Create_Front_Card_Path(path)};
    return {Create_Back_Card_Path(path)};
}

QString overwriteQuestion(const QStringList& files) {
    QStringList existing;
    for (const QString& f : files) {
        const QFileInfo info(f);
        if (info.exists() || info.isSymLink())
            existing << f;
    }
    if (existing.isEmpty())
        return QString();
    if (existing.size() == 1)
        return QStringLiteral("\"%1\" already exists.\n\nDo you want to replace it?")
            .arg(QFileInfo(existing.first()).fileName());
    return QStringLiteral("%1 files already exist in \"%2\", such as \"%3\".\n\nDo you want to replace them?")
        .arg(existing.size())
        .arg(QFileInfo(existing.first()).absolutePath(), QFileInfo(existing.first()).fileName());
}

namespace {

// Writes encoded data (or reports why there is none) the way Save_gen_image reports: the path, then why.
void writeData(ExportResult& result, const QByteArray& data, QString error, const QString& path) {
    if (!data.isEmpty() && ImageFileWriter::writeAtomically(path, data, &error)) {
        result.written << path;
        return;
    }
    Show_MessageBox(path);
    Show_MessageBox(error.isEmpty() ? QStringLiteral("Invalid image") : error);
    result.failed << path;
}

void writeFile(ExportResult& result, const QImage& image, const QString& path, const QString& type) {
    QString error;
    QByteArray data;
    try {
        data = ImageFileWriter::encode(image, ImageFileWriter::formatForPath(path, type), &error);
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what()); // out of memory on a huge picture
    }
    writeData(result, data, error, path);
}

} // namespace

QStringList sideFitWarnings(const GraphicList& items, bool front, qreal dotsPerPoint) {
    QStringList warnings;
    for (const GraphicPtr& g : items) {
        if (!g || g->kind() != GraphicKind::Barcode || g->print_object != 0)
            continue;
        const QString value = BarcodeItemDrawing::itemValue(*g);
        QString problem = BarcodeItemDrawing::fitProblem(*g, value, dotsPerPoint);
        if (problem.isEmpty())
            continue;
        const int dpiNeeded = BarcodeItemDrawing::lowestFittingDpi(*g, value);
        if (g->linear_or_2d == 0 || dpiNeeded <= 0)
            problem[0] = problem[0].toUpper();
        else
            problem = QStringLiteral("On the %1 side, %2.")
                          .arg(front ? QStringLiteral("front") : QStringLiteral("back"),
                               BarcodeItemDrawing::twoDNeed(BarcodeItemDrawing::symbologyTitle(*g), dpiNeeded));
        if (!warnings.contains(problem))
            warnings << problem;
    }
    return warnings;
}

ExportResult Export_Single_File(const BatchFillJob::Design& design, const QString& path, const QString& side,
                                bool combined, int dpi, const QString& type) {
    ExportResult result;
    if (side != kFront)
        warnAboutFit(result, design.back, false, dpi);
    if (side == kFront || side == kBoth)
        warnAboutFit(result, design.front, true, dpi);
    if (side == kBoth) {
        const QImage back = renderDesignSide(design, false, dpi);
        const QImage front = renderDesignSide(design, true, dpi);
        result.path = Create_Front_Card_Path(path);
        if (combined) {
            const QImage both = Export_Combined_Image(front, back);
            if (both.isNull())
                result.failed << result.path; // nothing is written over an existing file
            else
                writeFile(result, both, result.path, type);
        } else {
            writeFile(result, back, Create_Back_Card_Path(path), type);
            writeFile(result, front, result.path, type);
        }
    } else if (side == kFront) {
        result.path = Create_Front_Card_Path(path);
        writeFile(result, renderDesignSide(design, true, dpi), result.path, type);
    } else {
        result.path = Create_Back_Card_Path(path);
        writeFile(result, renderDesignSide(design, false, dpi), result.path, type);
    }
    if (!result.written.isEmpty())
        ImageFileWriter::syncFolder(QFileInfo(result.written.last()).absolutePath());
    // The window names a file that exists: the main one, or what was written instead.
    if (!result.written.contains(result.path) && !result.written.isEmpty())
        result.path = result.written.last();
    return result;
}

// ---------------------------------------------------------------- batch

QString ExportBatchJob::batchFolder(const QString& chosenFolder) {
    return QDir(chosenFolder).filePath(FolderName);
}

ExportBatchJob::ExportBatchJob(std::unique_ptr<BatchFillJob> fill, const QString& chosenFolder,
                               const QString& side, bool combined, const QString& type, int dpi)
    : _fill(std::move(fill)), _folder(batchFolder(chosenFolder)),
      _side(side == kBoth || side == kFront ? side : QStringLiteral("B")),
      _combined(combined && side == kBoth), _type(type), _dpi(dpi > 0 ? dpi : kDefaultExportDpi) {
    static const QRegularExpression word(QStringLiteral("^[A-Za-z0-9]{1,10}$"));
    if (!word.match(_type).hasMatch())
        _type = QStringLiteral("PNG");
    BarcodeItemDrawing::install();
    if (_fill) {
        _fill->setDrawBarcodesFromValues(true);
        _fill->setOutputScale(scaleFor(_dpi));
    }
}

ExportBatchJob::~ExportBatchJob() = default;

int ExportBatchJob::total() const {
    return _fill ? _fill->Total_Batch_Excel_Card() : 0;
}

QStringList ExportBatchJob::rowFileNames(int row) const {
    const QString base = QStringLiteral("Card_%1.%2").arg(row + 1).arg(ImageFileWriter::fileExtension(_type));
    if (_side == kBoth)
        return _combined ? QStringList{base} : QStringList{Create_Back_Card_Path(base), base};
    if (_side == kFront)
        return {base};
    return {Create_Back_Card_Path(base)};
}

QStringList ExportBatchJob::existingFiles() const {
    QStringList out;
    if (!QFileInfo(_folder).isDir())
        return out;
    const QDir dir(_folder);
    for (int r = 0; r < total(); ++r) {
        for (const QString& name : rowFileNames(r)) {
            const QFileInfo info(dir.filePath(name));
            if (info.exists() || info.isSymLink())
                out << info.filePath();
        }
    }
    return out;
}

namespace {

// Workers give way to the window: the calling thread runs a little below the rest of the program, so a
// busy machine still answers the user at once (the export takes the time the window leaves).
void yieldToTheWindow() {
    errno = 0;
    const int program = ::getpriority(PRIO_PROCESS, 0);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)), std::min(program + 5, 19));
}

// One card's files, encoded by a worker and waiting to be written.
struct EncodedRow {
    bool ready = false;
    QList<QByteArray> data; // per file, in writing order; empty data: error says why
    QStringList errors;
};

} // namespace

int ExportBatchJob::defaultThreads() { return std::max(1, QThread::idealThreadCount() - 1); }

ExportResult ExportBatchJob::run(const std::atomic<bool>& stop, const std::function<void(int)>& progress,
                                 int threads) {
    ExportResult result;
    result.path = _folder;
    result.total = total();
    if (!makeFolder(_folder)) {
        result.folderFailed = true;
        Show_MessageBox(
            QStringLiteral("Unable to continue saving barcode image.\n\nEither Destination Drive is "
                           "inaccessible or there is no free space available in drive to save "
                           "barcode image."));
        return result;
    }
    if (result.total <= 0)
        return result;
    const int workers = std::clamp(threads > 0 ? threads : defaultThreads(), 1, result.total);
    // Rows ahead of the writer are bounded, so memory stays small on long runs.
    const int window = 2 * workers + 2;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<EncodedRow> pending; // rows from `writtenRows` on
    int writtenRows = 0;
    int nextRow = 0;
    bool quit = false;

    auto work = [&](BatchFillJob* fill) {
        yieldToTheWindow();
        for (;;) {
            int row;
            {
                std::unique_lock<std::mutex> l(lock);
                changed.wait(
                    l, [&] { return quit || nextRow >= result.total || nextRow < writtenRows + window; });
                if (quit || nextRow >= result.total)
                    return;
                row = nextRow++;
            }
            EncodedRow encoded;
            try {
                const CardRowImages images = renderRowSides(*fill, row, _side, _dpi);
                const QStringList names = rowFileNames(row);
                QList<QImage> pictures;
                if (_side == kBoth && _combined)
                    pictures << Export_Combined_Image(images.front, images.back);
                else if (_side == kBoth)
                    pictures << images.back << images.front;
                else
                    pictures << (_side == kFront ? images.front : images.back);
                for (qsizetype i = 0; i < pictures.size(); ++i) {
                    QString error;
                    encoded.data << ImageFileWriter::encode(
                        pictures[i], ImageFileWriter::formatForPath(names.value(i), _type), &error);
                    encoded.errors << error;
                }
            } catch (const std::exception& e) {
                encoded.data = {QByteArray()};
                encoded.errors = {QString::fromLocal8Bit(e.what())};
            }
            encoded.ready = true;
            std::lock_guard<std::mutex> l(lock);
            const qsizetype at = row - writtenRows;
            if (at >= 0) {
                while (qsizetype(pending.size()) <= at)
                    pending.emplace_back();
                pending[std::size_t(at)] = std::move(encoded);
            }
            changed.notify_all();
        }
    };

    std::vector<std::unique_ptr<BatchFillJob>> copies;
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; ++w)
        copies.push_back(_fill->copyForWorker());
    for (int w = 0; w < workers; ++w)
        pool.emplace_back(work, copies[std::size_t(w)].get());

    for (int row = 0; row < result.total; ++row) {
        if (stop.load()) {
            result.stopped = true;
            break;
        }
        const QStringList names = rowFileNames(row);
        QStringList paths;
        bool outside = false;
        for (const QString& name : names) {
            // Names are made here, but the folder may be a link: nothing is written outside it.
            const QString p = pathInsideFolder(_folder, name);
            if (p.isEmpty()) {
                Show_MessageBox(QStringLiteral("\"%1\" cannot be written inside \"%2\".").arg(name, _folder));
                result.failed << QDir(_folder).filePath(name);
                outside = true;
                break;
            }
            paths << p;
        }
        if (outside)
            break;
        EncodedRow encoded;
        {
            std::unique_lock<std::mutex> l(lock);
            changed.wait(l, [&] { return !pending.empty() && pending.front().ready; });
            encoded = std::move(pending.front());
            pending.pop_front();
            ++writtenRows;
        }
        changed.notify_all();
        const qsizetype failedBefore = result.failed.size();
        for (qsizetype i = 0; i < paths.size() && result.failed.size() == failedBefore; ++i)
            writeData(result, encoded.data.value(i), encoded.errors.value(i), paths[i]);
        if (result.failed.size() != failedBefore)
            break; // the next files would fail alike; the user has seen why
        ++result.cards;
        if (progress)
            progress(result.cards);
    }
    {
        std::lock_guard<std::mutex> l(lock);
        quit = true;
    }
    changed.notify_all();
    for (std::thread& t : pool)
        t.join();
    QList<const BatchFillJob*> runs;
    for (const std::unique_ptr<BatchFillJob>& copy : copies) {
        result.problems.merge(copy->rowProblems());
        runs << copy.get();
    }
    result.warnings << BatchFillJob::fitNotes(runs);
    result.problems.keepRowsBelow(result.cards); // workers may have filled rows that were never written
    ImageFileWriter::syncFolder(_folder);
    return result;
}
