#include "output/ui/Share_It_Dlg.h"

#include "common/ui/UiHelpers.h"
#include "output/MakerLinks.h"
#include "output/ui/LinkButton.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

Share_It_Dlg::Share_It_Dlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Share NAVU Photo Frame"));
    applyDialogBackground(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Tell your friends about NAVU Photo Frame:"), this));
    const std::pair<const char*, bool (*)()> services[] = {{"Facebook", &Open_FaceBook},
                                                           {"Like", &Open_FB_Like},
                                                           {"Twitter", &Open_Twitter},
                                                           {"Google+", &Open_Google_Plus},
                                                           {"Comments", &Open_Share_It_Dl}};
    for (const auto& [name, open] : services) {
        auto* b = new LinkButton(tr(name), this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [open] { open(); });
        layout->addWidget(b);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Share_It_Dlg::OK_Pressed);
    layout->addWidget(buttons);
}

int Share_It_Dlg::Open_Wnd() {
    const int code = exec();
    hide();
    return code;
}

void Share_It_Dlg::OK_Pressed() {
    done(1);
}
