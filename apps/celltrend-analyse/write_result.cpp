#include "write_result.hpp"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/output_file.hpp"
#include "input_error.hpp"

namespace celltrend_analyse {

void write_result(std::string_view text, const std::string& path, const std::string& input) {
    if (!path.empty() && path != "-") {
        // Standard input redirected from the output file is the input too.
        const std::string read_from = input == "-" ? "/dev/stdin" : input;
        if (!read_from.empty() && cli::same_file(read_from, path))
            throw InputError(path + ": is the input file; nothing written");
        try {
            cli::write_output(path, text);
        } catch (const cli::OutputError& e) {
            throw InputError(e.what());
        }
        return;
    }
    errno = 0;
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (!std::cout)
        throw InputError(std::string("cannot write to standard output: ") + std::strerror(errno != 0 ? errno : EIO));
}

}  // namespace celltrend_analyse
