#include "output/ui/Help_Support.h"

#include "common/FileHelpers.h"
#include "common/ui/UiHelpers.h"
#include "output/MakerLinks.h"
#include "output/ui/LinkButton.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Help_Support::Help_Support(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("NAVU Photo Frame Help"));
    applyDialogBackground(this);

    auto* title = new QLabel(tr("NAVU Photo Frame"), this);
    QFont tf = title->font();
    tf.setPointSize(tf.pointSize() + 6);
    tf.setBold(true);
    title->setFont(tf);
    auto* intro = new QLabel(tr("Design photo frames, invitations and greeting cards, and print, export or "
                                "send them one by one or from your own lists."),
                             this);
    intro->setWordWrap(true);

    _Help_File_Label = new LinkButton(tr("Open the user guide"), this);
    _Help_File_Label->setObjectName(QStringLiteral("_Help_File_Label"));
    support_id = new LinkButton(tr("Write to support"), this);
    support_id->setObjectName(QStringLiteral("support_id"));
    website_1 = new LinkButton(tr("Visit our web site"), this);
    website_1->setObjectName(QStringLiteral("website_1"));
    reseller_1 = new LinkButton(tr("Become a partner"), this);
    reseller_1->setObjectName(QStringLiteral("reseller_1"));
    connect(_Help_File_Label, &QPushButton::clicked, this, &Help_Support::HelpFilePressed);
    connect(support_id, &QPushButton::clicked, this, [] { Open_Support_Mail(); });
    connect(website_1, &QPushButton::clicked, this, [] { Open_Website_1(); });
    connect(reseller_1, &QPushButton::clicked, this, [] { Open_Reseller_Mail(); });
    _links = {{support_id, MakerLinks::Link::SupportMail},
              {website_1, MakerLinks::Link::Website1},
              {reseller_1, MakerLinks::Link::PartnerMail}};

    _share = new QGroupBox(tr("Share"), this);
    auto* sh = new QHBoxLayout(_share);
    const struct {
        const char* name;
        void (Help_Support::*slot)();
        MakerLinks::Link link;
    } services[] = {{"Facebook", &Help_Support::Facebook_Clicked, MakerLinks::Link::FacebookShare},
                    {"Like", &Help_Support::FB_Like_Clicked, MakerLinks::Link::FacebookLike},
                    {"Twitter", &Help_Support::Twitter_Clicked, MakerLinks::Link::TwitterShare}};
    for (const auto& service : services) {
        auto* b = new LinkButton(tr(service.name), _share);
        b->setObjectName(QString::fromLatin1(service.name));
        connect(b, &QPushButton::clicked, this, service.slot);
        sh->addWidget(b);
        _links.append({b, service.link});
    }
    sh->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    closeButton = buttons->button(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(1); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(intro);
    layout->addSpacing(8);
    for (QWidget* w : {_Help_File_Label, support_id, website_1, reseller_1})
        layout->addWidget(w);
    layout->addWidget(_share);
    layout->addWidget(buttons);
    setMinimumWidth(380);
    updateLinks();
}

// A link whose address the maker has not set is not shown; nor is the share box without any link.
void Help_Support::updateLinks() {
    bool anyShare = false;
    for (const auto& [button, link] : _links) {
        const bool shown = MakerLinks::available(link);
        button->setVisible(shown);
        if (shown && button->parentWidget() == _share)
            anyShare = true;
    }
    _share->setVisible(anyShare);
}

int Help_Support::Open_Wnd() {
    updateLinks();
    const int code = exec();
    hide();
    return code;
}

// A missing help document gives "Help file does not exist!" and the window stays open.
void Help_Support::HelpFilePressed() {
    Open_Help_File();
}
void Help_Support::Facebook_Clicked() {
    Open_FaceBook();
}
void Help_Support::Twitter_Clicked() {
    Open_Twitter();
}
void Help_Support::FB_Like_Clicked() {
    Open_FB_Like();
}
