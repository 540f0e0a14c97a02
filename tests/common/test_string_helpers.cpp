#include "common/SafeFileName.h"
#include "common/StringHelpers.h"

#include <QtTest>

class TestStringHelpers : public QObject {
    Q_OBJECT
private slots:
    void trim_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        const QString zwsp = QString(QChar(0x200B));
        const QString bom = QString(QChar(0xFEFF));
        const QString nbsp = QString(QChar(0x00A0));
        // U+E0001 LANGUAGE TAG: a format character outside the basic plane.
        const QString tag = QString::fromUcs4(U"\U000E0001");
        QTest::newRow("empty") << QString("") << QString("");
        QTest::newRow("blanks only") << QString(" \t\r\n ") << QString("");
        QTest::newRow("plain") << QString("abc") << QString("abc");
        QTest::newRow("spaces and newlines") << QString("\n  a b \r\n") << QString("a b");
        QTest::newRow("inside kept") << QString(" a\n\tb ") << QString("a\n\tb");
        QTest::newRow("control at ends") << QString("\x01\x02" "abc\x7f") << QString("abc");
        QTest::newRow("control behind space") << QString(" \x01 abc \x1f ") << QString("abc");
        QTest::newRow("format chars") << (bom + "abc" + zwsp) << QString("abc");
        QTest::newRow("format inside kept") << ("a" + zwsp + "b") << ("a" + zwsp + "b");
        QTest::newRow("nbsp and line separator") << (nbsp + "x" + QChar(0x2028)) << QString("x");
        QTest::newRow("astral format char") << (tag + "x" + tag) << QString("x");
        QTest::newRow("astral letter kept") << QString::fromUcs4(U" \U0001F600 ") << QString::fromUcs4(U"\U0001F600");
        QTest::newRow("only controls") << QString("\x01\x02\x03") << QString("");
    }
    void trim()
    {
        QFETCH(QString, in);
        QTEST(Trim_Str(in), "out");
    }

    void trimKeepsNull()
    {
        QVERIFY(Trim_Str(QString()).isNull());
        QVERIFY(!Trim_Str(QString("")).isNull());
    }

    void substrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("read");
        QTest::newRow("middle") << QString("abcdef") << 2 << 3 << QString("ab") << QString("cdef") << QString("cde");
        QTest::newRow("zero") << QString("abc") << 0 << 0 << QString("") << QString("abc") << QString("");
        QTest::newRow("past end") << QString("abc") << 5 << 2 << QString("abc") << QString("") << QString("");
        QTest::newRow("negative") << QString("abc") << -1 << -1 << QString("") << QString("abc") << QString("abc");
        QTest::newRow("length past end") << QString("abc") << 1 << 10 << QString("a") << QString("bc") << QString("bc");
        QTest::newRow("empty text") << QString("") << 1 << 1 << QString("") << QString("") << QString("");
    }
    void substrings()
    {
        QFETCH(QString, text);
        QFETCH(int, a);
        QFETCH(int, b);
        QTEST(Left_Str_substringToIndex(text, a), "left");
        QTEST(Right_Str_substringFromIndex(text, a), "right");
        QTEST(Read_Str_FromIndex(text, a, b), "read");
    }

    void findAndReplace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("replaced"); // every part replaced by "#"
        QTest::newRow("found") << QString("a,b,c") << QString(",") << true << QString("a#b#c");
        QTest::newRow("case sensitive") << QString("Abc") << QString("a") << false << QString("Abc");
        QTest::newRow("empty part") << QString("abc") << QString("") << false << QString("abc");
        QTest::newRow("empty text") << QString("") << QString("a") << false << QString("");
        QTest::newRow("longer part") << QString("a--b---c") << QString("--") << true << QString("a#b#-c");
    }
    void findAndReplace()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QTEST(Find_Str(text, part), "found");
        QTEST(Replace_char_in_string(text, part, "#"), "replaced");
    }

    void removeReserved_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("clean") << QString("Guests 2026") << QString("Guests 2026");
        QTest::newRow("ends") << QString("/ \"name\" ?") << QString("name");
        QTest::newRow("middle too") << QString("a/b\\c?d%e*f|g\"h<i>j:k") << QString("abcdefghijk");
        QTest::newRow("control in middle") << QString("a\x01" "b\nc\td") << QString("abcd");
        QTest::newRow("only reserved") << QString(" /\\?*| ") << QString("");
        QTest::newRow("dots kept") << QString("../x") << QString("..x");
        QTest::newRow("unicode kept") << QString::fromUtf8("Hochzeit Müller 婚礼") << QString::fromUtf8("Hochzeit Müller 婚礼");
    }
    void removeReserved()
    {
        QFETCH(QString, in);
        QTEST(Remove_Reserve_Char_In_File_Name(in), "out");
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << QString("Guests") << true;
        QTest::newRow("inner dot and blanks") << QString("My list v1.2") << true;
        QTest::newRow("unicode") << QString::fromUtf8("Liste für Gäste") << true;
        QTest::newRow("120 chars") << QString(120, 'a') << true;
        QTest::newRow("121 chars") << QString(121, 'a') << false;
        QTest::newRow("very long") << QString(5000, 'x') << false;
        QTest::newRow("empty") << QString("") << false;
        QTest::newRow("null") << QString() << false;
        QTest::newRow("blank") << QString("   ") << false;
        QTest::newRow("dot") << QString(".") << false;
        QTest::newRow("dotdot") << QString("..") << false;
        QTest::newRow("hidden") << QString(".hidden") << false;
        QTest::newRow("parent escape") << QString("../x") << false;
        QTest::newRow("slash") << QString("a/b") << false;
        QTest::newRow("backslash") << QString("a\\b") << false;
        QTest::newRow("newline") << QString("a\nb") << false;
        QTest::newRow("nul") << QString::fromUtf16(u"a\u0000b", 3) << false;
        QTest::newRow("escape char") << QString("a\x1b[31mb") << false;
        QTest::newRow("bidi override") << (QString("a") + QChar(0x202E) + "b") << false;
        QTest::newRow("lone surrogate") << (QString("a") + QChar(0xD800) + "b") << false;
        QTest::newRow("leading blank") << QString(" a") << false;
        QTest::newRow("zero-width non-joiner") << QString::fromUtf8("\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645") << true;
        QTest::newRow("emoji family") << QString::fromUcs4(U"\U0001F468\u200D\U0001F469\u200D\U0001F467") << true;
        // 3 UTF-8 bytes each: 66 fit the byte bound, 67 do not, although both are under 120 characters.
        QTest::newRow("66 CJK") << QString(66, QChar(0x5A5A)) << true;
        QTest::newRow("67 CJK") << QString(67, QChar(0x5A5A)) << false;
        for (const char c : QByteArray("?%*|\"<>:"))
            QTest::addRow("reserved %c in middle", c) << (QString("ab") + QChar(c) + "cd") << false;
    }
    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(isSafeFileName(name), safe);
        QCOMPARE(fileNameProblem(name).isEmpty(), safe);
    }

    void makeSafe_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("kept") << QString("Card 1") << QString("Card 1");
        QTest::newRow("separators dropped") << QString("../../etc/passwd") << QString("etcpasswd");
        QTest::newRow("leading dots") << QString(". .hidden") << QString("hidden");
        QTest::newRow("dot") << QString(".") << QString("fallback");
        QTest::newRow("dotdot") << QString("..") << QString("fallback");
        QTest::newRow("nothing left") << QString("/\\\x01") << QString("fallback");
        QTest::newRow("cut") << QString(300, 'z') << QString(120, 'z');
        // A cut must not split a surrogate pair.
        QString emoji = QString(119, 'e') + QString::fromUcs4(U"\U0001F600");
        QTest::newRow("no split pair") << emoji << QString(119, 'e');
        QTest::newRow("cut by bytes") << QString(100, QChar(0x5A5A)) << QString(66, QChar(0x5A5A));
    }
    void makeSafe()
    {
        QFETCH(QString, in);
        const QString got = makeSafeFileName(in, "fallback");
        QTEST(got, "out");
        QVERIFY(isSafeFileName(got));
    }
};

QTEST_GUILESS_MAIN(TestStringHelpers)
#include "test_string_helpers.moc"
