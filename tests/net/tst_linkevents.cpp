#include "netnamespace.h"
#include "platform/linux/linkevents_linux.h"

#include <QProcess>
#include <QTest>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(LinkEvents::Drained)

// The kernel's link and address events in a private network namespace, on a tun interface with
// the PPP link type as pppd would make it.
class TestLinkEvents : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LinkEvents> m_events;
    QProcess m_ppp;

    // Waits up to `ms` for events, then drains.
    LinkEvents::Drained next(int ms = 2000)
    {
        pollfd watch {m_events->descriptor(), POLLIN, 0};
        ::poll(&watch, 1, ms);
        return m_events->drain();
    }

    // Reads what earlier steps still have on the way (IPv6 sends news of an address after it
    // was added), so that a step sees only its own.
    void settle()
    {
        for (int round = 0; round < 50; ++round) {
            const LinkEvents::Drained drained = next(150);
            QVERIFY(drained != LinkEvents::Drained::Broken);
            if (drained == LinkEvents::Drained::Nothing)
                return;
        }
        QFAIL("the events never stopped");
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (const char *why = enterNetworkNamespace())
            QSKIP(why);
        m_events = createLinkEvents();
        QVERIFY(m_events->descriptor() >= 0);
        QCOMPARE(m_events->drain(), LinkEvents::Drained::Nothing);

        holdTun(m_ppp, {u"ppp0:ppp"_s});
        QCOMPARE(next(), LinkEvents::Drained::Changed);
    }

    void cleanupTestCase()
    {
        m_ppp.kill();
        m_ppp.waitForFinished();
    }

    void changes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<LinkEvents::Drained>("drained");
        using D = LinkEvents::Drained;
        QTest::newRow("link up") << u"link set ppp0 up"_s << D::Changed;
        QTest::newRow("IPv4 address")
            << u"addr add 192.0.2.1 peer 192.0.2.2 dev ppp0"_s << D::Changed;
        QTest::newRow("IPv6 address") << u"addr add 2001:db8::1/64 dev ppp0"_s << D::Changed;
        // Routes are no news of a connection: not subscribed to.
        QTest::newRow("route") << u"route add 192.0.2.128/25 dev ppp0"_s << D::Nothing;
        QTest::newRow("address removed") << u"addr flush dev ppp0"_s << D::Changed;
        QTest::newRow("link down") << u"link set ppp0 down"_s << D::Changed;
    }
    void changes()
    {
        QFETCH(QString, command);
        QFETCH(LinkEvents::Drained, drained);
        settle();
        QVERIFY(ip(command));
        // The kernel queues its news before `ip` returns: nothing waiting then means none came.
        QCOMPARE(next(drained == LinkEvents::Drained::Nothing ? 0 : 2000), drained);
    }

    // Another process may send to the socket; only the kernel's word counts.
    void othersAreIgnored()
    {
        settle();
        sockaddr_nl own {};
        socklen_t length = sizeof own;
        QCOMPARE(::getsockname(m_events->descriptor(), reinterpret_cast<sockaddr *>(&own), &length),
                 0);
        const int forger = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
        QVERIFY(forger >= 0);
        struct
        {
            nlmsghdr header;
            ifinfomsg info;
        } message {};
        message.header.nlmsg_len = sizeof message;
        message.header.nlmsg_type = RTM_NEWLINK;
        const auto sent = ::sendto(forger, &message, sizeof message, 0,
                                   reinterpret_cast<sockaddr *>(&own), sizeof own);
        ::close(forger);
        QCOMPARE(sent, ssize_t(sizeof message));
        // Delivered before sendto returns: it is waiting, and reading it tells of nothing.
        pollfd watch {m_events->descriptor(), POLLIN, 0};
        QCOMPARE(::poll(&watch, 1, 0), 1);
        QCOMPARE(m_events->drain(), LinkEvents::Drained::Nothing);
    }

    // Events the kernel could not queue are reported, and the socket goes on working.
    void overflowIsReported()
    {
        const int tiny = 1; // the kernel raises it to its least size
        QCOMPARE(::setsockopt(m_events->descriptor(), SOL_SOCKET, SO_RCVBUF, &tiny, sizeof tiny),
                 0);
        QByteArray batch;
        for (int i = 1; i <= 200; ++i)
            batch += "addr add 2001:db8:1::" + QByteArray::number(i, 16) + "/128 dev ppp0\n";
        QVERIFY(ip(u"-batch -"_s, batch));
        QCOMPARE(next(), LinkEvents::Drained::Lost);
        // The kernel may still be sending news of the last addresses; reading it all must
        // never break the socket.
        settle();

        QVERIFY(ip(u"addr flush dev ppp0"_s));
        QVERIFY(next() != LinkEvents::Drained::Nothing);
    }
};

QTEST_GUILESS_MAIN(TestLinkEvents)
#include "tst_linkevents.moc"
