#include "fakestarter.h"
#include "fixture.h"
#include "logic/interval.h"
#include "logic/launchmonitor.h"
#include "logic/monitortrigger.h"
#include "platform/connectionsources.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The monitoring spine: the probe and its failures, the latch, one pass per connection, and
// change news from the sources.
class TestLaunchMonitor : public QObject, private Fixture
{
    Q_OBJECT

private:
    std::unique_ptr<LaunchMonitor> m_monitor;
    QList<quint32> m_failures;

private Q_SLOTS:
    void init()
    {
        setUp();
        QVERIFY(Interval::setting.set(Interval(u"0"_s)));
        m_failures.clear();
        m_monitor = std::make_unique<LaunchMonitor>(*m_net, *m_starter);
        m_monitor->list() = {u"a"_s, u"b"_s};
        connect(m_monitor.get(), &LaunchMonitor::connectionFailed, this,
                [this](quint32 code) { m_failures.append(code); });
    }

    void cleanup()
    {
        m_monitor.reset();
        tearDown();
    }

    void probe_data()
    {
        QTest::addColumn<QList<bool>>("connections");
        QTest::addColumn<bool>("up");
        QTest::newRow("none") << QList<bool> {} << false;
        QTest::newRow("connected") << QList<bool> {true} << true;
        QTest::newRow("first still dialling") << QList<bool> {false, true} << false;
        QTest::newRow("only the first counts") << QList<bool> {true, false} << true;
    }
    void probe()
    {
        QFETCH(QList<bool>, connections);
        QFETCH(bool, up);
        m_net->connections = connections;
        QCOMPARE(m_monitor->IsConnected(), up);
        QVERIFY(m_failures.isEmpty());
    }

    // The machine's sources as one list: the first that lists a connection answers; a failing
    // one is told, but hides no connection that a later one lists.
    void sourcesAnswerInOrder_data()
    {
        using C = QList<bool>;
        QTest::addColumn<C>("first");
        QTest::addColumn<uint>("firstFailure");
        QTest::addColumn<C>("second");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("secondAsked");
        QTest::newRow("first lists none") << C {} << 0u << C {true} << u"up"_s << 1;
        QTest::newRow("first dialling: its answer stands")
            << C {false} << 0u << C {true} << u"down"_s << 0;
        QTest::newRow("first connected") << C {true} << 0u << C {false} << u"up"_s << 0;
        QTest::newRow("first fails, second connected")
            << C {} << 5u << C {true} << u"up, failed 5"_s << 1;
        QTest::newRow("first fails, second lists none") << C {} << 5u << C {} << u"failed 5"_s << 1;
        QTest::newRow("none lists any") << C {} << 0u << C {} << u"none"_s << 1;
    }
    void sourcesAnswerInOrder()
    {
        QFETCH(QList<bool>, first);
        QFETCH(uint, firstFailure);
        QFETCH(QList<bool>, second);
        QFETCH(QString, answer);
        QFETCH(int, secondAsked);
        auto one = std::make_unique<FakeConnectionSource>();
        auto two = std::make_unique<FakeConnectionSource>();
        one->connections = first;
        one->failure = firstFailure;
        two->connections = second;
        FakeConnectionSource &secondSource = *two;
        std::vector<std::unique_ptr<ConnectionSource>> list;
        list.push_back(std::move(one));
        list.push_back(nullptr); // a source the machine lacks
        list.push_back(std::move(two));
        ConnectionSources sources(std::move(list));
        QCOMPARE(describe(sources.firstConnection()), answer);
        QCOMPARE(secondSource.listings, secondAsked);

        // The probe: up only when listed up, and a failure told even beside a connection.
        LaunchMonitor monitor(sources, *m_starter);
        QList<quint32> told;
        connect(&monitor, &LaunchMonitor::connectionFailed, this,
                [&told](quint32 code) { told.append(code); });
        QCOMPARE(monitor.IsConnected(), answer.startsWith(u"up"));
        QCOMPARE(told, firstFailure ? QList<quint32> {firstFailure} : QList<quint32> {});
    }

    void failureShownOncePerSpell()
    {
        m_net->failure = 632;
        for (int tick = 0; tick < 3; ++tick)
            QVERIFY(!tickWith(*m_monitor, false));
        QCOMPARE(m_net->listings, 6);
        QCOMPARE(m_failures, QList<quint32> {632});

        m_net->failure = 0;
        QVERIFY(!m_monitor->IsConnected());
        m_net->failure = 5;
        QVERIFY(!m_monitor->IsConnected());
        QCOMPARE(m_failures, (QList<quint32> {632, 5}));
    }

    // The latch as the tick keeps it: up or down at the first probe, and at the second.
    void latch_data()
    {
        QTest::addColumn<bool>("latch");
        QTest::addColumn<bool>("upFirst");
        QTest::addColumn<bool>("upSecond");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<bool>("latchAfter");
        QTest::addColumn<int>("probes");
        QTest::newRow("still up") << true << true << true << false << true << 1;
        QTest::newRow("went down") << true << false << false << false << false << 2;
        QTest::newRow("new connection") << false << true << true << true << true << 2;
        QTest::newRow("dropped during pass") << false << true << false << true << false << 2;
        QTest::newRow("stays down") << false << false << false << false << false << 2;
    }
    void latch()
    {
        QFETCH(bool, latch);
        QFETCH(bool, upFirst);
        QFETCH(bool, upSecond);
        QFETCH(bool, passes);
        QFETCH(bool, latchAfter);
        QFETCH(int, probes);
        m_net->setConnected(upFirst);
        // The link changes while the pass runs; nothing in the pass watches it.
        m_starter->onStart = [this, upSecond](const QString &) { m_net->setConnected(upSecond); };
        QCOMPARE(tickWith(*m_monitor, latch), latchAfter);
        QCOMPARE(m_starter->started, passes ? m_monitor->list() : QStringList());
        QCOMPARE(m_net->listings, probes);
    }

    // News from any of the machine's sources ticks at once while activated, and not after.
    void newsFromAnySource()
    {
        std::vector<std::unique_ptr<ConnectionSource>> list;
        list.push_back(std::make_unique<FakeConnectionSource>());
        list.push_back(std::make_unique<FakeConnectionSource>());
        auto &second = static_cast<FakeConnectionSource &>(*list.back());
        ConnectionSources sources(std::move(list));
        LaunchMonitor monitor(sources, *m_starter);
        monitor.timer().start(std::chrono::hours(1)); // activated; never fires here
        second.tellChanged();
        QVERIFY(monitor.trigger().isPending());
        QTRY_VERIFY(!monitor.trigger().isPending());
        QVERIFY(second.listings > 0); // the tick asked down the list

        monitor.deactivate();
        second.tellChanged();
        QVERIFY(!monitor.trigger().isPending());
    }
};

QTEST_GUILESS_MAIN(TestLaunchMonitor)
#include "tst_launchmonitor.moc"
