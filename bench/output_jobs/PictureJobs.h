#pragma once

#include "data/BatchFillJob.h"
#include "output/LabelLayout.h"

#include <QSizeF>
#include <QString>

// A one-sided design of the card size holding the front items.
BatchFillJob::Design designOf(const QSizeF& card, const GraphicList& front);
// Avery 5160 on US Letter: 3 x 10 labels of the card's size (2.625 x 1 inch).
PrintLayout averyLabels(const QSizeF& card);

// Prints the figures of output jobs with large or repeated pictures, running `rows` rows of the 40-picture
// card; keeps the PDFs and exported cards in `keep` when it is given.
void benchPictureJobs(int rows, const QString& keep);
