// Writes the built-in templates shipped in resources/Templates: a design file and its preview each.
// Usage: navu-make-templates <resources folder>

#include "app/designfile/DesignFile.h"
#include "canvas/SKTItems.h"
#include "wizards/InvitationLayout.h"
#include "wizards/TemplatePreview.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace {

struct Look {
    QString font;
    QColor title;
    QColor text;
    int titleSize;
    int textSize;
};

GraphicPtr textItem(const InvitationItemSpec& spec, const Look& look, bool isTitle) {
    auto item = std::static_pointer_cast<SKTText>(makeGraphicOfClass(QStringLiteral("SKTText"), false));
    item->setText(spec.value);
    item->control_ID = spec.controlId;
    item->_bounds = spec.rect;
    item->_isDrawingStroke = false;
    item->_isDrawingFill = false;
    item->text_alignmnet = 1; // centred
    item->txt_clr = isTitle ? look.title : look.text;
    item->text_ctrl_font = QFont(look.font, isTitle ? look.titleSize : look.textSize);
    item->text_ctrl_font.setBold(isTitle);
    return item;
}

GraphicPtr frameItem(const QString& resources, const QString& frame, const Card_Property& card) {
    auto item = std::static_pointer_cast<SKTImage>(makeGraphicOfClass(QStringLiteral("SKTImage"), false));
    item->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    item->_bounds = QRectF(card.Card_Location, card.Card_Size);
    item->_isDrawingStroke = false;
    item->setFilePath(resources + QStringLiteral("/Frames/") + frame + QStringLiteral(".png"));
    // Stored relative to the resource folder: the picture itself travels inside the item.
    item->_file_path = QStringLiteral("Frames/") + frame + QStringLiteral(".png");
    return item;
}

bool writeTemplate(const QString& resources, const QString& name, DesignData d, const InvitationAnswers& a,
                   const QString& frame, const Look& look, const QString& backText) {
    for (const InvitationItemSpec& s : invitationLayout(a, d.front.Card_Location, d.front.Card_Size))
        if (s.kind == InvitationItemSpec::Text)
            d.frontItems.prepend(textItem(s, look, s.controlId == QStringLiteral("PARTY_TITLE")));
    d.frontItems.prepend(frameItem(resources, frame, d.front));
    d.framePath = d.frontItems.front()->_file_path;
    InvitationItemSpec back{
        InvitationItemSpec::Text, QString(), backText,
        QRectF(40, d.front.Card_Size.height() / 2 - 30, d.front.Card_Size.width() - 80, 60), 2};
    d.backItems.prepend(textItem(back, look, false));
    d.back.Card_Size = d.front.Card_Size;

    const QString dir = resources + QStringLiteral("/Templates/");
    QString error;
    if (!designfile::save(dir + name + QStringLiteral(".kvto"), d, &error)) {
        QTextStream(stderr) << name << ": " << error << "\n";
        return false;
    }
    const QImage preview =
        templatePreview(d.frontItems, d.front, d.backItems, d.back, cardShapeNumber(d.front.Card_Shape));
    return preview.save(dir + name + QStringLiteral(".png"), "PNG");
}

Card_Property card(double wInch, double hInch, QColor fill, const QString& side) {
    Card_Property p = Card_Property::defaults(side);
    p.Card_Size = QSizeF(wInch * 72, hInch * 72);
    p.Card_Preset = wInch >= hInch ? QStringLiteral("Horizontal") : QStringLiteral("Vertical");
    p.Card_fill_chk = 1;
    p.Card_fill_style = QStringLiteral("S");
    p.Card_fill_clr = fill;
    p.Card_Create_Mode = QStringLiteral("T");
    return p;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: navu-make-templates <resources folder>\n";
        return 2;
    }
    const QString resources = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(resources + QStringLiteral("/Templates"));
    bool ok = true;

    {
        DesignData d;
        d.front = card(7, 5, QColor(255, 250, 240), QStringLiteral("F"));
        d.back = card(7, 5, QColor(255, 240, 240), QStringLiteral("B"));
        d.front.Card_Category = QStringLiteral("Invitation");
        d.front.Card_Sub_Category = QStringLiteral("5 x 7 in");
        d.front.Card_Cat_index = 0;
        InvitationAnswers a;
        a.title = QStringLiteral("Happy Birthday!");
        a.to = QStringLiteral("Friend");
        a.message = QStringLiteral("Join us for cake, games and lots of fun.");
        a.date = QStringLiteral("Saturday, 12 June");
        a.time = QStringLiteral("4:00 PM");
        a.venue = QStringLiteral("Our Garden, 5 Maple Road");
        a.from = QStringLiteral("Alex");
        ok &= writeTemplate(
            resources, QStringLiteral("Birthday Party"), d, a, QStringLiteral("Birthday Stripes"),
            {QStringLiteral("Liberation Sans"), QColor(214, 34, 70), QColor(40, 40, 40), 26, 13},
            QStringLiteral("Thank you for celebrating with us!"));
    }
    {
        DesignData d;
        d.front = card(5, 7, QColor(252, 248, 238), QStringLiteral("F"));
        d.back = card(5, 7, QColor(252, 248, 238), QStringLiteral("B"));
        d.front.Card_Shape = d.back.Card_Shape = QStringLiteral("RR");
        InvitationAnswers a;
        a.title = QStringLiteral("Together with Our Families");
        a.message = QStringLiteral("We invite you to share our joy as we begin our life together.");
        a.date = QStringLiteral("Sunday, 18 September");
        a.time = QStringLiteral("2:00 PM");
        a.venue = QStringLiteral("St. Mary's Garden Chapel");
        a.from = QStringLiteral("Emma & Daniel");
        ok &= writeTemplate(
            resources, QStringLiteral("Wedding Invitation"), d, a, QStringLiteral("Wedding Lace"),
            {QStringLiteral("Liberation Serif"), QColor(150, 120, 60), QColor(70, 60, 50), 22, 13},
            QStringLiteral("Kindly reply by 1 August"));
    }
    {
        DesignData d;
        d.front = card(6, 4, QColor(255, 245, 248), QStringLiteral("F"));
        d.back = card(6, 4, QColor(255, 255, 255), QStringLiteral("B"));
        InvitationAnswers a;
        a.title = QStringLiteral("Thank You");
        a.message = QStringLiteral("Your kindness means the world to us.");
        a.from = QStringLiteral("With love");
        ok &= writeTemplate(
            resources, QStringLiteral("Thank You"), d, a, QStringLiteral("Heart Corners"),
            {QStringLiteral("Liberation Serif"), QColor(214, 34, 70), QColor(60, 60, 60), 28, 14},
            QStringLiteral("Made with love"));
    }
    {
        DesignData d;
        d.front = card(7, 5, QColor(235, 240, 255), QStringLiteral("F"));
        d.back = card(7, 5, QColor(235, 240, 255), QStringLiteral("B"));
        InvitationAnswers a;
        a.title = QStringLiteral("Season's Greetings");
        a.to = QStringLiteral("Everyone");
        a.message =
            QStringLiteral("Wishing you peace, joy and warmth this holiday season and a happy new year.");
        a.from = QStringLiteral("The Parkers");
        ok &= writeTemplate(
            resources, QStringLiteral("Holiday Greetings"), d, a, QStringLiteral("Starry Night"),
            {QStringLiteral("Liberation Sans"), QColor(11, 29, 81), QColor(30, 40, 70), 26, 13},
            QStringLiteral("Happy New Year!"));
    }
    return ok ? 0 : 1;
}
