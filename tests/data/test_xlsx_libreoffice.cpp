#include "FileBytes.h"
#include "LibreOffice.h"
#include "XlsxTestPackage.h"
#include "data/XlsxReader.h"
#include "data/XlsxWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Minimal CSV reading: comma separated, double-quoted fields with doubled quotes.
QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}
} // namespace

class TestXlsxLibreOffice : public QObject {
    Q_OBJECT
    LibreOffice office;
    QTemporaryDir out;
    QString guests; // the fixture workbook, converted once per run

private slots:
    void initTestCase()
    {
        if (LibreOffice::executable().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed; run scripts/deps.sh");
        QLocale::setDefault(QLocale::c());
        QString log;
        guests = office.convert(QStringLiteral(NAVU_FIXTURES_DIR "/data/guests.fods"), QStringLiteral("xlsx"),
                                out.path(), QStringLiteral("xlsx"), &log);
        QVERIFY2(!guests.isEmpty(), qPrintable(log));
    }

    void sheetListInTabOrder()
    {
        XlsxReader reader;
        QString err;
        QVERIFY2(reader.open(guests, &err), qPrintable(err));
        QCOMPARE(reader.sheetNames(), QStringList({"Zahlen", "Guests", "Übersicht 名前"}));
    }

    void guestSheet_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("header") << 0 << 0 << "Name";
        QTest::newRow("empty column stays in place") << 0 << 3 << "Code";
        QTest::newRow("rich text joined") << 1 << 1 << "Dear Anna, welcome!";
        QTest::newRow("empty cell") << 1 << 2 << "";
        QTest::newRow("zero-padded text") << 1 << 3 << "00042";
        QTest::newRow("zero-padded number format") << 1 << 4 << "00042";
        QTest::newRow("date") << 1 << 5 << "2026-12-07";
        QTest::newRow("time") << 1 << 6 << "13:30";
        QTest::newRow("date and time") << 1 << 7 << "07.12.2026 18:45";
        QTest::newRow("formula number") << 1 << 8 << "84";
        QTest::newRow("formula text") << 1 << 9 << "Anna!";
        QTest::newRow("boolean true") << 1 << 10 << "TRUE";
        QTest::newRow("boolean false") << 3 << 10 << "FALSE";
        QTest::newRow("date before 1900") << 3 << 6 << "1814-08-13";
        QTest::newRow("empty row kept") << 2 << 0 << "";
        QTest::newRow("cyrillic") << 3 << 0 << "Иван Петров";
        QTest::newRow("japanese") << 3 << 1 << "山田太郎 様";
        QTest::newRow("short padded text") << 3 << 3 << "0007";
        QTest::newRow("padded seven") << 3 << 4 << "00007";
        QTest::newRow("older date") << 3 << 5 << "1999-01-31";
        QTest::newRow("arabic and emoji") << 3 << 11 << "مرحبا 😀";
    }
    void guestSheet()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        XlsxReader reader;
        QVERIFY(reader.open(guests));
        const auto sheet = reader.readSheet(1);
        QVERIFY(sheet);
        QCOMPARE(sheet->rowCount(), 4);
        QCOMPARE(sheet->columnCount, 12);
        QTEST(sheet->cell(row, column), "text");
    }

    void longTextAndNumbers()
    {
        XlsxReader reader;
        QVERIFY(reader.open(guests));
        const auto guestsSheet = reader.readSheet(1);
        const QString story = guestsSheet->cell(1, 11);
        QVERIFY(story.startsWith("Lorem ipsum dolor sit amet"));
        QVERIFY(story.size() > 2000);
        const auto numbers = reader.readSheet(0);
        const QList<QStringList> expected{
            {"Number", "Formula"}, {"12", "0.3"}, {"7.5", "90"}, {"1.23456789012346E+019", "-0.0000001"}};
        QCOMPARE(numbers->rowCount(), expected.size());
        for (int r = 0; r < expected.size(); ++r)
            QCOMPARE((QStringList{numbers->cell(r, 0), numbers->cell(r, 1)}), expected[r]);
        const auto third = reader.readSheet(2);
        QCOMPARE(third->cell(1, 0), QStringLiteral("Zoë & Co <x>"));
        QCOMPARE(XlsxReader::headerTitles(*guestsSheet).at(2), QStringLiteral("Untitled Column 3"));
    }

    // Numbers, dates, times and texts read as LibreOffice shows them, from a hand-made workbook and from the
    // same workbook saved by LibreOffice, in an English and a German session.
    void valuesAsShown_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("en_US") << QStringLiteral("en_US");
        QTest::newRow("de_DE") << QStringLiteral("de_DE");
    }
    void valuesAsShown()
    {
        QFETCH(QString, locale);
        struct Case {
            const char* code; // empty: General
            const char* value;
            bool text = false;
            bool boolean = false;
        };
        static const Case cases[] = {
            {"0.00%", "0.125"}, {"0%", "0.125"}, {"$#,##0.00", "1234.5"}, {"[$\xE2\x82\xAC-407] #,##0.00", "1234.5"},
            {"[$\xC2\xA3-809]#,##0.00", "-1234.5"}, {"#,##0", "1234567.4"}, {"0.000", "3.14159"},
            {"00000", "42"}, {"0.00E+00", "12345"}, {"dd.mm.yyyy", "45418.6041666667"},
            {"yyyy-mm-dd", "45418.6041666667"}, {"d/m/yy", "45418"}, {"mmmm d, yyyy", "45418"},
            {"ddd, mmm d", "45418"}, {"dd.mm.yyyy hh:mm", "45418.6041666667"}, {"h:mm AM/PM", "0.6041666667"},
            {"h:mm:ss AM/PM", "0.25"}, {"[h]:mm:ss", "1.1458333333"}, {"[mm]:ss", "1.5"},
            {"#,##0.00;[Red](#,##0.00)", "-1234.5"}, {"0.0;-0.0;\"zero\"", "0"}, {"\"Qty: \"0", "7"},
            {"#,##0.00_);(#,##0.00)", "99.5"}, {"mm/dd/yyyy", "45418"}, {"dddd", "45418"},
            // the locale's date separator, system long date and time
            {"dd/mm/yyyy", "45418"}, {"[$-407]dd/mm/yyyy", "45418"}, {"[$-41F]dd/mm/yyyy", "45418"},
            {"dd\\/mm\\/yyyy", "45418"}, {"[$-F800]dddd, mmmm dd, yyyy", "45418"},
            {"[$-F400]h:mm:ss AM/PM", "0.627835648148148"}, {"hh:mm:ss", "0.499999999"},
            // fractions
            {"# ?/?", "1.5"}, {"# ?\?/?\?", "3.14159"}, {"# ?/8", "1.3"}, {"?/?", "12345.678"},
            {"# ?\?\?/?\?\?", "0.999"}, {"# ?/?", "2"}, {"# ?\?/?\?", "-0.25"}, {"0 ?/?", "0.5"},
            // abbreviated and genitive names
            {"mmm ddd", "45364"}, {"[$-407]mmm ddd", "45548"}, {"[$-419]mmm ddd", "45418"},
            {"[$-419]d mmmm yyyy", "45418"}, {"[$-419]mmmm yyyy", "45418"},
            // General
            {"", "0.3"}, {"", "1234.5"}, {"", "1E+308"}, {"", "6.02E+23"}, {"", "1.5E-10"}, {"", "0.0000123"},
            {"", "1234567890123456"}, {"", "12345678901234567"}, {"", "0.1234567890123456"},
            // text sections, conditions and the separators a format's locale brings
            {"\"Name: \"@", "Anna", true}, {"0;-0;0;\"T: \"@", "Bob", true}, {"[<-100]0;0", "-150"},
            {"[<0]0;0", "-5"}, {"[>100]\"a\"0;\"b\"0;\"c\"0", "-5"}, {"[$-40C]#,##0.00", "1234567.5"},
            {"[$-807]#,##0.00", "1234567.5"}, {"[$-407]General", "1234.5"},
            // booleans, built-in formats the locale changes
            {"", "1", false, true}, {"", "0", false, true}, {"#15", "45418"}, {"#16", "45418"}, {"#17", "45418"},
            {"#20", "0.25"}, {"#21", "0.25"}, {"#7", "-1234.5"}, {"#47", "0.6041666667"}, {"dd.mm.yyyy", "45657.9999999"}};
        QByteArray formats, xfs = "<xf numFmtId=\"0\"/>", rows, shared;
        int sharedCount = 0;
        for (int i = 0; i < int(std::size(cases)); ++i) {
            const QString code = QString::fromUtf8(cases[i].code).toHtmlEscaped();
            const bool builtIn = code.startsWith(u'#') && code.size() <= 3;
            const QByteArray id = code.isEmpty() ? "0" : builtIn ? code.mid(1).toUtf8() : QByteArray::number(164 + i);
            if (!code.isEmpty() && !builtIn)
                formats += "<numFmt numFmtId=\"" + id + "\" formatCode=\"" + code.toUtf8() + "\"/>";
            xfs += "<xf numFmtId=\"" + id + "\" applyNumberFormat=\"1\"/>";
            const QByteArray r = QByteArray::number(i + 1);
            const QByteArray cell = "<c r=\"A" + r + "\" s=\"" + QByteArray::number(i + 1) + "\"";
            if (cases[i].text) {
                shared += QByteArray("<si><t>") + cases[i].value + "</t></si>";
                rows += "<row r=\"" + r + "\">" + cell + " t=\"s\"><v>" + QByteArray::number(sharedCount++) +
                        "</v></c></row>";
            } else {
                rows += "<row r=\"" + r + "\">" + cell + (cases[i].boolean ? " t=\"b\"" : "") + "><v>" + cases[i].value +
                        "</v></c></row>";
            }
        }
        const QByteArray styles = "<numFmts>" + formats + "</numFmts><cellXfs>" + xfs + "</cellXfs>";
        const QString folder = out.filePath(locale);
        QDir().mkpath(folder);
        const QString handMade = folder + QStringLiteral("/formats.xlsx");
        {
            QFile f(handMade);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(XlsxTestPackage::simple(rows, shared, styles).bytes());
        }
        LibreOffice session;
        session.environment = {QStringLiteral("LC_ALL=%1.UTF-8").arg(locale), QStringLiteral("LANG=%1.UTF-8").arg(locale)};
        const QString libreMade = session.convert(handMade, QStringLiteral("xlsx"), folder + QStringLiteral("/lo"),
                                                  QStringLiteral("xlsx"));
        QVERIFY(!libreMade.isEmpty());
        QLocale::setDefault(QLocale(locale));
        for (const QString& workbook : {handMade, libreMade}) {
            QString log;
            const QString csv = session.convert(workbook, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                                                QFileInfo(workbook).path() + QStringLiteral("/csv"), QStringLiteral("csv"),
                                                &log);
            QVERIFY2(!csv.isEmpty(), qPrintable(log));
            const QList<QStringList> shown = parseCsv(QString::fromUtf8(readBytes(csv)));
            XlsxReader reader;
            QVERIFY(reader.open(workbook));
            const auto sheet = reader.readSheet(0);
            QVERIFY(sheet);
            QCOMPARE(sheet->rowCount(), int(std::size(cases)));
            for (int i = 0; i < int(std::size(cases)); ++i) {
                const QString what = QStringLiteral(" <- %1 %2").arg(QString::fromUtf8(cases[i].code), cases[i].value);
                QCOMPARE(sheet->cell(i, 0) + what, shown.value(i).value(0) + what);
            }
        }
        QLocale::setDefault(QLocale::c());
    }

    // Our workbook opened by LibreOffice and saved as CSV keeps every value as typed.
    void writerRoundTripThroughLibreOffice()
    {
        const QStringList values = {"12", "apple", "7.5", "00042", "12345678901234567890", "Café crème", "Zoë",
                                    "日本語", "a, \"quoted\" value", "", "-3", "0.25"};
        const QString path = out.filePath("series.xlsx");
        QString err;
        QVERIFY2(XlsxWriter::writeSeriesWorkbook(path, values, &err), qPrintable(err));
        QString log;
        const QString csv = office.convert(path, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                                           out.path(), QStringLiteral("csv"), &log);
        QVERIFY2(!csv.isEmpty(), qPrintable(log));
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(readBytes(csv)));
        QCOMPARE(rows.size(), values.size() + 1);
        QCOMPARE(rows[0], QStringList{"Batch Value"});
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(rows[i + 1].value(0), values[i]);
        // LibreOffice's own xlsx of our workbook reads back the same.
        const QString again = office.convert(csv, QStringLiteral("xlsx"), out.filePath("re"), QStringLiteral("xlsx"));
        QVERIFY(!again.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestXlsxLibreOffice)
#include "test_xlsx_libreoffice.moc"
