#pragma once

// Problems met while filling data rows into cards (a picture that could not be read, a barcode value its
// symbology cannot hold, a photo that does not fit its frame), kept per row so that a run can say how many
// cards had one, name the first rows in its finish message and list every row in the message's details.
// Not locked: each fill keeps its own, and a run merges those of its workers when they are done. Copies
// share their data until one changes, and a row's problem costs a few bytes beyond its reason's text.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class RowProblems {
public:
    // Lines named in the message itself, lowest rows first.
    static constexpr int Listed = 5;

    // row from 0; reason a sentence that reads after "Row 3: " ("the picture /a.jpg could not be read.").
    void add(int row, const QString& reason);
    void merge(const RowProblems& other);
    // Forgets the rows from `rows` on (cards a run did not finish).
    void keepRowsBelow(int rows);

    bool isEmpty() const { return _entries.isEmpty(); }
    // Rows (cards) with at least one problem.
    int cardCount() const;
    bool hasRow(int row) const;
    // "Row 3: the picture /photos/b.jpg could not be read." for the first rows, at most Listed lines.
    QStringList firstLines() const;
    // "2 of 12 cards had a problem:" and the first lines, then how many more cards had one; empty without
    // problems. cards: the cards of the run (0 leaves out "of N").
    QString summary(int cards) const;
    // Every line, one a row and reason, lowest rows first, for the message's details; empty when the
    // summary names them all.
    QString details() const;

private:
    struct Entry {
        int row;
        int reason; // in _reasons
    };
    // The entries by row (in the order added within a row), each reason of a row once.
    QList<Entry> ordered() const;
    int reasonId(const QString& reason);

    QList<Entry> _entries;
    QStringList _reasons;           // each text once
    QHash<QString, int> _reasonIds; // text -> position in _reasons
    bool _inOrder = true;           // _entries ascend by row
};
