#pragma once

// The data table's rows as a design file stores them: an array with a dictionary per row, from the column
// keys ("Extension", "Column1", ...) to the values as texts.
//
// Each distinct value is stored once. Every text the rows hold has an entry: a string of the table (its
// key), a row number, or an edited cell. Cells that share a key share its entry without looking at the
// text; entries are then told apart by the text stored (their bytes, or for the few stored otherwise, the
// text as stored), spread over several threads by their hash, each thread numbering the texts of its own
// hashes. The texts are then put in the order the cells first use them, row by row, so that equal tables
// write equal files however the table keeps its strings and however many threads there are. The texts are written first, then the rows, while the file is streamed
// out; nothing but a few numbers per entry and per text and an offset per object is held.

#include "app/designfile/CompactPlist.h"
#include "app/designfile/MappedArray.h"
#include "data/Data_From_Excel.h"

#include <QStringDecoder>

#include <array>
#include <atomic>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class RowsWriter {
public:
    static constexpr size_t kParts = 16; // texts are numbered per part, picked by their hash

    explicit RowsWriter(const DataTableContent& table) : m_table(table) {}

    // Adds the keys and reserves the rows' objects in writer; the array's number, or nothing when stopped.
    // progress goes up to `span` percent.
    std::optional<quint32> number(CompactPlistWriter& writer, const std::atomic<bool>* stop,
                                  std::atomic<int>* progress, int span);
    // Appends the reserved objects while writer streams; false when stopped or a write failed. progress
    // goes from `from` to `to` percent.
    bool write(CompactPlistWriter& writer, const std::atomic<bool>* stop, std::atomic<int>* progress, int from,
               int to);

private:
    // What the bytes of a text hold beside plain ASCII.
    struct TextKind {
        bool nul = false;    // a NUL character
        bool longer = false; // a byte of a longer UTF-8 sequence
    };
    // hashBytes and the text's kind, in one pass over the bytes.
    static quint64 hashOfText(std::string_view bytes, TextKind& kind);
    // Entries: the table's keys [0, K), the row numbers [K, K + rows), the edited cells after them.
    std::string_view bytesOf(size_t entry, char* digits) const;
    // Whether the entry's stored value may differ from its bytes (a table string that trimming changes).
    bool trimmedKey(size_t entry, std::string_view bytes) const;
    // The same, or its bytes hold NUL characters (left out) or malformed UTF-8 (replaced).
    bool mayBeStoredOtherwise(size_t entry, std::string_view bytes, TextKind kind) const;
    // While numbering: the text the entry stores, as UTF-8.
    std::string_view storedText(size_t entry, bool otherwise, char* digits) const;
    void markUsed(int firstRow, int endRow, std::vector<std::pair<int, int>>& edits);
    // Hashes entries and picks their parts; those stored otherwise than their bytes go to `otherwise`.
    void partEntries(size_t first, size_t end, std::vector<std::pair<quint32, QByteArray>>& otherwise);
    // Numbers the texts of one thread's parts; their count.
    quint32 numberPart(int thread, int threads, const std::atomic<bool>* stop);
    // The text's number as the threads gave it.
    quint32 numberedText(size_t entry) const;
    // Puts the texts in the order the cells first use them; false when stopped.
    bool orderByFirstUse(const std::atomic<bool>* stop, std::atomic<int>* progress, int from, int to);
    void appendEntry(QByteArray& out, size_t entry, QStringDecoder& decoder, std::vector<QChar>& utf16) const;

    // Bytes encoded on a thread: the objects placed in them (number, offset) and their buffers.
    struct Block {
        QByteArray bytes;
        std::vector<std::pair<quint32, quint32>> placed;
        std::vector<QChar> utf16;
    };
    // Encodes items [0, n) on the threads, a block of items each, and appends the blocks in order; itemBytes
    // is a first guess of an item's bytes.
    template <typename Encode>
    bool inBlocks(CompactPlistWriter& writer, size_t n, size_t itemBytes, const std::atomic<bool>* stop,
                  std::atomic<int>* progress, int from, int to, const Encode& encode);

    const DataTableContent& m_table;
    int m_columns = 0;
    size_t m_keyCount = 0; // K
    std::vector<quint32> m_keys;                 // the column keys' objects
    MappedArray<quint32> m_slots;     // per entry: 0 unused, else kUsed | part | hash or number; at last its text's place
    std::vector<std::pair<int, int>> m_edits;    // the edited cells (row, column), in row order
    StringPool m_editTexts;                      // their values as UTF-8, from entry 1
    MappedArray<quint8> m_parts;                   // while numbering, per entry: 0 unused, else 0x10 | its part,
                                                   // | kOtherwise when it stores another text than its bytes
    static constexpr quint8 kOtherwise = 0x20;
    std::unordered_map<quint32, QByteArray> m_otherwise; // while numbering: those entries' texts
    MappedArray<quint32> m_textEntries;                  // per text (in order): an entry that holds it
    std::array<quint32, kParts> m_firstOfPart{}; // per part: the number of its thread's first text
    int m_threads = 1;
    quint32 m_texts = 0;     // distinct texts
    quint32 m_firstText = 0; // object numbers: texts, then row dictionaries, then the array
    quint32 m_firstRow = 0;
    quint32 m_array = 0;
};
