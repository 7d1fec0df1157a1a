#include "writers.hpp"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "failure.hpp"
#include "record_format.hpp"

namespace celltrend {

namespace {

const std::string rule_201 = "!" + std::string(200, '-');
const std::string rule_51 = "#" + std::string(50, '-');
constexpr std::string_view x_legend = "Temperature (K)";

constexpr std::string_view plain_titles =
    "!   TK        a(A)      ESD(A)        b(A)      ESD(A)        c(A)      ESD(A)"
    "  alpha(deg)    ESD(deg)   beta(deg)    ESD(deg)  gamma(deg)    ESD(deg)"
    "  volume(A3)     ESD(A3)  mosa.(deg)    ESD(deg) ";
constexpr std::string_view transf_titles =
    "!   TK        a(A)        b(A)        c(A)"
    "  alpha(deg)   beta(deg)  gamma(deg)"
    "  volume(A3)  mosa.(deg)    ESD(deg) ";

bool has_esd_column(std::size_t q, bool transformed) { return !transformed || q == mosaicity; }

// The user's buffer file is never replaced by an output of the run, nor is
// anything an output must not replace (a link, a device, another run's file).
void refuse_to_replace(std::string_view output, const InputFile& buffer) {
    std::error_code ec;
    if (std::filesystem::equivalent(std::filesystem::path(output), std::filesystem::path(buffer.name()), ec))
        throw RunFailure(" !! " + std::string(output) + " is the buffer file " + buffer.name() +
                         ": it is not replaced and no output is written !!");
    refuse_unsafe_output(output);
}

}  // namespace

std::string_view plot_file_name(std::size_t q, bool transformed) {
    return transformed && !quantities[q].transf_plot_file.empty() ? quantities[q].transf_plot_file
                                                                  : quantities[q].plot_file;
}

void open_xy_files(const RunState& state, const InputFile& buffer, Outputs& outputs) {
    const std::string_view table_name = state.transformed ? transf_table_name : plain_table_name;
    if (state.all_parameters) {
        refuse_to_replace(table_name, buffer);
    } else {
        for (std::size_t q = 0; q < quantity_count; ++q)
            if (state.selected[q]) refuse_to_replace(plot_file_name(q, state.transformed), buffer);
    }

    if (state.all_parameters) {
        OutputFile& table = outputs.table;
        table.create(table_name);
        table.write_line("! " + state.title.str());
        table.write_line("! Cell parameters and ESD extracted from nreport_TK.HTML");
        table.write_line("!");
        table.write_line(state.transformed ? transf_titles : plain_titles);
        table.write_line(rule_201);
    }
    for (std::size_t q = 0; q < quantity_count; ++q) {
        if (!state.selected[q]) continue;
        outputs.plots[q].create(plot_file_name(q, state.transformed));
        write_plot_header(outputs.plots[q], q, state.title.view(), state.point_count, state.transformed);
    }
}

void write_plot_header(OutputFile& file, std::size_t q, std::string_view title, int point_count, bool transformed) {
    const bool esd = has_esd_column(q, transformed);
    auto with = [](std::string_view head, std::string_view text) {
        return std::string(head) + std::string(trim_right(text));
    };
    file.write_line(with("# MAIN LEGEND TEXT: ", title));
    file.write_line(with("# X LEGEND TEXT   : ", x_legend));
    file.write_line(with("# Y LEGEND TEXT   : ", quantities[q].y_legend));
    file.write_line(esd ? quantities[q].titles_with_esd : quantities[q].titles_without_esd);
    file.write_line(format_record("(A,I6)", {std::string_view("# NUMBER OF PATTERNS: 1")}));
    file.write_line(rule_51);
    file.write_line("# >>>>>>>> PATTERN #: 1");
    file.write_line(with("#             TITLE : ", quantities[q].pattern_title));
    file.write_line(
        format_record("(A,I8)", {std::string_view("#  NUMBER OF POINTS : "), static_cast<long long>(point_count)}));
    file.write_line("#            MARKER : 1");
    file.write_line("#              SIZE : 2");
    file.write_line(esd ? "#   DATA: X Y SIGY" : "#   DATA: X Y");
}

void fill_pgf(OutputFile& file, bool transformed, float tk, float value, float esd) {
    if (transformed)
        file.write_line(format_record("(F6.2,2F20.5)", {tk, value}));
    else
        file.write_line(format_record("(F6.2,2F20.5)", {tk, value, esd}));
}

void write_table_line(OutputFile& table, bool transformed, const TemperaturePoint& p) {
    const auto& v = p.value;
    const auto& e = p.esd;
    if (transformed) {
        table.write_line(
            format_record("(F6.2,7F12.5,2F12.3)", {p.tk, v[cell_a], v[cell_b], v[cell_c], v[cell_alpha], v[cell_beta],
                                                   v[cell_gamma], v[volume], v[mosaicity], e[mosaicity]}));
    } else {
        table.write_line(format_record("(F6.2,14F12.5,2F12.3)",
                                       {p.tk, v[cell_a], e[cell_a], v[cell_b], e[cell_b], v[cell_c], e[cell_c],
                                        v[cell_alpha], e[cell_alpha], v[cell_beta], e[cell_beta], v[cell_gamma],
                                        e[cell_gamma], v[volume], e[volume], v[mosaicity], e[mosaicity]}));
    }
}

void plot_it(Console& console, std::string_view file_name, Text<16>& answer) {
    console.message({"             . ", file_name, " file has been created: plot it (y/n) ?  "});
    console.answer(answer);
    if (answer != Text<16>("y") && answer != Text<16>("Y")) return;
    const Text<128> command(std::string("xyviewer ") + std::string(trim_right(file_name)));
    console.flush();  // the viewer's own output follows the offer
    const int ignored = std::system(command.str().c_str());
    (void)ignored;  // the viewer's outcome is its own business
}

}  // namespace celltrend
