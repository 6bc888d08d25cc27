#include "platform/commandline.h"
#include "logic/numbertext.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

// The interval's numeric check and the pause's number reader must agree; the command line is
// split as a shell would, without expanding anything; addresses are told from command lines.
class TestLaunchText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("leading point") << u".5"_s << true << 0.5;
        QTest::newRow("zero") << u"0"_s << true << 0.0;
        QTest::newRow("negative") << u"-2"_s << true << -2.0;
        QTest::newRow("decimal") << u"2.5"_s << true << 2.5;
        QTest::newRow("exponent") << u"1e1"_s << true << 10.0;
        QTest::newRow("signed exponent") << u"+25E-1"_s << true << 2.5;
        QTest::newRow("trailing point") << u"3."_s << true << 3.0;
        QTest::newRow("blanks around") << u" 3 "_s << true << 3.0;
        QTest::newRow("tab before") << u"\t4"_s << true << 4.0;
        // Too large for a double: no number, and no pause that never ends.
        QTest::newRow("huge") << u"1e999"_s << false << 0.0;
        QTest::newRow("huge negative") << u" -1e999 "_s << false << 0.0;
        QTest::newRow("huge before text") << u"9e9999s"_s << false << 0.0;
        QTest::newRow("letters") << u"abc"_s << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("only blanks") << u"   "_s << false << 0.0;
        QTest::newRow("lone point") << u"."_s << false << 0.0;
        QTest::newRow("lone sign") << u"-"_s << false << 0.0;
        QTest::newRow("decimal comma") << u"2,5"_s << false << 2.0;
        QTest::newRow("two points") << u"1.2.3"_s << false << 1.2;
        QTest::newRow("exponent without digits") << u"1e"_s << false << 1.0;
        QTest::newRow("unit after") << u"3s"_s << false << 3.0;
        QTest::newRow("blank inside") << u"1 2"_s << false << 1.0;
        QTest::newRow("hexadecimal") << u"&H10"_s << false << 0.0;
        QTest::newRow("infinity word") << u"inf"_s << false << 0.0;
        QTest::newRow("arabic-indic digit") << u"\u0663"_s << false << 0.0;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        QCOMPARE(NumberText::isNumeric(text), numeric);
        const double read = NumberText::leadingValue(text);
        QVERIFY2(std::abs(read - value) < 1e-12, qPrintable(QString::number(read)));
    }

    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << u"/bin/prog -a  b"_s << true
                               << QStringList {u"/bin/prog"_s, u"-a"_s, u"b"_s};
        QTest::newRow("double quotes") << u"\"/my apps/prog\" \"a \\\"b\\\" \\\\ \\x\""_s << true
                                       << QStringList {u"/my apps/prog"_s, u"a \"b\" \\ \\x"_s};
        QTest::newRow("single quotes keep backslashes")
            << u"prog 'it'\\''s' '' 'a\\b'"_s << true
            << QStringList {u"prog"_s, u"it's"_s, QString(), u"a\\b"_s};
        QTest::newRow("backslash escapes a blank") << u"/my\\ apps/prog a\\\"b"_s << true
                                                   << QStringList {u"/my apps/prog"_s, u"a\"b"_s};
        QTest::newRow("nothing is expanded")
            << u"prog $HOME ~ * $(id) `id` %PATH% ${X}"_s << true
            << QStringList {u"prog"_s,  u"$HOME"_s, u"~"_s,      u"*"_s,
                            u"$(id)"_s, u"`id`"_s,  u"%PATH%"_s, u"${X}"_s};
        QTest::newRow("quotes join one word")
            << u"a'b'\"c\"d"_s << true << QStringList {u"abcd"_s};
        QTest::newRow("blank") << u" \t "_s << true << QStringList {};
        QTest::newRow("unclosed double") << u"prog \"a"_s << false << QStringList {};
        QTest::newRow("unclosed single") << u"prog 'a"_s << false << QStringList {};
    }
    void split()
    {
        QFETCH(QString, line);
        QFETCH(bool, ok);
        QFETCH(QStringList, words);
        const CommandLine::Words got = CommandLine::split(line);
        QCOMPARE(got.outcome.ok(), ok);
        QCOMPARE(got.words, words);
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("address");
        QTest::newRow("web page") << u"https://example.org"_s << true;
        QTest::newRow("scheme in capitals") << u"HTTP://example.org/a?b=c#d"_s << true;
        QTest::newRow("ftp") << u"ftp://ftp.example.org/pub/"_s << true;
        QTest::newRow("mail") << u"mailto:someone@example.org?subject=Hi%20there"_s << true;
        QTest::newRow("file") << u"file:///home/me/notes.txt"_s << true;
        QTest::newRow("other scheme") << u"ssh://example.org"_s << false;
        QTest::newRow("scheme only") << u"https:"_s << false;
        QTest::newRow("with words after it") << u"https://example.org --new-window"_s << false;
        QTest::newRow("program path") << u"/usr/bin/firefox https://example.org"_s << false;
        QTest::newRow("drive letter") << u"c:/windows/notepad.exe"_s << false;
        QTest::newRow("scheme as a prefix") << u"httpsd://example.org"_s << false;
    }
    void addresses()
    {
        QFETCH(QString, entry);
        QFETCH(bool, address);
        QCOMPARE(CommandLine::isAddress(entry), address);
    }
};

QTEST_GUILESS_MAIN(TestLaunchText)
#include "tst_launchtext.moc"
