#include "TestPictures.h"
#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "common/Prompt.h"
#include "wizards/CardSizePresets.h"
#include "wizards/FrameGallery.h"
#include "wizards/ReadyTexts.h"
#include "wizards/StartRoad.h"
#include "wizards/TemplateStore.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void touch(const QString& path, const QByteArray& bytes = "x") {
    writeBytes(path, bytes);
}

// A start road whose wizard answer is scripted; records the calls in order.
class ScriptedHost : public StartHost {
public:
    StartWizardAnswer answer;
    QStringList calls;
    void New_Project() override { calls << QStringLiteral("new"); }
    StartWizardAnswer runStartWizard() override {
        calls << QStringLiteral("wizard");
        return answer;
    }
    void Open_Start_Window() override { calls << QStringLiteral("build"); }
};

QStringList names(const FrameGallery& g) {
    QStringList out;
    for (const FrameEntry& e : g.images())
        out << e.name;
    return out;
}

} // namespace

class TestWizardEngine : public QObject {
    Q_OBJECT
private slots:
    void startRoad_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("calls");
        const QStringList noBuild{QStringLiteral("new"), QStringLiteral("wizard")};
        QTest::newRow("W") << 1 << QStringLiteral("W") << int(StartOutcome::NewCard)
                           << QStringList{QStringLiteral("new"), QStringLiteral("wizard"),
                                          QStringLiteral("build")};
        QTest::newRow("L") << 1 << QStringLiteral("L") << int(StartOutcome::OpenedDesign) << noBuild;
        QTest::newRow("cancel") << 0 << QStringLiteral("W") << int(StartOutcome::Quit) << noBuild;
        QTest::newRow("odd code") << 7 << QStringLiteral("L") << int(StartOutcome::Quit) << noBuild;
        QTest::newRow("no mode") << 1 << QString() << int(StartOutcome::Quit) << noBuild;
    }
    void startRoad() {
        QFETCH(int, result);
        QFETCH(QString, mode);
        QFETCH(QStringList, calls);
        ScriptedHost host;
        host.answer = {result, mode};
        QTEST(int(runStartRoad(host)), "outcome");
        QCOMPARE(host.calls, calls);
    }

    void designArgument() {
        const QString a = QStringLiteral("app");
        QCOMPARE(designPathArgument({a}), QString());
        QCOMPARE(designPathArgument({a, QStringLiteral("-style"), QStringLiteral("x.kvto")}),
                 QStringLiteral("x.kvto"));
        QCOMPARE(designPathArgument({a, QStringLiteral("--"), QStringLiteral("-odd.kvto")}),
                 QStringLiteral("-odd.kvto"));
    }

    void cardSizes() {
        const QStringList cats = cardsize::categories();
        QVERIFY(cats.size() >= 4);
        QCOMPARE(cats.last(), cardsize::CustomCategory);
        QVERIFY(cardsize::presetsOf(cardsize::CustomCategory).isEmpty());
        for (const QString& c : cats.mid(0, cats.size() - 1)) {
            const auto list = cardsize::presetsOf(c);
            QVERIFY(!list.isEmpty());
            for (int i = 0; i < list.size(); ++i) {
                QVERIFY(list[i].longInches >= list[i].shortInches);
                QCOMPARE(cardsize::indexOf(c, list[i].subCategory), i); // titles unique within a category
            }
        }
        const int i = cardsize::indexOf(QStringLiteral("Invitation"), QStringLiteral("5 x 7 in"));
        QVERIFY(i >= 0);
        const CardSizePreset p = cardsize::presetsOf(QStringLiteral("Invitation"))[i];
        QCOMPARE(cardsize::sizeInPoints(p, cardsize::Horizontal), QSizeF(504, 360));
        QCOMPARE(cardsize::sizeInPoints(p, cardsize::Vertical), QSizeF(360, 504));
    }

    void customSize_data() {
        QTest::addColumn<double>("w");
        QTest::addColumn<double>("h");
        QTest::addColumn<bool>("ok");
        QTest::newRow("A6") << 148.0 << 105.0 << true;
        QTest::newRow("too small") << 5.0 << 105.0 << false;
        QTest::newRow("too large") << 148.0 << 5000.0 << false;
        QTest::newRow("nan") << qQNaN() << 100.0 << false;
    }
    void customSize() {
        QFETCH(double, w);
        QFETCH(double, h);
        QFETCH(bool, ok);
        const auto s = cardsize::customSizeInPoints(w, h);
        QCOMPARE(s.has_value(), ok);
        if (ok)
            QVERIFY(qAbs(s->width() - 419.527559) < 1e-4);
    }

    void readyTexts() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Title.txt"));
        touch(path, "  Happy Birthday \r\n\n\xC3\x89t\xC3\xA9 party\n   \nLast");
        QCOMPARE(readytexts::load(path),
                 (QStringList{QStringLiteral("Happy Birthday"), QString::fromUtf8("\xC3\x89t\xC3\xA9 party"),
                              QStringLiteral("Last")}));
        // Saved by Windows Notepad as UTF-16, or in the code page of the user's language.
        touch(path, QByteArray("\xFF\xFE\xC9\0t\0\xE9\0\n\0", 10));
        QCOMPARE(readytexts::load(path), QStringList{QStringLiteral("\u00C9t\u00E9")});
        touch(path, "\xC9t\xE9");
        QCOMPARE(readytexts::load(path), QStringList{QStringLiteral("\u00C9t\u00E9")});
        QVERIFY(readytexts::load(dir.filePath(QStringLiteral("missing.txt"))).isEmpty());
    }

    void galleryListing() {
        QTemporaryDir dir;
        for (const char* n : {"b.PNG", "a.jpg", "c.jpeg", "d.gif", "e.png"})
            touch(dir.filePath(QString::fromLatin1(n)));
        QDir(dir.path()).mkdir(QStringLiteral("sub.png"));
        FrameGallery g;
        QVERIFY(g.Load_and_fill_backgrounds(dir.path()));
        QCOMPARE(names(g),
                 (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.PNG"), QStringLiteral("e.png")}));
        QCOMPARE(g.itemAtIndex(0)->path, dir.filePath(QStringLiteral("a.jpg")));
        QVERIFY(!g.itemAtIndex(3));
        // A missing folder leaves the gallery as it was.
        QVERIFY(!g.Load_and_fill_backgrounds(dir.filePath(QStringLiteral("none"))));
        QCOMPARE(g.count(), 3);
        g.addImageWithPath(QStringLiteral("  \n"), QStringLiteral("x"), QStringLiteral("x"));
        QCOMPARE(g.count(), 3);
    }

    void galleryReorder_data() {
        QTest::addColumn<QList<int>>("indexes");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first to end") << QList<int>{0} << 4 << QStringLiteral("1230");
        QTest::newRow("last to start") << QList<int>{3} << 0 << QStringLiteral("3012");
        QTest::newRow("block") << QList<int>{3, 0} << 2 << QStringLiteral("1032");
        QTest::newRow("in place") << QList<int>{1} << 1 << QStringLiteral("0123");
        QTest::newRow("repeated") << QList<int>{1, 1} << 3 << QStringLiteral("refused");
        QTest::newRow("out of range") << QList<int>{4} << 0 << QStringLiteral("refused");
        QTest::newRow("bad destination") << QList<int>{0} << 5 << QStringLiteral("refused");
        QTest::newRow("nothing") << QList<int>{} << 0 << QStringLiteral("refused");
    }
    void galleryReorder() {
        QFETCH(QList<int>, indexes);
        QFETCH(int, destination);
        QFETCH(QString, expected);
        FrameGallery g;
        for (const char* n : {"0", "1", "2", "3"})
            g.addImageWithPath(QStringLiteral("/f/") + QLatin1String(n), QLatin1String(n), QLatin1String(n));
        const bool ok = g.moveItemsAtIndexes(indexes, destination);
        QCOMPARE(ok, expected != QStringLiteral("refused"));
        QCOMPARE(names(g).join(QString()), ok ? expected : QStringLiteral("0123"));
    }

    void templateNameChecks_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("passed");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("accepted"); // empty: refused
        QTest::addColumn<QString>("prompt");
        const struct {
            const char* tag;
            QString typed, passed;
            bool yes;
            QString accepted, prompt;
        } rows[] = {
            {"new", "  Party  ", {}, true, "Party", {}},
            {"blank", "   ", {}, true, {}, "Please enter template name."},
            {"reserved only", "/?*", {}, true, {}, "Please enter template name."},
            {"ends cleaned", "\"Gala\"", {}, true, "Gala", {}},
            {"separators removed", "a/../../b", {}, true, "a....b", {}},
            {"dot dot", "..", {}, true, {}, "\"..\" can't be used as a name."},
            {"hidden", ".x", {}, true, {}, "A name can't start with a dot."},
            {"too long", QString(121, QLatin1Char('n')), {}, true, {},
             "A name can have at most 120 characters."},
            {"replace yes", "Mine", {}, true, "Mine",
             "Template with this name already exists, Do you want to replace the existing template?"},
            {"replace no", "Mine", {}, false, {},
             "Template with this name already exists, Do you want to replace the existing template?"},
            {"built-in", "wedding", {}, true, {},
             "A built-in template has this name. Please enter another name."},
            {"rename same", "Mine", "Mine", true, "Mine", {}},
            {"rename onto other", "Other", "Mine", true, {}, "Template with this name already exists."},
            {"rename free", "Fresh", "Mine", true, "Fresh", {}},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << r.typed << r.passed << r.yes << r.accepted << r.prompt;
    }
    void templateNameChecks() {
        QFETCH(QString, typed);
        QFETCH(QString, passed);
        QFETCH(bool, yes);
        QFETCH(QString, accepted);
        QFETCH(QString, prompt);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("User"));
        touch(dir.filePath(QStringLiteral("Wedding.kvto")));
        touch(dir.filePath(QStringLiteral("User/Mine.kvto")));
        touch(dir.filePath(QStringLiteral("User/Other.kvto")));
        const TemplateStore store(dir.path(), dir.filePath(QStringLiteral("User")));
        RecordingPrompt rec;
        rec.answer = yes;
        setPromptHandler(&rec);
        const TemplateNameCheck c = store.checkName(typed, passed);
        setPromptHandler(nullptr);
        QCOMPARE(c.accepted, !accepted.isEmpty());
        QCOMPARE(c.name, accepted);
        QCOMPARE(rec.texts, prompt.isEmpty() ? QStringList() : QStringList{prompt});
    }

    void templateFiles() {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("Wedding.kvto")), "builtin");
        touch(dir.filePath(QStringLiteral("Wedding.png")), "png");
        const TemplateStore store(dir.path(), dir.filePath(QStringLiteral("User")));
        QImage preview = filledImage(QSize(20, 40), Qt::red);
        QString error;
        QVERIFY2(store.save(QStringLiteral("Party"), "design-1", preview, &error), qPrintable(error));
        QVERIFY(store.save(QStringLiteral("Alpha"), "design-2", preview, &error));
        // Replacing keeps one file of each.
        QVERIFY(store.save(QStringLiteral("Party"), "design-3", preview, &error));

        auto list = store.list();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].name, QStringLiteral("Wedding"));
        QVERIFY(list[0].builtIn);
        QCOMPARE(list[1].name, QStringLiteral("Alpha"));
        QCOMPARE(list[2].name, QStringLiteral("Party"));
        QVERIFY(!list[2].builtIn);
        QCOMPARE(readBytes(list[2].designPath), QByteArray("design-3"));
        QCOMPARE(QImage(list[2].previewPath).size(), QSize(20, 40));

        // Rename: new files in place, old ones gone; onto an existing name refused and nothing lost.
        QVERIFY(store.rename(QStringLiteral("Party"), QStringLiteral("Gala"), &error));
        QVERIFY(!store.userTemplateExists(QStringLiteral("Party")));
        QVERIFY(QFileInfo::exists(store.previewPath(QStringLiteral("Gala"))));
        QVERIFY(!store.rename(QStringLiteral("Gala"), QStringLiteral("Alpha"), &error));
        QVERIFY(store.userTemplateExists(QStringLiteral("Gala")));
        QVERIFY(!store.rename(QStringLiteral("Gala"), QStringLiteral("../escape"), &error));
        QVERIFY(QDir(dir.path()).entryList({QStringLiteral("escape*")}).isEmpty());

        // Copy a built-in template into the user folder; the built-in one stays.
        QVERIFY(store.copy(list[0], QStringLiteral("My Wedding"), &error));
        QVERIFY(store.userTemplateExists(QStringLiteral("My Wedding")));

        // Delete: user templates only.
        QVERIFY(store.remove(QStringLiteral("Gala"), &error));
        QVERIFY(!QFileInfo::exists(store.previewPath(QStringLiteral("Gala"))));
        QVERIFY(!store.remove(QStringLiteral("Wedding"), &error));
        QVERIFY(!store.remove(QStringLiteral("../Wedding"), &error));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("Wedding.kvto"))));
        QCOMPARE(store.list().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestWizardEngine)
#include "test_wizard_engine.moc"
