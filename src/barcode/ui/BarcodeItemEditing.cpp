#include "barcode/ui/BarcodeItemEditing.h"

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeItemDrawing.h"
#include "barcode/ui/Barcode_Gen.h"
#include "common/Prompt.h"

#include <QUndoStack>

#include <algorithm>

bool applyBarcodeChanges(std::vector<BarcodeStyleCommand::Change> changes, const QString& text,
                         QUndoStack* undo, bool continuesEdit) {
    std::erase_if(changes,
                  [](const BarcodeStyleCommand::Change& c) { return !c.item || c.before == c.after; });
    if (changes.empty())
        return false;
    auto* command = new BarcodeStyleCommand(std::move(changes), text, continuesEdit);
    if (undo) {
        undo->push(command); // redo() applies it
    } else {
        command->redo();
        delete command;
    }
    return true;
}

// The item keeps its place and width and takes the proportions of its new symbol, so that a square QR Code
// never shows squashed into the shape of the barcode it replaced; a linear one is never lower than its
// natural height, so a header wider than its bars leaves its texts room.
// A new symbology brings its natural size instead.
QRectF boundsForBarcode(const SKTGraphic& item, const QImage& image, const BarcodeStyle& style,
                        bool newSymbology) {
    const QRectF r = item.bounds();
    if (item.ctrl_is_locked || image.isNull() || r.width() <= 0)
        return r;
    if (newSymbology) {
        const QSizeF natural = BarcodeItemDrawing::naturalSize(style, style.content());
        if (natural.width() > 0 && natural.height() > 0)
            return QRectF(r.normalized().topLeft(), natural);
    }
    const qreal aspect = qreal(image.height()) / image.width();
    qreal height = r.width() * aspect;
    if (style.linear_or_2d == 0)
        height = std::max(height, BarcodeItemDrawing::naturalSize(style, style.content()).height());
    return QRectF(r.topLeft(), QSizeF(r.width(), height));
}

namespace {
bool sameSymbology(const BarcodeStyle& a, const BarcodeStyle& b) {
    return a.linear_or_2d == b.linear_or_2d && a.barcode_font_index == b.barcode_font_index;
}
} // namespace

bool Update_Barcode_Graphics(const GraphicPtr& source, const GraphicList& selected, const QImage& image,
                             std::optional<int> printObject, QUndoStack* undo, bool continuesEdit,
                             bool sourceSymbologyChanged, const BarcodeStyle* sourceBefore) {
    if (!source)
        return false;
    const BarcodeStyle style = BarcodeStyle::fromItem(*source);
    std::vector<BarcodeStyleCommand::Change> changes;
    bool sourceSelected = false;
    int undrawable = 0;
    for (const GraphicPtr& item : selected) {
        if (!item || item->kind() != GraphicKind::Barcode || (item->ctrl_is_locked && item != source))
            continue;
        sourceSelected = sourceSelected || item == source;
        BarcodeStyleCommand::Change c{item, BarcodeItemState::of(*item), {}};
        c.after = c.before;
        // The item's own unit stays; the copied fields are exactly the stored style fields (those the edit
        // changed when the style before it is known).
        const int unit = c.after.style.barcode_unit_val;
        if (sourceBefore && item != source)
            BarcodeStyle::copyChangedFields(c.after.style, *sourceBefore, style);
        else
            c.after.style = style;
        c.after.style.barcode_unit_val = unit;
        c.after.image = image;
        BarcodeStyle likeSource = c.after.style;
        likeSource.barcode_unit_val = style.barcode_unit_val;
        if (!(likeSource == style)) {
            // Its own value or texts: its own barcode. One whose value the new style cannot draw stays as it was.
            const BarcodeStyle& own = c.after.style;
            const QImage mine = generateBarcode(own, own.content(), own.header_val, own.footer_val).image;
            if (mine.isNull()) {
                ++undrawable;
                continue;
            }
            c.after.image = mine;
        }
        const bool newSymbology =
            item == source ? sourceSymbologyChanged : !sameSymbology(c.before.style, c.after.style);
        c.after.bounds = boundsForBarcode(*item, c.after.image, c.after.style, newSymbology);
        if (printObject)
            c.after.print_object = *printObject;
        changes.push_back(std::move(c));
    }
    // The edited item always shows its new barcode, selected or not.
    if (!sourceSelected) {
        BarcodeStyleCommand::Change c{source, BarcodeItemState::of(*source), {}};
        c.after = c.before;
        c.after.image = image;
        c.after.bounds = boundsForBarcode(*source, image, c.after.style, sourceSymbologyChanged);
        changes.push_back(std::move(c));
    }
    const bool changed = applyBarcodeChanges(std::move(changes), QStringLiteral("Barcode"), undo, continuesEdit);
    if (undrawable > 0)
        Show_MessageBox(undrawable == 1 ? QStringLiteral("1 of the selected barcodes was left as it was: its value "
                                                         "cannot be drawn in the new style.")
                                        : QStringLiteral("%1 of the selected barcodes were left as they were: their "
                                                         "values cannot be drawn in the new style.")
                                              .arg(undrawable));
    return changed;
}

bool Open_Barcode_Window(const GraphicPtr& current, const GraphicList& selected, QUndoStack* undo,
                         std::optional<int> printObject) {
    if (!current || current->kind() != GraphicKind::Barcode)
        return false;
    Barcode_Gen* designer = Barcode_Gen::defaultInstance();
    const BarcodeStyle before = BarcodeStyle::fromItem(*current);
    designer->Open_Wnd(current, undo);
    if (designer->result() != 1)
        return false;
    // The copy joins the designer's own undo step when it made one.
    Update_Barcode_Graphics(current, selected, Barcode_output_image, printObject, undo,
                            designer->lastEditChangedItem(),
                            !sameSymbology(before, BarcodeStyle::fromItem(*current)), &before);
    return true;
}
