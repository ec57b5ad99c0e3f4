/* Start-up time of a windowed program on an X display: from the moment the
 * command is started until a top-level window whose title begins with the
 * given text is mapped. The X events are read as they come, so the waiting
 * costs no processor time that the program being timed would miss.
 *   startup_timer TITLE_PREFIX TIMEOUT_MS COMMAND [ARGS...]
 * Prints the milliseconds on standard output, then ends the program.
 * Exit code 0 when the window was seen, 1 on time-out, 2 on a usage error. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* The title as UTF-8 (_NET_WM_NAME) or, failing that, WM_NAME; both begin
 * with the same bytes when the prefix is ASCII. */
static int title_starts_with(Display* display, Window window, const char* prefix)
{
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = NULL;
    int found = 0;
    if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        found = strncmp((const char*)data, prefix, strlen(prefix)) == 0;
        XFree(data);
        if (found) return 1;
    }
    XTextProperty name;
    if (XGetWMName(display, window, &name) && name.value) {
        found = name.nitems >= strlen(prefix) && strncmp((const char*)name.value, prefix, strlen(prefix)) == 0;
        XFree(name.value);
    }
    return found;
}

/* Wine (without a window manager) maps top-level windows straight under the
 * root; a window manager would reparent them, so their children count too. */
static int matches(Display* display, Window window, const char* prefix)
{
    if (title_starts_with(display, window, prefix)) return 1;
    Window root, parent, *children = NULL;
    unsigned int n = 0;
    int found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n && !found; ++i) found = title_starts_with(display, children[i], prefix);
        if (children) XFree(children);
    }
    return found;
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: startup_timer TITLE_PREFIX TIMEOUT_MS COMMAND [ARGS...]\n");
        return 2;
    }
    const char* prefix = argv[1];
    const double timeout = atof(argv[2]);
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "startup_timer: cannot open the X display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double started = now_ms();
    pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    if (child < 0) {
        perror("startup_timer: fork");
        return 2;
    }

    double shown = -1;
    const int fd = ConnectionNumber(display);
    while (shown < 0 && now_ms() - started < timeout) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && matches(display, event.xmap.window, prefix)) {
                shown = now_ms() - started;
                break;
            }
        }
        if (shown >= 0) break;
        fd_set wait_for;
        FD_ZERO(&wait_for);
        FD_SET(fd, &wait_for);
        struct timeval slice = {0, 20000};
        select(fd + 1, &wait_for, NULL, NULL, &slice);
        if (waitpid(child, NULL, WNOHANG) == child) {
            child = 0;
            break;
        }
    }
    if (child > 0) {
        kill(-child, SIGKILL);
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
    }
    XCloseDisplay(display);
    if (shown < 0) {
        fprintf(stderr, "startup_timer: no window \"%s\" within %.0f ms\n", prefix, timeout);
        return 1;
    }
    printf("%.1f\n", shown);
    return 0;
}
