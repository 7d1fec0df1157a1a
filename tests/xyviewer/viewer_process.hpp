#pragma once
// Running the built xyviewer (or Xvfb) as a child process with a chosen
// environment, its output caught in files.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace xyviewer_test {

namespace fs = std::filesystem;

// Environment changes: a value sets the variable, nullopt removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

inline std::vector<std::string> environment_with(const EnvChanges& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (!changes.count(name)) env.push_back(entry);
    }
    for (const auto& [name, value] : changes)
        if (value) env.push_back(name + "=" + *value);
    return env;
}

// Starts `args` in `dir` with stdout and stderr to the given files.
inline pid_t spawn(const std::vector<std::string>& args, const EnvChanges& changes, const fs::path& dir,
                   const fs::path& out, const fs::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::vector<std::string> env = environment_with(changes);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Waits for the child; false if it has not ended within `limit`.
inline bool wait_for(pid_t pid, int& status, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (true) {
        int raw = 0;
        const pid_t r = waitpid(pid, &raw, WNOHANG);
        if (r == pid) {
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            return true;
        }
        if (r < 0 || std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

struct ViewerRun {
    int status = -1;
    std::string out, err;
};

inline ViewerRun run_viewer(const std::vector<std::string>& args, const fs::path& dir, const EnvChanges& changes = {}) {
    std::vector<std::string> full{XYVIEWER_EXE};
    full.insert(full.end(), args.begin(), args.end());
    const pid_t pid = spawn(full, changes, dir, dir / "viewer.out", dir / "viewer.err");
    ViewerRun run;
    if (pid < 0) return run;
    if (!wait_for(pid, run.status, std::chrono::minutes(2))) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        run.status = -2;
    }
    run.out = slurp(dir / "viewer.out");
    run.err = slurp(dir / "viewer.err");
    return run;
}

// A fresh directory for one test, removed with it.
struct ScratchDir {
    fs::path path;
    ScratchDir() {
        path = fs::temp_directory_path() /
               ("xyviewer_test_" + std::to_string(getpid()) + "_" + std::to_string(counter()++));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    static int& counter() {
        static int n = 0;
        return n;
    }
};

// What a run without any display sees: drawing to a file never needs one.
inline const EnvChanges no_display{{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}};

#ifdef CELLTREND_SOURCE_DIR
// One of celltrend's golden outputs (tests/celltrend/golden/RUN/NAME) copied
// into the test's directory.
inline void copy_golden(const ScratchDir& dir, const char* run, const char* name) {
    fs::copy_file(fs::path(CELLTREND_SOURCE_DIR) / "tests/celltrend/golden" / run / name, dir.path / name,
                  fs::copy_options::overwrite_existing);
}
#endif

}  // namespace xyviewer_test
