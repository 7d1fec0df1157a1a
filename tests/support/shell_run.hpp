#pragma once
// A command run by /bin/sh as a user's shell runs it, for the faults that
// come from outside the program: a file-size limit (ulimit -f), a pipeline
// whose reader has gone.  SIGPIPE and SIGXFSZ are put back to their defaults
// in the child, so that the program meets them as it would from a terminal,
// whatever the test runner inherited; a program killed by a signal gives
// 128 + its number, as the shell reports it.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace celltrend::testing {

struct ShellResult {
    int status = -1;
    std::string out;  // empty when standard output was the closed pipe
    std::string err;
};

enum class StandardOutput { file, closed_pipe };

// Runs `command` in `dir`, `input` on its standard input.  With
// closed_pipe, standard output is a pipe whose reading end is closed before
// the command starts, the end of "command | head -c 0" without its race.
inline ShellResult run_shell(const std::filesystem::path& dir, const std::string& command,
                             const std::string& input = "", StandardOutput out = StandardOutput::file) {
    const auto in_path = dir / ".shell-in", out_path = dir / ".shell-out", err_path = dir / ".shell-err";
    std::ofstream(in_path, std::ios::binary) << input;
    int pipe_ends[2] = {-1, -1};
    if (out == StandardOutput::closed_pipe) {
        if (::pipe(pipe_ends) != 0) return {};
        ::close(pipe_ends[0]);
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        std::signal(SIGXFSZ, SIG_DFL);
        const int in_fd = ::open(in_path.c_str(), O_RDONLY);
        const int out_fd = out == StandardOutput::closed_pipe
                               ? pipe_ends[1]
                               : ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0 || ::chdir(dir.c_str()) != 0) ::_exit(126);
        ::dup2(in_fd, 0);
        ::dup2(out_fd, 1);
        ::dup2(err_fd, 2);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (out == StandardOutput::closed_pipe) ::close(pipe_ends[1]);
    ShellResult r;
    int raw = 0;
    if (pid < 0 || ::waitpid(pid, &raw, 0) != pid) return r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    auto slurp = [](const std::filesystem::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    };
    if (out == StandardOutput::file) r.out = slurp(out_path);
    r.err = slurp(err_path);
    std::filesystem::remove(in_path);
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return r;
}

// "'PATH'" for a command line.
inline std::string quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace celltrend::testing
