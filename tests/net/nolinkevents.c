/* Preloaded into the program to take away the kernel's link events, as a system without them
 * would: subscribing a routing socket to any event group fails. Requests and dumps still work. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/netlink.h>
#include <sys/socket.h>

int bind(int fd, const struct sockaddr *address, socklen_t length)
{
    static int (*real)(int, const struct sockaddr *, socklen_t);
    if (!real)
        real = (int (*)(int, const struct sockaddr *, socklen_t))dlsym(RTLD_NEXT, "bind");
    if (address && address->sa_family == AF_NETLINK && length >= sizeof(struct sockaddr_nl)
        && ((const struct sockaddr_nl *)address)->nl_groups != 0) {
        errno = EPERM;
        return -1;
    }
    return real(fd, address, length);
}
