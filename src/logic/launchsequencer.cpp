#include "logic/launchsequencer.h"
#include "logic/pause.h"
#include "logic/program.h"
#include "platform/programstarter.h"

#include <QScopeGuard>

#include <utility>

LaunchSequencer::LaunchSequencer(const QStringList &list, ProgramStarter &starter, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_starter(starter)
    , m_wait([](const Interval &interval) { Corvath::Pause(interval.seconds()); })
{
    m_starter.setLateOutcomeHandler(
        [this](quint64 start, const QString &entry, const QString &reason) {
            settled(start, entry, reason);
        });
}

LaunchSequencer::~LaunchSequencer()
{
    m_starter.setLateOutcomeHandler({});
}

void LaunchSequencer::settled(quint64 start, const QString &entry, const QString &reason)
{
    // In the notice of the pass that still runs; else in one more notice for the pass it
    // belongs to, once the last of that pass's starts has been decided.
    if (m_pass.pending.remove(start)) {
        if (!reason.isEmpty())
            m_pass.failures.add(entry, reason);
        return;
    }
    for (auto pass = m_ended.begin(); pass != m_ended.end(); ++pass) {
        if (!pass->pending.remove(start))
            continue;
        if (!reason.isEmpty())
            pass->failures.add(entry, reason);
        if (pass->pending.isEmpty()) {
            Failures failures = std::move(pass->failures);
            m_ended.erase(pass);
            tell(failures);
        }
        return;
    }
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
    if (!text.isEmpty() && !Corvath::IsEnding())
        Q_EMIT notice(text);
}

void LaunchSequencer::runPass()
{
    ++m_passDepth;
    const auto done = qScopeGuard([this] {
        // A notice per failure would replace the one before it within the interval.
        if (--m_passDepth > 0)
            return;
        tell(m_pass.failures);
        if (!m_pass.pending.isEmpty())
            m_ended.push_back({{}, std::move(m_pass.pending)});
        m_pass = {};
    });
    // Counted once: the editor may refill the list while the pass waits.
    const qsizetype count = m_list.size();
    for (qsizetype n = 0; n < count; ++n) {
        if (Corvath::IsEnding())
            return;
        const QString entry = m_list.value(n);
        if (entry.isEmpty())
            continue;
        const quint64 lastLate = m_starter.lastLateStart();
        if (const auto started = m_starter.start(entry); !started)
            m_pass.failures.add(entry, started.reason());
        else if (m_starter.lastLateStart() != lastLate)
            m_pass.pending.insert(m_starter.lastLateStart());
        // The last entry gets its pause too, on purpose: a pass lasts k intervals.
        m_wait(Interval::setting.get());
    }
}
