/* Preloaded into the program. It takes away the kernel's link events, as a system without them
 * would: subscribing a routing socket to any event group fails; requests and dumps still work.
 * QUILLMOOR_LINK_EVENTS=keep leaves them. With QUILLMOOR_PROBES=FILE, each listing of the links
 * the program asks for adds a line to FILE, so that tests can wait for its next look. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

int bind(int fd, const struct sockaddr *address, socklen_t length)
{
    static int (*real)(int, const struct sockaddr *, socklen_t);
    if (!real)
        *(void **)&real = dlsym(RTLD_NEXT, "bind");
    const char *keep = getenv("QUILLMOOR_LINK_EVENTS");
    if ((!keep || strcmp(keep, "keep") != 0) && address && address->sa_family == AF_NETLINK
        && length >= sizeof(struct sockaddr_nl)
        && ((const struct sockaddr_nl *)address)->nl_groups != 0) {
        errno = EPERM;
        return -1;
    }
    return real(fd, address, length);
}

ssize_t sendto(int fd, const void *buffer, size_t length, int flags, const struct sockaddr *to,
               socklen_t tolength)
{
    static ssize_t (*real)(int, const void *, size_t, int, const struct sockaddr *, socklen_t);
    if (!real)
        *(void **)&real = dlsym(RTLD_NEXT, "sendto");
    const ssize_t sent = real(fd, buffer, length, flags, to, tolength);
    const char *probes = getenv("QUILLMOOR_PROBES");
    const struct nlmsghdr *header = buffer;
    if (sent >= 0 && probes && to && to->sa_family == AF_NETLINK
        && length >= sizeof(struct nlmsghdr) && header->nlmsg_type == RTM_GETLINK
        && (header->nlmsg_flags & NLM_F_DUMP) == NLM_F_DUMP) {
        const int saved = errno;
        const int out = open(probes, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (out >= 0) {
            const ssize_t written = write(out, "probe\n", 6);
            (void)written;
            close(out);
        }
        errno = saved;
    }
    return sent;
}
