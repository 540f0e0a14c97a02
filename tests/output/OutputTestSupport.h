#pragma once

// Shared pieces of the output tests: a design with table-bound text, a recording prompt and opener, and a
// stand-in for the editor window.

#include "canvas/SKTItems.h"
#include "common/Prompt.h"
#include "data/BatchFillJob.h"
#include "data/Data_From_Excel.h"

#include <QProcess>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace outtest {

inline GraphicPtr text(const QString& value, const QRectF& r, int column = -1) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTText"), false);
    g->setBounds(r);
    g->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 16);
    static_cast<SKTText*>(g.get())->setText(value);
    if (column >= 0) {
        g->data_source_type = 2;
        g->excel_col_indx = column;
    }
    return g;
}

inline GraphicPtr box(const QRectF& r, QColor fill) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
    g->_shape_type = QStringLiteral("R");
    g->setBounds(r);
    g->_isDrawingFill = true;
    g->_fillColor = fill;
    return g;
}

// A 200 x 100 point card: front text bound to table column 1, back text typed.
inline BatchFillJob::Design design(bool bound) {
    BatchFillJob::Design d;
    d.front = {text(bound ? QStringLiteral("placeholder") : QStringLiteral("Hello Front"),
                    QRectF(10, 10, 180, 30), bound ? 1 : -1),
               box(QRectF(10, 60, 40, 30), Qt::red)};
    d.back = {text(QStringLiteral("Back Side"), QRectF(10, 10, 180, 30)),
              box(QRectF(150, 60, 40, 30), Qt::blue)};
    d.frontProp = Card_Property::defaults(QStringLiteral("F"));
    d.backProp = Card_Property::defaults(QStringLiteral("B"));
    d.frontProp.Card_Size = d.backProp.Card_Size = QSizeF(200, 100);
    d.twoSided = true;
    return d;
}

// Five rows: "Name1 Alpha" .. "Name5 Echo" in column 1.
inline void fillTable(Data_From_Excel& table, int rows = 5) {
    static const char* words[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf"};
    QList<QStringList> data;
    for (int i = 0; i < rows; ++i)
        data << QStringList{QString::number(i + 1), QStringLiteral("Name%1 %2").arg(i + 1).arg(words[i % 7])};
    table.setTable({QStringLiteral("Row No."), QStringLiteral("Name")}, data);
}

class RecordingPrompt : public PromptHandler {
public:
    QStringList messages;
    QStringList questions;
    bool answer = true;
    std::function<bool(const QString&)> answerFor;
    QStringList details; // of each message, empty for one without
    void message(const QString& text) override {
        messages << text;
        details << QString();
    }
    void messageWithDetails(const QString& text, const QString& more) override {
        messages << text;
        details << more;
    }
    bool yesNo(const QString& question) override {
        questions << question;
        return answerFor ? answerFor(question) : answer;
    }
};

struct PromptScope {
    RecordingPrompt prompt;
    PromptScope() { setPromptHandler(&prompt); }
    ~PromptScope() { setPromptHandler(nullptr); }
};

// Output of a poppler tool, empty when it could not run.
inline QString poppler(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pdfPages(const QString& path) {
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    for (const QString& line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

// Text of one page (from 1), or of the whole file.
inline QString pdfText(const QString& path, int page = 0) {
    QStringList args;
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    args << path << QStringLiteral("-");
    return poppler(QStringLiteral("pdftotext"), args);
}

} // namespace outtest

#include "output/ui/OutputHost.h"

namespace outtest {

// The editor window as the output windows see it.
class FakeHost : public OutputHost {
public:
    BatchFillJob::Design d = outtest::design(true);
    Data_From_Excel table;
    QWidget widget;
    int restores = 0;
    struct Shown {
        QString path;
        QString message;
        bool written;
        QString details;
    };
    QList<Shown> shown;

    BatchFillJob::Design design() override { return d; }
    const Data_From_Excel& dataTable() override { return table; }
    void restoreFirstRow(BatchFillJob& fill) override {
        ++restores;
        fill.Select_first_row_value_for_design(d.front, d.back, false);
    }
    int showExportFinished(const QString& path, const QString& message, bool written,
                           const QString& details) override {
        shown.append({path, message, written, details});
        return 1;
    }
    QWidget* window() override { return &widget; }
};

} // namespace outtest
