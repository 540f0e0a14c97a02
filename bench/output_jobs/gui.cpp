// Runs a 1,000-row batch export at 300 dpi through the editor window's export command (its worker thread,
// the progress sheet, the finished message) beside the shown editor window, and prints the longest time the
// window's thread went without running its event loop. Other threads keep every core busy meanwhile, as on
// a loaded machine.
//
//   bench_output_jobs_gui [busy threads]     (default: one per core; 0 for none)

#include "BenchSupport.h"
#include "app/SKTWindowController.h"
#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeSymbologies.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"
#include "output/ImageExport.h"
#include "output/ui/OutputCommands.h"
#include "output/ui/OutputHost.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

class Answers : public PromptHandler {
public:
    void message(const QString&) override {}
    bool yesNo(const QString&) override { return true; }
};

// The window's design is a bound text and a bound Code 128; the finished window is only counted.
class Host : public OutputHost {
public:
    Host(SKTWindowController& window, Data_From_Excel& table) : m_window(window), m_table(table)
    {
        GraphicPtr text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        text->setBounds(QRectF(10, 8, 180, 24));
        text->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 16);
        static_cast<SKTText*>(text.get())->setText(QStringLiteral("name"));
        text->data_source_type = 2;
        text->excel_col_indx = 1;
        GraphicPtr code = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
        code->barcode_font_index = BarcodeSymbologies::Code128;
        code->linear_font_val = QStringLiteral("A-000000");
        code->linear_width_val = 15;
        code->linear_height_val = 0.8f;
        code->show_hide_hdr = code->show_hide_ftr = 1;
        code->setBounds(QRectF(10, 38, 100, 40));
        BarcodeItemDrawing::setUpNewItem(*code);
        code->data_source_type = 2;
        code->excel_col_indx = 2;
        m_design.front = {text, code};
        m_design.frontProp = Card_Property::defaults(QStringLiteral("F"));
        m_design.backProp = Card_Property::defaults(QStringLiteral("B"));
        m_design.frontProp.Card_Size = m_design.backProp.Card_Size = QSizeF(200, 100);
        m_design.twoSided = false;
    }
    BatchFillJob::Design design() override { return m_design; }
    const Data_From_Excel& dataTable() override { return m_table; }
    void restoreFirstRow(BatchFillJob&) override {}
    int showExportFinished(const QString&, const QString&, bool, const QString&) override { return 1; }
    QWidget* window() override { return &m_window; }

private:
    SKTWindowController& m_window;
    Data_From_Excel& m_table;
    BatchFillJob::Design m_design;
};

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0) : QByteArray("?");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::printWithPoint();
    const int busy = argc > 1 ? atoi(argv[1]) : QThread::idealThreadCount();
    constexpr int kRows = 1000;
    QTemporaryDir dir;
    Resource_Path = dir.path();
    Answers answers;
    setPromptHandler(&answers);
    SKTDocument doc;
    SKTWindowController window(&doc);
    window.resize(1280, 800);
    window.show();

    Data_From_Excel table;
    QList<QStringList> data;
    for (int i = 0; i < kRows; ++i)
        data << QStringList{QString::number(i + 1), QStringLiteral("Name %1 Surname").arg(i + 1),
                            QStringLiteral("A-%1").arg(100000 + i)};
    table.setTable({QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("Code")}, data);
    Use_Data_Sheet_Values = false;
    Use_Excel_Binding_Values = true;
    Excel_Binding_Use = true;
    Total_Batch_Excel_Card = kRows;
    Host host(window, table);
    OutputCommands commands(host);

    std::atomic<bool> quit{false};
    std::vector<std::thread> load;
    for (int i = 0; i < busy; ++i)
        load.emplace_back([&] {
            volatile quint64 n = 0;
            while (!quit.load(std::memory_order_relaxed))
                n = n + 1;
        });

    bench::Heartbeat beat;
    for (int i = 0; i < 50; ++i) // the window settles
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    bool finished = false;
    QObject::connect(&commands, &OutputCommands::batchFinished, [&] { finished = true; });
    beat.reset();
    const qint64 start = beat.elapsed();
    if (!commands.startBatchExport(dir.path(), QStringLiteral("F"), false, QStringLiteral("PNG"), 300)) {
        std::fprintf(stderr, "the export did not start\n");
        return 1;
    }
    const qint64 starting = beat.elapsed() - start;
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 worst = beat.worstUntilNow();
    const double seconds = (beat.elapsed() - start) / 1000.0;
    const QByteArray loadAvg = loadAverage();
    quit = true;
    for (std::thread& t : load)
        t.join();
    std::printf("export %d rows at 300 dpi on %d workers beside %d busy threads (load average %s): %.2f s; "
                "longest wait of the window's thread %lld ms (at %.2f s; starting the export took %lld ms)\n",
                kRows, ExportBatchJob::defaultThreads(), busy, loadAvg.constData(), seconds,
                static_cast<long long>(worst), (beat.worstAt() - start) / 1000.0, static_cast<long long>(starting));
    setPromptHandler(nullptr);
    return 0;
}
