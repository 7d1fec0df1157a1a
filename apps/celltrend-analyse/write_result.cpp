#include "write_result.hpp"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/output_file.hpp"

namespace celltrend_analyse {

namespace {

bool fail(std::string_view program, const std::string& what) {
    std::cerr << program << ": " << what << "\n";
    return false;
}

}  // namespace

bool write_result(std::string_view text, const std::string& path, const std::string& input, std::string_view program) {
    if (!path.empty() && path != "-") {
        // Standard input redirected from the output file is the input too.
        const std::string read_from = input == "-" ? "/dev/stdin" : input;
        if (!read_from.empty() && cli::same_file(read_from, path))
            return fail(program, path + ": is the input file; nothing written");
        try {
            cli::write_output(path, text);
        } catch (const cli::OutputError& e) {
            return fail(program, e.what());
        }
        return true;
    }
    errno = 0;
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (!std::cout)
        return fail(program,
                    std::string("cannot write to standard output: ") + std::strerror(errno != 0 ? errno : EIO));
    return true;
}

}  // namespace celltrend_analyse
