#pragma once
// A plain X window showing a picture drawn by the caller, redrawn at the new
// size when the window is resized.  It closes from the window manager, or
// with q or Enter; mouse clicks do nothing, so that a click meant to raise
// the window cannot close it.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct _XDisplay;  // Xlib's Display

namespace xyviewer {

struct WindowError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Red, green and blue bytes, row by row, for a picture of width x height.
using DrawPixels = std::function<std::vector<unsigned char>(int width, int height)>;

// The display named by DISPLAY, opened; nullptr when it does not open or
// does not answer within five seconds, with `why` naming the display that
// was tried.  The connection is kept for
// show_window: a server with no other client (a bare Xvfb) resets when its
// last connection closes, and would refuse a second one meanwhile.
_XDisplay* open_display(std::string& why);

// Shows the picture on `display`, which it closes, and returns when the
// user has closed the window.
void show_window(_XDisplay* display, const std::string& title, int width, int height, const DrawPixels& draw);

}  // namespace xyviewer
