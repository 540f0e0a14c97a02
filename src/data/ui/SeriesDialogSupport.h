#pragma once

// What the series dialogs share: how a dialog is run modally (tests replace it), long work done off the GUI
// thread under the wait sheet, and the few things the main window tells them (the in-use test of a series,
// the export-finished window, the long-message dialog).

#include "data/SeriesImport.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace SeriesDialogs {

// Runs a dialog modally and gives its result; the default is exec().
using DialogRunner = std::function<int(QDialog* dialog)>;
void setDialogRunner(DialogRunner runner); // an empty runner restores exec()
int runModal(QDialog* dialog);

// True when the open design binds an item to the series; the default knows of no design (false).
using InUseTest = std::function<bool(const QString& name)>;
void setInUseTest(InUseTest test);
bool seriesInUse(const QString& name);

// Shows where an export went; written is the real result. The default shows the message in a box.
using ExportFinished = std::function<void(const QString& path, const QString& message, bool written)>;
void setExportFinishedHandler(ExportFinished handler);
void exportFinished(const QString& path, const QString& message, bool written);

// The long-message dialog (title, text, apply-to-all box shown): 1 for OK. The default runs Long_SMS_Dlg.
using LongMessage = std::function<int(const QString& title, const QString& text, bool showApplyAll)>;
void setLongMessage(LongMessage handler);
int longMessage(const QString& title, const QString& text, bool showApplyAll);

// Told after series files were added, replaced or removed (the main window refreshes its series lists).
void setSeriesChangedHandler(std::function<void()> handler);
void seriesChanged();

// Runs work on a worker thread while the wait sheet stands on window and the window keeps painting;
// gives work's result. Without an application object, or off the GUI thread, work runs directly.
void runWithWait(QWidget* window, const std::function<void()>& work);

template <typename T> T runWithWaitResult(QWidget* window, const std::function<T()>& work) {
    std::optional<T> result;
    runWithWait(window, [&] { result = work(); });
    return result ? std::move(*result) : T{};
}

// Runs work on a worker thread under a wait sheet with a Stop button on window; Stop sets the flag that
// work is given. The window keeps painting and the GUI thread is never blocked. Without an application
// object, or off the GUI thread, work runs directly. With progress, the sheet's bar shows the percentage
// work stores there (from 0 to 100) instead of only moving.
void runStoppable(QWidget* window, const std::function<void(const std::atomic<bool>& stop)>& work,
                  const std::atomic<int>* progress = nullptr);

// Reads one sheet of a workbook under the wait sheet, which can stop the read; a failure's reason is
// logged and kept in the result.
SeriesImport::SheetRead readSheetWithWait(QWidget* window, const QString& path, int sheetIndex);
// What the user is told after a sheet was read: why it could not be, or what to know about it (nothing
// after Stop).
QString sheetReadMessage(const SeriesImport::SheetRead& read);

} // namespace SeriesDialogs
