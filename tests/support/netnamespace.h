#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

// Moves the test into a private network namespace with TUN devices at hand. Returns why it
// could not, for QSKIP; nullptr once inside.
inline const char *enterNetworkNamespace()
{
    if (geteuid() != 0)
        return "needs root for a private network namespace";
    if (access("/dev/net/tun", R_OK | W_OK) != 0)
        return "no /dev/net/tun";
    if (unshare(CLONE_NEWNET) != 0)
        return "cannot make a network namespace";
    return nullptr;
}
