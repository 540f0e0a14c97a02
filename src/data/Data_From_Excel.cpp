#include "data/Data_From_Excel.h"

#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "data/XlsxReader.h"

#include <cstdlib>
#include <limits>

Data_From_Excel* Data_From_Excel_Window = nullptr;

Data_From_Excel::Data_From_Excel(QObject* parent) : QAbstractTableModel(parent), _titles{RowNumberTitle}
{
    connect(this, &QAbstractItemModel::modelReset, this, [this] { ++_revision; });
    connect(this, &QAbstractItemModel::rowsInserted, this, [this] { ++_revision; });
    connect(this, &QAbstractItemModel::dataChanged, this, [this] { ++_revision; });
}

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

// ---------------------------------------------------------------- DataTableContent

QString DataTableContent::value(int row, int column) const
{
    if (row < 0 || row >= _rows || column < 0 || column >= columnCount())
        return {};
    if (!_edits.isEmpty()) {
        const auto it = _edits.constFind((quint64(quint32(row)) << 32) | quint32(column));
        if (it != _edits.constEnd())
            return *it;
    }
    const int sheetColumn = _map[size_t(column)];
    if (sheetColumn < 0)
        return QString::number(row + 1);
    const QString v = _sheet ? _sheet->cell(_firstRow + row, sheetColumn) : QString();
    return _trim ? Trim_Str(v) : v;
}

DataTableContent DataTableContent::ofSheet(std::shared_ptr<const SheetData> sheet, const QList<int>& columns,
                                           int firstRow)
{
    DataTableContent c;
    c._firstRow = qMax(firstRow, 0);
    c._rows = sheet ? qMax(sheet->rowCount() - c._firstRow, 0) : 0;
    c._sheet = std::move(sheet);
    c._map.push_back(-1);
    for (int col : columns)
        c._map.push_back(col < 0 ? std::numeric_limits<int>::max() : col);
    c._trim = true;
    return c;
}

DataTableContent DataTableContent::ofRows(const QList<QStringList>& rows, int columns)
{
    auto sheet = std::make_shared<SheetData>(SheetData::fromRows(rows));
    DataTableContent c;
    c._rows = int(rows.size());
    for (int k = 0; k < qMax(columns, 1); ++k)
        c._map.push_back(k);
    c._own = sheet;
    c._sheet = std::move(sheet);
    return c;
}

DataTableContent DataTableContent::ofTable(std::shared_ptr<SheetData> sheet, int columns)
{
    DataTableContent c;
    c._rows = sheet ? sheet->rowCount() : 0;
    for (int k = 0; k < qMax(columns, 1); ++k)
        c._map.push_back(k);
    c._own = sheet;
    c._sheet = std::move(sheet);
    return c;
}

bool DataTableContent::sameValues(const DataTableContent& other) const
{
    if (rowCount() != other.rowCount() || columnCount() != other.columnCount())
        return false;
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (value(r, c) != other.value(r, c))
                return false;
    return true;
}

quint32 DataTableContent::keyCount() const
{
    // The sheet's own strings first, then the workbook's shared strings.
    if (!_sheet)
        return 1;
    const quint64 shared = _sheet->sharedStrings ? _sheet->sharedStrings->count() - 1 : 0;
    return quint32(qMin<quint64>(_sheet->strings.count() + shared, kRowNumber));
}

void DataTableContent::rowKeys(int row, quint32* keys) const
{
    Q_ASSERT(row >= 0 && row < _rows);
    const int columns = columnCount();
    const quint32 own = _sheet ? _sheet->strings.count() : 1;
    const quint32 count = keyCount();
    const int sheetRow = _firstRow + row;
    const quint32 start = !_sheet || sheetRow == 0 ? 0 : _sheet->rowEnds[size_t(sheetRow - 1)];
    const quint32 width = _sheet ? _sheet->rowEnds[size_t(sheetRow)] - start : 0;
    const quint32* cells = _sheet ? _sheet->cells.data() + start : nullptr;
    for (int k = 0; k < columns; ++k) {
        const int c = _map[size_t(k)];
        if (c < 0) {
            keys[k] = kRowNumber;
        } else if (quint32(c) >= width) {
            keys[k] = 0; // the empty entry
        } else {
            const quint32 ref = cells[c];
            const bool shared = ref & SheetData::kSharedBit;
            const quint64 key = shared ? quint64(own) + (ref & ~SheetData::kSharedBit) : ref;
            // A reference outside the strings reads as empty, as value() does.
            keys[k] = key < count && (shared || ref < own) ? quint32(key) : 0;
        }
    }
    if (!_edits.isEmpty()) {
        for (int k = 0; k < columns; ++k)
            if (_edits.contains((quint64(quint32(row)) << 32) | quint32(k)))
                keys[k] = kNoKey;
    }
}

std::string_view DataTableContent::keyText(quint32 key) const
{
    if (!_sheet)
        return {};
    const quint32 own = _sheet->strings.count();
    if (key < own)
        return _sheet->strings.view(key);
    return _sheet->sharedStrings ? _sheet->sharedStrings->view(key - own + 1) : std::string_view();
}

QString DataTableContent::keyValue(quint32 key) const
{
    const std::string_view v = keyText(key);
    const QString s = QString::fromUtf8(v.data(), qsizetype(v.size()));
    return _trim ? Trim_Str(s) : s;
}

void DataTableContent::setValue(int row, int column, const QString& value)
{
    if (row < 0 || row >= _rows || column < 0 || column >= columnCount())
        return;
    _edits.insert((quint64(quint32(row)) << 32) | quint32(column), value);
}

void DataTableContent::makeOwn()
{
    // Appending needs a sheet of its own in table layout; copies taken earlier keep theirs.
    if (_own && _own.use_count() == 2 && _edits.isEmpty() && !_trim)
        return;
    QList<QStringList> rows;
    rows.reserve(_rows);
    for (int r = 0; r < _rows; ++r) {
        QStringList row;
        for (int k = 0; k < columnCount(); ++k)
            row << value(r, k);
        rows << row;
    }
    *this = ofRows(rows, columnCount());
}

void DataTableContent::appendRow(const QStringList& values)
{
    if (_map.empty())
        _map.push_back(0);
    makeOwn();
    std::vector<quint32> refs;
    for (int k = 0; k < qMin(int(values.size()), columnCount()); ++k)
        refs.push_back(_own->strings.add(values[k]));
    while (!refs.empty() && refs.back() == 0)
        refs.pop_back();
    _own->appendRow(refs.data(), refs.size());
    _own->columnCount = qMax(_own->columnCount, int(refs.size()));
    ++_rows;
}

void DataTableContent::setColumnCount(int columns)
{
    columns = qMax(columns, 1);
    if (columns == columnCount())
        return;
    makeOwn();
    _map.resize(size_t(columns));
    for (int k = 0; k < columns; ++k)
        _map[size_t(k)] = k;
}

// ---------------------------------------------------------------- the table

QString Data_From_Excel::value(int row, int column) const { return _content.value(row, column); }

QVariantMap Data_From_Excel::rowDictionary(int row) const
{
    QVariantMap m;
    if (row < 0 || row >= _content.rowCount())
        return m;
    for (int c = 0; c < _content.columnCount(); ++c)
        m.insert(columnKey(c), _content.value(row, c));
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
    row << QString::number(_content.rowCount() + 1);
    for (int i = 0; i < count; ++i)
        row << Trim_Str(cells[i]);
    const int at = _content.rowCount();
    beginInsertRows({}, at, at);
    if (_content.columnCount() < count + 1)
        _content.setColumnCount(count + 1);
    _content.appendRow(row);
    endInsertRows();
}

void Data_From_Excel::clear() { setTable({RowNumberTitle}, QList<QStringList>()); }

void Data_From_Excel::setTable(const QStringList& titles, const QList<QStringList>& rows)
{
    beginResetModel();
    _titles = titles.isEmpty() ? QStringList{RowNumberTitle} : titles;
    _content = DataTableContent::ofRows(rows, int(_titles.size()));
    endResetModel();
}

void Data_From_Excel::setContent(const QStringList& titles, const DataTableContent& content)
{
    beginResetModel();
    _titles = titles.isEmpty() ? QStringList{RowNumberTitle} : titles;
    _content = content;
    endResetModel();
}

bool Data_From_Excel::importSheet(std::shared_ptr<const SheetData> sheet, const QList<int>& sheetColumns,
                                  QString* error, bool containsHeader, QStringList* renamed)
{
    if (sheetColumns.isEmpty()) {
        if (error)
            *error = QStringLiteral("Please select at least one column.");
        return false;
    }
    const int first = containsHeader ? 1 : 0;
    if (!sheet || sheet->rowCount() <= first) {
        if (error)
            *error = QStringLiteral("The sheet has no rows to import.");
        return false;
    }
    const QStringList header = XlsxReader::headerTitles(*sheet);
    QStringList titles{_titles.value(0, RowNumberTitle)};
    for (int c : sheetColumns) {
        const QString title = c >= 0 && c < header.size() ? header[c] : QStringLiteral("Untitled Column %1").arg(c + 1);
        QString unique = title;
        for (int n = 2; titles.contains(unique, Qt::CaseInsensitive); ++n)
            unique = QStringLiteral("%1 (%2)").arg(title).arg(n);
        if (unique != title && renamed)
            *renamed << QStringLiteral("\"%1\" became \"%2\"").arg(title, unique);
        titles << unique;
    }
    beginResetModel();
    _titles = titles;
    _content = DataTableContent::ofSheet(std::move(sheet), sheetColumns, first);
    endResetModel();
    return true;
}

bool Data_From_Excel::importSheet(SheetData&& sheet, const QList<int>& sheetColumns, QString* error,
                                  bool containsHeader, QStringList* renamed)
{
    return importSheet(std::make_shared<const SheetData>(std::move(sheet)), sheetColumns, error, containsHeader,
                       renamed);
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
    out.reserve(_content.rowCount());
    for (int r = 0; r < _content.rowCount(); ++r)
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
    for (int r = 0; r < _content.rowCount(); ++r) {
        plist_t dict = plist_new_dict();
        for (int c = 0; c < _content.columnCount(); ++c)
            plist_dict_set_item(dict, columnKey(c).toUtf8().constData(),
                                plist_new_string(_content.value(r, c).toUtf8().constData()));
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

int Data_From_Excel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : _content.rowCount(); }

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
    if (role != Qt::EditRole || !index.isValid() || index.row() >= _content.rowCount() ||
        index.column() >= _titles.size()) {
        Show_NSLog_Message(QStringLiteral("Data table edit outside the table refused"));
        return false;
    }
    if (value(index.row(), index.column()) == v.toString())
        return true; // no change, no new revision
    if (_content.columnCount() < _titles.size())
        _content.setColumnCount(int(_titles.size()));
    _content.setValue(index.row(), index.column(), v.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags Data_From_Excel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}
