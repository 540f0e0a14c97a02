#pragma once

// The progress sheet of batch export and e-mail sending: total, count text, progress bar, pause text and a
// Stop button. Stop asks for confirmation and sets Stop_SMS_Sending_Now, which the worker polls; the sheet
// stays until its owner hides it. The setters may be called from any thread.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class Send_Modeless : public QDialog {
    Q_OBJECT
public:
    // The one progress sheet of the run, made on first use (on the GUI thread) over the main window.
    static Send_Modeless* defaultInstance();
    explicit Send_Modeless(QWidget* window = nullptr);
    ~Send_Modeless() override;

    // Stop enabled, bar 0..total at 0, total text "%d" of total, count text as given, pause text empty;
    // clears Stop_SMS_Sending_Now.
    void resetProgress(int total, const QString& countText);
    void setProgressValue(int value, const QString& countText);
    void setPauseText(const QString& text);
    void setStopEnabled(bool enabled);

    QLabel* _tot_msg_cnt;
    QLabel* _curr_msg_cnt;
    QProgressBar* _Curr_Progress;
    QPushButton* _stop_btn;
    QLabel* pause_label;

public slots:
    // Asks "Are you sure you want to stop?"; Yes sets Stop_SMS_Sending_Now.
    void Stop_Sending_Pressed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Shows the progress sheet on window (the main window when null) / hides it. Safe from any thread.
void Show_One_By_One_Modeless(QWidget* window = nullptr);
void Hide_One_By_One_Modeless();
