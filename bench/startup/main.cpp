// Start-up to the first painted window: the program's own run (the editor window, the frame gallery, the
// start wizard) against a bare Qt window, each started as a new process (offscreen) and timed from its
// start until its first window is painted: every widget of it drawn and the frame handed to the screen.
// Also timed: until the first paint event begins (the window's own background, before its widgets). The
// per-user data folder is a temporary one that lives across the runs, as the user's does: the first run
// of the program finds it empty (printed apart), the others find what earlier runs kept there. Prints the
// medians of the later runs. Then first starts, each with a data folder of its own, are followed on from
// their first paint until the start wizard is shown: the longest time the window's thread goes without
// running its event loop meanwhile (a 2 ms heartbeat) is the window's block the user meets.
//
//   bench_startup [runs]      (default 7)

#include "app/startroad/Program.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// Reports the first paint event, then ends the process once that first frame is done: a window's widgets
// paint together while it handles the event that shows it (or asks it to update).
class FirstFrameApp : public QApplication {
public:
    FirstFrameApp(int& argc, char** argv, bool untilWizard) : QApplication(argc, argv), m_untilWizard(untilWizard) {}
    bool notify(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Paint && !m_painting && receiver->isWidgetType()) {
            m_painting = true;
            report("begun");
        }
        const bool result = QApplication::notify(receiver, event);
        if (m_painting && !m_painted && receiver->isWindowType() &&
            (type == QEvent::Expose || type == QEvent::UpdateRequest)) {
            m_painted = true;
            report("painted");
            if (!m_untilWizard)
                ::_exit(0);
            m_beat = std::make_unique<bench::Heartbeat>();
        }
        // The start wizard has painted itself: its window is exposed.
        if (m_beat && type == QEvent::Expose && receiver->isWindowType() &&
            qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            std::printf("wizard %lld %lld\n", static_cast<long long>(m_beat->elapsed()),
                        static_cast<long long>(m_beat->worstUntilNow()));
            std::fflush(stdout);
            ::_exit(0);
        }
        return result;
    }

private:
    static void report(const char* what)
    {
        std::printf("%s\n", what);
        std::fflush(stdout);
    }
    bool m_untilWizard = false;
    bool m_painting = false;
    bool m_painted = false;
    std::unique_ptr<bench::Heartbeat> m_beat;
};

int child(int argc, char** argv, bool bare, bool untilWizard)
{
    if (!bare)
        startProgramEarly(); // as the program's main does
    FirstFrameApp app(argc, argv, untilWizard);
    if (!bare)
        return runProgram(app);
    QMainWindow window;
    window.resize(1280, 800);
    window.show();
    return app.exec();
}

struct Times {
    double begun = -1;   // the first paint event
    double painted = -1; // the first frame done
    double wizard = -1;  // from the first frame done until the start wizard is shown
    double block = -1;   // the window's longest block meanwhile
};

// Milliseconds from the start of a child until its first paint begins and until its first frame is done.
Times timeOnce(const QString& program, const QString& mode, const QString& dataFolder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("NAVU_RESOURCE_PATH"), dataFolder);
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, {mode});
    Times times;
    QByteArray said;
    const bool untilWizard = mode == QStringLiteral("--until-wizard");
    while ((times.painted < 0 || (untilWizard && times.wizard < 0)) && p.waitForReadyRead(30000)) {
        said += p.readAll();
        const double ms = t.nsecsElapsed() / 1e6;
        if (times.begun < 0 && said.contains("begun"))
            times.begun = ms;
        if (times.painted < 0 && said.contains("painted"))
            times.painted = ms;
        if (const qsizetype at = said.indexOf("wizard "); at >= 0 && said.indexOf('\n', at) > at) {
            const QList<QByteArray> figures = said.mid(at + 7, said.indexOf('\n', at) - at - 7).split(' ');
            times.wizard = figures.value(0).toDouble();
            times.block = figures.value(1).toDouble();
        }
    }
    p.waitForFinished(5000);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    return p.exitCode() == 0 && p.exitStatus() == QProcess::NormalExit ? times : Times();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (argv[1] == std::string_view("--bare") || argv[1] == std::string_view("--program") ||
                     argv[1] == std::string_view("--until-wizard")))
        return child(argc, argv, argv[1] == std::string_view("--bare"), argv[1] == std::string_view("--until-wizard"));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QCoreApplication app(argc, argv);
    bench::printWithPoint();
    QTemporaryDir data;
    const QString self = QCoreApplication::applicationFilePath();
    const Times first = timeOnce(self, QStringLiteral("--program"), data.path());
    std::vector<double> program, bare, programBegun, bareBegun;
    bool failed = first.painted < 0 || first.begun < 0;
    for (int i = 0; i < runs; ++i) {
        for (auto [mode, painted, begun] : {std::tuple(QStringLiteral("--bare"), &bare, &bareBegun),
                                            std::tuple(QStringLiteral("--program"), &program, &programBegun)}) {
            const Times t = timeOnce(self, mode, data.path());
            failed = failed || t.painted < 0 || t.begun < 0;
            painted->push_back(t.painted);
            begun->push_back(t.begun);
        }
    }
    if (failed) {
        std::fprintf(stderr, "a run did not paint\n");
        return 1;
    }
    std::printf("first start with an empty data folder: first paint %.0f ms\n", first.painted);
    std::printf("first paint %.0f ms, bare window %.0f ms, ratio %.2f  (medians of %d runs)\n", median(program),
                median(bare), median(program) / median(bare), runs);
    std::printf("  until the first paint event begins: %.0f ms, bare window %.0f ms, ratio %.2f\n",
                median(programBegun), median(bareBegun), median(programBegun) / median(bareBegun));

    std::vector<double> wizard, block;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir empty;
        const Times t = timeOnce(self, QStringLiteral("--until-wizard"), empty.path());
        if (t.wizard < 0) {
            std::fprintf(stderr, "a first start showed no wizard\n");
            return 1;
        }
        wizard.push_back(t.wizard);
        block.push_back(t.block);
    }
    std::printf("first start with an empty data folder, from the first paint until the wizard shows: %.0f ms, "
                "longest window block %.0f ms (median of %d runs, most %.0f ms)\n",
                median(wizard), median(block), runs, *std::max_element(block.begin(), block.end()));
    return 0;
}
