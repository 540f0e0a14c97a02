#pragma once

// The editor window's side of barcode editing: running the designer on the current item and copying the
// designed style to the selected barcode items, each as one undoable edit.

#include "barcode/BarcodeStyle.h"
#include "barcode/ui/BarcodeStyleCommand.h"
#include "canvas/SKTGraphic.h"

#include <QImage>

#include <optional>

class QUndoStack;

// Applies the changes as one undoable step on the stack (merged into the designer's preceding edit when
// continuesEdit), or directly when there is no stack. Changes that change nothing are dropped; false when
// nothing was left.
bool applyBarcodeChanges(std::vector<BarcodeStyleCommand::Change> changes, const QString& text,
                         QUndoStack* undo, bool continuesEdit = false);

// Copies the style fields of `source` (not its unit and not its data binding) to every selected, unlocked
// barcode item and to `source` itself, and gives each of them `image`, which is the barcode of that style.
// With sourceBefore (source's style before the edit) the other items take only the fields the edit changed
// and keep the rest of their own (a new symbology whole); one that then differs from source gets its own
// barcode, or stays as it was, said to the user, when its value cannot be drawn in that style.
// With printObject set, every selected item takes it as its print flag. One undoable step (merged into the
// designer's edit just pushed when continuesEdit); false when nothing changed.
bool Update_Barcode_Graphics(const GraphicPtr& source, const GraphicList& selected, const QImage& image,
                             std::optional<int> printObject, QUndoStack* undo, bool continuesEdit = false,
                             bool sourceSymbologyChanged = false, const BarcodeStyle* sourceBefore = nullptr);

// Runs the designer modally on the current barcode item; after OK copies the style to the selection and
// hands the new image over (one undo step for both). Returns true when the design changed.
bool Open_Barcode_Window(const GraphicPtr& current, const GraphicList& selected, QUndoStack* undo,
                         std::optional<int> printObject);
