#include "fakeconnectionsource.h"
#include "fakestarter.h"
#include "logic/launchmonitor.h"
#include "netnamespace.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The connections on Linux with python-dbusmock's NetworkManager on a private bus standing in for
// the system bus. With root, the test runs in a private network namespace, where a tun device
// with the PPP link type stands in for pppd's interface.
class TestNetworkManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_python;
    QProcess m_bus;
    QProcess m_mock;
    QProcess m_ppp;
    bool m_isolated = false;
    std::unique_ptr<ConnectionSource> m_access;
    int m_changes = 0;
    // Every answer the source changed to, in turn.
    QStringList m_answers;

    static QString findPython()
    {
        for (const QString &python : {u"/usr/bin/python3"_s, u"python3"_s}) {
            if (runs(python, {u"-c"_s, u"import dbusmock"_s}))
                return python;
        }
        return {};
    }

    // A test killed on a time-out must not leave its bus and daemon behind.
    static void diesWithTest(QProcess &process)
    {
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    }

    // Runs tests/nm/nmmock.py with `arguments`.
    [[nodiscard]] bool nm(const QStringList &arguments)
    {
        return runs(m_python, QStringList {QStringLiteral(NMMOCK)} + arguments);
    }

    [[nodiscard]] bool startMock()
    {
        m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        diesWithTest(m_mock);
        m_mock.start(
            m_python,
            {u"-m"_s, u"dbusmock"_s, u"--system"_s, u"--template"_s, u"networkmanager"_s});
        return m_mock.waitForStarted() && nm({u"wait"_s});
    }

    [[nodiscard]] bool stopMock()
    {
        if (m_mock.state() == QProcess::NotRunning)
            return true;
        m_mock.terminate();
        return m_mock.waitForFinished();
    }

    QString answer() const { return describe(m_access->firstConnection()); }

    // The rows of a table whose `column` gives the connection list in a type it never has.
    static void wrongConnectionTypes(const char *column)
    {
        QTest::addColumn<QStringList>(column);
        for (const char *type : {"ai", "a{sv}", "aao", "a(is)", "av"})
            QTest::addRow("connections as %s", type) << QStringList {QString::fromLatin1(type)};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_python = findPython();
        if (m_python.isEmpty())
            QSKIP("python3-dbusmock is not installed");
        // Away from the host's own interfaces, where root can make one.
        m_isolated = geteuid() == 0 && unshare(CLONE_NEWNET) == 0;

        const QString socket = m_dir.filePath(u"system_bus_socket"_s);
        diesWithTest(m_bus);
        m_bus.start(u"dbus-daemon"_s,
                    {QStringLiteral("--config-file=" QUILLMOOR_BUS_CONF), u"--nofork"_s,
                     u"--print-address"_s, u"--address=unix:path="_s + socket});
        if (!m_bus.waitForStarted())
            QSKIP("dbus-daemon is not installed");
        QVERIFY(m_bus.waitForReadyRead(10000));
        // Before anything in this process opens the system bus.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_bus.readLine().trimmed());
    }

    void cleanupTestCase()
    {
        m_ppp.kill();
        m_ppp.waitForFinished();
        m_bus.terminate();
        m_bus.waitForFinished();
    }

    void init()
    {
        QVERIFY(startMock());
        m_access = createConnectionSource();
        m_changes = 0;
        m_answers.clear();
        connect(m_access.get(), &ConnectionSource::changed, this, [this] {
            ++m_changes;
            m_answers.append(answer());
        });
    }

    void cleanup()
    {
        m_access.reset();
        QVERIFY(stopMock());
    }

    void noConnection() { QCOMPARE(answer(), u"none"_s); }

    // Each of the signals that NetworkManager releases have sent tells of the change alone.
    void mobileConnection_data()
    {
        QTest::addColumn<QString>("signal");
        for (const char *signal : {"standard", "legacy", "statechanged", "all"})
            QTest::newRow(signal) << QString::fromLatin1(signal);
    }
    void mobileConnection()
    {
        QFETCH(QString, signal);

        QVERIFY(nm({u"add"_s, u"mobile"_s, u"gsm"_s, u"1"_s}));
        QTRY_COMPARE(answer(), u"down"_s);
        QVERIFY(m_changes > 0);

        const int before = m_changes;
        QVERIFY(nm({u"state"_s, u"mobile"_s, u"2"_s, signal}));
        QTRY_COMPARE(answer(), u"up"_s);
        QVERIFY(m_changes > before);

        QVERIFY(nm({u"state"_s, u"mobile"_s, u"3"_s, signal}));
        QTRY_COMPARE(answer(), u"down"_s);

        QVERIFY(nm({u"remove"_s, u"mobile"_s}));
        QTRY_COMPARE(answer(), u"none"_s);
    }

    // Each entry: "name type state [group.key=value]", listed in this order.
    void firstDialUpCounts_data()
    {
        QTest::addColumn<QStringList>("connections");
        QTest::addColumn<QString>("expected");
        const QString pptp = u"vpn.service-type=org.freedesktop.NetworkManager.pptp"_s;
        QTest::newRow("Wi-Fi, then a mobile link")
            << QStringList {u"wifi 802-11-wireless 2"_s, u"mobile gsm 2"_s} << u"up"_s;
        QTest::newRow("a mobile link, then Wi-Fi")
            << QStringList {u"mobile gsm 2"_s, u"wifi 802-11-wireless 2"_s} << u"up"_s;
        QTest::newRow("Wi-Fi and Ethernet alone")
            << QStringList {u"wifi 802-11-wireless 2"_s, u"wired 802-3-ethernet 2"_s}
            << u"none"_s;
        QTest::newRow("a PPTP VPN") << QStringList {u"office vpn 2 "_s + pptp} << u"up"_s;
        QTest::newRow("an L2TP VPN")
            << QStringList {u"office vpn 2 vpn.service-type=org.freedesktop.NetworkManager.l2tp"_s}
            << u"up"_s;
        QTest::newRow("an OpenVPN VPN")
            << QStringList {u"office vpn 2 vpn.service-type=org.freedesktop.NetworkManager.openvpn"_s}
            << u"none"_s;
        QTest::newRow("WireGuard") << QStringList {u"tunnel wireguard 2"_s} << u"none"_s;
        QTest::newRow("a phone's dial-up over Bluetooth")
            << QStringList {u"phone bluetooth 2 bluetooth.type=dun"_s} << u"up"_s;
        QTest::newRow("a Bluetooth network")
            << QStringList {u"phone bluetooth 2 bluetooth.type=panu"_s} << u"none"_s;
        QTest::newRow("CDMA, PPPoE and ADSL")
            << QStringList {u"a cdma 2"_s, u"b pppoe 2"_s, u"c adsl 2"_s} << u"up"_s;
        QTest::newRow("only the first dial-up link counts")
            << QStringList {u"wifi 802-11-wireless 2"_s, u"dialling gsm 1"_s, u"up gsm 2"_s}
            << u"down"_s;
        QTest::newRow("an OpenVPN VPN does not hide the PPTP one after it") << QStringList {
            u"other vpn 2 vpn.service-type=org.freedesktop.NetworkManager.openvpn"_s,
            u"office vpn 2 "_s + pptp} << u"up"_s;
    }
    void firstDialUpCounts()
    {
        QFETCH(QStringList, connections);
        QFETCH(QString, expected);
        for (const QString &connection : connections)
            QVERIFY(nm(QStringList {u"add"_s} + connection.split(u' ', Qt::SkipEmptyParts)));
        QTRY_COMPARE(answer(), expected);

        // The same answer from a fresh start, which reads the whole list at once.
        m_access = createConnectionSource();
        QTRY_COMPARE(answer(), expected);
    }

    void absentThenAppearing()
    {
        QVERIFY(stopMock());
        QTRY_COMPARE(answer(), u"none"_s);
        m_access = createConnectionSource();
        connect(m_access.get(), &ConnectionSource::changed, this, [this] { ++m_changes; });
        QCOMPARE(answer(), u"none"_s);

        QVERIFY(startMock());
        QVERIFY(nm({u"add"_s, u"mobile"_s, u"gsm"_s, u"2"_s}));
        QTRY_COMPARE(answer(), u"up"_s);
        QVERIFY(m_changes > 0);

        // Gone: the PPP interfaces alone answer, and no failure is reported.
        const int before = m_changes;
        QVERIFY(stopMock());
        QTRY_COMPARE(answer(), u"none"_s);
        QVERIFY(m_changes > before);

        // Back with its connection still up, as after a restart.
        QVERIFY(startMock());
        QVERIFY(nm({u"add"_s, u"mobile"_s, u"gsm"_s, u"2"_s}));
        QTRY_COMPARE(answer(), u"up"_s);
    }

    void busErrorIsAListingFailure()
    {
        FakeStarter starter;
        LaunchMonitor monitor(*m_access, starter);
        QList<quint32> failures;
        QObject::connect(&monitor, &LaunchMonitor::connectionFailed,
                         [&failures](quint32 code) { failures.append(code); });
        QVERIFY(nm({u"add"_s, u"mobile"_s, u"gsm"_s, u"2"_s}));
        QTRY_VERIFY(monitor.IsConnected());

        QVERIFY(nm({u"broken"_s, u"odd"_s}));
        QTRY_COMPARE(answer(), u"failed 20045"_s);
        QVERIFY(!monitor.IsConnected());
        QVERIFY(!monitor.IsConnected());
        QCOMPARE(failures, QList<quint32> {20045});

        // Retried in the background until the list reads cleanly again.
        QVERIFY(nm({u"remove"_s, u"odd"_s}));
        QTRY_VERIFY(monitor.IsConnected());

        QVERIFY(nm({u"broken"_s, u"odd2"_s}));
        QTRY_VERIFY(!monitor.IsConnected());
        QCOMPARE(failures, (QList<quint32> {20045, 20045}));
    }

    // A stopped daemon answers nothing: every probe must come from what was heard before.
    void probesDoNotAskTheBus()
    {
        QVERIFY(nm({u"add"_s, u"mobile"_s, u"gsm"_s, u"2"_s}));
        QTRY_COMPARE(answer(), u"up"_s);
        QVERIFY(::kill(pid_t(m_mock.processId()), SIGSTOP) == 0);
        const auto resume = qScopeGuard([this] { ::kill(pid_t(m_mock.processId()), SIGCONT); });
        for (int i = 0; i < 3; ++i)
            QCOMPARE(answer(), u"up"_s);
        // Nor does a fresh start wait for it: until it answers, the next source does.
        m_access = createConnectionSource();
        QCOMPARE(answer(), u"none"_s);
        QVERIFY(::kill(pid_t(m_mock.processId()), SIGCONT) == 0);
        QTRY_COMPARE(answer(), u"up"_s);
    }

    // Answers of another type than NetworkManager gives are listing failures, at once and from
    // a fresh start, without a crash, an endless loop or growing memory.
    void wrongTypesAreListingFailures_data()
    {
        wrongConnectionTypes("odd");
        QTest::newRow("properties as ai") << QStringList {u"a{sv}"_s, u"odd"_s};
    }
    void wrongTypesAreListingFailures()
    {
        QFETCH(QStringList, odd);
        QVERIFY(nm({u"add"_s, u"mobile"_s, u"gsm"_s, u"2"_s}));
        QTRY_COMPARE(answer(), u"up"_s);
        QVERIFY(nm(QStringList {u"odd"_s} + odd));
        QTRY_COMPARE(answer(), u"failed 20045"_s);
        m_access = createConnectionSource();
        QTRY_COMPARE(answer(), u"failed 20045"_s);
        rusage usage {};
        QVERIFY(::getrusage(RUSAGE_SELF, &usage) == 0 && usage.ru_maxrss < 512 * 1024);
    }

    // A change signal of the wrong type only has NetworkManager asked again: what it listed
    // before stands, with no failure in between, in a stream of such signals.
    void malformedSignalsAskAgain_data()
    {
        wrongConnectionTypes("malformed");
        QTest::newRow("state as text") << QStringList {u"s"_s, u"mobile"_s};
    }
    void malformedSignalsAskAgain()
    {
        QFETCH(QStringList, malformed);
        QVERIFY(nm({u"add"_s, u"mobile"_s, u"gsm"_s, u"2"_s}));
        QTRY_COMPARE(answer(), u"up"_s);
        m_answers.clear();
        for (int i = 0; i < 5; ++i)
            QVERIFY(nm(QStringList {u"malformed"_s} + malformed));
        // Told after the malformed ones, so heard after them.
        QVERIFY(nm({u"remove"_s, u"mobile"_s}));
        QTRY_COMPARE(answer(), u"none"_s);
        QCOMPARE(m_answers, QStringList {u"none"_s});
    }

    void pppInterfaceBesideNetworkManager_data()
    {
        QTest::addColumn<QStringList>("connections");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing listed") << QStringList {} << u"up"_s;
        QTest::newRow("Wi-Fi") << QStringList {u"wifi 802-11-wireless 2"_s} << u"up"_s;
        QTest::newRow("a mobile link still dialling")
            << QStringList {u"mobile gsm 1"_s} << u"down"_s;
        QTest::newRow("a mobile link up") << QStringList {u"mobile gsm 2"_s} << u"up"_s;
        // "odd": the list of the wrong type. Its failure is still told, but the PPP link counts.
        QTest::newRow("NetworkManager failing")
            << QStringList {u"mobile gsm 1"_s, u"odd ai"_s} << u"up, failed 20045"_s;
    }
    void pppInterfaceBesideNetworkManager()
    {
        QFETCH(QStringList, connections);
        QFETCH(QString, expected);
        if (!m_isolated)
            QSKIP("needs root for a private network namespace");
        if (m_ppp.state() == QProcess::NotRunning) {
            holdTun(m_ppp, {u"ppp0:ppp"_s});
            QVERIFY(ip(u"link set ppp0 up"_s));
            QVERIFY(ip(u"addr add 192.0.2.1 peer 192.0.2.2 dev ppp0"_s));
        }
        for (const QString &entry : connections)
            QVERIFY(nm((entry.startsWith(u"odd ") ? QStringList() : QStringList {u"add"_s})
                       + entry.split(u' ')));
        QTRY_COMPARE(answer(), expected);

        QVERIFY(stopMock());
        QTRY_COMPARE(answer(), u"up"_s);
    }
};

QTEST_GUILESS_MAIN(TestNetworkManager)
#include "tst_networkmanager.moc"
