#pragma once

#include <QDialog>

class QPushButton;

// The list-loading question: new values replace the value list (Yes, 1), are appended (No, 0), or nothing
// happens (Cancel, CancelResult).
class Load_Num_Info : public QDialog {
    Q_OBJECT
public:
    static constexpr int CancelResult = 2;
    explicit Load_Num_Info(QWidget* parent = nullptr);

    void YESPressed();
    void NOPressed();
    void CancelPressed();

    QPushButton* yes_btn;
    QPushButton* no_btn;
    QPushButton* cancel_btn;

protected:
    void reject() override { CancelPressed(); }
};
