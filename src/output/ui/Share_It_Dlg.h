#pragma once

// The share window: share the maker's web site on a social service.

#include <QDialog>

class Share_It_Dlg : public QDialog {
    Q_OBJECT
public:
    explicit Share_It_Dlg(QWidget* parent = nullptr);
    int Open_Wnd();
    void OK_Pressed();
};
