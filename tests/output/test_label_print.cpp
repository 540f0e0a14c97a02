#include "OutputTestSupport.h"
#include "barcode/BarcodeItemDrawing.h"
#include "SmallDisk.h"
#include "TestPictures.h"

#include "common/ui/Send_Modeless.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "imaging/JobPictures.h"
#include "imaging/ProcessedImageCache.h"
#include "output/ImageExport.h"
#include "output/Printing_View.h"
#include "output/ui/LabelPreview.h"
#include "output/ui/OutputCommands.h"
#include "output/ui/Print_Wnd.h"
#include "output/ui/Sample_Preview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace outtest;

namespace {

PrintLayout a4Layout(int rows, int cols, const QString& side = "F") {
    PrintLayout l;
    const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    l.paper = page.fullRectPoints().size();
    l.card = QSizeF(200, 100);
    l.rows = rows;
    l.cols = cols;
    l.hgap = l.vgap = 10;
    l.side = side;
    return l;
}

// Prints the view into a PDF through the given kind of device.
bool printTo(const QString& device, Printing_View& view, const QString& path) {
    const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    if (device == "QPrinter") {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageLayout(page);
        printer.setFullPage(true);
        return view.print(printer);
    }
    return Print_Wnd::printToPdfFile(view, page, path);
}

} // namespace

class TestLabelPrint : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    Data_From_Excel table;

    std::unique_ptr<Printing_View> dataView(const PrintLayout& layout, int total) {
        SeriesBindingTable series;
        const BatchFillJob::Design d = design(true);
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, true, table, series);
        return std::make_unique<Printing_View>(layout, total, BatchFillJob::create(d, series, table), d);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        fillTable(table);
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
            QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("poppler tools are missing");
    }

    // Five bound rows on 2 x 2 sheets: two sheets, each label with its own row as selectable text.
    void dataJob_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("total");
        QTest::newRow("QPrinter PdfFormat") << "QPrinter" << 5;
        QTest::newRow("QPdfWriter (the dialog's PDF file)") << "QPdfWriter" << 5;
        QTest::newRow("more labels than rows: the rest stay white") << "QPrinter" << 7;
    }
    void dataJob() {
        QFETCH(QString, device);
        QFETCH(int, total);
        auto view = dataView(a4Layout(2, 2), total);
        QVERIFY(view->isDataJob());
        QCOMPARE(view->numberOfPages(false), 2);
        const QString path = dir.filePath(device + QString::number(total) + ".pdf");
        QVERIFY(printTo(device, *view, path));
        QCOMPARE(pdfPages(path), 2);
        const QString first = pdfText(path, 1), second = pdfText(path, 2);
        for (int r = 1; r <= 4; ++r)
            QVERIFY2(first.contains(QStringLiteral("Name%1").arg(r)), qPrintable(first));
        QVERIFY2(second.contains("Name5 Echo"), qPrintable(second));
        QVERIFY(!first.contains("Name5") && !second.contains("Name1"));
        QVERIFY(!pdfText(path).contains("placeholder"));
        // Cards are vectors: no page holds a picture.
        const QStringList images = poppler("pdfimages", {"-list", path}).trimmed().split('\n');
        QCOMPARE(images.size(), 2); // the two header lines only
    }

    // Pictures that the rows of a job draw alike are made once for the whole job (all labels, export threads)
    // and held once by the PDF, even when the cache of recent pictures keeps nothing; past what a job may keep
    // they are made again on each row, and drawn.
    void picturesOncePerJob_data() {
        QTest::addColumn<QString>("road");
        QTest::addColumn<qint64>("cacheBytes");
        QTest::addColumn<qint64>("jobLimit");
        QTest::addColumn<int>("made");
        QTest::addColumn<int>("reads");
        const qint64 none = 0, cache = 128LL << 20, limit = 1LL << 30;
        QTest::newRow("a picture of the design, cache full") << "fixed" << none << limit << 1 << 0;
        QTest::newRow("the card's background, cache full") << "background" << none << limit << 1 << 0;
        QTest::newRow("one file named by a column") << "column" << cache << limit << 1 << 0;
        QTest::newRow("two files by turns") << "turns" << cache << limit << 2 << 0;
        QTest::newRow("the main photo named by a column") << "photo" << cache << limit << 1 << 1;
        QTest::newRow("past the job's limit: made on each row") << "fixed" << none << none << 6 << 0;
    }
    void picturesOncePerJob() {
        QFETCH(QString, road);
        QFETCH(qint64, cacheBytes);
        QFETCH(qint64, jobLimit);
        QFETCH(int, made);
        QFETCH(int, reads);
        const QString picA = writePicture(dir.filePath("a.png"), Qt::red);
        const QString picB = writePicture(dir.filePath("b.png"), Qt::blue);
        Data_From_Excel pictures;
        QList<QStringList> rows;
        for (int r = 0; r < 6; ++r)
            rows << QStringList{QString::number(r + 1), road == "turns" && r % 2 ? picB : picA};
        pictures.setTable({"Row No.", "Picture"}, rows);
        BatchFillJob::Design d = design(false);
        d.twoSided = false;
        d.front << makeGraphicOfClass("SKTImage", false);
        GraphicPtr picture = d.front.back();
        picture->setBounds(QRectF(100, 50, 40, 30));
        if (road == "fixed")
            picture->_image = ItemPicture::fromFile(picA);
        if (road == "background") {
            d.frontProp.Card_fill_style = "I";
            d.frontProp.Card_BG_Image = ItemPicture::fromFile(picA);
        }
        if (road == "column" || road == "turns" || road == "photo") {
            picture->data_source_type = 2;
            picture->excel_col_indx = 1;
        }
        if (road == "photo")
            picture->control_ID = "PARTY_IMAGE";
        // A data job of 6 labels: a column bound, whether or not a picture is.
        d.front << text("row", QRectF(10, 60, 80, 20), 0);
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, pictures, series);
        ProcessedImageCache::clear();
        ProcessedImageCache::setBudgetBytes(cacheBytes);
        JobPictures::setLimitBytes(jobLimit);
        const auto restore = qScopeGuard([] {
            ProcessedImageCache::setBudgetBytes(128LL << 20);
            JobPictures::setLimitBytes(1LL << 30);
        });
        int photoReads = 0;
        const auto countReads = [&photoReads](const QString& path) {
            ++photoReads;
            return ItemPicture::fromFile(path);
        };

        auto fill = BatchFillJob::create(d, series, pictures);
        fill->setPhotoLoader(countReads);
        // A label a sheet: labels placed elsewhere may cover other whole pixels, and be made at their size.
        Printing_View view(a4Layout(1, 1), 6, std::move(fill), d);
        const QString path = dir.filePath("pictures-" + road + QString::number(jobLimit) + ".pdf");
        int before = ProcessedImageCache::madeCount();
        QVERIFY(printTo("QPdfWriter", view, path));
        QCOMPARE(ProcessedImageCache::madeCount() - before, made);
        QCOMPARE(photoReads, reads);
        // pdfimages lists each image drawn with its object: one object for each picture made.
        QSet<QString> objects;
        const QStringList images = poppler("pdfimages", {"-list", path}).trimmed().split('\n').mid(2);
        for (const QString& line : images)
            objects << line.simplified().section(' ', 10, 10);
        QCOMPARE(images.size(), 6);
        QCOMPARE(objects.size(), made);

        // An export on three threads makes them as often.
        ProcessedImageCache::clear();
        fill = BatchFillJob::create(d, series, pictures);
        photoReads = 0;
        fill->setPhotoLoader(countReads);
        ExportBatchJob exportJob(std::move(fill), dir.filePath("export-" + road), "F", false, "PNG", 72);
        before = ProcessedImageCache::madeCount();
        const std::atomic<bool> stop{false};
        QCOMPARE(exportJob.run(stop, {}, 3).cards, 6);
        QCOMPARE(ProcessedImageCache::madeCount() - before, made);
        QCOMPARE(photoReads, reads);
    }

    // Without data every label shows the design; the last sheet stops after the total.
    void plainJob() {
        SeriesBindingTable series;
        const BatchFillJob::Design d = design(false);
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, true, table, series);
        QVERIFY(!Use_Data_Sheet_Values && !Use_Excel_Binding_Values);
        Printing_View view(a4Layout(1, 2, "BOTH"), 3, BatchFillJob::create(d, series, table), d);
        const QString path = dir.filePath("plain.pdf");
        QVERIFY(printTo("QPrinter", view, path));
        QCOMPARE(pdfPages(path), 2);
        const QString text = pdfText(path);
        QCOMPARE(text.count("Hello Front"), 3);
        QCOMPARE(text.count("Back Side"), 3);
    }

    // A PDF that does not fit on the disk is reported as such and leaves nothing behind.
    void diskFullPdf() {
        const SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        disk.fill();
        PromptScope scope;
        SeriesBindingTable series;
        const BatchFillJob::Design d = design(false);
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, true, table, series);
        Printing_View view(a4Layout(1, 2, "BOTH"), 3, BatchFillJob::create(d, series, table), d);
        QVERIFY(!printTo("Print_Wnd", view, disk.filePath("labels.pdf")));
        QCOMPARE(scope.prompt.messages.size(), 1);
        QVERIFY2(scope.prompt.messages[0].endsWith("\nThe disk is full."),
                 qPrintable(scope.prompt.messages[0]));
        QCOMPARE(disk.files(), QStringList{"filler"});
    }

    void previewLimit_data() {
        QTest::addColumn<int>("labels");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("message");
        QTest::newRow("50 sheets") << 50 << 50 << false;
        QTest::newRow("51 sheets cut to 50") << 51 << 50 << true;
    }
    void previewLimit() {
        QFETCH(int, labels);
        QFETCH(bool, message);
        PromptScope scope;
        SeriesBindingTable series;
        const BatchFillJob::Design d = design(false);
        Use_Data_Sheet_Values = Use_Excel_Binding_Values = false;
        Printing_View view(a4Layout(1, 1), labels, BatchFillJob::create(d, series, table), d);
        QTEST(view.numberOfPages(true), "pages");
        QCOMPARE(view.numberOfPages(false), labels);
        QCOMPARE(scope.prompt.messages.size(), message ? 1 : 0);
    }

    // The sheet preview: outlines only when asked for; "Invalid Data" in red without a card.
    void previewSheet_data() {
        QTest::addColumn<bool>("outlines");
        QTest::addColumn<bool>("hasCard");
        QTest::newRow("outlines") << true << true;
        QTest::newRow("captions only") << false << true;
        QTest::newRow("no card") << true << false;
    }
    void previewSheet() {
        QFETCH(bool, outlines);
        QFETCH(bool, hasCard);
        PrintLayout l = a4Layout(1, 1);
        l.margins = QMarginsF(36, 36, 36, 36);
        QImage img(595, 842, QImage::Format_RGB32); // one pixel per point
        img.fill(Qt::black);
        QPainter p(&img);
        Sample_Preview::paintSheet(p, QRectF(0, 0, 595, 842), l, outlines, hasCard);
        p.end();
        auto count = [&](auto pred) {
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    n += pred(img.pixelColor(x, y)) ? 1 : 0;
            return n;
        };
        // The box's right edge at x = 236: a grey line (antialiased over two pixels).
        bool grey = false;
        for (int x = 233; x <= 239; ++x) {
            const QColor c = img.pixelColor(x, 80);
            const int hi = qMax(c.red(), qMax(c.green(), c.blue())),
                      lo = qMin(c.red(), qMin(c.green(), c.blue()));
            grey |= hi - lo < 12 && hi < 220;
        }
        QCOMPARE(grey, outlines);
        const int red =
            count([](const QColor& c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; });
        QCOMPARE(red > 0, !hasCard);
    }

    // The dialog: data counts, the layout rule on the controls, printing into a PDF file.
    void dialogPrintsDataRows() {
        PromptScope scope;
        FakeHost host;
        fillTable(host.table);
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, series);
        Print_Wnd w(host, series);
        w.resetForOpening();
        QVERIFY(w.print_with_excel_chk->isEnabled() && w.print_with_excel_chk->isChecked());
        QVERIFY(!w.print_with_batch_chk->isEnabled());
        QCOMPARE(w.totalLabels(), 5);
        QCOMPARE(w.Total_Text->maximum(), 5);
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        w.Row_Text->setValue(2);
        w.Col_Text->setValue(2);
        QCOMPARE(w.currentLayout().perSheet(), 4);
        QCOMPARE(w.totalLabels(), 5); // with data the total stays the row count

        const QString path = dir.filePath("dialog.pdf");
        int asked = 0;
        w.choosePdfPath = [&] {
            ++asked;
            return path;
        };
        if (QPrinterInfo::availablePrinterNames().isEmpty()) {
            QVERIFY(w.printsToPdf());
            QVERIFY(w.printerNote->isVisibleTo(&w));
            QVERIFY(w.printerNote->text().startsWith("No printer found."));
        }
        w.Printer_ComboBox->setCurrentIndex(w.Printer_ComboBox->count() - 1);
        QVERIFY(w.printsToPdf());
        QVERIFY(w.Execute_Printing(false));
        QCOMPARE(asked, 1);
        QCOMPARE(pdfPages(path), 2);
        QVERIFY(pdfText(path).contains("Name5 Echo"));
        QCOMPARE(host.restores, 1);
        QVERIFY(scope.prompt.messages.isEmpty());

        // Unticking the sheet data: one label, the design as it stands (row 0 is back on it).
        w.print_with_excel_chk->click();
        QVERIFY(!Use_Excel_Binding_Values);
        QCOMPARE(w.totalLabels(), 1);
        QVERIFY(w.Execute_Printing(false));
        QCOMPARE(pdfPages(path), 1);
        const QString text = pdfText(path);
        QVERIFY2(text.contains("Name1 Alpha") && !text.contains("Name2"), qPrintable(text));
        QCOMPARE(w.statusNote->text(),
                 QStringLiteral("Saved 1 page to %1.").arg(QDir::toNativeSeparators(path)));
        // Without data the total is no longer capped by the row count: a full sheet of 3 x 2.
        w.Row_Text->setValue(3);
        QCOMPARE(w.totalLabels(), 6);
        w.print_with_excel_chk->click(); // ticked again: the rows, at most the row count
        QCOMPARE(w.totalLabels(), 5);
        QCOMPARE(w.Total_Text->maximum(), 5);

        // A file that cannot be written is named with the reason; nothing is reported as saved.
        const QString bad = dir.filePath("missing-folder/labels.pdf");
        w.choosePdfPath = [&] { return bad; };
        QVERIFY(!w.Execute_Printing(false));
        QCOMPARE(scope.prompt.messages.size(), 1);
        QVERIFY2(scope.prompt.messages[0].startsWith("The PDF file could not be written.\n\n" +
                                                     QDir::toNativeSeparators(bad) + "\n"),
                 qPrintable(scope.prompt.messages[0]));
        QVERIFY(w.statusNote->text().isEmpty());
    }

    // A job whose cards are not all as designed says so after printing: how many, the first rows and why,
    // and every row in the message's details.
    void rowProblemsAfterPrinting() {
        PromptScope scope;
        FakeHost host;
        const QString missing = dir.filePath("photos/b.jpg");
        QList<QStringList> rows;
        for (int i = 0; i < 16; ++i)
            rows << QStringList{QString::number(i + 1), QString("Name%1").arg(i + 1),
                                i == 1 || i >= 10 ? missing : QString()};
        host.table.setTable({"Row No.", "Name", "Picture"}, rows);
        GraphicPtr photo = makeGraphicOfClass("SKTImage", false);
        photo->setBounds(QRectF(0, 0, 50, 50));
        photo->data_source_type = 2;
        photo->excel_col_indx = 2;
        host.d.front << photo;
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, series);
        Print_Wnd w(host, series);
        w.resetForOpening();
        const QString path = dir.filePath("problems.pdf");
        w.choosePdfPath = [&] { return path; };
        w.Printer_ComboBox->setCurrentIndex(w.Printer_ComboBox->count() - 1);
        QVERIFY(w.Execute_Printing(false));
        QCOMPARE(pdfPages(path), 16);
        const auto lines = [&](const QList<int>& rowsWithProblems) {
            QStringList out;
            for (int row : rowsWithProblems)
                out << QString("Row %1: the picture %2 could not be read.").arg(row).arg(missing);
            return out.join('\n');
        };
        QCOMPARE(scope.prompt.messages.size(), 1);
        QCOMPARE(scope.prompt.messages.value(0), "The labels have been saved, but not every card is as "
                                                 "designed.\n\n7 of 16 cards had a problem:\n" +
                                                     lines({2, 11, 12, 13, 14}) + "\n... and 2 more cards.");
        QCOMPARE(scope.prompt.details, QStringList{lines({2, 11, 12, 13, 14, 15, 16})});
        QVERIFY2(w.statusNote->text().endsWith(" Not every card is as designed."),
                 qPrintable(w.statusNote->text()));

        // Without data, a set-up barcode value too long for its frame on the printer's dots is named as an
        // export names it.
        scope.prompt.messages.clear();
        scope.prompt.details.clear();
        FakeHost single;
        GraphicPtr code = makeGraphicOfClass("SKTBarcode", false);
        code->linear_font_val = QString(40, 'A');
        code->setBounds(QRectF(10, 10, 100, 40));
        QVERIFY(BarcodeItemDrawing::setUpNewItem(*code));
        code->setBounds(QRectF(10, 10, 100, 40));
        single.d.front << code;
        SeriesBindingTable none;
        Print_Wnd plain(single, none);
        plain.resetForOpening();
        plain.choosePdfPath = [&] { return dir.filePath("plain.pdf"); };
        plain.Printer_ComboBox->setCurrentIndex(plain.Printer_ComboBox->count() - 1);
        QVERIFY(plain.Execute_Printing(false));
        QCOMPARE(scope.prompt.messages, QStringList{"The labels have been saved, but not every card is as designed."
                                                    "\n\nThe Code 39 value is too long for its frame."});
    }

    // The dialog opens with the sheet last used for this design in this session; a new design starts from
    // the defaults.
    void remembersSettingsForTheDesign() {
        PromptScope scope;
        FakeHost host;
        host.d = outtest::design(false);
        OutputCommands commands(host);
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, commands.series());
        Print_Wnd& w = *commands.printWindow();
        w.resetForOpening();
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF()));
        w.Row_Text->setValue(2);
        w.Col_Text->setValue(2);
        w.horz_mar_Text->setValue(5);
        w.vert_mar_Text->setValue(3);
        w.alignButtons[4]->click();
        w.reject();
        w.resetForOpening();
        QCOMPARE(w.Paper_id->text(), QStringLiteral("A5"));
        QCOMPARE(w.Orient_ComboBox->currentIndex(), 1);
        QCOMPARE(w.Row_Text->value(), 2);
        QCOMPARE(w.Col_Text->value(), 2);
        QCOMPARE(w.horz_mar_Text->value(), 5.0);
        QCOMPARE(w.vert_mar_Text->value(), 3.0);
        QCOMPARE(w.currentLayout().align, 5);
        QVERIFY(w.alignButtons[4]->isChecked());
        QCOMPARE(w.currentLayout().rows * w.currentLayout().cols, 4);
        QCOMPARE(w.totalLabels(), 4); // one full sheet, as the layout gives it

        w.Auto_Center_chk_bx->setChecked(true);
        w.reject();
        w.resetForOpening();
        QVERIFY(w.Auto_Center_chk_bx->isChecked());
        QVERIFY(!w.horz_mar_Text->isEnabled());
        QVERIFY(w.currentLayout().autoCenter);

        commands.designReplaced();
        w.resetForOpening();
        QCOMPARE(w.Row_Text->value(), 1);
        QCOMPARE(w.Col_Text->value(), 1);
        QCOMPARE(w.horz_mar_Text->value(), 0.0);
        QCOMPARE(w.currentLayout().align, 1);
        QVERIFY(!w.Auto_Center_chk_bx->isChecked());
        QCOMPARE(w.totalLabels(), 1);
    }

    // Without a card (no size) every label position says "Invalid Data" instead of staying blank.
    void noCardPrintsInvalidData() {
        SeriesBindingTable series;
        BatchFillJob::Design d = design(false);
        d.frontProp.Card_Size = d.backProp.Card_Size = QSizeF();
        Use_Data_Sheet_Values = Use_Excel_Binding_Values = false;
        PrintLayout l = a4Layout(1, 2);
        l.card = QSizeF();
        l.label = QSizeF(200, 100);
        Printing_View view(l, 3, BatchFillJob::create(d, series, table), d);
        const QString path = dir.filePath("nocard.pdf");
        QVERIFY(printTo("QPrinter", view, path));
        QCOMPARE(pdfPages(path), 2);
        QCOMPARE(pdfText(path, 1).count("Invalid Data"), 2);
        QCOMPARE(pdfText(path, 2).count("Invalid Data"), 1);
    }

    // Print from the preview window: all sheets, not the preview's 50.
    void previewPrintsEverySheet() {
        PromptScope scope;
        FakeHost host;
        host.d = outtest::design(false);
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, series);
        Print_Wnd w(host, series);
        w.resetForOpening();
        w.Printer_ComboBox->setCurrentIndex(w.Printer_ComboBox->count() - 1);
        w.Total_Text->setValue(53);
        int previewed = 0;
        w.runPreview = [&](Printing_View&, int pages, QPrinter&) {
            previewed = pages;
            return true;
        };
        const QString path = dir.filePath("from-preview.pdf");
        w.choosePdfPath = [&] { return path; };
        QVERIFY(w.Execute_Printing(true));
        QCOMPARE(previewed, 50);
        QCOMPARE(pdfPages(path), 53);
        QCOMPARE(scope.prompt.messages.size(), 1); // the preview's note only
    }

    // The preview window shows the sheets it is given; its Print button hands the job back.
    void previewWindow() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        int painted = 0;
        LabelPreview preview(printer, [&](QPrinter& p) {
            ++painted;
            QPainter painter(&p);
            for (int i = 1; i < 3; ++i)
                p.newPage();
        });
        preview.view->updatePreview();
        QCOMPARE(painted, 1);
        QCOMPARE(preview.view->pageCount(), 3);
        preview.printButton->click();
        QCOMPARE(preview.result(), int(LabelPreview::PrintRequested));
        QCOMPARE(painted, 1); // printing is the dialog's job, not the preview's
    }

    // A long job is drawn behind the progress sheet; Stop leaves no file and says so.
    void stopWritingPdf() {
        PromptScope scope;
        FakeHost host;
        host.d = outtest::design(false);
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, series);
        Print_Wnd w(host, series);
        w.resetForOpening();
        w.Printer_ComboBox->setCurrentIndex(w.Printer_ComboBox->count() - 1);
        w.Total_Text->setValue(20000);
        const QString path = dir.filePath("stopped.pdf");
        w.choosePdfPath = [&] {
            // Pressed as soon as the window is back in its event loop, while the sheets are drawn.
            QTimer::singleShot(0, Send_Modeless::defaultInstance(), &Send_Modeless::Stop_Sending_Pressed);
            return path;
        };
        QVERIFY(!w.Execute_Printing(false));
        QCOMPARE(scope.prompt.questions, QStringList{"Are you sure you want to stop?"});
        QVERIFY(scope.prompt.messages.isEmpty());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(w.statusNote->text(), QStringLiteral("Stopped. The PDF file was not written."));
        QVERIFY(w.printButton->isEnabled());
    }

    // The dialog fits a 1366 x 768 screen: its controls scroll instead of growing the window.
    void dialogFitsSmallScreen() {
        FakeHost host;
        host.d = outtest::design(false);
        SeriesBindingTable series;
        Print_Wnd w(host, series);
        w.resetForOpening();
        const QSize least = w.minimumSizeHint();
        QVERIFY2(least.width() <= 1300 && least.height() <= 640,
                 qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
        QVERIFY(w.controlsArea->widgetResizable());
        QVERIFY(w.size().height() <= w.screen()->availableGeometry().height());
    }

    void dialogWithoutData() {
        PromptScope scope;
        FakeHost host;
        host.d = outtest::design(false);
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(host.d.front, host.d.back, true, host.table, series);
        Print_Wnd w(host, series);
        w.resetForOpening();
        QVERIFY(!w.print_with_batch_chk->isEnabled() && !w.print_with_excel_chk->isEnabled());
        QCOMPARE(w.totalLabels(), 1);
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF()));
        QCOMPARE(w.Orient_ComboBox->currentIndex(), 1);
        QCOMPARE(w.Paper_id->text(), QStringLiteral("A5"));
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        w.Col_Text->setValue(2);
        w.Row_Text->setValue(40); // only 8 rows of 100 points fit on A4
        QCOMPARE(w.Row_Text->value(), 8);
        QCOMPARE(w.totalLabels(), 16); // one full sheet

        int previews = 0;
        w.runPreview = [&](Printing_View& view, int pages, QPrinter& printer) {
            ++previews;
            [&] {
                // The preview's printer has the dialog's paper and draws from its corner.
                QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
                QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
                QVERIFY(printer.fullPage());
                QCOMPARE(pages, 1);
                QCOMPARE(view.totalLabels(), 16);
            }();
            return false; // closed without printing
        };
        QVERIFY(w.Execute_Printing(true));
        QCOMPARE(previews, 1);

        w.Total_Text->setValue(0);
        QVERIFY(!w.Execute_Printing(true));
        QCOMPARE(scope.prompt.messages, QStringList{"There is no barcode to print."});

        // A label and a gap taller than the paper asks first; No starts nothing.
        w.Total_Text->setValue(1);
        w.Row_Text->setValue(1);
        w.height_Text->setValue(290);
        w.vert_mar_Text->setValue(10);
        scope.prompt.answer = false;
        QVERIFY(!w.Execute_Printing(true));
        QCOMPARE(scope.prompt.questions.size(), 1);
        QVERIFY(scope.prompt.questions[0].startsWith("'Frame Size' is bigger than selected 'Paper Size'"));
        QCOMPARE(previews, 1);
        // A label larger than the paper is refused with the reason.
        scope.prompt.messages.clear();
        w.height_Text->setValue(400);
        QVERIFY(!w.Execute_Printing(true));
        QCOMPARE(scope.prompt.questions.size(), 1);
        QCOMPARE(scope.prompt.messages.size(), 1);
        QVERIFY2(scope.prompt.messages[0].contains("is larger than the paper (209.90 x 297.04 mm)"),
                 qPrintable(scope.prompt.messages[0]));
        QCOMPARE(previews, 1);
    }
};

QTEST_MAIN(TestLabelPrint)
#include "test_label_print.moc"
