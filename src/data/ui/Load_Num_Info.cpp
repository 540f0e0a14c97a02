#include "data/ui/Load_Num_Info.h"

#include "common/ui/UiHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Load_Num_Info::Load_Num_Info(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Load_Num_Info"));
    setWindowTitle(tr("Load Values"));
    applyDialogBackground(this);
    auto* text =
        new QLabel(tr("The list already holds values.\n\nYes: replace the list with the new values.\n"
                      "No: add the new values at the end of the list."),
                   this);
    yes_btn = new QPushButton(tr("Yes"), this);
    no_btn = new QPushButton(tr("No"), this);
    cancel_btn = new QPushButton(tr("Cancel"), this);
    yes_btn->setDefault(true);
    connect(yes_btn, &QPushButton::clicked, this, &Load_Num_Info::YESPressed);
    connect(no_btn, &QPushButton::clicked, this, &Load_Num_Info::NOPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Load_Num_Info::CancelPressed);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(no_btn);
    buttons->addWidget(yes_btn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
}

void Load_Num_Info::YESPressed() {
    done(1);
}

void Load_Num_Info::NOPressed() {
    done(0);
}

void Load_Num_Info::CancelPressed() {
    hide();
    done(CancelResult);
}
