#pragma once

// What the e-mail dialog needs from the open design, so that it never reaches into the window.
// Every call is made on the GUI thread.

#include <memory>

class BatchFillJob;

class MailDesignSource {
public:
    virtual ~MailDesignSource() = default;
    // Decides the data sources in use and counts the rows (Use_Data_Sheet_Values, Use_Excel_Binding_Values,
    // Total_Batch_Excel_Card).
    virtual void checkData() = 0;
    // Counts again after the caller switched sources off, then snapshots the design and the rows in use.
    virtual std::unique_ptr<BatchFillJob> makeJob() = 0;
    // After a run with data: row 0 back onto the design, which is then redrawn.
    virtual void restoreFirstRow(BatchFillJob& job) = 0;
};
