#pragma once

// What the print system says about a printer queue and about the last job handed to it. Qt prints through
// CUPS without reporting whether the queue took the job, so the dialog asks CUPS itself.

#include <QString>

struct PrintQueueState {
    bool known = false;    // the print system answered
    bool accepting = true; // takes new jobs
    bool stopped = false;  // disabled: jobs would wait in the queue
    QString message;       // the queue's own state message, or its state reasons
    int dpi = 0;           // the queue's default resolution, dots per inch (0 unknown)
    // Why a job sent now would be refused; empty when the queue takes it (or nothing is known). A stopped
    // (paused) queue takes jobs and keeps them until it is resumed.
    QString refusal(const QString& printer) const;
    // For a paused queue that takes jobs: "<printer> is paused (<reason>). Send the labels anyway? They will
    // print when the printer is resumed."; empty otherwise.
    QString pausedQuestion(const QString& printer) const;
};

PrintQueueState printQueueState(const QString& printer);

// The resolution a job on the printer is printed at, in dots per inch: the queue's default, else the
// coarsest its driver lists (on whose dots the finer ones fall as well); 0 when neither is known.
int printerDpi(const QString& printer, const PrintQueueState& queue);

// The print system's reason when its last request on this thread failed; empty after success. A known
// printQueueState leaves a success behind, so asking right after a job reports that job's handover.
QString lastPrintRequestError();

// The newest job id of a queue among this user's jobs (0 when there is none or nothing is known).
int newestPrintJob(const QString& printer);
// Cancels this user's unfinished jobs of a queue newer than afterId; false when one could not be cancelled
// or none was left to cancel.
bool cancelPrintJobsAfter(const QString& printer, int afterId);
