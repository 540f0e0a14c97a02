#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

// The value editor: changes one value of the series manager's value list.
class Update_Ex_Num : public QDialog {
    Q_OBJECT
public:
    explicit Update_Ex_Num(QWidget* parent = nullptr);

    // Stores the new value at a row of the value list; false when the row is gone.
    using Store = std::function<bool(int row, const QString& value)>;
    void setStore(Store store) { _store = std::move(store); }

    // Loads the value of a row and clears any earlier edit.
    void load(const QString& value, int row);

    void OKPressed();
    void CancelPressed();

    QString m_s_number;      // the value as it was
    QLineEdit* m_ex_num_str; // the value being edited
    int m_ex_num_index = -1; // its row in the value list

protected:
    void reject() override { CancelPressed(); }

private:
    void clearFields();
    Store _store;
};
