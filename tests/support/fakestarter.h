#pragma once

#include "platform/programstarter.h"

#include <QHash>
#include <QStringList>

#include <functional>

// Records the entries it is asked to start; those listed in `failures` fail with that reason,
// those listed in `later` are decided by answer().
class FakeStarter final : public ProgramStarter
{
public:
    QStringList started;
    QHash<QString, QString> failures;
    QStringList later;
    std::function<void(const QString &entry)> onStart;

    StartResult start(const QString &entry) override
    {
        started.append(entry);
        if (onStart)
            onStart(entry);
        if (failures.contains(entry))
            return Failure {failures.value(entry)};
        if (!later.contains(entry))
            return {};
        const StartResult result = pending();
        m_pending.insert(entry, result.pending);
        return result;
    }

    // The start of an entry in `later` is decided: failed with the reason, or went well.
    void answer(const QString &entry, const QString &reason = {})
    {
        if (const quint64 start = m_pending.take(entry))
            Q_EMIT settled(start, entry, reason);
    }

private:
    QHash<QString, quint64> m_pending;
};
