#include "fakeconnectionsource.h"
#include "netnamespace.h"

#include <QProcess>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The Linux connections on real interfaces in a private network namespace: tun devices with the
// PPP link type stand in for pppd's, and an always-up plain tun wg0 is listed before them.
class TestConnectionSource : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConnectionSource> m_access = createConnectionSource();
    QProcess m_vpn;
    QProcess m_ppp;

private Q_SLOTS:
    void initTestCase()
    {
        if (const char *why = enterNetworkNamespace())
            QSKIP(why);
        holdTun(m_vpn, {u"wg0"_s});
        QVERIFY(ip(u"link set wg0 up"_s));
        QVERIFY(ip(u"addr add 192.0.2.65 peer 192.0.2.66 dev wg0"_s));
    }

    void cleanupTestCase()
    {
        m_ppp.kill();
        m_vpn.kill();
        m_ppp.waitForFinished();
        m_vpn.waitForFinished();
    }

    void noDialUpLink() { QCOMPARE(m_access->firstConnection(), ConnectionSource::Answer {}); }

    void states_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<bool>("connected");
        QTest::newRow("down") << QStringList {} << false;
        QTest::newRow("down with an address")
            << QStringList {u"addr add 192.0.2.1 peer 192.0.2.2 dev ppp0"_s} << false;
        QTest::newRow("up without an address") << QStringList {u"link set ppp0 up"_s} << false;
        QTest::newRow("only a link-local address")
            << QStringList {u"link set ppp0 up"_s, u"addr add fe80::1/64 dev ppp0"_s} << false;
        QTest::newRow("IPv4 address")
            << QStringList {u"link set ppp0 up"_s,
                            u"addr add 192.0.2.1 peer 192.0.2.2 dev ppp0"_s}
            << true;
        QTest::newRow("IPv6 address")
            << QStringList {u"link set ppp0 up"_s, u"addr add 2001:db8::1/64 dev ppp0"_s} << true;
        QTest::newRow("only the first listed counts")
            << QStringList {u"link set ppp1 up"_s,
                            u"addr add 192.0.2.3 peer 192.0.2.4 dev ppp1"_s}
            << false;
    }
    void states()
    {
        QFETCH(QStringList, commands);
        QFETCH(bool, connected);
        if (m_ppp.state() == QProcess::NotRunning)
            holdTun(m_ppp, {u"ppp0:ppp"_s, u"ppp1:ppp"_s});
        for (const char *name : {"ppp0", "ppp1"}) {
            QVERIFY(ip(u"addr flush dev "_s + QLatin1String(name)));
            QVERIFY(ip(u"link set down dev "_s + QLatin1String(name)));
        }
        for (const QString &command : commands)
            QVERIFY(ip(command));

        QCOMPARE(m_access->firstConnection(), ConnectionSource::Answer::first(connected));
    }

    void goneWhenTheLinkEnds()
    {
        QCOMPARE(m_access->firstConnection().listing, ConnectionSource::Listing::Listed);
        m_ppp.kill();
        QVERIFY(m_ppp.waitForFinished());
        QCOMPARE(m_access->firstConnection(), ConnectionSource::Answer {});
    }
};

QTEST_GUILESS_MAIN(TestConnectionSource)
#include "tst_connectionsource.moc"
