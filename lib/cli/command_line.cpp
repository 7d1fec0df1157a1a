#include "cli/command_line.hpp"

namespace cli {

std::optional<std::string> CommandLine::value(std::string_view name) const {
    const auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

CommandLine parse_command_line(const std::vector<std::string>& args, std::span<const OptionSpec> specs) {
    CommandLine out;
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || arg == "-" || !arg.starts_with('-')) {
            out.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        const OptionSpec* option = nullptr;
        std::optional<std::string> attached;  // the value written into the same argument
        std::string shown;                    // the option as the user wrote it
        if (arg.starts_with("--")) {
            const auto eq = arg.find('=');
            const std::string_view name =
                std::string_view(arg).substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            shown = "--" + std::string(name);
            for (const OptionSpec& s : specs)
                if (s.long_name == name) option = &s;
            if (option != nullptr && eq != std::string::npos) attached = arg.substr(eq + 1);
        } else {
            shown = arg.substr(0, 2);
            for (const OptionSpec& s : specs)
                if (s.short_name != 0 && s.short_name == arg[1]) option = &s;
            if (option != nullptr && arg.size() > 2) attached = arg.substr(2);
        }
        if (option == nullptr) throw UsageError("unknown option '" + shown + "'");
        std::string& slot = out.options[std::string(option->long_name)];
        if (!option->takes_value) {
            if (attached) throw UsageError("option '" + shown + "' takes no value");
            slot.clear();
        } else if (attached) {
            slot = *attached;
        } else if (i + 1 < args.size()) {
            slot = args[++i];
        } else {
            throw UsageError("option '" + shown + "' needs a value");
        }
        // No option takes an empty value; -o "$UNSET" must not mean standard
        // output.
        if (option->takes_value && slot.empty()) throw UsageError("option '" + shown + "' needs a value");
        if (!option->allowed.empty()) {
            bool known = false;
            std::string words;
            for (std::size_t k = 0; k < option->allowed.size(); ++k) {
                known = known || option->allowed[k] == slot;
                words += (k == 0                            ? ""
                          : k + 1 == option->allowed.size() ? " or "
                                                            : ", ") +
                         std::string(option->allowed[k]);
            }
            if (!known) throw UsageError("--" + std::string(option->long_name) + " '" + slot + "': " + words);
        }
    }
    return out;
}

}  // namespace cli
