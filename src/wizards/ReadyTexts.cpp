#include "wizards/ReadyTexts.h"

#include "common/Globals.h"

#include <QFile>

namespace readytexts {

QStringList load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxFileBytes)
        return {};
    const QString text = QString::fromUtf8(f.read(MaxFileBytes));
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (!t.isEmpty())
            out.append(t);
        if (out.size() >= MaxEntries)
            break;
    }
    return out;
}

QString filePath(const QString& titleOrMsg) {
    return Resource_Path + (titleOrMsg == QStringLiteral("T") ? QStringLiteral("/Title.txt")
                                                              : QStringLiteral("/Message.txt"));
}

} // namespace readytexts
