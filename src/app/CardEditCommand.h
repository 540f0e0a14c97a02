#pragma once

// Undo of edits of the design beyond single items: the settings of both sides, the card's size, shape and
// number of sides, the frame picture, the main photo, the sheet binding's flag and workbook, the data table,
// and the items of both sides (those the edit touched, made or removed).

#include "canvas/Card_Property.h"
#include "canvas/SKTGraphic.h"
#include "canvas/SideUndoCommand.h"
#include "data/Data_From_Excel.h"
#include "wizards/InvitationState.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <functional>

// The main photo as the design stores it: its file, its adjustments and the picture as read.
struct MainPhotoState {
    QString path;
    PhotoSettings settings;
    ItemPicture original;
    bool operator==(const MainPhotoState& o) const {
        return path == o.path && settings == o.settings && original == o.original;
    }
};

struct CardEditState {
    Card_Property front;
    Card_Property back;
    QSizeF canvasSize;
    int cardShape = 0;
    QString cardSides;
    QString framePath;
    MainPhotoState photo;
    bool sheetInUse = false;
    QString sheetPath;
    QStringList sheetTitles; // the data table: its titles and cells (a cheap copy) at sheetRevision
    DataTableContent sheetRows;
    quint64 sheetRevision = 0;
    GraphicList frontItems;
    GraphicList backItems;
    GraphicList frontStates; // a copy of each item's fields, parallel to frontItems
    GraphicList backStates;

    bool sameAs(const CardEditState& other) const;
};

class CardEditCommand : public SideUndoCommand {
public:
    static constexpr int Id = 7302;
    using Apply = std::function<void(const CardEditState& state)>;
    // Pushed after the edit was made: its first redo does nothing. A non-empty merge key joins the
    // following step with the same key (the steps of one stepper).
    CardEditCommand(CardEditState before, CardEditState after, const QString& text, QString mergeKey,
                    int side, Apply apply);
    void undo() override;
    void redo() override;
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    CardEditState m_before;
    CardEditState m_after;
    QString m_key;
    Apply m_apply;
    bool m_done = true;
};
