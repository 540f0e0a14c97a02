#pragma once

// One undoable edit of barcode items: their style, data binding, ready image and print flag. The designer's
// OK and the copy to the selection that follows it merge into one step of the undo stack.

#include "barcode/BarcodeStyle.h"
#include "canvas/SKTGraphic.h"

#include <QImage>
#include <QRectF>
#include "canvas/SideUndoCommand.h"

#include <vector>

// What a barcode edit may change on one item (bounds: a new symbol shape keeps its proportions).
struct BarcodeItemState {
    BarcodeStyle style; // stored style fields only (applyTo)
    int data_source_type = 0;
    QString batch_list_name;
    int batch_list_index = 0;
    int excel_col_indx = 0;
    QImage image;
    int print_object = 0;
    QRectF bounds;

    static BarcodeItemState of(const SKTGraphic& item);
    void applyTo(SKTGraphic& item) const;

    friend bool operator==(const BarcodeItemState&, const BarcodeItemState&) = default;
};

class BarcodeStyleCommand : public SideUndoCommand {
public:
    struct Change {
        GraphicPtr item;
        BarcodeItemState before;
        BarcodeItemState after;
    };
    enum { Id = 0x42430001 };

    // continuesEdit: merge into a directly preceding barcode edit (the copy that follows the designer's OK).
    BarcodeStyleCommand(std::vector<Change> changes, const QString& text, bool continuesEdit = false,
                        QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override;
    bool isEmpty() const { return _changes.empty(); }

private:
    std::vector<Change> _changes;
    bool _continuesEdit;
};
