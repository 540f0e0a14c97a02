#include "barcode/ui/BarcodeStyleCommand.h"

BarcodeItemState BarcodeItemState::of(const SKTGraphic& item) {
    BarcodeItemState s;
    s.style = BarcodeStyle::fromItem(item);
    s.data_source_type = item.data_source_type;
    s.batch_list_name = item.batch_list_name;
    s.batch_list_index = item.batch_list_index;
    s.excel_col_indx = item.excel_col_indx;
    s.image = item._barcode_image;
    s.print_object = item.print_object;
    s.bounds = item.bounds();
    return s;
}

void BarcodeItemState::applyTo(SKTGraphic& item) const {
    style.applyTo(item);
    item.Set_Data_source_type(data_source_type);
    item.Set_Batch_List_Name(batch_list_name);
    item.Set_Batch_List_Index(batch_list_index);
    item.Set_Excel_binding_Index(excel_col_indx);
    item.Set_Barcode_image(image);
    item.print_object = print_object;
    item.setBounds(bounds);
}

BarcodeStyleCommand::BarcodeStyleCommand(std::vector<Change> changes, const QString& text, bool continuesEdit,
                                         QUndoCommand* parent)
    : SideUndoCommand(text, parent), _changes(std::move(changes)), _continuesEdit(continuesEdit) {}

void BarcodeStyleCommand::redo() {
    for (const Change& c : _changes)
        c.after.applyTo(*c.item);
}

void BarcodeStyleCommand::undo() {
    for (auto it = _changes.rbegin(); it != _changes.rend(); ++it)
        it->before.applyTo(*it->item);
}

bool BarcodeStyleCommand::mergeWith(const QUndoCommand* other) {
    const auto* o = static_cast<const BarcodeStyleCommand*>(other);
    if (!o->_continuesEdit)
        return false;
    _changes.insert(_changes.end(), o->_changes.begin(), o->_changes.end());
    return true;
}
