#include "data/RowProblems.h"

#include <algorithm>

int RowProblems::reasonId(const QString& reason) {
    const auto it = _reasonIds.constFind(reason);
    if (it != _reasonIds.cend())
        return it.value();
    _reasons << reason;
    _reasonIds.insert(reason, int(_reasons.size() - 1));
    return int(_reasons.size() - 1);
}

void RowProblems::add(int row, const QString& reason) {
    const int id = reasonId(reason);
    // A fill adds its rows in order: the row's earlier reasons are the last entries.
    for (qsizetype i = _entries.size() - 1; i >= 0 && _entries[i].row == row; --i) {
        if (_entries[i].reason == id)
            return;
    }
    _inOrder = _inOrder && (_entries.isEmpty() || _entries.last().row <= row);
    _entries.append({row, id});
}

void RowProblems::merge(const RowProblems& other) {
    if (other.isEmpty())
        return;
    if (isEmpty()) {
        *this = other;
        return;
    }
    QList<int> ids(other._reasons.size());
    for (qsizetype i = 0; i < other._reasons.size(); ++i)
        ids[i] = reasonId(other._reasons[i]);
    _entries.reserve(_entries.size() + other._entries.size());
    for (const Entry& e : other._entries)
        _entries.append({e.row, ids[e.reason]});
    _inOrder = false;
    _entries = ordered();
    _inOrder = true;
}

void RowProblems::keepRowsBelow(int rows) {
    _entries.removeIf([rows](const Entry& e) { return e.row >= rows; });
}

QList<RowProblems::Entry> RowProblems::ordered() const {
    QList<Entry> entries = _entries;
    if (!_inOrder)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.row < b.row; });
    // The same reason twice in a row (from two copies of a run, or front and back) is said once.
    qsizetype kept = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        bool seen = false;
        for (qsizetype k = kept - 1; k >= 0 && entries[k].row == entries[i].row && !seen; --k)
            seen = entries[k].reason == entries[i].reason;
        if (!seen)
            entries[kept++] = entries[i];
    }
    entries.resize(kept);
    return entries;
}

int RowProblems::cardCount() const {
    const QList<Entry> entries = _inOrder ? _entries : ordered();
    int cards = 0;
    for (qsizetype i = 0; i < entries.size(); ++i)
        cards += i == 0 || entries[i].row != entries[i - 1].row;
    return cards;
}

bool RowProblems::hasRow(int row) const {
    return std::any_of(_entries.cbegin(), _entries.cend(), [row](const Entry& e) { return e.row == row; });
}

QStringList RowProblems::firstLines() const {
    QStringList lines;
    const QList<Entry> entries = ordered();
    for (qsizetype i = 0; i < entries.size() && lines.size() < Listed; ++i)
        lines << QStringLiteral("Row %1: %2").arg(entries[i].row + 1).arg(_reasons[entries[i].reason]);
    return lines;
}

QString RowProblems::summary(int cards) const {
    if (isEmpty())
        return {};
    const QList<Entry> entries = ordered();
    int n = 0;
    for (qsizetype i = 0; i < entries.size(); ++i)
        n += i == 0 || entries[i].row != entries[i - 1].row;
    QString text = cards > 0 ? QStringLiteral("%1 of %2 cards had a problem:").arg(n).arg(cards)
                             : (n == 1 ? QStringLiteral("1 card had a problem:")
                                       : QStringLiteral("%1 cards had a problem:").arg(n));
    // The first lines, and how many cards they do not name.
    int shownCards = 0;
    const qsizetype shown = std::min<qsizetype>(entries.size(), Listed);
    for (qsizetype i = 0; i < shown; ++i) {
        text += QStringLiteral("\nRow %1: %2").arg(entries[i].row + 1).arg(_reasons[entries[i].reason]);
        shownCards += i == 0 || entries[i].row != entries[i - 1].row;
    }
    const int more = n - shownCards;
    if (more == 1)
        text += QStringLiteral("\n... and 1 more card.");
    else if (more > 1)
        text += QStringLiteral("\n... and %1 more cards.").arg(more);
    return text;
}

QString RowProblems::details() const {
    const QList<Entry> entries = ordered();
    if (entries.size() <= Listed)
        return {};
    QString text;
    text.reserve(entries.size() * 64);
    for (const Entry& e : entries) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text +=
            QStringLiteral("Row ") + QString::number(e.row + 1) + QStringLiteral(": ") + _reasons[e.reason];
    }
    return text;
}
