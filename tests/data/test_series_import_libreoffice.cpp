#include "FileBytes.h"
#include "LibreOffice.h"
#include "data/SeriesImport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace SeriesImport;

namespace {
void writeText(const QString& path, const QString& text) {
    writeBytes(path, text.toUtf8());
}

QString cell(const QString& paragraphs) {
    return QStringLiteral("<table:table-cell office:value-type=\"string\">") + paragraphs +
           QStringLiteral("</table:table-cell>");
}
} // namespace

// Text sources written by LibreOffice import as their cells and paragraphs read.
class TestSeriesImportLibreOffice : public QObject {
    Q_OBJECT
    LibreOffice office;
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        if (LibreOffice::executable().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed; run scripts/deps.sh");
    }

    // Calc's CSV with every text cell quoted: quotes, separators, doubled quotes and line breaks inside cells.
    void calcCsv() {
        const QString source = dir.filePath(QStringLiteral("guests.fods"));
        writeText(source,
                  QStringLiteral(
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                      "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\" "
                      "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
                      "<office:body><office:spreadsheet><table:table table:name=\"Guests\"><table:table-row>") +
                      cell(QStringLiteral("<text:p>Zoë Müller</text:p>")) +
                      cell(QStringLiteral("<text:p>Smith, John</text:p>")) +
                      QStringLiteral("</table:table-row><table:table-row>") +
                      cell(QStringLiteral("<text:p>Say \"hi\"</text:p>")) +
                      cell(QStringLiteral("<text:p>Line one</text:p><text:p>Line two</text:p>")) +
                      QStringLiteral("</table:table-row><table:table-row>"
                                     "<table:table-cell office:value-type=\"float\" office:value=\"42\">"
                                     "<text:p>42</text:p></table:table-cell>") +
                      cell(QStringLiteral("<text:p>Ann</text:p>")) +
                      QStringLiteral("</table:table-row></table:table></office:spreadsheet></office:body>"
                                     "</office:document>"));
        // Comma, semicolon (European default) and tab; double quote, UTF-8, every text cell quoted.
        for (const char* separator : {"44", "59", "9"}) {
            QString log;
            const QString csv = office.convert(
                source, QStringLiteral("csv:Text - txt - csv (StarCalc):%1,34,76,1,,0,true").arg(separator),
                dir.filePath(separator), QStringLiteral("csv"), &log);
            QVERIFY2(!csv.isEmpty(), qPrintable(log));
            const TextImport read = importTextFile(csv);
            QCOMPARE(read.error, QString());
            QCOMPARE(read.values.toStringList(), (QStringList{QStringLiteral("Zoë Müller"), QStringLiteral("Smith, John"),
                                               QStringLiteral("Say \"hi\""), QStringLiteral("Line one\nLine two"),
                                               QStringLiteral("42"), QStringLiteral("Ann")}));
        }
    }

    // Writer's RTF of a bulleted and a numbered list: the bullets and numbers are no part of the items.
    void writerRtfLists() {
        const QString source = dir.filePath(QStringLiteral("lists.html"));
        writeText(source, QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>"
                                         "<ul><li>Zoë Müller</li><li>Ben Øster</li></ul>"
                                         "<ol><li>First</li><li>Second</li></ol><p>Plain line</p></body></html>"));
        QString log;
        const QString rtf = office.convert(source, QStringLiteral("rtf:Rich Text Format"), dir.path(),
                                           QStringLiteral("rtf"), &log);
        QVERIFY2(!rtf.isEmpty(), qPrintable(log));
        const TextImport read = importTextFile(rtf);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.values.toStringList(), (QStringList{QStringLiteral("Zoë Müller"), QStringLiteral("Ben Øster"),
                                           QStringLiteral("First"), QStringLiteral("Second"),
                                           QStringLiteral("Plain line")}));
    }
};

QTEST_GUILESS_MAIN(TestSeriesImportLibreOffice)
#include "test_series_import_libreoffice.moc"
