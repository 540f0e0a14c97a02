#pragma once

// A button that looks like a web link: bold 11-point blue underlined text on the dialog colour, open-hand
// cursor.

#include <QPushButton>

class LinkButton : public QPushButton {
    Q_OBJECT
public:
    explicit LinkButton(const QString& text, QWidget* parent = nullptr);
};
