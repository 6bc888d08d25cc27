#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QStringList>

// Starts the user's programs without copying this process: the child runs in our memory only
// until its exec, so a start costs the same however much the program holds. Each child gets a
// session of its own, so it outlives Quillmoor and never shares its terminal, and is reaped
// when it ends: through a pidfd while they take few of the descriptors, else by polling.
namespace ChildProcess {

// What a start came to: done, or the reason in words and the errno of what failed, entering the
// folder or the exec.
struct Started
{
    Outcome<QString> outcome;
    int error = 0;
};

// Starts program (looked up on PATH when it names no folder) with arguments, in folder when
// one is given.
Started start(const QString &program, const QStringList &arguments, const QString &folder = {});

} // namespace ChildProcess
