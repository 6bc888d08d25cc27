/* Holds tun interfaces open for network tests: "tunhelper wg0 ppp0:ppp" makes wg0 as a plain
 * tun and ppp0 with the link type of a PPP link, since the kernel may have no PPP driver.
 * Prints "ready" once they exist, then holds them until it is terminated, or its parent ends;
 * they vanish when it exits, as pppd's interface does when the link ends. */
#include <errno.h>
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <unistd.h>

#define ARPHRD_PPP_TYPE 512

int main(int argc, char **argv)
{
    const pid_t parent = getppid();
    /* A test that dies must not leave interfaces behind. */
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) < 0 || getppid() != parent)
        return 1;
    for (int i = 1; i < argc; ++i) {
        char name[IFNAMSIZ] = {0};
        const char *colon = strchr(argv[i], ':');
        const size_t length = colon ? (size_t)(colon - argv[i]) : strlen(argv[i]);
        if (length == 0 || length >= IFNAMSIZ) {
            fprintf(stderr, "tunhelper: bad interface name %s\n", argv[i]);
            return 2;
        }
        memcpy(name, argv[i], length);

        const int fd = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            fprintf(stderr, "tunhelper: /dev/net/tun: %s\n", strerror(errno));
            return 1;
        }
        struct ifreq request;
        memset(&request, 0, sizeof request);
        request.ifr_flags = IFF_TUN | IFF_NO_PI;
        memcpy(request.ifr_name, name, length);
        if (ioctl(fd, TUNSETIFF, &request) < 0) {
            fprintf(stderr, "tunhelper: TUNSETIFF %s: %s\n", name, strerror(errno));
            return 1;
        }
        /* The link type can change only while the interface is down, as it is now. */
        if (colon && strcmp(colon + 1, "ppp") == 0
            && ioctl(fd, TUNSETLINK, (unsigned long)ARPHRD_PPP_TYPE) < 0) {
            fprintf(stderr, "tunhelper: TUNSETLINK %s: %s\n", name, strerror(errno));
            return 1;
        }
    }
    printf("ready\n");
    fflush(stdout);

    for (;;)
        pause();
}
