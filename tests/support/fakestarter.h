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

    Outcome<QString> start(const QString &entry) override
    {
        started.append(entry);
        if (onStart)
            onStart(entry);
        if (failures.contains(entry))
            return Failure {failures.value(entry)};
        if (later.contains(entry))
            m_pending.insert(entry, pendingStart());
        return {};
    }

    // The start of an entry in `later` is decided: failed with the reason, or went well.
    void answer(const QString &entry, const QString &reason = {})
    {
        m_pending.take(entry).settle(entry, reason);
    }

private:
    QHash<QString, PendingStart> m_pending;
};
