#include "fixture.h"
#include "shell/menue.h"
#include "shell/splash.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>

#include <memory>

// The main window ticks on change news only while "Activate" is checked.
class TestMenueReact : public QObject, private Fixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void newsTicksOnlyWhileActivated()
    {
        const auto started = startMenue();
        Menue &menue = *started;
        FakeRemoteAccess &net = *m_net;
        const auto news = [&menue] {
            menue.monitorTrigger().changed();
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
        };

        net.setConnected(true);
        news();
        QVERIFY(net.listings > 0);

        menue.sActivate->trigger();
        QVERIFY(!menue.sActivate->isChecked());
        net.listings = 0;
        net.setConnected(false);
        news();
        QCOMPARE(net.listings, 0);
        QVERIFY(menue.Check1()); // frozen while deactivated

        menue.sActivate->trigger();
        news();
        QVERIFY(net.listings > 0);
        QVERIFY(!menue.Check1());
    }
};

QTEST_MAIN(TestMenueReact)
#include "tst_menuereact.moc"
