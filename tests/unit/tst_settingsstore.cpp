#include "fixture.h"
#include "logic/iconsetting.h"
#include "logic/interval.h"
#include "settings/settingsstore.h"
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Keys of the [Main] section as they stand in the file.
QStringList keysInFile(const QString &path)
{
    QStringList keys;
    for (const QByteArray &line : readFile(path).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            keys.append(QString::fromUtf8(line.left(eq)));
    }
    return keys;
}

} // namespace

class TestSettingsStore : public QObject, private Fixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void emptyStoreGivesDefaults()
    {
        QCOMPARE(storedLaunchList(), QStringList());
        QCOMPARE(Interval::setting.get().text(), QStringLiteral(".5"));
        QCOMPARE(IconSetting::setting.get().text(), QStringLiteral("Internal"));
        QVERIFY(!QFile::exists(m_home->storePath()));
    }

    void fileIsReadableByAPerson()
    {
        const QStringList list = numbered(QStringLiteral("/bin/p"), 11);
        QVERIFY(SaveLaunchList(list));
        QVERIFY(Interval::setting.set(Interval(QStringLiteral("2"))));
        QCOMPARE(storedLaunchList(), list);
        const QByteArray text = readFile(m_home->storePath());
        QVERIFY(text.startsWith("[Main]\n"));
        QVERIFY(text.contains("\napp 1=/bin/p1\napp 2=/bin/p2\n"));
        QVERIFY(text.contains("\napp 10=/bin/p10\n"));
        QVERIFY(text.contains("\nInterval=2\n"));
        QCOMPARE(Interval::setting.get().text(), QStringLiteral("2"));
        QVERIFY(!keysInFile(m_home->storePath()).contains(QStringLiteral("app 12")));
    }

    void emptyTextIsNotTheFallback()
    {
        QVERIFY(writeFile(m_home->storePath(), "[Main]\nIcon=\n"));
        QCOMPARE(IconSetting::setting.get().text(), QString());
    }

    void listEndsAtFirstMissingOrEmptyKey_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("gap") << QByteArray("[Main]\napp 1=a\napp 2=b\napp 4=d\n")
                             << QStringList {QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("empty text") << QByteArray("[Main]\napp 1=a\napp 2=\napp 3=c\n")
                                    << QStringList {QStringLiteral("a")};
        QTest::newRow("no blank in key") << QByteArray("[Main]\napp1=a\n") << QStringList();
        QTest::newRow("other section") << QByteArray("[Other]\napp 1=a\n") << QStringList();
        QTest::newRow("no section") << QByteArray("app 1=a\n") << QStringList();
    }
    void listEndsAtFirstMissingOrEmptyKey()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QVERIFY(writeFile(m_home->storePath(), file));
        QCOMPARE(storedLaunchList(), expected);
    }

    void loadAppendsWithoutEmptying()
    {
        QVERIFY(writeFile(m_home->storePath(), "[Main]\napp 1=x\n"));
        QStringList list {QStringLiteral("kept")};
        LoadLaunchList(list);
        QCOMPARE(list, (QStringList {QStringLiteral("kept"), QStringLiteral("x")}));
    }

    void saveRemovesKeysAfterAGap()
    {
        QVERIFY(writeFile(m_home->storePath(),
                          "[Main]\napp 1=a\napp 2=b\napp 4=d\napp 100=z\nIcon=/i.ico\n"));
        QVERIFY(SaveLaunchList({QStringLiteral("n")}));
        QStringList keys = keysInFile(m_home->storePath());
        keys.sort();
        QCOMPARE(keys, (QStringList {IconSetting::setting.key(), QStringLiteral("app 1")}));
    }

    void savingEmptyListKeepsOnlyEmptyKeys()
    {
        QVERIFY(writeFile(m_home->storePath(), "[Main]\napp 1=a\napp 2=b\napp 5=\n"));
        QVERIFY(SaveLaunchList({}));
        QCOMPARE(keysInFile(m_home->storePath()), QStringList {QStringLiteral("app 5")});
        QCOMPARE(storedLaunchList(), QStringList());

        // An empty list saved over none leaves no settings file behind.
        QVERIFY(QFile::remove(m_home->storePath()));
        QVERIFY(SaveLaunchList({}));
        QVERIFY(!QFile::exists(m_home->storePath()));
    }

    void shorterListReplacesLonger_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("40 then 12") << 40 << 12;
        QTest::newRow("150 then 120") << 150 << 120;
        QTest::newRow("150 then 5") << 150 << 5;
        QTest::newRow("250 then 101") << 250 << 101;
        QTest::newRow("3 then 0") << 3 << 0;
    }
    void shorterListReplacesLonger()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QVERIFY(SaveLaunchList(numbered(QStringLiteral("old "), before)));
        QVERIFY(SaveLaunchList(numbered(QStringLiteral("new "), after)));
        QCOMPARE(storedLaunchList(), numbered(QStringLiteral("new "), after));
        QCOMPARE(keysInFile(m_home->storePath()).size(), after);
        // Filling the keys below again must not bring old entries back.
        QVERIFY(SaveLaunchList(numbered(QStringLiteral("again "), after)));
        QCOMPARE(storedLaunchList().size(), after);
    }

    void valuesReadBackExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("commas") << QStringLiteral("a,b,c");
        QTest::newRow("equals") << QStringLiteral("/usr/bin/env A=1 prog");
        QTest::newRow("semicolon") << QStringLiteral(";starts with a comment sign");
        QTest::newRow("hash") << QStringLiteral("#hash");
        QTest::newRow("blanks") << QStringLiteral("  leading and trailing  ");
        QTest::newRow("at") << QStringLiteral("@Variant(junk)");
        QTest::newRow("quotes") << QStringLiteral("\"/path with/blanks\" --x='y'");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Tools\\run.exe \\n");
        QTest::newRow("percent") << QStringLiteral("%20%U");
        QTest::newRow("utf8") << QStringLiteral("/home/jörg/Документы/雨.txt");
        QTest::newRow("brackets") << QStringLiteral("[Main]");
        QTest::newRow("long") << QStringLiteral("/") + QString(8000, u'x');
        QTest::newRow("number") << QStringLiteral("007");
        QTest::newRow("bool") << QStringLiteral("true");
    }
    void valuesReadBackExactly()
    {
        QFETCH(QString, value);
        QVERIFY(IconSetting::setting.set(IconSetting(value)));
        QCOMPARE(IconSetting::setting.get().text(), value);
        QVERIFY(SaveLaunchList({value, value}));
        QCOMPARE(storedLaunchList(), (QStringList {value, value}));
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void handEditedCommaIsText()
    {
        QVERIFY(writeFile(m_home->storePath(), "[Main]\r\napp 1=a,b\r\nInterval= 3 \r\n"));
        QCOMPARE(storedLaunchList(), QStringList {QStringLiteral("a,b")});
        QCOMPARE(Interval::setting.get().text(), QStringLiteral(" 3 "));
    }

    // What is read from a file is changed, kept and written back apart from the file's text.
    void handEditedFileChangesInPlace()
    {
        QVERIFY(writeFile(m_home->storePath(),
                          "[Other]\nk=v\n[Main]\napp 1=one\napp 2=two\nIcon=Internal\n"));
        QStringList held;
        LoadLaunchList(held);
        QVERIFY(SaveLaunchList({QStringLiteral("one"), QStringLiteral("a longer second")}));
        QVERIFY(IconSetting::setting.set(IconSetting(QStringLiteral("x"))));
        QCOMPARE(held, (QStringList {QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(readFile(m_home->storePath()),
                 "[Other]\nk=v\n\n[Main]\napp 1=one\napp 2=a longer second\nIcon=x\n");
        // Entries read stay strings of their own: ended, and changed without touching others.
        QCOMPARE(held.at(1).utf16()[3], u'\0');
        held.first() += u'!';
        held.last().prepend(u'<');
        QCOMPARE(held, (QStringList {QStringLiteral("one!"), QStringLiteral("<two")}));
        QStringList again = storedLaunchList();
        again.first().append(QStringLiteral(" more"));
        QCOMPARE(storedLaunchList(),
                 (QStringList {QStringLiteral("one"), QStringLiteral("a longer second")}));
    }

    void lineBreakIsRefused()
    {
        QVERIFY(IconSetting::setting.set(IconSetting(QStringLiteral("before"))));
        const auto refused = IconSetting::setting.set(IconSetting(QStringLiteral("two\nlines")));
        QVERIFY(refused.reason().contains(QStringLiteral("line break")));
        QVERIFY(!SaveLaunchList({QStringLiteral("one"), QStringLiteral("tw\ro")}));
        QCOMPARE(IconSetting::setting.get().text(), QStringLiteral("before"));
        // The store reports; telling the user is its caller's business.
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void removeSetting()
    {
        QVERIFY(Interval::setting.set(Interval(QStringLiteral("4"))));
        QVERIFY(RemoveSetting(Interval::setting.key()));
        QCOMPARE(Interval::setting.get().text(), QStringLiteral(".5"));
    }

    void largestListRoundTrips()
    {
        const QStringList list = numbered(QStringLiteral("/usr/local/bin/program-"), 32767);
        QVERIFY(SaveLaunchList(list));
        QCOMPARE(storedLaunchList(), list);
    }

    void loadStopsAtLargestList()
    {
        QByteArray file("[Main]\n");
        for (int i = 1; i <= 32770; ++i)
            file += "app " + QByteArray::number(i) + "=e\n";
        QVERIFY(writeFile(m_home->storePath(), file));
        QCOMPARE(storedLaunchList().size(), 32767);
    }

    void damagedFileIsKeptAndReadAsFarAsPossible()
    {
        static const char raw[] = "[Main]\napp 1=first\n\x01\x02\xff\xfe binary\0junk\n"
                                  "no equals sign\napp 2=second\n";
        QByteArray junk(raw, sizeof raw - 1);
        junk += QByteArray(3, '\0') + "\nInterval=1.5\n";
        QVERIFY(writeFile(m_home->storePath(), junk));
        QCOMPARE(storedLaunchList(),
                 (QStringList {QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(Interval::setting.get().text(), QStringLiteral("1.5"));

        QVERIFY(IconSetting::setting.set(IconSetting::builtIn()));
        QCOMPARE(readFile(m_home->storePath() + QStringLiteral(".bad")), junk);
        QCOMPARE(storedLaunchList(),
                 (QStringList {QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(Interval::setting.get().text(), QStringLiteral("1.5"));

        // Once rewritten the file is sound, and a later write keeps the copy as it was.
        QVERIFY(IconSetting::setting.set(IconSetting(QStringLiteral("/x.ico"))));
        QCOMPARE(readFile(m_home->storePath() + QStringLiteral(".bad")), junk);
    }

    // A path another tool saved in Latin-1 keeps its entry and every one after it, and the
    // user hears of it once, with where the file's copy is.
    void latin1LineKeepsTheList()
    {
        const QByteArray file = "[Main]\napp 1=/home/ann/caf\xe9 run\napp 2=/usr/bin/b\n"
                                "Interval=2\n";
        QVERIFY(writeFile(m_home->storePath(), file));
        QSignalSpy damaged(&SettingsStore::news(), &SettingsStore::News::damaged);
        QCOMPARE(storedLaunchList(), (QStringList {u"/home/ann/caf\u00e9 run"_s, u"/usr/bin/b"_s}));
        const QString copy = m_home->storePath() + u".bad"_s;
        QCOMPARE(readFile(copy), file);
        QCOMPARE(damaged.size(), 1);
        const QString notice = damaged.at(0).at(0).toString();
        QVERIFY2(notice.contains(copy), qPrintable(notice));
        QCOMPARE(Interval::setting.get().text(), u"2"_s);
        QCOMPARE(damaged.size(), 1);
    }

    void hugeLineIsRead()
    {
        const QByteArray huge(10 * 1024 * 1024, 'x');
        QVERIFY(writeFile(m_home->storePath(), "[Main]\napp 1=/" + huge + "\napp 2=b\n"));
        const QStringList list = storedLaunchList();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.first().size(), huge.size() + 1);
    }

    // A refused write leaves nothing behind: not in the file, not in a later read, and not in
    // the next write once writing works again.
    void failingWriteIsReportedAndLosesNothing()
    {
        QVERIFY(SaveLaunchList({QStringLiteral("kept")}));
        QVERIFY(Interval::setting.set(Interval(QStringLiteral("2"))));
        const QByteArray before = readFile(m_home->storePath());
        const QString folder = m_home->configPath() + QStringLiteral("/quillmoor");
        const QString moved = m_home->path() + QStringLiteral("/moved");

        // Permissions do not stop root: make the store's folder unreachable instead.
        const bool root = ::geteuid() == 0;
        if (root) {
            QVERIFY(QFile::rename(folder, moved));
            QVERIFY(writeFile(folder, "not a folder"));
        } else {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        const auto list = SaveLaunchList({QStringLiteral("new")});
        const auto interval = Interval::setting.set(Interval(QStringLiteral("7")));
        QVERIFY(!list && !interval);
        QVERIFY2(interval.reason().contains(m_home->storePath()), qPrintable(interval.reason()));
        if (root) {
            QVERIFY(QFile::remove(folder));
            QVERIFY(QFile::rename(moved, folder));
        } else {
            QFile::setPermissions(
                folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        QCOMPARE(readFile(m_home->storePath()), before);
        QCOMPARE(Interval::setting.get().text(), QStringLiteral("2"));
        QVERIFY(IconSetting::setting.set(IconSetting::builtIn()));
        QCOMPARE(Interval::setting.get().text(), QStringLiteral("2"));
        QCOMPARE(storedLaunchList(), QStringList {QStringLiteral("kept")});
        QVERIFY(!readFile(m_home->storePath()).contains("=7"));
    }

    // A save killed just after making its lock leaves it empty; nobody holds it, so the next
    // save goes ahead instead of waiting for it to grow old.
    void abandonedEmptyLockIsTakenOver()
    {
        QVERIFY(SaveLaunchList({QStringLiteral("a")}));
        QVERIFY(writeFile(m_home->storePath() + QStringLiteral(".lock"), QByteArray()));
        QVERIFY(SaveLaunchList({QStringLiteral("b")}));
        QCOMPARE(storedLaunchList(), QStringList {QStringLiteral("b")});
    }

    void killedSaverLeavesOldOrNewList()
    {
        QVERIFY(SaveLaunchList(oldList()));
        QProcess saver;
        prepareSaver(saver, QProcess::ForwardedErrorChannel);
        for (int round = 0; round < 25; ++round) {
            saver.start();
            QVERIFY(saver.waitForStarted());
            QTest::qSleep(20 + QRandomGenerator::global()->bounded(180));
            ::kill(pid_t(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished());
            const QStringList list = storedLaunchList();
            QVERIFY2(
                isOldOrNew(list),
                qPrintable(QStringLiteral("round %1: %2 entries").arg(round).arg(list.size())));
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--saver") == 0) {
        // Saves the two lists in turn until it is killed.
        for (bool old = false;; old = !old)
            SaveLaunchList(old ? oldList() : newList());
    }
    TestSettingsStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsstore.moc"
