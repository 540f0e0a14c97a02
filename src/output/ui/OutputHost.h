#pragma once

// What the output windows need of the editor window, without knowing it: the design, the data table, the
// row-0 restore after a run and the export-finished window.

#include "data/BatchFillJob.h"

class Data_From_Excel;
class QString;
class QWidget;

class OutputHost {
public:
    virtual ~OutputHost() = default;
    // The live design (items shared with the window; runs copy them through BatchFillJob).
    virtual BatchFillJob::Design design() = 0;
    virtual const Data_From_Excel& dataTable() = 0;
    // Shows data row 0 on the design after a run that filled rows. GUI thread.
    virtual void restoreFirstRow(BatchFillJob& fill) = 0;
    // The export-finished window with the true result and the details the message offers (every row with a
    // problem); gives its code (1 OK, 0 Cancel).
    virtual int showExportFinished(const QString& path, const QString& message, bool written,
                                   const QString& details) = 0;
    // The window sheets and dialogs attach to.
    virtual QWidget* window() = 0;
};
