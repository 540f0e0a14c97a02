#include "common/ui/FontPicking.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>

namespace {

// The installed family drawing `font`, or empty when its own family is installed.
QString standInFamily(const QFont& font) {
    const QString family = font.family();
    if (family.isEmpty() || QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return {};
    const QString drawn = QFontInfo(font).family();
    return drawn.compare(family, Qt::CaseInsensitive) == 0 ? QString() : drawn;
}

} // namespace

QFont fontForFontDialog(const QFont& current) {
    QFont shown = current;
    const QString standIn = standInFamily(current);
    if (!standIn.isEmpty())
        shown.setFamily(standIn);
    return shown;
}

QFont fontFromFontDialog(const QFont& chosen, const QFont& current) {
    QFont stored = chosen;
    const QString standIn = standInFamily(current);
    if (!standIn.isEmpty() && chosen.family().compare(standIn, Qt::CaseInsensitive) == 0)
        stored.setFamily(current.family());
    return stored;
}

std::optional<QFont> pickFont(QWidget* parent, const QFont& current, const QString& title) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, fontForFontDialog(current), parent, title);
    if (!ok)
        return std::nullopt;
    return fontFromFontDialog(f, current);
}
