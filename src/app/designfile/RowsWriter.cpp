#include "app/designfile/RowsWriter.h"

#include "canvas/BinaryPlist.h"

#include <charconv>
#include <cstdlib>
#include <utility>

#include <sys/mman.h>
#include <cstring>

namespace {

// A slot of the table of texts met: tag (30 bits of the hash) << 34 | kind | 1 + the text's index; 0 none.
constexpr quint64 kEdit = quint64(1) << 32;
constexpr quint64 kRow = quint64(1) << 33;
constexpr int kTagShift = 34;

bool stopped(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

void report(std::atomic<int>* progress, qint64 done, qint64 total, int from, int to)
{
    if (progress && total > 0)
        progress->store(from + int((to - from) * done / total), std::memory_order_relaxed);
}

// A quick hash of a text (most are short): eight bytes at a time, mixed as splitmix64 does.
quint64 hashOf(std::string_view text)
{
    const char* p = text.data();
    size_t n = text.size();
    quint64 h = 0x9E3779B97F4A7C15ULL ^ (quint64(n) * 0xFF51AFD7ED558CCDULL);
    const auto mix = [](quint64 x) {
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
        return x ^ (x >> 31);
    };
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        h = mix(h ^ word);
    }
    quint64 last = 0;
    std::memcpy(&last, p, n);
    return mix(h ^ last);
}

std::string_view rowNumber(int row, char* buffer)
{
    const auto end = std::to_chars(buffer, buffer + 15, row + 1).ptr;
    return {buffer, size_t(end - buffer)};
}

// Texts kept as they are: ASCII without NUL (NUL characters are left out, as libplist keeps C strings).
bool plainAscii(std::string_view text)
{
    for (const char c : text)
        if (c <= 0) // NUL or a byte of a longer UTF-8 sequence
            return false;
    return true;
}

void appendAscii(QByteArray& out, std::string_view text)
{
    bplist::appendMarker(out, 0x5, text.size());
    out.append(text.data(), qsizetype(text.size()));
}

void appendValue(QByteArray& out, QString value)
{
    value.remove(QChar(0));
    bplist::appendText(out, value);
}

// A zeroed table of slots; large ones in huge pages where the system gives them, as it is read at random.
class HugeTable {
public:
    explicit HugeTable(size_t n) : m_size(n)
    {
        if (!n)
            return;
        const size_t bytes = n * sizeof(quint64);
        const bool huge = bytes >= kHuge;
        m_data = static_cast<quint64*>(huge ? std::aligned_alloc(kHuge, (bytes + kHuge - 1) / kHuge * kHuge)
                                            : std::malloc(bytes));
        if (!m_data)
            throw std::bad_alloc();
        if (huge)
            ::madvise(m_data, (bytes + kHuge - 1) / kHuge * kHuge, MADV_HUGEPAGE);
        std::memset(static_cast<void*>(m_data), 0, bytes);
    }
    HugeTable(HugeTable&& o) noexcept : m_data(std::exchange(o.m_data, nullptr)), m_size(std::exchange(o.m_size, 0)) {}
    HugeTable& operator=(HugeTable&& o) noexcept
    {
        std::swap(m_data, o.m_data);
        std::swap(m_size, o.m_size);
        return *this;
    }
    ~HugeTable() { std::free(m_data); }
    size_t size() const { return m_size; }
    quint64* data() { return m_data; }
    quint64& operator[](size_t i) { return m_data[i]; }

private:
    static constexpr size_t kHuge = 2 << 20;
    quint64* m_data = nullptr;
    size_t m_size = 0;
};

} // namespace

std::string_view RowsWriter::bytesOf(quint64 entry) const
{
    const quint32 index = quint32(entry) - 1;
    if (entry & kRow)
        return rowNumber(int(index), m_digits);
    return entry & kEdit ? m_edits.view(index + 1) : m_table.keyText(index);
}

void RowsWriter::appendText(QByteArray& out, quint32 key) const
{
    const std::string_view text = m_table.keyText(key);
    if (plainAscii(text) && m_table.valueIsKeyText(text))
        appendAscii(out, text);
    else
        appendValue(out, m_table.keyValue(key));
}

std::optional<quint32> RowsWriter::number(CompactPlistWriter& writer, const std::atomic<bool>* stop,
                                          std::atomic<int>* progress, int span)
{
    const int rows = m_table.rowCount();
    m_columns = m_table.columnCount();
    for (int k = 0; k < m_columns; ++k)
        m_keys.push_back(writer.addText(Data_From_Excel::columnKey(k)));
    m_textOfKey.resize(m_table.keyCount());

    HugeTable seen(4096);
    size_t used = 0;
    const auto grow = [&] {
        HugeTable bigger(seen.size() * 2);
        const size_t mask = bigger.size() - 1;
        for (size_t i = 0; i < seen.size(); ++i) {
            if (!seen[i])
                continue;
            size_t at = size_t(seen[i] >> kTagShift) & mask;
            while (bigger[at])
                at = (at + 1) & mask;
            bigger[at] = seen[i];
        }
        seen = std::move(bigger);
    };
    // The number of a text met before with these bytes, or a new one; `self` is the slot the text takes
    // when it is new.
    const auto textNumber = [&](std::string_view bytes, quint64 tag, quint64 self) -> quint32 {
        const size_t mask = seen.size() - 1;
        size_t at = size_t(tag) & mask;
        while (const quint64 entry = seen[at]) {
            if ((entry >> kTagShift) == tag && bytesOf(entry) == bytes) {
                const quint32 index = quint32(entry) - 1;
                return entry & kRow ? m_textOfRow[index] : entry & kEdit ? m_textOfEdit[index] : m_textOfKey[index] - 1;
            }
            at = (at + 1) & mask;
        }
        seen[at] = (tag << kTagShift) | self;
        if (++used * 4 > seen.size() * 3)
            grow();
        return m_texts++;
    };

    // Texts met for the first time are looked up a batch of rows at a time: their slots are fetched from
    // memory together instead of one after the other.
    struct FirstMet {
        quint64 hash;
        quint32 index; // the key, the row or the entry in m_edits
        quint64 kind;  // 0, kRow or kEdit
        int column;
    };
    std::vector<FirstMet> batch;
    // Per column, the texts met last: a value that repeats in a column (a flag, a date, a city) is found
    // there, beside the key that held it last, without a look into the large table.
    struct Recent {
        quint64 hash = 0;
        quint32 key = DataTableContent::kNoKey;
        quint32 text = 0;
    };
    constexpr size_t kRecent = 1024;
    std::vector<Recent> recent(kRecent * size_t(m_columns));
    std::vector<quint32> keys(static_cast<size_t>(m_columns));
    char digits[16];
    m_textOfRow.resize(size_t(rows));
    constexpr int kBatchRows = 16;
    for (int first = 0; first < rows; first += kBatchRows) {
        if ((first & 4095) == 0) {
            if (stopped(stop))
                return std::nullopt;
            report(progress, first, rows, 0, span);
        }
        batch.clear();
        for (int r = first; r < std::min(rows, first + kBatchRows); ++r) {
            m_table.rowKeys(r, keys.data());
            for (int k = 0; k < m_columns; ++k) {
                const quint32 key = keys[size_t(k)];
                std::string_view bytes;
                FirstMet met{0, key, 0, k};
                if (key == DataTableContent::kRowNumber) {
                    met = {0, quint32(r), kRow, k};
                    bytes = rowNumber(r, digits);
                } else if (key == DataTableContent::kNoKey) {
                    const QByteArray value = m_table.value(r, k).toUtf8();
                    met = {0, m_edits.append(std::string_view(value.constData(), size_t(value.size()))), kEdit, k};
                    if (met.index == StringPool::kFull)
                        throw std::bad_alloc();
                    bytes = m_edits.view(met.index);
                } else if (!m_textOfKey[key]) {
                    bytes = m_table.keyText(key);
                } else {
                    continue;
                }
                met.hash = hashOf(bytes);
                if (met.kind == 0) {
                    Recent& last = recent[size_t(k) * kRecent + (met.hash & (kRecent - 1))];
                    if (last.hash == met.hash && last.key != DataTableContent::kNoKey &&
                        m_table.keyText(last.key) == bytes) {
                        m_textOfKey[key] = last.text + 1;
                        last.key = key;
                        continue;
                    }
                }
                __builtin_prefetch(seen.data() + (size_t(met.hash >> kTagShift) & (seen.size() - 1)));
                batch.push_back(met);
            }
        }
        for (const FirstMet& m : batch) {
            const quint64 tag = m.hash >> kTagShift;
            if (m.kind == kRow) {
                m_textOfRow[m.index] = textNumber(rowNumber(int(m.index), digits), tag, kRow | (m.index + 1));
            } else if (m.kind == kEdit) {
                m_textOfEdit.push_back(textNumber(m_edits.view(m.index), tag, kEdit | m.index));
            } else if (!m_textOfKey[m.index]) { // a key met twice in the batch is numbered once
                const quint32 text = textNumber(m_table.keyText(m.index), tag, quint64(m.index) + 1);
                m_textOfKey[m.index] = text + 1;
                recent[size_t(m.column) * kRecent + (m.hash & (kRecent - 1))] = {m.hash, m.index, text};
            }
        }
    }
    seen = HugeTable(0);
    m_edits = StringPool();

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
    QByteArray& out = writer.output();
    std::vector<quint32> keys(static_cast<size_t>(m_columns));
    std::vector<quint32> values(static_cast<size_t>(m_columns));
    quint32 next = 0; // texts written
    size_t edit = 0;
    char digits[16];
    const auto putRef = [refSize](char* p, quint32 ref) {
        bplist::putBigEndian(p, ref, refSize);
        return p + refSize;
    };
    for (int r = 0; r < rows; ++r) {
        if ((r & 4095) == 0) {
            if (stopped(stop))
                return false;
            report(progress, r, rows, from, to);
        }
        m_table.rowKeys(r, keys.data());
        for (int k = 0; k < m_columns; ++k) {
            const quint32 key = keys[size_t(k)];
            const quint32 text = key == DataTableContent::kRowNumber ? m_textOfRow[size_t(r)]
                                 : key == DataTableContent::kNoKey ? m_textOfEdit[edit++]
                                                                   : m_textOfKey[key] - 1;
            if (text == next) {
                // Met for the first time, in the order they were numbered.
                writer.place(m_firstText + text);
                if (key == DataTableContent::kRowNumber)
                    appendAscii(out, rowNumber(r, digits));
                else if (key == DataTableContent::kNoKey)
                    appendValue(out, m_table.value(r, k));
                else
                    appendText(out, key);
                ++next;
            } else if (text > next) {
                return false;
            }
            values[size_t(k)] = m_firstText + text;
        }
        writer.place(m_firstRow + quint32(r));
        bplist::appendMarker(out, 0xD, quint64(m_columns));
        const qsizetype at = out.size();
        out.resize(at + 2 * qsizetype(m_columns) * refSize);
        char* p = out.data() + at;
        for (const quint32 key : m_keys)
            p = putRef(p, key);
        for (const quint32 value : values)
            p = putRef(p, value);
        if (!writer.spill())
            return false;
    }
    writer.place(m_array);
    bplist::appendMarker(out, 0xA, quint64(rows));
    for (int r = 0; r < rows; ++r) {
        char ref[8];
        putRef(ref, m_firstRow + quint32(r));
        out.append(ref, refSize);
        if ((r & 4095) == 0 && !writer.spill())
            return false;
    }
    return next == m_texts;
}
