#include "fakestarter.h"
#include "fixture.h"
#include "logic/interval.h"
#include "logic/launchmonitor.h"
#include "logic/launchsequencer.h"
#include "settings/settingsstore.h"

#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

class TestLaunchSequencer : public QObject, private Fixture
{
    Q_OBJECT

private:
    std::unique_ptr<LaunchMonitor> m_monitor;
    LaunchSequencer *m_seq = nullptr;
    QStringList m_waits;
    QStringList m_notices;
    std::optional<std::function<void()>> m_recording;

    // Records the interval read for each pause, which then lasts no time; `during` runs as the
    // pause begins.
    void recordWaits(std::function<void()> during = {}) { m_recording = std::move(during); }
    // The sequencer's: the interval's seconds until a test records.
    double timing(const Interval &interval)
    {
        if (!m_recording)
            return interval.seconds();
        m_waits.append(interval.text());
        if (*m_recording)
            (*m_recording)();
        return 0.0;
    }

    // One pass, and the events until it has ended.
    void runPass()
    {
        const quint64 pass = m_seq->runPass();
        QTRY_VERIFY(!m_seq->isRunning(pass));
    }

private Q_SLOTS:
    void init()
    {
        setUp();
        m_waits.clear();
        m_notices.clear();
        m_recording.reset();
        m_monitor = std::make_unique<LaunchMonitor>(
            *m_net, *m_starter, [this](const Interval &interval) { return timing(interval); });
        m_seq = &m_monitor->sequencer();
        connect(m_monitor.get(), &LaunchMonitor::notice, this,
                [this](const Notice &notice) { m_notices.append(notice.text()); });
    }

    void cleanup()
    {
        m_monitor.reset();
        tearDown();
    }

    QStringList &list() { return m_monitor->list(); }

    void passSkipsEmptyEntriesAndReadsIntervalAfresh()
    {
        list() = {QString(), u"a"_s, QString(), u"b"_s, u"c"_s};
        m_starter->failures.insert(u"b"_s, u"No such file or directory"_s);
        recordWaits([this] { Interval::setting.set(Interval(u"2.5"_s)); });
        runPass();
        QCOMPARE(m_starter->started, (QStringList {u"a"_s, u"b"_s, u"c"_s}));
        // The failed start keeps its pause; the last entry has one too.
        QCOMPARE(m_waits, (QStringList {u".5"_s, u"2.5"_s, u"2.5"_s}));
        QCOMPARE(m_notices, QStringList {u"Could not start b: No such file or directory"_s});
        QVERIFY(m_dialogs->messages.isEmpty());

        list().clear();
        m_net->setConnected(true);
        QVERIFY(tickWith(*m_monitor, false));
        QCOMPARE(m_waits.size(), 3);
    }

    // Every failure of passes that run together, in one notice when the last of them ends.
    void failuresGatheredIntoOneNotice()
    {
        list() = {u"a"_s, u"b"_s, u"c"_s};
        m_starter->failures.insert(u"a"_s, u"r1"_s);
        m_starter->failures.insert(u"c"_s, u"r3"_s);
        recordWaits([this] {
            if (m_waits.size() != 1)
                return;
            m_seq->runPass(); // "Launch Now" beside it, in its first pause
            QVERIFY(m_notices.isEmpty());
        });
        runPass();
        QCOMPARE(m_notices,
                 QStringList {u"4 entries could not start:\n"
                              "Could not start a: r1\nCould not start a: r1\n"
                              "Could not start c: r3\nCould not start c: r3"_s});

        m_starter->failures.clear();
        runPass();
        QCOMPARE(m_notices.size(), 1); // a pass without failures tells nothing
    }

    // Found failed later: in the notice of the pass that still runs, else in one more notice
    // for its pass once every start of that pass has been decided.
    void lateFailures()
    {
        list() = {u"a"_s, u"b"_s, u"c"_s};
        m_starter->later = list();
        recordWaits([this] {
            if (m_waits.size() == 2)
                m_starter->answer(u"a"_s, u"r1"_s);
        });
        runPass();
        QCOMPARE(m_notices, QStringList {u"Could not start a: r1"_s});
        m_starter->answer(u"b"_s, u"r2"_s);
        // A later pass's starts are decided apart: c still keeps the first pass's notice.
        list() = {u"d"_s, u"e"_s};
        m_starter->later = list();
        runPass();
        m_starter->answer(u"e"_s, u"r5"_s);
        m_starter->answer(u"d"_s, u"r4"_s);
        QCOMPARE(m_notices.size(), 2);
        QCOMPARE(m_notices.last(),
                 u"2 entries could not start:\nCould not start e: r5\nCould not start d: r4"_s);
        m_starter->answer(u"c"_s);
        QCOMPARE(
            m_notices,
            (QStringList {u"Could not start a: r1"_s, m_notices[1], u"Could not start b: r2"_s}));
        list() = {u"f"_s};
        m_starter->later = list();
        runPass();
        m_starter->answer(u"f"_s);
        QCOMPARE(m_notices.size(), 3); // all went well
    }

    // Thousands of failures, one of them huge: a notice of the first few lines, each
    // shortened in the middle, and how many more there were.
    void noticeIsBounded()
    {
        const QString huge = u"/opt/"_s + QString(1 << 20, u'x') + u"/prog"_s;
        list() = {huge};
        for (int n = 0; n < 2000; ++n)
            list().append(u"/nonexistent/%1"_s.arg(n));
        for (const QString &entry : std::as_const(list()))
            m_starter->failures.insert(entry, u"No such file or directory"_s);
        recordWaits([] {});
        runPass();
        QCOMPARE(m_notices.size(), 1);
        const QStringList lines = m_notices.constFirst().split(u'\n');
        QCOMPARE(lines.size(), LaunchSequencer::MaxNoticeLines + 2);
        QCOMPARE(lines.constFirst(), u"2001 entries could not start:"_s);
        QCOMPARE(lines.last(), u"and %1 more"_s.arg(2001 - LaunchSequencer::MaxNoticeLines));
        QVERIFY(lines[1].startsWith(u"Could not start /opt/xxx"_s));
        QVERIFY(lines[1].endsWith(u"x/prog: No such file or directory"_s));
        QVERIFY(lines[1].size() <= LaunchSequencer::MaxLineLength);
        QCOMPARE(lines[2], u"Could not start /nonexistent/0: No such file or directory"_s);
    }

    void listRefilledDuringPass()
    {
        list() = {u"a"_s, u"b"_s, u"c"_s, u"d"_s};
        recordWaits([this] {
            if (m_waits.size() == 2)
                list() = {u"x"_s, u"y"_s, u"z"_s};
        });
        runPass();
        QCOMPARE(m_starter->started, (QStringList {u"a"_s, u"b"_s, u"z"_s}));
    }

    // While a tick's pass runs, a further tick is skipped whole; "Launch Now" runs a whole pass
    // beside it.
    void besideTickPass()
    {
        list() = {u"a"_s, u"b"_s};
        m_net->setConnected(true);
        recordWaits([this] {
            if (m_waits.size() != 1)
                return;
            const int before = m_net->listings;
            m_monitor->tick();
            QCOMPARE(m_net->listings, before);
            m_seq->runPass();
        });
        QVERIFY(tickWith(*m_monitor, false));
        QCOMPARE(m_starter->started, (QStringList {u"a"_s, u"a"_s, u"b"_s, u"b"_s}));
        QCOMPARE(m_net->listings, 2);
    }

    // On the real clock: a second pass begun in the first one's pause goes on beside it.
    void besideWithRealPause()
    {
        list() = {u"a"_s, u"b"_s};
        Interval::setting.set(Interval(u".02"_s));
        m_starter->onStart = [this](const QString &entry) {
            if (m_starter->started.size() == 1 && entry == u"a"_s)
                QTimer::singleShot(0, [this] { m_seq->runPass(); });
        };
        runPass();
        QTRY_COMPARE(m_starter->started, (QStringList {u"a"_s, u"a"_s, u"b"_s, u"b"_s}));
    }
};

QTEST_GUILESS_MAIN(TestLaunchSequencer)
#include "tst_launchsequencer.moc"
