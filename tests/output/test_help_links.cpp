#include "OutputTestSupport.h"

#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "output/MakerLinks.h"
#include "output/ui/Help_Support.h"
#include "output/ui/LinkButton.h"
#include "output/ui/Review_Form.h"
#include "output/ui/Share_It_Dlg.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>
#include <QtTest>

using namespace outtest;

class TestHelpLinks : public QObject {
    Q_OBJECT
    QList<QUrl> opened;
    QTemporaryDir dir;

private slots:
    void init() {
        opened.clear();
        setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    void cleanup() { setUrlOpener({}); }

    // The help document: opened when present, a message (and the window stays) when not.
    void helpFile_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("present") << true;
    }
    void helpFile() {
        QFETCH(bool, present);
        PromptScope scope;
        Resource_Path = dir.path();
        const QString path = dir.filePath("Help.pdf");
        QFile::remove(path);
        if (present)
            QVERIFY(QFile::copy(NAVU_RESOURCES_DIR "/Help.pdf", path));
        Help_Support help;
        help.show();
        help._Help_File_Label->click();
        QVERIFY(help.isVisible());
        if (present) {
            QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(path)});
            QVERIFY(scope.prompt.messages.isEmpty());
        } else {
            QVERIFY(opened.isEmpty());
            QCOMPARE(scope.prompt.messages, QStringList{"Help file does not exist!"});
        }
    }

    // The shipped help document is a real PDF with our own guide in it.
    void shippedHelpDocument() {
        const QString path = NAVU_RESOURCES_DIR "/Help.pdf";
        QVERIFY(QFile::exists(path));
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("poppler tools are missing");
        QVERIFY(pdfPages(path) >= 2);
        QVERIFY(pdfText(path).contains("NAVU Photo Frame"));
        QVERIFY(pdfText(path).contains("Printing labels"));
    }

    // Each link button opens its own kind of address.
    void links_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("contains");
        QTest::newRow("support mail") << "support_id"
                                      << "mailto"
                                      << "support@";
        QTest::newRow("partner mail") << "reseller_1"
                                      << "mailto"
                                      << "Partnership";
        QTest::newRow("web site") << "website_1"
                                  << "https"
                                  << "navu-photo-frame";
        QTest::newRow("facebook share") << "Facebook"
                                        << "https"
                                        << "facebook.com/sharer";
        QTest::newRow("twitter share") << "Twitter"
                                       << "https"
                                       << "twitter.com";
        QTest::newRow("like") << "Like"
                              << "https"
                              << "like.php";
        QTest::newRow("google plus") << "Google+"
                                     << "https"
                                     << "plus.google.com";
    }
    void links() {
        QFETCH(QString, button);
        QFETCH(QString, scheme);
        QFETCH(QString, contains);
        Help_Support help;
        QPushButton* b = button == "support_id"   ? help.support_id
                         : button == "reseller_1" ? help.reseller_1
                         : button == "website_1"  ? help.website_1
                                                  : help.findChild<QPushButton*>(button);
        QVERIFY(b);
        b->click();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].scheme(), scheme);
        QVERIFY2(opened[0].toString(QUrl::FullyDecoded).contains(contains), qPrintable(opened[0].toString()));
    }

    void shareWindowCarriesTheSite() {
        Share_It_Dlg share;
        for (const char* name : {"Facebook", "Twitter", "Google+"}) {
            opened.clear();
            share.findChild<QPushButton*>(name)->click();
            QCOMPARE(opened.size(), 1);
            const QUrlQuery q(opened[0]);
            QVERIFY(q.queryItems().size() == 1 &&
                    q.queryItems()[0].second == MakerLinks::website(1).toString());
        }
    }

    // Quitting: either button of the review window opens the review page and ends it with 1.
    void reviewWindow_data() {
        QTest::addColumn<bool>("review");
        QTest::newRow("OK") << false;
        QTest::newRow("Review") << true;
    }
    void reviewWindow() {
        QFETCH(bool, review);
        Review_Form form;
        QTimer::singleShot(0, &form, [&] { (review ? form.reviewButton : form.okButton)->click(); });
        QCOMPARE(form.Open_Wnd(), 1);
        QVERIFY(!form.isVisible());
        QCOMPARE(opened, QList<QUrl>{MakerLinks::reviewPage()});
    }

    void failedOpenIsLoggedOnly() {
        PromptScope scope;
        setUrlOpener([](const QUrl&) { return false; });
        QVERIFY(!Open_Website_2());
        QVERIFY(scope.prompt.messages.isEmpty());
    }
};

QTEST_MAIN(TestHelpLinks)
#include "test_help_links.moc"
