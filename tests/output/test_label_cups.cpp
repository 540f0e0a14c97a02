// Label printing against real CUPS queues: the test starts its own cupsd on a private socket, adds queues
// (no margins, 4.23 mm margins, rejecting, stopped, over its quota) and points Qt at it through CUPS_SERVER.
// Jobs go to /dev/null; the scheduler keeps each job's document, so the test reads what Qt handed over.

#include "OutputTestSupport.h"

#include "common/ui/Send_Modeless.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "output/Printing_View.h"
#include "output/ui/LabelPageSetup.h"
#include "output/ui/PrintQueue.h"
#include "output/ui/Print_Wnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <cups/cups.h>
#include <sys/prctl.h>

using namespace outtest;

namespace {

// A PPD whose printer takes PDF as it comes, with the given unprintable margin (points) on every paper and
// the given lines added (options such as its resolutions).
QByteArray ppd(int margin, const QByteArray& extra = QByteArray()) {
    QByteArray text = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "LABELS.PPD"
*Manufacturer: "Test"
*Product: "(Labels)"
*ModelName: "Test Labels"
*ShortNickName: "Test Labels"
*NickName: "Test Labels"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize A5/A5: "<</PageSize[420 595]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageRegion A5/A5: "<</PageSize[420 595]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "M M 595-M 842-M"
*ImageableArea A5/A5: "M M 420-M 595-M"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension A5/A5: "420 595"
*OpenUI *Duplex/2-Sided Printing: PickOne
*OrderDependency: 10 AnySetup *Duplex
*DefaultDuplex: DuplexNoTumble
*Duplex None/Off: "<</Duplex false>>setpagedevice"
*Duplex DuplexNoTumble/Long Edge: "<</Duplex true/Tumble false>>setpagedevice"
*CloseUI: *Duplex
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
)PPD";
    text += extra;
    for (int size : {595, 842, 420}) {
        const QByteArray expr = QByteArray::number(size) + "-M";
        text.replace(expr, QByteArray::number(size - margin));
    }
    text.replace("\"M M ", "\"" + QByteArray::number(margin) + " " + QByteArray::number(margin) + " ");
    return text;
}

struct Job {
    int id = 0;
    QString title;
    int copies = 0;
    int state = 0;
    QString sides;
};

// What a queue does when a job does not say.
QString sidesDefault(const QString& queue) {
    QString sides;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/printers/" + queue.toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    if (ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/")) {
        if (ipp_attribute_t* a = ippFindAttribute(response, "sides-default", IPP_TAG_KEYWORD))
            sides = QString::fromUtf8(ippGetString(a, 0, nullptr));
        ippDelete(response);
    }
    return sides;
}

// The jobs of a queue, oldest first.
QList<Job> jobsOf(const QString& queue) {
    QList<Job> jobs;
    cups_job_t* list = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i) {
        Job job{list[i].id, QString::fromUtf8(list[i].title), 0, int(list[i].state)};
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(job.id);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
        if (ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/")) {
            if (ipp_attribute_t* a = ippFindAttribute(response, "copies", IPP_TAG_INTEGER))
                job.copies = ippGetInteger(a, 0);
            if (ipp_attribute_t* a = ippFindAttribute(response, "sides", IPP_TAG_KEYWORD))
                job.sides = QString::fromUtf8(ippGetString(a, 0, nullptr));
            ippDelete(response);
        }
        jobs << job;
    }
    cupsFreeJobs(n, list);
    std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.id < b.id; });
    return jobs;
}

} // namespace

class TestLabelCups : public QObject {
    Q_OBJECT
    QTemporaryDir dir{QStringLiteral("/tmp/navu-cups-XXXXXX")}; // short: a socket path has ~100 bytes
    QProcess cupsd;
    QString socket;

    QString path(const QString& name) const { return dir.filePath(name); }

    // Runs a CUPS command line tool against the private scheduler; its error output on failure.
    QString run(const QString& tool, const QStringList& args) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(tool, args);
        if (!p.waitForFinished(20000))
            return tool + QStringLiteral(" did not finish");
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return tool + QLatin1Char(' ') + args.join(' ') + QStringLiteral(": ") +
                   QString::fromLocal8Bit(p.readAll());
        return QString();
    }

    // The document Qt handed to CUPS for a job (the scheduler keeps job files).
    QString jobDocument(int id) const {
        return path(QStringLiteral("spool/d%1-001").arg(id, 5, 10, QChar('0')));
    }

    // A dialog on the given queue, with the data table bound (five rows) or a plain design.
    std::unique_ptr<Print_Wnd> dialog(FakeHost& host, SeriesBindingTable& series, const QString& queue,
                                      bool data) {
        if (data)
            fillTable(host.table);
        else
            host.d = outtest::design(false);
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, series);
        auto w = std::make_unique<Print_Wnd>(host, series);
        w->resetForOpening();
        const int index = w->Printer_ComboBox->findText(queue);
        w->Printer_ComboBox->setCurrentIndex(index);
        if (index < 0 || w->Printer_ComboBox->currentText() != queue)
            return nullptr;
        return w;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        for (const char* tool :
             {"cupsd", "lpadmin", "lpstat", "lp", "cupsreject", "cupsdisable", "pdfinfo", "pdftotext"}) {
            const QString found =
                QStandardPaths::findExecutable(tool, {"/usr/sbin", "/usr/bin", "/sbin", "/bin"});
            QVERIFY2(!found.isEmpty(),
                     qPrintable(QStringLiteral("%1 is missing: run scripts/deps.sh").arg(tool)));
        }
        for (const char* sub : {"conf", "cache", "state", "spool", "logs"})
            QVERIFY(QDir(dir.path()).mkpath(sub));
        socket = path("cups.sock");
        auto write = [](const QString& file, const QByteArray& text) {
            QFile f(file);
            return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
        };
        QVERIFY(write(path("conf/cupsd.conf"),
                      QStringLiteral("Listen %1\n"
                                     "Browsing No\n"
                                     "WebInterface No\n"
                                     "DefaultAuthType None\n"
                                     "PreserveJobFiles Yes\n"
                                     "LogLevel warn\n"
                                     "<Location />\n  Order allow,deny\n  Allow all\n"
                                     "</Location>\n"
                                     // Anyone may add queues (cupsd may run unprivileged).
                                     "<Policy default>\n  <Limit All>\n"
                                     "    Order deny,allow\n  </Limit>\n</Policy>\n")
                          .arg(socket)
                          .toUtf8()));
        QByteArray files;
        for (auto [key, sub] : {std::pair{"ServerRoot", "conf"},
                                {"CacheDir", "cache"},
                                {"StateDir", "state"},
                                {"RequestRoot", "spool"},
                                {"TempDir", "spool"}})
            files += QByteArray(key) + ' ' + path(sub).toUtf8() + '\n';
        files += "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nFileDevice Yes\n";
        files += "ErrorLog " + path("logs/error_log").toUtf8() + "\nAccessLog " +
                 path("logs/access_log").toUtf8() + "\nPageLog " + path("logs/page_log").toUtf8() +
                 "\nPrintcap " + path("printcap").toUtf8() + '\n';
        QVERIFY(write(path("conf/cups-files.conf"), files));
        QVERIFY(write(path("plain.ppd"), ppd(0)));
        QVERIFY(write(path("margins.ppd"), ppd(12))); // 4.23 mm
        QVERIFY(write(path("fine.ppd"), ppd(0, "*OpenUI *Resolution/Resolution: PickOne\n"
                                               "*OrderDependency: 10 AnySetup *Resolution\n"
                                               "*DefaultResolution: 600dpi\n"
                                               "*Resolution 200dpi/200 dpi: \"\"\n"
                                               "*Resolution 600dpi/600 dpi: \"\"\n"
                                               "*CloseUI: *Resolution\n")));

        cupsd.setProcessChannelMode(QProcess::MergedChannels);
        // Ends with the test process however it ends (a crash or a timeout kill included).
        cupsd.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        cupsd.start(QStandardPaths::findExecutable("cupsd", {"/usr/sbin", "/sbin"}),
                    {"-f", "-c", path("conf/cupsd.conf"), "-s", path("conf/cups-files.conf")});
        QVERIFY2(cupsd.waitForStarted(10000), qPrintable("cupsd could not start: " + cupsd.errorString()));
        qputenv("CUPS_SERVER", socket.toUtf8());
        // Ready when it answers; bounded wait.
        QDeadlineTimer deadline(15000);
        QString failure;
        do {
            if (cupsd.state() != QProcess::Running) {
                QFile log(path("logs/error_log"));
                log.open(QIODevice::ReadOnly);
                QFAIL(
                    qPrintable("cupsd stopped: " + QString::fromLocal8Bit(cupsd.readAll() + log.readAll())));
            }
            failure = QFile::exists(socket) ? run("lpstat", {"-r"}) : QStringLiteral("no socket yet");
            if (failure.isEmpty())
                break;
            QThread::msleep(100);
        } while (!deadline.hasExpired());
        QVERIFY2(failure.isEmpty(), qPrintable("cupsd did not answer within 15 s: " + failure));

        const struct {
            const char* name;
            const char* ppdFile;
            QStringList extra;
        } queues[] = {
            {"Labels_Plain", "plain.ppd", {}},
            {"Labels_Margins", "margins.ppd", {}},
            {"Labels_Fine", "fine.ppd", {}},
            {"Labels_Rejecting", "plain.ppd", {}},
            {"Labels_Stopped", "plain.ppd", {}},
            // Holds every job, so one stopped while drawn can still be cancelled.
            {"Labels_Held", "plain.ppd", {"-o", "job-hold-until-default=indefinite"}},
            // Takes 1 KB a week: once used up, a job is refused only when it is handed over.
            {"Labels_Quota", "plain.ppd", {"-o", "job-quota-period=604800", "-o", "job-k-limit=1"}}};
        for (const auto& q : queues) {
            const QString error = run(
                "lpadmin",
                QStringList{"-p", q.name, "-E", "-v", "file:///dev/null", "-P", path(q.ppdFile)} + q.extra);
            QVERIFY2(error.isEmpty(), qPrintable(error));
        }
        QString error = run("cupsreject", {"-r", "Out of labels", "Labels_Rejecting"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        error = run("cupsdisable", {"-r", "Paused for service", "Labels_Stopped"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        {
            QPdfWriter used(path("used.pdf"));
            QPainter p(&used);
            p.drawText(100, 100, QStringLiteral("A page that uses up the quota"));
        }
        error = run("lp", {"-d", "Labels_Quota", path("used.pdf")});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList names = QPrinterInfo::availablePrinterNames();
        names.sort();
        QCOMPARE(names, (QStringList{"Labels_Fine", "Labels_Held", "Labels_Margins", "Labels_Plain",
                                     "Labels_Quota", "Labels_Rejecting", "Labels_Stopped"}));
    }

    void cleanupTestCase() {
        if (cupsd.state() == QProcess::NotRunning)
            return;
        cupsd.terminate();
        if (!cupsd.waitForFinished(5000)) {
            cupsd.kill();
            cupsd.waitForFinished(2000);
        }
    }

    // The queue's margins reach the dialog; Page Setup opens with them and its paper is applied.
    void pageSetupOnQueueWithMargins() {
        PromptScope scope;
        FakeHost host;
        SeriesBindingTable series;
        auto w = dialog(host, series, "Labels_Margins", false);
        QVERIFY(w);
        QCOMPARE(w->l_mar_id->text(), QStringLiteral("4.23"));
        QCOMPARE(w->b_mar_id->text(), QStringLiteral("4.23"));
        QCOMPARE(w->currentLayout().margins, QMarginsF(12, 12, 12, 12));

        QString shownMargins;
        w->runPageSetup = [&](LabelPageSetup& setup) {
            shownMargins = setup.marginsLabel->text();
            const int a5 = setup.paperCombo->findText("A5", Qt::MatchStartsWith);
            if (a5 < 0)
                return int(QDialog::Rejected);
            setup.paperCombo->setCurrentIndex(a5);
            setup.landscape->setChecked(true);
            return int(QDialog::Accepted);
        };
        w->pagesetup();
        QVERIFY2(shownMargins.contains("left 4.23"), qPrintable(shownMargins));
        QCOMPARE(w->Paper_id->text(), QStringLiteral("A5"));
        QCOMPARE(w->Orient_ComboBox->currentIndex(), 1);
        QCOMPARE(w->currentLayout().paper.toSize(), QSize(595, 420));
        QCOMPARE(w->currentLayout().margins, QMarginsF(12, 12, 12, 12));

        // The job carries that paper, the labels inside the printer's margins.
        w->Auto_Center_chk_bx->setChecked(true);
        w->Col_Text->setValue(2);
        QCOMPARE(w->totalLabels(), 2);
        const int before = jobsOf("Labels_Margins").size();
        QVERIFY(w->Execute_Printing(false));
        QVERIFY2(scope.prompt.messages.isEmpty(), qPrintable(scope.prompt.messages.join('\n')));
        QCOMPARE(w->statusNote->text(), QStringLiteral("Sent 1 page to Labels_Margins."));
        const QList<Job> jobs = jobsOf("Labels_Margins");
        QCOMPARE(jobs.size(), before + 1);
        const QString pdf = jobDocument(jobs.last().id);
        QCOMPARE(pdfPages(pdf), 1);
        QVERIFY2(poppler("pdfinfo", {pdf})
                     .contains(QRegularExpression("Page size: +595[.\\d]* x 4(19|20)[.\\d]* pts")),
                 qPrintable(poppler("pdfinfo", {pdf})));
        QCOMPARE(pdfText(pdf).count("Hello Front"), 2);
        // The queue prints two-sided unless told; a label sheet is always one-sided.
        QCOMPARE(sidesDefault("Labels_Margins"), QStringLiteral("two-sided-long-edge"));
        QCOMPARE(jobs.last().sides, QStringLiteral("one-sided"));
    }

    // Barcode dots follow the queue's default resolution.
    void printerResolution_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("dpi");
        QTest::newRow("600 dpi by default, 200 dpi offered") << "Labels_Fine" << 600;
        // The print system says 300 dpi for a driver that names no resolution.
        QTest::newRow("none in the driver") << "Labels_Plain" << 300;
    }
    void printerResolution() {
        QFETCH(QString, queue);
        QFETCH(int, dpi);
        QCOMPARE(printerDpi(queue, printQueueState(queue)), dpi);
        PromptScope scope;
        FakeHost host;
        SeriesBindingTable series;
        auto w = dialog(host, series, queue, false);
        QVERIFY(w);
        int previewDpi = 0;
        w->runPreview = [&](Printing_View& view, int, QPrinter&) {
            previewDpi = view.printerDpi();
            return false;
        };
        QVERIFY(w->Execute_Printing(true));
        QCOMPARE(previewDpi, dpi);
    }

    // Changing the printer keeps the total typed for the job.
    void printerChangeKeepsTotal() {
        PromptScope scope;
        FakeHost host;
        SeriesBindingTable series;
        auto w = dialog(host, series, "Labels_Margins", false);
        QVERIFY(w);
        w->Row_Text->setValue(5);
        w->Col_Text->setValue(2);
        QCOMPARE(w->totalLabels(), 10);
        w->Total_Text->setValue(20);
        w->Printer_ComboBox->setCurrentIndex(w->Printer_ComboBox->findText("Labels_Plain"));
        QCOMPARE(w->l_mar_id->text(), QStringLiteral("0.00"));
        QCOMPARE(w->totalLabels(), 20);
        QVERIFY(w->Execute_Printing(false));
        QCOMPARE(w->statusNote->text(), QStringLiteral("Sent 2 pages to Labels_Plain."));
        QCOMPARE(pdfPages(jobDocument(jobsOf("Labels_Plain").last().id)), 2);
    }

    // Printing from the preview window: every sheet, the copies and the title of a normal print.
    void printFromPreview() {
        PromptScope scope;
        FakeHost host;
        SeriesBindingTable series;
        auto w = dialog(host, series, "Labels_Plain", false);
        QVERIFY(w);
        w->Total_Text->setValue(52);
        w->Copies_Text->setValue(2);
        int shown = -1;
        w->runPreview = [&](Printing_View&, int pages, QPrinter&) {
            shown = pages;
            return true; // the preview's Print button
        };
        QVERIFY(w->Execute_Printing(true));
        QCOMPARE(shown, 50);
        QCOMPARE(scope.prompt.messages.size(), 1); // the preview's 50-sheet note, nothing more
        const Job job = jobsOf("Labels_Plain").last();
        QCOMPARE(job.title, QStringLiteral("Labels"));
        QCOMPARE(job.copies, 2);
        QCOMPARE(pdfPages(jobDocument(job.id)), 52);
        QCOMPARE(w->statusNote->text(), QStringLiteral("Sent 52 pages to Labels_Plain."));
    }

    // Stop while the sheets are drawn: what Qt already handed over is cancelled on the queue.
    void stopPrinting() {
        PromptScope scope;
        FakeHost host;
        SeriesBindingTable series;
        auto w = dialog(host, series, "Labels_Held", false);
        QVERIFY(w);
        w->Total_Text->setValue(20000);
        const int before = jobsOf("Labels_Held").size();
        QTimer::singleShot(0, Send_Modeless::defaultInstance(), &Send_Modeless::Stop_Sending_Pressed);
        QVERIFY(!w->Execute_Printing(false));
        QVERIFY2(scope.prompt.messages.isEmpty(), qPrintable(scope.prompt.messages.join('\n')));
        QCOMPARE(w->statusNote->text(), QStringLiteral("Stopped. The job was cancelled on Labels_Held."));
        const QList<Job> jobs = jobsOf("Labels_Held");
        QCOMPARE(jobs.size(), before + 1);
        QCOMPARE(jobs.last().state, int(IPP_JSTATE_CANCELED));
    }

    // A queue that will not print the job: nothing is reported as sent, the reason is the queue's own.
    void refusedJob_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("reason");
        QTest::newRow("rejecting") << "Labels_Rejecting"
                                   << "Labels_Rejecting does not accept jobs: Out of labels";
        QTest::newRow("refused when handed over") << "Labels_Quota"
                                                  << "Quota limit reached.";
    }
    void refusedJob() {
        QFETCH(QString, queue);
        QFETCH(QString, reason);
        PromptScope scope;
        FakeHost host;
        SeriesBindingTable series;
        auto w = dialog(host, series, queue, true);
        QVERIFY(w);
        const int before = jobsOf(queue).size();
        QVERIFY(!w->Execute_Printing(false));
        QCOMPARE(scope.prompt.messages.size(), 1);
        const QString message = scope.prompt.messages[0];
        QVERIFY2(message.startsWith("The labels could not be printed.\n\n") && message.contains(reason),
                 qPrintable(message));
        QVERIFY(w->statusNote->text().isEmpty());
        QCOMPARE(jobsOf(queue).size(), before);
        QCOMPARE(host.restores, 1); // row 0 is back on the design all the same
    }

    // A paused queue takes jobs and keeps them until it is resumed: asked, not refused. No sends nothing;
    // Yes queues the labels.
    void pausedQueueAsks() {
        PromptScope scope;
        FakeHost host;
        SeriesBindingTable series;
        auto w = dialog(host, series, "Labels_Stopped", true);
        QVERIFY(w);
        const int before = jobsOf("Labels_Stopped").size();
        const QString question =
            "Labels_Stopped is paused (Paused for service). Send the labels anyway? They "
            "will print when the printer is resumed.";
        scope.prompt.answer = false;
        QVERIFY(!w->Execute_Printing(false));
        QCOMPARE(scope.prompt.questions, QStringList{question});
        QVERIFY(scope.prompt.messages.isEmpty());
        QCOMPARE(jobsOf("Labels_Stopped").size(), before);

        scope.prompt.answer = true;
        QVERIFY(w->Execute_Printing(false));
        QCOMPARE(scope.prompt.questions.size(), 2);
        QVERIFY2(scope.prompt.messages.isEmpty(), qPrintable(scope.prompt.messages.join('\n')));
        QCOMPARE(
            w->statusNote->text(),
            QStringLiteral("Sent 5 pages to Labels_Stopped. They will print when the printer is resumed."));
        const QList<Job> jobs = jobsOf("Labels_Stopped");
        QCOMPARE(jobs.size(), before + 1);
        QCOMPARE(jobs.last().state, int(IPP_JSTATE_PENDING));
        QCOMPARE(jobs.last().sides, QStringLiteral("one-sided"));
    }
};

QTEST_MAIN(TestLabelCups)
#include "test_label_cups.moc"
