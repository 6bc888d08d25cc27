#include "fixture.h"
#include "logic/startupcommands.h"
#include "platform/linux/desktopentry_linux.h"
#include "platform/startupentry.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The entry read back as a desktop reads it, by the launcher's own reader.
class DesktopFile
{
public:
    explicit DesktopFile(const QString &path)
    {
        const DesktopEntry::Group group = DesktopEntry::readGroup(path);
        exists = group.outcome.ok();
        keys = group.keys;
        for (const QByteArray &line : readFile(path).split('\n')) {
            if (line.startsWith('['))
                groups.append(QString::fromUtf8(line));
        }
    }

    bool exists = false;
    QStringList groups;
    QHash<QString, QString> keys;
};

QString entryPath(const TempHome &home)
{
    return home.configPath() + QStringLiteral("/autostart/quillmoor.desktop");
}

QStringList execOf(const TempHome &home)
{
    const DesktopFile entry(entryPath(home));
    const DesktopEntry::Arguments exec
        = DesktopEntry::execArguments(entry.keys.value(QStringLiteral("Exec")));
    if (!exec.outcome)
        return {QStringLiteral("<unparsable: %1>").arg(exec.outcome.reason())};
    return exec.arguments;
}

// Paths that need every kind of care in an Exec line.
void awkwardPaths()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("/usr/lib/quillmoor/quillmoor");
    QTest::newRow("blanks") << QStringLiteral("/opt/My Programs/quill moor");
    QTest::newRow("double quotes") << QStringLiteral("/opt/\"quoted\"/quillmoor");
    QTest::newRow("single quote") << QStringLiteral("/home/o'neil/quillmoor");
    QTest::newRow("dollar") << QStringLiteral("/opt/$HOME/quillmoor");
    QTest::newRow("percent") << QStringLiteral("/opt/100%/%f%u");
    QTest::newRow("percent unquoted") << QStringLiteral("/opt/100%/q");
    QTest::newRow("backslash") << QStringLiteral("/opt/back\\slash/quillmoor");
    QTest::newRow("backtick") << QStringLiteral("/opt/`id`/quillmoor");
    QTest::newRow("shell specials") << QStringLiteral("/opt/a&b;c|d<e>f~g*h?i#j(k)l/q");
    QTest::newRow("all together") << QStringLiteral(
        "/tmp/My \"Dial\" $Up 100% \\net\\ `x`/quillmoor");
    QTest::newRow("trailing backslash") << QStringLiteral("/opt/odd\\");
    QTest::newRow("tab and newline") << QStringLiteral("/opt/a\tb\nc/quillmoor");
    QTest::newRow("non-ASCII") << QStringLiteral("/home/jürgen/Программы/quillmoor");
}

} // namespace

class TestStartupEntry : public QObject, private Fixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void addWritesTheAutostartEntry()
    {
        QVERIFY(Corvath::AddToStartup());
        QVERIFY(m_dialogs->messages.isEmpty());

        const DesktopFile entry(entryPath(*m_home));
        QVERIFY(entry.exists);
        QCOMPARE(entry.groups, QStringList {QStringLiteral("[Desktop Entry]")});
        QCOMPARE(entry.keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
        QCOMPARE(entry.keys.value(QStringLiteral("Name")), QStringLiteral("Quillmoor"));
        QCOMPARE(entry.keys.value(QStringLiteral("Icon")), QStringLiteral("quillmoor"));
        QCOMPARE(entry.keys.value(QStringLiteral("X-KDE-autostart-after")),
                 QStringLiteral("panel"));
        QCOMPARE(entry.keys.value(QStringLiteral("X-LXQt-Need-Tray")), QStringLiteral("true"));
        bool isNumber = false;
        const int delay
            = entry.keys.value(QStringLiteral("X-GNOME-Autostart-Delay")).toInt(&isNumber);
        QVERIFY(isNumber);
        QVERIFY(delay > 0);
        QVERIFY(!entry.keys.contains(QStringLiteral("Hidden")));
        // This very program, by its full path, with nothing appended.
        QCOMPARE(execOf(*m_home), QStringList {QCoreApplication::applicationFilePath()});
    }

    void addOverADisabledEntryReplacesIt()
    {
        QVERIFY(QDir().mkpath(m_home->configPath() + QStringLiteral("/autostart")));
        QVERIFY(writeFile(entryPath(*m_home),
                          "[Desktop Entry]\nType=Application\nName=Old\n"
                          "Exec=/usr/bin/other\nHidden=true\n"
                          "X-GNOME-Autostart-enabled=false\n"));
        QVERIFY(Corvath::AddToStartup());
        QVERIFY(Corvath::AddToStartup());
        const DesktopFile entry(entryPath(*m_home));
        QVERIFY(!entry.keys.contains(QStringLiteral("Hidden")));
        QVERIFY(!entry.keys.contains(QStringLiteral("X-GNOME-Autostart-enabled")));
        QCOMPARE(entry.keys.value(QStringLiteral("Name")), QStringLiteral("Quillmoor"));
        QCOMPARE(execOf(*m_home), QStringList {QCoreApplication::applicationFilePath()});
        QVERIFY(m_dialogs->messages.isEmpty());
        // Written whole through a temporary file that is gone again.
        QCOMPARE(QDir(m_home->configPath() + QStringLiteral("/autostart")).entryList(QDir::Files),
                 QStringList {QStringLiteral("quillmoor.desktop")});
    }

    void execRoundTrips_data() { awkwardPaths(); }
    void execRoundTrips()
    {
        QFETCH(QString, path);
        const auto result = createStartupEntry()->add(path.toStdString());
        QVERIFY2(result, result.reason().c_str());
        QCOMPARE(execOf(*m_home), QStringList {path});
    }

    // The examples the Desktop Entry rules give, byte for byte.
    void execLineOnDisk_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("no reserved character")
            << QStringLiteral("/usr/bin/quillmoor") << QByteArray("Exec=/usr/bin/quillmoor\n");
        QTest::newRow("blank") << QStringLiteral("/opt/a b") << QByteArray("Exec=\"/opt/a b\"\n");
        QTest::newRow("backslash is four")
            << QStringLiteral("/opt/a b\\c") << QByteArray("Exec=\"/opt/a b\\\\\\\\c\"\n");
        QTest::newRow("dollar") << QStringLiteral("/opt/$x")
                                << QByteArray("Exec=\"/opt/\\\\$x\"\n");
        QTest::newRow("percent") << QStringLiteral("/opt/5%") << QByteArray("Exec=/opt/5%%\n");
    }
    void execLineOnDisk()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, line);
        QVERIFY(createStartupEntry()->add(path.toStdString()));
        const QByteArray content = readFile(entryPath(*m_home));
        QVERIFY2(content.contains(QByteArray("\n") + line), content.constData());
    }

    // Exec lines as other programs write them, read back through the file's string escapes.
    void execLinesOfOtherEntries_data()
    {
        QTest::addColumn<QByteArray>("exec");
        QTest::addColumn<QStringList>("arguments"); // empty: refused
        QTest::newRow("field codes dropped, %% kept")
            << QByteArray("prog %U --file=%f \"100%%\" %i%c %k")
            << QStringList {u"prog"_s, u"--file="_s, u"100%"_s};
        QTest::newRow("quoted, escapes in both layers")
            << QByteArray(
                   "\"/opt/my apps/prog\" \"say \\\"hi\\\"\" \"\\\\$x \\$y \\\\\\\\ \\`z\\`\" \"\"")
            << QStringList {u"/opt/my apps/prog"_s, u"say \"hi\""_s, u"$x $y \\ `z`"_s,
                            QString()};
        QTest::newRow("\\s is a blank, blanks run together")
            << QByteArray("prog\\sname   a=b") << QStringList {u"prog"_s, u"name"_s, u"a=b"_s};
        QTest::newRow("reserved outside quotes") << QByteArray("prog $HOME") << QStringList();
        QTest::newRow("single quotes are reserved") << QByteArray("prog 'a b'") << QStringList();
        QTest::newRow("unescaped inside quotes") << QByteArray("prog \"a$b\"") << QStringList();
        QTest::newRow("open quote") << QByteArray("prog \"a") << QStringList();
        QTest::newRow("unknown field code") << QByteArray("prog %x") << QStringList();
        QTest::newRow("lone percent at the end") << QByteArray("prog 5%") << QStringList();
    }
    void execLinesOfOtherEntries()
    {
        QFETCH(QByteArray, exec);
        QFETCH(QStringList, arguments);
        const QString path = m_home->path() + QStringLiteral("/other.desktop");
        QVERIFY(writeFile(path,
                          "# comment\n[Desktop Entry]\nExec = " + exec
                              + "\n[Desktop Action x]\nExec=other\n"));
        const DesktopFile entry(path);
        QVERIFY(entry.exists);
        const DesktopEntry::Arguments got
            = DesktopEntry::execArguments(entry.keys.value(QStringLiteral("Exec")));
        const bool ok = got.outcome.ok();
        QCOMPARE(ok, !arguments.isEmpty());
        QCOMPARE(got.arguments, arguments);
        QCOMPARE(got.outcome.reason().isEmpty(), ok);
    }

    void entryPassesTheValidator_data() { awkwardPaths(); }
    void entryPassesTheValidator()
    {
        QFETCH(QString, path);
        const QString validator
            = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
        QVERIFY(createStartupEntry()->add(path.toStdString()));
        QByteArray output;
        QVERIFY2(runs(validator, {entryPath(*m_home)}, &output), output.constData());
        QVERIFY2(!output.contains("error"), output.constData());
    }

    // GLib's own launcher reads the entry back and starts the program it names. (GLib looks
    // the program up before it expands %%, so a % in the path is left to the parser above.)
    void desktopStartsTheNamedProgram()
    {
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty())
            QSKIP("gio is not installed (package libglib2.0-bin)");
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/My \"Dial\" $Up `x` \\net");
        QVERIFY(QDir().mkpath(folder));
        const QString program = folder + QStringLiteral("/quill moor");
        const QString stamp = dir.path() + QStringLiteral("/started");
        QVERIFY(!writeScript(program, "printf '%s' \"$0\" > '" + stamp.toUtf8() + "'\n").isEmpty());

        QVERIFY(createStartupEntry()->add(program.toStdString()));
        QVERIFY(runs(gio, {QStringLiteral("launch"), entryPath(*m_home)}));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(stamp).size() > 0, 30000);
        QCOMPARE(QString::fromUtf8(readFile(stamp)), program);
    }

    void removeDeletesTheEntry()
    {
        QVERIFY(Corvath::AddToStartup());
        QVERIFY(QFile::exists(entryPath(*m_home)));
        QVERIFY(Corvath::RemoveFromStartup());
        QVERIFY(!QFileInfo(entryPath(*m_home)).exists());
        // Already gone, and a folder that was never made: both fine and silent.
        QVERIFY(Corvath::RemoveFromStartup());
        QVERIFY(QDir(m_home->configPath() + QStringLiteral("/autostart")).removeRecursively());
        QVERIFY(Corvath::RemoveFromStartup());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    // Tests run as root, where permissions stop nothing: the paths are made unusable instead.
    void failuresAreShown_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("named");
        QTest::newRow("autostart folder is a file")
            << QStringLiteral("folder-file") << true << QStringLiteral("/autostart");
        QTest::newRow("config folder is a file")
            << QStringLiteral("config-file") << true << QStringLiteral("/autostart");
        QTest::newRow("entry is a folder, adding")
            << QStringLiteral("entry-folder") << true << QStringLiteral("quillmoor.desktop");
        QTest::newRow("entry is a folder, removing")
            << QStringLiteral("entry-folder") << false << QStringLiteral("quillmoor.desktop");
        QTest::newRow("no home, relative config folder")
            << QStringLiteral("no-home") << true << QStringLiteral("HOME is not set");
    }
    void failuresAreShown()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, adding);
        QFETCH(QString, named);
        const QString autostart = m_home->configPath() + QStringLiteral("/autostart");
        if (blocker == QStringLiteral("folder-file")) {
            QVERIFY(QDir().mkpath(m_home->configPath()));
            QVERIFY(writeFile(autostart, "not a folder"));
        } else if (blocker == QStringLiteral("config-file")) {
            QVERIFY(writeFile(m_home->configPath(), "not a folder"));
        } else if (blocker == QStringLiteral("no-home")) {
            qunsetenv("HOME");
            qputenv("XDG_CONFIG_HOME", "relative");
        } else {
            QVERIFY(QDir().mkpath(entryPath(*m_home) + QStringLiteral("/inside")));
        }

        // Reported, not shown: the menu's handler tells it.
        const QString failure
            = (adding ? Corvath::AddToStartup() : Corvath::RemoveFromStartup()).reason();
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY2(failure.startsWith(adding ? QStringLiteral("Quillmoor could not be added")
                                           : QStringLiteral("Quillmoor could not be removed")),
                 qPrintable(failure));
        QVERIFY2(failure.contains(named), qPrintable(failure));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/.config/autostart/quillmoor.desktop")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("relative")));
    }

    void pathWithAControlCharacterIsRefused()
    {
        const QString path = QStringLiteral("/opt/bell\x07/quillmoor");
        const auto result = createStartupEntry()->add(path.toStdString());
        QVERIFY(!result);
        QVERIFY(!result.reason().empty());
        QVERIFY(!QFileInfo::exists(entryPath(*m_home)));
    }
};

QTEST_GUILESS_MAIN(TestStartupEntry)
#include "tst_startupentry.moc"
