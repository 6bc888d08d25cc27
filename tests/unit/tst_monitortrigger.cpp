#include "fakestarter.h"
#include "fixture.h"
#include "logic/launchmonitor.h"
#include "logic/launchsequencer.h"
#include "logic/monitortrigger.h"
#include "platform/linux/linkwatcher_linux.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Drained = LinkEvents::Drained;

// Events on a real descriptor, so that the watcher's notifier wakes as it would for the
// kernel's; each drain reports what the test set.
class FakeLinkEvents final : public LinkEvents
{
public:
    FakeLinkEvents() { ::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_fds); }
    ~FakeLinkEvents() override
    {
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }

    void send(int datagrams = 1)
    {
        for (int i = 0; i < datagrams; ++i)
            QVERIFY(::send(m_fds[1], "x", 1, 0) == 1);
    }

    int descriptor() const override { return m_fds[0]; }
    Drained drain() override
    {
        ++drains;
        // A broken source stays readable, as a failing socket does.
        if (next != Drained::Broken) {
            char byte;
            while (::recv(m_fds[0], &byte, 1, 0) > 0) { }
        }
        return next;
    }

    Drained next = Drained::Changed;
    int drains = 0;

private:
    int m_fds[2] = {-1, -1};
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

Q_DECLARE_METATYPE(LinkEvents::Drained)

// The immediate tick: change news from any source, merged, only while the monitoring timer
// runs, and the connection latch as the tick keeps it.
class TestMonitorTrigger : public QObject, private Fixture
{
    Q_OBJECT

private:
    std::function<void()> m_duringPause; // pauses last no time
    std::unique_ptr<LaunchMonitor> m_monitor;
    std::unique_ptr<QSignalSpy> m_ticks;
    // The immediate ticks the change news gave.
    int ticks() const { return int(m_ticks->count()); }

private Q_SLOTS:
    void init()
    {
        setUp();
        m_monitor = std::make_unique<LaunchMonitor>(*m_net, *m_starter, [this](const Interval &) {
            if (m_duringPause)
                m_duringPause();
            return 0.0;
        });
        m_ticks = std::make_unique<QSignalSpy>(&m_monitor->trigger(), &MonitorTrigger::tick);
        // Running stands for activated; it never fires within a test.
        m_monitor->timer().start(std::chrono::hours(1));
        m_monitor->list() = {u"a"_s, u"b"_s};
    }

    void cleanup()
    {
        m_ticks.reset();
        m_monitor.reset();
        m_duringPause = {};
        tearDown();
    }

    void burstGivesOneTick_data()
    {
        QTest::addColumn<int>("changes");
        QTest::newRow("one") << 1;
        QTest::newRow("a few") << 3;
        QTest::newRow("a flood") << 500;
    }
    void burstGivesOneTick()
    {
        QFETCH(int, changes);
        for (int i = 0; i < changes; ++i)
            m_net->tellChanged();
        QCOMPARE(ticks(), 0); // soon, not inside the caller
        settle();
        QCOMPARE(ticks(), 1);

        // News after the tick is news again.
        m_net->tellChanged();
        settle();
        QCOMPARE(ticks(), 2);
    }

    // Activated when the news comes, and when its tick would run.
    void onlyWhileActivated_data()
    {
        QTest::addColumn<bool>("atChange");
        QTest::addColumn<bool>("atTick");
        QTest::addColumn<int>("ticks");
        QTest::newRow("activated throughout") << true << true << 1;
        QTest::newRow("deactivated throughout") << false << false << 0;
        QTest::newRow("deactivated before the tick ran") << true << false << 0;
        QTest::newRow("activated after the news") << false << true << 0;
    }
    void onlyWhileActivated()
    {
        QFETCH(bool, atChange);
        QFETCH(bool, atTick);
        QFETCH(int, ticks);
        m_net->setConnected(true);
        m_monitor->setLatch(false);
        if (!atChange)
            m_monitor->deactivate();
        m_net->tellChanged();
        if (atTick)
            m_monitor->timer().start(std::chrono::hours(1));
        else
            m_monitor->deactivate();
        settle();
        // No tick: nothing probed, nothing started, and the latch kept its value.
        QCOMPARE(this->ticks(), ticks);
        QCOMPARE(m_starter->started.size(), ticks ? 2 : 0);
        QCOMPARE(m_monitor->latch(), ticks == 1);
    }

    // The timer alone may look only before the drop and after the return; the drop's own tick
    // clears the latch, so the new connection gets its pass.
    void dropAndReturnGetsItsOwnPass()
    {
        m_net->setConnected(true);
        m_net->tellChanged(); // up when monitoring began: no pass
        settle();
        QVERIFY(m_starter->started.isEmpty());
        QVERIFY(m_monitor->latch());

        for (int connection = 1; connection <= 3; ++connection) {
            m_net->setConnected(false);
            m_net->tellChanged();
            settle();
            QVERIFY(!m_monitor->latch());
            m_net->setConnected(true);
            // The link, then each address, each with news of its own.
            for (int news = 0; news < 3; ++news) {
                m_net->tellChanged();
                settle();
            }
            QCOMPARE(m_starter->started.size(), 2 * connection);
            QVERIFY(m_monitor->latch());
        }
    }

    // A tick that comes while a tick's pass waits is skipped whole: no probe, no second pass.
    void newsDuringPassIsSkipped()
    {
        m_net->setConnected(true);
        m_monitor->setLatch(false);
        int listingsInPass = -1;
        m_duringPause = [this, &listingsInPass] {
            const int before = m_net->listings;
            m_net->tellChanged();
            settle();
            listingsInPass = m_net->listings - before;
        };
        m_net->tellChanged();
        settle();
        QCOMPARE(listingsInPass, 0);
        QCOMPARE(m_starter->started, m_monitor->list());
        QVERIFY(m_monitor->latch());
    }

    void watcherPassesEventsOn_data()
    {
        QTest::addColumn<Drained>("drained");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<bool>("watching");
        QTest::newRow("nothing of interest") << Drained::Nothing << 0 << true;
        QTest::newRow("a change") << Drained::Changed << 1 << true;
        QTest::newRow("events lost: look afresh") << Drained::Lost << 1 << true;
        QTest::newRow("source broken: look once, then poll") << Drained::Broken << 1 << false;
    }
    void watcherPassesEventsOn()
    {
        QFETCH(Drained, drained);
        QFETCH(int, ticks);
        QFETCH(bool, watching);
        auto owned = std::make_unique<FakeLinkEvents>();
        FakeLinkEvents &events = *owned;
        events.next = drained;
        LinkWatcher watcher(std::move(owned));
        connect(&watcher, &LinkWatcher::changed, m_net.get(), &ConnectionSource::changed);
        QVERIFY(watcher.isWatching());

        events.send(10); // a burst, waiting before the program looks
        settle();
        QCOMPARE(events.drains, 1);
        QCOMPARE(this->ticks(), ticks);
        QCOMPARE(watcher.isWatching(), watching);

        // A source left readable must not wake the program again and again.
        events.send();
        settle();
        QCOMPARE(events.drains, watching ? 2 : 1);
    }
};

QTEST_GUILESS_MAIN(TestMonitorTrigger)
#include "tst_monitortrigger.moc"
