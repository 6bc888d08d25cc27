#include "fakestarter.h"
#include "fixture.h"
#include "logic/launchmonitor.h"

#include <QCoreApplication>
#include <QTest>

// The monitor ticks on change news only while activated.
class TestMenueReact : public QObject, private Fixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void newsTicksOnlyWhileActivated()
    {
        FakeStarter starter;
        LaunchMonitor monitor(starter);
        monitor.activate();
        FakeConnectionSource &net = *m_net;
        const auto news = [&monitor] {
            monitor.changed();
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
        };

        net.setConnected(true);
        news();
        QVERIFY(net.listings > 0);

        monitor.deactivate();
        net.listings = 0;
        net.setConnected(false);
        news();
        QCOMPARE(net.listings, 0);
        QVERIFY(monitor.latch()); // frozen while deactivated

        monitor.activate();
        news();
        QVERIFY(net.listings > 0);
        QVERIFY(!monitor.latch());
    }
};

QTEST_GUILESS_MAIN(TestMenueReact)
#include "tst_menuereact.moc"
