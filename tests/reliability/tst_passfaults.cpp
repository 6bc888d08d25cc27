#include "editors/configur.h"
#include "fixture.h"
#include "logic/interval.h"
#include "settings/settingsstore.h"
#include "shell/menue.h"
#include "shell/splash.h"
#include "testfiles.h"
#include "widgets/tray.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QTest>

#include <functional>
#include <memory>

// What the user may do while a pass is pausing, with real programs: each entry is a script that
// adds its name to a log. Run under the sanitizers, a fault here is a crash or a report.
class TestPassFaults : public QObject, private Fixture
{
    Q_OBJECT

private:
    const std::unique_ptr<ProgramStarter> m_programs = createProgramStarter(); // the real one
    QString logPath() const { return m_home->path() + QStringLiteral("/started.log"); }

    QString script(const QString &name)
    {
        return writeScript(m_home->path() + QStringLiteral("/apps/") + name,
                           "basename \"$0\" >> '" + logPath().toUtf8() + "'\n");
    }

    QStringList started() const
    {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // What has started, once the work queued now is done and a program started now has run:
    // whatever started before it has had its turn to note itself.
    QStringList startedInTheEnd()
    {
        QCoreApplication::processEvents();
        if (QProcess::execute(script(QStringLiteral("fence"))) != 0)
            return {QStringLiteral("no fence")};
        QStringList log = started();
        log.removeAll(QStringLiteral("fence"));
        return log;
    }

    // The program as it runs after start-up, with ticks only from the test, and a connection
    // that has just come up.
    std::unique_ptr<Menue> running(const QStringList &entries, const QString &interval)
    {
        auto menue = startMenue(entries, interval, m_programs.get());
        menue->setCheck1(false);
        m_net->setConnected(true);
        return menue;
    }

    // Runs `step` once, at the first turn of the event loop after the log holds `count` lines:
    // that is inside the pause that follows the count-th start.
    void whenStarted(int count, std::function<void()> step)
    {
        auto *watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [this, watch, count, step] {
            if (started().size() < count)
                return;
            watch->stop();
            watch->deleteLater();
            step();
        });
        watch->start(10);
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void launchNowBesideTickPass()
    {
        auto menue = running({script(QStringLiteral("a")), script(QStringLiteral("b"))},
                             QStringLiteral(".4"));
        whenStarted(1, [&menue] { menue->sLaunchNow().trigger(); });
        tick(*menue);
        // The second pass began in the first pause and ran beside the tick's.
        QTRY_COMPARE(started().size(), 4);
        QStringList order = started();
        QCOMPARE(order.first(), QStringLiteral("a"));
        QCOMPARE(order.last(), QStringLiteral("b"));
        order.sort();
        QCOMPARE(order,
                 (QStringList {QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("b")}));
        QTRY_VERIFY(menue->Check1());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void editorClosedInsideTickPass()
    {
        const QString a = script(QStringLiteral("a"));
        const QString x = script(QStringLiteral("x"));
        auto menue = running({a, script(QStringLiteral("b")), script(QStringLiteral("c")),
                              script(QStringLiteral("d"))},
                             QStringLiteral(".3"));
        whenStarted(1, [this, &menue, x] {
            menue->sEditLaunch().trigger();
            auto *editor = menue->findChild<Configur *>();
            QVERIFY(editor && editor->isVisible());
            QCOMPARE(editor->List1().count(), 4);
            for (int row = 3; row >= 1; --row) {
                editor->List1().item(row)->setSelected(true);
                editor->Command2_Click();
            }
            m_dialogs->setNextAnswer(x);
            editor->Command3_Click();
            editor->close();
        });
        tick(*menue);

        // The rest of the pass took the refilled list: x at the second place, nothing after.
        QTRY_COMPARE(started(), (QStringList {QStringLiteral("a"), QStringLiteral("x")}));
        QCOMPARE(storedLaunchList(), (QStringList {a, x}));
        QCOMPARE(menue->List1(), (QStringList {a, x}));
        QTRY_VERIFY(menue->Check1());
        QTRY_VERIFY(!menue->findChild<Configur *>());
        QCOMPARE(startedInTheEnd().size(), 2);
    }

    // A file dialog opened during a pass holds nothing: the entries go on starting while it is
    // open, in order, and what it chose is added once it closes.
    void fileDialogDuringPass()
    {
        const QStringList entries {script(QStringLiteral("a")), script(QStringLiteral("b")),
                                   script(QStringLiteral("c"))};
        auto menue = running(entries, QStringLiteral(".2"));
        m_dialogs->closeWhen([this] { return started().size() == 3; });
        m_dialogs->setNextFileName(entries[0]);
        qsizetype added = 0;
        whenStarted(1, [&menue, &added] {
            menue->sEditLaunch().trigger();
            auto *editor = menue->findChild<Configur *>();
            editor->Command1_Click();
            added = editor->List1().count() - 3;
        });
        tick(*menue);
        QTRY_COMPARE(added, 1);
        QCOMPARE(m_dialogs->heldOpen, 0);
        QCOMPARE(started(),
                 (QStringList {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        QTRY_VERIFY(menue->Check1());
    }

    // The largest list the store holds, through the editor: no room for more until one goes,
    // and closing stores it whole and refills the main window's list.
    void fullListInEditor()
    {
        const int full = SettingsStore::MaxEntries;
        const QStringList entries = numbered(QStringLiteral("/nonexistent/entry "), full);
        QVERIFY(SaveLaunchList(entries));
        Menue menue(*m_net, *m_starter);
        Splash(menue).Form_Load();
        menue.Timer1().stop();
        QCOMPARE(menue.List1().size(), full);

        menue.sEditLaunch().trigger();
        auto *editor = menue.findChild<Configur *>();
        QVERIFY(editor);
        QCOMPARE(editor->List1().count(), full);
        editor->Command3_Click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].text.contains(QStringLiteral("32767")));
        QVERIFY(m_dialogs->questions.isEmpty());
        editor->List1().item(0)->setSelected(true);
        editor->Command2_Click();
        const QString last = QStringLiteral("/usr/bin/last one");
        m_dialogs->setNextAnswer(last);
        editor->Command3_Click();
        editor->close();

        const QStringList expected = entries.mid(1) + QStringList {last};
        QCOMPARE(storedLaunchList(), expected);
        QCOMPARE(menue.List1(), expected);
        QTRY_VERIFY(!menue.findChild<Configur *>());
        menue.sEditLaunch().trigger();
        QVERIFY(menue.findChild<Configur *>());
        QCOMPARE(menue.findChild<Configur *>()->entries(), expected);
    }

    void exitDuringTwoPassesWithEditorOpen()
    {
        const QStringList entries {script(QStringLiteral("a")), script(QStringLiteral("b")),
                                   script(QStringLiteral("c"))};
        auto menue = running(entries, QStringLiteral("30"));
        whenStarted(1, [&menue] {
            // Edits that nobody confirms by closing the editor.
            menue->sEditLaunch().trigger();
            auto *editor = menue->findChild<Configur *>();
            QVERIFY(editor);
            editor->List1().clear();
            menue->sLaunchNow().trigger();
        });
        bool exitAsked = false;
        QTimer::singleShot(0, this, [this, &menue, &exitAsked] {
            whenStarted(2, [&menue, &exitAsked] {
                exitAsked = true;
                menue->sExit().trigger();
            });
        });
        tick(*menue);

        QTRY_VERIFY(exitAsked);
        QVERIFY(Corvath::IsEnding());
        QVERIFY(!menue->tray().isInTray());
        // The tick did not finish its pass, so it did not set the latch.
        QVERIFY(!menue->Check1());
        menue.reset();
        QCOMPARE(startedInTheEnd(), (QStringList {QStringLiteral("a"), QStringLiteral("a")}));
        QCOMPARE(storedLaunchList(), entries);
    }
};

QTEST_MAIN(TestPassFaults)
#include "tst_passfaults.moc"
