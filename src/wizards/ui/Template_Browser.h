#pragma once

// The template browser: built-in and user templates with their previews; opens one, and copies, renames
// and deletes user templates.

#include "wizards/TemplateStore.h"

#include <QDialog>

class QListWidget;
class QPushButton;

class Template_Browser : public QDialog {
    Q_OBJECT
public:
    static Template_Browser* defaultInstance();
    explicit Template_Browser(QWidget* parent = nullptr);

    // Lists the templates and runs modally; 1 when a template was chosen to open (selectedDesignPath()).
    int Open_Wnd();
    void Fill_Template_List();

    QString selectedDesignPath() const { return m_selectedPath; }
    const TemplateStore& store() const { return m_store; }
    QListWidget* list() const { return m_list; }

    // The actions on the selected entry (also what the buttons call).
    bool Open_Template_Click();
    bool Copy_Template_Click();
    bool Rename_Template_Click();
    bool Delete_Template_Click();

private:
    const TemplateEntry* current() const;
    void updateButtons();

    TemplateStore m_store;
    QList<TemplateEntry> m_entries;
    QString m_selectedPath;
    QListWidget* m_list;
    QPushButton* m_open;
    QPushButton* m_copy;
    QPushButton* m_rename;
    QPushButton* m_delete;
};
