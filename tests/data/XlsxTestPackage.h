#pragma once

// Builds small xlsx packages by hand for cases spreadsheet programs never write.

#include "data/ZipArchive.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

struct XlsxTestPackage {
    QList<QPair<QString, QByteArray>> parts;

    static QByteArray ns() { return "http://schemas.openxmlformats.org/spreadsheetml/2006/main"; }

    // A workbook with one sheet "Data" whose sheetData holds `rows`, optional shared strings and styles.
    static XlsxTestPackage simple(const QByteArray& rows, const QByteArray& sharedItems = {},
                                  const QByteArray& stylesXml = {})
    {
        XlsxTestPackage p;
        // Content types as spreadsheet programs need them to open the package.
        const QByteArray type = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
        QByteArray types = "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
                           "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                           "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" + type + "sheet.main+xml\"/>"
                           "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" + type + "worksheet+xml\"/>";
        if (!sharedItems.isNull())
            types += "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"" + type + "sharedStrings+xml\"/>";
        if (!stylesXml.isNull())
            types += "<Override PartName=\"/xl/styles.xml\" ContentType=\"" + type + "styles+xml\"/>";
        p.add("[Content_Types].xml", types + "</Types>");
        p.add("_rels/.rels",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
              "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
        p.add("xl/workbook.xml", "<workbook xmlns=\"" + ns() +
                                     "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                     "relationships\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/>"
                                     "</sheets></workbook>");
        QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                          "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                          "2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
        if (!sharedItems.isNull()) {
            rels += "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>";
            p.add("xl/sharedStrings.xml", "<sst xmlns=\"" + ns() + "\">" + sharedItems + "</sst>");
        }
        if (!stylesXml.isNull()) {
            rels += "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships/styles\" Target=\"styles.xml\"/>";
            p.add("xl/styles.xml", "<styleSheet xmlns=\"" + ns() + "\">" + stylesXml + "</styleSheet>");
        }
        rels += "</Relationships>";
        p.add("xl/_rels/workbook.xml.rels", rels);
        p.add("xl/worksheets/sheet1.xml", "<worksheet xmlns=\"" + ns() + "\"><sheetData>" + rows +
                                              "</sheetData></worksheet>");
        return p;
    }

    void add(const QString& name, const QByteArray& data) { parts.append({name, data}); }
    void replace(const QString& name, const QByteArray& data)
    {
        for (auto& p : parts) {
            if (p.first == name)
                p.second = data;
        }
    }
    QByteArray bytes() const
    {
        ZipWriter w;
        for (const auto& p : parts)
            w.addFile(p.first, p.second);
        return w.finish().value_or(QByteArray());
    }
};
