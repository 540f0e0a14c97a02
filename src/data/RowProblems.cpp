#include "data/RowProblems.h"

#include <iterator>

void RowProblems::add(int row, const QString& reason) {
    _rows.insert(row);
    auto it = _reasons.find(row);
    if (it != _reasons.end()) {
        if (!it->second.contains(reason))
            it->second << reason;
        return;
    }
    if (int(_reasons.size()) >= Listed && row > _reasons.rbegin()->first)
        return;
    _reasons[row] << reason;
    if (int(_reasons.size()) > Listed)
        _reasons.erase(std::prev(_reasons.end()));
}

void RowProblems::merge(const RowProblems& other) {
    for (const auto& [row, reasons] : other._reasons) {
        for (const QString& reason : reasons)
            add(row, reason);
    }
    _rows.unite(other._rows);
}

void RowProblems::keepRowsBelow(int rows) {
    for (auto it = _rows.begin(); it != _rows.end();)
        it = *it >= rows ? _rows.erase(it) : std::next(it);
    _reasons.erase(_reasons.lower_bound(rows), _reasons.end());
}

QStringList RowProblems::firstLines() const {
    QStringList lines;
    for (const auto& [row, reasons] : _reasons) {
        for (const QString& reason : reasons) {
            if (lines.size() == Listed)
                return lines;
            lines << QStringLiteral("Row %1: %2").arg(row + 1).arg(reason);
        }
    }
    return lines;
}

QString RowProblems::summary(int cards) const {
    if (isEmpty())
        return {};
    const int n = cardCount();
    QString text = cards > 0 ? QStringLiteral("%1 of %2 cards had a problem:").arg(n).arg(cards)
                             : (n == 1 ? QStringLiteral("1 card had a problem:")
                                       : QStringLiteral("%1 cards had a problem:").arg(n));
    const QStringList lines = firstLines();
    text += QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    // Rows whose lines were cut off by the limit count as not listed.
    QSet<QString> shownRows;
    for (const QString& line : lines)
        shownRows.insert(line.section(QLatin1Char(':'), 0, 0));
    const int more = n - int(shownRows.size());
    if (more == 1)
        text += QStringLiteral("\n... and 1 more card.");
    else if (more > 1)
        text += QStringLiteral("\n... and %1 more cards.").arg(more);
    return text;
}
