/* Gives an interface an address, as `ip addr add ADDRESS peer PEER dev IFNAME` does, straight
 * through rtnetlink, and prints the wall clock (as bash's EPOCHREALTIME gives it) just before
 * and just after its sendmsg: the kernel sends the address event inside that call.
 * Usage: addaddr IFNAME ADDRESS PEER */
#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

static void attribute(struct nlmsghdr *message, int type, const void *data, int size)
{
    struct rtattr *a = (struct rtattr *)((char *)message + NLMSG_ALIGN(message->nlmsg_len));
    a->rta_type = (unsigned short)type;
    a->rta_len = (unsigned short)RTA_LENGTH(size);
    memcpy(RTA_DATA(a), data, (size_t)size);
    message->nlmsg_len = NLMSG_ALIGN(message->nlmsg_len) + RTA_ALIGN(a->rta_len);
}

int main(int argc, char **argv)
{
    struct in_addr local, peer;
    if (argc != 4 || inet_pton(AF_INET, argv[2], &local) != 1
        || inet_pton(AF_INET, argv[3], &peer) != 1) {
        fprintf(stderr, "usage: addaddr IFNAME ADDRESS PEER\n");
        return 2;
    }
    const unsigned index = if_nametoindex(argv[1]);
    const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (!index || fd < 0) {
        perror("addaddr");
        return 1;
    }
    union
    {
        struct nlmsghdr header;
        char bytes[256];
    } request;
    memset(&request, 0, sizeof request);
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(struct ifaddrmsg));
    request.header.nlmsg_type = RTM_NEWADDR;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_ACK | NLM_F_CREATE | NLM_F_EXCL;
    request.header.nlmsg_seq = 1;
    struct ifaddrmsg *address = NLMSG_DATA(&request.header);
    address->ifa_family = AF_INET;
    address->ifa_prefixlen = 32;
    address->ifa_index = index;
    attribute(&request.header, IFA_LOCAL, &local, sizeof local);
    attribute(&request.header, IFA_ADDRESS, &peer, sizeof peer);

    struct sockaddr_nl kernel = {.nl_family = AF_NETLINK};
    struct iovec part = {&request, request.header.nlmsg_len};
    struct msghdr message
        = {.msg_name = &kernel, .msg_namelen = sizeof kernel, .msg_iov = &part, .msg_iovlen = 1};
    struct timespec before, after;
    clock_gettime(CLOCK_REALTIME, &before);
    const ssize_t sent = sendmsg(fd, &message, 0);
    clock_gettime(CLOCK_REALTIME, &after);
    if (sent < 0) {
        perror("addaddr: sendmsg");
        return 1;
    }
    union
    {
        struct nlmsghdr header;
        char bytes[512];
    } answer;
    const ssize_t got = recv(fd, &answer, sizeof answer, 0);
    if (got < (ssize_t)NLMSG_LENGTH(sizeof(struct nlmsgerr))
        || answer.header.nlmsg_type != NLMSG_ERROR
        || ((struct nlmsgerr *)NLMSG_DATA(&answer.header))->error != 0) {
        fprintf(stderr, "addaddr: the kernel refused the address\n");
        return 1;
    }
    printf("%lld.%06ld %lld.%06ld\n", (long long)before.tv_sec, before.tv_nsec / 1000,
           (long long)after.tv_sec, after.tv_nsec / 1000);
    return 0;
}
