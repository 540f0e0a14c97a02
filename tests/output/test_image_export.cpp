#include "TestPictures.h"
#include "FileBytes.h"
#include "OutputTestSupport.h"
#include "SmallDisk.h"

#include "common/Globals.h"
#include "common/ui/Send_Modeless.h"
#include "common/ui/UiHelpers.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "output/ImageExport.h"
#include "output/ImageFileWriter.h"
#include "output/ui/ExportWindow.h"
#include "output/ui/OutputCommands.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace outtest;

namespace {

// The format the file's content is in, whatever its name says.
QByteArray formatOf(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format();
}

// The file's format is its extension's.
bool holdsOwnFormat(const QString& path) {
    return formatOf(path) == ImageFileWriter::formatFor(QFileInfo(path).suffix()).toLatin1();
}

QImage readPng(const QString& path) {
    QImage image;
    image.load(path);
    return image;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestImageExport : public QObject {
    Q_OBJECT
    Data_From_Excel table;

    std::unique_ptr<ExportBatchJob> batch(const QString& folder, const QString& side, bool combined,
                                          const QString& type = "PNG") {
        SeriesBindingTable series;
        const BatchFillJob::Design d = design(true);
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, true, table, series);
        return std::make_unique<ExportBatchJob>(BatchFillJob::create(d, series, table), folder, side,
                                                combined, type);
    }

private slots:
    void initTestCase() { fillTable(table); }

    void backPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("back");
        QTest::newRow("plain") << "/a/x.png"
                               << "/a/x_Back.png";
        QTest::newRow("only the last component") << "/a/x.png/x.png"
                                                 << "/a/x.png/x_Back.png";
        QTest::newRow("batch name") << "Card_3.PNG"
                                    << "Card_3_Back.PNG";
        QTest::newRow("two dots") << "/a/my.card.tiff"
                                  << "/a/my.card_Back.tiff";
        QTest::newRow("no extension") << "/a/card"
                                      << "/a/card_Back";
    }
    void backPath() {
        QFETCH(QString, path);
        QTEST(Create_Back_Card_Path(path), "back");
        QCOMPARE(Create_Front_Card_Path(path), path);
    }

    // Single exports: which files, in which order, of which height; PNG data whatever the extension.
    void single_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<bool>("combined");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("height");
        QTest::newRow("front") << "F" << false << "x.png" << QStringList{"x.png"} << "x.png" << 100;
        QTest::newRow("back only writes the back name")
            << "B" << false << "x.png" << QStringList{"x_Back.png"} << "x_Back.png" << 100;
        QTest::newRow("both as two files, back first")
            << "BOTH" << false << "x.png" << QStringList{"x_Back.png", "x.png"} << "x.png" << 100;
        QTest::newRow("both combined: twice the height")
            << "BOTH" << true << "x.png" << QStringList{"x.png"} << "x.png" << 200;
        QTest::newRow("TIFF name, TIFF data")
            << "F" << false << "x.TIFF" << QStringList{"x.TIFF"} << "x.TIFF" << 100;
    }
    void single() {
        QFETCH(QString, side);
        QFETCH(bool, combined);
        QFETCH(QString, name);
        QFETCH(QStringList, files);
        QFETCH(QString, shown);
        QFETCH(int, height);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QCOMPARE(singleExportFiles(path, side, combined).size(), files.size());
        const ExportResult r = Export_Single_File(design(false), path, side, combined, 72);
        QVERIFY(r.complete());
        QVERIFY(r.message().startsWith(QStringLiteral("Frame has been exported successfully.")));
        for (const QString& f : files) // two files: the message names both
            QCOMPARE(r.message().contains(QDir::toNativeSeparators(dir.filePath(f))), files.size() > 1);
        QCOMPARE(r.path, dir.filePath(shown));
        QStringList written;
        for (const QString& f : r.written)
            written << QFileInfo(f).fileName();
        QCOMPARE(written, files);
        QStringList sorted = files;
        sorted.sort();
        QCOMPARE(entries(dir.path()), sorted); // nothing else, no temporary files
        for (const QString& f : files) {
            QVERIFY(holdsOwnFormat(dir.filePath(f)));
            QCOMPARE(readPng(dir.filePath(f)).size(), QSize(200, height));
        }
        if (combined) {
            const QImage img = readPng(path);
            QCOMPARE(img.pixelColor(20, 70), QColor(Qt::red));    // front's box in the upper half
            QCOMPARE(img.pixelColor(160, 170), QColor(Qt::blue)); // back's box in the lower half
            QCOMPARE(img.pixelColor(160, 70), QColor(Qt::white));
        }
    }

    void combinedNeedsBothPictures() {
        QVERIFY(Export_Combined_Image(QImage(), QImage(4, 4, QImage::Format_ARGB32)).isNull());
        QImage f = filledImage(QSize(10, 5), Qt::green);
        QImage b = filledImage(QSize(10, 5), Qt::black);
        const QImage c = Export_Combined_Image(f, b);
        QCOMPARE(c.size(), QSize(10, 10));
        QCOMPARE(c.pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(c.pixelColor(9, 9), QColor(Qt::black));
    }

    // A write that fails is reported as failed, never as success, and leaves nothing behind.
    void singleFailedWrite() {
        PromptScope scope;
        QTemporaryDir dir;
        const QString path = dir.filePath("missing-folder/x.png");
        const ExportResult r = Export_Single_File(design(false), path, "F", false);
        QVERIFY(!r.complete());
        QVERIFY(r.written.isEmpty());
        QCOMPARE(r.failed, QStringList{path});
        QVERIFY(r.message() != Export_Success_Message);
        QCOMPARE(scope.prompt.messages.value(0), path);
        QCOMPARE(entries(dir.path()), QStringList());
    }

    // Replacing a private picture keeps it private; a name the file system cannot hold is refused with that
    // reason, while the longest it can hold is written.
    void replacingKeepsPermissionsAndLongNames() {
        PromptScope scope;
        QTemporaryDir dir;
        const QString path = dir.filePath("private.png");
        QVERIFY(Export_Single_File(design(false), path, "F", false, 72).complete());
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(Export_Single_File(design(false), path, "F", false, 72).complete());
        const QFileDevice::Permissions user =
            QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
        QCOMPARE(QFile::permissions(path) & ~user, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(Export_Single_File(design(false), dir.filePath("new.png"), "F", false, 72).complete());
        QVERIFY(QFileInfo(dir.filePath("new.png")).permissions() & QFileDevice::ReadOther);
        // Over a link, as every other writer does: the target is replaced and the link stays.
        QVERIFY(QFile::link(path, dir.filePath("link.png")));
        QVERIFY(Export_Single_File(design(false), dir.filePath("link.png"), "F", false, 150).complete());
        QVERIFY(QFileInfo(dir.filePath("link.png")).isSymLink());
        QCOMPARE(QImage(path).width(), 417);
        // Another user's link in a shared sticky folder (as /tmp) is not written through.
        if (::geteuid() == 0) {
            const QString shared = dir.filePath("shared");
            QVERIFY(QDir().mkdir(shared) && ::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
            const QString planted = shared + "/card.png";
            QVERIFY(QFile::link(path, planted));
            QCOMPARE(::lchown(QFile::encodeName(planted).constData(), 65534, gid_t(-1)), 0);
            const QByteArray before = readBytes(path);
            scope.prompt.messages.clear();
            QCOMPARE(Export_Single_File(design(false), planted, "F", false, 72).failed, QStringList{planted});
            QVERIFY(scope.prompt.messages.value(1).contains("a link that another user placed in the shared folder"));
            QCOMPARE(readBytes(path), before);
            scope.prompt.messages.clear();
        }

        const QString longest = dir.filePath(QString(251, 'n') + ".png"); // 255 bytes
        QVERIFY2(Export_Single_File(design(false), longest, "F", false, 72).complete(),
                 qPrintable(scope.prompt.messages.join('\n')));
        const QString tooLong = dir.filePath(QString(252, 'n') + ".png");
        const ExportResult r = Export_Single_File(design(false), tooLong, "F", false, 72);
        QCOMPARE(r.failed, QStringList{tooLong});
        QCOMPARE(scope.prompt.messages.value(1),
                 QStringLiteral("The file name is too long for the file system (256 bytes; at most 255)."));
        QVERIFY(!entries(dir.path()).join(' ').contains(".navu-export"));
    }

    // An export that does not fit on the disk says so and keeps the old file.
    void singleExportDiskFull() {
        const SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const QString path = disk.filePath("card.png");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old export");
        old.close();
        disk.fill();
        PromptScope scope;
        const ExportResult r = Export_Single_File(design(false), path, "F", false, 300);
        QCOMPARE(r.failed, QStringList{path});
        QCOMPARE(scope.prompt.messages.value(1), QStringLiteral("The disk is full."));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old export"));
        QCOMPARE(disk.files(), (QStringList{"card.png", "filler"}));
    }

    void batchFiles_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<bool>("combined");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("height");
        QTest::newRow("front") << "F" << false << "PNG"
                               << QStringList{"Card_1.png", "Card_2.png", "Card_3.png"} << 100;
        QTest::newRow("back") << "B" << false << "PNG"
                              << QStringList{"Card_1_Back.png", "Card_2_Back.png", "Card_3_Back.png"} << 100;
        QTest::newRow("both combined")
            << "BOTH" << true << "PNG" << QStringList{"Card_1.png", "Card_2.png", "Card_3.png"} << 200;
        QTest::newRow("both as pairs")
            << "BOTH" << false << "TIFF"
            << QStringList{"Card_1.tif",      "Card_1_Back.tif", "Card_2.tif",
                           "Card_2_Back.tif", "Card_3.tif",      "Card_3_Back.tif"}
            << 100;
        QTest::newRow("a type that is no plain word falls back to PNG")
            << "F" << false << "../x" << QStringList{"Card_1.png", "Card_2.png", "Card_3.png"} << 100;
    }
    void batchFiles() {
        QFETCH(QString, side);
        QFETCH(bool, combined);
        QFETCH(QString, type);
        QFETCH(QStringList, files);
        QFETCH(int, height);
        Data_From_Excel three;
        fillTable(three, 3);
        SeriesBindingTable series;
        BatchFillJob::Design d = design(true);
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, true, three, series);
        QTemporaryDir dir;
        ExportBatchJob job(BatchFillJob::create(d, series, three), dir.path(), side, combined, type, 72);
        QCOMPARE(job.folder(), dir.filePath("NAVU Photo Frame"));
        std::atomic<bool> stop{false};
        QList<int> progress;
        const ExportResult r = job.run(stop, [&](int n) { progress << n; });
        QVERIFY(r.complete());
        QCOMPARE(r.cards, 3);
        QCOMPARE(progress, (QList<int>{1, 2, 3}));
        QCOMPARE(r.path, job.folder());
        QCOMPARE(entries(job.folder()), files);
        for (const QString& f : files) {
            QVERIFY(holdsOwnFormat(QDir(job.folder()).filePath(f)));
            QCOMPARE(readPng(QDir(job.folder()).filePath(f)).size(), QSize(200, height));
        }
        // Each row has its own card; the design itself keeps its text.
        QVERIFY(readPng(QDir(job.folder()).filePath(files[0])) !=
                    readPng(QDir(job.folder()).filePath(files.last())) ||
                side == "B");
        QCOMPARE(d.front[0]->_Text_contents, QStringLiteral("placeholder"));
    }

    // Stop after k cards leaves exactly those cards and says so.
    void batchStop() {
        QTemporaryDir dir;
        auto job = batch(dir.path(), "F", false);
        std::atomic<bool> stop{false};
        const ExportResult r = job->run(stop, [&](int n) {
            if (n == 2)
                stop = true;
        });
        QVERIFY(r.stopped);
        QVERIFY(!r.complete());
        QCOMPARE(r.cards, 2);
        QCOMPARE(entries(job->folder()), (QStringList{"Card_1.png", "Card_2.png"}));
        QCOMPARE(r.message(), QStringLiteral("Export stopped: 2 of 5 cards have been exported."));
        // A problem counts among the cards made, not those the run never reached.
        ExportResult withProblem = r;
        withProblem.problems.add(1, "the picture /p/b.jpg could not be read.");
        QVERIFY2(withProblem.message().contains("\n\n1 of 2 cards had a problem:"), qPrintable(withProblem.message()));
    }

    void batchFailedWrite() {
        PromptScope scope;
        QTemporaryDir dir;
        auto job = batch(dir.path(), "F", false);
        QVERIFY(QDir().mkpath(QDir(job->folder()).filePath("Card_2.png"))); // a folder where a card should go
        QCOMPARE(job->existingFiles(), QStringList{QDir(job->folder()).filePath("Card_2.png")});
        std::atomic<bool> stop{false};
        const ExportResult r = job->run(stop);
        QCOMPARE(r.cards, 1);
        QCOMPARE(r.failed.size(), 1);
        QVERIFY(r.message().contains("1 of 5"));
        QCOMPARE(scope.prompt.messages.size(), 2); // the path, then the reason; once, not for every row
        QCOMPARE(entries(job->folder()), (QStringList{"Card_1.png", "Card_2.png"}));
    }

    // A card name that is a link to a file elsewhere is not written through.
    void batchNeverWritesOutsideItsFolder() {
        PromptScope scope;
        QTemporaryDir dir, elsewhere;
        auto job = batch(dir.path(), "F", false);
        QVERIFY(QDir().mkpath(job->folder()));
        const QString outside = elsewhere.filePath("victim.txt");
        writeBytes(outside, "keep");
        QVERIFY(QFile::link(outside, QDir(job->folder()).filePath("Card_1.png")));
        std::atomic<bool> stop{false};
        const ExportResult r = job->run(stop);
        QCOMPARE(r.cards, 0);
        QCOMPARE(r.failed.size(), 1);
        QCOMPARE(readBytes(outside), QByteArray("keep"));
        QCOMPARE(scope.prompt.messages.size(), 1);
    }

    void batchFolderFails() {
        PromptScope scope;
        QTemporaryDir dir;
        QFile blocker(dir.filePath("NAVU Photo Frame"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto job = batch(dir.path(), "F", false);
        std::atomic<bool> stop{false};
        const ExportResult r = job->run(stop);
        QVERIFY(r.folderFailed);
        QVERIFY(r.written.isEmpty());
        QCOMPARE(
            scope.prompt.messages,
            QStringList{
                "Unable to continue saving barcode image.\n\nEither Destination Drive is inaccessible or "
                "there is no free space available in drive to save barcode image."});
    }

    // Through the commands: files that exist are replaced only when the user says so.
    void singleAsksBeforeReplacing_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no keeps the file") << false;
        QTest::newRow("yes replaces it") << true;
    }
    void singleAsksBeforeReplacing() {
        QFETCH(bool, answer);
        PromptScope scope;
        scope.prompt.answer = answer;
        QTemporaryDir dir;
        FakeHost host;
        host.d = outtest::design(false);
        OutputCommands commands(host);
        const QString back = dir.filePath("x_Back.png");
        writeBytes(back, "old");
        commands.exportSingle(dir.filePath("x.png"), "B", false);
        QCOMPARE(scope.prompt.questions,
                 QStringList{"\"x_Back.png\" already exists.\n\nDo you want to replace it?"});
        QCOMPARE(readBytes(back) == "old", !answer);
        QCOMPARE(host.shown.size(), answer ? 1 : 0);
        if (answer) {
            QCOMPARE(host.shown[0].path, back);
            QVERIFY(host.shown[0].written);
        }
    }

    void singleFailureShownAsFailure() {
        PromptScope scope;
        QTemporaryDir dir;
        FakeHost host;
        OutputCommands commands(host);
        commands.exportSingle(dir.filePath("gone/x.png"), "F", false);
        QCOMPARE(host.shown.size(), 1);
        QVERIFY(!host.shown[0].written);
        QVERIFY(host.shown[0].message != Export_Success_Message);
    }

    // The Export command from its window to the file: a name without extension gets the type's.
    void exportCommandSingle() {
        PromptScope scope;
        QTemporaryDir dir;
        FakeHost host;
        host.d = outtest::design(false);
        OutputCommands commands(host);
        commands.runExportWindow = [](ExportWindow& w) {
            [&] {
                QVERIFY(!w.Export_with_batch_chk->isEnabled() && !w.Export_with_excel_chk->isEnabled());
                QCOMPARE(w.export_card_side(), QStringLiteral("F"));
                QVERIFY(!w.export_combined_image_chk->isEnabled());
                // The resolution box is enabled for every type and starts at 300 dpi.
                QVERIFY(w.saveDPIText->isEnabled());
                QCOMPARE(w.dpi(), 300);
            }();
            w.matrix_export_card_side->button(0)->click();
            w.export_combined_image_chk->setChecked(true);
            return 1;
        };
        commands.chooseSaveFile = [&](const QString& type) {
            [&] { QCOMPARE(type, QStringLiteral("PNG")); }();
            return dir.filePath("card");
        };
        commands.Export_Button();
        QCOMPARE(entries(dir.path()), QStringList{"card.png"});
        const QImage card = readPng(dir.filePath("card.png"));
        QCOMPARE(card.size(), QSize(834, 834)); // 200 x 200 points at 300 dpi
        QCOMPARE(card.dotsPerMeterX(), 11811);
        QCOMPARE(host.shown.size(), 1);
        QCOMPARE(host.shown[0].message, Export_Success_Message);
    }

    // A batch on its worker thread: the progress sheet, the finished window with the folder, row 0 back.
    void exportCommandBatch() {
        PromptScope scope;
        QTemporaryDir dir;
        FakeHost host;
        fillTable(host.table);
        OutputCommands commands(host);
        commands.runExportWindow = [](ExportWindow& w) {
            [&] { QVERIFY(w.Export_with_excel_chk->isChecked()); }();
            return 1;
        };
        commands.chooseFolder = [&] { return dir.path(); };
        QSignalSpy finished(&commands, &OutputCommands::batchFinished);
        commands.Export_Button();
        QVERIFY(commands.batchRunning());
        QVERIFY(Send_Modeless::defaultInstance()->isVisible());
        QVERIFY(finished.wait(20000));
        QVERIFY(!commands.batchRunning());
        QVERIFY(!Send_Modeless::defaultInstance()->isVisible());
        const QString folder = QDir(dir.path()).filePath("NAVU Photo Frame");
        QCOMPARE(entries(folder).size(), 5);
        QCOMPARE(host.shown.size(), 1);
        QCOMPARE(host.shown[0].path, folder);
        QCOMPARE(host.shown[0].message, Export_Success_Message);
        QVERIFY(host.shown[0].written);
        QCOMPARE(host.restores, 1);
        QCOMPARE(host.d.front[0]->_Text_contents, QStringLiteral("Name1 Alpha"));

        // Again into the same folder: the user is asked before the five cards are replaced; No starts
        // nothing.
        scope.prompt.answer = false;
        commands.Export_Button();
        QVERIFY(!commands.batchRunning());
        QCOMPARE(scope.prompt.questions.size(), 1);
        QVERIFY(scope.prompt.questions[0].startsWith("5 files already exist"));
    }

    // Rows whose picture cannot be read or whose barcode value the symbology cannot hold: the problems of
    // every worker reach the finish message, which names the first rows and never says plain success. The
    // Export command asks once, before it starts, when the first row already fails.
    void rowProblemsReachTheFinishMessage() {
        PromptScope scope;
        QTemporaryDir dir;
        const QString good = dir.filePath("good.png");
        QImage picture = filledImage(QSize(8, 8), Qt::green);
        QVERIFY(picture.save(good));
        const QString missing = dir.filePath("photos/b.jpg");
        FakeHost host;
        QList<QStringList> rows;
        for (int i = 0; i < 12; ++i)
            rows << QStringList{QString::number(i + 1), QString("4006381333%1").arg(i, 2, 10, QChar('0')),
                                i == 2 || i >= 8 ? missing : good};
        rows[6][1] = "12a4"; // EAN-13 takes digits only
        host.table.setTable({"Row No.", "Code", "Picture"}, rows);
        GraphicPtr photo = makeGraphicOfClass("SKTImage", false);
        photo->setBounds(QRectF(0, 0, 50, 50));
        photo->data_source_type = 2;
        photo->excel_col_indx = 2;
        GraphicPtr code = makeGraphicOfClass("SKTBarcode", false);
        code->setBounds(QRectF(0, 50, 200, 50)); // wide enough for one-pixel modules at 72 dpi
        code->barcode_font_index = 8;
        code->data_source_type = 2;
        code->excel_col_indx = 1;
        host.d.front << photo << code;
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, series);
        ExportBatchJob job(BatchFillJob::create(host.d, series, host.table), dir.path(), "F", false, "PNG",
                           72);
        const std::atomic<bool> stop = false;
        const ExportResult result = job.run(stop, {}, 3);
        QVERIFY(result.complete());
        QCOMPARE(result.cards, 12);
        QCOMPARE(result.problems.cardCount(), 6);
        const QString text = result.message();
        QVERIFY2(text.startsWith("12 cards have been exported, but not every card is as designed.\n\n"
                                 "6 of 12 cards had a problem:\n"),
                 qPrintable(text));
        QVERIFY(text.contains(QString("\nRow 3: the picture %1 could not be read.\n").arg(missing)));
        QVERIFY(text.contains("\nRow 7: no barcode for \"12a4\": "));
        QVERIFY(text.contains(QString("\nRow 10: the picture %1 could not be read.\n").arg(missing)));
        QVERIFY(text.endsWith("\n... and 1 more card."));
        // Every row, from all three workers, lowest first, in the details the finish window offers.
        const QStringList details = result.details().split('\n');
        QCOMPARE(details.size(), 6);
        for (int i = 0; i < 6; ++i)
            QVERIFY2(details[i].startsWith(QString("Row %1: ").arg(QList<int>{3, 7, 9, 10, 11, 12}[i])),
                     qPrintable(details[i]));
        QCOMPARE(details.last(), QString("Row 12: the picture %1 could not be read.").arg(missing));

        // The first row fails: asked once before anything is written; No starts nothing.
        host.table.setTable({"Row No.", "Code", "Picture"},
                            {{"1", "400638133300", missing}, {"2", "400638133301", good}});
        OutputCommands commands(host);
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, commands.series());
        scope.prompt.answer = false;
        QVERIFY(!commands.startBatchExport(dir.filePath("second"), "F", false, "PNG"));
        QCOMPARE(
            scope.prompt.questions,
            QStringList{QString("The first card already has a problem:\nRow 1: the picture %1 could not be "
                                "read.\n\nCards with a problem are made without what could not be used. Do "
                                "you want to go on?")
                            .arg(missing)});
        QVERIFY(!QFileInfo::exists(dir.filePath("second")));
    }

    // Ending the program while the export worker waits for a message box on the window's thread cannot
    // hang: the commands serve the window's events while they wait for the worker.
    void closingWhileTheWorkerAsks() {
        struct GuiThreadPrompt : RecordingPrompt {
            std::atomic<bool> asking = false;
            void message(const QString& text) override {
                asking = true;
                runOnGuiThreadAndWait([&] { messages << text; });
            }
        } prompt;
        setPromptHandler(&prompt);
        struct Uninstall {
            ~Uninstall() { setPromptHandler(nullptr); }
        } uninstall;
        QTemporaryDir dir;
        FakeHost host;
        fillTable(host.table);
        const QString blocked = QDir(dir.path()).filePath("NAVU Photo Frame/Card_2.png");
        QVERIFY(QDir().mkpath(blocked)); // a folder where a card should go: the write fails
        auto commands = std::make_unique<OutputCommands>(host);
        Use_Data_Sheet_Values = false;
        Use_Excel_Binding_Values = true;
        QVERIFY(commands->startBatchExport(dir.path(), "F", false, "PNG"));
        for (int i = 0; i < 400 && !prompt.asking; ++i) // the worker comes to wait for its message
            QThread::msleep(50);
        QVERIFY(prompt.asking);
        std::atomic<bool> done = false;
        std::thread watchdog([&] {
            for (int i = 0; i < 200 && !done; ++i)
                QThread::msleep(100);
            if (!done)
                qFatal("closing the export commands hangs");
        });
        commands.reset();
        done = true;
        watchdog.join();
        QCOMPARE(prompt.messages.value(0), blocked);
        QVERIFY(host.shown.isEmpty()); // no finish window while the program ends
    }

    // Stop from the progress sheet while the worker runs: the finished window tells what was written.
    void exportCommandBatchStopped() {
        PromptScope scope;
        QTemporaryDir dir;
        FakeHost host;
        fillTable(host.table, 5000); // the Stop below comes long before the end
        OutputCommands commands(host);
        QSignalSpy finished(&commands, &OutputCommands::batchFinished);
        Use_Data_Sheet_Values = false;
        Use_Excel_Binding_Values = true;
        Total_Batch_Excel_Card = 5000;
        QVERIFY(commands.startBatchExport(dir.path(), "F", false, "PNG"));
        QTest::qWait(50);
        Send_Modeless::defaultInstance()->Stop_Sending_Pressed(); // the prompt answers Yes
        QVERIFY(finished.wait(20000));
        const auto result = finished.at(0).at(0).value<ExportResult>();
        QVERIFY(result.stopped);
        QVERIFY(result.cards < 5000);
        QCOMPARE(entries(QDir(dir.path()).filePath("NAVU Photo Frame")).size(), result.cards);
        QCOMPARE(host.shown.size(), 1);
        QCOMPARE(host.shown[0].message, result.message());
        QVERIFY(host.shown[0].message.startsWith("Export stopped"));
    }
};

QTEST_MAIN(TestImageExport)
#include "test_image_export.moc"
