#include "FileBytes.h"
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

    // A links file with every address set.
    QString fullLinks() {
        const QString path = dir.filePath("links.txt");
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write("# test\nsupport_mail = support@maker.example\npartner_mail=partners@maker.example\n"
                    "website_1 = https://maker.example/\ncomments_page = https://maker.example/comments\n"
                    "review_page = https://maker.example/review\n");
        return path;
    }

private slots:
    void init() {
        opened.clear();
        setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
        MakerLinks::setAddressFile(fullLinks());
    }
    void cleanup() {
        setUrlOpener({});
        MakerLinks::setAddressFile({});
    }

    // The help document: opened when present, a message (and the window stays) when not or when the
    // desktop has no program for it.
    void helpFile_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("program");
        QTest::newRow("missing") << false << true;
        QTest::newRow("present") << true << true;
        QTest::newRow("no program for it") << true << false;
    }
    void helpFile() {
        QFETCH(bool, present);
        QFETCH(bool, program);
        PromptScope scope;
        Resource_Path = dir.path();
        const QString path = dir.filePath("Help.pdf");
        QFile::remove(path);
        if (present)
            QVERIFY(QFile::copy(NAVU_RESOURCES_DIR "/Help.pdf", path));
        setUrlOpener([&](const QUrl& url) {
            opened << url;
            return program;
        });
        Help_Support help;
        help.show();
        help._Help_File_Label->click();
        QVERIFY(help.isVisible());
        if (present) {
            QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(path)});
            QCOMPARE(scope.prompt.messages,
                     program ? QStringList{}
                             : QStringList{"There is no program on this computer to open\n" + path});
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
        const struct {
            const char* tag;
            QString button, scheme, contains;
        } rows[] = {
            {"support mail", "support_id", "mailto", "support@"},
            {"partner mail", "reseller_1", "mailto", "Partnership"},
            {"web site", "website_1", "https", "maker.example"},
            {"facebook share", "Facebook", "https", "facebook.com/sharer"},
            {"twitter share", "Twitter", "https", "twitter.com"},
            {"like", "Like", "https", "like.php"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << r.button << r.scheme << r.contains;
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
        QVERIFY(!b->isHidden());
        b->click();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].scheme(), scheme);
        QVERIFY2(opened[0].toString(QUrl::FullyDecoded).contains(contains), qPrintable(opened[0].toString()));
    }

    void shareWindowCarriesTheSite() {
        Share_It_Dlg share;
        QVERIFY(Share_It_Dlg::hasLinks());
        QVERIFY(!share.findChild<QPushButton*>("Google+"));
        for (const char* name : {"Facebook", "Twitter"}) {
            opened.clear();
            share.findChild<QPushButton*>(name)->click();
            QCOMPARE(opened.size(), 1);
            const QUrlQuery q(opened[0]);
            QVERIFY(q.queryItems().size() == 1 && q.queryItems()[0].second == "https://maker.example/");
        }
    }

    // The shipped links are all empty until the maker's pages exist: no link is shown, the share window
    // has nothing to offer and quitting shows no review window.
    void emptyAddressesHideEveryLink() {
        MakerLinks::setAddressFile({});
        for (int l = 0; l <= int(MakerLinks::Link::ReviewPage); ++l)
            QVERIFY2(!MakerLinks::available(MakerLinks::Link(l)), qPrintable(QString::number(l)));
        Help_Support help;
        help.show();
        QVERIFY(help._Help_File_Label->isVisible());
        for (QPushButton* b : help.findChildren<LinkButton*>())
            QCOMPARE(b->isVisible(), b == help._Help_File_Label);
        QVERIFY(!Share_It_Dlg::hasLinks());
        int shown = 0;
        QTimer::singleShot(0, &help, [&] {
            if (Review_Form::defaultInstance()->isVisible()) {
                ++shown;
                Review_Form::defaultInstance()->done(0);
            }
        });
        QCOMPARE(Review_Form::Run_At_Quit(), 0);
        QCOMPARE(shown, 0);
        QVERIFY(opened.isEmpty());
    }

    // Only a plain mail address and an http(s) page count as addresses.
    void addressesChecked_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("link");
        QTest::addColumn<bool>("usable");
        QTest::newRow("page") << "review_page = https://maker.example/r?x=1"
                              << int(MakerLinks::Link::ReviewPage) << true;
        QTest::newRow("script") << "review_page = javascript:alert(1)" << int(MakerLinks::Link::ReviewPage)
                                << false;
        QTest::newRow("local file") << "website_2 = file:///etc/passwd" << int(MakerLinks::Link::Website2)
                                    << false;
        QTest::newRow("two addresses") << "support_mail = a@maker.example, b@maker.example"
                                       << int(MakerLinks::Link::SupportMail) << false;
        QTest::newRow("mail with a query")
            << "support_mail = a@maker.example?cc=x@y.org" << int(MakerLinks::Link::SupportMail) << false;
    }
    void addressesChecked() {
        QFETCH(QString, line);
        QFETCH(int, link);
        const QString path = dir.filePath("one.txt");
        writeBytes(path, line.toUtf8());
        MakerLinks::setAddressFile(path);
        QTEST(MakerLinks::available(MakerLinks::Link(link)), "usable");
    }

    // Quitting with a review page: either button of the review window opens it and ends it with 1.
    void reviewWindow_data() {
        QTest::addColumn<bool>("review");
        QTest::newRow("OK") << false;
        QTest::newRow("Review") << true;
    }
    void reviewWindow() {
        QFETCH(bool, review);
        Review_Form* form = Review_Form::defaultInstance();
        QTimer::singleShot(0, form, [&] { (review ? form->reviewButton : form->okButton)->click(); });
        QCOMPARE(Review_Form::Run_At_Quit(), 1);
        QVERIFY(!form->isVisible());
        QCOMPARE(opened, QList<QUrl>{QUrl("https://maker.example/review")});
    }

    void failedOpenIsLoggedOnly() {
        PromptScope scope;
        setUrlOpener([](const QUrl&) { return false; });
        QVERIFY(!Open_Website_1());
        QVERIFY(scope.prompt.messages.isEmpty());
    }
};

QTEST_MAIN(TestHelpLinks)
#include "test_help_links.moc"
