#pragma once

// The open design as the e-mail dialog sees it, through the window's output host: data sources, a snapshot
// for the mail worker, and row 0 put back afterwards.

#include "app/WindowOutputHost.h"
#include "data/DataBinding.h"
#include "output/mail/MailDesignSource.h"

class SKTWindowController;

class MailWindowSource : public MailDesignSource {
public:
    explicit MailWindowSource(SKTWindowController& window) : _host(window) {}
    void checkData() override;
    std::unique_ptr<BatchFillJob> makeJob() override;
    void restoreFirstRow(BatchFillJob& job) override;

private:
    WindowOutputHost _host;
    SeriesBindingTable _series;
};
