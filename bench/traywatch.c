/* Starts a tray program and prints the milliseconds from its exec to its icon being embedded:
 * the moment the tray host takes the icon window from the root window into its panel.
 * Usage: traywatch PROGRAM [ARGUMENTS...]; needs DISPLAY with a tray host and no window
 * manager, which would reparent other windows too. The program is ended afterwards. */
#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

/* Whether the window is the started program's own, by the process id that Qt puts on it. */
static int ownedBy(xcb_connection_t *x, xcb_window_t window, pid_t pid)
{
    static const char name[] = "_NET_WM_PID";
    xcb_intern_atom_reply_t *atom
        = xcb_intern_atom_reply(x, xcb_intern_atom(x, 1, sizeof name - 1, name), NULL);
    if (!atom)
        return 0;
    xcb_get_property_reply_t *property = xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 1), NULL);
    free(atom);
    int owned = 0;
    if (property && xcb_get_property_value_length(property) == 4)
        owned = *(uint32_t *)xcb_get_property_value(property) == (uint32_t)pid;
    free(property);
    return owned;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: traywatch PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    xcb_connection_t *x = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(x)) {
        fprintf(stderr, "traywatch: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t selected
        = xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask);
    free(xcb_request_check(x, selected));

    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    const int fd = xcb_get_file_descriptor(x);
    double embedded = -1;
    while (embedded < 0 && now() - start < 30) {
        xcb_generic_event_t *event;
        while ((event = xcb_poll_for_event(x))) {
            if ((event->response_type & 0x7f) == XCB_REPARENT_NOTIFY) {
                const xcb_reparent_notify_event_t *moved = (xcb_reparent_notify_event_t *)event;
                if (moved->parent != root && embedded < 0 && ownedBy(x, moved->window, child))
                    embedded = now();
            }
            free(event);
        }
        if (embedded >= 0 || xcb_connection_has_error(x))
            break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        struct timeval wait = {0, 100000};
        select(fd + 1, &readable, NULL, NULL, &wait);
        if (waitpid(child, NULL, WNOHANG) == child) {
            fprintf(stderr, "traywatch: %s ended before its icon was embedded\n", argv[1]);
            xcb_disconnect(x);
            return 1;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    xcb_disconnect(x);
    if (embedded < 0) {
        fprintf(stderr, "traywatch: no icon was embedded within 30 s\n");
        return 1;
    }
    printf("%.1f\n", (embedded - start) * 1000);
    return 0;
}
