#include "platform/linux/pppinterfaces_linux.h"
#include "platform/linux/linkwatcher_linux.h"

#include <cerrno>
#include <cstring>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <memory>

// The dial-up connections of Linux are the interfaces of link type PPP that pppd makes for each
// modem, PPPoE, mobile-broadband and PPTP/L2TP link. Tunnels and WireGuard have other link
// types, so an always-up VPN never hides the dial-up link. Asked over rtnetlink, so that a
// failure has an errno.

namespace {

class RouteSocket final
{
public:
    RouteSocket()
        : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE))
        , m_error(m_fd < 0 ? errno : 0)
    { }
    ~RouteSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    RouteSocket(const RouteSocket &) = delete;
    RouteSocket &operator=(const RouteSocket &) = delete;

    int error() const { return m_error; }

    // Sends one request and hands each answer to `visit` until the kernel is done. Returns 0
    // or an errno.
    int request(nlmsghdr &header, const std::function<void(const nlmsghdr &)> &visit)
    {
        if (m_error != 0)
            return m_error;
        header.nlmsg_seq = ++m_sequence;
        sockaddr_nl kernel {};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(m_fd, &header, header.nlmsg_len, 0, reinterpret_cast<sockaddr *>(&kernel),
                     sizeof kernel)
            < 0)
            return errno;

        const bool dump = (header.nlmsg_flags & NLM_F_DUMP) != 0;
        for (;;) {
            const ssize_t got = ::recv(m_fd, m_buffer.data(), m_buffer.size(), 0);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (got == 0)
                return EPROTO;
            auto length = static_cast<unsigned int>(got);
            for (auto *message = reinterpret_cast<const nlmsghdr *>(m_buffer.data());
                 NLMSG_OK(message, length); message = NLMSG_NEXT(message, length)) {
                if (message->nlmsg_seq != m_sequence)
                    continue;
                if (message->nlmsg_type == NLMSG_DONE)
                    return 0;
                if (message->nlmsg_type == NLMSG_ERROR) {
                    const auto *failure = static_cast<const nlmsgerr *>(NLMSG_DATA(message));
                    return -failure->error;
                }
                visit(*message);
                if (!dump)
                    return 0;
            }
        }
    }

private:
    int m_fd;
    int m_error;
    unsigned int m_sequence = 0;
    alignas(nlmsghdr) std::array<char, 32768> m_buffer {};
};

struct LinkRequest
{
    nlmsghdr header;
    ifinfomsg info;
};

LinkRequest linkRequest(int index)
{
    LinkRequest request {};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifinfomsg));
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST | (index == 0 ? NLM_F_DUMP : 0);
    request.info.ifi_family = AF_UNSPEC;
    request.info.ifi_index = index;
    return request;
}

const ifinfomsg *linkOf(const nlmsghdr &message)
{
    if (message.nlmsg_type != RTM_NEWLINK || message.nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg)))
        return nullptr;
    return static_cast<const ifinfomsg *>(NLMSG_DATA(&message));
}

// An IPv4 address, or an IPv6 address beyond the link: something the connection can be used by.
bool isUsableAddress(const nlmsghdr &message, int index)
{
    if (message.nlmsg_type != RTM_NEWADDR || message.nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg)))
        return false;
    const auto *address = static_cast<const ifaddrmsg *>(NLMSG_DATA(&message));
    if (static_cast<int>(address->ifa_index) != index)
        return false;
    if (address->ifa_family == AF_INET)
        return true;
    if (address->ifa_family != AF_INET6)
        return false;
    auto length = static_cast<unsigned int>(IFA_PAYLOAD(&message));
    for (const rtattr *attribute = IFA_RTA(address); RTA_OK(attribute, length);
         attribute = RTA_NEXT(attribute, length)) {
        if ((attribute->rta_type != IFA_ADDRESS && attribute->rta_type != IFA_LOCAL)
            || RTA_PAYLOAD(attribute) < sizeof(in6_addr))
            continue;
        in6_addr bytes {};
        std::memcpy(&bytes, RTA_DATA(attribute), sizeof bytes);
        return !IN6_IS_ADDR_LINKLOCAL(&bytes);
    }
    return false;
}

// Up and running with a usable address. Down, the link is still being set up; up without an
// address, the network protocols are still being negotiated. An interface gone since the
// listing, or a failed question, reads as not connected.
bool isSetUp(RouteSocket &route, int index)
{
    LinkRequest request = linkRequest(index);
    bool running = false;
    if (route.request(request.header,
                      [&](const nlmsghdr &message) {
                          const ifinfomsg *link = linkOf(message);
                          if (!link || link->ifi_index != index || link->ifi_type != ARPHRD_PPP)
                              return;
                          const unsigned flags = link->ifi_flags;
                          running = (flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0;
                      })
            != 0
        || !running)
        return false;

    struct
    {
        nlmsghdr header;
        ifaddrmsg info;
    } addresses {};
    addresses.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifaddrmsg));
    addresses.header.nlmsg_type = RTM_GETADDR;
    addresses.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    addresses.info.ifa_family = AF_UNSPEC;
    bool usable = false;
    return route.request(
               addresses.header,
               [&](const nlmsghdr &message) { usable = usable || isUsableAddress(message, index); })
        == 0
        && usable;
}

class PppInterfaces final : public ConnectionSource
{
public:
    // The routing socket's link and address events are this source's change news.
    PppInterfaces()
    {
        connect(&m_watcher, &LinkWatcher::changed, this, &ConnectionSource::changed);
    }

    Answer firstConnection() override
    {
        RouteSocket route;
        LinkRequest request = linkRequest(0);
        int lowest = 0;
        const int status = route.request(request.header, [&lowest](const nlmsghdr &message) {
            const ifinfomsg *link = linkOf(message);
            if (link && link->ifi_type == ARPHRD_PPP && link->ifi_index > 0
                && (lowest == 0 || link->ifi_index < lowest))
                lowest = link->ifi_index;
        });
        if (status != 0)
            return Answer::failed(static_cast<std::uint32_t>(status));
        if (lowest == 0)
            return {};
        return Answer::first(isSetUp(route, lowest));
    }

private:
    LinkWatcher m_watcher;
};

} // namespace

std::unique_ptr<ConnectionSource> createPppInterfaces()
{
    return std::make_unique<PppInterfaces>();
}
