#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <plist/plist.h>

struct SheetData;

// The spreadsheet data table: the rows of one imported worksheet, shared by both card sides and the
// profile fields. Column 0 is the row number ("Extension"); column k (from 1) is the k-th imported column
// ("Column" + k). A row is stored as its values in column order; as a dictionary it has the keys
// "Extension" and "Column1".."ColumnN". It is also the model of the table window.
class Data_From_Excel : public QAbstractTableModel {
    Q_OBJECT
public:
    static inline const QString ExtensionKey = QStringLiteral("Extension");
    static inline const QString RowNumberTitle = QStringLiteral("Row No.");
    static constexpr int MaxColumns = 16384; // a sheet's width

    explicit Data_From_Excel(QObject* parent = nullptr);

    // The one table of the run (GUI thread); also reachable as Data_From_Excel_Window.
    static Data_From_Excel* defaultInstance();

    static QString columnKey(int column); // 0 -> "Extension", k -> "Column<k>"
    static int columnOfKey(const QString& key); // inverse; -1 for other keys

    // --- table ---
    int rowCountOfTable() const { return int(_rows.size()); }
    int columnCountOfTable() const { return int(_titles.size()); } // row-number column included
    QStringList columnTitles() const { return _titles; }           // column 0 first
    // Value of a row under a column (0 the row number); empty outside the table.
    QString value(int row, int column) const;
    QString valueForKey(int row, const QString& key) const { return value(row, columnOfKey(key)); }
    QVariantMap rowDictionary(int row) const;
    const QList<QStringList>& rows() const { return _rows; }

    // Appends one row: "Extension" = row count + 1, then the first `count` cells trimmed. Fewer cells than
    // count: the row is not added (logged).
    void Create_List_By_Array(const QStringList& cells, int count);
    void clear();
    // Replaces titles (column 0 first) and rows at once.
    void setTable(const QStringList& titles, const QList<QStringList>& rows);

    // Fills the table from a sheet: header titles from its first row, one row per later sheet row, only
    // the given sheet columns (0 = A), in that order. Nothing changes when there is no data row or no
    // column; then *error says why.
    bool importSheet(const SheetData& sheet, const QList<int>& sheetColumns, QString* error = nullptr);

    // --- design-file fields: column titles (column 0 first) and rows as dictionaries ---
    QVariantList titlesToVariant() const;
    QVariantList rowsToVariant() const;
    // Restores titles and rows. Row keys beyond the titles are dropped. An empty title list keeps nothing
    // of the previous table: the columns are taken from the rows' keys with "Untitled Column %d" titles.
    void restoreFromVariant(const QVariantList& titles, const QVariantList& rows);
    // The same over libplist nodes; the caller owns the returned nodes. Nodes of the wrong type are
    // read as empty lists.
    plist_t titlesToPlist() const;
    plist_t rowsToPlist() const;
    void restoreFromPlist(plist_t titles, plist_t rows);

    // --- model ---
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QStringList _titles;      // column 0 first
    QList<QStringList> _rows; // values in column order, index 0 the row number
};

extern Data_From_Excel* Data_From_Excel_Window;
