#pragma once

#include <QLockFile>

// One instance per user: two would start every entry twice. The lock lives in the user's
// runtime folder; one left behind by a killed instance does not count.
class SingleInstance final
{
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    SingleInstance();
    bool tryLock();

private:
    QLockFile m_lock;
};
