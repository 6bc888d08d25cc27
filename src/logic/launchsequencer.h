#pragma once

#include "logic/interval.h"
#include "logic/notice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <list>

class ProgramStarter;

// Starts the launch list one entry after another with the interval between them, once per
// dial-up connection from the monitoring tick, or at once for "Launch Now".
//
// A pass is a small state machine on a timer of its own: each step starts the next non-empty
// entry and arms the timer for the pause after it. Nothing waits on the stack, so a window the
// user opens meanwhile, modal or not, neither holds a pass nor is held by one, and passes begun
// while another runs go on beside it.
class LaunchSequencer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LaunchSequencer)

public:
    // How long the pause after a start lasts, from the interval as stored at that moment: its
    // seconds, unless a test or a benchmark says otherwise.
    using Timing = std::function<double(const Interval &interval)>;

    // `list` is read live, so a list refilled during a pass is what the rest of the pass uses.
    // Late outcomes come by the starter's settled().
    LaunchSequencer(const QStringList &list, ProgramStarter &starter,
                    Timing timing = &Interval::seconds, QObject *parent = nullptr);
    ~LaunchSequencer() override;

    // Begins a pass over the list: its first entry starts now, the others each after the pause
    // that follows the one before, the last one's pause included. Returns the pass's number,
    // which passEnded() gives back, also when it ends at once, inside this call. Once the program
    // is ending a pass starts nothing more and is dropped without passEnded().
    quint64 runPass();
    bool isRunning(quint64 pass) const;

    // notice() comes once, when the last of the passes running together ends, of every entry
    // that failed to start in them, so that no notice replaces another: one line
    // "Could not start <entry>: <reason>" each, under the summary "<count> entries could not
    // start" when there are several, else as the summary itself; at most MaxNoticeLines lines,
    // each shortened in the middle, then "and N more".
    // A start found failed only later goes into the running passes' notice, else into one more
    // notice of its passes, told when the last of their starts has been decided.
    static constexpr int MaxNoticeLines = 10;
    static constexpr int MaxLineLength = 200;

Q_SIGNALS:
    void notice(const Notice &notice);
    void passEnded(quint64 pass);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    // The failures of passes, as many as a notice shows, and how many there were.
    struct Failures
    {
        QStringList lines;
        qsizetype count = 0;
        void add(const QString &entry, const QString &reason);
        Notice notice() const;
    };

    // Passes' failures, and their starts still to be decided.
    struct Pass
    {
        Failures failures;
        QSet<quint64> pending;
    };

    // One pass under way: where it stands and the pause it is in.
    struct Run
    {
        quint64 number = 0;
        qsizetype next = 0;
        // Counted once: the editor may refill the list during the pass.
        qsizetype count = 0;
        double pause = 0;
        QElapsedTimer paused;
        int timer = 0;
        bool everyTurn = false; // the timer fires at every turn of the event loop
    };

    void step(std::list<Run>::iterator run);
    void startEntry(const QString &entry);
    void wait(Run &run);
    void ended(std::list<Run>::iterator run);
    void drop(std::list<Run>::iterator run);
    void tell(Failures &failures);
    void settled(quint64 start, const QString &entry, const QString &reason);

    const QStringList &m_list;
    ProgramStarter &m_starter;
    Timing m_timing;
    quint64 m_lastPass = 0;
    std::list<Run> m_runs;
    Pass m_pass; // of the passes running now
    std::list<Pass> m_ended; // ended before each of their starts was decided
};
