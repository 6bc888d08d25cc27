#pragma once

#include "platform/programstarter.h"

#include <QHash>
#include <QStringList>

#include <functional>

// Records the entries it is asked to start; those listed in `failures` fail with that reason.
class FakeStarter final : public ProgramStarter
{
public:
    QStringList started;
    QHash<QString, QString> failures;
    std::function<void(const QString &entry)> onStart;

    bool start(const QString &entry, QString &reason) override
    {
        started.append(entry);
        if (onStart)
            onStart(entry);
        reason = failures.value(entry);
        return !failures.contains(entry);
    }

    // The entry's start is found failed after start() returned.
    void failLater(const QString &entry, const QString &reason) const
    {
        failedLater(entry, reason);
    }
};
