#include "editors/configur.h"
#include "fixture.h"
#include "settings/settingsstore.h"
#include "testfiles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr int Rounds = 200;

// The child: one launch list editor, closed again and again with the two lists in turn, as
// the user would close it after editing. Reports each finished save on stdout.
int saveUntilKilled()
{
    QStringList mainList;
    Configur editor(mainList);
    for (bool old = false;; old = !old) {
        editor.show();
        editor.List1().clear();
        editor.List1().addItems(old ? oldList() : newList());
        editor.close();
        std::puts("saved");
        std::fflush(stdout);
    }
}

} // namespace

// The editor's save killed at random moments: the store always holds the old list or the new
// one, whole, and a reader never sees anything else.
class TestKilledSaves : public QObject, private Fixture
{
    Q_OBJECT

private:
    int m_saves = 0;
    int m_emptyLocks = 0;
    qint64 m_cycleNs = 0;

    // Waits for the saver's next finished save.
    void nextSave(QProcess &saver)
    {
        while (!saver.canReadLine())
            QVERIFY2(saver.waitForReadyRead(90000), saver.readAllStandardError().constData());
        saver.readLine();
        ++m_saves;
    }

    // Starts the saver and waits for its first save, so that the kill falls among saves, not
    // the start-up; the first time, times one save cycle too.
    void startSaver(QProcess &saver)
    {
        saver.start();
        QVERIFY(saver.waitForStarted());
        nextSave(saver);
        if (m_cycleNs == 0 && !QTest::currentTestFailed()) {
            QElapsedTimer clock;
            clock.start();
            nextSave(saver);
            m_cycleNs = clock.nsecsElapsed();
        }
    }

    // Kills the saver at a random moment within two save cycles; returns what a reader found
    // just before.
    QStringList killAtRandom(QProcess &saver) const
    {
        const auto delayUs = QRandomGenerator::global()->bounded(qint64(m_cycleNs / 1000) * 2 + 1);
        ::usleep(useconds_t(delayUs));
        const QStringList during = storedLaunchList();
        ::kill(pid_t(saver.processId()), SIGKILL);
        return during;
    }

    // A kill between creating the lock file and writing its owner into it leaves it empty; the
    // next save takes such a lock over at once.
    bool lockLeftEmpty() const
    {
        const QFileInfo lock(m_home->storePath() + QStringLiteral(".lock"));
        return lock.exists() && lock.size() == 0;
    }

    // No torn store was ever met: a save that found one would have kept it as .bad. Besides the
    // store and its lock, only Qt's unfinished copies of killed saves may be left; they never
    // take the store's name.
    void onlyStoreAndCopiesLeft()
    {
        const QDir folder = QFileInfo(m_home->storePath()).dir();
        static const QRegularExpression expected(
            QStringLiteral("^61027\\.ini(\\.lock|\\.[A-Za-z0-9]{6})?$"));
        int unfinished = 0;
        for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden)) {
            QVERIFY2(expected.match(name).hasMatch(),
                     qPrintable(QStringLiteral("left beside the store: ") + name));
            unfinished += name.size() == 16 ? 1 : 0;
        }
        qInfo("%d unfinished copies left by killed saves", unfinished);
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void killedEditorSaves()
    {
        QVERIFY(SaveLaunchList(oldList()));
        QProcess saver;
        prepareSaver(saver, QProcess::SeparateChannels);
        saver.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        for (int round = 0; round < Rounds; ++round) {
            startSaver(saver);
            if (QTest::currentTestFailed())
                return;
            const QStringList during = killAtRandom(saver);
            QVERIFY(saver.waitForFinished());
            m_saves += int(saver.readAllStandardOutput().count("saved\n"));
            if (lockLeftEmpty()) {
                ++m_emptyLocks;
                QVERIFY(SaveLaunchList(storedLaunchList()));
            }
            const QStringList after = storedLaunchList();
            QVERIFY2(isOldOrNew(during),
                     qPrintable(QStringLiteral("round %1: read %2 entries while saving")
                                    .arg(round)
                                    .arg(during.size())));
            QVERIFY2(
                isOldOrNew(after),
                qPrintable(
                    QStringLiteral("round %1: %2 entries after").arg(round).arg(after.size())));
        }
        qInfo("%d kills among %d finished saves, one save cycle %.1f ms, %d empty lock files",
              Rounds, m_saves, double(m_cycleNs) / 1e6, m_emptyLocks);
        onlyStoreAndCopiesLeft();
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--saver") == 0)
        return saveUntilKilled();
    TestKilledSaves test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killedsaves.moc"
