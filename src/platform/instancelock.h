#pragma once

#include <memory>

// One instance per user: two would start every entry twice. A claim left behind by an instance
// that was killed or crashed never counts.
//
// Linux: a lock file in the user's runtime folder, stale once its holder no longer runs.
// Windows: a named mutex in the session's Local\ namespace, which the system releases when its
// holder ends, however it ends (a lock file's process id is soon handed to a new process).
class InstanceLock
{
public:
    InstanceLock() = default;
    virtual ~InstanceLock() = default;
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when no other instance holds the claim; this one then holds it until destroyed.
    virtual bool tryLock() = 0;
};

// The implementation for the OS the program was built for.
std::unique_ptr<InstanceLock> createInstanceLock();
