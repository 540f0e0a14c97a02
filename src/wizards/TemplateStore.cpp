#include "wizards/TemplateStore.h"
#include "common/FileHelpers.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/SafeFileName.h"
#include "common/StringHelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// As large as a design file may be (a template opens as one), so that every template saved can be copied.
constexpr qint64 MaxTemplateFileBytes = 2047LL * 1024 * 1024;

bool writeAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    return writeFileAtomically(path, bytes, error);
}

} // namespace

TemplateStore::TemplateStore()
    : TemplateStore(Resource_Path + QStringLiteral("/Templates"),
                    Resource_Path + QStringLiteral("/Templates/User")) {}

TemplateStore::TemplateStore(const QString& builtInFolder, const QString& userFolder)
    : m_builtIn(builtInFolder), m_user(userFolder) {}

QString TemplateStore::extension() {
    return QStringLiteral("kvto");
}

QString TemplateStore::designPath(const QString& name) const {
    return m_user + QLatin1Char('/') + name + QLatin1Char('.') + extension();
}

QString TemplateStore::previewPath(const QString& name) const {
    return m_user + QLatin1Char('/') + name + QStringLiteral(".png");
}

QList<TemplateEntry> TemplateStore::listFolder(const QString& folder, bool builtIn) const {
    QList<TemplateEntry> out;
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.") + extension()}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : files) {
        TemplateEntry e;
        e.name = f.completeBaseName();
        e.designPath = f.absoluteFilePath();
        e.previewPath = dir.absoluteFilePath(e.name + QStringLiteral(".png"));
        e.builtIn = builtIn;
        out.append(e);
    }
    return out;
}

QList<TemplateEntry> TemplateStore::list() const {
    return listFolder(m_builtIn, true) + listFolder(m_user, false);
}

bool TemplateStore::userTemplateExists(const QString& name) const {
    return QFileInfo::exists(designPath(name));
}

bool TemplateStore::builtInTemplateExists(const QString& name) const {
    for (const TemplateEntry& e : listFolder(m_builtIn, true))
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString TemplateStore::nameProblem(const QString& name) {
    if (Trim_Str(name).isEmpty())
        return QStringLiteral("Please enter template name.");
    return fileNameProblem(name);
}

TemplateNameCheck TemplateStore::checkName(const QString& typed, const QString& passed) const {
    const QString name = Remove_Reserve_Char_In_File_Name(Trim_Str(typed));
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        Show_MessageBox(problem);
        return {};
    }
    const QString old = passed.trimmed();
    if (name != old && builtInTemplateExists(name)) {
        Show_MessageBox(QStringLiteral("A built-in template has this name. Please enter another name."));
        return {};
    }
    if (old.isEmpty()) {
        if (userTemplateExists(name) &&
            !Show_YES_NO_MessageBox(QStringLiteral(
                "Template with this name already exists, Do you want to replace the existing template?")))
            return {};
    } else if (name != old && userTemplateExists(name)) {
        Show_MessageBox(QStringLiteral("Template with this name already exists."));
        return {};
    }
    return {true, name};
}

bool TemplateStore::save(const QString& name, const QByteArray& design, const QImage& preview,
                         QString* error) const {
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    if (!QDir().mkpath(m_user)) {
        if (error)
            *error = QStringLiteral("Cannot create the folder %1.").arg(m_user);
        return false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (preview.isNull() || !preview.save(&buffer, "PNG")) {
        if (error)
            *error = QStringLiteral("The preview picture could not be made.");
        return false;
    }
    return writeAtomic(designPath(name), design, error) && writeAtomic(previewPath(name), png, error);
}

bool TemplateStore::copyFileAtomic(const QString& from, const QString& to, QString* error) const {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly) || in.size() > MaxTemplateFileBytes) {
        if (error)
            *error = QStringLiteral("Cannot read %1.").arg(from);
        return false;
    }
    return writeAtomic(to, in.readAll(), error);
}

bool TemplateStore::rename(const QString& oldName, const QString& newName, QString* error) const {
    if (oldName == newName)
        return true;
    for (const QString& n : {oldName, newName}) {
        if (const QString problem = nameProblem(n); !problem.isEmpty()) {
            if (error)
                *error = problem;
            return false;
        }
    }
    if (!userTemplateExists(oldName)) {
        if (error)
            *error = QStringLiteral("Template does not exist.");
        return false;
    }
    if (userTemplateExists(newName)) {
        if (error)
            *error = QStringLiteral("Template with this name already exists.");
        return false;
    }
    if (!copyFileAtomic(designPath(oldName), designPath(newName), error))
        return false;
    if (QFileInfo::exists(previewPath(oldName)) &&
        !copyFileAtomic(previewPath(oldName), previewPath(newName), error)) {
        QFile::remove(designPath(newName));
        return false;
    }
    QFile::remove(designPath(oldName));
    QFile::remove(previewPath(oldName));
    return true;
}

bool TemplateStore::copy(const TemplateEntry& source, const QString& newName, QString* error) const {
    if (const QString problem = nameProblem(newName); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    if (!QDir().mkpath(m_user)) {
        if (error)
            *error = QStringLiteral("Cannot create the folder %1.").arg(m_user);
        return false;
    }
    if (!copyFileAtomic(source.designPath, designPath(newName), error))
        return false;
    if (QFileInfo::exists(source.previewPath) &&
        !copyFileAtomic(source.previewPath, previewPath(newName), error))
        return false;
    return true;
}

bool TemplateStore::remove(const QString& name, QString* error) const {
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    if (!userTemplateExists(name)) {
        if (error)
            *error = QStringLiteral("Template does not exist.");
        return false;
    }
    if (!QFile::remove(designPath(name))) {
        if (error)
            *error = QStringLiteral("Cannot delete %1.").arg(designPath(name));
        return false;
    }
    QFile::remove(previewPath(name));
    return true;
}
