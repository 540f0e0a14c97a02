#include "common/SafeFileName.h"

#include "common/StringHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool hasReservedChar(const QString& name)
{
    const auto ucs4 = name.toUcs4();
    for (char32_t c : ucs4) {
        if (isReservedFileNameChar(c))
            return true;
    }
    return false;
}

bool hasLoneSurrogate(const QString& name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
                ++i;
                continue;
            }
            return true;
        }
        if (c.isLowSurrogate())
            return true;
    }
    return false;
}

// Cuts s to the length bounds without splitting a surrogate pair.
QString cutToLength(const QString& s)
{
    qsizetype n = qMin(s.size(), kMaxFileNameLength);
    if (n < s.size() && n > 0 && s.at(n - 1).isHighSurrogate())
        --n;
    QString out = s.left(n);
    while (out.toUtf8().size() > kMaxFileNameBytes) {
        out.chop(out.size() >= 2 && out.at(out.size() - 1).isLowSurrogate() ? 2 : 1);
    }
    return out;
}

bool isInside(const QString& root, const QString& path)
{
    if (root == QLatin1String("/"))
        return path.size() > 1 && path.startsWith(QLatin1Char('/'));
    return path.startsWith(root + QLatin1Char('/')) && path.size() > root.size() + 1;
}

bool isInsideOrSame(const QString& root, const QString& path) { return path == root || isInside(root, path); }

} // namespace

QString fileNameProblem(const QString& name)
{
    if (Trim_Str(name).isEmpty())
        return QStringLiteral("Please enter a name.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" can't be used as a name.").arg(name);
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("A name can't start with a dot.");
    if (hasReservedChar(name) || hasLoneSurrogate(name))
        return QStringLiteral("A name can't contain / \\ ? % * | \" < > : or control characters.");
    if (Trim_Str(name) != name)
        return QStringLiteral("A name can't start or end with blanks.");
    if (name.size() > kMaxFileNameLength)
        return QStringLiteral("A name can have at most %1 characters.").arg(kMaxFileNameLength);
    if (name.toUtf8().size() > kMaxFileNameBytes)
        return QStringLiteral("The name is too long.");
    return QString();
}

bool isSafeFileName(const QString& name) { return fileNameProblem(name).isEmpty(); }

QString makeSafeFileName(const QString& name, const QString& fallback)
{
    QString s = Remove_Reserve_Char_In_File_Name(name);
    while (s.startsWith(QLatin1Char('.')))
        s = Trim_Str(s.mid(1));
    s = Trim_Str(cutToLength(s));
    if (isSafeFileName(s))
        return s;
    return isSafeFileName(fallback) ? fallback : QString();
}

QString pathInsideFolder(const QString& folder, const QString& relativeName)
{
    if (folder.isEmpty() || relativeName.isEmpty() || QDir::isAbsolutePath(relativeName))
        return QString();
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return QString();
    const QString joined = QDir::cleanPath(root + QLatin1Char('/') + relativeName);
    if (!isInside(root, joined))
        return QString();

    // Resolve links in the part of the path that exists; a dangling link is refused, since writing
    // through it would create its target wherever it points.
    QFileInfo fi(joined);
    if (fi.isSymLink() && !fi.exists())
        return QString();
    if (fi.exists())
        return isInside(root, fi.canonicalFilePath()) ? joined : QString();
    QString ancestor = fi.absolutePath();
    while (!QFileInfo::exists(ancestor)) {
        QFileInfo a(ancestor);
        if (a.isSymLink())
            return QString();
        const QString up = a.absolutePath();
        if (up == ancestor)
            return QString();
        ancestor = up;
    }
    return isInsideOrSame(root, QFileInfo(ancestor).canonicalFilePath()) ? joined : QString();
}

QString safeFilePath(const QString& folder, const QString& name, const QString& extension, QString* problem)
{
    QString why = fileNameProblem(name);
    if (why.isEmpty() && !extension.isEmpty() &&
        (!extension.startsWith(QLatin1Char('.')) || !isSafeFileName(extension.mid(1))))
        why = QStringLiteral("The file extension \"%1\" can't be used.").arg(extension);
    QString path;
    if (why.isEmpty()) {
        path = pathInsideFolder(folder, name + extension);
        if (path.isEmpty())
            why = QStringLiteral("The name \"%1\" leads outside its folder.").arg(name);
    }
    if (problem)
        *problem = why;
    return path;
}
