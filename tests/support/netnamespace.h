#pragma once

#include "testfiles.h"

#include <QProcess>
#include <QTest>

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

// `ip` with the words of ARGUMENTS, and INPUT on its standard input.
[[nodiscard]] inline bool ip(const QString &arguments, const QByteArray &input = {})
{
    return runs(QStringLiteral("ip"), arguments.split(u' '), nullptr, input);
}

// Has HOLDER (the tests' TUNHELPER) make and hold the tun devices named in INTERFACES ("ppp0:ppp"
// for the PPP link type) until it is killed.
inline void holdTun(QProcess &holder, const QStringList &interfaces)
{
    holder.start(QStringLiteral(TUNHELPER), interfaces);
    QVERIFY(holder.waitForReadyRead(5000));
    QCOMPARE(holder.readAll().trimmed(), QByteArray("ready"));
}
