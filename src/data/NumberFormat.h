#pragma once

// Spreadsheet number formats: numbers, dates and times as cells show them.

#include "data/XlsxReader.h"

#include <cstddef>

namespace xlsx {

// An ISO 8601 date, time or both for a spreadsheet serial into buf (at least 20 bytes); its length, or 0
// when the serial is no date between the years 1 and 9999. Serials below zero (dates before 1900, as
// LibreOffice writes them) count back from 1899-12-30.
size_t formatDateTo(char* buf, double serial, XlsxReader::DateKind kind, bool date1904);

} // namespace xlsx
