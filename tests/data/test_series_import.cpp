#include "FileBytes.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/SeriesFiles.h"
#include "data/SeriesImport.h"
#include "data/XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStringEncoder>
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

} // namespace

class TestSeriesImport : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    ScriptedPrompt prompt;

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // decimal points, unless a test says
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
        QTest::newRow("braces") << "C{x}" << "Cx";
        QTest::newRow("backslash") << "a\\b" << "ab";
        QTest::newRow("blanks and CR") << "  B \r" << "B";
        QTest::newRow("only braces") << "{}" << "";
    }
    void cleaning() {
        QFETCH(QString, text);
        QTEST(chk_and_insert_validation(text), "clean");
    }

    void textValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("values");
        const int plain = int(TextKind::Plain), csv = int(TextKind::Csv);
        QTest::newRow("plain lines") << "A\n\n B \nC{x}" << plain << QStringList{"A", "B", "Cx"};
        QTest::newRow("font line ends import") << "one\ntwo\nNSFont = Helvetica\nfour" << plain << QStringList{"one", "two"};
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
        QTest::newRow("csv line break in quotes") << "\"one\r\ntwo\",x\r\ny,z" << csv << QStringList{"one\ntwo", "x", "y", "z"};
        QTest::newRow("csv quoted comma alone is one field") << "\"a,b\"\nc,d" << csv << QStringList{"a,b", "c", "d"};
        QTest::newRow("csv quote inside a field stays") << "5\" disk,\"x\"y" << csv << QStringList{"5\" disk", "xy"};
    }
    void textValues() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QTEST(valuesOfText(text, TextKind(kind)), "values");
    }

    // Comma, semicolon and tab files, one-column files, and a quote that never closes; the separator a user
    // would agree with, under a locale with decimal commas (de_DE) and one with decimal points (en_US).
    void csvDialects_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("locale");
        const QString ok;
        const auto both = [&](const char* name, const QString& text, const QStringList& values) {
            for (const char* locale : {"de_DE", "en_US"})
                QTest::newRow(QByteArray(name).append(' ').append(locale)) << text << values << ok << locale;
        };
        QTest::newRow("semicolon, decimal commas") << "Name;Price;City\r\nAnna;1,5;Oslo\r\nBen;2,25;\"Rome; Italy\"\r\n" << QStringList{"Name", "Price", "City", "Anna", "1,5", "Oslo", "Ben", "2,25", "Rome; Italy"} << ok << "";
        QTest::newRow("tab") << "a\tb, c\n1\t2\n" << QStringList{"a", "b, c", "1", "2"} << ok << "";
        QTest::newRow("one column") << "Anna\nBen Ode\n\nCarl\n" << QStringList{"Anna", "Ben Ode", "Carl"} << ok << "";
        QTest::newRow("one quoted column with commas") << "\"Smith, John\"\n\"Doe, Jane\"\n" << QStringList{"Smith, John", "Doe, Jane"} << ok << "";
        QTest::newRow("separators only inside quotes do not count") << "\"a;b;c\",d\n\"e;f;g\",h" << QStringList{"a;b;c", "d", "e;f;g", "h"} << ok << "";
        QTest::newRow("unclosed quote") << "a,b\nc,\"d,e\nf,g\nh" << QStringList{} << unclosedQuoteMessage(2) << "";
        QTest::newRow("unclosed quote after a quoted line break") << "\"x\r\ny\",1\r\n2,3\r\n\"4" << QStringList{} << unclosedQuoteMessage(4) << "";
        QTest::newRow("unclosed quote after sep line") << "sep=;\na;\"b\n" << QStringList{} << unclosedQuoteMessage(2) << "";
        // A separator missing from the header does not split the values under it.
        both("German one-column list", "Name\r\nMüller, Hans\r\nSchmidt, Anna\r\nWeber, Eva\r\n", {"Name", "Müller, Hans", "Schmidt, Anna", "Weber, Eva"});
        both("price list", "Preis\r\n1,50\r\n2,25\r\n1234,50\r\n10,00\r\n", {"Preis", "1,50", "2,25", "1234,50", "10,00"});
        both("price list with dashes", "Preis\r\n5,-\r\n10,--\r\n12,50\r\n", {"Preis", "5,-", "10,--", "12,50"});
        both("tab beside a comma in every line", "Name, Vorname\tOrt\r\nM\u00fcller, Hans\tBerlin\r\nWeber, Eva\tBonn\r\n", {"Name, Vorname", "Ort", "Müller, Hans", "Berlin", "Weber, Eva", "Bonn"});
        both("one column, one semicolon", "Title\nAnna\nBen; Jr.\nCarl\n", {"Title", "Anna", "Ben; Jr.", "Carl"});
        // A title line without separators: the header is the first line that separates as a table does.
        both("title over a semicolon table", "Ums\u00e4tze Girokonto 1234567\r\nBuchungstag;Empf\u00e4nger;Betrag\r\n02.01.2024;M\u00fcller, Hans;-12,50\r\n03.01.2024;Stadtwerke;-80,00\r\n", {"Umsätze Girokonto 1234567", "Buchungstag", "Empfänger", "Betrag", "02.01.2024", "Müller, Hans", "-12,50", "03.01.2024", "Stadtwerke", "-80,00"});
        both("title over a comma table", "Account statement\nDate,Payee,Amount\n01/02/2024,\"Smith, John\",-12.50\n01/03/2024,Utility Co,-80.00\n", {"Account statement", "Date", "Payee", "Amount", "01/02/2024", "Smith, John", "-12.50", "01/03/2024", "Utility Co", "-80.00"});
        both("one-cell header over semicolon rows", "Kunden\nM\u00fcller;K\u00f6ln\nSchmidt;Bonn\n", {"Kunden", "Müller", "Köln", "Schmidt", "Bonn"});
        // A number holding two commas is a list, unless they group thousands.
        both("digits in threes", "1,2,3\n4,5,6\n7,8,9\n", {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
        both("numbers in threes", "1001,2002,3003\n4004,5005,6006\n", {"1001", "2002", "3003", "4004", "5005", "6006"});
        QTest::newRow("thousands de_DE") << "1,234,567.89\n12.50\n1,000.00\n" << QStringList{"1,234,567.89", "12.50", "1,000.00"} << ok << "de_DE";
        // Commas between digits are decimal commas when the semicolon explains the file.
        both("two decimal columns", "1,5;2,5\r\n3,25;4\r\n", {"1,5", "2,5", "3,25", "4"});
        both("ragged semicolons, decimal commas", "1,5;2,5;x\n4,75\n6;7,25\nA, B;8\n", {"1,5", "2,5", "x", "4,75", "6", "7,25", "A, B", "8"});
        // Excel's first line names the separator and is no value.
        both("sep line", "sep=;\r\na,b;c\r\n1,5;2\r\n", {"a,b", "c", "1,5", "2"});
        both("sep line of another character", "SEP=|\nx|y, z\n", {"x", "y, z"});
        both("sep line for a comma", "sep=,\n1,5;2\n", {"1", "5;2"});
        both("sep line alone", "sep=;", {});
        // Numbers alone: decimal commas where the user writes them; ties go to the semicolon there.
        QTest::newRow("digit pairs de_DE") << "1,2\r3,4\r5" << QStringList{"1,2", "3,4", "5"} << ok << "de_DE";
        QTest::newRow("digit pairs en_US") << "1,2\r3,4\r5" << QStringList{"1", "2", "3", "4", "5"} << ok << "en_US";
        QTest::newRow("tie de_DE") << "a;b,c\nd;e,f" << QStringList{"a", "b,c", "d", "e,f"} << ok << "de_DE";
        QTest::newRow("tie en_US") << "a;b,c\nd;e,f" << QStringList{"a;b", "c", "d;e", "f"} << ok << "en_US";
    }
    void csvDialects() {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QFETCH(QString, error);
        QFETCH(QString, locale);
        const QLocale before;
        if (!locale.isEmpty())
            QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        QString got;
        QCOMPARE(valuesOfText(text, TextKind::Csv, &got), values);
        QCOMPARE(got, error);
        const QString path = root.filePath("dialect.csv");
        writeBytes(path, text.toUtf8());
        const TextImport read = importTextFile(path);
        QCOMPARE(read.values.toStringList(), values);
        QCOMPARE(read.error, error.isEmpty() && values.isEmpty() ? noValuesMessage() : error);
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
        QTEST(int(textKindOfPath(path)), "kind");
    }

    void textFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("error");
        QTest::newRow("utf8") << "a.txt" << QByteArray("Caf\xC3\xA9\nB\n") << QStringList{"Café", "B"} << QString();
        QTest::newRow("utf8 bom") << "b.txt" << QByteArray("\xEF\xBB\xBFX\nY") << QStringList{"X", "Y"} << QString();
        QTest::newRow("utf16 bom") << "c.txt" << QByteArray("\xFF\xFEX\0\n\0Y\0", 8) << QStringList{"X", "Y"} << QString();
        QTest::newRow("windows-1252") << "d.txt" << QByteArray("Caf\xE9\n\x80") << QStringList{"Café", "€"} << QString();
        QTest::newRow("empty") << "e.txt" << QByteArray(" \n \n") << QStringList{} << noValuesMessage();
        QTest::newRow("utf16 without mark") << "n.txt" << QByteArray("A\0B\0\n\0C\0", 8) << QStringList{"AB", "C"} << QString();
        QTest::newRow("csv upper") << "f.CSV" << QByteArray("1,2\r\n3,4") << QStringList{"1", "2", "3", "4"} << QString();
        QTest::newRow("rtf") << "g.rtf" << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\cocoartf1038\n{\\fonttbl\\f0\\fswiss Helvetica;}\n{\\colortbl;\\red255\\green255\\blue255;}\n{\\*\\expandedcolortbl;;}\n\\pard\\tx566\\pardirnatural\n\n\\f0\\fs24 \\cf0 Alpha\\\nBeta\\par Caf\\'e9 \\{x\\}\\\n\\u8364 ? euro\\line\n{\\b Bold} end}") << QStringList{"Alpha", "Beta", "Café x", "€ euro", "Bold end"} << QString();
        QTest::newRow("rtf list texts") << "j.rtf" << QByteArray("{\\rtf1\\ansi{\\listtext\\pard\\plain \\u8226\\'95\\tab}Zo\\'eb\\par{\\pntext\\f1 1.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}Two\\par{\\pn\\pnlvlblt{\\pntxtb \\'b7}}Three\\par}") << QStringList{"Zoë", "Two", "Three"} << QString();
        // Code pages: the document's, a font's character set, a double-byte one; table cells one by one.
        QTest::newRow("rtf ansicpg1251") << "k.rtf" << QByteArray("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'ec\\'e8\\'f0\\par}") << QStringList{"Привет мир"} << QString();
        QTest::newRow("rtf font charsets") << "l.rtf" << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset238 Arial CE;}{\\f2\\fcharset128 MS Gothic;}{\\f3\\fcharset161 Greek;}}Caf\\'e9\\par{\\f1 Wi\\'eaz\\'b9}\\par\\f2 \\'93\\'fa\\'96\\'7b\\par\\f3\\'e1\\'e2\\par\\f0 \\'e9}") << QStringList{"Café", "Więzą", "日本", "αβ", "é"} << QString();
        QTest::newRow("rtf charset 0 in a 1251 document") << "o.rtf" << QByteArray("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial Cyr;}{\\f2 Arial;}}\\f0 Caf\\'e9\\par\\f1 \\'cf\\'f0\\'e8\\par\\f2 \\'ec\\'e8\\par}") << QStringList{"Café", "При", "ми"} << QString();
        QTest::newRow("rtf nested deeper than writers nest") << "p.rtf" << QByteArray("{\\rtf1\\ansi ") + QByteArray(5000, '{') + "x" + QByteArray(5000, '}') + "\\par y}" << QStringList{"x", "y"} << QString();
        QTest::newRow("rtf table cells") << "m.rtf" << QByteArray("{\\rtf1\\ansi{\\trowd\\cellx1000\\cellx2000\\intbl Anna\\cell Oslo\\cell\\row}{\\trowd\\cellx1000\\cellx2000\\intbl\\cell Rome\\cell\\row}}") << QStringList{"Anna", "Oslo", "Rome"} << QString();
        QTest::newRow("rtf that is not rtf") << "h.rtf" << QByteArray("plain words") << QStringList{} << corruptMessage();
        QTest::newRow("rtf without text") << "i.rtf" << QByteArray("{\\rtf1{\\fonttbl\\f0 Times;}}") << QStringList{} << noValuesMessage();
    }
    void textFiles() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, values);
        QFETCH(QString, error);
        const QString path = root.filePath(file);
        writeBytes(path, bytes);
        const TextImport read = importTextFile(path);
        QCOMPARE(read.error, error);
        QCOMPARE(read.values.toStringList(), values);
    }

    // A byte order mark decides; UTF-16 without one is recognised; UTF-8 with a few bad bytes stays UTF-8
    // (U+FFFD, the first such line named); other bytes read in the user's Windows code page, named.
    void encodings_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("note");
        const auto page = [](const char* shown) {
            return QStringLiteral("The file \"read.csv\" is not saved as UTF-8 text; it was read as %1 text. If letters look wrong, save it as UTF-8 text and import it again.").arg(QLatin1String(shown));
        };
        const auto utf16 = [](const QString& text, bool little) { return QByteArray(QStringEncoder(little ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE).encode(text)); };
        const QString none;
        QTest::newRow("Western") << "de_DE" << QByteArray("M\xFCller;1,5\r\n\x80") << QStringList{"Müller", "1,5", "€"} << page("Windows-1252 (Western European)");
        QTest::newRow("Cyrillic") << "ru_RU" << QByteArray("\xC8\xEC\xFF;\xD1\xF3\xEC\xEC\xE0\r\n") << QStringList{"Имя", "Сумма"} << page("Windows-1251 (Cyrillic)");
        QTest::newRow("Western under a Russian locale") << "ru_RU" << QByteArray("R\xE9gine M\xFCller") << QStringList{"Rйgine Mьller"} << page("Windows-1251 (Cyrillic)");
        QTest::newRow("Turkish") << "tr_TR" << QByteArray("\xDE\xFCkr\xFC;\xDD\xD0\xFD") << QStringList{"Şükrü", "İĞı"} << page("Windows-1254 (Turkish)");
        QTest::newRow("Japanese") << "ja_JP" << QByteArray("\x96\xBC\x91\x4F,\xB6\xC0\xB6\xC5") << QStringList{"名前", "ｶﾀｶﾅ"} << page("Shift_JIS (Japanese)");
        QTest::newRow("Western bytes in Japan") << "ja_JP" << QByteArray("Caf\xE9") << QStringList{"Café"} << page("Windows-1252 (Western European)");
        const QByteArray longFile = QByteArray("M\xC3\xBCller;K\xC3\xB6ln\n").repeated(2000);
        QStringList longValues;
        for (int i = 0; i < 2000; ++i)
            longValues << "Müller" << "Köln";
        QTest::newRow("UTF-8 with a bad byte at the end") << "de_DE" << longFile + "Ende;Caf\xE9\n" << longValues + QStringList{"Ende", "Caf\uFFFD"} << "The file \"read.csv\" is read as UTF-8 text, but line 2001 holds bytes that are no UTF-8 text; they read as \"\uFFFD\".";
        QTest::newRow("UTF-8 with bad bytes on two lines") << "en_US" << QByteArray("Zo\xC3\xAB;a\n\xC3\xA9t\xC3\xA9;\xE2\x82\n\xFF;Z\xC3\xBC") << QStringList{"Zoë", "a", "été", "\uFFFD", "\uFFFD", "Zü"} << "The file \"read.csv\" is read as UTF-8 text, but 2 places hold bytes that are no UTF-8 text, the first on line 2; they read as \"\uFFFD\".";
        QTest::newRow("UTF-8 mark with a bad byte") << "en_US" << QByteArray("\xEF\xBB\xBFx\xFF;y") << QStringList{"x\uFFFD", "y"} << "The file \"read.csv\" is read as UTF-8 text, but line 1 holds bytes that are no UTF-8 text; they read as \"\uFFFD\".";
        const QString cyrillic = QStringLiteral("Иванов, Пётр;Москва\r\nΑθήνα;Ελλάδα\r\n");
        const QStringList cyrillicValues{"Иванов, Пётр", "Москва", "Αθήνα", "Ελλάδα"};
        QTest::newRow("UTF-16 LE without a mark") << "en_US" << utf16(cyrillic, true) << cyrillicValues << none;
        QTest::newRow("UTF-16 BE without a mark") << "de_DE" << utf16(cyrillic, false) << cyrillicValues << none;
        QTest::newRow("UTF-16 Greek word alone") << "ru_RU" << utf16(QStringLiteral("Ελλάδα"), true) << QStringList{"Ελλάδα"} << none;
        QTest::newRow("UTF-16 Japanese lines") << "ja_JP" << utf16(QStringLiteral("東京都\r\n大阪府\r\n"), true) << QStringList{"東京都", "大阪府"} << none;
        QTest::newRow("UTF-16 mark, a lone surrogate") << "en_US" << QByteArray("\xFF\xFEx\0\n\0a\0\0\xD8;\0b\0", 14) << QStringList{"x", "a\uFFFD", "b"} << "The file \"read.csv\" is read as UTF-16 text, but line 2 holds bytes that are no UTF-16 text; they read as \"\uFFFD\".";
    }
    void encodings() {
        QFETCH(QString, locale);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, values);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        const QString path = root.filePath("read.csv");
        writeBytes(path, bytes);
        const TextImport read = importTextFile(path);
        QCOMPARE(read.values.toStringList(), values);
        QTEST(read.note, "note");
        QVERIFY(textFileToString(bytes).contains(values.first()));
    }

    void missingFile() {
        QCOMPARE(importTextFile(root.filePath("nothing.txt")).error, unreadableMessage());
        QCOMPARE(importTextFile(root.path()).error, unreadableMessage()); // a folder
        QFile big(root.filePath("big.csv"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(MaxSourceBytes + 1)); // sparse
        big.close();
        const TextImport read = importTextFile(big.fileName());
        QVERIFY2(read.error.startsWith(tooLargeMessage(QString())), qPrintable(read.error));
        QVERIFY(read.values.isEmpty());
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
        const auto got = valuesOfPastedText(text, fileMode);
        QVERIFY(got);
        QTEST(*got, "values");
        QVERIFY(!valuesOfPastedText(" \n\t ", true));
    }

    void pictureFolder() {
        const QString folder = root.filePath("pics");
        QVERIFY(QDir().mkpath(folder + "/c.jpg"));
        QVERIFY(QDir().mkpath(folder + "/sub"));
        writeBytes(folder + "/b.png", "x");
        writeBytes(folder + "/a.JPG", "x");
        writeBytes(folder + "/notes.txt", "x");
        writeBytes(folder + "/sub/d.png", "x");
        QCOMPARE(pictureFolderValues(folder), (QStringList{folder + "/a.JPG", folder + "/b.png"}));

        // Natural order: numbers by value, accents and case as a reader sorts them.
        const QString natural = root.filePath("natural");
        QVERIFY(QDir().mkpath(natural));
        const QStringList names{"Ete 02.png", "Été 03.png", "ete 04.png", "img2.png", "img10.png", "Zoo.png"};
        for (const QString& n : names)
            writeBytes(natural + "/" + n, "x");
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
        QTest::newRow("plain") << "Guests" << "Guests";
        QTest::newRow("separators removed") << "../x/y" << QString(); // leading dots stay: refused
        QTest::newRow("slashes inside") << "a/b" << "ab";
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
        QCOMPARE(readBytes(SeriesFiles::filePath("Guests")), QByteArray("a\nb\n"));
        QVERIFY(prompt.questions.isEmpty());

        // "No" to the question keeps the old file.
        prompt.answer = false;
        QCOMPARE(saveNewSeries("Guests", {"c"}), SaveResult::Declined);
        QCOMPARE(prompt.questions, QStringList{replaceQuestion()});
        QCOMPARE(readBytes(SeriesFiles::filePath("Guests")), QByteArray("a\nb\n"));
        prompt.answer = true;
        QCOMPARE(saveNewSeries("Guests", {"c"}), SaveResult::Saved);
        QCOMPARE(readBytes(SeriesFiles::filePath("Guests")), QByteArray("c\n"));

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
        QCOMPARE(sheetValuesRowByRow(sheet, {0, 2}, true).toStringList(), (QStringList{"Ann", "Oslo", "Bob"}));
        QCOMPARE(sheetValuesRowByRow(sheet, {0, 2}, true, true).toStringList(), (QStringList{"Ann", "Oslo", "Bob", ""}));
        QCOMPARE(sheetValuesRowByRow(sheet, {0}, false).toStringList(), (QStringList{"Name", "Ann", "Bob"}));
        QCOMPARE(sheetColumnValues(sheet, 3, true).toStringList(), (QStringList{"", "9"}));

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
        const std::atomic<bool> stop{true}; // Stop while the workbook is opened: nothing read, nothing to say
        read = readWorkbookSheet(path, 0, &stop);
        QVERIFY(read.stopped && !read.sheet && read.error.isEmpty());

        writeBytes(root.filePath("broken.xlsx"), "PK\x03\x04 not really a zip");
        read = readWorkbookSheet(root.filePath("broken.xlsx"), 0);
        QVERIFY(!read.sheet);
        QVERIFY(read.sheetNames.isEmpty());
        QVERIFY(!read.error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSeriesImport)
#include "test_series_import.moc"
