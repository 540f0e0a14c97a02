#pragma once

// The template name window: asks for the name of a new user template or the new name of one.

#include <QDialog>

class QLineEdit;
class TemplateStore;

class Export_Template : public QDialog {
    Q_OBJECT
public:
    explicit Export_Template(const TemplateStore& store, QWidget* parent = nullptr);

    QLineEdit* template_name() const { return m_name; }
    // The current name of a template being renamed; empty for a new template.
    QLineEdit* template_passed() const { return m_passed; }

    // Fills both fields and runs modally; 1 when a name was accepted (then in export_template_name).
    int runFor(const QString& currentName);
    // Runs for a new template, the name field holding a suggestion.
    int runNew(const QString& suggestion);

public slots:
    void OKPressed();
    void CancelPressed();
    void reject() override { CancelPressed(); }

private:
    const TemplateStore& m_store;
    QLineEdit* m_name;
    QLineEdit* m_passed;
};
