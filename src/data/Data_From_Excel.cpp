#include "data/Data_From_Excel.h"

#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "data/XlsxReader.h"

#include <cstdlib>

Data_From_Excel* Data_From_Excel_Window = nullptr;

Data_From_Excel::Data_From_Excel(QObject* parent) : QAbstractTableModel(parent), _titles{RowNumberTitle} {}

Data_From_Excel* Data_From_Excel::defaultInstance()
{
    static Data_From_Excel* instance = [] {
        auto* t = new Data_From_Excel;
        Data_From_Excel_Window = t;
        return t;
    }();
    return instance;
}

QString Data_From_Excel::columnKey(int column)
{
    return column == 0 ? ExtensionKey : QStringLiteral("Column%1").arg(column);
}

int Data_From_Excel::columnOfKey(const QString& key)
{
    if (key == ExtensionKey)
        return 0;
    if (!key.startsWith(QLatin1String("Column")) || key.size() == 6 || key.size() > 12)
        return -1;
    bool ok = false;
    const int k = QStringView(key).mid(6).toInt(&ok);
    return ok && k >= 1 && key.at(6) != u'0' && key.at(6) != u'+' ? k : -1;
}

QString Data_From_Excel::value(int row, int column) const
{
    if (row < 0 || row >= _rows.size() || column < 0)
        return {};
    const QStringList& r = _rows[row];
    return column < r.size() ? r[column] : QString();
}

QVariantMap Data_From_Excel::rowDictionary(int row) const
{
    QVariantMap m;
    if (row < 0 || row >= _rows.size())
        return m;
    const QStringList& r = _rows[row];
    for (int c = 0; c < r.size(); ++c)
        m.insert(columnKey(c), r[c]);
    return m;
}

void Data_From_Excel::Create_List_By_Array(const QStringList& cells, int count)
{
    if (count < 0 || cells.size() < count) {
        Show_NSLog_Message(QStringLiteral("Data table row not added: %1 cells for %2 columns").arg(cells.size()).arg(count));
        return;
    }
    QStringList row;
    row.reserve(count + 1);
    row << QString::number(_rows.size() + 1);
    for (int i = 0; i < count; ++i)
        row << Trim_Str(cells[i]);
    beginInsertRows({}, int(_rows.size()), int(_rows.size()));
    _rows.append(std::move(row));
    endInsertRows();
}

void Data_From_Excel::clear() { setTable({RowNumberTitle}, {}); }

void Data_From_Excel::setTable(const QStringList& titles, const QList<QStringList>& rows)
{
    beginResetModel();
    _titles = titles.isEmpty() ? QStringList{RowNumberTitle} : titles;
    _rows = rows;
    endResetModel();
}

bool Data_From_Excel::importSheet(const SheetData& sheet, const QList<int>& sheetColumns, QString* error)
{
    if (sheetColumns.isEmpty()) {
        if (error)
            *error = QStringLiteral("Please select at least one column.");
        return false;
    }
    if (sheet.rowCount() < 2) {
        if (error)
            *error = QStringLiteral("The sheet has no rows to import.");
        return false;
    }
    const QStringList header = XlsxReader::headerTitles(sheet);
    QStringList titles{_titles.value(0, RowNumberTitle)};
    for (int c : sheetColumns)
        titles << (c >= 0 && c < header.size() ? header[c] : QStringLiteral("Untitled Column %1").arg(c + 1));
    QList<QStringList> rows;
    rows.reserve(sheet.rowCount() - 1);
    for (int r = 1; r < sheet.rowCount(); ++r) {
        QStringList row;
        row.reserve(sheetColumns.size() + 1);
        row << QString::number(r);
        const QStringList& cells = sheet.rows[r];
        for (int c : sheetColumns)
            row << (c >= 0 && c < cells.size() ? Trim_Str(cells[c]) : QString());
        rows.append(std::move(row));
    }
    setTable(titles, rows);
    return true;
}

QVariantList Data_From_Excel::titlesToVariant() const
{
    QVariantList out;
    for (const QString& t : _titles)
        out << t;
    return out;
}

QVariantList Data_From_Excel::rowsToVariant() const
{
    QVariantList out;
    out.reserve(_rows.size());
    for (int r = 0; r < _rows.size(); ++r)
        out << rowDictionary(r);
    return out;
}

void Data_From_Excel::restoreFromVariant(const QVariantList& titles, const QVariantList& rows)
{
    // Keys beyond the stored columns cannot be shown or bound; without titles, at most MaxColumns.
    const int lastColumn = titles.isEmpty() ? MaxColumns : int(titles.size()) - 1;
    QList<QStringList> table;
    table.reserve(rows.size());
    int widest = 1;
    for (const QVariant& v : rows) {
        const QVariantMap m = v.toMap();
        QStringList row;
        for (auto it = m.cbegin(); it != m.cend(); ++it) {
            const int c = columnOfKey(it.key());
            if (c < 0 || c > lastColumn)
                continue;
            if (row.size() <= c)
                row.resize(c + 1);
            row[c] = it.value().toString();
        }
        widest = qMax(widest, int(row.size()));
        table.append(std::move(row));
    }
    QStringList t;
    for (const QVariant& v : titles)
        t << v.toString();
    if (t.isEmpty()) {
        t << RowNumberTitle;
        for (int c = 1; c < widest; ++c)
            t << QStringLiteral("Untitled Column %1").arg(c);
    }
    setTable(t, table);
}

namespace {
QString plistString(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return {};
    uint64_t len = 0;
    const char* s = plist_get_string_ptr(node, &len);
    return s ? QString::fromUtf8(s, qsizetype(len)) : QString();
}
} // namespace

plist_t Data_From_Excel::titlesToPlist() const
{
    plist_t arr = plist_new_array();
    for (const QString& t : _titles)
        plist_array_append_item(arr, plist_new_string(t.toUtf8().constData()));
    return arr;
}

plist_t Data_From_Excel::rowsToPlist() const
{
    plist_t arr = plist_new_array();
    for (const QStringList& r : _rows) {
        plist_t dict = plist_new_dict();
        for (int c = 0; c < r.size(); ++c)
            plist_dict_set_item(dict, columnKey(c).toUtf8().constData(), plist_new_string(r[c].toUtf8().constData()));
        plist_array_append_item(arr, dict);
    }
    return arr;
}

void Data_From_Excel::restoreFromPlist(plist_t titles, plist_t rows)
{
    QVariantList t;
    if (titles && plist_get_node_type(titles) == PLIST_ARRAY) {
        const uint32_t n = plist_array_get_size(titles);
        for (uint32_t i = 0; i < n; ++i)
            t << plistString(plist_array_get_item(titles, i));
    }
    QVariantList r;
    if (rows && plist_get_node_type(rows) == PLIST_ARRAY) {
        const uint32_t n = plist_array_get_size(rows);
        for (uint32_t i = 0; i < n; ++i) {
            plist_t dict = plist_array_get_item(rows, i);
            QVariantMap m;
            if (dict && plist_get_node_type(dict) == PLIST_DICT) {
                plist_dict_iter it = nullptr;
                plist_dict_new_iter(dict, &it);
                while (it) {
                    char* key = nullptr;
                    plist_t val = nullptr;
                    plist_dict_next_item(dict, it, &key, &val);
                    if (!key)
                        break;
                    m.insert(QString::fromUtf8(key), plistString(val));
                    std::free(key);
                }
                std::free(it);
            }
            r << m;
        }
    }
    restoreFromVariant(t, r);
}

int Data_From_Excel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(_rows.size()); }

int Data_From_Excel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(_titles.size()); }

QVariant Data_From_Excel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return value(index.row(), index.column());
}

QVariant Data_From_Excel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < _titles.size() ? QVariant(_titles[section]) : QVariant();
}

bool Data_From_Excel::setData(const QModelIndex& index, const QVariant& v, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= _rows.size() || index.column() >= _titles.size()) {
        Show_NSLog_Message(QStringLiteral("Data table edit outside the table refused"));
        return false;
    }
    QStringList& row = _rows[index.row()];
    if (row.size() <= index.column())
        row.resize(index.column() + 1);
    row[index.column()] = v.toString();
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags Data_From_Excel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}
