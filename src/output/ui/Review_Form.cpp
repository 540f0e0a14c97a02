#include "output/ui/Review_Form.h"

#include "common/ui/UiHelpers.h"
#include "output/MakerLinks.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<Review_Form> instance;
}

Review_Form::Review_Form(QWidget* parent) : QDialog(parent) {
    if (!instance)
        instance = this;
    setWindowTitle(tr("Thank You"));
    applyDialogBackground(this);
    auto* text =
        new QLabel(tr("Thank you for using NAVU Photo Frame.\n\nIf you like it, please take a moment to "
                      "review it. Your review helps us make it better."),
                   this);
    text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    reviewButton = buttons->addButton(tr("Write a Review"), QDialogButtonBox::AcceptRole);
    okButton = buttons->addButton(QDialogButtonBox::Ok);
    reviewButton->setDefault(true);
    connect(reviewButton, &QPushButton::clicked, this, &Review_Form::Review_Clicked);
    connect(okButton, &QPushButton::clicked, this, &Review_Form::OK_Clicked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

Review_Form* Review_Form::defaultInstance() {
    if (!instance)
        new Review_Form(mainWindow());
    return instance.data();
}

int Review_Form::Run_At_Quit() {
    if (!MakerLinks::available(MakerLinks::Link::ReviewPage))
        return 0;
    return defaultInstance()->Open_Wnd();
}

int Review_Form::Open_Wnd() {
    const int code = exec();
    hide();
    return code;
}

void Review_Form::OK_Clicked() {
    Open_Review_Page();
    done(1);
}

void Review_Form::Review_Clicked() {
    Open_Review_Page();
    done(1);
}
