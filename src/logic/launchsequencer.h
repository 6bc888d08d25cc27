#pragma once

#include "logic/interval.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <list>

class ProgramStarter;

// Starts the launch list one entry after another with the interval between them, once per
// dial-up connection from the monitoring tick, or at once for "Launch Now".
class LaunchSequencer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LaunchSequencer)

public:
    using Waiter = std::function<void(const Interval &interval)>;

    // `list` is read live, so a list refilled during a pass is what the rest of the pass uses.
    LaunchSequencer(const QStringList &list, ProgramStarter &starter, QObject *parent = nullptr);
    ~LaunchSequencer() override;

    // notice() comes once, when a pass ends, of every entry that failed to start in it: one line
    // "Could not start <entry>: <reason>" each, after a line with their count when there are
    // several; at most MaxNoticeLines lines, each shortened in the middle, then "and N more".
    // A pass run inside another's pause ("Launch Now", or a tick) adds its lines to the outer
    // pass's notice, so that none replaces another. A start found failed only later goes into
    // the running pass's notice, else into one more notice of its pass, told when the last of
    // that pass's starts has been decided.
    // Waits the interval as stored at that moment after each start; Corvath::Pause unless
    // replaced.
    void setWaiter(Waiter waiter) { m_wait = std::move(waiter); }

    // One pass over the list: every non-empty entry is started, each followed by a pause.
    void runPass();

    static constexpr int MaxNoticeLines = 10;
    static constexpr int MaxLineLength = 200;

Q_SIGNALS:
    void notice(const QString &text);

private:
    // The failures of a pass, as many as a notice shows, and how many there were.
    struct Failures
    {
        QStringList lines;
        qsizetype count = 0;
        void add(const QString &entry, const QString &reason);
        QString notice() const;
    };

    // A pass's failures, and its starts still to be decided.
    struct Pass
    {
        Failures failures;
        QSet<quint64> pending;
    };

    void tell(Failures &failures);
    void settled(quint64 start, const QString &entry, const QString &reason);

    const QStringList &m_list;
    ProgramStarter &m_starter;
    Waiter m_wait;
    int m_passDepth = 0;
    Pass m_pass; // the one running, with those run inside its pauses
    std::list<Pass> m_ended; // ended before each of their starts was decided
};
