#include "FileBytes.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/SeriesFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct RecordingPrompt : PromptHandler {
    QStringList messages;
    void message(const QString& text) override { messages << text; }
    bool yesNo(const QString&) override { return false; }
};
} // namespace

class TestSeriesFiles : public QObject {
    Q_OBJECT
    QTemporaryDir root;

private slots:
    void init()
    {
        QVERIFY(root.isValid());
        Data_Folder_Path = root.filePath(QStringLiteral("DataSet"));
        QDir(Data_Folder_Path).removeRecursively();
        QVERIFY(QDir().mkpath(Data_Folder_Path));
    }

    void names_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("clean");
        QTest::newRow("plain") << QStringLiteral("Guests") << QStringLiteral("Guests");
        QTest::newRow("reserved at ends") << QStringLiteral("/Guests?") << QStringLiteral("Guests");
        QTest::newRow("reserved and blanks") << QStringLiteral(" * Guests | ") << QStringLiteral("Guests");
        QTest::newRow("slash inside") << QStringLiteral("a/b") << QStringLiteral("ab");
        QTest::newRow("backslash inside") << QStringLiteral("a\\b") << QStringLiteral("ab");
        QTest::newRow("parent") << QStringLiteral("..") << QString();
        QTest::newRow("dot") << QStringLiteral(".") << QString();
        QTest::newRow("escape") << QStringLiteral("../../etc/passwd") << QString();
        QTest::newRow("escape without dots") << QStringLiteral("/etc/passwd") << QStringLiteral("etcpasswd");
        QTest::newRow("hidden") << QStringLiteral(".hidden") << QString();
        QTest::newRow("empty") << QStringLiteral(" /?* ") << QString();
        QTest::newRow("too long") << QString(201, u'x') << QString();
        QTest::newRow("long non-latin fits") << QString(66, QChar(0x65E5)) << QString(66, QChar(0x65E5));
        QTest::newRow("long non-latin too long") << QString(67, QChar(0x65E5)) << QString();
        QTest::newRow("control inside") << QStringLiteral("a\x01z") << QStringLiteral("az");
        QTest::newRow("accents") << QStringLiteral("Café liste") << QStringLiteral("Café liste");
    }
    void names()
    {
        QFETCH(QString, typed);
        QFETCH(QString, clean);
        QCOMPARE(SeriesFiles::cleanName(typed), clean);
        QVERIFY(SeriesFiles::filePath(typed).isEmpty() || typed == clean);
        if (!clean.isEmpty())
            QCOMPARE(QFileInfo(SeriesFiles::filePath(clean)).absolutePath(),
                     QFileInfo(Data_Folder_Path).absoluteFilePath());
    }

    void listingIsFilteredAndSorted()
    {
        const QDir d(Data_Folder_Path);
        writeBytes(d.filePath("b.txt"), "1\n");
        writeBytes(d.filePath("A.txt"), "1\n");
        writeBytes(d.filePath("a.txt"), "1\n");
        writeBytes(d.filePath("notes.csv"), "1\n");
        writeBytes(d.filePath(".hidden.txt"), "1\n");
        writeBytes(d.filePath("UPPER.TXT"), "1\n");
        QVERIFY(d.mkdir("folder.txt"));
        QVERIFY(QFile::link(d.filePath("b.txt"), d.filePath("link.txt")));
        QCOMPARE(SeriesFiles::Get_datasheet_File_Name_Array(),
                 QStringList({QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("b")}));
        Data_Folder_Path = root.filePath("missing");
        QVERIFY(SeriesFiles::Get_datasheet_File_Name_Array().isEmpty());
    }

    void writeFormat()
    {
        QVERIFY(SeriesFiles::writeSeries("s", {"a", "b"}));
        QCOMPARE(readBytes(SeriesFiles::filePath("s")), QByteArray("a\nb\n"));
        // Inner line breaks would split one value into several: they become spaces.
        QVERIFY(SeriesFiles::writeSeries("s", {"x\ny", "p\r\nq", "Zoë 日本"}));
        QCOMPARE(readBytes(SeriesFiles::filePath("s")), QString("x y\np q\nZoë 日本\n").toUtf8());
        QVERIFY(SeriesFiles::writeSeries("s", {"r"}, nullptr, SeriesFiles::WriteMode::Append));
        QCOMPARE(SeriesFiles::readForBinding("s").value(), QStringList({"x y", "p q", "Zoë 日本", "r"}));
        // Pooled values are written alike.
        const QStringList mixed{"x\ny", "p\r\nq", "Zoë 日本", "t\tb", "c\u0085d", "", "\u2028"};
        QVERIFY(SeriesFiles::writeSeries("p", PooledValues::fromStringList(mixed)));
        QVERIFY(SeriesFiles::writeSeries("q", mixed));
        QCOMPARE(readBytes(SeriesFiles::filePath("p")), readBytes(SeriesFiles::filePath("q")));
        QString err;
        QVERIFY(!SeriesFiles::writeSeries("../x", {"a"}, &err));
        QVERIFY(err.startsWith("Error in file accessing."));
    }

    void failedWriteKeepsOldFile()
    {
        QVERIFY(SeriesFiles::writeSeries("keep", {"old"}));
        QFile::setPermissions(Data_Folder_Path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QString err;
        const bool ok = SeriesFiles::writeSeries("keep", {"new"}, &err);
        QFile::setPermissions(Data_Folder_Path,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (ok)
            QSKIP("running with privileges that ignore folder permissions");
        QVERIFY(err.startsWith("Error in file accessing."));
        QCOMPARE(readBytes(SeriesFiles::filePath("keep")), QByteArray("old\n"));
    }

    void readers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("binding");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("viewer");
        QTest::newRow("empty inner line") << QByteArray("x\n\ny\n") << QStringList{"x", "", "y"} << "x"
                                          << QStringList{"x", "y"};
        QTest::newRow("empty file") << QByteArray() << QStringList{""} << "" << QStringList{};
        QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF" "first\nsecond\n") << QStringList{"first", "second"}
                             << "first" << QStringList{"first", "second"};
        QTest::newRow("bom only") << QByteArray("\xEF\xBB\xBF") << QStringList{""} << "" << QStringList{};
        QTest::newRow("utf-16le") << QByteArray("\xFF\xFE" "Z\0\xEB\0\r\0\n\0\x65\x65\0\0", 12)
                                  << QStringList{"Zë", "\u6565"} << "Zë" << QStringList{"Zë", "\u6565"};
        QTest::newRow("utf-16be") << QByteArray("\xFE\xFF\0a\0\n\0b", 8) << QStringList{"a", "b"} << "a"
                                  << QStringList{"a", "b"};
        QTest::newRow("utf-16le without mark")
            << QByteArray("\x18\x04\x32\x04,\0 \0\n\0\x1F\x04", 12) << QStringList{"Ив, ", "П"} << "Ив, "
            << QStringList{"Ив,", "П"};
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"} << "a" << QStringList{"a", "b"};
        QTest::newRow("untrimmed first") << QByteArray("  v \nw") << QStringList{"v \nw"}.first().split('\n')
                                         << "  v " << QStringList{"v", "w"};
    }
    void readers()
    {
        QFETCH(QByteArray, bytes);
        writeBytes(SeriesFiles::filePath("r"), bytes);
        QTEST(SeriesFiles::readForBinding("r").value(), "binding");
        QTEST(SeriesFiles::Get_First_Value_Of_Dataset("r"), "first");
        QTEST(SeriesFiles::readForViewer("r"), "viewer");
    }

    // A file that is not UTF-8 is read in the code page of the user's language, as the importer reads such text; the user is told
    // once, however often it is read.
    void unreadableFiles()
    {
        QVERIFY(!SeriesFiles::readForBinding("missing"));
        RecordingPrompt prompt;
        setPromptHandler(&prompt);
        writeBytes(SeriesFiles::filePath("latin1"), QByteArray("caf\xE9\n\x93quoted\x94\n"));
        QCOMPARE(SeriesFiles::readForBinding("latin1").value(), (QStringList{"café", "\u201Cquoted\u201D"}));
        QCOMPARE(SeriesFiles::readForViewer("latin1"), (QStringList{"café", "\u201Cquoted\u201D"}));
        QCOMPARE(SeriesFiles::Get_First_Value_Of_Dataset("latin1"), QStringLiteral("café"));
        const QLocale before;
        QLocale::setDefault(QLocale("ru_RU")); // a Russian user's file is Windows-1251
        writeBytes(SeriesFiles::filePath("cyrillic"), QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2\n"));
        QCOMPARE(SeriesFiles::readForBinding("cyrillic").value(), QStringList{"Привет"});
        QCOMPARE(prompt.messages.value(1),
                 "The series \"cyrillic\" is not saved as UTF-8 text; it was read as Windows-1251 (Cyrillic) text.");
        // Values appended by the program keep the old text and reopen as written.
        QVERIFY(SeriesFiles::writeSeries("cyrillic", {"Zoë"}, nullptr, SeriesFiles::WriteMode::Append));
        QCOMPARE(SeriesFiles::readForBinding("cyrillic").value(), (QStringList{"Привет", "Zoë"}));
        // Bytes that are no Shift_JIS text are read, and named, as Windows-1252.
        QLocale::setDefault(QLocale("ja_JP"));
        writeBytes(SeriesFiles::filePath("western"), QByteArray("caf\xE9\n"));
        QCOMPARE(SeriesFiles::readForBinding("western").value(), QStringList{"café"});
        QCOMPARE(prompt.messages.value(2),
                 "The series \"western\" is not saved as UTF-8 text; it was read as Windows-1252 (Western European) text.");
        QLocale::setDefault(before);
        // A UTF-8 file with a stray byte stays UTF-8, and the line is named once.
        writeBytes(SeriesFiles::filePath("stray"), QByteArray("Z\xC3\xBC\xC3\xAB\nb\xFF\n"));
        QCOMPARE(SeriesFiles::readForBinding("stray").value(), (QStringList{"Züë", "b\uFFFD"}));
        QCOMPARE(SeriesFiles::readForViewer("stray"), (QStringList{"Züë", "b\uFFFD"}));
        QCOMPARE(prompt.messages.size(), 4);
        QCOMPARE(prompt.messages.value(3),
                 "The series \"stray\" is read as UTF-8 text, but line 2 holds bytes that "
                 "are no UTF-8 text; they read as \"\uFFFD\".");
        setPromptHandler(nullptr);
        QCOMPARE(prompt.messages.value(0), SeriesFiles::notUtf8Message("latin1"));
    }

    // Control characters never reach a series file; tab stays, line breaks become spaces.
    void controlsNotWritten()
    {
        QVERIFY(SeriesFiles::writeSeries("c", {QStringLiteral("a\u0000b\tc"), QStringLiteral("x\u001B\ny\u007F")}));
        QCOMPARE(readBytes(SeriesFiles::filePath("c")), QByteArray("ab\tc\nx y\n"));
    }
};

QTEST_GUILESS_MAIN(TestSeriesFiles)
#include "test_series_files.moc"
