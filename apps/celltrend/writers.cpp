#include "writers.hpp"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "failure.hpp"
#include "formats/layouts.hpp"
#include "record_format.hpp"

namespace celltrend {

namespace {

const std::string table_rule = std::string(layout::table_comment) + std::string(layout::table_rule_length, '-');
const std::string pattern_rule = "#" + std::string(layout::pattern_rule_length, '-');

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
        const std::string comment(layout::table_comment);
        table.write_line(comment + " " + state.title.str());
        table.write_line(comment + " " + std::string(layout::table_description));
        table.write_line(comment);
        table.write_line(state.transformed ? layout::transformed_titles : layout::plain_titles);
        table.write_line(table_rule);
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
    file.write_line(with(layout::main_legend_line, title));
    file.write_line(with(layout::x_legend_line, layout::temperature_legend));
    file.write_line(with(layout::y_legend_line, quantities[q].y_legend));
    file.write_line(esd ? quantities[q].titles_with_esd : quantities[q].titles_without_esd);
    // The count is part of the text: the I6 of the format is never reached.
    file.write_line(format_record("(A,I6)", {std::string(layout::pattern_count_line) + "1"}));
    file.write_line(pattern_rule);
    file.write_line(std::string(layout::pattern_line) + "1");
    file.write_line(with(layout::pattern_title_line, quantities[q].pattern_title));
    file.write_line(format_record("(A,I8)", {layout::point_count_line, static_cast<long long>(point_count)}));
    file.write_line(std::string(layout::marker_line) + "1");
    file.write_line(std::string(layout::size_line) + "2");
    file.write_line(esd ? layout::data_line_xy_sigy : layout::data_line_xy);
}

void fill_pgf(OutputFile& file, bool transformed, float tk, float value, float esd) {
    if (transformed)
        file.write_line(format_record(layout::plot_row_format, {tk, value}));
    else
        file.write_line(format_record(layout::plot_row_format, {tk, value, esd}));
}

void write_table_line(OutputFile& table, bool transformed, const TemperaturePoint& p) {
    const auto& v = p.value;
    const auto& e = p.esd;
    if (transformed) {
        table.write_line(format_record(layout::transformed_row_format,
                                       {p.tk, v[cell_a], v[cell_b], v[cell_c], v[cell_alpha], v[cell_beta],
                                        v[cell_gamma], v[volume], v[mosaicity], e[mosaicity]}));
    } else {
        table.write_line(format_record(layout::plain_row_format,
                                       {p.tk, v[cell_a], e[cell_a], v[cell_b], e[cell_b], v[cell_c], e[cell_c],
                                        v[cell_alpha], e[cell_alpha], v[cell_beta], e[cell_beta], v[cell_gamma],
                                        e[cell_gamma], v[volume], e[volume], v[mosaicity], e[mosaicity]}));
    }
}

bool plot_it(Console& console, std::string_view file_name, Text<16>& answer) {
    console.message({"             . ", file_name, " file has been created: plot it (y/n) ?  "});
    console.answer(answer);
    if (answer != Text<16>("y") && answer != Text<16>("Y")) return true;
    const Text<128> command(std::string("xyviewer ") + std::string(trim_right(file_name)));
    console.flush();  // the viewer's own output follows the offer
    const int status = std::system(command.str().c_str());
    std::string why;
    if (status == -1)
        why = "could not be started";
    else if (WIFSIGNALED(status))
        why = "was stopped by signal " + std::to_string(WTERMSIG(status));
    else if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        why = "was not found (status 127); is it on PATH?";
    else if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        why = "ended with status " + std::to_string(WEXITSTATUS(status));
    if (why.empty()) return true;
    console.notice(notice_line(trim_right(file_name), 0, "the viewer (" + command.str() + ") " + why));
    return false;
}

}  // namespace celltrend
