// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Measures what a user feels when starting a desktop program: the time from
// exec to the first paint of its window, and the memory it held at its peak.
//
//   first_paint [--settle-ms N] [--timeout-ms N] PROGRAM [ARGS...]
//
// Starts PROGRAM on the X display named by DISPLAY, watches the root window for
// the MapNotify of the program's top-level window (its _NET_WM_PID is the
// child's, when set), puts an XDamage object on that window at once and takes
// the first DamageNotify after which the window shows more than one colour as
// the first paint. Drawing that leaves the window one colour is not yet the
// program's paint: a window shows a blank fill as it is mapped, Qt's and wine's
// alike, and wine then fills the background before any control draws. (Reading
// the window takes a millisecond or two, by which the next damage may be taken
// late.) After N more milliseconds (default 500) it asks the window to close
// with WM_DELETE_WINDOW, as a window manager's close box does, and reads the
// child's peak resident set size from wait4's rusage. The display should run no
// window manager, so that the window mapped is the program's own.
//
// Prints one line: first_paint_ms=<ms> cpu_ms=<ms> peak_rss_kib=<KiB> exit=<status>
// Times are CLOCK_MONOTONIC. cpu_ms is the processor time all of the child's
// threads had used when the first paint arrived (from /proc/PID/task/*/schedstat):
// unlike the wall-clock time it hardly moves when other work shares the machine.
// Exits 0 on a measurement, 1 on failure.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/x11/close_request.h"

namespace {

using Nanoseconds = long long;

Nanoseconds now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<Nanoseconds>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

double toMilliseconds(Nanoseconds ns) {
    return static_cast<double>(ns) / 1e6;
}

int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// Processor time used so far by every thread of a process, in nanoseconds:
// the first field of each /proc/PID/task/TID/schedstat.
Nanoseconds cpuTime(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr) {
        return 0;
    }
    Nanoseconds total = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string path = tasks + "/" + entry->d_name + "/schedstat";
        if (FILE* file = std::fopen(path.c_str(), "r")) {
            long long ns = 0;
            if (std::fscanf(file, "%lld", &ns) == 1) {
                total += ns;
            }
            std::fclose(file);
        }
    }
    closedir(dir);
    return total;
}

// The _NET_WM_PID of a window, or 0 when it has none.
long windowPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        if (type == XA_CARDINAL && format == 32 && count == 1) {
            pid = *reinterpret_cast<long*>(data);
        }
        XFree(data);
    }
    return pid;
}

// Whether the window shows a single colour (or cannot be read, which counts as
// not being painted yet).
bool showsOneColour(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return true;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return true;
    }
    unsigned long mask = image->red_mask | image->green_mask | image->blue_mask;
    if (mask == 0) {
        mask = ~0UL;
    }
    const unsigned long first = XGetPixel(image, 0, 0) & mask;
    bool one = true;
    for (int y = 0; one && y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            if ((XGetPixel(image, x, y) & mask) != first) {
                one = false;
                break;
            }
        }
    }
    XDestroyImage(image);
    return one;
}

// Waits for the next X event until the deadline; false on time-out.
bool nextEvent(Display* display, XEvent* event, Nanoseconds deadline) {
    while (XPending(display) == 0) {
        const Nanoseconds left = deadline - now();
        if (left <= 0) {
            return false;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left / 1'000'000 + 1));
    }
    XNextEvent(display, event);
    return true;
}

void sleepUntil(Nanoseconds deadline) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(deadline / 1'000'000'000LL);
    t.tv_nsec = static_cast<long>(deadline % 1'000'000'000LL);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0) {
    }
}

// Reaps the child within the time-out, killing it past that; its rusage and
// status come back through the arguments. False when it had to be killed.
bool reap(pid_t child, Nanoseconds deadline, rusage* usage, int* status) {
    while (true) {
        const pid_t done = wait4(child, status, WNOHANG, usage);
        if (done == child) {
            return true;
        }
        if (now() >= deadline) {
            kill(child, SIGKILL);
            wait4(child, status, 0, usage);
            return false;
        }
        usleep(2000);
    }
}

int usage(const char* self) {
    std::fprintf(stderr, "usage: %s [--settle-ms N] [--timeout-ms N] PROGRAM [ARGS...]\n", self);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    long settleMs = 500;
    long timeoutMs = 30'000;
    int first = 1;
    while (first + 1 < argc && argv[first][0] == '-') {
        const std::string option = argv[first];
        if (option == "--settle-ms") {
            settleMs = std::strtol(argv[first + 1], nullptr, 10);
        } else if (option == "--timeout-ms") {
            timeoutMs = std::strtol(argv[first + 1], nullptr, 10);
        } else {
            return usage(argv[0]);
        }
        first += 2;
    }
    if (first >= argc) {
        return usage(argv[0]);
    }

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "first_paint: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXErrors);
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "first_paint: the X server has no DAMAGE extension\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Nanoseconds start = now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("first_paint: fork");
        return 1;
    }
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0 && std::getenv("FIRST_PAINT_SHOW_OUTPUT") == nullptr) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        _exit(127);
    }

    const Nanoseconds deadline = start + timeoutMs * 1'000'000LL;
    Window window = None;
    Damage damage = None;
    Nanoseconds painted = 0;
    Nanoseconds cpuAtPaint = 0;
    XEvent event;
    while (painted == 0 && nextEvent(display, &event, deadline)) {
        if (event.type == MapNotify && window == None && !event.xmap.override_redirect) {
            const long pid = windowPid(display, event.xmap.window);
            if (pid == 0 || pid == child) {
                window = event.xmap.window;
                // Every drawing reports, so none is lost while the window is read.
                damage = XDamageCreate(display, window, XDamageReportRawRectangles);
                XFlush(display);
            }
        } else if (event.type == damageEvent + XDamageNotify && window != None) {
            const auto* notify = reinterpret_cast<XDamageNotifyEvent*>(&event);
            if (notify->drawable == window) {
                const Nanoseconds arrived = now();
                const Nanoseconds cpu = cpuTime(child);
                if (!showsOneColour(display, window)) {
                    painted = arrived;
                    cpuAtPaint = cpu;
                }
            }
        }
    }

    rusage use{};
    int status = 0;
    if (painted == 0) {
        std::fprintf(stderr, "first_paint: %s painted no window within %ld ms\n", argv[first],
                     timeoutMs);
        kill(child, SIGKILL);
        wait4(child, &status, 0, &use);
        return 1;
    }
    sleepUntil(painted + settleMs * 1'000'000LL);
    XDamageDestroy(display, damage);
    sendCloseRequest(display, window);
    XFlush(display);
    const bool closed = reap(child, now() + 10'000'000'000LL, &use, &status);
    XCloseDisplay(display);

    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("first_paint_ms=%.2f cpu_ms=%.2f peak_rss_kib=%ld exit=%d%s\n",
                toMilliseconds(painted - start), toMilliseconds(cpuAtPaint), use.ru_maxrss,
                exitStatus, closed ? "" : " (killed: it did not close)");
    return 0;
}
