#pragma once

// The window shown once when the program ends: asks for a review; both buttons open the review page.

#include <QDialog>

class QPushButton;

class Review_Form : public QDialog {
    Q_OBJECT
public:
    explicit Review_Form(QWidget* parent = nullptr);
    static Review_Form* defaultInstance();

    // Runs modally and hides afterwards; 1 from either button.
    int Open_Wnd();
    void OK_Clicked();
    void Review_Clicked();

    QPushButton* okButton;
    QPushButton* reviewButton;
};
