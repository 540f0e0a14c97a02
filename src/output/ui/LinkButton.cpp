#include "output/ui/LinkButton.h"

#include "common/ui/UiHelpers.h"

LinkButton::LinkButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setFlat(true);
    setCursor(Qt::OpenHandCursor);
    QFont f = font();
    f.setBold(true);
    f.setPointSize(11);
    f.setUnderline(true);
    setFont(f);
    setStyleSheet(
        QStringLiteral("QPushButton { color: #0645ad; border: none; text-align: left; padding: 2px; "
                       "background-color: %1; }")
            .arg(dialogBackgroundColor().name()));
}
