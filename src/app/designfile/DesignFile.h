#pragma once

// Design files ("kvto"): a property list whose root is one flat array.
//
//   index        value
//   0            the marker "RUVEVERIRODUVIZEVUDAV" (string)
//   1 .. 28      the front side's 28 stored Card_Property fields (CardPropertyArchive order)
//   29 .. 56     the back side's 28 fields
//   57           frame picture path (string)
//   58           main photo path (string)
//   59           main photo before adjustment: its file's bytes as they came (data, empty when there is none;
//                older files hold PNG data of the picture as loaded)
//   60 .. 62     photo adjustments gray_Scale, Sepia, invert_clr (booleans)
//   63 .. 71     hue, sat, brt, con, srp, ev, blr, trnsp (percent), rotate_image (reals)
//   72           sheet-binding flag "Y" or "N" (string)
//   73           workbook path (string)
//   74           column titles, column 0 first (array of strings)
//   75           rows (array of dictionaries, string keys to string values: "Extension", "Column1", ...)
//   76           n = number of front items (integer), then n item archives (data, binary keyed archives; a
//                "PARTY_IMAGE" item showing the main photo holds no picture: it shows elements 59 to 71)
//   then         m = number of back items (integer), then m item archives
//   then         the front's and the back's background pictures (data each: a binary keyed archive whose root
//                holds the picture under "NAVUPicture", its file's bytes and adjustments as an item's are;
//                empty when the side's fill is not a picture, it has none, or its "PARTY_IMAGE_BG" item shows
//                it). Older files end with the back items: their sides read the picture again from its path.
//
// Reading never trusts the file: anything out of place rejects the whole file, and the caller's design
// is only replaced once everything has been read.

#include "canvas/Card_Property.h"
#include "canvas/KeyedArchive.h"
#include "canvas/SKTGraphic.h"
#include "data/Data_From_Excel.h"
#include "wizards/InvitationState.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <optional>

// The spreadsheet data table as the design file keeps it.
struct SheetBinding {
    bool inUse = false;       // Excel_Binding_Use
    QString workbookPath;     // Excel_Source_Path
    QStringList columnTitles; // column 0 (row number) first
    // The rows, stored as dictionaries: column 0 under "Extension", column k under "Column<k>". A shared
    // snapshot of the data table, so taking it costs nothing.
    DataTableContent rows;

    bool operator==(const SheetBinding& o) const {
        return inUse == o.inUse && workbookPath == o.workbookPath && columnTitles == o.columnTitles &&
               rows.sameValues(o.rows);
    }
};

// Everything a design file holds.
struct DesignData {
    Card_Property front = Card_Property::defaults(QStringLiteral("F"));
    Card_Property back = Card_Property::defaults(QStringLiteral("B"));
    QString framePath;
    QString photoPath;
    ItemPicture photoOriginal; // the main photo as its file came, before adjustment
    PhotoSettings photo;
    SheetBinding sheet;
    GraphicList frontItems; // front-most first
    GraphicList backItems;
};

namespace designfile {

inline const QString Marker = QStringLiteral("RUVEVERIRODUVIZEVUDAV");
inline const QString Extension = QStringLiteral("kvto"); // design_file_EXT

// Bounds that keep a hostile file from exhausting memory.
// A binary file's table is read without a node per value, so its size bounds memory only linearly; an XML
// file is also held to the property-list reader's bounds.
inline constexpr qint64 MaxFileBytes = 2047LL * 1024 * 1024;
inline constexpr qint64 MaxItemsPerSide = 100000;
inline constexpr qint64 MaxColumns = 10000;
// A table as large as the workbook reader takes (20,000,000 cells) plus its row numbers always fits.
inline constexpr qint64 MaxRows = 20000000;
inline constexpr qint64 MaxTableCells = 50000000;
inline constexpr qint64 MaxTextLength = 1 << 20;
// What reading a design may claim outside its rows, in plistio's measure (values, data and text bytes,
// shared objects counted each time they are met), shared by the root and every item archive: a small
// multiple of the file's size, never more than MaxClaimedBytes unless the file is so large that what it
// holds passes that (a design of a hundred thousand items), and then a few times its size.
inline constexpr qint64 MaxClaimedBytes = 768LL * 1024 * 1024;
inline constexpr qint64 LargeClaimPerByte = 8;
inline qint64 readBudget(qint64 fileSize) {
    return std::min(std::max(MaxClaimedBytes, LargeClaimPerByte * fileSize),
                    plistio::ClaimPerByte * fileSize + plistio::ClaimFloor);
}

// Fixed indexes of the root array.
inline constexpr int FrontCardIndex = 1;
inline constexpr int BackCardIndex = 29;
inline constexpr int FramePathIndex = 57;
inline constexpr int PhotoPathIndex = 58;
inline constexpr int PhotoDataIndex = 59;
inline constexpr int PhotoSettingsIndex = 60;
inline constexpr int SheetFlagIndex = 72;
inline constexpr int SheetPathIndex = 73;
inline constexpr int SheetTitlesIndex = 74;
inline constexpr int SheetRowsIndex = 75;
inline constexpr int FrontCountIndex = 76;

// What a save writes, taken quickly on the GUI thread: the items archived, the data table and the photo as
// shared snapshots. It is written on any thread; the live design is not touched again.
class DesignSnapshot {
public:
    explicit DesignSnapshot(const DesignData& design);
    // Writes the binary file to out as it is encoded; false when stop was set, out refused a write (then
    // *refused is set, when given) or the design could not be encoded. progress, when given, goes up to 95
    // (percent) as the rows are written.
    bool write(QIODevice& out, const std::atomic<bool>* stop = nullptr, std::atomic<int>* progress = nullptr,
               bool* refused = nullptr) const;
    // The same in memory; empty when it failed.
    QByteArray toBytes(const std::atomic<bool>* stop = nullptr, std::atomic<int>* progress = nullptr) const;
    // Why the design would not open again once written (a main photo made in memory decodes to more than
    // reading allows); empty when it would.
    QString openAgainProblem() const;

private:
    qint64 m_pictureCost = 0; // what reading charges its pictures (PictureBudget)
    plist_t m_photoSlot = nullptr; // placeholders in m_root (set while it is built)
    plist_t m_rowsSlot = nullptr;
    PlistPtr m_root; // everything but the photo and the rows
    ItemPicture m_photo;
    DataTableContent m_rows;
};

// The design as property-list data (binary unless asked otherwise).
QByteArray toBytes(const DesignData& design, bool xml = false);
// Reads a whole design; nothing, with a reason in *error, when any part is missing, of the wrong type or
// out of bounds, or when stop was set (a long table is read in steps that look at it). progress, when given,
// goes up to 100 (percent) as the rows are read.
std::optional<DesignData> fromBytes(const QByteArray& bytes, QString* error = nullptr,
                                    const std::atomic<bool>* stop = nullptr, std::atomic<int>* progress = nullptr);

// Writes the file atomically (the old file stays intact until the new one is complete, or when stop is
// set before the file is written).
bool save(const QString& path, const DesignData& design, QString* error = nullptr);
bool save(const QString& path, const DesignSnapshot& design, QString* error = nullptr,
          const std::atomic<bool>* stop = nullptr, std::atomic<int>* progress = nullptr);
std::optional<DesignData> load(const QString& path, QString* error = nullptr,
                               const std::atomic<bool>* stop = nullptr, std::atomic<int>* progress = nullptr);

// The message shown when a design cannot be opened.
QString openFailedMessage(const QString& path, const QString& reason = {});
// The reason load gives when memory ran out.
inline const QString NotEnoughMemory = QStringLiteral("not enough memory");
// Why a design (or template) of that many bytes is not written: it could not be opened again.
QString tooLargeToSaveMessage(qint64 bytes);

} // namespace designfile
