#pragma once

// The data table's rows as a design file stores them: an array with a dictionary per row, from the column
// keys ("Extension", "Column1", ...) to the values as texts.
//
// Each distinct value is stored once. Cells that share a string of the table share its object without
// looking at the text; a string met for the first time is compared by its bytes with the ones met before.
// The objects are numbered first (number), then appended while the file is streamed out (write), in the
// same order, so nothing but a number per string and an offset per object is held.

#include "app/designfile/CompactPlist.h"
#include "data/Data_From_Excel.h"

#include <atomic>
#include <optional>
#include <vector>

class RowsWriter {
public:
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
    // A text met while numbering: a string of the table (its key), a row number or an edited value.
    std::string_view bytesOf(quint64 entry) const;
    void appendText(QByteArray& out, quint32 key) const;

    const DataTableContent& m_table;
    int m_columns = 0;
    std::vector<quint32> m_keys;     // the column keys' objects
    PodBuffer<quint32> m_textOfKey;  // per key: 1 + the number of its text among the rows' texts; 0 unmet
    PodBuffer<quint32> m_textOfRow;  // per row: the number of its row number's text
    PodBuffer<quint32> m_textOfEdit; // per edited cell, in order: the number of its text
    StringPool m_edits;              // while numbering: the edited values
    quint32 m_texts = 0;             // distinct texts
    quint32 m_firstText = 0;         // object numbers: texts, then row dictionaries, then the array
    quint32 m_firstRow = 0;
    quint32 m_array = 0;
    mutable char m_digits[16];       // a row number met before, as text
};
