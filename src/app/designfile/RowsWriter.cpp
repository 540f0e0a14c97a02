#include "app/designfile/RowsWriter.h"

#include "app/designfile/LongJob.h"
#include "canvas/BinaryPlist.h"

#include <QThread>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace {

// An entry's slot: 0 while unused, kUsed once a row uses it, kUsed | 31 bits of its text's hash once hashed;
// then kUsed | its part | kFirst for the entry where its text is written | the number of its text among
// the texts of its thread. The part, the top four bits of the hash, picks the thread that numbers it.
constexpr quint32 kUsed = 1u << 31;
constexpr int kPartShift = 27;
constexpr quint32 kFirst = 1u << 26;
constexpr quint32 kNumberMask = kFirst - 1;
constexpr int kMaxThreads = int(RowsWriter::kParts);
constexpr quint32 kParts = RowsWriter::kParts;

// Blocks are appended one at a time: more threads than this encode no faster, and hold more memory.
constexpr int kEncoders = 4;

// Below this many cells one thread does it all.
constexpr qint64 kCellsPerThread = 250000;

quint32 partOf(quint32 slot) { return (slot >> kPartShift) & (kParts - 1); }
quint32 partOfHash(quint32 hash) { return hash >> kPartShift; } // of a 31-bit hash

// While the rows are read, slots are marked by several threads at once.
quint32 load(const quint32& slot) { return std::atomic_ref<const quint32>(slot).load(std::memory_order_relaxed); }
void store(quint32& slot, quint32 v) { std::atomic_ref<quint32>(slot).store(v, std::memory_order_relaxed); }

std::string_view rowNumber(size_t row, char* buffer)
{
    const auto end = std::to_chars(buffer, buffer + 15, row + 1).ptr;
    return {buffer, size_t(end - buffer)};
}

// Texts kept as they are: ASCII without NUL (NUL characters are left out, as libplist keeps C strings).
bool plainAscii(std::string_view text)
{
    bool plain = true;
    for (const char c : text)
        plain &= uchar(c - 1) < 0x7F; // neither NUL nor a byte of a longer UTF-8 sequence
    return plain;
}

void appendAscii(QByteArray& out, std::string_view text)
{
    char marker[10];
    const int m = bplist::putMarker(marker, 0x5, text.size());
    const qsizetype at = out.size();
    out.resize(at + m + qsizetype(text.size()));
    char* p = out.data() + at;
    std::memcpy(p, marker, size_t(m));
    std::memcpy(p + m, text.data(), text.size());
}

void appendValue(QByteArray& out, QString value)
{
    value.remove(QChar(0));
    bplist::appendText(out, value);
}

// Open addressing over one thread's texts: hash << 32 | the text's first entry + 1; 0 none.
class TextTable {
public:
    // The first entry of a text that `same` finds equal, or `entry` once it is added as a new text.
    template <typename Same> quint32 findOrAdd(quint32 hash, quint32 entry, const Same& same)
    {
        size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const quint64 held = m_slots[at];
            if (!held) {
                m_slots[at] = (quint64(hash) << 32) | (quint64(entry) + 1);
                if (++m_used * 4 > m_slots.size() * 3)
                    grow();
                return entry;
            }
            if (quint32(held >> 32) == hash && same(quint32(held) - 1))
                return quint32(held) - 1;
        }
    }
    void prefetch(quint32 hash) const { __builtin_prefetch(m_slots.data() + (hash & (m_slots.size() - 1))); }
    // The text in the hash's first place, if it has this hash: the one it is most likely equal to.
    std::optional<quint32> likely(quint32 hash) const
    {
        const quint64 held = m_slots.data()[hash & (m_slots.size() - 1)];
        if (held && quint32(held >> 32) == hash)
            return quint32(held) - 1;
        return std::nullopt;
    }

private:
    void grow()
    {
        MappedArray<quint64> bigger(m_slots.size() * 2);
        rehashByTag(m_slots.data(), m_slots.size(), bigger.data(), bigger.size());
        m_slots.swap(bigger);
    }
    MappedArray<quint64> m_slots{4096};
    size_t m_used = 0;
};

} // namespace

std::string_view RowsWriter::bytesOf(size_t entry, char* digits) const
{
    if (entry < m_keyCount)
        return m_table.keyText(quint32(entry));
    const size_t row = entry - m_keyCount;
    if (row < size_t(m_table.rowCount()))
        return rowNumber(row, digits);
    return m_editTexts.view(quint32(row - size_t(m_table.rowCount())) + 1);
}

bool RowsWriter::trimmedKey(size_t entry, std::string_view bytes) const
{
    return entry < m_keyCount && !m_table.valueIsKeyText(bytes);
}

void RowsWriter::markUsed(int firstRow, int endRow, std::vector<std::pair<int, int>>& edits)
{
    std::vector<quint32> keys(static_cast<size_t>(m_columns));
    for (int r = firstRow; r < endRow; ++r) {
        m_table.rowKeys(r, keys.data());
        for (int k = 0; k < m_columns; ++k) {
            const quint32 key = keys[size_t(k)];
            if (key == DataTableContent::kNoKey) {
                edits.emplace_back(r, k);
                continue;
            }
            quint32& slot = m_slots[key == DataTableContent::kRowNumber ? m_keyCount + size_t(r) : key];
            if (!load(slot)) // strings many rows share are written once, not by every thread
                store(slot, kUsed);
        }
    }
}

quint32 RowsWriter::hashOfEntry(size_t entry, std::string_view bytes) const
{
    quint64 h = hashBytes(bytes);
    // A string that trimming changes is stored trimmed: it shares its object only with such strings.
    if (trimmedKey(entry, bytes))
        h = mixBits(h ^ 0x5851F42D4C957F2DULL);
    return quint32(h >> 33);
}

void RowsWriter::partEntries(size_t first, size_t end)
{
    char digits[16];
    for (size_t i = first; i < end; ++i) {
        if (!m_slots[i])
            continue;
        const quint32 hash = hashOfEntry(i, bytesOf(i, digits));
        m_slots[i] = kUsed | hash;
        m_parts[i] = quint8(0x10 | partOfHash(hash));
    }
}

quint32 RowsWriter::numberPart(int thread, int threads, const std::atomic<bool>* stop)
{
    quint32 mine = 0; // the parts this thread numbers, a bit each
    for (quint32 p = quint32(thread); p < kParts; p += quint32(threads))
        mine |= 1u << p;
    TextTable table;
    quint32 count = 0; // texts numbered
    char digits[16];
    char otherDigits[16];
    // Short texts met last, by their hash: a value many cells repeat (a date, a flag, an amount) is found
    // here, without a look into the table or at the bytes of the entry that holds it.
    struct Recent {
        quint32 hash = 0;
        quint32 number = 0;
        quint8 length = 0xFF;
        bool trimmed = false;
        char bytes[22];
    };
    constexpr size_t kRecent = 4096;
    std::vector<Recent> recent(kRecent);
    // A batch of the thread's entries at a time, their places in the table fetched from memory together.
    constexpr size_t kBatch = 32;
    struct Met {
        size_t entry;
        quint32 hash;
    };
    Met batch[kBatch];
    // Each thread starts at its own place and goes round, so that threads do not write beside each other.
    // The entry a thread meets first is its text's first entry, which is where the text is written.
    const size_t entries = m_parts.size();
    const size_t start = entries * size_t(thread) / size_t(threads);
    size_t batches = 0;
    for (size_t step = 0; step < entries;) {
        if (++batches % 1024 == 0 && stopped(stop))
            return 0;
        size_t n = 0;
        for (; step < entries && n < kBatch; ++step) {
            const size_t i = start + step < entries ? start + step : start + step - entries;
            const quint8 part = m_parts[i];
            if (part && (mine >> (part & 0xF)) & 1) {
                const quint32 hash = m_slots[i] & ~kUsed;
                table.prefetch(hash);
                batch[n++] = {i, hash};
            }
        }
        // The bytes of the texts they are likely equal to, fetched together too.
        for (size_t b = 0; b < n; ++b) {
            if (const auto other = table.likely(batch[b].hash)) {
                __builtin_prefetch(bytesOf(*other, otherDigits).data());
                __builtin_prefetch(&m_slots[*other]);
            }
        }
        for (size_t b = 0; b < n; ++b) {
            const size_t entry = batch[b].entry;
            const quint32 hash = batch[b].hash;
            const std::string_view bytes = bytesOf(entry, digits);
            const bool trimmed = trimmedKey(entry, bytes);
            const quint32 slot = kUsed | (partOfHash(hash) << kPartShift);
            Recent& last = recent[hash % kRecent];
            if (last.hash == hash && last.length == bytes.size() && last.trimmed == trimmed &&
                std::memcmp(last.bytes, bytes.data(), bytes.size()) == 0) {
                m_slots[entry] = slot | last.number;
                continue;
            }
            const quint32 found = table.findOrAdd(hash, quint32(entry), [&](quint32 theirEntry) {
                const std::string_view theirs = bytesOf(theirEntry, otherDigits);
                return theirs == bytes && trimmedKey(theirEntry, theirs) == trimmed;
            });
            quint32 number = 0;
            if (found == entry) {
                if (count > kNumberMask)
                    throw std::bad_alloc();
                number = count++;
            } else {
                number = m_slots[found] & kNumberMask;
            }
            m_slots[entry] = slot | number | (found == entry ? kFirst : 0);
            if (bytes.size() <= sizeof(last.bytes)) {
                last.hash = hash;
                last.number = number;
                last.length = quint8(bytes.size());
                last.trimmed = trimmed;
                std::memcpy(last.bytes, bytes.data(), bytes.size());
            }
        }
    }
    return count;
}

quint32 RowsWriter::textOf(size_t entry) const
{
    const quint32 slot = m_slots[entry];
    return m_firstOfPart[partOf(slot)] + (slot & kNumberMask);
}

void RowsWriter::appendEntry(QByteArray& out, size_t entry, QStringDecoder& decoder,
                             std::vector<QChar>& utf16) const
{
    char digits[16];
    if (entry >= m_keyCount + size_t(m_table.rowCount())) {
        const auto [row, column] = m_edits[entry - m_keyCount - size_t(m_table.rowCount())];
        appendValue(out, m_table.value(row, column));
        return;
    }
    const std::string_view text = bytesOf(entry, digits);
    const bool trimmed = trimmedKey(entry, text);
    if (!trimmed && plainAscii(text)) {
        appendAscii(out, text);
    } else if (trimmed || std::memchr(text.data(), 0, text.size()) || text.starts_with("\xEF\xBB\xBF")) {
        appendValue(out, m_table.keyValue(quint32(entry)));
    } else {
        // Decoded as QString::fromUtf8 does, into a buffer kept for the next text.
        utf16.resize(size_t(decoder.requiredSpace(qsizetype(text.size()))));
        const QChar* end = decoder.appendToBuffer(utf16.data(), QByteArrayView(text.data(), qsizetype(text.size())));
        bplist::appendText(out, QStringView(utf16.data(), end));
    }
}

std::optional<quint32> RowsWriter::number(CompactPlistWriter& writer, const std::atomic<bool>* stop,
                                          std::atomic<int>* progress, int span)
{
    const int rows = m_table.rowCount();
    m_columns = m_table.columnCount();
    // Only rows refer to the keys: a table without rows writes none.
    for (int k = 0; rows > 0 && k < m_columns; ++k)
        m_keys.push_back(writer.addText(Data_From_Excel::columnKey(k)));
    m_keyCount = m_table.keyCount();
    const qint64 cells = qint64(rows) * m_columns;
    const int threads = m_threads = int(std::clamp<qint64>(
        std::min<qint64>(QThread::idealThreadCount(), cells / kCellsPerThread), 1, kMaxThreads));
    // Runs work(first, end) over [0, n) on the threads, in steps, until stopped; progress from `from` to `to`.
    const auto inSteps = [&](size_t n, int from, int to, const auto& work) {
        onThreads(threads, [&](int t) {
            const size_t begin = n * size_t(t) / size_t(threads);
            const size_t end = n * size_t(t + 1) / size_t(threads);
            for (size_t i = begin; i < end && !stopped(stop); i += 65536) {
                work(i, std::min(end, i + 65536), size_t(t));
                if (t == 0)
                    report(progress, qint64(i - begin), qint64(end - begin), from, to);
            }
        });
        return !stopped(stop);
    };

    // Which entries the rows use, and the edited cells in row order.
    m_slots = MappedArray<quint32>(m_keyCount + size_t(rows));
    std::vector<std::vector<std::pair<int, int>>> edits(static_cast<size_t>(threads));
    if (!inSteps(size_t(rows), 0, span / 6, [&](size_t first, size_t end, size_t t) {
            markUsed(int(first), int(end), edits[t]);
        }))
        return std::nullopt;
    for (const auto& part : edits) {
        for (const auto& [row, column] : part) {
            const QByteArray value = m_table.value(row, column).toUtf8();
            if (m_editTexts.append(std::string_view(value.constData(), size_t(value.size()))) == StringPool::kFull)
                throw std::bad_alloc();
            m_edits.emplace_back(row, column);
        }
    }
    edits = {};
    const size_t entries = m_keyCount + size_t(rows) + m_edits.size();
    if (entries >= 0xFFFFFFF0u)
        throw std::bad_alloc();
    m_slots.grow(entries);
    for (size_t e = m_keyCount + size_t(rows); e < entries; ++e)
        m_slots[e] = kUsed;

    // Each entry's part, then each thread numbers the texts of its parts in entry order.
    m_parts = MappedArray<quint8>(entries);
    if (!inSteps(entries, span / 6, span / 3, [&](size_t first, size_t end, size_t) { partEntries(first, end); }))
        return std::nullopt;
    std::vector<quint32> texts(static_cast<size_t>(threads));
    onThreads(threads, [&](int t) { texts[size_t(t)] = numberPart(t, threads, stop); });
    m_parts = MappedArray<quint8>();
    if (stopped(stop))
        return std::nullopt;
    report(progress, 1, 1, 0, span);
    std::vector<quint32> firstOfThread;
    for (const quint32 n : texts) {
        firstOfThread.push_back(m_texts);
        if (quint64(m_texts) + n >= 0xFFFFFFF0u)
            throw std::bad_alloc();
        m_texts += n;
    }
    for (size_t p = 0; p < kParts; ++p)
        m_firstOfPart[p] = firstOfThread[p % size_t(threads)];

    m_firstText = writer.reserve(m_texts);
    m_firstRow = writer.reserve(quint32(rows));
    m_array = writer.reserve(1);
    return m_array;
}

bool RowsWriter::write(CompactPlistWriter& writer, const std::atomic<bool>* stop, std::atomic<int>* progress,
                       int from, int to)
{
    const int rows = m_table.rowCount();
    const int refSize = writer.referenceSize();
    const auto putRef = [refSize](char* p, quint32 ref) {
        bplist::putBigEndian(p, ref, refSize);
        return p + refSize;
    };
    const size_t firstEdit = m_keyCount + size_t(rows);

    // The texts, in entry order, each at its first entry.
    const int textsUntil = from + (to - from) / 4;
    const bool texts = inBlocks(writer, m_slots.size(), 64, stop, progress, from, textsUntil,
                                [&](size_t first, size_t end, Block& block) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        for (size_t i = first; i < end; ++i) {
            if (!(m_slots[i] & kFirst))
                continue;
            block.placed.emplace_back(m_firstText + textOf(i), quint32(block.bytes.size()));
            appendEntry(block.bytes, i, decoder, block.utf16);
        }
    });
    if (!texts)
        return false;

    // The rows: dictionaries of the same size, from the column keys to the values.
    QByteArray marker;
    bplist::appendMarker(marker, 0xD, quint64(m_columns));
    const qsizetype rowBytes = marker.size() + 2 * qsizetype(m_columns) * refSize;
    const bool dictionaries = inBlocks(writer, size_t(rows), size_t(rowBytes), stop, progress, textsUntil, to,
                                       [&](size_t first, size_t end, Block& block) {
        std::vector<quint32> keys(static_cast<size_t>(m_columns));
        // The edited cells before the block's first row.
        size_t edit = firstEdit + size_t(std::lower_bound(m_edits.begin(), m_edits.end(), std::pair<int, int>(int(first), 0)) -
                                         m_edits.begin());
        block.bytes.resize(qsizetype(end - first) * rowBytes);
        char* p = block.bytes.data();
        for (size_t r = first; r < end; ++r) {
            m_table.rowKeys(int(r), keys.data());
            block.placed.emplace_back(m_firstRow + quint32(r), quint32(p - block.bytes.data()));
            std::memcpy(p, marker.constData(), size_t(marker.size()));
            p += marker.size();
            for (const quint32 key : m_keys)
                p = putRef(p, key);
            for (const quint32 key : keys) {
                const size_t entry = key == DataTableContent::kRowNumber ? m_keyCount + r
                                     : key == DataTableContent::kNoKey ? edit++
                                                                       : size_t(key);
                p = putRef(p, m_firstText + textOf(entry));
            }
        }
    });
    if (!dictionaries)
        return false;

    QByteArray& out = writer.output();
    writer.place(m_array);
    bplist::appendMarker(out, 0xA, quint64(rows));
    for (int r = 0; r < rows; r += 4096) {
        const int n = std::min(rows - r, 4096);
        const qsizetype at = out.size();
        out.resize(at + qsizetype(n) * refSize);
        char* p = out.data() + at;
        for (int k = 0; k < n; ++k)
            p = putRef(p, m_firstRow + quint32(r + k));
        if (!writer.spill())
            return false;
    }
    return true;
}

template <typename Encode>
bool RowsWriter::inBlocks(CompactPlistWriter& writer, size_t n, size_t itemBytes, const std::atomic<bool>* stop,
                          std::atomic<int>* progress, int from, int to, const Encode& encode)
{
    // Blocks of about kBlockBytes each, sized by the bytes an item took so far. While one wave of blocks is
    // appended, the next is encoded.
    constexpr size_t kBlockBytes = 256 << 10;
    const auto blockSize = [&] { return std::clamp<size_t>(kBlockBytes / std::max<size_t>(itemBytes, 1), 1, 65536); };
    struct Wave {
        std::vector<Block> blocks;
        size_t first = 0;
        size_t end = 0;
        size_t size = 0;
    };
    Wave waves[2];
    Crew crew;
    const auto launch = [&](Wave& wave, size_t first) {
        wave.blocks.resize(static_cast<size_t>(std::min(m_threads, kEncoders)));
        wave.first = first;
        wave.size = blockSize();
        wave.end = std::min(n, first + wave.size * wave.blocks.size());
        const size_t blocks = (wave.end - first + wave.size - 1) / wave.size;
        // Room made here, not on the threads, whose freed memory would stay apart from the rest.
        for (Block& block : wave.blocks) {
            block.bytes.reserve(2 * kBlockBytes);
            block.placed.reserve(std::max(block.placed.capacity(), wave.size));
        }
        crew.start(int(blocks), [&wave, &encode](int b) {
            Block& block = wave.blocks[size_t(b)];
            block.bytes.resize(0);
            block.placed.clear();
            const size_t begin = wave.first + size_t(b) * wave.size;
            encode(begin, std::min(wave.end, begin + wave.size), block);
        });
    };
    if (n == 0)
        return true;
    launch(waves[0], 0);
    for (int w = 0;; w ^= 1) {
        Wave& wave = waves[w];
        crew.finish();
        const size_t blocks = (wave.end - wave.first + wave.size - 1) / wave.size;
        size_t bytes = 0;
        for (size_t b = 0; b < blocks; ++b)
            bytes += size_t(wave.blocks[b].bytes.size());
        itemBytes = (bytes + (wave.end - wave.first) - 1) / (wave.end - wave.first);
        const bool last = wave.end >= n || stopped(stop);
        if (!last)
            launch(waves[w ^ 1], wave.end);
        for (size_t b = 0; b < blocks; ++b) {
            const Block& block = wave.blocks[b];
            const quint64 at = writer.position();
            for (const auto& [object, offset] : block.placed)
                writer.placeAt(object, at + offset);
            if (!writer.append(block.bytes.constData(), block.bytes.size()))
                return false;
        }
        report(progress, qint64(wave.end), qint64(n), from, to);
        if (last)
            return !stopped(stop);
    }
}
