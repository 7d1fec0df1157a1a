#include "subcommand.hpp"

#include <iostream>

#include "formats/temperature_order.hpp"

namespace celltrend_analyse {

std::optional<CommandLine> start(const Subcommand& sub, const Arguments& args) {
    CommandLine cl = parse_command_line(args, sub.options);
    if (cl.has("help")) {
        sub.help(std::cout);
        if (!std::cout.flush()) throw InputError("standard output: write error");
        return std::nullopt;
    }
    if (cl.operands.size() != 1) throw UsageError(cl.operands.empty() ? "no table named" : "one table at a time");
    return cl;
}

formats::Series read_table(const Subcommand& sub, const std::string& file, formats::SeriesVariable variable) {
    try {
        formats::Series series = file == "-" ? formats::read_series(std::cin, "(standard input)", variable)
                                             : formats::read_series(file, variable);
        for (const std::string& note : series.notes)
            std::cerr << "celltrend-analyse " << sub.name << ": " << note << "\n";
        return series;
    } catch (const formats::SeriesError& e) {
        throw InputError(e.what());
    }
}

void order_rows(const Subcommand& sub, formats::Series& series, bool keep_file_order) {
    for (const std::string& note :
         formats::order_notes(formats::temperature_order(series), !keep_file_order, series.variable))
        std::cerr << "celltrend-analyse " << sub.name << ": " << series.name << ": note: " << note << "\n";
    if (!keep_file_order) formats::sort_by_temperature(series);
}

}  // namespace celltrend_analyse
