#include "common/PictureReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <QThread>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pictures {

void allowPicturesAtSourceLimit() {
    static const bool raised = [] {
        // Up to 8 bytes a pixel (16-bit channels), in whole megabytes.
        const int needed = int(MaxSourcePixels * 8 / (1024 * 1024)) + 1;
        const int current = QImageReader::allocationLimit();
        if (current > 0 && current < needed)
            QImageReader::setAllocationLimit(needed);
        return true;
    }();
    (void)raised;
}

QSize fitted(QSize size, const ReadLimits& limits) {
    const double pixels = double(size.width()) * size.height();
    double scale = 1.0;
    const int longest = std::max(size.width(), size.height());
    if (limits.maxSide > 0 && longest > limits.maxSide)
        scale = double(limits.maxSide) / longest;
    if (limits.maxPixels > 0 && pixels * scale * scale > double(limits.maxPixels))
        scale = std::sqrt(double(limits.maxPixels) / pixels);
    if (scale >= 1.0)
        return size;
    // The epsilon keeps 10000 x 0.0096 at 96, not 95.
    auto side = [scale](int v) { return std::max(1, int(v * scale + 1e-6)); };
    return QSize(side(size.width()), side(size.height()));
}

namespace {

// A picture file as its decoder reads it: ends the input when stop is set (decoders then finish at once
// with what they have) and tells how far the reading got.
class WatchedFile : public QIODevice {
public:
    WatchedFile(const QString& path, const std::atomic<bool>* stop, std::atomic<int>* progress)
        : m_file(path), m_stop(stop), m_progress(progress) {}
    bool open(OpenMode mode) override {
        if (!m_file.open(mode))
            return false;
        m_size = m_file.size();
        return QIODevice::open(mode);
    }
    void close() override {
        m_file.close();
        QIODevice::close();
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && m_file.seek(pos); }
    bool stopped() const { return m_stop && m_stop->load(); }
    QString fileError() const { return m_file.errorString(); }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (stopped())
            return -1;
        const qint64 got = m_file.read(data, max);
        // Decoders read as they go; the last part is the picture's output after the whole file is read.
        if (m_progress && m_size > 0)
            m_progress->store(int(m_file.pos() * 90 / m_size));
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile m_file;
    const std::atomic<bool>* m_stop;
    std::atomic<int>* m_progress;
    qint64 m_size = 0;
};

QImage decode(QImageReader& reader, const PictureInfo& info, const ReadLimits& limits, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    if (!info.readable())
        return fail(info.refusal);
    if (!info.damage.isEmpty())
        return fail(info.damage);
    const QSize size = info.size;
    allowPicturesAtSourceLimit();
    ReadLimits decodeLimits = limits;
    // A picture beyond Qt's allocation limit (when it is set lower) can still be decoded scaled, and the
    // n/8 step a JPEG is decoded at covers up to four times the asked area.
    if (const int limitMB = QImageReader::allocationLimit(); limitMB > 0 && info.scalesWhileDecoding) {
        const qint64 allocatable = qint64(limitMB) * 1024 * 1024 / std::max(1, info.bytesPerPixel);
        if (qint64(size.width()) * size.height() > allocatable)
            decodeLimits.maxPixels =
                limits.maxPixels > 0 ? std::min(limits.maxPixels, allocatable / 4) : allocatable / 4;
    }
    const QSize scaled = fitted(size, decodeLimits);
    if (const QString why = decodeCostMessage(info, scaled); !why.isEmpty())
        return fail(why);
    reader.setAutoTransform(true);
    if (!info.format.isEmpty())
        reader.setFormat(info.format);
    // A JPEG is decoded scaled; other pictures whole, then scaled here after an in-place conversion to a
    // format smooth scaling takes, which saves Qt's copy of the whole picture.
    if (scaled != size && info.scalesWhileDecoding)
        reader.setScaledSize(scaled);
    QImage image;
    if (!reader.read(&image))
        return fail(undecodableMessage());
    // Some decoders give another size than the file declares, so the picture got is held to the same limits.
    if (double(image.width()) * image.height() > double(MaxSourcePixels))
        return fail(tooLargeMessage(image.size()));
    const QSize fit = fitted(image.size(), limits);
    return scaledPicture(std::move(image), fit, false);
}

ReadRunner& installedRunner() {
    static ReadRunner runner;
    return runner;
}

bool onApplicationThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace

ReadRunner setReadRunner(ReadRunner runner) {
    return std::exchange(installedRunner(), std::move(runner));
}

void runRead(const Read& read) {
    if (onApplicationThread() && installedRunner()) {
        const ReadRunner runner = installedRunner();
        runner(read);
        return;
    }
    const std::atomic<bool> stop{false};
    std::atomic<int> progress{0};
    read(stop, progress);
}

QImage readPicture(QImageReader& reader, const ReadLimits& limits, QString* error) {
    PictureInfo info;
    if (QIODevice* device = reader.device(); device && device->isOpen())
        info = inspect(*device);
    else
        info = inspectFile(reader.fileName());
    return decode(reader, info, limits, error);
}

QImage readPictureFile(const QString& path, const ReadLimits& limits, QString* error,
                       const std::atomic<bool>* stop, std::atomic<int>* progress) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("The picture %1 does not exist.").arg(path);
        return {};
    }
    if (!stop && onApplicationThread() && installedRunner()) {
        QImage image;
        // A copy: the runner may be replaced while it runs.
        const ReadRunner runner = installedRunner();
        runner([&](const std::atomic<bool>& stopFlag, std::atomic<int>& read) {
            image = readPictureFile(path, limits, error, &stopFlag, &read);
        });
        return image;
    }
    WatchedFile file(path, stop, progress);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The picture could not be read: %1").arg(file.fileError());
        return {};
    }
    const PictureInfo info = inspect(file);
    QImageReader reader(&file);
    QImage image = decode(reader, info, limits, error);
    if (file.stopped()) {
        if (error)
            *error = StoppedMessage;
        return {};
    }
    return image;
}

QImage readThumbnail(const QString& path, int side, QString* error) {
    return readPictureFile(path, {side, 0}, error);
}

} // namespace pictures
