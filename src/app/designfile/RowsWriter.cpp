#include "app/designfile/RowsWriter.h"

#include "app/designfile/LongJob.h"
#include "canvas/BinaryPlist.h"

#include <QThread>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>

namespace {

// An entry's slot: 0 while unused, kUsed | 31 bits of its text's hash once hashed; then kUsed | its part |
// kFirst for the entry that stands for its text | the number of its text among the texts of its thread;
// at last the place of its text in the file. The part, the top four bits of the hash, picks the thread
// that numbers it.
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

// Whether a text holding bytes of longer sequences is well-formed UTF-8, which QString::fromUtf8 reads
// without replacing anything.
bool wellFormedUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const uchar*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        quint64 word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), !(word & 0x8080808080808080ULL))) {
            p += 8; // plain ASCII
            continue;
        }
        const uchar c = *p++;
        if (c < 0x80)
            continue;
        const int more = c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : 0;
        if (!more || end - p < more)
            return false;
        char32_t code = c & (0x7F >> more);
        for (int k = 0; k < more; ++k, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (*p & 0x3F);
        }
        constexpr char32_t shortest[] = {0, 0x80, 0x800, 0x10000};
        if (code < shortest[more] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
            return false;
    }
    return true;
}

int bitCount(quint64 x)
{
    x -= (x >> 1) & 0x5555555555555555ULL;
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return int((x * 0x0101010101010101ULL) >> 56);
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

// Open addressing over one thread's texts: kOtherwise when its entry stores another text than its bytes |
// hash << 32 | the text's first entry + 1; 0 none.
class TextTable {
public:
    static constexpr quint64 kOtherwise = 1ull << 63;
    // The first entry of a text that same(entry, otherwise) finds equal, or `entry` once it is added as a
    // new text.
    template <typename Same> quint32 findOrAdd(quint32 hash, quint32 entry, bool otherwise, const Same& same)
    {
        size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const quint64 held = m_slots[at];
            if (!held) {
                m_slots[at] = (otherwise ? kOtherwise : 0) | (quint64(hash) << 32) | (quint64(entry) + 1);
                if (++m_used * 4 > m_slots.size() * 3)
                    grow();
                return entry;
            }
            if ((quint32(held >> 32) & 0x7FFFFFFF) == hash && same(quint32(held) - 1, (held & kOtherwise) != 0))
                return quint32(held) - 1;
        }
    }
    void prefetch(quint32 hash) const { __builtin_prefetch(m_slots.data() + (hash & (m_slots.size() - 1))); }
    // The text in the hash's first place, if it has this hash: the one it is most likely equal to.
    std::optional<quint32> likely(quint32 hash) const
    {
        const quint64 held = m_slots.data()[hash & (m_slots.size() - 1)];
        if (held && (quint32(held >> 32) & 0x7FFFFFFF) == hash)
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

quint64 RowsWriter::hashOfText(std::string_view bytes, TextKind& kind)
{
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    constexpr quint64 kHighs = 0x8080808080808080ULL;
    const char* p = bytes.data();
    size_t n = bytes.size();
    quint64 h = 0x9E3779B97F4A7C15ULL ^ (quint64(n) * 0xFF51AFD7ED558CCDULL);
    quint64 zero = 0;
    quint64 high = 0;
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        zero |= (word - kOnes) & ~word; // its high bit set where a word holds a zero byte
        high |= word;
        h = mixBits(h ^ word);
    }
    quint64 last = 0;
    std::memcpy(&last, p, n);
    // The bytes past the text's end count as ones.
    const quint64 past = n == 0 ? ~0ULL : std::endian::native == std::endian::little ? ~0ULL << (8 * n) : ~0ULL >> (8 * n);
    const quint64 padded = last | (past & kOnes);
    zero |= (padded - kOnes) & ~padded;
    high |= last;
    kind.nul = (zero & kHighs) != 0;
    kind.longer = (high & kHighs) != 0;
    return mixBits(h ^ last);
}

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

bool RowsWriter::mayBeStoredOtherwise(size_t entry, std::string_view bytes, TextKind kind) const
{
    if (entry >= m_keyCount)
        return false; // row numbers, and edited cells kept as stored
    return !m_table.valueIsKeyText(bytes) || kind.nul ||
           (kind.longer && !wellFormedUtf8(bytes));
}

std::string_view RowsWriter::storedText(size_t entry, bool otherwise, char* digits) const
{
    if (otherwise) {
        const QByteArray& stored = m_otherwise.find(quint32(entry))->second;
        return {stored.constData(), size_t(stored.size())};
    }
    return bytesOf(entry, digits);
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
            std::atomic_ref<quint32> slot(m_slots[key == DataTableContent::kRowNumber ? m_keyCount + size_t(r) : key]);
            if (!slot.load(std::memory_order_relaxed)) // strings many rows share are written once, not by every thread
                slot.store(kUsed, std::memory_order_relaxed);
        }
    }
}

void RowsWriter::partEntries(size_t first, size_t end, std::vector<std::pair<quint32, QByteArray>>& otherwise)
{
    char digits[16];
    for (size_t i = first; i < end; ++i) {
        if (!m_slots[i])
            continue;
        std::string_view bytes = bytesOf(i, digits);
        TextKind kind;
        quint64 hash = hashOfText(bytes, kind);
        quint8 flags = 0x10;
        // A string stored otherwise than its bytes (trimmed, without NUL characters, malformed UTF-8
        // replaced) is told apart from the others by the text stored, so that equal texts are one object
        // however the table holds them.
        if (mayBeStoredOtherwise(i, bytes, kind)) {
            QString value = m_table.keyValue(quint32(i));
            value.remove(QChar(0));
            QByteArray stored = value.toUtf8();
            if (std::string_view(stored.constData(), size_t(stored.size())) != bytes) {
                otherwise.emplace_back(quint32(i), std::move(stored));
                bytes = std::string_view(otherwise.back().second.constData(), size_t(otherwise.back().second.size()));
                flags |= kOtherwise;
                hash = hashOfText(bytes, kind);
            }
        }
        const quint32 hash31 = quint32(hash >> 33);
        m_slots[i] = kUsed | hash31;
        m_parts[i] = quint8(flags | partOfHash(hash31));
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
        char bytes[23];
    };
    constexpr size_t kRecent = 4096;
    std::vector<Recent> recent(kRecent);
    // A batch of the thread's entries at a time, their places in the table fetched from memory together.
    constexpr size_t kBatch = 32;
    struct Met {
        quint32 entry;
        quint32 hash; // | 1 << 31 when the entry stores another text than its bytes
    };
    Met batch[kBatch];
    const quint8* parts = m_parts.data();
    quint32* slotOf = m_slots.data();
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
            const quint8 part = parts[i];
            if (part && (mine >> (part & 0xF)) & 1) {
                const quint32 hash = slotOf[i] & ~kUsed;
                table.prefetch(hash);
                batch[n++] = {quint32(i), hash | (part & kOtherwise ? kUsed : 0)};
            }
        }
        // The bytes of the texts they are likely equal to, fetched together too.
        for (size_t b = 0; b < n; ++b) {
            if (const auto other = table.likely(batch[b].hash & ~kUsed)) {
                __builtin_prefetch(bytesOf(*other, otherDigits).data());
                __builtin_prefetch(&slotOf[*other]);
            }
        }
        for (size_t b = 0; b < n; ++b) {
            const auto [entry, marked] = batch[b];
            const quint32 hash = marked & ~kUsed;
            const bool otherwise = marked & kUsed;
            const std::string_view bytes = storedText(entry, otherwise, digits);
            const quint32 slot = kUsed | (partOfHash(hash) << kPartShift);
            Recent& last = recent[hash % kRecent];
            if (last.hash == hash && last.length == bytes.size() && bytes.size() <= sizeof(last.bytes) &&
                std::memcmp(last.bytes, bytes.data(), bytes.size()) == 0) {
                slotOf[entry] = slot | last.number;
                continue;
            }
            const quint32 found = table.findOrAdd(hash, entry, otherwise, [&](quint32 theirs, bool theyOtherwise) {
                return storedText(theirs, theyOtherwise, otherDigits) == bytes;
            });
            quint32 number = 0;
            if (found == entry) {
                if (count > kNumberMask)
                    throw std::bad_alloc();
                number = count++;
            } else {
                number = slotOf[found] & kNumberMask;
            }
            slotOf[entry] = slot | number | (found == entry ? kFirst : 0);
            if (bytes.size() <= sizeof(last.bytes)) {
                last.hash = hash;
                last.number = number;
                last.length = quint8(bytes.size());
                std::memcpy(last.bytes, bytes.data(), bytes.size());
            }
        }
    }
    return count;
}

quint32 RowsWriter::numberedText(size_t entry) const
{
    const quint32 slot = m_slots[entry];
    return m_firstOfPart[partOf(slot)] + (slot & kNumberMask);
}

bool RowsWriter::orderByFirstUse(const std::atomic<bool>* stop, std::atomic<int>* progress, int from, int to)
{
    // Per text as the threads numbered it: its first cell + 1 (cells are numbered row by row, the rows read on
    // the threads a run of rows each, the first cell winning); then its place.
    const int rows = m_table.rowCount();
    const size_t rowEntries = m_keyCount + size_t(rows);
    MappedArray<quint32> places(m_texts);
    onThreads(m_threads, [&](int t) {
        const int begin = int(qint64(rows) * t / m_threads), end = int(qint64(rows) * (t + 1) / m_threads);
        std::vector<quint32> keys(static_cast<size_t>(m_columns));
        size_t edit = rowEntries + size_t(std::lower_bound(m_edits.begin(), m_edits.end(), std::pair<int, int>(begin, 0)) -
                                          m_edits.begin());
        for (int r = begin; r < end && !stopped(stop); ++r) {
            m_table.rowKeys(r, keys.data());
            for (int k = 0; k < m_columns; ++k) {
                const quint32 key = keys[size_t(k)];
                const size_t entry = key == DataTableContent::kRowNumber ? m_keyCount + size_t(r)
                                     : key == DataTableContent::kNoKey ? edit++
                                                                       : size_t(key);
                std::atomic_ref<quint32> first(places[numberedText(entry)]);
                const quint32 cell = quint32(r) * quint32(m_columns) + quint32(k) + 1;
                quint32 held = first.load(std::memory_order_relaxed);
                while ((!held || cell < held) && !first.compare_exchange_weak(held, cell, std::memory_order_relaxed)) {
                }
            }
            if (t == 0 && (r & 4095) == 0)
                report(progress, r - begin, end - begin, from, (from + to) / 2);
        }
    });
    if (stopped(stop))
        return false;
    // A bit per cell, set at each text's first cell: a text's place is the number of bits before its own.
    const size_t cells = size_t(rows) * size_t(m_columns);
    MappedArray<quint64> firsts((cells + 63) / 64);
    onThreads(m_threads, [&](int t) {
        const size_t end = size_t(m_texts) * size_t(t + 1) / size_t(m_threads);
        for (size_t n = size_t(m_texts) * size_t(t) / size_t(m_threads); n < end; ++n)
            std::atomic_ref<quint64>(firsts[(places[n] - 1) / 64]).fetch_or(1ull << ((places[n] - 1) % 64), std::memory_order_relaxed);
    });
    std::vector<quint32> before(firsts.size());
    quint32 counted = 0;
    for (size_t w = 0; w < firsts.size(); ++w) {
        before[w] = counted;
        counted += quint32(bitCount(firsts[w]));
    }
    onThreads(m_threads, [&](int t) {
        const size_t end = size_t(m_texts) * size_t(t + 1) / size_t(m_threads);
        for (size_t n = size_t(m_texts) * size_t(t) / size_t(m_threads); n < end; ++n) {
            const quint32 bit = places[n] - 1;
            places[n] = before[bit / 64] + quint32(bitCount(firsts[bit / 64] & ((1ull << (bit % 64)) - 1)));
        }
    });
    firsts = MappedArray<quint64>();
    // From here each used entry's slot is its text's place, and each text has an entry that holds it.
    m_textEntries = MappedArray<quint32>(m_texts);
    const size_t entries = m_slots.size();
    const int threads = m_threads;
    onThreads(threads, [&, slot = m_slots.data(), textEntry = m_textEntries.data()](int t) {
        const size_t begin = entries * size_t(t) / size_t(threads);
        const size_t end = entries * size_t(t + 1) / size_t(threads);
        for (size_t step = begin; step < end; step += 65536) {
            for (size_t e = step; e < std::min(end, step + 65536); ++e) {
                const quint32 held = slot[e];
                if (!held)
                    continue;
                const quint32 place = places[m_firstOfPart[partOf(held)] + (held & kNumberMask)];
                if (held & kFirst)
                    textEntry[place] = quint32(e);
                slot[e] = place;
            }
            if (t == 0)
                report(progress, qint64(step - begin), qint64(end - begin), (from + to) / 2, to);
        }
    });
    return !stopped(stop);
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
    if (quint64(rows) * quint64(m_columns) >= 0xFFFFFFF0u)
        throw std::bad_alloc();
    m_slots = MappedArray<quint32>(m_keyCount + size_t(rows));
    std::vector<std::vector<std::pair<int, int>>> edits(static_cast<size_t>(threads));
    if (!inSteps(size_t(rows), 0, span / 6, [&](size_t first, size_t end, size_t t) {
            markUsed(int(first), int(end), edits[t]);
        }))
        return std::nullopt;
    for (const auto& part : edits) {
        for (const auto& [row, column] : part) {
            // As stored: without NUL characters.
            const QByteArray value = m_table.value(row, column).remove(QChar(0)).toUtf8();
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
    std::vector<std::vector<std::pair<quint32, QByteArray>>> otherwise(static_cast<size_t>(threads));
    if (!inSteps(entries, span / 6, span / 3,
                 [&](size_t first, size_t end, size_t t) { partEntries(first, end, otherwise[t]); }))
        return std::nullopt;
    for (auto& part : otherwise)
        for (auto& [entry, text] : part)
            m_otherwise.emplace(entry, std::move(text));
    otherwise = {};
    std::vector<quint32> texts(static_cast<size_t>(threads));
    onThreads(threads, [&](int t) { texts[size_t(t)] = numberPart(t, threads, stop); });
    m_parts = MappedArray<quint8>();
    m_otherwise = {};
    if (stopped(stop))
        return std::nullopt;
    std::vector<quint32> firstOfThread;
    for (const quint32 n : texts) {
        firstOfThread.push_back(m_texts);
        if (quint64(m_texts) + n >= 0xFFFFFFF0u)
            throw std::bad_alloc();
        m_texts += n;
    }
    for (size_t p = 0; p < kParts; ++p)
        m_firstOfPart[p] = firstOfThread[p % size_t(threads)];
    if (!orderByFirstUse(stop, progress, span / 2, span))
        return std::nullopt;

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

    // The texts, in the order the cells first use them.
    const int textsUntil = from + (to - from) / 4;
    const bool texts = inBlocks(writer, m_texts, 64, stop, progress, from, textsUntil,
                                [&](size_t first, size_t end, Block& block) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        for (size_t n = first; n < end; ++n) {
            block.placed.emplace_back(m_firstText + quint32(n), quint32(block.bytes.size()));
            appendEntry(block.bytes, m_textEntries[n], decoder, block.utf16);
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
                p = putRef(p, m_firstText + m_slots[entry]);
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
