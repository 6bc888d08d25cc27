#include "editors/editicon.h"
#include "fixture.h"
#include "logic/iconsetting.h"
#include "logic/launchsequencer.h"
#include "mimedefaults.h"
#include "platform/programstarter.h"
#include "settings/documentopener.h"
#include "settings/settingsstore.h"
#include "shell/menue.h"
#include "shell/splash.h"
#include "testfiles.h"
#include "testicons.h"
#include "widgets/tray.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// PNG's chunk check sum, so that a changed header still reads as sound.
quint32 crc32(QByteArrayView data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool isRoot()
{
    return ::geteuid() == 0;
}

} // namespace

// Icon settings and launch entries that name what is no picture or no program: sockets, pipes,
// devices, folders, files nobody may read. Each gets a clear outcome and nothing hangs. Runs on
// an X server, where documents open through the desktop's opener: here a script that notes
// what it was given.
class TestBadInput : public QObject, private Fixture
{
    Q_OBJECT

private:
    MimeDefaults m_mime; // documents reach the stand-in opener, not the desktop's applications
    // The desktop's opener stand-in, for the whole run: Qt remembers where it found it.
    QTemporaryDir m_tools;
    QString m_dir;
    int m_socket = -1;

    QString path(const QString &name) const { return m_dir + name; }
    QString openedNote() const { return m_tools.path() + QStringLiteral("/opened"); }

    void writeFile(const QString &name, const QByteArray &data, QFile::Permissions permissions)
    {
        QVERIFY(::writeFile(path(name), data));
        QVERIFY(QFile::setPermissions(path(name), permissions));
    }

    // Everything the rows name, under fixed names.
    void makeOddFiles()
    {
        QVERIFY(QDir().mkpath(path(QStringLiteral("a folder"))));
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0644), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral("zero link"))));

        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(m_socket >= 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray socketPath = QFile::encodeName(path(QStringLiteral("socket")));
        QVERIFY(socketPath.size() < qsizetype(sizeof address.sun_path));
        qstrcpy(address.sun_path, socketPath.constData());
        QCOMPARE(::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        QCOMPARE(::chmod(socketPath.constData(), 0644), 0);

        QVERIFY(square(Qt::red).save(path(QStringLiteral("red.ico")), "ICO"));
        writeFile(QStringLiteral("text.ico"), "no picture\n", QFile::ReadOwner | QFile::WriteOwner);
        // A picture that says it is 60000 pixels square: too large to decode on the tray's
        // behalf.
        QVERIFY(square(Qt::red).save(path(QStringLiteral("huge.png")), "PNG"));
        QByteArray huge = readFile(path(QStringLiteral("huge.png")));
        const uchar side[4] = {0, 0, 0xEA, 0x60};
        huge.replace(16, 4, reinterpret_cast<const char *>(side), 4);
        huge.replace(20, 4, reinterpret_cast<const char *>(side), 4);
        const quint32 check = crc32(QByteArrayView(huge).sliced(12, 17));
        for (int i = 0; i < 4; ++i)
            huge[29 + i] = char(check >> (24 - 8 * i));
        QVERIFY(::writeFile(path(QStringLiteral("huge.png")), huge));
        // A real icon nobody but root may read.
        QVERIFY(square(Qt::red).save(path(QStringLiteral("locked.ico")), "ICO"));
        QVERIFY(QFile::setPermissions(path(QStringLiteral("locked.ico")), {}));
        writeFile(QStringLiteral("locked.txt"), "a note\n", {});
        writeFile(QStringLiteral("after"),
                  "#!/bin/sh\necho ran > '" + path(QStringLiteral("after.out")).toUtf8() + "'\n",
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString named(QString text) const { return text.replace(QStringLiteral("DIR/"), m_dir); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tools.isValid());
        const QString bin = m_tools.path() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(bin));
        // Adds to what it noted before, so that a second document handed to it shows.
        const QByteArray note = "'" + openedNote().toUtf8() + "'";
        QVERIFY(!writeScript(bin + QStringLiteral("/xdg-open"),
                             "{ cat " + note + " 2>/dev/null; printf '%s\\n' \"$1\"; } > " + note
                                 + ".tmp\nmv " + note + ".tmp " + note + "\n")
                     .isEmpty());
        qputenv("PATH", (bin + u':' + qEnvironmentVariable("PATH")).toUtf8());
        // Plain text has its application, which notes the same as the opener.
        QVERIFY(m_mime.setDefault(QStringLiteral("noter.desktop"),
                                  "[Desktop Entry]\nType=Application\nName=N\nExec=xdg-open %u\n",
                                  {QStringLiteral("text/plain")}));
    }
    void init()
    {
        setUp();
        m_dir = m_home->path() + QStringLiteral("/odd files/");
        QVERIFY(QDir().mkpath(m_dir));
        makeOddFiles();
    }
    void cleanup()
    {
        if (m_socket >= 0)
            ::close(m_socket);
        m_socket = -1;
        QFile::remove(openedNote());
        tearDown();
    }

    void icons_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("readable");
        QTest::newRow("a picture") << QStringLiteral("DIR/red.ico") << true;
        QTest::newRow("a folder") << QStringLiteral("DIR/a folder") << false;
        QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero") << false;
        QTest::newRow("a link to /dev/zero") << QStringLiteral("DIR/zero link") << false;
        QTest::newRow("a named pipe") << QStringLiteral("DIR/pipe") << false;
        QTest::newRow("a socket") << QStringLiteral("DIR/socket") << false;
        QTest::newRow("text") << QStringLiteral("DIR/text.ico") << false;
        QTest::newRow("too large to decode") << QStringLiteral("DIR/huge.png") << false;
        QTest::newRow("not readable") << QStringLiteral("DIR/locked.ico") << isRoot();
    }
    // At start-up, when the editor opens, and when it is picked in the editor: a value that
    // names no readable picture shows the built-in icon, or keeps the one shown, and is still
    // stored as chosen.
    void icons()
    {
        QFETCH(QString, value);
        QFETCH(bool, readable);
        value = named(value);
        const QImage builtIn = imageOf(builtInIcon());
        const QImage expected = readable ? square(Qt::red) : builtIn;

        QCOMPARE(Tray::loadPicture(value).isNull(), !readable);
        QVERIFY(IconSetting::setting.set(IconSetting(value)));
        Menue menue(*m_net, *m_starter);
        Splash(menue).Form_Load();
        menue.Timer1().stop();
        QCOMPARE(imageOf(menue.tray().shownIcon()), expected);

        menue.tray().setIcon(QIcon(QPixmap::fromImage(square(Qt::blue))));
        menue.tray().setAction(Tray::Modify);
        EditIcon editor(menue.tray());
        editor.show();
        QCOMPARE(imageOf(editor.picture()), expected);
        editor.Command1_Click();
        m_dialogs->setNextFileName(value);
        editor.Command2_Click();
        QCOMPARE(imageOf(menue.tray().shownIcon()), expected);
        QCOMPARE(imageOf(editor.picture()), expected);
        QCOMPARE(IconSetting::setting.get().text(), value);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void entries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("outcome"); // what the opener got, or the notice's reason
        const QString unreadable = isRoot() ? QStringLiteral("opened DIR/locked.txt")
                                            : QStringLiteral("Permission denied");
        const QString none = QStringLiteral("it is not a program, a document or a folder");
        QTest::newRow("a folder") << QStringLiteral("DIR/a folder")
                                  << QStringLiteral("opened DIR/a folder");
        QTest::newRow("a folder with words")
            << QStringLiteral("'DIR/a folder' -x") << QStringLiteral("Permission denied");
        QTest::newRow("a socket") << QStringLiteral("DIR/socket") << none;
        QTest::newRow("a quoted socket") << QStringLiteral("'DIR/socket'") << none;
        QTest::newRow("a named pipe") << QStringLiteral("DIR/pipe") << none;
        QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero") << none;
        QTest::newRow("a link to /dev/zero") << QStringLiteral("DIR/zero link") << none;
        QTest::newRow("a file nobody may read") << QStringLiteral("DIR/locked.txt") << unreadable;
        QTest::newRow("a file nobody may run")
            << QStringLiteral("'DIR/locked.txt' --now") << QStringLiteral("Permission denied");
    }
    // Through a pass, as the tray's notice reports it; the pass goes on to the next entry.
    void entries()
    {
        QFETCH(QString, entry);
        QFETCH(QString, outcome);
        entry = named(entry);
        outcome = named(outcome);
        const QStringList list {entry, path(QStringLiteral("after"))};
        const auto starter = createProgramStarter();
        LaunchSequencer sequencer(list, *starter, [](const Interval &) { return 0.0; });
        QStringList notices;
        QObject::connect(&sequencer, &LaunchSequencer::notice,
                         [&notices](const Notice &notice) { notices.append(notice.text()); });
        const quint64 pass = sequencer.runPass();
        QTRY_VERIFY(!sequencer.isRunning(pass));

        QTRY_VERIFY(QFile::exists(path(QStringLiteral("after.out"))));
        if (outcome.startsWith(QStringLiteral("opened "))) {
            QVERIFY2(notices.isEmpty(), qPrintable(notices.join(u'\n')));
            QTRY_VERIFY(QFile::exists(openedNote()));
            QFile note(openedNote());
            QVERIFY(note.open(QIODevice::ReadOnly));
            QCOMPARE(QUrl(QString::fromUtf8(note.readAll().trimmed())).toLocalFile(),
                     outcome.mid(7));
        } else {
            QCOMPARE(notices,
                     QStringList {QStringLiteral("Could not start %1: %2").arg(entry, outcome)});
            // Nothing was handed to the opener either: a document handed to it now comes first.
            const QString fence = path(QStringLiteral("after.out"));
            QVERIFY(Corvath::OpenDocument(fence));
            QTRY_VERIFY(QFile::exists(openedNote()));
            const QByteArray opened = readFile(openedNote()).trimmed();
            QCOMPARE(QUrl(QString::fromUtf8(opened)).toLocalFile(), fence);
        }
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
