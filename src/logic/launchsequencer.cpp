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
    m_lateTimer.setSingleShot(true);
    m_lateTimer.setInterval(LateGatherMs);
    m_lateTimer.callOnTimeout([this] { tell(m_lateFailures); });
    m_starter.setLateFailureHandler([this](const QString &entry, const QString &reason) {
        // In the notice of the pass that still runs, else gathered into one more: a burst of
        // openers failing one by one must not bring a notice each.
        if (m_passDepth > 0) {
            m_failures.add(entry, reason);
            return;
        }
        m_lateFailures.add(entry, reason);
        m_lateTimer.start();
    });
}

void LaunchSequencer::Failures::add(const QString &entry, const QString &reason)
{
    if (++count > MaxNoticeLines)
        return;
    QString line = QStringLiteral("Could not start %1: %2").arg(entry, reason);
    if (line.size() > MaxLineLength) {
        // Both ends tell most: the program's folder and name, and the reason.
        const qsizetype keep = (MaxLineLength - 1) / 2;
        line = line.left(keep) + QChar(0x2026) + line.right(keep);
    }
    lines.append(line);
}

QString LaunchSequencer::Failures::notice() const
{
    QString text = lines.join(u'\n');
    if (count > 1)
        text.prepend(QStringLiteral("%1 entries could not start:\n").arg(count));
    if (count > lines.size())
        text += QStringLiteral("\nand %1 more").arg(count - lines.size());
    return text;
}

void LaunchSequencer::tell(Failures &failures)
{
    const QString text = failures.notice();
    failures = {};
    if (m_notify && !text.isEmpty() && !Corvath::IsEnding())
        m_notify(text);
}

void LaunchSequencer::runPass()
{
    ++m_passDepth;
    const auto done = qScopeGuard([this] {
        // A notice per failure would replace the one before it within the interval.
        if (--m_passDepth == 0)
            tell(m_failures);
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
            m_failures.add(entry, reason);
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
