#include "data/ui/Update_Ex_Num.h"

#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

Update_Ex_Num::Update_Ex_Num(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Update_Ex_Num"));
    setWindowTitle(tr("Edit Value"));
    applyDialogBackground(this);
    m_ex_num_str = new QLineEdit(this);
    m_ex_num_str->setObjectName(QStringLiteral("m_ex_num_str"));
    m_ex_num_str->setMinimumWidth(280);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Update_Ex_Num::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &Update_Ex_Num::CancelPressed);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Value:"), this));
    layout->addWidget(m_ex_num_str);
    layout->addWidget(buttons);
}

void Update_Ex_Num::load(const QString& value, int row) {
    m_s_number = value;
    m_ex_num_str->setText(value);
    m_ex_num_index = row;
}

void Update_Ex_Num::clearFields() {
    m_s_number.clear();
    m_ex_num_str->clear();
    m_ex_num_index = -1;
}

void Update_Ex_Num::OKPressed() {
    const QString typed = m_ex_num_str->text();
    if (typed == m_s_number) {
        done(1);
        return;
    }
    const QString value = Trim_Str(typed);
    if (value.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please enter a valid value."));
        m_ex_num_str->setFocus();
        return;
    }
    // A row that no longer exists is never written (no position -1 or past the end).
    if (m_ex_num_index < 0 || !_store || !_store(m_ex_num_index, value))
        Show_NSLog_Message(QStringLiteral("Value row %1 is not in the list.").arg(m_ex_num_index));
    clearFields();
    done(1);
}

void Update_Ex_Num::CancelPressed() {
    clearFields();
    done(0);
}
