#include "mimedefaults.h"
#include "platform/linux/childprocess_linux.h"
#include "platform/programstarter.h"
#include "testfiles.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Starts real programs. Runs on an X server: documents open in the application set for their
// type, else through the desktop's opener, here a script named xdg-open that notes what it was
// given and finds nothing for the host "nowhere".
class TestDesktopStarter : public QObject
{
    Q_OBJECT

private:
    MimeDefaults m_mime;
    QTemporaryDir m_root;
    QString m_dir; // holds a blank, as paths from the file dialog may
    const std::unique_ptr<ProgramStarter> m_starter = createProgramStarter();

    QString path(const QString &name) const { return m_dir + u'/' + name; }

    void writeFile(const QString &name, const QByteArray &text, bool executable)
    {
        QVERIFY(::writeFile(path(name), text));
        if (executable)
            QVERIFY(QFile::setPermissions(path(name),
                                          QFile::permissions(path(name)) | QFile::ExeOwner));
    }

    static QString readWhenWritten(const QString &file)
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file) && QFile(file).size() > 0, 10000); }();
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()).trimmed() : QString();
    }

    // Whether every child started so far has ended and been reaped: none left, not even a zombie.
    static bool allReaped()
    {
        siginfo_t info {};
        return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD;
    }

    void startMany(int count)
    {
        for (int i = 0; i < count; ++i) {
            const auto started = m_starter->start(u"true"_s);
            QVERIFY2(started, qPrintable(started.reason()));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir = m_root.path() + u"/my apps"_s;
        QVERIFY(QDir().mkpath(m_dir));
        // Writes its arguments, one a line, to the file named by its first argument.
        writeFile(u"rec"_s,
                  "#!/bin/sh\nout=\"$1\"; shift\nprintf '%s\\n' \"$@\" > \"$out.tmp\"\n"
                  "mv \"$out.tmp\" \"$out\"\n",
                  true);
        writeFile(u"solo"_s, "#!/bin/sh\necho ran > \"$(dirname \"$0\")/solo.out\"\n", true);
        writeFile(u"xdg-open"_s,
                  "#!/bin/sh\ncase \"$1\" in *nowhere*) exit 3;; esac\n"
                  "printf '%s\\n' \"$1\" > \"$(dirname \"$0\")/opened\"\n",
                  true);
        // Notes what it opens, stays a while and ends with a failure, as some viewers do.
        writeFile(u"viewer"_s,
                  "#!/bin/sh\ncd \"$(dirname \"$0\")\"\nprintf '%s\\n' \"$@\" > viewed.tmp\n"
                  "mv viewed.tmp viewed\nsleep 1\necho 1 > viewer.exited\nexit 1\n",
                  true);
        QVERIFY(
            m_mime.setDefault(u"viewer.desktop"_s,
                              "[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer %f\n",
                              {u"text/plain"_s}));
        QVERIFY(m_mime.install(u"pdfviewer.desktop"_s,
                               "[Desktop Entry]\nType=Application\nName=PDF\nExec=viewer %f\n"
                               "MimeType=application/pdf;\n"));
        // Qt splits the opener's path at blanks, so it gets a folder without any.
        const QString bin = m_root.path() + u"/bin"_s;
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::rename(path(u"xdg-open"_s), bin + u"/xdg-open"_s));
        writeFile(u"notes.txt"_s, "a document\n", false);
        writeFile(u"Report.pdf"_s, "%PDF-1.4\n", false);
        writeFile(u"picture.png"_s, "no application is set for it\n", false);
        writeFile(u"junk"_s, "no program at all\n", true);
        // Notes its process and session, then stays.
        writeFile(u"session"_s,
                  "#!/bin/sh\nread -r pid comm state ppid group sid rest < /proc/$$/stat\n"
                  "echo \"$pid $sid\" > \"$1.tmp\"\nmv \"$1.tmp\" \"$1\"\nexec sleep 60\n",
                  true);
        // A terminal that runs the rest of its arguments and appends one to show it was used.
        writeFile(u"term"_s, "#!/bin/sh\n[ \"$1\" = -e ] && shift\nexec \"$@\" in-terminal\n",
                  true);
        qputenv("TERMINAL", path(u"term"_s).toUtf8());
        qputenv("PATH", (m_dir + u':' + bin + u':' + qEnvironmentVariable("PATH")).toUtf8());
    }

    void cleanup()
    {
        for (const char *name : {"out", "solo.out", "viewed", "viewer.exited"})
            QFile::remove(path(QString::fromLatin1(name)));
    }

    void startsPrograms_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("found on the path") << u"rec OUT a"_s << u"a"_s;
        QTest::newRow("quoted path and words")
            << u"'DIR/rec' OUT one \"two words\" th\\ ree '$HOME' *"_s
            << u"one\ntwo words\nth ree\n$HOME\n*"_s;
    }
    void startsPrograms()
    {
        QFETCH(QString, entry);
        QFETCH(QString, arguments);
        entry.replace(u"DIR"_s, m_dir).replace(u"OUT"_s, u"'"_s + path(u"out"_s) + u"'"_s);
        const auto started = m_starter->start(entry);
        QVERIFY2(started, qPrintable(started.reason()));
        QCOMPARE(readWhenWritten(path(u"out"_s)), arguments);
    }

    void wholePathWithBlanks()
    {
        const auto started = m_starter->start(path(u"solo"_s));
        QVERIFY2(started, qPrintable(started.reason()));
        QCOMPARE(readWhenWritten(path(u"solo.out"_s)), u"ran"_s);
    }

    void opensDocumentsAndAddresses_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("opened");
        QTest::newRow("document of a type without an application")
            << u"DIR/picture.png"_s << u"file://DIR/picture.png"_s;
        QTest::newRow("web page") << u"https://example.org/a?b=c"_s
                                  << u"https://example.org/a?b=c"_s;
        QTest::newRow("mail") << u"mailto:someone@example.org"_s
                              << u"mailto:someone@example.org"_s;
    }
    void opensDocumentsAndAddresses()
    {
        QFETCH(QString, entry);
        QFETCH(QString, opened);
        entry.replace(u"DIR"_s, m_dir);
        opened.replace(u"DIR"_s, QString::fromUtf8(QUrl::toPercentEncoding(m_dir, "/")));
        const auto started = m_starter->start(entry);
        QVERIFY2(started, qPrintable(started.reason()));
        const QString record = m_root.path() + u"/bin/opened"_s;
        QCOMPARE(readWhenWritten(record), opened);
        QFile::remove(record);
    }

    // Started is opened: the viewer's exit status, long after, is no failure. So for one set
    // for the type and for one installed that only lists it.
    void documentOpensInItsApplication()
    {
        QStringList late;
        const auto told = connect(m_starter.get(), &ProgramStarter::settled, this,
                                  [&late](quint64, const QString &entry, const QString &reason) {
                                      if (!reason.isEmpty())
                                          late << entry + u": "_s + reason;
                                  });
        for (const QString &document : {path(u"notes.txt"_s), path(u"Report.pdf"_s)}) {
            cleanup();
            const auto started = m_starter->start(document);
            QVERIFY2(started, qPrintable(started.reason()));
            QCOMPARE(readWhenWritten(path(u"viewed"_s)), document);
            QCOMPARE(readWhenWritten(path(u"viewer.exited"_s)), u"1"_s);
        }
        // A failure told later still comes, after any the viewer could have caused.
        const auto address = m_starter->start(u"https://nowhere.example/"_s);
        QVERIFY2(address, qPrintable(address.reason()));
        QTRY_VERIFY_WITH_TIMEOUT(!late.isEmpty(), 10000);
        disconnect(told);
        QCOMPARE(late,
                 QStringList {u"https://nowhere.example/: no application is set to open it"_s});
        QVERIFY(!QFile::exists(m_root.path() + u"/bin/opened"_s));
    }

    // A named pipe where the desktop keeps a list or an entry is told of, never read: GIO would
    // wait for a writer there.
    void namedPipeAmongTheDesktopsFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("mimeapps.list") << u"mimeapps.list"_s;
        QTest::newRow("an application") << u"other.desktop"_s;
    }
    void namedPipeAmongTheDesktopsFiles()
    {
        QFETCH(QString, name);
        const QString pipe = m_mime.applications() + u'/' + name;
        const QString aside = m_root.path() + u"/aside"_s;
        QVERIFY(!QFile::exists(pipe) || QFile::rename(pipe, aside));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const auto started = m_starter->start(path(u"notes.txt"_s));
        QFile::remove(pipe);
        QVERIFY(!QFile::exists(aside) || QFile::rename(aside, pipe));
        QCOMPARE(started.reason(),
                 pipe + u" is a named pipe where the desktop keeps a file, so the application set "
                        "to open it could not be looked up"_s);
    }

    // Launchers as the file dialog finds them; marked executable, as some desktops want.
    void startsDesktopEntries_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("result"); // what the program records, or the reason
        QTest::newRow("application") << QByteArray("[Desktop Entry]\nType=Application\nName=R\n"
                                                   "Exec=rec \"OUT\" %U one \"two words\"\n")
                                     << u"one\ntwo words"_s;
        QTest::newRow("icon, name and location")
            << QByteArray("[Desktop Entry]\nType=Application\nName=Quill\nName[xx]=Q\nIcon=q\n"
                          "Exec=rec \"OUT\" %i %c %k\n")
            << u"--icon\nq\nQuill\nDIR/entry.desktop"_s;
        QTest::newRow("only its own group, blanks around =")
            << QByteArray("# made by hand\n[Desktop Entry]\nType = Application\n"
                          "Exec= rec \"OUT\" right\n[Desktop Action x]\nExec=rec \"OUT\" wrong\n")
            << u"right"_s;
        QTest::newRow("in a terminal")
            << QByteArray("[Desktop Entry]\nType=Application\nTerminal=true\nExec=rec \"OUT\" a\n")
            << u"a\nin-terminal"_s;
        QTest::newRow("working folder")
            << QByteArray("[Desktop Entry]\nType=Application\nPath=DIR\nExec=sh -c \"pwd > out\"\n")
            << u"DIR"_s;
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nType=Application\nHidden=true\n"
                                              "Exec=rec \"OUT\"\n")
                                << u"its desktop entry is marked deleted (Hidden=true)"_s;
        QTest::newRow("not installed")
            << QByteArray("[Desktop Entry]\nType=Application\nTryExec=no-such-program\n"
                          "Exec=rec \"OUT\"\n")
            << u"no-such-program is not installed (TryExec)"_s;
        QTest::newRow("link") << QByteArray("[Desktop Entry]\nType=Link\nURL=https://example.org\n")
                              << u"its desktop entry is of Type Link, not Application"_s;
        QTest::newRow("no desktop entry")
            << QByteArray("Exec=rec OUT\n")
            << u"it is not a desktop entry (it has no [Desktop Entry] group)"_s;
        QTest::newRow("Exec against the rules")
            << QByteArray("[Desktop Entry]\nType=Application\nExec=rec $HOME\n")
            << u"its Exec key has $ outside quotes"_s;
        QTest::newRow("missing working folder")
            << QByteArray("[Desktop Entry]\nType=Application\nPath=/nonexistent\nExec=rec\n")
            << u"its working folder /nonexistent does not exist"_s;
    }
    void startsDesktopEntries()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, result);
        text.replace("OUT", path(u"out"_s).toUtf8()).replace("DIR", m_dir.toUtf8());
        result.replace(u"DIR"_s, m_dir);
        writeFile(u"entry.desktop"_s, text, true);
        if (const auto started = m_starter->start(path(u"entry.desktop"_s)))
            QCOMPARE(readWhenWritten(path(u"out"_s)), result);
        else
            QCOMPARE(started.reason(), result);
        QVERIFY(!QFile::exists(m_root.path() + u"/bin/opened"_s));
    }

    void reportsFailures_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << u"/nonexistent/prog -x"_s << u"No such file or directory"_s;
        QTest::newRow("path with a blank, unquoted")
            << u"DIR/solo --flag"_s
            << u"there is no program ROOT/my; a path with blanks needs quotation marks"_s;
        QTest::newRow("document with words") << u"'DIR/notes.txt' x"_s << u"Permission denied"_s;
        QTest::newRow("not a program") << u"'DIR/junk' x"_s << u"Exec format error"_s;
        QTest::newRow("open quote") << u"rec 'x"_s << u"a quotation mark is not closed"_s;
        QTest::newRow("blank") << u"  "_s << u"no program is named"_s;
        QTest::newRow("damaged in the settings file")
            << u"/usr/bin/x\uFFFDy"_s << u"its text in the settings file is damaged"_s;
    }
    void reportsFailures()
    {
        QFETCH(QString, entry);
        QFETCH(QString, reason);
        entry.replace(u"DIR"_s, m_dir);
        reason.replace(u"ROOT"_s, m_root.path());
        const auto started = m_starter->start(entry);
        QVERIFY(!started);
        QCOMPARE(started.reason(), reason);
    }

    void missingFolder()
    {
        QCOMPARE(ChildProcess::start(u"/bin/true"_s, {}, m_dir + u"/gone"_s).error, ENOENT);
    }

    // In a session of its own, and still running once its starter is gone.
    void outlivesItsStarter()
    {
        auto starter = createProgramStarter();
        const auto started = starter->start(u"session '"_s + path(u"out"_s) + u"'"_s);
        QVERIFY2(started, qPrintable(started.reason()));
        starter.reset();
        const QStringList ids = readWhenWritten(path(u"out"_s)).split(u' ');
        QCOMPARE(ids.size(), 2);
        const pid_t pid = ids.at(0).toInt();
        QCOMPARE(ids.at(1), ids.at(0));
        QVERIFY(::getsid(0) != pid);
        QCOMPARE(::kill(pid, 0), 0);
        ::kill(pid, SIGTERM);
        QTRY_VERIFY(allReaped());
    }

    // Also with no descriptor left for watching a child.
    void noZombies()
    {
        startMany(300);
        QTRY_VERIFY(allReaped());

        rlimit limit {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlimit fewer {256, limit.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &fewer), 0);
        QList<int> spent;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            spent.append(fd);
        QCOMPARE(errno, EMFILE);
        startMany(20);
        for (int fd : spent)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &limit);
        QTRY_VERIFY(allReaped());
    }

    // Programs that keep running leave the program descriptors of its own, and none stays a
    // zombie once they end.
    void runningProgramsLeaveDescriptors()
    {
        rlimit limit {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlimit few {64, limit.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &few), 0);
        for (int i = 0; i < 100; ++i) {
            const auto started = m_starter->start(u"sleep 3"_s);
            QVERIFY2(started, qPrintable(started.reason()));
        }
        QList<int> free;
        for (int fd;
             free.size() < 32 && (fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) >= 0;)
            free.append(fd);
        for (int fd : free)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &limit);
        QCOMPARE(free.size(), 32);
        QTRY_VERIFY_WITH_TIMEOUT(allReaped(), 30000);
    }
};

QTEST_MAIN(TestDesktopStarter)
#include "tst_desktopstarter.moc"
