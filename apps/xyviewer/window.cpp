#include "window.hpp"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace xyviewer {

namespace {

constexpr std::chrono::seconds display_time_limit{5};

int shift_of(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) mask >>= 1, ++shift;
    return shift;
}

int bits_of(unsigned long mask) {
    int bits = 0;
    for (; mask != 0; mask >>= 1) bits += int(mask & 1);
    return bits;
}

// One colour channel into the visual's field for it.
unsigned long channel(unsigned char value, unsigned long mask) {
    const int bits = bits_of(mask);
    const unsigned long scaled = bits >= 8 ? (unsigned long)value << (bits - 8) : (unsigned long)value >> (8 - bits);
    return (scaled << shift_of(mask)) & mask;
}

class Picture {
public:
    Picture(Display* display, Visual* visual, int depth) : display_(display), visual_(visual), depth_(depth) {}
    ~Picture() { release(); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    void set(const std::vector<unsigned char>& rgb, int width, int height) {
        release();
        image_ = XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0, nullptr, unsigned(width),
                              unsigned(height), 32, 0);
        if (image_ == nullptr) throw WindowError("cannot make an image of the plot for the display");
        pixels_.assign(std::size_t(image_->bytes_per_line) * std::size_t(height), 0);
        image_->data = pixels_.data();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
                XPutPixel(image_, x, y,
                          channel(p[0], visual_->red_mask) | channel(p[1], visual_->green_mask) |
                              channel(p[2], visual_->blue_mask));
            }
    }
    void show(Window window, GC gc) const {
        if (image_ != nullptr)
            XPutImage(display_, window, gc, image_, 0, 0, 0, 0, unsigned(image_->width), unsigned(image_->height));
    }

private:
    void release() {
        if (image_ == nullptr) return;
        image_->data = nullptr;  // ours, in pixels_
        XDestroyImage(image_);
        image_ = nullptr;
    }
    Display* display_;
    Visual* visual_;
    int depth_;
    XImage* image_ = nullptr;
    std::vector<char> pixels_;
};

bool closes(XKeyEvent& key) {
    const KeySym sym = XLookupKeysym(&key, 0);
    return sym == XK_q || sym == XK_Q || sym == XK_Return || sym == XK_KP_Enter;
}

}  // namespace

Display* open_display(std::string& why) {
    const char* name = XDisplayName(nullptr);
    if (name == nullptr || *name == '\0') {
        why = "no display: DISPLAY is not set";
        return nullptr;
    }
    // A display that accepts the connection and never answers (a stale ssh
    // forwarding, a stopped server) would hold XOpenDisplay for ever: it is
    // tried on a thread of its own and given up after a few seconds, the
    // thread left to end with the program.
    struct Attempt {
        std::mutex mutex;
        std::condition_variable done_cv;
        bool done = false;
        bool abandoned = false;
        Display* display = nullptr;
    };
    const auto attempt = std::make_shared<Attempt>();
    try {
        std::thread([attempt] {
            Display* opened = XOpenDisplay(nullptr);
            const std::lock_guard<std::mutex> lock(attempt->mutex);
            if (attempt->abandoned) {
                if (opened != nullptr) XCloseDisplay(opened);
                return;
            }
            attempt->display = opened;
            attempt->done = true;
            attempt->done_cv.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        why = std::string("cannot open display \"") + name + "\": no thread to wait on it";
        return nullptr;
    }
    std::unique_lock<std::mutex> lock(attempt->mutex);
    if (!attempt->done_cv.wait_for(lock, display_time_limit, [&] { return attempt->done; })) {
        attempt->abandoned = true;
        why = std::string("display \"") + name + "\" did not answer within " +
              std::to_string(display_time_limit.count()) + " seconds";
        return nullptr;
    }
    if (attempt->display == nullptr) why = std::string("cannot open display \"") + name + "\"";
    return attempt->display;
}

void show_window(Display* display, const std::string& title, int width, int height, const DrawPixels& draw) {
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    if (visual->c_class != TrueColor) {
        XCloseDisplay(display);
        throw WindowError("the display has no true-colour visual to show the plot on");
    }
    // Several panels at their default size may be larger than the screen.
    width = std::min(width, DisplayWidth(display, screen) * 19 / 20);
    height = std::min(height, DisplayHeight(display, screen) * 9 / 10);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, unsigned(width), unsigned(height), 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
    XClassHint class_hint{const_cast<char*>("xyviewer"), const_cast<char*>("Xyviewer")};
    XSetClassHint(display, window, &class_hint);
    Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &delete_window, 1);
    // No button masks: clicks are not ours to act on.
    XSelectInput(display, window, ExposureMask | KeyPressMask | StructureNotifyMask);
    GC gc = XCreateGC(display, window, 0, nullptr);

    Picture picture(display, visual, DefaultDepth(display, screen));
    int drawn_width = 0, drawn_height = 0;
    XMapWindow(display, window);
    bool open = true;
    while (open) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case ConfigureNotify:
                if (event.xconfigure.width != width || event.xconfigure.height != height) {
                    width = event.xconfigure.width;
                    height = event.xconfigure.height;
                    XClearArea(display, window, 0, 0, 0, 0, True);  // an Expose, shrinking too
                }
                break;
            case Expose:
                if (event.xexpose.count != 0) break;
                if (width != drawn_width || height != drawn_height) {
                    picture.set(draw(width, height), width, height);
                    drawn_width = width;
                    drawn_height = height;
                }
                picture.show(window, gc);
                break;
            case KeyPress:
                if (closes(event.xkey)) open = false;
                break;
            case ClientMessage:
                if (Atom(event.xclient.data.l[0]) == delete_window) open = false;
                break;
            default:
                break;
        }
    }
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

}  // namespace xyviewer
