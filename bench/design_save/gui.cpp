// Opens and saves a design through the editor window's own commands, as the user does, and prints the longest
// time the GUI thread went without running its event loop during each, with the whole time taken. The open
// runs twice, so that the second replaces a table of the same size.
//
//   bench_design_save_gui design.kvto     (bench_design_save /folder keeps navu_bench_design_1000000.kvto)

#include "BenchSupport.h"
#include "app/SKTWindowController.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTDocument.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/Data_From_Excel.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {
class PrintedPrompt : public PromptHandler {
public:
    void message(const QString& text) override { std::printf("  (message: %s)\n", qPrintable(text)); }
    bool yesNo(const QString&) override { return false; }
};
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::printWithPoint();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s design.kvto\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    Resource_Path = dir.path();
    PrintedPrompt prompt;
    setPromptHandler(&prompt);
    SKTDocument doc;
    SKTWindowController window(&doc);
    StartRoadController road(window);
    DesignCommands& commands = road.designCommands();
    window.show();

    bench::Heartbeat beat;
    const auto measure = [&](const char* what, const std::function<bool()>& step) {
        QCoreApplication::processEvents();
        beat.reset();
        const qint64 start = beat.elapsed();
        const bool ok = step();
        const qint64 worst = beat.worstUntilNow(); // the block that ends the step counts too
        std::printf("%s: %s in %.2f s; longest GUI-thread block %lld ms\n", what, ok ? "done" : "FAILED",
                    (beat.elapsed() - start) / 1000.0, static_cast<long long>(worst));
        std::fflush(stdout);
        return ok;
    };

    for (int run = 1; run <= 2; ++run) {
        const QByteArray what = "open " + QByteArray::number(run);
        if (!measure(what.constData(), [&] { return commands.openDesignFile(path); }))
            return 1;
    }
    std::printf("  the table holds %d rows x %d columns\n", Data_From_Excel::defaultInstance()->rowCountOfTable(),
                Data_From_Excel::defaultInstance()->columnCountOfTable() - 1);
    const QString copy = dir.filePath(QStringLiteral("copy.kvto"));
    if (!measure("save", [&] { return commands.Save_project_file(copy, false); }))
        return 1;
    setPromptHandler(nullptr);
    return 0;
}
