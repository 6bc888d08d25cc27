#include "platform/linux/linkevents_linux.h"

#include <cerrno>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>

// Link and address events arrive on a routing socket subscribed to the kernel's groups for them.

namespace {

// Enough for any notification; a flood is read in rounds so that the program stays responsive.
constexpr int MaxDatagramsPerDrain = 1024;

bool isLinkOrAddress(std::uint16_t type)
{
    return type == RTM_NEWLINK || type == RTM_DELLINK || type == RTM_NEWADDR || type == RTM_DELADDR;
}

class NetlinkLinkEvents final : public LinkEvents
{
public:
    NetlinkLinkEvents()
        : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE))
    {
        if (m_fd < 0)
            return;
        sockaddr_nl local {};
        local.nl_family = AF_NETLINK;
        local.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~NetlinkLinkEvents() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int descriptor() const override { return m_fd; }

    Drained drain() override
    {
        if (m_fd < 0)
            return Drained::Broken;
        bool changed = false;
        bool lost = false;
        for (int round = 0; round < MaxDatagramsPerDrain; ++round) {
            sockaddr_nl sender {};
            socklen_t senderLength = sizeof sender;
            const ssize_t got = ::recvfrom(m_fd, m_buffer.data(), m_buffer.size(), MSG_TRUNC,
                                           reinterpret_cast<sockaddr *>(&sender), &senderLength);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                // The kernel dropped events because the socket was full.
                if (errno == ENOBUFS) {
                    lost = true;
                    continue;
                }
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    break;
                return Drained::Broken;
            }
            // Only the kernel speaks for the links.
            if (sender.nl_family != AF_NETLINK || sender.nl_pid != 0)
                continue;
            if (static_cast<size_t>(got) > m_buffer.size()) {
                changed = true; // cut short, but it came from the kernel's link groups
                continue;
            }
            auto length = static_cast<unsigned int>(got);
            for (auto *message = reinterpret_cast<const nlmsghdr *>(m_buffer.data());
                 NLMSG_OK(message, length); message = NLMSG_NEXT(message, length)) {
                if (isLinkOrAddress(message->nlmsg_type))
                    changed = true;
            }
        }
        if (lost)
            return Drained::Lost;
        return changed ? Drained::Changed : Drained::Nothing;
    }

private:
    int m_fd;
    alignas(nlmsghdr) std::array<char, 16384> m_buffer {};
};

} // namespace

std::unique_ptr<LinkEvents> createLinkEvents()
{
    return std::make_unique<NetlinkLinkEvents>();
}
