#pragma once

// The share window: share the maker's web site on a social service, or open its comments page. Only links
// with an address are shown; without any, nothing should open the window (hasLinks).

#include <QDialog>

class Share_It_Dlg : public QDialog {
    Q_OBJECT
public:
    explicit Share_It_Dlg(QWidget* parent = nullptr);
    static bool hasLinks();
    int Open_Wnd();
    void OK_Pressed();
};
