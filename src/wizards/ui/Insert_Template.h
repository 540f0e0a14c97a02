#pragma once

// The ready-made text picker: lists the ready-made titles or messages and hands the chosen text back in
// Template_Msg_Val.

#include <QDialog>
#include <QString>

class QListWidget;
class QPlainTextEdit;

class Insert_Template : public QDialog {
    Q_OBJECT
public:
    static Insert_Template* defaultInstance();
    explicit Insert_Template(QWidget* parent = nullptr);

    QString title_or_msg = QStringLiteral("T"); // "T" titles, anything else messages

    // Empties Template_Msg_Val, loads the list, shows the first entry and runs modally: 1 when OK was
    // pressed with a non-empty text, which is then in Template_Msg_Val.
    int Open_Template_Dialog();
    // Loads the list without showing the window.
    void loadList();

    // OK's check: a non-empty trimmed text is accepted into Template_Msg_Val, an empty one is refused
    // with "Please select message.".
    static bool acceptText(const QString& text);

    QListWidget* list() const { return m_list; }
    QPlainTextEdit* editor() const { return m_text; }

private slots:
    void OKPressed();

private:
    QListWidget* m_list;
    QPlainTextEdit* m_text;
};
