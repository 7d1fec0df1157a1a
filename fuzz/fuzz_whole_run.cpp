// A whole run on an arbitrary buffer file and report.
//
// Input: byte 0 chooses the answers: bit 0 set answers "y" to the
// all-parameters question, otherwise byte 1 answers the eight quantity
// questions (one bit each) and every plot offer is declined; the rest is split
// at the first 0xFF byte into the buffer file "buf.txt" and the report
// "r.html".  The run takes place in a private directory made once per process
// and emptied before each input.
//
// What must hold: no crash and no sanitizer report; the only way a run may
// end early is a RunFailure, as main() expects it; every file the run wrote
// holds complete lines only, however the run ended.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "celltrend.hpp"
#include "console.hpp"
#include "failure.hpp"
#include "quantities.hpp"

namespace {

namespace fs = std::filesystem;

void check(bool ok) {
    if (!ok) std::abort();
}

// Scratch files go to $TMPDIR when set (run_all.sh points it at a directory it
// removes afterwards), else to memory where the system offers it: the fuzzer
// runs thousands of inputs a second and a disk would make it wait.
std::string scratch_root() {
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') return tmp;
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return fs::temp_directory_path(ec).string();
}

const fs::path& run_dir() {
    static const fs::path dir = [] {
        std::string name = scratch_root() + "/celltrend-fuzz-run-XXXXXX";
        check(mkdtemp(name.data()) != nullptr);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(run_dir(), ec);
        });
        return fs::path(name);
    }();
    return dir;
}

void write_file(const fs::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    check(static_cast<bool>(out));
}

// Names a run could open that are no files of a series: devices that never
// end or wait for input would only stall the fuzzer.
bool names_a_device(std::string_view buffer) {
    for (std::string_view p : {"/dev", "/proc", "/sys"})
        if (buffer.find(p) != std::string_view::npos) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view data(reinterpret_cast<const char*>(bytes) + 2, size - 2);
    const std::size_t sep = data.find('\xff');
    const std::string_view buffer = data.substr(0, sep);
    const std::string_view report = sep == std::string_view::npos ? std::string_view{} : data.substr(sep + 1);
    if (names_a_device(buffer)) return 0;

    std::error_code ec;
    fs::current_path(run_dir(), ec);
    check(!ec);
    for (const auto& entry : fs::directory_iterator(run_dir())) fs::remove_all(entry.path());
    write_file("buf.txt", buffer);
    write_file("r.html", report);

    std::string answers = "buf.txt\n";
    if (bytes[0] & 1) {
        answers += "y\n";
    } else {
        answers += "n\n";
        for (std::size_t q = 0; q < celltrend::quantity_count; ++q) answers += ((bytes[1] >> q) & 1) ? "y\n" : "n\n";
        for (std::size_t q = 0; q < celltrend::quantity_count; ++q) answers += "n\n";  // no viewer
    }
    std::istringstream in(answers);
    std::ostringstream out;
    celltrend::Console console(in, out, false);
    try {
        celltrend::run_celltrend(console);
    } catch (const celltrend::RunFailure&) {
        // An ended run: main shows the text and returns the status.
    }
    for (const auto& entry : fs::directory_iterator(run_dir())) {
        const std::string name = entry.path().filename().string();
        if (name == "buf.txt" || name == "r.html" || !entry.is_regular_file()) continue;
        std::ifstream written(entry.path(), std::ios::binary);
        const std::string content{std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>()};
        check(content.empty() || content.back() == '\n');
    }
    return 0;
}
