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

QStringList numbered(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(prefix + QString::number(i));
    return list;
}

// Two lists of different lengths, both past the hundred keys the save clears one by one.
QStringList oldList()
{
    return numbered(QStringLiteral("/opt/old/program --flag "), 300);
}

QStringList newList()
{
    return numbered(QStringLiteral("/usr/bin/new"), 120);
}

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
    static bool isOldOrNew(const QStringList &list)
    {
        return list == oldList() || list == newList();
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void killedEditorSaves()
    {
        QVERIFY(SaveLaunchList(oldList()));
        QProcess saver;
        saver.setProgram(QCoreApplication::applicationFilePath());
        saver.setArguments({QStringLiteral("--saver")});
        saver.setProcessChannelMode(QProcess::SeparateChannels);
        saver.setProcessEnvironment(QProcessEnvironment::systemEnvironment());

        int saves = 0;
        int emptyLocks = 0;
        qint64 cycleNs = 0;
        for (int round = 0; round < Rounds; ++round) {
            saver.start();
            QVERIFY(saver.waitForStarted());
            // The first save done, so that the kill falls among saves, not the start-up.
            while (!saver.canReadLine())
                QVERIFY2(saver.waitForReadyRead(90000), saver.readAllStandardError().constData());
            saver.readLine();
            ++saves;
            if (cycleNs == 0) {
                QElapsedTimer clock;
                clock.start();
                while (!saver.canReadLine())
                    QVERIFY(saver.waitForReadyRead(90000));
                cycleNs = clock.nsecsElapsed();
                saver.readLine();
                ++saves;
            }
            const auto delayUs
                = QRandomGenerator::global()->bounded(qint64(cycleNs / 1000) * 2 + 1);
            ::usleep(useconds_t(delayUs));
            const QStringList during = storedLaunchList();
            ::kill(pid_t(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished());
            saves += int(saver.readAllStandardOutput().count("saved\n"));
            // A kill between creating the lock file and writing its owner into it leaves it
            // empty; the next save takes such a lock over at once.
            if (QFileInfo lock(m_home->storePath() + QStringLiteral(".lock"));
                lock.exists() && lock.size() == 0) {
                ++emptyLocks;
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
              Rounds, saves, double(cycleNs) / 1e6, emptyLocks);

        // No torn store was ever met: a save that found one would have kept it as .bad. Besides
        // the store and its lock, only Qt's unfinished copies of killed saves may be left; they
        // never take the store's name.
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
