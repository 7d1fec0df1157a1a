#pragma once
// End-to-end test support: a scratch directory in which the real celltrend
// runs through pipes, with what it printed, its exit status and its files.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

namespace celltrend::testing {

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;
};

class RunDir {
public:
    RunDir() {
        std::random_device rd;
        dir_ =
            std::filesystem::temp_directory_path() / ("celltrend-e2e-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
    }
    ~RunDir() {
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    RunDir(const RunDir&) = delete;
    RunDir& operator=(const RunDir&) = delete;

    const std::filesystem::path& path() const { return dir_; }

    void write(const std::string& name, const std::string& content) const {
        std::filesystem::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name, std::ios::binary) << content;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

#ifdef CELLTREND_EXE  // the end-to-end tests, which run the programs
    // Runs celltrend in the directory with `input` as its standard input.
    // `env` is put before the command (e.g. "PATH=/x:$PATH").
    RunResult run(const std::string& input, const std::string& env = "", const std::string& args = "") const {
        return run_program(CELLTREND_EXE, input, env, args);
    }

    // As run, but never as root, so that permissions hold: when the tests run
    // as root (as CI does), the directory is handed to the unprivileged user
    // `nobody` (uid and gid 65534), celltrend is copied into it, and it runs
    // under setpriv.  The redirections are still opened by the caller's shell.
    RunResult run_unprivileged(const std::string& input) const {
        if (::geteuid() != 0) return run(input);
        const std::filesystem::path exe = dir_ / ".celltrend";
        std::filesystem::copy_file(CELLTREND_EXE, exe, std::filesystem::copy_options::overwrite_existing);
        if (::lchown(dir_.c_str(), nobody, nobody) != 0) return {};
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_))
            if (::lchown(entry.path().c_str(), nobody, nobody) != 0) return {};
        return run_program(exe.string(), input, "setpriv --reuid=65534 --regid=65534 --clear-groups");
    }
#endif

private:
    static constexpr unsigned nobody = 65534;

#ifdef CELLTREND_EXE
    RunResult run_program(const std::string& exe, const std::string& input, const std::string& env,
                          const std::string& args = "") const {
        write(".stdin", input);
        const std::string cmd =
            "cd '" + dir_.string() + "' && " + env + " '" + exe + "' " + args + " < .stdin > .stdout 2> .stderr";
        const int raw = std::system(cmd.c_str());
        RunResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = read(".stdout");
        r.err = read(".stderr");
        return r;
    }
#endif

    std::filesystem::path dir_;
};

// What the console shows up to the buffer-file prompt.
inline std::string banner() {
    const std::string rule = " " + std::string(58, '-');
    return rule +
           "\n     . Read nreport.HTML files                             "
           "\n     . Extract: . cell parameters                          "
           "\n                . volume                                   "
           "\n                . mosaicity                                "
           "\n" +
           std::string(59, ' ') + "\n" + rule;
}
inline const std::string buffer_prompt = "\n \n  > Enter buffer file        : ";
inline const std::string all_question = "\n \n  >> Extract all the parameters (y/n) ?   ";

// One results-table row of a report, as the data-collection program writes it.
inline std::string row(const std::string& label, const std::string& cell) {
    return "<TR><TH ALIGN='LEFT'>" + label + "</TH><TD>" + cell + "</TD></TR>\n";
}

// Every length and every ESD differs from the others, so that a swap of two
// of them shows in any output that holds both.
struct ReportValues {
    std::string a = "7.5", b = "10.25", c = "12.75", alpha = "90", beta = "101.5", gamma = "90";
    std::string volume = "960.5", mosaicity = "0.45";
    std::string esd_a = "0.0002", esd_b = "0.0003", esd_c = "0.0004";
    std::string esd_alpha = "0.002", esd_beta = "0.003", esd_gamma = "0.004";
    std::string esd_vol = "0.05", esd_mos = "0.01";
};

// Right angles and three different lengths: 4 x 5 x 8, a volume of 160 that
// a transformation gives exactly.
inline ReportValues orthorhombic() {
    ReportValues v;
    v.a = "4";
    v.b = "5";
    v.c = "8";
    v.beta = "90";
    return v;
}

inline std::string report(const ReportValues& v = {}) {
    return "<HTML><HEAD><TITLE>Data collection report</TITLE></HEAD><BODY>\n"
           "<TABLE BORDER=1>\n" +
           row("a (Angstrom)", v.a + " +/- " + v.esd_a) + row("b (Angstrom)", v.b + " +/- " + v.esd_b) +
           row("c (Angstrom)", v.c + " +/- " + v.esd_c) + row("alpha (&deg;)", v.alpha + " +/- " + v.esd_alpha) +
           row("beta (&deg;)", v.beta + " +/- " + v.esd_beta) + row("gamma (&deg;)", v.gamma + " +/- " + v.esd_gamma) +
           row("Volume (A**3)", v.volume + " +/- " + v.esd_vol) +
           row("Mosaicity (&deg;)", v.mosaicity + " +/- " + v.esd_mos) + "</TABLE>\n</BODY></HTML>\n";
}

}  // namespace celltrend::testing
