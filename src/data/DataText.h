#pragma once

#include <QString>
#include <QStringView>

// Text helpers of the data layer.

// Removes white space, line ends, control and format characters (BOM, zero-width marks) from both ends
// in one pass; inner characters stay.
QString trimDataText(QStringView text);

// Turns every line break (CR, LF, CRLF, NEL, LS, PS) inside a value into one space, so that the value
// fits on one line of a series file.
QString joinLineBreaks(QStringView text);
