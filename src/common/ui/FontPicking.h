#pragma once

// Choosing a font with the font dialog. Stored designs name fonts that may not be installed here
// ("Times New Roman" drawn with its metric twin); the dialog is shown the family actually drawn, and an
// unchanged choice keeps the stored name.

#include <QFont>
#include <QString>

#include <optional>

class QWidget;

// The font to preselect in the dialog: the installed family that draws `current`.
QFont fontForFontDialog(const QFont& current);

// The font to store after the dialog: `chosen`, but with the stored family name kept when the user left
// the family as shown.
QFont fontFromFontDialog(const QFont& chosen, const QFont& current);

// Runs the font dialog; nothing when cancelled.
std::optional<QFont> pickFont(QWidget* parent, const QFont& current, const QString& title);
