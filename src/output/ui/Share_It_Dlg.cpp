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
    const struct {
        const char* name;
        MakerLinks::Link link;
    } services[] = {{"Facebook", MakerLinks::Link::FacebookShare},
                    {"Like", MakerLinks::Link::FacebookLike},
                    {"Twitter", MakerLinks::Link::TwitterShare},
                    {"Comments", MakerLinks::Link::CommentsPage}};
    for (const auto& service : services) {
        auto* b = new LinkButton(tr(service.name), this);
        b->setObjectName(QString::fromLatin1(service.name));
        const MakerLinks::Link link = service.link;
        connect(b, &QPushButton::clicked, this, [link] { MakerLinks::open(link); });
        b->setVisible(MakerLinks::available(link));
        layout->addWidget(b);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Share_It_Dlg::OK_Pressed);
    layout->addWidget(buttons);
}

bool Share_It_Dlg::hasLinks() {
    for (MakerLinks::Link link : {MakerLinks::Link::FacebookShare, MakerLinks::Link::FacebookLike,
                                  MakerLinks::Link::TwitterShare, MakerLinks::Link::CommentsPage})
        if (MakerLinks::available(link))
            return true;
    return false;
}

int Share_It_Dlg::Open_Wnd() {
    const int code = exec();
    hide();
    return code;
}

void Share_It_Dlg::OK_Pressed() {
    done(1);
}
