#pragma once

// The window shown once when the program ends: asks for a review; both buttons open the review page.
// Without a review page there is nothing to ask for, and the window is not shown.

#include <QDialog>

class QPushButton;

class Review_Form : public QDialog {
    Q_OBJECT
public:
    explicit Review_Form(QWidget* parent = nullptr);
    static Review_Form* defaultInstance();
    // The quit road's call: runs the window when the maker has a review page, else 0 without showing it.
    static int Run_At_Quit();

    // Runs modally and hides afterwards; 1 from either button.
    int Open_Wnd();
    void OK_Clicked();
    void Review_Clicked();

    QPushButton* okButton;
    QPushButton* reviewButton;
};
