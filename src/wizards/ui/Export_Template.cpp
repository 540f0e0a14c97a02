#include "wizards/ui/Export_Template.h"

#include "common/ui/UiHelpers.h"
#include "wizards/InvitationState.h"
#include "wizards/TemplateStore.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

Export_Template::Export_Template(const TemplateStore& store, QWidget* parent)
    : QDialog(parent), m_store(store) {
    applyDialogBackground(this);
    setWindowTitle(QStringLiteral("Template Name"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setMaxLength(200);
    m_passed = new QLineEdit(this);
    m_passed->setVisible(false);
    form->addRow(QStringLiteral("Template name:"), m_name);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &Export_Template::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &Export_Template::CancelPressed);
}

int Export_Template::runFor(const QString& currentName) {
    m_name->setText(currentName);
    m_passed->setText(currentName);
    m_name->selectAll();
    m_name->setFocus();
    return exec();
}

int Export_Template::runNew(const QString& suggestion) {
    m_name->setText(suggestion);
    m_passed->clear();
    m_name->selectAll();
    m_name->setFocus();
    return exec();
}

void Export_Template::OKPressed() {
    const TemplateNameCheck check = m_store.checkName(m_name->text(), m_passed->text());
    if (!check.accepted)
        return; // the window stays open with the typed name
    export_template_name = check.name;
    done(1);
}

void Export_Template::CancelPressed() {
    m_name->clear();
    QDialog::done(0);
}
