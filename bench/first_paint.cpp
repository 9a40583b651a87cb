// first_paint [--settle MS] PROGRAM [ARGUMENTS...]
//
// Starts the program and prints, on one line, the milliseconds from its start to the first
// drawing inside its first mapped top-level window, the milliseconds to that window's mapping,
// and the program's peak resident memory in kB. The program is left running MS milliseconds
// (default 300) after its first paint, so that what it does right after showing is counted in
// its memory, then ended. Nothing in the program is asked to help: the X server reports the
// mapping and, through its Damage extension on the root window, every drawing. Needs an X
// server without a window manager (top-level windows are then the root's children).
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool intersects(int ox, int oy, int ow, int oh) const {
        return ox < x + width && x < ox + ow && oy < y + height && y < oy + oh;
    }
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

int usage() {
    std::fprintf(stderr, "usage: first_paint [--settle MS] PROGRAM [ARGUMENTS...]\n");
    return 2;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char* argv[]) {
    int first = 1;
    int settleMs = 300;
    if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) {
        settleMs = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        return usage();
    }

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x) != 0) {
        std::fprintf(stderr, "first_paint: no X server\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
    if (damage == nullptr || damage->present == 0) {
        std::fprintf(stderr, "first_paint: the X server has no Damage extension\n");
        return 1;
    }
    std::unique_ptr<xcb_damage_query_version_reply_t, FreeDeleter> version(
        xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    // Every drawing on the screen, in root coordinates, one event per change of the damaged
    // area; each is acknowledged so that the next one comes too.
    const xcb_damage_damage_t rootDamage = xcb_generate_id(x);
    xcb_damage_create(x, rootDamage, root, XCB_DAMAGE_REPORT_LEVEL_BOUNDING_BOX);
    // A round trip: the server has the damage object and the event mask before the start.
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first], argv + first);
        std::perror(argv[first]);
        _exit(127);
    }
    if (child < 0) {
        std::perror("fork");
        return 1;
    }

    std::map<xcb_window_t, Rect> windows;
    xcb_window_t shown = XCB_NONE;
    double mappedMs = -1;
    double paintedMs = -1;
    const int fd = xcb_get_file_descriptor(x);
    while (paintedMs < 0 && msSince(start) < 30'000) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "first_paint: %s ended before it drew\n", argv[first]);
            return 1;
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 50);
        while (xcb_generic_event_t* raw = xcb_poll_for_event(x)) {
            std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(raw);
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(raw);
                if (e->parent == root) {
                    windows[e->window] = {e->x, e->y, e->width, e->height};
                }
            } else if (type == XCB_CONFIGURE_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_configure_notify_event_t*>(raw);
                if (const auto w = windows.find(e->window); w != windows.end()) {
                    w->second = {e->x, e->y, e->width, e->height};
                }
            } else if (type == XCB_MAP_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_map_notify_event_t*>(raw);
                if (shown == XCB_NONE && windows.count(e->window) != 0 &&
                    e->override_redirect == 0) {
                    shown = e->window;
                    mappedMs = msSince(start);
                }
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_damage_notify_event_t*>(raw);
                xcb_damage_subtract(x, rootDamage, XCB_NONE, XCB_NONE);
                xcb_flush(x);
                if (shown != XCB_NONE && paintedMs < 0 &&
                    windows[shown].intersects(e->area.x, e->area.y, e->area.width,
                                              e->area.height)) {
                    paintedMs = msSince(start);
                }
            }
        }
    }
    if (paintedMs < 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::fprintf(stderr, "first_paint: %s drew nothing within 30 s\n", argv[first]);
        return 1;
    }
    usleep(static_cast<useconds_t>(settleMs) * 1000);
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::printf("%.2f %.2f %ld\n", paintedMs, mappedMs, usage.ru_maxrss);
    xcb_disconnect(x);
    return 0;
}
