#include "batch.hpp"

namespace celltrend {

namespace {

// The short name of each quantity on the command line, in the dialogue's order.
constexpr std::array<std::string_view, quantity_count> short_names{"a",    "b",     "c",      "alpha",
                                                                   "beta", "gamma", "volume", "mosaicity"};

Invocation wrong(std::string why) {
    Invocation run;
    run.kind = Invocation::wrong;
    run.why = std::move(why);
    return run;
}

bool select(std::string_view list, std::array<bool, quantity_count>& selected, std::string& why) {
    while (true) {
        const auto comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        std::size_t q = 0;
        while (q < quantity_count && short_names[q] != name && quantities[q].key != name) ++q;
        if (name == "V") q = volume;  // as xyviewer --column names it
        if (q == quantity_count) {
            why = "--quantities: unknown quantity '" + std::string(name) +
                  "' (a, b, c, alpha, beta, gamma, volume or V, mosaicity)";
            return false;
        }
        selected[q] = true;
        if (comma == std::string_view::npos) return true;
        list.remove_prefix(comma + 1);
    }
}

}  // namespace

Invocation read_invocation(const std::vector<std::string_view>& args) {
    Invocation run;
    if (args.empty()) return run;
    if (args.size() == 1 && args[0] == "--help") return run.kind = Invocation::help, run;
    if (args.size() == 1 && args[0] == "--version") return run.kind = Invocation::version, run;
    bool buffer = false, quantities_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::string_view value;
        bool has_value = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            has_value = true;
        }
        const bool takes_value = arg == "--buffer" || arg == "--quantities";
        if (takes_value && !has_value) {
            if (i + 1 == args.size()) return wrong("option '" + std::string(arg) + "' needs a value");
            value = args[++i];
        } else if (!takes_value && has_value) {
            return wrong("option '" + std::string(arg) + "' takes no value");
        }
        if (takes_value && value.empty()) return wrong("option '" + std::string(arg) + "' needs a value");
        if (arg == "--buffer") {
            // The answer is one line, as typed at the prompt.
            if (value.find_first_of("\r\n") != std::string_view::npos)
                return wrong("--buffer: the name of a file on one line");
            run.buffer = std::string(value);
            buffer = true;
        } else if (arg == "--quantities") {
            if (!select(value, run.selected, run.why)) return wrong(run.why);
            quantities_given = true;
        } else if (arg == "--all") {
            run.all_parameters = true;
        } else if (arg == "--plot") {
            run.plot = true;
        } else if (arg == "--help" || arg == "--version") {
            return wrong("option '" + std::string(arg) + "' stands alone");
        } else {
            return wrong("unknown argument '" + std::string(args[i]) + "'");
        }
    }
    if (!buffer) return wrong("--all, --quantities and --plot go with --buffer FILE");
    if (run.all_parameters == quantities_given) return wrong("--buffer needs either --all or --quantities LIST");
    if (run.plot && run.all_parameters) return wrong("--plot goes with --quantities: the table is not plotted");
    run.kind = Invocation::batch;
    return run;
}

std::string scripted_answers(const Invocation& run) {
    // Quoted, a quote doubled: blanks, commas and slashes stay in the name.
    std::string answers = "\"";
    for (char c : run.buffer) answers += c == '"' ? std::string("\"\"") : std::string(1, c);
    answers += "\"\n";
    answers += run.all_parameters ? "y\n" : "n\n";
    if (run.all_parameters) return answers;
    for (bool s : run.selected) answers += s ? "y\n" : "n\n";
    for (bool s : run.selected)
        if (s) answers += run.plot ? "y\n" : "n\n";
    return answers;
}

}  // namespace celltrend
