#pragma once

// The template browser: built-in and user templates with their previews; opens one, and copies, renames
// and deletes user templates.

#include "wizards/TemplateStore.h"

#include <QDialog>
#include <functional>

class QListWidget;
class QPushButton;

class Template_Browser : public QDialog {
    Q_OBJECT
public:
    static Template_Browser* defaultInstance();
    explicit Template_Browser(QWidget* parent = nullptr);

    // The profile button's action (the both-sides profile dialog); the button shows only while it is set.
    std::function<void()> openProfile;

    // Lists the templates and runs modally; 1 when a template was chosen to open (selectedDesignPath()).
    int Open_Wnd();
    void Fill_Template_List();

    QString selectedDesignPath() const { return m_selectedPath; }
    const TemplateStore& store() const { return m_store; }
    QListWidget* list() const { return m_list; }
    QPushButton* profileButton() const { return m_profile; }

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
    QPushButton* m_profile;
};
