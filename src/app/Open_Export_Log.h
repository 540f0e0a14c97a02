#pragma once

// The export-finished window: where the export went, what happened, and an offer to open the result.

#include <QDialog>
#include <QUrl>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

class Open_Export_Log : public QDialog {
    Q_OBJECT
public:
    // Opens a file or folder with the desktop's default application; replaceable for tests.
    using Opener = std::function<bool(const QUrl& url)>;

    explicit Open_Export_Log(QWidget* parent = nullptr);

    static void setOpener(Opener opener);

    // Fills the window. written is the true result of the export: without it the window says that nothing
    // was exported and offers nothing to open. details (every row with a problem), when given, are offered
    // by "Show Details..." (showMessageDetails), which keeps the window open.
    void prepare(const QString& path, const QString& message, bool written, const QString& details = {});
    // Runs the window modally; 1 for OK, 0 for Cancel.
    int runModal();

    void OKPressed();
    void CancelPressed();
    // Escape and the close box are Cancel: nothing opens and the box is ticked again for the next time.
    void reject() override;

    // "Open containing folder." for an existing folder, else "Open exported file.".
    static QString checkBoxTitle(const QString& path);
    // What to open for an exported path: the folder itself, or the file as the picture it is. Exports write
    // PNG data whatever the name ends with, so a file whose name says otherwise is offered through a copy
    // with the extension of its real format in a temporary folder.
    static QUrl openTarget(const QString& path);

    QCheckBox* _open_log_chk;
    QLabel* _open_log_path;
    QLabel* _open_log_message;
    QPushButton* _details_btn;

private:
    QString _path;
    QString _details;
    bool _written = false;
};
