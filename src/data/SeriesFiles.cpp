#include "data/SeriesFiles.h"
#include "common/FileHelpers.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/SafeFileName.h"
#include "common/StringHelpers.h"
#include "data/DataText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <algorithm>

namespace {
QString accessError(const QString& reason)
{
    return QStringLiteral("Error in file accessing.") + (reason.isEmpty() ? QString() : u' ' + reason);
}
} // namespace

QString SeriesFiles::cleanName(const QString& typed)
{
    const QString name = Remove_Reserve_Char_In_File_Name(typed);
    return isValidName(name) ? name : QString();
}

bool SeriesFiles::isValidName(const QString& name) { return isSafeFileName(name); }

QString SeriesFiles::filePath(const QString& name)
{
    if (!isValidName(name) || Data_Folder_Path.isEmpty())
        return {};
    return safeFilePath(Data_Folder_Path, name, u'.' + batch_file_EXT);
}

bool SeriesFiles::exists(const QString& name)
{
    const QString path = filePath(name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QStringList SeriesFiles::Get_datasheet_File_Name_Array() { return Get_datasheet_File_Name_Array(Data_Folder_Path); }

QStringList SeriesFiles::Get_datasheet_File_Name_Array(const QString& folder)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    const QDir dir(folder);
    if (!dir.exists())
        return names;
    const QString suffix = u'.' + batch_file_EXT;
    const auto entries = dir.entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& fi : entries) {
        const QString file = fi.fileName();
        if (!file.endsWith(suffix, Qt::CaseSensitive) || !fi.isFile() || fi.isSymLink())
            continue;
        const QString base = file.left(file.size() - suffix.size());
        if (isValidName(base))
            names << base;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    return names;
}

std::optional<QString> SeriesFiles::readText(const QString& name, QString* error)
{
    const QString path = filePath(name);
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("Invalid series name: %1").arg(name);
        return std::nullopt;
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read series file %1").arg(path);
        return std::nullopt;
    }
    if (file.size() > MaxFileBytes) {
        if (error)
            *error = QStringLiteral("Series file too large: %1").arg(path);
        return std::nullopt;
    }
    TextEncoding how;
    const QString text = textFileToString(file.readAll(), &how);
    const QString note = encodingNote(name, how);
    if (!note.isEmpty()) {
        // A file saved by another program, or with bytes that are no text: tell the user once per file.
        static QMutex lock;
        static QSet<QString> told;
        QMutexLocker locker(&lock);
        if (!told.contains(path)) {
            told.insert(path);
            locker.unlock();
            Show_MessageBox(note);
        }
    }
    return text;
}

std::optional<QStringList> SeriesFiles::readForBinding(const QString& name, QString* error)
{
    const auto text = readText(name, error);
    if (!text)
        return std::nullopt;
    QStringList values = Trim_Str(*text).split(u'\n');
    // Files edited on other systems end their lines with CR LF.
    for (QString& v : values) {
        if (v.endsWith(u'\r'))
            v.chop(1);
    }
    return values;
}

QString SeriesFiles::Get_First_Value_Of_Dataset(const QString& name)
{
    const auto text = readText(name);
    if (!text)
        return {};
    QString first = text->section(u'\n', 0, 0);
    if (first.endsWith(u'\r'))
        first.chop(1);
    return first;
}

QStringList SeriesFiles::readForViewer(const QString& name)
{
    QStringList values;
    const auto text = readText(name);
    if (!text)
        return values;
    for (const QStringView piece : QStringView(*text).split(u'\n')) {
        QString v = Trim_Str(piece.toString());
        if (!v.isEmpty())
            values << v;
    }
    return values;
}

bool SeriesFiles::writeSeries(const QString& name, const QStringList& values, QString* error, WriteMode mode)
{
    return writeLines(name, mode, error, [&values](QByteArray& content) {
        for (const QString& v : values) {
            content.append(withoutControls(joinLineBreaks(v)).toUtf8());
            content.append('\n');
        }
    });
}

bool SeriesFiles::writeSeries(const QString& name, const PooledValues& values, QString* error, WriteMode mode)
{
    return writeLines(name, mode, error, [&values](QByteArray& content) {
        content.reserve(content.size() + qsizetype(values.bytes()));
        values.forEach([&content](std::string_view v) {
            // Printable ASCII and tabs go as they are.
            bool plain = true;
            for (size_t i = 0; plain && i < v.size(); ++i)
                plain = (uchar(v[i]) >= 0x20 && uchar(v[i]) < 0x7F) || v[i] == '\t';
            if (plain)
                content.append(v.data(), qsizetype(v.size()));
            else
                content.append(withoutControls(joinLineBreaks(QString::fromUtf8(v.data(), qsizetype(v.size())))).toUtf8());
            content.append('\n');
        });
    });
}

bool SeriesFiles::writeLines(const QString& name, WriteMode mode, QString* error,
                             const std::function<void(QByteArray&)>& addValues)
{
    if (!Data_Folder_Path.isEmpty())
        QDir().mkpath(Data_Folder_Path);
    const QString path = filePath(name);
    if (path.isEmpty()) {
        if (error)
            *error = accessError(QStringLiteral("Invalid series name."));
        return false;
    }
    try {
        QByteArray content;
        if (mode == WriteMode::Append && QFileInfo(path).isFile()) {
            QFile old(path);
            if (!old.open(QIODevice::ReadOnly)) {
                if (error)
                    *error = accessError(old.errorString());
                return false;
            }
            // One file, one encoding: UTF-8 values after another program's code page would be read in it.
            content = textFileToUtf8(old.readAll());
            if (!content.isEmpty() && !content.endsWith('\n'))
                content.append('\n');
        }
        addValues(content);
        QString why;
        if (!writeFileAtomically(path, content, &why)) {
            if (error)
                *error = accessError(why);
            return false;
        }
    } catch (const std::bad_alloc&) {
        if (error)
            *error = accessError(QStringLiteral("There is not enough memory for the series."));
        return false;
    }
    return true;
}

bool SeriesFiles::removeSeries(const QString& name)
{
    const QString path = filePath(name);
    return !path.isEmpty() && QFile::remove(path);
}
