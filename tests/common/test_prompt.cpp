#include "RecordingPrompt.h"
#include "common/Prompt.h"

#include <QtTest>

class TestPrompt : public QObject {
    Q_OBJECT
private slots:
    void seamRecordsAndAnswers()
    {
        RecordingPrompt rec;
        setPromptHandler(&rec);
        Show_MessageBox(QStringLiteral("List is empty."));
        rec.answer = false;
        QVERIFY(!Show_YES_NO_MessageBox(QStringLiteral("Sure?")));
        setPromptHandler(nullptr);
        QCOMPARE(rec.texts, QStringList({QStringLiteral("List is empty."), QStringLiteral("Sure?")}));
        // The default handler never blocks and answers no.
        QVERIFY(!Show_YES_NO_MessageBox(QStringLiteral("Sure?")));
    }
};

QTEST_GUILESS_MAIN(TestPrompt)
#include "test_prompt.moc"
