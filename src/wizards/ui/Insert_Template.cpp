#include "wizards/ui/Insert_Template.h"

#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"
#include "wizards/InvitationState.h"
#include "wizards/ReadyTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

Insert_Template* Insert_Template::defaultInstance() {
    static Insert_Template* instance = new Insert_Template(mainWindow());
    return instance;
}

Insert_Template::Insert_Template(QWidget* parent) : QDialog(parent) {
    applyDialogBackground(this);
    setWindowTitle(QStringLiteral("Ready-made Text"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setWordWrap(true);
    m_text = new QPlainTextEdit(this);
    m_text->setMaximumHeight(90);
    layout->addWidget(new QLabel(QStringLiteral("Choose a text, then change it as you like:"), this));
    layout->addWidget(m_list, 1);
    layout->addWidget(m_text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &Insert_Template::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentTextChanged, m_text, &QPlainTextEdit::setPlainText);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &Insert_Template::OKPressed);
    resize(460, 380);
}

void Insert_Template::loadList() {
    const bool titles = title_or_msg == QStringLiteral("T");
    setWindowTitle(titles ? QStringLiteral("Ready-made Titles") : QStringLiteral("Ready-made Messages"));
    m_list->clear();
    m_text->clear();
    m_list->addItems(readytexts::load(readytexts::filePath(title_or_msg)));
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

int Insert_Template::Open_Template_Dialog() {
    Template_Msg_Val.clear();
    loadList();
    return exec();
}

bool Insert_Template::acceptText(const QString& text) {
    const QString t = Trim_Str(text);
    if (t.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select message."));
        return false;
    }
    Template_Msg_Val = t;
    return true;
}

void Insert_Template::OKPressed() {
    if (acceptText(m_text->toPlainText()))
        done(1);
}
