// Prints the first sheet of each workbook as the xlsx reader shows it in a locale, as CSV (fields quoted).
//   format_check LOCALE WORKBOOK OUT.csv [WORKBOOK OUT.csv ...]
//   format_check --codes LOCALE      (the codes the built-in ids 0-58 stand for in the locale)

#include "data/NumberFormat.h"
#include "data/XlsxReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--codes") {
        const QLocale locale(QString::fromLatin1(argv[2]));
        for (int id = 0; id <= 58; ++id)
            std::printf("%d\t%s\n", id, qPrintable(xlsx::NumberFormat::builtInCode(id, locale)));
        return 0;
    }
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: format_check LOCALE WORKBOOK OUT.csv [WORKBOOK OUT.csv ...]\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QString::fromLatin1(argv[1])));
    int failed = 0;
    for (int a = 2; a + 1 < argc; a += 2) {
        XlsxReader reader;
        QString error;
        std::optional<SheetData> sheet;
        if (reader.open(QString::fromLocal8Bit(argv[a]), &error))
            sheet = reader.readSheet(0, &error);
        QFile out(QString::fromLocal8Bit(argv[a + 1]));
        if (!sheet || !out.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "%s: %s\n", argv[a], qPrintable(error));
            ++failed;
            continue;
        }
        QByteArray text;
        for (int r = 0; r < sheet->rowCount(); ++r) {
            for (int c = 0; c < sheet->columnCount; ++c) {
                if (c)
                    text += ',';
                std::string_view v = sheet->cellView(r, c);
                text += '"';
                for (char ch : v)
                    text += ch == '"' ? QByteArray("\"\"") : QByteArray(1, ch);
                text += '"';
            }
            text += '\n';
        }
        out.write(text);
    }
    return failed ? 1 : 0;
}
