#pragma once

// Problems met while filling data rows into cards (a picture that could not be read, a barcode value its
// symbology cannot hold, a photo that does not fit its frame), kept per row so that a run can say how many
// cards had one and name the first rows with their reasons. Not locked: each fill keeps its own, and a run
// merges those of its workers when they are done.

#include <QSet>
#include <QString>
#include <QStringList>

#include <map>

class RowProblems {
public:
    // Lines kept (and listed) with their reasons, lowest rows first.
    static constexpr int Listed = 5;

    // row from 0; reason a sentence that reads after "Row 3: " ("the picture /a.jpg could not be read.").
    void add(int row, const QString& reason);
    void merge(const RowProblems& other);
    // Forgets the rows from `rows` on (cards a run did not finish).
    void keepRowsBelow(int rows);

    bool isEmpty() const { return _rows.isEmpty(); }
    // Rows (cards) with at least one problem.
    int cardCount() const { return int(_rows.size()); }
    bool hasRow(int row) const { return _rows.contains(row); }
    // "Row 3: the picture /photos/b.jpg could not be read." for the first rows, at most Listed lines.
    QStringList firstLines() const;
    // "2 of 12 cards had a problem:" and the first lines, then how many more cards had one; empty without
    // problems. cards: the cards of the run (0 leaves out "of N").
    QString summary(int cards) const;

private:
    QSet<int> _rows;
    std::map<int, QStringList> _reasons; // the lowest rows only
};
