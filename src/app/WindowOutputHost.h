#pragma once

// The main window seen from the print and export commands.

#include "output/ui/OutputHost.h"

class SKTWindowController;

class WindowOutputHost : public OutputHost {
public:
    explicit WindowOutputHost(SKTWindowController& window) : m_window(window) {}

    BatchFillJob::Design design() override;
    const Data_From_Excel& dataTable() override;
    void restoreFirstRow(BatchFillJob& fill) override;
    int showExportFinished(const QString& path, const QString& message, bool written,
                           const QString& details) override;
    QWidget* window() override;

private:
    SKTWindowController& m_window;
};
