#pragma once

#include "data/BatchFillJob.h"

#include <QSizeF>
#include <QString>

// A one-sided design of the card size holding the front items.
BatchFillJob::Design designOf(const QSizeF& card, const GraphicList& front);

// Prints the figures of output jobs with large or repeated pictures, running `rows` rows of the 40-picture
// card; keeps the PDFs and exported cards in `keep` when it is given.
void benchPictureJobs(int rows, const QString& keep);
