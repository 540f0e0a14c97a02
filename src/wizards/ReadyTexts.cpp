#include "wizards/ReadyTexts.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/TextEncoding.h"

#include <QFile>

namespace readytexts {

QStringList load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxFileBytes)
        return {};
    TextEncoding how;
    const QString text = textFileToString(f.read(MaxFileBytes), &how);
    Show_NSLog_Message(textEncodingNote(how, path));
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
