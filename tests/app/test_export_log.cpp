#include "TestPictures.h"
#include "app/Open_Export_Log.h"
#include "common/Prompt.h"
#include "common/ui/Long_SMS_Dlg.h"
#include "output/ImageExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

class TestExportLog : public QObject {
    Q_OBJECT
    QList<QUrl> opened;
    QTemporaryDir dir;

private slots:
    void init() {
        opened.clear();
        Open_Export_Log::setOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    void cleanupTestCase() { Open_Export_Log::setOpener({}); }

    void checkBoxTitle_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("folder of a batch") << "folder"
                                           << "Open containing folder.";
        QTest::newRow("single file") << "file"
                                     << "Open exported file.";
        QTest::newRow("missing path") << "missing"
                                      << "Open exported file.";
    }
    void checkBoxTitle() {
        QFETCH(QString, kind);
        QString path = dir.filePath(QStringLiteral("missing.png"));
        if (kind == "folder")
            path = dir.path();
        if (kind == "file") {
            path = dir.filePath(QStringLiteral("card.png"));
            QImage(4, 4, QImage::Format_ARGB32).save(path, "PNG");
        }
        Open_Export_Log log;
        log.prepare(path, QStringLiteral("Frame has been exported successfully."), true);
        QTEST(log._open_log_chk->text(), "title");
        QCOMPARE(log._open_log_path->text(), path);
        QCOMPARE(log._open_log_message->text(), QStringLiteral("Frame has been exported successfully."));
    }

    void okOpensWhenTicked() {
        const QString path = dir.filePath(QStringLiteral("ok.png"));
        QImage(4, 4, QImage::Format_ARGB32).save(path, "PNG");
        Open_Export_Log log;
        log.prepare(path, QStringLiteral("done"), true);
        log.OKPressed();
        QCOMPARE(log.result(), 1);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(path)});

        // Off: nothing opens, and the box is ticked again for the next time.
        log.prepare(path, QStringLiteral("done"), true);
        log._open_log_chk->setChecked(false);
        log.OKPressed();
        QCOMPARE(opened.size(), 1);
        QVERIFY(log._open_log_chk->isChecked());

        log._open_log_chk->setChecked(false);
        log.CancelPressed();
        QCOMPARE(log.result(), 0);
        QCOMPARE(opened.size(), 1);
        QVERIFY(log._open_log_chk->isChecked());
    }

    // Escape and the close box end it as Cancel does: nothing opens, the box is ticked for the next time.
    void escapeAndCloseBoxAreCancel_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close box") << false;
    }
    void escapeAndCloseBoxAreCancel() {
        QFETCH(bool, escape);
        const QString path = dir.filePath(QStringLiteral("esc.png"));
        QImage(4, 4, QImage::Format_ARGB32).save(path, "PNG");
        Open_Export_Log log;
        log.prepare(path, QStringLiteral("done"), true);
        QTimer::singleShot(0, &log, [&] {
            log._open_log_chk->setChecked(false);
            if (escape)
                QTest::keyClick(&log, Qt::Key_Escape);
            else
                log.close();
        });
        QCOMPARE(log.runModal(), 0);
        QVERIFY(opened.isEmpty());
        QVERIFY(log._open_log_chk->isChecked());
    }

    // An export with more problem rows than its message names offers them all: "Show Details..." opens them
    // over the window, which stays open for its OK.
    void detailsOverTheWindow() {
        Open_Export_Log log;
        log.prepare(dir.path(), QStringLiteral("done"), true);
        QVERIFY(log._details_btn->isHidden());
        log.prepare(dir.path(),
                    QStringLiteral("12 cards have been exported, but not every card is as designed."), true,
                    QStringLiteral("Row 1: a\nRow 2: b"));
        QString shown;
        QTimer::singleShot(0, &log, [&] {
            QVERIFY(!log._details_btn->isHidden());
            QTimer::singleShot(0, [&] {
                auto* dlg = qobject_cast<Long_SMS_Dlg*>(QApplication::activeModalWidget());
                QVERIFY(dlg);
                shown = dlg->msg_text->toPlainText();
                dlg->ok_btn->click();
            });
            log._details_btn->click();
            QVERIFY(log.isVisible());
            log.OKPressed();
        });
        QCOMPARE(log.runModal(), 1);
        QCOMPARE(shown, QStringLiteral("Row 1: a\nRow 2: b"));
    }

    void folderOpensItself() {
        Open_Export_Log log;
        log.prepare(dir.path(), QStringLiteral("done"), true);
        log.OKPressed();
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});

        // A desktop without a program for folders: the user is told, not left waiting.
        struct Recording : PromptHandler {
            QStringList messages;
            void message(const QString& text) override { messages << text; }
            bool yesNo(const QString&) override { return true; }
        } prompt;
        setPromptHandler(&prompt);
        Open_Export_Log::setOpener([](const QUrl&) { return false; });
        log.prepare(dir.path(), QStringLiteral("done"), true);
        log.OKPressed();
        setPromptHandler(nullptr);
        QCOMPARE(prompt.messages, QStringList{"There is no program on this computer to open\n" + dir.path()});
    }

    // Each written file is named once in the window, whether one file or both sides were written.
    void eachFileShownOnce_data() {
        QTest::addColumn<QStringList>("written");
        QTest::newRow("front only") << QStringList{"x.png"};
        QTest::newRow("front and back") << QStringList{"x_Back.png", "x.png"};
    }
    void eachFileShownOnce() {
        QFETCH(QStringList, written);
        ExportResult result;
        for (const QString& f : written)
            result.written << dir.filePath(f);
        result.path = dir.filePath(QStringLiteral("x.png"));
        Open_Export_Log log;
        log.prepare(result.path, result.message(), true);
        QString shown = log._open_log_message->text();
        if (!log._open_log_path->isHidden())
            shown += QLatin1Char('\n') + log._open_log_path->text();
        for (const QString& f : result.written)
            QCOMPARE(shown.count(QDir::toNativeSeparators(f)), 1);
    }

    void failedWriteDoesNotClaimSuccess() {
        const QString path = dir.filePath(QStringLiteral("never.png"));
        Open_Export_Log log;
        log.prepare(path, QStringLiteral("Frame has been exported successfully."), false);
        QCOMPARE(log._open_log_message->text(), QStringLiteral("Frame could not be exported."));
        QVERIFY(log._open_log_chk->isHidden());
        log.OKPressed();
        QVERIFY(opened.isEmpty());
    }

    void fileOpensAsThePictureItIs() {
        // Exports write PNG data whatever the chosen name says.
        const QString path = dir.filePath(QStringLiteral("card.jpg"));
        QImage image = filledImage(QSize(6, 5), Qt::red);
        QVERIFY(image.save(path, "PNG"));
        Open_Export_Log log;
        log.prepare(path, QStringLiteral("done"), true);
        log.OKPressed();
        QCOMPARE(opened.size(), 1);
        const QString target = opened.first().toLocalFile();
        QVERIFY(target.endsWith(QLatin1String("card.png")));
        QFile a(path), b(target);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
        // The copy lies in a private folder of this run (removed when the program ends), not a shared one.
        const QFileInfo folder(QFileInfo(target).absolutePath());
        QVERIFY(folder.fileName().startsWith(QLatin1String("navu-export-")));
        QCOMPARE(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
        QFile::remove(target);

        const QString jpeg = dir.filePath(QStringLiteral("real.jpeg"));
        QVERIFY(image.save(jpeg, "JPEG"));
        QCOMPARE(Open_Export_Log::openTarget(jpeg), QUrl::fromLocalFile(jpeg));
    }
};

QTEST_MAIN(TestExportLog)
#include "test_export_log.moc"
