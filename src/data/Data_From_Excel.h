#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <plist/plist.h>

#include <memory>
#include <string_view>
#include <vector>

struct SheetData;

// The cells of the data table, kept compactly and cheap to copy: an imported table shares the sheet it was
// read from (one reference per cell) and computes its row numbers; edited cells are kept beside it. A copy
// taken for a run stays as it was when the table changes afterwards.
class DataTableContent {
public:
    int rowCount() const { return _rows; }
    int columnCount() const { return int(_map.size()); } // the row-number column included
    // The value under a column (0 the row number); empty outside the table.
    QString value(int row, int column) const;

    // Rows [firstRow, firstRow + rowCount) of the sheet; table column k (from 1) is sheet column columns[k - 1];
    // values are trimmed as they are read.
    static DataTableContent ofSheet(std::shared_ptr<const SheetData> sheet, const QList<int>& columns,
                                    int firstRow);
    // Rows given whole, column 0 first; `columns` counts the row-number column.
    static DataTableContent ofRows(const QList<QStringList>& rows, int columns);
    // A sheet already in table layout (sheet column k is table column k, 0 the row number), taken as it is.
    static DataTableContent ofTable(std::shared_ptr<SheetData> sheet, int columns);
    // Same size and the same value in every cell.
    bool sameValues(const DataTableContent& other) const;

    // For writers that store each distinct value once. rowKeys fills keys[0 .. columnCount()) with a key
    // per cell of the row: cells with equal keys hold equal values, and keys are below keyCount(). The
    // row-number column gives kRowNumber (its value is row + 1); kNoKey marks a value that has no key (an
    // edited cell), read with value().
    static constexpr quint32 kNoKey = 0xFFFFFFFFu;
    static constexpr quint32 kRowNumber = 0xFFFFFFFEu;
    quint32 keyCount() const;
    void rowKeys(int row, quint32* keys) const;
    // The text a key's cells store, as UTF-8: keys whose texts are equal hold equal values.
    std::string_view keyText(quint32 key) const;
    // The value of a key's cells; it is keyText itself when valueIsKeyText says so.
    QString keyValue(quint32 key) const;
    bool valueIsKeyText(std::string_view text) const
    {
        // Trimming leaves a text alone that starts and ends with printable ASCII.
        const auto printable = [](char c) { return c > 0x20 && c < 0x7F; };
        return !_trim || text.empty() || (printable(text.front()) && printable(text.back()));
    }

    void setValue(int row, int column, const QString& value);
    // Appends a row of values, column 0 (the row number) first; missing values are empty.
    void appendRow(const QStringList& values);
    void setColumnCount(int columns);

private:
    void makeOwn();
    std::shared_ptr<const SheetData> _sheet;
    std::shared_ptr<SheetData> _own; // the same sheet when this content alone may change it
    std::vector<int> _map;           // table column -> sheet column; -1: the row number from 1
    int _firstRow = 0;
    int _rows = 0;
    bool _trim = false;
    QHash<quint64, QString> _edits;
};

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
    int rowCountOfTable() const { return _content.rowCount(); }
    int columnCountOfTable() const { return int(_titles.size()); } // row-number column included
    QStringList columnTitles() const { return _titles; }           // column 0 first
    // Value of a row under a column (0 the row number); empty outside the table.
    QString value(int row, int column) const;
    QString valueForKey(int row, const QString& key) const { return value(row, columnOfKey(key)); }
    QVariantMap rowDictionary(int row) const;
    // The cells as they are now (a cheap copy that later changes do not touch).
    const DataTableContent& content() const { return _content; }
    // Grows with every change of titles or cells: equal revisions, the same table.
    quint64 revision() const { return _revision; }

    // Appends one row: "Extension" = row count + 1, then the first `count` cells trimmed. Fewer cells than
    // count: the row is not added (logged).
    void Create_List_By_Array(const QStringList& cells, int count);
    void clear();
    // Replaces titles (column 0 first) and rows at once.
    void setTable(const QStringList& titles, const QList<QStringList>& rows);
    void setContent(const QStringList& titles, const DataTableContent& content);

    // Fills the table from a sheet: header titles from its first row (whether or not it holds titles),
    // one row per sheet row from the second (containsHeader) or the first, only the given sheet columns
    // (0 = A), in that order. The sheet is shared, not copied. Titles that repeat are made distinct
    // ("Name (2)"); *renamed, when given, lists them. Nothing changes when there is no data row or no
    // column; then *error says why.
    bool importSheet(std::shared_ptr<const SheetData> sheet, const QList<int>& sheetColumns, QString* error = nullptr,
                     bool containsHeader = true, QStringList* renamed = nullptr);
    bool importSheet(SheetData&& sheet, const QList<int>& sheetColumns, QString* error = nullptr,
                     bool containsHeader = true, QStringList* renamed = nullptr);

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
    QStringList _titles; // column 0 first
    DataTableContent _content;
    quint64 _revision = 0;
};

extern Data_From_Excel* Data_From_Excel_Window;
