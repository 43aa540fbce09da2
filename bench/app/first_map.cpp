// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and reports how long it took from the start to the X
// server's first map of a top-level window, read from the server's own
// MapNotify event on the root window (no polling of the window list).
// Prints "<pid> <milliseconds>" and leaves the program running; exits with 1
// when the program ends before mapping a window or after the time limit.
// Usage: first_map [--timeout SECONDS] PROGRAM [ARGS...]

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

// Subscribes to the root window's structure changes of its children and
// waits for the server to confirm it, so no map can slip past.
bool watchRoot(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t cookie =
        xcb_change_window_attributes_checked(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(connection, cookie));
    return error == nullptr;
}

pid_t launch(char** argv) {
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    return child;
}

// True once a map event arrived; false when the program died or time ran out.
bool awaitFirstMap(xcb_connection_t* connection, pid_t child, Clock::time_point deadline) {
    pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (std::unique_ptr<xcb_generic_event_t, FreeDeleter> event{xcb_poll_for_event(connection)}) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                return true;
            }
        }
        if (xcb_connection_has_error(connection) != 0 || Clock::now() > deadline) {
            return false;
        }
        // The wait ends on the server's event; the short timeout only lets a
        // program that died be noticed.
        poll(&watched, 1, 100);
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return false;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    int timeoutSeconds = 30;
    if (argc > 2 && std::strcmp(argv[1], "--timeout") == 0) {
        timeoutSeconds = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: first_map [--timeout SECONDS] PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0 || !watchRoot(connection)) {
        std::fprintf(stderr, "first_map: cannot watch the X display\n");
        return 2;
    }
    const Clock::time_point start = Clock::now();
    const pid_t child = launch(argv + first);
    const bool mapped = awaitFirstMap(connection, child, start + std::chrono::seconds(timeoutSeconds));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    xcb_disconnect(connection);
    if (!mapped) {
        std::fprintf(stderr, "first_map: %s mapped no window\n", argv[first]);
        kill(child, SIGTERM);
        return 1;
    }
    std::printf("%d %.1f\n", static_cast<int>(child), ms);
    return 0;
}
