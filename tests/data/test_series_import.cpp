#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/SeriesFiles.h"
#include "data/SeriesImport.h"
#include "data/XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace SeriesImport;

namespace {
class ScriptedPrompt : public PromptHandler {
public:
    QStringList messages;
    QStringList questions;
    bool answer = true;
    void message(const QString& text) override { messages << text; }
    bool yesNo(const QString& question) override {
        questions << question;
        return answer;
    }
};

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readRaw(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestSeriesImport : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    ScriptedPrompt prompt;

private slots:
    void init() {
        QVERIFY(root.isValid());
        Data_Folder_Path = root.filePath(QStringLiteral("DataSet"));
        QDir(Data_Folder_Path).removeRecursively();
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        prompt = ScriptedPrompt();
        setPromptHandler(&prompt);
    }
    void cleanup() { setPromptHandler(nullptr); }

    void cleaning_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clean");
        QTest::newRow("braces") << "C{x}"
                                << "Cx";
        QTest::newRow("backslash") << "a\\b"
                                   << "ab";
        QTest::newRow("blanks and CR") << "  B \r"
                                       << "B";
        QTest::newRow("only braces") << "{}"
                                     << "";
    }
    void cleaning() {
        QFETCH(QString, text);
        QFETCH(QString, clean);
        QCOMPARE(chk_and_insert_validation(text), clean);
    }

    void textValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("values");
        const int plain = int(TextKind::Plain), csv = int(TextKind::Csv);
        QTest::newRow("plain lines") << "A\n\n B \nC{x}" << plain << QStringList{"A", "B", "Cx"};
        QTest::newRow("font line ends import")
            << "one\ntwo\nNSFont = Helvetica\nfour" << plain << QStringList{"one", "two"};
        QTest::newRow("CR LF") << "a\r\nb\r\n" << plain << QStringList{"a", "b"};
        QTest::newRow("CR only is one line") << "a\rb" << plain << QStringList{"a\rb"};
        QTest::newRow("csv CR") << "1,2\r3,4\r5" << csv << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("csv CR LF") << "1,2\r\n3,4\r\n" << csv << QStringList{"1", "2", "3", "4"};
        QTest::newRow("csv LF") << "a,b\nc,d" << csv << QStringList{"a", "b", "c", "d"};
        QTest::newRow("csv font piece") << "a,NSFont = x,b\rc,d" << csv << QStringList{"a", "c", "d"};
        QTest::newRow("csv quotes read") << "\"a\",b" << csv << QStringList{"a", "b"};
        QTest::newRow("csv empty pieces") << "a,,b,\r" << csv << QStringList{"a", "b"};
        QTest::newRow("csv comma in quotes") << "\"Smith, John\",x\n" << csv << QStringList{"Smith, John", "x"};
        QTest::newRow("csv doubled quote") << "\"Say \"\"hi\"\"\",x" << csv << QStringList{"Say \"hi\"", "x"};
        QTest::newRow("csv line break in quotes")
            << "\"one\r\ntwo\",x\r\ny,z" << csv << QStringList{"one\ntwo", "x", "y", "z"};
        QTest::newRow("csv quoted comma alone is one field")
            << "\"a,b\"\nc,d" << csv << QStringList{"a,b", "c", "d"};
        QTest::newRow("csv quote inside a field stays") << "5\" disk,\"x\"y" << csv << QStringList{"5\" disk", "xy"};
    }
    void textValues() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QStringList, values);
        QCOMPARE(valuesOfText(text, TextKind(kind)), values);
    }

    // Comma, semicolon and tab files, one-column files, and a quote that never closes.
    void csvDialects_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("error");
        const QString ok;
        QTest::newRow("semicolon, decimal commas")
            << "Name;Price;City\r\nAnna;1,5;Oslo\r\nBen;2,25;\"Rome; Italy\"\r\n"
            << QStringList{"Name", "Price", "City", "Anna", "1,5", "Oslo", "Ben", "2,25", "Rome; Italy"} << ok;
        QTest::newRow("tab") << "a\tb, c\n1\t2\n" << QStringList{"a", "b, c", "1", "2"} << ok;
        QTest::newRow("one column") << "Anna\nBen Ode\n\nCarl\n" << QStringList{"Anna", "Ben Ode", "Carl"} << ok;
        QTest::newRow("one quoted column with commas")
            << "\"Smith, John\"\n\"Doe, Jane\"\n" << QStringList{"Smith, John", "Doe, Jane"} << ok;
        QTest::newRow("separators only inside quotes do not count")
            << "\"a;b;c\",d\n\"e;f;g\",h" << QStringList{"a;b;c", "d", "e;f;g", "h"} << ok;
        QTest::newRow("unclosed quote") << "a,b\nc,\"d,e\nf,g\nh" << QStringList{} << unclosedQuoteMessage(2);
        QTest::newRow("unclosed quote after a quoted line break")
            << "\"x\r\ny\",1\r\n2,3\r\n\"4" << QStringList{} << unclosedQuoteMessage(4);
    }
    void csvDialects() {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QFETCH(QString, error);
        QString got;
        QCOMPARE(valuesOfText(text, TextKind::Csv, &got), values);
        QCOMPARE(got, error);
        const QString path = root.filePath("dialect.csv");
        writeRaw(path, text.toUtf8());
        const TextImport read = importTextFile(path);
        QCOMPARE(read.values, values);
        QCOMPARE(read.error, error);
    }

    // NUL and other control characters never reach a value; line breaks and tabs stay where they mean something.
    void controlsRemovedOnImport() {
        const QString nul(QChar(0)), esc(QChar(0x1B)), bell(QChar(7)), c1(QChar(0x85));
        const QString text = "a" + nul + "b\n" + bell + esc + "\nc" + esc + "d\te" + c1;
        QCOMPARE(valuesOfText(text, TextKind::Plain), (QStringList{"ab", "cd\te"}));
        QCOMPARE(valuesOfText("x" + nul + ",\"y" + bell + "\nz\"\n" + esc, TextKind::Csv), (QStringList{"x", "y\nz"}));
        QCOMPARE(valuesOfPastedText("p" + nul + "q\n" + esc + "\nr", true), (QStringList{"pq", "r"}));
        QCOMPARE(valuesOfPastedText("p" + nul + "q\n" + esc + "\nr", false), (QStringList{"pq", "", "r"}));
    }

    void kindByExtension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("CSV") << "/x/a.CSV" << int(TextKind::Csv);
        QTest::newRow("Rtf") << "/x/a.Rtf" << int(TextKind::Rtf);
        QTest::newRow("txt") << "/x/a.txt" << int(TextKind::Plain);
        QTest::newRow("none") << "/x/a" << int(TextKind::Plain);
    }
    void kindByExtension() {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(textKindOfPath(path)), kind);
    }

    void textFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("error");
        QTest::newRow("utf8") << "a.txt" << QByteArray("Caf\xC3\xA9\nB\n") << QStringList{"Café", "B"}
                              << QString();
        QTest::newRow("utf8 bom") << "b.txt" << QByteArray("\xEF\xBB\xBFX\nY") << QStringList{"X", "Y"}
                                  << QString();
        QTest::newRow("utf16 bom") << "c.txt" << QByteArray("\xFF\xFEX\0\n\0Y\0", 8) << QStringList{"X", "Y"}
                                   << QString();
        QTest::newRow("windows-1252")
            << "d.txt" << QByteArray("Caf\xE9\n\x80") << QStringList{"Café", "€"} << QString();
        QTest::newRow("empty") << "e.txt" << QByteArray(" \n \n") << QStringList{} << noValuesMessage();
        QTest::newRow("csv upper") << "f.CSV" << QByteArray("1,2\r\n3,4") << QStringList{"1", "2", "3", "4"}
                                   << QString();
        QTest::newRow("rtf")
            << "g.rtf"
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\cocoartf1038\n{\\fonttbl\\f0\\fswiss Helvetica;}\n"
                          "{\\colortbl;\\red255\\green255\\blue255;}\n{\\*\\expandedcolortbl;;}\n"
                          "\\pard\\tx566\\pardirnatural\n\n\\f0\\fs24 \\cf0 Alpha\\\nBeta\\par "
                          "Caf\\'e9 \\{x\\}\\\n\\u8364 ? euro\\line\n{\\b Bold} end}")
            << QStringList{"Alpha", "Beta", "Café x", "€ euro", "Bold end"} << QString();
        QTest::newRow("rtf list texts")
            << "j.rtf"
            << QByteArray("{\\rtf1\\ansi{\\listtext\\pard\\plain \\u8226\\'95\\tab}Zo\\'eb\\par"
                          "{\\pntext\\f1 1.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}Two\\par"
                          "{\\pn\\pnlvlblt{\\pntxtb \\'b7}}Three\\par}")
            << QStringList{"Zoë", "Two", "Three"} << QString();
        // Code pages: the document's, a font's character set, a double-byte one; table cells one by one.
        QTest::newRow("rtf ansicpg1251")
            << "k.rtf" << QByteArray("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 "
                                     "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'ec\\'e8\\'f0\\par}")
            << QStringList{"Привет мир"} << QString();
        QTest::newRow("rtf font charsets")
            << "l.rtf"
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}"
                          "{\\f1\\fcharset238 Arial CE;}{\\f2\\fcharset128 MS Gothic;}{\\f3\\fcharset161 "
                          "Greek;}}Caf\\'e9\\par{\\f1 Wi\\'eaz\\'b9}\\par\\f2 \\'93\\'fa\\'96\\'7b\\par"
                          "\\f3\\'e1\\'e2\\par\\f0 \\'e9}")
            << QStringList{"Café", "Więzą", "日本", "αβ", "é"} << QString();
        QTest::newRow("rtf table cells")
            << "m.rtf"
            << QByteArray("{\\rtf1\\ansi{\\trowd\\cellx1000\\cellx2000\\intbl Anna\\cell Oslo\\cell\\row}"
                          "{\\trowd\\cellx1000\\cellx2000\\intbl\\cell Rome\\cell\\row}}")
            << QStringList{"Anna", "Oslo", "Rome"} << QString();
        QTest::newRow("rtf that is not rtf")
            << "h.rtf" << QByteArray("plain words") << QStringList{} << corruptMessage();
        QTest::newRow("rtf without text")
            << "i.rtf" << QByteArray("{\\rtf1{\\fonttbl\\f0 Times;}}") << QStringList{} << noValuesMessage();
    }
    void textFiles() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, values);
        QFETCH(QString, error);
        const QString path = root.filePath(file);
        writeRaw(path, bytes);
        const TextImport read = importTextFile(path);
        QCOMPARE(read.error, error);
        QCOMPARE(read.values, values);
    }

    void missingFile() {
        QCOMPARE(importTextFile(root.filePath("nothing.txt")).error, unreadableMessage());
        QCOMPARE(importTextFile(root.path()).error, unreadableMessage()); // a folder
    }

    void pasted_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fileMode");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("file skips blank lines") << "\n a\n\n  \nb\n" << true << QStringList{"a", "  ", "b"};
        QTest::newRow("list keeps every line") << "a\n\nb" << false << QStringList{"a", "", "b"};
    }
    void pasted() {
        QFETCH(QString, text);
        QFETCH(bool, fileMode);
        QFETCH(QStringList, values);
        const auto got = valuesOfPastedText(text, fileMode);
        QVERIFY(got);
        QCOMPARE(*got, values);
        QVERIFY(!valuesOfPastedText(" \n\t ", true));
    }

    void pictureFolder() {
        const QString folder = root.filePath("pics");
        QVERIFY(QDir().mkpath(folder + "/c.jpg"));
        QVERIFY(QDir().mkpath(folder + "/sub"));
        writeRaw(folder + "/b.png", "x");
        writeRaw(folder + "/a.JPG", "x");
        writeRaw(folder + "/notes.txt", "x");
        writeRaw(folder + "/sub/d.png", "x");
        QCOMPARE(pictureFolderValues(folder), (QStringList{folder + "/a.JPG", folder + "/b.png"}));

        // Natural order: numbers by value, accents and case as a reader sorts them.
        const QString natural = root.filePath("natural");
        QVERIFY(QDir().mkpath(natural));
        const QStringList names{"Ete 02.png", "Été 03.png", "ete 04.png", "img2.png", "img10.png", "Zoo.png"};
        for (const QString& n : names)
            writeRaw(natural + "/" + n, "x");
        QStringList expected;
        for (const QString& n : names)
            expected << natural + "/" + n;
        QCOMPARE(pictureFolderValues(natural), expected);
        QStringList german{"Zebra", "Äpfel", "Apfel2", "Apfel10"};
        sortNaturally(german, QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(german, (QStringList{"Äpfel", "Apfel2", "Apfel10", "Zebra"}));
        QVERIFY(pictureFolderValues(root.filePath("none")).isEmpty());
        std::atomic<bool> stop{true};
        QVERIFY(pictureFolderValues(folder, &stop).isEmpty());
    }

    void names_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Guests"
                               << "Guests";
        QTest::newRow("separators removed") << "../x/y" << QString(); // leading dots stay: refused
        QTest::newRow("slashes inside") << "a/b"
                                        << "ab";
        QTest::newRow("empty") << " " << QString();
        QTest::newRow("only reserved") << "*?" << QString();
        QTest::newRow("hidden") << ".hidden" << QString();
    }
    void names() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QString problem;
        QCOMPARE(seriesNameOfTyped(typed, &problem), name);
        QCOMPARE(problem.isEmpty(), !name.isEmpty());
    }

    void saveNew() {
        QCOMPARE(saveNewSeries("Guests", {"a", "b"}), SaveResult::Saved);
        QCOMPARE(readRaw(SeriesFiles::filePath("Guests")), QByteArray("a\nb\n"));
        QVERIFY(prompt.questions.isEmpty());

        // "No" to the question keeps the old file.
        prompt.answer = false;
        QCOMPARE(saveNewSeries("Guests", {"c"}), SaveResult::Declined);
        QCOMPARE(prompt.questions, QStringList{replaceQuestion()});
        QCOMPARE(readRaw(SeriesFiles::filePath("Guests")), QByteArray("a\nb\n"));
        prompt.answer = true;
        QCOMPARE(saveNewSeries("Guests", {"c"}), SaveResult::Saved);
        QCOMPARE(readRaw(SeriesFiles::filePath("Guests")), QByteArray("c\n"));

        // A name that would leave the data folder writes nothing anywhere.
        QString message;
        QCOMPARE(saveNewSeries("../evil", {"x"}, &message), SaveResult::BadName);
        QVERIFY(!message.isEmpty());
        QVERIFY(!QFile::exists(root.filePath("evil.txt")));
        QCOMPARE(saveNewSeries("", {"x"}, &message), SaveResult::BadName);
        QCOMPARE(message, QStringLiteral("Please enter list name."));
    }

    void sheets() {
        const SheetData sheet =
            SheetData::fromRows({{"Name", " ", "City", "Zip"}, {"Ann", "x", "Oslo", ""}, {" Bob ", "", "", "9"}});
        QCOMPARE(sheetColumnTitles(sheet), (QStringList{"Name", "Untitled Column 2", "City", "Zip"}));
        QCOMPARE(sheetValuesRowByRow(sheet, {0, 2}, true), (QStringList{"Ann", "Oslo", "Bob"}));
        QCOMPARE(sheetValuesRowByRow(sheet, {0, 2}, true, true), (QStringList{"Ann", "Oslo", "Bob", ""}));
        QCOMPARE(sheetValuesRowByRow(sheet, {0}, false), (QStringList{"Name", "Ann", "Bob"}));
        QCOMPARE(sheetColumnValues(sheet, 3, true), (QStringList{"", "9"}));

        auto table = tableOfSheet(sheet, {2, 3}, true, "Row No.");
        QVERIFY(table);
        QCOMPARE(table->titles, (QStringList{"Row No.", "City", "Zip"}));
        QCOMPARE(table->rows, (QList<QStringList>{{"1", "Oslo", ""}, {"2", "", "9"}}));
        table = tableOfSheet(sheet, {0}, false, "Row No.");
        QVERIFY(table);
        QCOMPARE(table->titles, (QStringList{"Row No.", "Name"}));
        QCOMPARE(table->rows.size(), 3);
        QCOMPARE(table->rows[0], (QStringList{"1", "Name"}));

        const SheetData headerOnly = SheetData::fromRows({{"Name"}});
        QString error;
        QVERIFY(!tableOfSheet(headerOnly, {0}, true, "Row No.", &error));
        QCOMPARE(error, corruptMessage());
        QVERIFY(!tableOfSheet(sheet, {}, true, "Row No.", &error));
    }

    void workbooks() {
        const QString path = root.filePath("book.xlsx");
        QVERIFY(XlsxWriter::WriteWorkbook(path, {{"A", "B"}, {"1", "2"}}));
        SheetRead read = readWorkbookSheet(path, 0);
        QVERIFY(read.error.isEmpty());
        QCOMPARE(read.sheetNames, QStringList{"Sheet1"});
        QVERIFY(read.sheet);
        QCOMPARE(read.sheet->rowCount(), 2);
        QVERIFY(!readWorkbookSheet(path, 3).sheet);

        writeRaw(root.filePath("broken.xlsx"), "PK\x03\x04 not really a zip");
        read = readWorkbookSheet(root.filePath("broken.xlsx"), 0);
        QVERIFY(!read.sheet);
        QVERIFY(read.sheetNames.isEmpty());
        QVERIFY(!read.error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSeriesImport)
#include "test_series_import.moc"
