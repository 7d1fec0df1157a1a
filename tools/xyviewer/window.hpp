#pragma once
// A plain X window showing a picture drawn by the caller, redrawn at the new
// size when the window is resized.  It closes from the window manager, or
// with q or Enter; mouse clicks do nothing, so that a click meant to raise
// the window cannot close it.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace xyviewer {

struct WindowError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Red, green and blue bytes, row by row, for a picture of width x height.
using DrawPixels = std::function<std::vector<unsigned char>(int width, int height)>;

// Empty when the display named by DISPLAY opens; else why not, naming the
// display that was tried.
std::string why_display_fails();

// Shows the picture and returns when the user has closed the window.
void show_window(const std::string& title, int width, int height, const DrawPixels& draw);

}  // namespace xyviewer
