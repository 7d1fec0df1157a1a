#include "figures/plplot_output.hpp"

#include <errno.h>  // program_invocation_short_name

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace figures {

namespace {

constexpr double points_per_mm = 72 / 25.4;

const char* device_name(Format format) {
    switch (format) {
        case Format::png:
            return "pngcairo";
        case Format::svg:
            return "svg";
        case Format::pdf:
            return "pdfcairo";
    }
    return "pngcairo";
}

// A stdio stream that collects what PLplot writes; PLplot closes it itself.
struct Sink {
    std::string bytes;
    bool closed = false;
    bool failed = false;
};

ssize_t sink_write(void* cookie, const char* data, size_t size) {
    auto* sink = static_cast<Sink*>(cookie);
    try {
        sink->bytes.append(data, size);
    } catch (const std::bad_alloc&) {
        sink->failed = true;
        return -1;
    }
    return ssize_t(size);
}

int sink_close(void* cookie) {
    static_cast<Sink*>(cookie)->closed = true;
    return 0;
}

// PLplot's errors come to these handlers instead of its own lines on
// standard error.  An abort leaves the drawing without what failed: the
// drawing is then refused, never a blank picture passed on as written.  An
// exit would end the program inside PLplot: one message, status 1, and
// nothing has been written yet, since the bytes are written only after the
// drawing.
thread_local std::string plplot_abort;

void on_plplot_abort(PLCHAR_VECTOR message) {
    if (plplot_abort.empty()) plplot_abort = message != nullptr && *message != '\0' ? message : "drawing aborted";
}

int on_plplot_exit(PLCHAR_VECTOR message) {
    std::fprintf(stderr, "%s: PLplot stopped the drawing: %s; nothing written\n", program_invocation_short_name,
                 message != nullptr ? message : "");
    std::fflush(stderr);
    std::_Exit(1);
}

// Installs the handlers for one drawing.
void catch_plplot_errors() {
    plplot_abort.clear();
    plsabort(on_plplot_abort);
    plsexit(on_plplot_exit);
}

// Where a stream puts its abort messages instead of standard error: they
// are the handler's to report, once.
struct QuietErrors {
    PLINT code = 0;
    char message[1024] = {};
    explicit QuietErrors(plstream& pls) { pls.sError(&code, message); }
};

void throw_plplot_abort() {
    if (!plplot_abort.empty()) throw PlotError("PLplot could not draw the plot: " + plplot_abort);
}

}  // namespace

int Page::width_px() const { return std::max(16, int(std::lround(width_mm / 25.4 * dpi))); }
int Page::height_px() const { return std::max(16, int(std::lround(height_mm / 25.4 * dpi))); }

std::optional<Format> format_of(std::string_view path) {
    const auto ends_with = [&](std::string_view tail) {
        if (path.size() < tail.size()) return false;
        for (std::size_t i = 0; i < tail.size(); ++i) {
            char c = path[path.size() - tail.size() + i];
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
            if (c != tail[i]) return false;
        }
        return true;
    };
    if (ends_with(".png")) return Format::png;
    if (ends_with(".svg")) return Format::svg;
    if (ends_with(".pdf")) return Format::pdf;
    return std::nullopt;
}

bool plplot_has_device(const char* name) {
    // plgDevs fills arrays of the caller's, up to the size given in n.
    std::vector<const char*> menu(256), devices(256);
    int n = int(devices.size());
    const char** menu_data = menu.data();
    const char** device_data = devices.data();
    plgDevs(&menu_data, &device_data, &n);
    for (int i = 0; i < n && i < int(devices.size()); ++i)
        if (devices[i] != nullptr && std::strcmp(devices[i], name) == 0) return true;
    return false;
}

std::string draw_file(Format format, const Page& page, const DrawOnStream& draw) {
    const char* device = device_name(format);
    if (!plplot_has_device(device))
        throw PlotError(std::string("PLplot has no \"") + device + "\" device; install its driver package");
    Sink sink;
    const cookie_io_functions_t io{nullptr, sink_write, nullptr, sink_close};
    std::FILE* stream = fopencookie(&sink, "w", io);
    if (stream == nullptr) throw PlotError("cannot set up the drawing: out of memory");
    Device d;
    d.real_width_mm = page.width_mm;
    d.real_height_mm = page.height_mm;
    catch_plplot_errors();
    {
        plstream pls;
        const QuietErrors quiet(pls);
        pls.sdev(device);
        pls.sfile(stream);
        if (format == Format::png) {
            pls.spage(page.dpi, page.dpi, page.width_px(), page.height_px(), 0, 0);
            d.width_units_per_mm = page.dpi / 25.4;  // cairo's line widths are pixels
        } else {  // vector pages are measured in points, and so are their line widths
            pls.spage(72, 72, PLINT(std::lround(page.width_mm * points_per_mm)),
                      PLINT(std::lround(page.height_mm * points_per_mm)), 0, 0);
            d.width_units_per_mm = points_per_mm;
        }
        draw(pls, d);
    }  // the destructor ends the page and closes the stream
    if (!sink.closed) std::fclose(stream);
    throw_plplot_abort();
    if (sink.failed || sink.bytes.empty()) throw PlotError("PLplot produced no output");
    return std::move(sink.bytes);
}

std::vector<unsigned char> draw_pixels(const Page& page, const DrawOnStream& draw) {
    const int w = page.width_px(), h = page.height_px();
    std::vector<unsigned char> rgb(std::size_t(w) * std::size_t(h) * 3, 255);  // the device draws on what is there
    Device d;
    d.real_width_mm = page.width_mm;
    d.real_height_mm = page.height_mm;
    d.width_units_per_mm = page.dpi / 25.4;
    catch_plplot_errors();
    {
        plstream pls;
        const QuietErrors quiet(pls);
        pls.sdev(plplot_has_device("memcairo") ? "memcairo" : "mem");
        pls.spage(page.dpi, page.dpi, 0, 0, 0, 0);
        pls.smem(w, h, rgb.data());
        draw(pls, d);
    }
    throw_plplot_abort();
    return rgb;
}

}  // namespace figures
