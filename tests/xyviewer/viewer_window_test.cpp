// The window mode under a virtual X server: xyviewer shows its window, stays
// until the window is closed as a window manager closes it (WM_DELETE_WINDOW)
// or with q or Enter, and only then returns, with status 0.  A mouse click
// does not close it.

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, ...) would clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "support/sample_files.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;
using namespace std::chrono_literals;

namespace {

std::string find_in_path(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return {};
}

// An Xvfb of our own on a display number it picks itself (-displayfd), so
// that tests running side by side do not meet.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const fs::path& dir) {
        const std::string xvfb = find_in_path("Xvfb");
        if (xvfb.empty()) return;
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        const std::string log = (dir / "xvfb.log").string();
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        std::vector<std::string> args{xvfb, "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, xvfb.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (pid_ > 0 && poll(&p, 1, 30000) > 0) {
            char c = 0;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            if (!wait_for(pid_, status, 10s)) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
            }
        }
    }
    static bool installed() { return !find_in_path("Xvfb").empty(); }
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

// The viewable top-level window whose title starts with `title`, or 0.
Window find_window(Display* display, const std::string& title) {
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            if (std::string(name).rfind(title, 0) == 0 && XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable)
                found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

// What a window manager sends when the user clicks the close button.
void ask_to_close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// A key (keysym) or the first mouse button (0) pressed and released over
// the window, delivered to whoever listens for such events.
void press_and_release(Display* display, Window window, KeySym key) {
    const int types[2][2] = {{KeyPress, KeyRelease}, {ButtonPress, ButtonRelease}};
    const long masks[2][2] = {{KeyPressMask, KeyReleaseMask}, {ButtonPressMask, ButtonReleaseMask}};
    const int button = key == 0;
    for (int phase = 0; phase < 2; ++phase) {
        XEvent event{};
        // Key and button events share their first members, up to same_screen.
        event.xkey.type = types[button][phase];
        event.xkey.display = display;
        event.xkey.window = window;
        event.xkey.root = DefaultRootWindow(display);
        event.xkey.x = event.xkey.y = 200;
        event.xkey.same_screen = True;
        if (button)
            event.xbutton.button = Button1;
        else
            event.xkey.keycode = XKeysymToKeycode(display, key);
        XSendEvent(display, window, True, masks[button][phase], &event);
    }
    XFlush(display);
}

void press_key(Display* display, Window window, KeySym key) { press_and_release(display, window, key); }
void click(Display* display, Window window) { press_and_release(display, window, 0); }

// How many pixels of the window are near a colour: the plot is really shown.
int pixels_of_colour(Display* display, Window window, int r, int g, int b) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return -1;
    XImage* image =
        XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return -1;
    const auto near = [](unsigned long v, int c) { return std::abs(int(v) - c) <= 30; };
    int count = 0;
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);  // 24-bit TrueColor of Xvfb: 0xRRGGBB
            if (near((p >> 16) & 0xFF, r) && near((p >> 8) & 0xFF, g) && near(p & 0xFF, b)) ++count;
        }
    XDestroyImage(image);
    return count;
}

bool still_running(pid_t pid) {
    int status = 0;
    return !wait_for(pid, status, 0ms);
}

}  // namespace

// How the window is closed, after the user has looked at it (and clicked).
enum class Close { window_manager, q, enter };

void show_then_close(Close how) {
    if (!VirtualDisplay::installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    ScratchDir dir;
    VirtualDisplay x(dir.path);
    ASSERT_FALSE(x.name().empty()) << "Xvfb did not start: " << slurp(dir.path / "xvfb.log");

    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const pid_t viewer =
        spawn({XYVIEWER_EXE, "TK_cell_a.pgf"}, {{"DISPLAY", x.name()}, {"XDG_RUNTIME_DIR", dir.path.string()}},
              dir.path, dir.path / "viewer.out", dir.path / "viewer.err");
    ASSERT_GT(viewer, 0);

    Display* display = XOpenDisplay(x.name().c_str());
    ASSERT_NE(display, nullptr);
    Window window = 0;
    for (int i = 0; i < 1500 && window == 0 && still_running(viewer); ++i) {
        window = find_window(display, "xyviewer: TK_cell_a.pgf");
        if (window == 0) std::this_thread::sleep_for(20ms);
    }
    ASSERT_NE(window, Window(0)) << "no window; stderr: " << slurp(dir.path / "viewer.err");

    // Shown, left alone and clicked, it keeps waiting for the user.
    std::this_thread::sleep_for(300ms);
    click(display, window);
    press_key(display, window, XK_space);
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(still_running(viewer)) << "returned with the window still open";
    EXPECT_GT(pixels_of_colour(display, window, 0, 84, 166), 100) << "no markers in the window";
    EXPECT_NE(slurp(dir.path / "viewer.out").find("close it with q, Enter or its close button"), std::string::npos);

    switch (how) {
        case Close::window_manager:
            ask_to_close(display, window);
            break;
        case Close::q:
            press_key(display, window, XK_q);
            break;
        case Close::enter:
            press_key(display, window, XK_Return);
            break;
    }
    int status = -1;
    const bool ended = wait_for(viewer, status, 60s);
    if (!ended) {
        kill(viewer, SIGKILL);
        waitpid(viewer, nullptr, 0);
    }
    XCloseDisplay(display);
    ASSERT_TRUE(ended) << "still running after its window was closed";
    EXPECT_EQ(status, 0) << slurp(dir.path / "viewer.err");
    EXPECT_NE(slurp(dir.path / "viewer.out").find("points plotted   : 3"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path / "TK_cell_a.png"));  // shown, not written
}

TEST(ViewerWindow, BlocksUntilTheWindowManagerClosesItThenReturnsZero) { show_then_close(Close::window_manager); }
TEST(ViewerWindow, ClosesWithQ) { show_then_close(Close::q); }
TEST(ViewerWindow, ClosesWithEnter) { show_then_close(Close::enter); }

// A bare X server with no other client resets whenever its last client
// leaves.  A viewer that tried the display, closed it and opened it again
// met the server resetting and wrote "cannot open display" about one time
// in three; each run here lets it be the only client of a new server for its
// first second.
TEST(ViewerWindow, OpensOnAServerWithNoOtherClient) {
    if (!VirtualDisplay::installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        // A fresh server each time: one whose last client has just left is
        // itself resetting.
        VirtualDisplay x(dir.path);
        ASSERT_FALSE(x.name().empty()) << "Xvfb did not start: " << slurp(dir.path / "xvfb.log");
        const pid_t viewer =
            spawn({XYVIEWER_EXE, "TK_cell_a.pgf"}, {{"DISPLAY", x.name()}, {"XDG_RUNTIME_DIR", dir.path.string()}},
                  dir.path, dir.path / "viewer.out", dir.path / "viewer.err");
        ASSERT_GT(viewer, 0);
        int status = -1;
        if (wait_for(viewer, status, 1s)) FAIL() << "ended with " << status << ": " << slurp(dir.path / "viewer.err");
        Display* display = nullptr;
        for (int i = 0; i < 500 && display == nullptr; ++i) {
            display = XOpenDisplay(x.name().c_str());
            if (display == nullptr) std::this_thread::sleep_for(20ms);
        }
        ASSERT_NE(display, nullptr);
        Window window = 0;
        for (int i = 0; i < 1500 && window == 0 && still_running(viewer); ++i) {
            window = find_window(display, "xyviewer: TK_cell_a.pgf");
            if (window == 0) std::this_thread::sleep_for(20ms);
        }
        if (window != 0) press_key(display, window, XK_q);
        const bool ended = wait_for(viewer, status, 60s);
        if (!ended) {
            kill(viewer, SIGKILL);
            waitpid(viewer, nullptr, 0);
        }
        XCloseDisplay(display);
        ASSERT_NE(window, Window(0)) << "no window; stderr: " << slurp(dir.path / "viewer.err");
        ASSERT_TRUE(ended);
        EXPECT_EQ(status, 0) << slurp(dir.path / "viewer.err");
    }
}
