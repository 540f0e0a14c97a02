#include "TestPictures.h"
#include "canvas/SKTItems.h"
#include "wizards/CardSizePresets.h"
#include "wizards/InvitationLayout.h"

#include <QPainter>
#include <QtTest>

Q_DECLARE_METATYPE(InvitationAnswers)

namespace {
InvitationAnswers full() {
    InvitationAnswers a;
    a.title = QStringLiteral("Birthday Party");
    a.to = QStringLiteral("Anna");
    a.message = QStringLiteral("Come and celebrate");
    a.date = QStringLiteral("12 May");
    a.time = QStringLiteral("6 pm");
    a.venue = QStringLiteral("Town Hall");
    a.from = QStringLiteral("Ben");
    a.photoPath = QStringLiteral("/photos/me.png");
    a.framePath = QStringLiteral("/frames/gold.png");
    return a;
}

QString describe(const QList<InvitationItemSpec>& items) {
    QStringList parts;
    for (const InvitationItemSpec& s : items)
        parts << QStringLiteral("%1 %2,%3,%4,%5 %6")
                     .arg(s.controlId)
                     .arg(s.rect.x())
                     .arg(s.rect.y())
                     .arg(s.rect.width())
                     .arg(s.rect.height())
                     .arg(s.value);
    return parts.join(QLatin1Char('|'));
}
} // namespace

class TestInvitationLayout : public QObject {
    Q_OBJECT
private slots:
    void layout_data() {
        QTest::addColumn<InvitationAnswers>("answers");
        QTest::addColumn<QSizeF>("card");
        QTest::addColumn<QString>("expected");

        QTest::newRow("full 500x400") << full() << QSizeF(500, 400)
                                      << QStringLiteral("PARTY_IMAGE 40,75,420,250 /photos/me.png|"
                                                        "PARTY_TITLE 40,40,420,30 Birthday Party|"
                                                        "PARTY_TO 30,90,420,20 Dear Anna,|"
                                                        "PARTY_MSG 50,120,420,80 Come and celebrate|"
                                                        "PARTY_DATE 30,200,420,20 12 May at 6 pm|"
                                                        "PARTY_VENUE 30,230,420,60 Venue:\nTown Hall|"
                                                        "PARTY_FROM 40,300,420,40 From:\nBen|"
                                                        "PARTY_IMAGE_BG 0,0,500,400 /frames/gold.png");
        // The photo keeps its proportions, centred in its place: a wide photo, then a tall one.
        InvitationAnswers wide;
        wide.photoPath = QStringLiteral("/p.png");
        wide.photoSize = QSizeF(100, 50);
        QTest::newRow("wide photo") << wide << QSizeF(500, 300) << QStringLiteral("PARTY_IMAGE 40,45,420,210 /p.png");
        InvitationAnswers tall = wide;
        tall.photoSize = QSizeF(50, 100);
        QTest::newRow("tall photo") << tall << QSizeF(500, 300) << QStringLiteral("PARTY_IMAGE 187.5,25,125,250 /p.png");
        InvitationAnswers title;
        title.title = QStringLiteral("Hello");
        QTest::newRow("title only") << title << QSizeF(500, 300)
                                    << QStringLiteral("PARTY_TITLE 40,40,420,30 Hello");

        InvitationAnswers timeOnly = full();
        timeOnly.date.clear();
        timeOnly.photoPath.clear();
        timeOnly.framePath.clear();
        QTest::newRow("time only") << timeOnly << QSizeF(500, 400)
                                   << QStringLiteral("PARTY_TITLE 40,40,420,30 Birthday Party|"
                                                     "PARTY_TO 30,90,420,20 Dear Anna,|"
                                                     "PARTY_MSG 50,120,420,80 Come and celebrate|"
                                                     "PARTY_TIME 30,200,420,20 AT 6 pm|"
                                                     "PARTY_VENUE 30,260,420,60 Venue:\nTown Hall|"
                                                     "PARTY_FROM 40,330,420,40 From:\nBen");

        InvitationAnswers noVenue = full();
        noVenue.venue.clear();
        noVenue.photoPath.clear();
        noVenue.framePath.clear();
        QTest::newRow("no venue") << noVenue << QSizeF(500, 300)
                                  << QStringLiteral("PARTY_TITLE 40,40,420,30 Birthday Party|"
                                                    "PARTY_TO 30,90,420,20 Dear Anna,|"
                                                    "PARTY_MSG 50,120,420,80 Come and celebrate|"
                                                    "PARTY_DATE 30,200,420,20 12 May at 6 pm|"
                                                    "PARTY_FROM 40,250,420,40 From:\nBen");

        InvitationAnswers neither;
        neither.venue = QStringLiteral("Park");
        QTest::newRow("no date no time")
            << neither << QSizeF(500, 300) << QStringLiteral("PARTY_VENUE 30,70,420,60 Venue:\nPark");
    }
    void layout() {
        QFETCH(InvitationAnswers, answers);
        QFETCH(QSizeF, card);
        QTEST(describe(invitationLayout(answers, QPointF(0, 0), card)), "expected");
    }

    void toolsAndKinds() {
        const auto items = invitationLayout(full(), QPointF(0, 0), QSizeF(500, 400));
        QCOMPARE(items.size(), 8);
        // Made first, the photo ends up under the texts; the frame, made last, on top.
        QCOMPARE(items[0].kind, InvitationItemSpec::Picture);
        QCOMPARE(items[0].tool, 8);
        for (int i = 1; i < 7; ++i) {
            QCOMPARE(items[i].kind, InvitationItemSpec::Text);
            QCOMPARE(items[i].tool, 2);
            QCOMPARE(items[i].fontScale, 1.0);
        }
        QCOMPARE(items[7].controlId, QStringLiteral("PARTY_IMAGE_BG"));
        QCOMPARE(items[7].tool, 8);
    }

    // Small cards get every item inside the card, in the same order.
    void smallCardsKeepItemsInside_data() {
        QTest::addColumn<QSizeF>("card");
        QTest::newRow("narrow") << QSizeF(60, 400);
        QTest::newRow("low") << QSizeF(500, 200);
        QTest::newRow("tiny") << QSizeF(20, 20);
    }
    void smallCardsKeepItemsInside() {
        QFETCH(QSizeF, card);
        const QRectF inside(QPointF(0, 0), card);
        const auto items = invitationLayout(full(), QPointF(0, 0), card);
        QCOMPARE(items.size(), 8);
        for (const InvitationItemSpec& s : items) {
            QVERIFY2(s.rect.left() >= 0 && s.rect.top() >= 0 && s.rect.right() <= card.width() &&
                         s.rect.bottom() <= card.height(),
                     qPrintable(s.controlId));
            QVERIFY(s.rect.width() > 0 && s.rect.height() > 0);
            if (s.kind == InvitationItemSpec::Text)
                QVERIFY(s.fontScale < 1.0);
        }
        // Texts stay apart, as on a large card.
        for (qsizetype i = 1; i < 7; ++i)
            for (qsizetype j = i + 1; j < 7; ++j)
                QVERIFY2(!items[i].rect.intersects(items[j].rect),
                         qPrintable(items[i].controlId + QStringLiteral(" on ") + items[j].controlId));
        QCOMPARE(items.last().rect, inside);
    }

    // Every preset size, both ways round: every text lies on the card, apart from the others.
    void presetsKeepTextsOnCard_data() {
        QTest::addColumn<QSizeF>("card");
        for (const CardSizePreset& p : cardsize::presets())
            for (const QString& o : {cardsize::Horizontal, cardsize::Vertical})
                QTest::addRow("%s %s %s", qPrintable(p.category), qPrintable(p.subCategory), qPrintable(o))
                    << cardsize::sizeInPoints(p, o);
    }
    void presetsKeepTextsOnCard() {
        QFETCH(QSizeF, card);
        InvitationAnswers anniversary;
        anniversary.title = QStringLiteral("Celebrating Forty Wonderful Years Together");
        anniversary.to = QStringLiteral("Margaret and Theodore Richardson");
        anniversary.message = QStringLiteral("Join us for an evening\nof dinner and dancing");
        anniversary.venue = QStringLiteral("Grand Ballroom, Riverside Hotel, 12 Long Street");
        anniversary.from = QStringLiteral("The Richardson Family");
        InvitationAnswers timeOnly = full();
        timeOnly.date.clear();
        for (const InvitationAnswers& a : {anniversary, full(), timeOnly}) {
            QList<InvitationItemSpec> texts;
            for (const InvitationItemSpec& s : invitationLayout(a, QPointF(0, 0), card))
                if (s.kind == InvitationItemSpec::Text)
                    texts.append(s);
            for (qsizetype i = 0; i < texts.size(); ++i) {
                QVERIFY2(QRectF(QPointF(0, 0), card).contains(texts[i].rect) && !texts[i].rect.isEmpty(),
                         qPrintable(describe({texts[i]})));
                for (qsizetype j = i + 1; j < texts.size(); ++j)
                    QVERIFY2(!texts[i].rect.intersects(texts[j].rect),
                             qPrintable(texts[i].controlId + QStringLiteral(" on ") + texts[j].controlId));
            }
        }
    }

    void frameTakesCardLocation() {
        InvitationAnswers a;
        a.framePath = QStringLiteral("/f.png");
        const auto items = invitationLayout(a, QPointF(5, 7), QSizeF(300, 400));
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].rect, QRectF(5, 7, 300, 400));
    }

    // A text whose lines start on the white card and run onto the photo is narrowed to the photo and then
    // takes the colour that reads on the photo; one still partly off the photo (over its top) takes the
    // colour that reads on more of the pixels under its lines.
    void textColourReadsWhereItLies_data() {
        QTest::addColumn<QColor>("photo");
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<QRectF>("expectedBox");
        QTest::addColumn<QColor>("expected");
        const QRectF photo(50, 100, 200, 150);
        QTest::newRow("dark, from the white") << QColor(65, 63, 77) << QRectF(10.5, 150, 230, 20)
                                              << QRectF(50.5, 150, 190, 20) << QColor(Qt::white);
        QTest::newRow("dark, across both edges") << QColor(65, 63, 77) << QRectF(20, 200, 280, 40)
                                                 << QRectF(50.5, 200, 199.5, 40) << QColor(Qt::white);
        QTest::newRow("dark, over its top") << QColor(65, 63, 77) << QRectF(60, 80, 150, 30)
                                            << QRectF(60, 80, 150, 30) << QColor(Qt::black);
        QTest::newRow("near-black, a little over its top") << QColor(18, 16, 20) << QRectF(60, 95, 150, 30)
                                                           << QRectF(60, 95, 150, 30) << QColor(Qt::white);
        QTest::newRow("light, from the white") << QColor(250, 230, 120) << QRectF(10, 150, 230, 20)
                                               << QRectF(50.5, 150, 189.5, 20) << QColor(Qt::black);
        QTest::newRow("dark, from half a pixel") << QColor(65, 63, 77) << QRectF(50.5, 200, 190, 40)
                                                 << QRectF(50.5, 200, 190, 40) << QColor(Qt::white);
        QTest::newRow("dark, beside it") << QColor(65, 63, 77) << QRectF(0, 10, 300, 20) << QRectF(0, 10, 300, 20)
                                         << QColor(Qt::black);
    }
    void textColourReadsWhereItLies() {
        QFETCH(QColor, photo);
        QFETCH(QRectF, box);
        const QRectF photoRect(50.5, 100, 199.5, 150); // half a pixel into the card, as a centred photo lies
        QImage card = filledImage(QSize(300, 300), Qt::white);
        QPainter(&card).fillRect(photoRect, photo);
        const GraphicPtr item = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        SKTGraphic& text = *item;
        text._bounds = box;
        text._Text_contents = QStringLiteral("Venue:\nTown Hall, Market Street");
        text.text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 12);
        keepTextOverPhoto(text, photoRect);
        QTEST(text._bounds, "expectedBox");
        const QRectF lines = drawnTextArea(text);
        QVERIFY(lines.height() <= text._bounds.height() + 0.01 || text._bounds == box);
        QTEST(readableTextColour(card, lines), "expected");
    }
};

QTEST_MAIN(TestInvitationLayout)
#include "test_invitation_layout.moc"
