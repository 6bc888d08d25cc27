#include "logic/launchsequencer.h"
#include "logic/connectionprobe.h"
#include "logic/pause.h"
#include "logic/program.h"
#include "platform/programstarter.h"

#include <QScopeGuard>

#include <utility>

LaunchSequencer::LaunchSequencer(const QStringList &list, ProgramStarter &starter)
    : m_list(list)
    , m_starter(starter)
    , m_wait([](const Interval &interval) { Corvath::Pause(interval.seconds()); })
{
    m_starter.setLateFailureHandler([this](const QString &entry, const QString &reason) {
        // In the notice of the pass that still runs, else in a notice of its own.
        const QString line = failureLine(entry, reason);
        if (m_passDepth > 0)
            m_failures.append(line);
        else if (m_notify && !Corvath::IsEnding())
            m_notify(line);
    });
}

QString LaunchSequencer::failureLine(const QString &entry, const QString &reason)
{
    return QStringLiteral("Could not start %1: %2").arg(entry, reason);
}

void LaunchSequencer::runPass()
{
    ++m_passDepth;
    const auto done = qScopeGuard([this] {
        // A notice per failure would replace the one before it within the interval.
        if (--m_passDepth > 0 || m_failures.isEmpty())
            return;
        const QString text = m_failures.join(u'\n');
        m_failures.clear();
        if (m_notify && !Corvath::IsEnding())
            m_notify(text);
    });
    // Counted once: the editor may refill the list while the pass waits.
    const qsizetype count = m_list.size();
    for (qsizetype n = 0; n < count; ++n) {
        if (Corvath::IsEnding())
            return;
        const QString entry = m_list.value(n);
        if (entry.isEmpty())
            continue;
        QString reason;
        if (!m_starter.start(entry, reason))
            m_failures.append(failureLine(entry, reason));
        // The last entry gets its pause too, on purpose: a pass lasts k intervals.
        m_wait(Interval::stored());
    }
}

void LaunchSequencer::tick(bool &latch)
{
    // Ticks keep arriving while a pass waits or the probe's error box is open; such a tick
    // would start the list a second time for the same connection.
    if (m_ticking || Corvath::IsEnding())
        return;
    m_ticking = true;
    const auto done = qScopeGuard([this] { m_ticking = false; });

    if (Corvath::IsConnected()) {
        if (latch)
            return;
        runPass();
        if (Corvath::IsEnding())
            return;
        latch = true;
    }
    if (!Corvath::IsConnected())
        latch = false;
}
