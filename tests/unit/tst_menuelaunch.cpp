#include "fixture.h"
#include "logic/interval.h"
#include "settings/settingsstore.h"
#include "shell/menue.h"
#include "shell/splash.h"
#include "testfiles.h"
#include "widgets/tray.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The main window's tick, "Launch Now", "Set Launch Interval" and "Exit" with real programs:
// each entry is a script that adds the time it ran to its own note.
class TestMenueLaunch : public QObject, private Fixture
{
    Q_OBJECT

private:
    const std::unique_ptr<ProgramStarter> m_programs = createProgramStarter(); // the real one
    QString script(const QString &name)
    {
        return writeScript(m_home->path() + u"/my apps/"_s + name, "date +%s.%N >> \"$0.out\"\n");
    }

    // 0 when the script did not run, or ran more than once.
    static double ranAt(const QString &script)
    {
        QFile out(script + u".out"_s);
        return out.open(QIODevice::ReadOnly) ? out.readAll().trimmed().toDouble() : 0;
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void tickStartsListOncePerConnection()
    {
        const QStringList entries {script(u"a"_s), script(u"b"_s), script(u"c"_s)};
        auto menue = startMenue(entries, u".3"_s, m_programs.get());
        m_net->setConnected(true);
        tick(*menue); // up when the program started: no pass
        m_net->setConnected(false);
        tick(*menue);
        QVERIFY(!menue->Check1());

        m_net->setConnected(true);
        tick(*menue);
        QTRY_VERIFY(menue->Check1()); // once the pass has ended
        QTRY_VERIFY(ranAt(entries[2]) > 0);
        QVERIFY(ranAt(entries[0]) > 0); // once: the ticks before started nothing
        // Each script notes its own time, which a slow start may shift a little.
        QVERIFY(ranAt(entries[0]) + 0.2 <= ranAt(entries[1]));
        QVERIFY(ranAt(entries[1]) + 0.2 <= ranAt(entries[2]));
    }

    void launchNowReportsFailuresOnTray()
    {
        const QString a = script(u"a"_s);
        auto menue = startMenue({u"/nonexistent/prog"_s, a, u"/nonexistent/other"_s}, u"0"_s,
                                m_programs.get());
        menue->sActivate().trigger(); // deactivated: "Launch Now" still runs
        menue->sLaunchNow().trigger();
        // Both in one notice: one each would replace the other at once.
        QTRY_COMPARE(menue->tray().lastMessage(),
                     u"2 entries could not start:\n"
                     "Could not start /nonexistent/prog: No such file or directory\n"
                     "Could not start /nonexistent/other: No such file or directory"_s);
        QTRY_VERIFY(ranAt(a) > 0);
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(menue->Check1());
    }

    void setIntervalFromMenu_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("refused");
        QTest::newRow("decimal") << u"1.5"_s << u"1.5"_s << false;
        QTest::newRow("kept as typed") << u" 3 "_s << u" 3 "_s << false;
        QTest::newRow("exponent") << u"1e1"_s << u"1e1"_s << false;
        QTest::newRow("negative") << u"-2"_s << u"-2"_s << false;
        QTest::newRow("letters") << u"abc"_s << u"2"_s << true;
        QTest::newRow("decimal comma") << u"2,5"_s << u"2"_s << true;
        QTest::newRow("blanks only") << u"  "_s << u"2"_s << true;
        QTest::newRow("cancel") << QString() << u"2"_s << false;
    }
    void setIntervalFromMenu()
    {
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        auto menue = startMenue({}, u"2"_s, m_programs.get());
        m_dialogs->setNextAnswer(answer);
        menue->sSetInterval().trigger();
        QCOMPARE(m_dialogs->questions.size(), 1);
        QVERIFY(m_dialogs->questions[0].prompt.startsWith(u"Enter the time interval, for the "));
        QVERIFY(m_dialogs->questions[0].prompt.endsWith(u"(You can also use decmals.)"));
        QVERIFY(m_dialogs->questions[0].title.isEmpty());
        QCOMPARE(m_dialogs->questions[0].defaultText, u"2"_s);
        QCOMPARE(Interval::setting.get().text(), stored);
        QCOMPARE(m_dialogs->messages.size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(m_dialogs->messages[0].text,
                     u"This entry must be specified in numeric form."_s);
            QCOMPARE(m_dialogs->messages[0].title, u"Error"_s);
            QCOMPARE(m_dialogs->messages[0].icon, Corvath::MessageIcon::Critical);
        }
    }

    // "Set Launch Interval" opened during "Launch Now" holds nothing: the pass goes on while the
    // box is open, and the answer is stored once it closes.
    void setIntervalDuringLaunchNow()
    {
        const QStringList entries {script(u"a"_s), script(u"b"_s), script(u"c"_s)};
        auto menue = startMenue(entries, u".2"_s, m_programs.get());
        m_dialogs->closeWhen([&] { return ranAt(entries[2]) > 0; });
        m_dialogs->setNextAnswer(u"0"_s);
        QTimer::singleShot(0, menue.get(), [&menue] { menue->sSetInterval().trigger(); });
        menue->sLaunchNow().trigger();
        QTRY_COMPARE(Interval::setting.get().text(), u"0"_s);
        QCOMPARE(m_dialogs->heldOpen, 0);
        QVERIFY(ranAt(entries[0]) < ranAt(entries[1]) && ranAt(entries[1]) < ranAt(entries[2]));
    }

    // A long pass at interval 0 still lets "Exit" through between two entries; a longer pause
    // is ended by it too (see the reliability tests).
    void exitDuringPassStartsNothingMore()
    {
        const QString a = script(u"a"_s);
        const QString b = script(u"b"_s);
        // Entries that fail at once, without starting anything, keep the pass quick.
        QStringList entries(5000, u"\"unclosed"_s);
        entries.prepend(a);
        entries.append(b);
        auto menue = startMenue(entries, u"0"_s, m_programs.get());
        QTimer::singleShot(0, menue.get(), [&menue] { menue->sLaunchNow().trigger(); });
        // Chosen a few entries into the pass, if the pass lets it through.
        int turns = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (++turns == 10)
                menue->sExit().trigger();
        });
        watch.start(0);
        QApplication::exec();
        QVERIFY(Corvath::IsEnding());

        menue->sLaunchNow().trigger();
        QTRY_VERIFY(ranAt(a) > 0);
        // Had either pass started b, it would have been before this one ran.
        QCOMPARE(QProcess::execute(script(u"fence"_s)), 0);
        QVERIFY(!QFile::exists(b + u".out"_s));
    }
};

QTEST_MAIN(TestMenueLaunch)
#include "tst_menuelaunch.moc"
