#include "cli/PeaksCommand.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <string_view>
#include <variant>

#include <CLI/CLI.hpp>

#include "base/LineText.h"
#include "base/NumberText.h"
#include "cli/CliWords.h"
#include "input/FileBytes.h"
#include "input/TraceImport.h"
#include "trace/TraceSizing.h"

namespace lociview::headless {

const char* const kPeaksHelp =
    "usage: lociview-cli peaks [--size-standard NAME|SIZES] [--min-height N] FILE...\n"
    "\n"
    "Calls the peaks of instrument trace files (.fsa) in every dye, sizes\n"
    "them against the size standard and writes them to standard output as\n"
    "a sizing table that Lociview opens: Dye/Sample Peak, Sample File Name\n"
    "(the FILE as given), Sample Name, Size, Height, Area, Data Point and\n"
    "Off Scale (Yes or No), tab-separated, one row per peak, the size\n"
    "standard's included; a peak outside the standard's range has an empty\n"
    "Size.\n"
    "\n"
    "  --size-standard NAME|SIZES  the size standard: GS500LIZ, GS500LIZ-250,\n"
    "                     GS500ROX, GS500ROX-250, GS600LIZ, or the sizes in\n"
    "                     bp, comma-separated (35,50,75,...). Without it, the\n"
    "                     one the file names when it fits, else the one that\n"
    "                     fits best. The standard runs in the last dye.\n"
    "  --min-height N     the least height of a peak, in RFU (default 50)\n"
    "  --help             show this text\n"
    "\n"
    "Files that cannot be read and standards that cannot be matched are\n"
    "reported on standard error as \"lociview: MESSAGE\", with other notes.\n"
    "Exit status: 0 when every file was sized, 1 when some file could not be\n"
    "read or sized (the others are written), 2 for a usage error.\n";

namespace {

constexpr const char* kTitles =
    "Dye/Sample Peak\tSample File Name\tSample Name\tSize\tHeight\tArea\tData Point\tOff Scale\n";

std::string cell(std::string_view text) { return escaped(text, LineKind::Cell); }

struct PeaksOptions {
    SizingOptions sizing;
    std::vector<std::string> files;
    bool help = false;
};

// The options, or the message of a usage error.
std::variant<PeaksOptions, std::string> parseOptions(const std::vector<std::string>& args) {
    PeaksOptions o;
    o.sizing.keepSignals = false;
    CLI::App app("", "lociview-cli peaks");
    app.set_help_flag();
    std::string standard, minHeight;
    CLI::Option* standardOption = app.add_option("--size-standard", standard)->allow_extra_args(false);
    CLI::Option* heightOption = app.add_option("--min-height", minHeight)->allow_extra_args(false);
    app.add_flag("--help", o.help);
    app.add_option("FILE", o.files);
    if (std::optional<std::string> error = parseWords(app, args)) return *error;
    if (standardOption->count() > 0) {
        StandardChoice choice = chooseStandard(standard, o.sizing.standards);
        if (!choice.standard) return "--size-standard: " + choice.problem;
        o.sizing.standard = std::move(choice.standard);
    }
    if (heightOption->count() > 0) {
        const std::optional<double> height = minHeightOption(minHeight);
        if (!height) return "--min-height must be a positive number of RFU, not '" + minHeight + "'";
        o.sizing.minHeight = *height;
    }
    if (!o.help && o.files.empty()) return std::string("no FILE given");
    return o;
}

void writeRows(const SizedTrace& t, std::ostream& out) {
    const int dyes = static_cast<int>(t.dyeNames.size());
    std::vector<int> numbers(static_cast<size_t>(dyes), 0);
    const std::string file = cell(t.file), sample = cell(t.sample);
    std::string rows;
    for (const SizedPeak& p : t.peaks) {
        const int number = ++numbers[static_cast<size_t>(p.peak.dye)];
        rows += traceDyeLetter(dyes, p.peak.dye);
        rows += ',' + std::to_string(number) + '\t' + file + '\t' + sample + '\t' +
                (p.sized() ? traceSizeText(p.size) : std::string()) + '\t' + traceHeightText(p.peak.height) + '\t' +
                traceAreaText(p.peak.area) + '\t' + std::to_string(p.peak.scan) + '\t' +
                (p.peak.offScale ? "Yes" : "No") + '\n';
    }
    out << rows;
}

}  // namespace

int runPeaks(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseOptions(args);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        err << "lociview-cli peaks: " << *error << '\n'
            << "usage: lociview-cli peaks [--size-standard NAME|SIZES] [--min-height N] FILE...\n"
            << "Try 'lociview-cli peaks --help' for more information.\n";
        return 2;
    }
    const PeaksOptions& options = std::get<PeaksOptions>(parsed);
    if (options.help) {
        out << kPeaksHelp;
        return 0;
    }
    bool failed = false;
    std::vector<std::string> contents;
    std::vector<TraceSource> sources;
    contents.reserve(options.files.size());
    for (const std::string& file : options.files) {
        std::optional<std::string> bytes = readWholeFile(file);
        if (!bytes) {
            err << "lociview: Cannot read \"" << file << "\": it could not be opened as a file.\n";
            failed = true;
            continue;
        }
        contents.push_back(std::move(*bytes));
        sources.push_back({file, {}});
    }
    for (size_t i = 0; i < sources.size(); ++i) sources[i].bytes = contents[i];
    const std::vector<SizedTrace> traces = sizeTraces(sources, options.sizing);
    out << kTitles;
    for (const SizedTrace& t : traces) {
        if (!t.problem.empty()) {
            err << "lociview: " << t.problem << '\n';
            failed = true;
            continue;
        }
        for (const std::string& message : t.messages) err << "lociview: " << message << '\n';
        failed = failed || !t.sized;
        writeRows(t, out);
    }
    out.flush();
    return failed ? 1 : 0;
}

}  // namespace lociview::headless
