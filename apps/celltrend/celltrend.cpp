#include "celltrend.hpp"

#include <cstdio>
#include <filesystem>
#include <string>

#include "buffer_file.hpp"
#include "failure.hpp"
#include "report_scanner.hpp"
#include "run_state.hpp"
#include "text_files.hpp"
#include "transf_cell.hpp"
#include "writers.hpp"

namespace celltrend {

namespace {

constexpr std::string_view rule = " ----------------------------------------------------------";

void banner(Console& console) {
    console.message({rule});
    console.message({"     . Read nreport.HTML files                             "});
    console.message({"     . Extract: . cell parameters                          "});
    console.message({"                . volume                                   "});
    console.message({"                . mosaicity                                "});
    console.message({std::string(59, ' ')});
    console.message({rule});
}

// Asks for the buffer file until one that exists and can be read is named.
void open_buffer_file(Console& console, RunState& state, InputFile& buffer) {
    for (;;) {
        console.message({" "});
        console.message({"  > Enter buffer file        : "});
        console.answer(state.buffer_name);
        const std::string_view name = trim_right(state.buffer_name);
        std::string why;
        if (!file_exists(name)) {
            console.message({"  !! ", name, " does not exist !!"});
        } else if (!buffer.open(name, why)) {
            console.message({"  !! ", name, " cannot be read: ", why, " !!"});
        } else {
            return;
        }
        console.message({"   press Enter key to continue "});
    }
}

bool ask_yes_no(Console& console, RunState& state, std::string_view question) {
    console.message({" "});
    console.message({question});
    console.answer(state.answer);
    state.answer.adjustl();
    return state.answer[0] == 'y' || state.answer[0] == 'Y';
}

void select_quantities(Console& console, RunState& state) {
    state.all_parameters = ask_yes_no(console, state, "  >> Extract all the parameters (y/n) ?   ");
    if (state.all_parameters) return;
    for (std::size_t q = 0; q < quantity_count; ++q)
        state.selected[q] = ask_yes_no(console, state, quantities[q].question);
}

// The quantities searched for a temperature: those selected, cell_a always
// (the cell test judges every report alike), and in a transformed run the
// whole cell, so that the transformation works on the real cell.
std::array<bool, quantity_count> searched_quantities(const RunState& state) {
    std::array<bool, quantity_count> searched{};
    for (std::size_t q = 0; q < quantity_count; ++q) searched[q] = state.wants(q);
    searched[cell_a] = true;
    if (state.transformed)
        for (std::size_t q = cell_a; q <= cell_gamma; ++q) searched[q] = true;
    return searched;
}

// A relative report name is looked for in the working directory, then beside
// the buffer file, so that a buffer file in another folder lists its reports
// by their own names; standard error says where one was found.
void open_report(Console& console, const InputFile& buffer, const TemperaturePoint& point, InputFile& report) {
    std::string_view name = trim_right(point.report);
    std::string beside;
    if (!file_exists(name) && !name.empty()) {
        const std::filesystem::path folder = std::filesystem::path(buffer.name()).parent_path();
        const std::filesystem::path path(name);
        if (path.is_relative() && !folder.empty() && file_exists((folder / path).string())) {
            beside = (folder / path).string();
            console.notice(notice_line(buffer.name(), buffer.line_number(),
                                       std::string(name) + " is not in the working directory; " + beside +
                                           ", beside the buffer file, is read"));
            name = beside;
        }
    }
    if (!file_exists(name)) throw RunFailure(" !! " + std::string(name) + " does not exist !!\n ");
    std::string why;
    if (!report.open(name, why)) throw RunFailure(" !! " + std::string(name) + " cannot be read: " + why + " !!\n ");
}

// Searches the report of one temperature; false when the cell test drops it.
bool extract(Console& console, const RunState& state, InputFile& report, TemperaturePoint& point) {
    const auto searched = searched_quantities(state);
    ScannedReport scanned = scan_report(report, searched);
    for (std::size_t q = 0; q < quantity_count; ++q) {
        if (!searched[q]) continue;
        find_in_report(console, scanned, point.tk, q, point.value[q], point.esd[q]);
        // A report without a cell is no temperature of the series.  The
        // console has always been silent on it; standard error says why.
        if (q == cell_a && point.value[cell_a] < 1.0e-4f) {
            char tk[32];
            std::snprintf(tk, sizeof tk, "%.2f", static_cast<double>(point.tk));
            char a[32];
            std::snprintf(a, sizeof a, "%g", static_cast<double>(point.value[cell_a]));
            const std::string why = !scanned.found[cell_a] ? std::string("no unit cell in the report")
                                                           : "a = " + std::string(a) + " is no length of a cell";
            console.notice(notice_line(scanned.name, scanned.line_number[cell_a],
                                       why + "; the temperature " + tk + " K is dropped"));
            return false;
        }
    }
    return true;
}

void transform(Console& console, TemperaturePoint& point) {
    auto& v = point.value;
    Cell cell{v[cell_a], v[cell_b], v[cell_c], v[cell_alpha], v[cell_beta], v[cell_gamma]};
    transf_cell_parameters(point.matrix, cell, [&console](std::string_view line) { console.record(line); });
    volume_calculation(cell, v[volume]);
    v[cell_a] = cell.a;
    v[cell_b] = cell.b;
    v[cell_c] = cell.c;
    v[cell_alpha] = cell.alpha;
    v[cell_beta] = cell.beta;
    v[cell_gamma] = cell.gamma;
}

void write_point(const RunState& state, Outputs& outputs, const TemperaturePoint& point) {
    if (state.all_parameters) {
        write_table_line(outputs.table, state.transformed, point);
        return;
    }
    for (std::size_t q = 0; q < quantity_count; ++q) {
        if (!state.selected[q]) continue;
        // Mosaicity is never transformed and always keeps its ESD.
        fill_pgf(outputs.plots[q], state.transformed && q != mosaicity, point.tk, point.value[q], point.esd[q]);
    }
}

void stop_on_malformed_line(Console& console) {
    console.message({" "});
    console.message({" ! Problem reading buffer file. Program will be stopped."});
    console.message({" "});
    console.pause();
    throw RunFailure("");
}

void temperature_loop(Console& console, RunState& state, InputFile& buffer, Outputs& outputs) {
    InputFile report;
    for (;;) {
        TemperaturePoint point;
        const DataLine kind = read_data_line(buffer, state.point_count, point, console);
        if (kind == DataLine::end) return;
        if (kind == DataLine::malformed) stop_on_malformed_line(console);
        open_report(console, buffer, point, report);
        const bool accepted = extract(console, state, report, point);
        report.close();
        if (!accepted) continue;
        if (state.transformed) transform(console, point);
        write_point(state, outputs, point);
    }
}

// The number of viewers that failed on the offered plot files.
int end_of_data(Console& console, RunState& state, Outputs& outputs) {
    for (std::size_t q = 0; q < quantity_count; ++q)
        if (state.selected[q]) outputs.plots[q].write_line(layout::end_line);
    for (std::size_t q = 0; q < quantity_count; ++q) outputs.plots[q].close();
    outputs.table.close();
    console.message({" "});
    if (state.all_parameters) {
        console.message(
            {"   >>> The ", state.transformed ? transf_table_name : plain_table_name, " file has been created "});
        return 0;
    }
    int failed = 0;
    for (std::size_t q = 0; q < quantity_count; ++q)
        if (state.selected[q] && !plot_it(console, plot_file_name(q, state.transformed), state.plot_answer)) ++failed;
    return failed;
}

}  // namespace

int run_celltrend(Console& console) {
    RunState state;
    InputFile buffer;
    banner(console);
    open_buffer_file(console, state, buffer);
    select_quantities(console, state);

    const BufferSurvey survey = first_pass(buffer, console);
    state.transformed = survey.transformed;
    state.point_count = survey.lines_after_header;
    read_header_lines(buffer, state.title, console);
    Outputs outputs;
    open_xy_files(state, buffer, outputs);
    temperature_loop(console, state, buffer, outputs);
    return end_of_data(console, state, outputs);
}

}  // namespace celltrend
