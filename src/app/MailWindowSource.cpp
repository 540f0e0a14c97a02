#include "app/MailWindowSource.h"

#include "data/BatchFillJob.h"

void MailWindowSource::checkData() {
    const BatchFillJob::Design d = _host.design();
    Check_Series_Or_Excel_Use_or_not(d.front, d.back, d.twoSided, _host.dataTable(), _series);
}

std::unique_ptr<BatchFillJob> MailWindowSource::makeJob() {
    Get_total_Card_count(_series, _host.dataTable());
    return BatchFillJob::create(_host.design(), _series, _host.dataTable());
}

void MailWindowSource::restoreFirstRow(BatchFillJob& job) {
    _host.restoreFirstRow(job);
}
