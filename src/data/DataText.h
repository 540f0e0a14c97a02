#pragma once

#include "common/TextEncoding.h"

#include <QString>
#include <QStringView>

// Text helpers of the data layer (the rules text files are read by are in common/TextEncoding.h).

// Turns every line break (CR, LF, CRLF, NEL, LS, PS) inside a value into one space, so that the value
// fits on one line of a series file.
QString joinLineBreaks(QStringView text);

// The text without control characters (NUL, escape, DEL and the like); tab is kept, and line feeds and
// carriage returns too when keepLineBreaks. Values never carry them into a series file or the data table.
QString withoutControls(QStringView text, bool keepLineBreaks = false);
