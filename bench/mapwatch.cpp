// startup-mapwatch SETTLE_SECONDS COMMAND [ARG...]
// Starts COMMAND and prints "<ms from exec to the first window mapped> <peak RSS KiB> <CPU ms of
// the program's threads up to that map>". It listens on the root window for MapNotify before it
// forks and waits for the event without polling; at the map it reads the CPU time the program's
// threads have run (/proc/PID/task/*/schedstat, in nanoseconds), which other work on a busy
// machine does not inflate. It lets the program run on for SETTLE_SECONDS, stops it with SIGTERM
// and reads the peak resident size from the kernel's accounting of the child (GNU time's %M).
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

static pid_t child = 0;

// A program that never maps a window ends the watch, and is stopped with it.
static void giveUp(int) {
    kill(child, SIGKILL);
    _exit(1);
}

static double nowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Milliseconds the process's threads have spent on a CPU so far.
static double cpuMsOf(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task", int(pid));
    DIR* tasks = opendir(path);
    if (!tasks)
        return -1;
    double ns = 0;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        char stat[320];
        snprintf(stat, sizeof stat, "/proc/%d/task/%s/schedstat", int(pid), task->d_name);
        if (FILE* f = fopen(stat, "r")) {
            unsigned long long run = 0;
            if (fscanf(f, "%llu", &run) == 1)
                ns += double(run);
            fclose(f);
        }
    }
    closedir(tasks);
    return ns / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s SETTLE_SECONDS COMMAND [ARG...]\n", argv[0]);
        return 2;
    }
    const double settle = atof(argv[1]);
    xcb_connection_t* x = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(x)) {
        fprintf(stderr, "cannot connect to the X server\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(
        x, xcb_change_window_attributes_checked(x, screen->root, XCB_CW_EVENT_MASK, &mask));

    const double start = nowMs();
    child = fork();
    if (child == 0) {
        close(xcb_get_file_descriptor(x));
        execvp(argv[2], argv + 2);
        perror(argv[2]);
        _exit(127);
    }
    signal(SIGALRM, giveUp);
    alarm(30);
    double mapped = -1, cpuAtMap = -1;
    bool exited = false;
    int status = 0;
    pollfd readable{xcb_get_file_descriptor(x), POLLIN, 0};
    while (mapped < 0 && !exited && !xcb_connection_has_error(x)) {
        // Wakes at once when the server writes; every 50 ms it looks whether the program died.
        poll(&readable, 1, 50);
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && mapped < 0) {
                mapped = nowMs();
                cpuAtMap = cpuMsOf(child);
            }
            free(event);
        }
        exited = mapped < 0 && waitpid(child, &status, WNOHANG) == child;
    }
    alarm(0);
    struct rusage usage {};
    if (!exited) {
        usleep((useconds_t)(settle * 1e6));
        kill(child, SIGTERM);
        wait4(child, &status, 0, &usage);
    }
    xcb_disconnect(x);
    if (mapped < 0) {
        fprintf(stderr, "never mapped: %s\n", argv[2]);
        return 1;
    }
    printf("%.1f %ld %.1f\n", mapped - start, usage.ru_maxrss, cpuAtMap);
    return 0;
}
