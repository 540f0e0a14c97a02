// Start-up to the first painted window: the program's own run (the editor window, the frame gallery, the
// start wizard) against a bare Qt window, each started as a new process (offscreen) and timed from its
// start until it reports its first paint. The per-user data folder is a temporary one that lives across
// the runs, as the user's does: the first run of the program finds it empty (printed apart), the others
// find what earlier runs kept there. Prints the medians of the later runs.
//
//   bench_startup [runs]      (default 7)

#include "app/startroad/Program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPaintEvent>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// Ends the process at the first paint of any window.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            std::printf("painted\n");
            std::fflush(stdout);
            ::_exit(0);
        }
        return false;
    }
};

int child(int argc, char** argv, bool bare)
{
    QApplication app(argc, argv);
    FirstPaint watch;
    app.installEventFilter(&watch);
    if (!bare)
        return runProgram(app);
    QMainWindow window;
    window.resize(1280, 800);
    window.show();
    return app.exec();
}

// Milliseconds from the start of a child until it reports its first paint; -1 when it did not.
double timeOnce(const QString& program, const QString& mode, const QString& dataFolder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("NAVU_RESOURCE_PATH"), dataFolder);
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, {mode});
    while (p.waitForReadyRead(30000)) {
        if (p.readAll().contains("painted"))
            break;
    }
    const double ms = t.nsecsElapsed() / 1e6;
    p.waitForFinished(5000);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    return p.exitCode() == 0 && p.exitStatus() == QProcess::NormalExit ? ms : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (argv[1] == std::string_view("--bare") || argv[1] == std::string_view("--program")))
        return child(argc, argv, argv[1] == std::string_view("--bare"));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    const QString self = QCoreApplication::applicationFilePath();
    const double first = timeOnce(self, QStringLiteral("--program"), data.path());
    std::vector<double> program, bare;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(timeOnce(self, QStringLiteral("--bare"), data.path()));
        program.push_back(timeOnce(self, QStringLiteral("--program"), data.path()));
    }
    if (first < 0 || std::count(program.begin(), program.end(), -1.0) || std::count(bare.begin(), bare.end(), -1.0)) {
        std::fprintf(stderr, "a run did not paint\n");
        return 1;
    }
    std::printf("first start with an empty data folder: first paint %.0f ms\n", first);
    std::printf("first paint %.0f ms, bare window %.0f ms, ratio %.2f  (medians of %d runs)\n", median(program),
                median(bare), median(program) / median(bare), runs);
    return 0;
}
