// The report scanner on arbitrary report bytes.
//
// Input: byte 0 the quantities wanted (one bit each), byte 1, when its top bit
// is set, how many times the rest is repeated to make the report (1..48, so
// that lines also run across the scanner's 64 KiB read buffer), the rest the report's bytes.
//
// What must hold: no crash; for each wanted quantity the scanner finds the
// same line as a plain reading of the report (lines end at LF, a CR before it
// or at the end of the file is dropped, a line counts by its first 256
// characters); find_in_report, for all eight quantities, never
// touches the value and ESD of a quantity whose row was not found.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "console.hpp"
#include "quantities.hpp"
#include "report_scanner.hpp"
#include "text_files.hpp"

namespace {

using namespace celltrend;

void check(bool ok) {
    if (!ok) std::abort();
}

// Scratch files go to $TMPDIR when set (run_all.sh points it at a directory it
// removes afterwards), else to memory where the system offers it: the fuzzer
// runs thousands of inputs a second and a disk would make it wait.
std::string scratch_root() {
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') return tmp;
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return std::filesystem::temp_directory_path(ec).string();
}

// One private file for the whole process.
const std::string& report_path() {
    static const std::string path = [] {
        std::string name = scratch_root() + "/celltrend-fuzz-report-XXXXXX";
        const int fd = mkstemp(name.data());
        check(fd >= 0);
        close(fd);
        std::atexit([] { std::remove(report_path().c_str()); });
        return name;
    }();
    return path;
}

// What the scanner should find: the first line, cut to 256 characters, that
// holds the row label of each wanted quantity.
ScannedReport reference(std::string_view report, const std::array<bool, quantity_count>& wanted) {
    ScannedReport r;
    std::size_t pos = 0;
    while (pos < report.size()) {
        const std::size_t nl = report.find('\n', pos);
        std::string_view line = report.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? report.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = line.substr(0, 256);
        for (std::size_t q = 0; q < quantity_count; ++q) {
            if (!wanted[q] || r.found[q] || line.find(quantities[q].row_label) == std::string_view::npos) continue;
            r.found[q] = true;
            r.line[q].assign(line);
        }
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    std::array<bool, quantity_count> wanted{};
    for (std::size_t q = 0; q < quantity_count; ++q) wanted[q] = (bytes[0] >> q) & 1;
    const int repeat = (bytes[1] & 0x80) != 0 ? 1 + (bytes[1] & 0x7f) % 48 : 1;
    const std::string_view piece(reinterpret_cast<const char*>(bytes) + 2, size - 2);
    std::string content;
    content.reserve(piece.size() * static_cast<std::size_t>(repeat));
    for (int i = 0; i < repeat; ++i) content.append(piece);

    {
        std::FILE* f = std::fopen(report_path().c_str(), "wb");
        check(f != nullptr);
        check(std::fwrite(content.data(), 1, content.size(), f) == content.size());
        check(std::fclose(f) == 0);
    }

    InputFile report;
    std::string why;
    check(report.open(report_path(), why));
    ScannedReport scanned = scan_report(report, wanted);
    const ScannedReport expected = reference(content, wanted);
    for (std::size_t q = 0; q < quantity_count; ++q) {
        check(scanned.found[q] == expected.found[q]);
        check(scanned.line[q] == expected.line[q]);
    }

    std::istringstream in;
    std::ostringstream out, notices;
    Console console(in, out, false, notices);
    constexpr float untouched = -7.25f;
    for (std::size_t q = 0; q < quantity_count; ++q) {
        float value = untouched, esd = untouched;
        find_in_report(console, scanned, 123.5f, q, value, esd);
        if (!scanned.found[q]) check(value == untouched && esd == untouched);
    }
    return 0;
}
