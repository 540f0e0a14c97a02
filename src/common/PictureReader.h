#pragma once

// Reading pictures from outside: the one place that looks into picture bytes and decodes them. inspect()
// reads what a file declares (format, size, what its decoder will hold) without decoding it and says why a
// hostile file must not be decoded; decodedBytes() gives what decoding it at a size costs. The readers
// below check both before anything is decoded, and decode a large picture scaled where the format can do
// that (JPEG), so a small file that claims a huge picture or hours of work cannot exhaust memory or time.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>

class QIODevice;
class QImageReader;

namespace pictures {

// Sources larger than this are refused whatever the result size would be.
constexpr qint64 MaxSourcePixels = 100LL * 1000 * 1000;
// What decoding one picture may take at once (decoder's buffers, any intermediate picture and the result).
constexpr qint64 MaxDecodeBytes = 720LL * 1024 * 1024;
// A JPEG coding one component in more scans than this is refused unread: encoders write at most about
// six (libjpeg's progressive scripts, mozjpeg, Photoshop), and each scan is a pass over the whole picture.
constexpr int MaxJpegScansPerComponent = 12;
// A JPEG holding more comment and metadata blocks (COM, APP1, APP2) than this is refused unread: its decoder
// keeps them in a list it walks to the end for each one, so their number costs its square in time.
constexpr int MaxJpegKeptBlocks = 1000;
// A PNG whose text chunks hold more than this once inflated is refused unread: Qt's reader keeps all of it.
constexpr qint64 MaxPngTextBytes = 32LL * 1024 * 1024;

// What a picture file declares, read without decoding it.
struct PictureInfo {
    QByteArray format;               // Qt's name of the format ("jpeg", "png", "gif", ...); empty if unknown
    QSize size;                      // the declared size; a GIF's logical screen, which is what it decodes to
    QImage::Format decodesTo = QImage::Format_Invalid; // the picture Qt's reader makes
    int bytesPerPixel = 4;           // of that picture (16-bit PNG: 8, grey JPEG: 1)
    qint64 decoderBytes = 0;         // held by the decoder whatever the size asked (a progressive JPEG's
                                     // coefficients, at the full size)
    bool scalesWhileDecoding = false; // JPEG: decodes at n/8 of its size for little more than the result
    int scans = 0;                   // JPEG: scans up to the end of the picture
    QString refusal;                 // why it must not be decoded; empty when it may be
    QString damage;                  // why its data cannot decode, seen without decoding (a PNG cut short or
                                     // with a damaged chunk); such a picture still declares its size
    bool readable() const { return refusal.isEmpty(); }
};

// The device is read from its position and put back there (it must be open and not sequential).
PictureInfo inspect(QIODevice& device);
PictureInfo inspect(const QByteArray& bytes);
PictureInfo inspectFile(const QString& path);

// The most memory decoding the picture to target (its own size when invalid) takes at once, as Qt's
// readers allocate it: the decoder's buffers, the picture decoded (JPEG: at the n/8 step at or above
// target), then what scaledPicture() holds. In the reader's own format where no scaling is needed, or as 32
// bits a pixel (`as32Bits`, what items draw).
qint64 decodedBytes(const PictureInfo& info, QSize target, bool as32Bits = false);
// What decoding one picture may take: MaxDecodeBytes, or Qt's allocation limit when that is lower.
qint64 decodeBudget();
// Why decoding the picture to target must not be done (it costs more than the budget); empty if it may.
QString decodeCostMessage(const PictureInfo& info, QSize target, bool as32Bits = false);
// Bytes a QImage of that size and format holds.
qint64 imageBytes(QSize size, QImage::Format format);
// The format a picture of that format is smoothly scaled in (32-bit or 64-bit premultiplied; 32-bit only
// when `as32Bits`).
QImage::Format scalingFormat(QImage::Format format, bool alpha, bool as32Bits);
// The picture smoothly scaled to size (kept when invalid or its own), and as 32 bits a pixel when asked:
// converted in place where the pixel does not grow, into a copy where it does. Pass a picture nothing else
// shares, or the in-place conversion copies it first.
QImage scaledPicture(QImage image, QSize size, bool as32Bits);

// Why a file is refused when no reader takes it as a picture whose size it declares.
QString notAPictureMessage();
// Why a picture whose header reads cannot be drawn: a decode of its data failed.
QString undecodableMessage();

// Why the picture's data does not decode (undecodableMessage(), or inspect()'s refusal or damage); empty when
// it decodes. Decodes as little as the format allows: a PNG row by row, a JPEG at an eighth of its size, the
// others at a small size, every byte of the data read. A set *stop ends it early (the result is then
// meaningless).
QString checkDecodes(const QByteArray& bytes, const PictureInfo& info, const std::atomic<bool>* stop = nullptr);

// The reason a read ends with when it was stopped.
inline const QString StoppedMessage = QStringLiteral("Reading the picture was stopped.");

struct ReadLimits {
    int maxSide = 0;      // longest side of the result; 0 for no limit
    qint64 maxPixels = 0; // area of the result; 0 for no limit
};

// "The picture is too large (W × H pixels). Pictures of up to 100 megapixels can be used."
QString tooLargeMessage(QSize declared);

// Lets Qt's readers allocate a picture at the source limit in any format (Qt's default stops near 64
// megapixels). Done once, by the readers below; callers decoding pictures themselves call it first.
void allowPicturesAtSourceLimit();

// The largest size within the limits with the proportions of size (size itself when it fits).
QSize fitted(QSize size, const ReadLimits& limits);

// The picture scaled down (never up) to fit the limits, keeping its proportions. A null image and the reason
// in *error when the file is missing, unreadable, refused by inspect() or too costly to decode at that
// size, or when the picture it holds is larger than it declared beyond the limits. A set *stop ends the
// read early with a null image; *progress gets the part of the file read, 0 to 90 (the rest is the decoding
// after the last byte).
QImage readPicture(QImageReader& reader, const ReadLimits& limits, QString* error = nullptr);
QImage readPictureFile(const QString& path, const ReadLimits& limits, QString* error = nullptr,
                       const std::atomic<bool>* stop = nullptr, std::atomic<int>* progress = nullptr);

// A read of a picture file, and what runs it: the window installs a runner while the user picks a picture,
// so that the read runs on a worker under its wait sheet, with progress and Stop. Reads on other threads
// than the application's, and reads given a stop flag, run directly.
using Read = std::function<void(const std::atomic<bool>& stop, std::atomic<int>& progress)>;
using ReadRunner = std::function<void(const Read& read)>;
// Gives the runner it replaces; an empty runner reads directly.
ReadRunner setReadRunner(ReadRunner runner);
// Runs a read as readPictureFile does: through the runner on the application's thread, else directly.
void runRead(const Read& read);

// A thumbnail whose longer side is `side` pixels at most.
QImage readThumbnail(const QString& path, int side, QString* error = nullptr);

} // namespace pictures
