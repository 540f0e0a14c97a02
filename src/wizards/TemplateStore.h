#pragma once

// User templates: a design file and a PNG preview with the same base name in "Templates"/"User";
// built-in templates lie in "Templates" and are never changed.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

struct TemplateEntry {
    QString name;
    QString designPath;
    QString previewPath; // may not exist
    bool builtIn = false;
};

// Outcome of the template name window's OK.
struct TemplateNameCheck {
    bool accepted = false;
    QString name; // the accepted name
};

class TemplateStore {
public:
    // Folders default to Resource_Path/"Templates" and Resource_Path/"Templates"/"User".
    TemplateStore();
    TemplateStore(const QString& builtInFolder, const QString& userFolder);

    static QString extension(); // design_file_EXT, "kvto"

    QString builtInFolder() const { return m_builtIn; }
    QString userFolder() const { return m_user; }
    QString designPath(const QString& name) const; // in the user folder
    QString previewPath(const QString& name) const;

    // Built-in templates first, then the user's, each sorted by name.
    QList<TemplateEntry> list() const;
    bool userTemplateExists(const QString& name) const;
    bool builtInTemplateExists(const QString& name) const;

    // Why the cleaned name cannot name a template file, empty when it can.
    static QString nameProblem(const QString& name);
    // The name window's OK: cleans typed, refuses bad names, asks before replacing a user template on a
    // new save (passed empty), refuses a rename onto an existing name. Messages go through the prompt seam.
    TemplateNameCheck checkName(const QString& typed, const QString& passed) const;

    // Writes (or replaces) both files, each atomically. False with a reason on failure.
    bool save(const QString& name, const QByteArray& design, const QImage& preview, QString* error) const;
    // Renames a user template: the new files are written first, then the old ones removed.
    bool rename(const QString& oldName, const QString& newName, QString* error) const;
    // Copies any listed template (built-in or user) into the user folder under a new name.
    bool copy(const TemplateEntry& source, const QString& newName, QString* error) const;
    // Removes a user template's files. Built-in templates cannot be removed.
    bool remove(const QString& name, QString* error) const;

private:
    bool copyFileAtomic(const QString& from, const QString& to, QString* error) const;
    QList<TemplateEntry> listFolder(const QString& folder, bool builtIn) const;
    QString m_builtIn;
    QString m_user;
};
