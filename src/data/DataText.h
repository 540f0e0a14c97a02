#pragma once

#include <QString>
#include <QStringView>

// Text helpers of the data layer.

// Turns every line break (CR, LF, CRLF, NEL, LS, PS) inside a value into one space, so that the value
// fits on one line of a series file.
QString joinLineBreaks(QStringView text);
