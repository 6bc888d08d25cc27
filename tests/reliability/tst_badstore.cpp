#include "fixture.h"
#include "logic/interval.h"
#include "settings/settingsstore.h"
#include "testfiles.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Store files that no version of the program wrote: each is read as far as it goes, and never
// keeps the program from saving again.
class TestBadStore : public QObject, private Fixture
{
    Q_OBJECT

private:
    std::unique_ptr<QSignalSpy> m_damaged;
    // The store's oldest news of damage not looked at yet; empty when there is none.
    QString damageNews()
    {
        return m_damaged->isEmpty() ? QString() : m_damaged->takeFirst().at(0).toString();
    }

    void writeStore(const QByteArray &data) { QVERIFY(writeFile(m_home->storePath(), data)); }

    // Both kinds of save succeed without a message and read back.
    void checkSavesAfter(const QStringList &before)
    {
        const QStringList after = before + QStringList {QStringLiteral("/usr/bin/added")};
        QVERIFY(SaveLaunchList(after));
        QVERIFY(Interval::setting.set(Interval(QStringLiteral("2"))));
        QCOMPARE(storedLaunchList(), after);
        QCOMPARE(Interval::setting.get().text(), QStringLiteral("2"));
        QCOMPARE(m_dialogs->messages.size(), 0);
    }

private Q_SLOTS:
    void init()
    {
        setUp();
        m_damaged
            = std::make_unique<QSignalSpy>(&SettingsStore::news(), &SettingsStore::News::damaged);
    }
    void cleanup()
    {
        m_damaged.reset();
        tearDown();
    }

    void readAsFarAsItGoes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<bool>("damaged");
        const QStringList ab {QStringLiteral("a"), QStringLiteral("b")};
        const QByteArray tenMegabytes(10 * 1024 * 1024, 'x');

        QTest::newRow("carriage returns alone end lines")
            << QByteArray("[Main]\rapp 1=a\rapp 2=b\rInterval=3\r") << ab << QStringLiteral("3")
            << false;
        QTest::newRow("carriage return inside a value")
            << QByteArray("[Main]\napp 1=a\rjunk\napp 2=b\r\r\n") << ab << QStringLiteral(".5")
            << true;
        QTest::newRow("byte order marks before the section")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[Main]\napp 1=a\napp 2=b\n") << ab
            << QStringLiteral(".5") << false;
        QTest::newRow("10 MB line without an equals sign")
            << QByteArray("[Main]\napp 1=a\n" + tenMegabytes + "\napp 2=b\n") << ab
            << QStringLiteral(".5") << true;
        QTest::newRow("10 MB of binary junk at the end without a line break")
            << QByteArray("[Main]\napp 1=a\napp 2=b\n" + QByteArray(10 * 1024 * 1024, '\xff')) << ab
            << QStringLiteral(".5") << true;
        QTest::newRow("10 MB section name")
            << QByteArray("[" + tenMegabytes + "]\napp 1=z\n[Main]\napp 1=a\napp 2=b\n") << ab
            << QStringLiteral(".5") << false;
        QTest::newRow("no Main section") << QByteArray("app 1=a\nInterval=9\n[Other]\napp 1=b\n")
                                         << QStringList() << QStringLiteral(".5") << false;
        QTest::newRow("empty file")
            << QByteArray() << QStringList() << QStringLiteral(".5") << false;
        QTest::newRow("only zero bytes")
            << QByteArray(4096, '\0') << QStringList() << QStringLiteral(".5") << true;
    }
    void readAsFarAsItGoes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, list);
        QFETCH(QString, interval);
        QFETCH(bool, damaged);
        writeStore(file);
        QCOMPARE(storedLaunchList(), list);
        QCOMPARE(Interval::setting.get().text(), interval);
        checkSavesAfter(list);
        // A file that could not be read whole is kept beside the store for the user.
        const QString copy = m_home->storePath() + QStringLiteral(".bad");
        QCOMPARE(QFile::exists(copy), damaged);
        if (damaged)
            QVERIFY(readFile(copy) == file);
    }

    // A NUL byte costs only its line, which every save keeps as it was until the user changes
    // it, as it keeps lines of no key and comments; a copy of a damaged file never replaces an
    // earlier one.
    void nulByteCostsOnlyItsLine()
    {
        const QByteArray line("app 1=/bin/a\0b", 14);
        const QByteArray main = "[Main]\n" + line + "\nno equals sign\n; a note\napp 2=/bin/c\n";
        writeStore("# mine\n" + main + "\xff junk");
        QCOMPARE(storedLaunchList(), (QStringList {u"/bin/a\uFFFDb"_s, u"/bin/c"_s}));
        QVERIFY(Interval::setting.set(Interval(u"2"_s)));
        QVERIFY(SaveLaunchList(storedLaunchList()));
        const QByteArray saved = readFile(m_home->storePath());
        QVERIFY2(saved.startsWith("# mine\n") && saved.contains(main + "\xff junk\nInterval=2\n"),
                 saved.constData());
        const QByteArray copy = readFile(m_home->storePath() + u".bad"_s);
        writeStore(QByteArray("[Main]\napp 1=\0\n", 15));
        QCOMPARE(storedLaunchList(), QStringList {u"\uFFFD"_s});
        QCOMPARE(readFile(m_home->storePath() + u".bad"_s), copy);
    }

    // A named pipe where the file should be neither hangs a read nor is written over; a
    // relative XDG_CONFIG_HOME is ignored, and with no home at all nothing is written.
    void nowhereToKeepTheFile()
    {
        QVERIFY(QDir().mkpath(QFileInfo(m_home->storePath()).absolutePath()));
        QCOMPARE(::mkfifo(QFile::encodeName(m_home->storePath()).constData(), 0644), 0);
        QCOMPARE(storedLaunchList(), QStringList());
        const QString pipe = Interval::setting.set(Interval(u"2"_s)).reason();
        QVERIFY2(pipe.endsWith(u": it is not a regular file.")
                     && !QFileInfo(m_home->storePath()).isFile(),
                 qPrintable(pipe));
        qputenv("XDG_CONFIG_HOME", "relative");
        QCOMPARE(SettingsStore::location(), m_home->path() + u"/.config/quillmoor/61027.ini"_s);
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("HOME");
        QVERIFY(Interval::setting.set(Interval(u"2"_s)).reason().contains(u"HOME is not set"));
        QVERIFY(!QFile::exists(u"/.config/quillmoor/61027.ini"_s));
    }

    // A file far larger than any list needs (sparse here) is not read, is told of once, and
    // is never written over: the same file, as sparse as it was.
    void farTooLargeIsLeftAlone()
    {
        writeStore("[Main]\nInterval=3\n");
        const QByteArray path = QFile::encodeName(m_home->storePath());
        struct stat before = {}, after = {};
        QVERIFY(::truncate(path.constData(), 200 << 20) == 0
                && ::stat(path.constData(), &before) == 0);
        QCOMPARE(Interval::setting.get().text(), u".5"_s);
        QVERIFY(damageNews().contains(m_home->storePath() + u" could not be read: it is 200 MB"_s));
        QCOMPARE(damageNews(), QString());
        for (const Outcome<QString> &result :
             {Interval::setting.set(Interval(u"2"_s)), SaveLaunchList({u"/bin/b"_s})})
            QVERIFY2(result.reason().contains(u"(it is 200 MB, far more than settings take)"),
                     qPrintable(result.reason()));
        QCOMPARE(::stat(path.constData(), &after), 0);
        QCOMPARE(std::tie(after.st_ino, after.st_size, after.st_blocks),
                 std::tie(before.st_ino, before.st_size, before.st_blocks));
    }

    // A save that would grow the file past what a read takes is refused: the next read would
    // have lost the whole list.
    void saveStaysWithinTheLimit()
    {
        QByteArray text = "[Main]\napp 1=/bin/a\nInterval=3\n[Other]\nkey=";
        text += QByteArray((64 << 20) - 1 - text.size() - 1, 'x') + '\n';
        writeStore(text);
        const QByteArray path = QFile::encodeName(m_home->storePath());
        struct stat before = {}, after = {};
        QCOMPARE(::stat(path.constData(), &before), 0);
        for (const Outcome<QString> &result : {SaveLaunchList({u"/bin/a"_s, u"/bin/b"_s}),
                                               Interval::setting.set(Interval(u"250"_s))})
            QVERIFY2(result.reason().endsWith(
                         u": it would grow past 64 MB, the most a settings file may take."),
                     qPrintable(result.reason()));
        QCOMPARE(::stat(path.constData(), &after), 0);
        QCOMPARE(std::tie(after.st_ino, after.st_size), std::tie(before.st_ino, before.st_size));
        QCOMPARE(storedLaunchList(), QStringList {u"/bin/a"_s});
        QCOMPARE(Interval::setting.get().text(), u"3"_s);
    }

    // A lock that can never be taken is named at once, not blamed on another program.
    void lockInTheWay_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("why");
        QTest::newRow("a folder") << true << u"is a folder"_s;
        QTest::newRow("a link to itself") << false << u"is a symbolic link that leads round"_s;
    }
    void lockInTheWay()
    {
        QFETCH(bool, folder);
        QFETCH(QString, why);
        writeStore("[Main]\napp 1=/bin/a\n");
        const QString lock = m_home->storePath() + u".lock"_s;
        QVERIFY(folder ? QDir().mkdir(lock) : QFile::link(QFileInfo(lock).fileName(), lock));
        const QString reason = SaveLaunchList({u"/bin/b"_s}).reason();
        QVERIFY2(reason.contains(u"its lock %1 %2"_s.arg(lock, why)), qPrintable(reason));
        QCOMPARE(storedLaunchList(), QStringList {u"/bin/a"_s});
    }

    // A full disk: the system's words, and the file as it was.
    void fullDiskSaysSo()
    {
        const QByteArray folder = QFile::encodeName(m_home->configPath() + u"/quillmoor"_s);
        QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0
            || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            QSKIP("needs root to mount a small file system of its own");
        QCOMPARE(::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k"), 0);
        const auto unmount = qScopeGuard([&] { ::umount2(folder.constData(), MNT_DETACH); });
        QVERIFY(SaveLaunchList({u"kept"_s}));
        const QByteArray before = readFile(m_home->storePath());
        // Room for part of the list only: the write is cut short.
        QVERIFY(writeFile(QFile::decodeName(folder + "/filler"), QByteArray(40 * 1024, 'x')));
        const auto result = SaveLaunchList(QStringList(2000, u"/usr/bin/program"_s));
        QVERIFY2(result.reason().endsWith(u": No space left on device."),
                 qPrintable(result.reason()));
        QCOMPARE(readFile(m_home->storePath()), before);

        // No room at all: the damaged file's copy and the lock cannot be made, and the notice
        // and the save say why.
        m_damaged->clear();
        writeStore("[Main]\napp 1=full\xff\n");
        QFile filler(QFile::decodeName(folder + "/filler2"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) { }
        QCOMPARE(storedLaunchList(), QStringList {u"full\u00ff"_s});
        const QString notice = damageNews();
        QVERIFY2(notice.endsWith(u"no copy of the file as it was could be kept: No space left on "
                                 "device."),
                 qPrintable(notice));
        QVERIFY(!QFile::exists(m_home->storePath() + u".bad"_s));
        const QByteArray damaged = readFile(m_home->storePath());
        const QString lock = SaveLaunchList({u"new"_s}).reason();
        QVERIFY2(lock.endsWith(u": No space left on device."), qPrintable(lock));
        QCOMPARE(readFile(m_home->storePath()), damaged);
    }

    // Told once for the same damaged bytes, a touch notwithstanding, and never of a copy that
    // was not made.
    void damageToldOnceAndTruly()
    {
        writeStore("[Main]\napp 1=\xfe once\n");
        storedLaunchList();
        QVERIFY(damageNews().endsWith(u"61027.ini.bad."));
        QFile touched(m_home->storePath());
        QVERIFY(touched.open(QIODevice::ReadWrite)
                && touched.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                       QFileDevice::FileModificationTime));
        touched.close();
        QCOMPARE(storedLaunchList(), QStringList {u"\u00fe once"_s});
        QCOMPARE(damageNews(), QString());

        for (int n = 2; n <= 9; ++n)
            QVERIFY(writeFile(m_home->storePath() + u".bad.%1"_s.arg(n), QByteArray::number(n)));
        writeStore("[Main]\napp 1=\xfe tenth\n");
        storedLaunchList();
        const QString notice = damageNews();
        QVERIFY2(notice.endsWith(u"no copy of the file as it was could be kept: 9 earlier copies "
                                 "are kept already."),
                 qPrintable(notice));
    }

    // A file that cannot be read at all is told of once and never saved over.
    void unreadableFileIsToldAndKept_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("why");
        QTest::newRow("a folder in its place") << 0 << u"it is a folder, not a file"_s;
        QTest::newRow("a link to itself") << 1 << u"Too many levels of symbolic links"_s;
        QTest::newRow("no permission to read") << 2 << u"Permission denied"_s;
    }
    void unreadableFileIsToldAndKept()
    {
        QFETCH(int, kind);
        QFETCH(QString, why);
        if (kind == 2 && ::geteuid() == 0)
            QSKIP("root reads a file without read permission");
        const QString path = m_home->storePath();
        writeStore("[Main]\napp 1=/usr/bin/kept\n");
        if (kind == 0)
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        else if (kind == 1)
            QVERIFY(QFile::remove(path) && QFile::link(QFileInfo(path).fileName(), path));
        else
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        const QFileInfo before(path);
        QCOMPARE(storedLaunchList(), QStringList());
        const QString notice = damageNews();
        QVERIFY2(notice.contains(u"61027.ini could not be read: %1."_s.arg(why)),
                 qPrintable(notice));
        QCOMPARE(Interval::setting.get().text(), u".5"_s);
        QCOMPARE(damageNews(), QString());
        QVERIFY(!SaveLaunchList({u"/usr/bin/new"_s}));
        QVERIFY(!Interval::setting.set(Interval(u"2"_s)));
        const QFileInfo after(path);
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.isDir(), before.isDir());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.permissions(), before.permissions());
    }

    void otherSectionsSurviveASave()
    {
        writeStore("app 1=top\n[Other]\nkey=kept, as typed\n");
        QVERIFY(SaveLaunchList({QStringLiteral("/bin/x")}));
        const QByteArray text = readFile(m_home->storePath());
        QVERIFY(text.contains("[Other]\nkey=kept, as typed\n"));
        QVERIFY(text.contains("[Main]\napp 1=/bin/x\n"));
        QVERIFY(text.startsWith("app 1=top\n"));
    }

    // Random bytes, with the line breaks and signs the format gives meaning to mixed in.
    void randomJunkNeverBlocksSaving_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomJunkNeverBlocksSaving()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        static const char signs[] = "\r\n=[]/;# \t\xef\xbb\xbf";
        QByteArray junk = "[Main]\napp 1=first\n";
        for (int i = 0; i < 64 * 1024; ++i) {
            const quint32 pick = random.bounded(4u);
            junk += pick == 0 ? signs[random.bounded(quint32(sizeof signs - 1))]
                              : char(random.bounded(256u));
        }
        writeStore(junk);
        const QStringList before = storedLaunchList();
        QVERIFY(before.size() <= 1);
        checkSavesAfter(before);
    }
};

QTEST_GUILESS_MAIN(TestBadStore)
#include "tst_badstore.moc"
